#pragma once
// The application delegate: the look, the registered defaults and the connect window at
// launch; the connect window brought back when the camera window closes; one settings
// window; and, at the end, the session killed and every worker joined within a bound.
#include <QMainWindow>
#include <QObject>
#include <QPointer>

#include <memory>

#include "app/share_connection_view_controller.h"
#include "model/settings_window_controller.h"
#include "platform/window_controller.h"

// The main interface file's window: the connect screen and the application's menu.
class ConnectWindowController : public WindowController {
  Q_OBJECT
 public:
  ConnectWindowController();
  ShareConnectionViewController* viewController() const { return mViewController; }

 signals:
  void settingsRequested();
  void quitRequested();

 protected:
  QWidget* buildWindow() override;

 private:
  QPointer<ShareConnectionViewController> mViewController;
};

class AppDelegate : public QObject {
  Q_OBJECT
 public:
  AppDelegate();
  ~AppDelegate() override;

  // The dark look of the whole application (palette and style), before any window.
  static void applyDarkAppearance();

  // Launch: look, defaults, the close observer, the connect window, then the save folder.
  void applicationDidFinishLaunching();
  // A window is about to close: the camera window brings the connect window back (before it
  // hides, so the application never runs out of windows); the settings window lets go.
  void windowClosingNotification(QObject* controller);
  // The end: the session killed, every worker joined within a bound. Called once, from
  // QCoreApplication::aboutToQuit.
  void applicationWillTerminate();
  bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
  // After the end: whether every worker ended within its bound (none was let go).
  bool joinedEveryWorker() const { return mJoinedEveryWorker; }
  // The settings menu item: one settings window at a time.
  void showSettings();

  // The connect window.
  QWidget* window() const;
  ConnectWindowController* connectWindowController() const { return mConnectWindow.get(); }
  SettingsWindowController* settingsWindowController() const { return mSettingsWindowController; }

 private:
  std::unique_ptr<ConnectWindowController> mConnectWindow;
  QPointer<SettingsWindowController> mSettingsWindowController;
  QPointer<QWidget> mOrigWindow;
  bool mTerminated = false;
  bool mJoinedEveryWorker = false;
};
