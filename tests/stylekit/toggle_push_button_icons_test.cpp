// The toggle push buttons: snapped discs, the ring's band, state colours and glow, the eye's
// holes, the video button's optional ring and the AF label under its veil.
#include <gtest/gtest.h>

#include <cmath>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
constexpr qreal kLive = 0.07143, kVideo = 0.075;
const QRgb kWhite = qRgba(255, 255, 255, 255), kOffGrey = qRgba(200, 200, 200, 255);
// Veil grey (0.502 at 0.502) alone on a transparent ground.
const QColor kVeil(128, 128, 128, 128);

bool near(QColor a, QColor b, int tol = 2) {
  return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
         std::abs(a.blue() - b.blue()) <= tol && std::abs(a.alpha() - b.alpha()) <= tol;
}
// A point at `radius` (fraction of the frame) from the centre of a square frame, at `deg`.
QPointF polar(qreal side, qreal radius, qreal deg) {
  return {side * (0.5 + radius * std::cos(deg * M_PI / 180)), side * (0.5 + radius * std::sin(deg * M_PI / 180))};
}
}  // namespace

TEST(TogglePushButtons, DiscRectsAreSnapped) {
  struct Case {
    QRectF frame;
    qreal d;
    QRectF disc;
  };
  for (const Case& c : {Case{{0, 0, 20, 20}, kLive, {1, 1, 18, 18}}, Case{{0, 0, 20, 20}, kVideo, {2, 2, 17, 17}},
                        Case{{0, 0, 100, 100}, kLive, {7, 7, 86, 86}}, Case{{0, 0, 100, 100}, kVideo, {8, 8, 85, 85}},
                        Case{{0, 0, 30, 30}, kLive, {2, 2, 26, 26}}, Case{{0, 0, 30, 30}, kVideo, {2, 2, 26, 26}},
                        Case{{0, 0, 28, 28}, kLive, {2, 2, 24, 24}}, Case{{0, 0, 14, 14}, kLive, {1, 1, 12, 12}},
                        Case{{10.3, 20.7, 30, 30}, kLive, {12.3, 22.7, 26, 26}}}) {
    const QRectF r = KorvalumeStyleKit::togglePushButtonDiscRect(c.frame, c.d);
    EXPECT_NEAR(r.x(), c.disc.x(), 1e-9);
    EXPECT_NEAR(r.y(), c.disc.y(), 1e-9);
    EXPECT_EQ(r.size(), c.disc.size()) << c.frame.width() << " " << c.d;
  }
  // Seen in pixels where no ring covers the disc's edge: a disabled video button without
  // its outline, in 20 points, is veiled over (2, 2)..(19, 19) exactly.
  const QImage img = KorvalumeStyleKit::imageOfVideoTogglePushButtonWithSize(QSizeF(20, 20), false, false, false).render(4);
  const sktest::Extent disc = sktest::extent(img, [](QColor c) { return c.alpha() > 64; });
  EXPECT_NEAR(disc.left, 2, 0.26);
  EXPECT_NEAR(disc.right, 19, 0.26);
  EXPECT_NEAR(disc.bottom, 2, 0.26);
  EXPECT_NEAR(disc.top, 19, 0.26);
}

TEST(TogglePushButtons, RingIsTheBandBetweenOppositeCircles) {
  const BezierPath ring = KorvalumeStyleKit::togglePushButtonRingPath(QRectF(0, 0, 100, 100));
  const std::vector<qreal> areas = ring.subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[0], 0);  // inner, counter-clockwise
  EXPECT_LT(areas[1], 0);  // outer, clockwise
  EXPECT_NEAR(ring.bounds().left(), 4.286, 0.01);
  EXPECT_NEAR(ring.bounds().right(), 95.714, 0.01);
  // Enabled and off: no disc, no shadow; the band is off grey, inside and outside are clear.
  const QImage img = KorvalumeStyleKit::imageOfLiveViewTogglePushButtonWithSize(QSizeF(100, 100), true, false).render(2);
  for (qreal deg : {45.0, 135.0, 200.0, 290.0}) {
    const QPointF band = polar(100, 0.4393, deg), in = polar(100, 0.405, deg), out = polar(100, 0.475, deg);
    EXPECT_EQ(at(img, band.x(), band.y()).rgba(), kOffGrey) << deg;
    EXPECT_EQ(at(img, in.x(), in.y()).alpha(), 0) << deg;
    EXPECT_EQ(at(img, out.x(), out.y()).alpha(), 0) << deg;
  }
}

TEST(TogglePushButtons, StateTableForDiscGlyphAndGlow) {
  using Image = std::function<StyleKitImage(bool enabled, bool on)>;
  const qreal s = 100;
  struct Icon {
    const char* name;
    Image image;
    QPointF glyph;  // a point of the glyph
  };
  const Icon icons[] = {
      {"live view", [&](bool e, bool o) { return KorvalumeStyleKit::imageOfLiveViewTogglePushButtonWithSize(QSizeF(s, s), e, o); },
       {50, 0.335 * s}},  // the band between the lids, below the iris
      {"video", [&](bool e, bool o) { return KorvalumeStyleKit::imageOfVideoTogglePushButtonWithSize(QSizeF(s, s), e, o, true); },
       {0.38 * s, 0.5 * s}},  // the body
  };
  const QPointF discOnly = polar(s, 0.37, 230);  // inside the disc, clear of glyph and ring
  const QPointF nearRing = polar(s, 0.49, 30);   // just outside the ring
  for (const Icon& icon : icons) {
    for (bool enabled : {true, false}) {
      for (bool on : {true, false}) {
        const QImage img = icon.image(enabled, on).render(2);
        const QColor disc = at(img, discOnly.x(), discOnly.y());
        // The disc changes no pixel while enabled; the glow reaches it from the glyph while on,
        // so only the disabled-and-off disc shows the plain veil.
        if (enabled && !on) {
          EXPECT_EQ(disc.alpha(), 0) << icon.name;
        } else if (!enabled && !on) {
          EXPECT_TRUE(near(disc, kVeil)) << icon.name;
        } else if (!enabled && on) {
          EXPECT_GT(disc.alpha(), kVeil.alpha()) << icon.name;
        }
        // The glyph keeps its full colour over the veil.
        EXPECT_EQ(at(img, icon.glyph.x(), icon.glyph.y()).rgba(), on ? kWhite : kOffGrey) << icon.name << enabled << on;
        // The glow shows outside the ring only while on; off, no shadow shows anywhere.
        const QColor halo = at(img, nearRing.x(), nearRing.y());
        if (on) {
          EXPECT_GT(halo.alpha(), 20) << icon.name;
          EXPECT_GT(halo.red(), 200) << icon.name;
        } else {
          EXPECT_EQ(halo.alpha(), 0) << icon.name;
        }
      }
    }
  }
}

TEST(TogglePushButtons, EyeLeavesPupilAndGapOpen) {
  const qreal s = 200;
  const QImage img = KorvalumeStyleKit::imageOfLiveViewTogglePushButtonWithSize(QSizeF(s, s), true, false).render(1);
  struct Probe {
    qreal x, y;
    bool painted;
  };
  for (const Probe& p : {Probe{0.5, 0.49783, false},   // pupil
                         Probe{0.555, 0.49783, true},  // iris
                         Probe{0.5, 0.6, false},       // between iris and inner lid
                         Probe{0.5, 0.665, true},      // between the lids, above
                         Probe{0.2, 0.5, true},        // between the lids, left corner
                         Probe{0.5, 0.75, false}}) {   // above the outer lid
    EXPECT_EQ(at(img, p.x * s, p.y * s).alpha() == 255, p.painted) << p.x << " " << p.y;
    EXPECT_EQ(at(img, p.x * s, p.y * s).alpha() == 0, !p.painted) << p.x << " " << p.y;
  }
}

TEST(TogglePushButtons, VideoRingOnlyWithOutlineAndCameraShapesApart) {
  const qreal s = 100;
  const QPointF band = polar(s, 0.4393, 60);
  for (bool outline : {true, false}) {
    const QImage img = KorvalumeStyleKit::imageOfVideoTogglePushButtonWithSize(QSizeF(s, s), true, false, outline).render(2);
    EXPECT_EQ(at(img, band.x(), band.y()).rgba(), outline ? kOffGrey : qRgba(0, 0, 0, 0));
    EXPECT_EQ(at(img, 0.7 * s, 0.5 * s).rgba(), kOffGrey);  // triangle
    EXPECT_EQ(at(img, 0.3 * s, 0.7 * s).rgba(), kOffGrey);  // body
    EXPECT_EQ(at(img, 0.57 * s, 0.5 * s).alpha(), 0);       // between body and triangle
    EXPECT_EQ(at(img, 0.7 * s, 0.65 * s).alpha(), 0);       // above the triangle
    // The body's corners are rounded: its very corner is clear, a point inside is not.
    EXPECT_EQ(at(img, 0.201 * s, 0.7275 * s).alpha(), 0);
    EXPECT_EQ(at(img, 0.215 * s, 0.71 * s).rgba(), kOffGrey);
  }
}

TEST(AFTogglePushButton, LabelFillsItsBoxesAndKeepsTheCounterOpen) {
  const qreal s = 200;
  struct Case {
    bool afOn;
    qreal left, right, bottom, top;
  };
  for (const Case& c : {Case{true, 0.229, 0.777, 0.327, 0.671}, Case{false, 0.171, 0.843, 0.329, 0.671}}) {
    const QImage img = KorvalumeStyleKit::imageOfAFTogglePushButtonWithSize(QSizeF(s, s), true, false, c.afOn).render(1);
    // Only the label lies within radius 0.4 of the centre.
    const sktest::Extent label = sktest::extent(img, [](QColor px) { return px.alpha() > 127; });
    QImage inner = img.copy();
    inner.fill(Qt::transparent);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (std::hypot(x + 0.5 - s / 2, y + 0.5 - s / 2) < 0.4 * s) inner.setPixel(x, y, img.pixel(x, y));
    const sktest::Extent e = sktest::extent(inner, [](QColor px) { return px.alpha() > 127; });
    EXPECT_NEAR(e.left, c.left * s, 1.0) << c.afOn;
    EXPECT_NEAR(e.right, c.right * s, 1.0) << c.afOn;
    EXPECT_NEAR(e.bottom, c.bottom * s, 1.0) << c.afOn;
    EXPECT_NEAR(e.top, c.top * s, 1.0) << c.afOn;
    EXPECT_FALSE(label.empty());
  }
  const QImage af = KorvalumeStyleKit::imageOfAFTogglePushButtonWithSize(QSizeF(s, s), true, false, true).render(1);
  EXPECT_EQ(at(af, 0.381 * s, 0.51 * s).alpha(), 0);        // the A's counter
  EXPECT_EQ(at(af, 0.381 * s, 0.43 * s).rgba(), kOffGrey);  // its crossbar
  EXPECT_EQ(at(af, 0.62 * s, 0.5 * s).rgba(), kOffGrey);    // the F's stem
  EXPECT_EQ(at(af, 0.72 * s, 0.55 * s).alpha(), 0);         // between the F's bars
}

TEST(AFTogglePushButton, VeilDimsTheLabelButNotTheRing) {
  const qreal s = 100;
  const QPointF stem(0.62 * s, 0.5 * s), band = polar(s, 0.4393, 100);
  for (bool on : {true, false}) {
    const QImage enabled = KorvalumeStyleKit::imageOfAFTogglePushButtonWithSize(QSizeF(s, s), true, on, true).render(2);
    const QImage disabled = KorvalumeStyleKit::imageOfAFTogglePushButtonWithSize(QSizeF(s, s), false, on, true).render(2);
    const QColor bright = at(enabled, stem.x(), stem.y()), dimmed = at(disabled, stem.x(), stem.y());
    EXPECT_EQ(bright.rgba(), on ? kWhite : kOffGrey);
    EXPECT_LT(dimmed.red(), bright.red() - 30) << on;  // the veil grey over the label
    EXPECT_EQ(dimmed.alpha(), 255);
    EXPECT_EQ(at(disabled, band.x(), band.y()).rgba(), on ? kWhite : kOffGrey);
  }
  // The live-view glyph, painted over its disc, keeps its colour when disabled.
  const QImage eye = KorvalumeStyleKit::imageOfLiveViewTogglePushButtonWithSize(QSizeF(s, s), false, true).render(2);
  EXPECT_EQ(at(eye, 50, 0.335 * s).rgba(), kWhite);
}

TEST(TogglePushButtons, StretchedAndMovedFrames) {
  // A 120 x 60 frame at (10.3, 5.6): the disc's edges are whole points from the origin,
  // the ring follows the unrounded frame.
  const QRectF frame(10.3, 5.6, 120, 60);
  EXPECT_EQ(KorvalumeStyleKit::togglePushButtonDiscRect(frame, kLive), QRectF(10.3 + 9, 5.6 + 4, 102, 52));
  const QImage img = sktest::draw(140, 70, 2, [&](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawVideoTogglePushButtonWithFrame(ctx, frame, false, false, false);
  });
  // The veil disc: left edge at 10.3 + floor(0.075 * 120 + 0.5) = 19.3, top at 5.6 + 56 = 61.6.
  const sktest::Extent disc = sktest::extent(img, [](QColor c) { return c.alpha() > 64; });
  EXPECT_NEAR(disc.left, 19.3, 0.5);
  EXPECT_NEAR(disc.right, 10.3 + 111, 0.5);
  EXPECT_NEAR(disc.top, 61.6, 0.5);
}
