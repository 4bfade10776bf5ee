#include "stylekit/prop_tracking_focus_area_icons.h"

#include <QString>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_focus_area_figures.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

using namespace focus_area;

namespace {

BezierPath triangle(const PropertyIconPainter& icon, QPointF a, QPointF b, QPointF c) {
  FracPath p(icon);
  p.polygon({a, b, c});
  return p;
}

// The tracking mark, the flexible-spot picture kept clear of the corner, then the letter.
void paintTrackingSpot(PropertyIconPainter& icon, const BezierPath& letter) {
  paintTrackingMark(icon, 0.04, 0.32);
  FracPath outline(icon);
  outline.polygon({{0.83933, 0.89985}, {0.83933, 0.46406}, {0.78937, 0.46406}, {0.78937, 0.85233}, {0.08996, 0.85233},
                   {0.08996, 0.3453}, {0.65866, 0.34364}, {0.65866, 0.29776}, {0.04, 0.29776}, {0.04, 0.89986},
                   {0.83933, 0.89986}});
  icon.fill(outline);
  icon.fill(icon.oval(0.34667, 0.5, 0.53333, 0.69333));
  icon.fill(triangle(icon, {0.44, 0.81667}, {0.50928, 0.71667}, {0.37072, 0.71667}));
  icon.fill(triangle(icon, {0.44, 0.37667}, {0.37072, 0.47667}, {0.50928, 0.47667}));
  icon.fill(triangle(icon, {0.56011, 0.67049}, {0.56011, 0.52713}, {0.65318, 0.59594}));
  icon.fill(triangle(icon, {0.31922, 0.67049}, {0.31922, 0.52713}, {0.22615, 0.59594}));
  icon.fill(letter);
}

constexpr RingEdges kCentreScreen{0.02436, 0.32009, 0.82898, 0.89876, 0.07464, 0.36577, 0.77869, 0.85307};
constexpr RingEdges kScreen{0.03102, 0.32009, 0.83564, 0.89876, 0.08131, 0.36577, 0.78536, 0.85307};

}  // namespace

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(icon.oval(0.32, 0.48667, 0.51333, 0.68));
  icon.fill(triangle(icon, {0.41667, 0.89}, {0.48884, 0.795}, {0.3445, 0.795}));
  icon.fill(triangle(icon, {0.41667, 0.27667}, {0.3445, 0.37167}, {0.48884, 0.37167}));
  icon.fill(triangle(icon, {0.73889, 0.65556}, {0.73889, 0.51667}, {0.83333, 0.58333}));
  icon.fill(triangle(icon, {0.09444, 0.65556}, {0.09444, 0.51667}, {0, 0.58333}));
  // Top middle, bottom middle, middle right, middle left, top left, bottom left, bottom
  // right, top right.
  constexpr qreal col[3][2] = {{0.18667, 0.24667}, {0.38667, 0.44667}, {0.58667, 0.64}};
  constexpr qreal row[3][2] = {{0.4, 0.45333}, {0.56, 0.62}, {0.71333, 0.76667}};
  constexpr int order[8][2] = {{1, 2}, {1, 0}, {2, 1}, {0, 1}, {0, 2}, {0, 0}, {2, 0}, {2, 2}};
  for (const auto& [c, rw] : order) icon.fill(icon.rectangle(col[c][0], row[rw][0], col[c][1], row[rw][1]));
  FracPath corners(icon);
  corners.polygon({{0.32222, 0.83173}, {0.06181, 0.83173}, {0.06181, 0.68333}, {0.01111, 0.68333}, {0.01111, 0.87778},
                   {0.32222, 0.87778}});
  corners.polygon({{0.51111, 0.87778}, {0.82222, 0.87778}, {0.82222, 0.67778}, {0.77153, 0.67778},
                   {0.77153, 0.83173}, {0.51111, 0.83173}});
  corners.polygon({{0.82222, 0.29444}, {0.51111, 0.29444}, {0.51111, 0.3405}, {0.77153, 0.3405}, {0.77153, 0.48889},
                   {0.82222, 0.48889}});
  corners.polygon({{0.06181, 0.49444}, {0.06181, 0.3405}, {0.32222, 0.3405}, {0.32222, 0.29444}, {0.01111, 0.29444},
                   {0.01111, 0.49444}});
  icon.fill(corners);
  paintExpandedTrackingMark(icon);
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_FlexibleSpotSmallWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintTrackingSpot(icon, letterInBox(icon, QStringLiteral("S"), 0.70256, 0.27372, 0.82078, 0.43538));
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_FlexibleSpotMediumWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  FracPath m(icon);
  m.polygon({{0.68, 0.28667}, {0.68, 0.42667}, {0.73287, 0.42667}, {0.75402, 0.33852}, {0.78046, 0.42667},
             {0.83333, 0.42667}, {0.83333, 0.28667}, {0.80161, 0.28667}, {0.80161, 0.39037}, {0.76989, 0.28667},
             {0.73816, 0.28667}, {0.71172, 0.39037}, {0.71172, 0.28667}});
  paintTrackingSpot(icon, m);
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_FlexibleSpotLargeWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  FracPath l(icon);
  l.polygon({{0.73765, 0.42665}, {0.73765, 0.3152}, {0.80667, 0.3152}, {0.80667, 0.28}, {0.7, 0.28}, {0.7, 0.42667},
             {0.73765, 0.42667}});
  paintTrackingSpot(icon, l);
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_CenterWithFrame(GraphicsContext& ctx,
                                                                                            QRectF frame, double r,
                                                                                            double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintTrackingMark(icon, 0.06667, 0.34667);
  icon.fill(screenRing(icon, kCentreScreen));
  icon.fill(bracket(icon, 0.67467, 0.60853, 0.50382, 0.43582, 0.50196, 0.71689, 0.78302));
  icon.fill(bracket(icon, 0.17867, 0.2448, 0.34951, 0.43582, 0.50196, 0.71689, 0.78302));
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_WideWithFrame(GraphicsContext& ctx,
                                                                                          QRectF frame, double r,
                                                                                          double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintTrackingMark(icon, 0.06667, 0.34667);
  icon.fill(screenRing(icon, kScreen));
  icon.fill(bracket(icon, 0.74196, 0.68072, 0.60418, 0.4744, 0.52584, 0.69301, 0.74444));
  icon.fill(bracket(icon, 0.1192, 0.18043, 0.25698, 0.4744, 0.52584, 0.69301, 0.74444));
  icon.fill(cap(icon, 0.30107, 0.3525, 0.51967, 0.57111, 0.68933, 0.76588, 0.82711));
  icon.fill(cup(icon, 0.30107, 0.3525, 0.51967, 0.57111, 0.38622, 0.44746, 0.524));
}

void KorvalumePropertiesTrackingFocusAreaIcons::drawSony_FocusArea_Tracking_ZoneWithFrame(GraphicsContext& ctx,
                                                                                          QRectF frame, double r,
                                                                                          double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintTrackingMark(icon, 0.06667, 0.34667);
  icon.fill(screenRing(icon, kScreen));
  auto upper = [&](qreal x0, qreal x1, qreal x2, qreal x3) { icon.fill(cap(icon, x0, x1, x2, x3, 0.68382, 0.76649, 0.8216)); };
  auto lower = [&](qreal x0, qreal x1, qreal x2, qreal x3) { icon.fill(cup(icon, x0, x1, x2, x3, 0.40276, 0.45787, 0.54053)); };
  upper(0.33413, 0.38924, 0.4664, 0.52151);
  lower(0.33964, 0.39476, 0.47191, 0.52702);
  upper(0.11369, 0.1688, 0.24596, 0.30107);
  lower(0.1192, 0.17431, 0.25147, 0.30658);
  upper(0.56009, 0.6152, 0.69236, 0.74747);
  lower(0.5656, 0.62071, 0.69787, 0.75298);
}

#define KV_TRACKING_IMAGE(Name)                                                                             \
  StyleKitImage KorvalumePropertiesTrackingFocusAreaIcons::imageOfSony_FocusArea_Tracking_##Name##WithSize( \
      QSizeF size, double r, double g, double b) {                                                          \
    return imageOfDrawMethod(size, &drawSony_FocusArea_Tracking_##Name##WithFrame, r, g, b);               \
  }

KV_TRACKING_IMAGE(ExpandFlexibleSpot)
KV_TRACKING_IMAGE(FlexibleSpotSmall)
KV_TRACKING_IMAGE(FlexibleSpotMedium)
KV_TRACKING_IMAGE(FlexibleSpotLarge)
KV_TRACKING_IMAGE(Center)
KV_TRACKING_IMAGE(Wide)
KV_TRACKING_IMAGE(Zone)
#undef KV_TRACKING_IMAGE

void registerPropTrackingFocusAreaIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesTrackingFocusAreaIcons;
#define KV_SAMPLE(Name)                                                                  \
  out.push_back({QStringLiteral("imageOfSony_FocusArea_Tracking_" #Name "WithSize:r:g:b:"), \
                 [](QSizeF s) { return K::imageOfSony_FocusArea_Tracking_##Name##WithSize(s, 1, 1, 1); }})
  KV_SAMPLE(ExpandFlexibleSpot);
  KV_SAMPLE(FlexibleSpotSmall);
  KV_SAMPLE(FlexibleSpotMedium);
  KV_SAMPLE(FlexibleSpotLarge);
  KV_SAMPLE(Center);
  KV_SAMPLE(Wide);
  KV_SAMPLE(Zone);
#undef KV_SAMPLE
}
