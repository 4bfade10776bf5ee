// HDR icons: the cog's fixed line width and open inside, the colour icon's one snapped panel.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using K = KorvalumeStyleKit;
bool painted(QColor c) { return c.alpha() > 127; }
}  // namespace

TEST(HdrIcons, CogLineStaysOneAndAHalfPointsWide) {
  for (qreal s : {12.0, 120.0}) {
    const QImage img = K::imageOfHDRPropertyWithSize(QSizeF(s, s)).render(8);
    // Across the right tooth's flat top at x 0.85208, along the row through y 0.5.
    const int row = img.height() / 2;
    int first = -1, last = -1;
    for (int x = img.width() / 2 + qRound(0.25 * s * 8); x < img.width(); ++x)
      if (qAlpha(img.pixel(x, row)) > 127) {
        if (first < 0) first = x;
        last = x;
      }
    ASSERT_GE(first, 0) << s;
    EXPECT_NEAR((last + 1 - first) / 8.0, 1.5, 0.25) << s;
    EXPECT_NEAR((first + last + 1) / 16.0, 0.85208 * s, 0.25) << s;
  }
}

TEST(HdrIcons, CogIsNotFilled) {
  const QImage img = K::imageOfHDRPropertyWithSize(QSizeF(100, 100)).render(2);
  EXPECT_EQ(at(img, 50, 50).alpha(), 0);  // the hole
  EXPECT_EQ(at(img, 50, 75).alpha(), 0);  // between hole and teeth
  EXPECT_EQ(at(img, 80, 50).alpha(), 0);  // inside the right tooth
  EXPECT_TRUE(painted(at(img, 50, 37.1)));  // the hole's rim
  const QColor line = at(img, 50, 85.2);    // the top tooth's flat top
  EXPECT_EQ(line.red(), 255);
  EXPECT_EQ(line.green(), 59);
  EXPECT_EQ(line.blue(), 48);
  const std::vector<qreal> areas = K::hdrCogPath(QRectF(0, 0, 100, 100)).subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[0], 0);  // outline, counter-clockwise
  EXPECT_LT(areas[1], 0);  // hole, clockwise
  const QRectF b = K::hdrCogPath(QRectF(0, 0, 100, 100)).bounds();
  EXPECT_NEAR(b.left(), 14.792, 0.01);
  EXPECT_NEAR(b.right(), 85.208, 0.01);
}

TEST(HdrIcons, ColourIconFrontPanelIsTheOnlySnappedElement) {
  // At 24 points the panel spans x 9 to 22 and y 2 to 12: its right and bottom edges are the
  // icon's rightmost and lowest paint.
  for (QPointF origin : {QPointF(0, 0), QPointF(0.25, 0.5)}) {
    const QImage img = sktest::draw(26, 26, 4, [&](GraphicsContext& ctx) {
      K::drawHDRColorWithFrame(ctx, QRectF(origin, QSizeF(24, 24)));
    });
    const sktest::Extent e = sktest::extent(img, painted);
    EXPECT_DOUBLE_EQ(e.right, origin.x() + 22);
    EXPECT_DOUBLE_EQ(e.bottom, origin.y() + 2);
    // The back frame's left edge takes its fraction unrounded: 0.09434 of 24 = 2.26.
    EXPECT_NEAR(e.left, origin.x() + 2.26, 0.26);
    EXPECT_NEAR(e.top, origin.y() + 0.90566 * 24, 0.26);
  }
  const QImage big = K::imageOfHDRColorWithSize(QSizeF(106, 106)).render(2);
  EXPECT_EQ(at(big, 0.5 * 106, 0.45 * 106), QColor(76, 217, 100));  // the front panel's green
  EXPECT_EQ(at(big, 0.4, 0.4).alpha(), 0);
  EXPECT_EQ(at(big, 0.3 * 106, 0.8 * 106).alpha(), 0);  // inside the open back frame
}
