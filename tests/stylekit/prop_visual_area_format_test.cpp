// Focus-area, image-format and movie-AF-area visuals: icons by value with their colours,
// quality texts by vendor, and the Canon buttons built from a packed format.
#include "stylekit/prop_visual_area_format.h"

#include <gtest/gtest.h>

#include "ptp/camera/cam_interface.h"
#include "ptp/vendors/fuji/fuji_values.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "ptp/vendors/sony/sony_images.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "stylekit/prop_visual_format_buttons.h"
#include "tests/stylekit/prop_visual_test_support.h"

using B = KorvalumeImageFormatButtons;
using P = KorvalumePropertiesStyleKit;
using V = KorvalumeAreaFormatVisuals;
using propvisual::expectImage;
using propvisual::expectNil;
using propvisual::expectText;
using propvisual::hex;

namespace {

using Twin = StyleKitImage (*)(QSizeF, double, double, double);
const QSizeF kSize(24, 24);

}  // namespace

TEST(PropVisualFocusArea, ValuesGiveTheirIconsAndOthersAnEmptyText) {
  struct Case {
    uint32_t value;
    Twin icon;
  };
  const Case cases[] = {
      {0x001, &P::imageOfSony_FocusArea_WideWithSize},
      {0x002, &P::imageOfSony_FocusArea_ZoneWithSize},
      {0x003, &P::imageOfSony_FocusArea_CenterWithSize},
      {0x101, &P::imageOfSony_FocusArea_FlexibleSpotSmallWithSize},
      {0x102, &P::imageOfSony_FocusArea_FlexibleSpotMediumWithSize},
      {0x103, &P::imageOfSony_FocusArea_FlexibleSpotLargeWithSize},
      {0x104, &P::imageOfSony_FocusArea_ExpandFlexibleSpotWithSize},
      {0x201, &P::imageOfSony_FocusArea_Tracking_WideWithSize},
      {0x202, &P::imageOfSony_FocusArea_Tracking_ZoneWithSize},
      {0x203, &P::imageOfSony_FocusArea_Tracking_CenterWithSize},
      {0x204, &P::imageOfSony_FocusArea_Tracking_FlexibleSpotSmallWithSize},
      {0x205, &P::imageOfSony_FocusArea_Tracking_FlexibleSpotMediumWithSize},
      {0x206, &P::imageOfSony_FocusArea_Tracking_FlexibleSpotLargeWithSize},
      {0x207, &P::imageOfSony_FocusArea_Tracking_ExpandFlexibleSpotWithSize},
  };
  for (const Case& c : cases) {
    // The code is not consulted; highlighted is blue, anything else white.
    expectImage(V::imageOfFocusArea_WithSize(kSize, 0, c.value, false), c.icon(kSize, 1, 1, 1), hex(c.value));
    expectImage(V::imageOfFocusArea_WithSize(kSize, 0xD22C, c.value, true), c.icon(kSize, 0, 0.5, 1),
                hex(c.value) + " highlighted");
  }
  for (uint32_t value : {0x000u, 0x004u, 0x100u, 0x105u, 0x200u, 0x208u, 0x10001u})
    expectText(V::imageOfFocusArea_WithSize(kSize, 0xD22C, value, false), "", hex(value));
}

TEST(PropVisualMovieAfArea, OnlyItsCodeAnswersAndHighlightedWins) {
  const double grey = static_cast<double>(0.7f);
  struct Case {
    uint32_t value;
    Twin icon;
  };
  const Case cases[] = {{0x8010, &P::imageOfNikon_MovieAfArea_SingleWithSize},
                        {0x8011, &P::imageOfNikon_MovieAfArea_AutoWithSize},
                        {0x8018, &P::imageOfNikon_MovieAfArea_WideSWithSize},
                        {0x8019, &P::imageOfNikon_MovieAfArea_WideLWithSize}};
  for (const Case& c : cases) {
    expectImage(V::imageOfMovieAfAreaMode_WithSize(kSize, 0xD1F8, c.value, false, false), c.icon(kSize, 1, 1, 1),
                hex(c.value));
    expectImage(V::imageOfMovieAfAreaMode_WithSize(kSize, 0xD1F8, c.value, true, true), c.icon(kSize, 0, 0.5, 1),
                hex(c.value) + " disabled and highlighted");
    expectImage(V::imageOfMovieAfAreaMode_WithSize(kSize, 0xD1F8, c.value, true, false),
                c.icon(kSize, grey, grey, grey), hex(c.value) + " disabled");
    expectNil(V::imageOfMovieAfAreaMode_WithSize(kSize, 0x5013, c.value, false, false), hex(c.value) + " 0x5013");
  }
  for (uint32_t value : {0u, 0x8012u, 0x8017u, 0x801Au})
    expectNil(V::imageOfMovieAfAreaMode_WithSize(kSize, 0xD1F8, value, false, false), hex(value));
}

TEST(PropVisualImageFormat, TextsFollowTheCodeAndTheConnectedVendor) {
  // 0xFFFFFFFF is "--" under any code, even those that otherwise give nothing.
  for (uint32_t code : {0xD018u, 0x5004u, 0xD253u, 0xD120u, 0x5005u, 0u})
    expectText(V::imageOfImageFormat_WithSize(kSize, code, 0xFFFFFFFF, false), "--", hex(code));
  expectNil(V::imageOfImageFormat_WithSize(kSize, 0x5005, 1, false), "other code");

  const uint32_t value = 0x00010003;
  const QString fuji = QString::fromStdString(fujiImageQualityText(value));
  expectText(V::imageOfImageFormat_WithSize(kSize, 0xD018, value, false), fuji, "fujifilm");
  const QString nikon = QString::fromStdString(nikonImageQualityText(value));
  QString sony;
  {
    propvisual::ScopedVendor sonyBody(CameraVendorSony);
    sony = QString::fromStdString(sonyImageQualityText(value));
    expectText(V::imageOfImageFormat_WithSize(kSize, 0x5004, value, false), sony, "sony 0x5004");
    expectText(V::imageOfImageFormat_WithSize(kSize, 0xD253, value, false), sony, "sony 0xD253");
  }
  ASSERT_NE(sony, nikon) << "the value must tell the two vendors' texts apart";
  expectText(V::imageOfImageFormat_WithSize(kSize, 0x5004, value, false), nikon, "not sony");
  // A quality text that comes back empty is an empty text, not nothing.
  ASSERT_TRUE(nikonImageQualityText(0x12345678).empty());
  expectText(V::imageOfImageFormat_WithSize(kSize, 0xD253, 0x12345678, false), "", "empty text");
}

TEST(PropVisualImageFormat, CanonValuesBecomeButtons) {
  camInstallVendorDefaults();  // as opening a session does
  propvisual::ScopedVendor canon(CameraVendorCanon);
  const QSizeF size(60, 20);
  const QRectF frame(0, 0, 60, 20);
  struct Case {
    uint32_t value;
    StyleKitImage expected;
  };
  const Case cases[] = {
      {0x16010000, B::imageOfImageFormat_RawWithFrame(frame, {}, false, true)},        // RAW: no size label
      {0x16050000, B::imageOfImageFormat_RawWithFrame(frame, "M", false, true)},       // Medium RAW
      {0x1100C000, B::imageOfImageFormat_JpegWithFrame(frame, "L", 2, false, true)},   // Large Fine
      {0x11008000, B::imageOfImageFormat_JpegWithFrame(frame, "L", 0, false, true)},   // Large Normal
      {0x113CC000, B::imageOfImageFormat_JpegWithFrame(frame, "S2", 1, false, true)},  // S2: quality dropped
      {0x11000000, B::imageOfImageFormat_JpegWithFrame(frame, "L", 1, false, true)},   // Large, no quality
      {0x26050403, B::imageOfImageFormat_RawPlusJpegWithFrame(frame, "L", 2, "M", false, true)},
  };
  for (const Case& c : cases) {
    expectImage(V::imageOfImageFormat_WithSize(size, 0xD120, c.value, false), c.expected, hex(c.value));
  }
  // Highlighted reaches the button; it is never drawn disabled.
  expectImage(V::imageOfImageFormat_WithSize(size, 0xD120, 0x1100C000, true),
              B::imageOfImageFormat_JpegWithFrame(frame, "L", 2, true, true), "highlighted");
  expectNil(V::imageOfImageFormat_WithSize(size, 0xD120, 0x0FFFFFFF, false), "below the first image");
}

TEST(PropVisualImageFormat, CanonValuesGiveNothingWithoutACanonOrNikonBody) {
  camInstallVendorDefaults();
  for (uint16_t vendor : {uint16_t(CameraVendorUnknown), uint16_t(CameraVendorSony), uint16_t(CameraVendorFujifilm)}) {
    propvisual::ScopedVendor body(vendor);
    expectNil(V::imageOfImageFormat_WithSize(kSize, 0xD120, 0x26050403, false), "vendor " + std::to_string(vendor));
  }
}
