// Text in the embedded faces: metrics, layout in a box, alignment, wrapping, tabs, outlines.
#include <gtest/gtest.h>

#include "platform/graphics/text.h"
#include "tests/platform/graphics_test_support.h"

namespace {

TextAttributes attrs(FontFace face, qreal size, TextAlignment a = TextAlignment::Left) {
  TextAttributes t;
  t.font = Font(face, size);
  t.foregroundColor = Qt::white;
  t.alignment = a;
  return t;
}

// Ink extent of an image in points (y up): left, right, bottom, top.
struct Ink {
  qreal left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
};
Ink ink(const QImage& img) {
  Ink k;
  const qreal dpr = img.devicePixelRatio();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(img.pixel(x, y)) > 127) {
        k.left = std::min(k.left, x / dpr);
        k.right = std::max(k.right, (x + 1) / dpr);
        k.bottom = std::min(k.bottom, (img.height() - y - 1) / dpr);
        k.top = std::max(k.top, (img.height() - y) / dpr);
      }
  return k;
}

}  // namespace

TEST(GraphicsFont, NamesMapToTheEmbeddedFaces) {
  EXPECT_EQ(Font::faceForName("ArialMT"), FontFace::Regular);
  EXPECT_EQ(Font::faceForName("AvenirNext-Regular"), FontFace::Regular);
  EXPECT_EQ(Font::faceForName("AvenirNext-Medium"), FontFace::Regular);
  EXPECT_EQ(Font::faceForName("Arial-BoldMT"), FontFace::Bold);
  EXPECT_EQ(Font::faceForName("AvenirNext-DemiBold"), FontFace::Bold);
  EXPECT_EQ(Font::boldSystemFontOfSize(12).face(), FontFace::Bold);
  EXPECT_TRUE(Font(FontFace::Bold, 10).rawFont().isValid());
  EXPECT_TRUE(Font(FontFace::Regular, 10).rawFont().isValid());
  // Liberation Sans keeps Arial's vertical metrics: 1854 + 434 + 67 units of 2048.
  EXPECT_NEAR(Font(FontFace::Regular, 2048).lineHeight(), 2355, 1e-9);
  EXPECT_NEAR(Font(FontFace::Bold, 2048).ascender(), 1854, 1e-9);
}

TEST(GraphicsText, MeasuredHeightScalesLinearlyWithAFractionalSize) {
  const qreal h1 = boundingRectWithSize("R", QSizeF(24, 24), attrs(FontFace::Bold, 10.8)).height();
  const qreal h2 = boundingRectWithSize("R", QSizeF(24, 24), attrs(FontFace::Bold, 21.6)).height();
  EXPECT_NEAR(h2, 2 * h1, 1e-9);
  EXPECT_NEAR(h2, 21.6 * 2355 / 2048, 1e-9);
  // Fractional sizes are not rounded to whole pixels.
  const qreal w1 = sizeWithAttributes("Wide text", attrs(FontFace::Regular, 10.3)).width();
  const qreal w2 = sizeWithAttributes("Wide text", attrs(FontFace::Regular, 20.6)).width();
  EXPECT_NEAR(w2, 2 * w1, 1e-6);
  EXPECT_DOUBLE_EQ(boundingRectWithSize(QString(), QSizeF(10, 10), attrs(FontFace::Bold, 10)).height(), 0);
}

TEST(GraphicsText, FirstBaselineSitsOneAscentBelowTheTop) {
  const TextAttributes a = attrs(FontFace::Bold, 40);
  const QImage img = gfxtest::draw(100, 100, 2, [&](GraphicsContext& ctx) {
    drawInRect(ctx, "H", QRectF(10, 20, 80, 70), a);
  });
  const Ink k = ink(img);
  EXPECT_NEAR(k.bottom, 90 - a.font.ascender(), 0.5);  // H stands on the baseline
  EXPECT_NEAR(k.top, 90 - a.font.ascender() + 1409.0 / 2048 * 40, 0.5);  // cap height of the face
}

TEST(GraphicsText, AlignmentPlacesTheLineInTheBox) {
  const QRectF box(10, 10, 80, 30);
  struct Case {
    TextAlignment alignment;
    qreal expectedCentre;
  };
  const qreal w = sizeWithAttributes("II", attrs(FontFace::Bold, 20)).width();
  for (const Case c : {Case{TextAlignment::Left, 10 + w / 2}, Case{TextAlignment::Center, 50},
                       Case{TextAlignment::Right, 90 - w / 2}, Case{TextAlignment::Natural, 10 + w / 2}}) {
    const QImage img = gfxtest::draw(100, 50, 2, [&](GraphicsContext& ctx) {
      drawInRect(ctx, "II", box, attrs(FontFace::Bold, 20, c.alignment));
    });
    const Ink k = ink(img);
    // "II" is symmetric: its ink is centred on its advance.
    EXPECT_NEAR((k.left + k.right) / 2, c.expectedCentre, 0.5) << static_cast<int>(c.alignment);
  }
}

TEST(GraphicsText, WordsWrapInTheBoxWidth) {
  const TextAttributes a = attrs(FontFace::Regular, 10);
  const qreal word = sizeWithAttributes("abcd", a).width();
  const QRectF r = boundingRectWithSize("abcd abcd abcd", QSizeF(word * 1.5, 100), a);
  EXPECT_NEAR(r.height(), 3 * a.font.lineHeight(), 1e-9);
  EXPECT_NEAR(r.width(), word, 1e-9);
  // Unbounded: one line.
  EXPECT_NEAR(sizeWithAttributes("abcd abcd abcd", a).height(), a.font.lineHeight(), 1e-9);
  // Newlines break lines.
  EXPECT_NEAR(sizeWithAttributes("a\nb", a).height(), 2 * a.font.lineHeight(), 1e-9);
  // A word longer than the box is broken inside.
  EXPECT_NEAR(boundingRectWithSize("abcdabcd", QSizeF(word, 100), a).height(), 2 * a.font.lineHeight(), 1e-9);
}

TEST(GraphicsText, TabsStopEveryTwentyEightPoints) {
  const TextAttributes a = attrs(FontFace::Bold, 12);
  const qreal x = sizeWithAttributes("X", a).width();
  EXPECT_NEAR(sizeWithAttributes("10\tX", a).width(), 28 + x, 1e-9);
  EXPECT_NEAR(sizeWithAttributes("10\t\tX", a).width(), 56 + x, 1e-9);
  // A trailing tab hangs: "10\t" centres like "10".
  EXPECT_NEAR(sizeWithAttributes("10\t", a).width(), sizeWithAttributes("10", a).width(), 1e-9);
}

TEST(GraphicsText, DrawnUprightWithTheColourAndNoClipOfItsOwn) {
  const QImage img = gfxtest::draw(60, 60, 1, [&](GraphicsContext& ctx) {
    TextAttributes a = attrs(FontFace::Bold, 40);
    a.foregroundColor = Qt::red;
    drawInRect(ctx, "T", QRectF(10, 40, 40, 5), a);  // box far lower than the text
  });
  const Ink k = ink(img);
  EXPECT_LT(k.bottom, 40);  // drawn beyond the box: no clip
  // "T": the bar is at the top (upright), the stem below it.
  const qreal barY = k.top - 1;
  EXPECT_GT(gfxtest::alphaAt(img, k.left + 1, barY), 127);
  EXPECT_EQ(gfxtest::alphaAt(img, k.left + 1, k.bottom + 1), 0);
  EXPECT_EQ(gfxtest::at(img, (k.left + k.right) / 2, k.bottom + 2).red(), 255);
}

TEST(GraphicsGlyphOutline, LettersCutHolesInACounterClockwisePlate) {
  const Font f(FontFace::Bold, 30);
  const BezierPath letters = glyphOutlines("O", f, QPointF(10, 10));
  // Outer contour clockwise (negative area), counter counter-clockwise.
  std::vector<qreal> areas = letters.subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_LT(std::min(areas[0], areas[1]), 0);
  EXPECT_GT(std::max(areas[0], areas[1]), 0);
  const QRectF b = letters.bounds();
  auto render = [&](const BezierPath& l) {
    return gfxtest::draw(50, 50, 1, [&](GraphicsContext& ctx) {
      BezierPath plate = BezierPath::bezierPathWithRect(QRectF(2, 2, 46, 46));
      plate.appendBezierPath(l);
      ctx.fill(plate);
    });
  };
  const QPointF ring(b.left() + 2, b.center().y());  // on the O's stroke
  const QImage cut = render(letters);
  EXPECT_EQ(gfxtest::alphaAt(cut, ring.x(), ring.y()), 0);
  EXPECT_EQ(gfxtest::alphaAt(cut, b.center().x(), b.center().y()), 255);  // the counter is filled again
  const QImage same = render(letters.reversed());
  EXPECT_EQ(gfxtest::alphaAt(same, ring.x(), ring.y()), 255);
}

TEST(GraphicsGlyphOutline, FittedOutlinesFillTheirBox) {
  const BezierPath p = glyphOutlinesFittedToBox("RAW", FontFace::Bold, QRectF(3, 1.5, 20, 4));
  EXPECT_NEAR(p.bounds().left(), 3, 1e-6);
  EXPECT_NEAR(p.bounds().right(), 23, 1e-6);
  EXPECT_NEAR(p.bounds().top(), 1.5, 1e-6);
  EXPECT_NEAR(p.bounds().bottom(), 5.5, 1e-6);
}
