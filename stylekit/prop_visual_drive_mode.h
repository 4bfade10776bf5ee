#pragma once
// Drive-mode visuals: a drive-mode value becomes a property-kit drive-mode icon in the
// control's state colour (highlighted wins over disabled), a short text, or nothing.
#include <QSizeF>
#include <cstdint>

#include "stylekit/prop_visual_result.h"

class KorvalumeDriveModeVisuals {
 public:
  // Sony's drive-mode values (low 16 bits): timers, burst counts and brackets. The code is
  // not examined.
  static PropertyVisual imageOfSonyDriveMode_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                      bool isDisabled, bool isHighlighted);
  // PTP still capture mode 0x5013 (never nothing: unknown values show as a number), Nikon
  // 0xD1A1 and Canon 0xD106.
  static PropertyVisual imageOfDriveMode_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                  bool isDisabled, bool isHighlighted);

 protected:
  KorvalumeDriveModeVisuals() = default;
};
