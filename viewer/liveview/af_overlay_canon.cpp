// Canon: up to 64 AF frames from the live-view header, in the camera's pixels of the
// visible (or zoomed) area, placed for the frame's own orientation.
#include <algorithm>
#include <cmath>

#include "platform/graphics/named_colors.h"
#include "viewer/liveview/af_overlay.h"

namespace {
QColor canonStroke(uint32_t state) {
  if (state == 0x12) return NamedColor::redColor();
  if (state == 0x11) return NamedColor::greenColor();
  return NamedColor::whiteColor();
}
}  // namespace

AfOverlayUpdate canonAfOverlay(const EOS_LiveViewInfoStruct& h, QSizeF bounds) {
  // The header has 64 slots whatever the count claims.
  const size_t count = std::min<size_t>(h.afFrameCount, kCanonMaxAfFrames);
  if (count == 0 || h.afWidth[0] == 0) return AfOverlayUpdate::keep();
  const uint8_t o = canonLiveViewFrameOrientation(&h);
  const bool zoomed = h.zoomScale >= 2;
  const double ax = zoomed ? h.zoomOriginX : 0, ay = zoomed ? h.zoomOriginY : 0;
  const double aw = zoomed ? h.zoomWidth : h.visibleWidth, ah = zoomed ? h.zoomHeight : h.visibleHeight;
  const double vw = h.visibleWidth, vh = h.visibleHeight;
  // An area without size places nothing (and would divide by zero below).
  if (aw == 0 || ah == 0 || vw == 0 || vh == 0) return AfOverlayUpdate::keep();
  const QSizeF area(aw, ah);
  const QRectF fit = afIsQuarterTurn(o) ? afFit(area.transposed(), bounds) : afFit(area, bounds);
  if (fit.width() <= 0 || fit.height() <= 0) return AfOverlayUpdate::keep();

  AfOverlayUpdate update{AfOverlayUpdate::Replace, afOverlayOn(fit)};
  const QSizeF longFirst(std::max(fit.width(), fit.height()), std::min(fit.width(), fit.height()));
  // Unzoomed, the camera counts y over the full sensor height and shows its middle band;
  // signed, so a frame reaching above the band stays just above it.
  const double bandTop = zoomed ? 0 : (static_cast<double>(h.fullHeight) - vh) / 2;
  for (size_t i = 0; i < count; ++i) {
    const double w = h.afWidth[i], ht = h.afHeight[i];
    const double y = std::trunc(h.afY[i] - bandTop);
    QPointF c(h.afX[i] + w / 2 - ax, y + ht / 2 - ay);
    if (o != 1) {
      const QPointF n = afOrient(o, QPointF(c.x() / vw, c.y() / vh));
      c = QPointF(n.x() * vw, n.y() * vh);
    }
    const QPointF p = afScale(c, area, fit.size());
    const QSizeF side = afIsQuarterTurn(o) ? QSizeF(ht, w) : QSizeF(w, ht);
    const QPointF box = afScale(QPointF(side.width(), side.height()), area, longFirst);
    const double x0 = p.x() - box.x() / 2 + fit.x();
    const double top = p.y() - box.y() / 2 + fit.y();
    const double ya = bounds.height() - top;
    afAddBox(update.overlay, x0, x0 + box.x(), ya, ya - box.y(), canonStroke(h.afState[i]));
  }
  return update;
}
