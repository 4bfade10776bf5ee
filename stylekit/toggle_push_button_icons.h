#pragma once
// The round toggle push buttons: live view (an eye), video (a movie camera) and AF/MF (a
// two-letter label). They share one body: a disc that is veiled grey while disabled, a thin
// ring, and a glyph that is white with a glow while on and light grey without one while off.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeTogglePushButtonIcons {
 public:
  static void drawLiveViewTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame, bool toggleButtonEnabled,
                                                    bool toggleButtonOn);
  static void drawVideoTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame, bool toggleButtonEnabled,
                                                 bool toggleButtonOn, bool outlineVisible);
  static void drawAFTogglePushButtonWithFrame(GraphicsContext& ctx, QRectF frame, bool toggleButtonEnabled,
                                              bool toggleButtonOn, bool toggleAfOn);

  static StyleKitImage imageOfLiveViewTogglePushButtonWithSize(QSizeF size, bool toggleButtonEnabled,
                                                               bool toggleButtonOn);
  static StyleKitImage imageOfVideoTogglePushButtonWithSize(QSizeF size, bool toggleButtonEnabled,
                                                            bool toggleButtonOn, bool outlineVisible);
  static StyleKitImage imageOfAFTogglePushButtonWithSize(QSizeF size, bool toggleButtonEnabled, bool toggleButtonOn,
                                                         bool toggleAfOn);

  // The disc: an oval in the box from d to 1 - d of the frame, its edges snapped.
  static QRectF togglePushButtonDiscRect(QRectF frame, qreal d);
  // The ring: the band between a counter-clockwise inner circle and a clockwise outer one.
  static BezierPath togglePushButtonRingPath(QRectF frame);
  // The AF or MF label as letter outlines (outsides clockwise, counters counter-clockwise).
  static BezierPath afLabelPath(QRectF frame, bool toggleAfOn);

 protected:
  KorvalumeTogglePushButtonIcons() = default;
};
