#include "app/app_delegate.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QStyleFactory>
#include <QtDebug>

#include "app/app_icon.h"
#include "app/share_connection_view_controller.h"
#include "model/command_runner.h"
#include "model/settings_window_controller.h"
#include "model/utilities.h"
#include "platform/dispatch.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "platform/worker_threads.h"
#include "ptp/base/timing.h"
#include "ptp/props/event_poll.h"
#include "share/share_comms.h"
#include "viewer/camera/share_camera_window_controller.h"

ConnectWindowController::ConnectWindowController() : WindowController(QStringLiteral("MainMenu")) {}

QWidget* ConnectWindowController::buildWindow() {
  auto* window = new QMainWindow;
  window->setObjectName(QStringLiteral("ConnectWindow"));
  window->setWindowTitle(QStringLiteral("Connect"));
  window->setFixedSize(520, 420);
  QMenu* menu = window->menuBar()->addMenu(QStringLiteral("&Korvalume"));
  QAction* settings = menu->addAction(QStringLiteral("&Settings…"));
  settings->setObjectName(QStringLiteral("settingsAction"));
  settings->setShortcut(QKeySequence::Preferences);
  settings->setMenuRole(QAction::PreferencesRole);
  menu->addSeparator();
  QAction* quit = menu->addAction(QStringLiteral("&Quit"));
  quit->setObjectName(QStringLiteral("quitAction"));
  quit->setShortcut(QKeySequence::Quit);
  quit->setMenuRole(QAction::QuitRole);
  connect(settings, &QAction::triggered, this, &ConnectWindowController::settingsRequested);
  connect(quit, &QAction::triggered, this, &ConnectWindowController::quitRequested);
  mViewController = new ShareConnectionViewController(window);
  window->setCentralWidget(mViewController->view());
  return window;
}

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate() {
  NotificationCenter::defaultCenter().removeObserver(this);
  if (mSettingsWindowController) delete mSettingsWindowController.data();
}

void AppDelegate::applyDarkAppearance() {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
  QPalette p;
  const QColor window(0x2B, 0x2B, 0x2E), base(0x1E, 0x1E, 0x20), text(0xE8, 0xE8, 0xE8);
  const QColor disabled(0x7A, 0x7A, 0x7E), highlight(0x1F, 0x6F, 0xD1);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3E));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, disabled);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3E));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x5A, 0xA0, 0xF5));
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Light, QColor(0x4A, 0x4A, 0x4E));
  p.setColor(QPalette::Midlight, QColor(0x3E, 0x3E, 0x42));
  p.setColor(QPalette::Mid, QColor(0x26, 0x26, 0x28));
  p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1A));
  p.setColor(QPalette::Shadow, Qt::black);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabled);
  QApplication::setPalette(p);
}

void AppDelegate::applicationDidFinishLaunching() {
  KV_ASSERT_GUI_THREAD();
  // The process activity (no idle sleep) has no counterpart here.
  applyDarkAppearance();
  // Every window's icon, and the one alerts show.
  QApplication::setWindowIcon(appIcon());
  // Before any window: every window reads its settings through these.
  if (!UserDefaults::standardUserDefaults().registerDefaultsFromBundle())
    qWarning("AppDelegate: the bundled default values could not be read");
  NotificationCenter::defaultCenter().addObserver(
      this, QString::fromLatin1(kWindowWillCloseNotification),
      [this](const Notification& n) { windowClosingNotification(n.objectAs<QObject*>()); });
  QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
  connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);

  mConnectWindow = std::make_unique<ConnectWindowController>();
  connect(mConnectWindow.get(), &ConnectWindowController::settingsRequested, this, &AppDelegate::showSettings);
  connect(mConnectWindow.get(), &ConnectWindowController::quitRequested, qApp, &QCoreApplication::quit,
          Qt::QueuedConnection);
  mConnectWindow->showWindow();
  mOrigWindow = mConnectWindow->window();
  // The save folder once the window is up: when none is kept, the user is asked for one.
  Dispatch::main([self = QPointer<AppDelegate>(this)] {
    if (self && !self->mTerminated) Utilities::checkFolderAccess();
  });
}

void AppDelegate::windowClosingNotification(QObject* controller) {
  if (controller == nullptr) return;
  if (qobject_cast<ShareCameraWindowController*>(controller) != nullptr) {
    evtStopPollThread(false);
    if (mConnectWindow && !mTerminated) mConnectWindow->showWindow();
    // The camera window's controller lets itself go after its close.
  } else if (controller == mSettingsWindowController.data()) {
    mSettingsWindowController->deleteLater();
    mSettingsWindowController = nullptr;
  }
}

void AppDelegate::applicationWillTerminate() {
  KV_ASSERT_GUI_THREAD();
  if (mTerminated) return;
  mTerminated = true;
  NotificationCenter::defaultCenter().removeObserver(this);
  const auto wait = timing().quitWait.load();
  // The session first: its threads end once the link is closed.
  ShareComms::instance().stop();
  evtStopPollThread(true);
  mJoinedEveryWorker = !ShareComms::instance().hasPtpQueue();
  if (!Command::joinRuns(wait)) {
    qWarning("quit: a background step is still running; it is let go");
    mJoinedEveryWorker = false;
  }
  if (!WorkerThreads::joinAll(wait)) {
    qWarning("quit: a background task is still running; it is let go");
    mJoinedEveryWorker = false;
  }
  if (!Dispatch::endGlobal(wait)) {
    qWarning("quit: short tasks are still running; they are let go");
    mJoinedEveryWorker = false;
  }
  UserDefaults::standardUserDefaults().synchronize();
}

void AppDelegate::showSettings() {
  if (mSettingsWindowController) {
    mSettingsWindowController->showWindow();
    return;
  }
  mSettingsWindowController = SettingsWindowController::createAndShowWindow();
}

QWidget* AppDelegate::window() const { return mOrigWindow; }
