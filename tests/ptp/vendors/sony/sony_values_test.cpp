// Sony value texts, exposure arithmetic, drive and focus predicates, image formats and
// the TIFF preview finder.
#include <algorithm>
#include <cmath>

#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_values.h"
#include "tests/ptp/vendors/sony/sony_fixture.h"

using kvtest::putProperty;

TEST_F(SonyTest, ValueTexts) {
  kvtest::useSonyModel("ILCE-7M3");
  struct Case {
    uint32_t code, value;
    std::optional<std::string> text;
  } cases[] = {
      {0x5007, 280, "2.8"},       {0x5007, 1100, "11.0"},      {0x5010, 0, "+/-0"},
      {0x5010, 700, "+0.7"},      {0x5010, 0xFD44, "-0.7"},    {0xD200, 0x10BB8, "+3.0"},  // low 16 bits only
      {0x500A, 1, "MF"},          {0x500A, 0x8004, "AF-C"},    {0x500E, 3, "A"},
      {0x500B, 0x8001, "Multi"},  {0x500C, 1, std::nullopt},   {0x5008, 1, std::nullopt},
      {0x500D, 1, std::nullopt},  {0x500F, 100, std::nullopt}, {0xD21E, 100, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(sonyValueText(c.code, c.value), c.text) << std::hex << c.code << " " << c.value;
  // A focus-mode value missing from its list is no exposure-mode or metering name.
  EXPECT_EQ(sonyValueText(0x500A, 3), std::nullopt);
  EXPECT_EQ(sonyDisplayText(0x500A, 3, PTP_DTC_UINT16), "3");
  EXPECT_EQ(sonyDisplayText(0xD20D, 0x10000 | 250, PTP_DTC_UINT32), "1/250");
  EXPECT_EQ(sonyDisplayText(0xD20D, 8 << 16 | 10, PTP_DTC_UINT32), "0.8\"");
  EXPECT_EQ(sonyDisplayText(0xD21E, 0xFFFFFF, PTP_DTC_UINT32), "ISO AUTO");
  EXPECT_EQ(sonyDisplayText(0xD21E, 3200, PTP_DTC_UINT32), "ISO 3200");
}

TEST_F(SonyTest, ShutterAndExposureArithmetic) {
  EXPECT_EQ(sonyShutterSpeedToMs(0x10000 | 250), 4u);
  EXPECT_EQ(sonyShutterSpeedToMs(300u << 16 | 10), 30000u);
  EXPECT_EQ(sonyShutterSpeedToMs(0xFFFF), 0u);
  EXPECT_EQ(sonyShutterSpeedToMs(0xFFFFu << 16 | 1), 0u);
  // A zero denominator is no exposure, not a division by zero.
  EXPECT_EQ(sonyShutterSpeedToMs(5u << 16), 0u);

  EXPECT_FLOAT_EQ(sonyExposureBiasToEv(0xFC18), -1.0f);
  EXPECT_FLOAT_EQ(sonyExposureBiasToEv(1300), 1.3f);
  EXPECT_EQ(sonyEvToExposureBias(-0.7f), static_cast<uint32_t>(-700));
  EXPECT_EQ(sonyEvToExposureBias(2.0f), 2000u);

  EXPECT_EQ(sonyExposureSeconds(), 0.0);
  putProperty(0xD20D, 1u << 16 | 2);
  EXPECT_DOUBLE_EQ(sonyExposureSeconds(), 0.5);
  putProperty(0xD20D, 4u << 16);
  EXPECT_EQ(sonyExposureSeconds(), 0.0);
}

TEST_F(SonyTest, DriveBulbAndFocusPredicates) {
  for (uint32_t v : {2u, 0x8008u, 0x800Fu, 0x8012u, 0x8311u, 0x8577u, 0x8977u, 0x18012u})
    EXPECT_TRUE(sonyIsContinuousDriveValue(v)) << std::hex << v;
  for (uint32_t v : {1u, 0x8010u, 0x8015u, 0x8004u, 0x8911u + 1})
    EXPECT_FALSE(sonyIsContinuousDriveValue(v)) << std::hex << v;
  EXPECT_EQ(sonyBracketingShots(0x8357), 3);
  EXPECT_EQ(sonyBracketingShots(0x8531), 5);
  EXPECT_EQ(sonyBracketingShots(0x8911), 9);
  EXPECT_EQ(sonyBracketingShots(0x8921), 0);

  // Bulb: supported without an exposure-mode record; not in S or the movie modes; not
  // with a continuous drive.
  EXPECT_TRUE(sonyIsBulbSupported());
  putProperty(0x500E, 1);
  EXPECT_TRUE(sonyIsBulbSupported());
  for (uint32_t mode : {4u, 0x8050u, 0x30004u, 0x78050u}) {
    putProperty(0x500E, mode);
    EXPECT_FALSE(sonyIsBulbSupported()) << std::hex << mode;
  }
  putProperty(0x500E, 1);
  putProperty(0x5013, 0x8012);
  EXPECT_FALSE(sonyIsBulbSupported());
  EXPECT_FALSE(sonyIsContinuousDrive());  // 0x8012 is not counted here
  putProperty(0x5013, 0x8010);
  EXPECT_TRUE(sonyIsContinuousDrive());
  EXPECT_TRUE(sonyIsDriveCodeSpecial());
  putProperty(0x5013, 1);
  EXPECT_FALSE(sonyIsContinuousDrive());
  EXPECT_FALSE(sonyIsDriveCodeSpecial());

  EXPECT_FALSE(sonyIsBulbSelected());
  putProperty(0xD20D, 0, {}, 0);
  EXPECT_FALSE(sonyIsBulbSelected());  // not settable
  putProperty(0xD20D, 0, {}, 1);
  EXPECT_TRUE(sonyIsBulbSelected());

  EXPECT_FALSE(sonyIsManualFocus());
  EXPECT_FALSE(sonyIsAutoFocusMode());
  putProperty(0x500A, 1);
  EXPECT_TRUE(sonyIsManualFocus());
  putProperty(0x500A, 2);
  EXPECT_TRUE(sonyIsAutoFocusMode());
  for (uint32_t v : {2u, 6u}) {
    putProperty(0xD213, v);
    EXPECT_TRUE(sonyIsInFocus());
  }
  putProperty(0xD213, 1);
  EXPECT_FALSE(sonyIsInFocus());
}

TEST_F(SonyTest, ExposureBiasLimitsAndZoomReadouts) {
  EXPECT_EQ(sonyGetExposureBiasMax(), 0.0f);
  putProperty(0x5010, 0, {0xEC78 /* -5.0 */, 0xFCE0, 0, 300, 3000});
  EXPECT_FLOAT_EQ(sonyGetExposureBiasMax(), 3.0f);
  EXPECT_FLOAT_EQ(sonyGetExposureBiasMin(), -5.0f);
  EXPECT_FALSE(sonyIsExposureBiasAdjustable());
  putProperty(0x5010, 300, {300, 700});
  EXPECT_TRUE(sonyIsExposureBiasAdjustable());
  EXPECT_FLOAT_EQ(sonyGetExposureBiasMin(), 0.0f);  // never above 0

  uint8_t a = 0, b = 0, c = 0;
  EXPECT_FALSE(sonyGetZoomBarInfo(a, b, c));
  putProperty(0xD25D, 0x11223344, {}, 1, PTP_DTC_UINT32);
  ASSERT_TRUE(sonyGetZoomBarInfo(a, b, c));
  EXPECT_EQ(a, 0x11);
  EXPECT_EQ(b, 0x22);
  EXPECT_EQ(c, 0x44);

  EXPECT_FALSE(sonyIsLiveViewZoomEnabled());
  putProperty(0xD25B, 1);
  EXPECT_TRUE(sonyIsLiveViewZoomEnabled());
  EXPECT_FALSE(sonyIsFlashModeSettable());
  putProperty(0x500C, 1, {}, 1);
  EXPECT_TRUE(sonyIsFlashModeSettable());

  putProperty(0xD22C, 258);
  EXPECT_TRUE(sonyIsWideFocusArea());
  putProperty(0xD22C, 1);
  EXPECT_FALSE(sonyIsWideFocusArea());
  kvtest::useSonyModel("ILCE-7RM4");
  EXPECT_TRUE(sonyIsWideFocusArea());  // direct-set bodies
}

TEST_F(SonyTest, ImageQualityTextsInBothSchemes) {
  struct Case {
    int64_t value;
    const char* text;
  };
  // Old scheme: only 0x5004.
  putProperty(0x5004, 3);
  const Case old[] = {{-1, "--"},
                      {16, "RAW"},
                      {3, "JPG (FINE)"},
                      {0x10004, "L JPG (X-FINE)"},
                      {0x20012, "RAW + M JPG (STD)"},
                      {0x30001, "S JPG (LIGHT)"},
                      {0x10007, "L "}};
  for (const auto& c : old) EXPECT_EQ(sonyImageQualityText(c.value), c.text) << c.value;

  // New scheme: 0xD253 present.
  putProperty(0xD253, 3);
  const Case fresh[] = {{1, "RAW"},
                        {0x10101, "RAW"},
                        {0x10102, "RAW + L JPG (X-FINE)"},
                        {0x20203, "M JPG (FINE)"},
                        {0x30303, "S JPG (STD)"},
                        {0x10403, "L JPG (LIGHT)"},
                        {0x10003, "L JPG (FINE)"},  // no compression byte: by the low nibble
                        {0, ""}};
  for (const auto& c : fresh) EXPECT_EQ(sonyImageQualityText(c.value), c.text) << c.value;
}

TEST_F(SonyTest, RawAndJpegPartsOfTheCurrentFormat) {
  int64_t raw = 0, jpeg = 0;
  EXPECT_EQ(sonyGetRawFormat(raw), ERROR_GENERAL);
  EXPECT_EQ(sonyGetJpegFormat(jpeg), ERROR_GENERAL);

  // New scheme; the packed value is rebuilt from format, compression and size.
  putProperty(0xD253, 2);
  putProperty(0xD252, 2);
  putProperty(0xD203, 1);
  ASSERT_TRUE(sonyRebuildQualityValue());
  EXPECT_EQ(kvtest::valueOf(0xD253), 0x10202u);
  ASSERT_EQ(sonyGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, 1);
  ASSERT_EQ(sonyGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(jpeg, 0x10203);
  EXPECT_TRUE(sonyQualityIncludesJpeg(0x10202));
  EXPECT_TRUE(sonyQualityIncludesJpeg(3));
  EXPECT_FALSE(sonyQualityIncludesJpeg(0x10201));

  // RAW only: its size and compression bits are no JPEG part.
  putProperty(0xD253, 1);
  sonyRebuildQualityValue();
  ASSERT_EQ(sonyGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(jpeg, -1);
  putProperty(0xD253, 3);
  sonyRebuildQualityValue();
  ASSERT_EQ(sonyGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, -1);
  EXPECT_TRUE(sonyValueHasRaw(2));
  EXPECT_FALSE(sonyValueHasRaw(3));
  EXPECT_FALSE(sonyValueHasRaw(-1));

  // Old scheme.
  kvtest::resetSony();
  putProperty(0x5004, 19);
  ASSERT_EQ(sonyGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, 16);
  ASSERT_EQ(sonyGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(jpeg, 3);
  putProperty(0x5004, 16);
  ASSERT_EQ(sonyGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(jpeg, -1);
  EXPECT_FALSE(sonyQualityIncludesJpeg(16));
  EXPECT_TRUE(sonyQualityIncludesJpeg(18));
}

TEST_F(SonyTest, ImageFormatChoices) {
  putProperty(0x5004, 3);
  const auto oldJpeg = sonyGetImageFormatChoices(1);
  ASSERT_EQ(oldJpeg.size(), 10u);
  EXPECT_EQ(oldJpeg[0], -1);
  EXPECT_EQ(oldJpeg[1], 0x10002);
  EXPECT_EQ(oldJpeg[9], 0x30004);
  EXPECT_EQ(sonyGetImageFormatChoices(6), (std::vector<int64_t>{-1, 16}));
  EXPECT_EQ(sonyGetImageFormatChoices(2), (std::vector<int64_t>{-1}));

  putProperty(0xD253, 3);
  camSetModelIndex(163);
  const auto newJpeg = sonyGetImageFormatChoices(1);
  ASSERT_EQ(newJpeg.size(), 10u);
  EXPECT_EQ(newJpeg[1], 0x10303);
  EXPECT_EQ(newJpeg[3], 0x10103);
  EXPECT_EQ(sonyGetImageFormatChoices(6), (std::vector<int64_t>{-1, 1}));
  camSetModelIndex(182);
  const auto m4 = sonyGetImageFormatChoices(1);
  ASSERT_EQ(m4.size(), 13u);
  EXPECT_EQ(m4[1], 0x10403);  // the lightest compression first
}

TEST_F(SonyTest, TiffPreviewIsFoundOnlyInsideTheBuffer) {
  // Four junk bytes, then a little-endian TIFF whose first directory holds the preview.
  auto build = [](uint32_t offset, uint32_t length, uint16_t type = 4) {
    std::vector<uint8_t> b = {0, 0, 0, 0, 'I', 'I', 42, 0};
    kvtest::putLe(b, 8, 4);  // directory at 8 (relative to "II")
    kvtest::putLe(b, 3, 2);
    auto entry = [&](uint16_t tag, uint16_t t, uint32_t count, uint32_t value) {
      kvtest::putLe(b, tag, 2);
      kvtest::putLe(b, t, 2);
      kvtest::putLe(b, count, 4);
      kvtest::putLe(b, value, 4);
    };
    entry(0x0100, 3, 1, 160);
    entry(0x0201, type, 1, offset);
    entry(0x0202, 4, 1, length);
    b.resize(200, 0xAB);
    return b;
  };
  // A whole JPEG at 60 (relative to "II"), zero fill after it.
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0x00, 0xFF,
                                     0xDA, 0x00, 0x02, 0x11, 0x22, 0x33, 0xFF, 0xD9};
  auto withJpeg = [&](std::vector<uint8_t> b, size_t bytes) {
    std::fill(b.begin() + 64, b.begin() + 164, 0);
    std::copy(jpeg.begin(), jpeg.begin() + long(bytes), b.begin() + 64);
    return b;
  };
  uint32_t offset = 0, length = 0;
  auto ok = withJpeg(build(60, 100), jpeg.size());
  ASSERT_TRUE(sonyFindTiffPreview(ok.data(), ok.size(), offset, length));
  EXPECT_EQ(offset, 60u);
  EXPECT_EQ(length, 16u);  // cut at its end of image

  // Bytes that are no JPEG, or a JPEG start with zero fill after it (a cut-off
  // download), hold no whole preview.
  EXPECT_FALSE(sonyFindTiffPreview(build(60, 100).data(), 200, offset, length));
  auto cut = withJpeg(build(60, 100), 10);
  EXPECT_FALSE(sonyFindTiffPreview(cut.data(), cut.size(), offset, length));

  auto past = build(60, 0xFFFFFFF0);
  EXPECT_FALSE(sonyFindTiffPreview(past.data(), past.size(), offset, length));
  auto wrongType = build(60, 100, 3);
  EXPECT_FALSE(sonyFindTiffPreview(wrongType.data(), wrongType.size(), offset, length));
  auto truncated = build(60, 100);
  truncated.resize(30);  // the directory is cut off
  EXPECT_FALSE(sonyFindTiffPreview(truncated.data(), truncated.size(), offset, length));
  std::vector<uint8_t> none(150, 0);
  EXPECT_FALSE(sonyFindTiffPreview(none.data(), none.size(), offset, length));
  EXPECT_FALSE(sonyFindTiffPreview(nullptr, 0, offset, length));
}
