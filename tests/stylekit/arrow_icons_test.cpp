// Arrows: button colours by state, snapped bars and shafts, the white arrows' halo, and the
// line arrows' open shapes.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using StateDraw = void (*)(GraphicsContext&, QRectF, bool, bool);
using PlainDraw = void (*)(GraphicsContext&, QRectF);
const QRgb kLightGrey = qRgba(200, 200, 200, 255), kDarkGrey = qRgba(100, 100, 100, 255);
}  // namespace

TEST(ArrowIcons, ButtonColourByStateForEveryStatefulArrow) {
  struct Icon {
    const char* name;
    StateDraw draw;
    QPointF inside;  // a fraction inside a single element
  };
  const Icon icons[] = {
      {"focus up", &KorvalumeStyleKit::drawFocusArrowUpWithFrame, {0.5, 0.4}},
      {"focus down", &KorvalumeStyleKit::drawFocusArrowDownWithFrame, {0.5, 0.6}},
      {"left", &KorvalumeStyleKit::drawArrowLeftWithFrame, {0.6, 0.5}},  // open path, closed by the fill
      {"right", &KorvalumeStyleKit::drawArrowRightWithFrame, {0.4, 0.5}},
      {"out", &KorvalumeStyleKit::drawArrowsOutWithFrame, {0.1, 0.5}},
      {"in", &KorvalumeStyleKit::drawArrowsInWithFrame, {0.05, 0.4}},
  };
  struct State {
    bool highlighted, enabled;
    QRgb colour;  // on a transparent ground
  };
  // Highlight blue (0, 0.353, 0.863) at alpha 0.784, premultiplied and read back.
  const QColor blue = KorvalumeStyleKit::arrowButtonColor(true, true);
  EXPECT_NEAR(blue.alphaF(), 0.784, 1e-4);
  const State states[] = {{true, true, 0}, {true, false, 0}, {false, true, kLightGrey}, {false, false, kDarkGrey}};
  for (const Icon& icon : icons) {
    for (const State& st : states) {
      const QImage img = sktest::draw(50, 50, 1, [&](GraphicsContext& ctx) {
        icon.draw(ctx, QRectF(0, 0, 50, 50), st.highlighted, st.enabled);
      });
      const QColor px = at(img, icon.inside.x() * 50, icon.inside.y() * 50);
      if (st.highlighted) {
        // Highlighted wins over disabled, and the ground shows faintly through it.
        EXPECT_EQ(px.alpha(), 200) << icon.name << st.enabled;
        EXPECT_EQ(px.red(), 0) << icon.name;
        EXPECT_NEAR(px.green(), 90, 1) << icon.name;
        EXPECT_NEAR(px.blue(), 220, 1) << icon.name;
      } else {
        EXPECT_EQ(px.rgba(), st.colour) << icon.name << st.enabled;
      }
    }
  }
}

TEST(ArrowIcons, BarArrowsFillTheirTrianglesAndSnappedBoxes) {
  // Each icon against a drawing of its two heads and its boxes as listed, in the same
  // opaque colour: pixel for pixel equal.
  struct Case {
    StateDraw draw;
    qreal side;
    std::array<QPointF, 3> head1, head2;
    std::array<QRectF, 4> boxes;  // (x, y, width, height), y up
  };
  const std::array<QPointF, 3> outL{{{0.04, 0.5}, {0.26, 0.69}, {0.26, 0.31}}}, outR{{{0.96, 0.5}, {0.74, 0.69}, {0.74, 0.31}}};
  const std::array<QPointF, 3> inR{{{0.54, 0.5}, {0.76, 0.69}, {0.76, 0.31}}}, inL{{{0.46, 0.5}, {0.24, 0.69}, {0.24, 0.31}}};
  const Case cases[] = {
      {&KorvalumeStyleKit::drawArrowsOutWithFrame, 30, outL, outR, {{{16, 14, 7, 2}, {7, 14, 7, 2}, {12, 11, 2, 8}, {16, 11, 2, 8}}}},
      {&KorvalumeStyleKit::drawArrowsOutWithFrame, 24, outL, outR, {{{13, 11, 5, 2}, {6, 11, 5, 2}, {10, 9, 1, 6}, {13, 9, 1, 6}}}},
      {&KorvalumeStyleKit::drawArrowsInWithFrame, 30, inR, inL, {{{22, 14, 7, 2}, {1, 14, 7, 2}, {1, 11, 1, 8}, {28, 11, 1, 8}}}},
      {&KorvalumeStyleKit::drawArrowsInWithFrame, 24, inR, inL, {{{18, 11, 5, 2}, {1, 11, 5, 2}, {0, 9, 2, 6}, {22, 9, 2, 6}}}},
  };
  for (const Case& c : cases) {
    const QRectF frame(0, 0, c.side, c.side);
    for (qreal dpr : {1.0, 2.0}) {
      const QImage icon = sktest::draw(c.side, c.side, dpr, [&](GraphicsContext& ctx) { c.draw(ctx, frame, false, true); });
      const QImage want = sktest::draw(c.side, c.side, dpr, [&](GraphicsContext& ctx) {
        ctx.setFillColor(QColor(kLightGrey));
        for (const auto& head : {c.head1, c.head2}) {
          BezierPath t;
          t.moveToPoint(head[0] * c.side);
          t.lineToPoint(head[1] * c.side);
          t.lineToPoint(head[2] * c.side);
          t.closePath();
          ctx.fill(t);
        }
        for (const QRectF& r : c.boxes) ctx.fill(BezierPath::bezierPathWithRect(r));
      });
      EXPECT_EQ(icon, want) << c.side << " " << dpr;
    }
  }
}

TEST(ArrowIcons, WhiteArrowsCastAHaloThatEndsWithTheCall) {
  const PlainDraw draws[] = {&KorvalumeStyleKit::drawWhiteArrowUpWithFrame, &KorvalumeStyleKit::drawWhiteArrowDownWithFrame,
                             &KorvalumeStyleKit::drawWhiteArrowLeftWithFrame, &KorvalumeStyleKit::drawWhiteArrowRightWithFrame};
  for (PlainDraw draw : draws) {
    const QImage img = sktest::draw(120, 60, 2, [&](GraphicsContext& ctx) {
      draw(ctx, QRectF(0, 0, 60, 60));
      EXPECT_FALSE(ctx.shadow().has_value());
      ctx.setFillColor(Qt::white);
      ctx.fillRect(QRectF(80, 20, 20, 20));  // a later fill
    });
    EXPECT_TRUE(sktest::isWhite(at(img, 30, 30)));
    // A dark halo round the triangle.
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width() / 2; ++x) {
        const QColor c = img.pixelColor(x, y);
        dark += c.alpha() > 0 && c.red() < 100;
      }
    EXPECT_GT(dark, 400);
    // No halo around the later square.
    EXPECT_EQ(at(img, 78, 30).alpha(), 0);
    EXPECT_EQ(at(img, 90, 41).alpha(), 0);
  }
}

TEST(ArrowIcons, TriangleSpansAsWritten) {
  struct Case {
    PlainDraw plain;
    StateDraw state;
    qreal left, right, bottom, top;
  };
  const qreal s = 200;
  const Case cases[] = {
      {nullptr, &KorvalumeStyleKit::drawFocusArrowUpWithFrame, 0.11029, 0.88971, 0.165, 0.84},
      {&KorvalumeStyleKit::drawWhiteArrowUpWithFrame, nullptr, 0.10163, 0.89837, 0.165, 0.84},
      {nullptr, &KorvalumeStyleKit::drawFocusArrowDownWithFrame, 0.11, 0.89, 0.17, 0.84},
      {nullptr, &KorvalumeStyleKit::drawArrowLeftWithFrame, 0.16, 0.84, 0.11, 0.89},
      {&KorvalumeStyleKit::drawWhiteArrowRightWithFrame, nullptr, 0.16, 0.84, 0.11, 0.89},
  };
  for (const Case& c : cases) {
    const QImage img = sktest::draw(s, s, 2, [&](GraphicsContext& ctx) {
      if (c.plain)
        c.plain(ctx, QRectF(0, 0, s, s));
      else
        c.state(ctx, QRectF(0, 0, s, s), false, true);
    });
    // The light pixels (grey or white), not the halo.
    const sktest::Extent e = sktest::extent(img, [](QColor px) { return px.alpha() > 127 && px.red() > 150; });
    EXPECT_NEAR(e.left, c.left * s, 0.6) << c.left;
    EXPECT_NEAR(e.right, c.right * s, 0.6) << c.left;
    EXPECT_NEAR(e.bottom, c.bottom * s, 0.6) << c.left;
    EXPECT_NEAR(e.top, c.top * s, 0.6) << c.left;
  }
}

TEST(ArrowIcons, LineArrowsAreThinOpenShapes) {
  const qreal w = 150, h = 150;
  const QImage out = KorvalumeStyleKit::imageOfArrowsPointingOutWithSize(QSizeF(w, h)).render(2);
  const QImage chevron = KorvalumeStyleKit::imageOfDismissDownWithSize(QSizeF(w, h)).render(2);
  struct Probe {
    const QImage* img;
    qreal x, y;
    bool painted;
  };
  const Probe probes[] = {
      {&out, 0.5, 0.503, true},    // the shaft
      {&out, 0.5, 0.46, false},    // below it
      {&out, 0.5, 0.545, false},   // above it
      {&out, 0.93, 0.503, true},   // near the right tip
      {&out, 0.06, 0.503, true},   // near the left tip
      {&out, 0.76, 0.35, true},    // the lower right arm
      {&out, 0.76, 0.44, false},   // inside the open right head
      {&out, 0.2, 0.56, false},    // inside the open left head
      {&chevron, 0.5, 0.28, true},     // the V's point
      {&chevron, 0.5, 0.35, false},    // above its inner corner
      {&chevron, 0.5, 0.24, false},    // below its point
      {&chevron, 0.3, 0.5, true},      // the left arm
      {&chevron, 0.9, 0.8, false},     // beyond the arm's cut end
  };
  for (const Probe& p : probes) {
    const QColor c = at(*p.img, p.x * w, p.y * h);
    if (p.painted)
      EXPECT_EQ(c.rgba(), kLightGrey) << p.x << " " << p.y;
    else
      EXPECT_EQ(c.alpha(), 0) << p.x << " " << p.y;
  }
}
