#pragma once
// Finding and answering the alerts on screen, for the tests of the layers that have them
// (header only: the layers below link no widgets).
#include <QPoint>
#include <QString>
#include <QTest>
#include <QWidget>

#include <vector>

#include "platform/window_registry.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

namespace kvtest {

// The visible alert windows, front first.
inline std::vector<QWidget*> visibleAlerts() {
  std::vector<QWidget*> out;
  for (const WindowRegistry::Entry& e : WindowRegistry::orderedWindows())
    if (e.kind == WindowRegistry::Kind::Alert && e.window->isVisible()) out.push_back(e.window);
  return out;
}

// Clicks the alert's button with that title; false when it has no such visible button.
inline bool clickButton(QWidget* window, const QString& title) {
  for (SYFlatButton* b : window->findChildren<SYFlatButton*>())
    if (b->title() == title && b->isVisible()) {
      QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
      return true;
    }
  return false;
}

}  // namespace kvtest
