#pragma once
// A determinate pie (or ring when annular) of a progress 0..1. The setters may be called
// from any thread: off the GUI thread they hop to it, with the view as the call's context.
#include <QColor>
#include <QWidget>

#include <memory>

#include "platform/gui_target.h"

class MBRoundProgressView : public QWidget {
  Q_OBJECT
 public:
  explicit MBRoundProgressView(QWidget* parent = nullptr);
  ~MBRoundProgressView() override;

  float progress() const { return progress_; }
  void setProgress(float progress);
  bool isAnnular() const { return annular_; }
  void setAnnular(bool annular);
  QColor progressTintColor() const { return progressTintColor_; }
  void setProgressTintColor(const QColor& c);
  QColor backgroundTintColor() const { return backgroundTintColor_; }
  void setBackgroundTintColor(const QColor& c);

  // For threads that may outlive the view.
  std::shared_ptr<GuiTarget> guiTarget() const { return target_; }
  QSize sizeHint() const override { return {37, 37}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<GuiTarget> target_;
  bool annular_ = false;
  float progress_ = 0;
  QColor progressTintColor_ = QColor(255, 255, 255, 255);
  QColor backgroundTintColor_ = QColor::fromRgbF(1, 1, 1, 0.1f);
};
