#pragma once
// The main window of a share session: the still pane with its histogram and shooting data
// above, the thumbnail strip below, and the session list behind the strip. It observes
// the share session through the typed events: what arrives on the session's threads hops
// to the GUI thread in posting order, with the window as context, so nothing on those
// threads waits for the GUI thread or touches a widget. It cuts the link when it closes
// and closes when the link is lost. It owns itself: made by createAndShowWindow, it goes
// once its window has closed.
#include <QListView>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>

#include "model/object_info_wrapper.h"
#include "platform/gui_target.h"
#include "platform/window_controller.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "viewer/strip/main_thumbnail_controller.h"

class LiveViewFrameSlot;
class SessionList;
class StillImageViewController;

class ShareCameraWindowController : public WindowController, public ThumbnailControllerDelegate {
  Q_OBJECT
 public:
  // GUI thread: a new controller whose window is shown at once.
  static ShareCameraWindowController* createAndShowWindow();
  ~ShareCameraWindowController() override;

  // The pane shows the image (GUI thread).
  void setImage(const QByteArray& data, const PtpObjectInfoStruct* record);
  // Cuts the link and closes the window (any thread: hops to the GUI thread).
  void exit();

  // The session list (its question, "handles.dat").
  void addObjectToSession(const PtpObjectInfoStruct* record);
  void checkSession();
  void loadPreviousSession();
  void clearSession();

  // ThumbnailControllerDelegate: the strip's click downloads the full image.
  void thumbnailSelected(std::shared_ptr<PtpObjectInfoClass> objectInfo) override;

  MainThumbnailController* thumbnailController() const { return mThumbnailController.get(); }
  StillImageViewController* stillImageViewController() const { return mStillImageViewController.get(); }
  std::shared_ptr<SessionList> sessionList() const { return mSession; }
  MBProgressHUD* waitView() const { return mWaitView; }
  // Wakes queued to the GUI thread for live frames so far.
  uint64_t liveViewWakes() const { return mLiveViewWakes; }
  // Frames the GUI thread never took because a newer one came first.
  uint64_t liveViewFramesReplaced() const;

  // Outlets.
  QPointer<QListView> oCollectionView;
  QPointer<QWidget> oStillImageParentView;

 protected:
  ShareCameraWindowController();
  QWidget* buildWindow() override;
  void windowDidLoad() override;

 private:
  void registerObservers();
  // The handlers, on the GUI thread.
  void thumbnailArrived(const std::shared_ptr<PtpImageData>& image);
  void imageArrived(const std::shared_ptr<PtpImageData>& image);
  void liveViewFrameArrived();
  void showWaitView();
  void hideWaitView();

  std::shared_ptr<GuiTarget> mTarget;
  std::shared_ptr<SessionList> mSession;
  std::unique_ptr<MainThumbnailController> mThumbnailController;
  std::unique_ptr<StillImageViewController> mStillImageViewController;
  QPointer<MBProgressHUD> mWaitView;
  // The newest live frame on its way from the session's queue.
  std::shared_ptr<LiveViewFrameSlot> mLiveViewSlot;
  std::atomic<uint64_t> mLiveViewWakes{0};
};
