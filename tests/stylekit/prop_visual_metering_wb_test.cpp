// Metering-mode and white-balance visuals: the icon for each code and value, the state
// colour with disabled winning, the text arguments, and the Fujifilm meanings.
#include "stylekit/prop_visual_metering_wb.h"

#include <gtest/gtest.h>

#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_visual_test_support.h"

using P = KorvalumePropertiesStyleKit;
using V = KorvalumeMeteringWhiteBalanceVisuals;
using propvisual::expectImage;
using propvisual::expectNil;
using propvisual::hex;

namespace {

using ShadowTwin = StyleKitImage (*)(QSizeF, double, double, bool, double);
const QSizeF kSize(20, 20);

struct Row {
  uint32_t code, value;
  ShadowTwin icon;  // null: no icon
};

}  // namespace

TEST(PropVisualMetering, EachCodeAndValueGivesItsIconOrNothing) {
  const Row rows[] = {
      {0x500B, 1, &P::imageOfMeteringMode_CenterWeightedWithSize},
      {0x500B, 2, &P::imageOfMeteringMode_CenterWeighted_NIKONWithSize},
      {0x500B, 3, &P::imageOfMeteringMode_MultiPatternWithSize},
      {0x500B, 4, &P::imageOfMeteringMode_Spot_NIKONWithSize},
      {0x500B, 0x8001, &P::imageOfMeteringMode_MultiPatternWithSize},
      {0x500B, 0x8002, &P::imageOfMeteringMode_CenterWeighted_NIKONWithSize},
      {0x500B, 0x8003, &P::imageOfSony_MeteringMode_EntireScreenAverageWithSize},
      {0x500B, 0x8004, &P::imageOfSony_MeteringMode_SpotStandardWithSize},
      {0x500B, 0x8005, &P::imageOfSony_MeteringMode_SpotLargeWithSize},
      {0x500B, 0x8006, &P::imageOfSony_MeteringMode_HighlightWithSize},
      {0x500B, 0x8010, &P::imageOfMeteringMode_HighlightWeightedWithSize},
      {0x500B, 0, nullptr},
      {0x500B, 5, nullptr},
      {0x500B, 0x8000, nullptr},
      {0x500B, 0x8007, nullptr},
      {0x500B, 0x8011, nullptr},
      {0xD107, 0, &P::imageOfMeteringMode_CenterWeightedWithSize},
      {0xD107, 5, &P::imageOfMeteringMode_CenterWeightedWithSize},
      {0xD107, 1, &P::imageOfMeteringMode_SpotWithSize},
      {0xD107, 6, &P::imageOfMeteringMode_SpotWithSize},
      {0xD107, 3, &P::imageOfMeteringMode_EvaluativeWithSize},
      {0xD107, 4, &P::imageOfMeteringMode_PartialWithSize},
      {0xD107, 2, nullptr},
      {0xD107, 7, nullptr},
      {0x5005, 2, nullptr},  // a white-balance code
      {0xD109, 0, nullptr},
  };
  for (const Row& r : rows) {
    const std::string what = hex(r.code) + " " + hex(r.value);
    const PropertyVisual got = V::imageOfMeteringMode_WithSize(kSize, r.code, r.value, false, false, false);
    if (r.icon)
      expectImage(got, r.icon(kSize, 1, 1, false, 1), what);
    else
      expectNil(got, what);
  }
}

TEST(PropVisualMetering, DisabledWinsOverHighlightedAndTheShadowIsPassedOn) {
  struct Case {
    bool highlighted, disabled, shadow;
    double r, g, b;
  };
  const double grey = static_cast<double>(0.7f);
  const Case cases[] = {{false, false, false, 1, 1, 1},
                        {true, false, false, 0, 0.5, 1},
                        {false, true, false, grey, grey, grey},
                        {true, true, true, grey, grey, grey},
                        {false, false, true, 1, 1, 1}};
  for (const Case& c : cases) {
    const std::string what = "h" + std::to_string(c.highlighted) + " d" + std::to_string(c.disabled) + " s" +
                             std::to_string(c.shadow);
    expectImage(V::imageOfMeteringMode_WithSize(kSize, 0xD107, 3, c.highlighted, c.disabled, c.shadow),
                P::imageOfMeteringMode_EvaluativeWithSize(kSize, c.r, c.g, c.shadow, c.b), what);
    expectImage(V::imageOfWhiteBalance_WithSize(kSize, 0x5005, 4, c.highlighted, c.disabled, c.shadow),
                P::imageOfWhiteBalance_DaylightWithSize(kSize, c.r, c.g, c.shadow, c.b), what);
  }
}

TEST(PropVisualWhiteBalance, PtpValuesGiveTheirIconsTextsOrNothing) {
  const QSizeF size(40, 20);  // the width never enters a font size
  const double font = 20 / 3.0;
  struct Case {
    uint32_t value;
    ShadowTwin plain;
    const char* flourescent;  // bracket text of the fluorescent text icon
    const char* custom;       // bracket text of the custom text icon
  };
  const Case cases[] = {
      {2, &P::imageOfWhiteBalance_AutoWithSize, nullptr, nullptr},
      {4, &P::imageOfWhiteBalance_DaylightWithSize, nullptr, nullptr},
      {5, &P::imageOfWhiteBalance_FlourescentWithSize, nullptr, nullptr},
      {6, &P::imageOfWhiteBalance_TungstenWithSize, nullptr, nullptr},
      {7, &P::imageOfWhiteBalance_FlashWithSize, nullptr, nullptr},
      {8, &P::imageOfWhiteBalance_AutoUnderwaterWithSize, nullptr, nullptr},
      {0x8001, nullptr, "-1", nullptr},
      {0x8002, nullptr, "0", nullptr},
      {0x8003, nullptr, "+1", nullptr},
      {0x8004, nullptr, "+2", nullptr},
      {0x8005, nullptr, "+3", nullptr},
      {0x8010, &P::imageOfWhiteBalance_CloudyWithSize, nullptr, nullptr},
      {0x8011, &P::imageOfWhiteBalance_ShadeWithSize, nullptr, nullptr},
      {0x8012, &P::imageOfWhiteBalance_ColorTemperatureWithSize, nullptr, nullptr},
      {0x8013, &P::imageOfWhiteBalance_PresetWithSize, nullptr, nullptr},
      {0x8016, &P::imageOfWhiteBalance_AutoNaturalLightWithSize, nullptr, nullptr},
      {0x8020, nullptr, nullptr, "1"},
      {0x8021, nullptr, nullptr, "2"},
      {0x8022, nullptr, nullptr, "3"},
      {0x8030, &P::imageOfWhiteBalance_AutoUnderwaterWithSize, nullptr, nullptr},
      {0, nullptr, nullptr, nullptr},
      {3, nullptr, nullptr, nullptr},
      {9, nullptr, nullptr, nullptr},
      {0x8006, nullptr, nullptr, nullptr},
      {0x8014, nullptr, nullptr, nullptr},
      {0x8017, nullptr, nullptr, nullptr},
      {0x8023, nullptr, nullptr, nullptr},
      {0x8031, nullptr, nullptr, nullptr},
  };
  // With no camera identified (the library's initial vendor) the PTP table applies.
  ASSERT_EQ(camGetVendor(), CameraVendorUnknown);
  for (const Case& c : cases) {
    const std::string what = hex(c.value);
    const PropertyVisual got = V::imageOfWhiteBalance_WithSize(size, 0x5005, c.value, false, false, false);
    if (c.plain)
      expectImage(got, c.plain(size, 1, 1, false, 1), what);
    else if (c.flourescent)
      expectImage(got, P::imageOfWhiteBalance_FlourescentTextWithSize(size, 1, 1, false, 1, font, c.flourescent), what);
    else if (c.custom)
      expectImage(got, P::imageOfWhiteBalance_CustomTextWithSize(size, 1, 1, false, 1, font, c.custom), what);
    else
      expectNil(got, what);
  }
  expectNil(V::imageOfWhiteBalance_WithSize(size, 0x500B, 1, false, false, false), "metering code");
}

TEST(PropVisualWhiteBalance, FujifilmGivesItsOwnValuesOnlyUnderThePtpCode) {
  const double font = 20 / 3.0;
  propvisual::ScopedVendor fuji(CameraVendorFujifilm);
  struct Case {
    uint32_t value;
    ShadowTwin plain;
    const char* flourescent;
    const char* custom;
  };
  const Case cases[] = {
      {0x8001, nullptr, "+1", nullptr},
      {0x8002, nullptr, "+2", nullptr},
      {0x8003, nullptr, "+3", nullptr},
      {0x8004, nullptr, "+2", nullptr},  // not Fujifilm's own: the PTP row
      {0x8006, &P::imageOfWhiteBalance_ShadeWithSize, nullptr, nullptr},
      {0x8007, &P::imageOfWhiteBalance_ColorTemperatureWithSize, nullptr, nullptr},
      {0x8008, nullptr, nullptr, "1"},
      {0x8009, nullptr, nullptr, "2"},
      {0x800A, nullptr, nullptr, "3"},
      {0x8010, &P::imageOfWhiteBalance_CloudyWithSize, nullptr, nullptr},
      {3, nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const std::string what = "fuji " + hex(c.value);
    const PropertyVisual got = V::imageOfWhiteBalance_WithSize(kSize, 0x5005, c.value, false, false, false);
    if (c.plain)
      expectImage(got, c.plain(kSize, 1, 1, false, 1), what);
    else if (c.flourescent)
      expectImage(got, P::imageOfWhiteBalance_FlourescentTextWithSize(kSize, 1, 1, false, 1, font, c.flourescent),
                  what);
    else if (c.custom)
      expectImage(got, P::imageOfWhiteBalance_CustomTextWithSize(kSize, 1, 1, false, 1, font, c.custom), what);
    else
      expectNil(got, what);
  }
  // Canon's code keeps its meaning with a Fujifilm camera connected.
  expectImage(V::imageOfWhiteBalance_WithSize(kSize, 0xD109, 8, false, false, false),
              P::imageOfWhiteBalance_ShadeWithSize(kSize, 1, 1, false, 1), "canon 8");
  // The vendor-specific meaning is what makes the two tables differ.
  EXPECT_FALSE(propvisual::pixels(P::imageOfWhiteBalance_FlourescentTextWithSize(kSize, 1, 1, false, 1, font, "+1")) ==
               propvisual::pixels(P::imageOfWhiteBalance_FlourescentTextWithSize(kSize, 1, 1, false, 1, font, "-1")));
}

TEST(PropVisualWhiteBalance, CanonValuesAlwaysGiveAnIcon) {
  const QSizeF size(40, 20);
  struct Case {
    uint32_t value;
    ShadowTwin icon;
  };
  const Case cases[] = {
      {0, &P::imageOfWhiteBalance_AutoWithSize},         {1, &P::imageOfWhiteBalance_DaylightWithSize},
      {2, &P::imageOfWhiteBalance_CloudyWithSize},       {3, &P::imageOfWhiteBalance_TungstenWithSize},
      {4, &P::imageOfWhiteBalance_FlourescentWithSize},  {5, &P::imageOfWhiteBalance_FlashWithSize},
      {6, &P::imageOfWhiteBalance_CustomWithSize},       {15, &P::imageOfWhiteBalance_CustomWithSize},
      {16, &P::imageOfWhiteBalance_CustomWithSize},      {18, &P::imageOfWhiteBalance_CustomWithSize},
      {19, &P::imageOfWhiteBalance_CustomWithSize},      {8, &P::imageOfWhiteBalance_ShadeWithSize},
      {9, &P::imageOfWhiteBalance_ColorTemperatureWithSize}, {7, &P::imageOfWhiteBalance_PresetWithSize},
      {10, &P::imageOfWhiteBalance_PresetWithSize},      {17, &P::imageOfWhiteBalance_PresetWithSize},
      {22, &P::imageOfWhiteBalance_PresetWithSize},      {24, &P::imageOfWhiteBalance_PresetWithSize},
      {100, &P::imageOfWhiteBalance_PresetWithSize},     {0xFFFF, &P::imageOfWhiteBalance_PresetWithSize},
  };
  for (const Case& c : cases)
    expectImage(V::imageOfWhiteBalance_WithSize(size, 0xD109, c.value, false, false, false),
                c.icon(size, 1, 1, false, 1), "canon " + std::to_string(c.value));
  // AutoW's letter is set at 0.15 (single precision) of the height; the width plays no part.
  const PropertyVisual autoW = V::imageOfWhiteBalance_WithSize(size, 0xD109, 23, false, false, false);
  expectImage(autoW, P::imageOfWhiteBalance_AutoWWithSize(size, 1, 1, false, 1, static_cast<double>(0.15f) * 20),
              "canon 23");
  EXPECT_FALSE(propvisual::pixels(*visualImage(autoW)) ==
               propvisual::pixels(P::imageOfWhiteBalance_AutoWWithSize(size, 1, 1, false, 1, 0.15 * 40)));
}
