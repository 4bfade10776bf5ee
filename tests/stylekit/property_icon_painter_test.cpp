// The property kit's drawing rules: shadow pair, colour, snapped boxes, text forms, images.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {

// A small icon in the shadow form: two squares, the second covering part of the first's
// shadow.
void drawTwoSquares(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, showShadow, b);
  icon.fill(icon.rectangle(0.1, 0.5, 0.4, 0.8));
  icon.fill(icon.rectangle(0.4, 0.2, 0.7, 0.5));
}

void drawPlainSquare(GraphicsContext& ctx, QRectF frame, double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(icon.rectangle(0.1, 0.5, 0.4, 0.8));
}

void drawCustomText(GraphicsContext& ctx, QRectF frame, double r, double g, double b, double fontSize,
                    QString customText) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.drawMeasuredText(customText, icon.box(0, 0, 1, 1), QStringLiteral("Arial-BoldMT"), fontSize, 1);
}

}  // namespace

TEST(PropertyIconRules, DropShadowIsAHardCopyOnePointRightAndDownAtAnySize) {
  for (qreal size : {20.0, 100.0}) {
    const QImage img = imageOfDrawMethod(QSizeF(size, size), &drawTwoSquares, 1.0, 1.0, true, 1.0).render(2);
    const QRectF first = snappedRect(QRectF(0, 0, size, size), 0.1, 0.5, 0.4, 0.8);
    // The first square's shadow shows one point wide right of it, black at 75 %, and starts
    // one point below its top (y up: QRectF::bottom() is the top edge).
    const qreal top = first.bottom();
    const QColor shadow = at(img, first.right() + 0.5, top - 1.5);
    EXPECT_EQ(shadow.alpha(), 191) << size;
    EXPECT_EQ(shadow.red(), 0) << size;
    EXPECT_EQ(at(img, first.right() + 1.5, top - 1.5).alpha(), 0) << size;
    EXPECT_EQ(at(img, first.right() + 0.5, top - 0.5).alpha(), 0) << size;
    // The second square, painted later, covers the first's shadow where they meet.
    const QRectF second = snappedRect(QRectF(0, 0, size, size), 0.4, 0.2, 0.7, 0.5);
    EXPECT_EQ(at(img, second.left() + 0.5, second.bottom() - 0.5), QColor(Qt::white)) << size;
  }
}

TEST(PropertyIconRules, NoShadowPaintsExactlyTheIconWithoutOne) {
  const QImage off = imageOfDrawMethod(QSizeF(30, 30), &drawTwoSquares, 0.2, 0.4, false, 0.6).render(2);
  const QImage bare = sktest::draw(30, 30, 2, [](GraphicsContext& ctx) {
    ctx.setFillColor(colorWithRGBA(0.2, 0.4, 0.6, 1));
    ctx.fillRect(snappedRect(QRectF(0, 0, 30, 30), 0.1, 0.5, 0.4, 0.8));
    ctx.fillRect(snappedRect(QRectF(0, 0, 30, 30), 0.4, 0.2, 0.7, 0.5));
  });
  EXPECT_EQ(off, bare);
}

TEST(PropertyIconRules, FillColourAfterTheCallDependsOnTheForm) {
  sktest::draw(30, 30, 1, [](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::green);
    drawPlainSquare(ctx, QRectF(0, 0, 30, 30), 1, 0, 0);
    EXPECT_EQ(ctx.fillColor(), colorWithRGBA(1, 0, 0, 1));
    ctx.setFillColor(Qt::green);
    drawTwoSquares(ctx, QRectF(0, 0, 30, 30), 1, 0, true, 0);
    EXPECT_EQ(ctx.fillColor(), QColor(Qt::green));
    EXPECT_FALSE(ctx.shadow().has_value());
  });
}

TEST(PropertyIconRules, ComponentsReachTheColourUnclamped) {
  sktest::draw(10, 10, 1, [](GraphicsContext& ctx) {
    PropertyIconPainter icon(ctx, QRectF(0, 0, 10, 10), 1.5, -0.25, 0.5);
    EXPECT_FLOAT_EQ(icon.colour().redF(), 1.5f);
    EXPECT_FLOAT_EQ(icon.colour().greenF(), -0.25f);
    EXPECT_FLOAT_EQ(icon.colour().alphaF(), 1.0f);
    icon.fill(icon.rectangle(0, 0, 1, 1));  // paints without complaint
  });
}

TEST(PropertyIconRules, BoxesSnapEdgeByEdgeFromTheUnroundedOrigin) {
  sktest::draw(40, 40, 1, [](GraphicsContext& ctx) {
    PropertyIconPainter icon(ctx, QRectF(0, 0, 30, 30), 1, 1, 1);
    EXPECT_EQ(icon.box(0.32609, 0.32609, 0.67391, 0.67391), QRectF(10, 10, 10, 10));
    PropertyIconPainter shifted(ctx, QRectF(0.5, 0.5, 30, 30), 1, 1, 1);
    EXPECT_EQ(shifted.box(0.32609, 0.32609, 0.67391, 0.67391), QRectF(10.5, 10.5, 10, 10));
    PropertyIconPainter empty(ctx, QRectF(3, 4, 0, 0), 1, 1, 1);
    EXPECT_EQ(empty.box(0.2, 0.2, 0.8, 0.8).size(), QSizeF(0, 0));
    EXPECT_EQ(icon.p(0.5, 0.25), QPointF(15, 7.5));
  });
}

TEST(PropertyIconRules, MeasuredTextIsClippedToItsBoxAndANullTextDrawsNothing) {
  const QImage tall = sktest::draw(60, 60, 2, [](GraphicsContext& ctx) {
    drawCustomText(ctx, QRectF(20, 20, 20, 20), 1, 1, 1, 40, QStringLiteral("W"));
    ctx.fillRect(QRectF(0, 0, 2, 2));  // the clip is restored afterwards
  });
  const sktest::Extent ink = sktest::extent(tall, [](QColor c) { return c.alpha() > 0; });
  EXPECT_EQ(ink.left, 0);
  const sktest::Extent text = sktest::extent(tall, sktest::isWhite);
  EXPECT_GE(text.left, 20);
  EXPECT_LE(text.right, 40);
  EXPECT_GE(text.bottom, 0);
  EXPECT_LE(text.top, 40);
  const QImage none = sktest::draw(60, 60, 1, [](GraphicsContext& ctx) {
    drawCustomText(ctx, QRectF(20, 20, 20, 20), 1, 1, 1, 10, QString());
    ctx.fillRect(QRectF(0, 0, 2, 2));
  });
  EXPECT_EQ(sktest::extent(none, [](QColor c) { return c.alpha() > 0; }).right, 2);
}

TEST(PropertyIconRules, FixedTextHangsFromItsBoxUnclipped) {
  const QImage img = sktest::draw(100, 100, 2, [](GraphicsContext& ctx) {
    PropertyIconPainter icon(ctx, QRectF(0, 0, 100, 100), 1, 1, 1);
    icon.drawFixedText(QStringLiteral("10\t"), QRectF(20, 50, 46, 10), QStringLiteral("Arial-BoldMT"), 20, 3);
  });
  const Font f = Font::fontWithName(QStringLiteral("Arial-BoldMT"), 20);
  const sktest::Extent ink = sktest::extent(img, sktest::isWhite);
  EXPECT_NEAR(ink.bottom, 63 - f.ascender(), 0.5);  // baseline one ascent below the moved top
  EXPECT_LT(ink.bottom, 50);                        // beyond the box: no clip
  EXPECT_NEAR(ink.centreX(), 43, 1.0);              // "10" centred; the trailing tab hangs
}

TEST(PropertyIconRules, MeasuredTextCastsTheShadowInTheShadowForm) {
  const QImage img = sktest::draw(40, 40, 2, [](GraphicsContext& ctx) {
    PropertyIconPainter icon(ctx, QRectF(0, 0, 40, 40), 1, 1, true, 1);
    icon.drawMeasuredText(QStringLiteral("I"), icon.box(0, 0, 1, 1), QStringLiteral("Arial-BoldMT"), 30, 0);
  });
  const sktest::Extent white = sktest::extent(img, sktest::isWhite);
  const QColor shadow = at(img, white.right + 0.5, white.centreY());
  EXPECT_EQ(shadow.alpha(), 191);
  EXPECT_EQ(shadow.red(), 0);
}

TEST(PropertyIconImages, TextsLiveAsLongAsTheImageAndEachCallIsANewImage) {
  StyleKitImage img;
  {
    QString text = QStringLiteral("AB");
    img = imageOfDrawMethod(QSizeF(40, 40), &drawCustomText, 1.0, 1.0, 1.0, 20.0, text);
    text = QStringLiteral("changed");
  }
  const QImage later = img.render(1);
  const QImage fresh = imageOfDrawMethod(QSizeF(40, 40), &drawCustomText, 1.0, 1.0, 1.0, 20.0,
                                         QStringLiteral("AB")).render(1);
  EXPECT_EQ(later, fresh);
  EXPECT_FALSE(img.isSameImage(imageOfDrawMethod(QSizeF(40, 40), &drawCustomText, 1.0, 1.0, 1.0, 20.0,
                                                 QStringLiteral("AB"))));
}
