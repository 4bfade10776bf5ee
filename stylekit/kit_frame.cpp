#include "stylekit/kit_frame.h"

#include "platform/graphics/named_colors.h"
#include "stylekit/shadow_additions.h"

const Shadow& KorvalumeStyleKitFrame::straightDarkGrayShadow() {
  static const Shadow shared = shadowWithColor(NamedColor::darkGrayColor(), QSizeF(0, 0), 5);
  return shared;
}

void KorvalumeStyleKitFrame::drawBlank(GraphicsContext&) {}

StyleKitImage KorvalumeStyleKitFrame::imageOfBlank() {
  static const StyleKitImage blank = StyleKitImage::imageWithSize(QSizeF(5, 5), [](GraphicsContext& ctx, QRectF) {
    drawBlank(ctx);
    return true;
  });
  return blank;
}
