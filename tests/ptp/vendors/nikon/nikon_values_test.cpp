// Nikon value rules over the property table: image quality, exposure, bracketing, flash,
// auto ISO and the label table.
#include <gtest/gtest.h>

#include <cmath>

#include "ptp/props/prop_labels.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"

using kvtest::putProperty;
using kvtest::useNikonModel;

TEST_F(NikonTest, ExposureBiasRoundsThirdsTheCameraWay) {
  useNikonModel(219);
  struct Case {
    float ev;
    int16_t bias;
  } cases[] = {{0.05f, 0},     {-0.09f, 0},   {0.333f, 333},  {0.332f, 333},   {0.334f, 333},
               {-0.667f, -666}, {0.667f, 666}, {1.0f, 1000},   {-1.5f, -1500},  {1.667f, 1666},
               {2.0f, 2000},   {-0.3333f, -333}};
  for (const auto& c : cases) {
    const uint32_t v = nikonEvToExposureBias(c.ev);
    EXPECT_EQ(static_cast<int16_t>(v), c.bias) << c.ev;
    EXPECT_LE(v, 0xFFFFu) << "a 16-bit pattern";
  }
  EXPECT_FLOAT_EQ(nikonExposureBiasToEv(static_cast<uint16_t>(-666)), -0.666f);
  EXPECT_FLOAT_EQ(nikonExposureBiasToEv(0x000103E8), 1.0f) << "only the low 16 bits count";
}

TEST_F(NikonTest, ShutterSpeedToMilliseconds) {
  EXPECT_EQ(nikonShutterSpeedToMs(0x00010019), 40u);
  EXPECT_EQ(nikonShutterSpeedToMs(0x001E0001), 30000u);
  EXPECT_EQ(nikonShutterSpeedToMs(0x00010FA0), 0u);
  EXPECT_EQ(nikonShutterSpeedToMs(0xFFFFFFFF), 0u);
  EXPECT_EQ(nikonShutterSpeedToMs(0xFFFFFFFE), 0u);
  // A zero denominator from the camera must not divide by zero.
  EXPECT_EQ(nikonShutterSpeedToMs(0x00050000), 0u);
}

TEST_F(NikonTest, KelvinMapOnlyOnModel197) {
  useNikonModel(197);
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(20), 5000u);
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(31), 5000u);
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(0), 2500u);
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(30), 10000u);
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(0xFFFFFFFF), 5000u);
  // Back to the nearest entry, split at the midpoints.
  struct Case {
    uint32_t kelvin, index;
  } cases[] = {{0, 0}, {2529, 0}, {2530, 1}, {2594, 1}, {2595, 2}, {4449, 17}, {4450, 18},
               {5000, 20}, {10000, 30}, {60000, 30}};
  for (const auto& c : cases) EXPECT_EQ(nikonKelvinToWhiteBalanceIndex(c.kelvin), c.index) << c.kelvin;
  for (uint32_t i = 0; i <= 30; ++i) EXPECT_EQ(nikonKelvinToWhiteBalanceIndex(nikonMapWhiteBalanceKelvin(i)), i);

  useNikonModel(196);
  EXPECT_TRUE(nikonModelHasWbKelvinMap());
  EXPECT_EQ(nikonMapWhiteBalanceKelvin(20), 20u);
  EXPECT_EQ(nikonKelvinToWhiteBalanceIndex(5000), 5000u);
  useNikonModel(219);
  EXPECT_FALSE(nikonModelHasWbKelvinMap());
}

TEST_F(NikonTest, ImageQualityText) {
  struct Case {
    uint8_t model;
    int64_t packed;
    const char* text;
  } cases[] = {
      {196, -1, "--"},
      {196, 2, "L JPG (FINE)"},
      {196, 0x00010001, "M JPG (NORM)"},
      {196, 4, "RAW"},
      {196, 0x00010007, "RAW + M JPG (FINE)"},
      {196, 0x02000005, "S RAW + L JPG (BASIC)"},
      {196, 3, ""},
      {219, 7, "RAW"},
      {219, 0x0102000D, "M RAW + S JPG (FINE)*"},
      {219, 0x00020001, "S JPG (BASIC)*"},
      {219, 0x0000000A, "RAW + L JPG (NORM)"},
      {219, 6, ""},
      {219, 0x00050004, "JPG (FINE)"},
  };
  for (const auto& c : cases) {
    useNikonModel(c.model);
    EXPECT_EQ(nikonImageQualityText(c.packed), c.text) << int(c.model) << " " << std::hex << c.packed;
  }
}

TEST_F(NikonTest, QualityPartsOfTheCompositeValue) {
  // Older body: 0-2 JPEG, 4 RAW, 5-7 RAW + JPEG; M image size, S RAW size.
  useNikonModel(196);
  putProperty(0x5004, nikonComposeImageQuality(6, 1, 2), {0, 1, 2, 4, 5, 6, 7}, 1, PTP_DTC_UINT8);
  int64_t raw = 0, jpeg = 0;
  ASSERT_EQ(nikonGetRawFormat(raw), PTP_RC_OK);
  ASSERT_EQ(nikonGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(raw, 0x02000004);
  EXPECT_EQ(jpeg, 0x00010001);
  EXPECT_EQ(nikonQualityValueFor(raw, jpeg), 6);
  EXPECT_EQ(nikonQualityValueFor(raw, -1), 4);
  EXPECT_EQ(nikonQualityValueFor(-1, jpeg), 1);
  EXPECT_EQ(nikonQualityValueFor(-1, -1), -1);
  EXPECT_TRUE(nikonQualityIncludesRaw());

  uint16_t size = 99;
  uint8_t quality = 99;
  ASSERT_EQ(nikonDecodeImageFormat(static_cast<uint32_t>(raw), 6, &size, &quality), PTP_RC_OK);
  EXPECT_EQ(size, 2);
  EXPECT_EQ(quality, 0);
  ASSERT_EQ(nikonDecodeImageFormat(static_cast<uint32_t>(jpeg), 1, &size, &quality), PTP_RC_OK);
  EXPECT_EQ(size, 1);
  EXPECT_EQ(nikonDecodeImageFormat(static_cast<uint32_t>(jpeg), 6, &size, &quality), ERROR_GENERAL);
  EXPECT_EQ(nikonDecodeImageFormat(static_cast<uint32_t>(raw), 1, &size, &quality), ERROR_GENERAL);
  EXPECT_EQ(nikonDecodeImageFormat(0, 1, nullptr, &quality), ERROR_INVALID_INPUT);

  // JPEG only in size M: the size bits of the composite are no RAW.
  putProperty(0x5004, nikonComposeImageQuality(0, 1, 0), {0, 1, 2, 4, 5, 6, 7}, 1, PTP_DTC_UINT8);
  EXPECT_FALSE(nikonQualityIncludesRaw());
  ASSERT_EQ(nikonGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, -1);

  // Newer body with more than ten qualities: 0-5 JPEG, 7 RAW, 8-13 RAW + JPEG.
  useNikonModel(219);
  putProperty(0x5004, nikonComposeImageQuality(12, 2, 1), {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13},
                   1, PTP_DTC_UINT8);
  ASSERT_EQ(nikonGetRawFormat(raw), PTP_RC_OK);
  ASSERT_EQ(nikonGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(raw, 0x01000007);
  EXPECT_EQ(jpeg, 0x00020004);
  EXPECT_EQ(nikonQualityValueFor(raw, jpeg), 12);
  EXPECT_EQ(nikonQualityValueFor(raw, -1), 7);
  EXPECT_TRUE(nikonQualityIncludesRaw());
  EXPECT_TRUE(nikonQualityIncludesJpeg(12));
  EXPECT_FALSE(nikonQualityIncludesJpeg(7));

  propClearTable();
  EXPECT_EQ(nikonGetRawFormat(raw), ERROR_GENERAL);
  EXPECT_EQ(nikonGetJpegFormat(jpeg), ERROR_GENERAL);
}

TEST_F(NikonTest, ImageFormatChoices) {
  std::vector<int64_t> list;
  useNikonModel(229);
  ASSERT_EQ(nikonGetImageFormatChoices(1, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0, 0x10000, 0x20000, 2, 0x10002, 0x20002, 4, 0x10004, 0x20004}));
  ASSERT_EQ(nikonGetImageFormatChoices(6, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 7}));

  useNikonModel(218);
  putProperty(0xD0B6, 0);
  ASSERT_EQ(nikonGetImageFormatChoices(6, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 4, 0x1000004, 0x2000004}));

  useNikonModel(196);
  ASSERT_EQ(nikonGetImageFormatChoices(1, list), PTP_RC_OK);
  EXPECT_EQ(list.size(), 10u);
  ASSERT_EQ(nikonGetImageFormatChoices(3, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1}));
}

TEST_F(NikonTest, EvStepsPerStopByModel) {
  struct Case {
    uint8_t model;
    std::optional<uint32_t> step;
    int steps;
  } cases[] = {{196, 2, 1}, {196, 1, 2}, {196, 0, 3}, {196, std::nullopt, 3}, {223, 6, 1}, {223, 3, 2},
               {223, 2, 3}, {224, 2, 1}, {225, 1, 2}, {225, 6, 3}, {230, 6, 1}, {230, 3, 2}};
  for (const auto& c : cases) {
    useNikonModel(c.model);
    if (c.step) putProperty(0xD056, *c.step);
    EXPECT_EQ(nikonGetEvStepsPerStop(), c.steps) << int(c.model);
  }
}

TEST_F(NikonTest, ExposureAndFlashBiasRangeFromSignedLists) {
  useNikonModel(219);
  EXPECT_EQ(nikonGetExposureBiasMax(), 0.0f);
  auto pattern = [](int v) { return static_cast<uint32_t>(static_cast<uint16_t>(v)); };
  putProperty(0x5010, 0, {pattern(-5000), pattern(-333), 0, pattern(333), pattern(5000)}, 1, PTP_DTC_INT16);
  putProperty(0xD1AB, 0, {pattern(-3000), 0, pattern(3000)}, 1, PTP_DTC_INT16);
  putProperty(0xD126, 0, {pattern(-3000), 0, pattern(1000)}, 1, PTP_DTC_INT16);
  EXPECT_FLOAT_EQ(nikonGetExposureBiasMax(), 5.0f);
  EXPECT_FLOAT_EQ(nikonGetExposureBiasMin(), -5.0f);
  EXPECT_FLOAT_EQ(nikonGetFlashBiasMax(), 1.0f);
  EXPECT_FLOAT_EQ(nikonGetFlashBiasMin(), -3.0f);
  // Movie mode reads the movie compensation list.
  putProperty(0xD1A6, 1);
  EXPECT_FLOAT_EQ(nikonGetExposureBiasMax(), 3.0f);
  EXPECT_FLOAT_EQ(nikonGetExposureBiasMin(), -3.0f);

  for (uint32_t program : {1u, 4u}) {
    putProperty(0x500E, program);
    EXPECT_TRUE(nikonIsExposureBiasAdjustable());
    EXPECT_TRUE(nikonIsBracketingAvailable());
  }
  for (uint32_t program : {0u, 5u, 0x8010u}) {
    putProperty(0x500E, program);
    EXPECT_FALSE(nikonIsExposureBiasAdjustable());
  }
}

TEST_F(NikonTest, BracketingStepsAndEv) {
  // Off and not forced: no amount.
  useNikonModel(219);
  putProperty(0xD0C0, 0);
  EXPECT_EQ(nikonBracketingStepToEv(3, false), 0.0f);
  EXPECT_FLOAT_EQ(nikonBracketingStepToEv(3, true), 1.0f);
  putProperty(0xD0C0, 1);
  struct Case {
    uint8_t model;
    uint32_t step;
    float ev;
  } cases[] = {{219, 0, 1.0f / 3}, {219, 1, 0.0f},     {219, 5, 3.0f},  {219, 6, 0.0f},  {223, 4, 4.0f / 6},
               {230, 12, 2.0f},    {196, 1, 0.5f},      {196, 7, 2.0f},  {196, 8, 0.0f}};
  for (const auto& c : cases) {
    camSetModelIndex(c.model);
    EXPECT_FLOAT_EQ(nikonBracketingStepToEv(c.step, false), c.ev) << int(c.model) << " " << c.step;
  }

  struct Back {
    uint8_t model;
    float ev;
    uint32_t step;
  } back[] = {{226, 0.005f, 0xFFFF}, {226, 1.0f, 6},      {232, 0.5f, 3},       {196, 0.05f, 0xFFFF},
              {196, 0.33f, 0},        {196, 0.5f, 1},      {196, 0.667f, 2},     {196, 1.0f, 3},
              {196, 1.333f, 4},       {196, 1.5f, 5},      {196, 1.667f, 6},     {196, 2.0f, 7},
              {197, 2.0f, 4},         {197, 3.0f, 5},      {196, 3.0f, 0xFFFF},  {197, 5.0f, 0xFFFF}};
  for (const auto& c : back) {
    camSetModelIndex(c.model);
    EXPECT_EQ(nikonEvToBracketingStep(c.ev), c.step) << int(c.model) << " " << c.ev;
  }

  camSetModelIndex(196);
  putProperty(0xD0C1, 0, {0, 1, 3, 7});
  EXPECT_FLOAT_EQ(nikonGetMaxBracketingEv(), 2.0f);
  propClearTable();
  EXPECT_EQ(nikonGetMaxBracketingEv(), 0.0f);
}

TEST_F(NikonTest, BracketingShotsByModelAndPattern) {
  struct Case {
    uint8_t model;
    std::optional<uint32_t> on, pattern;
    bool known;
    uint8_t below, above;
  } cases[] = {
      {193, std::nullopt, std::nullopt, true, 1, 1},  // answered at once
      {219, std::nullopt, std::nullopt, false, 0, 0},
      {219, 0, std::nullopt, true, 1, 1},
      {219, 1, std::nullopt, false, 0, 0},
      {194, 1, 2, true, 1, 1},
      {194, 1, 3, true, 0, 0},
      {219, 1, 3, true, 0, 2},
      {219, 1, 7, true, 4, 4},
      {219, 1, 9, true, 1, 1},
      {217, 1, 0, true, 1, 1},
      {223, 1, 259, true, 2, 0},
      {223, 1, 7, true, 1, 1},
      {228, 1, 514, true, 1, 0},
      {228, 1, 0, true, 0, 0},
      {228, 1, 77, true, 0, 2},
      {192, 1, 0, true, 1, 1},
  };
  for (const auto& c : cases) {
    useNikonModel(c.model);
    if (c.on) putProperty(0xD0C0, *c.on);
    if (c.pattern) putProperty(0xD0C2, *c.pattern);
    uint8_t below = 9, above = 9;
    EXPECT_EQ(nikonGetBracketingShots(below, above), c.known) << int(c.model);
    if (c.known) {
      EXPECT_EQ(below, c.below) << int(c.model) << " " << c.pattern.value_or(0);
      EXPECT_EQ(above, c.above) << int(c.model) << " " << c.pattern.value_or(0);
    }
  }

  std::vector<float> offsets;
  useNikonModel(219);
  putProperty(0xD0C0, 0);
  EXPECT_EQ(nikonGetBracketingSequence(offsets, false, 1.0f), 0);
  putProperty(0xD0C0, 1);
  putProperty(0xD0C2, 5);
  EXPECT_EQ(nikonGetBracketingSequence(offsets, false, 0.5f), 4);
  EXPECT_EQ(offsets, (std::vector<float>{-0.5f, -1.0f, 0.5f, 1.0f}));
  propClearTable();
  putProperty(0xD0C0, 1);  // pattern missing: shots unknown
  EXPECT_EQ(nikonGetBracketingSequence(offsets, false, 0.7f), 2);
}

TEST_F(NikonTest, FlashBurstMirrorAndBulbReadOuts) {
  useNikonModel(219);
  EXPECT_EQ(nikonIsSpeedlightMounted(), 0u);
  EXPECT_EQ(nikonGetBurstLimit(), 20);
  putProperty(0x500C, 0x8011);
  EXPECT_EQ(nikonGetFlashMode(), 0x8011u);
  EXPECT_EQ(nikonGetSpeedlightFlashMode(), 0u);
  putProperty(0xD120, 1);
  putProperty(0xD121, 1);
  EXPECT_EQ(nikonGetSpeedlightFlashMode(), 0x8011u);
  EXPECT_EQ(nikonGetSpeedlightChargeStatus(), 1u);

  putProperty(0xD1F1, 900, {}, 1, PTP_DTC_UINT32);
  EXPECT_EQ(nikonGetBurstLimit(), 20) << "one of the two missing";
  putProperty(0xD1B4, 35);
  EXPECT_EQ(nikonGetBurstLimit(), 35);
  putProperty(0xD1B4, 1000);
  EXPECT_EQ(nikonGetBurstLimit(), 255) << "capped to the byte, never wrapped";

  putProperty(0x5013, 0x8012);
  EXPECT_TRUE(nikonIsMirrorUp());
  EXPECT_FALSE(nikonHasMirrorUpSetting());
  putProperty(0xD1F7, 0);
  EXPECT_TRUE(nikonHasMirrorUpSetting());

  putProperty(0xD100, 0xFFFFFFFD, {}, 1, PTP_DTC_UINT32);
  EXPECT_FALSE(nikonIsBulbSelected());
  putProperty(0xD100, 0xFFFFFFFE, {}, 1, PTP_DTC_UINT32);
  EXPECT_TRUE(nikonIsBulbSelected());

  EXPECT_FALSE(nikonIsLensTypeZero());
  putProperty(0xD0E2, 0);
  EXPECT_TRUE(nikonIsLensTypeZero());

  uint32_t lo = 0, hi = 0;
  EXPECT_TRUE(nikonGetFixedRange(0x5007, lo, hi));
  EXPECT_EQ(lo, 560u);
  EXPECT_EQ(hi, 800u);
  EXPECT_FALSE(nikonGetFixedRange(0x5010, lo, hi));

  camSetModelIndex(192);
  EXPECT_FALSE(nikonHasModelCapabilityA());
  camSetModelIndex(205);
  EXPECT_TRUE(nikonHasModelCapabilityA());
}

TEST_F(NikonTest, AutoIsoRecordFollowsTheExposureProgram) {
  useNikonModel(219);
  EXPECT_EQ(nikonGetAutoIsoRecord(), nullptr);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0u);
  putProperty(0xD16A, 0);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD16Au);
  EXPECT_FALSE(nikonIsNotAutoIsoRecord(nikonGetAutoIsoRecord()));
  putProperty(0xD054, 1);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD054u) << "no exposure program: 0xD054";
  putProperty(0x500E, 3);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD054u);
  putProperty(0x500E, 0x8010);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD16Au) << "scene mode";
  putProperty(0x500E, 0x8051);
  putProperty(0xD0FC, 20);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD054u) << "user mode holding P/S/A/M";
  putProperty(0xD0FC, 5);
  EXPECT_EQ(nikonGetAutoIsoCode(), 0xD16Au);
  EXPECT_TRUE(nikonIsNotAutoIsoRecord(propFind(0xD054, false)));

  EXPECT_FALSE(nikonHasAutoIsoSetting());
  putProperty(0xD0B5, 0);
  EXPECT_TRUE(nikonHasAutoIsoSetting());
}

TEST_F(NikonTest, DriveFocusAndModelPredicates) {
  useNikonModel(219);
  for (uint32_t v : {2u, 0x8010u, 0x8018u, 0x8019u}) EXPECT_TRUE(nikonIsContinuousDriveValue(0x5013, v)) << v;
  for (uint32_t v : {1u, 0x8011u, 0x8100u}) EXPECT_FALSE(nikonIsContinuousDriveValue(0x5013, v)) << v;
  for (uint32_t v : {1u, 2u, 0x8019u}) EXPECT_TRUE(nikonIsContinuousDriveValue(0xD1A1, v)) << v;
  EXPECT_FALSE(nikonIsContinuousDriveValue(0x500E, 2));
  putProperty(0xD0F6, 0);
  EXPECT_FALSE(nikonIsContinuousDriveValue(0xD1A1, 0x8100));

  EXPECT_EQ(nikonFocusModeCode(), 0x500Au);
  putProperty(0xD061, 0);
  EXPECT_EQ(nikonFocusModeCode(), 0xD061u);
  camSetModelIndex(221);
  EXPECT_EQ(nikonFocusModeCode(), 0xD161u);

  struct Lv {
    uint32_t d061, lvStep;
  } lv[] = {{0, 0}, {1, 0}, {2, 1}, {3, 4}, {4, 4}, {5, 0}};
  for (const auto& c : lv) {
    putProperty(0xD061, c.d061);
    EXPECT_EQ(nikonLiveViewAfModeStep(), c.lvStep) << c.d061;
  }
  putProperty(0xD161, 3);
  EXPECT_EQ(nikonAutoFocusModeStep(), 4u);
  putProperty(0xD161, 1);
  EXPECT_EQ(nikonAutoFocusModeStep(), 0u);

  putProperty(0xD048, 0);
  putProperty(0xD049, 0);
  EXPECT_EQ(nikonAfAreaRecordFor(0x8010, false)->code, 0xD049u);
  EXPECT_EQ(nikonAfAreaRecordFor(0x8011, false)->code, 0xD048u);
  EXPECT_EQ(nikonAfAreaRecordFor(1, false), nullptr);

  struct M {
    uint8_t model;
    bool recent, isoAuto;
  } models[] = {{213, false, false}, {214, true, false}, {220, true, true}, {223, true, false},
                {225, true, true},   {232, true, true}};
  for (const auto& c : models) {
    camSetModelIndex(c.model);
    EXPECT_EQ(nikonIsRecentModel(), c.recent) << int(c.model);
    EXPECT_EQ(nikonModelHasIsoAuto(), c.isoAuto) << int(c.model);
  }
}

TEST_F(NikonTest, AutoFocusModeAndCanAutoFocus) {
  useNikonModel(196);
  putProperty(0x500A, 1);
  EXPECT_FALSE(nikonIsAutoFocusMode());
  EXPECT_FALSE(nikonCanAutoFocus());
  putProperty(0x500A, 0x8011);
  EXPECT_TRUE(nikonIsAutoFocusMode());
  EXPECT_TRUE(nikonCanAutoFocus());
  putProperty(0x500A, 0x8010);
  EXPECT_FALSE(nikonCanAutoFocus());
  camSetModelIndex(198);
  EXPECT_TRUE(nikonCanAutoFocus());

  // With 0xD161: host mode and not fixed manual.
  putProperty(0xD161, 0);
  EXPECT_FALSE(nikonCanAutoFocus());
  nikonState().hostMode = 1;
  EXPECT_TRUE(nikonCanAutoFocus());
  putProperty(0xD161, 3);
  EXPECT_FALSE(nikonCanAutoFocus());

  // Mirrorless: whether 0xD061 is settable.
  camSetModelIndex(220);
  EXPECT_FALSE(nikonCanAutoFocus());
  putProperty(0xD061, 4, {}, 1);
  EXPECT_TRUE(nikonCanAutoFocus());
  putProperty(0xD161, 4);
  EXPECT_FALSE(nikonIsAutoFocusMode());
  putProperty(0xD161, 1);
  EXPECT_TRUE(nikonIsAutoFocusMode());
}

TEST_F(NikonTest, LabelTableAndCodeLists) {
  const auto rows = nikonPropertyLabels();
  ASSERT_EQ(rows.size(), 174u);
  EXPECT_EQ(rows.front().code, 0u);
  EXPECT_STREQ(rows.front().label, "Unknown");
  EXPECT_EQ(rows.back().code, kNikonLabelEndCode);
  EXPECT_STREQ(rows.back().label, "Perceived Device Type");
  size_t withNames = 0;
  for (const auto& row : rows) {
    if (!row.valueNames) continue;
    ++withNames;
    size_t n = 0;
    while (row.valueNames[n].text[0] != '\0') ++n;  // every list is terminated
    EXPECT_GT(n, 0u) << std::hex << row.code;
  }
  EXPECT_EQ(withNames, 28u);

  useNikonModel(219);
  EXPECT_STREQ(propLabelFor(0xD0E2), "Lens Typs");
  EXPECT_STREQ(propLabelFor(0x5004), "Image Format");
  EXPECT_EQ(propValueText(0x500E, 3), std::optional<std::string>("A"));
  EXPECT_EQ(propValueText(0xD161, 4), std::optional<std::string>("MF"));

  const auto codes = nikonVendorPropertyCodes();
  const auto fixed = nikonFixedPropertyCodes();
  ASSERT_EQ(codes.size(), 64u);
  ASSERT_EQ(fixed.size(), 65u);
  EXPECT_EQ(codes.front(), 0x5001u);
  EXPECT_EQ(codes.back(), 0xD0F6u);
  for (size_t i = 0, j = 0; i < codes.size(); ++i, ++j) {
    EXPECT_EQ(fixed[j], codes[i]);
    if (codes[i] == 0xD1A3) {
      EXPECT_EQ(fixed[++j], 0x5003u);
    }
  }
  EXPECT_TRUE(nikonIsKnownCode(0x5003));
  EXPECT_TRUE(nikonIsKnownCode(0xD01E));
  EXPECT_FALSE(nikonIsKnownCode(0xD406));
}
