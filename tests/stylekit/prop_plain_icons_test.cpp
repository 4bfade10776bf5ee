// Every plain-form icon of the property kit (drive mode, image format, Sony focus area, Nikon
// movie AF area): its image is its draw method on (0, 0, width, height), it paints only the
// caller's opaque colour with no shadow, and a frame off the origin moves the same picture.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_pixel_measure.h"

namespace {

using K = KorvalumePropertiesStyleKit;
using Draw = void (*)(GraphicsContext&, QRectF, double, double, double);
using Image = StyleKitImage (*)(QSizeF, double, double, double);

struct PlainIcon {
  const char* name;
  Draw draw;
  Image image;
};
void PrintTo(const PlainIcon& icon, std::ostream* os) { *os << icon.name; }

#define ICON(Name) {#Name, &K::draw##Name##WithFrame, &K::imageOf##Name##WithSize}
const PlainIcon kIcons[] = {
    ICON(ImageFormat_Smooth),
    ICON(ImageFormat_Compressed),
    ICON(ImageFormat_RAW),
    ICON(DriveMode_ContinuousHighSpeed),
    ICON(DriveMode_ContinuousExtended),
    ICON(DriveMode_ContinuousLowSpeed),
    ICON(DriveMode_Custom),
    ICON(DriveMode_DelayRemote),
    ICON(DriveMode_QuietContinuous),
    ICON(DriveMode_Quiet),
    ICON(DriveMode_Remote),
    ICON(DriveMode_SilentContinuous),
    ICON(DriveMode_SilentContinuousHigh),
    ICON(DriveMode_SilentContinuousLow),
    ICON(DriveMode_Continuous30),
    ICON(DriveMode_Continuous60),
    ICON(DriveMode_Continuous120),
    ICON(DriveMode_Silent),
    ICON(DriveMode_Timer2Sec),
    ICON(DriveMode_Timer),
    ICON(DriveMode_Continuous),
    ICON(DriveMode_Single),
    ICON(DriveMode_ContinuousHighPlus),
    ICON(DriveMode_ContinuousMedium),
    ICON(Sony_FocusArea_Wide),
    ICON(Sony_FocusArea_Zone),
    ICON(Sony_FocusArea_Center),
    ICON(Sony_FocusArea_FlexibleSpotSmall),
    ICON(Sony_FocusArea_FlexibleSpotMedium),
    ICON(Sony_FocusArea_FlexibleSpotLarge),
    ICON(Sony_FocusArea_ExpandFlexibleSpot),
    ICON(Sony_FocusArea_Tracking_ExpandFlexibleSpot),
    ICON(Sony_FocusArea_Tracking_FlexibleSpotSmall),
    ICON(Sony_FocusArea_Tracking_FlexibleSpotMedium),
    ICON(Sony_FocusArea_Tracking_FlexibleSpotLarge),
    ICON(Sony_FocusArea_Tracking_Center),
    ICON(Sony_FocusArea_Tracking_Wide),
    ICON(Sony_FocusArea_Tracking_Zone),
    ICON(Nikon_MovieAfArea_Single),
    ICON(Nikon_MovieAfArea_Auto),
    ICON(Nikon_MovieAfArea_WideS),
    ICON(Nikon_MovieAfArea_WideL),
};
#undef ICON

class PlainPropertyIcon : public ::testing::TestWithParam<PlainIcon> {};

TEST_P(PlainPropertyIcon, ImageIsTheDrawMethodOnItsOwnBounds) {
  const PlainIcon& icon = GetParam();
  for (QSizeF size : {QSizeF(24, 24), QSizeF(60, 30)}) {
    const QImage viaImage = icon.image(size, 0.2, 0.4, 0.6).render(2);
    const QImage direct = sktest::draw(size.width(), size.height(), 2, [&](GraphicsContext& ctx) {
      icon.draw(ctx, QRectF(QPointF(0, 0), size), 0.2, 0.4, 0.6);
    });
    EXPECT_EQ(viaImage, direct) << icon.name << " " << size.width();
    EXPECT_GT(gfxtest::totalAlpha(direct), size.width() * size.height() / 20) << icon.name;
  }
}

TEST_P(PlainPropertyIcon, PaintsOnlyTheOpaqueCallerColourAndLeavesItAsFill) {
  const PlainIcon& icon = GetParam();
  const QImage img = sktest::draw(48, 48, 2, [&](GraphicsContext& ctx) {
    icon.draw(ctx, QRectF(0, 0, 48, 48), 0.2, 0.4, 0.6);
    EXPECT_EQ(ctx.fillColor(), colorWithRGBA(0.2, 0.4, 0.6, 1)) << icon.name;
    EXPECT_FALSE(ctx.shadow().has_value()) << icon.name;
  });
  int opaque = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.alpha() != 255) continue;
      ++opaque;
      ASSERT_EQ(c.rgb(), QColor(51, 102, 153).rgb()) << icon.name << " at " << x << "," << y;
    }
  EXPECT_GT(opaque, 0) << icon.name;
}

TEST_P(PlainPropertyIcon, AFrameOffTheOriginGivesTheSamePictureMoved) {
  const PlainIcon& icon = GetParam();
  const QImage atOrigin = sktest::draw(30, 30, 2, [&](GraphicsContext& ctx) {
    icon.draw(ctx, QRectF(0, 0, 30, 30), 1, 1, 1);
  });
  const QImage moved = sktest::draw(50, 50, 2, [&](GraphicsContext& ctx) {
    icon.draw(ctx, QRectF(13, 7, 30, 30), 1, 1, 1);
  });
  // (13, 7) up from the bottom-left is 26 pixels right and 2 * (50 - 37) = 26 down from the top.
  EXPECT_EQ(moved.copy(26, 26, 60, 60), atOrigin.copy(0, 0, 60, 60)) << icon.name;
}

TEST_P(PlainPropertyIcon, AZeroSizedFramePaintsNothing) {
  const PlainIcon& icon = GetParam();
  const QImage img = sktest::draw(20, 20, 2, [&](GraphicsContext& ctx) {
    icon.draw(ctx, QRectF(5, 5, 0, 0), 1, 1, 1);
    icon.draw(ctx, QRectF(5, 5, 10, 0), 1, 1, 1);
  });
  EXPECT_EQ(gfxtest::totalAlpha(img), 0) << icon.name;
}

INSTANTIATE_TEST_SUITE_P(All, PlainPropertyIcon, ::testing::ValuesIn(kIcons),
                         [](const ::testing::TestParamInfo<PlainIcon>& info) { return std::string(info.param.name); });

}  // namespace
