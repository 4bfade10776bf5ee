#include "stylekit/prop_visual_format_buttons.h"

#include <algorithm>

#include "platform/graphics/text.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "stylekit/prop_visual_result.h"

namespace {

using P = KorvalumePropertiesStyleKit;

// Single-precision constants of the layout, widened.
constexpr double kMarkAspect = 0.7017543911933899;
constexpr double kRawMarkScale = static_cast<double>(1.14f);
constexpr double kJpegPart = static_cast<double>(0.45f);
constexpr double kRawStart = static_cast<double>(0.55f);
constexpr double kPlusPart = static_cast<double>(0.1f);

VisualColour buttonColour(bool highlighted, bool enabled) { return visualColourHighlightWins(highlighted, !enabled); }

TextAttributes buttonText(qreal height, VisualColour c, TextAlignment alignment) {
  return {Font::fontWithName(QStringLiteral("ArialMT"), 0.5 * height), QColor::fromRgbF(c.r, c.g, c.b), alignment};
}

// A missing text measures as nothing.
QSizeF measure(const QString& text, QSizeF bound, const TextAttributes& attributes) {
  if (text.isEmpty()) return {0, 0};
  return boundingRectWithSize(text, bound, attributes).size();
}

}  // namespace

void KorvalumeImageFormatButtons::drawImageFormat_JpegWithFrame(GraphicsContext& ctx, QRectF frame, QString size,
                                                                uint64_t compression, bool buttonHighlighted,
                                                                bool buttonEnabled) {
  const VisualColour c = buttonColour(buttonHighlighted, buttonEnabled);
  const qreal X = frame.x(), Y = frame.y(), W = frame.width(), H = frame.height();
  TextAttributes attributes = buttonText(H, c, TextAlignment::Left);
  const QSizeF t = measure(size, QSizeF(0, H), attributes);
  ctx.saveGraphicsState();
  ctx.clipToRect(frame);
  if (compression == 1) {
    attributes.alignment = TextAlignment::Center;
    if (!size.isEmpty()) drawInRect(ctx, size, QRectF(X, Y + (H - t.height()) / 2, W, t.height()), attributes);
  } else {
    const qreal mw = 0.5 * H * kMarkAspect, mh = 0.5 * H;
    const qreal markX = X + (W - (t.width() + mw + 2)) / 2;
    // The mark sits a quarter of the height up from the frame's own bottom.
    const QRectF mark(markX, Y + 0.25 * H, mw, mh);
    if (compression == 0) P::drawImageFormat_CompressedWithFrame(ctx, mark, c.r, c.g, c.b);
    if (compression == 2) P::drawImageFormat_SmoothWithFrame(ctx, mark, c.r, c.g, c.b);
    if (!size.isEmpty())
      drawInRect(ctx, size, QRectF(markX + mw + 2, Y + (H - t.height()) / 2, W, t.height()), attributes);
  }
  ctx.restoreGraphicsState();
}

void KorvalumeImageFormatButtons::drawImageFormat_RawWithFrame(GraphicsContext& ctx, QRectF frame, QString size,
                                                               bool buttonHighlighted, bool buttonEnabled) {
  const VisualColour c = buttonColour(buttonHighlighted, buttonEnabled);
  const qreal X = frame.x(), Y = frame.y(), W = frame.width(), H = frame.height();
  if (size.isEmpty()) {
    const qreal m = std::min(kRawMarkScale * H, kRawMarkScale * W);
    P::drawImageFormat_RAWWithFrame(ctx, QRectF(X + (W - m) / 2, Y + (H - m) / 2, m, m), c.r, c.g, c.b);
    return;
  }
  const TextAttributes attributes = buttonText(H, c, TextAlignment::Right);
  const QSizeF t = measure(size, QSizeF(0, H), attributes);
  const qreal tw = t.width(), th = t.height();
  const qreal m = kRawMarkScale * H;
  qreal textX, markX, side;
  if (tw + m + 2 <= W) {
    textX = X + (W - (tw + m + 2)) / 2;
    markX = textX + tw + 2;
    side = m;
  } else {
    // Too wide: the mark gives up the text's width and the group stays m wide.
    side = m - tw;
    textX = X + (W - m) / 2 + 2;
    markX = textX + tw - 2;
  }
  ctx.saveGraphicsState();
  ctx.clipToRect(QRectF(textX, Y, tw, H));
  drawInRect(ctx, size, QRectF(textX, Y + (H - th) / 2, tw, th), attributes);
  ctx.restoreGraphicsState();
  // A text wider than the mark leaves it no room at all: then only the text shows.
  if (side > 0) P::drawImageFormat_RAWWithFrame(ctx, QRectF(markX, Y + (H - side) / 2, side, side), c.r, c.g, c.b);
}

void KorvalumeImageFormatButtons::drawImageFormat_RawPlusJpegWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                       QString jpegSize, uint64_t jpegCompression,
                                                                       QString rawSize, bool buttonHighlighted,
                                                                       bool buttonEnabled) {
  const VisualColour c = buttonColour(buttonHighlighted, buttonEnabled);
  const qreal X = frame.x(), Y = frame.y(), W = frame.width(), H = frame.height();
  drawImageFormat_JpegWithFrame(ctx, QRectF(X, Y, kJpegPart * W, H), jpegSize, jpegCompression, buttonHighlighted,
                                buttonEnabled);
  drawImageFormat_RawWithFrame(ctx, QRectF(X + kRawStart * W, Y, kJpegPart * W, H), rawSize, buttonHighlighted,
                               buttonEnabled);
  const QRectF plusBox(X + kJpegPart * W, Y, kPlusPart * W, H);
  const TextAttributes attributes = buttonText(H, c, TextAlignment::Center);
  const QString plus = QStringLiteral("+");
  const qreal th = boundingRectWithSize(plus, QSizeF(kPlusPart * W, 0), attributes).height();
  ctx.saveGraphicsState();
  ctx.clipToRect(plusBox);
  drawInRect(ctx, plus, QRectF(plusBox.x(), Y + (H - th) / 2, plusBox.width(), th), attributes);
  ctx.restoreGraphicsState();
}

StyleKitImage KorvalumeImageFormatButtons::imageOfImageFormat_JpegWithFrame(QRectF frame, QString size,
                                                                            uint64_t compression,
                                                                            bool buttonHighlighted,
                                                                            bool buttonEnabled) {
  return StyleKitImage::imageWithSize(frame.size(), [=](GraphicsContext& ctx, QRectF) {
    drawImageFormat_JpegWithFrame(ctx, frame, size, compression, buttonHighlighted, buttonEnabled);
    return true;
  });
}

StyleKitImage KorvalumeImageFormatButtons::imageOfImageFormat_RawWithFrame(QRectF frame, QString size,
                                                                           bool buttonHighlighted,
                                                                           bool buttonEnabled) {
  return StyleKitImage::imageWithSize(frame.size(), [=](GraphicsContext& ctx, QRectF) {
    drawImageFormat_RawWithFrame(ctx, frame, size, buttonHighlighted, buttonEnabled);
    return true;
  });
}

StyleKitImage KorvalumeImageFormatButtons::imageOfImageFormat_RawPlusJpegWithFrame(QRectF frame, QString jpegSize,
                                                                                   uint64_t jpegCompression,
                                                                                   QString rawSize,
                                                                                   bool buttonHighlighted,
                                                                                   bool buttonEnabled) {
  return StyleKitImage::imageWithSize(frame.size(), [=](GraphicsContext& ctx, QRectF) {
    drawImageFormat_RawPlusJpegWithFrame(ctx, frame, jpegSize, jpegCompression, rawSize, buttonHighlighted,
                                         buttonEnabled);
    return true;
  });
}
