#include "platform/window_controller.h"

#include <QCloseEvent>

#include "platform/gui_thread.h"
#include "platform/notification_center.h"

WindowController::WindowController(QString windowNibName, QObject* parent)
    : QObject(parent), nibName_(std::move(windowNibName)) {}

WindowController::~WindowController() {
  if (window_) {
    window_->removeEventFilter(this);
    delete window_.data();
  }
}

QWidget* WindowController::window() {
  KV_ASSERT_GUI_THREAD();
  if (window_) return window_;
  QWidget* w = buildWindow();
  if (w == nullptr) return nullptr;
  w->setParent(nullptr);
  w->setWindowFlag(Qt::Window, true);
  window_ = w;
  w->installEventFilter(this);
  WindowRegistry::registerWindow(w, windowKind());
  windowDidLoad();
  return w;
}

void WindowController::showWindow() {
  KV_ASSERT_GUI_THREAD();
  QWidget* w = window();
  if (w == nullptr) return;
  w->show();
  w->raise();
  w->activateWindow();
  WindowRegistry::bringToFront(w);
}

void WindowController::close() {
  KV_ASSERT_GUI_THREAD();
  if (!window_ || !window_->isVisible()) return;
  closing_ = true;
  window_->close();
  closing_ = false;
}

bool WindowController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Close) {
    if (!closing_ && !windowShouldClose()) {
      event->ignore();
      return true;
    }
    emit windowWillClose();
    NotificationCenter::defaultCenter().post(QString::fromLatin1(kWindowWillCloseNotification),
                                             QVariant::fromValue(static_cast<QObject*>(this)));
  }
  return QObject::eventFilter(watched, event);
}
