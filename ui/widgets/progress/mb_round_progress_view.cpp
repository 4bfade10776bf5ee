#include "ui/widgets/progress/mb_round_progress_view.h"

#include <QPainter>

#include <cmath>

#include "platform/dispatch.h"
#include "platform/graphics/arcs.h"
#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"

MBRoundProgressView::MBRoundProgressView(QWidget* parent) : QWidget(parent), target_(GuiTarget::create(this)) {
  KV_ASSERT_GUI_THREAD();
  setAttribute(Qt::WA_TranslucentBackground);
  resize(37, 37);
}

MBRoundProgressView::~MBRoundProgressView() { target_->detach(); }

// Each setter: off the GUI thread, the same call queued to it with the view as context.
#define KV_ON_GUI_THREAD(call)                          \
  if (!Dispatch::isMainThread()) {                      \
    target_->post([this, v = value] { call(v); });      \
    return;                                             \
  }

void MBRoundProgressView::setProgress(float value) {
  KV_ON_GUI_THREAD(setProgress)
  progress_ = value;
  update();
}

void MBRoundProgressView::setAnnular(bool value) {
  KV_ON_GUI_THREAD(setAnnular)
  annular_ = value;
  update();
}

void MBRoundProgressView::setProgressTintColor(const QColor& value) {
  KV_ON_GUI_THREAD(setProgressTintColor)
  progressTintColor_ = value;
  update();
}

void MBRoundProgressView::setBackgroundTintColor(const QColor& value) {
  KV_ON_GUI_THREAD(setBackgroundTintColor)
  backgroundTintColor_ = value;
  update();
}

void MBRoundProgressView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  GraphicsContext ctx(p, height());
  const QRectF B(0, 0, width(), height());
  const QPointF c(B.width() / 2, B.height() / 2);
  const qreal progress = std::isfinite(progress_) ? progress_ : 0;
  if (!annular_) {
    BezierPath disc = BezierPath::bezierPathWithOvalInRect(B.adjusted(2, 2, -2, -2));
    disc.setLineWidth(2);
    ctx.setStrokeColor(progressTintColor_);
    ctx.setFillColor(backgroundTintColor_);
    ctx.fill(disc);
    ctx.stroke(disc);
    BezierPath pie;
    appendPieWedge(pie, c, (B.width() - 4) / 2, 90, 90 - 360 * progress, true);
    ctx.setFillColor(QColor(255, 255, 255, 255));
    ctx.fill(pie);
  } else {
    const qreal r = (B.width() - 5) / 2;
    BezierPath track;
    appendArc(track, c, r, 0, 360, false);
    track.setLineWidth(5);
    track.setLineCapStyle(LineCap::Round);
    ctx.setStrokeColor(backgroundTintColor_);
    ctx.stroke(track);
    BezierPath ring;
    appendArc(ring, c, r, 90, 90 - 360 * progress, true);
    ring.setLineWidth(5);
    ring.setLineCapStyle(LineCap::Round);
    ctx.setStrokeColor(progressTintColor_);
    ctx.stroke(ring);
  }
}
