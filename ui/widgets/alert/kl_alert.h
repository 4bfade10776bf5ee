#pragma once
// The program's alert window: a style icon, the application icon, a title, a message, up
// to three answer buttons (OK, Cancel, a third one) each with an optional handler, a help
// button opening a popover, an optional check box and progress indicator. Shown
// application-modal (show), non-modal (showNonModal, showAndDismiss) or from a worker
// thread that waits for the answer (blockingShow).
//
// Alerts live in a shared_ptr (klAlertWithStyle) so that a queued show and a dismissal
// timer can keep them alive; the last owner may drop it on any thread: deletion always
// happens on the GUI thread. Closing the window by any other way than a button (Escape, the
// title bar's close button) is a click on Cancel when Cancel is shown, else on OK; an alert
// destroyed or abandoned (quit, session teardown) answers 0 and releases its waiter.
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/graphics/stylekit_image_view.h"
#include "platform/window_controller.h"
#include "ui/widgets/alert/help_popover.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

using AlertStyle = unsigned;
constexpr AlertStyle AlertStyleCaution = 0;
constexpr AlertStyle AlertStyleNote = 1;
constexpr AlertStyle AlertStyleStop = 2;

using AlertResponse = int;
constexpr AlertResponse AlertResponseOk = 1;
constexpr AlertResponse AlertResponseCancel = 0;
constexpr AlertResponse AlertResponseThird = -1001;

class KL_Alert : public WindowController, public std::enable_shared_from_this<KL_Alert> {
  Q_OBJECT
 public:
  static std::shared_ptr<KL_Alert> klAlertWithStyle(AlertStyle style);
  // Prefer klAlertWithStyle: an alert made here cannot be kept alive by its own show.
  KL_Alert(const QString& windowNibName, AlertStyle alertStyle);
  ~KL_Alert() override;

  // The icon resource of a style.
  static QString iconNameForStyle(AlertStyle style);

  void setStyle(AlertStyle style);
  void setTitleText(const QString& text);
  void setInformationText(const QString& text);
  void setHelpText(const QString& text);
  void setOkButtonText(const QString& text, std::function<void()> actionHandler);
  void setCancelButtonText(const QString& text, std::function<void()> actionHandler);
  void setThirdButtonText(const QString& text, std::function<void()> actionHandler);
  void setCheckBoxHidden(bool hidden);
  void setCancelHidden(bool hidden);
  void setShowProgressIndicator(bool show);
  void setProgress(float progress, const QString& progressLabelText);
  QProgressBar* progressIndicator() const { return oProgressIndicator; }
  AlertResponse response() const { return mResponse; }

  void show();
  void showNonModal();
  void showAndDismiss(double seconds);
  // Any thread but the GUI thread: shows the alert modal and waits for the answer.
  AlertResponse blockingShow();
  AlertResponse waitForButton();
  void close() override;

  void okAction();
  void cancelAction();
  void thirdAction();
  void helpAction();

  // Answers 0 without running a handler, closes the window, ends its modal session and
  // releases any waiter (quit, session teardown).
  void abandon();

  bool isModal() const { return mIsModal; }
  // Threads blocked in waitForButton right now.
  int waitingThreads() const;
  bool isHelpPopoverShown() const { return oHelpPopover && oHelpPopover->isShown(); }

  // Outlets (null until the window is loaded).
  QPointer<SYFlatButton> oOkButton, oCancelButton, oThirdButton, oHelpButton;
  QPointer<QLabel> oTitleTextField, oInformationTextField;
  QPointer<QCheckBox> oCheckButton;
  QPointer<StyleKitImageView> oImageView;
  QPointer<QLabel> oLogoImageView;
  QPointer<HelpPopover> oHelpPopover;
  QPointer<QLabel> oHelpTextField;
  QPointer<QProgressBar> oProgressIndicator;

 protected:
  QWidget* buildWindow() override;
  void windowDidLoad() override;
  bool windowShouldClose() override;
  WindowRegistry::Kind windowKind() const override { return WindowRegistry::Kind::Alert; }

 private:
  // The semaphore, shared with waiting threads so that it outlives the alert.
  struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    int count = 0;
    int waiting = 0;
    AlertResponse response = 0;
  };

  void answer(AlertResponse response, const std::function<void()>& handler);
  void signal();
  // The click that Escape or the close button stands for.
  void dismissByUser();

  std::function<void()> mOkHandler, mCancelHandler, mThirdHandler;
  QString mTitleText, mInformationText, mHelpText;
  bool mIsCheckBoxHidden = true;
  QString mOkButtonText, mCancelButtonText, mThirdButtonText;
  AlertStyle mAlertStyle = AlertStyleNote;
  bool mShowProgressIndicator = false;
  bool mIsModal = false;
  std::shared_ptr<Waiter> mSemaphore;
  AlertResponse mResponse = 0;

  QTimer mDismissTimer;
  std::shared_ptr<KL_Alert> mDismissKeepAlive;
};
