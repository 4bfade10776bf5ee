// Sony: one focus frame in the frame's coordinate size, or a cross in the middle of the
// view while the camera is zoomed.
#include <algorithm>
#include <cmath>

#include "platform/graphics/named_colors.h"
#include "viewer/liveview/af_overlay.h"

namespace {
// "Wide", "Zone" and "Center" have no point to show.
bool isAreaWithoutPoint(uint32_t focusArea) { return focusArea >= 1 && focusArea <= 3; }
}  // namespace

AfOverlayUpdate sonyAfOverlay(const SonyAfReport& report, QSizeF frameSize, const QRectF& r, uint8_t o,
                              QSizeF bounds) {
  if (!report.hasFocusFlag) return AfOverlayUpdate::remove();
  const QColor stroke = *report.hasFocusFlag == 2 ? NamedColor::greenColor() : NamedColor::whiteColor();
  if (report.zoomed) {
    const qreal cx = bounds.width() / 2, cy = bounds.height() / 2;
    const qreal a = std::max(bounds.width(), bounds.height()) / 20;
    AfOverlayUpdate update{AfOverlayUpdate::Replace, afOverlayOn(QRectF(QPointF(), bounds))};
    update.overlay.boxes.push_back({{QLineF(cx - a, cy, cx + a, cy), QLineF(cx, cy - a, cx, cy + a)}, stroke});
    return update;
  }
  if (!report.focusArea || isAreaWithoutPoint(*report.focusArea)) return AfOverlayUpdate::remove();

  const bool emptyRect = r.width() == 0 || r.height() == 0;
  QPointF point;
  if (emptyRect) {
    if (!report.focusPoint) return AfOverlayUpdate::remove();
    point = QPointF(report.focusPoint->x(), report.focusPoint->y());
  } else {
    point = QPointF(std::trunc(r.x()), std::trunc(r.y()));
  }
  const qreal W = frameSize.width(), H = frameSize.height();
  if (W <= 0 || H <= 0) return AfOverlayUpdate::remove();
  // The picture is turned for display unless the camera already sends it upright.
  const bool turnIt = o != 1 && !(report.focusPointTracked && !report.rotateLiveView);
  const uint8_t turn = turnIt ? o : 1;
  const QRectF fit = afIsQuarterTurn(turn) ? afFit(QSizeF(H, W), bounds) : afFit(frameSize, bounds);
  if (fit.width() <= 0 || fit.height() <= 0) return AfOverlayUpdate::remove();
  // Turned in the camera's top-down square, then flipped to the view's bottom-up one.
  const QPointF t = afOrient(turn, QPointF(point.x() / W, point.y() / H));
  const QPointF p(t.x() * fit.width(), (1 - t.y()) * fit.height());
  qreal bw, bh;
  if (emptyRect) {
    const qreal m = std::max(fit.width(), fit.height());
    bw = m * static_cast<double>(0.12f);
    bh = m * static_cast<double>(0.08f);
  } else {
    const QSizeF side = afIsQuarterTurn(turn) ? r.size().transposed() : r.size();
    const QPointF s = afScale(QPointF(side.width(), side.height()), afIsQuarterTurn(turn) ? QSizeF(H, W) : frameSize,
                              fit.size());
    bw = s.x();
    bh = s.y();
  }
  qreal x0 = p.x() - bw / 2, yb = p.y() - bh / 2;
  if (x0 < 0 || yb < 0) return AfOverlayUpdate::remove();
  x0 += fit.x();
  yb += fit.y();
  AfOverlayUpdate update{AfOverlayUpdate::Replace, afOverlayOn(fit)};
  if (!afAddBox(update.overlay, x0, x0 + bw, yb + bh, yb, stroke)) return AfOverlayUpdate::remove();
  return update;
}
