#pragma once
// Blend modes of the current context that QPainter composition modes stand in for.
#include <QColor>
#include <QPainter>
#include <QRectF>

// The platform's blend modes that the widgets use (numbered as the platform numbers them).
enum class BlendMode { Normal = 0, SoftLight = 8 };

QPainter::CompositionMode compositionModeForBlendMode(BlendMode mode);

// Fills `rect` (the painter's coordinates) with `color` blended onto what is below.
void fillRectWithBlendMode(QPainter& painter, const QRectF& rect, const QColor& color, BlendMode mode);
