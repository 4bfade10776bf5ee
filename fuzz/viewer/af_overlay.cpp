// Arbitrary bytes taken as a camera's focus report: byte 0 picks the vendor, byte 1 the
// orientation, bytes 2-5 the view's width and height (u16); the rest is the vendor's
// record (a Canon live-view header, a Nikon live-view record, or the Fujifilm and Sony
// values). Every box that comes out must be finite and on the picture, and paints.
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/base/byte_reader.h"
#include "viewer/liveview/af_overlay.h"
#include "viewer/liveview/af_overlay_view.h"

namespace {
void check(const AfOverlayUpdate& u, double viewHeight) {
  if (u.action != AfOverlayUpdate::Replace) return;
  for (const AfBox& box : u.overlay.boxes) {
    QRectF r;
    for (const QLineF& s : box.segments) {
      for (double v : {s.x1(), s.y1(), s.x2(), s.y2()})
        if (!std::isfinite(v)) std::abort();
      r |= QRectF(s.p1(), s.p2()).normalized();
    }
    if (box.segments.size() == 4 && !r.intersects(u.overlay.clip)) std::abort();
  }
  QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);  // a corner of the view: the rest is cut by the painter
  afPaintOverlay(painter, u.overlay, viewHeight);
}
}  // namespace

KV_FUZZ_TARGET(af_overlay) {
  const ByteReader in(data, size);
  if (size < 6) return 0;
  const uint8_t vendor = *in.u8(0) % 4, o = *in.u8(1);
  const QSizeF bounds(*in.u16(2), *in.u16(4));
  std::vector<uint8_t> rest(data + 6, data + size);
  const ByteReader r(rest.data(), rest.size());
  auto u16 = [&](size_t off) { return r.u16(off).value_or(0); };
  auto flag = [&](size_t bit) { return (r.u8(0).value_or(0) >> bit) & 1; };
  switch (vendor) {
    case 0: {
      EOS_LiveViewInfoStruct h;
      std::memset(&h, 0, sizeof h);
      if (!rest.empty()) std::memcpy(&h, rest.data(), std::min(rest.size(), sizeof h));
      check(canonAfOverlay(h, bounds), bounds.height());
      break;
    }
    case 1:
      check(nikonAfOverlay(rest.data(), rest.size(), o, bounds), bounds.height());
      break;
    case 2: {
      FujiAfReport f;
      f.inFocus = flag(0);
      f.zoomed = flag(1);
      if (flag(2)) f.frame = QRectF(u16(1) / 1000.0, u16(3) / 1000.0, u16(5) / 1000.0, u16(7) / 1000.0);
      check(fujiAfOverlay(f, QSizeF(u16(9), u16(11)), o, bounds), bounds.height());
      break;
    }
    default: {
      SonyAfReport s;
      if (flag(0)) s.hasFocusFlag = u16(1);
      if (flag(1)) s.focusArea = u16(3);
      s.zoomed = flag(2);
      if (flag(3)) s.focusPoint = QPoint(u16(5), u16(7));
      s.focusPointTracked = flag(4);
      s.rotateLiveView = flag(5);
      const QRectF rect(u16(9), u16(11), u16(13), u16(15));
      check(sonyAfOverlay(s, QSizeF(u16(17), u16(19)), rect, o, bounds), bounds.height());
      break;
    }
  }
  return 0;
}
