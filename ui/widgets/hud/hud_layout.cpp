#include "ui/widgets/hud/hud_layout.h"

#include <algorithm>
#include <cmath>

HudLayout hudLayout(const HudLayoutInput& in) {
  const qreal m = in.margin;
  const qreal maxWidth = in.bounds.width() - 4 * m;
  const QSizeF I = in.indicator, L = in.label, D = in.detailsLabel;
  const qreal Iw = std::min(I.width(), maxWidth);
  const qreal Lw = L.width() > 0 ? std::min(L.width() + 10, maxWidth) : L.width();
  const qreal Dw = D.width() > 0 ? std::min(D.width() + 10, maxWidth) : D.width();
  const bool padL = I.height() > 0 && L.height() > 0;
  const bool padD = D.height() > 0 && (I.height() > 0 || L.height() > 0);
  const qreal button = in.hasButton ? 40 : 0;
  qreal totalH = I.height() + L.height() + (padL ? 4 : 0) + D.height() + (padD ? 4 : 0) + button + 2 * m;
  qreal totalW = std::max({0.0, Iw, Lw, Dw}) + 2 * m;
  const qreal base = std::round((in.bounds.height() - totalH) / 2) + m - in.yOffset;

  HudLayout out;
  const qreal iy = base + button + (padL ? L.height() + 4 : 0) + (padD ? D.height() + 4 : 0);
  out.indicatorFrame = QRectF(std::round((in.bounds.width() - Iw) / 2) + in.xOffset, iy, Iw, I.height());
  const qreal ly = iy - (padL ? L.height() + 4 : 0);
  out.labelFrame = QRectF(std::round((in.bounds.width() - Lw) / 2) + in.xOffset, ly, Lw, L.height());
  const qreal dy = ly - (padD ? D.height() + 4 : 0);
  out.detailsLabelFrame = QRectF(std::round((in.bounds.width() - Dw) / 2) + in.xOffset, dy, Dw, D.height());
  if (in.square) {
    const qreal s = std::max(totalW, totalH);
    if (s <= in.bounds.width() - 2 * m) totalW = s;
    if (s <= in.bounds.height() - 2 * m) totalH = s;
  }
  out.size = QSizeF(std::max(in.minSize.width(), totalW), std::max(in.minSize.height(), totalH));
  return out;
}

QRectF hudPanelRect(QSizeF bounds, QSizeF size, qreal xOffset, qreal yOffset) {
  return QRectF(std::round((bounds.width() - size.width()) / 2) + xOffset,
                std::round((bounds.height() - size.height()) / 2) - yOffset, size.width(), size.height());
}
