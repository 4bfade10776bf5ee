// The DNS-SD browser over the Avahi client with its threaded poll. Reports arrive on the
// poll's thread, with the poll's lock held.
#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <map>
#include <memory>
#include <vector>
#include <mutex>

#include "share/discovery_dnssd.h"

namespace {

thread_local bool tOnPollThread = false;
// Services remembered per browse; the lookup keeps far fewer.
constexpr size_t kMaxFoundServices = 256;

class AvahiBrowser final : public DnsSdBrowser {
 public:
  ~AvahiBrowser() override { stopAll(); }

  void searchForServices(NetworkServiceManager& delegate, const std::string& type, const std::string& domain) override {
    delegate_ = &delegate;
    poll_ = avahi_threaded_poll_new();
    int error = 0;
    if (poll_) client_ = avahi_client_new(avahi_threaded_poll_get(poll_), AvahiClientFlags(0), nullptr, nullptr, &error);
    if (client_) {
      browser_ = avahi_service_browser_new(client_, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, type.c_str(), domain.c_str(),
                                           AvahiLookupFlags(0), &AvahiBrowser::browsed, this);
    }
    if (!browser_ || avahi_threaded_poll_start(poll_) < 0) {
      // No daemon, no bus or no thread: a search that cannot start.
      delegate.didNotSearch();
      return;
    }
    started_ = true;
  }

  void stop() override {
    bool stopped = false;
    withLock([&] {
      if (browser_) {
        avahi_service_browser_free(browser_);
        browser_ = nullptr;
      }
      stopped = !stopReported_;
      stopReported_ = true;
    });
    if (stopped && delegate_) delegate_->didStopSearch();
  }

  void resolve(const DnsSdFoundService& service, double) override {
    // Runs inside the browse report. The lookup's wait bounds the resolution; a resolver
    // that has not answered by then is freed with the client.
    auto it = found_.find(service.id);
    if (it == found_.end() || !client_) return;
    resolving_.push_back(std::make_unique<Resolving>(Resolving{this, service.id}));
    auto* r = avahi_service_resolver_new(client_, it->second.interface, it->second.protocol, service.name.c_str(),
                                         service.type.c_str(), service.domain.c_str(), AVAHI_PROTO_INET,
                                         AvahiLookupFlags(0), &AvahiBrowser::resolved, resolving_.back().get());
    if (!r && delegate_) delegate_->didNotResolve(service.id);
  }

  void stopAll() override {
    if (poll_ && started_) avahi_threaded_poll_stop(poll_);
    started_ = false;
    if (client_) avahi_client_free(client_);  // frees the browser and the resolvers too
    client_ = nullptr;
    browser_ = nullptr;
    if (poll_) avahi_threaded_poll_free(poll_);
    poll_ = nullptr;
  }

 private:
  struct Where {
    AvahiIfIndex interface;
    AvahiProtocol protocol;
  };

  template <typename F>
  void withLock(F f) {
    bool lock = started_ && !tOnPollThread;
    if (lock) avahi_threaded_poll_lock(poll_);
    f();
    if (lock) avahi_threaded_poll_unlock(poll_);
  }

  static void browsed(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event,
                      const char* name, const char* type, const char* domain, AvahiLookupResultFlags, void* data) {
    auto* self = static_cast<AvahiBrowser*>(data);
    tOnPollThread = true;
    switch (event) {
      case AVAHI_BROWSER_NEW: {
        if (self->found_.size() >= kMaxFoundServices) break;
        DnsSdFoundService s{++self->nextId_, name ? name : "", type ? type : "", domain ? domain : ""};
        self->found_[s.id] = Where{interface, protocol};
        self->delegate_->didFindService(s, true);
        break;
      }
      case AVAHI_BROWSER_ALL_FOR_NOW:
        // Nothing more is coming: the browse ends as after the last service found.
        self->stop();
        break;
      case AVAHI_BROWSER_FAILURE:
        self->delegate_->didNotSearch();
        break;
      default:
        break;
    }
  }

  static void resolved(AvahiServiceResolver* r, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char*,
                       const char*, const char*, const char* hostName, const AvahiAddress* address, uint16_t port,
                       AvahiStringList*, AvahiLookupResultFlags, void* data) {
    auto* context = static_cast<Resolving*>(data);
    auto* self = context->self;
    uint64_t id = context->id;
    tOnPollThread = true;
    if (event == AVAHI_RESOLVER_FOUND && address && address->proto == AVAHI_PROTO_INET) {
      char text[AVAHI_ADDRESS_STR_MAX] = {0};
      avahi_address_snprint(text, sizeof text, address);
      self->delegate_->didResolveAddress(id, hostName ? hostName : "", {ServiceAddress{AF_INET, text, port}});
    } else {
      self->delegate_->didNotResolve(id);
    }
    avahi_service_resolver_free(r);
  }

  struct Resolving {
    AvahiBrowser* self;
    uint64_t id;
  };

  NetworkServiceManager* delegate_ = nullptr;
  AvahiThreadedPoll* poll_ = nullptr;
  AvahiClient* client_ = nullptr;
  AvahiServiceBrowser* browser_ = nullptr;
  bool started_ = false;
  bool stopReported_ = false;
  uint64_t nextId_ = 0;
  std::map<uint64_t, Where> found_;
  std::vector<std::unique_ptr<Resolving>> resolving_;
};

}  // namespace

std::unique_ptr<DnsSdBrowser> makeAvahiBrowser() { return std::make_unique<AvahiBrowser>(); }
