#include "ptp/cache/fetch.h"

#include <algorithm>
#include <cctype>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/cache/cache.h"
#include "ptp/camera/ptp_objects.h"
#include "ptp/link/commands.h"
#include "ptp/link/link.h"
#include "ptp/link/pending_table.h"
#include "ptp/protocol/object_info_dataset.h"

namespace {
constexpr uint32_t kNikonOrientationMinBytes = 2049;

void handOut(std::vector<uint8_t>& from, std::vector<uint8_t>& to) {
  if (!from.empty()) to.swap(from);
}
void handOut(const ByteBuffer& from, std::vector<uint8_t>& to) {
  if (!from.empty()) to.assign(from.begin(), from.end());
}

// Nikon bodies leave the orientation out of ObjectInfo; the device reads it from the file.
void nikonOrientation(PtpObjectInfoStruct& record) {
  if (!camIsNikon() || record.orientation != 0 || record.objectCompressedSize < kNikonOrientationMinBytes) return;
  uint8_t orientation = 0;
  if (devGetObjectOrientation(record.objectId, &orientation) == PTP_RC_OK) record.orientation = orientation;
}

bool nameLooksRaw(const std::string& name) {
  std::string upper(name);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  for (const char* ext : {".ARW", ".CR2", ".CR3", ".NEF", ".RAF"})
    if (upper.find(ext) != std::string::npos) return true;
  return false;
}
}  // namespace

PtpResponseCode fetchObjectData(const PtpObjectInfoStruct* record, std::vector<uint8_t>& data) {
  data.clear();
  if (!record) return ERROR_INVALID_INPUT;
  if (record->objectCompressedSize > kFetchMaxObjectBytes) return ERROR_TOO_LARGE;
  if (cacheReadObject(*record, data)) return PTP_RC_OK;
  data.clear();
  // Without a handle there is nothing to ask PTP for.
  if (!objectInfoHasHandle(*record)) return ERROR_INVALID_INPUT;
  ByteBuffer fetched;
  PtpResponseCode rc = ptpGetObject(record->objectId, fetched);
  if (rc != PTP_RC_OK) return rc;
  if (!fetched.empty()) cacheStoreObject(*record, fetched);
  data.assign(fetched.begin(), fetched.end());
  return PTP_RC_OK;
}

PtpResponseCode fetchDisplayImageData(const PtpObjectInfoStruct* record, std::vector<uint8_t>& data,
                                      uint8_t relayMode, uint8_t* downloaded, bool preferExtracted) {
  if (downloaded) *downloaded = 0;
  data.clear();
  if (!record || !downloaded) return ERROR_INVALID_INPUT;
  PtpObjectInfoStruct copy = *record;
  const bool hasHandle = objectInfoHasHandle(copy);
  if (copy.imagePixWidth == 0 && hasHandle) fetchObjectInfo(&copy, false);

  std::vector<uint8_t> bytes;
  if (cacheReadModifiedJpeg(copy, bytes)) {
    handOut(bytes, data);
    return PTP_RC_OK;
  }
  bytes.clear();

  const std::string name = objectInfoFileName(copy);
  if (!hasHandle && name.empty()) return ERROR_INVALID_INPUT;
  const bool extracted =
      preferExtracted && (hasHandle ? fileFormatIsRaw(copy.objectFormat) : fileNameIsRaw(name.c_str()));

  ByteBuffer fetched;
  if (extracted) {
    if (cacheReadExtractedJpeg(copy, bytes)) {
      handOut(bytes, data);
      return PTP_RC_OK;
    }
    PtpResponseCode rc = hasHandle ? devGetExtractedJpeg(&copy, fetched, relayMode)
                                   : devGetExtractedJpegByName(name.c_str(), fetched, relayMode);
    if (rc != PTP_RC_OK) return rc;
    *downloaded = 1;
    if (!fetched.empty()) cacheStoreExtractedJpeg(copy, nullptr, fetched);
  } else {
    if (cacheReadObject(copy, bytes)) {
      handOut(bytes, data);
      return PTP_RC_OK;
    }
    PtpResponseCode rc = hasHandle ? devDownloadObject(&copy, fetched, relayMode)
                                   : devDownloadFileByName(name.c_str(), fetched, relayMode, &copy);
    if (rc != PTP_RC_OK) return rc;
    *downloaded = 1;
    if (!fetched.empty()) cacheStoreObject(copy, fetched);
  }
  handOut(fetched, data);
  return PTP_RC_OK;
}

PtpResponseCode fetchObjectInfo(PtpObjectInfoStruct* record, bool force) {
  if (!record || !objectInfoHasHandle(*record)) return ERROR_INVALID_INPUT;
  if (!(force && record->imagePixWidth != 0)) {
    PtpObjectInfoStruct cached{};
    if (cacheGetRecord(*record, &cached)) {
      *record = cached;
      if (camIsNikon() && record->orientation == 0 && record->objectCompressedSize >= kNikonOrientationMinBytes) {
        nikonOrientation(*record);
        cacheStoreRecord(*record);
      }
      return PTP_RC_OK;
    }
  }
  PtpObjectInfoStruct fresh = *record;
  PtpResponseCode rc = ptpGetObjectInfo(record->objectId, &fresh);
  if (rc != PTP_RC_OK) return rc;
  nikonOrientation(fresh);
  *record = fresh;
  cacheStoreRecord(*record);
  return PTP_RC_OK;
}

PtpResponseCode fetchThumbnail(PtpObjectInfoStruct* record, std::vector<uint8_t>& data, uint8_t relayMode) {
  data.clear();
  if (!record) return ERROR_INVALID_INPUT;
  std::vector<uint8_t> bytes;
  if (cacheReadThumb(*record, bytes)) {
    handOut(bytes, data);
    return PTP_RC_OK;
  }
  ByteBuffer fetched;
  const bool hasHandle = objectInfoHasHandle(*record);
  uint8_t orientation = 0;
  bool haveOrientation = false;
  PtpResponseCode rc;
  if (!hasHandle) {
    const std::string name = objectInfoFileName(*record);
    if (name.empty()) return ERROR_INVALID_INPUT;
    rc = devGetThumbnailByName(name.c_str(), fetched, &orientation, relayMode);
    haveOrientation = true;
  } else {
    // Canon's thumbnail read also finds the orientation, which its ObjectInfo lacks.
    haveOrientation = camIsCanon();
    uint8_t* wantOrientation = haveOrientation ? &orientation : nullptr;
    if (relayMode) {
      const uint32_t key = camIsNikon() ? PTP_OC_GetThumb : PTP_OC_CANON_GetThumbEx;
      PtpObjectInfoStruct relayed = *record;
      ptpObjectInfoHook(relayed);
      msgTableSetObjectRelayFor(1, &relayed, key);
      rc = ptpGetThumb(record->objectId, fetched, 0, wantOrientation);
      msgTableSetObjectRelayFor(0, &relayed, key);
    } else {
      rc = ptpGetThumb(record->objectId, fetched, 0, wantOrientation);
    }
  }
  if (rc != PTP_RC_OK) return rc;
  if (haveOrientation) {
    // 0 is no orientation at all: a thumbnail without one keeps what the record knew.
    if (orientation != 0) record->orientation = orientation;
    cacheStoreRecord(*record);
  }
  if (!fetched.empty()) {
    cacheStoreThumb(*record, fetched);
    handOut(fetched, data);
  }
  return PTP_RC_OK;
}

std::optional<std::string> fetchImagePath(const PtpObjectInfoStruct* record, PtpResponseCode* result,
                                          uint8_t* downloaded, int version) {
  PtpResponseCode rc;
  uint8_t fetched = 0;
  std::vector<uint8_t> data;
  if (version == 1) {
    rc = fetchObjectData(record, data);
    fetched = 1;
  } else {
    rc = fetchDisplayImageData(record, data, 0, &fetched, true);
  }
  if (downloaded) *downloaded = fetched;
  if (result) *result = rc;
  if (rc != PTP_RC_OK) return std::nullopt;
  return cacheBestImagePath(*record, true);
}

std::optional<std::string> fetchDisplayImagePath(const PtpObjectInfoStruct* record, bool preferExtracted,
                                                 uint8_t relayMode, PtpResponseCode* result, uint8_t* downloaded) {
  uint8_t fetched = 0;
  std::vector<uint8_t> data;
  PtpResponseCode rc = fetchDisplayImageData(record, data, relayMode, &fetched, preferExtracted);
  if (downloaded) *downloaded = fetched;
  if (result) *result = rc;
  if (rc != PTP_RC_OK) return std::nullopt;
  return cacheBestImagePath(*record, preferExtracted);
}

PtpResponseCode fetchRelayDisplayData(bool preferExtracted, const PtpObjectInfoStruct* record) {
  if (!record) return ERROR_INVALID_INPUT;
  std::vector<uint8_t> bytes;
  if (auto path = cacheModifiedJpegPath(*record)) {
    if (cacheReadFile(*path, bytes)) {
      if (bytes.size() > kFetchMaxObjectBytes) return ERROR_SEND_FAILED;
      PtpObjectInfoStruct relayed = *record;
      ptpObjectInfoHook(relayed);
      ByteBuffer reply;
      return linkRelayRequest(bytes.data(), bytes.size(), DeviceOpcodeExtractedJpegByName, RelayMode162,
                              RelayCodeObjectInfo, kObjectInfoBytes, reinterpret_cast<const uint8_t*>(&relayed), reply);
    }
  }
  ByteBuffer ignored;
  if (objectInfoHasHandle(*record)) {
    if (preferExtracted && fileFormatIsRaw(record->objectFormat))
      return devGetExtractedJpeg(record, ignored, RelayModeRelayOnly);
    return devDownloadObject(record, ignored, RelayModeRelayOnly);
  }
  const std::string name = objectInfoFileName(*record);
  if (name.empty()) return ERROR_INVALID_INPUT;
  if (preferExtracted && nameLooksRaw(name))
    return devGetExtractedJpegByName(name.c_str(), ignored, RelayModeRelayOnly);
  return devDownloadFileByName(name.c_str(), ignored, RelayModeRelayOnly, record);
}

int fileFindTiffJpeg(std::span<const uint8_t> buffer, uint32_t& offset, uint32_t& length) {
  offset = 0;
  length = 0;
  if (buffer.size() < 2) return 0;
  if (!((buffer[0] == 'I' && buffer[1] == 'I') || (buffer[0] == 'M' && buffer[1] == 'M'))) return 0;
  int found = 0;
  size_t i = 0;
  while (found < 3 && i + 4 <= buffer.size()) {
    if (buffer[i] == 0xFF && buffer[i + 1] == 0xD8 && buffer[i + 2] == 0xFF &&
        (buffer[i + 3] == 0xDB || buffer[i + 3] == 0xC4)) {
      const uint32_t n = fileJpegLength(buffer.subspan(i));
      if (n == 0) break;
      offset = static_cast<uint32_t>(i);
      length = n;
      ++found;
      i += n;
      continue;
    }
    ++i;
  }
  return found > 0 ? 1 : 0;
}
