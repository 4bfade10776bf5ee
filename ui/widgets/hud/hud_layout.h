#pragma once
// The progress HUD's layout as a pure y-up function: the panel size and the frames of its
// indicator and labels, from top to bottom indicator, label, details label, button space.
#include <QRectF>
#include <QSizeF>

struct HudLayoutInput {
  QSizeF bounds;        // B
  qreal margin = 20;    // m
  QSizeF indicator{0, 0};     // I (0 x 0 without one)
  QSizeF label{0, 0};         // L, on one line (0 x 0 when empty)
  QSizeF detailsLabel{0, 0};  // D
  bool hasButton = false;
  qreal xOffset = 0, yOffset = 0;
  bool square = false;
  QSizeF minSize{0, 0};
};

struct HudLayout {
  QRectF indicatorFrame, labelFrame, detailsLabelFrame;  // y-up
  QSizeF size;                                           // the panel
};

HudLayout hudLayout(const HudLayoutInput& in);

// The panel rectangle (y-up) for a panel of `size` in bounds of `bounds`.
QRectF hudPanelRect(QSizeF bounds, QSizeF size, qreal xOffset, qreal yOffset);
