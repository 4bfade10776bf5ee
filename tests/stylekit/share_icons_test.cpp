// Share icons: state colours, the fixed drop shadow, and the outlined label with open counters.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using K = KorvalumeStyleKit;
bool isDarkGrey(QColor c) { return c.alpha() == 255 && c.red() == 100 && c.green() == 100 && c.blue() == 100; }
bool isShadow(QColor c) { return c.alpha() > 40 && c.red() < 40; }
}  // namespace

TEST(ShareIcons, SignColourFollowsTheToggle) {
  for (bool on : {true, false}) {
    const QImage img = K::imageOfShareWithSize(QSizeF(48, 48), on).render(2);
    const QColor shaft = at(img, 0.5 * 48, 0.5 * 48);
    const QColor tray = at(img, 0.12 * 48, 0.3 * 48);
    EXPECT_EQ(on ? sktest::isWhite(shaft) : isDarkGrey(shaft), true) << on;
    EXPECT_EQ(on ? sktest::isWhite(tray) : isDarkGrey(tray), true) << on;
    EXPECT_EQ(at(img, 0.3 * 48, 0.3 * 48).alpha(), 0);  // inside the tray, beside the shaft
  }
}

TEST(ShareIcons, DropShadowIsOnePointRightAndDownAtEverySizeAndInBothStates) {
  for (qreal s : {24.0, 240.0})
    for (bool on : {true, false}) {
      const QImage img = K::imageOfShareWithSize(QSizeF(s, s), on).render(4);
      // Under the tray's floor (y 0.04583) and right of its right wall (x 0.90417).
      EXPECT_TRUE(isShadow(at(img, 0.5 * s, 0.04583 * s - 0.6))) << s << on;
      EXPECT_TRUE(isShadow(at(img, 0.90417 * s + 0.6, 0.3 * s))) << s << on;
      // Above the arrow's tip and left of the tray's left wall: nothing.
      EXPECT_EQ(at(img, 0.5 * s, 0.95833 * s + 0.6).alpha(), 0) << s << on;
      EXPECT_EQ(at(img, 0.09583 * s - 0.6, 0.3 * s).alpha(), 0) << s << on;
    }
  const QImage after = sktest::draw(60, 60, 1, [](GraphicsContext& ctx) {
    K::drawShareWithFrame(ctx, QRectF(0, 0, 40, 40), true);
    EXPECT_FALSE(ctx.shadow().has_value());
  });
  (void)after;
}

TEST(ShareIcons, LabelledIconPlacesSignAndOutlinedWord) {
  const qreal s = 400;
  const QImage img = sktest::draw(s, s, 1, [&](GraphicsContext& ctx) {
    K::drawShareWithTextWithFrame(ctx, QRectF(0, 0, s, s));
  }, Qt::red);
  // The word below y 0.27 of the frame, the sign above it.
  QImage word = img.copy(0, qRound(s * 0.73), img.width(), qRound(s * 0.27));
  const sktest::Extent label = sktest::extent(word, sktest::isWhite);
  EXPECT_NEAR(label.left, 0.2072 * s, 1);
  EXPECT_NEAR(label.right, 0.7899 * s, 1);
  EXPECT_NEAR(label.bottom, 0.06 * s, 1);
  EXPECT_NEAR(label.top, 0.2386 * s, 1);
  EXPECT_TRUE(sktest::isWhite(at(img, 0.5 * s, 0.6 * s)));   // the shaft
  EXPECT_TRUE(sktest::isWhite(at(img, 0.24 * s, 0.5 * s)));  // the tray's left wall
  EXPECT_EQ(at(img, 0.3 * s, 0.5 * s), QColor(Qt::red));     // inside the tray

  // The counters of a and e are open: a column through each letter meets white, the
  // ground inside, then white again.
  for (qreal x : {0.525, 0.735}) {
    int runs = 0;
    bool inWhite = false;
    for (qreal y = 0.07; y < 0.18; y += 0.001) {
      const bool white = sktest::isWhite(at(img, x * s, y * s));
      if (white && !inWhite) ++runs;
      inWhite = white;
    }
    EXPECT_GE(runs, 2) << x;
  }
}
