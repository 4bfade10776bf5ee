// White-balance icons of the property kit (and the two drive-mode icons drawn beside them):
// letters and windows cut out, counters filled again, text boxes, fixed corner radii,
// shadows and the image methods.
#include "stylekit/prop_white_balance_icons.h"

#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/prop_drive_continuous_icons.h"
#include "stylekit/text_box.h"
#include "tests/stylekit/prop_icon_test_support.h"

using K = KorvalumePropertiesWhiteBalanceIcons;
using D = KorvalumePropertiesDriveContinuousIcons;
using propicon::ShadowDraw;

namespace {

// The text forms with the white-balance visual's arguments, as shadow-form draws.
void autoW(GraphicsContext& c, QRectF f, double r, double g, bool s, double b) {
  K::drawWhiteBalance_AutoWWithFrame(c, f, r, g, s, b, 0.15 * f.height());
}
void fluorescentText(GraphicsContext& c, QRectF f, double r, double g, bool s, double b) {
  K::drawWhiteBalance_FlourescentTextWithFrame(c, f, r, g, s, b, f.height() / 3, QStringLiteral("+1"));
}
void customText(GraphicsContext& c, QRectF f, double r, double g, bool s, double b) {
  K::drawWhiteBalance_CustomTextWithFrame(c, f, r, g, s, b, f.height() / 3, QStringLiteral("2"));
}

struct Icon {
  const char* name;
  ShadowDraw draw;
  std::function<StyleKitImage(QSizeF, double, double, bool, double)> image;
};

const std::vector<Icon>& icons() {
  static const std::vector<Icon> all = {
      {"Auto", &K::drawWhiteBalance_AutoWithFrame, &K::imageOfWhiteBalance_AutoWithSize},
      {"Cloudy", &K::drawWhiteBalance_CloudyWithFrame, &K::imageOfWhiteBalance_CloudyWithSize},
      {"ColorTemperature", &K::drawWhiteBalance_ColorTemperatureWithFrame,
       &K::imageOfWhiteBalance_ColorTemperatureWithSize},
      {"Custom", &K::drawWhiteBalance_CustomWithFrame, &K::imageOfWhiteBalance_CustomWithSize},
      {"Daylight", &K::drawWhiteBalance_DaylightWithFrame, &K::imageOfWhiteBalance_DaylightWithSize},
      {"Flash", &K::drawWhiteBalance_FlashWithFrame, &K::imageOfWhiteBalance_FlashWithSize},
      {"Flourescent", &K::drawWhiteBalance_FlourescentWithFrame, &K::imageOfWhiteBalance_FlourescentWithSize},
      {"Shade", &K::drawWhiteBalance_ShadeWithFrame, &K::imageOfWhiteBalance_ShadeWithSize},
      {"Tungsten", &K::drawWhiteBalance_TungstenWithFrame, &K::imageOfWhiteBalance_TungstenWithSize},
      {"AutoUnderwater", &K::drawWhiteBalance_AutoUnderwaterWithFrame, &K::imageOfWhiteBalance_AutoUnderwaterWithSize},
      {"AutoNaturalLight", &K::drawWhiteBalance_AutoNaturalLightWithFrame,
       &K::imageOfWhiteBalance_AutoNaturalLightWithSize},
      {"Preset", &K::drawWhiteBalance_PresetWithFrame, &K::imageOfWhiteBalance_PresetWithSize},
      {"AutoW", &autoW,
       [](QSizeF s, double r, double g, bool sh, double b) {
         return K::imageOfWhiteBalance_AutoWWithSize(s, r, g, sh, b, 0.15 * s.height());
       }},
      {"FlourescentText", &fluorescentText,
       [](QSizeF s, double r, double g, bool sh, double b) {
         return K::imageOfWhiteBalance_FlourescentTextWithSize(s, r, g, sh, b, s.height() / 3, QStringLiteral("+1"));
       }},
      {"CustomText", &customText,
       [](QSizeF s, double r, double g, bool sh, double b) {
         return K::imageOfWhiteBalance_CustomTextWithSize(s, r, g, sh, b, s.height() / 3, QStringLiteral("2"));
       }},
  };
  return all;
}

TextAttributes textIn(const char* font, qreal size) {
  TextAttributes a;
  a.font = Font::fontWithName(QString::fromLatin1(font), size);
  a.foregroundColor = colorWithRGBA(1, 1, 1, 1);
  a.alignment = TextAlignment::Center;
  return a;
}

// The image with everything outside the y-up band [from, to) of x (or y) cleared.
QImage onlyColumns(QImage img, qreal fromX) {
  const qreal dpr = img.devicePixelRatio();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < qRound(fromX * dpr); ++x) img.setPixelColor(x, y, Qt::transparent);
  return img;
}
QImage onlyRowsBelow(QImage img, qreal belowY) {
  const qreal dpr = img.devicePixelRatio();
  for (int y = 0; y < img.height() - qRound(belowY * dpr); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixelColor(x, y, Qt::transparent);
  return img;
}

}  // namespace

TEST(PropWhiteBalanceIcons, EveryIconStaysInItsFrameAndShowsAShadowOnlyWhenAsked) {
  for (const Icon& icon : icons()) propicon::expectInFrameWithShadowOnlyWhenAsked(icon.draw, icon.name);
}

TEST(PropWhiteBalanceIcons, LettersAndWindowsAreCutOutAndCountersFilledAgain) {
  using propicon::expectProbes;
  expectProbes(&K::drawWhiteBalance_AutoWithFrame, 100,
               {{0.1, 0.3, true},
                {0.1873, 0.4217, false},
                {0.2609, 0.5053, true},
                {0.7167, 0.5036, false},
                {0.757, 0.5421, true}},
               "auto");
  expectProbes(&K::drawWhiteBalance_ColorTemperatureWithFrame, 100, {{0.42, 0.5, false}, {0.3, 0.3, true}},
               "colour temperature");
  expectProbes(&K::drawWhiteBalance_ShadeWithFrame, 100, {{0.37, 0.48, false}, {0.22, 0.3, true}}, "shade");
  expectProbes(&K::drawWhiteBalance_FlourescentWithFrame, 100, {{0.26, 0.5, false}, {0.5, 0.5, true}}, "fluorescent");
  expectProbes(&K::drawWhiteBalance_TungstenWithFrame, 100, {{0.5, 0.5, true}, {0.5, 0.9, false}}, "tungsten");
  expectProbes(&K::drawWhiteBalance_AutoUnderwaterWithFrame, 100,
               {{0.24275, 0.33696, false}, {0.4, 0.3, true}, {0.14, 0.6, true}}, "underwater");
  expectProbes(&K::drawWhiteBalance_AutoNaturalLightWithFrame, 100,
               {{0.83, 0.5, false}, {0.72, 0.36, true}, {0.35, 0.5, true}}, "auto natural light");
  expectProbes(&K::drawWhiteBalance_PresetWithFrame, 100,
               {{0.22, 0.565, false}, {0.13, 0.5, true}, {0.5, 0.565, false}, {0.7, 0.5, true}, {0.36, 0.5, false}},
               "preset");
  expectProbes(&customText, 100, {{0.5, 0.8, true}, {0.5, 0.45, false}, {0.2, 0.45, true}}, "custom text");
  expectProbes(&autoW, 100, {{0.02, 0.3, true}, {0.4, 0.35, true}, {0.0456, 0.4389, false}}, "auto W");
}

TEST(PropWhiteBalanceIcons, DaylightDiscAndRaysSnapToWholePoints) {
  const QImage small = propicon::paint(&K::drawWhiteBalance_DaylightWithFrame, QRectF(0, 0, 30, 30), QSizeF(30, 30), 4);
  const sktest::Extent disc = propicon::extentIn(small, QRectF(9.4, 9.4, 11.2, 11.2), propicon::opaque);
  EXPECT_DOUBLE_EQ(disc.left, 10);
  EXPECT_DOUBLE_EQ(disc.right, 20);
  EXPECT_DOUBLE_EQ(disc.bottom, 10);
  EXPECT_DOUBLE_EQ(disc.top, 20);
  const sktest::Extent up = propicon::extentIn(small, QRectF(12, 22, 6, 7), propicon::opaque);
  EXPECT_DOUBLE_EQ(up.right - up.left, 2);
  const QImage big =
      propicon::paint(&K::drawWhiteBalance_DaylightWithFrame, QRectF(0, 0, 100, 100), QSizeF(100, 100), 1);
  const sktest::Extent vertical = propicon::extentIn(big, QRectF(44, 75, 12, 20), propicon::opaque);
  EXPECT_DOUBLE_EQ(vertical.right - vertical.left, 5);
  const sktest::Extent horizontal = propicon::extentIn(big, QRectF(75, 44, 20, 12), propicon::opaque);
  EXPECT_DOUBLE_EQ(horizontal.top - horizontal.bottom, 4);
}

TEST(PropWhiteBalanceIcons, CustomCardKeepsThreePointCornersAtAnySize) {
  for (qreal size : {20.0, 300.0}) {
    const QImage img =
        propicon::paint(&K::drawWhiteBalance_CustomWithFrame, QRectF(0, 0, size, size), QSizeF(size, size), 4);
    const QRectF card = snappedRect(QRectF(0, 0, size, size), 0.25362, 0.47101, 0.74638, 0.7971);
    EXPECT_LT(sktest::at(img, card.left() + 0.125, card.y() + 0.125).alpha(), 40) << size;
    EXPECT_EQ(sktest::at(img, card.left() + 3.1, card.y() + 0.125).alpha(), 255) << size;
    EXPECT_EQ(sktest::at(img, card.left() + 0.125, card.y() + 3.1).alpha(), 255) << size;
  }
}

TEST(PropWhiteBalanceIcons, TextsSitInTheirBoxesInTheirFonts) {
  // AutoW at 100: "W" in AvenirNext-Regular at fontSize + 6, box (69, 37, 30, 26), moved up 2.
  const QImage autoWImg = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    K::drawWhiteBalance_AutoWWithFrame(ctx, QRectF(0, 0, 100, 100), 1, 1, false, 1, 14);
  });
  const QImage autoWRef = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    drawTextCentredInBox(ctx, QStringLiteral("W"), QRectF(69, 37, 30, 26), textIn("AvenirNext-Regular", 20), 2);
  });
  EXPECT_EQ(onlyColumns(autoWImg, 68), onlyColumns(autoWRef, 68));
  EXPECT_FALSE(sktest::extent(autoWRef, propicon::inked).empty());
  // FlourescentText: the caller's text in Arial-BoldMT, box (61, 36, 39, 25), moved up 1.5.
  const QImage fluo = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    K::drawWhiteBalance_FlourescentTextWithFrame(ctx, QRectF(0, 0, 100, 100), 1, 1, false, 1, 20, QStringLiteral("+1"));
  });
  const QImage fluoRef = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    drawTextCentredInBox(ctx, QStringLiteral("+1"), QRectF(61, 36, 39, 25), textIn("Arial-BoldMT", 20), 1.5);
  });
  EXPECT_EQ(onlyColumns(fluo, 61), onlyColumns(fluoRef, 61));
  // CustomText: a strip along the bottom, box (0, 3, 100, 25).
  const QImage custom = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    K::drawWhiteBalance_CustomTextWithFrame(ctx, QRectF(0, 0, 100, 100), 1, 1, false, 1, 20, QStringLiteral("3"));
  });
  const QImage customRef = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    drawTextCentredInBox(ctx, QStringLiteral("3"), QRectF(0, 3, 100, 25), textIn("Arial-BoldMT", 20), 1.5);
  });
  EXPECT_EQ(onlyRowsBelow(custom, 30), onlyRowsBelow(customRef, 30));
}

TEST(PropWhiteBalanceIcons, LongTextsAreCutAtTheirBoxAndANullTextShowsThePictureAlone) {
  // At 20 x 20 the custom text's strip ends at y 6; the wedges start at 7.1.
  const QImage longText = sktest::draw(20, 20, 4, [](GraphicsContext& ctx) {
    K::drawWhiteBalance_CustomTextWithFrame(ctx, QRectF(0, 0, 20, 20), 1, 1, false, 1, 10,
                                            QStringLiteral("1 2 3 4 5 6 7 8 9"));
  });
  EXPECT_TRUE(propicon::extentIn(longText, QRectF(0, 6, 20, 1), propicon::inked).empty());
  EXPECT_FALSE(propicon::extentIn(longText, QRectF(0, 1, 20, 5), propicon::inked).empty());
  auto custom = [](QString text) {
    return sktest::draw(20, 20, 2, [&](GraphicsContext& ctx) {
      K::drawWhiteBalance_CustomTextWithFrame(ctx, QRectF(0, 0, 20, 20), 1, 1, true, 1, 7, text);
    });
  };
  const QImage none = custom(QString());
  EXPECT_EQ(none, custom(QStringLiteral("")));
  EXPECT_TRUE(propicon::extentIn(none, QRectF(0, 0, 20, 5.5), propicon::inked).empty());
}

TEST(PropWhiteBalanceIcons, PresetCastsOneShadowThatShowsInsideItsCounters) {
  const QImage img =
      propicon::paint(&K::drawWhiteBalance_PresetWithFrame, QRectF(0, 0, 100, 100), QSizeF(100, 100), 2, true);
  // Inside the P's counter, one point right of the stem's inner edge (x 15.98).
  const QColor c = sktest::at(img, 16.25, 56);
  EXPECT_NEAR(c.alpha(), 191, 2);
  EXPECT_EQ(c.red(), 0);
  EXPECT_EQ(sktest::at(img, 18, 56).alpha(), 0);
}

TEST(PropWhiteBalanceIcons, TextImagesHoldTheirTextAndEveryImagePaintsItsDrawMethod) {
  for (const Icon& icon : icons()) {
    const StyleKitImage image = icon.image(QSizeF(30, 24), 0.2, 0.4, true, 0.6);
    const QImage drawn = sktest::draw(
        30, 24, 2, [&](GraphicsContext& ctx) { icon.draw(ctx, QRectF(0, 0, 30, 24), 0.2, 0.4, true, 0.6); });
    EXPECT_EQ(image.render(2), drawn) << icon.name;
  }
  StyleKitImage later;
  {
    QString text = QStringLiteral("+2");
    later = K::imageOfWhiteBalance_FlourescentTextWithSize(QSizeF(40, 40), 1, 1, false, 1, 12, text);
    text = QStringLiteral("gone");
  }
  const QImage now =
      K::imageOfWhiteBalance_FlourescentTextWithSize(QSizeF(40, 40), 1, 1, false, 1, 12, QStringLiteral("+2"))
          .render(1);
  EXPECT_EQ(later.render(1), now);
}

TEST(PropDriveContinuousIcons, FramesAreHollowAndTheFillColourIsLeftSet) {
  using DrawPlain = void (*)(GraphicsContext&, QRectF, double, double, double);
  struct Case {
    const char* name;
    DrawPlain draw;
    StyleKitImage (*image)(QSizeF, double, double, double);
    QPointF letter;
  };
  const Case cases[] = {
      {"high plus",
       &D::drawDriveMode_ContinuousHighPlusWithFrame,
       &D::imageOfDriveMode_ContinuousHighPlusWithSize,
       {0.7, 0.1}},
      {"medium",
       &D::drawDriveMode_ContinuousMediumWithFrame,
       &D::imageOfDriveMode_ContinuousMediumWithSize,
       {0.79, 0.1}},
  };
  for (const Case& c : cases) {
    const QImage img = sktest::draw(100, 100, 1, [&](GraphicsContext& ctx) {
      ctx.setFillColor(Qt::green);
      c.draw(ctx, QRectF(0, 0, 100, 100), 0.25, 0.5, 0.75);
      EXPECT_EQ(ctx.fillColor(), colorWithRGBA(0.25, 0.5, 0.75, 1)) << c.name;
    });
    EXPECT_EQ(sktest::at(img, 35, 75).alpha(), 0) << c.name;      // inside the front frame
    EXPECT_EQ(sktest::at(img, 4.5, 75).alpha(), 255) << c.name;   // its left edge
    EXPECT_EQ(sktest::at(img, 81.5, 60).alpha(), 255) << c.name;  // the middle frame's edge
    EXPECT_EQ(sktest::at(img, c.letter.x() * 100, c.letter.y() * 100).alpha(), 255) << c.name;
    EXPECT_EQ(sktest::extent(img, [](QColor p) { return p.alpha() > 0 && p.green() < 100; }).empty(), true);
    const QImage drawn =
        sktest::draw(30, 24, 2, [&](GraphicsContext& ctx) { c.draw(ctx, QRectF(0, 0, 30, 24), 0.25, 0.5, 0.75); });
    EXPECT_EQ(c.image(QSizeF(30, 24), 0.25, 0.5, 0.75).render(2), drawn) << c.name;
  }
}
