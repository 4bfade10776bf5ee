#include "app/share_connection_view_controller.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

#include "model/command_runner.h"
#include "model/connection_status.h"
#include "model/settings_window_controller.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/graphics/stylekit_image_view.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "share/connect_run.h"
#include "share/share_events.h"
#include "stylekit/korvalume_style_kit.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "viewer/camera/share_camera_window_controller.h"

namespace {

const QString kHelpPageLine = QStringLiteral("- For more help, visit https://korvalume.com/help");

SYFlatButton* makeConnectButton(QWidget* parent) {
  auto* b = new SYFlatButton(parent);
  b->setObjectName(QStringLiteral("oConnectButton"));
  b->setMomentary(true);
  b->setCornerRadius(6);
  b->setBackgroundNormalColor(QColor(0x1F, 0x6F, 0xD1));
  b->setBackgroundHighlightColor(QColor(0x3A, 0x8B, 0xF0));
  b->setBorderNormalColor(QColor(0, 0, 0, 0));
  b->setBorderHighlightColor(QColor(0, 0, 0, 0));
  b->setTitleNormalColor(QColor(0xF4, 0xF4, 0xF4));
  b->setTitleHighlightColor(Qt::white);
  b->setTitle(QStringLiteral("Connect"));
  b->setFixedSize(180, 40);
  b->awakeFromNib();
  return b;
}

SYFlatButton* makeGearButton(QWidget* parent) {
  auto* b = new SYFlatButton(parent);
  b->setObjectName(QStringLiteral("oSettingsButton"));
  b->setMomentary(true);
  b->setCornerRadius(4);
  b->setBackgroundNormalColor(QColor(0, 0, 0, 0));
  b->setBackgroundHighlightColor(QColor(0xFF, 0xFF, 0xFF, 0x22));
  b->setBorderNormalColor(QColor(0, 0, 0, 0));
  b->setBorderHighlightColor(QColor(0, 0, 0, 0));
  b->setImageNormalColor(QColor(0xB8, 0xB8, 0xB8));
  b->setImageHighlightColor(Qt::white);
  // Sized first: the image is placed within the button's size.
  b->setFixedSize(36, 36);
  b->setImagePosition(ImageOnly);
  b->setImage(KorvalumeStyleKit::imageOfGearWithSize(QSizeF(30, 30)).render(2));
  b->setToolTip(QStringLiteral("Settings"));
  b->awakeFromNib();
  return b;
}

}  // namespace

QString ShareConnectionViewController::connectHelpText() {
  return QStringList{QStringLiteral("- Try again"), QStringLiteral("- Check WiFi is connected to Korvalume network"),
                     QStringLiteral("- Check Korvalume battery"), QStringLiteral("- Restart Korvalume app and device"),
                     kHelpPageLine}
      .join(QStringLiteral("\n\n"));
}

QString ShareConnectionViewController::sharingHelpText() {
  return QStringLiteral("- Confirm main Korvalume application is running and sharing is enabled.\n\n") + kHelpPageLine;
}

ShareConnectionViewController::ShareConnectionViewController(QWidget* parentWindow)
    : QObject(parentWindow), oParentWindow(parentWindow) {
  mView = new QWidget(parentWindow);
  mView->setObjectName(QStringLiteral("ShareConnectionView"));
  auto* layout = new QVBoxLayout(mView);
  layout->setContentsMargins(16, 12, 12, 24);
  auto* top = new QHBoxLayout;
  top->addStretch(1);
  oSettingsButton = makeGearButton(mView);
  top->addWidget(oSettingsButton);
  layout->addLayout(top);
  layout->addStretch(1);
  auto* logo = new StyleKitImageView(mView);
  logo->setObjectName(QStringLiteral("oLogoImageView"));
  logo->setImage(KorvalumeStyleKit::imageOfKorvalumeLogo2WithSize(QSizeF(320, 110), QColor(0xEE, 0xEE, 0xEE)));
  logo->setFixedSize(320, 110);
  layout->addWidget(logo, 0, Qt::AlignHCenter);
  mHintField = new QLabel(QStringLiteral("Join the Korvalume's Wi-Fi network, then press Connect."), mView);
  mHintField->setAlignment(Qt::AlignCenter);
  mHintField->setStyleSheet(QStringLiteral("color: #9a9a9a;"));
  layout->addWidget(mHintField);
  layout->addSpacing(18);
  oConnectButton = makeConnectButton(mView);
  layout->addWidget(oConnectButton, 0, Qt::AlignHCenter);
  layout->addStretch(1);
  QObject::connect(oConnectButton, &SYFlatButton::action, this, [this] { connect(); });
  // Connect is the window's default button.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), mView);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, this, [this] { connect(); });
  }
  QObject::connect(oSettingsButton, &SYFlatButton::action, this, [this] { settingsAction(); });
  viewDidLoad();
}

ShareConnectionViewController::~ShareConnectionViewController() {
  NotificationCenter::defaultCenter().removeObserver(this);
}

void ShareConnectionViewController::viewDidLoad() {
  observeConnectionStatus(this, [this](const ConnectionStatusEvent& e) {
    connectionStatusChanged(Utilities::connectionStatusForInteger(e.status));
  });
  mCurrentConnectionStatus = ConnectionStatusDisconnected;
  // Created, or pruned and loaded, in the background; not before a save folder is chosen.
  Utilities::configureCache();
}

void ShareConnectionViewController::connect() { connectToKorvalume(); }

void ShareConnectionViewController::settingsAction() {
  // Nobody keeps this one: it goes with its window.
  SettingsWindowController::createAndShowWindow(SettingsWindowController::WhenClosed::Delete);
}

uint8_t ShareConnectionViewController::versionNumber() { return connectGeneration(); }

void ShareConnectionViewController::connectToKorvalume() {
  if (!Dispatch::isMainThread()) {
    Dispatch::mainSync([this] { connectToKorvalume(); });
    return;
  }
  if (mConnecting) return;  // one run at a time: a second press changes nothing
  if (UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath).isEmpty()) {
    // Every object received is saved: the folder comes first.
    Utilities::selectSaveDataDirectory();
    if (UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath).isEmpty()) return;
  }
  Utilities::configureCache();
  mConnecting = true;
  mCurrentConnectionStatus = ConnectionStatusConnecting;
  QPointer<ShareConnectionViewController> self(this);
  runConnect([self](int32_t) {
    if (self) self->mConnecting = false;
  });
}

void ShareConnectionViewController::connectionStatusChanged(int status) {
  const int previous = mCurrentConnectionStatus;
  // Recorded before the message: the alert is modal, and a status arriving while it is up
  // must see this one as the previous.
  mCurrentConnectionStatus = status;
  Utilities::setCurrentConnectionStatus(static_cast<uint32_t>(status));
  QString message, help;
  switch (status) {
    case ConnectionStatusUnknown:
      message = QStringLiteral("Unknown Connection Status");
      break;
    case ConnectionStatusDisconnected:
      if (previous == ConnectionStatusDisconnected) break;
      if (previous == ConnectionStatusConnecting) {
        message = QStringLiteral("Unable to connect to Korvalume.");
        if (!Utilities::currentSsid().contains(QStringLiteral("Korvalume"), Qt::CaseInsensitive))
          message += QStringLiteral(" Please join the Korvalume WiFi network within the System Preferences");
        help = connectHelpText();
      } else {
        message = QStringLiteral("Connection to Korvalume lost.");
      }
      break;
    case ConnectionStatusConnected:
      transitionToCameraImageWindow();
      break;
    case ConnectionStatusSharingDisabled:
      message = QStringLiteral("Sharing is disabled.");
      help = sharingHelpText();
      break;
    default:
      break;
  }
  if (message.isEmpty()) return;
  if (help.isEmpty())
    Utilities::showErrorMessage(message);
  else
    Utilities::showErrorMessage(message, help);
}

void ShareConnectionViewController::transitionToCameraImageWindow() {
  ShareCameraWindowController::createAndShowWindow();
  // Hidden after the camera window is up: the application never has no window.
  if (oParentWindow) oParentWindow->hide();
}

void ShareConnectionViewController::checkCacheSize() { Utilities::checkCacheSize(); }
