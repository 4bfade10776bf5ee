#pragma once
// A radial gradient drawn beyond its end: from `startColor` at `center` to `endColor` at
// `radius`, and `endColor` everywhere outside the circle (the whole `rect` is painted).
#include <QColor>
#include <QRectF>

class GraphicsContext;

void drawRadialGradientExtended(GraphicsContext& ctx, const QRectF& rect, QPointF center, qreal radius,
                                const QColor& startColor, const QColor& endColor);
