// The four memory cards of the storage family: boxes, body, contacts, label and button.
#include <cmath>
#include <utility>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/storage_icons.h"

namespace {

// The card's outline: three rounded corners and the chamfer at the upper right.
BezierPath cardBody(const QRectF& box) {
  FramePen c{box, {}};
  c.moveTo(0.84174, 1);
  c.lineTo(0.03951, 1);
  c.curveTo(0.01149, 0.99138, 0.02852, 1, 0.01922, 0.99714);
  c.curveTo(0, 0.97054, 0.00383, 0.98561, 0, 0.97863);
  c.lineTo(0, 0.02946);
  c.curveTo(0.00021, 0.02629, 0, 0.02835, 0.00007, 0.02729);
  c.curveTo(0.01149, 0.00867, 0.00113, 0.01952, 0.00489, 0.01365);
  c.curveTo(0.03951, 0, 0.01922, 0.00291, 0.02859, 0);
  c.lineTo(0.96049, 0);
  c.curveTo(0.98837, 0.00867, 0.97141, 0, 0.98071, 0.00291);
  c.curveTo(0.99979, 0.02629, 0.99511, 0.01365, 0.99887, 0.01952);
  c.curveTo(1, 0.02946, 0.99993, 0.02729, 1, 0.02835);
  c.lineTo(1, 0.88199);
  c.lineTo(0.84174, 1);
  c.close();
  return std::move(c.path);
}

struct Contacts {
  qreal x[5][2];
  qreal tallTop, shortTop, bottom;
  qreal rx, ry;  // the corners' extent along x and y
};

// Five upright rounded rectangles; the short one's upper right corner is square.
BezierPath cardContacts(const QRectF& box, const Contacts& k) {
  FramePen c{box, {}};
  const qreal rx = k.rx, ry = k.ry, ax = rx / 3, ay = ry / 3;
  for (int i = 0; i < 5; ++i) {
    const qreal l = k.x[i][0], r = k.x[i][1], b = k.bottom, t = i < 4 ? k.tallTop : k.shortTop;
    c.moveTo(l, b + ry);
    c.curveTo(l + rx, b, l, b + ay, l + rx - ax, b);
    c.lineTo(r - rx, b);
    c.curveTo(r, b + ry, r - rx + ax, b, r, b + ry - ay);
    if (i < 4) {
      c.lineTo(r, t - ry);
      c.curveTo(r - rx, t, r, t - ry + ay, r - rx + ax, t);
    } else {
      c.lineTo(r, t - ry);
      c.curveTo(r - rx, t, r, t, r, t);
    }
    c.lineTo(l + rx, t);
    c.curveTo(l, t - ry, l + rx - ax, t, l, t - ry + ay);
    c.close();
  }
  return std::move(c.path);
}

constexpr Contacts kNoMarginContacts{{{0.12387, 0.22515}, {0.28627, 0.38755}, {0.44866, 0.54995},
                                      {0.61106, 0.71234}, {0.77345, 0.87474}},
                                     0.93369, 0.86849, 0.7061, 0.14765 - 0.12387, 0.7243 - 0.7061};
constexpr Contacts kWhiteContacts{{{0.12735, 0.22778}, {0.28837, 0.38879}, {0.44939, 0.54981},
                                   {0.6104, 0.71083}, {0.77142, 0.87185}},
                                  0.93151, 0.86794, 0.70959, 0.15093 - 0.12735, 0.72734 - 0.70959};
constexpr Contacts kColourContacts{{{0.13015, 0.22982}, {0.28996, 0.38964}, {0.44978, 0.54945},
                                    {0.60959, 0.70927}, {0.76941, 0.86908}},
                                   0.93506, 0.87149, 0.71313, 0.15355 - 0.13015, 0.73088 - 0.71313};

// The card box: left and top rounded as usual, right and bottom with their own constants.
QRectF cardBox(const QRectF& frame, qreal l, qreal r, qreal b, qreal t) {
  return snappedRect(frame, EdgeRule{l}, EdgeRule{b, -0.25, 0.75}, EdgeRule{r, -0.35, 0.85}, EdgeRule{t});
}

// Body filled, then outlined at one point; then the contacts.
void drawCardBodyAndContacts(GraphicsContext& ctx, const QRectF& box, const Contacts& contacts, const QColor& body,
                             const QColor& outline, const QColor& contactColour) {
  BezierPath path = cardBody(box);
  ctx.setFillColor(body);
  ctx.fill(path);
  path.setLineWidth(1);
  path.setMiterLimit(4);
  ctx.setStrokeColor(outline);
  ctx.stroke(path);
  ctx.setFillColor(contactColour);
  ctx.fill(cardContacts(box, contacts));
}

}  // namespace

QRectF KorvalumeStorageIcons::sdCardBox(QRectF frame) { return cardBox(frame, 0.14444, 0.86583, 0.11889, 0.88889); }
QRectF KorvalumeStorageIcons::sdCardNoMarginBox(QRectF frame) {
  return cardBox(frame, 0.125, 0.87344, 0.00781, 0.98958);
}
QRectF KorvalumeStorageIcons::sdCardWhiteBox(QRectF frame) {
  return cardBox(frame, 0.12575, 0.87335, 0.01048, 0.99401);
}
QRectF KorvalumeStorageIcons::sdCardLabelBand(QRectF frame) {
  return snappedRect(frame, 0.22778, 0.32889, 0.78333, 0.50222);
}
QRectF KorvalumeStorageIcons::sdCardButtonCardFrame(QRectF frame) {
  return snappedRect(frame, 0.13636, 0.13636, 0.86364, 0.86364);
}

void KorvalumeStorageIcons::drawSDCard_NoMarginWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QRectF box = sdCardNoMarginBox(frame);
  drawCardBodyAndContacts(ctx, box, kNoMarginContacts, NamedColor::blackColor(), white, lightGrey);

  FramePen band{box, {}};
  band.moveTo(0.88448, 0.43307);
  band.lineTo(0.88427, 0.6366);
  band.lineTo(0.11789, 0.6366);
  band.curveTo(0.11761, 0.63245, 0.11761, 0.63489, 0.11761, 0.63489);
  band.lineTo(0.11761, 0.43307);
  band.close();
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(band.path);

  FramePen panel{box, {}};
  panel.moveTo(0.13416, 0.10663);
  panel.curveTo(0.17419, 0.09443, 0.14526, 0.09848, 0.15856, 0.09443);
  panel.lineTo(0.8279, 0.09443);
  panel.curveTo(0.86786, 0.10663, 0.84353, 0.09443, 0.85683, 0.09848);
  panel.curveTo(0.88448, 0.13597, 0.87896, 0.11473, 0.88448, 0.12449);
  panel.lineTo(0.88448, 0.43307);
  panel.lineTo(0.11761, 0.43307);
  panel.lineTo(0.11761, 0.13597);
  panel.curveTo(0.13416, 0.10663, 0.11761, 0.12449, 0.12312, 0.11473);
  panel.close();
  ctx.setFillColor(lightGrey);
  ctx.fill(panel.path);
}

void KorvalumeStorageIcons::drawSdCardWhiteWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QRectF box = sdCardWhiteBox(frame);
  drawCardBodyAndContacts(ctx, box, kWhiteContacts, white, white, NamedColor::blackColor());

  // White on the white body: painted, but it does not show.
  FramePen band{box, {}};
  band.moveTo(0.88546, 0.43334);
  band.lineTo(0.88525, 0.63927);
  band.lineTo(0.11602, 0.63927);
  band.curveTo(0.11574, 0.63507, 0.11574, 0.63754, 0.11574, 0.63754);
  band.lineTo(0.11574, 0.43334);
  band.close();
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(band.path);

  FramePen panel{box, {}};
  panel.moveTo(0.13235, 0.10306);
  panel.curveTo(0.17253, 0.09072, 0.1435, 0.09481, 0.15684, 0.09072);
  panel.lineTo(0.82867, 0.09072);
  panel.curveTo(0.86878, 0.10306, 0.84436, 0.09072, 0.8577, 0.09481);
  panel.curveTo(0.88546, 0.13274, 0.87992, 0.11126, 0.88546, 0.12113);
  panel.lineTo(0.88546, 0.43334);
  panel.lineTo(0.11574, 0.43334);
  panel.lineTo(0.11574, 0.13274);
  panel.curveTo(0.13235, 0.10306, 0.11574, 0.12113, 0.12128, 0.11126);
  panel.close();
  ctx.setFillColor(NamedColor::blackColor());
  ctx.fill(panel.path);
}

void KorvalumeStorageIcons::drawSDCardWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor outline = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QColor lightBlue = colorWithRGBA(0.613, 0.714, 0.812, 1);
  const QColor goldStart = colorWithRGBA(0.992, 0.855, 0.463, 1);
  const QColor goldEnd = colorWithRGBA(1, 0.741, 0.302, 1);
  const QColor bodyGrey = colorWithRGBA(0.314, 0.314, 0.314, 1);
  const QColor paleGrey = colorWithRGBA(0.863, 0.863, 0.863, 1);
  const QColor darkBlue = colorWithRGBA(0.078, 0.306, 0.455, 1);

  const QRectF box = sdCardBox(frame);
  BezierPath body = cardBody(box);
  ctx.setFillColor(bodyGrey);
  ctx.fill(body);
  body.setLineWidth(2);
  body.setMiterLimit(4);
  ctx.setStrokeColor(outline);
  ctx.stroke(body);
  // Gold from the top of the contacts to their foot.
  ctx.drawLinearGradient(cardContacts(box, kColourContacts), goldStart, goldEnd, -90);

  // The label is laid out in the frame, not in the card box.
  ctx.setFillColor(darkBlue);
  ctx.fill(BezierPath::bezierPathWithRect(sdCardLabelBand(frame)));

  FramePen lower{frame, {}};
  lower.moveTo(0.22779, 0.43554);
  lower.curveTo(0.39039, 0.37333, 0.22778, 0.43556, 0.28666, 0.37556);
  lower.curveTo(0.73245, 0.40889, 0.49413, 0.37111, 0.67357, 0.42);
  lower.curveTo(0.78292, 0.39111, 0.79133, 0.39778, 0.78292, 0.39111);
  lower.lineTo(0.78292, 0.28297);
  lower.curveTo(0.78333, 0.28, 0.78319, 0.28201, 0.78333, 0.28102);
  lower.lineTo(0.78333, 0.20444);
  lower.curveTo(0.76667, 0.19111, 0.78333, 0.19708, 0.77587, 0.19111);
  lower.lineTo(0.24444, 0.19111);
  lower.curveTo(0.22778, 0.20444, 0.23524, 0.19111, 0.22778, 0.19708);
  lower.lineTo(0.22778, 0.43556);
  lower.lineTo(0.22779, 0.43554);
  lower.close();
  ctx.setFillColor(lightBlue);
  ctx.fill(lower.path);

  FramePen upper{frame, {}};
  upper.moveTo(0.78333, 0.57333);
  upper.lineTo(0.78333, 0.39778);
  upper.curveTo(0.70477, 0.41556, 0.78333, 0.39778, 0.77581, 0.40752);
  upper.curveTo(0.54203, 0.40667, 0.66549, 0.42, 0.61083, 0.41491);
  upper.curveTo(0.40735, 0.39778, 0.48641, 0.4, 0.45, 0.39778);
  upper.curveTo(0.22778, 0.47333, 0.31195, 0.39778, 0.22778, 0.47333);
  upper.lineTo(0.22778, 0.57333);
  upper.curveTo(0.23889, 0.58222, 0.22778, 0.57824, 0.23275, 0.58222);
  upper.lineTo(0.77222, 0.58222);
  upper.curveTo(0.78333, 0.57333, 0.77836, 0.58222, 0.78333, 0.57824);
  upper.close();
  ctx.setFillColor(paleGrey);
  ctx.fill(upper.path);
}

void KorvalumeStorageIcons::drawSdCardButtonWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QRectF button(frame.x(), frame.y(), std::floor(frame.width() + 0.5), std::floor(frame.height() + 0.5));
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(BezierPath::bezierPathWithRoundedRect(button, 9, 9));
  ctx.drawNested(sdCardButtonCardFrame(frame), &drawSDCard_NoMarginWithFrame);
}

