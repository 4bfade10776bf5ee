#include <memory>

#include "model/ptp_errors.h"
#include "model/utilities.h"
#include "platform/dispatch.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

// On the GUI thread now, else queued there (the caller does not wait). The texts travel
// by value, so the caller's strings may go at once.
void onGuiThread(std::function<void()> fn) {
  if (Dispatch::isMainThread())
    fn();
  else
    Dispatch::main(std::move(fn));
}

std::shared_ptr<KL_Alert> makeAlert(AlertStyle style, const QString& title, const QString& information,
                                    const QString& help) {
  auto alert = KL_Alert::klAlertWithStyle(style);
  alert->setTitleText(title);
  alert->setInformationText(information);
  alert->setHelpText(help);
  return alert;
}

void showModal(AlertStyle style, const QString& title, const QString& information, const QString& help) {
  onGuiThread([=] { makeAlert(style, title, information, help)->show(); });
}

}  // namespace

void Utilities::showInfoMessage(const QString& message, const QString& withTitle, bool autoDismiss) {
  (void)autoDismiss;
  showModal(AlertStyleNote, withTitle, message, QString());
}

void Utilities::showWarningMessage(const QString& message) {
  showModal(AlertStyleCaution, QStringLiteral("Warning"), message, QString());
}

void Utilities::showErrorMessage(const QString& message, const QString& helpMessage) {
  showModal(AlertStyleStop, QStringLiteral("Error"), message, helpMessage);
}

void Utilities::showErrorMessage(const QString& message, uint16_t withErrorCode) {
  // A null message counts as empty: the code's text still shows.
  showErrorMessage(PtpErrors::appendString(message + QLatin1Char(' '), withErrorCode));
}

void Utilities::showAndDismissErrorMessage(const QString& message, double delay) {
  // Alerts are widgets: a call from a worker is queued to the GUI thread like the others.
  onGuiThread([=] { makeAlert(AlertStyleStop, QStringLiteral("Error"), message, QString())->showAndDismiss(delay); });
}
