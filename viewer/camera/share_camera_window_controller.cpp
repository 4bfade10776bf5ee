#include "viewer/camera/share_camera_window_controller.h"

#include <QVBoxLayout>
#include <QWidget>

#include "model/command_runner.h"
#include "model/connection_status.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "ptp/base/response_codes.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "viewer/liveview/live_view_frame_slot.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/session/session_list.h"
#include "viewer/still/still_image_view_controller.h"

ShareCameraWindowController* ShareCameraWindowController::createAndShowWindow() {
  KV_ASSERT_GUI_THREAD();
  auto* controller = new ShareCameraWindowController();
  controller->showWindow();
  return controller;
}

ShareCameraWindowController::ShareCameraWindowController()
    : WindowController(QStringLiteral("ShareCameraWindow")),
      mTarget(GuiTarget::create(this)),
      mLiveViewSlot(std::make_shared<LiveViewFrameSlot>()) {
  // The window's close ends the session; the controller goes after the close.
  connect(this, &WindowController::windowWillClose, this, [this] {
    ShareComms::instance().killConnection();
    if (mSession) mSession->teardown();
    deleteLater();
  });
}

ShareCameraWindowController::~ShareCameraWindowController() {
  // Handlers run on the session's threads: none may still reach this object.
  NotificationCenter::defaultCenter().removeObserver(this);
  mTarget->detach();
  if (mSession) mSession->teardown();
  mStillImageViewController.reset();
  mThumbnailController.reset();
}

QWidget* ShareCameraWindowController::buildWindow() {
  auto* window = new QWidget;
  window->setObjectName(QStringLiteral("ShareCameraWindow"));
  window->setWindowTitle(QStringLiteral("Camera"));
  window->resize(1100, 780);
  window->setMinimumSize(720, 480);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  oStillImageParentView = new QWidget(window);
  oStillImageParentView->setObjectName(QStringLiteral("oStillImageParentView"));
  auto* paneLayout = new QVBoxLayout(oStillImageParentView);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(oStillImageParentView, 1);
  oCollectionView = new QListView(window);
  oCollectionView->setObjectName(QStringLiteral("oCollectionView"));
  oCollectionView->setFixedHeight(150);
  layout->addWidget(oCollectionView);
  return window;
}

void ShareCameraWindowController::windowDidLoad() {
  // The session lock, the strip and the pane first; the observers last.
  mSession = SessionList::create();
  mThumbnailController = std::make_unique<MainThumbnailController>(oCollectionView);
  mThumbnailController->setDelegate(this);
  mSession->setThumbnailSink([strip = QPointer<MainThumbnailController>(mThumbnailController.get())](
                                 const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info) {
    if (strip) strip->addThumnailImage(data, std::move(info));
  });
  mStillImageViewController = std::make_unique<StillImageViewController>();
  QWidget* pane = mStillImageViewController->view();
  oStillImageParentView->layout()->addWidget(pane);
  checkSession();
  registerObservers();
}

void ShareCameraWindowController::registerObservers() {
  observeConnectionStatus(this, [this](const ConnectionStatusEvent& e) {
    if (Utilities::connectionStatusForInteger(e.status) != ConnectionStatusConnected) exit();
  });
  observeIncomingOobMessage(this, [this] { showWaitView(); });
  observeMessageHandled(this, [this] { hideWaitView(); });
  // The session's serial queue: a hop to the GUI thread, queued in posting order; nothing
  // here waits for the GUI thread or reads the window's state.
  observeShareThumbnailDownloaded(this, [target = mTarget, this](const ShareThumbnailDownloadedEvent& e) {
    if (e.image) target->post([this, image = e.image] { thumbnailArrived(image); });
  });
  observeImageData(this, [target = mTarget, this](const ImageDataEvent& e) {
    if (e.image) target->post([this, image = e.image] { imageArrived(image); });
  });
  // The session's serial queue: frames wait in the slot, newest only, with one wake queued.
  observeLiveViewImage(this, [slot = mLiveViewSlot, target = mTarget, this](const LiveViewImageEvent& e) {
    if (slot->put({e.data, e.camera}) && target->post([this] { liveViewFrameArrived(); }))
      mLiveViewWakes.fetch_add(1, std::memory_order_relaxed);
  });
  observeRatingUpdated(this, [this](const RatingUpdatedEvent& e) {
    mThumbnailController->setRating(ThumbnailRating{e.object, e.rating});
  });
  observeClientCanSaveUpdated(this, [](const ClientCanSaveUpdatedEvent& e) {
    UserDefaults::standardUserDefaults().setBool(e.canSave, kDefaultsCanSaveImages);
  });
  observeExit(this, [this] { exit(); });
  // A can-save push that came before these observers is not lost.
  if (const std::optional<bool> canSave = latestClientCanSave())
    UserDefaults::standardUserDefaults().setBool(*canSave, kDefaultsCanSaveImages);
  // Nor are the shots pushed while the window was being made: they come first, before any
  // hop the observers have queued since.
  for (const HeldShareShot& shot : takeHeldShareShots()) {
    if (const auto* thumb = std::get_if<ShareThumbnailDownloadedEvent>(&shot)) {
      if (thumb->image) thumbnailArrived(thumb->image);
    } else if (const auto* whole = std::get_if<ImageDataEvent>(&shot)) {
      if (whole->image) imageArrived(whole->image);
    }
  }
}

void ShareCameraWindowController::thumbnailArrived(const std::shared_ptr<PtpImageData>& image) {
  const std::shared_ptr<PtpObjectInfoClass> info = image->getObjectInfo();
  if (!info) return;
  // On the GUI thread the strip adds the item at once: it exists for the selection.
  mThumbnailController->addThumnailImage(image->getImageData(), info);
  if (const auto shown = mStillImageViewController->currentObjectInfo(); shown && shown->isEqual(info))
    mThumbnailController->selectThumbnailNoAction(info.get());
  addObjectToSession(info->origObjectInfo());
}

void ShareCameraWindowController::imageArrived(const std::shared_ptr<PtpImageData>& image) {
  mStillImageViewController->setImage(image->getImageData(), image->getObjectInfo());
  mThumbnailController->selectThumnailForImageData(image);
}

uint64_t ShareCameraWindowController::liveViewFramesReplaced() const { return mLiveViewSlot->replaced(); }

void ShareCameraWindowController::liveViewFrameArrived() {
  std::optional<LiveViewFrame> frame = mLiveViewSlot->take();
  if (!frame) return;
  mStillImageViewController->setLiveViewImage(frame->data, frame->camera);
  mThumbnailController->deselectCurrentThumbnail();
}

void ShareCameraWindowController::setImage(const QByteArray& data, const PtpObjectInfoStruct* record) {
  KV_ASSERT_GUI_THREAD();
  mStillImageViewController->setImage(data, PtpObjectInfoClass::init(record));
  mStillImageViewController->view()->setVisible(true);
}

void ShareCameraWindowController::exit() {
  if (!Dispatch::isMainThread()) {
    mTarget->post([this] { exit(); });
    return;
  }
  ShareComms::instance().killConnection();
  close();
}

void ShareCameraWindowController::addObjectToSession(const PtpObjectInfoStruct* record) {
  if (mSession) mSession->addObjectToSession(record);
}
void ShareCameraWindowController::checkSession() { mSession->checkSession(); }
void ShareCameraWindowController::loadPreviousSession() { mSession->loadPreviousSession(); }
void ShareCameraWindowController::clearSession() { mSession->clearSession(); }

void ShareCameraWindowController::showWaitView() {
  if (mWaitView || !isWindowLoaded()) return;
  mWaitView = MBProgressHUD::showHUDAddedTo(window(), true);
  if (mWaitView) mWaitView->show(true);
}

void ShareCameraWindowController::hideWaitView() {
  if (!mWaitView) return;
  mWaitView->setRemoveFromSuperViewOnHide(true);
  mWaitView->hide(true);
  mWaitView = nullptr;
}

void ShareCameraWindowController::thumbnailSelected(std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  if (!objectInfo) return;
  auto slot = std::make_shared<QByteArray>();
  const PtpObjectInfoStruct record = *objectInfo->origObjectInfo();
  CommandBlock step(
      [record, slot] {
        return int32_t(Utilities::downloadImage(record, *slot, static_cast<uint8_t>(shareGetMode() & 0xFF)));
      },
      Bundle::localizedString(QStringLiteral("DownloadingImage")));
  Command::runCommands({step}, [slot, objectInfo](int32_t result) {
    if (result == 0xFF0B) {
      Utilities::showErrorMessage(QStringLiteral("Image too large to download in Korvalume Share."), uint16_t(0xFF0B));
    } else if (result != PTP_RC_OK) {
      Utilities::showErrorMessage(Bundle::localizedString(QStringLiteral("DownloadImageError")),
                                  static_cast<uint16_t>(result));
    } else {
      postImageData({PtpImageData::initWithObjectData(*slot, objectInfo)});
    }
  });
}
