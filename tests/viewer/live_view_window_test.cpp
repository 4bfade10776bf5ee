// Live frames through the main window as the share session posts them: from the session's
// thread into the newest-frame slot, one wake queued at a time, one decode in flight.
#include <gtest/gtest.h>

#include <QPointer>
#include <condition_variable>
#include <atomic>
#include <mutex>
#include <thread>

#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "share/share_events.h"
#include "support/qt_test_support.h"
#include "tests/viewer/live_view_fixtures.h"
#include "viewer/camera/share_camera_window_controller.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/still_image_view_controller.h"
#include "viewer/strip/main_thumbnail_controller.h"

using namespace std::chrono_literals;

namespace {
QColor colourOf(int i) { return QColor(i * 2 % 256, 255 - i * 2 % 256, 100); }
bool near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) <= 4 && std::abs(a.green() - b.green()) <= 4 && std::abs(a.blue() - b.blue()) <= 4;
}
}  // namespace

// A flood while the worker is held on one frame: the frames wait in one place each (the
// slot, the view's pending frame), the rest are let go; released, the newest is shown.
TEST(LiveViewWindow, AFloodKeepsOneFrameWaitingAndShowsTheNewest) {
  // No earlier session to offer back: the window opens without its question.
  UserDefaults::standardUserDefaults().removeObject(kDefaultsLastSessionTime);
  QPointer<ShareCameraWindowController> window = ShareCameraWindowController::createAndShowWindow();
  ASSERT_TRUE(window);
  StillImageViewController* pane = window->stillImageViewController();

  auto post = [](int i) {
    LiveViewImageEvent e{livefix::cameraJpeg(livefix::flat(colourOf(i), 64, 48)), kLiveViewCameraFujifilm};
    return e;
  };
  std::thread([&] { postLiveViewImage(post(0)); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return pane->liveViewImageView() && !pane->liveViewImageView()->image().isNull(); }));
  LiveViewImageView* view = pane->liveViewImageView();
  int shown = 0, dropped = 0;
  QObject::connect(view, &LiveViewImageView::frameFinished, view, [&](bool s) { ++(s ? shown : dropped); });

  std::mutex m;
  std::condition_variable cv;
  bool held = false, release = false;
  view->setDecodeGateForTesting([&] {
    std::unique_lock lock(m);
    held = true;
    cv.notify_all();
    cv.wait_for(lock, 30s, [&] { return release; });
  });
  std::thread([&] { postLiveViewImage(post(1)); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(m);
    return held;
  }));

  // The session's thread posts 150 frames while the decode of frame 1 is held; the test
  // keeps every frame's bytes to see which are still held elsewhere.
  constexpr int kFrames = 150;
  std::vector<LiveViewImageEvent> frames;
  for (int i = 2; i < 2 + kFrames; ++i) frames.push_back(post(i));
  const uint64_t wakesBefore = window->liveViewWakes();
  std::atomic<bool> posted{false};
  std::thread poster([&] {
    for (const LiveViewImageEvent& e : frames) postLiveViewImage(e);
    posted = true;
  });
  // The GUI thread serves its wakes while the session's thread posts.
  kvtest::waitUntil([&] { return posted.load(); });
  poster.join();
  QCoreApplication::processEvents();  // a wake queued by the last post is served
  ASSERT_TRUE(view->decodePending());

  EXPECT_EQ(view->decodesStarted(), 2u);  // frame 0, and frame 1 held: never two at once
  EXPECT_TRUE(view->decodeInFlight());
  EXPECT_EQ(shown, 0);
  const uint64_t wakes = window->liveViewWakes() - wakesBefore;
  EXPECT_GE(wakes, 1u);
  EXPECT_EQ(wakes + window->liveViewFramesReplaced(), uint64_t(kFrames));  // one wake per taken frame
  EXPECT_EQ(uint64_t(dropped), wakes - 1);                                  // replaced while pending
  size_t stillHeld = 0;
  for (LiveViewImageEvent& e : frames) stillHeld += e.data.isDetached() ? 0 : 1;
  EXPECT_EQ(stillHeld, 1u);  // only the newest, pending: the others were let go

  {
    std::lock_guard lock(m);
    release = true;
  }
  cv.notify_all();
  ASSERT_TRUE(kvtest::waitUntil([&] { return shown == 2; }));
  EXPECT_FALSE(view->decodePending());
  EXPECT_FALSE(view->decodeInFlight());
  EXPECT_EQ(view->decodesStarted(), 3u);
  EXPECT_TRUE(near(view->image().pixelColor(32, 24), colourOf(1 + kFrames)));

  window->close();
  kvtest::waitUntil([&] { return window.isNull(); });
}
