#include "stylekit/camera_mark_icons.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

struct CameraShape {
  // Inner lens: centre, radius and the split of its arc from the leftmost to the highest point.
  qreal lensX, lensY, lensR;
  QPointF lensSplit;
  // Lens ring: centre, radius and the two splits of its arc from the highest to the leftmost point.
  qreal ringX, ringY, ringR;
  QPointF ringSplit1, ringSplit2;
  // Body box, where its straight edges end (so its corner radii), and the hump.
  qreal left, right, bottom, top, straightLeft, straightBottom;
  qreal humpLeft, humpRight, humpShoulder, humpTop, humpTopLeft;
  QPointF start;
};

constexpr CameraShape kCamera{0.5041, 0.46311, 0.10246, {0.483, 0.5634},
                              0.5, 0.46721, 0.17213, {0.45025, 0.63205}, {0.41725, 0.61818},
                              0.0082, 0.9918, 0.16393, 0.7541, 0.1335, 0.28923,
                              0.27049, 0.7623, 0.81101, 0.83607, 0.29555, {0.75101, 0.83509}};
constexpr CameraShape kLightCamera{0.50403, 0.46804, 0.10070, {0.48329, 0.56626},
                                   0.5, 0.47205, 0.16917, {0.45111, 0.6335}, {0.41867, 0.61993},
                                   0.01667, 0.98333, 0.175, 0.75305, 0.13981, 0.29773,
                                   0.27444, 0.75778, 0.80879, 0.83333, 0.29907, {0.74668, 0.83238}};

BezierPath cameraContours(const QRectF& frame, const CameraShape& k) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  auto angle = [](qreal cx, qreal cy, QPointF q) { return contourAngle(cx, cy, q.x(), q.y()); };
  BezierPath path;

  // Inner lens, clockwise from its rightmost point.
  path.moveToPoint(p(k.lensX + k.lensR, k.lensY));
  const qreal lensSplit = angle(k.lensX, k.lensY, k.lensSplit);
  contourArcTo(path, frame, k.lensX, k.lensY, k.lensR, 0, -90);
  contourArcTo(path, frame, k.lensX, k.lensY, k.lensR, -90, -180);
  contourArcTo(path, frame, k.lensX, k.lensY, k.lensR, -180, lensSplit - 360);
  contourArcTo(path, frame, k.lensX, k.lensY, k.lensR, lensSplit - 360, -270);
  contourArcTo(path, frame, k.lensX, k.lensY, k.lensR, 90, 0);
  path.closePath();

  // Lens ring, counter-clockwise from its highest point.
  path.moveToPoint(p(k.ringX, k.ringY + k.ringR));
  const qreal s1 = angle(k.ringX, k.ringY, k.ringSplit1), s2 = angle(k.ringX, k.ringY, k.ringSplit2);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, 90, s1);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, s1, s2);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, s2, 180);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, 180, 270);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, 270, 360);
  contourArcTo(path, frame, k.ringX, k.ringY, k.ringR, 0, 90);
  path.closePath();

  // Body, clockwise from the hump's top right corner.
  const qreal rx = k.straightLeft - k.left, ry = k.straightBottom - k.bottom;
  const qreal hr = k.humpTop - k.humpShoulder;  // the hump's corner radius (y)
  const qreal hrx = k.humpTopLeft - k.humpLeft;
  const qreal humpCornerX = k.humpRight - hrx;
  path.moveToPoint(p(k.start.x(), k.start.y()));
  contourArcTo(path, frame, humpCornerX, k.humpShoulder, hrx, hr,
               contourAngle(0, 0, (k.start.x() - humpCornerX) / hrx, (k.start.y() - k.humpShoulder) / hr), 0);
  path.lineToPoint(p(k.humpRight, k.top));
  path.lineToPoint(p(k.right - rx, k.top));
  contourArcTo(path, frame, k.right - rx, k.top - ry, rx, ry, 90, 0);
  path.lineToPoint(p(k.right, k.bottom + ry));
  contourArcTo(path, frame, k.right - rx, k.bottom + ry, rx, ry, 0, -90);
  path.lineToPoint(p(k.left + rx, k.bottom));
  contourArcTo(path, frame, k.left + rx, k.bottom + ry, rx, ry, -90, -180);
  path.lineToPoint(p(k.left, k.top - ry));
  contourArcTo(path, frame, k.left + rx, k.top - ry, rx, ry, 180, 90);
  path.lineToPoint(p(k.humpLeft, k.top));
  path.lineToPoint(p(k.humpLeft, k.humpShoulder));
  contourArcTo(path, frame, k.humpTopLeft, k.humpShoulder, hrx, hr, 180, 90);
  path.lineToPoint(p(humpCornerX, k.humpTop));
  contourArcTo(path, frame, humpCornerX, k.humpShoulder, hrx, hr, 90,
               contourAngle(0, 0, (k.start.x() - humpCornerX) / hrx, (k.start.y() - k.humpShoulder) / hr));
  path.closePath();
  return path;
}

}  // namespace

BezierPath KorvalumeCameraMarkIcons::cameraPath(QRectF frame) { return cameraContours(frame, kCamera); }
BezierPath KorvalumeCameraMarkIcons::lightCameraPath(QRectF frame) { return cameraContours(frame, kLightCamera); }

void KorvalumeCameraMarkIcons::drawCameraWithFrame(GraphicsContext& ctx, QRectF frame) {
  BezierPath camera = cameraPath(frame);
  ctx.setFillColor(NamedColor::blackColor());
  ctx.fill(camera);
  camera.setLineWidth(1);
  camera.setLineJoinStyle(LineJoin::Round);
  ctx.setStrokeColor(NamedColor::whiteColor());
  ctx.stroke(camera);
}

void KorvalumeCameraMarkIcons::drawLightCameraWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(lightCameraPath(frame));
}

void KorvalumeCameraMarkIcons::drawCheckMarkWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(0.298, 0.851, 0.392, 1));
  ctx.fill(polygon(frame, {{0.37, 0.15}, {0.93, 0.71}, {0.82, 0.82}, {0.37, 0.37}, {0.21, 0.53}, {0.1, 0.42}}));
}

void KorvalumeCameraMarkIcons::drawXMarkWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor redOrange = colorWithRGBA(1, 0.231, 0.188, 1);
  ctx.setFillColor(redOrange);
  ctx.fill(polygon(frame, {{0.19, 0.26}, {0.75, 0.82}, {0.83, 0.74}, {0.27, 0.18}}));
  ctx.setFillColor(redOrange);
  ctx.fill(polygon(frame, {{0.18, 0.74}, {0.74, 0.18}, {0.82, 0.26}, {0.26, 0.82}}));
}

StyleKitImage KorvalumeCameraMarkIcons::imageOfCameraWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCameraWithFrame);
}
StyleKitImage KorvalumeCameraMarkIcons::imageOfLightCameraWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawLightCameraWithFrame);
}
StyleKitImage KorvalumeCameraMarkIcons::imageOfCheckMarkWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCheckMarkWithFrame);
}
StyleKitImage KorvalumeCameraMarkIcons::imageOfXMarkWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawXMarkWithFrame);
}

void registerCameraMarkIcons(std::vector<IconSample>& out) {
  using K = KorvalumeCameraMarkIcons;
  out.push_back({QStringLiteral("imageOfCameraWithSize:"), [](QSizeF s) { return K::imageOfCameraWithSize(s); }});
  out.push_back({QStringLiteral("imageOfLightCameraWithSize:"), [](QSizeF s) { return K::imageOfLightCameraWithSize(s); }});
  out.push_back({QStringLiteral("imageOfCheckMarkWithSize:"), [](QSizeF s) { return K::imageOfCheckMarkWithSize(s); }});
  out.push_back({QStringLiteral("imageOfXMarkWithSize:"), [](QSizeF s) { return K::imageOfXMarkWithSize(s); }});
}
