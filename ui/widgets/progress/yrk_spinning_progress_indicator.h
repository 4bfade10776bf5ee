#pragma once
// The drawn spinning indicator: twelve fins around the centre, one lit fin stepping
// clockwise while the others fade, fading out when stopped; a determinate mode draws a pie
// of the value. Both animation paths tick from a timer on the GUI thread: painting never
// happens on another thread and no thread outlives the view. The threaded path keeps its
// own tick (600000 / fins microseconds) and repaints at once; the timer path ticks every
// 0.05 s and schedules a repaint. Fins whose colour no tick has set yet are not drawn.
#include <QColor>
#include <QTimer>
#include <QWidget>

#include <vector>

class YRKSpinningProgressIndicator : public QWidget {
  Q_OBJECT
 public:
  static constexpr qreal kFinDecay = 0.85;
  static constexpr qreal kStoppedFinAlpha = 0.15;
  static constexpr qreal kTurn = 6.282185;
  static constexpr int kTimerIntervalMs = 50;

  explicit YRKSpinningProgressIndicator(QWidget* parent = nullptr);
  ~YRKSpinningProgressIndicator() override;

  void startAnimation();
  void stopAnimation();
  void actuallyStartAnimation();
  void actuallyStopAnimation();
  // One tick of the animation.
  void updateFrame();
  // Called when the view enters or leaves its window (a parent, here).
  void viewDidMoveToWindow();
  void generateFinColorsStartAtPosition(int startPosition);

  QColor color() const { return foreColor_; }
  void setColor(const QColor& c);
  QColor backgroundColor() const { return backColor_; }
  void setBackgroundColor(const QColor& c);
  bool drawsBackground() const { return drawsBackground_; }
  void setDrawsBackground(bool draws);
  bool isDisplayedWhenStopped() const { return displayedWhenStopped_; }
  void setDisplayedWhenStopped(bool displayed);
  bool usesThreadedAnimation() const { return usesThreadedAnimation_; }
  void setUsesThreadedAnimation(bool threaded);
  bool isIndeterminate() const { return isIndeterminate_; }
  void setIndeterminate(bool indeterminate);
  double doubleValue() const { return currentValue_; }
  void setDoubleValue(double value);
  double maxValue() const { return maxValue_; }
  void setMaxValue(double value);
  void setStyle(unsigned) {}

  // State, for tests and the HUD.
  bool isAnimating() const { return isAnimating_; }
  bool isFadingOut() const { return isFadingOut_; }
  int position() const { return position_; }
  int numFins() const { return numFins_; }
  // The fin's alpha (0 while unset).
  qreal finAlpha(int fin) const;
  bool isTicking() const { return animationTimer_.isActive(); }
  int tickIntervalMs() const { return animationTimer_.interval(); }
  qreal finFloor() const { return displayedWhenStopped_ ? 0.15 : 0.01; }

  QSize sizeHint() const override { return {32, 32}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool hasWindow() const { return parentWidget() != nullptr; }
  void redraw();

  int position_ = 0;
  int numFins_ = 12;
  std::vector<QColor> finColors_;
  bool isAnimating_ = false;
  bool isFadingOut_ = false;
  QTimer animationTimer_;
  QColor foreColor_ = Qt::black;
  QColor backColor_ = QColor(0, 0, 0, 0);
  bool drawsBackground_ = false;
  bool displayedWhenStopped_ = true;
  bool usesThreadedAnimation_ = true;
  bool isIndeterminate_ = true;
  double currentValue_ = 0;
  double maxValue_ = 100;
};
