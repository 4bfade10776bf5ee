#include "viewer/still/still_image_view_controller.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QTransform>

#include <cmath>
#include <span>

#include "model/exif_reader.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/geometry.h"
#include "platform/gui_target.h"
#include "platform/gui_thread.h"
#include "platform/user_defaults.h"
#include "platform/worker_threads.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/newest_job_runner.h"
#include "ptp/cache/cache.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/popover/sfb_popover.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/display_first.h"
#include "viewer/still/exif_view.h"
#include "viewer/still/pixel_buffer_pool.h"
#include "viewer/still/still_decoder.h"

namespace {

constexpr uint8_t kOrientationFromFile = 255;

// The scroll view holds its delegate weakly; the pane holds this relay.
class StillScrollRelay : public CT_ImageScrollViewDelegate {
 public:
  explicit StillScrollRelay(StillImageViewController* owner) : owner_(owner) {}
  void imageScrollViewDoubleClicked(CT_ImageScrollView* view, QPointF point) override {
    owner_->imageScrollViewDoubleClicked(view, point);
  }

 private:
  StillImageViewController* owner_;
};

// Whatever becomes of a decode (finished, cancelled, or dropped while it waited), the hold it
// took on the spinner is given back once: the pane's mailbox takes it to the GUI thread.
class StillHudHold {
 public:
  StillHudHold(std::shared_ptr<GuiTarget> target, std::function<void()> release)
      : target_(std::move(target)), release_(std::move(release)) {}
  ~StillHudHold() { release(); }
  void release() {
    if (!released_.exchange(true)) target_->post(std::move(release_));
  }
  StillHudHold(const StillHudHold&) = delete;
  StillHudHold& operator=(const StillHudHold&) = delete;

 private:
  std::shared_ptr<GuiTarget> target_;
  std::function<void()> release_;
  std::atomic<bool> released_{false};
};

// Quarter turns clockwise from one orientation of the 1 -> 6 -> 3 -> 8 cycle to another;
// nothing for an orientation outside it.
std::optional<int> quarterTurnsBetween(uint8_t from, uint8_t to) {
  static constexpr uint8_t kCycle[] = {1, 6, 3, 8};
  int a = -1, b = -1;
  for (int i = 0; i < 4; ++i) {
    if (kCycle[i] == from) a = i;
    if (kCycle[i] == to) b = i;
  }
  if (a < 0 || b < 0) return std::nullopt;
  return (b - a + 4) % 4;
}

}  // namespace

StillImageViewController::StillImageViewController(QObject* parent)
    : QObject(parent),
      target_(GuiTarget::create(this)),
      runner_(std::make_unique<NewestJobRunner>("kv-still-decode")),
      pixelPool_(PixelBufferPool::create()),
      scrollDelegate_(std::make_shared<StillScrollRelay>(this)) {}

StillImageViewController::~StillImageViewController() {
  // Nothing reaches this object from now on; the decode still running is cancelled. A JPEG
  // or a raw stage cannot stop midway, so its join goes to a worker, never the GUI thread:
  // the jobs hold nothing of the pane but its detached mailbox.
  target_->detach();
  runner_->advance();
  mHistogramPopover.reset();
  delete view_.data();
  std::shared_ptr<NewestJobRunner> runner(std::move(runner_));
  if (!WorkerThreads::start([runner] { runner->stop(); })) runner->stop();
}

QWidget* StillImageViewController::view() {
  KV_ASSERT_GUI_THREAD();
  if (!view_) {
    buildView();
    viewDidLoad();
  }
  return view_;
}

void StillImageViewController::viewDidLoad() {
  // The histogram button moves with the bar; an open popover follows it.
  oHistogramButton->installEventFilter(this);
  oHistogramButton->parentWidget()->installEventFilter(this);
  mZoomFactor = 1.0;
  oElectronicLevelButton->hide();
  oRotateButton->hide();
  setButtonsEnabled(false);
  mCurrentZoomButton = oZoomFitButton;
}

bool StillImageViewController::eventFilter(QObject* watched, QEvent* event) {
  const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
  if (moved && (watched == oHistogramButton || watched == oHistogramButton->parentWidget())) histogramButtonFrameChanged();
  if (event->type() == QEvent::Resize && watched == mImageScrollView) requestSharperIfNeeded();
  return QObject::eventFilter(watched, event);
}

void StillImageViewController::setButtonsEnabled(bool enabled) {
  for (SYFlatButton* b : {oZoomFitButton, oZoom0_5Button, oZoom1Button, oZoom2Button, oZoom4Button, oRotateButton,
                          oHistogramButton})
    b->setEnabled(enabled);
}

QImage StillImageViewController::shownImage() const {
  return mImageScrollView ? mImageScrollView->imageRef() : QImage();
}

QSizeF StillImageViewController::shownLogicalSize() const {
  return mImageScrollView && !mImageScrollView->imageRef().isNull() ? mImageScrollView->imageRect().size() : QSizeF();
}

uint64_t StillImageViewController::generation() const { return runner_->generation(); }
size_t StillImageViewController::decodesAlive() const { return runner_->jobsAlive(); }

// ---- showing and clearing ----

void StillImageViewController::setImage(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  if (!Dispatch::isMainThread()) {
    target_->post([this, data, objectInfo = std::move(objectInfo)]() mutable { setImageOnMain(data, std::move(objectInfo)); });
    return;
  }
  setImageOnMain(data, std::move(objectInfo));
}

void StillImageViewController::clearImage() {
  if (!Dispatch::isMainThread()) {
    target_->post([this] { clearImageOnMain(); });
    return;
  }
  clearImageOnMain();
}

void StillImageViewController::setImageOnMain(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  view();
  clearImageOnMain();
  if (!objectInfo) return;
  auto* scroll = new CT_ImageScrollView(oImageParentView);
  scroll->setObjectName(QStringLiteral("imageScrollView"));
  scroll->setDelegate(scrollDelegate_);
  scroll->installEventFilter(this);  // a larger pane may want more pixels
  static_cast<QGridLayout*>(oImageParentView->layout())->addWidget(scroll, 0, 0);
  scroll->show();
  mImageScrollView = scroll;
  setButtonsEnabled(true);
  oRotateButton->show();
  mImageData = data;
  mObjectInfoClass = objectInfo;
  mImageFormat = objectInfo->objectFormat();
  mCurrentOrientation = 1;
  loadImageFromData(data, mImageFormat, kOrientationFromFile);
  selectButtonForZoomFactor(0);
  mIsZoomed = false;

  const std::optional<std::string> path = cacheObjectPath(*objectInfo->origObjectInfo());
  oFileNameTextField->setText(path ? QFileInfo(QString::fromStdString(*path)).fileName() : objectInfo->fileName());
  parseExif();
}

void StillImageViewController::clearImageOnMain() {
  view();
  // A decode, count or parse still running for the old image publishes nothing.
  runner_->advance();
  decodeGeneration_ = 0;
  ++imageSerial_;
  ++histogramSerial_;
  mImage = QImage();
  mFullSize = QSize();
  mReduced = false;
  sharperAsked_ = false;
  mObjectInfoClass.reset();
  mImageData = QByteArray();
  exif_.reset();
  oExifView->setExif(nullptr);
  // Removed at once, its pixels with it: the next decode, started right after this, takes
  // them as its buffer. Nothing here runs inside the scroll view's own event handlers.
  delete mImageScrollView.data();
  mIsZoomed = false;
  oRotateButton->hide();
  if (mHistogramPopover && mHistogramPopover->isVisible()) {
    oHistogramView->clear();
    histogramCounts_.reset();
    mHistogramPopover->setAnimates(false);
    mHistogramPopover->closePopover();
    mHistogramPopover->setAnimates(true);
    mHistogramPopover->displayPopoverInWindow(oHistogramButton->window(), histogramButtonCentreInWindow());
  }
  setButtonsEnabled(false);
  delete mLiveViewImageView.data();
}

void StillImageViewController::liveViewToggledNotification(bool on) {
  view();
  if (on) clearImageOnMain();
  else if (mLiveViewImageView) mLiveViewImageView->setDisabled();
  oElectronicLevelButton->setVisible(on);
}

// ---- live view ----

void StillImageViewController::setLiveViewImage(const QByteArray& data, uint8_t camera) {
  KV_ASSERT_GUI_THREAD();
  view();
  if (!mLiveViewImageView) {
    auto* live = new LiveViewImageView(oImageParentView);
    static_cast<QGridLayout*>(oImageParentView->layout())->addWidget(live, 0, 0);
    live->setGrid(liveViewGridChoice_, liveViewGridColor_);
    live->raise();
    live->show();
    connect(live, &LiveViewImageView::frameFinished, this, &StillImageViewController::liveFrameFinished);
    connect(live, &LiveViewImageView::gridChanged, this, [this](unsigned choice, unsigned colour) {
      liveViewGridChoice_ = choice;
      liveViewGridColor_ = colour;
    });
    mLiveViewImageView = live;
    for (SYFlatButton* b : {oZoomFitButton, oZoom0_5Button, oZoom1Button, oZoom2Button, oZoom4Button})
      b->setEnabled(false);
    oRotateButton->setEnabled(true);
    oHistogramButton->setEnabled(true);
  }
  const bool histogramShown = mHistogramPopover && mHistogramPopover->isVisible();
  if (!histogramShown && histogramCounts_) {
    ++histogramSerial_;  // a still image's count on its way is not for this
    oHistogramView->clear();
    histogramCounts_.reset();
  }
  mLiveViewImageView->setLiveViewImage(data, camera, histogramShown);
}

void StillImageViewController::liveFrameFinished(bool shown, const QImage& histogram) {
  // A dropped frame leaves the histogram as it is.
  if (!shown || histogram.isNull() || !mHistogramPopover || !mHistogramPopover->isVisible()) return;
  const ChannelCounts counts = HistogramView::countChannels(histogram);
  histogramCounts_ = counts;
  oHistogramView->setCounts(counts, true);
}

// ---- decoding ----

qreal StillImageViewController::paneDevicePixelRatio() const {
  qreal ratio = oImageParentView ? oImageParentView->devicePixelRatioF() : 1.0;
  if (const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    ratio = std::max(ratio, app->devicePixelRatio());
  return std::max<qreal>(ratio, 1.0);
}

QSize StillImageViewController::devicePixelsOfPane() const {
  const qreal ratio = paneDevicePixelRatio();
  const QSize points = oImageParentView ? oImageParentView->size() : QSize();
  return QSize(static_cast<int>(std::ceil(points.width() * ratio)), static_cast<int>(std::ceil(points.height() * ratio)));
}

void StillImageViewController::loadImageFromData(const QByteArray& data, uint16_t format, uint8_t orientation) {
  KV_ASSERT_GUI_THREAD();
  view();
  // "QuickRawMode" is read once per image: the decode, the spinner and the histogram agree.
  mQuickRawMode = UserDefaults::standardUserDefaults().boolForKey(QString::fromLatin1(kDefaultsQuickRawMode));
  const bool withHud = fileFormatIsRaw(format) && !mQuickRawMode;
  startDecode(data, format, orientation, mQuickRawMode, devicePixelsOfPane(), Publish::Show, withHud);
}

void StillImageViewController::startDecode(const QByteArray& data, uint16_t format, uint8_t orientation,
                                           bool quickRawMode, QSize minimum, Publish kind, bool withHud) {
  StillDecodeRequest request;
  request.data = data;
  request.format = format;
  request.orientation = orientation;
  request.recordOrientation = mObjectInfoClass ? mObjectInfoClass->orientation() : 0;
  request.quickRawMode = quickRawMode;
  request.minimumPixels = minimum;
  request.pixelPool = pixelPool_;

  std::shared_ptr<StillHudHold> hold;
  if (withHud) {
    acquireHud();
    hold = std::make_shared<StillHudHold>(target_, [this] { releaseHud(); });
  }
  // The job touches nothing of the pane: it posts its result, which runs only while the
  // pane exists (the mailbox's rule) and shows only while its generation is current.
  inFlightKind_ = kind;
  decodeGeneration_ = runner_->submit([request = std::move(request), target = target_, self = this, kind, hold](
                                          uint64_t generation, const std::atomic<bool>& cancelled) {
    std::shared_ptr<StillDecodeResult> result;
    {
      const DisplayFirst::Scope first;
      result = std::make_shared<StillDecodeResult>(decodeStillImage(request, cancelled));
    }
    target->post([self, generation, kind, result] { self->decodeFinished(generation, kind, result); });
    if (hold) hold->release();  // after the result: a current result and its spinner go together
  });
}

void StillImageViewController::decodeFinished(uint64_t generation, Publish kind,
                                              std::shared_ptr<StillDecodeResult> result) {
  KV_ASSERT_GUI_THREAD();
  if (generation != decodeGeneration_ || !runner_->isCurrent(generation)) return;  // a newer one is on its way
  decodeGeneration_ = 0;
  // Bytes that decode to nothing show nothing; the pane stays as it is.
  if (!mImageScrollView || result->cancelled || result->image.isNull()) return;
  const QSize full = result->fullSize.isValid() && !result->fullSize.isEmpty() ? result->fullSize : result->image.size();
  if (kind == Publish::Sharpen) {
    sharperAsked_ = false;
    if (result->orientation != mImageOrientation_ || full != mFullSize) return;  // not the image shown
    if (result->image.width() <= mImage.width()) return;                          // no sharper after all
    mImage = result->image;
    mReduced = result->reduced;
    mImageScrollView->replaceImageRef(mImage);
  } else {
    mImage = result->image;
    mFullSize = full;
    mReduced = result->reduced;
    sharperAsked_ = false;
    mImageOrientation_ = result->orientation;
    mCurrentOrientation = result->orientation;
    mImageScrollView->setImageRef(mImage, QSizeF(mFullSize));
    if (mIsZoomed) {
      const QSizeF fitted = Geometry::aspectFitRect(QSizeF(mFullSize), mImageScrollView->documentSize()).size();
      setZoomFactor(mZoomFactor, QPointF(fitted.width() / 2, fitted.height() / 2));
    } else {
      mImageScrollView->setZoomToFit();
    }
  }
  applyExifSize();
  if (mHistogramPopover && mHistogramPopover->isVisible()) refreshHistogram();
}

void StillImageViewController::requestSharperIfNeeded() {
  if (!mReduced || mImage.isNull() || mImageData.isEmpty() || !mImageScrollView) return;
  if (decodeGeneration_ != 0 && inFlightKind_ != Publish::Sharpen) return;  // the image itself is on its way
  const QSizeF points = mIsZoomed ? QSizeF(mFullSize) * mZoomFactor
                                  : Geometry::aspectFitRect(QSizeF(mFullSize), QSizeF(mImageScrollView->size())).size();
  const qreal ratio = paneDevicePixelRatio();
  const QSize need(static_cast<int>(std::ceil(points.width() * ratio)), static_cast<int>(std::ceil(points.height() * ratio)));
  if (need.width() <= mImage.width() && need.height() <= mImage.height()) return;
  // Zoomed in: the full pixels, which panning shows too. Fitted in a larger pane: enough for it.
  const QSize minimum = mIsZoomed ? QSize() : need;
  if (sharperAsked_ && (sharperMinimum_.isEmpty() ||
                        (!minimum.isEmpty() && sharperMinimum_.width() >= minimum.width() &&
                         sharperMinimum_.height() >= minimum.height())))
    return;  // already asked for at least as much
  sharperAsked_ = true;
  sharperMinimum_ = minimum;
  startDecode(mImageData, mImageFormat, mImageOrientation_, mQuickRawMode, minimum, Publish::Sharpen, false);
}

void StillImageViewController::acquireHud() {
  if (hudHolds_++ == 0 || !hud_) {
    hud_ = MBProgressHUD::showHUDAddedTo(view_, true);
    hud_->setRemoveFromSuperViewOnHide(true);
  }
}

void StillImageViewController::releaseHud() {
  if (hudHolds_ == 0 || --hudHolds_ > 0) return;
  if (hud_) hud_->hide(true);
  hud_ = nullptr;
}

// ---- turning ----

void StillImageViewController::rotateImage() {
  KV_ASSERT_GUI_THREAD();
  // Only the four upright-or-turned orientations turn; a mirrored image stays as it is.
  if (mImage.isNull() || !quarterTurnsBetween(mCurrentOrientation, 1)) return;
  const uint8_t next = nextRotation(mCurrentOrientation);
  const std::optional<int> turns = quarterTurnsBetween(mImageOrientation_, next);
  if (!turns || next == mCurrentOrientation) return;
  mCurrentOrientation = next;
  zoomToFit();
  selectButtonForZoomFactor(0);
  // The pixels at hand turned on the decode thread: no decode, and the newest turn wins.
  sharperAsked_ = false;
  inFlightKind_ = Publish::Show;
  decodeGeneration_ = runner_->submit([image = mImage, full = mFullSize, reduced = mReduced, next, turns = *turns,
                                       target = target_, self = this](uint64_t generation, const std::atomic<bool>&) {
    auto result = std::make_shared<StillDecodeResult>();
    result->image = turns == 0 ? image : image.transformed(QTransform().rotate(90.0 * turns));
    result->fullSize = turns % 2 ? full.transposed() : full;
    result->reduced = reduced;
    result->orientation = next;
    target->post([self, generation, result] { self->decodeFinished(generation, Publish::Show, result); });
  });
}

// ---- zoom ----

double StillImageViewController::zoomFactorFromButton(const QWidget* button) const {
  switch (button ? button->property("tag").toInt() : 0) {
    case 1: return 0.5;
    case 2: return 1.0;
    case 3: return 2.0;
    case 4: return 4.0;
    default: return 0;
  }
}

void StillImageViewController::zoomButtonSelected(SYFlatButton* sender) {
  KV_ASSERT_GUI_THREAD();
  if (!sender) return;
  if (sender == mCurrentZoomButton) {
    // The button pressed flipped itself; the zoom it stands for is already there.
    if (sender->state() != 1) sender->setState(1);
    return;
  }
  if (mCurrentZoomButton) mCurrentZoomButton->setState(0);
  mCurrentZoomButton = sender;
  sender->setState(1);
  const double factor = zoomFactorFromButton(sender);
  if (factor == 0) zoomToFit();
  else zoomToFactor(factor);
}

void StillImageViewController::selectButtonForZoomFactor(double factor) {
  view();
  if (mCurrentZoomButton) mCurrentZoomButton->setState(0);
  SYFlatButton* b = factor == 0.5 ? oZoom0_5Button
                    : factor == 1 ? oZoom1Button
                    : factor == 2 ? oZoom2Button
                    : factor == 4 ? oZoom4Button
                                  : oZoomFitButton;
  mCurrentZoomButton = b;
  b->setState(1);
}

void StillImageViewController::zoomToFactor(double factor) {
  if (!mImageScrollView) return;
  QPointF centre;
  if (mIsZoomed) {
    centre = mImageScrollView->scrollOrigin() + QPointF(mImageScrollView->width() / 2.0, mImageScrollView->height() / 2.0);
  } else {
    const QSizeF fitted =
        Geometry::aspectFitRect(mImageScrollView->imageRect().size(), mImageScrollView->documentSize()).size();
    centre = QPointF(fitted.width() / 2, fitted.height() / 2);
  }
  setZoomFactor(factor, centre);
}

void StillImageViewController::setZoomFactor(double factor, QPointF atPoint) {
  mZoomFactor = factor;
  if (mImageScrollView) mImageScrollView->setZoomFactor(static_cast<float>(factor), atPoint);
  mIsZoomed = true;
  requestSharperIfNeeded();
}

void StillImageViewController::zoomToFit() {
  if (mImageScrollView) mImageScrollView->setZoomToFit();
  mIsZoomed = false;
}

void StillImageViewController::imageScrollViewDoubleClicked(CT_ImageScrollView*, QPointF atPoint) {
  if (!mIsZoomed) {
    setZoomFactor(mZoomFactor, atPoint);
    selectButtonForZoomFactor(mZoomFactor);
  } else {
    zoomToFit();
    selectButtonForZoomFactor(0);
  }
}

void StillImageViewController::electronicLevelButtonAction() {
  UserDefaults::standardUserDefaults().setBool(oElectronicLevelButton->state() == 1,
                                               QString::fromLatin1(kDefaultsElectronicLevel));
}

// ---- EXIF strip ----

void StillImageViewController::parseExif() {
  if (mImageData.isEmpty()) return;
  Dispatch::global([target = target_, self = this, serial = imageSerial_, data = mImageData, format = mImageFormat] {
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()));
    std::shared_ptr<Exif> exif = Exif::initWithData(bytes, format, kExifHeaderLength);
    target->post([self, serial, exif] {
      if (serial != self->imageSerial_) return;  // another image is shown by now
      self->exif_ = exif;
      self->oExifView->setExif(exif);
      self->applyExifSize();
    });
  });
}

void StillImageViewController::applyExifSize() {
  // Metadata that gives no real size (a small preview's, or none) shows the decoded one.
  if (!exif_ || mFullSize.isEmpty() || exif_->xDimension() >= 500) return;
  exif_->setSize(mFullSize.width(), mFullSize.height());
  oExifView->setExif(exif_);
}

// ---- histogram ----

QPointF StillImageViewController::histogramButtonCentreInWindow() const {
  QWidget* window = oHistogramButton->window();
  const QPointF c = oHistogramButton->mapTo(window, QPointF(oHistogramButton->width() / 2.0, oHistogramButton->height() / 2.0));
  return QPointF(c.x(), window->height() - c.y());
}

void StillImageViewController::toggleHistogram() {
  KV_ASSERT_GUI_THREAD();
  if (mHistogramPopover && mHistogramPopover->isVisible()) {
    mHistogramPopover->closePopover();
    return;
  }
  if (!mHistogramPopover) {
    oPopoverView->show();
    mHistogramPopover = std::make_unique<SFBPopover>(oPopoverView);
    mHistogramPopover->setPosition(PopoverAboveLeftward);
    mHistogramPopover->setBorderColor(Qt::transparent);
    mHistogramPopover->setBorderWidth(0);
    mHistogramPopover->setDistance(12);
    mHistogramPopover->setBackgroundColor(QColor(0, 0, 0, 51));
  }
  mHistogramPopover->setAnimates(true);
  mHistogramPopover->displayPopoverInWindow(oHistogramButton->window(), histogramButtonCentreInWindow());
  refreshHistogram();
}

void StillImageViewController::histogramButtonFrameChanged() {
  if (mHistogramPopover && mHistogramPopover->isVisible())
    mHistogramPopover->movePopoverToPoint(histogramButtonCentreInWindow());
}

void StillImageViewController::refreshHistogram() {
  KV_ASSERT_GUI_THREAD();
  if (mImage.isNull() || !mObjectInfoClass) return;
  const uint64_t serial = ++histogramSerial_;
  const bool fromEmbedded = fileNameIsRaw(mObjectInfoClass->fileName().toUtf8().constData()) && !mQuickRawMode;
  auto post = [target = target_, self = this, serial](std::optional<ChannelCounts> counts) {
    target->post([self, serial, counts] { self->histogramCounted(serial, counts); });
  };
  if (fromEmbedded) {
    // A raw's tones as its camera rendered them: the embedded JPEG, not the pane's decode.
    Dispatch::global([data = mImageData, format = mObjectInfoClass->objectFormat(), post] {
      const auto bytes = std::span(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()));
      uint32_t offset = 0, length = 0;
      if (!fileFindEmbeddedJpeg(bytes, offset, length, format)) return;  // the histogram stays as it is
      const QImage jpeg = decodeThumbnail(data.mid(offset, length), kStillHistogramMaxSide);
      if (jpeg.isNull()) return;
      post(HistogramView::countChannels(jpeg));
    });
  } else {
    Dispatch::global([image = mImage, post] { post(HistogramView::countChannels(image)); });
  }
}

void StillImageViewController::histogramCounted(uint64_t serial, std::optional<ChannelCounts> counts) {
  if (serial != histogramSerial_ || !counts) return;
  histogramCounts_ = counts;
  oHistogramView->setCounts(*counts, true);
}
