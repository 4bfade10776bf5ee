#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

#include "platform/geometry.h"
#include "platform/graphics/arcs.h"
#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"

namespace {
QColor withAlpha(QColor c, qreal a) {
  c.setAlphaF(std::clamp<qreal>(a, 0, 1));
  return c;
}
}  // namespace

YRKSpinningProgressIndicator::YRKSpinningProgressIndicator(QWidget* parent)
    : QWidget(parent), finColors_(numFins_) {
  KV_ASSERT_GUI_THREAD();
  setAttribute(Qt::WA_TranslucentBackground);
  animationTimer_.setTimerType(Qt::PreciseTimer);
  connect(&animationTimer_, &QTimer::timeout, this, &YRKSpinningProgressIndicator::updateFrame);
}

YRKSpinningProgressIndicator::~YRKSpinningProgressIndicator() {
  if (isAnimating_) stopAnimation();
  animationTimer_.stop();
}

qreal YRKSpinningProgressIndicator::finAlpha(int fin) const {
  if (fin < 0 || fin >= numFins_ || !finColors_[fin].isValid()) return 0;
  return finColors_[fin].alphaF();
}

void YRKSpinningProgressIndicator::startAnimation() {
  KV_ASSERT_GUI_THREAD();
  if (isIndeterminate_ && (!isAnimating_ || isFadingOut_)) actuallyStartAnimation();
}

void YRKSpinningProgressIndicator::stopAnimation() {
  KV_ASSERT_GUI_THREAD();
  isFadingOut_ = true;
}

void YRKSpinningProgressIndicator::actuallyStartAnimation() {
  actuallyStopAnimation();
  isAnimating_ = true;
  isFadingOut_ = false;
  position_ = 1;
  if (!displayedWhenStopped_) setHidden(false);
  if (!hasWindow()) return;
  // Both paths tick on the GUI thread; the threaded one keeps its own period.
  animationTimer_.start(usesThreadedAnimation_ ? 600000 / numFins_ / 1000 : kTimerIntervalMs);
}

void YRKSpinningProgressIndicator::actuallyStopAnimation() {
  isAnimating_ = false;
  isFadingOut_ = false;
  if (!displayedWhenStopped_) setHidden(true);
  animationTimer_.stop();
  update();
}

void YRKSpinningProgressIndicator::updateFrame() {
  KV_ASSERT_GUI_THREAD();
  if (--position_ < 0) position_ = numFins_ - 1;
  const qreal floor = finFloor();
  for (auto& c : finColors_) c = withAlpha(foreColor_, std::max(floor, (c.isValid() ? c.alphaF() : 0) * kFinDecay));
  if (isFadingOut_) {
    for (const auto& c : finColors_)
      if (std::abs(c.alphaF() - floor) > 0.01) {
        redraw();
        return;
      }
    actuallyStopAnimation();
    redraw();
    return;
  }
  finColors_[position_] = withAlpha(foreColor_, 1);
  redraw();
}

void YRKSpinningProgressIndicator::redraw() {
  if (usesThreadedAnimation_ && isVisible())
    repaint();
  else
    update();
}

void YRKSpinningProgressIndicator::viewDidMoveToWindow() {
  if (!hasWindow())
    actuallyStopAnimation();
  else if (isAnimating_)
    actuallyStartAnimation();
}

bool YRKSpinningProgressIndicator::event(QEvent* e) {
  const bool r = QWidget::event(e);
  if (e->type() == QEvent::ParentChange) viewDidMoveToWindow();
  return r;
}

void YRKSpinningProgressIndicator::generateFinColorsStartAtPosition(int) {
  for (auto& c : finColors_) c = withAlpha(foreColor_, c.isValid() ? c.alphaF() : 0);
}

void YRKSpinningProgressIndicator::setColor(const QColor& c) {
  KV_ASSERT_GUI_THREAD();
  if (c == foreColor_) return;
  foreColor_ = c;
  generateFinColorsStartAtPosition(position_);
  update();
}

void YRKSpinningProgressIndicator::setBackgroundColor(const QColor& c) {
  KV_ASSERT_GUI_THREAD();
  if (c == backColor_) return;
  backColor_ = c;
  update();
}

void YRKSpinningProgressIndicator::setDrawsBackground(bool draws) {
  KV_ASSERT_GUI_THREAD();
  drawsBackground_ = draws;
  update();
}

void YRKSpinningProgressIndicator::setDisplayedWhenStopped(bool displayed) {
  KV_ASSERT_GUI_THREAD();
  displayedWhenStopped_ = displayed;
  if (!isAnimating_) setHidden(!displayed);
}

void YRKSpinningProgressIndicator::setUsesThreadedAnimation(bool threaded) {
  KV_ASSERT_GUI_THREAD();
  if (threaded == usesThreadedAnimation_) return;
  usesThreadedAnimation_ = threaded;
  if (isAnimating_) {
    stopAnimation();
    startAnimation();
  }
}

void YRKSpinningProgressIndicator::setIndeterminate(bool indeterminate) {
  KV_ASSERT_GUI_THREAD();
  isIndeterminate_ = indeterminate;
  if (!indeterminate && isAnimating_) stopAnimation();
  update();
}

void YRKSpinningProgressIndicator::setDoubleValue(double value) {
  KV_ASSERT_GUI_THREAD();
  if (isIndeterminate_) setIndeterminate(false);
  currentValue_ = value;
  update();
}

void YRKSpinningProgressIndicator::setMaxValue(double value) {
  KV_ASSERT_GUI_THREAD();
  maxValue_ = value;
  update();
}

void YRKSpinningProgressIndicator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  GraphicsContext ctx(p, height());
  const QRectF bounds(0, 0, width(), height());
  const qreal s = std::min(bounds.width(), bounds.height());
  if (drawsBackground_) {
    ctx.setFillColor(backColor_);
    ctx.fillRect(bounds);
  }
  ctx.saveGraphicsState();
  ctx.translate(bounds.width() / 2, bounds.height() / 2);
  if (isIndeterminate_) {
    BezierPath fin;
    fin.moveToPoint({0, 0.234375 * s});
    fin.lineToPoint({0, 0.421875 * s});
    fin.setLineWidth(0.0859375 * s);
    fin.setLineCapStyle(LineCap::Round);
    for (int i = 0; i < numFins_; ++i) {
      const QColor c = isAnimating_ ? (finColors_[i].isValid() ? finColors_[i] : withAlpha(foreColor_, 0))
                                    : withAlpha(foreColor_, kStoppedFinAlpha);
      ctx.setStrokeColor(c);
      ctx.stroke(fin);
      ctx.rotate(kTurn / numFins_ * 180.0 / M_PI);
    }
  } else {
    const qreal w = 1 + 0.01 * s;
    const qreal r = (s - w) / 2.1;
    BezierPath circle = BezierPath::bezierPathWithOvalInRect(QRectF(-r, -r, 2 * r, 2 * r));
    circle.setLineWidth(w);
    ctx.setStrokeColor(foreColor_);
    ctx.stroke(circle);
    const qreal fraction = std::clamp(Geometry::divideOr(currentValue_, maxValue_, 0), 0.0, 1.0);
    if (fraction > 0) {
      BezierPath pie;
      appendPieWedge(pie, {0, 0}, r, 90, 90 - 360 * fraction, true);
      ctx.setFillColor(foreColor_);
      ctx.fill(pie);
    }
  }
  ctx.restoreGraphicsState();
}
