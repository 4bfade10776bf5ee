#include "share/gb_ping_packet.h"

#include "ptp/base/byte_reader.h"

namespace gbping {

uint16_t internetChecksum(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += uint32_t(bytes[i]) << 8 | bytes[i + 1];
  if (i < bytes.size()) sum += uint32_t(bytes[i]) << 8;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

ByteBuffer generateData(size_t length) { return ByteBuffer(length, kPayloadByte); }

ByteBuffer echoPacket(uint8_t type, uint16_t identifier, uint16_t sequence, std::span<const uint8_t> payload,
                      bool requiresChecksum) {
  ByteBuffer p(kIcmpHeaderBytes, 0);
  p[0] = type;
  p[4] = uint8_t(identifier >> 8);
  p[5] = uint8_t(identifier);
  p[6] = uint8_t(sequence >> 8);
  p[7] = uint8_t(sequence);
  p.insert(p.end(), payload.begin(), payload.end());
  if (requiresChecksum) {
    uint16_t sum = internetChecksum(p);
    p[2] = uint8_t(sum >> 8);
    p[3] = uint8_t(sum);
  }
  return p;
}

std::optional<std::string> sourceAddressInPacket(std::span<const uint8_t> packet) {
  if (packet.size() < kIp4MinHeaderBytes) return std::nullopt;
  return std::to_string(packet[12]) + "." + std::to_string(packet[13]) + "." + std::to_string(packet[14]) + "." +
         std::to_string(packet[15]);
}

std::optional<size_t> icmp4HeaderOffsetInPacket(std::span<const uint8_t> packet) {
  if (packet.size() < kIp4MinHeaderBytes + kIcmpHeaderBytes) return std::nullopt;
  if ((packet[0] >> 4) != 4 || packet[9] != 1) return std::nullopt;
  size_t offset = size_t(packet[0] & 0x0F) * 4;
  if (offset + kIcmpHeaderBytes > packet.size()) return std::nullopt;
  return offset;
}

std::optional<std::span<const uint8_t>> icmp4InPacket(std::span<const uint8_t> packet) {
  auto offset = icmp4HeaderOffsetInPacket(packet);
  if (!offset) return std::nullopt;
  return packet.subspan(*offset);
}

std::optional<std::span<const uint8_t>> icmp4InDatagram(std::span<const uint8_t> datagram) {
  if (datagram.empty()) return std::nullopt;
  if ((datagram[0] >> 4) == 4) return icmp4InPacket(datagram);
  if (datagram.size() < kIcmpHeaderBytes) return std::nullopt;
  return datagram;
}

std::optional<EchoHeader> echoHeader(std::span<const uint8_t> icmp) {
  ByteReader r(icmp);
  auto type = r.u8(0), code = r.u8(1);
  auto checksum = r.u16be(2), identifier = r.u16be(4), sequence = r.u16be(6);
  if (!type || !code || !checksum || !identifier || !sequence) return std::nullopt;
  return EchoHeader{*type, *code, *checksum, *identifier, *sequence};
}

bool isValidPing4Response(std::span<const uint8_t> datagram, uint16_t identifier, uint32_t nextSequence) {
  auto icmp = icmp4InDatagram(datagram);
  if (!icmp) return false;
  auto h = echoHeader(*icmp);
  if (!h) return false;
  // A message whose checksum field is included sums to zero when it is intact.
  if (internetChecksum(*icmp) != 0) return false;
  return h->type == kEchoReply4 && h->code == 0 && h->identifier == identifier && h->sequence < nextSequence;
}

bool isValidPing6Response(std::span<const uint8_t> icmp, uint16_t identifier, uint32_t nextSequence) {
  auto h = echoHeader(icmp);
  if (!h) return false;
  return h->type == kEchoReply6 && h->code == 0 && h->identifier == identifier && h->sequence < nextSequence;
}

}  // namespace gbping
