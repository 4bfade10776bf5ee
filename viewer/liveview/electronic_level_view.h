#pragma once
// The camera's electronic level over the live picture: the dial and a thick line through
// its centre tilted by the roll angle, green within a degree of level, red otherwise.
#include <QWidget>

class ElectronicLevelView : public QWidget {
  Q_OBJECT
 public:
  explicit ElectronicLevelView(QWidget* parent = nullptr);

  float angle() const { return angle_; }
  void setAngle(float degrees);

  // Level within a degree either side of 0 or 360 (NaN is not level).
  static bool isLevel(float degrees);
  // The line's ends in the view's y-up points for a width and height.
  static std::pair<QPointF, QPointF> lineEnds(float degrees, qreal width, qreal height);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  float angle_ = 0;
};
