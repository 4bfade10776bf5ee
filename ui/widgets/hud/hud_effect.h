#pragma once
// The HUD's alpha and zoom: the whole view, children included, drawn at an opacity and
// scaled about its centre (as a layer transform with the centre as anchor would). Off while
// it would change nothing.
#include <QGraphicsEffect>

class HudEffect : public QGraphicsEffect {
  Q_OBJECT
 public:
  explicit HudEffect(QObject* parent = nullptr) : QGraphicsEffect(parent) { setEnabled(false); }
  void setOpacity(qreal o);
  void setScale(qreal s);
  qreal opacity() const { return opacity_; }
  qreal scale() const { return scale_; }

 protected:
  void draw(QPainter* painter) override;

 private:
  void updateEnabled();

  qreal opacity_ = 1;
  qreal scale_ = 1;
};
