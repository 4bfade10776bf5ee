#pragma once
// A platform progress indicator drawn light: a white soft-light wash under the plain bar.
#include <QProgressBar>

class MBSpinnerProgressView : public QProgressBar {
  Q_OBJECT
 public:
  explicit MBSpinnerProgressView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
