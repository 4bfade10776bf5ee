// Sony focus-area and Nikon movie AF-area icons: snapped dots, squares and tracking marks at
// the documented sizes, the mark's odd right edge, and the holes of rings and letters.
#include <gtest/gtest.h>

#include "stylekit/korvalume_properties_style_kit.h"
#include "stylekit/prop_focus_area_figures.h"
#include "tests/stylekit/prop_pixel_measure.h"

using K = KorvalumePropertiesStyleKit;
using propmeasure::box;
using propmeasure::regionExtent;
using propmeasure::text;
using sktest::at;

namespace {

using Draw = void (*)(GraphicsContext&, QRectF, double, double, double);

// The icon in a frame at the origin on a canvas that leaves room right of the frame.
QImage paint(Draw draw, qreal w, qreal h, qreal dpr = 2) {
  return sktest::draw(w + 4, h, dpr, [&](GraphicsContext& ctx) { draw(ctx, QRectF(0, 0, w, h), 1, 1, 1); });
}

}  // namespace

TEST(SonyFocusAreaIcons, SnappedDotsAndSquaresHaveNoMinimumSize) {
  struct Case {
    Draw draw;
    qreal size;
    QRectF region;  // where only the measured shape lies
    QRectF expected;
  };
  const Case cases[] = {
      // The flexible-spot dot: a circle at 300, 6 x 6 at 30, 4 x 4 at 16.
      {&K::drawSony_FocusArea_FlexibleSpotSmallWithFrame, 300, {110, 110, 80, 80}, {116, 116, 68, 68}},
      {&K::drawSony_FocusArea_FlexibleSpotMediumWithFrame, 30, {11, 11, 8, 8}, {12, 12, 6, 6}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 16, {5.2, 6.05, 5.6, 3.9}, {6, 6, 4, 4}},
      // The expanded icon's squares: 20 x 20 at 300, 2 x 2 at 30, outer columns 1 wide at 16.
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 300, {60, 190, 35, 35}, {68, 196, 20, 20}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 300, {200, 76, 40, 35}, {210, 84, 20, 20}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 30, {6.5, 7.5, 3, 3}, {7, 8, 2, 2}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 16, {3, 4, 2.5, 2.5}, {4, 4, 1, 2}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 16, {3, 7.6, 2.5, 1.8}, {4, 8, 1, 1}},
      {&K::drawSony_FocusArea_ExpandFlexibleSpotWithFrame, 16, {6.6, 4.05, 2.8, 1.9}, {7, 4, 2, 2}},
      // The tracking flexible spots' dot is taller than wide at 300; the expanded one's round.
      {&K::drawSony_FocusArea_Tracking_FlexibleSpotLargeWithFrame, 300, {100, 145, 64, 66}, {104, 150, 56, 58}},
      {&K::drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame, 300, {92, 142, 66, 66}, {96, 146, 58, 58}},
  };
  for (const Case& c : cases) {
    const QImage img = paint(c.draw, c.size, c.size, 4);
    EXPECT_EQ(text(box(regionExtent(img, c.region))), text(c.expected)) << c.size << " " << c.region.x() << "," << c.region.y();
  }
}

TEST(SonyFocusAreaIcons, TrackingMarkFrameSnapsItsRightEdgeToAHalfPoint) {
  using focus_area::trackingMarkFrame;
  EXPECT_EQ(trackingMarkFrame(QRectF(0, 0, 30, 30), 0.04, 0.32), QRectF(21, 1, 9.5, 9));
  EXPECT_EQ(trackingMarkFrame(QRectF(0, 0, 30, 30), 0.06667, 0.34667), QRectF(21, 2, 9.5, 8));
  EXPECT_EQ(trackingMarkFrame(QRectF(0, 0, 300, 300), 0.06667, 0.34667), QRectF(206, 20, 94.5, 84));
  // Offsets come from the size alone; the origin is added as it is.
  EXPECT_EQ(trackingMarkFrame(QRectF(0.25, 10.5, 300, 300), 0.06667, 0.34667), QRectF(206.25, 30.5, 94.5, 84));
  // In a 1000-wide frame the right edge lies three and a half points beyond the frame.
  const QRectF wide = trackingMarkFrame(QRectF(0, 0, 1000, 100), 0.04, 0.32);
  EXPECT_EQ(wide.x() + wide.width(), 1003.5);
}

TEST(SonyFocusAreaIcons, TrackingMarkShapesAtThirtyAndThreeHundredPoints) {
  struct Case {
    const char* what;
    Draw draw;
    qreal size;
    QRectF region;
    QRectF expected;
  };
  const Case cases[] = {
      // Base bars reach half a point past the frame's right edge.
      {"S base bar", &K::drawSony_FocusArea_Tracking_FlexibleSpotSmallWithFrame, 30, {20, 0, 14, 1.9}, {21, 1, 9.5, 1}},
      {"S box", &K::drawSony_FocusArea_Tracking_FlexibleSpotSmallWithFrame, 30, {20, 2.1, 14, 2.8}, {23, 2, 6, 3}},
      {"expanded base bar", &K::drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame, 30, {20, 0, 14, 1.9},
       {21, 1, 9.5, 1}},
      {"expanded box", &K::drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame, 30, {20, 2.1, 14, 2.8},
       {23, 2, 5, 3}},
      {"centre base bar", &K::drawSony_FocusArea_Tracking_CenterWithFrame, 30, {20, 1.5, 14, 1.4}, {21, 2, 9.5, 1}},
      {"centre box", &K::drawSony_FocusArea_Tracking_CenterWithFrame, 30, {20, 3.1, 14, 2.8}, {23, 3, 6, 3}},
      {"wide base bar", &K::drawSony_FocusArea_Tracking_WideWithFrame, 300, {200, 0, 104, 27.9}, {206, 20, 94.5, 8}},
      {"wide box", &K::drawSony_FocusArea_Tracking_WideWithFrame, 300, {200, 28.1, 104, 25}, {230, 28, 52, 25}},
      {"zone shaft", &K::drawSony_FocusArea_Tracking_ZoneWithFrame, 300, {252, 80, 10, 15}, {254, 80, 4, 15}},
  };
  for (const Case& c : cases) {
    const QImage img = paint(c.draw, c.size, c.size, 4);
    EXPECT_EQ(text(box(regionExtent(img, c.region))), text(c.expected)) << c.what;
  }
  // At 30 points the S, M and L icons' shaft snaps to nothing: above the arrowhead's base the
  // mark frame is empty.
  const QImage s = paint(&K::drawSony_FocusArea_Tracking_FlexibleSpotSmallWithFrame, 30, 30, 4);
  EXPECT_TRUE(regionExtent(s, QRectF(25, 7.1, 2, 2.8)).empty());
  // The expanded icon's shaft, placed straight in the frame, is one point wide there.
  const sktest::Extent shaft =
      regionExtent(paint(&K::drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame, 30, 30, 4), QRectF(24.8, 7.1, 2.2, 1.3));
  EXPECT_EQ(shaft.left, 25);
  EXPECT_EQ(shaft.right, 26);
}

TEST(SonyFocusAreaIcons, RingsAreBandsAndPiecesKeepTheirRows) {
  const QImage wide = paint(&K::drawSony_FocusArea_WideWithFrame, 300, 300, 1);
  // The screen ring is a band spanning the width but only 0.15 to 0.85 of the height.
  EXPECT_EQ(at(wide, 150, 150).alpha(), 0);
  EXPECT_EQ(at(wide, 10, 150).alpha(), 255);
  EXPECT_EQ(at(wide, 150, 44).alpha(), 0);
  EXPECT_EQ(at(wide, 150, 50).alpha(), 255);
  EXPECT_EQ(at(wide, 150, 258).alpha(), 0);
  // The zone icon's cups stand 0.00667 of the width right of the caps above them.
  const QImage zone = paint(&K::drawSony_FocusArea_ZoneWithFrame, 300, 300, 1);
  const sktest::Extent caps = regionExtent(zone, QRectF(30, 175, 240, 56));
  const sktest::Extent cups = regionExtent(zone, QRectF(30, 72, 240, 56));
  EXPECT_EQ(cups.left - caps.left, 2);
  EXPECT_EQ(cups.right - caps.right, 2);
  // The flexible-spot frame is open at its lower-right corner where the letter stands.
  const QImage large = paint(&K::drawSony_FocusArea_FlexibleSpotLargeWithFrame, 300, 300, 1);
  EXPECT_EQ(at(large, 290, 70).alpha(), 0);
  EXPECT_EQ(at(large, 290, 150).alpha(), 255);
}

TEST(NikonMovieAfAreaIcons, OuterBracketsSpanTheWidthAndOnlyTheBlockSnaps) {
  const QImage single = paint(&K::drawNikon_MovieAfArea_SingleWithFrame, 60, 60, 4);
  const sktest::Extent all = regionExtent(single, QRectF(-1, -1, 70, 70));
  EXPECT_EQ(all.left, 0);
  EXPECT_EQ(all.right, 60);
  EXPECT_NEAR(all.bottom, 0.16 * 60, 0.25);
  EXPECT_NEAR(all.top, 0.82667 * 60, 0.25);
  // Uprights: 0.06 of the width on the right, 0.07333 on the left.
  EXPECT_EQ(at(single, 0.97 * 60, 30).alpha(), 255);
  EXPECT_EQ(at(single, 0.93 * 60, 30).alpha(), 0);
  EXPECT_EQ(at(single, 0.065 * 60, 30).alpha(), 255);

  // Auto's block sits at whole points from a fractional origin; the brackets do not snap.
  const QImage block = sktest::draw(80, 80, 4, [](GraphicsContext& ctx) {
    K::drawNikon_MovieAfArea_AutoWithFrame(ctx, QRectF(0.5, 0.5, 70, 70), 1, 1, 1);
  });
  EXPECT_EQ(text(box(regionExtent(block, QRectF(10, 20, 52, 30)))), text(QRectF(10.5, 21.5, 51, 28)));
}

TEST(NikonMovieAfAreaIcons, CountersOfTheTextStayOpen) {
  const QImage s = paint(&K::drawNikon_MovieAfArea_WideSWithFrame, 200, 200, 2);
  EXPECT_EQ(at(s, 0.388 * 200, 0.19 * 200).alpha(), 0);    // counter of the d
  EXPECT_EQ(at(s, 0.4326 * 200, 0.25 * 200).alpha(), 255);  // stem of the d
  EXPECT_EQ(at(s, 0.29 * 200, 0.2 * 200).alpha(), 255);     // stem of the i
  EXPECT_EQ(at(s, 0.29 * 200, 0.26 * 200).alpha(), 0);      // between the i and its dot
  const QImage l = paint(&K::drawNikon_MovieAfArea_WideLWithFrame, 200, 200, 2);
  EXPECT_EQ(at(l, 0.84 * 200, 0.2 * 200).alpha(), 255);  // stem of the L
  EXPECT_EQ(at(l, 0.9 * 200, 0.2 * 200).alpha(), 0);
  // Both paint the same bracket pairs above the text.
  EXPECT_TRUE(regionExtent(propmeasure::difference(s, l), QRectF(0, 0.4 * 200, 204, 120)).empty());
}
