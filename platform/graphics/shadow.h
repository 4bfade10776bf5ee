#pragma once
// A shadow as the icon kits set it: colour, offset in y-up points (x right, y up) and a
// blur radius in points. Offset and blur are measured in the context's base space, so
// the current transform does not change them.
#include <QColor>
#include <QSizeF>

class Shadow {
 public:
  Shadow() = default;
  Shadow(const QColor& color, QSizeF offset, qreal blurRadius)
      : shadowColor_(color), shadowOffset_(offset), shadowBlurRadius_(blurRadius) {}
  virtual ~Shadow() = default;

  QColor shadowColor() const { return shadowColor_; }
  QSizeF shadowOffset() const { return shadowOffset_; }
  qreal shadowBlurRadius() const { return shadowBlurRadius_; }
  void setShadowColor(const QColor& c) { shadowColor_ = c; }
  void setShadowOffset(QSizeF o) { shadowOffset_ = o; }
  void setShadowBlurRadius(qreal r) { shadowBlurRadius_ = r; }

  // A shadow whose colour has no alpha paints nothing.
  bool paintsSomething() const { return shadowColor_.isValid() && shadowColor_.alphaF() > 0; }

 private:
  // The platform default: black at one third.
  QColor shadowColor_ = QColor::fromRgbF(0, 0, 0, 1.0f / 3.0f);
  QSizeF shadowOffset_{0, 0};
  qreal shadowBlurRadius_ = 0;
};
