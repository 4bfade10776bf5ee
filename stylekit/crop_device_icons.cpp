#include "stylekit/crop_device_icons.h"

#include <cmath>
#include <initializer_list>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

void KorvalumeCropDeviceIcons::drawCropWithFrame(GraphicsContext& ctx, QRectF frame) {
  // Fixed points: a to the right of the left edge, d below the top edge.
  const qreal left = frame.x(), top = frame.y() + frame.height();
  auto L = [&](std::initializer_list<QPointF> corners) {
    BezierPath path;
    bool first = true;
    for (QPointF c : corners) {
      const QPointF p(left + c.x(), top - c.y());
      if (first) path.moveToPoint(p);
      else path.lineToPoint(p);
      first = false;
    }
    path.closePath();
    return path;
  };
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(L({{64.8, 7.2}, {64.8, 72}, {60, 72}, {60, 12}, {0, 12}, {0, 7.2}}));
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(L({{12, 0}, {12, 60}, {72, 60}, {72, 64.8}, {7.2, 64.8}, {7.2, 0}}));
}

QRectF KorvalumeCropDeviceIcons::deviceRect(QRectF frame, int index) {
  static constexpr qreal kRects[4][4] = {
      {0.045, 0.115, 0.23, 0.775}, {0.885, 0.955, 0.23, 0.775}, {0.095, 0.17, 0.275, 0.345}, {0.835, 0.91, 0.275, 0.345}};
  const auto& r = kRects[index];
  return snappedRect(frame, r[0], r[2], r[1], r[3]);
}

void KorvalumeCropDeviceIcons::drawKorvalumeDeviceWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  // The box: each corner the same bend, turned a quarter further each time. A point of a
  // bend is its corner plus `a` along the edge arriving (negative: before the corner) and
  // `b` along the edge leaving.
  struct Corner {
    QPointF at, in, out;  // corner, direction arriving, direction leaving
  };
  const Corner corners[] = {{{0.865, 0.57}, {1, 0}, {0, -1}},
                            {{0.865, 0.23}, {0, -1}, {-1, 0}},
                            {{0.135, 0.23}, {-1, 0}, {0, 1}},
                            {{0.135, 0.57}, {0, 1}, {1, 0}}};
  auto q = [&](const Corner& c, qreal a, qreal b) {
    const QPointF f = c.at + a * c.in + b * c.out;
    return framePoint(frame, f.x(), f.y());
  };
  BezierPath box;
  box.moveToPoint(framePoint(frame, 0.21143, 0.57));
  for (const Corner& c : corners) {
    box.lineToPoint(q(c, -0.07643, 0));
    box.curveToPoint(q(c, -0.0335, 0.00327), q(c, -0.05442, 0), q(c, -0.04342, 0));
    box.lineToPoint(q(c, -0.03157, 0.00375));
    box.curveToPoint(q(c, -0.00375, 0.03157), q(c, -0.01864, 0.00845), q(c, -0.00845, 0.01864));
    box.curveToPoint(q(c, 0, 0.07643), q(c, 0, 0.04342), q(c, 0, 0.05442));
  }
  box.closePath();
  ctx.setFillColor(white);
  ctx.fill(box);
  for (int i = 0; i < 4; ++i) {
    ctx.setFillColor(white);
    ctx.fill(BezierPath::bezierPathWithRect(deviceRect(frame, i)));
  }
}

StyleKitImage KorvalumeCropDeviceIcons::imageOfCropWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCropWithFrame);
}
StyleKitImage KorvalumeCropDeviceIcons::imageOfKorvalumeDeviceWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawKorvalumeDeviceWithFrame);
}

void registerCropDeviceIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfCropWithSize:"),
                 [](QSizeF s) { return KorvalumeCropDeviceIcons::imageOfCropWithSize(s); }});
  out.push_back({QStringLiteral("imageOfKorvalumeDeviceWithSize:"),
                 [](QSizeF s) { return KorvalumeCropDeviceIcons::imageOfKorvalumeDeviceWithSize(s); }});
}
