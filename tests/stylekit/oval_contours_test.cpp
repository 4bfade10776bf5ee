// Ovals in fractions of a frame: start, direction, quarter nodes and the split node.
#include <gtest/gtest.h>

#include "stylekit/oval_contours.h"

namespace {
std::vector<QPointF> nodes(const BezierPath& path) {
  std::vector<QPointF> out;
  const QPainterPath& q = path.qpath();
  for (int i = 0; i < q.elementCount(); ++i) {
    const QPainterPath::Element e = q.elementAt(i);
    if (e.type == QPainterPath::MoveToElement || e.type == QPainterPath::LineToElement) out.emplace_back(e.x, e.y);
    if (e.type == QPainterPath::CurveToElement) out.emplace_back(q.elementAt(i + 2).x, q.elementAt(i + 2).y);
  }
  return out;
}
void expectNear(QPointF a, QPointF b, qreal tol, const char* what) {
  EXPECT_NEAR(a.x(), b.x(), tol) << what;
  EXPECT_NEAR(a.y(), b.y(), tol) << what;
}
}  // namespace

TEST(OvalContours, QuartersLandOnTheBoxAndTheSplitOnItsPoint) {
  // The focus stack's outer lens circle in a 200 x 100 frame: clockwise from the right,
  // its third quarter split at (0.24175, 0.85679).
  const QRectF frame(10, 20, 200, 100);
  const FractionOval oval = FractionOval::inBox(0.12, 0.4, 0.61, 0.89);
  BezierPath path;
  appendOvalContour(path, frame, oval, 0, true, QPointF(0.24175, 0.85679));
  const std::vector<QPointF> n = nodes(path);
  ASSERT_EQ(n.size(), 6u);  // start, four quarters with one split in two
  auto at = [&](qreal fx, qreal fy) { return QPointF(10 + fx * 200, 20 + fy * 100); };
  expectNear(n[0], at(0.61, 0.645), 1e-9, "right");
  expectNear(n[1], at(0.365, 0.4), 1e-9, "bottom");
  expectNear(n[2], at(0.12, 0.645), 1e-9, "left");
  // The split node lies on the true circle, within a hundredth of a point of the given one.
  expectNear(n[3], at(0.24175, 0.85679), 0.01, "split");
  expectNear(n[4], at(0.365, 0.89), 1e-9, "top");
  expectNear(n[5], at(0.61, 0.645), 1e-9, "back to the right");
  EXPECT_LT(path.subpathSignedAreas().front(), 0);  // clockwise
  EXPECT_NEAR(path.bounds().left(), 10 + 0.12 * 200, 1e-6);
  EXPECT_NEAR(path.bounds().top(), 20 + 0.4 * 100, 1e-6);  // y up: the bottom edge

  // Counter-clockwise from the top, the first quarter split.
  BezierPath inner;
  appendOvalContour(inner, frame, FractionOval::inBox(0.16, 0.44, 0.57, 0.85), 90, false, QPointF(0.27227, 0.82788));
  const std::vector<QPointF> m = nodes(inner);
  ASSERT_EQ(m.size(), 6u);
  expectNear(m[1], at(0.27227, 0.82788), 0.01, "inner split");
  expectNear(m[2], at(0.16, 0.645), 1e-9, "inner left");
  EXPECT_GT(inner.subpathSignedAreas().front(), 0);
}

TEST(OvalContours, ArcRunsClockwiseWhenItsEndAngleIsLower) {
  const FractionOval oval{0.5, 0.5, 0.2, 0.2};
  BezierPath half;
  const QRectF frame(0, 0, 100, 100);
  half.moveToPoint(QPointF(50, 70));
  appendOvalArc(half, frame, oval, 90, -90);
  half.closePath();
  // The right half: x from 50 to 70.
  EXPECT_NEAR(half.bounds().left(), 50, 1e-9);
  EXPECT_NEAR(half.bounds().right(), 70, 1e-6);
  EXPECT_LT(half.subpathSignedAreas().front(), 0);
}
