#pragma once
// The two ways the icon kits place a text in a box.
#include <QRectF>
#include <QString>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/text.h"

// Measured and centred: the text's height h is measured in the box's size, the text is drawn
// into (box x, box y + (box height - h) / 2, box width, h) moved up by dy, clipped to the box,
// inside a save and restore. A null text measures 0 and draws nothing.
void drawTextCentredInBox(GraphicsContext& ctx, const QString& text, const QRectF& box,
                          const TextAttributes& attributes, qreal dy = 0);

// Hung from the box: drawn into the box moved up by dy, unmeasured and unclipped.
void drawTextHungFromBox(GraphicsContext& ctx, const QString& text, const QRectF& box,
                         const TextAttributes& attributes, qreal dy);
