#pragma once
// The platform's window controller: owns one top-level window, built lazily by
// buildWindow() (the interface file's stand-in, which creates the named outlets) the
// first time window() is asked for, after which windowDidLoad() runs. The window is
// registered with WindowRegistry. Closing the window through its title bar (or the
// platform) reaches windowShouldClose(); close() closes it without asking.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "platform/window_registry.h"

// Posted on the GUI thread, inside the close, as any controller's window is about to close
// (before it hides); the object is the controller, as a QObject*. Observers that show
// another window here keep the application from ending with its last window.
inline constexpr const char* kWindowWillCloseNotification = "NSWindowWillCloseNotification";

class WindowController : public QObject {
  Q_OBJECT
 public:
  explicit WindowController(QString windowNibName = QString(), QObject* parent = nullptr);
  ~WindowController() override;

  QString windowNibName() const { return nibName_; }
  // Builds the window on first use.
  QWidget* window();
  bool isWindowLoaded() const { return window_ != nullptr; }

  // Shows the window and brings it to the front.
  virtual void showWindow();
  // Hides the window (it stays built for a later show).
  virtual void close();

 signals:
  void windowWillClose();

 protected:
  // Creates the window and its outlets. The controller owns the result.
  virtual QWidget* buildWindow() = 0;
  virtual void windowDidLoad() {}
  // A close asked for by the user or the platform (title-bar button, Alt+F4). Return
  // false to keep the window; the default lets it close.
  virtual bool windowShouldClose() { return true; }
  virtual WindowRegistry::Kind windowKind() const { return WindowRegistry::Kind::Window; }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString nibName_;
  QPointer<QWidget> window_;
  bool closing_ = false;  // our own close(): not a user's request
};
