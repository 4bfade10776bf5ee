// The EXIF strip's texts, as tables of value and make against the text shown.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/exif_strings.h"

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
