#pragma once
// The alert's help popover: a bubble drawn inside the alert window next to the help
// button, holding one text field. Shown relative to a rectangle of a view at one of its
// edges (0 min-x, 1 min-y, 2 max-x, 3 max-y, y up); kept inside the window.
#include <QLabel>
#include <QPointer>
#include <QWidget>

class HelpPopover : public QWidget {
  Q_OBJECT
 public:
  explicit HelpPopover(QWidget* window);
  QLabel* textField() const { return textField_; }
  bool isShown() const { return isVisible(); }
  // `rect` in `ofView`'s own (y-down) coordinates.
  void showRelativeToRect(const QRect& rect, QWidget* ofView, int preferredEdge);
  void close();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* textField_;
  QPoint arrowTip_;  // in this widget
  int edge_ = 3;
};
