// Capture-function icons: highlight bars and the lower hand at their snapped sizes, colours
// by state, holes left by opposite contours, shadows that end with each element.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using Draw = void (*)(GraphicsContext&, QRectF, bool);
const QRgb kLightGrey = qRgba(200, 200, 200, 255);
bool isHighlightBlue(QColor c) { return c.alpha() == 200 && c.red() == 0 && std::abs(c.green() - 90) <= 1 && std::abs(c.blue() - 220) <= 1; }

QImage render(Draw draw, qreal w, qreal h, bool highlighted, qreal dpr = 1) {
  return sktest::draw(w, h, dpr, [&](GraphicsContext& ctx) { draw(ctx, QRectF(0, 0, w, h), highlighted); });
}
}  // namespace

TEST(CaptureFunctionIcons, BarHeightsFollowTheSnappingOfTheFrameHeight) {
  struct Case {
    qreal height, focusStackAndHdr, timer;
  };
  for (const Case& c : {Case{10, 0, 0}, Case{11, 1, 0}, Case{17, 1, 0}, Case{18, 0, 0}, Case{24, 0, 0},
                        Case{30, 0, 0}, Case{31, 0, 0}, Case{33, 1, 0}, Case{40, 1, 1}, Case{50, 1, 0},
                        Case{55, 1, 0}, Case{100, 2, 2}}) {
    const QRectF frame(0, 0, c.height, c.height);
    EXPECT_EQ(KorvalumeStyleKit::focusStackBarRect(frame).height(), c.focusStackAndHdr) << c.height;
    EXPECT_EQ(KorvalumeStyleKit::timerBarRect(frame).height(), c.timer) << c.height;
  }
  // In pixels: at 40 x 40 all three show a blue bar one point high; at 24 x 24 the
  // highlighted icon paints the very same pixels as the normal one, only in blue.
  for (Draw draw : {Draw(&KorvalumeStyleKit::drawFocusStackWithFrame), Draw(&KorvalumeStyleKit::drawTimerWithFrame),
                    Draw(&KorvalumeStyleKit::drawHDRWithFrame)}) {
    const QImage on = render(draw, 40, 40, true), off = render(draw, 40, 40, false);
    EXPECT_TRUE(isHighlightBlue(at(on, 20, 1.5)));
    EXPECT_EQ(at(on, 20, 0.5).alpha(), 0);
    EXPECT_EQ(at(on, 20, 2.5).alpha(), 0);
    EXPECT_EQ(at(off, 20, 1.5).alpha(), 0);
    const QImage on24 = render(draw, 24, 24, true), off24 = render(draw, 24, 24, false);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) ASSERT_EQ(qAlpha(on24.pixel(x, y)) > 0, qAlpha(off24.pixel(x, y)) > 0) << x << "," << y;
  }
}

TEST(CaptureFunctionIcons, TimerLowerHandWidthByFrameWidth) {
  for (int w = 2; w <= 48; w += 2)
    EXPECT_EQ(KorvalumeStyleKit::timerLowerHandRect(QRectF(0, 0, w, 50)).width(), 0) << w;
  for (int w = 1; w < 49; w += 2)
    EXPECT_EQ(KorvalumeStyleKit::timerLowerHandRect(QRectF(0, 0, w, 50)).width(), 1) << w;
  EXPECT_EQ(KorvalumeStyleKit::timerLowerHandRect(QRectF(0, 0, 49, 50)).width(), 1);
  EXPECT_EQ(KorvalumeStyleKit::timerLowerHandRect(QRectF(0, 0, 50, 50)).width(), 1);
  EXPECT_EQ(KorvalumeStyleKit::timerLowerHandRect(QRectF(0, 0, 100, 50)).width(), 2);
  // Drawn at 100 points: x 49 to 51, y 16 to 45 (floor(44.5 + 0.5)).
  const QImage img = render(&KorvalumeStyleKit::drawTimerWithFrame, 100, 100, false);
  EXPECT_EQ(at(img, 50, 30).rgba(), kLightGrey);
  EXPECT_EQ(at(img, 48.5, 30).alpha(), 0);
  EXPECT_EQ(at(img, 51.5, 30).alpha(), 0);
}

TEST(CaptureFunctionIcons, GreyOrBlueAndOpenWhereContoursRunOpposite) {
  struct Probe {
    qreal x, y;
    bool painted;
  };
  struct Icon {
    const char* name;
    Draw draw;
    std::vector<Probe> probes;
  };
  const Icon icons[] = {
      {"focus stack", &KorvalumeStyleKit::drawFocusStackWithFrame,
       {{0.365, 0.645, false}, {0.365, 0.87, true}, {0.59, 0.645, true}, {0.7, 0.3, true}, {0.8, 0.8, false}}},
      {"timer", &KorvalumeStyleKit::drawTimerWithFrame,
       {{0.35, 0.3, false}, {0.5, 0.1, true}, {0.5, 0.89, true}, {0.6, 0.535, true}, {0.41, 0.533, true}}},
      {"HDR", &KorvalumeStyleKit::drawHDRWithFrame,
       {{0.285, 0.63, false}, {0.3, 0.75, false}, {0.12, 0.7, true}, {0.64, 0.3, true}, {0.25, 0.5, true}}},
  };
  for (const Icon& icon : icons) {
    for (bool highlighted : {false, true}) {
      const QImage img = render(icon.draw, 200, 200, highlighted);
      for (const Probe& p : icon.probes) {
        const QColor c = at(img, p.x * 200, p.y * 200);
        if (!p.painted)
          EXPECT_EQ(c.alpha(), 0) << icon.name << " " << p.x << "," << p.y;
        else if (highlighted)
          EXPECT_TRUE(isHighlightBlue(c)) << icon.name << " " << p.x << "," << p.y;
        else
          EXPECT_EQ(c.rgba(), kLightGrey) << icon.name << " " << p.x << "," << p.y;
      }
    }
  }
}

TEST(CaptureFunctionIcons, HistogramAndMoreUnderADropShadow) {
  for (bool highlighted : {false, true}) {
    const QImage hist = render(&KorvalumeStyleKit::drawHistogramWithFrame, 200, 200, highlighted, 4);
    // Vertical axis x 10..20: translucent white or blue over its own shadow, which shows
    // alone one point right of it.
    const QColor axis = at(hist, 15, 100);
    EXPECT_GT(axis.alpha(), 200);
    if (highlighted) {
      EXPECT_EQ(axis.red(), 0);
      EXPECT_GT(axis.blue(), 150);
    } else {
      EXPECT_EQ(axis.red(), axis.blue());
      EXPECT_GT(axis.red(), 150);
    }
    const QColor shade = at(hist, 20.5, 100);
    EXPECT_GT(shade.alpha(), 60);
    EXPECT_LT(shade.red(), 40);
    // The hump is outlined in charcoal along its open path: the bottom edge is stroked, the
    // short closing edge at x 23 (y 23 to 25) is not.
    const QColor bottom = at(hist, 100, 22.9);
    EXPECT_LT(std::abs(bottom.red() - 50), 15);
    EXPECT_EQ(at(hist, 22.7, 24.2).alpha(), 0);
    EXPECT_LT(at(hist, 55.0, 73.0).red(), 120);  // the rising curve's outline near (0.275, 0.365)
  }
  for (bool highlighted : {false, true}) {
    const QImage more = render(&KorvalumeStyleKit::drawMoreWithFrame, 100, 100, highlighted, 2);
    for (qreal cx : {17.0, 50.0, 83.0}) {
      const QColor dot = at(more, cx, 50);
      EXPECT_GT(dot.alpha(), 200) << cx;
      if (highlighted) {
        EXPECT_EQ(dot.red(), 0) << cx;
        EXPECT_GT(dot.blue(), 150) << cx;
      } else {
        EXPECT_EQ(dot.red(), dot.blue()) << cx;
        EXPECT_GT(dot.red(), 150) << cx;
      }
      // The drop shadow shows below-right of the dot's bottom (y 38) and not above its top.
      EXPECT_GT(at(more, cx + 1, 37.3).alpha(), 40) << cx;
      EXPECT_EQ(at(more, cx - 1, 62.8).alpha(), 0) << cx;
    }
    EXPECT_EQ(at(more, 33.5, 50).alpha(), 0);  // the gap between the left and middle dots
  }
}

TEST(CaptureFunctionIcons, BrightnessGlowsOnlyWhenHighlighted) {
  const qreal s = 100;
  for (bool highlighted : {false, true}) {
    const QImage img = render(&KorvalumeStyleKit::drawBrightnessWithFrame, s, s, highlighted, 2);
    EXPECT_TRUE(sktest::isWhite(at(img, 60, 50)));                // the solid right half
    EXPECT_TRUE(sktest::isWhite(at(img, 32.5, 50)));              // the ring's left side
    EXPECT_TRUE(sktest::isWhite(at(img, 50, 99.8)));              // the up ray reaches the top
    EXPECT_TRUE(sktest::isWhite(at(img, 0.2, 50)));               // the left ray the left edge
    const QColor hollow = at(img, 38, 50), gap = at(img, 62, 83);  // inside the ring; between rays
    if (highlighted) {
      EXPECT_GT(hollow.alpha(), 20);
      EXPECT_GT(gap.alpha(), 20);
      EXPECT_FALSE(sktest::isWhite(hollow));
    } else {
      EXPECT_EQ(hollow.alpha(), 0);
      EXPECT_EQ(gap.alpha(), 0);
    }
  }
}

TEST(CaptureFunctionIcons, NoShadowOutlivesACall) {
  for (Draw draw : {Draw(&KorvalumeStyleKit::drawFocusStackWithFrame), Draw(&KorvalumeStyleKit::drawTimerWithFrame),
                    Draw(&KorvalumeStyleKit::drawHDRWithFrame), Draw(&KorvalumeStyleKit::drawHistogramWithFrame),
                    Draw(&KorvalumeStyleKit::drawBrightnessWithFrame), Draw(&KorvalumeStyleKit::drawMoreWithFrame)}) {
    for (bool highlighted : {false, true}) {
      const QImage img = sktest::draw(100, 50, 2, [&](GraphicsContext& ctx) {
        draw(ctx, QRectF(0, 0, 50, 50), highlighted);
        EXPECT_FALSE(ctx.shadow().has_value());
        ctx.setFillColor(Qt::white);
        ctx.fillRect(QRectF(70, 20, 10, 10));
      });
      EXPECT_EQ(at(img, 68.5, 25).alpha(), 0);
      EXPECT_EQ(at(img, 81, 19).alpha(), 0);
    }
  }
}

TEST(CaptureFunctionIcons, StretchedFrameScalesShapesButNotLineWidths) {
  // 200 x 100: the lens ring becomes an ellipse 0.04 of each side thick.
  const QImage img = render(&KorvalumeStyleKit::drawFocusStackWithFrame, 200, 100, false, 2);
  EXPECT_EQ(at(img, 0.365 * 200, 0.87 * 100).rgba(), kLightGrey);   // ring, top
  EXPECT_EQ(at(img, 0.59 * 200, 0.645 * 100).rgba(), kLightGrey);   // ring, right
  EXPECT_EQ(at(img, 0.365 * 200, 0.645 * 100).alpha(), 0);          // lens centre
  EXPECT_EQ(at(img, 0.55 * 200, 0.645 * 100).alpha(), 0);           // inside, 0.02 x 200 from the ring
}
