// Metering-mode icons of the property kit: snapped dots and block, rings with their holes and
// openings, shadows, and the image methods.
#include "stylekit/prop_metering_icons.h"

#include <gtest/gtest.h>

#include "platform/graphics/snapping.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_icon_test_support.h"

using K = KorvalumePropertiesMeteringIcons;
using propicon::Probe;
using propicon::ShadowDraw;

namespace {

struct Icon {
  const char* name;
  ShadowDraw draw;
  StyleKitImage (*image)(QSizeF, double, double, bool, double);
};

const Icon kIcons[] = {
    {"Evaluative", &K::drawMeteringMode_EvaluativeWithFrame, &K::imageOfMeteringMode_EvaluativeWithSize},
    {"CenterWeighted", &K::drawMeteringMode_CenterWeightedWithFrame, &K::imageOfMeteringMode_CenterWeightedWithSize},
    {"CenterWeighted_NIKON", &K::drawMeteringMode_CenterWeighted_NIKONWithFrame,
     &K::imageOfMeteringMode_CenterWeighted_NIKONWithSize},
    {"HighlightWeighted", &K::drawMeteringMode_HighlightWeightedWithFrame,
     &K::imageOfMeteringMode_HighlightWeightedWithSize},
    {"MultiPattern", &K::drawMeteringMode_MultiPatternWithFrame, &K::imageOfMeteringMode_MultiPatternWithSize},
    {"Partial", &K::drawMeteringMode_PartialWithFrame, &K::imageOfMeteringMode_PartialWithSize},
    {"Spot", &K::drawMeteringMode_SpotWithFrame, &K::imageOfMeteringMode_SpotWithSize},
    {"Spot_NIKON", &K::drawMeteringMode_Spot_NIKONWithFrame, &K::imageOfMeteringMode_Spot_NIKONWithSize},
    {"Sony SpotLarge", &K::drawSony_MeteringMode_SpotLargeWithFrame, &K::imageOfSony_MeteringMode_SpotLargeWithSize},
    {"Sony EntireScreenAverage", &K::drawSony_MeteringMode_EntireScreenAverageWithFrame,
     &K::imageOfSony_MeteringMode_EntireScreenAverageWithSize},
    {"Sony SpotStandard", &K::drawSony_MeteringMode_SpotStandardWithFrame,
     &K::imageOfSony_MeteringMode_SpotStandardWithSize},
    {"Sony Highlight", &K::drawSony_MeteringMode_HighlightWithFrame, &K::imageOfSony_MeteringMode_HighlightWithSize},
};

}  // namespace

TEST(PropMeteringIcons, EveryIconStaysInItsFrameAndShowsAShadowOnlyWhenAsked) {
  for (const Icon& icon : kIcons) propicon::expectInFrameWithShadowOnlyWhenAsked(icon.draw, icon.name);
}

TEST(PropMeteringIcons, DotsAndBlockSnapToWholePointsFromTheFrameOrigin) {
  struct Case {
    const char* what;
    ShadowDraw draw;
    QRectF frame;
    QRectF expected;  // y up: x, bottom, width, height
  };
  const Case cases[] = {
      {"evaluative 20", &K::drawMeteringMode_EvaluativeWithFrame, {0, 0, 20, 20}, {7, 7, 6, 6}},
      {"nikon centre 20", &K::drawMeteringMode_CenterWeighted_NIKONWithFrame, {0, 0, 20, 20}, {7, 7, 6, 6}},
      {"highlight-weighted 20", &K::drawMeteringMode_HighlightWeightedWithFrame, {0, 0, 20, 20}, {6, 8, 5, 5}},
      {"evaluative 16", &K::drawMeteringMode_EvaluativeWithFrame, {0, 0, 16, 16}, {6, 6, 4, 4}},
      {"highlight-weighted 16", &K::drawMeteringMode_HighlightWeightedWithFrame, {0, 0, 16, 16}, {4, 6, 5, 4}},
      {"fractional origin", &K::drawMeteringMode_EvaluativeWithFrame, {0.5, 0.25, 20, 20}, {7.5, 7.25, 6, 6}},
      {"stretched", &K::drawMeteringMode_EvaluativeWithFrame, {10, 20, 200, 100}, {84, 57, 54, 27}},
      {"multi-pattern 20", &K::drawMeteringMode_MultiPatternWithFrame, {0, 0, 20, 20}, {7, 8, 6, 5}},
      {"spot 20", &K::drawMeteringMode_SpotWithFrame, {0, 0, 20, 20}, {7, 7, 6, 6}},
      {"multi-pattern 100", &K::drawMeteringMode_MultiPatternWithFrame, {0, 0, 100, 100}, {37, 38, 27, 27}},
      {"spot 100", &K::drawMeteringMode_SpotWithFrame, {0, 0, 100, 100}, {37, 37, 27, 27}},
      {"sony spot standard 20", &K::drawSony_MeteringMode_SpotStandardWithFrame, {0, 0, 20, 20}, {7, 7, 6, 6}},
      {"sony spot large 20", &K::drawSony_MeteringMode_SpotLargeWithFrame, {0, 0, 20, 20}, {7, 7, 6, 6}},
      {"sony highlight 20", &K::drawSony_MeteringMode_HighlightWithFrame, {0, 0, 20, 20}, {7, 8, 6, 5}},
      {"sony block 20", &K::drawSony_MeteringMode_EntireScreenAverageWithFrame, {0, 0, 20, 20}, {4, 4, 12, 13}},
      {"sony spot standard 35", &K::drawSony_MeteringMode_SpotStandardWithFrame, {0, 0, 35, 35}, {13, 13, 9, 9}},
      {"sony spot large 35", &K::drawSony_MeteringMode_SpotLargeWithFrame, {0, 0, 35, 35}, {13, 13, 9, 9}},
      {"sony highlight 35", &K::drawSony_MeteringMode_HighlightWithFrame, {0, 0, 35, 35}, {13, 13, 9, 10}},
      {"sony block 35", &K::drawSony_MeteringMode_EntireScreenAverageWithFrame, {0, 0, 35, 35}, {6, 7, 23, 22}},
      {"sony spot large 64", &K::drawSony_MeteringMode_SpotLargeWithFrame, {0, 0, 64, 64}, {23, 23, 18, 18}},
      {"sony spot standard 64", &K::drawSony_MeteringMode_SpotStandardWithFrame, {0, 0, 64, 64}, {24, 24, 17, 17}},
  };
  for (const Case& c : cases) {
    const QSizeF canvas(c.frame.right() + 1, c.frame.y() + c.frame.height() + 1);
    const QImage img = propicon::paint(c.draw, c.frame, canvas, 4);
    // Across and up through the middle of the dot or block, a little past its box: nothing
    // else is painted there.
    const QRectF& x = c.expected;
    const QPointF mid = x.center();
    const sktest::Extent across =
        propicon::extentIn(img, QRectF(x.left() - 0.6, mid.y() - 0.5, x.width() + 1.2, 1), propicon::opaque);
    const sktest::Extent up =
        propicon::extentIn(img, QRectF(mid.x() - 0.5, x.y() - 0.6, 1, x.height() + 1.2), propicon::opaque);
    EXPECT_DOUBLE_EQ(across.left, x.left()) << c.what;
    EXPECT_DOUBLE_EQ(across.right, x.right()) << c.what;
    EXPECT_DOUBLE_EQ(up.bottom, x.y()) << c.what;
    EXPECT_DOUBLE_EQ(up.top, x.y() + x.height()) << c.what;
  }
}

TEST(PropMeteringIcons, RingsLeaveTheirInsidesAndOpeningsUnpainted) {
  propicon::expectProbes(&K::drawMeteringMode_CenterWeightedWithFrame, 100,
                         {{0.5, 0.5, false},
                          {0.3, 0.7, false},
                          {0.5, 0.89, false},
                          {0.5, 0.115, false},
                          {0.3, 0.89, true},
                          {0.11, 0.5, true}},
                         "centre-weighted");
  // The opening stays open at the panel's size.
  propicon::expectProbes(&K::drawMeteringMode_CenterWeightedWithFrame, 20,
                         {{0.5, 0.89, false}, {0.5, 0.115, false}, {0.5, 0.5, false}}, "centre-weighted 20");
  propicon::expectProbes(
      &K::drawMeteringMode_EvaluativeWithFrame, 100,
      {{0.25, 0.51, false}, {0.25, 0.6, true}, {0.5, 0.5, true}, {0.5, 0.89, false}, {0.5, 0.25, true}}, "evaluative");
  propicon::expectProbes(
      &K::drawMeteringMode_CenterWeighted_NIKONWithFrame, 100,
      {{0.5057, 0.75, false}, {0.6, 0.76, true}, {0.5, 0.89, true}, {0.3, 0.3, false}, {0.25, 0.5, true}},
      "nikon centre-weighted");
  propicon::expectProbes(&K::drawMeteringMode_HighlightWeightedWithFrame, 100,
                         {{0.4, 0.8, false}, {0.03, 0.5, true}, {0.89617, 0.79235, true}, {0.85, 0.5, false}},
                         "highlight-weighted");
  propicon::expectProbes(
      &K::drawMeteringMode_MultiPatternWithFrame, 100,
      {{0.51, 0.3, false}, {0.3, 0.3, true}, {0.5, 0.89, true}, {0.6224, 0.6281, false}, {0.7, 0.7, true}},
      "multi-pattern");
  propicon::expectProbes(&K::drawMeteringMode_PartialWithFrame, 100,
                         {{0.25, 0.51, false}, {0.5, 0.5, false}, {0.5, 0.89, false}, {0.25, 0.6, true}}, "partial");
  propicon::expectProbes(&K::drawMeteringMode_SpotWithFrame, 100,
                         {{0.5, 0.9, false}, {0.3, 0.9, true}, {0.5, 0.5, true}, {0.3, 0.5, false}}, "spot");
  propicon::expectProbes(
      &K::drawSony_MeteringMode_SpotLargeWithFrame, 100,
      {{0.895, 0.15, false}, {0.85, 0.1, true}, {0.7, 0.105, true}, {0.8, 0.105, false}, {0.895, 0.5, true}},
      "sony spot large");
  propicon::expectProbes(&K::drawSony_MeteringMode_EntireScreenAverageWithFrame, 100,
                         {{0.5, 0.5, true}, {0.155, 0.5, false}, {0.11, 0.5, true}}, "sony entire screen");
  propicon::expectProbes(
      &K::drawSony_MeteringMode_HighlightWithFrame, 100,
      {{0.745, 0.895, false}, {0.6, 0.89, true}, {0.89, 0.65, true}, {0.89, 0.74, false}, {0.88, 0.87429, true}},
      "sony highlight");
  propicon::expectProbes(&K::drawSony_MeteringMode_SpotStandardWithFrame, 100,
                         {{0.5, 0.5, true}, {0.3, 0.3, false}, {0.5, 0.89, true}}, "sony spot standard");
}

TEST(PropMeteringIcons, BlockCornersStayTwoPointsAtAnySize) {
  for (qreal size : {20.0, 200.0}) {
    const QImage img = propicon::paint(&K::drawSony_MeteringMode_EntireScreenAverageWithFrame, QRectF(0, 0, size, size),
                                       QSizeF(size, size), 4);
    const QRectF block = snappedRect(QRectF(0, 0, size, size), 0.18286, 0.18857, 0.82286, 0.82857);
    EXPECT_LT(sktest::at(img, block.left() + 0.125, block.y() + 0.125).alpha(), 60) << size;
    EXPECT_EQ(sktest::at(img, block.left() + 2.5, block.y() + 0.125).alpha(), 255) << size;
    EXPECT_EQ(sktest::at(img, block.left() + 0.125, block.y() + 2.5).alpha(), 255) << size;
  }
}

TEST(PropMeteringIcons, EachShapeCastsAHardShadowOnePointRightAndDown) {
  // Highlight-weighted at 40 x 40 from (5, 5): the dot is the box (16, 20)-(26, 30).
  const QImage img =
      propicon::paint(&K::drawMeteringMode_HighlightWeightedWithFrame, QRectF(5, 5, 40, 40), QSizeF(50, 50), 4, true);
  const QColor dotShadow = sktest::at(img, 26.3, 24);
  EXPECT_NEAR(dotShadow.alpha(), 191, 2);
  EXPECT_EQ(dotShadow.red(), 0);
  EXPECT_EQ(sktest::at(img, 27.3, 24).alpha(), 0);
  // The star, right of the ring (which ends at x 36.7), casts its own.
  EXPECT_FALSE(propicon::extentIn(img, QRectF(38, 28, 10, 16), propicon::shadowOnly).empty());
}

TEST(PropMeteringIcons, ImagesPaintTheirDrawMethodAtTheOriginOfTheirSize) {
  for (const Icon& icon : kIcons) {
    for (bool shadow : {false, true}) {
      const StyleKitImage image = icon.image(QSizeF(24, 20), 0.2, 0.4, shadow, 0.6);
      EXPECT_EQ(image.size(), QSizeF(24, 20)) << icon.name;
      const QImage drawn = sktest::draw(
          24, 20, 2, [&](GraphicsContext& ctx) { icon.draw(ctx, QRectF(0, 0, 24, 20), 0.2, 0.4, shadow, 0.6); });
      EXPECT_EQ(image.render(2), drawn) << icon.name << " shadow " << shadow;
    }
  }
  // The Nikon spot is the same picture; two calls give two images of it.
  const StyleKitImage a = K::imageOfMeteringMode_SpotWithSize(QSizeF(20, 20), 1, 1, false, 1);
  const StyleKitImage b = K::imageOfMeteringMode_Spot_NIKONWithSize(QSizeF(20, 20), 1, 1, false, 1);
  EXPECT_EQ(a.render(2), b.render(2));
  EXPECT_FALSE(a.isSameImage(K::imageOfMeteringMode_SpotWithSize(QSizeF(20, 20), 1, 1, false, 1)));
}

TEST(PropMeteringIcons, TheKitAnswersForTheseFamilies) {
  using Kit = KorvalumePropertiesStyleKit;
  const QImage viaKit = Kit::imageOfSony_MeteringMode_HighlightWithSize(QSizeF(20, 20), 1, 1, true, 1).render(2);
  EXPECT_EQ(viaKit, K::imageOfSony_MeteringMode_HighlightWithSize(QSizeF(20, 20), 1, 1, true, 1).render(2));
  EXPECT_EQ(Kit::imageOfWhiteBalance_PresetWithSize(QSizeF(20, 20), 1, 1, false, 1).size(), QSizeF(20, 20));
  EXPECT_EQ(Kit::imageOfDriveMode_ContinuousMediumWithSize(QSizeF(30, 20), 1, 1, 1).size(), QSizeF(30, 20));
}
