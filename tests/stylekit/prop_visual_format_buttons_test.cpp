// Image-format buttons, measured from their pixels: the JPEG face's mark and text group,
// the RAW face's plate alone, beside its text and shrunk by a wide text, the RAW+JPEG
// split, the state colours, and image methods that draw at their frame.
#include "stylekit/prop_visual_format_buttons.h"

#include <gtest/gtest.h>

#include "platform/graphics/text.h"
#include "tests/stylekit/prop_icon_test_support.h"

using B = KorvalumeImageFormatButtons;
using propicon::extentIn;
using propicon::opaque;

namespace {

constexpr qreal kDpr = 4;
constexpr double kMarkAspect = 0.7017543911933899;
const double kRaw = static_cast<double>(1.14f);

// Width of a size text as the buttons set it: ArialMT at half the height.
qreal textWidth(const QString& text, qreal height) {
  return sizeWithAttributes(text, {Font::fontWithName("ArialMT", 0.5 * height), Qt::white, TextAlignment::Left})
      .width();
}

QImage face(qreal w, qreal h, const std::function<void(GraphicsContext&)>& draw) {
  return sktest::draw(w, h, kDpr, draw);
}

// Ink of the mark in its fractions of the box: the smooth disc spans x 0.05-0.95 and y
// 0.035-0.965, the RAW plate x 0.05-0.95 and y 0.233-0.767.
void expectInk(const sktest::Extent& e, qreal left, qreal bottom, qreal right, qreal top, const std::string& what) {
  ASSERT_FALSE(e.empty()) << what;
  EXPECT_NEAR(e.left, left, 0.5) << what;
  EXPECT_NEAR(e.right, right, 0.5) << what;
  EXPECT_NEAR(e.bottom, bottom, 0.5) << what;
  EXPECT_NEAR(e.top, top, 0.5) << what;
}

}  // namespace

TEST(PropVisualFormatButtons, JpegFaceCentresMarkGapAndTextAsOneGroup) {
  const qreal tw = textWidth("L", 20);
  const qreal mw = 10 * kMarkAspect;
  const qreal markX = (60 - (tw + mw + 2)) / 2;
  for (uint64_t compression : {0u, 2u}) {
    const QImage img = face(60, 20, [&](GraphicsContext& ctx) {
      B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, 60, 20), "L", compression, false, true);
    });
    // The mark box: mw x 10 from y 5; both marks reach 0.05-0.95 of its width.
    const sktest::Extent mark = extentIn(img, QRectF(0, 0, markX + mw + 1, 20), opaque);
    expectInk(mark, markX + 0.05 * mw, compression == 2 ? 5.35 : 5.35, markX + 0.95 * mw, 14.65,
              "compression " + std::to_string(compression));
    // The letter starts after the 2-point gap (its own side bearing aside).
    const sktest::Extent letter = extentIn(img, QRectF(markX + mw + 1, 0, 30, 20), opaque);
    ASSERT_FALSE(letter.empty());
    EXPECT_GE(letter.left, markX + mw + 2);
    EXPECT_LE(letter.left, markX + mw + 3.5);
  }
  // Compression 1: the text alone, centred.
  const QImage alone = face(60, 20, [](GraphicsContext& ctx) {
    B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, 60, 20), "L", 1, false, true);
  });
  const sktest::Extent text = sktest::extent(alone, opaque);
  ASSERT_FALSE(text.empty());
  EXPECT_NEAR((text.left + text.right) / 2, 30, 1.0);
  EXPECT_LT(text.right - text.left, tw);
  // Compression 3: the mark's room stays empty and the text stands where it would.
  const QImage room = face(60, 20, [](GraphicsContext& ctx) {
    B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, 60, 20), "L", 3, false, true);
  });
  const sktest::Extent after = sktest::extent(room, opaque);
  ASSERT_FALSE(after.empty());
  EXPECT_GE(after.left, markX + mw + 2);
  // No size text: the compressed mark alone, the gap still counted.
  const QImage bare = face(60, 20, [](GraphicsContext& ctx) {
    B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, 60, 20), QString(), 0, false, true);
  });
  const qreal bareX = (60 - (mw + 2)) / 2;
  expectInk(sktest::extent(bare, opaque), bareX + 0.05 * mw, 5.35, bareX + 0.95 * mw, 14.65, "no text");
}

TEST(PropVisualFormatButtons, RawFaceWithoutTextShowsThePlateCentredOnTheSmallerSide) {
  struct Case {
    QSizeF size;
  };
  for (QSizeF size : {QSizeF(60, 20), QSizeF(20, 60), QSizeF(30, 30)}) {
    for (const QString& text : {QString(), QString("")}) {
      const QImage img = face(size.width(), size.height(), [&](GraphicsContext& ctx) {
        B::drawImageFormat_RawWithFrame(ctx, QRectF(QPointF(0, 0), size), text, false, true);
      });
      const qreal m = kRaw * std::min(size.width(), size.height());
      const qreal x = (size.width() - m) / 2, y = (size.height() - m) / 2;
      expectInk(sktest::extent(img, opaque), x + 0.05 * m, y + 0.23333 * m, x + 0.95 * m, y + 0.76667 * m,
                "plate " + std::to_string(int(size.width())) + "x" + std::to_string(int(size.height())));
    }
  }
}

TEST(PropVisualFormatButtons, RawFacePutsTextLeftOfThePlateAndShrinksThePlateForAWideText) {
  const qreal tw = textWidth("M", 20);
  const qreal m = kRaw * 20;
  {
    const QImage img = face(60, 20, [](GraphicsContext& ctx) {
      B::drawImageFormat_RawWithFrame(ctx, QRectF(0, 0, 60, 20), "M", false, true);
    });
    const qreal textX = (60 - (tw + m + 2)) / 2, markX = textX + tw + 2;
    expectInk(extentIn(img, QRectF(markX, 0, 60 - markX, 20), opaque), markX + 0.05 * m, 10 - m / 2 + 0.23333 * m,
              markX + 0.95 * m, 10 - m / 2 + 0.76667 * m, "fits");
    const sktest::Extent letter = extentIn(img, QRectF(0, 0, markX, 20), opaque);
    ASSERT_FALSE(letter.empty());
    EXPECT_GE(letter.left, textX);
    EXPECT_LE(letter.right, textX + tw + 0.25);
  }
  {
    // 30 wide: tw + m + 2 does not fit, so the plate gives up the text's width.
    ASSERT_GT(tw + m + 2, 30);
    const QImage img = face(30, 20, [](GraphicsContext& ctx) {
      B::drawImageFormat_RawWithFrame(ctx, QRectF(0, 0, 30, 20), "M", false, true);
    });
    const qreal side = m - tw, textX = (30 - m) / 2 + 2, markX = textX + tw - 2;
    const sktest::Extent all = sktest::extent(img, opaque);
    EXPECT_NEAR(all.right, markX + 0.95 * side, 0.5);
    EXPECT_NEAR(all.top, 10 + (0.76667 - 0.5) * side, 0.5);
    EXPECT_NEAR(all.bottom, 10 - (0.5 - 0.23333) * side, 0.5);
    EXPECT_GE(all.left, textX);
  }
  {
    // A text wider than the plate leaves no plate: only the text shows, inside its box.
    const QString wide = "S1S1S1";
    const qreal w = textWidth(wide, 20);
    ASSERT_GT(w, m);
    const QImage img = face(30, 20, [&](GraphicsContext& ctx) {
      B::drawImageFormat_RawWithFrame(ctx, QRectF(0, 0, 30, 20), wide, false, true);
    });
    const qreal textX = (30 - m) / 2 + 2;
    const sktest::Extent all = sktest::extent(img, opaque);
    ASSERT_FALSE(all.empty());
    EXPECT_GE(all.left, textX);
    EXPECT_LE(all.top, 10 + 0.5 * 20 * 0.75);  // letters only, no plate above them
  }
}

TEST(PropVisualFormatButtons, StateColoursLetHighlightedWin) {
  struct Case {
    bool highlighted, enabled;
    QColor colour;
  };
  const int grey = qRound(static_cast<double>(0.7f) * 255);
  const Case cases[] = {{false, true, QColor(255, 255, 255)},
                        {false, false, QColor(grey, grey, grey)},
                        {true, false, QColor(0, 128, 255)},
                        {true, true, QColor(0, 128, 255)}};
  for (const Case& c : cases) {
    const QImage img = face(100, 20, [&](GraphicsContext& ctx) {
      B::drawImageFormat_RawPlusJpegWithFrame(ctx, QRectF(0, 0, 100, 20), "L", 2, "M", c.highlighted, c.enabled);
    });
    int solid = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor p = img.pixelColor(x, y);
        if (p.alpha() < 255) continue;
        ++solid;
        EXPECT_NEAR(p.red(), c.colour.red(), 1);
        EXPECT_NEAR(p.green(), c.colour.green(), 1);
        EXPECT_NEAR(p.blue(), c.colour.blue(), 1);
        if (HasFailure()) return;
      }
    EXPECT_GT(solid, 100);
  }
}

TEST(PropVisualFormatButtons, RawPlusJpegSplitsTheFrameIntoTwoFacesAndAPlus) {
  const qreal W = 100, H = 20;
  const double left = static_cast<double>(0.45f) * W, start = static_cast<double>(0.55f) * W;
  const QImage both = face(W, H, [&](GraphicsContext& ctx) {
    B::drawImageFormat_RawPlusJpegWithFrame(ctx, QRectF(0, 0, W, H), "S1", 0, "C", false, true);
  });
  const QImage jpeg = face(W, H, [&](GraphicsContext& ctx) {
    B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, left, H), "S1", 0, false, true);
  });
  const QImage raw = face(W, H, [&](GraphicsContext& ctx) {
    B::drawImageFormat_RawWithFrame(ctx, QRectF(start, 0, left, H), "C", false, true);
  });
  // Outside the middle tenth the picture is exactly the two faces.
  for (int y = 0; y < both.height(); ++y)
    for (int x = 0; x < both.width(); ++x) {
      const qreal px = (x + 0.5) / kDpr;
      if (px < left - 0.5) {
        ASSERT_EQ(both.pixel(x, y), jpeg.pixel(x, y)) << px;
      }
      if (px > start + 0.5) {
        ASSERT_EQ(both.pixel(x, y), raw.pixel(x, y)) << px;
      }
    }
  // The "+" sits in the middle tenth, centred.
  const sktest::Extent plus = extentIn(both, QRectF(left, 0, start - left, H), opaque);
  ASSERT_FALSE(plus.empty());
  EXPECT_NEAR((plus.left + plus.right) / 2, W / 2, 0.75);
  EXPECT_NEAR((plus.bottom + plus.top) / 2, H / 2, 2.0);
}

TEST(PropVisualFormatButtons, ImageMethodsDrawAtTheirFrameOriginIncluded) {
  const StyleKitImage plain = B::imageOfImageFormat_RawWithFrame(QRectF(0, 0, 40, 20), {}, false, true);
  const StyleKitImage shifted = B::imageOfImageFormat_RawWithFrame(QRectF(10, 0, 40, 20), {}, false, true);
  EXPECT_EQ(plain.size(), QSizeF(40, 20));
  EXPECT_EQ(shifted.size(), QSizeF(40, 20));
  const sktest::Extent a = sktest::extent(plain.render(kDpr), opaque);
  const sktest::Extent b = sktest::extent(shifted.render(kDpr), opaque);
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR(b.left - a.left, 10, 0.3);
  // Each image matches its draw method on the same frame.
  const QImage drawn = face(40, 20, [](GraphicsContext& ctx) {
    B::drawImageFormat_JpegWithFrame(ctx, QRectF(0, 0, 40, 20), "M2", 2, true, true);
  });
  EXPECT_TRUE(B::imageOfImageFormat_JpegWithFrame(QRectF(0, 0, 40, 20), "M2", 2, true, true).render(kDpr) == drawn);
}
