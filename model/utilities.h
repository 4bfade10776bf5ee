#pragma once
// Class methods the whole application uses: user messages (alerts) and the process-wide
// connection status.
//
// The message methods may be called from any thread: on the GUI thread the alert is shown
// at once (application-modal, so the call returns when the user answers); from any other
// thread the call is queued to the GUI thread and returns at once. A null text leaves its
// field empty.
#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

class QWidget;

class Utilities {
 public:
  Utilities() = delete;

  // ---- messages
  // Note style. autoDismiss is carried along but changes nothing.
  static void showInfoMessage(const QString& message, const QString& withTitle, bool autoDismiss = false);
  // Caution style, titled "Warning".
  static void showWarningMessage(const QString& message);
  // Stop style, titled "Error"; a help text adds the help button.
  static void showErrorMessage(const QString& message, const QString& helpMessage = QString());
  // The message, two blanks and the text of the response code.
  static void showErrorMessage(const QString& message, uint16_t withErrorCode);
  // Stop style, titled "Error", not modal, closes itself after delay seconds.
  static void showAndDismissErrorMessage(const QString& message, double delay);

  // ---- connection status
  // value when it lies in 1..8, else ConnectionStatusUnknown.
  static int connectionStatusForInteger(long long value);
  static void setCurrentConnectionStatus(uint32_t status);
  static uint32_t currentConnectionStatus();

  // No network name is known to the program: "".
  static QString currentSsid();
  // Always 1.
  static int numberOfLinesForString(const QString& string, const QWidget* inTextView);
  // Collects its arguments and answers null; no other effect.
  static std::nullptr_t returnValueLog(std::initializer_list<QVariant> values);
  // Free bytes on the file system that holds the home folder (0 when unknown).
  static double freeDiskSpaceInBytes();
};
