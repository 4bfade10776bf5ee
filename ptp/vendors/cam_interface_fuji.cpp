// The Fujifilm module behind the camera interface.
#include <atomic>
#include <cstdlib>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_labels.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/protocol/ptp_transport.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/fuji/fuji_afpoint.h"
#include "ptp/vendors/fuji/fuji_autofocus.h"
#include "ptp/vendors/fuji/fuji_capture.h"
#include "ptp/vendors/fuji/fuji_events.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_lens.h"
#include "ptp/vendors/fuji/fuji_liveview.h"
#include "ptp/vendors/fuji/fuji_models.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {

// The transaction that opened live view: TerminateOpenCapture names it.
std::atomic<uint32_t> openCaptureTransaction{0};

class FujiModule : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return fujiIdentifyModel(model, index); }
  PtpResponseCode initCamera(uint8_t) override {
    fujiResetState();
    propSetLabelTable(fujiPropertyLabels(), kFujiLabelEndCode);
    return fujiInitCamera();
  }
  PtpResponseCode keepAlive() override { return fujiKeepAlive(); }
  PtpResponseCode setHostMode(int on, int) override { return fujiSetHostMode(on != 0); }
  bool isHostMode() override { return fujiIsHostMode(); }

  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return fujiSetPropertyValue(code, value); }
  bool takeLiveViewStoppedForSet() override { return fujiTakeLiveViewStoppedForSet(); }
  PtpResponseCode getDevicePropValue(uint32_t code, ByteBuffer& data) override {
    return fujiGetDevicePropValue(code, data);
  }
  PtpResponseCode refreshProperty(uint32_t code) override {
    return fujiRefreshProperty(code) ? PTP_RC_OK : ERROR_GENERAL;
  }
  PropertyStruct* storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) override {
    return fujiStorePropertyValue(code, value, getSet);
  }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return fujiWaitPropertyValue(code, value); }
  PtpResponseCode refreshAllProperties() override { return fujiRefreshAllProperties(); }

  PtpResponseCode setLiveView(int on) override {
    if (on) openCaptureTransaction = ptpGetTransactionId();
    return fujiSetLiveView(on != 0);
  }
  uint8_t getLiveViewZoom() override { return static_cast<uint8_t>(fujiGetLiveViewZoom()); }
  PtpResponseCode setLiveViewZoom(uint32_t percent) override { return fujiSetLiveViewZoom(percent); }

  PtpResponseCode halfPress() override { return fujiHalfPress(); }
  PtpResponseCode halfRelease() override { return fujiHalfRelease(); }
  bool isInFocus() override { return fujiIsInFocus(); }
  PtpResponseCode startAutoFocus() override { return fujiStartAutoFocus(); }
  PtpResponseCode stopAutoFocus() override { return fujiStopAutoFocus(); }
  bool isAutoFocusMode() override { return fujiIsAutoFocusMode(); }
  bool isManualFocus() override { return fujiIsManualFocus(); }
  bool canAutoFocus() override { return fujiCanAutoFocus(); }
  PtpResponseCode setManualFocus(int manual) override { return fujiSetManualFocus(manual); }
  PtpResponseCode driveFocus(int step) override { return fujiDriveFocus(step); }
  int focusStack(int count, int, int step, uint32_t delayMs, CamFocusProgressFn progress) override {
    std::function<void(int)> report;
    if (progress) report = [&](int shot) { progress(shot, count); };
    return fujiFocusStack(count, step, delayMs, report);
  }

  PtpResponseCode shutterDown() override { return fujiShutterDown(false, false); }
  PtpResponseCode shutterUp() override { return fujiShutterUp(false); }
  PtpResponseCode bulbStart() override { return fujiBulbStart(); }
  PtpResponseCode bulbEnd() override { return fujiBulbEnd(); }
  bool isBulbSelected() override { return fujiIsBulbSelected(); }
  PtpResponseCode captureAndWait() override { return fujiCaptureAndWait(); }

  bool hasMovieMode() override { return fujiHasMovieMode() != 0; }
  PtpResponseCode enterMovieMode() override { return fujiEnterMovieMode(); }
  PtpResponseCode exitMovieMode() override { return fujiExitMovieMode(); }
  PtpResponseCode startMovieRecording() override { return fujiStartMovieRecording(); }
  PtpResponseCode stopMovieRecording() override { return fujiStopMovieRecording(); }

  PtpResponseCode getNewObjectHandles(std::vector<uint32_t>& handles) override {
    return fujiGetNewObjectHandles(handles);
  }

  int getEvStepsPerStop() override { return fujiGetEvStepsPerStop(); }
  bool qualityIncludesRaw() override { return fujiQualityIncludesRaw(); }
  float exposureBiasToEv(uint32_t value) override { return fujiExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return fujiEvToExposureBias(ev); }
  float getExposureBiasMax() override { return fujiGetExposureBiasMax(); }
  float getExposureBiasMin() override { return fujiGetExposureBiasMin(); }
  bool isExposureBiasAdjustable() override { return fujiIsExposureBiasAdjustable(); }

  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    return fujiGetImageFormatChoices(kind, choices);
  }
  // The camera interface answers 0xFF0F through the same value when there is no format.
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = fujiGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = fujiGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override { return fujiSetImageFormat(raw, jpeg); }

  PtpResponseCode moveAfPoint(int direction) override { return fujiMoveAfPoint(direction); }
  PtpResponseCode setAfPoint(float x, float y) override { return fujiSetAfPoint(x, y); }

  PtpResponseCode checkEvents(std::vector<uint8_t>& events) override { return fujiCheckEvents(events); }
};
}  // namespace

PtpResponseCode camFujiStopLiveView() {
  uint32_t transaction = openCaptureTransaction.load();
  return ptpTransaction(PTP_OC_TerminateOpenCapture, &transaction, 1, nullptr, 0, nullptr, nullptr, true);
}

std::shared_ptr<VendorModule> camMakeFujiModule() { return std::make_shared<FujiModule>(); }
