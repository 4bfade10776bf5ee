// A handful of icons at 1x and 2x against committed renders, so a drawing change fails here.
// KV_UPDATE_REFERENCES=1 rewrites tests/stylekit/reference/ (look at the files first).
#include <gtest/gtest.h>

#include <QPainter>

#include <functional>

#include "stylekit/icon_registry.h"
#include "support/reference_image.h"

namespace iconrefs {

const QString kFolder = QStringLiteral(KV_SOURCE_DIR "/tests/stylekit/reference");

// Icons without text, with fills, strokes, gradients and a shadow among them.
const char* const kIcons[][2] = {
    {"imageOfGearWithSize:", "gear"},
    {"imageOfBatteryWithSize:batteryPercentage:isCharging: (50, NO)", "battery-50"},
    {"imageOfSDCardWithSize:", "sd-card"},
    {"imageOfPlayCircleWithSize:", "play-circle"},
    {"imageOfKeyWithSize:", "key"},
};

const IconSample* find(const QString& name) {
  for (const IconSample& s : iconRegistry())
    if (s.name == name) return &s;
  return nullptr;
}

}  // namespace iconrefs

TEST(IconReference, IconsMatchTheirReferenceRenders) {
  for (const auto& icon : iconrefs::kIcons) {
    const IconSample* sample = iconrefs::find(QString::fromLatin1(icon[0]));
    ASSERT_NE(sample, nullptr) << icon[0];
    for (int ratio : {1, 2}) {
      SCOPED_TRACE(testing::Message() << icon[1] << " at " << ratio << "x");
      QImage img = sample->image(QSizeF(30, 30)).render(ratio);
      img.setDevicePixelRatio(1);
      EXPECT_TRUE(kvtest::matchesReference(img, iconrefs::kFolder, QStringLiteral("%1@%2x").arg(icon[1]).arg(ratio)));
    }
  }
}

// The comparison passes antialiasing noise and fails a drawing change.
TEST(IconReference, ComparisonToleratesNoiseButNotAChangedDrawing) {
  const IconSample* gear = iconrefs::find(QStringLiteral("imageOfGearWithSize:"));
  ASSERT_NE(gear, nullptr);
  const QImage base = gear->image(QSizeF(30, 30)).render(2).convertToFormat(QImage::Format_ARGB32);
  struct Case {
    const char* name;
    std::function<void(QImage&)> change;
    bool matches;
  };
  const Case cases[] = {
      {"unchanged", [](QImage&) {}, true},
      {"every pixel off by a few levels",
       [](QImage& img) {
         for (int y = 0; y < img.height(); ++y)
           for (int x = 0; x < img.width(); ++x) {
             const QRgb p = img.pixel(x, y);
             img.setPixel(x, y, qRgba(std::max(0, qRed(p) - 6), qGreen(p), std::min(255, qBlue(p) + 6), qAlpha(p)));
           }
       },
       true},
      {"two edge pixels far off",
       [](QImage& img) {
         img.setPixel(0, 0, qRgba(255, 0, 0, 255));
         img.setPixel(59, 59, qRgba(255, 0, 0, 255));
       },
       true},
      {"another colour",
       [](QImage& img) {
         for (int y = 0; y < img.height(); ++y)
           for (int x = 0; x < img.width(); ++x) {
             const QRgb p = img.pixel(x, y);
             if (qAlpha(p) > 0) img.setPixel(x, y, qRgba(qRed(p) / 2, qGreen(p), qBlue(p), qAlpha(p)));
           }
       },
       false},
      {"a part moved by one pixel",
       [](QImage& img) {
         const QImage copy = img;
         QPainter p(&img);
         p.setCompositionMode(QPainter::CompositionMode_Source);
         p.drawImage(QRect(1, 0, 30, 60), copy, QRect(0, 0, 30, 60));
       },
       false},
      {"another size", [](QImage& img) { img = img.copy(0, 0, 59, 60); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage changed = base;
    c.change(changed);
    const kvtest::ReferenceTolerance tol;
    const kvtest::ImageDifference d = kvtest::compareImages(changed, base, tol.channel);
    EXPECT_EQ(kvtest::withinTolerance(d, changed.size(), tol), c.matches)
        << d.differing << " differ, by up to " << d.worst;
  }
}
