#include "stylekit/icon_registry.h"

#include "stylekit/korvalume_style_kit.h"

const std::vector<IconSample>& iconRegistry() {
  static const std::vector<IconSample> all = [] {
    std::vector<IconSample> out;
    registerBadgeIcons(out);
    registerGearLevelIcons(out);
    registerBatteryIcons(out);
    registerRatingStarIcons(out);
    registerCarouselIcons(out);
    registerStorageIcons(out);
    registerEditIcons(out);
    registerAdjustmentIcons(out);
    registerShareIcons(out);
    registerHdrIcons(out);
    registerSequenceIcons(out);
    registerCameraMarkIcons(out);
    registerControlIcons(out);
    registerTrashCompareIcons(out);
    registerMediaViewIcons(out);
    registerLogoIcons(out);
    registerSelectFilterIcons(out);
    registerCropDeviceIcons(out);
    registerPropVisualIcons(out);
    registerPropImageFormatIcons(out);
    registerPropDriveModeIcons(out);
    registerPropDriveModeTimerIcons(out);
    registerPropFocusAreaIcons(out);
    registerPropTrackingFocusAreaIcons(out);
    registerPropMovieAfAreaIcons(out);
    registerPropCanvasTextIcons(out);
    registerPropMeteringIcons(out);
    registerPropWhiteBalanceIcons(out);
    registerPropDriveContinuousIcons(out);
    return out;
  }();
  return all;
}

void registerBadgeIcons(std::vector<IconSample>& out) {
  // The browser asks for 24 x 24 with font size 21.6; other sizes keep that proportion.
  out.push_back({QStringLiteral("imageOfRawWithSize:fontSize: (0.9 h)"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfRawWithSize(s, 0.9 * s.height()); }});
  out.push_back({QStringLiteral("imageOfTiffWithSize:fontSize: (0.9 h)"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfTiffWithSize(s, 0.9 * s.height()); }});
  out.push_back({QStringLiteral("imageOfMovieIconWithSize:"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfMovieIconWithSize(s); }});
  out.push_back({QStringLiteral("imageOfUnknownThumbnailWithSize:"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfUnknownThumbnailWithSize(s); }});
}

void registerGearLevelIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfGearWithSize:"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfGearWithSize(s); }});
  out.push_back({QStringLiteral("imageOfElectronicLevelWithSize:"),
                 [](QSizeF s) { return KorvalumeStyleKit::imageOfElectronicLevelWithSize(s); }});
}
