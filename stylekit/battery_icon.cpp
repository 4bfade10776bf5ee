#include "stylekit/battery_icon.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

// Control-point distance of a quarter ellipse, as a share of its radius.
constexpr qreal kQuarter = 0.55228;

struct Outline {
  qreal left, right, bottom, top;  // the body
  qreal radiusX, radiusY;          // of every rounded corner
  qreal capRight, capBottom, capTop;
};

// One contour of body and cap, counter-clockwise from the end of the body's top edge.
BezierPath outlinePath(const QRectF& frame, const Outline& o) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  const qreal rx = o.radiusX, ry = o.radiusY, kx = rx * kQuarter, ky = ry * kQuarter;
  BezierPath path;
  path.moveToPoint(p(o.right - rx, o.top));
  path.lineToPoint(p(o.left + rx, o.top));
  path.curveToPoint(p(o.left, o.top - ry), p(o.left + rx - kx, o.top), p(o.left, o.top - ry + ky));
  path.lineToPoint(p(o.left, o.bottom + ry));
  path.curveToPoint(p(o.left + rx, o.bottom), p(o.left, o.bottom + ry - ky), p(o.left + rx - kx, o.bottom));
  path.lineToPoint(p(o.right - rx, o.bottom));
  path.curveToPoint(p(o.right, o.bottom + ry), p(o.right - rx + kx, o.bottom), p(o.right, o.bottom + ry - ky));
  // The cap, joined square to the body's right side.
  path.lineToPoint(p(o.right, o.capBottom));
  path.lineToPoint(p(o.capRight - rx, o.capBottom));
  path.curveToPoint(p(o.capRight, o.capBottom + ry), p(o.capRight - rx + kx, o.capBottom),
                    p(o.capRight, o.capBottom + ry - ky));
  path.lineToPoint(p(o.capRight, o.capTop - ry));
  path.curveToPoint(p(o.capRight - rx, o.capTop), p(o.capRight, o.capTop - ry + ky),
                    p(o.capRight - rx + kx, o.capTop));
  path.lineToPoint(p(o.right, o.capTop));
  path.lineToPoint(p(o.right, o.top - ry));
  path.curveToPoint(p(o.right - rx, o.top), p(o.right, o.top - ry + ky), p(o.right - rx + kx, o.top));
  path.closePath();
  return path;
}

}  // namespace

BezierPath KorvalumeBatteryIcon::batteryBodyPath(QRectF frame) {
  const Outline inside{0.08806, 0.86251, 0.29, 0.71, 0.04179, 0.03852, 0.90806, 0.3908, 0.6092};
  const Outline outside{0.04806, 0.89806, 0.25, 0.75, 0.04586, 0.04586, 0.94806, 0.37, 0.63};
  BezierPath body = outlinePath(frame, inside);
  body.appendBezierPath(outlinePath(frame, outside).reversed());
  return body;
}

void KorvalumeBatteryIcon::drawBatteryWithFrame(GraphicsContext& ctx, QRectF frame, qreal batteryPercentage,
                                                bool isCharging) {
  const QColor lowCharge = colorWithRGBA(1, 0, 0, 1);
  const QColor normal = colorWithRGBA(0.784, 0.784, 0.784, 1);
  // "Not a number" compares false and so counts as charged.
  const QColor body = batteryPercentage <= 20 ? lowCharge : normal;

  // The bar is placed in points of the context, not of the frame. A width that is not a
  // finite number describes no rectangle, so no bar is drawn for it.
  ctx.setFillColor(body);
  if (std::isfinite(batteryPercentage)) {
    ctx.fill(BezierPath::bezierPathWithRect(QRectF(7, 31, batteryPercentage, 55)));
  }
  ctx.fill(batteryBodyPath(frame));

  if (isCharging) {
    auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
    BezierPath bolt;
    bolt.moveToPoint(p(0.09167, 0.54463));
    bolt.lineToPoint(p(0.42383, 0.54463));
    bolt.lineToPoint(p(0.42383, 0.725));
    bolt.lineToPoint(p(0.9, 0.47064));
    bolt.lineToPoint(p(0.57481, 0.47064));
    bolt.lineToPoint(p(0.57481, 0.28333));
    bolt.lineToPoint(p(0.09167, 0.54463));
    bolt.closePath();
    ctx.setFillColor(NamedColor::greenColor());
    ctx.fill(bolt);
  }
}

StyleKitImage KorvalumeBatteryIcon::imageOfBatteryWithSize(QSizeF size, qreal batteryPercentage, bool isCharging) {
  return imageOfDrawMethod(size, &drawBatteryWithFrame, batteryPercentage, isCharging);
}

void registerBatteryIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfBatteryWithSize:batteryPercentage:isCharging: (50, NO)"),
                 [](QSizeF s) { return KorvalumeBatteryIcon::imageOfBatteryWithSize(s, 50, false); }});
  out.push_back({QStringLiteral("imageOfBatteryWithSize:batteryPercentage:isCharging: (15, YES)"),
                 [](QSizeF s) { return KorvalumeBatteryIcon::imageOfBatteryWithSize(s, 15, true); }});
}
