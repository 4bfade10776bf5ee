// Arbitrary bytes taken as one received ICMP datagram by every check of the pinger.
#include "fuzz/fuzz_target.h"
#include "share/gb_ping_packet.h"

KV_FUZZ_TARGET(ping_replies) {
  std::span<const uint8_t> datagram(data, size);
  gbping::sourceAddressInPacket(datagram);
  if (auto icmp = gbping::icmp4InDatagram(datagram)) {
    gbping::echoHeader(*icmp);
    gbping::internetChecksum(*icmp);
  }
  gbping::isValidPing4Response(datagram, 0x4242, 5);
  gbping::isValidPing6Response(datagram, 0x4242, 5);
  return 0;
}
