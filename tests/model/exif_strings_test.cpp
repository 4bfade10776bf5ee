// The EXIF strip's texts, as tables of value and make against the text shown.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale.h>
#include <string>

#include "model/exif_fixture.h"
#include "model/exif_reader.h"
#include "model/exif_strings.h"
#include "ptp/base/filetypes.h"
#include "tests/support/comma_locale.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::optional<std::string> none = std::nullopt;
}  // namespace

TEST(ExifStrings, ShutterSpeedByMake) {
  struct Case {
    float seconds;
    uint8_t make;
    std::optional<std::string> text;
  } cases[] = {
      {1.0f / 125, 0, "1/125"},
      {1.0f / 8000, 14, "1/8000"},
      {0.3f, 15, "0\"3"},       // Nikon between a quarter and one second: tenths
      {0.5f, 15, "0\"5"},
      {0.25f, 15, "1/4"},
      {1.0f / 60, 15, "1/60"},
      {1.0f, 15, "1\"0"},
      {0.3f, 14, "1/3"},        // the same time from a Sony
      {0.3f, 0, "1/3"},
      {0.3f, 13, "0\"3"},       // 0.3 in single precision is not below 0.3: long form
      {0.25f, 13, "1/4"},
      {2.5f, 0, "2\"5"},
      {30.0f, 13, "30\"0"},
      {1.3f, 15, "1\"3"},
      // Nothing usable: no text rather than an integer made of infinity.
      {0.0f, 0, none},
      {-0.5f, 15, none},
      {kNaN, 13, none},
      {kInf, 0, none},
      {1e-30f, 0, "1/2147483647"},
      {1e30f, 0, "2147483647\"2147483647"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(exifShutterSpeedText(c.seconds, c.make), c.text) << c.seconds << " make " << int(c.make);
}

TEST(ExifStrings, ExposureCompensationInThirdsAndHalves) {
  struct Case {
    float ev;
    std::optional<std::string> text;
  } cases[] = {
      {0.0f, none},        {-1.333f, "-1 1/3"}, {0.667f, "+ 2/3"}, {2.0f, "+2"},     {-0.5f, "- 1/2"},
      {0.9f, "+"},         {1.0f / 3, "+ 1/3"}, {-2.0f / 3, "- 2/3"}, {-3.0f, "-3"}, {1.5f, "+1 1/2"},
      {kNaN, none},        {-kInf, none},       {-3e9f, "-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(exifExposureCompensationText(c.ev), c.text) << c.ev;
}

TEST(ExifStrings, ApertureIsoFocalLengthAndSize) {
  EXPECT_EQ(exifApertureText(5.6f), "f5.6");
  EXPECT_EQ(exifApertureText(0.0f), "f0.0");
  EXPECT_EQ(exifIsoText(0), "ISO *");
  EXPECT_EQ(exifIsoText(6400), "ISO6400");
  EXPECT_EQ(exifFocalLengthText(50), "50mm");
  EXPECT_EQ(exifSizeText(6000, 4000), "24.0MP");
  EXPECT_EQ(exifSizeText(640, 480), "0.3MP");
  EXPECT_EQ(exifSizeText(65535, 65535), "4294.8MP");  // no 16-bit product overflow
  EXPECT_EQ(exifSizeText(0, 0), none);
  EXPECT_EQ(exifSizeText(6000, 0), none);
}

TEST(ExifStrings, TenthsThatRoundToTenCarryIntoTheSeconds) {
  struct Case {
    float seconds;
    uint8_t make;
    std::string text;
  } cases[] = {
      {2.96f, 0, "3\"0"},    {2.96f, 13, "3\"0"}, {2.96f, 15, "3\"0"},
      {0.97f, 13, "1\"0"},   // Canon's long form starts at 0.3 s
      {0.99f, 13, "1\"0"},   {9.97f, 0, "10\"0"}, {59.96f, 14, "60\"0"},
      {1.04f, 15, "1\"0"},   {2.94f, 0, "2\"9"},  {0.96f, 15, "1\"0"},  // Nikon's tenths below a second
      {0.93f, 13, "0\"9"},   {1.96f, 15, "2\"0"},
  };
  for (const Case& c : cases) EXPECT_EQ(exifShutterSpeedText(c.seconds, c.make), c.text) << c.seconds << " make " << int(c.make);
}

TEST(ExifStrings, TextsKeepTheDecimalPointUnderACommaLocale) {
  kvtest::CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no comma-decimal locale installed (scripts/setup generates de_DE.UTF-8)";
  const bool printsComma = kvtest::CommaLocale::printsComma();

  // The strings of a real read, as the strip asks for them.
  exiffix::Tiff t = exiffix::Tiff::camera("NIKON CORPORATION");
  const exiffix::Bytes jpeg = exiffix::jpegWithExif(t.build());
  auto exif = Exif::initWithData(std::span<const uint8_t>(jpeg.data(), jpeg.size()), kFormatJpeg, kExifHeaderLength);
  std::optional<std::string> aperture, size;
  if (exif) aperture = exif->apertureString(), size = exif->sizeString();
  const auto nikonTenths = exifShutterSpeedText(0.5f, 15);
  const auto canonLong = exifShutterSpeedText(2.5f, 13);
  const auto megapixels = exifSizeText(6000, 4000);
  const auto fNumber = exifApertureText(5.6f);
  comma.restore();

  ASSERT_TRUE(printsComma) << "the locale found does not write a decimal comma";
  ASSERT_TRUE(exif);
  EXPECT_EQ(aperture, "f5.6");
  EXPECT_EQ(size, "24.0MP");
  EXPECT_EQ(fNumber, "f5.6");
  EXPECT_EQ(megapixels, "24.0MP");
  EXPECT_EQ(nikonTenths, "0\"5");
  EXPECT_EQ(canonLong, "2\"5");
}
