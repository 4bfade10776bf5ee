#include "ui/widgets/progress/mb_bar_progress_view.h"

#include <QPainter>

#include <cmath>

#include "platform/dispatch.h"
#include "platform/graphics/arcs.h"
#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"

MBBarProgressView::MBBarProgressView(QWidget* parent) : QWidget(parent), target_(GuiTarget::create(this)) {
  KV_ASSERT_GUI_THREAD();
  setAttribute(Qt::WA_TranslucentBackground);
  resize(120, 20);
}

MBBarProgressView::~MBBarProgressView() { target_->detach(); }

#define KV_ON_GUI_THREAD(call)                          \
  if (!Dispatch::isMainThread()) {                      \
    target_->post([this, v = value] { call(v); });      \
    return;                                             \
  }

void MBBarProgressView::setProgress(float value) {
  KV_ON_GUI_THREAD(setProgress)
  progress_ = value;
  update();
}

void MBBarProgressView::setLineColor(const QColor& value) {
  KV_ON_GUI_THREAD(setLineColor)
  lineColor_ = value;
  update();
}

void MBBarProgressView::setProgressRemainingColor(const QColor& value) {
  KV_ON_GUI_THREAD(setProgressRemainingColor)
  progressRemainingColor_ = value;
  update();
}

void MBBarProgressView::setProgressColor(const QColor& value) {
  KV_ON_GUI_THREAD(setProgressColor)
  progressColor_ = value;
  update();
}

BezierPath MBBarProgressView::outlinePath(qreal W, qreal H) {
  const qreal r = H / 2 - 2;
  BezierPath p;
  p.moveToPoint({2, H / 2});
  appendArcFromPointToPoint(p, {2, 2}, {r + 2, 2}, r);
  p.lineToPoint({W - r - 2, 2});
  appendArcFromPointToPoint(p, {W - 2, 2}, {W - 2, H / 2}, r);
  appendArcFromPointToPoint(p, {W - 2, H - 2}, {W - r - 2, H - 2}, r);
  p.lineToPoint({r + 2, H - 2});
  appendArcFromPointToPoint(p, {2, H - 2}, {2, H / 2}, r);
  return p;
}

BezierPath MBBarProgressView::donePath(qreal W, qreal H, qreal progress) {
  const qreal ri = H / 2 - 2 - 2;
  const qreal a = (std::isfinite(progress) ? progress : 0) * W;
  const qreal left = ri + 4, right = W - ri - 4;
  BezierPath p;
  if (a <= 0) return p;
  auto half = [&](qreal edgeY, qreal endX, bool capped, qreal t) {
    p.moveToPoint({4, H / 2});
    appendArcFromPointToPoint(p, {4, edgeY}, {left, edgeY}, ri);
    if (capped) {
      p.lineToPoint({right, edgeY});
      if (edgeY < H / 2)
        appendArc(p, {right, H / 2}, ri, 180, -t * 180 / M_PI, false);
      else
        appendArc(p, {right, H / 2}, ri, -180, t * 180 / M_PI, true);
      p.lineToPoint({a, H / 2});
    } else {
      p.lineToPoint({endX, edgeY});
      p.lineToPoint({endX, left});
    }
  };
  if (a >= left && a <= right) {
    half(4, a, false, 0);
    half(H - 4, a, false, 0);
  } else if (a > left) {
    qreal t = std::acos((a - right) / ri);
    if (std::isnan(t)) t = 0;
    half(4, 0, true, t);
    half(H - 4, 0, true, t);
  } else {
    // 0 < a < left
    p.moveToPoint({4, H / 2});
    appendArcFromPointToPoint(p, {4, 4}, {left, 4}, ri);
    p.lineToPoint({left, H / 2});
    p.moveToPoint({4, H / 2});
    appendArcFromPointToPoint(p, {4, H - 4}, {left, H - 4}, ri);
    p.lineToPoint({left, H / 2});
  }
  return p;
}

void MBBarProgressView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  GraphicsContext ctx(p, height());
  // At the bounds, not at the rectangle being repainted: a partial repaint must not
  // draw a squeezed bar.
  const qreal W = width(), H = height();
  BezierPath outline = outlinePath(W, H);
  outline.setLineWidth(2);
  ctx.setFillColor(progressRemainingColor_);
  ctx.fill(outline);
  ctx.setStrokeColor(lineColor_);
  ctx.stroke(outline);
  BezierPath done = donePath(W, H, progress_);
  if (!done.isEmpty()) {
    ctx.setFillColor(progressColor_);
    ctx.fill(done);
  }
}
