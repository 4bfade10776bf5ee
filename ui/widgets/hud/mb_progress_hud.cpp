#include "ui/widgets/hud/mb_progress_hud.h"

#include <QMouseEvent>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/dispatch.h"
#include "platform/geometry.h"
#include "platform/graphics/arcs.h"
#include "platform/graphics/gradients_radial.h"
#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"
#include "platform/worker_threads.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/hud/hud_effect.h"
#include "ui/widgets/hud/text_view.h"
#include "ui/widgets/progress/mb_bar_progress_view.h"
#include "ui/widgets/progress/mb_round_progress_view.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

namespace {

std::function<double()>& clockFn() {
  static std::function<double()> fn;
  return fn;
}

int toMs(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  return static_cast<int>(std::min(seconds, 86400.0) * 1000 + 0.5);
}

}  // namespace

// ---- class helpers

MBProgressHUD* MBProgressHUD::showHUDAddedTo(QWidget* view, bool animated) {
  KV_ASSERT_GUI_THREAD();
  auto* hud = new MBProgressHUD(view);
  if (view != nullptr) {
    hud->setParent(view);
    hud->QWidget::show();
    hud->raise();
  }
  hud->show(animated);
  return hud;
}

QList<MBProgressHUD*> MBProgressHUD::allHUDsForView(QWidget* view) {
  QList<MBProgressHUD*> out;
  if (view == nullptr) return out;
  for (QObject* child : view->children())
    if (auto* hud = qobject_cast<MBProgressHUD*>(child)) out.append(hud);
  return out;
}

MBProgressHUD* MBProgressHUD::HUDForView(QWidget* view) {
  const auto all = allHUDsForView(view);
  return all.isEmpty() ? nullptr : all.back();
}

bool MBProgressHUD::hideHUDForView(QWidget* view, bool animated) {
  MBProgressHUD* hud = HUDForView(view);
  if (hud == nullptr) return false;
  hud->setRemoveFromSuperViewOnHide(true);
  hud->hide(animated);
  return true;
}

int MBProgressHUD::hideAllHUDsForView(QWidget* view, bool animated) {
  const auto all = allHUDsForView(view);
  for (MBProgressHUD* hud : all) {
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hide(animated);
  }
  return static_cast<int>(all.size());
}

void MBProgressHUD::setClock(std::function<double()> clock) { clockFn() = std::move(clock); }

double MBProgressHUD::now() {
  if (clockFn()) return clockFn()();
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- creation

MBProgressHUD::MBProgressHUD(QWidget* view) : QWidget(nullptr), target_(GuiTarget::create(this)) {
  KV_ASSERT_GUI_THREAD();
  if (view != nullptr) resize(view->size());
  setAttribute(Qt::WA_TranslucentBackground);
  setGraphicsEffect(new HudEffect(this));
  setAlpha(0);
  for (QTimer* t : {&graceTimer_, &minShowTimer_, &delayTimer_}) t->setSingleShot(true);
  connect(&graceTimer_, &QTimer::timeout, this, &MBProgressHUD::handleGraceTimer);
  connect(&minShowTimer_, &QTimer::timeout, this, &MBProgressHUD::handleMinShowTimer);
  connect(&delayTimer_, &QTimer::timeout, this, [this] { hideDelayed(delayedAnimated_); });
  fade_.setDuration(kFadeMs);
  connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
    const QPointF p = v.toPointF();  // (alpha, scale)
    setAlpha(p.x());
    setScale(p.y());
  });
  connect(&fade_, &QVariantAnimation::finished, this, [this] {
    if (fadeHides_) done();
  });
  // setupLabels
  label_ = new TextView(this);
  label_->setFont(labelFont_);
  label_->setTextColor(labelColor_);
  detailsLabel_ = new TextView(this);
  detailsLabel_->setFont(detailsLabelFont_);
  detailsLabel_->setTextColor(detailsLabelColor_);
  layoutSubviews();
}

MBProgressHUD::~MBProgressHUD() {
  target_->detach();
  if (parentWidget() != nullptr) parentWidget()->removeEventFilter(this);
}

void MBProgressHUD::setupButton(const QString& title, std::function<void()> clickBlock) {
  KV_ASSERT_GUI_THREAD();
  mHasButton = true;
  button_ = new SYFlatButton(this);
  const qreal W = width(), H = height();
  // Placed once (y-up origin), not moved by the layout.
  const QRectF frame((W - 80) / 2, H / 2 - 50, 80, 36);
  button_->setGeometry(Geometry::flipped(frame, H).toRect());
  button_->setBackgroundNormalColor(QColor::fromRgbF(0.8f, 0, 0, 1));
  button_->setBackgroundHighlightColor(QColor::fromRgbF(1, 0, 0, 1));
  button_->setCornerRadius(4);
  button_->setOnAnimateDuration(0.25);
  button_->setOffAnimateDuration(0.25);
  button_->setMomentary(true);
  button_->setTitleNormalColor(Qt::white);
  button_->setTitleHighlightColor(Qt::white);
  button_->setTitle(title);
  button_->setFont(Font::fontWithName("AvenirNext-Medium", 16));
  button_->setMouseDownBlock(std::move(clickBlock));
  button_->show();
  layoutSubviews();
}

// ---- showing and hiding

void MBProgressHUD::show(bool animated) {
  KV_ASSERT_GUI_THREAD();
  updateIndicators();
  // The indicator made just now must sit in the panel before the first paint.
  layoutSubviews();
  useAnimation_ = animated;
  if (graceTime_ > 0) {
    graceTimer_.start(toMs(graceTime_));
    return;
  }
  update();
  showUsingAnimation(animated);
}

void MBProgressHUD::handleGraceTimer() {
  KV_ASSERT_GUI_THREAD();
  if (!taskInProgress_) return;
  update();
  showUsingAnimation(useAnimation_);
}

void MBProgressHUD::hide(bool animated) {
  KV_ASSERT_GUI_THREAD();
  useAnimation_ = animated;
  cancelDelayedPerforms();
  if (minShowTime_ > 0 && showStarted_) {
    const double shown = now() - *showStarted_;
    if (shown < minShowTime_) {
      minShowTimer_.start(toMs(minShowTime_ - shown));
      return;
    }
  }
  hideUsingAnimation(animated);
}

void MBProgressHUD::handleMinShowTimer() {
  KV_ASSERT_GUI_THREAD();
  hideUsingAnimation(useAnimation_);
}

void MBProgressHUD::hideAfterDelay(bool animated, double delay) {
  KV_ASSERT_GUI_THREAD();
  delayedAnimated_ = animated;
  delayTimer_.start(toMs(delay));
}

void MBProgressHUD::hideDelayed(bool animated) {
  cancelDelayedPerforms();
  delegate_.send([this](MBProgressHUDDelegate& d) { d.hudWasHiddenAfterDelay(this); });
  hide(animated);
}

void MBProgressHUD::showWhileExecuting(std::function<void()> method, bool animated) {
  KV_ASSERT_GUI_THREAD();
  methodForExecution_ = std::move(method);
  taskInProgress_ = true;
  // The thread owns its copy of the task and the HUD's mailbox; the clean-up runs only
  // while the HUD exists. The GUI thread never waits for a task: the thread is joined once
  // it has finished, or at the end of the application.
  const bool started = WorkerThreads::start([target = target_, method = methodForExecution_, this] {
    if (method) method();
    target->post([this] { cleanUp(); });
  });
  if (!started) {
    taskInProgress_ = false;
    methodForExecution_ = nullptr;
    return;
  }
  show(animated);
}

void MBProgressHUD::showAnimated(bool animated, std::function<void()> block, DispatchQueue* queue,
                                 std::function<void()> completionBlock) {
  KV_ASSERT_GUI_THREAD();
  taskInProgress_ = true;
  completionBlock_ = std::move(completionBlock);
  auto run = [target = target_, block = std::move(block), this] {
    if (block) block();
    target->post([this] { cleanUp(); });
  };
  if (queue != nullptr) {
    if (!queue->async(std::move(run))) {
      // A stopping queue refused the task: nothing will end it, so do not stay up.
      taskInProgress_ = false;
      useAnimation_ = false;
      hideUsingAnimation(false);
      return;
    }
  } else {
    Dispatch::global(std::move(run));
  }
  show(animated);
}

void MBProgressHUD::cleanUp() {
  KV_ASSERT_GUI_THREAD();
  taskInProgress_ = false;
  methodForExecution_ = nullptr;
  hide(useAnimation_);
}

void MBProgressHUD::done() {
  KV_ASSERT_GUI_THREAD();
  isFinished_ = true;
  fadeHides_ = false;
  setAlpha(0);
  setScale(1);
  setHidden(true);
  auto completion = std::move(completionBlock_);
  completionBlock_ = nullptr;
  auto delegate = delegate_.get();
  if (removeFromSuperViewOnHide_ && parentWidget() != nullptr) {
    parentWidget()->removeEventFilter(this);
    setParent(nullptr);
    // Removed from its superview, nobody holds the view any more.
    deleteLater();
  }
  if (completion) completion();
  if (delegate) delegate->hudWasHidden(this);
}

void MBProgressHUD::showUsingAnimation(bool animated) {
  fade_.stop();
  fadeHides_ = false;
  setHidden(false);
  showStarted_ = now();
  if (!animated) {
    setScale(1);
    setAlpha(1);
    return;
  }
  const qreal from = animationType_ == HudAnimationZoomFromLarge ? 1.5
                     : animationType_ == HudAnimationZoomFromSmall ? 0.5
                                                                    : 1.0;
  fade_.setStartValue(QPointF(alpha_, from));
  fade_.setEndValue(QPointF(1, 1));
  fade_.start();
}

void MBProgressHUD::hideUsingAnimation(bool animated) {
  cancelDelayedPerforms();
  const bool wasShown = showStarted_.has_value();
  showStarted_.reset();
  if (animated && wasShown) {
    const qreal to = animationType_ == HudAnimationZoomFromLarge ? 0.5
                     : animationType_ == HudAnimationZoomFromSmall ? 1.5
                                                                    : 1.0;
    fade_.stop();
    fadeHides_ = true;
    fade_.setStartValue(QPointF(alpha_, scale_));
    fade_.setEndValue(QPointF(0.2, to));
    fade_.start();
    return;
  }
  setAlpha(0);
  done();
}

void MBProgressHUD::finishAnimations() {
  if (fade_.state() != QAbstractAnimation::Running) return;
  fade_.setCurrentTime(fade_.duration());  // ends it and emits finished
}

void MBProgressHUD::setAlpha(qreal a) {
  alpha_ = a;
  if (auto* e = qobject_cast<HudEffect*>(graphicsEffect())) e->setOpacity(a);
}

void MBProgressHUD::setScale(qreal s) {
  scale_ = s;
  if (auto* e = qobject_cast<HudEffect*>(graphicsEffect())) e->setScale(s);
}

// ---- properties (any thread)

#define KV_HUD_ON_GUI_THREAD(call)                   \
  if (!Dispatch::isMainThread()) {                   \
    target_->post([this, v = value] { call(v); });   \
    return;                                          \
  }

void MBProgressHUD::setMode(int value) {
  KV_HUD_ON_GUI_THREAD(setMode)
  mode_ = value;
  updateIndicators();
  layoutSubviews();
}

void MBProgressHUD::setCustomView(QWidget* value) {
  KV_ASSERT_GUI_THREAD();
  customView_ = value;
  updateIndicators();
  layoutSubviews();
}

void MBProgressHUD::setLabelText(const QString& value) {
  KV_HUD_ON_GUI_THREAD(setLabelText)
  labelText_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setDetailsLabelText(const QString& value) {
  KV_HUD_ON_GUI_THREAD(setDetailsLabelText)
  detailsLabelText_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setLabelFont(const Font& value) {
  KV_HUD_ON_GUI_THREAD(setLabelFont)
  labelFont_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setDetailsLabelFont(const Font& value) {
  KV_HUD_ON_GUI_THREAD(setDetailsLabelFont)
  detailsLabelFont_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setLabelColor(const QColor& value) {
  KV_HUD_ON_GUI_THREAD(setLabelColor)
  labelColor_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setDetailsLabelColor(const QColor& value) {
  KV_HUD_ON_GUI_THREAD(setDetailsLabelColor)
  detailsLabelColor_ = value;
  updateLabelsAndLayout();
}

void MBProgressHUD::setProgress(float value) {
  progress_.store(value);
  auto apply = [this] {
    const float p = progress_.load();
    if (auto* round = qobject_cast<MBRoundProgressView*>(indicator_.data())) round->setProgress(p);
    if (auto* bar = qobject_cast<MBBarProgressView*>(indicator_.data())) bar->setProgress(p);
  };
  if (Dispatch::isMainThread())
    apply();
  else
    target_->post(apply);
}

void MBProgressHUD::updateLabelsAndLayout() {
  label_->setString(labelText_);
  label_->setFont(labelFont_);
  label_->setTextColor(labelColor_);
  detailsLabel_->setString(detailsLabelText_);
  detailsLabel_->setFont(detailsLabelFont_);
  detailsLabel_->setTextColor(detailsLabelColor_);
  layoutSubviews();
}

// ---- indicators and layout

void MBProgressHUD::updateIndicators() {
  KV_ASSERT_GUI_THREAD();
  auto replace = [this](QWidget* w) {
    if (indicator_ && indicator_ != w) {
      if (indicator_ == customView_)
        indicator_->hide();
      else
        indicator_->deleteLater();
      indicator_->setParent(nullptr);
    }
    indicator_ = w;
    if (w != nullptr) {
      w->setParent(this);
      w->show();
    }
  };
  switch (mode_) {
    case HudModeSpinner:
      if (!qobject_cast<YRKSpinningProgressIndicator*>(indicator_.data())) {
        auto* spin = new YRKSpinningProgressIndicator;
        spin->resize(Geometry::toIntSafe(spinsize_), Geometry::toIntSafe(spinsize_));
        spin->setColor(Qt::white);
        spin->setUsesThreadedAnimation(false);
        replace(spin);
        spin->startAnimation();
      }
      break;
    case HudModePie:
    case HudModeAnnular: {
      auto* round = qobject_cast<MBRoundProgressView*>(indicator_.data());
      if (round == nullptr) {
        round = new MBRoundProgressView;
        round->resize(Geometry::toIntSafe(spinsize_), Geometry::toIntSafe(spinsize_));
        replace(round);
      }
      if (mode_ == HudModeAnnular) round->setAnnular(true);
      break;
    }
    case HudModeBar: {
      // A new bar each time.
      if (indicator_) {
        QWidget* old = indicator_;
        indicator_ = nullptr;
        if (old == customView_) {
          old->hide();
          old->setParent(nullptr);
        } else {
          old->deleteLater();
          old->setParent(nullptr);
        }
      }
      replace(new MBBarProgressView);
      break;
    }
    case HudModeCustomView:
      if (customView_ != indicator_) replace(customView_);
      break;
    case HudModeText: replace(nullptr); break;
    default: break;
  }
}

void MBProgressHUD::layoutSubviews() {
  if (parentWidget() != nullptr && geometry() != parentWidget()->rect()) setGeometry(parentWidget()->rect());
  HudLayoutInput in;
  in.bounds = QSizeF(width(), height());
  in.margin = margin_;
  in.indicator = indicator_ ? QSizeF(indicator_->size()) : QSizeF(0, 0);
  in.label = label_->lineSize();
  in.detailsLabel = detailsLabel_->lineSize();
  in.hasButton = mHasButton;
  in.xOffset = xOffset_;
  in.yOffset = yOffset_;
  in.square = square_;
  in.minSize = minSize_;
  layout_ = hudLayout(in);
  size_ = layout_.size;
  const qreal H = height();
  auto place = [H](QWidget* w, const QRectF& f) {
    if (w == nullptr) return;
    w->setGeometry(Geometry::flipped(f, H).toAlignedRect());
  };
  if (indicator_) indicator_->move(Geometry::flipped(layout_.indicatorFrame, H).toRect().topLeft());
  place(label_, layout_.labelFrame);
  place(detailsLabel_, layout_.detailsLabelFrame);
  update();
}

QRectF MBProgressHUD::panelRect() const {
  return hudPanelRect(QSizeF(width(), height()), size_, xOffset_, yOffset_);
}

bool MBProgressHUD::event(QEvent* e) {
  if (e->type() == QEvent::ParentAboutToChange && parentWidget() != nullptr)
    parentWidget()->removeEventFilter(this);
  const bool r = QWidget::event(e);
  if (e->type() == QEvent::ParentChange) {
    if (parentWidget() != nullptr) parentWidget()->installEventFilter(this);
    layoutSubviews();
  }
  if (e->type() == QEvent::Resize) layoutSubviews();
  return r;
}

bool MBProgressHUD::eventFilter(QObject* watched, QEvent* e) {
  if (watched == parentWidget() && e->type() == QEvent::Resize) layoutSubviews();
  return QWidget::eventFilter(watched, e);
}

// ---- drawing and events

void MBProgressHUD::paintEvent(QPaintEvent*) {
  QPainter p(this);
  GraphicsContext ctx(p, height());
  const QSizeF B(width(), height());
  ctx.saveGraphicsState();
  if (dimBackground_) {
    drawRadialGradientExtended(ctx, QRectF(QPointF(0, 0), B), QPointF(B.width() / 2, B.height() / 2),
                               std::min(B.width(), B.height()), QColor(0, 0, 0, 0), QColor::fromRgbF(0, 0, 0, 0.75f));
  }
  ctx.setFillColor(color_.isValid() ? color_ : QColor::fromRgbF(0, 0, 0, std::clamp(opacity_, 0.0f, 1.0f)));
  const QRectF r = panelRect();
  const qreal cr = cornerRadius_;
  const qreal minX = r.left(), maxX = r.left() + r.width(), minY = r.top(), maxY = r.top() + r.height();
  BezierPath panel;
  panel.moveToPoint({minX + cr, minY});
  appendArc(panel, {maxX - cr, minY + cr}, cr, 270, 360, false);
  appendArc(panel, {maxX - cr, maxY - cr}, cr, 0, 90, false);
  appendArc(panel, {minX + cr, maxY - cr}, cr, 90, 180, false);
  appendArc(panel, {minX + cr, minY + cr}, cr, 180, 270, false);
  panel.closePath();
  ctx.fill(panel);
  ctx.restoreGraphicsState();
}

void MBProgressHUD::mousePressEvent(QMouseEvent* event) {
  if (isFinished_) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  if (dismissible_) {
    cleanUp();
    delegate_.send([this](MBProgressHUDDelegate& d) { d.hudWasTapped(this); });
  }
}
