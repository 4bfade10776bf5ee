#pragma once
// The main window's still pane: one downloaded image decoded off the GUI thread and shown in
// a zoomable CT_ImageScrollView, with its file name, the EXIF strip, zoom buttons, quarter
// turns and a histogram popover.
//
// One decode pipeline per pane: a NewestJobRunner with at most one decode in flight and one
// pending, the newest winning. A decode works only on what it captured when it was asked
// for (bytes, format, orientation, "QuickRawMode") and publishes on the GUI thread only
// while its generation is current; clearImage, the live-view seam and teardown advance the
// generation. JPEGs are decoded reduced to the pane's device pixels and shown at the size
// from their header; zooming past the reduced pixels asks for the full decode (a larger
// pane, for a larger reduced one), which takes the reduced one's place without moving the
// view. Turning reuses the pixels at hand.
// The EXIF parse and the histogram count run on the pool and come back through the pane's
// GuiTarget, dropped when the image they were made for is no longer shown.
//
// Calls from other threads: setImage and clearImage hop to the GUI thread asynchronously
// with their arguments captured (a caller never waits for the GUI thread), in the order
// they were made from that thread.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>

#include "model/object_info_wrapper.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/scroll/ct_image_scroll_view.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/histogram_view.h"

class Exif;
class ExifView;
class GuiTarget;
class NewestJobRunner;
class PixelBufferPool;
class QLabel;
class SFBPopover;
struct StillDecodeResult;

// Histograms of a raw's embedded JPEG are counted on at most this many pixels a side.
inline constexpr int kStillHistogramMaxSide = 2048;

class StillImageViewController : public QObject {
  Q_OBJECT
 public:
  explicit StillImageViewController(QObject* parent = nullptr);
  ~StillImageViewController() override;

  // The pane, built with its outlets on first use (the interface file "StillImageView").
  QWidget* view();
  bool isViewLoaded() const { return view_ != nullptr; }

  // Any thread (hops to the GUI thread). Shows the object's bytes.
  void setImage(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> objectInfo);
  // Any thread (hops to the GUI thread). Drops the image; a decode still running for it
  // publishes nothing.
  void clearImage();
  std::shared_ptr<PtpObjectInfoClass> currentObjectInfo() const { return mObjectInfoClass; }
  // GUI thread. orientation 255: the file's own.
  void loadImageFromData(const QByteArray& data, uint16_t format, uint8_t orientation);

  // Actions of the buttons.
  void toggleHistogram();
  void rotateImage();
  void zoomButtonSelected(SYFlatButton* sender);
  void zoomToFit();
  void electronicLevelButtonAction();

  // Tags 1-4 -> 0.5, 1, 2, 4; any other tag (or none) -> 0, fit.
  double zoomFactorFromButton(const QWidget* button) const;
  void selectButtonForZoomFactor(double factor);
  void zoomToFactor(double factor);
  void setZoomFactor(double factor, QPointF atPoint);
  void refreshHistogram();
  void histogramButtonFrameChanged();
  // From the scroll view: the point in view points from the fitted image's lower-left corner.
  void imageScrollViewDoubleClicked(CT_ImageScrollView* view, QPointF atPoint);

  // Live view taking the pane (on) or leaving it (off): on drops the still image and any
  // decode for it; off covers the live picture until the next frame.
  void liveViewToggledNotification(bool on);
  // GUI thread. One live frame (camera code of the share session): the first one lays the
  // live view over the image area, which stays until the image is cleared. With the
  // histogram open, a frame shown gives it the live picture; a dropped one leaves it.
  void setLiveViewImage(const QByteArray& data, uint8_t camera);
  LiveViewImageView* liveViewImageView() const { return mLiveViewImageView; }

  // Outlets (named children of view()).
  QWidget* oImageParentView = nullptr;
  QLabel* oFileNameTextField = nullptr;
  ExifView* oExifView = nullptr;
  SYFlatButton* oHistogramButton = nullptr;
  HistogramView* oHistogramView = nullptr;
  QWidget* oPopoverView = nullptr;
  SYFlatButton* oZoomFitButton = nullptr;
  SYFlatButton* oZoom0_5Button = nullptr;
  SYFlatButton* oZoom1Button = nullptr;
  SYFlatButton* oZoom2Button = nullptr;
  SYFlatButton* oZoom4Button = nullptr;
  SYFlatButton* oRotateButton = nullptr;
  SYFlatButton* oElectronicLevelButton = nullptr;

  // State, for the window and for tests.
  CT_ImageScrollView* imageScrollView() const { return mImageScrollView; }
  // The image as given to the scroll view and the size it is laid out at (the full image's).
  QImage shownImage() const;
  QSizeF shownLogicalSize() const;
  bool decodeInFlight() const { return decodeGeneration_ != 0; }
  uint64_t generation() const;
  size_t decodesAlive() const;
  uint8_t currentOrientation() const { return mCurrentOrientation; }
  bool isZoomed() const { return mIsZoomed; }
  double zoomFactor() const { return mZoomFactor; }
  SYFlatButton* currentZoomButton() const { return mCurrentZoomButton; }
  SFBPopover* histogramPopover() const { return mHistogramPopover.get(); }
  // The counts the histogram shows now (none before the first count arrives).
  std::optional<ChannelCounts> histogramCounts() const { return histogramCounts_; }
  // The spinner shown while a raw decodes (null when none is up).
  MBProgressHUD* hud() const { return hud_; }
  std::shared_ptr<Exif> exif() const { return exif_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Publish { Show, Sharpen };

  void buildView();
  void viewDidLoad();
  void setImageOnMain(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> objectInfo);
  void clearImageOnMain();
  void setButtonsEnabled(bool enabled);
  QSize devicePixelsOfPane() const;
  qreal paneDevicePixelRatio() const;
  void startDecode(const QByteArray& data, uint16_t format, uint8_t orientation, bool quickRawMode, QSize minimum,
                   Publish kind, bool withHud);
  void decodeFinished(uint64_t generation, Publish kind, std::shared_ptr<StillDecodeResult> result);
  void requestSharperIfNeeded();
  void acquireHud();
  void releaseHud();
  void parseExif();
  void applyExifSize();
  void histogramCounted(uint64_t serial, std::optional<ChannelCounts> counts);
  void liveFrameFinished(bool shown, const QImage& histogram);
  QPointF histogramButtonCentreInWindow() const;

  QPointer<QWidget> view_;
  std::shared_ptr<GuiTarget> target_;
  std::unique_ptr<NewestJobRunner> runner_;
  // The decodes' pixels: the image shown before comes back as the next one's buffer.
  std::shared_ptr<PixelBufferPool> pixelPool_;
  // Relays the scroll view's double clicks; held here, weakly by the scroll view.
  std::shared_ptr<CT_ImageScrollViewDelegate> scrollDelegate_;

  std::shared_ptr<PtpObjectInfoClass> mObjectInfoClass;
  QByteArray mImageData;
  uint16_t mImageFormat = 0;
  bool mQuickRawMode = false;  // as read when the shown image was loaded
  QPointer<CT_ImageScrollView> mImageScrollView;
  QImage mImage;            // the pixels shown, upright for mCurrentOrientation
  QSize mFullSize;          // the full image's size at mCurrentOrientation
  uint8_t mImageOrientation_ = 1;  // the orientation mImage's pixels are upright for
  bool mReduced = false;    // mImage is a reduced decode
  bool sharperAsked_ = false;  // a sharper decode of the shown image is on its way
  QSize sharperMinimum_;       // ... for at least this many pixels (empty: the full image)
  Publish inFlightKind_ = Publish::Show;
  uint8_t mCurrentOrientation = 1;
  bool mIsZoomed = false;
  double mZoomFactor = 1.0;
  QPointer<SYFlatButton> mCurrentZoomButton;
  std::unique_ptr<SFBPopover> mHistogramPopover;
  QPointer<LiveViewImageView> mLiveViewImageView;
  // The grid picked on a live view, for the next one.
  unsigned liveViewGridChoice_ = 3;
  unsigned liveViewGridColor_ = 0;

  uint64_t decodeGeneration_ = 0;  // the decode whose result is awaited, 0 when none
  uint64_t imageSerial_ = 0;       // advanced for every image shown or cleared
  uint64_t histogramSerial_ = 0;
  std::optional<ChannelCounts> histogramCounts_;
  std::shared_ptr<Exif> exif_;

  QPointer<MBProgressHUD> hud_;
  int hudHolds_ = 0;
};
