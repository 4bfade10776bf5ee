#include "stylekit/toggle_push_button_icons.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/control_icons.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/oval_contours.h"

namespace {

constexpr qreal kLiveViewDisc = 0.07143;
constexpr qreal kVideoDisc = 0.075;

// The common body: colours and shadows made on every call, then chosen by the two BOOLs.
class ToggleBody {
 public:
  ToggleBody(GraphicsContext& ctx, QRectF frame, bool enabled, bool on) : ctx_(ctx), frame_(frame) {
    const QColor white = colorWithRGBA(1, 1, 1, 1);
    const QColor veilGrey = colorWithRGBA(0.502, 0.502, 0.502, 0.502);
    const QColor offGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
    const QColor clearWhite = colorWithRGBA(1, 1, 1, 0);
    const Shadow offShadow(colorWithAlphaComponent(NamedColor::blackColor(), 0), QSizeF(3, -3), 5);
    const Shadow glow(white, QSizeF(0, 0), 5);
    discColour_ = enabled ? clearWhite : veilGrey;
    glyphColour_ = on ? white : offGrey;
    glyphShadow_ = on ? glow : offShadow;
  }

  // Filled in every state, also when clear; no shadow and no save.
  void disc(qreal d) {
    ctx_.setFillColor(discColour_);
    ctx_.fill(BezierPath::bezierPathWithOvalInRect(KorvalumeTogglePushButtonIcons::togglePushButtonDiscRect(frame_, d)));
  }
  // Each glyph element and the ring cast their own shadow.
  void glyph(const BezierPath& path) {
    ctx_.saveGraphicsState();
    ctx_.setShadow(glyphShadow_);
    ctx_.setFillColor(glyphColour_);
    ctx_.fill(path);
    ctx_.restoreGraphicsState();
  }
  void ring() { glyph(KorvalumeTogglePushButtonIcons::togglePushButtonRingPath(frame_)); }

 private:
  GraphicsContext& ctx_;
  QRectF frame_;
  QColor discColour_, glyphColour_;
  Shadow glyphShadow_;
};

BezierPath eyePath(const QRectF& frame) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  BezierPath eye;
  appendOvalContour(eye, frame, FractionOval::inBox(0.46682, 0.46522, 0.53318, 0.53043), 90, false);  // pupil
  appendOvalContour(eye, frame, FractionOval::inBox(0.41373, 0.41304, 0.58627, 0.58261), 0, true);    // iris
  // Inner lid, counter-clockwise from the top.
  eye.moveToPoint(p(0.5, 0.63043));
  eye.curveToPoint(p(0.24562, 0.50217), p(0.37281, 0.63043), p(0.24562, 0.50217));
  eye.curveToPoint(p(0.5, 0.37391), p(0.24562, 0.50217), p(0.35951, 0.37391));
  eye.curveToPoint(p(0.75438, 0.50217), p(0.64049, 0.37391), p(0.75438, 0.50217));
  eye.curveToPoint(p(0.5, 0.63043), p(0.75438, 0.50217), p(0.62719, 0.63043));
  eye.closePath();
  // Outer lid, clockwise from the right corner.
  eye.moveToPoint(p(0.84286, 0.5));
  eye.curveToPoint(p(0.5, 0.3), p(0.84286, 0.5), p(0.68935, 0.3));
  eye.curveToPoint(p(0.15714, 0.5), p(0.31065, 0.3), p(0.15714, 0.5));
  eye.curveToPoint(p(0.5, 0.7), p(0.15714, 0.5), p(0.32857, 0.7));
  eye.curveToPoint(p(0.84286, 0.5), p(0.67143, 0.7), p(0.84286, 0.5));
  eye.closePath();
  return eye;
}

BezierPath movieFrontPath(const QRectF& frame) {
  BezierPath front;
  front.moveToPoint(framePoint(frame, 0.81429, 0.62857));
  front.lineToPoint(framePoint(frame, 0.81429, 0.38571));
  front.lineToPoint(framePoint(frame, 0.58571, 0.50386));
  front.lineToPoint(framePoint(frame, 0.81429, 0.62857));
  front.closePath();
  return front;
}

// The movie camera's body: a box with smooth corners, clockwise. One corner is given as
// offsets (a along the side that leads into it, b along the side that leads out), both
// measured from the box's corner; the four corners are that one turned a quarter at a time.
BezierPath movieBodyPath(const QRectF& frame) {
  constexpr qreal L = 0.2, R = 0.55714, B = 0.28571, T = 0.72857;
  struct Segment {
    bool curve;
    QPointF to, c1, c2;  // (a, b)
  };
  static constexpr Segment kCorner[] = {
      {true, {0.02871, 0.00281}, {0.04665, 0}, {0.03721, 0}},
      {false, {0.02706, 0.00321}, {}, {}},
      {true, {0.00321, 0.02706}, {0.01598, 0.00724}, {0.00724, 0.01598}},
      {true, {0, 0.06551}, {0, 0.03722}, {0, 0.04665}},
  };
  constexpr QPointF kSideEnd{0.06551, 0};  // where the side leading in ends
  // Top-right, bottom-right, bottom-left, top-left, in the order of travel.
  auto at = [&](int corner, QPointF ab) {
    const qreal a = ab.x(), b = ab.y();
    switch (corner) {
      case 0: return framePoint(frame, R - a, T - b);
      case 1: return framePoint(frame, R - b, B + a);
      case 2: return framePoint(frame, L + a, B + b);
      default: return framePoint(frame, L + b, T - a);
    }
  };
  auto addSegment = [&](BezierPath& path, int corner, const Segment& s) {
    if (s.curve)
      path.curveToPoint(at(corner, s.to), at(corner, s.c1), at(corner, s.c2));
    else
      path.lineToPoint(at(corner, s.to));
  };
  BezierPath body;
  body.moveToPoint(at(0, kCorner[0].to));
  for (int i = 1; i < 4; ++i) addSegment(body, 0, kCorner[i]);
  for (int corner = 1; corner < 4; ++corner) {
    body.lineToPoint(at(corner, kSideEnd));
    for (const Segment& s : kCorner) addSegment(body, corner, s);
  }
  body.lineToPoint(at(0, kSideEnd));
  addSegment(body, 0, kCorner[0]);
  body.closePath();
  return body;
}

}  // namespace

QRectF KorvalumeTogglePushButtonIcons::togglePushButtonDiscRect(QRectF frame, qreal d) {
  return snappedRect(frame, d, d, 1 - d, 1 - d);
}

BezierPath KorvalumeTogglePushButtonIcons::togglePushButtonRingPath(QRectF frame) {
  BezierPath ring;
  appendOvalContour(ring, frame, FractionOval::inBox(0.07857, 0.07857, 0.92143, 0.92143), 90, false);
  appendOvalContour(ring, frame, FractionOval::inBox(0.04286, 0.04286, 0.95714, 0.95714), 0, true);
  return ring;
}

BezierPath KorvalumeTogglePushButtonIcons::afLabelPath(QRectF frame, bool toggleAfOn) {
  // Bold letters stretched over the boxes the label's letters fill.
  BezierPath label;
  if (toggleAfOn) {
    label.appendBezierPath(glyphOutlinesFittedToBox(QStringLiteral("A"), FontFace::Bold,
                                                    fractionRect(frame, 0.229, 0.327, 0.540, 0.671)));
    label.appendBezierPath(glyphOutlinesFittedToBox(QStringLiteral("F"), FontFace::Bold,
                                                    fractionRect(frame, 0.586, 0.327, 0.777, 0.671)));
  } else {
    label.appendBezierPath(glyphOutlinesFittedToBox(QStringLiteral("M"), FontFace::Bold,
                                                    fractionRect(frame, 0.171, 0.329, 0.574, 0.671)));
    label.appendBezierPath(glyphOutlinesFittedToBox(QStringLiteral("F"), FontFace::Bold,
                                                    fractionRect(frame, 0.650, 0.329, 0.843, 0.671)));
  }
  return label;
}

void KorvalumeTogglePushButtonIcons::drawLiveViewTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                           bool toggleButtonEnabled,
                                                                           bool toggleButtonOn) {
  ToggleBody body(ctx, frame, toggleButtonEnabled, toggleButtonOn);
  body.disc(kLiveViewDisc);
  body.glyph(eyePath(frame));
  body.ring();
}

void KorvalumeTogglePushButtonIcons::drawVideoTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                        bool toggleButtonEnabled, bool toggleButtonOn,
                                                                        bool outlineVisible) {
  ToggleBody body(ctx, frame, toggleButtonEnabled, toggleButtonOn);
  body.disc(kVideoDisc);
  body.glyph(movieFrontPath(frame));
  if (outlineVisible) body.ring();
  body.glyph(movieBodyPath(frame));
}

void KorvalumeTogglePushButtonIcons::drawAFTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                     bool toggleButtonEnabled, bool toggleButtonOn,
                                                                     bool toggleAfOn) {
  ToggleBody body(ctx, frame, toggleButtonEnabled, toggleButtonOn);
  // The label goes under the disc, so a disabled button's veil dims it.
  body.glyph(afLabelPath(frame, toggleAfOn));
  body.disc(kLiveViewDisc);
  body.ring();
}

StyleKitImage KorvalumeTogglePushButtonIcons::imageOfLiveViewTogglePushButtonWithSize(QSizeF size,
                                                                                     bool toggleButtonEnabled,
                                                                                     bool toggleButtonOn) {
  return imageOfDrawMethod(size, &drawLiveViewTogglePushButtonWithFrame, toggleButtonEnabled, toggleButtonOn);
}

StyleKitImage KorvalumeTogglePushButtonIcons::imageOfVideoTogglePushButtonWithSize(QSizeF size,
                                                                                  bool toggleButtonEnabled,
                                                                                  bool toggleButtonOn,
                                                                                  bool outlineVisible) {
  return imageOfDrawMethod(size, &drawVideoTogglePushButtonWithFrame, toggleButtonEnabled, toggleButtonOn,
                           outlineVisible);
}

StyleKitImage KorvalumeTogglePushButtonIcons::imageOfAFTogglePushButtonWithSize(QSizeF size, bool toggleButtonEnabled,
                                                                               bool toggleButtonOn, bool toggleAfOn) {
  return imageOfDrawMethod(size, &drawAFTogglePushButtonWithFrame, toggleButtonEnabled, toggleButtonOn, toggleAfOn);
}

namespace {
QString yesNo(bool b) { return b ? QStringLiteral("YES") : QStringLiteral("NO"); }
}  // namespace

void registerTogglePushButtonIcons(std::vector<IconSample>& out) {
  using K = KorvalumeTogglePushButtonIcons;
  for (bool enabled : {true, false}) {
    for (bool on : {true, false}) {
      const QString states = QStringLiteral(" (%1, %2").arg(yesNo(enabled), yesNo(on));
      out.push_back({QStringLiteral("imageOfLiveViewTogglePushButtonWithSize:toggleButtonEnabled:toggleButtonOn:") +
                         states + QStringLiteral(")"),
                     [=](QSizeF s) { return K::imageOfLiveViewTogglePushButtonWithSize(s, enabled, on); }});
      for (bool third : {true, false}) {
        const QString all = states + QStringLiteral(", %1)").arg(yesNo(third));
        out.push_back({QStringLiteral("imageOfVideoTogglePushButtonWithSize:toggleButtonEnabled:toggleButtonOn:"
                                      "outlineVisible:") + all,
                       [=](QSizeF s) { return K::imageOfVideoTogglePushButtonWithSize(s, enabled, on, third); }});
        out.push_back({QStringLiteral("imageOfAFTogglePushButtonWithSize:toggleButtonEnabled:toggleButtonOn:"
                                      "toggleAfOn:") + all,
                       [=](QSizeF s) { return K::imageOfAFTogglePushButtonWithSize(s, enabled, on, third); }});
      }
    }
  }
}
