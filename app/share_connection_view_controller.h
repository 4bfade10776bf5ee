#pragma once
// The connect screen: a Connect button and a settings (gear) button. It prepares the object
// cache when it loads, starts the connect run when the user presses Connect, and turns every
// connection status into a message or into the switch to the camera window. Nothing
// connects on its own.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>

class SYFlatButton;
class QLabel;

class ShareConnectionViewController : public QObject {
  Q_OBJECT
 public:
  // The connect help text and the sharing help text.
  static QString connectHelpText();
  static QString sharingHelpText();

  // Builds the view inside parentWindow (the window that holds it); viewDidLoad follows.
  explicit ShareConnectionViewController(QWidget* parentWindow);
  ~ShareConnectionViewController() override;

  QWidget* view() const { return mView; }

  // Button actions.
  void connect();
  void settingsAction();

  // The hardware generation of the device last connected to.
  static uint8_t versionNumber();

  // GUI thread (hops there from any other). Ignored while a connect run is in flight, and
  // when no save folder has been chosen after the user was asked for one.
  void connectToKorvalume();
  void connectionStatusChanged(int status);
  void transitionToCameraImageWindow();
  void checkCacheSize();

  int currentConnectionStatus() const { return mCurrentConnectionStatus; }
  bool isConnecting() const { return mConnecting; }

  // Outlets.
  QPointer<SYFlatButton> oSettingsButton;
  QPointer<SYFlatButton> oConnectButton;
  QPointer<QWidget> oParentWindow;

 private:
  void viewDidLoad();

  QPointer<QWidget> mView;
  QPointer<QLabel> mHintField;
  int mCurrentConnectionStatus = 2;
  bool mConnecting = false;
};
