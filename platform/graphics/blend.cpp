#include "platform/graphics/blend.h"

QPainter::CompositionMode compositionModeForBlendMode(BlendMode mode) {
  switch (mode) {
    case BlendMode::SoftLight: return QPainter::CompositionMode_SoftLight;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

void fillRectWithBlendMode(QPainter& painter, const QRectF& rect, const QColor& color, BlendMode mode) {
  painter.save();
  painter.setCompositionMode(compositionModeForBlendMode(mode));
  painter.fillRect(rect, color);
  painter.restore();
}
