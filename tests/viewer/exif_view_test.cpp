// The EXIF strip: its text, the icon codes chosen by camera make, the layout from the
// bottom-left, an empty strip for no data, and the hop to the GUI thread.
#include "viewer/still/exif_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <clocale>
#include <cstdio>
#include <locale.h>
#include <span>
#include <string>
#include <thread>

#include "model/exif_reader.h"
#include "platform/graphics/stylekit_image_view.h"
#include "ptp/base/filetypes.h"
#include "stylekit/korvalume_style_kit.h"
#include "tests/model/exif_fixture.h"
#include "tests/support/qt_test_support.h"
#include "tests/support/comma_locale.h"

namespace {


std::shared_ptr<Exif> exifOf(const exiffix::Tiff& tiff) {
  const exiffix::Bytes jpeg = exiffix::jpegWithExif(tiff.build(), 6000, 4000);
  auto exif = Exif::initWithData(std::span<const uint8_t>(jpeg), kFormatJpeg, kExifHeaderLength);
  EXPECT_NE(exif, nullptr);
  return exif;
}

QImage pixels(const StyleKitImage& image) { return image.render(2).convertToFormat(QImage::Format_ARGB32); }

struct Strip {
  QLabel* label;
  StyleKitImageView* metering;
  StyleKitImageView* whiteBalance;
};
Strip partsOf(const ExifView& view) {
  return {view.findChild<QLabel*>("exifLabel"), view.findChild<StyleKitImageView*>("meteringImageView"),
          view.findChild<StyleKitImageView*>("whiteBalanceImageView")};
}

}  // namespace

TEST(ExifView, IconsUseTheCodesOfTheCameraMake) {
  struct Case {
    const char* make;
    uint32_t metering, whiteBalance;
  };
  const Case cases[] = {{"Canon", 0xD107, 0xD109},
                        {"NIKON CORPORATION", 0x500B, 0x5005},
                        {"SONY", 0x500B, 0x5005}};
  for (const Case& c : cases) {
    auto exif = exifOf(exiffix::Tiff::camera(c.make));
    ASSERT_NE(exif, nullptr) << c.make;
    ExifView view(exif);
    const Strip s = partsOf(view);
    ASSERT_TRUE(s.label && s.metering && s.whiteBalance) << c.make;
    const QSizeF icon(20, 20);
    const PropertyVisual metering =
        KorvalumeStyleKit::imageOfMeteringMode_WithSize(icon, c.metering, exif->meteringMode(), false, false, false);
    const PropertyVisual whiteBalance = KorvalumeStyleKit::imageOfWhiteBalance_WithSize(
        icon, c.whiteBalance, exif->whiteBalance(), false, false, false);
    ASSERT_NE(visualImage(metering), nullptr) << c.make << ": the fixture's metering must have an icon";
    ASSERT_NE(visualImage(whiteBalance), nullptr) << c.make;
    EXPECT_TRUE(pixels(s.metering->image()) == pixels(*visualImage(metering))) << c.make;
    EXPECT_TRUE(pixels(s.whiteBalance->image()) == pixels(*visualImage(whiteBalance))) << c.make;
  }
}

TEST(ExifView, LaysOutTextThenTwoIconsFromTheBottomLeft) {
  auto exif = exifOf(exiffix::Tiff::camera("Canon"));
  ASSERT_NE(exif, nullptr);
  ExifView view(exif);
  const Strip s = partsOf(view);
  ASSERT_TRUE(s.label && s.metering && s.whiteBalance);
  EXPECT_EQ(view.height(), 24);
  EXPECT_EQ(view.pos(), QPoint(0, 0));
  // y-up: the label's bottom 4 above the strip's bottom, the icons' bottoms 2 above it.
  EXPECT_EQ(s.label->x(), 8);
  EXPECT_EQ(24 - (s.label->y() + s.label->height()), 4);
  EXPECT_EQ(s.label->size(), s.label->sizeHint());
  EXPECT_EQ(s.metering->geometry(), QRect(s.label->x() + s.label->width() + 8, 2, 20, 20));
  EXPECT_EQ(s.whiteBalance->geometry(), QRect(s.metering->geometry().right() + 1 + 8, 2, 20, 20));
  EXPECT_EQ(view.width(), s.whiteBalance->geometry().right() + 1 + 8);
  EXPECT_EQ(s.label->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(s.label->font().pixelSize(), 12);
}

TEST(ExifView, TextJoinsTheFieldsThreeBlanksApartAndLeavesOutMissingOnes) {
  // The camera fixture has every field, a compensation of -1/3 among them.
  auto full = exifOf(exiffix::Tiff::camera("Canon"));
  ASSERT_NE(full, nullptr);
  const QString text = ExifView::stripText(*full);
  EXPECT_EQ(text.split("   ").size(), 6) << text.toStdString();
  EXPECT_EQ(text, QString::fromStdString(*full->shutterSpeedString() + "   " + *full->apertureString() + "   " +
                                         *full->isoString() + "   " + *full->exposureCompensationString() + "   " +
                                         *full->focalLengthString() + "   " + *full->sizeString()));

  // No compensation and no exposure time: four fields, never "(null)" or doubled blanks.
  exiffix::Tiff sparse;
  sparse.ascii(true, 271, "Canon").rational(false, 33437, 28, 10).shortTag(false, 34855, 800);
  sparse.rational(false, 37386, 35, 1).longTag(false, 40962, 3000).longTag(false, 40963, 2000);
  auto exif = exifOf(sparse);
  ASSERT_NE(exif, nullptr);
  ASSERT_FALSE(exif->exposureCompensationString().has_value());
  ASSERT_FALSE(exif->shutterSpeedString().has_value());
  ExifView view(exif);
  const QString shown = partsOf(view).label->text();
  EXPECT_EQ(shown.split("   ").size(), 4) << shown.toStdString();
  EXPECT_FALSE(shown.contains("    ")) << shown.toStdString();
  EXPECT_FALSE(shown.contains("null")) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith(QString::fromStdString(*exif->apertureString()))) << shown.toStdString();
}

TEST(ExifView, NoExifLeavesAnEmptyStrip) {
  ExifView empty;
  EXPECT_TRUE(empty.findChildren<QWidget*>().isEmpty());
  EXPECT_EQ(empty.geometry(), QRect(0, 0, 200, 24));

  ExifView view(exifOf(exiffix::Tiff::camera("Canon")));
  ASSERT_NE(partsOf(view).label, nullptr);
  view.setExif(nullptr);
  EXPECT_TRUE(view.findChildren<QWidget*>().isEmpty());
  EXPECT_EQ(view.exif(), nullptr);
}

TEST(ExifView, SetFromAnotherThreadRebuildsOnTheGuiThread) {
  auto exif = exifOf(exiffix::Tiff::camera("NIKON"));
  ASSERT_NE(exif, nullptr);
  ExifView view;
  std::thread decoder([&] { view.setExif(exif); });
  decoder.join();
  EXPECT_EQ(view.exif(), nullptr) << "kept only on the GUI thread";
  ASSERT_TRUE(kvtest::waitUntil([&] { return partsOf(view).label != nullptr; }));
  EXPECT_EQ(view.exif(), exif);
  // A strip destroyed before the hop runs is left alone.
  {
    auto gone = std::make_unique<ExifView>();
    ExifView* raw = gone.get();
    std::thread late([&] { raw->setExif(exif); });
    late.join();
    gone.reset();
  }
  QCoreApplication::processEvents();
}

TEST(ExifView, StripKeepsTheDecimalPointUnderACommaLocale) {
  // The application runs under the user's C locale; this thread alone takes a comma one.
  kvtest::CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no comma-decimal locale installed (scripts/setup generates de_DE.UTF-8)";
  const bool printsComma = kvtest::CommaLocale::printsComma();
  QString text;
  {
    ExifView view(exifOf(exiffix::Tiff::camera("Canon")));
    if (QLabel* label = partsOf(view).label) text = label->text();
  }
  comma.restore();
  ASSERT_TRUE(printsComma) << "the locale found does not write a decimal comma";
  EXPECT_TRUE(text.contains("f5.6")) << text.toStdString();
  EXPECT_TRUE(text.contains("24.0MP")) << text.toStdString();
  EXPECT_FALSE(text.contains(',')) << text.toStdString();
}
