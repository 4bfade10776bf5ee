#pragma once
// An image used as an alpha mask: only its opaque pixels show, in one tint colour.
#include <QColor>
#include <QImage>
#include <QRectF>

class GraphicsContext;

// The mask's pixels in `tint`, each with the tint's alpha times the mask pixel's alpha.
// Same size and device pixel ratio as the mask.
QImage tintedMaskImage(const QImage& mask, const QColor& tint);

// Paints the tint through the mask scaled into `rect` (y-up user space) of the context.
void drawImageMask(GraphicsContext& ctx, const QImage& mask, const QRectF& rect, const QColor& tint);
