#pragma once
// The camera's focus frames over the live picture, worked out as plain geometry: each
// vendor's report becomes boxes in the view's y-up points, placed on the aspect-fit
// picture and turned with its orientation. The view (af_overlay_view.h) only paints them.
// Everything here reads untrusted camera data: sizes of 0, boxes off the picture and
// counts beyond the header's slots never reach the painter.
#include <QColor>
#include <QLineF>
#include <QPoint>
#include <QRectF>
#include <QSizeF>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ptp/vendors/canon/canon_liveview.h"

// One focus frame: separate segments (a box's four sides, or a cross's two arms).
struct AfBox {
  std::vector<QLineF> segments;
  QColor stroke;
};

struct AfOverlay {
  std::vector<AfBox> boxes;
  // The fitted picture, a stroke's half width around it: nothing is painted outside.
  QRectF clip;
};

// What one report does to the overlay on screen.
struct AfOverlayUpdate {
  enum Action { Keep, Remove, Replace };
  Action action = Keep;
  AfOverlay overlay;  // for Replace

  static AfOverlayUpdate keep() { return {}; }
  static AfOverlayUpdate remove() { return {Remove, {}}; }
};

constexpr qreal kAfLineWidth = 2.0;

// ---- geometry shared by the vendors (top-down unit square unless said otherwise)

// The EXIF orientation's turn of a point about the centre: 3 -> (1 - x, 1 - y),
// 6 -> (1 - y, x), 8 -> (y, 1 - x); any other value leaves the point.
QPointF afOrient(uint8_t orientation, QPointF n);
bool afIsQuarterTurn(uint8_t orientation);
// The picture's aspect-fit rectangle in the view (origin not added).
QRectF afFit(QSizeF image, QSizeF bounds);
// p scaled by to / from on each axis.
QPointF afScale(QPointF p, QSizeF from, QSizeF to);
// The four sides of a box with left x0, right x1 and horizontal edges ya and yb.
std::vector<QLineF> afBoxSegments(qreal x0, qreal x1, qreal ya, qreal yb);
// An overlay for the fitted picture F with its clip set and no boxes yet.
AfOverlay afOverlayOn(const QRectF& fitted);
// Adds the box when it is a real box that touches the picture: finite, not empty, and
// meeting the clip. False when it was left out.
bool afAddBox(AfOverlay& overlay, qreal x0, qreal x1, qreal ya, qreal yb, const QColor& stroke);

// ---- the vendors

// Canon: the frame's own orientation, up to 64 AF frames. Keeps the shown overlay when
// the frame reports none or the view or the reported area has no size.
AfOverlayUpdate canonAfOverlay(const EOS_LiveViewInfoStruct& header, QSizeF bounds);

// Fujifilm: one frame as fractions of the picture (centre and size), or none.
struct FujiAfReport {
  bool inFocus = false;
  bool zoomed = false;
  std::optional<QRectF> frame;  // x, y = centre; width, height
};
AfOverlayUpdate fujiAfOverlay(const FujiAfReport& report, QSizeF shownImage, uint8_t orientation,
                              QSizeF bounds);

// Sony: what the property table said, and the focus rectangle from the frame.
struct SonyAfReport {
  std::optional<uint32_t> hasFocusFlag;  // 0xD213
  std::optional<uint32_t> focusArea;     // 0xD22C
  bool zoomed = false;
  std::optional<QPoint> focusPoint;  // from 0xD2DC or 0xD232, asked only for an empty rect
  bool focusPointTracked = false;    // 0xD2DC exists
  bool rotateLiveView = false;       // the user default
};
AfOverlayUpdate sonyAfOverlay(const SonyAfReport& report, QSizeF frameSize, const QRectF& focusRect,
                              uint8_t orientation, QSizeF bounds);

// Nikon: the fields read from the live-view record end here.
constexpr size_t kNikonAfRecordBytes = 49;
// Reads the record (writing back the AF centre and size it makes up when the camera
// reported none); keeps the shown overlay for a null, short or sizeless record.
AfOverlayUpdate nikonAfOverlay(uint8_t* record, size_t length, uint8_t orientation, QSizeF bounds);
