// Predicates and read-outs over the property table, the bounded retries, and requests
// whose status and length come back apart.
#include <array>

#include "ptp/base/sleep.h"
#include "ptp/camera/cam_predicates.h"
#include "ptp/camera/ptp_objects.h"
#include "ptp/props/prop_code_map.h"
#include "tests/ptp/camera/cam_interface_fixture.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

using namespace camtest;
using namespace std::chrono_literals;

namespace {
void setProp(uint32_t code, uint32_t value, const char* text = "", uint8_t getSet = 1) {
  if (!propExists(code)) {
    ASSERT_NE(propAdd(code, false, false), nullptr);
  }
  PropertyStruct* r = propFind(code, true);
  ASSERT_NE(r, nullptr);
  r->value = value;
  r->getSet = getSet;
  std::snprintf(r->text, sizeof r->text, "%s", text);
  propUnlock(r);
}

struct PredicateTest : CamInterfaceTest {
  void TearDown() override {
    propResetVendorCodeMap();
    CamInterfaceTest::TearDown();
  }
  void vendor(uint16_t v, uint8_t model = 0) {
    camSetVendor(v);
    camSetModelIndex(model);
    propResetVendorCodeMap();
    propBuildVendorCodeMap();
  }
};
}  // namespace

TEST_F(PredicateTest, ApertureReadOut) {
  vendor(CameraVendorCanon);
  const uint32_t canonAperture = propVendorCodeMap().aperture;
  ASSERT_NE(canonAperture, 0u);
  EXPECT_EQ(camGetApertureValue(), 0.0f);  // no record
  setProp(canonAperture, 0x30, "f5.6");
  EXPECT_FLOAT_EQ(camGetApertureValue(), 5.6f);
  setProp(canonAperture, 0x30, "5.6");
  EXPECT_EQ(camGetApertureValue(), 0.0f);  // not "f%f"
  setProp(canonAperture, 0xFFFF, "f5.6");
  EXPECT_EQ(camGetApertureValue(), 0.0f);
  propClearTable();
  vendor(CameraVendorFujifilm);
  setProp(propVendorCodeMap().aperture, 560);
  EXPECT_FLOAT_EQ(camGetApertureValue(), 5.6f);
}

TEST_F(PredicateTest, QualityAndVendorTests) {
  struct Row {
    uint16_t vendor;
    uint8_t model;
    uint32_t value;
    bool rawOnly;
  };
  for (const Row& r : {Row{CameraVendorNikon, 215, 7, true}, Row{CameraVendorNikon, 215, 4, false},
                       Row{CameraVendorNikon, 218, 4, true}, Row{CameraVendorNikon, 200, 4, true},
                       Row{CameraVendorSony, 0, 16, true}, Row{CameraVendorCanon, 0, 0x16050000, true},
                       Row{CameraVendorCanon, 0, 0x16020000, false}, Row{CameraVendorFujifilm, 0, 16, false}}) {
    vendor(r.vendor, r.model);
    EXPECT_EQ(camIsRawOnlyQualityValue(r.value), r.rawOnly) << r.vendor << "/" << int(r.model) << "/" << r.value;
  }
  // Current quality: Nikon 0x5004 against the model's raw-only value (4 for model 218).
  vendor(CameraVendorNikon, 218);
  setProp(0x5004, 4);
  EXPECT_TRUE(camIsRawOnlyQuality());
  vendor(CameraVendorNikon, 220);
  EXPECT_FALSE(camIsRawOnlyQuality());
  vendor(CameraVendorCanon);
  setProp(0xD120, 0x11000000);
  EXPECT_TRUE(camIsCanonJpegOnly());
  EXPECT_FALSE(camIsRawOnlyQuality());
  setProp(0xD120, 0x16010000);
  EXPECT_TRUE(camIsRawOnlyQuality());

  EXPECT_FALSE(camIsBracketingOn());
  setProp(0xD1D9, 3);
  EXPECT_TRUE(camIsBracketingOn());
  EXPECT_TRUE(camIsWbPairSpecial(0xD109, 9));
  EXPECT_FALSE(camIsWbPairSpecial(0x5005, 0x8012));
  vendor(CameraVendorSony);
  EXPECT_TRUE(camIsWbPairSpecial(0x5005, 0x8012));
  EXPECT_FALSE(camIsNotFujifilmOrSony());
  EXPECT_TRUE(camCanReleaseRemotely());
  EXPECT_TRUE(camHasModelCapabilityC());
  vendor(CameraVendorCanon);
  EXPECT_FALSE(camCanReleaseRemotely());
  listOperations({0x9128, 0x9140});
  EXPECT_TRUE(camCanReleaseRemotely());
  EXPECT_TRUE(camCheckObjectFormatFlag(0));
  vendor(CameraVendorNikon);
  EXPECT_TRUE(camCheckObjectFormatFlag(0x00003801FFFFFFFFull));
  EXPECT_FALSE(camCheckObjectFormatFlag(0x0000B111FFFFFFFFull));
  EXPECT_FALSE(camCheckObjectFormatFlag(0x00003801FFFFFFFEull));
  EXPECT_EQ(camGetLensName(), std::string());
  vendor(CameraVendorUnknown);
  EXPECT_EQ(camGetLensName(), std::nullopt);
  EXPECT_EQ(camSetSingleShotDrive(), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(PredicateTest, ApertureSettableByProgram) {
  vendor(CameraVendorNikon);
  EXPECT_TRUE(camCanSetAperture());  // no exposure-program record
  const uint32_t program = propVendorCodeMap().exposureProgram;
  ASSERT_NE(program, 0u);
  for (uint32_t p : {1u, 2u, 3u, 0x8050u}) {
    setProp(program, p);
    EXPECT_EQ(camCanSetAperture(), p == 1 || p == 3) << p;
  }
  setProp(0xD0FC, 21);
  EXPECT_TRUE(camCanSetAperture());
}

// Busy answers are retried a bounded number of times, 250 ms apart through the sleep hook.
TEST_F(PredicateTest, CaptureRetryIsBounded) {
  auto module = everywhere();
  vendor(CameraVendorSony);
  std::vector<std::chrono::milliseconds> naps;
  ScopedSleepHook noSleep{[&](std::chrono::milliseconds d) { naps.push_back(d); }};
  module->answer = PTP_RC_DeviceBusy;
  EXPECT_EQ(camCaptureAndWaitRetry(), PTP_RC_DeviceBusy);
  EXPECT_EQ(module->calls.size(), size_t(kCamCaptureRetryMax));
  EXPECT_EQ(naps, std::vector<std::chrono::milliseconds>(kCamCaptureRetryMax - 1, 250ms));
  module->answer = 0x2002;
  module->calls.clear();
  EXPECT_EQ(camCaptureAndWaitRetry(), 0x2002);
  EXPECT_EQ(module->calls.size(), 1u);
}

TEST_F(PredicateTest, FocusDriveRequestKeepsStatusAndLengthApart) {
  std::vector<uint8_t> out{1, 2, 3};
  vendor(CameraVendorNikon);
  EXPECT_EQ(camBuildFocusDriveRequest(5, 1, out), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_TRUE(out.empty());

  vendor(CameraVendorCanon);
  ASSERT_EQ(camBuildFocusDriveRequest(-3, 0x0102, out), PTP_RC_OK);
  ASSERT_EQ(out.size(), 15u + 16u);  // header + a one-parameter command container
  EXPECT_EQ(bytesGetU32(out.data()), 31u);
  EXPECT_EQ(out[4], 5);
  EXPECT_EQ(bytesGetU32(out.data() + 5), 26u);
  EXPECT_EQ(bytesGetU16(out.data() + 9), 0x0102);
  EXPECT_EQ(bytesGetU32(out.data() + 11), 0x004B0000u);
  EXPECT_EQ(bytesGetU16(out.data() + 15 + 6), 0x9155);
  EXPECT_EQ(bytesGetU32(out.data() + 15 + 12), 0x8003u);  // 0x8000 - (-3)

  vendor(CameraVendorSony);
  ASSERT_EQ(camBuildFocusDriveRequest(2, 0, out), PTP_RC_OK);
  EXPECT_EQ(bytesGetU16(out.data() + 15 + 6), 0x9207);
  EXPECT_EQ(bytesGetU32(out.data() + 15 + 12), 0xD2D1u);
  EXPECT_EQ(bytesGetU32(out.data()), out.size());
  EXPECT_EQ(bytesGetU32(out.data() + out.size() - 4), 2u);  // the step as data
}

TEST_F(PredicateTest, LiveViewFrameInto) {
  struct Frames : RecordingModule {
    PtpResponseCode getLiveViewFrame(ByteBuffer& out) override {
      out = ByteBuffer{1, 2, 3, 4};
      return PTP_RC_OK;
    }
  };
  camRegisterVendorModule(CameraVendorNikon, std::make_shared<Frames>());
  vendor(CameraVendorNikon);
  uint8_t buffer[4];
  uint32_t length = 99;
  EXPECT_EQ(camGetLiveViewFrameInto(buffer, 3, length), ERROR_NO_MEMORY);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(camGetLiveViewFrameInto(buffer, 4, length), PTP_RC_OK);
  EXPECT_EQ(length, 4u);
  vendor(CameraVendorUnknown);
  EXPECT_EQ(camGetLiveViewFrameInto(buffer, 4, length), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(length, 0u);
}

// 911B with a negative time used to resend for ever while the camera stayed busy.
TEST_F(PtpSessionFixture, Canon911BWithANegativeTimeIsBounded) {
  deviceInfo("Canon Inc.", {0x911B});
  sim->setPtpHandler(0x911B, [](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{.result = 0x2019};
  });
  naps.clear();
  EXPECT_EQ(ptpCanonOp911B(-1), PTP_RC_DeviceBusy);
  EXPECT_EQ(std::count(naps.begin(), naps.end(), std::chrono::milliseconds(500)), kCanon911BMaxResends);
  naps.clear();
  EXPECT_EQ(ptpCanonOp911B(1e9), PTP_RC_DeviceBusy);  // a huge time is capped too
  EXPECT_EQ(std::count(naps.begin(), naps.end(), std::chrono::milliseconds(500)), kCanon911BMaxResends);
}
