#include "stylekit/prop_image_format_icons.h"

#include <QString>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

void KorvalumePropertiesImageFormatIcons::drawImageFormat_SmoothWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                          double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  // A quarter disc round the bottom-right corner: right side, base, then the arc back up.
  FracPath disc(icon);
  disc.move(0.94163, 0.96491).line(0.94994, 0.96487).line(0.94994, 0.03509).line(0.05, 0.03509);
  disc.arc(0.95, 0.03509, 0.9, 0.92982, 180, 90).line(0.94161, 0.96491).close();
  icon.fill(disc);
}

void KorvalumePropertiesImageFormatIcons::drawImageFormat_CompressedWithFrame(GraphicsContext& ctx,
                                                                              QRectF frame, double r, double g,
                                                                              double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  // Six risers and treads up to the top right, then down the right side; the fill closes it.
  static constexpr qreal risers[][3] = {{0.05347, 0.03509, 0.18301}, {0.2029, 0.18301, 0.33094},
                                        {0.35232, 0.33094, 0.47887}, {0.50174, 0.47887, 0.66906},
                                        {0.65116, 0.66906, 0.81699}, {0.80058, 0.81699, 0.96491}};
  FracPath stairs(icon);
  stairs.move(0.05, 0.03509);
  for (const auto& riser : risers) stairs.line(riser[0], riser[1]).line(riser[0], riser[2]);
  stairs.line(0.95, 0.96491).line(0.95, 0.03509);
  icon.fill(stairs);
}

void KorvalumePropertiesImageFormatIcons::drawImageFormat_RAWWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                       double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  // The letters first, anticlockwise with their counters clockwise, then the clockwise plate:
  // the letters stay empty and their counters filled.
  FracPath mark(icon);
  mark.append(cutOutLetterInBox(icon, QStringLiteral("R"), 0.13817, 0.4, 0.30717, 0.636));
  mark.append(cutOutLetterInBox(icon, QStringLiteral("A"), 0.31917, 0.4, 0.55983, 0.636));
  mark.append(cutOutLetterInBox(icon, QStringLiteral("W"), 0.55517, 0.4, 0.88583, 0.636));
  const qreal rx = 0.06667;  // corner radius in fractions of width and of height alike
  const qreal l = 0.05, rt = 0.95, bt = 0.23333, t = 0.76667;
  mark.move(l + rx, t)
      .line(rt - rx, t)
      .corner(rt, t - rx, rt, t)
      .line(rt, bt + rx)
      .corner(rt - rx, bt, rt, bt)
      .line(l + rx, bt)
      .corner(l, bt + rx, l, bt)
      .line(l, t - rx)
      .corner(l + rx, t, l, t)
      .close();
  icon.fill(mark);
}

StyleKitImage KorvalumePropertiesImageFormatIcons::imageOfImageFormat_SmoothWithSize(QSizeF size, double r,
                                                                                     double g, double b) {
  return imageOfDrawMethod(size, &drawImageFormat_SmoothWithFrame, r, g, b);
}

StyleKitImage KorvalumePropertiesImageFormatIcons::imageOfImageFormat_CompressedWithSize(QSizeF size, double r,
                                                                                         double g, double b) {
  return imageOfDrawMethod(size, &drawImageFormat_CompressedWithFrame, r, g, b);
}

StyleKitImage KorvalumePropertiesImageFormatIcons::imageOfImageFormat_RAWWithSize(QSizeF size, double r,
                                                                                  double g, double b) {
  return imageOfDrawMethod(size, &drawImageFormat_RAWWithFrame, r, g, b);
}

void registerPropImageFormatIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesImageFormatIcons;
  out.push_back({QStringLiteral("imageOfImageFormat_SmoothWithSize:r:g:b:"),
                 [](QSizeF s) { return K::imageOfImageFormat_SmoothWithSize(s, 1, 1, 1); }});
  out.push_back({QStringLiteral("imageOfImageFormat_CompressedWithSize:r:g:b:"),
                 [](QSizeF s) { return K::imageOfImageFormat_CompressedWithSize(s, 1, 1, 1); }});
  out.push_back({QStringLiteral("imageOfImageFormat_RAWWithSize:r:g:b:"),
                 [](QSizeF s) { return K::imageOfImageFormat_RAWWithSize(s, 1, 1, 1); }});
}
