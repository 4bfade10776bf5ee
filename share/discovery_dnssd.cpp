#include "share/discovery_dnssd.h"

#include <algorithm>
#include <chrono>

#include "ptp/base/timing.h"
#include "share/discovery.h"

namespace {
// Services a lookup keeps and waits for; more are ignored, so that a crowded or hostile
// network cannot stretch the wait (each kept service may cost resolveWait).
constexpr size_t kMaxKorvalumeServices = 16;
// Addresses kept per resolved service.
constexpr size_t kMaxServiceAddresses = 16;

double seconds(std::chrono::milliseconds ms) { return std::chrono::duration<double>(ms).count(); }
}  // namespace

NetworkServiceManager::NetworkServiceManager(BrowserFactory browser, LocalAddress localAddress)
    : browserFactory_(browser ? std::move(browser) : BrowserFactory(makeAvahiBrowser)),
      localAddress_(localAddress ? std::move(localAddress) : LocalAddress(&CommsManager::getIpAddress)) {}

NetworkServiceManager::~NetworkServiceManager() {
  if (mServiceBrowser && !browserEnded_) mServiceBrowser->stopAll();
}

std::vector<KorvalumeAddress> NetworkServiceManager::blockForKorvalumeAddress(bool sameSubnetOnly) {
  {
    std::lock_guard lock(mutex_);
    if (mServiceBrowser) return {};  // once per manager
    mNetServices.clear();
    serviceIds_.clear();
    mServicesFound = 0;
    mServicesStopped = false;
    mResolvedSignals = 0;
    waiting_ = true;
  }
  mServiceBrowser = browserFactory_();
  if (!mServiceBrowser) return {};
  mServiceBrowser->searchForServices(*this, kKorvalumeServiceType, kKorvalumeServiceDomain);

  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timing().browseWait.load(), [&] { return mServicesStopped; })) {
    lock.unlock();
    mServiceBrowser->stop();
    lock.lock();
    changed_.wait_for(lock, timing().browseStopWait.load(), [&] { return mServicesStopped; });
  }
  int64_t found = mServicesFound;
  for (int64_t i = 0; i < found; ++i) {
    if (!changed_.wait_for(lock, timing().resolveWait.load(), [&] { return mResolvedSignals > 0; })) continue;
    --mResolvedSignals;
  }
  waiting_ = false;
  std::vector<ResolvedService> services = mNetServices;
  lock.unlock();

  // Nothing reports after this, so the kept services are final.
  mServiceBrowser->stopAll();
  browserEnded_ = true;
  {
    std::lock_guard relock(mutex_);
    services = mNetServices;
  }
  return selectKorvalumeAddresses(services, localAddress_(), sameSubnetOnly);
}

void NetworkServiceManager::didFindService(const DnsSdFoundService& service, bool moreComing) {
  bool keep = false;
  {
    std::lock_guard lock(mutex_);
    if (waiting_ && serviceIds_.size() < kMaxKorvalumeServices &&
        std::find(serviceIds_.begin(), serviceIds_.end(), service.id) == serviceIds_.end()) {
      keep = true;
      ++mServicesFound;
      serviceIds_.push_back(service.id);
      mNetServices.push_back(ResolvedService{service.name, {}, {}});
    }
  }
  if (keep) mServiceBrowser->resolve(service, seconds(timing().resolveTimeout.load()));
  if (!moreComing) mServiceBrowser->stop();
}

void NetworkServiceManager::didStopSearch() {
  std::lock_guard lock(mutex_);
  if (!waiting_) return;
  mServicesStopped = true;
  changed_.notify_all();
}

void NetworkServiceManager::didNotSearch() { mServiceBrowser->stop(); }

void NetworkServiceManager::didResolveAddress(uint64_t serviceId, const std::string& hostName,
                                              std::vector<ServiceAddress> addresses) {
  std::lock_guard lock(mutex_);
  auto it = std::find(serviceIds_.begin(), serviceIds_.end(), serviceId);
  if (it != serviceIds_.end()) {
    auto& service = mNetServices[size_t(it - serviceIds_.begin())];
    service.hostName = hostName;
    for (auto& a : addresses) {
      if (service.addresses.size() >= kMaxServiceAddresses) break;
      service.addresses.push_back(std::move(a));
    }
  }
  if (!waiting_) return;
  ++mResolvedSignals;
  changed_.notify_all();
}

void NetworkServiceManager::didNotResolve(uint64_t) {
  std::lock_guard lock(mutex_);
  if (!waiting_) return;
  ++mResolvedSignals;
  changed_.notify_all();
}
