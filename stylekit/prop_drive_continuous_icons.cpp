#include "stylekit/prop_drive_continuous_icons.h"

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_outline_shapes.h"
#include "stylekit/property_icon_painter.h"

using propshape::polygon;

namespace {

// The hollow front frame and the right and bottom edges of the two frames behind it.
void fillFrames(PropertyIconPainter& icon) {
  BezierPath front = polygon(icon, {{0.64542, 0.93596}, {0.06792, 0.93596}, {0.06792, 0.53737}, {0.64542, 0.53737}});
  front.appendBezierPath(
      polygon(icon, {{0.68667, 0.97331}, {0.68667, 0.5}, {0.02667, 0.5}, {0.02667, 0.97333}, {0.68667, 0.97333}}));
  icon.fill(front);
  icon.fill(polygon(icon, {{0.83333, 0.83333},
                           {0.83333, 0.36},
                           {0.19333, 0.36},
                           {0.19333, 0.39333},
                           {0.79333, 0.39333},
                           {0.79333, 0.83333}}));
  icon.fill(polygon(icon, {{0.97333, 0.69333},
                           {0.97333, 0.22},
                           {0.33333, 0.22},
                           {0.33333, 0.25333},
                           {0.93333, 0.25333},
                           {0.93333, 0.69333}}));
}

}  // namespace

void KorvalumePropertiesDriveContinuousIcons::drawDriveMode_ContinuousHighPlusWithFrame(GraphicsContext& ctx,
                                                                                        QRectF frame, double r,
                                                                                        double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  fillFrames(icon);
  icon.fill(polygon(icon, {{0.81333, 0.2},
                           {0.81333, 0.03333},
                           {0.77333, 0.03333},
                           {0.77333, 0.1},
                           {0.72, 0.1},
                           {0.72, 0.03333},
                           {0.68, 0.03333},
                           {0.68, 0.2},
                           {0.72, 0.2},
                           {0.72, 0.14},
                           {0.77333, 0.14},
                           {0.77333, 0.2}}));
  icon.fill(icon.rectangle(0.88667, 0.04667, 0.92667, 0.18));
  icon.fill(icon.rectangle(0.84, 0.09333, 0.97333, 0.13333));
}

void KorvalumePropertiesDriveContinuousIcons::drawDriveMode_ContinuousMediumWithFrame(GraphicsContext& ctx,
                                                                                      QRectF frame, double r, double g,
                                                                                      double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  fillFrames(icon);
  icon.fill(polygon(icon, {{0.78, 0.02},
                           {0.78, 0.19657},
                           {0.84091, 0.19657},
                           {0.87748, 0.07613},
                           {0.91363, 0.19657},
                           {0.97468, 0.19657},
                           {0.97468, 0.02},
                           {0.93687, 0.02},
                           {0.93687, 0.15899},
                           {0.89686, 0.02},
                           {0.85768, 0.02},
                           {0.81781, 0.15899},
                           {0.81781, 0.02}}));
}

StyleKitImage KorvalumePropertiesDriveContinuousIcons::imageOfDriveMode_ContinuousHighPlusWithSize(QSizeF size,
                                                                                                   double r, double g,
                                                                                                   double b) {
  return imageOfDrawMethod(size, &KorvalumePropertiesDriveContinuousIcons::drawDriveMode_ContinuousHighPlusWithFrame, r,
                           g, b);
}

StyleKitImage KorvalumePropertiesDriveContinuousIcons::imageOfDriveMode_ContinuousMediumWithSize(QSizeF size, double r,
                                                                                                 double g, double b) {
  return imageOfDrawMethod(size, &KorvalumePropertiesDriveContinuousIcons::drawDriveMode_ContinuousMediumWithFrame, r,
                           g, b);
}

void registerPropDriveContinuousIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesDriveContinuousIcons;
  out.push_back({QStringLiteral("imageOfDriveMode_ContinuousHighPlusWithSize:r:g:b: (white)"),
                 [](QSizeF s) { return K::imageOfDriveMode_ContinuousHighPlusWithSize(s, 1, 1, 1); }});
  out.push_back({QStringLiteral("imageOfDriveMode_ContinuousMediumWithSize:r:g:b: (white)"),
                 [](QSizeF s) { return K::imageOfDriveMode_ContinuousMediumWithSize(s, 1, 1, 1); }});
}
