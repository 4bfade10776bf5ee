// Camera icons and marks: the clear lens ring, outlines, the light camera's silhouette, marks.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::over;

namespace {
using K = KorvalumeStyleKit;
bool isBlack(QColor c) { return c.alpha() == 255 && c.red() == 0 && c.green() == 0 && c.blue() == 0; }
}  // namespace

TEST(CameraMarkIcons, CameraHasABlackBodyAndLensAClearRingAndWhiteOutlines) {
  const QImage img = over(K::imageOfCameraWithSize(QSizeF(100, 100)), Qt::red, 4);
  EXPECT_TRUE(isBlack(at(img, 15, 40)));    // body
  EXPECT_TRUE(isBlack(at(img, 50.4, 46.3)));  // lens centre
  EXPECT_EQ(at(img, 50, 34), QColor(Qt::red));  // the ring, between radius 10.2 and 17.2
  EXPECT_EQ(at(img, 36, 46.7), QColor(Qt::red));
  EXPECT_TRUE(isBlack(at(img, 50, 27)));  // below the ring: body again
  // One-point white outlines on the body's left edge, the ring's outer edge and the lens edge.
  EXPECT_TRUE(sktest::isWhite(at(img, 0.82, 40)));
  EXPECT_TRUE(sktest::isWhite(at(img, 32.787, 46.721)));
  EXPECT_TRUE(sktest::isWhite(at(img, 40.164, 46.311)));
  // Body from x 0.82 to 99.18 (plus half the outline), the hump's top at 83.6.
  const sktest::Extent e = sktest::extent(img, [](QColor c) { return c != QColor(Qt::red); });
  EXPECT_NEAR(e.left, 0.82 - 0.5, 0.3);
  EXPECT_NEAR(e.right, 99.18 + 0.5, 0.3);
  EXPECT_NEAR(e.top, 83.607 + 0.5, 0.3);
  EXPECT_NEAR(e.bottom, 16.393 - 0.5, 0.3);
  EXPECT_EQ(at(img, 20, 80), QColor(Qt::red));  // beside the hump
  const std::vector<qreal> areas = K::cameraPath(QRectF(0, 0, 100, 100)).subpathSignedAreas();
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_LT(areas[0], 0);
  EXPECT_GT(areas[1], 0);
  EXPECT_LT(areas[2], 0);
}

TEST(CameraMarkIcons, LightCameraIsAWhiteSilhouetteWithAClearRing) {
  const QImage onWhite = over(K::imageOfLightCameraWithSize(QSizeF(100, 100)), Qt::white, 2);
  const QImage onDark = over(K::imageOfLightCameraWithSize(QSizeF(100, 100)), Qt::black, 2);
  for (int y = 0; y < onWhite.height(); ++y)
    for (int x = 0; x < onWhite.width(); ++x) ASSERT_EQ(onWhite.pixel(x, y), qRgb(255, 255, 255));
  EXPECT_TRUE(sktest::isWhite(at(onDark, 15, 40)));
  EXPECT_TRUE(sktest::isWhite(at(onDark, 50.4, 46.8)));
  EXPECT_TRUE(isBlack(at(onDark, 50, 34)));   // the ring
  EXPECT_TRUE(isBlack(at(onDark, 20, 80)));   // beside the hump
  EXPECT_TRUE(sktest::isWhite(at(onDark, 50, 82)));  // the hump
}

TEST(CameraMarkIcons, CheckAndXMarks) {
  const QImage check = K::imageOfCheckMarkWithSize(QSizeF(100, 100)).render(2);
  EXPECT_EQ(at(check, 37, 20), QColor(76, 217, 100));
  EXPECT_EQ(at(check, 80, 70), QColor(76, 217, 100));  // long arm
  EXPECT_EQ(at(check, 20, 45), QColor(76, 217, 100));  // short arm
  EXPECT_EQ(at(check, 50, 60).alpha(), 0);
  const QImage x = K::imageOfXMarkWithSize(QSizeF(100, 100)).render(2);
  // The overlap of the two bars looks like the rest.
  EXPECT_EQ(at(x, 50.5, 49.5), QColor(255, 59, 48));
  EXPECT_EQ(at(x, 30, 30), QColor(255, 59, 48));
  EXPECT_EQ(at(x, 30, 70), QColor(255, 59, 48));
  EXPECT_EQ(at(x, 50, 80).alpha(), 0);
}
