#include "stylekit/prop_drive_mode_timer_icons.h"

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_drive_mode_figures.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

using namespace drive_mode;

namespace {

const QString kTextFont = QStringLiteral("Arial-BoldMT");
constexpr qreal kTextRaise = 3;  // points, whatever the frame's size

void paintNarrowStack(PropertyIconPainter& icon) {
  icon.fill(frontFrame(icon));
  icon.fill(narrowStepEdge(icon, 0));
  icon.fill(narrowStepEdge(icon, 0.12));
}

// The 0 that ends every frame-rate number.
BezierPath trailingZero(const PropertyIconPainter& icon, qreal left, qreal right) {
  return letterInBox(icon, QStringLiteral("0"), left, 0.04374, right, 0.21917);
}

}  // namespace

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_Continuous30WithFrame(GraphicsContext& ctx,
                                                                                 QRectF frame, double r,
                                                                                 double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStack(icon);
  BezierPath number = letterInBox(icon, QStringLiteral("3"), 0.68236, 0.04374, 0.7965, 0.21917);
  number.appendBezierPath(trailingZero(icon, 0.81689, 0.92845));
  icon.fill(number);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_Continuous60WithFrame(GraphicsContext& ctx,
                                                                                 QRectF frame, double r,
                                                                                 double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStack(icon);
  BezierPath number = letterInBox(icon, QStringLiteral("6"), 0.68353, 0.04374, 0.79826, 0.21917);
  number.appendBezierPath(trailingZero(icon, 0.81689, 0.92845));
  icon.fill(number);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_Continuous120WithFrame(GraphicsContext& ctx,
                                                                                  QRectF frame, double r,
                                                                                  double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  paintNarrowStack(icon);
  // The flat-footed 1 and 2 stand on the base line; the round 0 overshoots it a little.
  BezierPath number = letterInBox(icon, QStringLiteral("1"), 0.55898, 0.04667, 0.63445, 0.21624);
  number.appendBezierPath(letterInBox(icon, QStringLiteral("2"), 0.67945, 0.04667, 0.79488, 0.21917));
  number.appendBezierPath(trailingZero(icon, 0.81703, 0.92859));
  icon.fill(number);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_SilentWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                           double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(frontFrame(icon));
  icon.fill(letterS(icon));
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_Timer2SecWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                              double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(timerRing(icon, 0.5, 0.66667));
  icon.fill(timer2SecHand(icon));
  icon.fill(timer2SecKnob(icon));
  icon.fill(digitTwo(icon));
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_TimerWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                          double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  // Ring, hand and an unsnapped knob in one path, so the knob moves smoothly with the frame.
  FracPath dial(icon);
  dial.append(timerRing(icon, 0.47333, 0.64));
  dial.polygon({{0.28, 0.82}, {0.40333, 0.64333}, {0.35667, 0.61}, {0.23, 0.78333}});
  dial.arc(0.44333, 0.82333, 0.06333, 0.06333, 0, -360).close();
  icon.fill(dial);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_ContinuousWithFrame(GraphicsContext& ctx,
                                                                               QRectF frame, double r, double g,
                                                                               double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(frontFrame(icon));
  icon.fill(wideStepEdge(icon, 0));
  icon.fill(wideStepEdge(icon, 0.14));
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_SingleWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                           double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  FracPath single(icon);
  single.rect(0, 0.52667, 0.64, 1, true);
  single.rect(0.04, 0.56404, 0.6, 0.96263, false);
  icon.fill(single);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_TimerSecondsWithFrame(GraphicsContext& ctx,
                                                                                 QRectF frame, double r,
                                                                                 double g, double b,
                                                                                 double fontSize,
                                                                                 QString timerSeconds) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.drawFixedText(timerSeconds, icon.box(0.58741, 0, 1, 0.34266), kTextFont, fontSize, kTextRaise);
  icon.fill(smallDial(icon));
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_TimerSecondsCounterWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b, double fontSize, QString timerSeconds,
    QString timerCount) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(smallDial(icon));
  icon.drawFixedText(timerSeconds, icon.box(0.58741, 0, 1, 0.34266), kTextFont, fontSize, kTextRaise);
  icon.drawFixedText(timerCount, icon.box(0.58741, 0.65734, 1, 1), kTextFont, fontSize, kTextRaise);
}

void KorvalumePropertiesDriveModeTimerIcons::drawDriveMode_SonyBracketWithFrame(
    GraphicsContext& ctx, QRectF frame, double r, double g, double b, double fontSize, QString bracketBottomText,
    QString bracketTopText) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.drawFixedText(bracketTopText, icon.box(0.61111, 0.47222, 1, 0.83333), kTextFont, fontSize, kTextRaise);
  icon.drawFixedText(bracketBottomText, icon.box(0, 0.08333, 1, 0.44444), kTextFont, fontSize, kTextRaise);
  // The badge, clockwise with slightly rounded corners, with BRK cut out of it.
  constexpr qreal l = 0, rt = 0.6087, bt = 0.56522, t = 0.81158, k = 0.01108;
  FracPath badge(icon);
  badge.move(l + k, t).line(rt - k, t).corner(rt, t - k, rt, t).line(rt, bt + k).corner(rt - k, bt, rt, bt);
  badge.line(l + k, bt).corner(l, bt + k, l, bt).line(l, t - k).corner(l + k, t, l, t).close();
  badge.append(cutOutLetterInBox(icon, QStringLiteral("B"), 0.0555, 0.60868, 0.20323, 0.78504));
  badge.append(cutOutLetterInBox(icon, QStringLiteral("R"), 0.23343, 0.60868, 0.39199, 0.78504));
  badge.append(cutOutLetterInBox(icon, QStringLiteral("K"), 0.41172, 0.60868, 0.57075, 0.78504));
  icon.fill(badge);
}

#define KV_DRIVE_MODE_IMAGE(Name)                                                                              \
  StyleKitImage KorvalumePropertiesDriveModeTimerIcons::imageOfDriveMode_##Name##WithSize(QSizeF size, double r, \
                                                                                          double g, double b) { \
    return imageOfDrawMethod(size, &drawDriveMode_##Name##WithFrame, r, g, b);                                \
  }

KV_DRIVE_MODE_IMAGE(Continuous30)
KV_DRIVE_MODE_IMAGE(Continuous60)
KV_DRIVE_MODE_IMAGE(Continuous120)
KV_DRIVE_MODE_IMAGE(Silent)
KV_DRIVE_MODE_IMAGE(Timer2Sec)
KV_DRIVE_MODE_IMAGE(Timer)
KV_DRIVE_MODE_IMAGE(Continuous)
KV_DRIVE_MODE_IMAGE(Single)
#undef KV_DRIVE_MODE_IMAGE

StyleKitImage KorvalumePropertiesDriveModeTimerIcons::imageOfDriveMode_TimerSecondsWithSize(
    QSizeF size, double r, double g, double b, double fontSize, QString timerSeconds) {
  return imageOfDrawMethod(size, &drawDriveMode_TimerSecondsWithFrame, r, g, b, fontSize, std::move(timerSeconds));
}

StyleKitImage KorvalumePropertiesDriveModeTimerIcons::imageOfDriveMode_TimerSecondsCounterWithSize(
    QSizeF size, double r, double g, double b, double fontSize, QString timerSeconds, QString timerCount) {
  return imageOfDrawMethod(size, &drawDriveMode_TimerSecondsCounterWithFrame, r, g, b, fontSize,
                           std::move(timerSeconds), std::move(timerCount));
}

StyleKitImage KorvalumePropertiesDriveModeTimerIcons::imageOfDriveMode_SonyBracketWithSize(
    QSizeF size, double r, double g, double b, double fontSize, QString bracketBottomText, QString bracketTopText) {
  return imageOfDrawMethod(size, &drawDriveMode_SonyBracketWithFrame, r, g, b, fontSize,
                           std::move(bracketBottomText), std::move(bracketTopText));
}

void registerPropDriveModeTimerIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesDriveModeTimerIcons;
#define KV_SAMPLE(Name)                                                   \
  out.push_back({QStringLiteral("imageOfDriveMode_" #Name "WithSize:r:g:b:"), \
                 [](QSizeF s) { return K::imageOfDriveMode_##Name##WithSize(s, 1, 1, 1); }})
  KV_SAMPLE(Continuous30);
  KV_SAMPLE(Continuous60);
  KV_SAMPLE(Continuous120);
  KV_SAMPLE(Silent);
  KV_SAMPLE(Timer2Sec);
  KV_SAMPLE(Timer);
  KV_SAMPLE(Continuous);
  KV_SAMPLE(Single);
#undef KV_SAMPLE
  // The drive-mode visuals hand these a font size in proportion to the image.
  out.push_back({QStringLiteral("imageOfDriveMode_TimerSecondsWithSize:...:timerSeconds: (\"10\", 0.35 h)"),
                 [](QSizeF s) {
                   return K::imageOfDriveMode_TimerSecondsWithSize(s, 1, 1, 1, 0.35 * s.height(),
                                                                   QStringLiteral("10"));
                 }});
  out.push_back({QStringLiteral("imageOfDriveMode_TimerSecondsCounterWithSize:...: (\"10\", \"3\", 0.35 h)"),
                 [](QSizeF s) {
                   return K::imageOfDriveMode_TimerSecondsCounterWithSize(s, 1, 1, 1, 0.35 * s.height(),
                                                                          QStringLiteral("10"), QStringLiteral("3"));
                 }});
  out.push_back({QStringLiteral("imageOfDriveMode_SonyBracketWithSize:...: (\"0.3EV\", \"3\", 0.3 h)"),
                 [](QSizeF s) {
                   return K::imageOfDriveMode_SonyBracketWithSize(s, 1, 1, 1, 0.3 * s.height(),
                                                                  QStringLiteral("0.3EV"), QStringLiteral("3"));
                 }});
}
