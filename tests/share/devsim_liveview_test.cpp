// The simulator's live view against a real share session on 127.0.0.1: the frames each
// maker's stream becomes in the viewer (camera code, a picture that decodes, Canon's AF
// frames and level as the overlay reads them), and the streaming thread, which lives only
// while live view is on and a session runs.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "share/share_comms.h"
#include "support/qt_test_support.h"
#include "tests/share/share_event_log.h"
#include "tools/devsim/liveview.h"

using namespace std::chrono_literals;

namespace devsimliveviewtest {

// Threads of this process that bear the live view's name.
int liveViewThreads() {
  int n = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == devsim::LiveView::kThreadName) ++n;
  }
  return n;
}

QImage decoded(const QByteArray& jpeg) { return QImage::fromData(jpeg, "JPEG"); }

// The picture a frame carries, as the live view reads it by its camera code.
QByteArray pictureOf(const LiveViewImageEvent& e) {
  if (e.camera != CameraVendorCanon) return e.data;
  EOS_LiveViewInfoStruct h{};
  if (!canonReadLiveViewHeader(reinterpret_cast<const uint8_t*>(e.data.constData()), size_t(e.data.size()), h) ||
      kCanonLiveViewImageOffset + uint64_t(h.imageLength) > uint64_t(e.data.size()))
    return {};
  return e.data.mid(kCanonLiveViewImageOffset, h.imageLength);
}

class LiveViewSession {
 public:
  void open(uint16_t port, int generation) {
    ASSERT_GE(linkConnect("127.0.0.1", port), 0);
    shareSetMode(generation == 1 ? ShareModeGeneration1 : ShareModeGeneration2);
    ASSERT_TRUE(ShareComms::instance().start());
  }
  void close() {
    ShareComms::instance().stop();
    linkDisconnect();
  }
};

class DevsimLiveView : public ::testing::TestWithParam<std::tuple<devsim::LiveViewVendor, int>> {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    timing().receiveTimeout = 30s;
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{std::get<1>(GetParam())});
    ASSERT_TRUE(sim->start());
    live = std::make_unique<devsim::LiveView>(
        *sim, devsim::LiveView::Options{.vendor = std::get<0>(GetParam()), .fps = 60});
    live->start();
    session.open(sim->port(), std::get<1>(GetParam()));
  }
  void TearDown() override {
    session.close();
    live.reset();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
  }

  std::vector<LiveViewImageEvent> frames() const { return log.of<LiveViewImageEvent>(); }
  bool waitForFrames(size_t n) {
    return kvtest::waitUntil([&] {
      ShareEventLog::settle();
      return frames().size() >= n;
    });
  }

  ScopedTiming restore;
  std::unique_ptr<devsim::Simulator> sim;
  std::unique_ptr<devsim::LiveView> live;
  LiveViewSession session;
  ShareEventLog log;
};

uint8_t cameraCodeOf(devsim::LiveViewVendor vendor) {
  switch (vendor) {
    case devsim::LiveViewVendor::Canon: return CameraVendorCanon;
    case devsim::LiveViewVendor::Nikon: return CameraVendorNikon;
    case devsim::LiveViewVendor::Fujifilm: return CameraVendorFujifilm;
  }
  return 0;
}

TEST_P(DevsimLiveView, FramesArriveWithTheMakersCameraCodeAndTheirPicturesDecode) {
  ASSERT_TRUE(waitForFrames(8));
  const auto got = frames();
  QSet<QByteArray> pictures;
  for (const LiveViewImageEvent& e : got) {
    EXPECT_EQ(e.camera, cameraCodeOf(std::get<0>(GetParam())));
    const QImage image = decoded(pictureOf(e));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(devsim::kLiveViewWidth, devsim::kLiveViewHeight));
    pictures.insert(pictureOf(e));
  }
  // Something moves.
  EXPECT_GT(pictures.size(), 1);
}

// What the Canon overlay and level read from the frames: three AF frames whose states
// go white, green and red in turn, the first of them on the moving sun, and a level angle
// that swings about level.
class DevsimCanonLiveView : public DevsimLiveView {};

TEST_P(DevsimCanonLiveView, FramesCarryMovingAfFramesInEveryStateAndASwingingLevel) {
  std::set<uint32_t> states;
  std::set<float> angles;
  std::set<uint32_t> firstX;
  size_t seen = 0;
  ASSERT_TRUE(kvtest::waitUntil([&] {
    ShareEventLog::settle();
    const auto got = frames();
    for (; seen < got.size(); ++seen) {
      const QByteArray& data = got[seen].data;
      EOS_LiveViewInfoStruct h{};
      EXPECT_TRUE(canonReadLiveViewHeader(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()), h));
      EXPECT_EQ(h.frameKind, CanonFrameKindJpeg);
      EXPECT_EQ(h.afFrameCount, devsim::kCanonLiveViewAfFrames);
      EXPECT_NE(h.afWidth[0], 0u);  // else the overlay draws nothing
      for (uint32_t i = 0; i < std::min<uint32_t>(h.afFrameCount, kCanonMaxAfFrames); ++i) states.insert(h.afState[i]);
      angles.insert(h.levelAngle);
      firstX.insert(h.afX[0]);
      EXPECT_TRUE(h.levelAngle <= devsim::kLiveViewLevelSwing || h.levelAngle >= 360 - devsim::kLiveViewLevelSwing)
          << h.levelAngle;
      // The first AF frame's centre, in picture pixels, is on the sun.
      const QImage image = decoded(pictureOf(got[seen]));
      const int x = int((h.afX[0] + h.afWidth[0] / 2) * uint64_t(image.width()) / h.visibleWidth);
      const int y = int((h.afY[0] + h.afHeight[0] / 2) * uint64_t(image.height()) / h.visibleHeight);
      const QColor sun = image.pixelColor(x, y);
      EXPECT_TRUE(sun.red() > 200 && sun.green() > 150 && sun.blue() < 140) << sun.name().toStdString();
    }
    return states.size() >= 3 && angles.size() >= 3 && firstX.size() >= 3;
  }));
  EXPECT_EQ(states, (std::set<uint32_t>{devsim::kCanonAfSearching, devsim::kCanonAfInFocus, devsim::kCanonAfFailed}));
}

// The streaming thread goes with live view and with the session, and comes back with
// either.
TEST_P(DevsimLiveView, TheStreamingThreadLivesOnlyWhileLiveViewIsOnAndASessionRuns) {
  ASSERT_TRUE(waitForFrames(1));
  EXPECT_EQ(liveViewThreads(), 1);
  live->stop();
  EXPECT_EQ(liveViewThreads(), 0);
  const uint32_t sent = live->framesSent();
  live->start();
  ASSERT_TRUE(kvtest::waitUntil([&] { return live->framesSent() > sent; }));
  EXPECT_EQ(liveViewThreads(), 1);

  session.close();
  ASSERT_TRUE(kvtest::waitUntil([&] { return liveViewThreads() == 0; }));
  log.clear();
  session.open(sim->port(), std::get<1>(GetParam()));
  ASSERT_TRUE(waitForFrames(2));
  EXPECT_EQ(liveViewThreads(), 1);
}

std::string paramName(const ::testing::TestParamInfo<std::tuple<devsim::LiveViewVendor, int>>& info) {
  return std::string(devsim::liveViewVendorName(std::get<0>(info.param))) + "Generation" +
         std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, DevsimCanonLiveView,
                         ::testing::Combine(::testing::Values(devsim::LiveViewVendor::Canon), ::testing::Values(1, 2)),
                         paramName);
INSTANTIATE_TEST_SUITE_P(MakersAndGenerations, DevsimLiveView,
                         ::testing::Combine(::testing::Values(devsim::LiveViewVendor::Canon,
                                                              devsim::LiveViewVendor::Nikon,
                                                              devsim::LiveViewVendor::Fujifilm),
                                            ::testing::Values(1, 2)),
                         paramName);

}  // namespace devsimliveviewtest
