#include "stylekit/prop_visual_metering_wb.h"

#include "ptp/base/camera_vendor.h"
#include "stylekit/korvalume_properties_style_kit.h"

namespace {

using P = KorvalumePropertiesStyleKit;
using ShadowTwin = StyleKitImage (*)(QSizeF, double, double, bool, double);

PropertyVisual twin(ShadowTwin image, QSizeF size, VisualColour c, bool shadow) {
  return image(size, c.r, c.g, shadow, c.b);
}

ShadowTwin meteringTwin(uint32_t code, uint32_t value) {
  if (code == 0x500B) {
    switch (value) {
      case 1: return &P::imageOfMeteringMode_CenterWeightedWithSize;
      case 2: return &P::imageOfMeteringMode_CenterWeighted_NIKONWithSize;
      case 3: return &P::imageOfMeteringMode_MultiPatternWithSize;
      case 4: return &P::imageOfMeteringMode_Spot_NIKONWithSize;
      case 0x8001: return &P::imageOfMeteringMode_MultiPatternWithSize;
      case 0x8002: return &P::imageOfMeteringMode_CenterWeighted_NIKONWithSize;
      case 0x8003: return &P::imageOfSony_MeteringMode_EntireScreenAverageWithSize;
      case 0x8004: return &P::imageOfSony_MeteringMode_SpotStandardWithSize;
      case 0x8005: return &P::imageOfSony_MeteringMode_SpotLargeWithSize;
      case 0x8006: return &P::imageOfSony_MeteringMode_HighlightWithSize;
      case 0x8010: return &P::imageOfMeteringMode_HighlightWeightedWithSize;
      default: return nullptr;
    }
  }
  if (code == 0xD107) {
    switch (value) {
      case 0:
      case 5: return &P::imageOfMeteringMode_CenterWeightedWithSize;
      case 1:
      case 6: return &P::imageOfMeteringMode_SpotWithSize;
      case 3: return &P::imageOfMeteringMode_EvaluativeWithSize;
      case 4: return &P::imageOfMeteringMode_PartialWithSize;
      default: return nullptr;
    }
  }
  return nullptr;
}

// One row of a white-balance table: a plain icon, or a text icon with its bracket text.
struct WhiteBalanceRow {
  ShadowTwin plain = nullptr;
  enum Text { None, Flourescent, Custom } text = None;
  const char* bracketTopText = nullptr;
};

WhiteBalanceRow ptpWhiteBalance(uint32_t value) {
  switch (value) {
    case 2: return {&P::imageOfWhiteBalance_AutoWithSize};
    case 4: return {&P::imageOfWhiteBalance_DaylightWithSize};
    case 5: return {&P::imageOfWhiteBalance_FlourescentWithSize};
    case 6: return {&P::imageOfWhiteBalance_TungstenWithSize};
    case 7: return {&P::imageOfWhiteBalance_FlashWithSize};
    case 8: return {&P::imageOfWhiteBalance_AutoUnderwaterWithSize};
    case 0x8001: return {nullptr, WhiteBalanceRow::Flourescent, "-1"};
    case 0x8002: return {nullptr, WhiteBalanceRow::Flourescent, "0"};
    case 0x8003: return {nullptr, WhiteBalanceRow::Flourescent, "+1"};
    case 0x8004: return {nullptr, WhiteBalanceRow::Flourescent, "+2"};
    case 0x8005: return {nullptr, WhiteBalanceRow::Flourescent, "+3"};
    case 0x8010: return {&P::imageOfWhiteBalance_CloudyWithSize};
    case 0x8011: return {&P::imageOfWhiteBalance_ShadeWithSize};
    case 0x8012: return {&P::imageOfWhiteBalance_ColorTemperatureWithSize};
    case 0x8013: return {&P::imageOfWhiteBalance_PresetWithSize};
    case 0x8016: return {&P::imageOfWhiteBalance_AutoNaturalLightWithSize};
    case 0x8020: return {nullptr, WhiteBalanceRow::Custom, "1"};
    case 0x8021: return {nullptr, WhiteBalanceRow::Custom, "2"};
    case 0x8022: return {nullptr, WhiteBalanceRow::Custom, "3"};
    case 0x8030: return {&P::imageOfWhiteBalance_AutoUnderwaterWithSize};
    default: return {};
  }
}

// Fujifilm gives some vendor values meanings of its own; the rest follow the PTP table.
WhiteBalanceRow fujifilmWhiteBalance(uint32_t value) {
  switch (value) {
    case 0x8001: return {nullptr, WhiteBalanceRow::Flourescent, "+1"};
    case 0x8002: return {nullptr, WhiteBalanceRow::Flourescent, "+2"};
    case 0x8003: return {nullptr, WhiteBalanceRow::Flourescent, "+3"};
    case 0x8006: return {&P::imageOfWhiteBalance_ShadeWithSize};
    case 0x8007: return {&P::imageOfWhiteBalance_ColorTemperatureWithSize};
    case 0x8008: return {nullptr, WhiteBalanceRow::Custom, "1"};
    case 0x8009: return {nullptr, WhiteBalanceRow::Custom, "2"};
    case 0x800A: return {nullptr, WhiteBalanceRow::Custom, "3"};
    default: return ptpWhiteBalance(value);
  }
}

ShadowTwin canonWhiteBalance(uint32_t value) {
  switch (value) {
    case 0: return &P::imageOfWhiteBalance_AutoWithSize;
    case 1: return &P::imageOfWhiteBalance_DaylightWithSize;
    case 2: return &P::imageOfWhiteBalance_CloudyWithSize;
    case 3: return &P::imageOfWhiteBalance_TungstenWithSize;
    case 4: return &P::imageOfWhiteBalance_FlourescentWithSize;
    case 5: return &P::imageOfWhiteBalance_FlashWithSize;
    case 6:
    case 15:
    case 16:
    case 18:
    case 19: return &P::imageOfWhiteBalance_CustomWithSize;
    case 8: return &P::imageOfWhiteBalance_ShadeWithSize;
    case 9: return &P::imageOfWhiteBalance_ColorTemperatureWithSize;
    default: return &P::imageOfWhiteBalance_PresetWithSize;  // 23 (AutoW) is taken first
  }
}

}  // namespace

PropertyVisual KorvalumeMeteringWhiteBalanceVisuals::imageOfMeteringMode_WithSize(QSizeF size, uint32_t propertyCode,
                                                                                 uint32_t value, bool isHighlighted,
                                                                                 bool isDisabled, bool withShadow) {
  const VisualColour c = visualColourDisabledWins(isHighlighted, isDisabled);
  const ShadowTwin image = meteringTwin(propertyCode, value);
  if (!image) return {};
  return twin(image, size, c, withShadow);
}

PropertyVisual KorvalumeMeteringWhiteBalanceVisuals::imageOfWhiteBalance_WithSize(QSizeF size, uint32_t propertyCode,
                                                                                 uint32_t value, bool isHighlighted,
                                                                                 bool isDisabled, bool withShadow) {
  const VisualColour c = visualColourDisabledWins(isHighlighted, isDisabled);
  if (propertyCode == 0xD109) {
    if (value == 23)
      return P::imageOfWhiteBalance_AutoWWithSize(size, c.r, c.g, withShadow, c.b,
                                                  static_cast<double>(0.15f) * size.height());
    return twin(canonWhiteBalance(value), size, c, withShadow);
  }
  if (propertyCode != 0x5005) return {};
  const WhiteBalanceRow row = camIsFujifilm() ? fujifilmWhiteBalance(value) : ptpWhiteBalance(value);
  if (row.plain) return twin(row.plain, size, c, withShadow);
  const double fontSize = size.height() / 3.0;
  const QString top = QString::fromLatin1(row.bracketTopText ? row.bracketTopText : "");
  switch (row.text) {
    case WhiteBalanceRow::Flourescent:
      return P::imageOfWhiteBalance_FlourescentTextWithSize(size, c.r, c.g, withShadow, c.b, fontSize, top);
    case WhiteBalanceRow::Custom:
      return P::imageOfWhiteBalance_CustomTextWithSize(size, c.r, c.g, withShadow, c.b, fontSize, top);
    case WhiteBalanceRow::None: break;
  }
  return {};
}
