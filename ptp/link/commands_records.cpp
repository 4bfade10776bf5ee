// Wrappers that send a built record or a name: watermark, 178, 211, the name commands
// and the metadata edit of opcode 233.
#include <cstdio>
#include <cstring>
#include <string>

#include "ptp/base/camera_vendor.h"
#include "ptp/link/command_vendor.h"
#include "ptp/link/commands.h"
#include "ptp/link/commands_internal.h"

using namespace devdetail;

namespace {

void putFloat(uint8_t* p, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bytesPutU32(p, bits);
}

// At most maxBytes of text, never ending inside a UTF-8 sequence.
size_t utf8Cut(const char* text, size_t maxBytes) {
  size_t len = ::strnlen(text, maxBytes + 1);
  if (len <= maxBytes) return len;
  len = maxBytes;
  while (len > 0 && (static_cast<uint8_t>(text[len]) & 0xC0) == 0x80) --len;
  return len;
}

void copyString63(uint8_t* field, const char* s) {
  if (!s) return;
  std::memcpy(field, s, ::strnlen(s, 63));
}

}  // namespace

std::array<uint8_t, kDevWatermarkRecordBytes> devBuildWatermarkRecord(uint8_t show, const char* text, uint8_t size,
                                                                      uint8_t location) {
  std::array<uint8_t, kDevWatermarkRecordBytes> r{};
  bytesPutU32(r.data(), kDevWatermarkRecordBytes);
  r[4] = show;
  if (show == 0) return r;  // off: nothing else is meaningful, and nothing stale goes out
  r[5] = location;
  r[6] = size;
  if (text) std::memcpy(r.data() + 7, text, utf8Cut(text, kDevWatermarkTextBytes - 1));
  return r;
}

PtpResponseCode devSetWatermark(uint8_t show, const char* text, uint8_t size, uint8_t location) {
  auto r = devBuildWatermarkRecord(show, text, size, location);
  return linkCommand(DeviceOpcodeWatermarkSettings, r.data(), r.size());
}

PtpResponseCode devClearWatermark() { return devSetWatermark(0, nullptr, 0, 0); }

PtpResponseCode devSetWatermarkOn(const char* text, uint8_t size, uint8_t location) {
  return devSetWatermark(1, text, size, location);
}

std::array<uint8_t, 129> devBuild178Record(uint8_t value, const char* first, const char* second) {
  std::array<uint8_t, 129> r{};
  r[0] = value;
  copyString63(r.data() + 1, first);
  copyString63(r.data() + 65, second);
  return r;
}

PtpResponseCode devSet178(uint8_t value, const char* first, const char* second) {
  auto r = devBuild178Record(value, first, second);
  return linkCommand(DeviceOpcode178, r.data(), r.size());
}

ByteBuffer devBuild211Simple(uint16_t code, uint8_t flag, float a, float d, float b, float c, float e) {
  if (code == 0 || !(b >= 0.1f)) return {};
  ByteBuffer r(31, 0);
  r[0] = 4;
  r[1] = flag;
  bytesPutU32(r.data() + 2, 25);
  bytesPutU16(r.data() + 6, code);
  putFloat(r.data() + 8, a);
  putFloat(r.data() + 12, b);
  putFloat(r.data() + 16, e < 0 ? 0.1f : c);
  putFloat(r.data() + 20, e);
  putFloat(r.data() + 24, d);
  r[30] = devVendorHooks().isManualFocus();
  return r;
}

PtpResponseCode devSet211Simple(uint16_t code, uint8_t flag, float a, float d, float b, float c, float e) {
  ByteBuffer r = devBuild211Simple(code, flag, a, d, b, c, e);
  if (r.empty()) return ERROR_INVALID_INPUT;
  return linkCommand(DeviceOpcode211, r.data(), r.size());
}

ByteBuffer devBuild211(uint16_t focusCount, uint32_t code, uint32_t first, uint32_t second, uint16_t count,
                       uint8_t mode, uint8_t flag, float x, float y, float z, float value) {
  // A property block when there is a property (or a third focus value, sent under the
  // marker code 0x1234); a focus block when there are focus steps.
  const bool property = code != 0 || z > 0;
  const bool focus = focusCount > 0;
  if (!property && !focus) return {};
  auto hooks = devVendorHooks();
  const uint8_t manual = hooks.isManualFocus();
  const uint16_t vendor = camGetVendor();
  const uint32_t body = (property ? 22u : 0u) + (focus ? 17u : 0u);
  ByteBuffer r(body + 6, 0);
  r[0] = property && focus ? 3 : (property ? 2 : 1);
  r[1] = flag;
  bytesPutU32(r.data() + 2, body);
  size_t at = 6;
  if (property) {
    uint8_t sentMode = mode;
    bool swapped = (code == 0xD20D && vendor == CameraVendorSony) || (code == 0x5007 && vendor == CameraVendorFujifilm);
    if (swapped && (mode == 1 || mode == 2)) sentMode = mode == 1 ? 2 : 1;
    bytesPutU32(r.data() + 6, z > 0 ? 0x1234 : code);
    bytesPutU32(r.data() + 10, first);
    bytesPutU32(r.data() + 14, second);
    bytesPutU16(r.data() + 18, count);
    r[20] = sentMode;
    putFloat(r.data() + 21, value);
    r[27] = manual;
    at = 28;
  }
  if (focus) {
    bytesPutU16(r.data() + at, focusCount);
    putFloat(r.data() + at + 2, x);
    putFloat(r.data() + at + 6, y);
    putFloat(r.data() + at + 10, z);
    r[at + 16] = manual;
  }
  return r;
}

PtpResponseCode devSet211(uint16_t focusCount, uint32_t code, uint32_t first, uint32_t second, uint16_t count,
                          uint8_t mode, uint8_t flag, float x, float y, float z, float value) {
  ByteBuffer r = devBuild211(focusCount, code, first, second, count, mode, flag, x, y, z, value);
  if (r.empty()) return ERROR_INVALID_INPUT;
  return linkCommand(DeviceOpcode211, r.data(), r.size());
}

PtpResponseCode devQueryName228(const char* name, ByteBuffer& out) {
  out.clear();
  if (!name || !nameFits(name, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  return linkRequest(DeviceOpcode228, p.data(), p.size(), out);
}

PtpResponseCode devSendNames229(const char* first, const char* second) {
  if (!first) return 0;
  if (!nameFits(first, kDevNameMaxChars) || (second && !nameFits(second, kDevNameMaxChars)))
    return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(first);
  if (second && *second) {
    ByteBuffer s = withNul(second);
    p.insert(p.end(), s.begin(), s.end());
  }
  return linkCommand(DeviceOpcode229, p.data(), p.size());
}

PtpResponseCode devQueryName230(const char* name, uint8_t* value) {
  if (!name || !value || !nameFits(name, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  return requestByte(DeviceOpcode230, p.data(), p.size(), value);
}

PtpResponseCode devSetName231(const char* name, uint8_t value) {
  if (!name) return 0;
  if (!nameFits(name, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  p.push_back(value);
  return linkCommand(DeviceOpcode231, p.data(), p.size());
}

PtpResponseCode devSend247(const char* text) {
  if (!text) return ERROR_INVALID_INPUT;
  if (!nameFits(text, kLinkMaxFrameBytes - 11)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(text);
  return linkCommand(DeviceOpcode247, p.data(), p.size());
}

PtpResponseCode devSend252(const char* text) {
  if (!text || !nameFits(text, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(text);
  return linkCommand(DeviceOpcode252, p.data(), p.size());
}

PtpResponseCode devQueryName255(const char* name, uint8_t* value) {
  if (!name || !value || !nameFits(name, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  return requestByte(DeviceOpcode255, p.data(), p.size(), value);
}

PtpResponseCode devExiv2(const char* path, const char* arguments) {
  if (!path || !arguments) return ERROR_INVALID_INPUT;
  if (!nameFits(path, kDevExiv2MaxBytes - 1) || !nameFits(arguments, kDevExiv2MaxBytes - 1))
    return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(path);
  ByteBuffer a = withNul(arguments);
  p.insert(p.end(), a.begin(), a.end());
  return linkCommand(DeviceOpcodeExiv2, p.data(), p.size());
}

namespace {
// The formatted argument string, or empty when it would not fit its 512 bytes or the
// text would break out of its quotes.
std::string formatExiv2(const char* text, bool withRating, uint8_t rating, bool ratingOnly) {
  if (text && std::strchr(text, '"')) return {};
  char buffer[kDevExiv2FormatBytes + 1];
  int n;
  if (ratingOnly)
    n = std::snprintf(buffer, sizeof buffer, "exiv2 -M\"set Xmp.xmp.Rating %d\"", int(rating));
  else if (withRating)
    n = std::snprintf(buffer, sizeof buffer, "-M\"set Exif.Image.ImageDescription %s\" -M\"set Xmp.xmp.Rating %d\"",
                      text, int(rating));
  else
    n = std::snprintf(buffer, sizeof buffer, "-M\"set Exif.Image.ImageDescription %s\"", text);
  if (n < 0 || size_t(n) + 1 > kDevExiv2FormatBytes) return {};
  return std::string(buffer, size_t(n));
}
}  // namespace

PtpResponseCode devSetImageDescription(const char* path, const char* text) {
  if (!path || !text || !nameFits(text, 500)) return ERROR_INVALID_INPUT;
  std::string args = formatExiv2(text, false, 0, false);
  if (args.empty()) return ERROR_INVALID_INPUT;
  return devExiv2(path, args.c_str());
}

PtpResponseCode devSetRating(const char* path, uint8_t rating) {
  if (!path || !nameFits(path, 450)) return ERROR_INVALID_INPUT;
  return devExiv2(path, formatExiv2(nullptr, false, rating, true).c_str());
}

PtpResponseCode devSetDescriptionAndRating(const char* path, const char* text, uint8_t rating) {
  if (!path || !text || !nameFits(text, 450)) return 0;
  std::string args = formatExiv2(text, true, rating, false);
  if (args.empty()) return ERROR_INVALID_INPUT;
  return devExiv2(path, args.c_str());
}
