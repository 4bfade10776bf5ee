#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <thread>

#include "support/qt_test_support.h"
#include "ui/widgets/progress/mb_bar_progress_view.h"
#include "ui/widgets/progress/mb_round_progress_view.h"
#include "ui/widgets/progress/mb_spinner_progress_view.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

namespace {

QImage render(QWidget& w, QColor background = Qt::black) {
  QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(background);
  w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  return img;
}

// The pixel at y-up point (x, y).
QColor at(const QImage& img, qreal x, qreal y) {
  return img.pixelColor(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(img.height() - y)));
}

}  // namespace

TEST(SpinningIndicator, TicksStepTheLitFinClockwiseAndFade) {
  QWidget parent;
  YRKSpinningProgressIndicator ind(&parent);
  ind.setUsesThreadedAnimation(false);
  ind.startAnimation();
  EXPECT_TRUE(ind.isAnimating());
  EXPECT_TRUE(ind.isTicking());
  EXPECT_EQ(ind.tickIntervalMs(), 50);
  EXPECT_EQ(ind.position(), 1);
  ind.updateFrame();
  EXPECT_EQ(ind.position(), 0);
  EXPECT_EQ(ind.finAlpha(0), 1.0);
  ind.updateFrame();
  EXPECT_EQ(ind.position(), 11);
  EXPECT_NEAR(ind.finAlpha(0), 0.85, 1e-3);
  EXPECT_NEAR(ind.finAlpha(5), 0.15, 1e-3);  // unset fins start at the floor
  // The threaded path ticks on the GUI thread too, at 600000 / 12 microseconds.
  ind.setUsesThreadedAnimation(true);
  EXPECT_TRUE(ind.isAnimating());
  EXPECT_EQ(ind.tickIntervalMs(), 50);
  EXPECT_TRUE(kvtest::waitUntil([&] { return ind.position() != 1; }));
}

TEST(SpinningIndicator, StopFadesToTheFloorThenEnds) {
  for (bool displayed : {true, false}) {
    SCOPED_TRACE(displayed);
    QWidget parent;
    YRKSpinningProgressIndicator ind(&parent);
    ind.setDisplayedWhenStopped(displayed);
    ind.startAnimation();
    EXPECT_FALSE(ind.isHidden());
    for (int i = 0; i < 5; ++i) ind.updateFrame();
    ind.stopAnimation();
    EXPECT_TRUE(ind.isAnimating());
    int ticks = 0;
    while (ind.isAnimating() && ticks < 100) {
      ind.updateFrame();
      ++ticks;
    }
    EXPECT_FALSE(ind.isAnimating());
    EXPECT_FALSE(ind.isTicking());
    // 0.85^n from 1 to within 0.01 of the floor.
    const qreal floor = displayed ? 0.15 : 0.01;
    const int expected = static_cast<int>(std::ceil(std::log(floor + 0.01) / std::log(0.85)));
    EXPECT_NEAR(ticks, expected, 2);
    EXPECT_EQ(ind.isHidden(), !displayed);
  }
}

TEST(SpinningIndicator, DeterminateModeDoesNotSpin) {
  QWidget parent;
  YRKSpinningProgressIndicator ind(&parent);
  ind.setIndeterminate(false);
  ind.startAnimation();
  EXPECT_FALSE(ind.isAnimating());
  ind.setIndeterminate(true);
  ind.startAnimation();
  ind.setDoubleValue(30);
  EXPECT_FALSE(ind.isIndeterminate());
  EXPECT_TRUE(ind.isFadingOut());
}

TEST(SpinningIndicator, WithoutAWindowStartWaitsAndLeavingStops) {
  YRKSpinningProgressIndicator ind;
  ind.startAnimation();
  EXPECT_TRUE(ind.isAnimating());
  EXPECT_FALSE(ind.isTicking());
  QWidget parent;
  ind.setParent(&parent);
  EXPECT_TRUE(ind.isTicking());
  ind.setParent(nullptr);
  EXPECT_FALSE(ind.isAnimating());
}

TEST(SpinningIndicator, DrawsFinsAndAQuarterPie) {
  QWidget parent;
  YRKSpinningProgressIndicator ind(&parent);
  ind.resize(60, 60);
  ind.setColor(Qt::white);
  // Stopped fins at alpha 0.15: fin 0 points up from radius 14.06 to 25.31, 5.16 wide.
  QImage img = render(ind);
  EXPECT_GT(at(img, 30, 30 + 20).red(), 20);
  EXPECT_EQ(at(img, 30, 30 + 10).red(), 0);
  EXPECT_EQ(at(img, 30, 30 + 29.5).red(), 0);  // beyond the round cap (25.3 + 2.6)
  EXPECT_EQ(at(img, 30 + 4, 30 + 20).red(), 0);
  ind.setDoubleValue(25);
  img = render(ind);
  EXPECT_EQ(at(img, 30 + 10, 30 + 10), QColor(Qt::white));  // 12 to 3 o'clock
  EXPECT_EQ(at(img, 30 - 10, 30 + 10), QColor(Qt::black));
  EXPECT_EQ(at(img, 30 + 10, 30 - 10), QColor(Qt::black));
  ind.setMaxValue(0);  // guarded
  render(ind);
}

TEST(RoundProgressView, QuarterPieOverAnInsetDisc) {
  MBRoundProgressView v;
  EXPECT_EQ(v.size(), QSize(37, 37));
  v.setProgress(0.25f);
  QImage img = render(v);
  EXPECT_EQ(at(img, 18.5 + 8, 18.5 + 8), QColor(Qt::white));
  EXPECT_NE(at(img, 18.5 - 8, 18.5 + 8), QColor(Qt::white));
  EXPECT_GT(at(img, 18.5 - 8, 18.5 + 8).red(), 0);  // the disc's 10% white
  EXPECT_EQ(at(img, 0.5, 0.5), QColor(Qt::black));
  v.setAnnular(true);
  img = render(v);
  EXPECT_EQ(at(img, 18.5, 18.5), QColor(Qt::black));  // a ring has no centre
  EXPECT_EQ(at(img, 18.5 + 15.5 * std::cos(M_PI / 4), 18.5 + 15.5 * std::sin(M_PI / 4)), QColor(Qt::white));
}

TEST(BarProgressView, OutlineOnlyAtZeroAndRoundedFullAtOne) {
  MBBarProgressView v;
  EXPECT_EQ(v.size(), QSize(120, 20));
  EXPECT_TRUE(MBBarProgressView::donePath(120, 20, 0).bounds().isEmpty());
  QImage img = render(v);
  EXPECT_EQ(at(img, 60, 10), QColor(Qt::black));
  EXPECT_EQ(at(img, 60, 2), QColor(Qt::white));  // outline
  // Full: the done part ends in the rounded cap around (110, 10), radius 6.
  const QPainterPath full = MBBarProgressView::donePath(120, 20, 1).qpath();
  EXPECT_TRUE(full.contains(QPointF(115, 10)));
  EXPECT_TRUE(full.contains(QPointF(5, 10)));
  EXPECT_FALSE(full.contains(QPointF(115, 4.5)));  // the corner is round
  EXPECT_FALSE(full.contains(QPointF(60, 3)));
  v.setProgress(0.5f);
  img = render(v);
  EXPECT_EQ(at(img, 40, 10), QColor(Qt::white));
  EXPECT_EQ(at(img, 80, 10), QColor(Qt::black));
  EXPECT_NEAR(MBBarProgressView::donePath(120, 20, 0.5).bounds().right(), 60, 1e-6);
  EXPECT_NEAR(MBBarProgressView::donePath(120, 20, 0.02).bounds().right(), 10, 1e-6);  // below `left`: up to left
}

TEST(BarProgressView, PartialRepaintDrawsTheBarAtItsBounds) {
  MBBarProgressView v;
  v.setProgress(0.5f);
  const QImage full = render(v);
  QImage part(v.size(), QImage::Format_ARGB32_Premultiplied);
  part.fill(Qt::black);
  v.render(&part, QPoint(50, 0), QRegion(50, 0, 20, 20));
  for (int x = 50; x < 70; ++x)
    for (int y = 0; y < 20; ++y) ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << x << "," << y;
}

TEST(ProgressViews, SettersFromAWorkerHopToTheGuiThread) {
  auto* bar = new MBBarProgressView;
  auto* round = new MBRoundProgressView;
  std::thread([&] {
    bar->setProgress(0.7f);
    round->setProgress(0.3f);
  }).join();
  EXPECT_EQ(bar->progress(), 0.0f);  // not yet: queued
  EXPECT_TRUE(kvtest::waitUntil([&] { return bar->progress() == 0.7f && round->progress() == 0.3f; }));
  // A worker that outlives the view posts through its target: nothing runs once it is gone.
  auto target = bar->guiTarget();
  delete bar;
  delete round;
  bool ran = false;
  std::thread([&] { EXPECT_FALSE(target->post([&] { ran = true; })); }).join();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

TEST(ProgressViews, QueuedCallDroppedWhenTheViewGoesFirst) {
  auto* bar = new MBBarProgressView;
  std::thread([&] { bar->setProgress(0.5f); }).join();
  delete bar;  // the queued call had the view as context
  QCoreApplication::processEvents();
  SUCCEED();
}

TEST(SpinnerProgressView, PaintsOverAWash) {
  MBSpinnerProgressView v;
  v.resize(100, 20);
  v.setValue(50);
  const QImage img = render(v, QColor(40, 40, 40));
  EXPECT_NE(img.pixelColor(2, 2), QColor(40, 40, 40));
}
