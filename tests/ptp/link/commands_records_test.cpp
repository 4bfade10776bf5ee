// What the command wrappers send: golden request bytes, name limits, and the replies
// they accept.
#include <cmath>
#include <cstring>

#include "ptp/link/commands.h"
#include "tests/ptp/link/mailbox_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

Bytes floatBytes(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  Bytes b;
  devsim::putU32(b, u);
  return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes u32(uint32_t v) {
  Bytes b;
  devsim::putU32(b, v);
  return b;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

class CommandsTest : public MailboxFixture {
 protected:
  // The payload of the last control request the device got.
  Bytes lastPayload() {
    auto frames = sim->received();
    return frames.empty() ? Bytes() : frames.back().controlPayload();
  }
  int lastOpcode() {
    auto frames = sim->received();
    return frames.empty() ? -1 : frames.back().opcode();
  }
};

}  // namespace

TEST(CommandRecords, Watermark) {
  auto off = devBuildWatermarkRecord(0, "stale text", 3, 2);
  Bytes expectedOff(135, 0);
  expectedOff[0] = 135;
  EXPECT_EQ(Bytes(off.begin(), off.end()), expectedOff);

  auto on = devBuildWatermarkRecord(1, "(c) K", 4, 2);
  Bytes expectedOn = cat({u32(135), {1, 2, 4}, text("(c) K")});
  expectedOn.resize(135, 0);
  EXPECT_EQ(Bytes(on.begin(), on.end()), expectedOn);

  // 126 ASCII bytes then a two-byte character: it does not fit in 127, so it is left out
  // whole; the last byte is always a NUL.
  std::string longText = std::string(126, 'a') + "\xC3\xA9" + "tail";
  auto cut = devBuildWatermarkRecord(1, longText.c_str(), 1, 1);
  EXPECT_EQ(cut[7 + 125], 'a');
  EXPECT_EQ(cut[7 + 126], 0);
  EXPECT_EQ(cut[134], 0);
  std::string fits = std::string(125, 'a') + "\xC3\xA9" + "tail";
  auto kept = devBuildWatermarkRecord(1, fits.c_str(), 1, 1);
  EXPECT_EQ(kept[7 + 125], 0xC3);
  EXPECT_EQ(kept[7 + 126], 0xA9);
  EXPECT_EQ(kept[134], 0);
}

TEST(CommandRecords, Record178) {
  auto r = devBuild178Record(9, "first", std::string(70, 's').c_str());
  Bytes expected(129, 0);
  expected[0] = 9;
  std::memcpy(expected.data() + 1, "first", 5);
  std::memset(expected.data() + 65, 's', 63);  // 63 characters and the NUL
  EXPECT_EQ(Bytes(r.begin(), r.end()), expected);
  auto empty = devBuild178Record(1, nullptr, nullptr);
  EXPECT_EQ(empty[1], 0);
  EXPECT_EQ(empty[65], 0);
}

TEST(CommandRecords, Record211BothForms) {
  auto hooks = devVendorHooks();
  hooks.isManualFocus = [] { return uint8_t(1); };
  devSetVendorHooks(hooks);
  camSetVendor(CameraVendorSony);

  // Short form: c becomes 0.1 when e is negative.
  Bytes s = devBuild211Simple(0x5007, 3, 1.5f, 4.5f, 2.5f, 3.5f, -1.0f);
  Bytes expected = cat({{4, 3}, u32(25), {0x07, 0x50}, floatBytes(1.5f), floatBytes(2.5f), floatBytes(0.1f),
                        floatBytes(-1.0f), floatBytes(4.5f), {0, 0, 1}});
  EXPECT_EQ(s, expected);
  EXPECT_TRUE(devBuild211Simple(0, 3, 1, 1, 1, 1, 1).empty());
  EXPECT_TRUE(devBuild211Simple(1, 3, 1, 1, 0.09f, 1, 1).empty());

  // Long form, both blocks; Sony's 0xD20D swaps modes 1 and 2.
  Bytes both = devBuild211(2, 0xD20D, 10, 20, 3, 1, 7, 0.5f, 0.25f, 0.0f, 9.0f);
  Bytes expectedBoth = cat({{3, 7}, u32(39), u32(0xD20D), u32(10), u32(20), {3, 0}, {2}, floatBytes(9.0f), {0, 0},
                            {1}, {2, 0}, floatBytes(0.5f), floatBytes(0.25f), floatBytes(0.0f), {0, 0}, {1}});
  EXPECT_EQ(both, expectedBoth);
  EXPECT_EQ(both.size(), 45u);
  // Property block only; a third focus value sends the marker code.
  Bytes property = devBuild211(0, 0x500F, 1, 2, 0, 2, 0, 0, 0, 0.5f, 0);
  ASSERT_EQ(property.size(), 28u);
  EXPECT_EQ(property[0], 2);
  EXPECT_EQ(bytesGetU32(property.data() + 6), 0x1234u);
  EXPECT_EQ(property[20], 2);  // not a swapped property
  Bytes focus = devBuild211(4, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0);
  ASSERT_EQ(focus.size(), 23u);
  EXPECT_EQ(focus[0], 1);
  EXPECT_TRUE(devBuild211(0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0).empty());
  devResetVendorHooks();
  camSetVendor(CameraVendorUnknown);
}

TEST(CommandRecords, FocusStepMap) {
  struct Row {
    uint16_t vendor;
    bool special;
    uint16_t steps[3];
  };
  const Row rows[] = {{CameraVendorCanon, false, {1, 10, 25}},  {CameraVendorNikon, false, {15, 75, 375}},
                      {CameraVendorNikon, true, {37, 187, 937}}, {CameraVendorSony, false, {2, 5, 7}},
                      {CameraVendorFujifilm, true, {20, 125, 500}}, {CameraVendorFujifilm, false, {6, 50, 140}},
                      {CameraVendorUnknown, false, {1, 2, 3}}};
  for (const auto& row : rows) {
    auto hooks = devVendorHooks();
    camSetVendor(row.vendor);
    hooks.nikonLensTypeZero = [s = row.special] { return s; };
    hooks.fujiIsGfxBody = [s = row.special] { return s; };
    devSetVendorHooks(hooks);
    for (uint16_t step = 1; step <= 3; ++step) EXPECT_EQ(devFocusStepSize(step), row.steps[step - 1]);
    EXPECT_EQ(devFocusStepSize(4), 4);
    EXPECT_EQ(devFocusStepSize(0), 0);
  }
  devResetVendorHooks();
  camSetVendor(CameraVendorUnknown);
  EXPECT_EQ(devDriveFocus(10, 5), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(CommandsTest, GoldenRequests233And248AndNameLimits) {
  startSession();
  ASSERT_EQ(devSetDescriptionAndRating("/DCIM/A.JPG", "sunset", 4), PTP_RC_OK);
  EXPECT_EQ(lastOpcode(), 233);
  EXPECT_EQ(lastPayload(),
            cat({text("/DCIM/A.JPG"), {0},
                 text("-M\"set Exif.Image.ImageDescription sunset\" -M\"set Xmp.xmp.Rating 4\""), {0}}));
  ASSERT_EQ(devSetRating("/A.JPG", 5), PTP_RC_OK);
  EXPECT_EQ(lastPayload(), cat({text("/A.JPG"), {0}, text("exiv2 -M\"set Xmp.xmp.Rating 5\""), {0}}));
  size_t before = sim->receivedCount();
  EXPECT_EQ(devSetImageDescription("/A.JPG", "say \"hi\""), ERROR_INVALID_INPUT);
  EXPECT_EQ(devSetImageDescription("/A.JPG", std::string(470, 'd').c_str()), ERROR_INVALID_INPUT);
  EXPECT_EQ(devSetDescriptionAndRating("/A.JPG", std::string(440, 'd').c_str(), 1), ERROR_INVALID_INPUT);
  EXPECT_EQ(devSetDescriptionAndRating("/A.JPG", std::string(451, 'd').c_str(), 1), 0);
  EXPECT_EQ(devExiv2(std::string(500, 'p').c_str(), "x"), ERROR_INVALID_INPUT);
  EXPECT_EQ(sim->receivedCount(), before);  // nothing cut short went out
  ASSERT_EQ(devSetImageDescription("/A.JPG", std::string(400, 'd').c_str()), PTP_RC_OK);

  PtpObjectInfoStruct named{};
  named.objectId = kObjectIdNone;
  objectInfoSetFileName(named, "B.JPG");
  sim->addFile("B.JPG", Bytes(100, 2));
  ByteBuffer out;
  ASSERT_EQ(devGetPartialObject(&named, 0x01020304 % 50, 7, out, 0), PTP_RC_OK);
  EXPECT_EQ(lastOpcode(), 248);
  EXPECT_EQ(lastPayload(), cat({u32(0x01020304 % 50), u32(7), text("B.JPG"), {0}}));

  struct Limit {
    const char* name;
    std::function<PtpResponseCode(const char*)> call;
    size_t longest;
  };
  uint8_t v;
  const std::vector<Limit> limits = {
      {"228", [&](const char* n) { return devQueryName228(n, out); }, 199},
      {"230", [&](const char* n) { return devQueryName230(n, &v); }, 199},
      {"231", [&](const char* n) { return devSetName231(n, 1); }, 199},
      {"252", [&](const char* n) { return devSend252(n); }, 199},
      {"255", [&](const char* n) { return devQueryName255(n, &v); }, 199},
      {"229", [&](const char* n) { return devSendNames229("a", n); }, 199},
      {"243", [&](const char* n) { uint64_t s; return devGetObjectSizeByName(n, &s); }, 255},
  };
  for (const auto& l : limits) {
    SCOPED_TRACE(l.name);
    before = sim->receivedCount();
    EXPECT_NE(l.call(std::string(l.longest, 'n').c_str()), ERROR_INVALID_INPUT);
    EXPECT_EQ(sim->receivedCount(), before + 1);
    EXPECT_EQ(l.call(std::string(l.longest + 1, 'n').c_str()), ERROR_INVALID_INPUT);
    EXPECT_EQ(sim->receivedCount(), before + 1);
  }
  EXPECT_EQ(devSendNames229(nullptr, "x"), 0);
  EXPECT_EQ(devSetName231(nullptr, 1), 0);
}

TEST_F(CommandsTest, FixedSizeRepliesInBothGenerations) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    startSession(generation);
    uint8_t b = 0;
    EXPECT_EQ(devQuery16(&b), PTP_RC_OK);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(devGetFirmwareVersion(&b), PTP_RC_OK);
    EXPECT_EQ(b, 7);
    EXPECT_FLOAT_EQ(devGetFloat49(), 2.5f);
    EXPECT_EQ(devQuery134(), 0x1234);
    uint8_t battery[44] = {};
    EXPECT_EQ(devGetBatteryInfo(battery), PTP_RC_OK);
    EXPECT_EQ(battery[43], 44);
    uint64_t x = 0, y = 0;
    EXPECT_EQ(devQuery245(&x, &y), PTP_RC_OK);
    EXPECT_EQ(x, 0x0807060504030201ull);
    auto q215 = devQuery215();
    ASSERT_TRUE(q215);
    EXPECT_EQ((*q215)[255], 255);
    EXPECT_EQ(devSetLocalTime(), PTP_RC_OK);
    EXPECT_EQ(lastPayload().size(), 8u);
    EXPECT_EQ(devSetClientCanSave(5), PTP_RC_OK);
    EXPECT_EQ(lastPayload(), Bytes{1});

    sim->setControlReply(134, {.payload = Bytes{1, 2, 3}});
    EXPECT_EQ(devQuery134(), ERROR_BAD_REPLY);
    sim->setControlReply(16, {.payload = {}});
    EXPECT_EQ(devQuery16(&b), ERROR_BAD_REPLY);
    sim->setControlReply(49, {.payload = Bytes{1, 2}});
    EXPECT_EQ(devGetFloat49(), 0.0f);
    sim->setControlReply(135, {.payload = Bytes(43, 0)});
    EXPECT_EQ(devGetBatteryInfo(battery), 0);
    EXPECT_EQ(devQuery16(nullptr), ERROR_INVALID_INPUT);
    TearDown();
  }
}

TEST_F(CommandsTest, Float49IsTwoWhenTheDeviceRefusesTheRequest) {
  startSession(2);
  sim->setControlReply(49, {.result = ERROR_INVALID_INPUT});
  EXPECT_EQ(devGetFloat49(), 2.0f);
}

// The format waits longer for its reply, and the usual time-out is back afterwards,
// also when the format failed.
TEST_F(CommandsTest, FormatUsesItsLongerTimeoutAndRestoresIt) {
  startSession(2);
  timing().receiveTimeout = 200ms;
  timing().formatReceiveTimeout = 5000ms;
  sim->setControlReply(214, {.result = 0x5505, .delay = 600ms});
  EXPECT_EQ(devFormatSdCard(), 0x5505);  // answered after 600 ms of silence
  EXPECT_EQ(linkGetReceiveTimeout(), 200ms);
  timing().formatReceiveTimeout = 300ms;
  sim->setControlReply(214, {.delay = 2000ms});
  PtpResponseCode rc = devFormatSdCard();
  EXPECT_TRUE(rc == ERROR_CONNECTION || rc == ERROR_CANCELLED) << rc;  // the link is lost either way
  EXPECT_EQ(linkGetReceiveTimeout(), 200ms);
}

TEST_F(CommandsTest, CanonFocusDriveGoesOutInStepsOf300) {
  startSession(2);
  std::vector<uint16_t> counts;
  int manual = 0;
  auto hooks = devVendorHooks();
  camSetVendor(CameraVendorCanon);
  hooks.canonFocusDriveMessage = [&](int16_t, uint16_t count) {
    counts.push_back(count);
    Bytes payload;
    devsim::putU16(payload, count);
    return devsim::makeControlRequest(224, payload);
  };
  hooks.setManualFocus = [&](int, int) { manual++; };
  devSetVendorHooks(hooks);
  EXPECT_EQ(devDriveFocus(25, 650), PTP_RC_OK);
  EXPECT_EQ(counts, (std::vector<uint16_t>{300, 300, 50}));
  EXPECT_EQ(manual, 1);
  EXPECT_EQ(devDriveFocus(25, 0), PTP_RC_OK);
  EXPECT_EQ(counts.size(), 3u);

  sim->setControlReply(224, {.payload = Bytes{0x19, 0x20}});
  EXPECT_EQ(devDriveFocus(25, 10), 0x2019);
  sim->setControlReply(224, {.payload = Bytes{1, 2, 3}});
  EXPECT_EQ(devDriveFocus(25, 10), ERROR_BAD_REPLY);
  hooks.canonFocusDriveMessage = [](int16_t, uint16_t) { return ByteBuffer(); };
  devSetVendorHooks(hooks);
  EXPECT_EQ(devDriveFocus(25, 10), ERROR_TOO_LARGE);
}
