// The network guard for DNS-SD: a browse or a resolve makes the Avahi daemon multicast on
// every interface it sees. It is allowed only from inside a test namespace and on a private
// bus (DBUS_SYSTEM_BUS_ADDRESS), whose daemon the test started there; the machine's own
// daemon, reached over the system bus from any namespace, would query the real network.
#include <avahi-client/lookup.h>

#include <cstdio>
#include <cstdlib>

#include "support/net_guard.h"

extern "C" {
AvahiServiceBrowser* __real_avahi_service_browser_new(AvahiClient*, AvahiIfIndex, AvahiProtocol, const char*,
                                                      const char*, AvahiLookupFlags, AvahiServiceBrowserCallback,
                                                      void*);
AvahiServiceResolver* __real_avahi_service_resolver_new(AvahiClient*, AvahiIfIndex, AvahiProtocol, const char*,
                                                        const char*, const char*, AvahiProtocol, AvahiLookupFlags,
                                                        AvahiServiceResolverCallback, void*);
}

namespace {

void checkDnsSd(const char* what) {
  const char* bus = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
  if (kvtest::inTestNamespace() && bus && *bus) return;
  std::fprintf(stderr,
               "network guard: a DNS-SD %s outside a network namespace made by the test, or on the "
               "system bus; tests browse only on a private bus inside their namespace\n",
               what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

extern "C" {

AvahiServiceBrowser* __wrap_avahi_service_browser_new(AvahiClient* client, AvahiIfIndex interface,
                                                      AvahiProtocol protocol, const char* type, const char* domain,
                                                      AvahiLookupFlags flags, AvahiServiceBrowserCallback callback,
                                                      void* data) {
  checkDnsSd("browse");
  return __real_avahi_service_browser_new(client, interface, protocol, type, domain, flags, callback, data);
}

AvahiServiceResolver* __wrap_avahi_service_resolver_new(AvahiClient* client, AvahiIfIndex interface,
                                                        AvahiProtocol protocol, const char* name, const char* type,
                                                        const char* domain, AvahiProtocol addressProtocol,
                                                        AvahiLookupFlags flags, AvahiServiceResolverCallback callback,
                                                        void* data) {
  checkDnsSd("resolve");
  return __real_avahi_service_resolver_new(client, interface, protocol, name, type, domain, addressProtocol, flags,
                                           callback, data);
}

}  // extern "C"
