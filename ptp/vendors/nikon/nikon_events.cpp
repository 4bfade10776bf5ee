#include "ptp/vendors/nikon/nikon_events.h"

#include <mutex>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/object_info_dataset.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {

bool isQualityPart(uint32_t code) { return code == 0x5004 || code == 0x5003 || code == 0xD0B6; }

void objectAdded(uint32_t handle) {
  // With RAW recorded the GetEventEx cameras announce the pair twice: the low handles
  // are dropped.
  if (ptpOperationListed(PTP_OC_NIKON_GetEventEx) && nikonQualityIncludesRaw() && handle < 0x9999999) return;
  PtpObjectInfoStruct record{};
  if (ptpGetObjectInfo(handle, &record) != PTP_RC_OK) return;
  record.objectId = handle;
  if (record.objectFormat == kFormatMov) {
    NikonModuleState& s = nikonState();
    std::lock_guard lock(s.movieMutex);
    s.movieRecording = false;
  }
  evtQueueObjectAdded(record, true);
}

void propertyChanged(uint32_t code, bool ex) {
  if (!nikonIsKnownCode(code)) return;
  if (ex && code != 0xD061 && code != 0xD161) nikonRefreshPropertyValue(code);
  else nikonRefreshProperty(code);
  if (code == 0x500E) {
    evtQueuePropertyChanged(propFind(0x5010, false), true);
    nikonRefreshPropertyValue(0x5007);
    nikonRefreshPropertyValue(0xD100);
  }
}

void handleEvent(uint16_t code, uint32_t param, bool ex) {
  switch (code) {
    case PTP_EC_ObjectAdded: objectAdded(param); break;
    case PTP_EC_ObjectRemoved: evtQueueObjectRemoved(param, true); break;
    case PTP_EC_DevicePropChanged: propertyChanged(param, ex); break;
    case kNikonCaptureComplete: {
      PtpEventStruct e{};
      e.code = kNikonCaptureComplete;
      e.objectHandle = param;
      evtPush(e, true);
      break;
    }
    default: break;
  }
}

}  // namespace

PtpResponseCode nikonParseEvents(const uint8_t* data, size_t length) {
  if (!data || length == 0) return ERROR_INVALID_INPUT;
  ByteReader in(data, length);
  const auto count = in.u16(0);
  if (!count || length < 3) return PTP_RC_OK;
  size_t off = 2;
  for (uint32_t i = 0; i < *count && i < kNikonMaxEvents; ++i, off += 6) {
    const auto code = in.u16(off);
    const auto param = in.u32(off + 2);
    if (!code || !param) break;
    handleEvent(*code, *param, false);
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonParseEventsEx(const uint8_t* data, size_t length) {
  if (!ptpOperationListed(PTP_OC_NIKON_GetEventEx)) return nikonParseEvents(data, length);
  if (!data || length == 0) return ERROR_INVALID_INPUT;
  ByteReader in(data, length);
  const auto count = in.u32(0);
  if (!count) return PTP_RC_OK;
  size_t off = 4;
  for (uint32_t i = 0; i < *count && i < kNikonMaxEvents; ++i) {
    const auto code = in.u16(off);
    const auto n = in.u16(off + 2);
    if (!code || !n) break;
    const uint32_t param = in.u32(off + 4).value_or(0);
    if (*n > 0 && !in.has(off + 4, 4)) break;
    handleEvent(*code, param, true);
    // At least one parameter's room, so that a count of 0 still moves on.
    off += 4 + 4 * static_cast<size_t>(*n > 0 ? *n : 1);
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonGetEvents(ByteBuffer& data, bool blocking) {
  data.clear();
  const uint16_t op = ptpOperationListed(PTP_OC_NIKON_GetEventEx) ? PTP_OC_NIKON_GetEventEx : PTP_OC_NIKON_CheckEvent;
  return ptpTransaction(op, nullptr, 0, nullptr, 0, &data, nullptr, blocking);
}

bool nikonRefreshProperty(uint32_t code) {
  if (!nikonIsKnownCode(code)) return false;
  PropertyStruct* r = propFind(code, false);
  if (!r || !propRefresh(r)) return false;
  if (camModelIndex() == 205 && code == 0x500E) {
    propLock(r);
    r->getSet = nikonIsHostMode() ? 1 : 0;
    propUnlock(r);
  }
  if (code == 0xD01E && nikonModelHasWbKelvinMap()) {
    propLock(r);
    r->value = nikonMapWhiteBalanceKelvin(r->value);
    propUnlock(r);
  }
  if (isQualityPart(code)) nikonRebuildImageQuality();
  evtQueuePropertyChanged(r, true);
  return true;
}
