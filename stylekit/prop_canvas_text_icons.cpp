#include "stylekit/prop_canvas_text_icons.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/named_colors.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_drive_mode_figures.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

namespace {

const QRectF kCanvas1(0, 0, 240, 120);

}  // namespace

QRectF applyResizingMode(int64_t resizing, QRectF rect, QRectF target) {
  if (rect == target || target == QRectF()) return rect;
  qreal sx = 1, sy = 1;
  if (resizing != 3) {
    sx = std::abs(target.width() / rect.width());
    sy = std::abs(target.height() / rect.height());
    if (resizing == 0) sx = sy = std::min(sx, sy);
    else if (resizing == 1) sx = sy = std::max(sx, sy);
  }
  QRectF result = rect.normalized();
  result.setWidth(result.width() * sx);
  result.setHeight(result.height() * sy);
  result.moveTo(target.x() + (target.width() - result.width()) * 0.5,
                target.y() + (target.height() - result.height()) * 0.5);
  return result;
}

void KorvalumePropertiesCanvasTextIcons::drawCanvas1(GraphicsContext& ctx) { drawCanvas1WithFrame(ctx, kCanvas1, 0); }

void KorvalumePropertiesCanvasTextIcons::drawCanvas1WithFrame(GraphicsContext& ctx, QRectF targetFrame,
                                                              int64_t resizing) {
  // The canvas holds no shapes: it maps itself into the frame and leaves the context as it was.
  ctx.saveGraphicsState();
  const QRectF r = applyResizingMode(resizing, kCanvas1, targetFrame);
  ctx.translate(r.x(), r.y());
  ctx.scale(r.width() / kCanvas1.width(), r.height() / kCanvas1.height());
  ctx.restoreGraphicsState();
}

void KorvalumePropertiesCanvasTextIcons::drawCanvas2WithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                              double b, double fontSize) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(drive_mode::smallDial(icon));
  // The label's box is fixed in points from the frame's top-left corner.
  const QRectF box(frame.x() + 97, frame.y() + frame.height() - 143, 46, 37);
  icon.drawFixedText(QStringLiteral("10\t"), box, QStringLiteral("Arial-BoldMT"), fontSize, 3);
}

void KorvalumePropertiesCanvasTextIcons::drawCustomStringWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                   double g, double b, double fontSize,
                                                                   QString customText) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.drawMeasuredText(customText, icon.box(0, 0, 1, 1), QStringLiteral("Arial-BoldMT"), fontSize, 1.5);
}

void KorvalumePropertiesCanvasTextIcons::drawImageFormate_FujiWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                        double r, double g, double b,
                                                                        double fontSize, QString customText) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  // Straight sides; top and bottom edges bulge outward, highest and lowest at x 0.50417.
  FracPath badge(icon);
  badge.move(0.05417, 0.67083).line(0.05417, 0.32083);
  badge.curve(0.50417, 0.22917, 0.05417, 0.32083, 0.0625, 0.22917);
  badge.curve(0.94583, 0.32083, 0.94583, 0.22917, 0.94583, 0.32083);
  badge.line(0.94583, 0.67083);
  badge.curve(0.50417, 0.7625, 0.94583, 0.67083, 0.95417, 0.7625);
  badge.curve(0.05417, 0.67083, 0.05417, 0.7625, 0.05417, 0.67083);
  badge.close();
  icon.fill(badge);
  const QRectF box(frame.x() + 7, frame.y() + frame.height() - 86, 107, 51);
  icon.drawMeasuredText(customText, box, QStringLiteral("AvenirNext-DemiBold"), fontSize, 1,
                        NamedColor::blackColor());
}

StyleKitImage KorvalumePropertiesCanvasTextIcons::imageOfImageFormate_FujiWithSize(QSizeF size, double r, double g,
                                                                                   double b, double fontSize,
                                                                                   QString customText) {
  return imageOfDrawMethod(size, &drawImageFormate_FujiWithFrame, r, g, b, fontSize, std::move(customText));
}

void registerPropCanvasTextIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesCanvasTextIcons;
  // The badge's text box is fixed in points for a frame about 120 x 120.
  out.push_back({QStringLiteral("imageOfImageFormate_FujiWithSize:...:customText: (\"FINE\", 0.2 h)"),
                 [](QSizeF s) {
                   return K::imageOfImageFormate_FujiWithSize(s, 1, 1, 1, 0.2 * s.height(), QStringLiteral("FINE"));
                 }});
  out.push_back({QStringLiteral("drawCanvas2WithFrame:r:g:b:fontSize: (0.2 h)"), [](QSizeF s) {
                   return imageOfDrawMethod(s, &K::drawCanvas2WithFrame, 1.0, 1.0, 1.0, 0.2 * s.height());
                 }});
  out.push_back({QStringLiteral("drawCustomStringWithFrame:...:customText: (\"ISO\", 0.4 h)"), [](QSizeF s) {
                   return imageOfDrawMethod(s, &K::drawCustomStringWithFrame, 1.0, 1.0, 1.0, 0.4 * s.height(),
                                            QStringLiteral("ISO"));
                 }});
}
