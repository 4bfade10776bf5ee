// The general kit's shared resources and the image rule.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/korvalume_style_kit.h"
#include "stylekit/shadow_additions.h"
#include "tests/stylekit/stylekit_test_support.h"

namespace {

QRectF gSeen;
int gCalls = 0;
void recordFrame(GraphicsContext& ctx, QRectF frame, bool on, qreal level, QColor colour) {
  gSeen = frame;
  ++gCalls;
  if (on) {
    ctx.setFillColor(colorWithAlphaComponent(colour, level));
    ctx.fillRect(frame);
  }
}

struct LabelShadow : Shadow {
  int marker = 7;
};

}  // namespace

TEST(KitFrame, SharedShadowIsOneObjectOfDarkGrey) {
  const Shadow& a = KorvalumeStyleKit::straightDarkGrayShadow();
  EXPECT_EQ(&a, &KorvalumeStyleKit::straightDarkGrayShadow());
  EXPECT_EQ(a.shadowColor(), NamedColor::darkGrayColor());
  EXPECT_EQ(a.shadowOffset(), QSizeF(0, 0));
  EXPECT_EQ(a.shadowBlurRadius(), 5);
}

TEST(KitFrame, ShadowConvenienceSetsAllThreeAndKeepsTheSubclass) {
  const Shadow s = shadowWithColor(NamedColor::blackColor(), QSizeF(1, 1), 0);
  EXPECT_EQ(s.shadowColor(), QColor(Qt::black));
  EXPECT_EQ(s.shadowOffset(), QSizeF(1, 1));
  EXPECT_EQ(s.shadowBlurRadius(), 0);
  const LabelShadow sub = shadowWithColor<LabelShadow>(Qt::red, QSizeF(2, -3), 4);
  EXPECT_EQ(sub.marker, 7);
  EXPECT_EQ(sub.shadowOffset(), QSizeF(2, -3));
  EXPECT_EQ(sub.shadowBlurRadius(), 4);
}

TEST(KitFrame, BlankImageIsTheSameTransparentFiveByFive) {
  const StyleKitImage a = KorvalumeStyleKit::imageOfBlank();
  const StyleKitImage b = KorvalumeStyleKit::imageOfBlank();
  EXPECT_TRUE(a.isSameImage(b));
  EXPECT_EQ(a.size(), QSizeF(5, 5));
  const QImage px = a.render(2);
  EXPECT_EQ(px.size(), QSize(10, 10));
  for (int y = 0; y < px.height(); ++y)
    for (int x = 0; x < px.width(); ++x) ASSERT_EQ(qAlpha(px.pixel(x, y)), 0);
}

TEST(KitFrame, ImageCallsTheDrawMethodWithItsOwnFrameAndArguments) {
  gCalls = 0;
  const StyleKitImage img = imageOfDrawMethod(QSizeF(30, 20), &recordFrame, true, 0.5, QColor(Qt::blue));
  EXPECT_EQ(gCalls, 0);  // nothing is drawn until the image is
  QImage target(200, 200, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::transparent);
  QPainter p(&target);
  img.draw(p, QRectF(10, 10, 120, 40));
  p.end();
  EXPECT_EQ(gSeen, QRectF(0, 0, 30, 20));
  EXPECT_EQ(gCalls, 1);
  EXPECT_NEAR(target.pixelColor(50, 30).alpha(), 128, 2);
  img.render(1.5);
  EXPECT_EQ(gCalls, 2);  // drawn again at each rendering
  EXPECT_FALSE(img.isSameImage(imageOfDrawMethod(QSizeF(30, 20), &recordFrame, true, 0.5, QColor(Qt::blue))));
}
