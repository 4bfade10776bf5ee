#include "ptp/vendors/nikon/nikon_props.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_container.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {


// A PTP string: count byte (units with the terminator), UTF-16LE units, a zero unit.
std::vector<uint8_t> ptpString(const char* text, size_t length) {
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(length + 1));
  for (size_t i = 0; i < length; ++i) {
    out.push_back(static_cast<uint8_t>(text[i]));
    out.push_back(0);
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

bool isQualityPart(uint32_t code) { return code == 0x5004 || code == 0x5003 || code == 0xD0B6; }

PtpResponseCode setIfDifferent(uint32_t code, uint32_t value, uint32_t mask) {
  const auto current = propCurrentValue(code);
  if (current && (*current & mask) == value) return PTP_RC_OK;
  return camSetPropertyValue(code, value, true);
}

}  // namespace

PtpResponseCode nikonSetPropertyValue(uint32_t code, uint32_t value) {
  auto record = propCopy(code);
  if (!record) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (code == 0xD16A) value = value == 0 ? 1 : 0;
  if (code == 0xD01E && nikonModelHasWbKelvinMap()) value = nikonKelvinToWhiteBalanceIndex(value);

  std::vector<uint8_t> data;
  if (record->datatype == PTP_DTC_STR) {
    const PropertyValueNamesStruct* entry = nullptr;
    for (const auto& e : record->values)
      if (e.value == value) {
        entry = &e;
        break;
      }
    if (!entry) return ERROR_TOO_LARGE;
    data = ptpString(entry->text, strnlen(entry->text, sizeof entry->text));
  } else {
    uint32_t size = ptpDatatypeSize(record->datatype);
    if (size == 0) size = 4;
    const uint64_t wide = value;
    for (uint32_t i = 0; i < size; ++i) data.push_back(i < 4 ? static_cast<uint8_t>(wide >> (8 * i)) : 0);
  }
  return ptpTransaction(PTP_OC_SetDevicePropValue, &code, 1, data.data(), data.size(), nullptr, nullptr, true);
}

bool nikonRefreshPropertyValue(uint32_t code) {
  if (!propExists(code)) return false;
  ByteBuffer reply;
  if (ptpTransaction(PTP_OC_GetDevicePropValue, &code, 1, nullptr, 0, &reply, nullptr, true) != PTP_RC_OK) return false;

  PropertyStruct* r = propFind(code, true);
  if (!r) return false;
  bool ok = true;
  if (r->datatype == PTP_DTC_STR) {
    char text[kPropTextBytes] = {};
    if (ptpReadString(reply.data(), reply.size(), text, sizeof text) == 0) {
      ok = false;
    } else {
      for (size_t i = 0; i < r->values.size(); ++i)
        if (strncmp(r->values[i].text, text, sizeof r->values[i].text) == 0) r->value = static_cast<uint32_t>(i);
      propSetText(r->text, text);
    }
  } else if (propParseCurrentValue(code, std::span<const uint8_t>(reply.data(), reply.size())) < 0) {
    ok = false;
  } else {
    if (code == 0xD01E && nikonModelHasWbKelvinMap()) r->value = nikonMapWhiteBalanceKelvin(r->value);
    if (auto text = propValueText(code, r->value)) propSetText(r->text, *text);
    else propSetText(r->text, std::to_string(static_cast<int32_t>(r->value)));
  }
  propUnlock(r);
  if (!ok) return false;
  if (isQualityPart(code)) nikonRebuildImageQuality();
  evtQueuePropertyChanged(propFind(code, false), true);
  return true;
}

bool nikonWaitPropertyValue(uint32_t code, uint32_t value) {
  // A Kelvin value is sent as the nearest map entry, and read back as that entry's Kelvin.
  // (0xD16A needs nothing: the value parser turns it back.)
  if (code == 0xD01E && nikonModelHasWbKelvinMap())
    value = nikonMapWhiteBalanceKelvin(nikonKelvinToWhiteBalanceIndex(value));
  for (int round = 0; round < 10; ++round) {
    if (round > 0) libSleep(std::chrono::milliseconds(100));
    nikonRefreshPropertyValue(code);
    auto p = propCopy(code);
    if (!p) return false;
    uint32_t have = p->value, want = value;
    if (p->datatype == PTP_DTC_INT16 || p->datatype == PTP_DTC_UINT16) have &= 0xFFFF, want &= 0xFFFF;
    else if (p->datatype == PTP_DTC_INT8 || p->datatype == PTP_DTC_UINT8) have &= 0xFF, want &= 0xFF;
    if (have == want) return true;
  }
  return false;
}

PtpResponseCode nikonRefreshAllProperties() {
  const uint16_t count = propCount();
  if (count == 0) return ERROR_GENERAL;
  PtpResponseCode first = PTP_RC_OK;
  for (uint16_t i = 0; i < count; ++i) {
    const PropertyStruct* r = propAt(i);
    if (!r) break;
    if (!nikonRefreshPropertyValue(r->code) && first == PTP_RC_OK) first = ERROR_GENERAL;
  }
  return first;
}

PtpResponseCode nikonSetImageFormat(int64_t raw, int64_t jpeg) {
  if (raw == -1 && jpeg == -1) return ERROR_GENERAL;
  if (!propExists(0x5004)) return ERROR_GENERAL;
  const int64_t quality = nikonQualityValueFor(raw, jpeg);
  PtpResponseCode rc = setIfDifferent(0x5004, static_cast<uint32_t>(quality), 0xFFFF);
  if (rc != PTP_RC_OK) return rc;
  if (jpeg != -1) {
    rc = setIfDifferent(0x5003, static_cast<uint32_t>((jpeg >> 16) & 0xFF), 0xFFFFFFFF);
    if (rc != PTP_RC_OK) return rc;
  }
  if (raw != -1 && propExists(0xD0B6)) {
    rc = setIfDifferent(0xD0B6, static_cast<uint32_t>((raw >> 24) & 0xFF), 0xFFFFFFFF);
    if (rc != PTP_RC_OK) return rc;
  }
  nikonRebuildImageQuality();
  return PTP_RC_OK;
}

PtpResponseCode nikonSetBracketing(uint32_t step) {
  if (step == 0xFFFF) return camSetPropertyValue(0xD0C0, 0, true);
  PtpResponseCode rc = camSetPropertyValue(0xD078, 1, true);
  if (rc == PTP_RC_OK) rc = camSetPropertyValue(0xD0C0, 1, true);
  if (rc != PTP_RC_OK) return rc;
  auto stepRecord = propCopy(0xD0C1);
  if (stepRecord && stepRecord->getSet == 1 && !nikonModelIn({193, 207, 208, 213})) {
    rc = camSetPropertyValue(0xD0C2, 4, true);
    if (rc != PTP_RC_OK) return rc;
  }
  return camSetPropertyValue(0xD0C1, step, true);
}

PtpResponseCode nikonClearBracketing() { return camSetPropertyValue(0xD0C0, 0, true); }

PtpResponseCode nikonSetFlashMode(uint32_t on) {
  NikonModuleState& s = nikonState();
  if (on) return camSetPropertyValue(0x500C, s.rememberedFlashMode, true);
  if (const auto current = propCurrentValue(0x500C)) s.rememberedFlashMode = *current;
  return camSetPropertyValue(0x500C, 2, true);
}

PtpResponseCode nikonCaptureWithFlash(bool flashOn) {
  const auto mode = propCurrentValue(0x500C);
  const bool change = mode && (*mode != 2u) != flashOn;
  if (change) {
    const PtpResponseCode rc = nikonSetFlashMode(flashOn ? 1 : 0);
    if (rc != PTP_RC_OK) return rc;
  }
  const PtpResponseCode captured = camTakePicture();
  const PtpResponseCode restored = change ? nikonSetFlashMode(flashOn ? 0 : 1) : PTP_RC_OK;
  return captured != PTP_RC_OK ? captured : restored;
}

void nikonResetLiveViewAfMode() {
  if (propCurrentValue(0xD061) == 2u) camSetPropertyValue(0xD061, 0, false);
  if (propCurrentValue(0xD161) == 4u) camSetPropertyValue(0xD161, 0, false);
  evtQueuePropertyChanged(propFind(0xD061, false), true);
}

PtpResponseCode nikonGetVendorPropCodes(std::vector<uint32_t>& codes) {
  const auto list = nikonVendorPropertyCodes();
  codes.assign(list.begin(), list.end());
  return PTP_RC_OK;
}

size_t nikonBuildCaptureCommand(uint8_t* buffer, size_t size) {
  if (!buffer) return 0;
  if (!ptpOperationListed(PTP_OC_NIKON_CaptureInMedia)) {
    const uint32_t params[2] = {0, 0};
    return ptpBuildContainer(PTP_OC_InitiateCapture, params, 2, nullptr, 0, buffer, size);
  }
  if (camModelIndex() == 198) {
    const uint32_t param = 0xFFFFFFFF;
    return ptpBuildContainer(PTP_OC_NIKON_CaptureInMedia, &param, 1, nullptr, 0, buffer, size);
  }
  const bool noAutofocus = camGetAfState() == 1 || !nikonState().liveViewOn;
  const uint32_t params[2] = {noAutofocus ? 0xFFFFFFFFu : 0xFFFFFFFEu, 0};
  return ptpBuildContainer(PTP_OC_NIKON_CaptureInMedia, params, 2, nullptr, 0, buffer, size);
}
