// A Nikon Z 6 on the simulator, driven through the camera interface as the library wires
// it: camInit installs the vendor defaults, camInitCamera identifies the body from its
// DeviceInfo. No test module, no test services, no hook set here.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ptp/base/bytes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/link/commands.h"
#include "ptp/link/command_vendor.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/nikon/nikon_capture.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/fuji/fuji_fixture.h"
#include "tests/ptp/vendors/vendor_wiring.h"

namespace nikonwiring {

using Cmd = devsim::Simulator::PtpCommand;
using Reply = devsim::Simulator::PtpReply;

// GetEventEx data: u32 count, then (u16 code, u16 n, n u32 parameters) each.
devsim::Bytes eventExList(const std::vector<std::pair<uint16_t, std::vector<uint32_t>>>& events) {
  devsim::Bytes b;
  devsim::putU32(b, static_cast<uint32_t>(events.size()));
  for (const auto& [code, params] : events) {
    devsim::putU16(b, code);
    devsim::putU16(b, static_cast<uint16_t>(params.size()));
    for (uint32_t p : params) devsim::putU32(b, p);
  }
  return b;
}

void putU16BE(devsim::Bytes& b, size_t off, uint16_t v) {
  b[off] = static_cast<uint8_t>(v >> 8);
  b[off + 1] = static_cast<uint8_t>(v);
}
void putU32BE(devsim::Bytes& b, size_t off, uint32_t v) {
  putU16BE(b, off, static_cast<uint16_t>(v >> 16));
  putU16BE(b, off + 2, static_cast<uint16_t>(v));
}

// A GetLiveViewImageEx reply of version 1: a 512-byte header, then the JPEG.
devsim::Bytes liveViewExReply(uint16_t width, uint16_t height, uint8_t rotation, const devsim::Bytes& jpeg,
                              uint16_t afX = 0, uint16_t afY = 0, uint16_t afW = 0, uint16_t afH = 0) {
  devsim::Bytes b(512, 0);
  putU16BE(b, 0, 1);
  putU32BE(b, 8, 512);
  putU32BE(b, 12, static_cast<uint32_t>(jpeg.size()));
  putU16BE(b, 16, width);
  putU16BE(b, 18, height);
  putU16BE(b, 48, afW);
  putU16BE(b, 50, afH);
  putU16BE(b, 52, afX);
  putU16BE(b, 54, afY);
  b[384 + 19] = rotation;
  b.insert(b.end(), jpeg.begin(), jpeg.end());
  return b;
}

const std::vector<uint16_t> kZ6Operations = {
    0x1001, 0x1002, PTP_OC_GetObjectHandles, PTP_OC_GetObjectInfo, PTP_OC_GetDevicePropDesc,
    PTP_OC_GetDevicePropValue, PTP_OC_SetDevicePropValue, 0x90C1, 0x90C2, 0x90C7, 0x90C8, 0x9201, 0x9202,
    0x9203, 0x9205, 0x9207, 0x920A, 0x920B, 0x941C, 0x9428};

struct NikonZ6Test : PtpSessionFixture {
  kvtest::FakeFujiBody body;  // a plain property body: descriptions, values, writes

  void SetUp() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::SetUp();  // camInit installs the library's vendor defaults
    sim->setDeviceInfo(devsim::makeDeviceInfo("Nikon Corporation", "NIKON Z 6", kZ6Operations));
    body.install(*sim);
  }
  void TearDown() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::TearDown();
  }
  // Connect-time set-up as the share session runs it.
  void setUp() {
    ASSERT_EQ(camInitCamera(1), PTP_RC_OK);
    ASSERT_EQ(camGetVendor(), CameraVendorNikon);
    ASSERT_EQ(camModelIndex(), 220);
  }
  // A record described by the body (the table's content, not the wiring under test).
  void track(uint32_t code, kvtest::FakeProperty p) {
    body.set(code, std::move(p));
    PropertyStruct* r = propFind(code, false);
    if (!r) r = propAdd(code, false, true);
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(propRefresh(r)) << std::hex << code;
  }
  std::vector<Cmd> sent(uint16_t op) {
    std::vector<Cmd> out;
    for (auto& c : sim->ptpCommands())
      if (c.code == op) out.push_back(c);
    return out;
  }
  std::vector<uint16_t> codesSentAfter(size_t first) {
    auto all = codesSent();
    return std::vector<uint16_t>(all.begin() + static_cast<long>(std::min(first, all.size())), all.end());
  }
};

TEST_F(NikonZ6Test, SetUpTakesHostControlAndInstallsTheLabels) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  nikonState().mirrorLockupMark = true;  // left from an earlier session
  const size_t before = sim->ptpCommands().size();
  setUp();
  // SetControlMode with the host flag, then the keep-alive DeviceInfo.
  const auto codes = codesSentAfter(before);
  const auto control = std::find(codes.begin(), codes.end(), 0x90C2);
  ASSERT_NE(control, codes.end());
  EXPECT_NE(std::find(control, codes.end(), PTP_OC_GetDeviceInfo), codes.end());
  EXPECT_EQ(sent(0x90C2).back().params, (std::vector<uint32_t>{1}));
  EXPECT_TRUE(cameraServices()->nikonIsHostMode());
  EXPECT_FALSE(nikonState().mirrorLockupMark);
  EXPECT_NE(propLabelFor(0xD1A6), nullptr);  // Nikon's own label table
  // A mirrorless body always shows live view: identification turns the flag on and the
  // module's set-up keeps it.
  EXPECT_TRUE(camLiveViewFlag().load());

  // A body already in host mode answers 0xA003: still a set-up.
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{0xA003, std::nullopt, {}}; });
  EXPECT_EQ(camInitCamera(1), PTP_RC_OK);
  // Refused host control is the set-up's answer.
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{0x2002, std::nullopt, {}}; });
  EXPECT_EQ(camInitCamera(1), 0x2002);
}

TEST_F(NikonZ6Test, PropertySetWaitsUntilTheBodyReportsTheValue) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  track(0x5007, {PTP_DTC_UINT16, 1, 280, "", {280, 400, 560}, {}});
  // The body takes the value but reports the old one twice before the new.
  auto staleReads = std::make_shared<int>(2);
  sim->setPtpHandler(PTP_OC_GetDevicePropValue, [this, staleReads](const Cmd& c) {
    std::lock_guard lock(body.mutex);
    devsim::Bytes b;
    const uint32_t v = (*staleReads)-- > 0 ? 280 : body.props[c.params.at(0)].value;
    devsim::putU16(b, static_cast<uint16_t>(v));
    return Reply{PTP_RC_OK, b, {}};
  });
  naps.clear();
  ASSERT_EQ(camSetPropertyValue(0x5007, 400, true), PTP_RC_OK);
  const auto writes = body.written();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].code, 0x5007u);
  EXPECT_EQ(writes[0].data, (devsim::Bytes{0x90, 0x01}));
  EXPECT_EQ(sent(PTP_OC_GetDevicePropValue).size(), 3u);  // re-read until it reads 400
  EXPECT_EQ(propCurrentValue(0x5007), 400u);
  bool posted = false;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop())
    posted |= e.code == PTP_EC_DevicePropChanged && e.property && e.property->code == 0x5007;
  EXPECT_TRUE(posted);
}

// The poller reads with GetEventEx on a body that lists it, and the parse must read that
// form: read as CheckEvent data the two events below are none.
TEST_F(NikonZ6Test, GetEventExBatchReachesTheQueueThroughThePoller) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  track(0x5007, {PTP_DTC_UINT16, 1, 280, "", {280, 400, 560}, {}});
  body.setValue(0x5007, 560);
  const auto batch = eventExList({{PTP_EC_DevicePropChanged, {0x5007}}, {0x4007, {0x1234}}});
  sim->setPtpHandler(0x941C, [batch](const Cmd&) { return Reply{PTP_RC_OK, batch, {}}; });
  evtClearQueue();
  devInstallEventFetch(1);
  ASSERT_EQ(evtPoll(true, false), PTP_RC_OK);
  EXPECT_EQ(sent(0x941C).size(), 1u);
  EXPECT_TRUE(sent(0x90C7).empty());
  std::vector<PtpEventStruct> queued;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) queued.push_back(e);
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[0].code, PTP_EC_DevicePropChanged);
  ASSERT_NE(queued[0].property, nullptr);
  EXPECT_EQ(queued[0].property->code, 0x5007u);
  EXPECT_EQ(propCurrentValue(0x5007), 560u);  // re-read from the body
  EXPECT_EQ(queued[1].code, 0x4007u);
  EXPECT_EQ(queued[1].objectHandle, 0x1234u);

  // The same batch handed to the camera interface parses the same way.
  evtClearQueue();
  ASSERT_EQ(camParseEvents(batch), PTP_RC_OK);
  size_t again = 0;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) ++again;
  EXPECT_EQ(again, 2u);
}

TEST_F(NikonZ6Test, CaptureSendsInitiateCaptureRecInMedia) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  sim->setPtpHandler(0x9207, [](const Cmd&) { return Reply{}; });
  sim->setPtpHandler(0x90C8, [](const Cmd&) { return Reply{}; });
  ASSERT_EQ(camTakePicture(), PTP_RC_OK);
  const auto capture = sent(0x9207);
  ASSERT_EQ(capture.size(), 1u);
  const uint32_t first = camGetAfState() == 1 ? 0xFFFFFFFF : 0xFFFFFFFE;
  EXPECT_EQ(capture[0].params, (std::vector<uint32_t>{first, 0}));
  EXPECT_FALSE(sent(0x90C8).empty());  // then DeviceReady

  // The device link's capture command carries the same opcode.
  uint8_t buffer[64] = {};
  const size_t n = camBuildCaptureCommand(buffer, sizeof buffer);
  ASSERT_GT(n, 5u + 12u);
  EXPECT_EQ(buffer[4], 10);                      // framed PTP command
  EXPECT_EQ(bytesGetU16(buffer + 5 + 6), 0x9207);  // the container's code
}

TEST_F(NikonZ6Test, LiveViewFrameIsFetchedWithGetLiveViewImageEx) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  const devsim::Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 1, 2, 3, 0xFF, 0xD9};
  const auto reply = liveViewExReply(640, 424, 2, jpeg);
  sim->setPtpHandler(0x9428, [reply](const Cmd&) { return Reply{PTP_RC_OK, reply, {}}; });
  ByteBuffer frame;
  ASSERT_EQ(camGetLiveViewFrame(frame), PTP_RC_OK);
  EXPECT_EQ(sent(0x9428).size(), 1u);
  EXPECT_TRUE(sent(0x9203).empty());
  ASSERT_EQ(frame.size(), kNikonFrameHeadBytes + jpeg.size());
  EXPECT_EQ(bytesGetU32(frame.data() + kNikonHeadJpegLength), jpeg.size());
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), frame.begin() + kNikonFrameHeadBytes));
  EXPECT_EQ(bytesGetU16(frame.data() + kNikonHeadWidth), 640);
  EXPECT_EQ(camGetLiveViewOrientation(), 6);  // rotation 2 of the last frame
}

// The AF area moves one step from where the last frame shows it, in the picture's
// directions: on a frame shown turned (orientation 6), "right" is up in the frame.
TEST_F(NikonZ6Test, MoveAfPointStepsFromTheLastFramesAfArea) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  sim->setPtpHandler(0x9205, [](const Cmd&) { return Reply{}; });
  const devsim::Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
  auto show = [&](uint8_t rotation, uint16_t afW, uint16_t afH, uint16_t x, uint16_t y) {
    const auto reply = liveViewExReply(640, 424, rotation, jpeg, x, y, afW, afH);
    sim->setPtpHandler(0x9428, [reply](const Cmd&) { return Reply{PTP_RC_OK, reply, {}}; });
    ByteBuffer frame;
    ASSERT_EQ(camGetLiveViewFrame(frame), PTP_RC_OK);
  };
  const struct {
    const char* name;
    uint8_t rotation;  // 0: as shot, 2: shown as orientation 6, 3: as orientation 3
    uint16_t afW, afH, x, y;
    int direction;
    std::vector<uint32_t> to;
  } kCases[] = {
      {"down by the area's height", 0, 40, 30, 320, 212, 0, {320, 242}},
      {"up", 0, 40, 30, 320, 212, 1, {320, 182}},
      {"left by the area's width", 0, 40, 30, 320, 212, 2, {280, 212}},
      {"right", 0, 40, 30, 320, 212, 3, {360, 212}},
      {"no area size: a twentieth of the frame", 0, 0, 0, 320, 212, 3, {352, 212}},
      {"kept inside the frame", 0, 40, 30, 630, 10, 3, {639, 10}},
      {"kept inside at the top", 0, 40, 30, 630, 10, 1, {630, 0}},
      {"turned: right on screen is up in the frame", 2, 40, 30, 320, 212, 3, {320, 182}},
      {"turned: down on screen is right in the frame", 2, 40, 30, 320, 212, 0, {360, 212}},
      {"upside down: right is left", 3, 40, 30, 320, 212, 3, {280, 212}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    show(c.rotation, c.afW, c.afH, c.x, c.y);
    const size_t before = sent(0x9205).size();
    ASSERT_EQ(camMoveAfPoint(c.direction), PTP_RC_OK);
    const auto moves = sent(0x9205);
    ASSERT_EQ(moves.size(), before + 1);
    EXPECT_EQ(moves.back().params, c.to);
  }
  // Another direction is no step at all.
  const size_t before = sent(0x9205).size();
  EXPECT_EQ(camMoveAfPoint(4), ERROR_INVALID_INPUT);
  EXPECT_EQ(sent(0x9205).size(), before);
}

TEST_F(NikonZ6Test, MoveAfPointBeforeAnyFrameSendsNothing) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  EXPECT_EQ(camMoveAfPoint(3), ERROR_INVALID_INPUT);
  EXPECT_TRUE(sent(0x9205).empty());
}

// A flash picture switches FlashMode 0x500C around the capture, and only when the body
// is in the other state.
TEST_F(NikonZ6Test, CaptureWithFlashSwitchesTheFlashModeAroundTheCapture) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  sim->setPtpHandler(0x90C8, [](const Cmd&) { return Reply{}; });
  // FlashMode as the body holds it at each capture (kept under the body's lock).
  auto flashAtCapture = std::make_shared<std::vector<uint32_t>>();
  sim->setPtpHandler(0x9207, [this, flashAtCapture](const Cmd&) {
    std::lock_guard lock(body.mutex);
    flashAtCapture->push_back(body.props[0x500C].value);
    return Reply{};
  });
  auto captured = [&] {
    std::lock_guard lock(body.mutex);
    return *flashAtCapture;
  };
  const struct {
    const char* name;
    uint32_t mode;
    bool flashOn;
    uint32_t during;
    size_t writes;
  } kCases[] = {
      {"off for one picture, back to fill flash", 0x8010, false, 2, 2},
      {"on for one picture from off", 2, true, 0x8010, 2},
      {"already off: no switching", 2, false, 2, 0},
      {"already on: no switching", 4, true, 4, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    nikonResetModuleState();
    track(0x500C, {PTP_DTC_UINT16, 1, c.mode, "", {2, 4, 0x8010}, {}});
    body.clearWrites();
    const size_t before = captured().size();
    ASSERT_EQ(nikonCaptureWithFlash(c.flashOn), PTP_RC_OK);
    const auto during = captured();
    ASSERT_EQ(during.size(), before + 1);
    EXPECT_EQ(during.back(), c.during);
    EXPECT_EQ(body.written().size(), c.writes);
    EXPECT_EQ(propCurrentValue(0x500C), c.mode);  // restored
  }
  // A failed capture is the answer, and the flash is restored all the same.
  sim->setPtpHandler(0x9207, [](const Cmd&) { return Reply{0x2002, std::nullopt, {}}; });
  track(0x500C, {PTP_DTC_UINT16, 1, 0x8010, "", {2, 4, 0x8010}, {}});
  EXPECT_EQ(nikonCaptureWithFlash(false), 0x2002);
  EXPECT_EQ(propCurrentValue(0x500C), 0x8010u);
}

TEST_F(NikonZ6Test, ObjectListingIsThePlainHandleList) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  sim->setPtpHandler(PTP_OC_GetObjectHandles, [](const Cmd&) {
    devsim::Bytes b;
    devsim::putU32(b, 2);
    devsim::putU32(b, 0x10);
    devsim::putU32(b, 0x11);
    return Reply{PTP_RC_OK, b, {}};
  });
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>{0x10, 0x11}));
  EXPECT_EQ(sent(PTP_OC_GetObjectHandles).back().params, (std::vector<uint32_t>{0xFFFFFFFF, 0, 0}));
}

TEST_F(NikonZ6Test, DeviceLinkGetsTheVendorCodesAndLiveViewOpcode) {
  sim->setPtpHandler(0x90C2, [](const Cmd&) { return Reply{}; });
  setUp();
  const auto hooks = devVendorHooks();
  const auto codes = hooks.nikonPropCodes();
  ASSERT_EQ(codes.size(), 64u);
  EXPECT_EQ(codes.front(), 0x5001u);
  EXPECT_EQ(codes.back(), 0xD0F6u);
  EXPECT_EQ(hooks.liveViewOpcode(), 0x9428u);
}

}  // namespace nikonwiring
