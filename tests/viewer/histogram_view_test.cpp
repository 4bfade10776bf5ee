// Histogram counting, scaling and curves.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <vector>

#include "viewer/still/histogram_view.h"

TEST(HistogramView, CountsEveryChannelWhateverThePixelLayout) {
  for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGBA8888,
                           QImage::Format_RGB888, QImage::Format_Grayscale8}) {
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    img.setPixelColor(0, 0, QColor(200, 200, 200));
    const ChannelCounts c = HistogramView::countChannels(img.convertToFormat(f));
    EXPECT_EQ(c.pixels, 8u) << f;
    EXPECT_EQ(c.red[200] + c.green[200] + c.blue[200], 3u) << f;
    if (f != QImage::Format_Grayscale8) {
      EXPECT_EQ(c.red[10], 7u) << f;
      EXPECT_EQ(c.green[20], 7u) << f;
      EXPECT_EQ(c.blue[30], 7u) << f;
    }
  }
}

// 32-bit pictures are counted in place, two pixels at a time: odd widths, rows padded
// past their pixels and alpha that differs from pixel to pixel must give what counting a
// converted copy gives.
TEST(HistogramView, InPlaceCountOfWordPixelsMatchesTheConvertedCount) {
  for (const int width : {1, 2, 5, 64, 333}) {
    const int height = 7, stride = width * 4 + 12;
    std::vector<uint8_t> bytes(size_t(stride) * height, 0xEE);  // the padding is never pixels
    uint32_t seed = uint32_t(width);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        seed = seed * 1664525u + 1013904223u;
        std::memcpy(bytes.data() + size_t(y) * stride + size_t(x) * 4, &seed, 4);
      }
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
      const QImage img(bytes.data(), width, height, stride, f);
      const ChannelCounts inPlace = HistogramView::countChannels(img);
      const ChannelCounts converted = HistogramView::countChannels(img.convertToFormat(QImage::Format_RGBX8888));
      EXPECT_EQ(inPlace.pixels, uint64_t(width) * height);
      EXPECT_EQ(inPlace.pixels, converted.pixels);
      EXPECT_EQ(inPlace.red, converted.red) << width << " " << f;
      EXPECT_EQ(inPlace.green, converted.green) << width << " " << f;
      EXPECT_EQ(inPlace.blue, converted.blue) << width << " " << f;
    }
  }
}

TEST(HistogramView, ScalingCapsThePeakAndSurvivesTinyImages) {
  HistogramCounts counts{};
  counts[0] = 290;  // 300 pixels: cap 10
  counts[1] = 5;
  counts[2] = 5;
  HistogramBins bins = HistogramView::scaleChannel(counts, 300);
  EXPECT_EQ(bins[0], 255);
  EXPECT_EQ(bins[1], 127);  // 5 / (10 / 255)
  EXPECT_EQ(bins[3], 0);
  // Fewer than 30 pixels: the cap truncates to 0; the peak stays 1, nothing divides by 0.
  HistogramCounts tiny{};
  tiny[7] = 3;
  bins = HistogramView::scaleChannel(tiny, 3);
  EXPECT_EQ(bins[7], 255);
  EXPECT_EQ(bins[8], 0);
  // A peak under the cap scales against itself.
  HistogramCounts even{};
  for (int i = 0; i < 256; ++i) even[i] = 100;
  bins = HistogramView::scaleChannel(even, 25600);
  EXPECT_EQ(bins[128], 255);
}

TEST(HistogramView, BlackImageFillsBinZeroAndLuminanceCombinesChannels) {
  QImage black(20, 20, QImage::Format_RGB32);
  black.fill(Qt::black);
  const ChannelCounts c = HistogramView::countChannels(black);
  EXPECT_EQ(HistogramView::scaleChannel(c.red, c.pixels)[0], 255);
  const HistogramBins lum = HistogramView::luminanceBins(c);
  EXPECT_EQ(lum[0], 255);
  EXPECT_EQ(lum[1], 0);
}

TEST(HistogramView, CurvesFollowTheModeAndClearEmptiesThem) {
  HistogramView view;
  view.resize(258, 102);
  QImage img(30, 30, QImage::Format_RGB32);
  img.fill(QColor(255, 0, 128));
  view.setImage(img, true);
  for (auto l : {HistogramView::Red, HistogramView::Green, HistogramView::Blue}) {
    EXPECT_TRUE(view.layer(l).hasPath);
    EXPECT_FALSE(view.layer(l).hidden);
  }
  EXPECT_TRUE(view.layer(HistogramView::Luminance).hidden);
  // The RGB frame is the view less two points each way; the path closes on its baseline.
  const QRectF b = view.layer(HistogramView::Red).path.bounds();
  EXPECT_NEAR(b.right(), 256, 0.01);
  EXPECT_GE(b.bottom(), 99.5);  // the full bin reaches 255 / 256 of the frame's height

  view.setImage(img, false);
  EXPECT_TRUE(view.layer(HistogramView::Red).hidden);
  EXPECT_FALSE(view.layer(HistogramView::Luminance).hidden);
  EXPECT_NEAR(view.layer(HistogramView::Luminance).path.bounds().right(), 258, 0.01);

  view.clear();
  for (int l = 0; l < 4; ++l) EXPECT_FALSE(view.layer(static_cast<HistogramView::Layer>(l)).hasPath);
  view.setImage(QImage(), true);  // nothing to count: still empty
  EXPECT_FALSE(view.layer(HistogramView::Red).hasPath);
}

TEST(HistogramView, ScaledCopyTruncatesAndRefusesEmptySizes) {
  QImage img(101, 51, QImage::Format_ARGB32);
  img.fill(Qt::red);
  const QImage half = HistogramView::scaledCopy(img, 0.5f);
  EXPECT_EQ(half.size(), QSize(50, 25));
  EXPECT_EQ(half.pixelColor(10, 10), QColor(Qt::red));
  EXPECT_TRUE(HistogramView::scaledCopy(img, 0.001f).isNull());
  EXPECT_TRUE(HistogramView::scaledCopy(QImage(), 2).isNull());
}
