// The property visual dispatcher: routing by code (and the 0x5013 label), the arguments
// each kind receives, and the text rule for every other property.
#include "stylekit/prop_visual_dispatcher.h"

#include <gtest/gtest.h>

#include "ptp/props/prop_labels.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_visual_test_support.h"

using D = KorvalumePropertyVisualDispatcher;
using P = KorvalumePropertiesStyleKit;
using propvisual::expectImage;
using propvisual::expectNil;
using propvisual::expectText;

namespace {

const QSizeF kSize(40, 20);

PropertyData property(uint32_t code, const char* label = nullptr) {
  PropertyData p;
  p.code = code;
  p.label = label;
  p.value = 0xDEAD;  // never shown: the value argument is
  return p;
}

PropertyVisual visual(uint32_t code, uint32_t value, const char* label = nullptr, bool highlighted = false,
                      bool disabled = false, QSizeF size = kSize) {
  return D::visualForProperty(property(code, label), value, size, highlighted, disabled);
}

// Installs Canon's label table for one test.
class CanonLabels {
 public:
  CanonLabels() { propSetLabelTable(canonPropertyLabels(), kCanonLabelEndCode); }
  ~CanonLabels() { propSetLabelTable({}, 0); }
};

}  // namespace

TEST(PropVisualDispatcher, CaptureModeGoesToTheSonyMethodOnlyWhenItsLabelNamesDrive) {
  const StyleKitImage sony = P::imageOfDriveMode_ContinuousHighSpeedWithSize(kSize, 1, 1, 1);
  const StyleKitImage general = P::imageOfDriveMode_ContinuousWithSize(kSize, 1, 1, 1);
  expectImage(visual(0x5013, 2, "Drive Mode"), sony, "Drive Mode");
  expectImage(visual(0x5013, 2, "DRIVE"), sony, "DRIVE");
  expectImage(visual(0x5013, 2, "Live View drive setting"), sony, "inside the label");
  expectImage(visual(0x5013, 2, "Capture Mode"), general, "Capture Mode");
  expectImage(visual(0x5013, 2, nullptr), general, "no label");
  // The general method's number text comes through for an unknown capture mode.
  expectText(visual(0x5013, 3, "Capture Mode"), "3", "capture mode 3");
}

TEST(PropVisualDispatcher, RoutesEachPictureCodeWithItsOwnFlagOrder) {
  const double grey = static_cast<double>(0.7f);
  // Drive mode and movie AF area let highlighted win; metering and white balance let disabled win.
  expectImage(visual(0xD106, 0, nullptr, true, true), P::imageOfDriveMode_SingleWithSize(kSize, 0, 0.5, 1), "D106");
  expectImage(visual(0xD1A1, 2, nullptr, false, true), P::imageOfDriveMode_ContinuousWithSize(kSize, grey, grey, grey),
              "D1A1 disabled");
  expectImage(visual(0xD1F8, 0x8019, nullptr, true, true), P::imageOfNikon_MovieAfArea_WideLWithSize(kSize, 0, 0.5, 1),
              "D1F8");
  expectImage(visual(0x500B, 3, nullptr, true, true),
              P::imageOfMeteringMode_MultiPatternWithSize(kSize, grey, grey, false, grey), "500B");
  expectImage(visual(0xD107, 3, nullptr, true, false),
              P::imageOfMeteringMode_EvaluativeWithSize(kSize, 0, 0.5, false, 1), "D107 highlighted");
  // Focus area hears only highlighted: disabled alone leaves it white.
  expectImage(visual(0xD22C, 0x104, nullptr, false, true),
              P::imageOfSony_FocusArea_ExpandFlexibleSpotWithSize(kSize, 1, 1, 1), "D22C disabled");
  // White balance is always square, on the smaller side, and without a shadow.
  const PropertyVisual wb = visual(0x5005, 4, nullptr, false, false, QSizeF(40, 24));
  expectImage(wb, P::imageOfWhiteBalance_DaylightWithSize(QSizeF(24, 24), 1, 1, false, 1), "5005 squared");
  expectImage(visual(0xD109, 1, nullptr, false, false, QSizeF(16, 30)),
              P::imageOfWhiteBalance_DaylightWithSize(QSizeF(16, 16), 1, 1, false, 1), "D109 squared");
  // Image-format codes all reach the image-format method.
  for (uint32_t code : {0x5004u, 0xD018u, 0xD120u, 0xD253u})
    expectText(visual(code, 0xFFFFFFFF), "--", propvisual::hex(code));
}

TEST(PropVisualDispatcher, NothingFromAKindStaysNothing) {
  expectNil(visual(0x500B, 0), "metering 0");
  expectNil(visual(0x5005, 3), "white balance 3");
  expectNil(visual(0xD1A1, 4), "live-view drive 4");
  expectNil(visual(0xD1F8, 0x8012), "movie AF 0x8012");
  expectText(visual(0xD22C, 0x200), "", "focus area 0x200 is an empty text");
}

TEST(PropVisualDispatcher, CanonDriveModeSixIsTheLetterS) {
  expectText(visual(0xD106, 6), "S", "D106 6");
  expectImage(visual(0xD106, 7), P::imageOfDriveMode_TimerSecondsWithSize(kSize, 1, 1, 1, 10, "C"), "D106 7");
}

TEST(PropVisualDispatcher, OtherCodesShowTheValueText) {
  {
    CanonLabels canon;
    expectText(visual(0xD108, 3), "Manual", "focus mode MF");
    const std::optional<std::string> oneShot = propValueText(0xD108, 0);
    ASSERT_TRUE(oneShot.has_value());
    EXPECT_EQ(*oneShot, "One Shot");
    expectText(visual(0xD108, 0), QString::fromStdString(*oneShot), "focus mode 0");
  }
  // Without a value-name list: the value as a signed decimal.
  expectText(visual(0xD108, 3), "Manual", "MF without a table");
  expectText(visual(0xD108, 0), "0", "no table");
  expectText(visual(0x1234, 42), "42", "unlisted code");
  expectText(visual(0x1234, 0xFFFFFFFF), "-1", "all bits");
}
