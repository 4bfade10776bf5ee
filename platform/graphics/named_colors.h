#pragma once
// The platform's named colours and its colour constructor, as the icon kits use them.
#include <QColor>

// A colour from components as written (0.784, not 200/255), not clamped.
inline QColor colorWithRGBA(double r, double g, double b, double a) {
  return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                          static_cast<float>(a));
}
inline QColor colorWithAlphaComponent(const QColor& c, double a) {
  QColor out = c;
  out.setAlphaF(static_cast<float>(a));
  return out;
}

namespace NamedColor {
inline QColor whiteColor() { return colorWithRGBA(1, 1, 1, 1); }
inline QColor blackColor() { return colorWithRGBA(0, 0, 0, 1); }
inline QColor redColor() { return colorWithRGBA(1, 0, 0, 1); }
inline QColor greenColor() { return colorWithRGBA(0, 1, 0, 1); }
inline QColor blueColor() { return colorWithRGBA(0, 0, 1, 1); }
inline QColor yellowColor() { return colorWithRGBA(1, 1, 0, 1); }
inline QColor grayColor() { return colorWithRGBA(0.5, 0.5, 0.5, 1); }
inline QColor darkGrayColor() { return colorWithRGBA(1.0 / 3, 1.0 / 3, 1.0 / 3, 1); }
inline QColor lightGrayColor() { return colorWithRGBA(2.0 / 3, 2.0 / 3, 2.0 / 3, 1); }
inline QColor clearColor() { return colorWithRGBA(0, 0, 0, 0); }
}  // namespace NamedColor
