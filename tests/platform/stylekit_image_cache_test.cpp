// Rendered images are kept by what changes their pixels, bounded, and equal to a fresh render.
#include <gtest/gtest.h>

#include <QPainter>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/graphics/stylekit_image.h"
#include "platform/graphics/stylekit_image_cache.h"
#include "tests/platform/graphics_test_support.h"

namespace {

// Each test starts from an empty cache at the default limit and leaves it so.
class StyleKitImageCache : public ::testing::Test {
 protected:
  void SetUp() override {
    stylekit_image_cache::setLimit(stylekit_image_cache::kDefaultLimit);
    stylekit_image_cache::clear();
  }
  void TearDown() override { SetUp(); }
};

// A drawing that counts its runs and paints a blurred, coloured disc (what costs).
StyleKitImage countedDisc(QSizeF size, std::shared_ptr<std::atomic<int>> runs, QColor colour = Qt::red,
                          QByteArray key = {}) {
  return StyleKitImage::imageWithSize(
      size,
      [runs, colour](GraphicsContext& ctx, QRectF frame) {
        ++*runs;
        ctx.setShadow(Shadow(Qt::black, QSizeF(1, -1), 3));
        ctx.setFillColor(colour);
        ctx.fill(BezierPath::bezierPathWithOvalInRect(frame.adjusted(3, 3, -3, -3)));
        return true;
      },
      std::move(key));
}

QImage paintedThrough(const StyleKitImage& img, QSize canvas, qreal dpr, QRectF target) {
  QImage out(canvas * dpr, QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(dpr);
  out.fill(Qt::transparent);
  QPainter p(&out);
  img.draw(p, target);
  return out;
}

}  // namespace

TEST_F(StyleKitImageCache, RepeatedRenderOfOneImageDrawsOnce) {
  auto runs = std::make_shared<std::atomic<int>>(0);
  const StyleKitImage img = countedDisc(QSizeF(20, 20), runs);
  const QImage first = img.render(2);
  const QImage second = img.render(2);
  EXPECT_EQ(runs->load(), 1);
  EXPECT_EQ(first, second);
  EXPECT_EQ(second.devicePixelRatio(), 2);

  // Drawn into a painter (a view's paint, an icon's pixmap): the same.
  paintedThrough(img, QSize(30, 30), 2, QRectF(5, 5, 20, 20));
  paintedThrough(img, QSize(30, 30), 2, QRectF(5, 5, 20, 20));
  EXPECT_EQ(runs->load(), 2);
  const auto s = stylekit_image_cache::stats();
  EXPECT_EQ(s.misses, 2u);
  EXPECT_EQ(s.hits, 2u);
}

TEST_F(StyleKitImageCache, ImagesWithOneKeyShareRendersAndAnythingThatChangesPixelsDrawsAgain) {
  auto runs = std::make_shared<std::atomic<int>>(0);
  const QByteArray key("disc/red");
  // Made anew for every paint, as the kit's image methods are.
  countedDisc(QSizeF(20, 20), runs, Qt::red, key).render(2);
  countedDisc(QSizeF(20, 20), runs, Qt::red, key).render(2);
  ASSERT_EQ(runs->load(), 1);

  struct Case {
    const char* what;
    std::function<void()> render;
  } cases[] = {
      {"another ratio", [&] { countedDisc(QSizeF(20, 20), runs, Qt::red, key).render(1.5); }},
      {"another size", [&] { countedDisc(QSizeF(21, 20), runs, Qt::red, key).render(2); }},
      {"another key", [&] { countedDisc(QSizeF(20, 20), runs, Qt::blue, "disc/blue").render(2); }},
      {"no key", [&] { countedDisc(QSizeF(20, 20), runs, Qt::red).render(2); }},
      {"a pixel size", [&] { countedDisc(QSizeF(20, 20), runs, Qt::red, key).renderToPixelSize(QSize(40, 40)); }},
      {"another pixel size",
       [&] { countedDisc(QSizeF(20, 20), runs, Qt::red, key).renderToPixelSize(QSize(40, 39)); }},
  };
  for (const Case& c : cases) {
    const int before = runs->load();
    c.render();
    EXPECT_EQ(runs->load(), before + 1) << c.what;
    c.render();  // now kept (the keyless image is a new image each time, so it draws again)
    EXPECT_EQ(runs->load(), before + (std::string(c.what) == "no key" ? 2 : 1)) << c.what;
  }
}

TEST_F(StyleKitImageCache, KeptRenderIsPixelIdenticalToAFreshOne) {
  auto runs = std::make_shared<std::atomic<int>>(0);
  for (qreal dpr : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    for (QSizeF size : {QSizeF(14, 14), QSizeF(24, 17.5), QSizeF(96, 96)}) {
      const QByteArray key = "disc/" + QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
      stylekit_image_cache::setLimit(stylekit_image_cache::kDefaultLimit);
      countedDisc(size, runs, Qt::red, key).render(dpr);  // fills the cache
      const QImage kept = countedDisc(size, runs, Qt::red, key).render(dpr);
      const QRectF target(1.5, 2.25, size.width(), size.height());
      const QImage keptDrawn = paintedThrough(countedDisc(size, runs, Qt::red, key), QSize(100, 100), dpr, target);
      stylekit_image_cache::setLimit(0);
      const QImage fresh = countedDisc(size, runs, Qt::red, key).render(dpr);
      const QImage freshDrawn = paintedThrough(countedDisc(size, runs, Qt::red, key), QSize(100, 100), dpr, target);
      EXPECT_EQ(kept, fresh) << dpr << " " << size.width();
      EXPECT_EQ(kept.devicePixelRatio(), fresh.devicePixelRatio());
      EXPECT_EQ(keptDrawn, freshDrawn) << dpr << " " << size.width();
    }
  }
}

TEST_F(StyleKitImageCache, BoundEvictsTheLeastRecentlyUsed) {
  auto runs = std::make_shared<std::atomic<int>>(0);
  const StyleKitImage a = countedDisc(QSizeF(10, 10), runs), b = countedDisc(QSizeF(10, 10), runs),
                      c = countedDisc(QSizeF(10, 10), runs);
  const qsizetype one = a.render(1).sizeInBytes();  // 400 bytes
  stylekit_image_cache::clear();
  stylekit_image_cache::setLimit(2 * one);
  runs->store(0);
  a.render(1);
  b.render(1);
  a.render(1);  // a is now the more recent
  c.render(1);  // pushes out b
  EXPECT_EQ(runs->load(), 3);
  EXPECT_LE(stylekit_image_cache::stats().bytes, 2 * one);
  EXPECT_EQ(stylekit_image_cache::stats().entries, 2);
  a.render(1);
  c.render(1);
  EXPECT_EQ(runs->load(), 3);
  b.render(1);
  EXPECT_EQ(runs->load(), 4);

  // Lowering the limit evicts at once; an image over the limit is never kept; 0 keeps nothing.
  stylekit_image_cache::setLimit(one);
  EXPECT_EQ(stylekit_image_cache::stats().entries, 1);
  countedDisc(QSizeF(40, 40), runs).render(1);
  EXPECT_EQ(stylekit_image_cache::stats().entries, 1);
  stylekit_image_cache::setLimit(0);
  EXPECT_EQ(stylekit_image_cache::stats().entries, 0);
  a.render(1);
  a.render(1);
  EXPECT_EQ(runs->load(), 7);
  EXPECT_EQ(stylekit_image_cache::stats().bytes, 0);
}

TEST_F(StyleKitImageCache, RendersFromSeveralThreadsAgreeWithOneThread) {
  auto runs = std::make_shared<std::atomic<int>>(0);
  std::vector<StyleKitImage> images;
  std::vector<QImage> expected;
  for (int i = 0; i < 4; ++i) {
    images.push_back(countedDisc(QSizeF(16 + i, 16), runs, QColor::fromHsv(i * 60, 255, 255), "t" + QByteArray::number(i)));
    expected.push_back(images.back().render(2));
  }
  stylekit_image_cache::clear();
  stylekit_image_cache::setLimit(3 * expected[0].sizeInBytes());  // too small for all: evictions race lookups
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int n = 0; n < 40; ++n) {
        const size_t i = static_cast<size_t>(t + n) % images.size();
        if (images[i].render(2) != expected[i]) ++wrong;
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_LE(stylekit_image_cache::stats().bytes, 3 * expected[0].sizeInBytes());
}
