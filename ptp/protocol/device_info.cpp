#include "ptp/protocol/device_info.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/protocol/ptp_transaction.h"

namespace {

struct Stored {
  std::mutex mutex;
  PtpDeviceInfoStruct block{};
};

Stored& S() {
  static Stored* s = new Stored;
  return *s;
}

bool readList(const ByteReader& r, size_t& at, PtpCodeList& list) {
  auto count = r.u32(at);
  if (!count || *count > kPtpMaxCodes || !r.has(at + 4, uint64_t(*count) * 2)) return false;
  list.count = *count;
  for (uint32_t i = 0; i < *count; ++i) list.codes[i] = *r.u16(at + 4 + 2 * uint64_t(i));
  at += 4 + size_t(*count) * 2;
  return true;
}

size_t readText(const ByteReader& r, size_t at, char* dst, size_t dstSize) {
  if (at >= r.size()) return 0;
  return ptpReadString(r.data() + at, r.size() - at, dst, dstSize);
}
}  // namespace

size_t ptpReadString(const uint8_t* src, size_t srcLength, char* dst, size_t dstSize) {
  ByteReader r(src, srcLength);
  auto n = r.u8(0);
  if (!n) return 0;
  if (*n == 0) {
    if (dst && dstSize > 0) dst[0] = '\0';
    return 1;
  }
  size_t used = 2 * size_t(*n) + 1;
  if (!r.has(0, used)) return 0;
  if (dst && dstSize > 0) {
    size_t i = 0;
    for (; i < *n && i < dstSize - 1; ++i) dst[i] = static_cast<char>(src[1 + 2 * i]);
    dst[i] = '\0';
    dst[dstSize - 1] = '\0';
  }
  return used;
}

int ptpParseDeviceInfo(PtpDeviceInfoStruct* block, const uint8_t* data, size_t length) {
  if (!block || !data) {
    errno = EINVAL;
    return -EINVAL;
  }
  ByteReader r(data, length);
  if (length < 8) return -EINVAL;
  auto out = std::make_unique<PtpDeviceInfoStruct>();
  PtpDeviceInfoStruct& b = *out;
  b.standardVersion = *r.u16(0);
  b.vendorExtensionId = *r.u32(2);
  b.vendorExtensionVersion = *r.u16(6);
  size_t at = 8 + readText(r, 8, b.vendorExtensionDesc, sizeof b.vendorExtensionDesc);
  auto mode = r.u16(at);
  if (!mode) return -EINVAL;
  b.functionalMode = *mode;
  at += 2;
  for (PtpCodeList* list : {&b.operationsSupported, &b.eventsSupported, &b.devicePropertiesSupported,
                            &b.captureFormats, &b.imageFormats}) {
    if (!readList(r, at, *list)) return -EINVAL;
  }
  for (char* text : {b.manufacturer, b.model, b.deviceVersion, b.serialNumber}) {
    at += readText(r, at, text, kPtpTextBytes);
  }
  *block = b;
  return 0;
}

PtpResponseCode ptpGetDeviceInfo(PtpDeviceInfoStruct* block) {
  if (!block) {
    errno = EINVAL;
    return EINVAL;
  }
  ByteBuffer data;
  PtpResponseCode rc = ptpTransaction(PTP_OC_GetDeviceInfo, nullptr, 0, nullptr, 0, &data, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  if (ptpParseDeviceInfo(block, data.data(), data.size()) != 0) return 0;
  ptpSetStoredDeviceInfo(*block);
  return PTP_RC_OK;
}

uint16_t ptpVendorFromManufacturer(const char* m) {
  if (!m) return CameraVendorNikon;
  if (std::strncmp(m, "Canon", 5) == 0) return CameraVendorCanon;
  if (std::strncmp(m, "Nikon", 5) == 0) return CameraVendorNikon;
  if (std::strncmp(m, "Sony", 4) == 0) return CameraVendorSony;
  if (std::strncmp(m, "FUJIFILM", 8) == 0) return CameraVendorFujifilm;
  return CameraVendorNikon;
}

uint16_t ptpDetectVendor() {
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  uint16_t vendor = ERROR_DEVICE_INFO;
  if (ptpGetDeviceInfo(block.get()) == PTP_RC_OK) vendor = ptpVendorFromManufacturer(block->manufacturer);
  camSetVendor(vendor);
  return vendor;
}

bool ptpOperationListed(uint16_t op) {
  std::lock_guard lock(S().mutex);
  const PtpCodeList& ops = S().block.operationsSupported;
  for (uint32_t i = 0; i < ops.count && i < kPtpMaxCodes; ++i) {
    if (ops.codes[i] == op) return true;
  }
  return false;
}

bool ptpIsOperationSupported(uint16_t op) {
  if (op == PTP_OC_GetDeviceInfo || op == PTP_OC_OpenSession || op == PTP_OC_GetNumObjects) return true;
  return ptpOperationListed(op) || op == PTP_OC_GetObject;
}

PtpDeviceInfoStruct ptpStoredDeviceInfo() {
  std::lock_guard lock(S().mutex);
  return S().block;
}

void ptpSetStoredDeviceInfo(const PtpDeviceInfoStruct& block) {
  std::lock_guard lock(S().mutex);
  S().block = block;
}

void ptpClearStoredDeviceInfo() {
  std::lock_guard lock(S().mutex);
  S().block = PtpDeviceInfoStruct{};
}

std::optional<std::string> ptpGetModelName() {
  bool fetch;
  {
    std::lock_guard lock(S().mutex);
    fetch = S().block.vendorExtensionId == 0;
  }
  if (fetch) {
    auto block = std::make_unique<PtpDeviceInfoStruct>();
    if (ptpGetDeviceInfo(block.get()) != PTP_RC_OK) return std::nullopt;
  }
  std::lock_guard lock(S().mutex);
  return std::string(S().block.model, ::strnlen(S().block.model, kPtpTextBytes));
}

void ptpSetModelName(const char* text) {
  std::lock_guard lock(S().mutex);
  char* model = S().block.model;
  size_t n = text ? ::strnlen(text, kPtpTextBytes) : 0;
  std::memset(model, 0, kPtpTextBytes);
  std::memcpy(model, text ? text : "", n);
  model[kPtpTextBytes - 1] = '\0';  // a 320-byte text keeps a terminator
}

std::string ptpGetSerialNumber() {
  std::lock_guard lock(S().mutex);
  return std::string(S().block.serialNumber, ::strnlen(S().block.serialNumber, kPtpTextBytes));
}
