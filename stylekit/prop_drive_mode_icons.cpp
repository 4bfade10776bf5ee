#include "stylekit/prop_drive_mode_icons.h"

#include <QString>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_drive_mode_figures.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

using namespace drive_mode;

namespace {

// Front frame and the two wide-step edges behind it.
void paintWideStack(PropertyIconPainter& icon) {
  icon.fill(frontFrame(icon));
  icon.fill(wideStepEdge(icon, 0));
  icon.fill(wideStepEdge(icon, 0.14));
}

void paintNarrowStackWithS(PropertyIconPainter& icon, qreal sdx, qreal sdy) {
  icon.fill(frontFrame(icon));
  icon.fill(narrowStepEdge(icon, 0));
  icon.fill(narrowStepEdge(icon, 0.12));
  icon.fill(letterS(icon, sdx, sdy));
}

// The square ring round the whole frame.
BezierPath quietRing(const PropertyIconPainter& icon) {
  FracPath p(icon);
  p.rect(0.02667, 0.02667, 0.97333, 0.97333, true);
  p.rect(0.07333, 0.07333, 0.92667, 0.92667, false);
  return p;
}

// The Q: clockwise ring with an anticlockwise counter, and a clockwise tail running down to
// the right that notches the counter.
BezierPath letterQ(const PropertyIconPainter& icon, qreal dx, qreal dy) {
  FracPath p(icon);
  p.arc(0.5 + dx, 0.51333 + dy, 0.3, 0.32, 90, -270).close();
  p.arc(0.5 + dx, 0.51333 + dy, 0.20667, 0.22667, 90, 450).close();
  p.polygon({{0.54, 0.34667}, {0.60667, 0.41333}, {0.78, 0.24}, {0.71333, 0.17333}}, {dx, dy});
  return p;
}

// One bar of the remote: square bottom corners, rounded top ones.
BezierPath remoteBar(const PropertyIconPainter& icon, qreal bottom, qreal top) {
  constexpr qreal l = 0.31333, r = 0.68667, rx = 0.03058, ry = 0.02548;
  FracPath p(icon);
  p.move(l, bottom).line(r, bottom).line(r, top - ry).corner(r - rx, top, r, top).line(l + rx, top);
  p.corner(l, top - ry, l, top).close();
  return p;
}

void paintRemote(PropertyIconPainter& icon) {
  icon.fill(remoteBar(icon, 0.69333, 0.76));
  icon.fill(remoteBar(icon, 0.90667, 0.97333));
  icon.fill(remoteBar(icon, 0.8, 0.86667));
  // The body, clockwise with all corners rounded, and its button as an anticlockwise hole.
  constexpr qreal l = 0.31333, r = 0.68667, bt = 0.02667, t = 0.64667, k = 0.03058;
  FracPath body(icon);
  body.move(l + k, t).line(r - k, t).corner(r, t - k, r, t).line(r, bt + k).corner(r - k, bt, r, bt);
  body.line(l + k, bt).corner(l, bt + k, l, bt).line(l, t - k).corner(l + k, t, l, t).close();
  body.arc(0.5, 0.52, 0.06667, 0.06667, 0, 360).close();
  icon.fill(body);
}

}  // namespace

void KorvalumePropertiesDriveModeIcons::drawDriveMode_ContinuousHighSpeedWithFrame(GraphicsContext& ctx,
                                                                                   QRectF frame, double r,
                                                                                   double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintWideStack(icon);
  icon.fill(letterH(icon));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_ContinuousExtendedWithFrame(GraphicsContext& ctx,
                                                                                  QRectF frame, double r,
                                                                                  double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintWideStack(icon);
  icon.fill(letterH(icon));
  icon.fill(icon.rectangle(0.89333, 0.84, 0.93333, 0.97333));
  icon.fill(icon.rectangle(0.84667, 0.88667, 0.98, 0.92667));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_ContinuousLowSpeedWithFrame(GraphicsContext& ctx,
                                                                                  QRectF frame, double r,
                                                                                  double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintWideStack(icon);
  icon.fill(letterL(icon));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_CustomWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                      double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(timerRing(icon, 0.5, 0.66667));
  icon.fill(timer2SecHand(icon));
  icon.fill(timer2SecKnob(icon));
  icon.fill(letterInBox(icon, QStringLiteral("C"), 0.8, 0.04, 0.95946, 0.22));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_DelayRemoteWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                           double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintRemote(icon);
  icon.fill(digitTwo(icon, 0.02, 0.00667));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_QuietContinuousWithFrame(GraphicsContext& ctx,
                                                                               QRectF frame, double r, double g,
                                                                               double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(letterInBox(icon, QStringLiteral("c"), 0.72, 0.1, 0.89279, 0.29333));
  icon.fill(quietRing(icon));
  icon.fill(letterQ(icon, -0.08, 0.04));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_QuietWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                     double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(quietRing(icon));
  icon.fill(letterQ(icon, 0, 0));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_RemoteWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                      double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintRemote(icon);
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_SilentContinuousWithFrame(GraphicsContext& ctx,
                                                                                QRectF frame, double r,
                                                                                double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStackWithS(icon, 0, 0);
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_SilentContinuousHighWithFrame(GraphicsContext& ctx,
                                                                                    QRectF frame, double r,
                                                                                    double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStackWithS(icon, 0.02, 0.00667);
  icon.fill(letterH(icon, -0.04, 0.02));
}

void KorvalumePropertiesDriveModeIcons::drawDriveMode_SilentContinuousLowWithFrame(GraphicsContext& ctx,
                                                                                   QRectF frame, double r,
                                                                                   double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStackWithS(icon, 0, 0);
  icon.fill(letterL(icon, -0.04667, 0.02667));
}

#define KV_DRIVE_MODE_IMAGE(Name)                                                                        \
  StyleKitImage KorvalumePropertiesDriveModeIcons::imageOfDriveMode_##Name##WithSize(QSizeF size, double r, \
                                                                                     double g, double b) { \
    return imageOfDrawMethod(size, &drawDriveMode_##Name##WithFrame, r, g, b);                          \
  }

KV_DRIVE_MODE_IMAGE(ContinuousHighSpeed)
KV_DRIVE_MODE_IMAGE(ContinuousExtended)
KV_DRIVE_MODE_IMAGE(ContinuousLowSpeed)
KV_DRIVE_MODE_IMAGE(Custom)
KV_DRIVE_MODE_IMAGE(DelayRemote)
KV_DRIVE_MODE_IMAGE(QuietContinuous)
KV_DRIVE_MODE_IMAGE(Quiet)
KV_DRIVE_MODE_IMAGE(Remote)
KV_DRIVE_MODE_IMAGE(SilentContinuous)
KV_DRIVE_MODE_IMAGE(SilentContinuousHigh)
KV_DRIVE_MODE_IMAGE(SilentContinuousLow)
#undef KV_DRIVE_MODE_IMAGE

void registerPropDriveModeIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesDriveModeIcons;
#define KV_SAMPLE(Name)                                                  \
  out.push_back({QStringLiteral("imageOfDriveMode_" #Name "WithSize:r:g:b:"), \
                 [](QSizeF s) { return K::imageOfDriveMode_##Name##WithSize(s, 1, 1, 1); }})
  KV_SAMPLE(ContinuousHighSpeed);
  KV_SAMPLE(ContinuousExtended);
  KV_SAMPLE(ContinuousLowSpeed);
  KV_SAMPLE(Custom);
  KV_SAMPLE(DelayRemote);
  KV_SAMPLE(QuietContinuous);
  KV_SAMPLE(Quiet);
  KV_SAMPLE(Remote);
  KV_SAMPLE(SilentContinuous);
  KV_SAMPLE(SilentContinuousHigh);
  KV_SAMPLE(SilentContinuousLow);
#undef KV_SAMPLE
}
