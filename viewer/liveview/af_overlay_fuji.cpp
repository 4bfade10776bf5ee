// Fujifilm: one AF frame as fractions of the picture, over the shown (already turned)
// picture.
#include "platform/graphics/named_colors.h"
#include "viewer/liveview/af_overlay.h"

AfOverlayUpdate fujiAfOverlay(const FujiAfReport& report, QSizeF shownImage, uint8_t o, QSizeF bounds) {
  if (report.zoomed || !report.frame) return AfOverlayUpdate::remove();
  const QRectF fit = afFit(shownImage, bounds);
  // No picture to place it on: a box at the view's corner would be stale.
  if (fit.width() <= 0 || fit.height() <= 0) return AfOverlayUpdate::remove();
  const QRectF& f = *report.frame;
  // Turned in the camera's top-down square, then flipped to the view's bottom-up one.
  const QPointF t = afOrient(o, QPointF(f.x(), f.y()));
  const QPointF n(t.x(), 1 - t.y());
  const QPointF c(n.x() * fit.width(), n.y() * fit.height());
  // The camera gives both sides in picture widths.
  const qreal bw = f.width() * fit.width(), bh = f.height() * fit.width();
  qreal x0 = c.x() - bw / 2, yb = c.y() - bh / 2;
  if (x0 < 0 || yb < 0) return AfOverlayUpdate::remove();
  x0 += fit.x();
  yb += fit.y();
  AfOverlayUpdate update{AfOverlayUpdate::Replace, afOverlayOn(fit)};
  if (!afAddBox(update.overlay, x0, x0 + bw, yb + bh, yb,
                report.inFocus ? NamedColor::greenColor() : NamedColor::whiteColor()))
    return AfOverlayUpdate::remove();
  return update;
}
