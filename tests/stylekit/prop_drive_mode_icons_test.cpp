// Drive-mode icons: snapped plus sign and knob, shared figures, holes, and the caller texts
// hung from their boxes.
#include <gtest/gtest.h>

#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_pixel_measure.h"

using K = KorvalumePropertiesStyleKit;
using propmeasure::regionExtent;
using sktest::at;

namespace {

QImage plain(void (*draw)(GraphicsContext&, QRectF, double, double, double), qreal w, qreal h, qreal dpr = 4) {
  return sktest::draw(w, h, dpr, [&](GraphicsContext& ctx) { draw(ctx, QRectF(0, 0, w, h), 1, 1, 1); });
}

}  // namespace

TEST(DriveModeIcons, PlusSignAndKnobSnapToWholePointsFromTheOrigin) {
  struct Case {
    qreal size;
    QRectF plus;      // union of both bars (left, bottom, width, height)
    QRectF vertical;  // the vertical bar
    QRectF knob;
  };
  const Case cases[] = {
      {24, {20, 20, 4, 3}, {21, 20, 1, 3}, {9, 19, 3, 3}},
      {100, {85, 84, 13, 13}, {89, 84, 4, 13}, {38, 79, 13, 12}},
  };
  for (const Case& c : cases) {
    // The plus sign is all that ContinuousExtended adds to ContinuousHighSpeed.
    const QImage plus = propmeasure::difference(plain(&K::drawDriveMode_ContinuousExtendedWithFrame, c.size, c.size),
                                             plain(&K::drawDriveMode_ContinuousHighSpeedWithFrame, c.size, c.size));
    const sktest::Extent all = regionExtent(plus, QRectF(0, 0, c.size, c.size));
    EXPECT_EQ(propmeasure::text(propmeasure::box(all)), propmeasure::text(c.plus));
    // Above the horizontal bar only the vertical one remains.
    const qreal above = c.plus.y() + c.plus.height() * 0.75;
    const sktest::Extent bar = regionExtent(plus, QRectF(0, above, c.size, c.size));
    EXPECT_EQ(bar.left, c.vertical.left()) << c.size;
    EXPECT_EQ(bar.right, c.vertical.right()) << c.size;
    EXPECT_EQ(bar.bottom >= c.vertical.y() ? bar.top : -1, c.vertical.y() + c.vertical.height()) << c.size;

    // Custom's knob: nothing else of the dial lies left of the ring's gap above the hand.
    const QImage custom = plain(&K::drawDriveMode_CustomWithFrame, c.size, c.size);
    const sktest::Extent knob =
        regionExtent(custom, QRectF(0.36 * c.size, 0.77 * c.size, 0.2 * c.size, 0.23 * c.size));
    EXPECT_EQ(propmeasure::text(propmeasure::box(knob)), propmeasure::text(c.knob));
  }
}

TEST(DriveModeIcons, FamiliesShareTheirFramesEdgesAndLetters) {
  using Draw = void (*)(GraphicsContext&, QRectF, double, double, double);
  // Each icon on the left is drawn unchanged inside each icon on its right.
  const std::pair<Draw, std::vector<Draw>> families[] = {
      {&K::drawDriveMode_ContinuousWithFrame,
       {&K::drawDriveMode_ContinuousHighSpeedWithFrame, &K::drawDriveMode_ContinuousExtendedWithFrame,
        &K::drawDriveMode_ContinuousLowSpeedWithFrame, &K::drawDriveMode_ContinuousHighPlusWithFrame,
        &K::drawDriveMode_ContinuousMediumWithFrame}},
      {&K::drawDriveMode_SilentWithFrame,
       {&K::drawDriveMode_SilentContinuousWithFrame, &K::drawDriveMode_SilentContinuousLowWithFrame}},
      {&K::drawDriveMode_RemoteWithFrame, {&K::drawDriveMode_DelayRemoteWithFrame}},
  };
  for (const auto& [part, wholes] : families) {
    const QImage p = plain(part, 48, 48, 2);
    for (Draw whole : wholes) EXPECT_TRUE(propmeasure::containedIn(p, plain(whole, 48, 48, 2)));
  }
  // Silent continuous and the frame-rate icons share the narrow-step stack: they differ only
  // in the S at the top right and the number at the bottom.
  const QImage silentVs30 = propmeasure::difference(plain(&K::drawDriveMode_SilentContinuousWithFrame, 48, 48, 2),
                                                    plain(&K::drawDriveMode_Continuous30WithFrame, 48, 48, 2));
  EXPECT_TRUE(regionExtent(silentVs30, QRectF(0, 0.23 * 48, 48, 0.53 * 48)).empty());
  EXPECT_FALSE(regionExtent(silentVs30, QRectF(0, 0.77 * 48, 48, 0.23 * 48)).empty());
  // The frame-rate icons differ only in their numbers, below y 0.22.
  const QImage c30 = plain(&K::drawDriveMode_Continuous30WithFrame, 48, 48, 2);
  for (auto other : {&K::drawDriveMode_Continuous60WithFrame, &K::drawDriveMode_Continuous120WithFrame}) {
    const sktest::Extent diff = regionExtent(propmeasure::difference(c30, plain(other, 48, 48, 2)), QRectF(0, 0, 48, 48));
    EXPECT_LE(diff.top, 0.22 * 48 + 0.5);  // antialiased edge pixels included
  }
  // SilentContinuousHigh moves the S 0.02 right and 0.00667 up.
  const sktest::Extent s = regionExtent(plain(&K::drawDriveMode_SilentContinuousWithFrame, 300, 300, 1),
                                        QRectF(0.82 * 300, 0.77 * 300, 60, 60));
  const sktest::Extent sHigh = regionExtent(plain(&K::drawDriveMode_SilentContinuousHighWithFrame, 300, 300, 1),
                                            QRectF(0.82 * 300, 0.77 * 300, 60, 60));
  EXPECT_NEAR(sHigh.left - s.left, 6, 1);
  EXPECT_NEAR(sHigh.top - s.top, 2, 1);
}

TEST(DriveModeIcons, InnerContoursAreHolesUnderTheNonZeroRule) {
  struct Case {
    const char* what;
    void (*draw)(GraphicsContext&, QRectF, double, double, double);
    QPointF hole, solid;  // fractions of a 100 x 100 frame
  };
  const Case cases[] = {
      {"front frame", &K::drawDriveMode_ContinuousWithFrame, {0.35, 0.74}, {0.04, 0.74}},
      {"single frame", &K::drawDriveMode_SingleWithFrame, {0.32, 0.76}, {0.02, 0.76}},
      {"quiet ring", &K::drawDriveMode_QuietWithFrame, {0.12, 0.5}, {0.05, 0.5}},
      {"counter of the Q", &K::drawDriveMode_QuietWithFrame, {0.5, 0.6}, {0.5, 0.79}},
      {"button of the remote", &K::drawDriveMode_RemoteWithFrame, {0.5, 0.52}, {0.5, 0.35}},
      {"timer ring", &K::drawDriveMode_TimerWithFrame, {0.5, 0.47}, {0.5, 0.15}},
      {"gap of the timer ring", &K::drawDriveMode_TimerWithFrame, {0.35, 0.76}, {0.84, 0.5}},
      {"B cut from the bracket badge",
       [](GraphicsContext& ctx, QRectF f, double r, double g, double b) {
         K::drawDriveMode_SonyBracketWithFrame(ctx, f, r, g, b, 10, QString(), QString());
       },
       {0.07, 0.7},
       {0.02, 0.7}},
  };
  for (const Case& c : cases) {
    const QImage img = plain(c.draw, 100, 100, 1);
    EXPECT_EQ(at(img, c.hole.x() * 100, c.hole.y() * 100).alpha(), 0) << c.what;
    EXPECT_EQ(at(img, c.solid.x() * 100, c.solid.y() * 100).alpha(), 255) << c.what;
  }
}

namespace {

QImage timerSeconds(qreal size, const QString& text, qreal fontSize) {
  return K::imageOfDriveMode_TimerSecondsWithSize(QSizeF(size, size), 1, 1, 1, fontSize, text).render(4);
}

}  // namespace

TEST(DriveModeIcons, CallerTextsHangFromTheirSnappedBoxesRaisedThreePoints) {
  struct Case {
    qreal size, fontSize;
    qreal boxLeft, boxRight, drawnTop;
  };
  // 24: box x 14 to 24, y 0 to 8, drawn at y 3 to 11; 100: x 59 to 100, y 0 to 34, drawn 3 to 37.
  for (const Case& c : {Case{24, 8, 14, 24, 11}, Case{100, 20, 59, 100, 37}}) {
    const QImage text = propmeasure::difference(timerSeconds(c.size, "10", c.fontSize), timerSeconds(c.size, "", c.fontSize));
    const sktest::Extent ink = regionExtent(text, QRectF(0, 0, c.size, c.size));
    const Font f = Font::fontWithName(QStringLiteral("Arial-BoldMT"), c.fontSize);
    EXPECT_NEAR(ink.bottom, c.drawnTop - f.ascender(), 0.5) << c.size;  // the baseline
    EXPECT_NEAR(ink.centreX(), (c.boxLeft + c.boxRight) / 2, 0.75) << c.size;
  }
  // A null or empty text draws nothing; the dial is painted all the same.
  EXPECT_EQ(timerSeconds(48, QString(), 12), timerSeconds(48, "", 12));
  EXPECT_GT(gfxtest::totalAlpha(timerSeconds(48, QString(), 12)), 100);

  // The count hangs from the upper-right box (y 66 to 100 of 100, drawn from 103) and is not
  // clipped by the frame: its first line starts above the image.
  auto counter = [](const QString& count) {
    return K::imageOfDriveMode_TimerSecondsCounterWithSize(QSizeF(100, 100), 1, 1, 1, 20, QString(), count).render(2);
  };
  const sktest::Extent count = regionExtent(propmeasure::difference(counter("3"), counter("")), QRectF(0, 0, 100, 100));
  EXPECT_NEAR(count.bottom, 103 - Font::fontWithName(QStringLiteral("Arial-BoldMT"), 20).ascender(), 0.5);
  EXPECT_NEAR(count.centreX(), 79.5, 0.75);

  // Bracket texts: the top one right of the badge, the bottom one across the whole width.
  auto bracket = [](const QString& bottom, const QString& top) {
    return K::imageOfDriveMode_SonyBracketWithSize(QSizeF(100, 100), 1, 1, 1, 16, bottom, top).render(2);
  };
  const QImage none = bracket("", "");
  const sktest::Extent top = regionExtent(propmeasure::difference(bracket("", "3"), none), QRectF(0, 0, 100, 100));
  const sktest::Extent bottom = regionExtent(propmeasure::difference(bracket("+0.3", ""), none), QRectF(0, 0, 100, 100));
  EXPECT_NEAR(top.centreX(), (61 + 100) / 2.0, 0.75);
  EXPECT_NEAR(bottom.centreX(), 50, 0.75);
  const qreal asc16 = Font::fontWithName(QStringLiteral("Arial-BoldMT"), 16).ascender();
  EXPECT_NEAR(top.bottom, 83 + 3 - asc16, 0.75);
  EXPECT_NEAR(bottom.bottom, 44 + 3 - asc16, 0.75);
}

TEST(DriveModeIcons, ImagesKeepTheirTextsAfterTheCallerLetsThemGo) {
  StyleKitImage img;
  {
    QString seconds = QStringLiteral("10");
    QString count = QStringLiteral("3");
    img = K::imageOfDriveMode_TimerSecondsCounterWithSize(QSizeF(48, 48), 1, 1, 1, 12, seconds, count);
    seconds.clear();
    count = QStringLiteral("changed");
  }
  EXPECT_EQ(img.render(2), K::imageOfDriveMode_TimerSecondsCounterWithSize(QSizeF(48, 48), 1, 1, 1, 12,
                                                                           QStringLiteral("10"), QStringLiteral("3"))
                               .render(2));
}
