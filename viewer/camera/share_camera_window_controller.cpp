#include "viewer/camera/share_camera_window_controller.h"

#include <QBuffer>
#include <QImageReader>
#include <QVBoxLayout>
#include <QWidget>

#include "model/command_runner.h"
#include "model/connection_status.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/dispatch.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "ptp/base/response_codes.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_events.h"

namespace {

// Photos larger than this many pixels are not decoded for the window.
constexpr qint64 kShownImageMaxPixels = 120'000'000;

// The photo at most `fit` large (device pixels), turned upright; null when it is no image.
QImage decodeToFit(const QByteArray& data, QSize fit) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (!size.isValid() || qint64(size.width()) * size.height() > kShownImageMaxPixels) return {};
  QSize upright = size;
  if (reader.transformation() & QImageIOHandler::TransformationRotate90) upright.transpose();
  if (fit.isValid() && (upright.width() > fit.width() || upright.height() > fit.height())) {
    QSize scaled = upright.scaled(fit, Qt::KeepAspectRatio);
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) scaled.transpose();
    reader.setScaledSize(scaled.expandedTo(QSize(1, 1)));
  }
  return reader.read();
}

}  // namespace

ShareCameraWindowController* ShareCameraWindowController::createAndShowWindow() {
  KV_ASSERT_GUI_THREAD();
  auto* controller = new ShareCameraWindowController();
  controller->showWindow();
  return controller;
}

ShareCameraWindowController::ShareCameraWindowController()
    : WindowController(QStringLiteral("ShareCameraWindow")), mTarget(GuiTarget::create(this)) {
  // The window's close ends the session; the controller goes after the close.
  connect(this, &WindowController::windowWillClose, this, [this] {
    ShareComms::instance().killConnection();
    deleteLater();
  });
}

ShareCameraWindowController::~ShareCameraWindowController() {
  // Handlers run on the session's threads: none may still reach this object.
  NotificationCenter::defaultCenter().removeObserver(this);
  mTarget->detach();
  mThumbnailController.reset();
}

QWidget* ShareCameraWindowController::buildWindow() {
  auto* window = new QWidget;
  window->setObjectName(QStringLiteral("ShareCameraWindow"));
  window->setWindowTitle(QStringLiteral("Camera"));
  window->resize(1100, 760);
  window->setMinimumSize(640, 420);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  oImageView = new QLabel(window);
  oImageView->setObjectName(QStringLiteral("oStillImageParentView"));
  oImageView->setAlignment(Qt::AlignCenter);
  oImageView->setMinimumSize(320, 200);
  oImageView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  oImageView->setStyleSheet(QStringLiteral("background: #141414; color: #8a8a8a;"));
  oImageView->setText(QStringLiteral("Waiting for photos from the camera…"));
  layout->addWidget(oImageView, 1);
  oStatusField = new QLabel(window);
  oStatusField->setObjectName(QStringLiteral("oStatusField"));
  oStatusField->setContentsMargins(10, 4, 10, 4);
  layout->addWidget(oStatusField);
  oCollectionView = new QListView(window);
  oCollectionView->setObjectName(QStringLiteral("oCollectionView"));
  oCollectionView->setFixedHeight(150);
  layout->addWidget(oCollectionView);
  return window;
}

void ShareCameraWindowController::windowDidLoad() {
  mThumbnailController = std::make_unique<MainThumbnailController>(oCollectionView);
  mThumbnailController->setDelegate(this);
  updateStatus();
  // Observers last: the strip exists before anything reaches it.
  observeConnectionStatus(this, [this](const ConnectionStatusEvent& e) {
    if (Utilities::connectionStatusForInteger(e.status) != ConnectionStatusConnected) exit();
  });
  observeExit(this, [this] { exit(); });
  // The session's serial queue: the strip takes the hand-off to the GUI thread itself.
  observeShareThumbnailDownloaded(this, [this](const ShareThumbnailDownloadedEvent& e) {
    if (e.image) mThumbnailController->addThumnailImage(e.image->getImageData(), e.image->getObjectInfo());
  });
  observeImageData(this, [this](const ImageDataEvent& e) {
    if (!e.image) return;
    mThumbnailController->selectThumnailForImageData(e.image);
    mTarget->post([this, image = e.image] {
      ++mImagesReceived;
      const auto info = image->getObjectInfo();
      showImage(image->getImageData(), info ? *info->origObjectInfo() : PtpObjectInfoStruct{});
      updateStatus();
    });
  });
}

void ShareCameraWindowController::exit() {
  if (!Dispatch::isMainThread()) {
    mTarget->post([this] { exit(); });
    return;
  }
  ShareComms::instance().killConnection();
  close();
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

void ShareCameraWindowController::showImage(const QByteArray& data, const PtpObjectInfoStruct& record) {
  if (!oImageView) return;
  const uint64_t request = ++mImageRequest;
  const qreal scale = oImageView->devicePixelRatioF();
  const QSize fit = oImageView->size() * scale;
  // The post runs only while this controller exists (the target's object is the context).
  Dispatch::global([target = mTarget, this, data, record, fit, scale, request] {
    QImage image = decodeToFit(data, fit);
    if (image.isNull()) {
      // A raw: its embedded preview, as the strip shows it.
      const QByteArray preview = MainThumbnailController::thumbnailForImage(data, record);
      if (!preview.isEmpty()) image = decodeToFit(preview, fit);
    }
    if (image.isNull()) return;
    image.setDevicePixelRatio(scale);
    target->post([this, image = std::move(image), request] {
      if (request != mImageRequest || !oImageView) return;  // a newer photo is on its way
      mShownImage = image;
      oImageView->setPixmap(QPixmap::fromImage(image));
    });
  });
}

void ShareCameraWindowController::updateStatus() {
  if (!oStatusField) return;
  oStatusField->setText(mImagesReceived == 1 ? QStringLiteral("1 photo received")
                                             : QStringLiteral("%1 photos received").arg(mImagesReceived));
}
