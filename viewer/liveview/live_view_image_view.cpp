#include "viewer/liveview/live_view_image_view.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <atomic>
#include <mutex>

#include "platform/defaults_keys.h"
#include "platform/dispatch_queue.h"
#include "platform/geometry.h"
#include "platform/gui_target.h"
#include "platform/gui_thread.h"
#include "platform/user_defaults.h"
#include "platform/worker_threads.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "viewer/liveview/af_overlay_view.h"
#include "viewer/liveview/electronic_level_view.h"
#include "viewer/liveview/grid_view.h"
#include "viewer/liveview/live_view_frames.h"

namespace {

constexpr uint8_t kNoForcedOrientation = 255;
constexpr uint8_t kCanonCropZoom = 200;
const QColor kDisabledCover(255, 255, 255, int(0.35 * 255 + 0.5));
// The frame coordinate sizes of Sony focus reports: with the frame's own focus frame, and
// without it.
constexpr QSizeF kSonyTrackedFrameSize(2580, 1900);
constexpr QSizeF kSonyFrameSize(640, 428);

std::atomic<uint8_t> gLastLiveViewOrientation{0};

bool userDefault(const char* key) { return UserDefaults::standardUserDefaults().boolForKey(QString::fromLatin1(key)); }

// The translucent cover: a plain white veil.
class DisabledCover : public QWidget {
 public:
  explicit DisabledCover(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), kDisabledCover);
  }
};

}  // namespace

// The decode thread and what lives on it. Held by the view and, at teardown, by the worker
// that joins it; the jobs reach it only while it is held.
struct LiveViewImageView::Worker {
  DispatchQueue queue{"com.korvalume.liveview"};
  LiveViewFilterChain chain;  // used on the queue only
  std::atomic<bool> cancel{false};
  std::mutex gateMutex;
  std::function<void()> gate;

  void runGate() {
    std::function<void()> g;
    {
      std::lock_guard lock(gateMutex);
      g = gate;
    }
    if (g) g();
  }
};

LiveViewImageView::LiveViewImageView(QWidget* parent)
    : QWidget(parent), target_(GuiTarget::create(this)), worker_(std::make_shared<Worker>()) {
  setObjectName(QStringLiteral("LiveViewImageView"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  mGridView = new GridView(this);
  mGridView->setObjectName(QStringLiteral("liveViewGrid"));
  mAfOverlayLayer = new AfOverlayView(this);
  mAfOverlayLayer->setObjectName(QStringLiteral("liveViewAfOverlay"));
  layoutChildren();
  if (qApp) qApp->installEventFilter(this);
}

LiveViewImageView::~LiveViewImageView() {
  if (qApp) qApp->removeEventFilter(this);
  // Nothing reaches this view from now on. A JPEG cannot stop midway, so the decode
  // thread is joined by a worker, never here.
  target_->detach();
  worker_->cancel.store(true, std::memory_order_release);
  std::shared_ptr<Worker> worker(std::move(worker_));
  auto stop = [worker] { worker->queue.stop(DispatchQueue::Pending::discard); };
  if (!WorkerThreads::start(stop)) stop();
}

void LiveViewImageView::setDecodeGateForTesting(std::function<void()> gate) {
  std::lock_guard lock(worker_->gateMutex);
  worker_->gate = std::move(gate);
}

// ---- the class state and the small steps

uint8_t LiveViewImageView::lastLiveViewOrientation() { return gLastLiveViewOrientation.load(); }

uint8_t LiveViewImageView::nextForcedOrientation(uint8_t o) {
  switch (o) {
    case kNoForcedOrientation:
    case 1: return 6;
    case 6: return 3;
    case 3: return 8;
    case 8: return 1;
    default: return o;
  }
}

void LiveViewImageView::liveViewRotateButton() { mForcedOrientation = nextForcedOrientation(mForcedOrientation); }

float LiveViewImageView::levelAngleForOrientation(float angle, uint8_t o) {
  switch (o) {
    case 8: return angle - 90;
    case 3: return angle - 180;
    case 6: return angle - 270;
    default: return angle;
  }
}

void LiveViewImageView::showLiveViewNudgeButtons() {}

void LiveViewImageView::hideLiveViewNudgeButtons() {
  for (const QPointer<QWidget>& b : mNudgeButtons)
    if (b && b->parentWidget()) delete b.data();
  mNudgeButtons.clear();
  mNudgeButtonsVisible = false;
}

void LiveViewImageView::clearImage() {
  image_ = QImage();
  layoutChildren();
  update();
}

void LiveViewImageView::setDisabled() {
  KV_ASSERT_GUI_THREAD();
  if (!mDisabledView) {
    mDisabledView = new DisabledCover(this);
    mDisabledView->setObjectName(QStringLiteral("liveViewDisabledCover"));
    mDisabledView->setGeometry(rect());
  }
  mDisabledView->raise();
  mDisabledView->show();
  hideLiveViewNudgeButtons();
}

// ---- one frame

void LiveViewImageView::setLiveViewImage(const QByteArray& data, uint8_t camera, bool histogram) {
  KV_ASSERT_GUI_THREAD();
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
  const size_t length = size_t(data.size());

  // 1. Vendor data.
  LiveViewCameraState state;
  state.modelIndex = camModelIndex();
  state.sonyFocusTracked = camera == kLiveViewCameraSony && propExists(kSonyFocusFrameProperty);
  const LiveViewFrameInfo info = readLiveViewFrame(camera, bytes, length, state);
  if (camera == kLiveViewCameraCanon && info.canonHeader) mAfOverlayLayer->showCanonAfOverlay(&*info.canonHeader);
  if (info.dropped) {
    emit frameFinished(false, QImage());
    return;
  }
  if (camera == kLiveViewCameraSony) {
    const LiveViewFocusRect& f = info.sonyFocus;
    const QRectF focus = f.isEmpty() ? QRectF() : QRectF(f.x, f.y, f.width, f.height);
    if (state.sonyFocusTracked)
      mAfOverlayLayer->showSonyAfOverlay(kSonyTrackedFrameSize, focus, info.orientation);
    else
      mAfOverlayLayer->showSonyAfOverlay(kSonyFrameSize, focus,
                                         mForcedOrientation == kNoForcedOrientation ? 1 : mForcedOrientation);
  }

  // 2. Orientation.
  const uint8_t last = userDefault(kDefaultsRotateLiveView) ? info.orientation : 1;
  gLastLiveViewOrientation.store(last);
  const uint8_t o = mForcedOrientation != kNoForcedOrientation ? mForcedOrientation : last;

  // 3. The level.
  updateLevel(info.levelAngle, o);

  // The rest on the worker, with the settings as they are now.
  Job job;
  job.data = data;
  job.offset = info.pictureOffset;
  job.length = info.pictureLength;
  job.camera = camera;
  job.orientation = o;
  job.zoom = camGetLiveViewZoom();
  for (const LiveViewFilterDefault& f : liveViewFilterDefaults())
    if (userDefault(f.defaultsKey)) job.settings.filters.push_back(f.spec);
  job.settings.canonCrop = camIsCanon() && job.zoom == kCanonCropZoom;
  job.settings.orientation = o;
  job.settings.histogram = histogram;
  if (inFlight_) {
    if (pending_) emit frameFinished(false, QImage());  // replaced before it started
    pending_ = std::move(job);
    return;
  }
  start(std::move(job));
}

void LiveViewImageView::updateLevel(float angle, uint8_t o) {
  if (userDefault(kDefaultsElectronicLevel) && camHasLiveViewHistogram()) {
    if (!mLevelView) {
      mLevelView = new ElectronicLevelView(this);
      mLevelView->setObjectName(QStringLiteral("liveViewLevel"));
      mLevelView->setAttribute(Qt::WA_TransparentForMouseEvents);
      mLevelView->setGeometry(rect());
      mLevelView->show();
      if (mDisabledView) mDisabledView->raise();
    }
    mLevelView->setAngle(levelAngleForOrientation(angle, o));
  } else if (mLevelView) {
    delete mLevelView.data();
  }
}

void LiveViewImageView::start(Job job) {
  inFlight_ = true;
  ++decodesStarted_;
  Worker* worker = worker_.get();  // held until its queue has stopped, so past every job
  auto shared = std::make_shared<Job>(std::move(job));
  worker->queue.async([worker, shared, target = target_, self = this] {
    worker->runGate();
    const auto* bytes = reinterpret_cast<const uint8_t*>(shared->data.constData()) + shared->offset;
    auto result = std::make_shared<LiveViewRendered>(
        renderLiveViewPicture(std::span(bytes, shared->length), shared->settings, worker->chain, worker->cancel));
    if (result->cancelled) return;
    target->post([self, shared, result] { self->decodeFinished(*shared, *result); });
  });
}

void LiveViewImageView::decodeFinished(const Job& job, const LiveViewRendered& result) {
  KV_ASSERT_GUI_THREAD();
  inFlight_ = false;
  if (pending_) {
    Job next = std::move(*pending_);
    pending_.reset();
    start(std::move(next));
  }
  // 4-8. Not decodable, or a filter not there: the picture goes.
  if (result.image.isNull()) {
    clearImage();
    emit frameFinished(false, QImage());
    return;
  }
  image_ = result.image;
  layoutChildren();
  update();
  // 9. Fujifilm's frame is placed on the picture as shown.
  if (job.camera == kLiveViewCameraFujifilm)
    mAfOverlayLayer->showFujiAfOverlayWithLiveViewSize(QSizeF(image_.size()), job.orientation);
  // 11. The cover goes with the first picture shown.
  if (mDisabledView) mDisabledView->hide();
  // 12. Nudge buttons follow the zoom.
  if (job.zoom == 0 && mNudgeButtonsVisible) hideLiveViewNudgeButtons();
  else if (job.zoom != 0 && !mNudgeButtonsVisible) showLiveViewNudgeButtons();
  // 13. Movie indicators go.
  delete mRecordingLightView.data();
  delete mMovieTimerTextView.data();
  // 10. The histogram's rendering goes with the report.
  emit frameFinished(true, result.histogram);
}

// ---- the grid

std::pair<int, int> LiveViewImageView::gridBands(unsigned choice) {
  switch (choice) {
    case 0: return {3, 3};
    case 1: return {4, 6};
    case 2: return {3, 5};
    default: return {0, 0};
  }
}

void LiveViewImageView::setGrid(unsigned choice, unsigned colorCode) {
  gridChoice_ = choice;
  gridColor_ = colorCode;
  const auto [rows, columns] = gridBands(choice);
  mGridView->setHorizontalLines(rows, columns);
  mGridView->setGridColor(colorCode);
  mGridView->setVisible(rows > 0);
}

void LiveViewImageView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QMenu* grid = menu.addMenu(QStringLiteral("Grid"));
  auto* choices = new QActionGroup(grid);
  for (unsigned c : {0u, 1u, 2u, 3u}) {
    QAction* a = grid->addAction(GridView::stringForGridLines(c));
    a->setCheckable(true);
    a->setChecked(c == std::min(gridChoice_, 3u));
    choices->addAction(a);
    connect(a, &QAction::triggered, this, [this, c] {
      setGrid(c, gridColor_);
      emit gridChanged(gridChoice_, gridColor_);
    });
  }
  QMenu* colours = menu.addMenu(QStringLiteral("Grid Color"));
  auto* colourGroup = new QActionGroup(colours);
  for (unsigned code : {1u, 2u, 3u, 0u}) {
    QAction* a = colours->addAction(GridView::stringForColor(code));
    a->setCheckable(true);
    a->setChecked(code == gridColor_ || (code == 0 && gridColor_ > 3));
    colourGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, code] {
      setGrid(gridChoice_, code);
      emit gridChanged(gridChoice_, gridColor_);
    });
  }
  menu.exec(event->globalPos());
}

// ---- events

bool LiveViewImageView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // The key's own character: a capital R is another character, other modifiers are not
    // looked at.
    if (key->key() == Qt::Key_R && !(key->modifiers() & Qt::ShiftModifier) && key->text() != QStringLiteral("R")) {
      liveViewRotateButton();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void LiveViewImageView::mousePressEvent(QMouseEvent* event) { event->accept(); }

QRectF LiveViewImageView::pictureRect() const {
  if (image_.isNull()) return {};
  const QRectF fit = Geometry::aspectFitRect(QSizeF(image_.size()), QSizeF(size()));
  // Bottom-up fit, centred: the same rectangle from the top.
  return QRectF(fit.x(), height() - fit.y() - fit.height(), fit.width(), fit.height());
}

void LiveViewImageView::layoutChildren() {
  const QRect all = rect();
  mAfOverlayLayer->setGeometry(all);
  if (mLevelView) mLevelView->setGeometry(all);
  if (mDisabledView) mDisabledView->setGeometry(all);
  const QRectF picture = pictureRect();
  mGridView->setGeometry(picture.isEmpty() ? QRect() : picture.toAlignedRect());
}

void LiveViewImageView::resizeEvent(QResizeEvent*) { layoutChildren(); }

void LiveViewImageView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(pictureRect(), image_);
}
