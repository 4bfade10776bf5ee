#include "ui/widgets/alert/kl_alert.h"

#include <QApplication>

#include <cmath>

#include "platform/dispatch.h"
#include "platform/gui_thread.h"
#include "platform/modal.h"
#include "ui/widgets/alert/alert_fonts.h"
#include "ui/widgets/alert/alert_icons.h"

namespace {

// Deletes on the GUI thread whoever drops the last reference.
void deleteOnGuiThread(KL_Alert* alert) {
  if (alert == nullptr) return;
  if (Dispatch::isMainThread() || QCoreApplication::instance() == nullptr)
    delete alert;
  else
    Dispatch::main([alert] { delete alert; });
}

}  // namespace

std::shared_ptr<KL_Alert> KL_Alert::klAlertWithStyle(AlertStyle style) {
  std::shared_ptr<KL_Alert> alert(new KL_Alert("KL_Alert", style), deleteOnGuiThread);
  alert->setStyle(style);
  return alert;
}

KL_Alert::KL_Alert(const QString& windowNibName, AlertStyle alertStyle)
    : WindowController(windowNibName), mOkButtonText("OK"), mAlertStyle(alertStyle),
      mSemaphore(std::make_shared<Waiter>()) {
  KV_ASSERT_GUI_THREAD();
  mDismissTimer.setSingleShot(true);
  connect(&mDismissTimer, &QTimer::timeout, this, [this] {
    if (isWindowLoaded()) window()->hide();
    // Let go of the alert after this slot has returned: it may be the last reference. The
    // hop, unlike a bare queued call, is dropped safely when the program ends first.
    std::shared_ptr<KL_Alert> keep = std::move(mDismissKeepAlive);
    if (keep) Dispatch::main([keep] {});
  });
  if (qApp != nullptr) connect(qApp, &QCoreApplication::aboutToQuit, this, &KL_Alert::abandon);
}

KL_Alert::~KL_Alert() {
  // Whoever still waits gets the answer 0.
  {
    std::lock_guard<std::mutex> lock(mSemaphore->mutex);
    mSemaphore->response = AlertResponseCancel;
    ++mSemaphore->count;
  }
  mSemaphore->cv.notify_all();
  if (isWindowLoaded() && mIsModal) Modal::stopModalForWindow(window());
}

QString KL_Alert::iconNameForStyle(AlertStyle style) {
  switch (style) {
    case AlertStyleCaution: return "AlertCautionIcon";
    case AlertStyleStop: return "AlertStopIcon";
    default: return "AlertNoteIcon";
  }
}

void KL_Alert::setStyle(AlertStyle style) {
  KV_ASSERT_GUI_THREAD();
  if (oImageView) oImageView->setImage(alertIconNamed(iconNameForStyle(style)));
  if (oLogoImageView) {
    const QIcon appIcon = QApplication::windowIcon();
    oLogoImageView->setPixmap(appIcon.isNull() ? QPixmap() : appIcon.pixmap(oLogoImageView->size()));
  }
}

void KL_Alert::setTitleText(const QString& text) {
  if (!text.isNull()) mTitleText = text;
}

void KL_Alert::setInformationText(const QString& text) {
  KV_ASSERT_GUI_THREAD();
  if (text.isNull()) return;
  mInformationText = text;
  if (oInformationTextField) oInformationTextField->setText(text);
}

void KL_Alert::setHelpText(const QString& text) { mHelpText = text; }

void KL_Alert::setOkButtonText(const QString& text, std::function<void()> actionHandler) {
  mOkButtonText = text;
  mOkHandler = std::move(actionHandler);
}

void KL_Alert::setCancelButtonText(const QString& text, std::function<void()> actionHandler) {
  mCancelButtonText = text;
  mCancelHandler = std::move(actionHandler);
}

void KL_Alert::setThirdButtonText(const QString& text, std::function<void()> actionHandler) {
  mThirdButtonText = text;
  mThirdHandler = std::move(actionHandler);
}

void KL_Alert::setCheckBoxHidden(bool hidden) { mIsCheckBoxHidden = hidden; }

void KL_Alert::setCancelHidden(bool hidden) {
  KV_ASSERT_GUI_THREAD();
  if (oCancelButton) oCancelButton->setHidden(hidden);
}

void KL_Alert::setShowProgressIndicator(bool show) { mShowProgressIndicator = show; }

void KL_Alert::setProgress(float progress, const QString& progressLabelText) {
  KV_ASSERT_GUI_THREAD();
  if (oProgressIndicator && std::isfinite(progress))
    oProgressIndicator->setValue(static_cast<int>(std::clamp(progress, 0.0f, 100.0f)));
  setInformationText(progressLabelText);
}

void KL_Alert::windowDidLoad() {
  oTitleTextField->setText(mTitleText);
  oTitleTextField->setTextInteractionFlags(Qt::NoTextInteraction);
  oInformationTextField->setText(mInformationText);
  oInformationTextField->setTextInteractionFlags(Qt::NoTextInteraction);
  oCheckButton->setHidden(mIsCheckBoxHidden);

  const Font semibold13 = Font::boldSystemFontOfSize(13);
  oOkButton->setTitle(mOkButtonText);
  oOkButton->setTitleNormalColor(Qt::white);
  oOkButton->setFont(semibold13);
  oCancelButton->setFont(semibold13);
  oHelpTextField->setFont(alertTextFont(Font::boldSystemFontOfSize(12)));

  oCancelButton->setHidden(mCancelButtonText.isEmpty());
  oCancelButton->setTitle(mCancelButtonText);
  oThirdButton->setHidden(mThirdButtonText.isEmpty());
  oThirdButton->setTitle(mThirdButtonText);
  oHelpButton->setHidden(mHelpText.isEmpty());

  oProgressIndicator->setHidden(!mShowProgressIndicator);
  setStyle(mAlertStyle);
}

void KL_Alert::show() {
  KV_ASSERT_GUI_THREAD();
  mIsModal = true;
  Modal::runModalForWindow(window());
}

void KL_Alert::showNonModal() {
  KV_ASSERT_GUI_THREAD();
  mIsModal = false;
  showWindow();
}

void KL_Alert::showAndDismiss(double seconds) {
  KV_ASSERT_GUI_THREAD();
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  mDismissKeepAlive = weak_from_this().lock();
  mDismissTimer.start(static_cast<int>(std::min(seconds, 86400.0) * 1000));
  showNonModal();
}

AlertResponse KL_Alert::blockingShow() {
  if (Dispatch::isMainThread()) return AlertResponseThird;
  if (QCoreApplication::instance() == nullptr) return AlertResponseCancel;
  std::shared_ptr<KL_Alert> self = weak_from_this().lock();
  // The alert is the call's context: an alert gone before the call runs shows nothing (and
  // has released the waiter when it went).
  QMetaObject::invokeMethod(this, [self, this] { show(); }, Qt::QueuedConnection);
  return waitForButton();
}

AlertResponse KL_Alert::waitForButton() {
  // Only the shared semaphore is touched after the wait: the alert may be gone by then.
  std::shared_ptr<Waiter> w = mSemaphore;
  std::unique_lock<std::mutex> lock(w->mutex);
  ++w->waiting;
  w->cv.wait(lock, [&] { return w->count > 0; });
  --w->waiting;
  --w->count;
  return w->response;
}

int KL_Alert::waitingThreads() const {
  std::lock_guard<std::mutex> lock(mSemaphore->mutex);
  return mSemaphore->waiting;
}

void KL_Alert::close() {
  KV_ASSERT_GUI_THREAD();
  if (oHelpPopover) oHelpPopover->close();
  WindowController::close();
  if (mIsModal && isWindowLoaded()) Modal::stopModalForWindow(window());
}

void KL_Alert::signal() {
  {
    std::lock_guard<std::mutex> lock(mSemaphore->mutex);
    mSemaphore->response = mResponse;
    ++mSemaphore->count;
  }
  mSemaphore->cv.notify_all();
}

void KL_Alert::answer(AlertResponse response, const std::function<void()>& handler) {
  KV_ASSERT_GUI_THREAD();
  // A handler may drop the last outside reference to the alert.
  std::shared_ptr<KL_Alert> keep = weak_from_this().lock();
  mResponse = response;
  if (handler) {
    auto h = handler;
    h();
  }
  close();
  signal();
}

void KL_Alert::okAction() { answer(AlertResponseOk, mOkHandler); }
void KL_Alert::cancelAction() { answer(AlertResponseCancel, mCancelHandler); }
void KL_Alert::thirdAction() { answer(AlertResponseThird, mThirdHandler); }

void KL_Alert::helpAction() {
  KV_ASSERT_GUI_THREAD();
  if (mHelpText.isEmpty() || !oHelpPopover) return;
  if (oHelpPopover->isShown()) {
    oHelpPopover->close();
    return;
  }
  oHelpTextField->setText(mHelpText);
  oHelpPopover->showRelativeToRect(oHelpButton->rect(), oHelpButton, 3);
}

void KL_Alert::dismissByUser() {
  const bool cancelShown = oCancelButton && !oCancelButton->isHidden();
  if (cancelShown)
    cancelAction();
  else
    okAction();
}

bool KL_Alert::windowShouldClose() {
  // The window stays until the click, queued so that it does not close the window from
  // inside its own close event.
  QMetaObject::invokeMethod(this, [this] {
    if (isWindowLoaded() && window()->isVisible()) dismissByUser();
  }, Qt::QueuedConnection);
  return false;
}

void KL_Alert::abandon() {
  KV_ASSERT_GUI_THREAD();
  mDismissTimer.stop();
  mResponse = AlertResponseCancel;
  close();
  signal();
  std::shared_ptr<KL_Alert> keep = std::move(mDismissKeepAlive);
  if (keep) Dispatch::main([keep] {});
}
