#include "stylekit/carousel_icons.h"

#include <cmath>
#include <cstdlib>

#include "platform/graphics/named_colors.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"

namespace {

constexpr qreal kCentre = 316.25;

// The carousel is drawn in points: its polygons take fractions of a unit box.
constexpr QRectF kPoints(0, 0, 1, 1);

}  // namespace

KorvalumeCarouselIcons::SlotPlacement KorvalumeCarouselIcons::carouselSlotPlacement(int slot, qreal exposureBracket,
                                                                                    qreal numNegativeBrackets,
                                                                                    qreal numPositiveBrackets) {
  const int k = std::abs(slot);
  // The first slot on each side sits 103.25 steps out, the others 106 per slot.
  const qreal distance = (k == 1 ? 103.25 : 106.0 * k) * exposureBracket;
  const bool negative = slot < 0;
  const qreal count = negative ? numNegativeBrackets : numPositiveBrackets;
  const bool shown = count > k - 1;
  SlotPlacement out;
  out.x = shown ? (negative ? kCentre - distance : kCentre + distance) : kCentre;
  out.lowerY = (slot == -3 || slot == -4) ? 1 : 2;
  out.upperY = (slot == -1 || slot == -2) ? 150.72 : 149.72;
  return out;
}

void KorvalumeCarouselIcons::drawCarouselBackgroundWithExposureBracket(GraphicsContext& ctx, qreal exposureBracket,
                                                                       qreal numNegativeBrackets,
                                                                       qreal numPositiveBrackets) {
  const QColor grey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  ctx.setFillColor(grey);
  ctx.fill(polygon(kPoints, {{332, 28}, {345.64, 7}, {318.36, 7}}));
  ctx.fill(polygon(kPoints, {{318, 170}, {346, 170}, {332, 150.48}}));

  const BezierPath lowerMark = polygon(kPoints, {{15.75, 28}, {29.39, 7}, {2.11, 7}});
  const BezierPath upperMark = polygon(kPoints, {{0, 19.28}, {28, 19.28}, {14, 0}});
  for (int slot : {-1, 1, 2, -2, 3, -3, 4, -4}) {
    const SlotPlacement at =
        carouselSlotPlacement(slot, exposureBracket, numNegativeBrackets, numPositiveBrackets);
    // A step that is not a finite number places no mark anywhere.
    if (!std::isfinite(at.x)) continue;
    ctx.saveGraphicsState();
    ctx.translate(at.x, at.lowerY);
    ctx.fill(lowerMark);
    ctx.restoreGraphicsState();
    ctx.saveGraphicsState();
    ctx.translate(at.x, at.upperY);
    ctx.fill(upperMark);
    ctx.restoreGraphicsState();
  }

  BezierPath brackets = polygon(kPoints, {{662, 150}, {662, 30}, {636, 30}, {636, 32.86}, {659.8, 32.86},
                                          {659.8, 147.14}, {636, 147.14}, {636, 150}});
  brackets.appendBezierPath(polygon(kPoints, {{28, 147.14}, {4.2, 147.14}, {4.2, 32.86}, {28, 32.86}, {28, 30},
                                              {2, 30}, {2, 150}, {28, 150}}));
  ctx.fill(brackets);
}

StyleKitImage KorvalumeCarouselIcons::imageOfCarouselBackgroundWithExposureBracket(qreal exposureBracket,
                                                                                  qreal numNegativeBrackets,
                                                                                  qreal numPositiveBrackets) {
  return StyleKitImage::imageWithSize(
      QSizeF(666, 172), [exposureBracket, numNegativeBrackets, numPositiveBrackets](GraphicsContext& ctx, QRectF) {
        drawCarouselBackgroundWithExposureBracket(ctx, exposureBracket, numNegativeBrackets, numPositiveBrackets);
        return true;
      });
}

void registerCarouselIcons(std::vector<IconSample>& out) {
  // The image is always 666 x 172; the sheet shows its drawing stretched to each size.
  struct Sample {
    const char* name;
    qreal step, negative, positive;
  };
  for (const Sample& sample : {Sample{"(1, 4, 4)", 1, 4, 4}, Sample{"(1/3, 2, 3)", 1.0 / 3, 2, 3}}) {
    out.push_back({QStringLiteral("imageOfCarouselBackgroundWithExposureBracket:numNegativeBrackets:"
                                  "numPositiveBrackets: %1 stretched")
                       .arg(QLatin1String(sample.name)),
                   [sample](QSizeF s) {
                     return StyleKitImage::imageWithSize(s, [sample, s](GraphicsContext& ctx, QRectF) {
                       ctx.scale(s.width() / 666, s.height() / 172);
                       KorvalumeCarouselIcons::drawCarouselBackgroundWithExposureBracket(ctx, sample.step, sample.negative,
                                                                                         sample.positive);
                       return true;
                     });
                   }});
  }
}
