#include "ptp/vendors/nikon/nikon_liveview.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/protocol/device_info.h"

namespace {

constexpr size_t kCameraHeaderCopy = 380;

bool modelIn(uint8_t model, std::initializer_list<uint8_t> list) {
  return std::find(list.begin(), list.end(), model) != list.end();
}

// The camera's big-endian fields of the header copy turned little-endian in place.
void headToLittleEndian(uint8_t* head) {
  for (size_t off = 8; off < 32; off += 2) bytesPutU16(head + off, bytesGetU16BE(head + off));
  for (size_t off : {32u, 36u}) bytesPutU32(head + off, bytesGetU32BE(head + off));
  for (size_t off : {44u, 46u}) bytesPutU16(head + off, bytesGetU16BE(head + off));
  for (size_t off : {52u, 56u, 60u}) bytesPutU32(head + off, bytesGetU16BE(head + off));
  bytesPutU32(head + 64, bytesGetU32BE(head + 64));
}

// Camera header size of a 0x9203 reply; nullopt for the models whose replies carry it.
std::optional<uint32_t> fixedHeaderSize(uint8_t model) {
  if (modelIn(model, {192, 199, 203})) return 128;
  if (modelIn(model, {193, 194, 196, 200})) return 384;
  if (modelIn(model, {195, 198, 201, 202, 204})) return 64;
  return std::nullopt;
}

void keepHead(const uint8_t* head) {
  NikonModuleState& s = nikonState();
  std::lock_guard lock(s.headMutex);
  std::memcpy(s.lastFrameHead.data(), head, kNikonFrameHeadBytes);
}

void buildFrame(const uint8_t* head, const uint8_t* jpeg, size_t jpegLength, std::vector<uint8_t>& frame) {
  frame.assign(head, head + kNikonFrameHeadBytes);
  frame.insert(frame.end(), jpeg, jpeg + jpegLength);
  keepHead(head);
}

}  // namespace

PtpResponseCode nikonParseLiveViewFrame(uint16_t opcode, const uint8_t* reply, size_t length,
                                        std::vector<uint8_t>& frame) {
  frame.clear();
  if (!reply || length == 0) return ERROR_INVALID_INPUT;
  if (opcode == PTP_OC_NIKON_GetLiveViewImageEx) return nikonParseLiveViewFrameEx(reply, length, frame);
  if (length > kNikonMaxFrameReply) return ERROR_TOO_LARGE;

  const uint8_t model = camModelIndex();
  ByteReader in(reply, length);
  uint8_t head[kNikonFrameHeadBytes] = {};
  size_t headerStart = 0, jpegStart = 0, jpegLength = 0;
  uint32_t cameraHeader = 0;
  if (auto fixed = fixedHeaderSize(model)) {
    cameraHeader = *fixed;
    if (length < cameraHeader) return ERROR_TOO_LARGE;
    jpegStart = cameraHeader;
    jpegLength = length - cameraHeader;
    bytesPutU32(head, cameraHeader + 8);
  } else {
    // The reply starts with its own header size and JPEG length.
    auto size = in.u32be(0), jpeg = in.u32be(4);
    if (!size || !jpeg || *size > length - 8) return ERROR_TOO_LARGE;
    cameraHeader = *size;
    headerStart = 8;
    jpegStart = 8 + static_cast<size_t>(cameraHeader);
    if (*jpeg > length - jpegStart) return ERROR_TOO_LARGE;
    jpegLength = *jpeg;
    bytesPutU32(head, static_cast<uint32_t>(kNikonFrameHeadBytes));
  }
  bytesPutU32(head + kNikonHeadJpegLength, static_cast<uint32_t>(jpegLength));
  std::memcpy(head + 8, reply + headerStart, std::min<size_t>(cameraHeader, kCameraHeaderCopy));
  headToLittleEndian(head);
  if (modelIn(model, {192, 195, 198, 199, 201, 202, 203, 204})) head[68] = 0;
  if (!modelIn(model, {196, 200})) bytesPutU32(head + 352, 0xFFFFFFFF);
  buildFrame(head, reply + jpegStart, jpegLength, frame);
  return PTP_RC_OK;
}

PtpResponseCode nikonParseLiveViewFrameEx(const uint8_t* reply, size_t length, std::vector<uint8_t>& frame) {
  frame.clear();
  if (!reply || length == 0) return ERROR_INVALID_INPUT;
  if (length > kNikonMaxFrameReply) return ERROR_TOO_LARGE;
  ByteReader in(reply, length);
  const auto version = in.u16be(0);
  if (!version) return ERROR_TOO_LARGE;
  const size_t block = *version == 1 ? 384 : *version == 2 ? 820 : 0;
  const auto headSize = in.u32be(8), jpegClaim = in.u32be(12);
  if (!headSize || !jpegClaim || *headSize > length) return ERROR_TOO_LARGE;
  // Every field read below must lie inside the reply.
  if (!in.has(0, 56) || !in.has(block, 30) || (*version == 1 && !in.has(384, 4)) || (*version == 2 && !in.has(816, 4)))
    return ERROR_TOO_LARGE;

  uint8_t head[kNikonFrameHeadBytes] = {};
  const uint32_t jpegLength = std::min<uint32_t>(*jpegClaim, static_cast<uint32_t>(length - *headSize));
  bytesPutU32(head, *headSize);
  bytesPutU32(head + 4, jpegLength);
  auto u16 = [&](size_t off) { return bytesGetU16BE(reply + off); };
  bytesPutU16(head + 12, u16(16));
  bytesPutU16(head + 14, u16(18));
  bytesPutU16(head + 16, u16(20));
  bytesPutU16(head + 18, u16(22));
  bytesPutU16(head + 20, u16(24));
  bytesPutU16(head + 22, u16(26));
  bytesPutU16(head + 8, u16(28));
  bytesPutU16(head + 10, u16(30));
  head[49] = reply[40];
  head[38] = reply[41];
  head[48] = reply[42];
  head[71] = reply[44];
  bytesPutU16(head + 24, u16(48));
  bytesPutU16(head + 26, u16(50));
  bytesPutU16(head + 28, u16(52));
  bytesPutU16(head + 30, u16(54));
  if (*version == 1) bytesPutU32(head + 64, bytesGetU32BE(reply + 384));
  else if (*version == 2) bytesPutU32(head + 64, bytesGetU32BE(reply + 816));
  std::memcpy(head + 352, reply + block + 4, 4);
  head[68] = reply[block + 8];
  bytesPutU16(head + 46, u16(block + 16));
  head[360] = reply[block + 18];
  head[kNikonHeadRotation] = reply[block + 19];
  bytesPutU32(head + 52, u16(block + 20));
  bytesPutU32(head + 56, u16(block + 24));
  bytesPutU32(head + 60, u16(block + 28));
  buildFrame(head, reply + *headSize, jpegLength, frame);
  return PTP_RC_OK;
}

uint16_t nikonLiveViewOpcode() {
  return ptpOperationListed(PTP_OC_NIKON_GetLiveViewImageEx) ? PTP_OC_NIKON_GetLiveViewImageEx
                                                             : PTP_OC_NIKON_GetLiveViewImage;
}

std::array<uint8_t, kNikonFrameHeadBytes> nikonGetLiveViewInfo() {
  NikonModuleState& s = nikonState();
  std::lock_guard lock(s.headMutex);
  return s.lastFrameHead;
}

uint8_t nikonRotationToOrientation(uint8_t rotation) {
  static constexpr uint8_t kOrientation[4] = {1, 7, 6, 3};
  return rotation < 4 ? kOrientation[rotation] : 1;
}

uint8_t nikonGetLiveViewOrientation() { return nikonRotationToOrientation(nikonGetLiveViewInfo()[kNikonHeadRotation]); }

bool nikonAfPointFor(float x, float y, uint32_t& px, uint32_t& py) {
  const auto head = nikonGetLiveViewInfo();
  const uint32_t width = head[kNikonHeadWidth] | head[kNikonHeadWidth + 1] << 8;
  const uint32_t height = head[kNikonHeadHeight] | head[kNikonHeadHeight + 1] << 8;
  // A position outside the frame (or not a number) is no point in it.
  if (!(x >= 0.0f && x <= 1.0f && y >= 0.0f && y <= 1.0f)) return false;
  px = static_cast<uint32_t>(static_cast<float>(width) * x);
  py = static_cast<uint32_t>(static_cast<float>(height) * y);
  return true;
}
