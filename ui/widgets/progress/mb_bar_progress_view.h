#pragma once
// A rounded bar of a progress 0..1, drawn at the view's bounds. The setters may be called
// from any thread: off the GUI thread they hop to it, with the view as the call's context.
#include <QColor>
#include <QWidget>

#include <memory>

#include "platform/graphics/bezier_path.h"
#include "platform/gui_target.h"

class MBBarProgressView : public QWidget {
  Q_OBJECT
 public:
  explicit MBBarProgressView(QWidget* parent = nullptr);
  ~MBBarProgressView() override;

  float progress() const { return progress_; }
  void setProgress(float progress);
  QColor lineColor() const { return lineColor_; }
  void setLineColor(const QColor& c);
  QColor progressRemainingColor() const { return progressRemainingColor_; }
  void setProgressRemainingColor(const QColor& c);
  QColor progressColor() const { return progressColor_; }
  void setProgressColor(const QColor& c);

  std::shared_ptr<GuiTarget> guiTarget() const { return target_; }
  QSize sizeHint() const override { return {120, 20}; }

  // The outline and the done part of a bar of size (W, H) at `progress` (y up).
  static BezierPath outlinePath(qreal W, qreal H);
  static BezierPath donePath(qreal W, qreal H, qreal progress);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<GuiTarget> target_;
  float progress_ = 0;
  QColor lineColor_ = Qt::white;
  QColor progressRemainingColor_ = QColor(0, 0, 0, 0);
  QColor progressColor_ = Qt::white;
};
