// Reading one property value from the camera (GetDevicePropValue 0x1015) into the table.
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

namespace {

struct CamPropValueTest : PtpSessionFixture {
  void TearDown() override {
    propClearTable();
    camResetVendorModules();
    PtpSessionFixture::TearDown();
  }
  void addUint16(uint32_t code) {
    PropertyStruct* r = propAdd(code, true, false);
    ASSERT_NE(r, nullptr);
    r->datatype = PTP_DTC_UINT16;
    propUnlock(r);
  }
  uint32_t valueOf(uint32_t code) {
    return propCurrentValue(code).value_or(0xDEAD);
  }
};
}  // namespace

TEST_F(CamPropValueTest, ValueReadIntoTheTable) {
  deviceInfo("Nikon", {0x1001, 0x1002, PTP_OC_GetDevicePropValue});
  propClearTable();
  addUint16(0x5007);
  devsim::Bytes reply{0x30, 0x02};
  PtpResponseCode answer = PTP_RC_OK;
  sim->setPtpHandler(PTP_OC_GetDevicePropValue, [&](const devsim::Simulator::PtpCommand& c) {
    devsim::Simulator::PtpReply r;
    r.result = answer;
    if (!c.params.empty() && c.params[0] == 0x5007 && answer == PTP_RC_OK) r.data = reply;
    return r;
  });

  ByteBuffer raw;
  ASSERT_EQ(camGetDevicePropValue(0x5007, raw), PTP_RC_OK);
  EXPECT_EQ(raw, (ByteBuffer{0x30, 0x02}));
  ASSERT_EQ(camRefreshPropertyValue(0x5007), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x5007), 0x230u);

  // A reply too short for the datatype changes nothing.
  reply = {0x40};
  EXPECT_EQ(camRefreshPropertyValue(0x5007), ERROR_GENERAL);
  EXPECT_EQ(valueOf(0x5007), 0x230u);

  // The camera's refusal passes through.
  answer = 0x200A;
  EXPECT_EQ(camRefreshPropertyValue(0x5007), 0x200A);

  // A code the table does not hold is not asked for.
  const size_t sent = codesSent().size();
  EXPECT_EQ(camGetDevicePropValue(0xD001, raw), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_TRUE(raw.empty());
  EXPECT_EQ(camRefreshPropertyValue(0xD001), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(codesSent().size(), sent);
}

// Fujifilm, Canon and Sony read through their modules; Nikon and unknown cameras send 0x1015.
TEST_F(CamPropValueTest, VendorsWithTheirOwnReadDoNotSend) {
  struct OwnRead : VendorModule {
    int reads = 0;
    PtpResponseCode getDevicePropValue(uint32_t, ByteBuffer& data) override {
      ++reads;
      data.assign({0x11, 0x00});
      return PTP_RC_OK;
    }
  };
  auto own = std::make_shared<OwnRead>();
  deviceInfo("Canon Inc.", {0x1001, 0x1002, PTP_OC_GetDevicePropValue});
  camRegisterVendorModule(CameraVendorCanon, own);
  propClearTable();
  addUint16(0xD101);
  const size_t sent = codesSent().size();
  ASSERT_EQ(camRefreshPropertyValue(0xD101), PTP_RC_OK);
  EXPECT_EQ(valueOf(0xD101), 0x11u);
  EXPECT_EQ(own->reads, 1);
  EXPECT_EQ(codesSent().size(), sent);
}
