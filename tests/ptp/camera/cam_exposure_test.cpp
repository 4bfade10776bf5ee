// The camera interface's walks over ISO, bracketing and drive lists, and the predicates
// that read one record.
#include <cmath>

#include "ptp/camera/cam_predicates.h"
#include "tests/ptp/camera/cam_interface_fixture.h"

using namespace camtest;

namespace {
void setList(uint32_t code, std::vector<uint32_t> values, uint32_t current = 0, int32_t datatype = PTP_DTC_UINT32) {
  PropertyStruct* r = propFind(code, true);
  if (!r) r = propAdd(code, true, false);
  ASSERT_NE(r, nullptr);
  r->datatype = datatype;
  r->value = current;
  r->values.clear();
  for (uint32_t v : values) r->values.push_back(PropertyValueNamesStruct{{}, v});
  r->count = static_cast<uint16_t>(r->values.size());
  propUnlock(r);
}

void setValue(uint32_t code, uint32_t value, int32_t datatype = PTP_DTC_UINT32) { setList(code, {}, value, datatype); }

struct ListModule : VendorModule {
  uint32_t rangeCode = 0, first = 0, second = 0;
  uint32_t sonySteps = 0;
  uint32_t autoIsoCode = 0;
  float maxEv = 0.0f;
  int maxEvAsked = 0;
  bool getFixedRange(uint32_t code, uint32_t& a, uint32_t& b) override {
    a = first;
    b = second;
    return code == rangeCode;
  }
  uint32_t fixedRangeSteps(uint32_t) override { return sonySteps; }
  PropertyStruct* getAutoIsoRecord() override { return autoIsoCode ? propFind(autoIsoCode, false) : nullptr; }
  float getMaxBracketingEv() override { return ++maxEvAsked, maxEv; }
  float isoCodeToValue(uint32_t code) override { return code * 100.0f; }  // Canon-like codes
};

struct CamListTest : CamInterfaceTest {
  std::shared_ptr<ListModule> module = std::make_shared<ListModule>();
  void SetUp() override {
    CamInterfaceTest::SetUp();
    for (uint16_t v : {12, 13, 14, 15}) camRegisterVendorModule(v, module);
  }
  void vendor(uint16_t v, uint8_t model = 0) {
    camSetVendor(v);
    camSetModelIndex(model);
    propResetVendorCodeMap();
    propBuildVendorCodeMap();
  }
};
}  // namespace

TEST_F(CamListTest, IsoStepRatio) {
  vendor(CameraVendorSony);  // ISO slot 0xD21E, values used as they are
  uint32_t neighbour = 0;
  EXPECT_EQ(camGetIsoStepRatio(100, 1, neighbour), 0.0f);  // no record
  struct Row {
    const char* what;
    std::vector<uint32_t> list;
    uint32_t iso;
    int direction;
    float ratio;
    uint32_t neighbour;  // 0: left as it was
  };
  for (const Row& r : {Row{"up", {100, 200, 400}, 100, 1, 2.0f, 200},
                       Row{"down", {100, 200, 400}, 200, -1, 0.5f, 100},
                       Row{"direction 0 goes down", {100, 200, 400}, 200, 0, 0.5f, 100},
                       Row{"last entry is not searched", {100, 200, 400}, 400, -1, 0.0f, 0},
                       Row{"first entry backwards", {100, 200, 400}, 100, -1, 0.0f, 0},
                       Row{"not listed", {100, 200, 400}, 300, 1, 0.0f, 0},
                       Row{"fewer than two entries", {100}, 100, 1, 0.0f, 0},
                       Row{"zero neighbour", {100, 0}, 100, 1, 0.0f, 0},
                       Row{"zero iso", {0, 100}, 0, 1, 0.0f, 0}}) {
    setList(0xD21E, r.list);
    neighbour = 0;
    EXPECT_FLOAT_EQ(camGetIsoStepRatio(r.iso, r.direction, neighbour), r.ratio) << r.what;
    EXPECT_EQ(neighbour, r.neighbour) << r.what;
  }
  // Canon codes are decoded first; the neighbour handed out is the raw code.
  vendor(CameraVendorCanon);
  setList(0xD103, {0x48, 0x50});
  EXPECT_FLOAT_EQ(camGetIsoStepRatio(0x48, 1, neighbour), 80.0f / 72.0f);
  EXPECT_EQ(neighbour, 0x50u);
  vendor(CameraVendorUnknown);
  EXPECT_EQ(camGetIsoStepRatio(0x48, 1, neighbour), 0.0f);
}

TEST_F(CamListTest, FixedRangeSteps) {
  vendor(CameraVendorCanon);
  module->rangeCode = 0xD101;
  module->first = 0x30;
  module->second = 0x38;
  EXPECT_EQ(camCountFixedRangeSteps(0xD101), 3u);  // no record
  setList(0xD101, {0x28, 0x30, 0x33, 0x38, 0x40});
  EXPECT_EQ(camCountFixedRangeSteps(0xD101), 2u);
  EXPECT_EQ(camCountFixedRangeSteps(0xD102), 3u);  // the vendor names no range
  setList(0xD101, {0x38, 0x30, 0x33});
  EXPECT_EQ(camCountFixedRangeSteps(0xD101), 3u);  // the second only before the first
  setList(0xD101, {0x28, 0x33, 0x38});
  EXPECT_EQ(camCountFixedRangeSteps(0xD101), 3u);  // the first not listed
  setList(0xD101, {0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38});
  EXPECT_EQ(camCountFixedRangeSteps(0xD101), 8u);

  vendor(CameraVendorSony);  // the module's count, 0 meaning 3
  EXPECT_EQ(camCountFixedRangeSteps(0x5007), 3u);
  module->sonySteps = 5;
  EXPECT_EQ(camCountFixedRangeSteps(0x5007), 5u);
  vendor(CameraVendorFujifilm);
  EXPECT_EQ(camCountFixedRangeSteps(0x5007), 3u);
}

TEST_F(CamListTest, AutoIsoPerVendor) {
  vendor(CameraVendorFujifilm);
  EXPECT_FALSE(camIsAutoIso());
  setValue(0x500F, 0xFFFFFFFF, PTP_DTC_INT32);
  EXPECT_TRUE(camIsAutoIso());
  setValue(0x500F, 400, PTP_DTC_INT32);
  EXPECT_FALSE(camIsAutoIso());
  setValue(0x500F, 0x8000, PTP_DTC_INT16);  // the sign of a 16-bit value
  EXPECT_TRUE(camIsAutoIso());

  vendor(CameraVendorCanon);
  EXPECT_FALSE(camIsAutoIso());
  setValue(0xD103, 0);
  EXPECT_TRUE(camIsAutoIso());
  setValue(0xD103, 0x48);
  EXPECT_FALSE(camIsAutoIso());

  vendor(CameraVendorSony);
  setValue(0xD21E, 0xFFFFFF);
  EXPECT_TRUE(camIsAutoIso());
  setValue(0xD21E, 0xFFFFFE);
  EXPECT_FALSE(camIsAutoIso());

  // Nikon: the module's auto-ISO record, except in P/A/S/M on the listed bodies.
  module->autoIsoCode = 0xD16A;
  vendor(CameraVendorNikon, 200);
  EXPECT_FALSE(camIsAutoIso());  // no record
  setValue(0xD16A, 1);
  EXPECT_TRUE(camIsAutoIso());
  vendor(CameraVendorNikon, 192);
  EXPECT_FALSE(camIsAutoIso());  // no exposure program
  setValue(0x500E, 2);
  EXPECT_FALSE(camIsAutoIso());
  setValue(0x500E, 5);
  EXPECT_TRUE(camIsAutoIso());
  setValue(0xD16A, 0);
  EXPECT_FALSE(camIsAutoIso());

  vendor(CameraVendorUnknown);
  setValue(0xD103, 0);
  EXPECT_FALSE(camIsAutoIso());
}

// Computed once per camera set-up; a camera without a list yet is asked again.
TEST_F(CamListTest, MaxBracketingEvIsCachedUntilSetUp) {
  vendor(CameraVendorCanon);
  EXPECT_EQ(camGetMaxBracketingEv(), 0.0f);
  EXPECT_EQ(camGetMaxBracketingEv(), 0.0f);
  EXPECT_EQ(module->maxEvAsked, 2);
  module->maxEv = 3.0f;
  EXPECT_EQ(camGetMaxBracketingEv(), 3.0f);
  module->maxEv = 2.0f;
  EXPECT_EQ(camGetMaxBracketingEv(), 3.0f);
  EXPECT_EQ(module->maxEvAsked, 3);
  camResetCameraState();  // what each set-up does
  EXPECT_EQ(camGetMaxBracketingEv(), 2.0f);
  module->maxEv = 4294967296.0f;  // still unset
  camResetCameraState();
  EXPECT_EQ(camGetMaxBracketingEv(), 0.0f);
  vendor(CameraVendorSony);
  EXPECT_EQ(camGetMaxBracketingEv(), 0.0f);
}

TEST_F(CamListTest, ContinuousDriveAndCaptureBusy) {
  struct DriveModule : ListModule {
    bool isContinuousDriveSetting(uint32_t code, uint32_t value) override {
      return (code == 0x5013 && value == 2) || (code == 0xD1A1 && value == 1);
    }
  };
  auto drive = std::make_shared<DriveModule>();
  camRegisterVendorModule(CameraVendorNikon, drive);
  vendor(CameraVendorNikon);
  EXPECT_FALSE(camIsContinuousDrive());
  setValue(0x5013, 1);
  setValue(0xD1A1, 0);
  EXPECT_FALSE(camIsContinuousDrive());
  setValue(0xD1A1, 1);
  EXPECT_TRUE(camIsContinuousDrive());
  setValue(0xD1A1, 0);
  setValue(0x5013, 2);
  EXPECT_TRUE(camIsContinuousDrive());
  EXPECT_TRUE(camIsContinuousDriveSetting(0xD1A1, 1));

  // Nikon's capture flag is cleared by set-up; Canon reads mirror lock-up.
  EXPECT_FALSE(camIsCaptureBusy());
  camSetCaptureInProgress(true);
  EXPECT_TRUE(camIsCaptureBusy());
  camResetCameraState();
  EXPECT_FALSE(camIsCaptureBusy());
  vendor(CameraVendorCanon);
  camSetCaptureInProgress(true);
  EXPECT_FALSE(camIsCaptureBusy());
  setValue(0xD1BF, 2);
  EXPECT_TRUE(camIsCaptureBusy());
  EXPECT_EQ(camGetModelParamA(), 10);
  vendor(CameraVendorSony);
  EXPECT_FALSE(camIsCaptureBusy());
  EXPECT_EQ(camGetModelParamA(), 20);
  vendor(CameraVendorUnknown);
  EXPECT_EQ(camGetModelParamA(), 20);
  EXPECT_EQ(camStubFF01(), ERROR_GENERAL);
  EXPECT_EQ(camStubZeroD(), 0);
}

// Canon's bracketing conversions are its exposure-bias ones; Nikon has its own.
TEST_F(CamInterfaceTest, BracketingConversionsPerVendor) {
  auto module = everywhere();
  camSetVendor(CameraVendorCanon);
  EXPECT_EQ(camBracketingStepToEv(8), 1.5f);
  EXPECT_EQ(camEvToBracketingStep(1.0f), 3u);
  EXPECT_EQ(module->calls, (std::vector<std::string>{"exposureBiasToEv", "evToExposureBias"}));
  module->calls.clear();
  camSetVendor(CameraVendorNikon);
  EXPECT_EQ(camBracketingStepToEv(8), 2.5f);
  EXPECT_EQ(camEvToBracketingStep(1.0f), 4u);
  std::vector<float> offsets{9.0f};
  EXPECT_EQ(camGetBracketingSequence(offsets, 0.5f), 2);
  EXPECT_EQ(offsets, (std::vector<float>{-0.5f, 0.5f}));
  uint16_t size = 0;
  uint8_t quality = 0;
  EXPECT_EQ(camDecodeImageFormat(0x26010403, 6, size, quality), 0x2ABC);
  EXPECT_EQ(size, 7);
  camSetVendor(CameraVendorFujifilm);
  size = 1;
  quality = 1;
  EXPECT_EQ(camDecodeImageFormat(0x26010403, 6, size, quality), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(size, 1);  // nothing written
  EXPECT_EQ(quality, 1);
  EXPECT_EQ(camGetBracketingSequence(offsets, 0.5f), 0);
  EXPECT_TRUE(offsets.empty());
}
