// Byte ranges, whole objects and the by-name reads.
#include <algorithm>
#include <cstring>
#include <new>
#include <thread>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/timing.h"
#include "ptp/link/command_vendor.h"
#include "ptp/link/commands.h"
#include "ptp/link/commands_internal.h"
#include "ptp/link/pending_table.h"

using namespace devdetail;

namespace {

constexpr uint8_t kCanonModelByRanges = 251;

bool relayedByRecord(uint8_t mode) { return mode == RelayModeRelayOnly || mode == RelayModeRelayAndKeep; }

// A record naming a file on the device's card: no handle, the name, all else 0.
PtpObjectInfoStruct nameRecord(const char* name, uint16_t nameLength) {
  PtpObjectInfoStruct r{};
  r.objectId = kObjectIdNone;
  std::memcpy(r.fileName, name, ::strnlen(name, kDevRecordNameMaxChars));
  r.fileNameLength = nameLength;
  return r;
}

const uint8_t* bytesOf(const PtpObjectInfoStruct& r) { return reinterpret_cast<const uint8_t*>(&r); }

// {u32 offset, u32 length, name and NUL}
ByteBuffer byNameRequest(uint32_t offset, uint32_t length, const char* name) {
  size_t n = std::strlen(name);
  ByteBuffer p(8 + n + 1);
  bytesPutU32(p.data(), offset);
  bytesPutU32(p.data() + 4, length);
  std::memcpy(p.data() + 8, name, n + 1);
  return p;
}

void napBusy() { std::this_thread::sleep_for(timing().busyRetryDelay.load()); }

// One range of a ranged download, with the DeviceBusy retries. The reply must bring
// between 1 byte and what was asked.
template <class Fetch>
PtpResponseCode fetchRange(Fetch fetch, uint32_t asked, ByteBuffer& chunk) {
  PtpResponseCode rc = PTP_RC_OK;
  for (uint32_t attempt = 0; attempt < kDevBusyTries; ++attempt) {
    if (attempt > 0) napBusy();
    rc = fetch(chunk);
    if (rc != PTP_RC_DeviceBusy) break;
  }
  if (rc != PTP_RC_OK) return rc;
  if (chunk.empty() || chunk.size() > asked) return ERROR_BAD_REPLY;
  return PTP_RC_OK;
}

// Reads size bytes in ranges of at most rangeBytes; keep = copy them into out.
template <class FetchAt>
PtpResponseCode downloadRanges(uint32_t size, uint32_t rangeBytes, bool keep, ByteBuffer& out, FetchAt fetchAt) {
  out.clear();
  if (keep) {
    try {
      out.resize(size);
    } catch (const std::bad_alloc&) {
      return ERROR_NO_MEMORY;
    }
  }
  uint32_t offset = 0;
  ByteBuffer chunk;
  while (offset < size) {
    uint32_t asked = std::min(size - offset, rangeBytes);
    PtpResponseCode rc = fetchRange([&](ByteBuffer& c) { return fetchAt(offset, asked, c); }, asked, chunk);
    if (rc != PTP_RC_OK) {
      out.clear();
      return rc;
    }
    if (keep) std::memcpy(out.data() + offset, chunk.data(), chunk.size());
    // Every relay mode moves on by what arrived: the loop always ends.
    offset += static_cast<uint32_t>(chunk.size());
  }
  return PTP_RC_OK;
}

}  // namespace

PtpResponseCode devGetPartialObject(const PtpObjectInfoStruct* record, uint32_t offset, uint32_t length,
                                    ByteBuffer& out, uint8_t relayMode) {
  out.clear();
  if (!record) return ERROR_INVALID_INPUT;
  if (record->objectId != kObjectIdNone) {
    uint8_t p[12];
    bytesPutU32(p, record->objectId);
    bytesPutU32(p + 4, offset);
    bytesPutU32(p + 8, length);
    if (relayMode == 0) return linkRequest(DeviceOpcodePartialObject, p, sizeof p, out);
    PtpObjectInfoStruct relay = *record;
    relay.sequenceNumber = offset;
    return linkRelayRequest(p, sizeof p, DeviceOpcodePartialObject, relayMode, RelayCodePartialObjectInfo,
                            kObjectInfoBytes, bytesOf(relay), out);
  }
  if (::strnlen(record->fileName, kObjectNameBytes) > kDevRecordNameMaxChars) return ERROR_INVALID_INPUT;
  ByteBuffer p = byNameRequest(offset, length, record->fileName);
  if (relayMode == 0) return linkRequest(DeviceOpcodePartialObjectByName, p.data(), p.size(), out);
  ByteBuffer name = withNul(record->fileName);
  return linkRelayRequest(p.data(), p.size(), DeviceOpcodePartialObjectByName, relayMode, RelayCodeFileName,
                          static_cast<uint32_t>(name.size()), name.data(), out);
}

PtpResponseCode devDownloadObject(const PtpObjectInfoStruct* record, ByteBuffer& out, uint8_t relayMode) {
  out.clear();
  if (!record) return ERROR_INVALID_INPUT;
  const uint32_t size = record->objectCompressedSize;
  if (size > kDevMaxObjectBytes) return ERROR_TOO_LARGE;
  auto hooks = devVendorHooks();
  const uint16_t vendor = camGetVendor();
  const bool canonByRanges = vendor == CameraVendorCanon && camModelIndex() == kCanonModelByRanges;
  if (size < kDevGetObjectLimit && !canonByRanges) {
    if (relayMode != 0) {
      msgTablePut(PTP_OC_GetObject, bytesOf(*record),
                  PendingRelayHeader{kObjectInfoBytes + 10, relayMode, RelayCodeObjectInfo,
                                     static_cast<uint32_t>(kObjectInfoBytes)});
    }
    PtpResponseCode rc = PTP_RC_OK;
    for (uint32_t attempt = 0; attempt < kDevBusyTries; ++attempt) {
      if (attempt > 0) napBusy();
      out.clear();
      rc = hooks.getObject(record->objectId, relayMode == RelayModeRelayOnly ? nullptr : &out);
      if (rc != PTP_RC_DeviceBusy) break;
    }
    msgTableRemove(PTP_OC_GetObject);
    if (rc != PTP_RC_OK) out.clear();
    return rc;
  }
  const uint32_t range =
      vendor == CameraVendorCanon && hooks.canonIsRecentModel() ? kDevCanonRecentRangeBytes : kDevRangeBytes;
  return downloadRanges(size, range, relayMode != RelayModeRelayOnly, out,
                        [&](uint32_t offset, uint32_t length, ByteBuffer& chunk) {
                          return devGetPartialObject(record, offset, length, chunk, relayMode);
                        });
}

PtpResponseCode devGetObjectSizeByName(const char* name, uint64_t* size) {
  if (!name || !size || !nameFits(name, kDevRecordNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  ByteBuffer reply;
  PtpResponseCode rc = requestExact(DeviceOpcodeFileSizeByName, p.data(), p.size(), 8, reply);
  if (rc != PTP_RC_OK) return rc;
  *size = bytesGetU32(reply.data()) | (uint64_t(bytesGetU32(reply.data() + 4)) << 32);
  return PTP_RC_OK;
}

PtpResponseCode devDownloadFileByName(const char* name, ByteBuffer& out, uint8_t relayMode,
                                      const PtpObjectInfoStruct* relayRecord) {
  out.clear();
  if (!name || !nameFits(name, kDevRecordNameMaxChars)) return ERROR_INVALID_INPUT;
  uint64_t announced = 0;
  PtpResponseCode rc = devGetObjectSizeByName(name, &announced);
  if (rc != PTP_RC_OK) return rc;
  if (announced > kDevMaxObjectBytes) return ERROR_TOO_LARGE;
  const uint32_t size = static_cast<uint32_t>(announced);
  const uint16_t nameLength = static_cast<uint16_t>(std::strlen(name) + 1);

  auto fetchAt = [&](uint32_t offset, uint32_t length, ByteBuffer& chunk, const PtpObjectInfoStruct* given) {
    ByteBuffer p = byNameRequest(offset, length, name);
    if (relayMode == 0) return linkRequest(DeviceOpcodePartialObjectByName, p.data(), p.size(), chunk);
    PtpObjectInfoStruct relay;
    if (given) {
      relay = *given;
    } else {
      relay = nameRecord(name, nameLength);
      relay.objectCompressedSize = size;
      relay.sequenceNumber = offset;
    }
    return linkRelayRequest(p.data(), p.size(), DeviceOpcodePartialObjectByName, relayMode,
                            RelayCodePartialObjectInfo, kObjectInfoBytes, bytesOf(relay), chunk);
  };

  if (size >= kDevRangeBytes) {
    return downloadRanges(size, kDevRangeBytes, relayMode != RelayModeRelayOnly, out,
                          [&](uint32_t offset, uint32_t length, ByteBuffer& chunk) {
                            return fetchAt(offset, length, chunk, nullptr);
                          });
  }
  rc = fetchAt(0, size, out, relayRecord);
  if (rc != PTP_RC_OK) {
    out.clear();
    return rc;
  }
  if (out.size() > size || (out.empty() && size > 0)) {
    out.clear();
    return ERROR_BAD_REPLY;
  }
  return PTP_RC_OK;
}

PtpResponseCode devGetThumbnailByName(const char* name, ByteBuffer& out, uint8_t* orientation, uint8_t relayMode) {
  out.clear();
  if (!name || !orientation || !nameFits(name, kDevRecordNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  PtpResponseCode rc;
  if (relayMode != 0) {
    PtpObjectInfoStruct relay = nameRecord(name, static_cast<uint16_t>(std::strlen(name)));
    rc = linkRelayRequest(p.data(), p.size(), DeviceOpcodeThumbnailByName, relayMode, RelayCodeObjectInfo,
                          kObjectInfoBytes, bytesOf(relay), out);
  } else {
    rc = linkRequest(DeviceOpcodeThumbnailByName, p.data(), p.size(), out);
  }
  if (rc != PTP_RC_OK) return rc;
  // The first byte is the orientation: a reply without it is not a thumbnail.
  if (out.empty()) return ERROR_BAD_REPLY;
  *orientation = out[0];
  out.erase(out.begin());
  return PTP_RC_OK;
}

PtpResponseCode devGetExtractedJpeg(const PtpObjectInfoStruct* record, ByteBuffer& out, uint8_t relayMode) {
  out.clear();
  if (!record) return ERROR_INVALID_INPUT;
  uint8_t p[4];
  bytesPutU32(p, record->objectId);
  if (!relayedByRecord(relayMode)) return linkRequest(DeviceOpcodeExtractedJpeg, p, sizeof p, out);
  return linkRelayRequest(p, sizeof p, DeviceOpcodeExtractedJpeg, relayMode, RelayCodeObjectInfo, kObjectInfoBytes,
                          bytesOf(*record), out);
}

PtpResponseCode devGetExtractedJpegByName(const char* name, ByteBuffer& out, uint8_t relayMode) {
  out.clear();
  if (!name || !nameFits(name, kDevNameMaxChars)) return ERROR_INVALID_INPUT;
  ByteBuffer p = withNul(name);
  if (!relayedByRecord(relayMode)) return linkRequest(DeviceOpcodeExtractedJpegByName, p.data(), p.size(), out);
  PtpObjectInfoStruct relay = nameRecord(name, static_cast<uint16_t>(std::strlen(name)));
  return linkRelayRequest(p.data(), p.size(), DeviceOpcodeExtractedJpegByName, relayMode, RelayCodeObjectInfo,
                          kObjectInfoBytes, bytesOf(relay), out);
}
