#pragma once
// The blocking DNS-SD lookup of the device's service ("_korvalume._tcp" in "local"):
// browse, resolve every service found, and keep the IPv4 answers. The browser runs on its
// own thread (Avahi's threaded poll) and reports through the delegate methods below; the
// caller's thread only waits, bounded, and needs no event loop of the GUI thread.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "share/discovery_address.h"

class NetworkServiceManager;

// A service as the browser found it, before resolving.
struct DnsSdFoundService {
  uint64_t id = 0;  // the browser's own handle for it
  std::string name, type, domain;
};

// What the lookup drives. Every method may report back at once (on the calling thread) or
// later from the browser's thread. After stopAll() returns no report may arrive.
class DnsSdBrowser {
 public:
  virtual ~DnsSdBrowser() = default;
  // Starts the search; found services reach didFindService, the end didStopSearch, a
  // search that cannot start didNotSearch.
  virtual void searchForServices(NetworkServiceManager& delegate, const std::string& type,
                                 const std::string& domain) = 0;
  // Stops the search; reported through didStopSearch.
  virtual void stop() = 0;
  // Resolves one found service; reported through didResolveAddress or didNotResolve.
  virtual void resolve(const DnsSdFoundService& service, double timeoutSeconds) = 0;
  // Ends everything: no report arrives after it returns.
  virtual void stopAll() = 0;
};

// The real browser. With no Avahi daemon it reports a search that cannot start, so the
// lookup finds nothing.
std::unique_ptr<DnsSdBrowser> makeAvahiBrowser();

class NetworkServiceManager {
 public:
  using BrowserFactory = std::function<std::unique_ptr<DnsSdBrowser>()>;
  using LocalAddress = std::function<std::optional<std::string>()>;

  // A fresh manager for one lookup. Null arguments use Avahi and the computer's address.
  explicit NetworkServiceManager(BrowserFactory browser = {}, LocalAddress localAddress = {});
  ~NetworkServiceManager();
  NetworkServiceManager(const NetworkServiceManager&) = delete;
  NetworkServiceManager& operator=(const NetworkServiceManager&) = delete;

  // Blocks (bounded: browseWait + browseStopWait + resolveWait per found service) and
  // returns the answers, empty when there are none. Once per manager.
  std::vector<KorvalumeAddress> blockForKorvalumeAddress(bool sameSubnetOnly);

  // Delegate methods, from any thread.
  void didFindService(const DnsSdFoundService& service, bool moreComing);
  void didStopSearch();
  void didNotSearch();
  void didResolveAddress(uint64_t serviceId, const std::string& hostName, std::vector<ServiceAddress> addresses);
  void didNotResolve(uint64_t serviceId);

 private:
  BrowserFactory browserFactory_;
  LocalAddress localAddress_;
  std::unique_ptr<DnsSdBrowser> mServiceBrowser;
  bool browserEnded_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool mServicesStopped = false;  // the services "semaphore"
  int64_t mResolvedSignals = 0;   // the resolving "semaphore"
  bool waiting_ = false;          // the semaphores exist while the lookup waits
  int64_t mServicesFound = 0;
  std::vector<ResolvedService> mNetServices;
  std::vector<uint64_t> serviceIds_;
};
