#include "ui/widgets/hud/hud_effect.h"

#include <QPainter>

void HudEffect::setOpacity(qreal o) {
  if (o == opacity_) return;
  opacity_ = o;
  updateEnabled();
  update();
}

void HudEffect::setScale(qreal s) {
  if (s == scale_) return;
  scale_ = s;
  updateEnabled();
  update();
}

void HudEffect::updateEnabled() {
  // While the effect is on, any change inside the view repaints all of it into the
  // offscreen source; at full opacity and scale 1 the view draws itself, and a spinner
  // tick repaints only the spinner.
  setEnabled(opacity_ != 1 || scale_ != 1);
}

void HudEffect::draw(QPainter* painter) {
  if (opacity_ <= 0) return;
  QPoint offset;
  const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
  if (pixmap.isNull()) return;
  painter->save();
  painter->setOpacity(painter->opacity() * opacity_);
  if (scale_ != 1) {
    const QPointF centre = boundingRect().center();
    painter->translate(centre);
    painter->scale(scale_, scale_);
    painter->translate(-centre);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
  }
  painter->drawPixmap(offset, pixmap);
  painter->restore();
}
