#pragma once
// Text set in the embedded faces at fractional sizes and drawn as glyph outlines through the
// graphics context, so it takes the context's colour, shadow, alpha and clip like any fill.
// Layout: the line height is the face's ascent + descent + line gap; the first baseline of a
// text drawn in a box sits one ascent below the box's top; lines wrap at word boundaries in
// the box's width; tabs stop every 28 points; left, centred and right alignment.
#include <QColor>
#include <QRectF>
#include <QString>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/font.h"

class GraphicsContext;

// The platform's alignment values: left 0, right 1, centred 2, justified 3, natural 4.
enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };

struct TextAttributes {
  Font font;
  QColor foregroundColor = Qt::black;
  TextAlignment alignment = TextAlignment::Natural;
};

// The box that the text needs when laid out from the line-fragment origin in `size`
// (a width of zero or less means no bound): width of the widest line, height of its lines.
QRectF boundingRectWithSize(const QString& text, QSizeF size, const TextAttributes& attributes);

// The size of the text without a bound on its width.
QSizeF sizeWithAttributes(const QString& text, const TextAttributes& attributes);

// Draws the text into `rect` (y up): first baseline one ascent below the top, lines aligned
// in the rect's width. Nothing is clipped: lines beyond the box are drawn too.
void drawInRect(GraphicsContext& ctx, const QString& text, const QRectF& rect,
                const TextAttributes& attributes);

// The glyphs of `text` as one path (y up) with the first glyph's baseline origin at
// `baselineOrigin`. TrueType outlines run clockwise (y up) with counters the other way, so
// the letters cut holes in a counter-clockwise plate they are appended to; reverse the path
// to fill them on a clockwise one.
BezierPath glyphOutlines(const QString& text, const Font& font, QPointF baselineOrigin);

// The glyph outlines scaled so that their ink fills `box` exactly (x and y independently).
BezierPath glyphOutlinesFittedToBox(const QString& text, FontFace face, const QRectF& box);
