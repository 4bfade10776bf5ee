#pragma once
// Metering-mode and white-balance visuals: a property code and value become a property-kit
// icon in the control's state colour (disabled wins over highlighted), or nothing.
#include <QSizeF>
#include <cstdint>

#include "stylekit/prop_visual_result.h"

class KorvalumeMeteringWhiteBalanceVisuals {
 public:
  // Codes 0x500B and 0xD107; any other code gives nothing.
  static PropertyVisual imageOfMeteringMode_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                     bool isHighlighted, bool isDisabled, bool withShadow);
  // Codes 0x5005 (with Fujifilm's own values when a Fujifilm camera is connected) and 0xD109.
  static PropertyVisual imageOfWhiteBalance_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                     bool isHighlighted, bool isDisabled, bool withShadow);

 protected:
  KorvalumeMeteringWhiteBalanceVisuals() = default;
};
