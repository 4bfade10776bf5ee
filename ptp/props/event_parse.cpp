#include "ptp/props/event_parse.h"

#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
constexpr uint32_t kSonyReadAll = 0x12345678;
constexpr size_t kRowNameBytes = 32;

void objectAdded(std::span<const uint8_t> row) {
  ByteReader r(row);
  PtpObjectInfoStruct record;
  std::memset(&record, 0, sizeof record);
  record.objectId = kObjectIdNone;  // known by name only
  record.objectCompressedSize = r.u32(2).value_or(0);
  record.thumbFormat = 1;
  std::memcpy(record.fileName, row.data() + 6, kRowNameBytes);
  record.objectFormat = fileFormatFromName(record.fileName);
  evtQueueObjectAdded(record, false);
}

// The exposure program decides whether aperture, shutter speed and exposure bias can be
// set; the camera's own flag for them is not trusted.
uint8_t fujiGetSet(CameraServices& services, uint32_t code, uint8_t getSet) {
  if (code != 0x5010 && code != 0x500D && code != 0x5007) return getSet;
  const auto program = propCurrentValue(0x500E);
  if (!program) return getSet;
  const uint32_t value = *program;
  bool settable;
  if (code == 0x5010) settable = services.isExposureBiasSettable(value);
  else if (code == 0x500D) settable = services.isShutterSettable(value);
  else settable = services.isApertureSettable(value);
  return settable ? 1 : 0;
}

void propertyChanged(std::span<const uint8_t> row, uint16_t vendor, CameraServices& services) {
  ByteReader r(row);
  const uint32_t code = r.u32(2).value_or(0);
  const uint32_t value = r.u32(6).value_or(0);
  uint8_t getSet = r.u8(10).value_or(0);
  if (vendor == CameraVendorSony && code == kSonyReadAll) {
    services.sonyReadAllProperties(1);
    return;
  }
  if (vendor == CameraVendorFujifilm) getSet = fujiGetSet(services, code, getSet);
  PropertyStruct* record = services.storePropertyValue(code, value, getSet);
  if (!record) record = propFind(code, false);
  if (vendor == CameraVendorFujifilm && record && record->code == 0x500E) {
    for (uint32_t dependent : {0x5007u, 0x500Du, 0x5010u}) services.refreshProperty(dependent);
  }
  evtQueuePropertyChanged(record, false);
}

PtpResponseCode parseRows(std::span<const uint8_t> data, uint16_t vendor, CameraServices& services) {
  for (size_t off = 0; data.size() - off >= kEventRowBytes; off += kEventRowBytes) {
    auto row = data.subspan(off, kEventRowBytes);
    const uint16_t kind = ByteReader(row).u16(0).value_or(0);
    if (kind == PTP_EC_DEVICE_RowObjectAdded) objectAdded(row);
    else if (kind == PTP_EC_DEVICE_RowPropertyChanged) propertyChanged(row, vendor, services);
  }
  return PTP_RC_OK;
}
}  // namespace

PtpResponseCode camParseEvents(std::span<const uint8_t> data) {
  auto services = cameraServices();
  const uint16_t vendor = camGetVendor();
  PtpResponseCode result;
  switch (vendor) {
    case CameraVendorCanon: result = services->canonParseEvents(data); break;
    case CameraVendorNikon: result = services->nikonParseEvents(data); break;
    case CameraVendorFujifilm:
    case CameraVendorSony: result = parseRows(data, vendor, *services); break;
    default: return ERROR_CAMERA_NOT_SUPPORTED;
  }
  if (result == PTP_RC_OK) evtRunAfterEvents();
  return result;
}
