#pragma once
// The camera window shown while a share session runs: the thumbnail strip of what the
// device shares and, above it, the photo last received or picked. It cuts the link when
// it closes, and closes when the link is lost or the connection status is anything but
// connected. It owns itself: made by createAndShowWindow, it goes once its window has
// closed.
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPointer>

#include <cstdint>
#include <memory>

#include "model/object_info_wrapper.h"
#include "platform/gui_target.h"
#include "platform/window_controller.h"
#include "viewer/strip/main_thumbnail_controller.h"

class ShareCameraWindowController : public WindowController, public ThumbnailControllerDelegate {
  Q_OBJECT
 public:
  // GUI thread: a new controller whose window is shown at once.
  static ShareCameraWindowController* createAndShowWindow();
  ~ShareCameraWindowController() override;

  // Cuts the link and closes the window (any thread: hops to the GUI thread).
  void exit();

  MainThumbnailController* thumbnailController() const { return mThumbnailController.get(); }
  // The photo on show, as decoded for the window (null before the first).
  QImage shownImage() const { return mShownImage; }
  // Photos received from the device in this window's session.
  int imagesReceived() const { return mImagesReceived; }

  // ThumbnailControllerDelegate
  void thumbnailSelected(std::shared_ptr<PtpObjectInfoClass> objectInfo) override;

 protected:
  ShareCameraWindowController();
  QWidget* buildWindow() override;
  void windowDidLoad() override;

 private:
  // Decodes the photo off the GUI thread; only the newest request is shown.
  void showImage(const QByteArray& data, const PtpObjectInfoStruct& record);
  void updateStatus();

  std::shared_ptr<GuiTarget> mTarget;
  QPointer<QLabel> oImageView;
  QPointer<QLabel> oStatusField;
  QPointer<QListView> oCollectionView;
  std::unique_ptr<MainThumbnailController> mThumbnailController;
  QImage mShownImage;
  uint64_t mImageRequest = 0;
  int mImagesReceived = 0;
};
