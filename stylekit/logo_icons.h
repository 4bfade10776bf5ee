#pragma once
// The product wordmark as one filled path in a colour the caller picks.
#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <optional>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeLogoIcons {
 public:
  // No colour: the context's current fill colour is used.
  static void drawKorvalumeLogo2WithFrame(GraphicsContext& ctx, QRectF frame, std::optional<QColor> logoColor);
  static StyleKitImage imageOfKorvalumeLogo2WithSize(QSizeF size, std::optional<QColor> logoColor);

  // The band the wordmark fills, in fractions of the frame.
  static constexpr qreal kLeft = 0.02465, kRight = 0.97449, kBottom = 0.39048, kTop = 0.60833;

 protected:
  KorvalumeLogoIcons() = default;
};
