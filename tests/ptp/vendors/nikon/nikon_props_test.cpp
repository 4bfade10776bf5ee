// Nikon property writes and reads against the simulated camera: value encodings, the
// wait for a value, and the image-format, bracketing and flash settings.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/vendor_module.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"

using kvtest::nikonValueOf;
using kvtest::putProperty;

namespace {

// The hooks the camera interface reaches for a Nikon body, wired as the module will be.
struct NikonPropsModule : VendorModule {
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override {
    return nikonSetPropertyValue(code, value);
  }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return nikonWaitPropertyValue(code, value); }
};

// A camera that keeps what SetDevicePropValue sends and answers it to GetDevicePropValue.
struct NikonPropsTest : PtpSessionFixture {
  std::map<uint32_t, devsim::Bytes> camera;
  std::vector<std::pair<uint32_t, devsim::Bytes>> sets;
  bool cameraIgnoresSets = false;

  void SetUp() override {
    PtpSessionFixture::SetUp();
    deviceInfo("Nikon", {0x1001, 0x1002, PTP_OC_GetDevicePropValue, PTP_OC_SetDevicePropValue, 0x9207});
    kvtest::resetNikon();
    camSetVendor(CameraVendorNikon);
    camRegisterVendorModule(CameraVendorNikon, std::make_shared<NikonPropsModule>());
    sim->setPtpHandler(PTP_OC_SetDevicePropValue, [this](const devsim::Simulator::PtpCommand& c) {
      devsim::Simulator::PtpReply r;
      sets.emplace_back(c.params.at(0), c.data);
      if (!cameraIgnoresSets) camera[c.params.at(0)] = c.data;
      return r;
    });
    sim->setPtpHandler(PTP_OC_GetDevicePropValue, [this](const devsim::Simulator::PtpCommand& c) {
      devsim::Simulator::PtpReply r;
      auto it = camera.find(c.params.at(0));
      if (it == camera.end()) r.result = 0x200A;
      else r.data = it->second;
      return r;
    });
  }
  void TearDown() override {
    kvtest::resetNikon();
    camResetVendorModules();
    PtpSessionFixture::TearDown();
  }
  void useModel(uint8_t model) {
    camSetModelIndex(model);
    propSetLabelTable(nikonPropertyLabels(), kNikonLabelEndCode);
  }
  // A property both in the table and on the camera.
  void both(uint32_t code, uint32_t value, int32_t datatype = PTP_DTC_UINT16, std::vector<uint32_t> list = {}) {
    putProperty(code, value, list, 1, datatype);
    devsim::Bytes b;
    for (uint32_t i = 0; i < ptpDatatypeSize(datatype); ++i) b.push_back(static_cast<uint8_t>(value >> (8 * i)));
    camera[code] = b;
  }
  std::vector<uint32_t> setCodes() const {
    std::vector<uint32_t> out;
    for (auto& s : sets) out.push_back(s.first);
    return out;
  }
};

}  // namespace

TEST_F(NikonPropsTest, ValuesAreSentInTheRecordsSizeAndForm) {
  useModel(219);
  both(0x5007, 0x230, PTP_DTC_UINT16);
  both(0xD100, 0x10019, PTP_DTC_UINT32);
  both(0xD16A, 0, PTP_DTC_UINT8);

  ASSERT_EQ(nikonSetPropertyValue(0x5007, 0x320), PTP_RC_OK);
  ASSERT_EQ(nikonSetPropertyValue(0xD100, 0x1000A), PTP_RC_OK);
  // Auto ISO Setting goes out inverted; read back, it is the value asked for.
  ASSERT_EQ(camSetPropertyValue(0xD16A, 1, true), PTP_RC_OK);
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(sets[0].second, (devsim::Bytes{0x20, 0x03}));
  EXPECT_EQ(sets[1].second, (devsim::Bytes{0x0A, 0x00, 0x01, 0x00}));
  EXPECT_EQ(sets[2].second, (devsim::Bytes{0x00}));
  EXPECT_EQ(nikonValueOf(0xD16A), 1u);

  // Not in the table: nothing is sent.
  EXPECT_EQ(nikonSetPropertyValue(0xD0C0, 1), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(sets.size(), 3u);
}

TEST_F(NikonPropsTest, StringPropertySendsTheTextOfItsListEntry) {
  useModel(219);
  PropertyStruct* r = propAdd(0x5003, true, true);
  ASSERT_NE(r, nullptr);
  r->datatype = PTP_DTC_STR;
  for (auto [text, value] : {std::pair{"6048x4024", 0u}, std::pair{"4528x3016", 1u}}) {
    PropertyValueNamesStruct e{};
    std::snprintf(e.text, sizeof e.text, "%s", text);
    e.value = value;
    r->values.push_back(e);
  }
  r->count = 2;
  propUnlock(r);

  ASSERT_EQ(nikonSetPropertyValue(0x5003, 1), PTP_RC_OK);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].second, devsim::makePtpString("4528x3016"));
  // No entry holds the value: nothing goes out.
  EXPECT_EQ(nikonSetPropertyValue(0x5003, 7), ERROR_TOO_LARGE);
  EXPECT_EQ(sets.size(), 1u);

  // Read back, a text becomes its list position.
  r = propFind(0x5003, true);
  r->value = 0;
  propUnlock(r);
  ASSERT_TRUE(nikonRefreshPropertyValue(0x5003));
  EXPECT_EQ(nikonValueOf(0x5003), 1u);
  EXPECT_STREQ(propCopy(0x5003)->text, "4528x3016");
}

TEST_F(NikonPropsTest, RefreshMapsKelvinNamesValuesAndQueuesTheChange) {
  useModel(197);
  both(0xD01E, 0, PTP_DTC_UINT8);
  camera[0xD01E] = {20};
  ASSERT_TRUE(nikonRefreshPropertyValue(0xD01E));
  EXPECT_EQ(nikonValueOf(0xD01E), 5000u);
  ASSERT_EQ(evtQueueSize(), 1u);
  PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(e.property->code, 0xD01Eu);

  // Writing Kelvin sends the nearest map index, and the wait accepts that entry's Kelvin.
  camRegisterVendorModule(CameraVendorNikon, std::make_shared<NikonPropsModule>());
  ASSERT_EQ(camSetPropertyValue(0xD01E, 4100, true), PTP_RC_OK);
  EXPECT_EQ(sets.back().second, (devsim::Bytes{16}));
  EXPECT_EQ(nikonValueOf(0xD01E), 4170u);

  both(0x500E, 0, PTP_DTC_UINT16);
  camera[0x500E] = {0x03, 0x00};
  ASSERT_TRUE(nikonRefreshPropertyValue(0x500E));
  EXPECT_STREQ(propCopy(0x500E)->text, "A");

  // A refusal or a code outside the table changes nothing.
  camera.erase(0x500E);
  EXPECT_FALSE(nikonRefreshPropertyValue(0x500E));
  EXPECT_EQ(nikonValueOf(0x500E), 3u);
  EXPECT_FALSE(nikonRefreshPropertyValue(0xD0C0));
}

TEST_F(NikonPropsTest, WaitGivesUpAfterTenReads) {
  useModel(219);
  both(0x5007, 0x230);
  cameraIgnoresSets = true;
  naps.clear();
  EXPECT_EQ(camSetPropertyValue(0x5007, 0x320, true), PTP_ERROR_PROP_NOT_CONFIRMED);
  size_t reads = 0;
  for (auto code : codesSent()) reads += code == PTP_OC_GetDevicePropValue;
  EXPECT_EQ(reads, 10u);
  for (auto d : naps) EXPECT_EQ(d, std::chrono::milliseconds(100));

  cameraIgnoresSets = false;
  EXPECT_EQ(camSetPropertyValue(0x5007, 0x320, true), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x5007), 0x320u);
}

TEST_F(NikonPropsTest, ImageFormatSetsOnlyWhatDiffers) {
  useModel(196);
  both(0x5004, 2, PTP_DTC_UINT8);  // L JPEG fine
  both(0x5003, 0, PTP_DTC_UINT8);
  both(0xD0B6, 0, PTP_DTC_UINT8);
  nikonRebuildImageQuality();

  EXPECT_EQ(nikonSetImageFormat(-1, -1), ERROR_GENERAL);
  // RAW in S plus M JPEG normal.
  ASSERT_EQ(nikonSetImageFormat(0x02000004, 0x00010001), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0x5004, 0x5003, 0xD0B6}));
  EXPECT_EQ(sets[0].second, (devsim::Bytes{6}));
  EXPECT_EQ(sets[1].second, (devsim::Bytes{1}));
  EXPECT_EQ(sets[2].second, (devsim::Bytes{2}));
  EXPECT_EQ(nikonValueOf(0x5004), nikonComposeImageQuality(6, 1, 2));
  EXPECT_EQ(nikonImageQualityText(nikonValueOf(0x5004)), "S RAW + M JPG (NORM)");

  // The same again sends nothing.
  sets.clear();
  ASSERT_EQ(nikonSetImageFormat(0x02000004, 0x00010001), PTP_RC_OK);
  EXPECT_TRUE(sets.empty());

  // JPEG only: the quality alone changes.
  ASSERT_EQ(nikonSetImageFormat(-1, 0x00010002), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0x5004}));
  EXPECT_EQ(nikonImageQualityText(nikonValueOf(0x5004)), "M JPG (FINE)");

  propClearTable();
  EXPECT_EQ(nikonSetImageFormat(4, -1), ERROR_GENERAL);
}

TEST_F(NikonPropsTest, BracketingOnAndOff) {
  useModel(219);
  both(0xD078, 0);
  both(0xD0C0, 1);
  both(0xD0C2, 0);
  both(0xD0C1, 0);

  ASSERT_EQ(nikonSetBracketing(0xFFFF), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0xD0C0}));
  EXPECT_EQ(nikonValueOf(0xD0C0), 0u);

  sets.clear();
  ASSERT_EQ(nikonSetBracketing(3), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0xD078, 0xD0C0, 0xD0C2, 0xD0C1}));
  EXPECT_EQ(nikonValueOf(0xD0C2), 4u);
  EXPECT_EQ(nikonValueOf(0xD0C1), 3u);

  // Consumer bodies keep their pattern.
  camSetModelIndex(193);
  sets.clear();
  ASSERT_EQ(nikonSetBracketing(2), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0xD078, 0xD0C0, 0xD0C1}));

  sets.clear();
  ASSERT_EQ(nikonClearBracketing(), PTP_RC_OK);
  EXPECT_EQ(setCodes(), (std::vector<uint32_t>{0xD0C0}));

  // The first failure stops the sequence.
  propClearTable();
  both(0xD0C0, 0);
  sets.clear();
  EXPECT_NE(nikonSetBracketing(2), PTP_RC_OK);
  EXPECT_TRUE(sets.empty());
}

TEST_F(NikonPropsTest, FlashOffRemembersTheModeAndOnRestoresIt) {
  useModel(219);
  both(0x500C, 0x8011);
  ASSERT_EQ(nikonSetFlashMode(0), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x500C), 2u);
  ASSERT_EQ(nikonSetFlashMode(1), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x500C), 0x8011u);
  nikonResetModuleState();
  ASSERT_EQ(nikonSetFlashMode(1), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x500C), 0x8010u) << "nothing remembered: the default";
}

TEST_F(NikonPropsTest, RefreshAllAndCaptureCommand) {
  useModel(219);
  EXPECT_EQ(nikonRefreshAllProperties(), ERROR_GENERAL);
  both(0x5007, 0x230);
  both(0x500F, 100);
  camera[0x5007] = {0x80, 0x02};
  ASSERT_EQ(nikonRefreshAllProperties(), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x5007), 0x280u);
  putProperty(0xD0C0, 0);  // not on the camera
  EXPECT_EQ(nikonRefreshAllProperties(), ERROR_GENERAL);

  uint8_t buffer[64];
  const size_t n = nikonBuildCaptureCommand(buffer, sizeof buffer);
  ASSERT_EQ(n, 20u);
  EXPECT_EQ(buffer[6] | buffer[7] << 8, 0x9207);
  EXPECT_EQ(buffer[12], 0xFF);  // live view off: no autofocus before the shot
  nikonState().liveViewOn = true;
  nikonBuildCaptureCommand(buffer, sizeof buffer);
  EXPECT_EQ(buffer[12], 0xFE);
  camSetModelIndex(198);
  EXPECT_EQ(nikonBuildCaptureCommand(buffer, sizeof buffer), 16u);
  EXPECT_EQ(nikonBuildCaptureCommand(buffer, 8), 0u);
  EXPECT_EQ(nikonBuildCaptureCommand(nullptr, 64), 0u);
}
