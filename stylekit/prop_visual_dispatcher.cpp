#include "stylekit/prop_visual_dispatcher.h"

#include <algorithm>
#include <cstring>

#include "ptp/props/prop_labels.h"
#include "stylekit/prop_visual_area_format.h"
#include "stylekit/prop_visual_drive_mode.h"
#include "stylekit/prop_visual_metering_wb.h"

namespace {

// Sony names 0x5013 "Drive Mode", Nikon "Capture Mode"; their values differ.
bool labelNamesDrive(const char* label) { return label && strcasestr(label, "Drive") != nullptr; }

PropertyVisual valueText(uint32_t code, uint32_t value) {
  if (code == 0xD108 && value == 3) return QStringLiteral("Manual");
  if (const std::optional<std::string> text = propValueText(code, value))
    return QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()));
  return QString::number(static_cast<int32_t>(value));
}

}  // namespace

PropertyVisual KorvalumePropertyVisualDispatcher::visualForProperty(const PropertyData& property, uint32_t value,
                                                                    QSizeF size, bool isHighlighted,
                                                                    bool isDisabled) {
  using Area = KorvalumeAreaFormatVisuals;
  using Drive = KorvalumeDriveModeVisuals;
  using Light = KorvalumeMeteringWhiteBalanceVisuals;
  const uint32_t code = property.code;
  switch (code) {
    case 0x5004:
    case 0xD018:
    case 0xD120:
    case 0xD253: return Area::imageOfImageFormat_WithSize(size, code, value, isHighlighted);
    case 0x5005:
    case 0xD109: {
      const qreal m = std::min(size.width(), size.height());
      return Light::imageOfWhiteBalance_WithSize(QSizeF(m, m), code, value, isHighlighted, isDisabled, false);
    }
    case 0x500B:
    case 0xD107: return Light::imageOfMeteringMode_WithSize(size, code, value, isHighlighted, isDisabled, false);
    case 0x5013:
      if (labelNamesDrive(property.label))
        return Drive::imageOfSonyDriveMode_WithSize(size, code, value, isDisabled, isHighlighted);
      return Drive::imageOfDriveMode_WithSize(size, code, value, isDisabled, isHighlighted);
    case 0xD106:
      if (value == 6) return QStringLiteral("S");
      return Drive::imageOfDriveMode_WithSize(size, code, value, isDisabled, isHighlighted);
    case 0xD1A1: return Drive::imageOfDriveMode_WithSize(size, code, value, isDisabled, isHighlighted);
    case 0xD1F8: return Area::imageOfMovieAfAreaMode_WithSize(size, code, value, isDisabled, isHighlighted);
    case 0xD22C: return Area::imageOfFocusArea_WithSize(size, code, value, isHighlighted);
    default: return valueText(code, value);
  }
}
