#include "stylekit/prop_focus_area_icons.h"

#include <QString>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_focus_area_figures.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

using namespace focus_area;

namespace {

constexpr RingEdges kScreen{0.01333, 0.15333, 0.98667, 0.85333, 0.07417, 0.2086, 0.92583, 0.79807};

// The screen band, open at its lower-right corner where the size letter stands.
BezierPath openFrame(const PropertyIconPainter& icon) {
  FracPath p(icon);
  p.polygon({{0.98667, 0.85333}, {0.98667, 0.34667}, {0.92583, 0.34667}, {0.92583, 0.79807}, {0.07417, 0.79807},
             {0.07417, 0.2086}, {0.76667, 0.20667}, {0.76667, 0.15333}, {0.01333, 0.15333}, {0.01333, 0.85333}});
  return p;
}

BezierPath triangle(const PropertyIconPainter& icon, QPointF a, QPointF b, QPointF c) {
  FracPath p(icon);
  p.polygon({a, b, c});
  return p;
}

// Centre dot and the four arrowheads pointing away from it.
void paintSpot(PropertyIconPainter& icon) {
  icon.fill(icon.oval(0.38667, 0.38667, 0.61333, 0.61333));
  icon.fill(triangle(icon, {0.5, 0.75667}, {0.5866, 0.64167}, {0.4134, 0.64167}));
  icon.fill(triangle(icon, {0.5, 0.24333}, {0.4134, 0.35833}, {0.5866, 0.35833}));
  icon.fill(triangle(icon, {0.64667, 0.58667}, {0.64667, 0.42}, {0.76, 0.5}));
  icon.fill(triangle(icon, {0.35333, 0.58667}, {0.35333, 0.42}, {0.24, 0.5}));
}

}  // namespace

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_WideWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                         double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(screenRing(icon, kScreen));
  icon.fill(bracket(icon, 0.87333, 0.79926, 0.70667, 0.34, 0.40222, 0.60444, 0.66667));
  icon.fill(bracket(icon, 0.12, 0.19407, 0.28667, 0.34, 0.40222, 0.60444, 0.66667));
  icon.fill(cap(icon, 0.34, 0.40222, 0.60444, 0.66667, 0.6, 0.69259, 0.76667));
  icon.fill(cup(icon, 0.34, 0.40222, 0.60444, 0.66667, 0.23333, 0.30741, 0.4));
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_ZoneWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                         double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(screenRing(icon, kScreen));
  auto upper = [&](qreal x0, qreal x1, qreal x2, qreal x3) { icon.fill(cap(icon, x0, x1, x2, x3, 0.59333, 0.69333, 0.76)); };
  auto lower = [&](qreal x0, qreal x1, qreal x2, qreal x3) { icon.fill(cup(icon, x0, x1, x2, x3, 0.25333, 0.32, 0.42)); };
  upper(0.38, 0.44667, 0.54, 0.60667);
  lower(0.38667, 0.45333, 0.54667, 0.61333);
  upper(0.11333, 0.18, 0.27333, 0.34);
  lower(0.12, 0.18667, 0.28, 0.34667);
  upper(0.65333, 0.72, 0.81333, 0.88);
  lower(0.66, 0.72667, 0.82, 0.88667);
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_CenterWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                           double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(screenRing(icon, kScreen));
  icon.fill(bracket(icon, 0.8, 0.72, 0.59333, 0.29333, 0.37333, 0.63333, 0.71333));
  icon.fill(bracket(icon, 0.2, 0.28, 0.40667, 0.29333, 0.37333, 0.63333, 0.71333));
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_FlexibleSpotSmallWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r,
                                                                                      double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(openFrame(icon));
  paintSpot(icon);
  icon.fill(letterInBox(icon, QStringLiteral("S"), 0.82013, 0.12538, 0.96408, 0.31333));
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_FlexibleSpotMediumWithFrame(GraphicsContext& ctx,
                                                                                       QRectF frame, double r,
                                                                                       double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(openFrame(icon));
  paintSpot(icon);
  FracPath m(icon);
  m.polygon({{0.79667, 0.13}, {0.79667, 0.31}, {0.86333, 0.31}, {0.89, 0.19667}, {0.92333, 0.31}, {0.99, 0.31},
             {0.99, 0.13}, {0.95, 0.13}, {0.95, 0.26333}, {0.91, 0.13}, {0.87, 0.13}, {0.83667, 0.26333},
             {0.83667, 0.13}});
  icon.fill(m);
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_FlexibleSpotLargeWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r,
                                                                                      double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  FracPath l(icon);
  l.polygon({{0.88471, 0.31333}, {0.88471, 0.17653}, {0.96667, 0.17653}, {0.96667, 0.13333}, {0.84, 0.13333},
             {0.84, 0.31333}});
  icon.fill(l);
  paintSpot(icon);
  icon.fill(openFrame(icon));
}

void KorvalumePropertiesFocusAreaIcons::drawSony_FocusArea_ExpandFlexibleSpotWithFrame(GraphicsContext& ctx,
                                                                                       QRectF frame, double r,
                                                                                       double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(icon.oval(0.38667, 0.38667, 0.61333, 0.61333));
  icon.fill(triangle(icon, {0.5, 0.87}, {0.5866, 0.755}, {0.4134, 0.755}));
  icon.fill(triangle(icon, {0.5, 0.13}, {0.4134, 0.245}, {0.5866, 0.245}));
  icon.fill(triangle(icon, {0.88667, 0.58667}, {0.88667, 0.42}, {1, 0.5}));
  icon.fill(triangle(icon, {0.11333, 0.58667}, {0.11333, 0.42}, {0, 0.5}));
  // The ring of a 3 x 3 grid without its centre: top middle, bottom middle, middle right,
  // middle left, top left, bottom left, bottom right, top right.
  constexpr qreal col[3][2] = {{0.22667, 0.29333}, {0.46667, 0.53333}, {0.7, 0.76667}};
  constexpr qreal row[3][2] = {{0.28, 0.34667}, {0.47333, 0.54}, {0.65333, 0.72}};
  constexpr int order[8][2] = {{1, 2}, {1, 0}, {2, 1}, {0, 1}, {0, 2}, {0, 0}, {2, 0}, {2, 2}};
  for (const auto& [c, rw] : order) icon.fill(icon.rectangle(col[c][0], row[rw][0], col[c][1], row[rw][1]));
  FracPath corners(icon);
  corners.polygon({{0.38667, 0.79807}, {0.07417, 0.79807}, {0.07417, 0.62}, {0.01333, 0.62}, {0.01333, 0.85333},
                   {0.38667, 0.85333}});
  corners.polygon({{0.61333, 0.85333}, {0.98667, 0.85333}, {0.98667, 0.61333}, {0.92583, 0.61333},
                   {0.92583, 0.79807}, {0.61333, 0.79807}});
  corners.polygon({{0.98667, 0.15333}, {0.61333, 0.15333}, {0.61333, 0.2086}, {0.92583, 0.2086}, {0.92583, 0.38667},
                   {0.98667, 0.38667}});
  corners.polygon({{0.07417, 0.39333}, {0.07417, 0.2086}, {0.38667, 0.2086}, {0.38667, 0.15333}, {0.01333, 0.15333},
                   {0.01333, 0.39333}});
  icon.fill(corners);
}

#define KV_FOCUS_AREA_IMAGE(Name)                                                                            \
  StyleKitImage KorvalumePropertiesFocusAreaIcons::imageOfSony_FocusArea_##Name##WithSize(QSizeF size, double r, \
                                                                                          double g, double b) { \
    return imageOfDrawMethod(size, &drawSony_FocusArea_##Name##WithFrame, r, g, b);                           \
  }

KV_FOCUS_AREA_IMAGE(Wide)
KV_FOCUS_AREA_IMAGE(Zone)
KV_FOCUS_AREA_IMAGE(Center)
KV_FOCUS_AREA_IMAGE(FlexibleSpotSmall)
KV_FOCUS_AREA_IMAGE(FlexibleSpotMedium)
KV_FOCUS_AREA_IMAGE(FlexibleSpotLarge)
KV_FOCUS_AREA_IMAGE(ExpandFlexibleSpot)
#undef KV_FOCUS_AREA_IMAGE

void registerPropFocusAreaIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesFocusAreaIcons;
#define KV_SAMPLE(Name)                                                         \
  out.push_back({QStringLiteral("imageOfSony_FocusArea_" #Name "WithSize:r:g:b:"), \
                 [](QSizeF s) { return K::imageOfSony_FocusArea_##Name##WithSize(s, 1, 1, 1); }})
  KV_SAMPLE(Wide);
  KV_SAMPLE(Zone);
  KV_SAMPLE(Center);
  KV_SAMPLE(FlexibleSpotSmall);
  KV_SAMPLE(FlexibleSpotMedium);
  KV_SAMPLE(FlexibleSpotLarge);
  KV_SAMPLE(ExpandFlexibleSpot);
#undef KV_SAMPLE
}
