#include <gtest/gtest.h>

#include "ui/widgets/popover/popover_geometry.h"

namespace {
PopoverFrameStyle styleAt(PopoverPosition p) {
  PopoverFrameStyle s;
  s.popoverPosition = p;
  return s;
}
}  // namespace

TEST(PopoverFrame, ContentAndFrameRectanglesAreInverse) {
  const PopoverFrameStyle below = styleAt(PopoverBelow);
  EXPECT_EQ(popoverContentRectForFrameRect(below, QRectF(0, 0, 108, 74)), QRectF(4, 4, 100, 50));
  EXPECT_EQ(popoverFrameRectForContentRect(below, QRectF(4, 4, 100, 50)), QRectF(0, 0, 108, 74));
  // Bottom group: the content starts at bw + k + vm.
  const PopoverFrameStyle above = styleAt(PopoverAbove);
  const QRectF c = popoverContentRectForFrameRect(above, QRectF(0, 0, 108, 74));
  EXPECT_EQ(c.y(), 2 + 16 + 2);
  EXPECT_EQ(popoverFrameRectForContentRect(above, c).y(), 0);
  for (PopoverPosition p = 0; p <= 12; ++p) {
    const PopoverFrameStyle s = styleAt(p);
    const QRectF frame(10, 20, 150, 90);
    EXPECT_EQ(popoverFrameRectForContentRect(s, popoverContentRectForFrameRect(s, frame)), frame) << p;
  }
  // Above 11: no arrow space.
  EXPECT_EQ(popoverContentRectForFrameRect(styleAt(12), QRectF(0, 0, 108, 74)), QRectF(4, 4, 100, 66));
}

TEST(PopoverFrame, AttachmentPointTable) {
  struct Case {
    PopoverPosition position;
    bool roundBeside;
    QPointF expected;
  };
  // c = 2 * 2 + 16 / 2 + 8 = 20; 12 without the corner radius.
  const Case cases[] = {
      {0, true, {108, 37}}, {1, true, {54, 74}},  {2, true, {0, 37}},   {3, true, {54, 0}},
      {4, true, {108, 20}}, {5, true, {108, 54}}, {6, true, {0, 20}},   {7, true, {0, 54}},
      {8, true, {88, 0}},   {9, true, {20, 0}},   {10, true, {88, 74}}, {11, true, {20, 74}},
      {8, false, {96, 0}},  {12, true, {0, 0}},   {99, true, {0, 0}},
  };
  for (const Case& c : cases) {
    PopoverFrameStyle s = styleAt(c.position);
    s.drawRoundCornerBesideArrow = c.roundBeside;
    EXPECT_EQ(popoverAttachmentPointForRect(s, QRectF(0, 0, 108, 74)), c.expected) << c.position;
  }
}

TEST(PopoverFrame, BodyPathCornersAndArrow) {
  // Content (4, 4, 100, 50) of a 108 x 74 frame below its point: R = (1, 1, 106, 56).
  {
    const PopoverFrameStyle s = styleAt(PopoverBelow);
    const BezierPath p = popoverFramePathForContentRect(s, QRectF(4, 4, 100, 50));
    const QRectF b = p.bounds();
    EXPECT_NEAR(b.left(), 1, 1e-9);
    EXPECT_NEAR(b.right(), 107, 1e-9);
    EXPECT_NEAR(b.top(), 1, 1e-9);
    EXPECT_NEAR(b.bottom(), 57 + 16, 1e-9);  // the arrow's tip
    EXPECT_TRUE(p.qpath().contains(QPointF(54, 70)));  // inside the arrow
    EXPECT_FALSE(p.qpath().contains(QPointF(1.5, 1.5)));  // rounded corner
    EXPECT_EQ(p.lineJoinStyle(), LineJoin::Round);
  }
  // Corner radius 0: square corners, no arcs (every element a move or a line).
  {
    PopoverFrameStyle s = styleAt(PopoverAboveLeftward);
    s.cornerRadius = 0;
    const BezierPath p = popoverFramePathForContentRect(s, QRectF(4, 20, 100, 50));
    for (int i = 0; i < p.qpath().elementCount(); ++i) EXPECT_FALSE(p.qpath().elementAt(i).isCurveTo());
    EXPECT_TRUE(p.qpath().contains(QPointF(1.5, 17.5)));
  }
  // Not round beside the arrow at 8: the bottom right corner is square, the arrow starts there.
  {
    PopoverFrameStyle s = styleAt(PopoverAboveLeftward);
    s.drawRoundCornerBesideArrow = false;
    const BezierPath p = popoverFramePathForContentRect(s, QRectF(4, 20, 100, 50));
    EXPECT_TRUE(p.qpath().contains(QPointF(106.5, 17.5)));  // square bottom right
    EXPECT_FALSE(p.qpath().contains(QPointF(1.5, 17.5)));   // bottom left still round
    EXPECT_TRUE(p.qpath().contains(QPointF(107 - 10, 17 - 15)));  // arrow tip region (x - aw/2, y - ah)
  }
  // No arrow drawn: the edge is straight but the frame keeps its space.
  {
    PopoverFrameStyle s = styleAt(PopoverBelow);
    s.drawsArrow = false;
    const BezierPath p = popoverFramePathForContentRect(s, QRectF(4, 4, 100, 50));
    EXPECT_NEAR(p.bounds().bottom(), 57, 1e-9);
    EXPECT_EQ(popoverFrameRectForContentRect(s, QRectF(4, 4, 100, 50)).height(), 74);
  }
  // Above 11: no arrow anywhere.
  EXPECT_NEAR(popoverFramePathForContentRect(styleAt(12), QRectF(4, 4, 100, 50)).bounds().bottom(), 57, 1e-9);
}

TEST(PopoverWindow, RelayoutTable) {
  // A 100 x 50 content below its point: a 108 x 74 window.
  EXPECT_EQ(popoverFrameRectForContentRect(styleAt(PopoverBelow), QRectF(0, 0, 100, 50)).size(), QSizeF(108, 74));
  {
    PopoverFrameStyle s = styleAt(PopoverBelow);
    const QRectF F(200, 300, 108, 74);
    const QPointF target = F.topLeft() + popoverAttachmentPointForRect(s, QRectF(0, 0, 108, 74));
    const PopoverWindowLayout l = popoverRelayoutForPosition(s, F, PopoverLeft);
    EXPECT_EQ(l.frame.size(), QSizeF(124, 58));
    EXPECT_EQ(l.frame.topLeft() + popoverAttachmentPointForRect(s, QRectF(0, 0, 124, 58)), target);
    EXPECT_EQ(l.contentFrame, QRectF(4, 4, 100, 50));
    EXPECT_EQ(s.popoverPosition, PopoverLeft);
  }
  {
    PopoverFrameStyle s = styleAt(PopoverAbove);
    const QRectF F(0, 100, 108, 74);
    const QRectF before = popoverContentRectForFrameRect(s, QRectF(0, 0, 108, 74));
    const PopoverWindowLayout l = popoverRelayoutForArrowSpace(s, F, ArrowSpaceSetting::Distance, 10);
    EXPECT_EQ(l.frame, QRectF(0, 100, 108, 84));  // 10 taller, bottom edge kept
    EXPECT_EQ(l.contentFrame, before.translated(0, 10));
    EXPECT_EQ(s.distance, 10);
  }
  {
    PopoverFrameStyle s = styleAt(PopoverRight);
    const QRectF F(50, 100, 124, 58);
    const PopoverWindowLayout l = popoverRelayoutForAllRound(s, F, AllRoundSetting::BorderWidth, 3);
    EXPECT_EQ(l.frame, QRectF(50, 99, 126, 60));  // left edge kept, grown evenly up and down
    EXPECT_EQ(l.contentFrame.size(), QSizeF(100, 50));
  }
  {
    // Equal values change nothing.
    PopoverFrameStyle s = styleAt(PopoverRight);
    const QRectF F(50, 100, 124, 58);
    EXPECT_EQ(popoverRelayoutForAllRound(s, F, AllRoundSetting::ViewMargin, 2).frame, F);
    EXPECT_EQ(popoverRelayoutForArrowSpace(s, F, ArrowSpaceSetting::ArrowHeight, 16).frame, F);
    EXPECT_EQ(popoverRelayoutForPosition(s, F, PopoverRight).frame, F);
  }
}

TEST(Popover, BestPositionTable) {
  const PopoverFrameStyle s;
  const QRectF visible(0, 0, 1000, 800);
  struct Case {
    QPointF point;
    PopoverPosition expected;
  };
  const Case cases[] = {
      {{500, 400}, PopoverBelow},          {{500, 50}, PopoverRight},         {{990, 50}, PopoverLeft},
      {{20, 500}, PopoverBelowRightward},  {{990, 500}, PopoverBelowLeftward}, {{500, 5}, PopoverRightUpward},
  };
  for (const Case& c : cases)
    EXPECT_EQ(popoverBestPosition(s, {108, 74}, c.point, visible, visible), c.expected)
        << c.point.x() << "," << c.point.y();
  // Nothing fits on any side: below from the first stage, then leftward or rightward.
  EXPECT_EQ(popoverBestPosition(s, {108, 74}, {50, 50}, QRectF(0, 0, 100, 100), std::nullopt), PopoverBelow);
  EXPECT_EQ(popoverBestPosition(s, {108, 74}, {5, 95}, QRectF(0, 0, 200, 100), std::nullopt), PopoverBelowRightward);
}
