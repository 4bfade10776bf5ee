#pragma once
// Every icon of the kits with sample arguments, for the icon sheet, the tests and the
// benchmarks. Each family registers its icons in icon_registry.cpp.
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

#include "platform/graphics/stylekit_image.h"

struct IconSample {
  QString name;                                 // the image method, with its sample arguments
  std::function<StyleKitImage(QSizeF)> image;   // the icon at a size
};

const std::vector<IconSample>& iconRegistry();

// Family registrations.
void registerBadgeIcons(std::vector<IconSample>& out);
void registerGearLevelIcons(std::vector<IconSample>& out);
void registerBatteryIcons(std::vector<IconSample>& out);
void registerRatingStarIcons(std::vector<IconSample>& out);
void registerCarouselIcons(std::vector<IconSample>& out);
void registerStorageIcons(std::vector<IconSample>& out);
void registerEditIcons(std::vector<IconSample>& out);
void registerAdjustmentIcons(std::vector<IconSample>& out);
void registerShareIcons(std::vector<IconSample>& out);
void registerHdrIcons(std::vector<IconSample>& out);
void registerSequenceIcons(std::vector<IconSample>& out);
void registerCameraMarkIcons(std::vector<IconSample>& out);
void registerControlIcons(std::vector<IconSample>& out);
void registerTrashCompareIcons(std::vector<IconSample>& out);
void registerMediaViewIcons(std::vector<IconSample>& out);
void registerLogoIcons(std::vector<IconSample>& out);
void registerSelectFilterIcons(std::vector<IconSample>& out);
void registerCropDeviceIcons(std::vector<IconSample>& out);
void registerPropVisualIcons(std::vector<IconSample>& out);
void registerPropImageFormatIcons(std::vector<IconSample>& out);
void registerPropDriveModeIcons(std::vector<IconSample>& out);
void registerPropDriveModeTimerIcons(std::vector<IconSample>& out);
void registerPropFocusAreaIcons(std::vector<IconSample>& out);
void registerPropTrackingFocusAreaIcons(std::vector<IconSample>& out);
void registerPropMovieAfAreaIcons(std::vector<IconSample>& out);
void registerPropCanvasTextIcons(std::vector<IconSample>& out);
void registerPropMeteringIcons(std::vector<IconSample>& out);
void registerPropWhiteBalanceIcons(std::vector<IconSample>& out);
void registerPropDriveContinuousIcons(std::vector<IconSample>& out);
