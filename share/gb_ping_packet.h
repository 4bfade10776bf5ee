#pragma once
// ICMP echo packets as the pinger builds and reads them: pure functions over bytes, so the
// checks on what comes back can be tested without a socket.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ptp/base/bytes.h"

namespace gbping {

constexpr uint8_t kEchoRequest4 = 8;
constexpr uint8_t kEchoReply4 = 0;
constexpr uint8_t kEchoRequest6 = 128;
constexpr uint8_t kEchoReply6 = 129;
constexpr size_t kIcmpHeaderBytes = 8;
constexpr size_t kIp4MinHeaderBytes = 20;
constexpr uint8_t kPayloadByte = 0x07;
// Largest echo payload: what one IPv4 datagram can carry after the IP and ICMP headers.
constexpr size_t kMaxPayloadBytes = 65535 - 20 - 8;
// Receive buffer of one datagram.
constexpr size_t kReceiveBufferBytes = 65535;

// The Internet one's-complement checksum; an odd last byte counts as the high byte of a
// final 16-bit word, as on the wire.
uint16_t internetChecksum(std::span<const uint8_t> bytes);

// `length` bytes of kPayloadByte.
ByteBuffer generateData(size_t length);

// type, code 0, checksum (over the whole message with the field at 0, when asked; else 0),
// identifier and sequence big-endian, then the payload.
ByteBuffer echoPacket(uint8_t type, uint16_t identifier, uint16_t sequence, std::span<const uint8_t> payload,
                      bool requiresChecksum);

// Dotted text of an IPv4 packet's source address (bytes 12-15); none below 20 bytes.
std::optional<std::string> sourceAddressInPacket(std::span<const uint8_t> packet);
// Offset of the ICMP message in an IPv4 packet of protocol 1 that holds at least the ICMP
// header after its IP header; none otherwise.
std::optional<size_t> icmp4HeaderOffsetInPacket(std::span<const uint8_t> packet);
// The ICMP message inside an IPv4 packet.
std::optional<std::span<const uint8_t>> icmp4InPacket(std::span<const uint8_t> packet);
// The ICMP message of one received IPv4 datagram: an unprivileged ping socket on Linux hands
// over the bare message, other sockets the whole IP packet (told apart by the version
// nibble: an echo reply starts with type 0).
std::optional<std::span<const uint8_t>> icmp4InDatagram(std::span<const uint8_t> datagram);

struct EchoHeader {
  uint8_t type = 0;
  uint8_t code = 0;
  uint16_t checksum = 0;
  uint16_t identifier = 0;
  uint16_t sequence = 0;
};
std::optional<EchoHeader> echoHeader(std::span<const uint8_t> icmp);

// A reply to one of our echoes: type and code of an echo reply, our identifier, a sequence
// number we have sent (below nextSequence), and for IPv4 a checksum that verifies.
bool isValidPing4Response(std::span<const uint8_t> datagram, uint16_t identifier, uint32_t nextSequence);
bool isValidPing6Response(std::span<const uint8_t> icmp, uint16_t identifier, uint32_t nextSequence);

}  // namespace gbping
