// The exposure-bracket carousel: fixed image size, slot placement, shown and hidden slots.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using K = KorvalumeStyleKit;

// The x of the lower mark's apex of a slot, as drawn.
qreal lowerApex(int slot, qreal step, qreal negative, qreal positive) {
  return K::carouselSlotPlacement(slot, step, negative, positive).x + 15.75;
}

bool painted(QColor c) { return c.alpha() > 127; }
}  // namespace

TEST(Carousel, ImageIsAlways666By172) {
  for (qreal step : {0.0, 1.0, -2.0, 1e6, std::numeric_limits<qreal>::quiet_NaN()}) {
    const StyleKitImage img = K::imageOfCarouselBackgroundWithExposureBracket(step, 4, 1);
    EXPECT_EQ(img.size(), QSizeF(666, 172));
    EXPECT_EQ(img.render(1).size(), QSize(666, 172));
  }
}

TEST(Carousel, MarksSitAtTheBracketStepFromTheCentre) {
  struct Case {
    qreal step;
    qreal apex[4][2];  // slot k: negative side, positive side
  };
  const Case cases[] = {
      {1, {{228.75, 435.25}, {120, 544}, {14, 650}, {-92, 756}}},
      {1.0 / 3, {{297.58, 366.42}, {261.33, 402.67}, {226, 438}, {190.67, 473.33}}},
      {0, {{332, 332}, {332, 332}, {332, 332}, {332, 332}}},
      // A negative step swaps the sides.
      {-1, {{435.25, 228.75}, {544, 120}, {650, 14}, {756, -92}}},
  };
  for (const Case& c : cases)
    for (int k = 1; k <= 4; ++k) {
      EXPECT_NEAR(lowerApex(-k, c.step, 4, 4), c.apex[k - 1][0], 0.005) << c.step << " -" << k;
      EXPECT_NEAR(lowerApex(k, c.step, 4, 4), c.apex[k - 1][1], 0.005) << c.step << " +" << k;
    }
}

TEST(Carousel, CountsChooseTheShownSlotsAndHiddenOnesSitOnTheCentre) {
  struct Case {
    qreal count;
    int shown;
  };
  for (const Case& c : {Case{0, 0}, Case{-1, 0}, Case{0.5, 1}, Case{1, 1}, Case{1.5, 2}, Case{3, 3}, Case{4, 4},
                        Case{9, 4}, Case{std::numeric_limits<qreal>::quiet_NaN(), 0}}) {
    for (int k = 1; k <= 4; ++k) {
      const auto neg = K::carouselSlotPlacement(-k, 1, c.count, 0);
      const auto pos = K::carouselSlotPlacement(k, 1, 0, c.count);
      EXPECT_EQ(neg.x != 316.25, k <= c.shown) << c.count << " -" << k;
      EXPECT_EQ(pos.x != 316.25, k <= c.shown) << c.count << " +" << k;
      // The other side's count is 0: never shown.
      EXPECT_EQ(K::carouselSlotPlacement(k, 1, c.count, 0).x, 316.25);
    }
  }
  // The y translations differ slot by slot as the design has them.
  EXPECT_EQ(K::carouselSlotPlacement(-3, 1, 4, 4).lowerY, 1);
  EXPECT_EQ(K::carouselSlotPlacement(-4, 1, 4, 4).lowerY, 1);
  EXPECT_EQ(K::carouselSlotPlacement(3, 1, 4, 4).lowerY, 2);
  EXPECT_EQ(K::carouselSlotPlacement(-1, 1, 4, 4).upperY, 150.72);
  EXPECT_EQ(K::carouselSlotPlacement(-2, 1, 4, 4).upperY, 150.72);
  EXPECT_EQ(K::carouselSlotPlacement(1, 1, 4, 4).upperY, 149.72);
}

TEST(Carousel, RenderedMarksAndBrackets) {
  const QImage all = K::imageOfCarouselBackgroundWithExposureBracket(1, 4, 4).render(2);
  // Lower-mark apexes point up from the bottom; upper marks hang from the top, 1.75 further left.
  for (qreal x : {228.75, 435.25, 120.0, 544.0, 14.0, 650.0, 332.0}) {
    EXPECT_TRUE(painted(at(all, x, 25))) << x;
    EXPECT_TRUE(painted(at(all, x - 1.75, 155))) << x;
  }
  EXPECT_TRUE(painted(at(all, 3, 90)));    // left bracket's upright
  EXPECT_TRUE(painted(at(all, 661, 90)));  // right bracket's upright
  EXPECT_FALSE(painted(at(all, 6, 90)));   // inside the left bracket

  // No slot shown: away from the centre only the brackets are painted.
  const QImage none = K::imageOfCarouselBackgroundWithExposureBracket(1, 0, 0).render(2);
  for (int y = 0; y < none.height(); ++y)
    for (int x = 0; x < none.width(); ++x) {
      const qreal px = x / 2.0;
      if ((px > 30 && px < 315) || (px > 349 && px < 634)) {
        ASSERT_EQ(qAlpha(none.pixel(x, y)), 0) << px;
      }
    }
  // The hidden lower marks stand 2 points above the central one, whose apex is at y 28.
  EXPECT_TRUE(painted(at(none, 332, 28.7)));
  EXPECT_FALSE(painted(at(none, 332, 31)));
}

TEST(Carousel, UnusualStepsDrawWithoutFailing) {
  for (qreal step : {std::numeric_limits<qreal>::quiet_NaN(), std::numeric_limits<qreal>::infinity(), 1e300, -1e300}) {
    const QImage img = K::imageOfCarouselBackgroundWithExposureBracket(step, 4, 4).render(1);
    EXPECT_TRUE(painted(at(img, 332, 20))) << step;  // the central marks stay
    EXPECT_TRUE(painted(at(img, 3, 90))) << step;
  }
}
