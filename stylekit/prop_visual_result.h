#pragma once
// What a property visual answers: an icon image, a short text, or nothing; and the state
// colour the visuals hand to their icons.
#include <QString>
#include <variant>

#include "platform/graphics/stylekit_image.h"

// monostate: nothing to show; an empty QString is a text, not nothing.
using PropertyVisual = std::variant<std::monostate, StyleKitImage, QString>;

inline bool visualIsNil(const PropertyVisual& v) { return std::holds_alternative<std::monostate>(v); }
inline const StyleKitImage* visualImage(const PropertyVisual& v) { return std::get_if<StyleKitImage>(&v); }
inline const QString* visualText(const PropertyVisual& v) { return std::get_if<QString>(&v); }

// The components passed to an icon as r, g, b.
struct VisualColour {
  double r, g, b;
  bool operator==(const VisualColour&) const = default;
};

// The grey of a disabled control is a single-precision 0.7 widened.
constexpr double kVisualDisabledGrey = static_cast<double>(0.7f);
constexpr VisualColour kVisualHighlighted{0, 0.5, 1.0};
constexpr VisualColour kVisualDisabled{kVisualDisabledGrey, kVisualDisabledGrey, kVisualDisabledGrey};
constexpr VisualColour kVisualNormal{1.0, 1.0, 1.0};

// The kinds disagree on which flag wins: drive mode, movie AF area and the image-format
// buttons let highlighted win, metering and white balance let disabled win.
constexpr VisualColour visualColourHighlightWins(bool highlighted, bool disabled) {
  return highlighted ? kVisualHighlighted : disabled ? kVisualDisabled : kVisualNormal;
}
constexpr VisualColour visualColourDisabledWins(bool highlighted, bool disabled) {
  return disabled ? kVisualDisabled : highlighted ? kVisualHighlighted : kVisualNormal;
}
