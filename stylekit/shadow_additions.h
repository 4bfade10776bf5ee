#pragma once
// The shadow convenience shared by both icon kits: a shadow made with its colour, offset
// and blur radius in one call. Made for a subclass of Shadow, it yields that subclass.
#include <QColor>
#include <QSizeF>
#include <type_traits>

#include "platform/graphics/shadow.h"

template <typename ShadowClass>
ShadowClass& initWithColor(ShadowClass& shadow, const QColor& color, QSizeF offset, qreal blurRadius) {
  static_assert(std::is_base_of_v<Shadow, ShadowClass>);
  shadow.setShadowColor(color);
  shadow.setShadowOffset(offset);
  shadow.setShadowBlurRadius(blurRadius);
  return shadow;
}

template <typename ShadowClass = Shadow>
ShadowClass shadowWithColor(const QColor& color, QSizeF offset, qreal blurRadius) {
  ShadowClass s;
  initWithColor(s, color, offset, blurRadius);
  return s;
}
