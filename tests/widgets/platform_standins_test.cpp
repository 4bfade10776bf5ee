#include <gtest/gtest.h>

#include <QPainter>
#include <QTimer>

#include <cmath>
#include <thread>

#include "platform/geometry.h"
#include "platform/graphics/arcs.h"
#include "platform/graphics/blend.h"
#include "platform/graphics/gradients_radial.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/image_mask.h"
#include "platform/gui_thread.h"
#include "platform/modal.h"
#include "platform/window_controller.h"
#include "platform/window_registry.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

namespace {

class TestController : public WindowController {
 public:
  int loads = 0;
  QWidget* outlet = nullptr;

 protected:
  QWidget* buildWindow() override {
    auto* w = new QWidget;
    outlet = new QWidget(w);
    outlet->setObjectName("oOutlet");
    return w;
  }
  void windowDidLoad() override { ++loads; }
};

}  // namespace

TEST(GuiThreadCheck, ReportsAWidgetTouchedOffTheGuiThread) {
  QStringList seen;
  std::mutex m;
  auto previous = GuiThread::setViolationHandler([&](const char* where) {
    std::lock_guard<std::mutex> lock(m);
    seen << where;
  });
  SYFlatButton button;
  KV_ASSERT_GUI_THREAD();  // the GUI thread: nothing reported
  std::thread([&] { GuiThread::check("worker"); }).join();
  GuiThread::setViolationHandler(previous);
  ASSERT_EQ(seen.size(), 1);
  EXPECT_EQ(seen.front(), "worker");
}

#ifndef NDEBUG
TEST(GuiThreadCheckDeathTest, DefaultHandlerStopsTheProcess) {
  EXPECT_DEATH(std::thread([] { SYFlatButton::frameSizeForString("x", Font()); new SYFlatButton; }).join(),
               "off the GUI thread");
}
#endif

TEST(WindowController, BuildsLazilyOnceAndRegistersFrontToBack) {
  TestController a, b;
  EXPECT_FALSE(a.isWindowLoaded());
  a.showWindow();
  EXPECT_EQ(a.loads, 1);
  EXPECT_EQ(a.window()->findChild<QWidget*>("oOutlet"), a.outlet);
  b.showWindow();
  EXPECT_EQ(a.loads, 1);
  EXPECT_EQ(WindowRegistry::frontWindow(), b.window());
  WindowRegistry::bringToFront(a.window());
  EXPECT_EQ(WindowRegistry::frontWindow(), a.window());
  a.close();
  EXPECT_EQ(WindowRegistry::frontWindow(), b.window());
  b.close();
}

TEST(Modal, NestedSessionsStopInnermostFirst) {
  QWidget outer, inner;
  std::vector<int> order;
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(Modal::depth(), 1);
    QTimer::singleShot(0, [&] {
      EXPECT_EQ(Modal::modalWindow(), &inner);
      Modal::stopModal();
    });
    Modal::runModalForWindow(&inner);
    order.push_back(1);
    Modal::stopModalForWindow(&outer);
  });
  Modal::runModalForWindow(&outer);
  order.push_back(2);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(Modal::depth(), 0);
}

TEST(Geometry, GuardedConversions) {
  EXPECT_EQ(Geometry::toIntSafe(NAN), 0);
  EXPECT_EQ(Geometry::toIntSafe(INFINITY), 0);
  EXPECT_EQ(Geometry::toIntSafe(1e30), std::numeric_limits<int>::max());
  EXPECT_EQ(Geometry::toIntSafe(-2.7), -2);
  EXPECT_EQ(Geometry::divideOr(1, 0, 7), 7);
  EXPECT_EQ(Geometry::divideOr(6, 3), 2);
  EXPECT_EQ(Geometry::flipped(QRectF(10, 20, 30, 40), 100), QRectF(10, 40, 30, 40));
}

TEST(Arcs, DirectionAndEndPoints) {
  struct Case {
    qreal start, end;
    bool clockwise;
    QPointF mid;  // a point the arc passes
  };
  // Unit circle around the origin, from 0 degrees to 90 degrees.
  const Case cases[] = {
      {0, 90, false, {std::cos(M_PI / 4), std::sin(M_PI / 4)}},
      {0, 90, true, {-std::cos(M_PI / 4), -std::sin(M_PI / 4)}},  // the long way round
      {90, 0, true, {std::cos(M_PI / 4), std::sin(M_PI / 4)}},
  };
  for (const Case& c : cases) {
    BezierPath p;
    appendArc(p, {0, 0}, 1, c.start, c.end, c.clockwise);
    const QPainterPath& q = p.qpath();
    EXPECT_NEAR(q.elementAt(0).x, std::cos(c.start * M_PI / 180), 1e-9);
    EXPECT_NEAR(q.currentPosition().x(), std::cos(c.end * M_PI / 180), 1e-9);
    EXPECT_NEAR(q.currentPosition().y(), std::sin(c.end * M_PI / 180), 1e-9);
    bool passes = false;
    for (qreal t = 0; t <= 1.0; t += 0.01) passes |= QLineF(q.pointAtPercent(t), c.mid).length() < 0.02;
    EXPECT_TRUE(passes) << c.start << " " << c.end << " " << c.clockwise;
  }
}

TEST(Arcs, TangentArcRoundsACorner) {
  BezierPath p;
  p.moveToPoint({0, 0});
  appendArcFromPointToPoint(p, {10, 0}, {10, 10}, 2);
  // The corner is cut: tangent points (8, 0) and (10, 2), centre (8, 2).
  EXPECT_NEAR(p.qpath().currentPosition().x(), 10, 1e-9);
  EXPECT_NEAR(p.qpath().currentPosition().y(), 2, 1e-9);
  const QPointF mid = p.qpath().pointAtPercent(0.95);
  EXPECT_NEAR(QLineF(mid, QPointF(8, 2)).length(), 2, 0.05);
  BezierPath straight;
  straight.moveToPoint({0, 0});
  appendArcFromPointToPoint(straight, {5, 0}, {10, 0}, 2);
  EXPECT_EQ(straight.qpath().currentPosition(), QPointF(5, 0));
}

TEST(ImageMask, OnlyOpaquePixelsShowInTheTintRightWayUp) {
  QImage mask(4, 4, QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  mask.setPixelColor(0, 0, QColor(0, 0, 0, 255));  // top-left
  const QImage tinted = tintedMaskImage(mask, QColor(0, 255, 0));
  EXPECT_EQ(tinted.pixelColor(0, 0), QColor(0, 255, 0));
  EXPECT_EQ(tinted.pixelColor(3, 3).alpha(), 0);
  QImage canvas(8, 8, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::white);
  {
    QPainter p(&canvas);
    GraphicsContext ctx(p, 8);
    drawImageMask(ctx, mask, QRectF(0, 0, 8, 8), Qt::red);
  }
  EXPECT_EQ(canvas.pixelColor(1, 1), QColor(Qt::red));  // top-left stays top-left
  EXPECT_EQ(canvas.pixelColor(1, 6), QColor(Qt::white));
}

TEST(ImageMask, AMaskDrawnForSharperScreensTintsPixelForPixel) {
  // A mask at 1x and at 2x tints the same points of the same rect.
  for (const qreal ratio : {1.0, 2.0, 3.0}) {
    SCOPED_TRACE(ratio);
    const int side = int(4 * ratio);
    QImage mask(side, side, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    for (int y = side / 2; y < side; ++y)
      for (int x = side / 2; x < side; ++x) mask.setPixelColor(x, y, Qt::black);  // the bottom-right quarter
    mask.setDevicePixelRatio(ratio);
    const QImage tinted = tintedMaskImage(mask, QColor(0, 255, 0));
    EXPECT_EQ(tinted.size(), mask.size());
    EXPECT_EQ(tinted.devicePixelRatio(), ratio);
    EXPECT_EQ(tinted.pixelColor(side - 1, side - 1), QColor(0, 255, 0));
    EXPECT_EQ(tinted.pixelColor(side / 2, side / 2), QColor(0, 255, 0));
    EXPECT_EQ(tinted.pixelColor(side / 2 - 1, side / 2 - 1).alpha(), 0);
    QImage canvas(8, 8, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    {
      QPainter p(&canvas);
      GraphicsContext ctx(p, 8);
      drawImageMask(ctx, mask, QRectF(0, 0, 8, 8), Qt::red);
    }
    EXPECT_EQ(canvas.pixelColor(6, 6), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(6, 1), QColor(Qt::white));
  }
}

TEST(RadialGradient, EndColourContinuesBeyondTheRadius) {
  QImage canvas(100, 50, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::white);
  {
    QPainter p(&canvas);
    GraphicsContext ctx(p, 50);
    drawRadialGradientExtended(ctx, QRectF(0, 0, 100, 50), {50, 25}, 20, QColor(0, 0, 0, 0), QColor(0, 0, 0, 191));
  }
  EXPECT_GT(canvas.pixelColor(50, 25).red(), 240);  // the clear centre
  EXPECT_NEAR(canvas.pixelColor(2, 2).red(), 64, 2);         // a corner, far beyond the end: 75 % black
  EXPECT_EQ(canvas.pixelColor(2, 2), canvas.pixelColor(97, 47));
}

TEST(Blend, SoftLightWhiteLightensWithoutCovering) {
  QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(QColor(100, 100, 100));
  {
    QPainter p(&canvas);
    fillRectWithBlendMode(p, QRectF(0, 0, 10, 10), Qt::white, BlendMode::SoftLight);
  }
  const int v = canvas.pixelColor(5, 5).red();
  EXPECT_GT(v, 100);
  EXPECT_LT(v, 255);
}
