#include <gmock/gmock.h>

#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_objects.h"
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/vendors_frames.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Reply = devsim::Simulator::PtpReply;
using Command = devsim::Simulator::PtpCommand;

namespace {
const std::vector<uint16_t> kCanonOps = {0x1001, 0x1002, 0x1003, 0x9153, 0x910A};

devsim::Bytes bytes(const std::vector<uint8_t>& v) { return devsim::Bytes(v.begin(), v.end()); }

// A GetThumbEx reply: a TIFF-style block (with or without its Orientation entry), then the JPEG.
std::vector<uint8_t> thumbReply(uint8_t orientation, bool withEntry) {
  std::vector<uint8_t> d = {'I', 'I', 0x2A, 0x00, 8, 0, 0, 0, 1, 0};
  if (withEntry) {
    const uint8_t entry[12] = {0x12, 0x01, 0x03, 0x00, 1, 0, 0, 0, orientation, 0, 0, 0};
    d.insert(d.end(), entry, entry + 12);
  }
  d.insert(d.end(), 6, 0x00);
  std::vector<uint8_t> j = vendorstest::jpeg(40);
  d.insert(d.end(), j.begin(), j.end());
  return d;
}

class CanonFetch : public PtpSessionFixture {
 protected:
  void SetUp() override {
    PtpSessionFixture::SetUp();
    deviceInfo("Canon Inc.", kCanonOps);
  }
  // The operation's next answers: its data phase (if any) and response code.
  void answer(uint16_t op, std::optional<std::vector<uint8_t>> data, uint16_t result = 0x2001) {
    std::optional<devsim::Bytes> d;
    if (data) d = bytes(*data);
    sim->setPtpHandler(op, [d, result](const Command&) { return Reply{.result = result, .data = d}; });
  }
};
}  // namespace

TEST_F(CanonFetch, LiveViewFrameIsBuiltFromTheViewFinderReply) {
  const std::vector<uint8_t> image = vendorstest::jpeg(100);
  answer(0x9153, vendorstest::liveViewReply(8, image, {vendorstest::block(16, {0, 3, 0})}));
  ByteBuffer frame{9, 9};
  ASSERT_EQ(canonGetLiveViewFrame(frame), PTP_RC_OK);
  EXPECT_THAT(sim->ptpCommands().back().params, ElementsAre(0x00100000u));
  EOS_LiveViewInfoStruct header{};
  ASSERT_TRUE(canonReadLiveViewHeader(frame.data(), frame.size(), header));
  EXPECT_EQ(header.frameKind, CanonFrameKindJpeg);
  EXPECT_EQ(header.imageLength, image.size());
  EXPECT_EQ(header.rotation, 3u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), frame.begin() + kCanonLiveViewImageOffset));

  // The camera interface reaches it for a Canon body.
  ByteBuffer viaInterface;
  ASSERT_EQ(camGetLiveViewFrame(viaInterface), PTP_RC_OK);
  EXPECT_EQ(viaInterface, frame);
}

TEST_F(CanonFetch, LiveViewFailuresLeaveNoFrame) {
  struct Case {
    const char* what;
    std::optional<std::vector<uint8_t>> data;
    uint16_t result;
    PtpResponseCode expected;
  } cases[] = {
      {"short reply", std::vector<uint8_t>(kCanonLiveViewMinReply - 1, 0), 0x2001, ERROR_TOO_LARGE},
      {"JPEG without its end", std::vector<uint8_t>{0, 0xFF, 0xD8, 0xFF, 0xDB, 1, 2, 3}, 0x2001, ERROR_TOO_LARGE},
      {"no data phase", std::nullopt, 0x2001, ERROR_TOO_LARGE},
      {"camera refuses", std::nullopt, 0xA102, 0xA102},  // retried once, then answered
      {"camera error with data", vendorstest::liveViewReply(8, vendorstest::jpeg(100), {}), 0x2002, 0x2002},
  };
  for (const Case& c : cases) {
    std::optional<std::vector<uint8_t>> data = c.data;
    if (data && data->size() == 8) data->resize(kCanonLiveViewMinReply, 0x11);  // long enough, no FF D9
    answer(0x9153, data, c.result);
    ByteBuffer frame{1, 2, 3};
    EXPECT_EQ(canonGetLiveViewFrame(frame), c.expected) << c.what;
    EXPECT_THAT(frame, IsEmpty()) << c.what;
  }
}

TEST_F(CanonFetch, NothingIsSentWhenTheCameraDoesNotListTheOperation) {
  deviceInfo("Canon Inc.", {0x1001, 0x1002});
  const size_t sent = codesSent().size();
  ByteBuffer frame, thumb;
  EXPECT_EQ(canonGetLiveViewFrame(frame), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(canonGetThumb(5, thumb, nullptr), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(codesSent().size(), sent);
}

TEST_F(CanonFetch, ThumbIsCutFromTheThumbExReply) {
  const std::vector<uint8_t> jpeg = vendorstest::jpeg(40);
  answer(0x910A, thumbReply(6, true));
  ByteBuffer data{7};
  uint8_t orientation = 0;
  ASSERT_EQ(canonGetThumb(0x1234, data, &orientation), PTP_RC_OK);
  EXPECT_THAT(sim->ptpCommands().back().params, ElementsAre(0x1234u, 102400u));
  EXPECT_EQ(orientation, 6);
  EXPECT_EQ(data, bytes(jpeg));
  ASSERT_EQ(canonGetThumb(0x1234, data, nullptr), PTP_RC_OK);
  EXPECT_EQ(data, bytes(jpeg));
}

// The session's thumbnail read reaches Canon's own once camInit has installed the vendors,
// and a hook set without one keeps it.
TEST_F(CanonFetch, SessionThumbnailGoesThroughThumbEx) {
  const std::vector<uint8_t> jpeg = vendorstest::jpeg(40);
  answer(0x910A, thumbReply(6, true));
  camSetSessionHooks({});
  ByteBuffer data;
  uint8_t orientation = 0;
  ASSERT_EQ(ptpGetThumb(0x1234, data, 0, &orientation), PTP_RC_OK);
  EXPECT_EQ(sim->ptpCommands().back().code, 0x910A);
  EXPECT_EQ(orientation, 6);
  EXPECT_EQ(data, bytes(jpeg));

  camSetDefaultCanonThumb(nullptr);  // no vendors installed: nothing is sent
  const size_t sent = codesSent().size();
  EXPECT_EQ(ptpGetThumb(0x1234, data, 0, &orientation), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(codesSent().size(), sent);
}

TEST_F(CanonFetch, ThumbFailuresAndTheEmptyReply) {
  struct Case {
    const char* what;
    std::optional<std::vector<uint8_t>> data;
    uint16_t result;
    bool askOrientation;
    PtpResponseCode expected;
    size_t length;
  } cases[] = {
      {"no Orientation entry, orientation asked", thumbReply(1, false), 0x2001, true, ERROR_INVALID_INPUT, 0},
      {"no Orientation entry, not asked", thumbReply(1, false), 0x2001, false, PTP_RC_OK, 40},
      {"no JPEG at all", std::vector<uint8_t>(64, 0x00), 0x2001, false, ERROR_INVALID_INPUT, 0},
      {"empty reply", std::vector<uint8_t>{}, 0x2001, true, PTP_RC_OK, 0},
      {"no data phase", std::nullopt, 0x2001, true, PTP_RC_OK, 0},
      {"camera error", thumbReply(6, true), 0x2009, true, 0x2009, 0},
  };
  for (const Case& c : cases) {
    answer(0x910A, c.data, c.result);
    ByteBuffer data{1, 2, 3};
    uint8_t orientation = 0;
    EXPECT_EQ(canonGetThumb(3, data, c.askOrientation ? &orientation : nullptr), c.expected) << c.what;
    EXPECT_EQ(data.size(), c.length) << c.what;
  }
}
