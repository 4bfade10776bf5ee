#pragma once
#include <vector>
// The camera's electronic level over the live picture: the dial and a thick line through
// its centre tilted by the roll angle, green within a degree of level, red otherwise.
// The dial (blurred shadows and all) does not change with the angle: it is rendered once per
// size and device scale and copied on every later paint; only the line is drawn per frame.
#include <QImage>
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
  // Draws the level into a painter whose origin is the view's top-left, everything drawn
  // afresh (what a paint without the kept dial would do).
  static void paintUncached(QPainter& painter, QSizeF size, float degrees);
  // Draws only the line, the part that changes with each frame.
  static void paintLine(QPainter& painter, QSizeF size, float degrees);

  // What a paint event draws, into a painter whose origin is the view's top-left.
  void paint(QPainter& painter);

  // How many times the dial has been rendered (for tests of the kept dial).
  int dialRenders() const { return dialRenders_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // What the kept dial was rendered for: the view's size and the device transform's scale
  // and fractional offset, which fix where its pixels fall.
  struct DialKey {
    qreal width = -1, height = -1, sx = 0, sy = 0, fx = 0, fy = 0;
    bool operator==(const DialKey&) const = default;
  };
  // Copies the kept dial into the painter, rendering it first when the key changed; false
  // when the painter's transform does not allow a pixel copy (the caller draws it instead).
  bool drawKeptDial(QPainter& painter, QSizeF size);

  float angle_ = 0;
  DialKey dialKey_;
  QImage dial_;
  QPoint dialOrigin_;  // device pixels, relative to the whole-pixel part of the device offset
  std::vector<QRect> dialTiles_;  // the parts of dial_ that hold anything
  int dialRenders_ = 0;
};
