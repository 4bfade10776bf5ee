// The Canon module behind the camera interface.
#include <string>
#include <vector>

#include "ptp/camera/cam_interface.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {
constexpr uint32_t kCanonImageFormat = 0xD120;

class CanonModule : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return canonIdentifyModel(model, index); }
  bool parseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) override {
    return canonParseLiveViewFrame(reply, n, frame, camModelIndex());
  }
  uint8_t getLiveViewOrientation() override { return canonGetLiveViewOrientation(); }
  bool isLiveViewAvailable() override { return canonGetModelState().liveViewAvailable; }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return canonGetLiveViewFrame(out); }

  // Value rules.
  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    return canonGetImageFormatChoices(kind, choices);
  }
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override {
    uint32_t value = 0;
    const PtpResponseCode rc = canonComposeImageFormat(raw, jpeg, value);
    if (rc != PTP_RC_OK) return rc;
    return camSetPropertyValue(kCanonImageFormat, value, true);
  }
  PtpResponseCode decodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality) override {
    return canonDecodeImageFormat(packed, kind, sizeCode, quality);
  }
  bool qualityIncludesJpeg(uint32_t value) override { return canonQualityIncludesJpeg(value); }
  float exposureBiasToEv(uint32_t value) override { return canonExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return canonEvToExposureBias(ev); }
  int getEvStepsPerStop() override { return canonGetEvStepsPerStop(); }
  float getExposureBiasMax() override { return canonGetExposureBiasMax(); }
  float getExposureBiasMin() override { return canonGetExposureBiasMin(); }
  bool isExposureBiasAdjustable() override { return canonIsExposureBiasAdjustable(); }
  bool isBracketingAvailable() override { return canonIsBracketingAvailable(true); }
  int bracketingCount() override { return canonGetBracketingShots(); }
  int getBracketingSequence(std::vector<float>& offsets, bool, float ev) override {
    offsets = canonGetBracketingSequence(ev);
    return static_cast<int>(offsets.size());
  }
  float getMaxBracketingEv() override { return canonMaxBracketingEvFromTable().value_or(0.0f); }
  bool isBulbSelected() override { return canonIsBulbSelected(); }
  bool isContinuousDriveValue(uint32_t value) override { return canonIsContinuousDriveValue(value); }
  float isoCodeToValue(uint32_t code) override { return canonIsoCodeToValue(code); }
  uint32_t shutterSpeedToMs(uint32_t value) override { return canonShutterSpeedToMs(value); }
  bool getFixedRange(uint32_t code, uint32_t& first, uint32_t& second) override {
    return canonGetFixedRange(code, first, second);
  }
};
}  // namespace

std::shared_ptr<VendorModule> camMakeCanonModule() { return std::make_shared<CanonModule>(); }
