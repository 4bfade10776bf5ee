#include "viewer/liveview/af_overlay_view.h"

#include <QPainter>

#include "platform/defaults_keys.h"
#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"
#include "platform/user_defaults.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/sony/sony_focus.h"

namespace {
constexpr uint32_t kSonyHasFocusFlagCode = 0xD213;
constexpr uint32_t kSonyFocusAreaCode = 0xD22C;

}  // namespace

AfOverlayView::AfOverlayView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AfOverlayView::showCanonAfOverlay(const EOS_LiveViewInfoStruct* header) {
  KV_ASSERT_GUI_THREAD();
  if (header) apply(canonAfOverlay(*header, boundsSize()));
}

void AfOverlayView::showCanonAfOverlay(const uint8_t* frame, size_t length) {
  EOS_LiveViewInfoStruct header;
  if (canonReadLiveViewHeader(frame, length, header)) showCanonAfOverlay(&header);
}

void AfOverlayView::showFujiAfOverlayWithLiveViewSize(QSizeF size, uint8_t orientation) {
  KV_ASSERT_GUI_THREAD();
  FujiAfReport report;
  report.inFocus = fujiIsInFocus();
  report.zoomed = camGetLiveViewZoom() != 0;
  float x = 0, y = 0, w = 0, h = 0;
  if (!report.zoomed && fujiGetAfFrame(x, y, w, h) == PTP_RC_OK) report.frame = QRectF(x, y, w, h);
  apply(fujiAfOverlay(report, size, orientation, boundsSize()));
}

void AfOverlayView::showSonyAfOverlay(QSizeF frameSize, const QRectF& focusRect, uint8_t orientation) {
  KV_ASSERT_GUI_THREAD();
  SonyAfReport report;
  report.hasFocusFlag = propCurrentValue(kSonyHasFocusFlagCode);
  report.zoomed = camGetLiveViewZoom() != 0;
  report.focusArea = propCurrentValue(kSonyFocusAreaCode);
  int32_t x = 0, y = 0;
  if ((focusRect.width() == 0 || focusRect.height() == 0) && sonyGetFocusPoint(x, y))
    report.focusPoint = QPoint(x, y);
  report.focusPointTracked = propExists(kSonyFocusPointCode);
  report.rotateLiveView = UserDefaults::standardUserDefaults().boolForKey(kDefaultsRotateLiveView);
  apply(sonyAfOverlay(report, frameSize, focusRect, orientation, boundsSize()));
}

void AfOverlayView::showNikonAfOverlay(uint8_t* record, size_t length, uint8_t orientation) {
  KV_ASSERT_GUI_THREAD();
  apply(nikonAfOverlay(record, length, orientation, boundsSize()));
}

void AfOverlayView::apply(const AfOverlayUpdate& change) {
  switch (change.action) {
    case AfOverlayUpdate::Keep: return;
    case AfOverlayUpdate::Remove: mAfOverlayLayer.reset(); break;
    case AfOverlayUpdate::Replace: mAfOverlayLayer = change.overlay; break;
  }
  update();
}

void AfOverlayView::paintEvent(QPaintEvent*) {
  if (!mAfOverlayLayer) return;
  QPainter p(this);
  afPaintOverlay(p, *mAfOverlayLayer, height());
}

void afPaintOverlay(QPainter& painter, const AfOverlay& overlay, qreal height) {
  painter.setRenderHint(QPainter::Antialiasing);
  GraphicsContext ctx(painter, height);
  ctx.clipToRect(overlay.clip);
  for (const AfBox& box : overlay.boxes) {
    BezierPath path;
    for (const QLineF& s : box.segments) {
      path.moveToPoint(s.p1());
      path.lineToPoint(s.p2());
    }
    path.setLineWidth(kAfLineWidth);
    path.setLineCapStyle(LineCap::Round);
    ctx.setStrokeColor(box.stroke);
    ctx.stroke(path);
  }
}
