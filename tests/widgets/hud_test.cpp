#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <thread>

#include "support/qt_test_support.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/progress/mb_bar_progress_view.h"
#include "ui/widgets/progress/mb_round_progress_view.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

namespace {

// A clock the test moves by hand.
struct FakeClock {
  double t = 100;
  FakeClock() {
    MBProgressHUD::setClock([this] { return t; });
  }
  ~FakeClock() { MBProgressHUD::setClock(nullptr); }
};

struct Recorder : MBProgressHUDDelegate {
  QStringList log;
  void hudWasHidden(MBProgressHUD*) override { log << "hidden"; }
  void hudWasHiddenAfterDelay(MBProgressHUD*) override { log << "afterDelay"; }
  void hudWasTapped(MBProgressHUD*) override { log << "tapped"; }
};

bool visible(const MBProgressHUD& h) { return !h.isHidden() && h.alphaValue() == 1.0; }

}  // namespace

TEST(HudLayout, FramesAndPanelSizeTable) {
  struct Case {
    const char* name;
    HudLayoutInput in;
    QRectF indicator, label;
    QSizeF size;
  };
  auto input = [](QSizeF label, bool button, bool square = false) {
    HudLayoutInput in;
    in.bounds = {400, 300};
    in.indicator = {60, 60};
    in.label = label;
    in.hasButton = button;
    in.square = square;
    return in;
  };
  const Case cases[] = {
      // totalH = 60 + 20 + 4 + 40 = 124, base = round(176 / 2) + 20 = 108
      {"indicator and label", input({100, 20}, false), {170, 132, 60, 60}, {145, 108, 110, 20}, {150, 124}},
      // 40 taller: base = round(136 / 2) + 20 = 88; the stack sits 40 above it
      {"with a button", input({100, 20}, true), {170, 152, 60, 60}, {145, 128, 110, 20}, {150, 164}},
      // maxWidth = 400 - 80
      {"wide label is cut", input({1000, 20}, false), {170, 132, 60, 60}, {40, 108, 320, 20}, {360, 124}},
      // no label, no gap: totalH = 100, base = 100 + 20
      {"empty label", input({0, 0}, false), {170, 120, 60, 60}, {200, 120, 0, 0}, {100, 100}},
      {"square", input({100, 20}, false, true), {170, 132, 60, 60}, {145, 108, 110, 20}, {150, 150}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HudLayout l = hudLayout(c.in);
    EXPECT_EQ(l.indicatorFrame, c.indicator);
    EXPECT_EQ(l.labelFrame, c.label);
    EXPECT_EQ(l.size, c.size);
  }
  HudLayoutInput offset = input({100, 20}, false);
  offset.xOffset = 10;
  offset.yOffset = 5;  // +y moves down
  EXPECT_EQ(hudLayout(offset).indicatorFrame, QRectF(180, 127, 60, 60));
  EXPECT_EQ(hudPanelRect({400, 300}, {150, 124}, 10, 5), QRectF(135, 83, 150, 124));
  HudLayoutInput small = input({100, 20}, false);
  small.minSize = {200, 10};
  EXPECT_EQ(hudLayout(small).size, QSizeF(200, 124));
}

TEST(Hud, GraceTimeWithoutATaskNeverShows) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD* hud = new MBProgressHUD(&view);
  hud->setParent(&view);
  hud->setGraceTime(1.0f);
  hud->show(false);
  EXPECT_TRUE(hud->graceTimer().isActive());
  EXPECT_EQ(hud->graceTimer().interval(), 1000);
  EXPECT_EQ(hud->alphaValue(), 0.0);
  hud->handleGraceTimer();
  EXPECT_EQ(hud->alphaValue(), 0.0);
  EXPECT_FALSE(hud->showStarted().has_value());
  // With a task in progress the grace timer shows it.
  hud->setTaskInProgress(true);
  hud->handleGraceTimer();
  EXPECT_TRUE(visible(*hud));
  // An already visible HUD stays visible through another graced show.
  hud->setTaskInProgress(false);
  hud->show(false);
  hud->handleGraceTimer();
  EXPECT_TRUE(visible(*hud));
}

TEST(Hud, MinimumShowTimeDelaysAnEarlyHide) {
  FakeClock clock;
  QWidget view;
  view.resize(300, 200);
  auto rec = std::make_shared<Recorder>();
  for (double hideAt : {0.5, 3.0}) {
    SCOPED_TRACE(hideAt);
    MBProgressHUD hud(&view);
    hud.setDelegate(rec);
    rec->log.clear();
    hud.setMinShowTime(2.0f);
    clock.t = 100;
    hud.show(false);
    EXPECT_TRUE(visible(hud));
    clock.t = 100 + hideAt;
    hud.hide(false);
    if (hideAt < 2.0) {
      EXPECT_TRUE(hud.minShowTimer().isActive());
      EXPECT_EQ(hud.minShowTimer().interval(), 1500);
      EXPECT_TRUE(visible(hud));
      hud.handleMinShowTimer();
    }
    EXPECT_TRUE(hud.isHidden());
    EXPECT_TRUE(hud.isFinished());
    EXPECT_EQ(rec->log, QStringList({"hidden"}));
  }
}

TEST(Hud, AnimatedHideFadesToPointTwoThenIsDone) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD hud(&view);
  int completions = 0;
  hud.setCompletionBlock([&] { ++completions; });
  hud.show(true);
  EXPECT_TRUE(hud.isAnimating());
  hud.finishAnimations();
  EXPECT_EQ(hud.alphaValue(), 1.0);
  hud.hide(true);
  EXPECT_TRUE(hud.isAnimating());
  EXPECT_FALSE(hud.isHidden());
  hud.finishAnimations();
  EXPECT_EQ(hud.alphaValue(), 0.0);
  EXPECT_TRUE(hud.isHidden());
  EXPECT_EQ(completions, 1);
  // Shown again and hidden: the completion block ran once and was cleared.
  hud.show(false);
  hud.hide(true);
  hud.finishAnimations();
  EXPECT_EQ(completions, 1);
}

TEST(Hud, HideOfANeverShownHudIsDoneAtOnce) {
  QWidget view;
  MBProgressHUD hud(&view);
  hud.setGraceTime(1);
  hud.show(true);
  hud.hide(true);
  EXPECT_FALSE(hud.isAnimating());
  EXPECT_TRUE(hud.isFinished());
}

TEST(Hud, ZoomAnimationsScaleThePanel) {
  QWidget view;
  MBProgressHUD hud(&view);
  hud.setAnimationType(HudAnimationZoomFromLarge);
  hud.show(true);
  EXPECT_EQ(hud.currentScale(), 1.5);
  hud.finishAnimations();
  EXPECT_EQ(hud.currentScale(), 1.0);
}

TEST(Hud, ModesCreateOrKeepTheirIndicators) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD hud(&view);
  hud.updateIndicators();
  auto* spinner = qobject_cast<YRKSpinningProgressIndicator*>(hud.indicator());
  ASSERT_NE(spinner, nullptr);
  EXPECT_EQ(spinner->size(), QSize(60, 60));
  EXPECT_FALSE(spinner->usesThreadedAnimation());
  EXPECT_TRUE(spinner->isAnimating());
  hud.setMode(HudModeSpinner);
  EXPECT_EQ(hud.indicator(), spinner);
  hud.setProgress(0.5f);  // no effect on a spinner
  hud.setMode(HudModeBar);
  QWidget* bar = hud.indicator();
  ASSERT_NE(qobject_cast<MBBarProgressView*>(bar), nullptr);
  hud.setMode(HudModeBar);
  EXPECT_NE(hud.indicator(), bar);
  hud.setMode(HudModeAnnular);
  auto* round = qobject_cast<MBRoundProgressView*>(hud.indicator());
  ASSERT_NE(round, nullptr);
  EXPECT_TRUE(round->isAnnular());
  hud.setMode(HudModePie);
  EXPECT_EQ(hud.indicator(), round);
  EXPECT_TRUE(round->isAnnular());  // kept
  hud.setProgress(0.25f);
  EXPECT_EQ(round->progress(), 0.25f);
  QWidget custom;
  hud.setCustomView(&custom);
  hud.setMode(HudModeCustomView);
  EXPECT_EQ(hud.indicator(), &custom);
  hud.setMode(HudModeText);
  EXPECT_EQ(hud.indicator(), nullptr);
  EXPECT_EQ(custom.parentWidget(), nullptr);
}

TEST(Hud, ProgressFromAWorkerReachesTheIndicatorAndNothingAfterTheHudIsGone) {
  QWidget view;
  auto* hud = new MBProgressHUD(&view);
  hud->setMode(HudModeBar);
  auto* bar = qobject_cast<MBBarProgressView*>(hud->indicator());
  std::thread([&] {
    hud->setProgress(0.6f);
    hud->setLabelText("60%");
  }).join();
  EXPECT_TRUE(kvtest::waitUntil([&] { return bar->progress() == 0.6f && hud->labelText() == "60%"; }));
  // The worker keeps the HUD's target; the HUD goes first.
  auto target = hud->guiTarget();
  std::thread([&] { hud->setProgress(0.7f); }).join();  // queued, not yet run
  delete hud;
  std::atomic<bool> posted{true};
  std::thread([&] { posted = target->post([] { ADD_FAILURE() << "ran on a gone HUD"; }); }).join();
  EXPECT_FALSE(posted.load());
  QCoreApplication::processEvents();
}

TEST(Hud, ClassHelpersFindAndHideTheTopmostHud) {
  QWidget view;
  view.resize(300, 200);
  EXPECT_FALSE(MBProgressHUD::hideHUDForView(&view, false));
  QPointer<MBProgressHUD> first = MBProgressHUD::showHUDAddedTo(&view, false);
  QPointer<MBProgressHUD> second = MBProgressHUD::showHUDAddedTo(&view, false);
  EXPECT_EQ(second->geometry(), view.rect());
  EXPECT_EQ(MBProgressHUD::HUDForView(&view), second);
  EXPECT_EQ(MBProgressHUD::allHUDsForView(&view), (QList<MBProgressHUD*>{first, second}));
  EXPECT_TRUE(MBProgressHUD::hideHUDForView(&view, false));
  EXPECT_EQ(MBProgressHUD::allHUDsForView(&view), (QList<MBProgressHUD*>{first}));
  // Deleted later: outside an event loop deferred deletes run only when sent.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(second.isNull());
  EXPECT_EQ(MBProgressHUD::hideAllHUDsForView(&view, false), 1);
}

TEST(Hud, MouseDownIsSwallowedUnlessDismissible) {
  QWidget view;
  view.resize(300, 200);
  auto rec = std::make_shared<Recorder>();
  MBProgressHUD* hud = MBProgressHUD::showHUDAddedTo(&view, false);
  hud->setDelegate(rec);
  view.show();
  QTest::mouseClick(hud, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(visible(*hud));
  hud->setDismissible(true);
  QTest::mouseClick(hud, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(hud->isFinished());
  EXPECT_EQ(rec->log, QStringList({"hidden", "tapped"}));
}

TEST(Hud, TaskOnAQueueHidesTheHudWhenItEnds) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD hud(&view);
  std::atomic<bool> ran{false};
  bool completed = false;
  hud.showAnimated(false, [&] { ran = true; }, nullptr, [&] { completed = true; });
  EXPECT_TRUE(hud.taskInProgress());
  EXPECT_TRUE(kvtest::waitUntil([&] { return hud.isFinished(); }));
  EXPECT_TRUE(ran.load());
  EXPECT_TRUE(completed);
  EXPECT_FALSE(hud.taskInProgress());
  hud.showWhileExecuting([&] { ran = false; }, false);
  EXPECT_TRUE(kvtest::waitUntil([&] { return !ran.load() && hud.isHidden(); }));
}

TEST(Hud, HideAfterDelayTellsTheDelegateFirst) {
  QWidget view;
  MBProgressHUD hud(&view);
  auto rec = std::make_shared<Recorder>();
  hud.setDelegate(rec);
  hud.show(false);
  hud.hideAfterDelay(false, 0.01);
  EXPECT_TRUE(kvtest::waitUntil([&] { return hud.isFinished(); }));
  EXPECT_EQ(rec->log, QStringList({"afterDelay", "hidden"}));
}

TEST(Hud, ButtonIsPlacedOnceBelowTheCentre) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD* hud = MBProgressHUD::showHUDAddedTo(&view, false);
  int clicks = 0;
  hud->setupButton("Cancel", [&] { ++clicks; });
  // y-up origin ((300 - 80) / 2, 100 - 50) -> y-down top 200 - 50 - 36
  EXPECT_EQ(hud->button()->geometry(), QRect(110, 114, 80, 36));
  hud->button()->mouseDown();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(hud->size().height(), 60 + 40 + 40);
}

TEST(Hud, ShowLaysOutTheIndicatorItJustMade) {
  QWidget view;
  view.resize(300, 200);
  MBProgressHUD* hud = MBProgressHUD::showHUDAddedTo(&view, false);
  ASSERT_NE(hud->indicator(), nullptr);
  // The spinner sits centred across the panel, not at the HUD's top-left corner.
  const QRect r = hud->indicator()->geometry();
  EXPECT_NEAR(r.center().x(), hud->width() / 2, 2);
  EXPECT_GT(r.top(), 0);
}
