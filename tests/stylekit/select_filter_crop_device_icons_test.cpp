// Select-all and filter icons with their outlined labels, crop marks and the device.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::draw;

namespace {
using DrawFn = void (*)(GraphicsContext&, QRectF);

QImage paint(DrawFn fn, QRectF frame, QSizeF canvas, QColor ground = Qt::transparent, qreal dpr = 2) {
  return draw(canvas.width(), canvas.height(), dpr, [&](GraphicsContext& ctx) { fn(ctx, frame); }, ground);
}

// The painted extent of the rows between y0 and y1 points (y up).
sktest::Extent band(const QImage& img, qreal y0, qreal y1) {
  const qreal dpr = img.devicePixelRatio();
  const int top = img.height() - qRound(y1 * dpr), rows = qRound((y1 - y0) * dpr);
  QImage part = img.copy(0, top, img.width(), rows);
  part.setDevicePixelRatio(dpr);
  sktest::Extent e = sktest::extent(part, [](QColor c) { return c.alpha() > 127; });
  e.bottom += y0;
  e.top += y0;
  return e;
}
}  // namespace

TEST(SelectAllIcon, BoxSnapsLeftBottomWholeAndRightTopHalf) {
  struct Case {
    QRectF frame, box;
  } cases[] = {{{0, 0, 78, 78}, {14, 23, 51.5, 48.5}},
               {{0, 0, 39, 39}, {7, 11, 25.5, 24.5}},
               {{10.25, 20, 78, 78}, {24.25, 43, 51.5, 48.5}},
               {{0, 0, 156, 78}, {28, 23, 102.5, 48.5}},
               {{0, 0, 0, 0}, {0, 0, 0.5, 0.5}}};
  for (const Case& c : cases) EXPECT_EQ(KorvalumeStyleKit::selectAllBox(c.frame), c.box) << c.frame.width();
}

TEST(SelectAllIcon, StatesDifferOnlyByTheTickAndTheLabelSitsOnItsBaseline) {
  const QRectF frame(0, 0, 78, 78);
  const QImage on = paint(&KorvalumeStyleKit::drawSelectAllSelectedWithTextWithFrame, frame, {78, 78});
  const QImage off = paint(&KorvalumeStyleKit::drawSelectAllUnselectedWithTextWithFrame, frame, {78, 78});
  // The tick's elbow (lowest corner (32.66, 30)) is painted only in the selected state.
  EXPECT_GT(at(on, 32.66, 31.5).alpha(), 200);
  EXPECT_EQ(at(off, 32.66, 31.5).alpha(), 0);
  // Outside the tick's hull, both pictures are the same pixels.
  int differing = 0;
  for (int y = 0; y < on.height(); ++y)
    for (int x = 0; x < on.width(); ++x) {
      const qreal px = x / 2.0, py = 78 - y / 2.0;
      const bool inTick = px > 18 && px < 62 && py > 29 && py < 66;
      if (!inTick && on.pixel(x, y) != off.pixel(x, y)) ++differing;
    }
  EXPECT_EQ(differing, 0);
  // The label: ink from x 0.055 to 0.94372 of the width, below the box.
  const sktest::Extent label = band(off, 0, 0.26 * 78);
  EXPECT_NEAR(label.left, 0.055 * 78, 0.6);
  EXPECT_NEAR(label.right, 0.94372 * 78, 0.6);
  EXPECT_NEAR(label.bottom, 0.06048 * 78, 0.6);
  EXPECT_NEAR(label.top, 0.22437 * 78, 0.6);
}

TEST(FilterIcons, FunnelAndLabelPlacement) {
  struct Case {
    const char* name;
    DrawFn fn;
    qreal labelLeft, labelRight, shift;
  } cases[] = {{"JPG", &KorvalumeStyleKit::drawFilterJpgWithTextWithFrame, 0.30733, 0.69235, 0},
               {"RAW", &KorvalumeStyleKit::drawFilterRawWithTextWithFrame, 0.28274, 0.73205, 0},
               {"Video", &KorvalumeStyleKit::drawFilterVideoWithTextWithFrame, 0.22591, 0.77472, 0.01282},
               {"All", &KorvalumeStyleKit::drawFilterAllWithTextWithFrame, 0.3864, 0.60743, 0.01282}};
  for (const Case& c : cases) {
    const QImage img = paint(c.fn, QRectF(0, 0, 78, 78), {78, 78});
    const sktest::Extent funnel = band(img, 0.27 * 78, 78);
    EXPECT_NEAR(funnel.top, 69, 0.6) << c.name;
    EXPECT_NEAR(funnel.bottom, 23, 0.6) << c.name;
    EXPECT_NEAR(funnel.left, (0.21795 - c.shift) * 78, 0.6) << c.name;
    EXPECT_NEAR(funnel.right, (0.82051 - c.shift) * 78, 0.6) << c.name;
    const sktest::Extent stem = band(img, 24, 30);
    EXPECT_NEAR(stem.left, (0.44176 - c.shift) * 78, 0.6) << c.name;
    EXPECT_NEAR(stem.right, (0.5967 - c.shift) * 78, 0.6) << c.name;
    const sktest::Extent label = band(img, 0, 0.27 * 78);
    EXPECT_NEAR(label.left, c.labelLeft * 78, 0.6) << c.name;
    EXPECT_NEAR(label.right, c.labelRight * 78, 0.6) << c.name;
    EXPECT_LE(label.top, 0.2265 * 78 + 0.6) << c.name;
  }
  // Stretched and moved frames scale x only, and shift everything.
  const QImage wide = paint(&KorvalumeStyleKit::drawFilterJpgWithTextWithFrame, QRectF(10, 20, 156, 78), {170, 100});
  const sktest::Extent f = band(wide, 20 + 0.27 * 78, 100);
  EXPECT_NEAR(f.left, 10 + 0.21795 * 156, 0.6);
  EXPECT_NEAR(f.top, 20 + 69, 0.6);
}

TEST(FilterIcons, CountersAreOpen) {
  // The P of JPG at 312 points: the middle of its bowl shows the ground.
  const qreal s = 312;
  const QImage img = paint(&KorvalumeStyleKit::drawFilterJpgWithTextWithFrame, QRectF(0, 0, s, s), {s, s}, Qt::red, 1);
  // Bowl of the P: right part of its box, upper half of the capital height.
  EXPECT_EQ(at(img, s * 0.485, s * 0.175), QColor(Qt::red));
  EXPECT_TRUE(sktest::isWhite(at(img, s * 0.4335, s * 0.14)));  // the stem
  // Zero-size frames draw nothing and do not fail.
  const QImage none = paint(&KorvalumeStyleKit::drawFilterAllWithTextWithFrame, QRectF(5, 5, 0, 40), {20, 50});
  EXPECT_TRUE(sktest::extent(none, [](QColor c) { return c.alpha() > 127; }).empty());
}

TEST(CropIcon, FixedSizeFromTheTopLeftCorner) {
  const QImage img = paint(&KorvalumeStyleKit::drawCropWithFrame, QRectF(0, 0, 100, 100), {100, 100});
  const sktest::Extent all = sktest::extent(img, [](QColor c) { return c.alpha() > 127; });
  EXPECT_NEAR(all.left, 0, 0.01);
  EXPECT_NEAR(all.right, 72, 0.01);
  EXPECT_NEAR(all.bottom, 28, 0.01);
  EXPECT_NEAR(all.top, 100, 0.01);
  // Top bar between y 88 and 92.8, bottom bar between 35.2 and 40.
  EXPECT_GT(at(img, 30, 90).alpha(), 200);
  EXPECT_EQ(at(img, 30, 93.5).alpha(), 0);
  EXPECT_GT(at(img, 30, 37).alpha(), 200);
  EXPECT_EQ(at(img, 30, 34.5).alpha(), 0);
  // A moved frame: the top edge at 120, the top bar from x 10.
  const QImage moved = paint(&KorvalumeStyleKit::drawCropWithFrame, QRectF(10, 20, 100, 100), {120, 130});
  EXPECT_GT(at(moved, 10.5, 110).alpha(), 200);
  EXPECT_EQ(at(moved, 9.5, 110).alpha(), 0);
  EXPECT_EQ(at(moved, 30, 113.5).alpha(), 0);
  // The image of 36 x 36 shows only the mark's top-left quarter.
  const QImage small = KorvalumeStyleKit::imageOfCropWithSize(QSizeF(36, 36)).render(2);
  EXPECT_GT(at(small, 20, 26).alpha(), 200);  // top bar at d 7.2 to 12
  EXPECT_GT(at(small, 9, 10).alpha(), 200);   // left bar runs on down
}

TEST(DeviceIcon, SnappedUprightsAndConnectorsAndTheBox) {
  struct Case {
    QSizeF size;
    QRectF rects[4];
  } cases[] = {{{64, 32}, {{3, 7, 4, 18}, {57, 7, 4, 18}, {6, 9, 5, 2}, {53, 9, 5, 2}}},
               {{200, 200}, {{9, 46, 14, 109}, {177, 46, 14, 109}, {19, 55, 15, 14}, {167, 55, 15, 14}}}};
  for (const Case& c : cases)
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(KorvalumeStyleKit::deviceRect(QRectF(QPointF(0, 0), c.size), i), c.rects[i]) << c.size.width() << i;
  const QImage img = paint(&KorvalumeStyleKit::drawKorvalumeDeviceWithFrame, QRectF(0, 0, 200, 200), {200, 200});
  const sktest::Extent box = band(img, 70, 200);  // above the connectors: box and uprights
  EXPECT_NEAR(box.top, 155, 0.6);                 // the uprights' top
  EXPECT_GT(at(img, 100, 113.5).alpha(), 200);    // the box's top edge at 114
  EXPECT_EQ(at(img, 100, 114.5).alpha(), 0);
  EXPECT_EQ(at(img, 25, 100).alpha(), 0);         // the gap between upright and box
  EXPECT_EQ(at(img, 27.4, 113.6).alpha(), 0);     // a rounded corner leaves its tip empty
  // Zero width: nothing visible, no failure.
  const QImage none = paint(&KorvalumeStyleKit::drawKorvalumeDeviceWithFrame, QRectF(0, 0, 0, 50), {10, 50});
  EXPECT_TRUE(sktest::extent(none, [](QColor c) { return c.alpha() > 127; }).empty());
}
