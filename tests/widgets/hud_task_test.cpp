// The HUD's tasks never hold up the GUI thread, and a spinning HUD repaints only its spinner.
#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <semaphore>

#include "platform/dispatch_queue.h"
#include "support/qt_test_support.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

namespace {

// What a blocked task shares with the test: the task owns a reference, so the test can tell
// when the task's thread has let go of it (and so has posted its end to the HUD).
struct BlockedTask {
  std::binary_semaphore release{0};
  std::atomic<bool> finished{false};
};

std::function<void()> blockOn(const std::shared_ptr<BlockedTask>& t) {
  return [t] {
    // Bounded, so that a HUD that waits for its task fails the test instead of hanging it.
    t->release.try_acquire_for(std::chrono::seconds(5));
    t->finished = true;
  };
}

}  // namespace

TEST(HudTask, GuiThreadNeverWaitsForABlockedTask) {
  enum class Then { DeleteTheHud, StartASecondTask };
  for (Then then : {Then::DeleteTheHud, Then::StartASecondTask}) {
    SCOPED_TRACE(then == Then::DeleteTheHud ? "delete" : "second task");
    QWidget view;
    view.resize(300, 200);
    QPointer<MBProgressHUD> hud = new MBProgressHUD(&view);
    auto first = std::make_shared<BlockedTask>();
    auto second = std::make_shared<BlockedTask>();
    hud->showWhileExecuting(blockOn(first), false);
    if (then == Then::DeleteTheHud) {
      delete hud.data();
    } else {
      hud->showWhileExecuting(blockOn(second), false);
      EXPECT_TRUE(hud->taskInProgress());
    }
    // Ordering, not timing: the call returned while the task is still blocked.
    EXPECT_FALSE(first->finished.load());
    first->release.release();
    second->release.release();
    // Both threads have ended their tasks and posted their ends.
    ASSERT_TRUE(kvtest::waitUntil([&] { return first.use_count() == 1 && second.use_count() <= 2; }));
    if (hud) {
      // The first task's end hides the HUD; the HUD still holds the second task.
      EXPECT_TRUE(kvtest::waitUntil([&] { return hud->isFinished(); }));
      delete hud.data();
    }
    // A queued end for a gone HUD is dropped (AddressSanitizer sees any touch of it).
    QCoreApplication::processEvents();
    EXPECT_TRUE(first->finished.load());
  }
}

TEST(HudTask, RefusedQueueHidesTheHud) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD hud(&view);
  DispatchQueue queue("com.korvalume.test.refusing");
  queue.stop();
  bool ran = false;
  int completions = 0;
  hud.showAnimated(true, [&] { ran = true; }, &queue, [&] { ++completions; });
  EXPECT_FALSE(hud.taskInProgress());
  EXPECT_TRUE(hud.isFinished());
  EXPECT_TRUE(hud.isHidden());
  EXPECT_EQ(hud.alphaValue(), 0.0);
  EXPECT_EQ(completions, 1);  // hidden, so its completion ran once
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

namespace {

// Records the regions painted in a widget.
class PaintLog : public QObject {
 public:
  QList<QRegion> regions;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) regions << static_cast<QPaintEvent*>(e)->region();
    return false;
  }
};

}  // namespace

TEST(HudTask, SpinnerTicksRepaintOnlyTheSpinner) {
  QWidget window;
  window.resize(1600, 1000);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  MBProgressHUD* hud = MBProgressHUD::showHUDAddedTo(&window, true);
  hud->finishAnimations();
  auto* spinner = qobject_cast<YRKSpinningProgressIndicator*>(hud->indicator());
  ASSERT_NE(spinner, nullptr);
  // Let the shown HUD paint once whole, then log.
  QCoreApplication::processEvents();
  PaintLog hudLog, spinnerLog;
  hud->installEventFilter(&hudLog);
  spinner->installEventFilter(&spinnerLog);
  ASSERT_TRUE(kvtest::waitUntil([&] { return spinnerLog.regions.size() >= 8; }));
  const QRect spinnerRect = spinner->geometry();
  ASSERT_FALSE(hudLog.regions.isEmpty());
  for (const QRegion& r : hudLog.regions) {
    EXPECT_TRUE(spinnerRect.contains(r.boundingRect())) << "repainted " << r.boundingRect().width() << "x"
                                                         << r.boundingRect().height();
  }
}
