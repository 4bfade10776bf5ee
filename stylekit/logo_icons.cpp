#include "stylekit/logo_icons.h"

#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

void KorvalumeLogoIcons::drawKorvalumeLogo2WithFrame(GraphicsContext& ctx, QRectF frame,
                                                     std::optional<QColor> logoColor) {
  // Outer shapes clockwise, counters the other way: one non-zero fill leaves them open and
  // paints every point once, so a translucent colour stays even.
  const BezierPath mark = glyphOutlinesFittedToBox(QStringLiteral("KORVALUME"), FontFace::Bold,
                                                   fractionRect(frame, kLeft, kBottom, kRight, kTop));
  if (logoColor) ctx.setFillColor(*logoColor);
  ctx.fill(mark);
}

StyleKitImage KorvalumeLogoIcons::imageOfKorvalumeLogo2WithSize(QSizeF size, std::optional<QColor> logoColor) {
  return imageOfDrawMethod(size, &drawKorvalumeLogo2WithFrame, logoColor);
}

void registerLogoIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfKorvalumeLogo2WithSize:logoColor: (white)"), [](QSizeF s) {
                   return KorvalumeLogoIcons::imageOfKorvalumeLogo2WithSize(s, QColor(Qt::white));
                 }});
}
