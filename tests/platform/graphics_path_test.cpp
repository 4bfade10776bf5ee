// Paths, fills and strokes: non-zero winding, snapping, AppKit's stroke defaults.
#include <gtest/gtest.h>

#include "platform/graphics/snapping.h"
#include "tests/platform/graphics_test_support.h"

using gfxtest::alphaAt;

TEST(GraphicsSnapping, FrameSpanningBoxKeepsOriginAndRoundsSize) {
  EXPECT_EQ(snappedRect(QRectF(10.3, 20.7, 24.6, 24.4), 0, 0, 1, 1), QRectF(10.3, 20.7, 25, 24));
  EXPECT_EQ(snappedRect(QRectF(0, 0, 24.6, 24.4), 0, 0, 1, 1), QRectF(0, 0, 25, 24));
}

TEST(GraphicsSnapping, EachEdgeRoundsOnItsOwn) {
  // floor(9.7827 + 0.5) = 10 and floor(20.2173 + 0.5) = 20.
  EXPECT_EQ(snappedRect(QRectF(0, 0, 30, 30), 0.32609, 0.32609, 0.67391, 0.67391), QRectF(10, 10, 10, 10));
  // A fractional origin keeps its fraction in every edge; sizes stay whole.
  const QRectF r = snappedRect(QRectF(0.5, 0.5, 30, 30), 0.32609, 0.32609, 0.67391, 0.67391);
  EXPECT_EQ(r, QRectF(10.5, 10.5, 10, 10));
}

TEST(GraphicsSnapping, EdgesWithTheirOwnConstants) {
  // The unknown-file thumbnail's question-mark box at 24 x 24.
  const QRectF r = snappedRect(QRectF(0, 0, 24, 24), EdgeRule{0.27222, -0.5, 1}, EdgeRule{0.11593, -0.37, 0.87},
                               EdgeRule{0.73074, -0.03, 0.53}, EdgeRule{0.88333, -0.5, 1});
  EXPECT_DOUBLE_EQ(r.x(), 7);
  EXPECT_NEAR(r.y(), 2.87, 1e-9);
  EXPECT_NEAR(r.width(), 10.53, 1e-9);
  EXPECT_NEAR(r.height(), 18.13, 1e-9);
}

TEST(GraphicsPath, OppositeContourRingLeavesCentreClear) {
  for (qreal dpr : {1.0, 1.25, 1.5, 2.0}) {
    const QImage img = gfxtest::draw(40, 40, dpr, [](GraphicsContext& ctx) {
      BezierPath ring = BezierPath::bezierPathWithOvalInRect(QRectF(2, 2, 36, 36));
      ring.appendBezierPath(BezierPath::bezierPathWithOvalInRect(QRectF(10, 10, 20, 20)).reversed());
      ctx.setFillColor(Qt::white);
      ctx.fill(ring);
    });
    EXPECT_EQ(alphaAt(img, 20, 20), 0) << dpr;
    EXPECT_EQ(alphaAt(img, 5, 20), 255) << dpr;
  }
}

TEST(GraphicsPath, SameDirectionContourIsFilledUnderNonZero) {
  const QImage img = gfxtest::draw(40, 40, 1, [](GraphicsContext& ctx) {
    BezierPath p = BezierPath::bezierPathWithOvalInRect(QRectF(2, 2, 36, 36));
    p.appendBezierPath(BezierPath::bezierPathWithOvalInRect(QRectF(10, 10, 20, 20)));
    ctx.fill(p);
  });
  EXPECT_EQ(alphaAt(img, 20, 20), 255);
}

TEST(GraphicsPath, ShapesRunCounterClockwiseWithYUp) {
  for (const BezierPath& p : {BezierPath::bezierPathWithRect(QRectF(0, 0, 4, 3)),
                              BezierPath::bezierPathWithOvalInRect(QRectF(0, 0, 4, 3)),
                              BezierPath::bezierPathWithRoundedRect(QRectF(0, 0, 4, 3), 1, 1)}) {
    ASSERT_EQ(p.subpathSignedAreas().size(), 1u);
    EXPECT_GT(p.subpathSignedAreas()[0], 0);
    EXPECT_LT(p.reversed().subpathSignedAreas()[0], 0);
  }
}

TEST(GraphicsPath, OpenSubpathIsClosedByTheFill) {
  const QImage img = gfxtest::draw(20, 20, 1, [](GraphicsContext& ctx) {
    BezierPath p;
    p.moveToPoint({2, 2});
    p.lineToPoint({18, 2});
    p.lineToPoint({18, 18});
    ctx.fill(p);
  });
  EXPECT_EQ(alphaAt(img, 15, 5), 255);
  EXPECT_EQ(alphaAt(img, 5, 15), 0);
}

TEST(GraphicsStroke, ButtCapsEndAtTheLineEnds) {
  // A 4-point line from x 5 to 15: butt ends paint nothing beyond x 15 (a square cap would
  // reach 17, a round one 17 too).
  const QImage img = gfxtest::draw(30, 20, 1, [](GraphicsContext& ctx) {
    BezierPath p;
    p.moveToPoint({5, 10});
    p.lineToPoint({15, 10});
    p.setLineWidth(4);
    ctx.setStrokeColor(Qt::white);
    ctx.stroke(p);
  });
  EXPECT_EQ(alphaAt(img, 14.5, 10), 255);
  EXPECT_EQ(alphaAt(img, 15.5, 10), 0);
  EXPECT_EQ(alphaAt(img, 4.5, 10), 0);
}

TEST(GraphicsStroke, MiterJoinBevelsPastTheLimit) {
  // A spike whose miter ratio is 1/sin(atan(0.1)) = 10.05: beyond limit 10 it is bevelled,
  // with limit 30 the miter reaches about 5 points past the corner.
  auto spikeTip = [](qreal limit) {
    const QImage img = gfxtest::draw(60, 20, 1, [limit](GraphicsContext& ctx) {
      BezierPath p;
      p.moveToPoint({5, 6});
      p.lineToPoint({45, 10});
      p.lineToPoint({5, 14});
      p.setLineWidth(2);
      p.setMiterLimit(limit);
      ctx.setStrokeColor(Qt::white);
      ctx.stroke(p);
    });
    int last = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (qAlpha(img.pixel(x, y)) > 0) last = std::max(last, x);
    return last;
  };
  EXPECT_LE(spikeTip(10), 46);  // bevelled: ends about at the corner
  EXPECT_GE(spikeTip(30), 54);  // mitred: about 10 points further on
}

TEST(GraphicsStroke, RoundJoinAndWidthAreKept) {
  const QImage img = gfxtest::draw(30, 30, 2, [](GraphicsContext& ctx) {
    BezierPath p = BezierPath::bezierPathWithRect(QRectF(5, 5, 20, 20));
    p.setLineWidth(2);
    p.setLineJoinStyle(LineJoin::Round);
    ctx.setStrokeColor(Qt::white);
    ctx.stroke(p);
  });
  EXPECT_EQ(alphaAt(img, 15, 4.25), 255);   // the stroke straddles the edge: 4 to 6
  EXPECT_EQ(alphaAt(img, 15, 6.5), 0);      // nothing inside
  EXPECT_LT(alphaAt(img, 4.1, 4.1), 128);   // the round corner leaves the square's tip clear
}

TEST(GraphicsState, ColoursSurviveACallAndRestore) {
  const QImage img = gfxtest::draw(10, 10, 1, [](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::red);
    ctx.saveGraphicsState();
    ctx.setFillColor(Qt::blue);
    ctx.fillRect(QRectF(0, 0, 5, 10));
    ctx.restoreGraphicsState();
    EXPECT_EQ(ctx.fillColor(), QColor(Qt::red));
    ctx.fillRect(QRectF(5, 0, 5, 10));
  });
  EXPECT_EQ(gfxtest::at(img, 2, 5), QColor(Qt::blue));
  EXPECT_EQ(gfxtest::at(img, 7, 5), QColor(Qt::red));
}

TEST(GraphicsState, YUpPutsTheOriginAtTheBottomLeft) {
  const QImage img = gfxtest::draw(10, 10, 1, [](GraphicsContext& ctx) { ctx.fillRect(QRectF(0, 0, 3, 3)); });
  EXPECT_EQ(qAlpha(img.pixel(0, 9)), 255);
  EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
}

TEST(GraphicsState, DevicePixelRatioTwoRendersTwiceThePixels) {
  auto fn = [](GraphicsContext& ctx) { ctx.fillRect(QRectF(2, 3, 5, 4)); };
  const QImage one = gfxtest::draw(12, 10, 1, fn);
  const QImage two = gfxtest::draw(12, 10, 2, fn);
  EXPECT_EQ(two.size(), one.size() * 2);
  EXPECT_DOUBLE_EQ(gfxtest::totalAlpha(two), 4 * gfxtest::totalAlpha(one));
  EXPECT_DOUBLE_EQ(gfxtest::totalAlpha(one), 20);
}

TEST(GraphicsGradient, AngleMinusNinetyRunsTopToBottom) {
  const QImage img = gfxtest::draw(20, 20, 1, [](GraphicsContext& ctx) {
    ctx.drawLinearGradient(BezierPath::bezierPathWithRect(QRectF(0, 0, 20, 20)), QColor(255, 0, 0),
                           QColor(0, 0, 255), -90);
  });
  const QColor top = gfxtest::at(img, 10, 19.5), bottom = gfxtest::at(img, 10, 0.5);
  EXPECT_GT(top.red(), 240);
  EXPECT_GT(bottom.blue(), 240);
  // Only the path is painted.
  const QImage disc = gfxtest::draw(20, 20, 1, [](GraphicsContext& ctx) {
    ctx.drawLinearGradient(BezierPath::bezierPathWithOvalInRect(QRectF(0, 0, 20, 20)), Qt::red, Qt::blue, 0);
  });
  EXPECT_EQ(alphaAt(disc, 0.5, 0.5), 0);
  EXPECT_GT(gfxtest::at(disc, 1, 10).red(), 230);
  EXPECT_GT(gfxtest::at(disc, 19, 10).blue(), 230);
}
