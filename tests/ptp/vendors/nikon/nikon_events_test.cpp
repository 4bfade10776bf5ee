// Nikon event lists against the simulated camera: the CheckEvent and GetEventEx forms,
// object and property events, and lists that end early or claim too much.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "ptp/base/ptp_codes.h"
#include "ptp/vendors/nikon/nikon_events.h"
#include "ptp/vendors/nikon/nikon_liveview_ops.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"

using kvtest::nikonValueOf;
using kvtest::putProperty;

namespace {

devsim::Bytes checkEvents(std::vector<std::pair<uint16_t, uint32_t>> events, int count = -1) {
  devsim::Bytes b;
  devsim::putU16(b, static_cast<uint16_t>(count < 0 ? events.size() : static_cast<size_t>(count)));
  for (auto [code, param] : events) {
    devsim::putU16(b, code);
    devsim::putU32(b, param);
  }
  return b;
}

struct NikonEventsTest : PtpSessionFixture {
  std::map<uint32_t, uint16_t> camera;  // UINT16 values on the camera

  void start(std::vector<uint16_t> extraOps = {}) {
    std::vector<uint16_t> ops{0x1001, 0x1002, PTP_OC_GetDevicePropDesc, PTP_OC_GetDevicePropValue,
                              PTP_OC_GetObjectInfo};
    ops.insert(ops.end(), extraOps.begin(), extraOps.end());
    deviceInfo("Nikon", ops);
    kvtest::resetNikon();
    setCameraServices(std::make_shared<kvtest::NikonTestServices>());
    camSetVendor(CameraVendorNikon);
    camSetModelIndex(196);
    sim->setPtpHandler(PTP_OC_GetDevicePropDesc, [this](const devsim::Simulator::PtpCommand& c) {
      devsim::Simulator::PtpReply r;
      const uint32_t code = c.params.at(0);
      if (!camera.count(code)) {
        r.result = 0x200A;
        return r;
      }
      devsim::Bytes b;
      devsim::putU16(b, static_cast<uint16_t>(code));
      devsim::putU16(b, 4);  // UINT16
      b.push_back(1);
      devsim::putU16(b, camera[code]);
      devsim::putU16(b, camera[code]);
      b.push_back(0);
      r.data = b;
      return r;
    });
    sim->setPtpHandler(PTP_OC_GetDevicePropValue, [this](const devsim::Simulator::PtpCommand& c) {
      devsim::Simulator::PtpReply r;
      const uint32_t code = c.params.at(0);
      if (!camera.count(code)) r.result = 0x200A;
      else r.data = devsim::Bytes{static_cast<uint8_t>(camera[code]), static_cast<uint8_t>(camera[code] >> 8)};
      return r;
    });
  }
  void TearDown() override {
    kvtest::resetNikon();
    PtpSessionFixture::TearDown();
  }
  std::vector<uint32_t> drainCodes() {
    std::vector<uint32_t> out;
    for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) out.push_back(e.code);
    return out;
  }
  size_t sentCount(uint16_t op) const {
    size_t n = 0;
    for (auto code : codesSent()) n += code == op;
    return n;
  }
};

}  // namespace

TEST_F(NikonEventsTest, EmptyShortAndNullLists) {
  start();
  EXPECT_EQ(nikonParseEvents(nullptr, 4), ERROR_INVALID_INPUT);
  const uint8_t one = 0;
  EXPECT_EQ(nikonParseEvents(&one, 0), ERROR_INVALID_INPUT);
  auto none = checkEvents({});
  EXPECT_EQ(nikonParseEvents(none.data(), none.size()), PTP_RC_OK);
  const uint8_t two[] = {5, 0};
  EXPECT_EQ(nikonParseEvents(two, sizeof two), PTP_RC_OK);
  EXPECT_EQ(evtQueueSize(), 0u);
}

TEST_F(NikonEventsTest, WalkStopsAtTheDataEndWhateverTheCountClaims) {
  start();
  auto list = checkEvents({{0x4003, 5}, {0x4001, 1}, {kNikonCaptureComplete, 9}, {0x4003, 6}}, 60000);
  list.resize(list.size() - 2);  // the last entry cut short
  ASSERT_EQ(nikonParseEvents(list.data(), list.size()), PTP_RC_OK);
  PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, PTP_EC_ObjectRemoved);
  EXPECT_EQ(e.objectHandle, 5u);
  e = evtPop();
  EXPECT_EQ(e.code, kNikonCaptureComplete);
  EXPECT_EQ(e.objectHandle, 9u);
  EXPECT_EQ(evtPop().code, 0u);
}

TEST_F(NikonEventsTest, ObjectAddedFetchesTheRecordAndEndsMovieRecording) {
  start();
  kvtest::ObjectInfoFields movie;
  movie.format = 0x300D;
  movie.fileName = "DSC_0001.MOV";
  sim->setObjectInfo(0x10, kvtest::makeObjectInfo(movie));
  {
    std::lock_guard lock(nikonState().movieMutex);
    nikonState().movieRecording = true;
  }
  auto list = checkEvents({{0x4002, 0x10}, {0x4002, 0x99}});  // the second is unknown to the camera
  ASSERT_EQ(nikonParseEvents(list.data(), list.size()), PTP_RC_OK);
  PtpEventStruct e = evtPop();
  ASSERT_EQ(e.code, PTP_EC_ObjectAdded);
  EXPECT_EQ(e.objectInfo.objectId, 0x10u);
  EXPECT_EQ(e.objectInfo.objectFormat, 0x300D);
  EXPECT_STREQ(e.objectInfo.fileName, "DSC_0001.MOV");
  EXPECT_EQ(evtPop().code, 0u);
  std::lock_guard lock(nikonState().movieMutex);
  EXPECT_FALSE(nikonState().movieRecording);
}

TEST_F(NikonEventsTest, ExposureProgramChangeRereadsItsCompanions) {
  start();
  for (uint32_t code : {0x500Eu, 0x5010u, 0x5007u, 0xD100u}) putProperty(code, 0);
  camera = {{0x500E, 3}, {0x5007, 0x230}, {0xD100, 0x19}};
  auto list = checkEvents({{0x4006, 0x500E}, {0x4006, 0xD406}});  // the second is no known code
  ASSERT_EQ(nikonParseEvents(list.data(), list.size()), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x500E), 3u);
  EXPECT_EQ(nikonValueOf(0x5007), 0x230u);
  EXPECT_EQ(nikonValueOf(0xD100), 0x19u);
  EXPECT_EQ(drainCodes(), (std::vector<uint32_t>(4, PTP_EC_DevicePropChanged)));
  EXPECT_EQ(sentCount(PTP_OC_GetDevicePropDesc), 1u);
}

TEST_F(NikonEventsTest, QualityEventRebuildsTheComposite) {
  start();
  putProperty(0x5004, 0);
  putProperty(0x5003, 1);
  putProperty(0xD0B6, 2);
  camera = {{0x5004, 6}};
  auto list = checkEvents({{0x4006, 0x5004}});
  ASSERT_EQ(nikonParseEvents(list.data(), list.size()), PTP_RC_OK);
  EXPECT_EQ(nikonValueOf(0x5004), nikonComposeImageQuality(6, 1, 2));
}

TEST_F(NikonEventsTest, ExFormWithParametersAndTheRawDuplicateDrop) {
  start({0x941C});
  camSetModelIndex(219);
  putProperty(0x5004, 8);  // RAW + JPEG
  putProperty(0x5007, 0);
  camera = {{0x5007, 0x280}};
  sim->setObjectInfo(0xA000001, kvtest::makeObjectInfo({}));
  devsim::Bytes b;
  devsim::putU32(b, 5);
  auto entry = [&](uint16_t code, std::vector<uint32_t> params) {
    devsim::putU16(b, code);
    devsim::putU16(b, static_cast<uint16_t>(params.size()));
    for (uint32_t p : params) devsim::putU32(b, p);
  };
  entry(0x4002, {0x10});              // low handle with RAW: dropped
  entry(0x4002, {0xA000001});
  entry(0x4006, {0x5007, 0xDEAD});    // extra parameters are skipped
  entry(0x4001, {1});                 // not a Nikon event: skipped
  entry(0x4003, {7});
  ASSERT_EQ(nikonParseEventsEx(b.data(), b.size()), PTP_RC_OK);
  EXPECT_EQ(drainCodes(), (std::vector<uint32_t>{PTP_EC_ObjectAdded, PTP_EC_DevicePropChanged, PTP_EC_ObjectRemoved}));
  EXPECT_EQ(nikonValueOf(0x5007), 0x280u);
  EXPECT_EQ(sentCount(PTP_OC_GetDevicePropDesc), 0u) << "the Ex form reads values";

  // A count far beyond the data ends at the data.
  devsim::Bytes huge;
  devsim::putU32(huge, 0xFFFFFFFF);
  devsim::putU16(huge, 0x4003);
  devsim::putU16(huge, 0xFFFF);
  devsim::putU32(huge, 1);
  ASSERT_EQ(nikonParseEventsEx(huge.data(), huge.size()), PTP_RC_OK);
  EXPECT_EQ(drainCodes(), (std::vector<uint32_t>{PTP_EC_ObjectRemoved}));
}

TEST_F(NikonEventsTest, GetEventsUsesTheListedOperation) {
  start({0x90C7});
  ByteBuffer data;
  sim->setPtpHandler(0x90C7, [](const devsim::Simulator::PtpCommand&) {
    devsim::Simulator::PtpReply r;
    r.data = checkEvents({{0x4003, 1}});
    return r;
  });
  ASSERT_EQ(nikonGetEvents(data, true), PTP_RC_OK);
  EXPECT_EQ(data.size(), 8u);
  EXPECT_EQ(codesSent().back(), 0x90C7);
}

// The movie's ObjectAdded, parsed on the poller's thread, ends the wait of the thread that
// stopped recording.
TEST_F(NikonEventsTest, MovieObjectAddedOnAnotherThreadEndsTheStop) {
  start({0x920B});
  kvtest::ObjectInfoFields movie;
  movie.format = 0x300D;
  sim->setObjectInfo(0x20, kvtest::makeObjectInfo(movie));
  sim->setPtpHandler(0x920B, [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  auto list = checkEvents({{0x4002, 0x20}});
  std::thread poller([&] {
    for (int i = 0; i < 3; ++i) nikonParseEvents(list.data(), list.size());
  });
  EXPECT_EQ(nikonStopMovieRecording(), PTP_RC_OK);
  poller.join();
  nikonParseEvents(list.data(), list.size());
  std::lock_guard lock(nikonState().movieMutex);
  EXPECT_FALSE(nikonState().movieRecording);
}
