#pragma once
// The property visual dispatcher: a camera property and one of its values become what a
// property control shows, an icon for the kinds that have pictures and a text otherwise.
// Routing is by code alone, whatever the camera vendor.
#include <QSizeF>
#include <cstdint>

#include "ptp/props/prop_types.h"
#include "stylekit/prop_visual_result.h"

class KorvalumePropertyVisualDispatcher {
 public:
  // Reads the property's code and label only; the value shown is `value`.
  static PropertyVisual visualForProperty(const PropertyData& property, uint32_t value, QSizeF size,
                                          bool isHighlighted, bool isDisabled);

 protected:
  KorvalumePropertyVisualDispatcher() = default;
};
