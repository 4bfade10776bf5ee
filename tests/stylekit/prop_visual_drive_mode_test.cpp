// Drive-mode visuals: Sony's values with their timers, counts and brackets, the general
// codes with their texts, and the state colour with highlighted winning.
#include "stylekit/prop_visual_drive_mode.h"

#include <gtest/gtest.h>

#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_visual_test_support.h"

using P = KorvalumePropertiesStyleKit;
using V = KorvalumeDriveModeVisuals;
using propvisual::expectImage;
using propvisual::expectNil;
using propvisual::expectText;
using propvisual::hex;

namespace {

using Twin = StyleKitImage (*)(QSizeF, double, double, double);
const QSizeF kWide(40, 20);  // font sizes come from the width: 10

StyleKitImage bracket(const char* bottom, const char* top, double font = 10) {
  return P::imageOfDriveMode_SonyBracketWithSize(kWide, 1, 1, 1, font, bottom, top);
}
StyleKitImage counter(const char* seconds, const char* count) {
  return P::imageOfDriveMode_TimerSecondsCounterWithSize(kWide, 1, 1, 1, 10, seconds, count);
}

}  // namespace

TEST(PropVisualSonyDriveMode, FixedValuesGiveTheirIconsWithTheirTexts) {
  struct Case {
    uint32_t value;
    StyleKitImage expected;
  };
  const Case cases[] = {
      {1, P::imageOfDriveMode_SingleWithSize(kWide, 1, 1, 1)},
      {0x10001, P::imageOfDriveMode_SingleWithSize(kWide, 1, 1, 1)},  // only the low 16 bits count
      {2, P::imageOfDriveMode_ContinuousHighSpeedWithSize(kWide, 1, 1, 1)},
      {0x8003, counter("5s", "")},
      {0x8004, counter("10s", "")},
      {0x8005, counter("2s", "")},
      {0x8008, counter("", "3")},
      {0x8009, counter("", "5")},
      {0x800C, counter("5s", "3")},
      {0x800D, counter("5s", "5")},
      {0x800E, counter("2s", "3")},
      {0x800F, counter("2s", "5")},
      {0x8010, P::imageOfDriveMode_ContinuousHighPlusWithSize(kWide, 1, 1, 1)},
      {0x8012, P::imageOfDriveMode_ContinuousLowSpeedWithSize(kWide, 1, 1, 1)},
      {0x8015, P::imageOfDriveMode_ContinuousMediumWithSize(kWide, 1, 1, 1)},
      {0x8018, bracket("WB", "LO")},
      {0x8019, bracket("DRO", "LO")},
      {0x8028, bracket("WB", "HI")},
      {0x8029, bracket("DRO", "HI")},
      {0x8040, bracket("Focus", "\t")},
  };
  for (const Case& c : cases)
    for (uint32_t code : {0x5013u, 0u, 0xD1A1u})  // the code is not examined
      expectImage(V::imageOfSonyDriveMode_WithSize(kWide, code, c.value, false, false), c.expected,
                  hex(c.value) + " under " + hex(code));
  for (uint32_t value : {0u, 3u, 0x8000u, 0x8006u, 0x8011u, 0x8041u, 0x10000u})
    expectNil(V::imageOfSonyDriveMode_WithSize(kWide, 0x5013, value, false, false), hex(value));
}

TEST(PropVisualSonyDriveMode, ExposureBracketsFollowTheirRuleAndOnlyOfferedStepsExist) {
  // Every pair of the documented list: the even value "S", the odd one "C".
  struct Pair {
    uint32_t value;
    const char* bottom;
  };
  const Pair pairs[] = {
      {0x8310, "1.0EV 3"}, {0x8320, "2.0EV 3"}, {0x8330, "3.0EV 3"}, {0x8336, "0.3EV 3"}, {0x8340, "1.3EV 3"},
      {0x8350, "2.3EV 3"}, {0x8356, "0.5EV 3"}, {0x8360, "1.5EV 3"}, {0x8370, "2.5EV 3"}, {0x8376, "0.7EV 3"},
      {0x8380, "1.7EV 3"}, {0x8390, "2.7EV 3"}, {0x8510, "1.0EV 5"}, {0x8520, "2.0EV 5"}, {0x8530, "3.0EV 5"},
      {0x8536, "0.3EV 5"}, {0x8540, "1.3EV 5"}, {0x8550, "2.3EV 5"}, {0x8556, "0.5EV 5"}, {0x8560, "1.5EV 5"},
      {0x8570, "2.5EV 5"}, {0x8576, "0.7EV 5"}, {0x8580, "1.7EV 5"}, {0x8590, "2.7EV 5"}, {0x8710, "1.0EV 7"},
      {0x8720, "2.0EV 7"}, {0x8736, "0.3EV 7"}, {0x8740, "1.3EV 7"}, {0x8756, "0.5EV 7"}, {0x8760, "1.5EV 7"},
      {0x8776, "0.7EV 7"}, {0x8780, "1.7EV 7"}, {0x8910, "1.0EV 9"}, {0x8936, "0.3EV 9"}, {0x8956, "0.5EV 9"},
      {0x8976, "0.7EV 9"}, {0xC210, "1.0EV 2+"}, {0xC218, "1.0EV 2-"}, {0xC220, "2.0EV 2+"}, {0xC228, "2.0EV 2-"},
      {0xC230, "3.0EV 2+"}, {0xC236, "0.3EV 2+"}, {0xC238, "3.0EV 2-"}, {0xC23E, "0.3EV 2-"}, {0xC240, "1.3EV 2+"},
      {0xC248, "1.3EV 2-"}, {0xC250, "2.3EV 2+"}, {0xC256, "0.5EV 2+"}, {0xC258, "2.3EV 2-"}, {0xC25E, "0.5EV 2-"},
      {0xC260, "1.5EV 2+"}, {0xC268, "1.5EV 2-"}, {0xC270, "2.5EV 2+"}, {0xC276, "0.7EV 2+"}, {0xC278, "2.5EV 2-"},
      {0xC27E, "0.7EV 2-"}, {0xC280, "1.7EV 2+"}, {0xC288, "1.7EV 2-"}, {0xC290, "2.7EV 2+"}, {0xC298, "2.7EV 2-"},
  };
  ASSERT_EQ(std::size(pairs), 60u);
  int images = 0;
  for (const Pair& p : pairs) {
    const bool plus = QString(p.bottom).endsWith('+');
    const double font = plus ? 9.5 : 10;  // the two-shot "+" brackets are half a point smaller
    expectImage(V::imageOfSonyDriveMode_WithSize(kWide, 0, p.value, false, false), bracket(p.bottom, "S", font),
                hex(p.value));
    expectImage(V::imageOfSonyDriveMode_WithSize(kWide, 0, p.value + 1, false, false), bracket(p.bottom, "C", font),
                hex(p.value + 1));
  }
  // Nothing else in the bracket ranges answers: exactly the 120 listed values do.
  for (uint32_t v = 0x8100; v <= 0x8AFF; ++v)
    images += visualImage(V::imageOfSonyDriveMode_WithSize(kWide, 0, v, false, false)) != nullptr;
  for (uint32_t v = 0xC000; v <= 0xC3FF; ++v)
    images += visualImage(V::imageOfSonyDriveMode_WithSize(kWide, 0, v, false, false)) != nullptr;
  EXPECT_EQ(images, 120);
  expectNil(V::imageOfSonyDriveMode_WithSize(kWide, 0, 0x8730, false, false), "seven shots, 3.0 EV");
  expectNil(V::imageOfSonyDriveMode_WithSize(kWide, 0, 0x8920, false, false), "nine shots, 2.0 EV");
}

TEST(PropVisualDriveMode, GeneralCodesGiveIconsTextsOrNothing) {
  struct Case {
    uint32_t code, value;
    Twin icon;
    const char* text;  // with icon null: the text, or nothing when null too
  };
  const Case cases[] = {
      {0x5013, 1, &P::imageOfDriveMode_SingleWithSize, nullptr},
      {0x5013, 2, &P::imageOfDriveMode_ContinuousWithSize, nullptr},
      {0x5013, 0x8010, &P::imageOfDriveMode_ContinuousLowSpeedWithSize, nullptr},
      {0x5013, 0x8011, &P::imageOfDriveMode_TimerWithSize, nullptr},
      {0x5013, 0x8012, nullptr, "MUP"},
      {0x5013, 0x8013, nullptr, "LV"},
      {0x5013, 0x8014, &P::imageOfDriveMode_RemoteWithSize, nullptr},
      {0x5013, 0x8015, &P::imageOfDriveMode_DelayRemoteWithSize, nullptr},
      {0x5013, 0x8016, &P::imageOfDriveMode_QuietWithSize, nullptr},
      {0x5013, 0x8017, &P::imageOfDriveMode_RemoteWithSize, nullptr},
      {0x5013, 0x8018, &P::imageOfDriveMode_QuietContinuousWithSize, nullptr},
      {0x5013, 0x8019, &P::imageOfDriveMode_ContinuousExtendedWithSize, nullptr},
      {0x5013, 0x8100, nullptr, "Custom"},
      {0x5013, 0x811E, &P::imageOfDriveMode_Continuous30WithSize, nullptr},
      {0x5013, 0x813C, &P::imageOfDriveMode_Continuous60WithSize, nullptr},
      {0x5013, 0x8178, &P::imageOfDriveMode_Continuous120WithSize, nullptr},
      {0x5013, 0, nullptr, "0"},
      {0x5013, 3, nullptr, "3"},
      {0x5013, 0x8005, nullptr, "32773"},
      {0x5013, 0xFFFFFFFF, nullptr, "-1"},
      {0xD1A1, 0, &P::imageOfDriveMode_SingleWithSize, nullptr},
      {0xD1A1, 1, &P::imageOfDriveMode_ContinuousLowSpeedWithSize, nullptr},
      {0xD1A1, 2, &P::imageOfDriveMode_ContinuousWithSize, nullptr},
      {0xD1A1, 0x8019, &P::imageOfDriveMode_ContinuousExtendedWithSize, nullptr},
      {0xD1A1, 4, nullptr, nullptr},
      {0xD106, 0, &P::imageOfDriveMode_SingleWithSize, nullptr},
      {0xD106, 1, &P::imageOfDriveMode_ContinuousWithSize, nullptr},
      {0xD106, 4, &P::imageOfDriveMode_ContinuousHighSpeedWithSize, nullptr},
      {0xD106, 5, &P::imageOfDriveMode_ContinuousLowSpeedWithSize, nullptr},
      {0xD106, 0x10, &P::imageOfDriveMode_TimerWithSize, nullptr},
      {0xD106, 0x11, &P::imageOfDriveMode_Timer2SecWithSize, nullptr},
      {0xD106, 0x12, &P::imageOfDriveMode_ContinuousHighPlusWithSize, nullptr},
      {0xD106, 0x13, &P::imageOfDriveMode_SilentWithSize, nullptr},
      {0xD106, 0x14, &P::imageOfDriveMode_SilentContinuousWithSize, nullptr},
      {0xD106, 0x15, &P::imageOfDriveMode_SilentContinuousHighWithSize, nullptr},
      {0xD106, 0x16, &P::imageOfDriveMode_SilentContinuousLowWithSize, nullptr},
      {0xD106, 2, nullptr, nullptr},
      {0xD106, 6, nullptr, nullptr},
      {0xD106, 0x0F, nullptr, nullptr},
      {0xD106, 0x17, nullptr, nullptr},
      {0x500B, 1, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const std::string what = hex(c.code) + " " + hex(c.value);
    const PropertyVisual got = V::imageOfDriveMode_WithSize(kWide, c.code, c.value, false, false);
    if (c.icon)
      expectImage(got, c.icon(kWide, 1, 1, 1), what);
    else if (c.text)
      expectText(got, c.text, what);
    else
      expectNil(got, what);
  }
  // Canon's "C" timer takes a quarter of the width as its font size.
  expectImage(V::imageOfDriveMode_WithSize(kWide, 0xD106, 7, false, false),
              P::imageOfDriveMode_TimerSecondsWithSize(kWide, 1, 1, 1, 10, "C"), "0xD106 7");
}

TEST(PropVisualDriveMode, HighlightedWinsOverDisabled) {
  const double grey = static_cast<double>(0.7f);
  struct Case {
    bool disabled, highlighted;
    double r, g, b;
  };
  const Case cases[] = {{false, false, 1, 1, 1}, {true, false, grey, grey, grey}, {false, true, 0, 0.5, 1},
                        {true, true, 0, 0.5, 1}};
  for (const Case& c : cases) {
    const std::string what = "d" + std::to_string(c.disabled) + " h" + std::to_string(c.highlighted);
    expectImage(V::imageOfDriveMode_WithSize(kWide, 0x5013, 1, c.disabled, c.highlighted),
                P::imageOfDriveMode_SingleWithSize(kWide, c.r, c.g, c.b), what);
    expectImage(V::imageOfSonyDriveMode_WithSize(kWide, 0, 0x8310, c.disabled, c.highlighted),
                P::imageOfDriveMode_SonyBracketWithSize(kWide, c.r, c.g, c.b, 10, "1.0EV 3", "S"), what);
  }
}
