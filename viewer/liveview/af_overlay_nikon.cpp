// Nikon: the AF area from the live-view record, in the live image's pixels around the
// shown area's centre; the box is always drawn, kept inside the picture.
#include <algorithm>
#include <cmath>

#include "platform/graphics/named_colors.h"
#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "viewer/liveview/af_overlay.h"

namespace {
// Record offsets.
constexpr size_t kImageWidth = 16, kImageHeight = 18;
constexpr size_t kDisplayCentreX = 20, kDisplayCentreY = 22;
constexpr size_t kAfWidth = 24, kAfHeight = 26;
constexpr size_t kAfCentreX = 28, kAfCentreY = 30;
constexpr size_t kHighlightFlag = 38;
constexpr size_t kFocusState = 48;
static_assert(kFocusState < kNikonAfRecordBytes);

// Distance kept between a pulled-back box and the picture's edge.
constexpr qreal kEdgeMargin = 5;

QColor nikonStroke(uint8_t highlight, uint8_t focusState) {
  if (highlight != 0) return NamedColor::yellowColor();
  if (focusState == 2) return NamedColor::greenColor();
  if (focusState == 1) return NamedColor::redColor();
  return NamedColor::whiteColor();
}

// Pulls a span [start, start + size) that leaves [0, limit] back inside, a margin from the
// edge it crossed; a span longer than the picture is first cut to fit with both margins.
void keepInside(qreal& start, qreal& size, qreal limit) {
  if (size > limit) size = std::max(0.0, limit - 2 * kEdgeMargin);
  if (start < 0) start = kEdgeMargin;
  if (start + size > limit) start = limit - kEdgeMargin - size;
  if (start < 0) start = (limit - size) / 2;  // no room for the margin
}
}  // namespace

AfOverlayUpdate nikonAfOverlay(uint8_t* record, size_t length, uint8_t o, QSizeF bounds) {
  if (!record || length < kNikonAfRecordBytes) return AfOverlayUpdate::keep();
  const ByteReader in(record, length);
  const double iw = *in.u16(kImageWidth), ih = *in.u16(kImageHeight);
  if (iw == 0 || ih == 0) return AfOverlayUpdate::keep();
  const QSizeF image(iw, ih);
  const QPointF d(*in.u16(kDisplayCentreX), *in.u16(kDisplayCentreY));
  const QPointF origin(static_cast<double>(static_cast<float>(d.x()) - static_cast<float>(iw) / 2),
                       static_cast<double>(static_cast<float>(d.y()) - static_cast<float>(ih) / 2));
  const QRectF fit = afIsQuarterTurn(o) ? afFit(image.transposed(), bounds) : afFit(image, bounds);
  if (fit.width() <= 0 || fit.height() <= 0) return AfOverlayUpdate::keep();

  // Not reported: two thirds of the image around the display centre, kept in the record.
  if (*in.u16(kAfWidth) == 0 || *in.u16(kAfHeight) == 0) {
    bytesPutU16(record + kAfCentreX, static_cast<uint16_t>(d.x()));
    bytesPutU16(record + kAfCentreY, static_cast<uint16_t>(d.y()));
    bytesPutU16(record + kAfWidth, static_cast<uint16_t>(std::trunc(iw * 0.67)));
    bytesPutU16(record + kAfHeight, static_cast<uint16_t>(std::trunc(ih * 0.67)));
  }
  const QSizeF af(*in.u16(kAfWidth), *in.u16(kAfHeight));
  QPointF c = QPointF(*in.u16(kAfCentreX), *in.u16(kAfCentreY)) - origin;
  if (o != 1) {
    const QPointF n = afOrient(o, QPointF(c.x() / iw, c.y() / ih));
    c = QPointF(n.x() * iw, n.y() * ih);
  }
  const QPointF p = afScale(c, image, fit.size());
  const QSizeF longFirst(std::max(fit.width(), fit.height()), std::min(fit.width(), fit.height()));
  const QPointF side = afScale(QPointF(af.width(), af.height()), image, longFirst);
  qreal bw = side.x(), bh = side.y();
  qreal x0 = p.x() - bw / 2, top = p.y() - bh / 2;  // top-down, in the picture
  keepInside(x0, bw, fit.width());
  keepInside(top, bh, fit.height());

  x0 += fit.x();
  const qreal ya = bounds.height() - (fit.y() + top + bh);
  AfOverlayUpdate update{AfOverlayUpdate::Replace, afOverlayOn(fit)};
  afAddBox(update.overlay, x0, x0 + bw, ya, ya + bh,
           nikonStroke(*in.u8(kHighlightFlag), *in.u8(kFocusState)));
  return update;
}
