#include "stylekit/storage_icons.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

QRectF KorvalumeStorageIcons::databaseBox(QRectF frame) {
  return {frame.x() + 10, frame.y() + 10.01, frame.width() - 20.46, frame.height() - 20.01};
}

void KorvalumeStorageIcons::drawDatabaseWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QRectF box = databaseBox(frame);
  using N = ContourNode;
  constexpr auto L = N::Line;
  BezierPath path;
  {
    FramePen s{box, {}};
    s.moveTo(0.37778, 0.00246);
    s.curveTo(0.02688, 0.1203, 0.21704, 0.02041, 0.07529, 0.06801);
    s.lineTo(0, 0.14934);
    s.lineTo(0, 0.85402);
    s.lineTo(0.03325, 0.88844);
    s.curveTo(0.5, 1, 0.10522, 0.96294, 0.26027, 1);
    s.curveTo(0.96675, 0.88844, 0.73973, 1, 0.89478, 0.96294);
    s.lineTo(1, 0.85402);
    s.lineTo(1, 0.14934);
    s.lineTo(0.97171, 0.11878);
    s.curveTo(0.74626, 0.0209, 0.93608, 0.08029, 0.84219, 0.03953);
    s.curveTo(0.37778, 0.00246, 0.66966, 0.00603, 0.44606, -0.00516);
    s.close();
    path = std::move(s.path);
  }
  // Four holes, counter-clockwise: the three sections of the body and the top face. Each
  // section meets its sides in a kink where its upper edge, the rim above, begins.
  appendContour(path, box,
                {{0.65055, 0.0475}, {0.91685, 0.12909}, {0.95556, 0.23536, L}, {0.95556, 0.31075, L},
                 {0.92296, 0.28965}, {0.50736, 0.20846}, {0.07545, 0.29068, L}, {0.04444, 0.31075, L},
                 {0.04444, 0.23505}, {0.08471, 0.12919}});
  appendContour(path, box,
                {{0.71658, 0.26423}, {0.91944, 0.33613}, {0.95556, 0.44525, L}, {0.95556, 0.52961, L},
                 {0.89722, 0.50137}, {0.5, 0.43629}, {0.10833, 0.49967, L}, {0.04444, 0.52811, L},
                 {0.04444, 0.44804}, {0.0781, 0.3394}, {0.30841, 0.25922}});
  appendContour(path, box,
                {{0.76063, 0.49636}, {0.93379, 0.57236}, {0.95556, 0.66368}, {0.94722, 0.73136, N::Curve, true},
                 {0.5, 0.64109}, {0.05278, 0.73136, N::Curve, true}, {0.04444, 0.66368}, {0.13076, 0.53274},
                 {0.33889, 0.47752}});
  // The top face is the upright ellipse through its five points, counter-clockwise from
  // its lower right.
  constexpr qreal cx = 0.50317, cy = 0.82141, rx = 0.45125, ry = 0.14224;
  const qreal start = std::atan2((0.69916 - cy) / ry, (0.73227 - cx) / rx) * 180 / M_PI;
  path.moveToPoint(framePoint(box, cx + rx * std::cos(start * M_PI / 180), cy + ry * std::sin(start * M_PI / 180)));
  contourArcTo(path, box, cx, cy, rx, ry, start, start + 360);
  path.closePath();
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(path);
}

void KorvalumeStorageIcons::drawFolderWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  FramePen front{frame, {}};
  front.moveTo(0.93525, 0.66);
  front.lineTo(0.06475, 0.66);
  front.curveTo(0.02075, 0.60875, 0.0205, 0.66, 0.01825, 0.637);
  front.lineTo(0.05325, 0.15125);
  front.curveTo(0.106, 0.1, 0.0555, 0.12325, 0.062, 0.1);
  front.lineTo(0.8965, 0.1);
  front.curveTo(0.94925, 0.15125, 0.9415, 0.1, 0.94675, 0.123);
  front.lineTo(0.9795, 0.6145);
  front.curveTo(0.93525, 0.66, 0.98175, 0.6425, 0.9795, 0.66);
  front.close();
  ctx.setFillColor(white);
  ctx.fill(front.path);

  FramePen back{frame, {}};
  back.moveTo(0.9255, 0.78175);
  back.curveTo(0.88775, 0.82, 0.92425, 0.81275, 0.91425, 0.82);
  back.lineTo(0.52975, 0.82);
  back.curveTo(0.4275, 0.8635, 0.47525, 0.82, 0.46875, 0.81925);
  back.curveTo(0.336, 0.9, 0.39325, 0.9005, 0.40675, 0.9);
  back.lineTo(0.14775, 0.9);
  back.curveTo(0.08475, 0.8585, 0.10425, 0.9, 0.08875, 0.90375);
  back.curveTo(0.071, 0.7, 0.081, 0.81675, 0.07225, 0.7155);
  back.lineTo(0.9295, 0.7);
  back.lineTo(0.9255, 0.78175);
  back.close();
  ctx.setFillColor(white);
  ctx.fill(back.path);
}

void KorvalumeStorageIcons::drawDownloadWhiteWithFrame(GraphicsContext& ctx, QRectF frame) {
  FramePen arrow{frame, {}};
  arrow.moveTo(0.50339, 0.28298);
  for (QPointF q : {QPointF(0.35417, 0.45079), QPointF(0.38808, 0.48893), QPointF(0.46948, 0.3974),
                    QPointF(0.46948, 1), QPointF(0.53052, 1), QPointF(0.53052, 0.3974), QPointF(0.61192, 0.48893),
                    QPointF(0.64583, 0.45079), QPointF(0.5, 0.27917)}) {
    arrow.lineTo(q.x(), q.y());
  }
  // Left open: the fill closes it.
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(arrow.path);

  FramePen tray{frame, {}};
  tray.moveTo(0.875, 0.83333);
  for (QPointF q : {QPointF(0.875, 0), QPointF(0.125, 0), QPointF(0.125, 0.83333), QPointF(0.375, 0.83333),
                    QPointF(0.375, 0.78333), QPointF(0.18333, 0.78333), QPointF(0.18333, 0.05833),
                    QPointF(0.825, 0.05833), QPointF(0.825, 0.78333), QPointF(0.625, 0.78333),
                    QPointF(0.625, 0.83333)}) {
    tray.lineTo(q.x(), q.y());
  }
  tray.close();
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(tray.path);
}

StyleKitImage KorvalumeStorageIcons::imageOfSDCardWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSDCardWithFrame);
}
StyleKitImage KorvalumeStorageIcons::imageOfSDCard_NoMarginWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSDCard_NoMarginWithFrame);
}
StyleKitImage KorvalumeStorageIcons::imageOfSdCardWhiteWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSdCardWhiteWithFrame);
}
StyleKitImage KorvalumeStorageIcons::imageOfDatabaseWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawDatabaseWithFrame);
}
StyleKitImage KorvalumeStorageIcons::imageOfFolderWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFolderWithFrame);
}
StyleKitImage KorvalumeStorageIcons::imageOfDownloadWhiteWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawDownloadWhiteWithFrame);
}

void registerStorageIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfSDCardWithSize:"),
                 [](QSizeF s) { return KorvalumeStorageIcons::imageOfSDCardWithSize(s); }});
  out.push_back({QStringLiteral("imageOfSDCard_NoMarginWithSize:"),
                 [](QSizeF s) { return KorvalumeStorageIcons::imageOfSDCard_NoMarginWithSize(s); }});
  // The button has no image method: shown through a plain image of its draw method.
  out.push_back({QStringLiteral("drawSdCardButtonWithFrame:"), [](QSizeF s) {
                   return StyleKitImage::imageWithSize(s, [](GraphicsContext& ctx, QRectF frame) {
                     KorvalumeStorageIcons::drawSdCardButtonWithFrame(ctx, frame);
                     return true;
                   });
                 }});
  out.push_back({QStringLiteral("imageOfSdCardWhiteWithSize:"),
                 [](QSizeF s) { return KorvalumeStorageIcons::imageOfSdCardWhiteWithSize(s); }});
  // Its insets are fixed points, so small images hold almost nothing: the sheet grows the
  // frame by the insets so that the sign fills each image.
  out.push_back({QStringLiteral("drawDatabaseWithFrame: (frame grown by its insets)"), [](QSizeF s) {
                   return StyleKitImage::imageWithSize(s, [](GraphicsContext& ctx, QRectF frame) {
                     KorvalumeStorageIcons::drawDatabaseWithFrame(
                         ctx, frame.adjusted(-10, -10.01, 10.46, 10));
                     return true;
                   });
                 }});
  out.push_back({QStringLiteral("imageOfFolderWithSize:"),
                 [](QSizeF s) { return KorvalumeStorageIcons::imageOfFolderWithSize(s); }});
  out.push_back({QStringLiteral("imageOfDownloadWhiteWithSize:"),
                 [](QSizeF s) { return KorvalumeStorageIcons::imageOfDownloadWhiteWithSize(s); }});
}
