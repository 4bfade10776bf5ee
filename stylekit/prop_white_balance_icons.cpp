#include "stylekit/prop_white_balance_icons.h"

#include <cmath>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_outline_shapes.h"
#include "stylekit/property_icon_painter.h"

using namespace propshape;

namespace {

using Points = std::vector<QPointF>;

// Points moved or mirrored as a set; mirrored sets of one ray keep its shape.
Points moved(const Points& pts, qreal dx, qreal dy) {
  Points out;
  for (QPointF p : pts) out.push_back({p.x() + dx, p.y() + dy});
  return out;
}
Points mirroredX(const Points& pts, qreal axis, qreal dy = 0) {
  Points out;
  for (QPointF p : pts) out.push_back({2 * axis - p.x(), p.y() + dy});
  return out;
}
Points mirroredY(const Points& pts, qreal axis, qreal dx = 0) {
  Points out;
  for (QPointF p : pts) out.push_back({p.x() + dx, 2 * axis - p.y()});
  return out;
}

// A rectangle of free points (inside a path of several subpaths, where boxes would snap).
BezierPath freeRect(const PropertyIconPainter& icon, qreal x0, qreal y0, qreal x1, qreal y1) {
  return polygon(icon, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// A polygon whose corners are rounded by `radius` (fractions, one per corner).
BezierPath roundedPolygon(const PropertyIconPainter& icon, const Points& v, const std::vector<qreal>& radius) {
  BezierPath path;
  const size_t n = v.size();
  auto toward = [](QPointF from, QPointF to, qreal d) {
    const QPointF t = to - from;
    const qreal l = std::hypot(t.x(), t.y());
    return l > 0 ? from + t * (d / l) : from;
  };
  for (size_t i = 0; i < n; ++i) {
    const QPointF a = toward(v[i], v[(i + n - 1) % n], radius[i]);
    const QPointF b = toward(v[i], v[(i + 1) % n], radius[i]);
    if (i == 0)
      path.moveToPoint(icon.p(a.x(), a.y()));
    else
      path.lineToPoint(icon.p(a.x(), a.y()));
    roundCorner(path, icon, a, v[i], b);
  }
  path.closePath();
  return path;
}

// A right triangle with its right angle at (xv, yb), its slanted side running from `top`
// near the vertical side down to `tip` near the base; the corners are slightly rounded.
// Mirrored about x = axis when `mirror`.
BezierPath wedge(const PropertyIconPainter& icon, qreal xv, qreal yb, QPointF top, QPointF tip, bool mirror,
                 qreal axis) {
  const qreal slope = (tip.x() - top.x()) / (tip.y() - top.y());  // dx per dy along the slant
  const QPointF apex(xv, top.y() + (xv - top.x()) / slope);
  const QPointF point(tip.x() + (yb - tip.y()) * slope, yb);
  const QPointF square(xv, yb);
  Points v = {apex, point, square};
  if (mirror) v = mirroredX(v, axis);
  const qreal ra = std::hypot(apex.x() - top.x(), apex.y() - top.y());
  const qreal rp = std::hypot(point.x() - tip.x(), point.y() - tip.y());
  return roundedPolygon(icon, v, {ra, rp, 0.008});
}

// Letters in a box (fractions) with their counters; the outline comes first.
struct LetterBox {
  qreal x0, x1, y0, y1;
  QPointF at(qreal u, qreal v) const { return {x0 + u * (x1 - x0), y0 + v * (y1 - y0)}; }
};

Points inBox(const LetterBox& box, const Points& unitPts) {
  Points out;
  for (QPointF p : unitPts) out.push_back(box.at(p.x(), p.y()));
  return out;
}

void curveIn(BezierPath& path, const PropertyIconPainter& icon, const LetterBox& box, QPointF end, QPointF c1,
             QPointF c2) {
  const QPointF e = box.at(end.x(), end.y()), a = box.at(c1.x(), c1.y()), b = box.at(c2.x(), c2.y());
  path.curveToPoint(icon.p(e.x(), e.y()), icon.p(a.x(), a.y()), icon.p(b.x(), b.y()));
}

// The plate with the letters A, W and B cut out of it (running against it) and the
// counters of A and B filled again (running with it).
BezierPath awbPlate(const PropertyIconPainter& icon, const BezierPath& plate, const LetterBox& a, const LetterBox& w,
                    const LetterBox& b) {
  BezierPath path;
  appendWound(path, plate, false);
  appendWound(
      path,
      polygon(icon, inBox(a, {{0, 0}, {0.24, 0}, {0.31, 0.22}, {0.69, 0.22}, {0.76, 0}, {1, 0}, {0.62, 1}, {0.38, 1}})),
      true);
  appendWound(path, polygon(icon, inBox(a, {{0.37, 0.4}, {0.63, 0.4}, {0.5, 0.78}})), false);
  appendWound(path,
              polygon(icon, inBox(w, {{0, 1},
                                      {0.19, 1},
                                      {0.3, 0.32},
                                      {0.41, 1},
                                      {0.59, 1},
                                      {0.7, 0.32},
                                      {0.81, 1},
                                      {1, 1},
                                      {0.8, 0},
                                      {0.6, 0},
                                      {0.5, 0.62},
                                      {0.4, 0},
                                      {0.2, 0}})),
              true);
  BezierPath bOutline;
  auto mv = [&](BezierPath& p, QPointF u) {
    const QPointF f = b.at(u.x(), u.y());
    p.moveToPoint(icon.p(f.x(), f.y()));
  };
  auto ln = [&](BezierPath& p, QPointF u) {
    const QPointF f = b.at(u.x(), u.y());
    p.lineToPoint(icon.p(f.x(), f.y()));
  };
  mv(bOutline, {0, 0});
  ln(bOutline, {0, 1});
  ln(bOutline, {0.56, 1});
  curveIn(bOutline, icon, b, {0.93, 0.75}, {0.8, 1}, {0.93, 0.9});
  curveIn(bOutline, icon, b, {0.74, 0.53}, {0.93, 0.62}, {0.85, 0.56});
  curveIn(bOutline, icon, b, {1, 0.27}, {0.9, 0.49}, {1, 0.4});
  curveIn(bOutline, icon, b, {0.6, 0}, {1, 0.1}, {0.84, 0});
  bOutline.closePath();
  appendWound(path, bOutline, true);
  BezierPath upper;
  mv(upper, {0.24, 0.6});
  ln(upper, {0.5, 0.6});
  curveIn(upper, icon, b, {0.68, 0.715}, {0.62, 0.6}, {0.68, 0.65});
  curveIn(upper, icon, b, {0.5, 0.83}, {0.68, 0.79}, {0.62, 0.83});
  ln(upper, {0.24, 0.83});
  upper.closePath();
  appendWound(path, upper, false);
  BezierPath lower;
  mv(lower, {0.24, 0.17});
  ln(lower, {0.54, 0.17});
  curveIn(lower, icon, b, {0.75, 0.3}, {0.68, 0.17}, {0.75, 0.22});
  curveIn(lower, icon, b, {0.54, 0.43}, {0.75, 0.38}, {0.68, 0.43});
  ln(lower, {0.24, 0.43});
  lower.closePath();
  appendWound(path, lower, false);
  return path;
}

// Rays of the fluorescent pictogram, upper right: steep, then flat.
const Points kFluoSteep = {{0.57971, 0.64493}, {0.66667, 0.82609}, {0.7029, 0.80435}, {0.61594, 0.62319}};
const Points kFluoFlat = {{0.68116, 0.65217}, {0.82609, 0.75362}, {0.84783, 0.72464}, {0.7029, 0.62319}};

// The daylight pictogram's upper-right rays.
const Points kSunSteep = {{0.60145, 0.72464}, {0.7029, 0.89855}, {0.74638, 0.86957}, {0.64493, 0.7029}};
const Points kSunFlat = {{0.71014, 0.62624}, {0.875, 0.74638}, {0.89855, 0.70633}, {0.74155, 0.5942}};

// The custom pictograms' wedges share one mirror axis.
constexpr qreal kWedgeAxis = 0.503625;

}  // namespace

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_AutoWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                          double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(awbPlate(icon, roundedPlate(icon, 0.05072, 0.23188, 0.94928, 0.7681, 0.055, 0.055),
                     {0.1558, 0.36594, 0.40217, 0.59783}, {0.37319, 0.66304, 0.40217, 0.60507},
                     {0.69928, 0.8442, 0.40217, 0.60507}));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_CloudyWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                            double r, double g, bool showShadow,
                                                                            double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  BezierPath cloud;
  auto curve = [&](QPointF e, QPointF c1, QPointF c2) {
    cloud.curveToPoint(icon.p(e.x(), e.y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
  };
  cloud.moveToPoint(icon.p(0.15693, 0.23816));
  cloud.lineToPoint(icon.p(0.85572, 0.24524));
  // Right lobe, then the notch down into the top lobe.
  curve({0.92027, 0.37}, {0.895, 0.25}, {0.92027, 0.31});
  curve({0.77, 0.51}, {0.92027, 0.45}, {0.86, 0.51});
  curve({0.69, 0.45}, {0.73, 0.51}, {0.70, 0.48});
  // Top lobe over its peak to the fold.
  curve({0.49325, 0.76812}, {0.71, 0.62}, {0.62, 0.76812});
  curve({0.29, 0.56}, {0.37, 0.76812}, {0.29, 0.68});
  // Left lobe and back to the base.
  curve({0.12693, 0.38}, {0.20, 0.56}, {0.12693, 0.48});
  curve({0.15693, 0.23816}, {0.12693, 0.30}, {0.135, 0.245});
  cloud.closePath();
  icon.fill(cloud);
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_ColorTemperatureWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r, double g,
                                                                                      bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  BezierPath path;
  appendWound(path, roundedPlate(icon, 0.23239, 0.23239, 0.77465, 0.77465, 0.022, 0.022), false);
  appendWound(path,
              polygon(icon, {{0.65845, 0.65141},
                             {0.5669, 0.65141},
                             {0.45423, 0.53169},
                             {0.45423, 0.65141},
                             {0.39085, 0.65141},
                             {0.39085, 0.35563},
                             {0.45423, 0.35563},
                             {0.45423, 0.48944},
                             {0.5669, 0.35563},
                             {0.65845, 0.35563},
                             {0.52465, 0.51056}}),
              true);
  icon.fill(path);
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_CustomWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                            double r, double g, bool showShadow,
                                                                            double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  // Corner radii in points: 3 at any size.
  icon.fill(BezierPath::bezierPathWithRoundedRect(icon.box(0.25362, 0.47101, 0.74638, 0.7971), 3, 3));
  icon.fill(wedge(icon, 0.05797, 0.15217, {0.06437, 0.56199}, {0.46779, 0.15857}, false, 0));
  icon.fill(wedge(icon, 0.05797, 0.15217, {0.06437, 0.56199}, {0.46779, 0.15857}, true, kWedgeAxis));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_DaylightWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                              double r, double g, bool showShadow,
                                                                              double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.32609, 0.32609, 0.67391, 0.67391));
  icon.fill(icon.rectangle(0.47826, 0.74638, 0.52899, 0.94928));
  icon.fill(icon.rectangle(0.47826, 0.05072, 0.52899, 0.25362));
  icon.fill(polygon(icon, kSunSteep, false));
  icon.fill(polygon(icon, kSunFlat, false));
  icon.fill(icon.rectangle(0.74638, 0.47826, 0.94928, 0.52174));
  // Lower right, upper left and lower left: the upper-right pair mirrored, nudged to their
  // places.
  icon.fill(polygon(icon, mirroredY(kSunSteep, 0.5), false));
  icon.fill(polygon(icon, moved(mirroredY(kSunFlat, 0.5), 0, 0.00725), false));
  icon.fill(polygon(icon, moved(mirroredX(kSunSteep, 0.5), 0.00725, 0), false));
  icon.fill(polygon(icon, moved(mirroredX(kSunFlat, 0.5), 0.0145, 0), false));
  icon.fill(icon.rectangle(0.05072, 0.47826, 0.25362, 0.52174));
  icon.fill(polygon(icon, moved(mirroredY(mirroredX(kSunSteep, 0.5), 0.5), 0, 0.00725), false));
  icon.fill(polygon(icon, moved(mirroredY(mirroredX(kSunFlat, 0.5), 0.5), 0.0217, 0.00725), false));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_FlashWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                           double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(polygon(icon,
                    {{0.40343, 0.91304},
                     {0.31159, 0.61224},
                     {0.51197, 0.61224},
                     {0.46188, 0.42842},
                     {0.36169, 0.42842},
                     {0.51197, 0.0942},
                     {0.69565, 0.42842},
                     {0.59546, 0.42842},
                     {0.66226, 0.67909},
                     {0.48693, 0.67909},
                     {0.54537, 0.91304}},
                    false));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_FlourescentWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                 double r, double g, bool showShadow,
                                                                                 double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  BezierPath tube;
  appendWound(tube, freeRect(icon, 0.2029, 0.39855, 0.7971, 0.60145), false);
  appendWound(tube, freeRect(icon, 0.23188, 0.42754, 0.28986, 0.57246), true);
  appendWound(tube, freeRect(icon, 0.71014, 0.42754, 0.76812, 0.57246), true);
  icon.fill(tube);
  icon.fill(icon.rectangle(0.47826, 0.66667, 0.52174, 0.84783));
  icon.fill(icon.rectangle(0.47826, 0.14493, 0.52174, 0.32609));
  // Rays below sit a little lower than a true mirror; those on the left a little right.
  for (const Points* ray : {&kFluoSteep, &kFluoFlat}) {
    icon.fill(polygon(icon, *ray, false));
    icon.fill(polygon(icon, moved(mirroredY(*ray, 0.5), 0, -0.02174), false));
  }
  for (const Points* ray : {&kFluoSteep, &kFluoFlat}) {
    icon.fill(polygon(icon, moved(mirroredX(*ray, 0.5), 0.01449, 0), false));
    icon.fill(polygon(icon, moved(mirroredY(mirroredX(*ray, 0.5), 0.5), 0.01449, -0.02174), false));
  }
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_ShadeWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                           double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  BezierPath house = polygon(icon, {{0.36957, 0.76087},
                                    {0.63768, 0.57971},
                                    {0.55072, 0.57971},
                                    {0.55072, 0.23913},
                                    {0.18841, 0.23913},
                                    {0.18841, 0.57971},
                                    {0.10145, 0.57971}});
  house.appendBezierPath(polygon(icon, {{0.46377, 0.55072}, {0.28261, 0.55072}, {0.28261, 0.4058}, {0.46377, 0.4058}}));
  icon.fill(house);
  icon.fill(polygon(icon, {{0.60145, 0.55072}, {0.91304, 0.23913}, {0.88406, 0.21014}, {0.57246, 0.52174}}, false));
  icon.fill(polygon(icon, {{0.5942, 0.46377}, {0.80435, 0.24638}, {0.77536, 0.21739}, {0.57246, 0.43478}}, false));
  icon.fill(polygon(icon, {{0.60145, 0.36232}, {0.71739, 0.23913}, {0.68841, 0.21739}, {0.57246, 0.34058}}, false));
  icon.fill(polygon(icon, {{0.5942, 0.28261}, {0.63043, 0.23913}, {0.6087, 0.21739}, {0.57246, 0.26087}}, false));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_TungstenWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                              double r, double g, bool showShadow,
                                                                              double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  // The bulb: up the neck's right side, over its rounded top, down the left side and round
  // the globe.
  constexpr qreal kGlobe = 0.14493, kNeck = 0.07971;
  const qreal join = std::sqrt(kGlobe * kGlobe - kNeck * kNeck);
  const qreal a = std::atan2(join, -kNeck) * 180 / M_PI;
  BezierPath bulb;
  bulb.moveToPoint(icon.p(0.5 + kNeck, 0.5 + join));
  bulb.lineToPoint(icon.p(0.57971, 0.74));
  bulb.curveToPoint(icon.p(0.5, 0.77536), icon.p(0.57971, 0.765), icon.p(0.545, 0.77536));
  bulb.curveToPoint(icon.p(0.42029, 0.74), icon.p(0.455, 0.77536), icon.p(0.42029, 0.765));
  bulb.lineToPoint(icon.p(0.5 - kNeck, 0.5 + join));
  arcTo(bulb, icon, {0.5, 0.5}, kGlobe, kGlobe, a, 540 - a);
  bulb.closePath();
  icon.fill(bulb);
  icon.fill(icon.rectangle(0.47826, 0.13043, 0.52174, 0.2971));
  icon.fill(icon.rectangle(0.13768, 0.47826, 0.30435, 0.52174));
  icon.fill(icon.rectangle(0.7029, 0.47826, 0.86957, 0.52174));
  const Points rising = {{0.66, 0.5942}, {0.80435, 0.7029}, {0.82609, 0.67391}, {0.68116, 0.56522}};
  icon.fill(polygon(icon, rising, false));
  icon.fill(polygon(icon, moved(mirroredY(rising, 0.5), 0, -0.00725), false));
  icon.fill(polygon(icon, mirroredX(rising, 0.5), false));
  icon.fill(polygon(icon, moved(mirroredY(mirroredX(rising, 0.5), 0.5), 0, -0.00725), false));
  const Points steep = {{0.57971, 0.33}, {0.66667, 0.18116}, {0.68841, 0.1971}, {0.60145, 0.34783}};
  icon.fill(polygon(icon, steep, false));
  icon.fill(polygon(icon, mirroredX(steep, 0.5), false));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_AutoUnderwaterWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                    double r, double g, bool showShadow,
                                                                                    double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  // The fish: its eye first, against the body; the body clockwise from the nose.
  BezierPath fish;
  BezierPath eye;
  const QPointF eyeCentre(0.24275, 0.33696);
  eye.moveToPoint(icon.p(eyeCentre.x() + 0.03261, eyeCentre.y()));
  arcTo(eye, icon, eyeCentre, 0.03261, 0.03261, 0, 360);
  eye.closePath();
  appendWound(fish, eye, true);
  BezierPath body;
  auto curve = [&](QPointF e, QPointF c1, QPointF c2) {
    body.curveToPoint(icon.p(e.x(), e.y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
  };
  body.moveToPoint(icon.p(0.08696, 0.25685));
  curve({0.4157, 0.4855}, {0.14, 0.40}, {0.28, 0.4855});
  curve({0.72521, 0.34981}, {0.56, 0.4855}, {0.66, 0.40});
  curve({0.92029, 0.46134}, {0.79, 0.30}, {0.86, 0.42});
  curve({0.92029, 0.09098}, {0.905, 0.34}, {0.905, 0.21});
  curve({0.72421, 0.20908}, {0.86, 0.13}, {0.79, 0.25});
  curve({0.4157, 0.05072}, {0.66, 0.12}, {0.56, 0.05072});
  curve({0.08696, 0.25685}, {0.26, 0.05072}, {0.14, 0.12});
  body.closePath();
  appendWound(fish, body, false);
  icon.fill(fish);
  icon.fill(awbPlate(icon, roundedPlate(icon, 0.13043, 0.57246, 0.86957, 0.94926, 0.0222, 0.0222),
                     {0.16188, 0.37007, 0.66665, 0.87414}, {0.3562, 0.62851, 0.66665, 0.87414},
                     {0.65002, 0.82382, 0.66665, 0.87414}));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_AutoNaturalLightWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r, double g,
                                                                                      bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.oval(0.22105, 0.37368, 0.47368, 0.62632));
  icon.fill(icon.rectangle(0.32632, 0.67895, 0.36316, 0.82632));
  icon.fill(icon.rectangle(0.32632, 0.17368, 0.36316, 0.32105));
  icon.fill(polygon(icon, {{0.41579, 0.66316}, {0.48947, 0.78947}, {0.52105, 0.76842}, {0.44737, 0.64737}}, false));
  icon.fill(polygon(icon, {{0.49474, 0.59169}, {0.61447, 0.67895}, {0.63158, 0.64986}, {0.51754, 0.56842}}, false));
  icon.fill(icon.rectangle(0.52632, 0.48421, 0.67368, 0.51579));
  icon.fill(polygon(icon, {{0.41579, 0.33684}, {0.48947, 0.21053}, {0.52105, 0.23158}, {0.44737, 0.35263}}, false));
  icon.fill(polygon(icon, {{0.49474, 0.41357}, {0.61447, 0.32632}, {0.63158, 0.3554}, {0.51754, 0.43684}}, false));
  icon.fill(polygon(icon, {{0.27368, 0.66316}, {0.2, 0.78947}, {0.16842, 0.76842}, {0.24211, 0.64737}}, false));
  icon.fill(polygon(icon, {{0.2, 0.58643}, {0.08026, 0.67368}, {0.06316, 0.6446}, {0.17719, 0.56316}}, false));
  icon.fill(icon.rectangle(0.01579, 0.48421, 0.16316, 0.51579));
  icon.fill(polygon(icon, {{0.16316, 0.23158}, {0.23684, 0.35789}, {0.26842, 0.33684}, {0.19474, 0.21579}}, false));
  icon.fill(polygon(icon, {{0.20526, 0.41357}, {0.08553, 0.32632}, {0.06842, 0.3554}, {0.18246, 0.43684}}, false));
  // The A: counter (counter-clockwise) then outline (clockwise).
  BezierPath letter = polygon(icon, {{0.83421, 0.59737}, {0.78684, 0.46053}, {0.87105, 0.46053}, {0.83421, 0.59211}});
  letter.appendBezierPath(polygon(icon, {{0.87106, 0.66051},
                                         {0.98684, 0.32895},
                                         {0.91316, 0.32895},
                                         {0.89211, 0.40789},
                                         {0.77105, 0.40789},
                                         {0.74474, 0.32895},
                                         {0.67105, 0.32895},
                                         {0.79211, 0.66053},
                                         {0.87105, 0.66053}}));
  icon.fill(letter);
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_PresetWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                            double r, double g, bool showShadow,
                                                                            double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  BezierPath word;
  auto mv = [&](qreal x, qreal y) { word.moveToPoint(icon.p(x, y)); };
  auto ln = [&](qreal x, qreal y) { word.lineToPoint(icon.p(x, y)); };
  const QPointF right(1, 0), left(-1, 0);
  // P, its outline clockwise from the top left, then its counter.
  mv(0.10139, 0.66168);
  ln(0.20852, 0.66168);
  smoothThrough(word, icon,
                {{0.20852, 0.66168},
                 {0.25954, 0.65658},
                 {0.29849, 0.63988},
                 {0.32354, 0.6102},
                 {0.33235, 0.56661},
                 {0.32214, 0.5207},
                 {0.29455, 0.49078},
                 {0.25397, 0.47432},
                 {0.20481, 0.46922}},
                right, left);
  ln(0.15983, 0.46922);
  ln(0.15983, 0.33333);
  ln(0.10139, 0.33333);
  word.closePath();
  mv(0.20064, 0.51838);
  smoothThrough(word, icon,
                {{0.20064, 0.51838},
                 {0.228, 0.52046},
                 {0.25119, 0.52788},
                 {0.26742, 0.54249},
                 {0.27345, 0.56661},
                 {0.26742, 0.59003},
                 {0.25142, 0.60417},
                 {0.2287, 0.6109},
                 {0.20249, 0.61252}},
                right, left);
  ln(0.15983, 0.61252);
  ln(0.15983, 0.51838);
  word.closePath();
  // R: the bowl meets the leg at a corner.
  mv(0.38429, 0.66168);
  ln(0.49838, 0.66168);
  smoothThrough(word, icon,
                {{0.49838, 0.66168},
                 {0.54336, 0.65681},
                 {0.58209, 0.64081},
                 {0.60922, 0.61159},
                 {0.61942, 0.56754},
                 {0.59925, 0.50933},
                 {0.54429, 0.47896}},
                right);
  ln(0.63194, 0.33333);
  ln(0.56145, 0.33333);
  ln(0.48539, 0.47246);
  ln(0.44272, 0.47246);
  ln(0.44272, 0.33333);
  ln(0.38429, 0.33333);
  word.closePath();
  mv(0.49049, 0.52023);
  smoothThrough(word, icon,
                {{0.49049, 0.52023},
                 {0.51554, 0.52209},
                 {0.53803, 0.52904},
                 {0.55449, 0.54365},
                 {0.56099, 0.568},
                 {0.55496, 0.59003},
                 {0.53965, 0.60371},
                 {0.51855, 0.61067},
                 {0.49559, 0.61252}},
                right, left);
  ln(0.44272, 0.61252);
  ln(0.44272, 0.52023);
  word.closePath();
  word.appendBezierPath(polygon(icon, {{0.676, 0.66168},
                                       {0.89351, 0.66168},
                                       {0.89351, 0.61067},
                                       {0.73443, 0.61067},
                                       {0.73443, 0.52719},
                                       {0.88516, 0.52719},
                                       {0.88516, 0.47803},
                                       {0.73443, 0.47803},
                                       {0.73443, 0.38528},
                                       {0.90186, 0.38528},
                                       {0.90186, 0.33333},
                                       {0.676, 0.33333}}));
  icon.fill(word);
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_AutoWWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                           double g, bool showShadow, double b,
                                                                           double fontSize) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.drawMeasuredText(QStringLiteral("W"), icon.box(0.68667, 0.37333, 0.98667, 0.62667),
                        QStringLiteral("AvenirNext-Regular"), fontSize + 6, 2);
  icon.fill(awbPlate(icon, roundedPlate(icon, 0.00667, 0.28, 0.67333, 0.72, 0.0102, 0.0102),
                     {0.01533, 0.2172, 0.42, 0.6088}, {0.21027, 0.4836, 0.42, 0.6088},
                     {0.50307, 0.65027, 0.42, 0.6088}));
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_FlourescentTextWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                     double r, double g,
                                                                                     bool showShadow, double b,
                                                                                     double fontSize,
                                                                                     QString bracketTopText) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  // Tube, windows and the ten rays in one path; rays below mirror those above about the
  // tube's rays' middle.
  constexpr qreal kBelow = 0.481885, kSide = 0.33333;
  BezierPath path;
  appendWound(path, freeRect(icon, 0.08079, 0.40019, 0.57385, 0.56962), false);
  appendWound(path, freeRect(icon, 0.10484, 0.4244, 0.15294, 0.54542), true);
  appendWound(path, freeRect(icon, 0.5017, 0.4244, 0.5498, 0.54542), true);
  const Points vertical = {{0.30928, 0.62408}, {0.30928, 0.77536}, {0.34536, 0.77536}, {0.34536, 0.62408}};
  const Points steep = {{0.39346, 0.62874}, {0.46611, 0.75721}, {0.49568, 0.74045}, {0.42303, 0.61198}};
  const Points flat = {{0.47764, 0.6108}, {0.5784, 0.71485}, {0.5979, 0.69183}, {0.49714, 0.58778}};
  for (const Points& ray : {vertical, steep, flat, mirroredX(steep, kSide), mirroredX(flat, kSide)}) {
    appendWound(path, polygon(icon, ray), false);
    appendWound(path, polygon(icon, mirroredY(ray, kBelow)), false);
  }
  icon.fill(path);
  icon.drawMeasuredText(bracketTopText, icon.box(0.6087, 0.36232, 1, 0.60868), QStringLiteral("Arial-BoldMT"), fontSize,
                        1.5);
}

void KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_CustomTextWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                                double r, double g, bool showShadow,
                                                                                double b, double fontSize,
                                                                                QString bracketTopText) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  // Card and wedges in one path, the card's corners scaling with the frame.
  BezierPath path;
  appendWound(path, roundedPlate(icon, 0.26988, 0.64525, 0.73059, 0.94203, 0.031, 0.030), false);
  appendWound(path, wedge(icon, 0.08696, 0.35507, {0.09294, 0.72805}, {0.47012, 0.36089}, false, 0), false);
  appendWound(path, wedge(icon, 0.08696, 0.35507, {0.09294, 0.72805}, {0.47012, 0.36089}, true, kWedgeAxis), false);
  icon.fill(path);
  icon.drawMeasuredText(bracketTopText, icon.box(0, 0.02899, 1, 0.27535), QStringLiteral("Arial-BoldMT"), fontSize,
                        1.5);
}

#define KV_PROP_WB_IMAGE(Name)                                                                                         \
  StyleKitImage KorvalumePropertiesWhiteBalanceIcons::imageOf##Name##WithSize(QSizeF size, double r, double g,         \
                                                                              bool showShadow, double b) {             \
    return imageOfDrawMethod(size, &KorvalumePropertiesWhiteBalanceIcons::draw##Name##WithFrame, r, g, showShadow, b); \
  }

KV_PROP_WB_IMAGE(WhiteBalance_Auto)
KV_PROP_WB_IMAGE(WhiteBalance_Cloudy)
KV_PROP_WB_IMAGE(WhiteBalance_ColorTemperature)
KV_PROP_WB_IMAGE(WhiteBalance_Custom)
KV_PROP_WB_IMAGE(WhiteBalance_Daylight)
KV_PROP_WB_IMAGE(WhiteBalance_Flash)
KV_PROP_WB_IMAGE(WhiteBalance_Flourescent)
KV_PROP_WB_IMAGE(WhiteBalance_Shade)
KV_PROP_WB_IMAGE(WhiteBalance_Tungsten)
KV_PROP_WB_IMAGE(WhiteBalance_AutoUnderwater)
KV_PROP_WB_IMAGE(WhiteBalance_AutoNaturalLight)
KV_PROP_WB_IMAGE(WhiteBalance_Preset)

#undef KV_PROP_WB_IMAGE

StyleKitImage KorvalumePropertiesWhiteBalanceIcons::imageOfWhiteBalance_AutoWWithSize(QSizeF size, double r, double g,
                                                                                      bool showShadow, double b,
                                                                                      double fontSize) {
  return imageOfDrawMethod(size, &KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_AutoWWithFrame, r, g,
                           showShadow, b, fontSize);
}

StyleKitImage KorvalumePropertiesWhiteBalanceIcons::imageOfWhiteBalance_FlourescentTextWithSize(
    QSizeF size, double r, double g, bool showShadow, double b, double fontSize, QString bracketTopText) {
  return imageOfDrawMethod(size, &KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_FlourescentTextWithFrame, r, g,
                           showShadow, b, fontSize, std::move(bracketTopText));
}

StyleKitImage KorvalumePropertiesWhiteBalanceIcons::imageOfWhiteBalance_CustomTextWithSize(QSizeF size, double r,
                                                                                           double g, bool showShadow,
                                                                                           double b, double fontSize,
                                                                                           QString bracketTopText) {
  return imageOfDrawMethod(size, &KorvalumePropertiesWhiteBalanceIcons::drawWhiteBalance_CustomTextWithFrame, r, g,
                           showShadow, b, fontSize, std::move(bracketTopText));
}

void registerPropWhiteBalanceIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesWhiteBalanceIcons;
  const struct {
    const char* name;
    StyleKitImage (*image)(QSizeF, double, double, bool, double);
  } icons[] = {
      {"WhiteBalance_Auto", &K::imageOfWhiteBalance_AutoWithSize},
      {"WhiteBalance_Cloudy", &K::imageOfWhiteBalance_CloudyWithSize},
      {"WhiteBalance_ColorTemperature", &K::imageOfWhiteBalance_ColorTemperatureWithSize},
      {"WhiteBalance_Custom", &K::imageOfWhiteBalance_CustomWithSize},
      {"WhiteBalance_Daylight", &K::imageOfWhiteBalance_DaylightWithSize},
      {"WhiteBalance_Flash", &K::imageOfWhiteBalance_FlashWithSize},
      {"WhiteBalance_Flourescent", &K::imageOfWhiteBalance_FlourescentWithSize},
      {"WhiteBalance_Shade", &K::imageOfWhiteBalance_ShadeWithSize},
      {"WhiteBalance_Tungsten", &K::imageOfWhiteBalance_TungstenWithSize},
      {"WhiteBalance_AutoUnderwater", &K::imageOfWhiteBalance_AutoUnderwaterWithSize},
      {"WhiteBalance_AutoNaturalLight", &K::imageOfWhiteBalance_AutoNaturalLightWithSize},
      {"WhiteBalance_Preset", &K::imageOfWhiteBalance_PresetWithSize},
  };
  for (const auto& icon : icons) {
    const auto image = icon.image;
    out.push_back({QStringLiteral("imageOf%1WithSize:r:g:showShadow:b: (white)").arg(QLatin1String(icon.name)),
                   [image](QSizeF s) { return image(s, 1, 1, false, 1); }});
    out.push_back({QStringLiteral("imageOf%1WithSize:r:g:showShadow:b: (shadow)").arg(QLatin1String(icon.name)),
                   [image](QSizeF s) { return image(s, 1, 1, true, 1); }});
  }
  // The white-balance visual's font sizes: 0.15 h for AutoW, h / 3 for the texts.
  out.push_back({QStringLiteral("imageOfWhiteBalance_AutoWWithSize:r:g:showShadow:b:fontSize: (0.15 h)"),
                 [](QSizeF s) { return K::imageOfWhiteBalance_AutoWWithSize(s, 1, 1, false, 1, 0.15f * s.height()); }});
  out.push_back(
      {QStringLiteral("imageOfWhiteBalance_FlourescentTextWithSize:... (h / 3, \"+1\", shadow)"), [](QSizeF s) {
         return K::imageOfWhiteBalance_FlourescentTextWithSize(s, 1, 1, true, 1, s.height() / 3.0,
                                                               QStringLiteral("+1"));
       }});
  out.push_back({QStringLiteral("imageOfWhiteBalance_CustomTextWithSize:... (h / 3, \"2\")"), [](QSizeF s) {
                   return K::imageOfWhiteBalance_CustomTextWithSize(s, 1, 1, false, 1, s.height() / 3.0,
                                                                    QStringLiteral("2"));
                 }});
}
