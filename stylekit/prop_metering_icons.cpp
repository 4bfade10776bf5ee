#include "stylekit/prop_metering_icons.h"

#include <cmath>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_outline_shapes.h"
#include "stylekit/property_icon_painter.h"

using namespace propshape;

namespace {

// The kit's three frame rings: outer square, corner and band width.
constexpr RingSquare kStandard{0.09714, 0.90857, 0.09714, 0.90857, 0.04367, {0.01914, 0.00187}, {0.01804, 0.00214}};
constexpr qreal kStandardBand = 0.03429;
constexpr RingSquare kWide{0.08721, 0.91279, 0.08721, 0.91279, 0.04444, {0.01947, 0.0019}, {0.01836, 0.00218}};
constexpr qreal kWideBand = 0.03488;
constexpr RingSquare kSmall{0.01639, 0.79235, 0.11475, 0.89071, 0.04177, {0.0183, 0.00179}, {0.01725, 0.00205}};
constexpr qreal kSmallBand = 0.03279;

// The ring of the split and halved rings.
constexpr QPointF kRingCentre{0.50286, 0.50857};
constexpr qreal kRingOuter = 0.28571;
constexpr qreal kRingInner = 0.20571;

// An arc about c from the angle of one point to that of another, the short way round in the
// given sense; the current point is the first point.
void arcBetween(BezierPath& path, const PropertyIconPainter& icon, QPointF c, qreal radius, QPointF from, QPointF to,
                bool ccw) {
  const qreal a0 = angleOf(c, from);
  qreal a1 = angleOf(c, to);
  if (ccw && a1 < a0) a1 += 360;
  if (!ccw && a1 > a0) a1 -= 360;
  arcTo(path, icon, c, radius, radius, a0, a1);
}

BezierPath closedRing(const PropertyIconPainter& icon, const RingSquare& sq, qreal band) {
  BezierPath path;
  appendClosedRing(path, icon, sq, band);
  return path;
}

BezierPath openedStandardRing(const PropertyIconPainter& icon) {
  BezierPath path;
  appendOpenedRing(path, icon, kStandard, kStandardBand, 0.44571, 0.56571);
  return path;
}

BezierPath openedWideRing(const PropertyIconPainter& icon) {
  BezierPath path;
  appendOpenedRing(path, icon, kWide, kWideBand, 0.44186, 0.56395);
  return path;
}

// The ring's parts above y 0.56571 and below y 0.45714.
BezierPath splitRing(const PropertyIconPainter& icon) {
  BezierPath path;
  path.moveToPoint(icon.p(0.78286, 0.56571));
  path.lineToPoint(icon.p(0.70053, 0.56571));
  arcBetween(path, icon, kRingCentre, kRingInner, {0.70053, 0.56571}, {0.30518, 0.56571}, true);
  path.lineToPoint(icon.p(0.22286, 0.56571));
  arcBetween(path, icon, kRingCentre, kRingOuter, {0.22286, 0.56571}, {0.78286, 0.56571}, false);
  path.closePath();
  path.moveToPoint(icon.p(0.78396, 0.45714));
  arcBetween(path, icon, kRingCentre, kRingOuter, {0.78396, 0.45714}, {0.22176, 0.45714}, false);
  path.lineToPoint(icon.p(0.30362, 0.45714));
  arcBetween(path, icon, kRingCentre, kRingInner, {0.30362, 0.45714}, {0.70209, 0.45714}, true);
  path.closePath();
  return path;
}

// The ring's parts right of x 0.56286 and left of x 0.44857.
BezierPath halvedRing(const PropertyIconPainter& icon) {
  BezierPath path;
  path.moveToPoint(icon.p(0.56286, 0.78798));
  arcBetween(path, icon, kRingCentre, kRingOuter, {0.56286, 0.78798}, {0.56286, 0.22917}, false);
  path.lineToPoint(icon.p(0.56286, 0.31175));
  arcBetween(path, icon, kRingCentre, kRingInner, {0.56286, 0.31175}, {0.56286, 0.7054}, true);
  path.closePath();
  path.moveToPoint(icon.p(0.44857, 0.78913));
  path.lineToPoint(icon.p(0.44857, 0.70704));
  arcBetween(path, icon, kRingCentre, kRingInner, {0.44857, 0.70704}, {0.44857, 0.3101}, true);
  path.lineToPoint(icon.p(0.44857, 0.22801));
  arcBetween(path, icon, kRingCentre, kRingOuter, {0.44857, 0.22801}, {0.44857, 0.78913}, false);
  path.closePath();
  return path;
}

BezierPath sixPointStar(const PropertyIconPainter& icon) {
  return polygon(icon, {{0.89617, 0.89071},
                        {0.91302, 0.82153},
                        {0.98136, 0.84153},
                        {0.92987, 0.79235},
                        {0.98136, 0.74317},
                        {0.91302, 0.76317},
                        {0.89617, 0.69399},
                        {0.87933, 0.76317},
                        {0.81099, 0.74317},
                        {0.86248, 0.79235},
                        {0.81099, 0.84153},
                        {0.87933, 0.82153}});
}

// Four panels around the dot, each cut by an arc about the dot's unsnapped centre.
BezierPath cornerPanels(const PropertyIconPainter& icon) {
  const QPointF dot((0.37143 + 0.64) / 2, (0.37714 + 0.64571) / 2);
  auto cut = [&](BezierPath& path, QPointF from, QPointF to) {
    const QPointF v = from - dot;
    arcBetween(path, icon, dot, std::hypot(v.x(), v.y()), from, to, true);
  };
  BezierPath path;
  // Top left.
  path.moveToPoint(icon.p(0.44571, 0.69927));
  cut(path, {0.44571, 0.69927}, {0.31979, 0.57714});
  path.lineToPoint(icon.p(0.18286, 0.57714));
  path.lineToPoint(icon.p(0.18286, 0.80237));
  roundCorner(path, icon, {0.18286, 0.80237}, {0.18286, 0.82857}, {0.20906, 0.82857});
  path.lineToPoint(icon.p(0.44571, 0.82857));
  path.closePath();
  // Top right.
  path.moveToPoint(icon.p(0.69164, 0.57714));
  cut(path, {0.69164, 0.57714}, {0.57143, 0.69735});
  path.lineToPoint(icon.p(0.57143, 0.82857));
  path.lineToPoint(icon.p(0.79665, 0.82857));
  roundCorner(path, icon, {0.79665, 0.82857}, {0.82286, 0.82857}, {0.82286, 0.80237});
  path.lineToPoint(icon.p(0.82286, 0.57714));
  path.closePath();
  // Bottom right.
  path.moveToPoint(icon.p(0.57143, 0.3255));
  cut(path, {0.57143, 0.3255}, {0.69356, 0.45143});
  path.lineToPoint(icon.p(0.82286, 0.45143));
  path.lineToPoint(icon.p(0.82286, 0.21478));
  roundCorner(path, icon, {0.82286, 0.21478}, {0.82286, 0.18857}, {0.79665, 0.18857});
  path.lineToPoint(icon.p(0.57143, 0.18857));
  path.closePath();
  // Bottom left.
  path.moveToPoint(icon.p(0.31787, 0.45143));
  cut(path, {0.31787, 0.45143}, {0.44571, 0.32358});
  path.lineToPoint(icon.p(0.44571, 0.18857));
  path.lineToPoint(icon.p(0.20906, 0.18857));
  roundCorner(path, icon, {0.20906, 0.18857}, {0.18286, 0.18857}, {0.18286, 0.21478});
  path.lineToPoint(icon.p(0.18286, 0.45143));
  path.closePath();
  return path;
}

// The wide ring without its lower right corner, one outline.
BezierPath wideRingOpenLowerRight(const PropertyIconPainter& icon) {
  const RingSquare inner = kWide.inset(kWideBand);
  BezierPath path;
  const QPointF s = sideStart(kWide, Right, true);
  path.moveToPoint(icon.p(s.x(), s.y()));
  path.lineToPoint(icon.p(0.91279, 0.25581));
  path.lineToPoint(icon.p(0.87791, 0.25581));
  runRing(path, icon, inner, Right, false, 3);
  path.lineToPoint(icon.p(0.77907, 0.12209));
  path.lineToPoint(icon.p(0.77907, 0.08721));
  runRing(path, icon, kWide, Bottom, true, 3);
  path.closePath();
  return path;
}

// The standard ring without its upper right corner, one outline.
BezierPath standardRingOpenUpperRight(const PropertyIconPainter& icon) {
  const RingSquare inner = kStandard.inset(kStandardBand);
  BezierPath path;
  path.moveToPoint(icon.p(0.73143, 0.87429));
  runRing(path, icon, inner, Top, false, 3);
  path.lineToPoint(icon.p(0.87429, 0.71429));
  path.lineToPoint(icon.p(0.90857, 0.71429));
  runRing(path, icon, kStandard, Right, true, 3);
  path.lineToPoint(icon.p(0.73143, 0.90857));
  path.closePath();
  return path;
}

}  // namespace

void KorvalumePropertiesMeteringIcons::drawMeteringMode_EvaluativeWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                            double r, double g, bool showShadow,
                                                                            double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.37143, 0.37143, 0.64, 0.64));
  icon.fill(openedStandardRing(icon));
  icon.fill(splitRing(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_CenterWeightedWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                double r, double g, bool showShadow,
                                                                                double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(openedStandardRing(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_CenterWeighted_NIKONWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r, double g,
                                                                                      bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.37143, 0.37143, 0.64, 0.64));
  icon.fill(halvedRing(icon));
  icon.fill(closedRing(icon, kStandard, kStandardBand));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_HighlightWeightedWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                   double r, double g, bool showShadow,
                                                                                   double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.27869, 0.37705, 0.53552, 0.63388));
  icon.fill(closedRing(icon, kSmall, kSmallBand));
  icon.fill(sixPointStar(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_MultiPatternWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                              double r, double g, bool showShadow,
                                                                              double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.37143, 0.37714, 0.64, 0.64571));
  icon.fill(closedRing(icon, kStandard, kStandardBand));
  icon.fill(cornerPanels(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_PartialWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                         double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(openedStandardRing(icon));
  icon.fill(splitRing(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_SpotWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                      double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.36628, 0.36628, 0.63953, 0.63953));
  icon.fill(openedWideRing(icon));
}

void KorvalumePropertiesMeteringIcons::drawMeteringMode_Spot_NIKONWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                            double r, double g, bool showShadow,
                                                                            double b) {
  // The Nikon selector paints the same picture.
  drawMeteringMode_SpotWithFrame(ctx, frame, r, g, showShadow, b);
}

void KorvalumePropertiesMeteringIcons::drawSony_MeteringMode_SpotLargeWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                double r, double g, bool showShadow,
                                                                                double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.36628, 0.36628, 0.63953, 0.63953));
  icon.fill(polygon(icon, {{0.87483, 0.22674},
                           {0.87483, 0.06767},
                           {0.96512, 0.06767},
                           {0.96512, 0.01744},
                           {0.82558, 0.01744},
                           {0.82558, 0.22674}}));
  icon.fill(wideRingOpenLowerRight(icon));
}

void KorvalumePropertiesMeteringIcons::drawSony_MeteringMode_EntireScreenAverageWithFrame(GraphicsContext& ctx,
                                                                                          QRectF frame, double r,
                                                                                          double g, bool showShadow,
                                                                                          double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(closedRing(icon, kStandard, kStandardBand));
  // Radii in points: they stay 2 at any size.
  icon.fill(BezierPath::bezierPathWithRoundedRect(icon.box(0.18286, 0.18857, 0.82286, 0.82857), 2, 2));
}

void KorvalumePropertiesMeteringIcons::drawSony_MeteringMode_SpotStandardWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                   double r, double g, bool showShadow,
                                                                                   double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.37143, 0.37143, 0.64, 0.64));
  icon.fill(closedRing(icon, kStandard, kStandardBand));
}

void KorvalumePropertiesMeteringIcons::drawSony_MeteringMode_HighlightWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                double r, double g, bool showShadow,
                                                                                double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.37143, 0.37714, 0.64, 0.64571));
  icon.fill(polygon(icon, {{0.88, 0.98857},
                           {0.90645, 0.90074},
                           {0.99429, 0.87429},
                           {0.90645, 0.84783},
                           {0.88, 0.76},
                           {0.85355, 0.84783},
                           {0.76571, 0.87429},
                           {0.85355, 0.90074}}));
  icon.fill(standardRingOpenUpperRight(icon));
}

#define KV_PROP_METERING_IMAGE(Name)                                                                               \
  StyleKitImage KorvalumePropertiesMeteringIcons::imageOf##Name##WithSize(QSizeF size, double r, double g,         \
                                                                          bool showShadow, double b) {             \
    return imageOfDrawMethod(size, &KorvalumePropertiesMeteringIcons::draw##Name##WithFrame, r, g, showShadow, b); \
  }

KV_PROP_METERING_IMAGE(MeteringMode_Evaluative)
KV_PROP_METERING_IMAGE(MeteringMode_CenterWeighted)
KV_PROP_METERING_IMAGE(MeteringMode_CenterWeighted_NIKON)
KV_PROP_METERING_IMAGE(MeteringMode_HighlightWeighted)
KV_PROP_METERING_IMAGE(MeteringMode_MultiPattern)
KV_PROP_METERING_IMAGE(MeteringMode_Partial)
KV_PROP_METERING_IMAGE(MeteringMode_Spot)
KV_PROP_METERING_IMAGE(MeteringMode_Spot_NIKON)
KV_PROP_METERING_IMAGE(Sony_MeteringMode_SpotLarge)
KV_PROP_METERING_IMAGE(Sony_MeteringMode_EntireScreenAverage)
KV_PROP_METERING_IMAGE(Sony_MeteringMode_SpotStandard)
KV_PROP_METERING_IMAGE(Sony_MeteringMode_Highlight)

#undef KV_PROP_METERING_IMAGE

void registerPropMeteringIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesMeteringIcons;
  // White without and with the drop shadow, as the EXIF panel and a highlighted control ask.
  const struct {
    const char* name;
    StyleKitImage (*image)(QSizeF, double, double, bool, double);
  } icons[] = {
      {"MeteringMode_Evaluative", &K::imageOfMeteringMode_EvaluativeWithSize},
      {"MeteringMode_CenterWeighted", &K::imageOfMeteringMode_CenterWeightedWithSize},
      {"MeteringMode_CenterWeighted_NIKON", &K::imageOfMeteringMode_CenterWeighted_NIKONWithSize},
      {"MeteringMode_HighlightWeighted", &K::imageOfMeteringMode_HighlightWeightedWithSize},
      {"MeteringMode_MultiPattern", &K::imageOfMeteringMode_MultiPatternWithSize},
      {"MeteringMode_Partial", &K::imageOfMeteringMode_PartialWithSize},
      {"MeteringMode_Spot", &K::imageOfMeteringMode_SpotWithSize},
      {"MeteringMode_Spot_NIKON", &K::imageOfMeteringMode_Spot_NIKONWithSize},
      {"Sony_MeteringMode_SpotLarge", &K::imageOfSony_MeteringMode_SpotLargeWithSize},
      {"Sony_MeteringMode_EntireScreenAverage", &K::imageOfSony_MeteringMode_EntireScreenAverageWithSize},
      {"Sony_MeteringMode_SpotStandard", &K::imageOfSony_MeteringMode_SpotStandardWithSize},
      {"Sony_MeteringMode_Highlight", &K::imageOfSony_MeteringMode_HighlightWithSize},
  };
  for (const auto& icon : icons) {
    const auto image = icon.image;
    out.push_back({QStringLiteral("imageOf%1WithSize:r:g:showShadow:b: (white)").arg(QLatin1String(icon.name)),
                   [image](QSizeF s) { return image(s, 1, 1, false, 1); }});
    out.push_back({QStringLiteral("imageOf%1WithSize:r:g:showShadow:b: (shadow)").arg(QLatin1String(icon.name)),
                   [image](QSizeF s) { return image(s, 1, 1, true, 1); }});
  }
}
