#pragma once
// The camera's live picture over the still pane's image area, with the vendor's focus
// frames, the electronic level, a composition grid, and a translucent cover while live
// view is paused.
//
// A frame is read on the GUI thread (the vendor data, the AF overlays that read the
// property table, the orientation and the level), then its picture is decoded, filtered,
// cropped and turned on the view's own worker with the settings taken here. One decode is
// in flight at a time; a frame that comes meanwhile waits in one pending place, and a newer
// one takes that place. Each frame is reported once by frameFinished: shown, or dropped
// (not readable, not decodable, or replaced while it waited). Results reach the view on the
// GUI thread with the view as context: once the view is gone nothing arrives, and its
// destructor never waits for the worker.
//
// While the view exists the "r" key, typed into any window of the application, steps the
// forced orientation and goes no further.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "viewer/liveview/af_overlay_view.h"
#include "viewer/liveview/electronic_level_view.h"
#include "viewer/liveview/grid_view.h"
#include "viewer/liveview/live_view_render.h"

class GuiTarget;

// No operations: a placeholder for the owner.
class LiveViewImageViewDelegate {
 public:
  virtual ~LiveViewImageViewDelegate() = default;
};

class LiveViewImageView : public QWidget {
  Q_OBJECT
 public:
  explicit LiveViewImageView(QWidget* parent = nullptr);
  ~LiveViewImageView() override;

  // GUI thread. One frame of `camera` (12 Fujifilm, 13 Canon, 14 Sony, anything else a
  // plain picture); with `histogram` the frame's report carries a 512 x 512 rendering.
  void setLiveViewImage(const QByteArray& data, uint8_t camera, bool histogram);
  void clearImage();
  // The cover over the picture until the next frame is shown.
  void setDisabled();
  void setForcedOrientation(uint8_t orientation) { mForcedOrientation = orientation; }
  uint8_t forcedOrientation() const { return mForcedOrientation; }
  // Steps the forced orientation: none (255) or 1 -> 6 -> 3 -> 8 -> 1; others stay.
  void liveViewRotateButton();
  static uint8_t nextForcedOrientation(uint8_t orientation);
  // The orientation the settings chose for the last frame (1 or the frame's own).
  static uint8_t lastLiveViewOrientation();
  // The level angle for the display orientation: less 90 for 8, 180 for 3, 270 for 6.
  static float levelAngleForOrientation(float angle, uint8_t orientation);

  void showLiveViewNudgeButtons();
  void hideLiveViewNudgeButtons();

  // The grid over the picture: a choice of GridView::stringForGridLines (3 and up: off)
  // and a colour code of GridView::stringForColor.
  void setGrid(unsigned choice, unsigned colorCode);
  unsigned gridChoice() const { return gridChoice_; }
  unsigned gridColorCode() const { return gridColor_; }
  // The band counts of a grid choice (rows, columns); 0 x 0 for off.
  static std::pair<int, int> gridBands(unsigned choice);

  LiveViewImageViewDelegate* delegate() const { return delegate_; }
  void setDelegate(LiveViewImageViewDelegate* delegate) { delegate_ = delegate; }

  // State, for the pane and for tests.
  const QImage& image() const { return image_; }
  QRectF pictureRect() const;  // where the picture is drawn, in widget coordinates
  AfOverlayView* afOverlayView() const { return mAfOverlayLayer; }
  ElectronicLevelView* levelView() const { return mLevelView; }
  GridView* gridView() const { return mGridView; }
  QWidget* disabledView() const { return mDisabledView; }
  bool nudgeButtonsVisible() const { return mNudgeButtonsVisible; }
  bool decodeInFlight() const { return inFlight_; }
  bool decodePending() const { return pending_.has_value(); }
  uint64_t decodesStarted() const { return decodesStarted_; }
  // Runs on the worker before each decode (tests hold a decode there).
  void setDecodeGateForTesting(std::function<void()> gate);

 signals:
  // Once per frame, on the GUI thread. `histogram` is set only for a shown frame that asked.
  void frameFinished(bool shown, const QImage& histogram);
  // The user picked a grid or colour from the context menu.
  void gridChanged(unsigned choice, unsigned colorCode);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Job {
    QByteArray data;  // the whole frame; the picture is a range of it
    size_t offset = 0;
    size_t length = 0;
    uint8_t camera = 0;
    uint8_t orientation = 1;
    uint8_t zoom = 0;
    LiveViewRenderSettings settings;
  };
  struct Worker;

  void updateLevel(float angle, uint8_t orientation);
  void start(Job job);
  void decodeFinished(const Job& job, const LiveViewRendered& result);
  void layoutChildren();

  uint8_t mForcedOrientation = 255;
  QPointer<ElectronicLevelView> mLevelView;
  QPointer<QWidget> mDisabledView;
  QPointer<AfOverlayView> mAfOverlayLayer;
  QPointer<GridView> mGridView;
  // Made by whoever records movies: this view only takes them away.
  QPointer<QWidget> mRecordingLightView;
  QPointer<QWidget> mMovieTimerTextView;
  QPointer<SoundBarView> mLeftSoundBarView, mRightSoundBarView;
  QPointer<QWidget> mLeftSoundTextView, mRightSoundTextView;
  std::vector<QPointer<QWidget>> mNudgeButtons;
  bool mNudgeButtonsVisible = false;
  LiveViewImageViewDelegate* delegate_ = nullptr;

  QImage image_;
  unsigned gridChoice_ = 3;  // off
  unsigned gridColor_ = 0;

  std::shared_ptr<GuiTarget> target_;
  std::shared_ptr<Worker> worker_;
  bool inFlight_ = false;
  std::optional<Job> pending_;
  uint64_t decodesStarted_ = 0;
};
