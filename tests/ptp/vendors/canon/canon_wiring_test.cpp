// A Canon body on the simulator reached only through the library's own wiring: camInit
// and camInstallVendorDefaults install the Canon module, its services and the device
// command hooks; the test plays the camera and calls the public operations.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/object_info.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/fetch.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/link/command_vendor.h"
#include "ptp/link/commands.h"
#include "ptp/link/pending_table.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/vendors/canon/canon_listing.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_state.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/link/mailbox_fixture.h"
#include "tests/ptp/vendors/vendor_wiring.h"

namespace canonwiring {

using devsim::Bytes;
using Cmd = devsim::Simulator::PtpCommand;
using Reply = devsim::Simulator::PtpReply;

constexpr uint32_t kStorage = 0x00010001;
constexpr uint32_t kMiB = 0x100000;

Bytes u32s(std::initializer_list<uint32_t> ws) {
  Bytes b;
  for (uint32_t w : ws) devsim::putU32(b, w);
  return b;
}
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}
// One GetEvent record: length (head counted), type, payload.
Bytes rec(uint32_t type, const Bytes& payload) { return cat({u32s({uint32_t(8 + payload.size()), type}), payload}); }
Bytes valueRec(uint32_t code, uint32_t value) { return rec(0xC189, u32s({code, value})); }
// 0xC18A: code, a spare word, u16 count at 16 (two spare bytes), the values from 20.
Bytes listRec(uint32_t code, const std::vector<uint32_t>& values) {
  Bytes p = u32s({code, 0});
  devsim::putU16(p, static_cast<uint16_t>(values.size()));
  devsim::putU16(p, 0);
  for (uint32_t v : values) devsim::putU32(p, v);
  return rec(0xC18A, p);
}
// The image-format list carries the camera's structures, one after the other.
Bytes formatListRec(uint32_t code, const std::vector<Bytes>& structures) {
  Bytes p = u32s({code, 0});
  devsim::putU16(p, static_cast<uint16_t>(structures.size()));
  devsim::putU16(p, 0);
  for (const Bytes& s : structures) p.insert(p.end(), s.begin(), s.end());
  return rec(0xC18A, p);
}
const Bytes kRawOnly = u32s({1, 16, 6, 0, 4});
const Bytes kRawAndLargeFine = u32s({2, 16, 6, 0, 4, 16, 1, 0, 3});

Bytes pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 13 + i / 509);
  return b;
}

// The camera: GetEvent hands out queued batches; every SetDevicePropValueEx is recorded
// and, unless `echo` is off, reported back as a 0xC189 record carrying the bytes written.
class Body {
 public:
  void install(devsim::Simulator& sim) {
    for (uint16_t op : {0x910F, 0x9114, 0x9115, 0x911D, 0x9128, 0x9129, 0x913D, 0x913E, 0x9154, 0x9155, 0x9158,
                        0x9159, 0x9160})
      sim.setPtpHandler(op, [](const Cmd&) { return Reply{}; });
    sim.setPtpHandler(0x9116, [this](const Cmd&) {
      std::lock_guard lock(mutex_);
      Bytes data;
      if (!events_.empty()) {
        data = events_.front();
        events_.pop_front();
      }
      data = cat({data, u32s({8, 0})});
      return Reply{PTP_RC_OK, data, {}};
    });
    sim.setPtpHandler(0x9110, [this](const Cmd& c) {
      std::lock_guard lock(mutex_);
      writes_.push_back(c.data);
      if (echo && c.data.size() >= 12) events_.push_back(rec(0xC189, Bytes(c.data.begin() + 4, c.data.end())));
      return Reply{};
    });
  }
  void queue(Bytes batch) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(batch));
  }
  std::vector<Bytes> writes() {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  std::atomic<bool> echo{true};

 private:
  std::mutex mutex_;
  std::deque<Bytes> events_;
  std::vector<Bytes> writes_;
};

// What a body reports when the session opens: lists first, then the values.
Bytes startingProperties() {
  return cat({listRec(0xD101, {0x20, 0x28, 0x30, 0x38}), listRec(0xD106, {0, 1, 4}), listRec(0xD108, {0, 1, 2, 3}),
              listRec(0xD10F, {1, 2}), listRec(0xD1B0, {0, 1, 2, 3}), listRec(0xD1D9, {0, 3, 8, 16, 24}),
              formatListRec(0xD120, {kRawOnly, kRawAndLargeFine}), valueRec(0xD101, 0x30), valueRec(0xD106, 0),
              valueRec(0xD108, 0), valueRec(0xD10F, 1), valueRec(0xD1B0, 1), valueRec(0xD1D9, 3),
              rec(0xC189, cat({u32s({0xD120}), kRawOnly}))});
}

class CanonWiringTest : public MailboxFixture {
 protected:
  void SetUp() override {
    kvtest::clearVendorWiring();
    char t[] = "/tmp/kv-canon-wiring-XXXXXX";
    ASSERT_NE(::mkdtemp(t), nullptr);
    root = t;
    std::filesystem::create_directory(root + "/c");
    std::filesystem::create_directory(root + "/d");
    ASSERT_EQ(cacheLoad((root + "/c").c_str(), (root + "/d").c_str()), 1);
    startSession(2);
    timing().busyRetryDelay = std::chrono::milliseconds(1);
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& c, void*, uint32_t*) { return shareReceivePtp(c); },
            [](int flag) { return linkLockRequests(flag); }, nullptr);
    body.install(*sim);
  }
  void TearDown() override {
    kvtest::clearVendorWiring();
    kvtest::resetSession();
    MailboxFixture::TearDown();
    cacheLoad(nullptr, nullptr);
    std::filesystem::remove_all(root);
  }

  // Set-up as the application runs it: the body's DeviceInfo, the vendor event read, then
  // camInitCamera. The body reports its properties on the first GetEvent.
  PtpResponseCode connectBody(const std::string& model, std::vector<uint16_t> extraOps = {}) {
    std::vector<uint16_t> ops = {0x1001, 0x1002, 0x1004, 0x1008, 0x1009, 0x9110, 0x9114, 0x9115, 0x9116,
                                 0x9127, 0x9128, 0x9129, 0x913D, 0x9153, 0x9154, 0x9155};
    ops.insert(ops.end(), extraOps.begin(), extraOps.end());
    sim->setDeviceInfo(devsim::makeDeviceInfo("Canon Inc.", model, ops));
    body.queue(startingProperties());
    devInstallEventFetch(1);
    return camInitCamera(0);
  }
  // The commands of this operation since the `from`-th command the body got.
  std::vector<Cmd> sent(uint16_t op, size_t from = 0) const {
    std::vector<Cmd> out;
    const auto all = sim->ptpCommands();
    for (size_t i = from; i < all.size(); ++i)
      if (all[i].code == op) out.push_back(all[i]);
    return out;
  }
  std::vector<PtpEventStruct> drain() {
    std::vector<PtpEventStruct> out;
    for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) out.push_back(e);
    return out;
  }

  Body body;
  std::string root;
  std::vector<std::chrono::milliseconds> naps;
  ScopedSleepHook noSleep{[this](std::chrono::milliseconds d) { naps.push_back(d); }};
};


TEST_F(CanonWiringTest, SetUpOpensTheSessionAndReadsTheBodysProperties) {
  struct Case {
    const char* model;
    uint8_t index;
    bool recent;
  };
  for (const Case& c : {Case{"Canon EOS R6", 230, true}, Case{"Canon EOS 5D Mark IV", 0, false}}) {
    SCOPED_TRACE(c.model);
    const size_t before = sim->ptpCommands().size();
    ASSERT_EQ(connectBody(c.model), PTP_RC_OK);
    EXPECT_EQ(camGetVendor(), CameraVendorCanon);
    EXPECT_EQ(camModelIndex(), c.index);
    EXPECT_EQ(canonIsRecentModel(), c.recent);
    ASSERT_EQ(sent(0x9114, before).size(), 1u);
    EXPECT_EQ(sent(0x9114, before)[0].params, std::vector<uint32_t>{1});
    EXPECT_EQ(sent(0x9115, before).at(0).params, std::vector<uint32_t>{1});
    EXPECT_EQ(sent(0x913D, before).at(0).params, std::vector<uint32_t>{0x1FFF});
    EXPECT_EQ(sent(0x9116, before).size(), 2u);
    // The body's report went through the Canon parser into the table, and the labels are
    // Canon's own.
    EXPECT_EQ(propCurrentValue(0xD101), 0x30u);
    EXPECT_EQ(propCurrentValue(0xD120), 0x16010000u);
    EXPECT_STREQ(propLabelFor(0xD106), "Drive Mode");
    EXPECT_EQ(propValueText(0xD106, 1).value_or(""), "Continuous");
    EXPECT_EQ(propValueText(0xD108, 3).value_or(""), "MF");
    EXPECT_EQ(camGetAfState(), 0u) << "One Shot focus: autofocus";
    kvtest::clearVendorWiring();
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& cont, void*, uint32_t*) { return shareReceivePtp(cont); },
            [](int flag) { return linkLockRequests(flag); }, nullptr);
  }
}

TEST_F(CanonWiringTest, SetUpReportsTheBodysRefusal) {
  sim->setPtpHandler(0x9115, [](const Cmd&) { return Reply{0x2002, std::nullopt, {}}; });
  EXPECT_EQ(connectBody("Canon EOS R6"), 0x2002);
  EXPECT_TRUE(sent(0x9116).empty());
}

TEST_F(CanonWiringTest, PropertySetWaitsForTheBodyToReportTheValue) {
  ASSERT_EQ(connectBody("Canon EOS R6"), PTP_RC_OK);
  ASSERT_EQ(camSetPropertyValue(0xD101, 0x38, true), PTP_RC_OK);
  ASSERT_EQ(body.writes().size(), 1u);
  EXPECT_EQ(body.writes()[0], u32s({12, 0xD101, 0x38}));
  EXPECT_EQ(propCurrentValue(0xD101), 0x38u);
  EXPECT_FALSE(propIsSetBusy());

  // Image formats go out as the camera's structure and come back packed.
  ASSERT_EQ(camSetImageFormat(0x16010000, 0x1100C000), PTP_RC_OK);
  ASSERT_EQ(body.writes().size(), 2u);
  EXPECT_EQ(body.writes()[1], cat({u32s({44, 0xD120}), kRawAndLargeFine}));
  EXPECT_EQ(propCurrentValue(0xD120), 0x26010403u);
  EXPECT_TRUE(camQualityIncludesRaw());

  // A body that never reports the value: the set says so and lets go of the lock.
  body.echo = false;
  EXPECT_EQ(camSetPropertyValue(0xD101, 0x20, true), PTP_ERROR_PROP_NOT_CONFIRMED);
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_EQ(camSetPropertyValue(0xD101, 0x21, true), PTP_RC_ParameterNotSupported) << "not in the body's list";
}

TEST_F(CanonWiringTest, BracketingThroughTheInterface) {
  ASSERT_EQ(connectBody("Canon EOS R6"), PTP_RC_OK);
  EXPECT_FLOAT_EQ(camGetMaxBracketingEv(), 3.0f);  // the largest choice, 24 eighths
  camClearBracketing();
  ASSERT_EQ(body.writes().size(), 1u);
  EXPECT_EQ(body.writes()[0], u32s({12, 0xD1D9, 0}));
  ASSERT_EQ(evtPoll(true, false), PTP_RC_OK);  // the body reports it off
  camClearBracketing();
  EXPECT_EQ(body.writes().size(), 1u) << "already off: nothing sent";
}

TEST_F(CanonWiringTest, EventBatchIsParsedIntoTheQueue) {
  ASSERT_EQ(connectBody("Canon EOS R6"), PTP_RC_OK);
  evtClearQueue();
  // A value change, a removal, and a capture announced with its name.
  // Payload offsets are the record's less its 8-byte head: handle at 8, format at 16,
  // size at 28, name at 44.
  Bytes added = u32s({0x4321, 0});
  devsim::putU16(added, 0x3801);
  added.resize(28 - 8, 0);
  devsim::putU32(added, 123456);
  added.resize(44 - 8, 0);
  for (char ch : std::string("IMG_0042.JPG")) added.push_back(static_cast<uint8_t>(ch));
  added.push_back(0);
  body.queue(cat({valueRec(0xD106, 4), rec(0xC182, u32s({0x1234})), rec(0xC1A7, added)}));
  ASSERT_EQ(evtPoll(true, false), PTP_RC_OK);

  EXPECT_EQ(propCurrentValue(0xD106), 4u);
  auto events = drain();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].code, PTP_EC_DevicePropChanged);
  ASSERT_NE(events[0].property, nullptr);
  EXPECT_EQ(events[0].property->code, 0xD106u);
  EXPECT_EQ(events[1].code, PTP_EC_ObjectRemoved);
  EXPECT_EQ(events[1].objectHandle, 0x1234u);
  EXPECT_EQ(events[2].code, PTP_EC_ObjectAdded);
  EXPECT_EQ(events[2].objectInfo.objectId, 0x4321u);
  EXPECT_EQ(events[2].objectInfo.objectFormat, 0x3801);
  EXPECT_EQ(events[2].objectInfo.objectCompressedSize, 123456u);
  EXPECT_EQ(objectInfoFileName(events[2].objectInfo), "IMG_0042.JPG");
}

// The release messages the device sends for a capture: the one-step RemoteReleaseOn pair
// when the body releases in one step or focus is manual, else RemoteRelease.
TEST_F(CanonWiringTest, CaptureCommandFollowsTheBodysReleaseFlag) {
  struct Case {
    const char* model;
    uint32_t afState;
    uint16_t firstOp;
  };
  const Case cases[] = {{"Canon EOS R6", 0, 0x9128}, {"Canon EOS R6", 1, 0x9128},
                        {"Canon EOS 80D", 0, 0x910F}, {"Canon EOS 80D", 1, 0x9128}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.model) + " af " + std::to_string(c.afState));
    kvtest::clearVendorWiring();
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& cont, void*, uint32_t*) { return shareReceivePtp(cont); },
            [](int flag) { return linkLockRequests(flag); }, nullptr);
    ASSERT_EQ(connectBody(c.model), PTP_RC_OK);
    camSetAfState(c.afState);
    uint8_t buffer[128] = {};
    const size_t n = camBuildCaptureCommand(buffer, sizeof buffer);
    ASSERT_GE(n, 17u);
    EXPECT_EQ(buffer[4], 10);
    EXPECT_EQ(bytesGetU16(buffer + 5 + 6), c.firstOp);
    if (c.firstOp == 0x9128) {
      ASSERT_EQ(n, 25u + 21u);
      EXPECT_EQ(bytesGetU32(buffer + 5 + 12), 3u);
      EXPECT_EQ(bytesGetU32(buffer + 5 + 16), c.afState);
      EXPECT_EQ(bytesGetU16(buffer + 25 + 5 + 6), 0x9129);
      EXPECT_EQ(bytesGetU32(buffer + 25 + 5 + 12), 3u);
    } else {
      EXPECT_EQ(n, 17u);
    }
  }
}

TEST_F(CanonWiringTest, PicturesGoThroughRemoteReleaseOnAndOff) {
  ASSERT_EQ(connectBody("Canon EOS R6"), PTP_RC_OK);
  ASSERT_EQ(camTakePicture(), PTP_RC_OK);
  auto on = sent(0x9128), off = sent(0x9129);
  ASSERT_EQ(on.size(), 2u);
  EXPECT_EQ(on[0].params, (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(on[1].params, (std::vector<uint32_t>{2, 0}));
  ASSERT_EQ(off.size(), 2u);
  EXPECT_EQ(off[0].params, std::vector<uint32_t>{2});
  EXPECT_EQ(off[1].params, std::vector<uint32_t>{1});
  EXPECT_FALSE(propIsSetBusy());

  // Without autofocus: the press carries the manual-focus word, is released at once, and
  // the focus state is back afterwards.
  const size_t before = sim->ptpCommands().size();
  ASSERT_EQ(camTakePictureNoAf(), PTP_RC_OK);
  on = sent(0x9128, before);
  ASSERT_EQ(on.size(), 2u);
  EXPECT_EQ(on[0].params, (std::vector<uint32_t>{1, 1}));
  EXPECT_EQ(sent(0x9129, before).size(), 2u);
  EXPECT_EQ(camGetAfState(), 0u);
  EXPECT_FALSE(propIsSetBusy()) << "a press left held would block every later set";
}

TEST_F(CanonWiringTest, FocusAndZoomReachTheBody) {
  ASSERT_EQ(connectBody("Canon EOS R6", {0x9158, 0x9159, 0x9160}), PTP_RC_OK);
  ASSERT_EQ(camStartAutoFocus(), PTP_RC_OK);
  EXPECT_EQ(sent(0x9154).size(), 1u);
  EXPECT_TRUE(camIsManualFocus());
  EXPECT_EQ(camStopAutoFocus(), PTP_RC_OK);
  EXPECT_EQ(sent(0x9160).size(), 1u);
  // DriveLens takes the near side as 1..n and the far side as 0x8000 + n.
  ASSERT_EQ(camDriveFocus(-2), PTP_RC_OK);
  ASSERT_EQ(camDriveFocus(3), PTP_RC_OK);
  auto drives = sent(0x9155);
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0].params, std::vector<uint32_t>{2});
  EXPECT_EQ(drives[1].params, std::vector<uint32_t>{0x8003});
  // The AF point in the identified sensor's pixels (5472 x 3648).
  ASSERT_EQ(camSetAfPoint(0.05f, 1.0f), PTP_RC_OK);
  EXPECT_EQ(sent(0x9159).at(0).params, (std::vector<uint32_t>{0, 3283}));
  ASSERT_EQ(camSetLiveViewZoom(200), PTP_RC_OK);
  EXPECT_EQ(sent(0x9158).at(0).params, std::vector<uint32_t>{10});
  EXPECT_EQ(camGetLiveViewZoom(), 200);
}

TEST_F(CanonWiringTest, LiveViewFrameCarriesTheModelsSensorSize) {
  ASSERT_EQ(connectBody("Canon EOS R6", {0x913E}), PTP_RC_OK);
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  EXPECT_EQ(propCurrentValue(0xD1B0), 3u);
  EXPECT_EQ(body.writes().back(), u32s({12, 0xD1B0, 3}));
  EXPECT_EQ(sent(0x913E).size(), 1u);

  Bytes reply(4000, 0x11);
  const Bytes start = {0xFF, 0xD8, 0xFF, 0xDB};
  std::copy(start.begin(), start.end(), reply.begin() + 8);
  reply[3998] = 0xFF;
  reply[3999] = 0xD9;
  sim->setPtpHandler(0x9153, [&](const Cmd&) { return Reply{PTP_RC_OK, reply, {}}; });
  ByteBuffer frame;
  ASSERT_EQ(camGetLiveViewFrame(frame), PTP_RC_OK);
  EXPECT_EQ(sent(0x9153).at(0).params, std::vector<uint32_t>{0x00100000});
  EOS_LiveViewInfoStruct header{};
  ASSERT_TRUE(canonReadLiveViewHeader(frame.data(), frame.size(), header));
  EXPECT_EQ(header.frameKind, CanonFrameKindJpeg);
  EXPECT_EQ(header.imageLength, 3992u);
  EXPECT_EQ(header.fullWidth, 5472u);
  EXPECT_EQ(header.fullHeight, 3648u);
  EXPECT_EQ(header.zoomScale, 1u);

  // The device relays live view under Canon's own request code.
  ASSERT_EQ(devSetLiveViewRelay(1), 1);
  EXPECT_TRUE(msgTableCopy(0x9153).has_value());
  devSetLiveViewRelay(0);
}

TEST_F(CanonWiringTest, ListingWalksFoldersOfEveryStorage) {
  sim->addStorage(kStorage, kvtest::makeStorageInfo("SD", "EOS_DIGITAL"));
  // Entry: u32 size, handle, storage, format, three spare words, u32 at +28 size, spare,
  // name from +36.
  auto entry = [](uint32_t handle, uint16_t format, uint32_t size, const std::string& name) {
    Bytes e = u32s({0, handle, kStorage, format, 0, 0, 0xAB, size, 0});
    for (char ch : name) e.push_back(static_cast<uint8_t>(ch));
    e.push_back(0);
    devsim::putU32(e, 0);  // what follows the name in the entry
    bytesPutU32(e.data(), static_cast<uint32_t>(e.size()));
    return e;
  };
  auto listing = [](std::vector<Bytes> entries) {
    Bytes b = u32s({static_cast<uint32_t>(entries.size())});
    for (const Bytes& e : entries) b.insert(b.end(), e.begin(), e.end());
    return b;
  };
  std::vector<std::vector<uint32_t>> asked;
  sim->setPtpHandler(0x9109, [&](const Cmd& c) {
    asked.push_back(c.params);
    const uint32_t parent = c.params.at(1);
    if (parent == 0xFFFFFFFF)
      return Reply{PTP_RC_OK, listing({entry(0x100, 0x3001, 0, "DCIM"), entry(0x200, 0x3801, 5000, "ROOT.JPG")}), {}};
    if (parent == 0x100) return Reply{PTP_RC_OK, listing({entry(0x300, 0xB108, 9000, "IMG_0001.CR3")}), {}};
    return Reply{PTP_RC_OK, listing({}), {}};
  });
  ASSERT_EQ(connectBody("Canon EOS R6", {0x9109}), PTP_RC_OK);
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>{0x100, 0x300, 0x200}));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], (std::vector<uint32_t>{kStorage, 0xFFFFFFFF, 0x00200000}));
  EXPECT_EQ(asked[1], (std::vector<uint32_t>{kStorage, 0x100, 0x00200000}));

  // A folder that lists itself ends the walk instead of recursing for ever.
  sim->setPtpHandler(0x9109, [&](const Cmd&) {
    return Reply{PTP_RC_OK, listing({entry(0x100, 0x3001, 0, "LOOP")}), {}};
  });
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles.size(), size_t(kCanonListMaxDepth) + 1);

  // An empty reply is no listing at all.
  sim->setPtpHandler(0x9109, [&](const Cmd&) { return Reply{PTP_RC_OK, Bytes{}, {}}; });
  EXPECT_EQ(camGetAllObjectHandles(handles), ERROR_BAD_REPLY);
  EXPECT_TRUE(handles.empty());
}

// Bodies with the newer listing are asked with it first; one that refuses it is asked the
// older way.
TEST_F(CanonWiringTest, ListingPrefersTheNewerOperation) {
  sim->addStorage(kStorage, kvtest::makeStorageInfo("SD", "EOS_DIGITAL"));
  auto oneEntry = [](uint32_t handle) {
    Bytes e = u32s({0, handle, kStorage, 0x3801, 0, 0, 0, 100, 0});
    for (char ch : std::string("A.JPG")) e.push_back(static_cast<uint8_t>(ch));
    e.push_back(0);
    bytesPutU32(e.data(), static_cast<uint32_t>(e.size()));
    return cat({u32s({1}), e});
  };
  std::atomic<uint16_t> newerAnswer{PTP_RC_OK};
  sim->setPtpHandler(0x9170, [&](const Cmd&) {
    if (newerAnswer != PTP_RC_OK) return Reply{newerAnswer.load(), std::nullopt, {}};
    return Reply{PTP_RC_OK, oneEntry(0x70), {}};
  });
  sim->setPtpHandler(0x9109, [&](const Cmd&) { return Reply{PTP_RC_OK, oneEntry(0x09), {}}; });
  ASSERT_EQ(connectBody("Canon EOS R6", {0x9109, 0x9170}), PTP_RC_OK);
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, std::vector<uint32_t>{0x70});
  EXPECT_TRUE(sent(0x9109).empty());
  newerAnswer = 0x2005;
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, std::vector<uint32_t>{0x09});
}

// What a user's click on a picture runs: the display bytes, fetched by ranges past the
// whole-object limit. Recent Canon bodies are asked 1 MiB at a time.
TEST_F(CanonWiringTest, LargeDownloadRangesFollowTheModel) {
  struct Case {
    const char* model;
    std::vector<uint32_t> lengths;
  };
  const Case cases[] = {{"Canon EOS R6", {kMiB, kMiB, kMiB, kMiB, kMiB}},
                        {"Canon EOS 5D Mark IV", {2 * kMiB, 2 * kMiB, kMiB}}};
  uint32_t handle = 7;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    kvtest::clearVendorWiring();
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& cont, void*, uint32_t*) { return shareReceivePtp(cont); },
            [](int flag) { return linkLockRequests(flag); }, nullptr);
    ASSERT_EQ(connectBody(c.model), PTP_RC_OK);
    const Bytes object = pattern(5 * kMiB);
    sim->addObject(++handle, object);
    PtpObjectInfoStruct r{};
    r.objectId = handle;
    r.objectFormat = 0x3801;
    r.objectCompressedSize = 5 * kMiB;
    r.imagePixWidth = 5472;
    r.imagePixHeight = 3648;
    objectInfoSetFileName(r, "IMG_" + std::to_string(handle) + ".JPG");
    const size_t before = sim->received().size();
    std::vector<uint8_t> data;
    uint8_t downloaded = 0;
    ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, false), PTP_RC_OK);
    EXPECT_EQ(downloaded, 1);
    EXPECT_TRUE(data == std::vector<uint8_t>(object.begin(), object.end()));
    std::vector<uint32_t> lengths;
    const auto frames = sim->received();
    for (size_t i = before; i < frames.size(); ++i)
      if (frames[i].opcode() == 65) lengths.push_back(bytesGetU32(frames[i].controlPayload().data() + 8));
    EXPECT_EQ(lengths, c.lengths);
  }
}

TEST_F(CanonWiringTest, FocusDriveGoesOutAsTheRelayedLensDrive) {
  // The drive message carries no reply key, so its reply is read straight off the socket:
  // a link without the share reader (with it, the reply is routed as unsolicited).
  shareStopReader();
  connect(2);
  body.install(*sim);
  ASSERT_EQ(connectBody("Canon EOS R6"), PTP_RC_OK);
  std::vector<Bytes> drives;
  std::mutex m;
  sim->setFrameHandler(5, [&](const devsim::Frame& f) {
    {
      std::lock_guard lock(m);
      drives.push_back(f.bytes);
    }
    sim->sendControlReply(f.bytes.size() > 9 ? f.bytes[9] : 0, PTP_RC_OK, {});
    return true;
  });
  ASSERT_EQ(devDriveFocus(10, 350), PTP_RC_OK);
  std::lock_guard lock(m);
  ASSERT_EQ(drives.size(), 2u);  // 300 and 50
  for (size_t i = 0; i < drives.size(); ++i) {
    const Bytes& d = drives[i];
    ASSERT_EQ(d.size(), 15u + 16u);
    EXPECT_EQ(bytesGetU32(d.data()), d.size());
    EXPECT_EQ(bytesGetU16(d.data() + 9), i == 0 ? 300 : 50);
    EXPECT_EQ(bytesGetU16(d.data() + 15 + 6), 0x9155);
    EXPECT_EQ(bytesGetU32(d.data() + 15 + 12), 10u);
  }
  EXPECT_TRUE(camIsManualFocus());
}

// A thumbnail that carries no orientation leaves the one the record already had, in the
// record and in the cache.
TEST_F(CanonWiringTest, ThumbnailWithoutOrientationKeepsTheKnownOne) {
  ASSERT_EQ(connectBody("Canon EOS R6", {0x910A}), PTP_RC_OK);
  auto thumbReply = [](int orientation) {
    Bytes b;
    if (orientation >= 0) b = {0x12, 0x01, 0x03, 0x00, 1, 0, 0, 0, uint8_t(orientation), 0, 0, 0};
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0, 0x43, 1, 2, 3, 0xFF, 0xD9};
    return cat({b, jpeg});
  };
  struct Case {
    uint32_t handle;
    Bytes reply;
    uint8_t expected;
  };
  const Case cases[] = {{31, Bytes{}, 6}, {32, thumbReply(0), 6}, {33, thumbReply(8), 8}};
  std::map<uint32_t, Bytes> replies;
  for (const Case& c : cases) replies[c.handle] = c.reply;
  sim->setPtpHandler(0x910A, [&](const Cmd& cmd) { return Reply{PTP_RC_OK, replies.at(cmd.params.at(0)), {}}; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.handle);
    PtpObjectInfoStruct r{};
    r.objectId = c.handle;
    r.objectFormat = 0x3801;
    r.objectCompressedSize = 4000;
    r.imagePixWidth = 5472;
    r.orientation = 6;
    objectInfoSetFileName(r, "IMG_" + std::to_string(c.handle) + ".JPG");
    ASSERT_EQ(cacheStoreRecord(r), 1);
    std::vector<uint8_t> data;
    ASSERT_EQ(fetchThumbnail(&r, data, 0), PTP_RC_OK);
    EXPECT_EQ(r.orientation, c.expected);
    PtpObjectInfoStruct stored{};
    ASSERT_EQ(cacheGetRecord(r, &stored), 1);
    EXPECT_EQ(stored.orientation, c.expected);
  }
}

}  // namespace canonwiring
