#include "ptp/vendors/nikon/nikon_setup.h"

#include "ptp/base/byte_reader.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_events.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {

// Parses the descriptor first and adds the record only when it parses, so that a
// failed descriptor leaves nothing in the table.
bool addParsed(uint32_t code, std::span<const uint8_t> desc) {
  PropertyStruct parsed;
  parsed.code = code;
  if (!propParseDesc(&parsed, desc)) return false;
  PropertyStruct* r = propFind(code, true);
  if (!r) r = propAdd(code, true, true);
  if (!r) return false;
  static_cast<PropertyData&>(*r) = static_cast<const PropertyData&>(parsed);
  r->code = code;
  propUnlock(r);
  return true;
}

bool addByDescriptor(uint32_t code) {
  std::vector<uint8_t> desc;
  return ptpGetDevicePropDesc(code, desc) == PTP_RC_OK && addParsed(code, desc);
}

}  // namespace

PtpResponseCode nikonGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& desc) {
  ByteBuffer data;
  const PtpResponseCode rc = ptpTransaction(PTP_OC_GetDevicePropDesc, &code, 1, nullptr, 0, &data, nullptr, true);
  desc.assign(data.begin(), data.end());
  return rc;
}

PtpResponseCode nikonGetVendorPropCodesFromCamera(ByteBuffer& data) {
  data.clear();
  return ptpTransaction(PTP_OC_NIKON_GetVendorPropCodes, nullptr, 0, nullptr, 0, &data, nullptr, true);
}

PtpResponseCode nikonBuildPropertyBlob(const uint32_t* codes, size_t count, std::vector<uint8_t>& blob) {
  blob.clear();
  if (!codes || count == 0 || count > kNikonMaxBlobCodes) return ERROR_INVALID_INPUT;
  blob.reserve(count * 64);
  for (size_t i = 0; i < count; ++i) {
    std::vector<uint8_t> desc;
    if (ptpGetDevicePropDesc(codes[i], desc) != PTP_RC_OK || desc.empty()) continue;
    if (blob.size() + 4 + desc.size() > kNikonMaxPropertyBlob) break;
    const uint32_t n = static_cast<uint32_t>(desc.size());
    for (int b = 0; b < 4; ++b) blob.push_back(static_cast<uint8_t>(n >> (8 * b)));
    blob.insert(blob.end(), desc.begin(), desc.end());
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonLoadPropertyTable(const uint8_t* blob, size_t length) {
  if (!blob || length < 4) return ERROR_INVALID_INPUT;
  if (length > kNikonMaxPropertyBlob) return ERROR_TOO_LARGE;
  propClearTable();
  ByteReader in(blob, length);
  size_t off = 0;
  while (length - off >= 9) {
    const auto size = in.u32(off);
    const auto code = in.u16(off + 4);
    // A zero length or code ends the list: code 0 names no property.
    if (!size || !code || *size == 0 || *code == 0 || *size > length - off - 4) break;
    addParsed(*code, *in.bytes(off + 4, *size));
    off += 4 + *size;
  }
  if (propCurrentValue(0xD1A0) == 0u) camSetPropertyValue(0xD1A0, 1, false);
  addByDescriptor(0x5003);
  nikonRebuildImageQuality();
  camSetAfState(nikonIsAutoFocusMode() ? 0 : 1);
  return PTP_RC_OK;
}

PtpResponseCode nikonLoadFixedCodes() {
  propClearTable();
  for (uint32_t code : nikonFixedPropertyCodes()) {
    if (propCount() >= kPropTableCapacity) return ERROR_NO_MEMORY;
    addByDescriptor(code);
  }
  if (propCurrentValue(0xD1A0) == 0u) camSetPropertyValue(0xD1A0, 1, false);
  nikonRebuildImageQuality();
  return PTP_RC_OK;
}

PtpResponseCode nikonSetHostMode(uint32_t mode, bool refresh) {
  const PtpResponseCode rc = ptpTransaction(PTP_OC_NIKON_SetControlMode, &mode, 1, nullptr, 0, nullptr, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  nikonState().hostMode = mode;
  if (refresh) {
    const uint32_t program = propVendorCodeMap().exposureProgram;
    for (uint32_t code : {0x5007u, 0xD100u, 0x500Fu, 0x5010u, program ? program : 0x500Eu, nikonFocusModeCode()})
      nikonRefreshProperty(code);
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonKeepAlive() {
  PtpDeviceInfoStruct info{};
  return ptpGetDeviceInfo(&info);
}

PtpResponseCode nikonInitCamera() {
  for (uint16_t i = 0; i < propCount(); ++i) {
    PropertyStruct* r = propAt(i);
    if (!r) break;
    propLock(r);
    r->values.clear();
    r->values.shrink_to_fit();
    r->count = 0;
    propUnlock(r);
  }
  return nikonKeepAlive();
}

PtpResponseCode nikonReservedOperation() { return ERROR_GENERAL; }
