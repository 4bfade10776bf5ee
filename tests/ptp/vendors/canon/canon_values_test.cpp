// Canon value rules: datatypes, packed image formats, eighth-stop codes, ISO and shutter
// maps, the read-outs of the table, and the label table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {
class CanonValues : public ::testing::Test {
 protected:
  void SetUp() override { propClearTable(); }
  void TearDown() override { propClearTable(); }

  static PropertyStruct* add(uint32_t code, uint32_t value, std::vector<uint32_t> list = {}) {
    PropertyStruct* p = propAdd(code, false, true);
    p->value = value;
    for (uint32_t v : list) p->values.push_back(PropertyValueNamesStruct{{}, v});
    p->count = static_cast<uint16_t>(p->values.size());
    return p;
  }
};
}  // namespace

TEST_F(CanonValues, Datatypes) {
  struct Case {
    uint32_t code;
    int32_t type;
  } cases[] = {{0xD101, 4}, {0xD104, 1}, {0xD109, 2}, {0xD131, 2}, {0xD185, 2}, {0xD10B, 3},
               {0xD115, 0xFFFF}, {0xD1D4, 6}, {0xD1D9, 4}, {0xD120, 6}, {0xD1A6, 2}, {0xD1A8, 6}};
  for (const Case& c : cases) EXPECT_EQ(canonPropertyDatatype(c.code), c.type) << std::hex << c.code;
}

TEST_F(CanonValues, ImageFormatStructuresPackAndUnpack) {
  // RAW + Large Fine JPEG.
  std::vector<uint8_t> bytes;
  ASSERT_EQ(canonUnpackImageFormat(0x26010403, bytes), PTP_RC_OK);
  ASSERT_EQ(bytes.size(), 36u);
  uint32_t packed = 0;
  size_t consumed = 0;
  ASSERT_EQ(canonPackImageFormat(bytes, packed, consumed), PTP_RC_OK);
  EXPECT_EQ(packed, 0x26010403u);
  EXPECT_EQ(consumed, 36u);
  ASSERT_EQ(canonUnpackImageFormat(0x1100C000, bytes), PTP_RC_OK);
  EXPECT_EQ(bytes.size(), 20u);
  // Refusals: a count of 3, a second entry that did not arrive, every shorter prefix.
  std::vector<uint8_t> three = bytes;
  three[0] = 3;
  EXPECT_EQ(canonPackImageFormat(three, packed, consumed), ERROR_BAD_REPLY);
  ASSERT_EQ(canonUnpackImageFormat(0x26010403, bytes), PTP_RC_OK);
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_NE(canonPackImageFormat(std::span(bytes.data(), n), packed, consumed), PTP_RC_OK) << n;
  EXPECT_EQ(canonUnpackImageFormat(0x36010403, bytes), ERROR_INVALID_INPUT);
}

TEST_F(CanonValues, ComposeAndDecodeImageFormats) {
  uint32_t v = 0;
  ASSERT_EQ(canonComposeImageFormat(0x16010000, 0x1100C000, v), PTP_RC_OK);
  EXPECT_EQ(v, 0x26010403u);
  ASSERT_EQ(canonComposeImageFormat(-1, 0x1100C000, v), PTP_RC_OK);
  EXPECT_EQ(v, 0x1100C000u);
  EXPECT_EQ(canonComposeImageFormat(-1, -1, v), ERROR_INVALID_INPUT);
  uint16_t size = 9;
  uint8_t quality = 9;
  ASSERT_EQ(canonDecodeImageFormat(0x26010403, 1, size, quality), PTP_RC_OK);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(quality, 3);
  ASSERT_EQ(canonDecodeImageFormat(0x26010403, 6, size, quality), PTP_RC_OK);
  EXPECT_EQ(quality, 4);
  EXPECT_EQ(canonDecodeImageFormat(0x26010403, 2, size, quality), ERROR_GENERAL);
  EXPECT_EQ(canonDecodeImageFormat(0x0FFFFFFF, 1, size, quality), ERROR_GENERAL);
  EXPECT_TRUE(canonQualityIncludesJpeg(0x26010403));
  EXPECT_TRUE(canonQualityIncludesJpeg(0x1104C000));
  EXPECT_FALSE(canonQualityIncludesJpeg(0x16010000));
}

TEST_F(CanonValues, RawAndJpegPartsAndChoicesFromTheTable) {
  int64_t raw = 0, jpeg = 0;
  EXPECT_EQ(canonGetRawFormat(raw), ERROR_GENERAL);  // no 0xD120
  add(0xD120, 0x26010403, {0x16010000, 0x1100C000, 0x11008000, 0x26010403, 0x16050000});
  ASSERT_EQ(canonGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, 0x16010000);
  ASSERT_EQ(canonGetJpegFormat(jpeg), PTP_RC_OK);
  EXPECT_EQ(jpeg, 0x1100C000);
  std::vector<int64_t> choices;
  ASSERT_EQ(canonGetImageFormatChoices(6, choices), PTP_RC_OK);
  EXPECT_EQ(choices, (std::vector<int64_t>{-1, 0x16010000, 0x16050000}));
  ASSERT_EQ(canonGetImageFormatChoices(1, choices), PTP_RC_OK);
  EXPECT_EQ(choices, (std::vector<int64_t>{-1, 0x1100C000, 0x11008000}));
  // A JPEG-only body: no RAW part.
  propFind(0xD120, false)->value = 0x1104C000;
  ASSERT_EQ(canonGetRawFormat(raw), PTP_RC_OK);
  EXPECT_EQ(raw, -1);
}

TEST_F(CanonValues, EighthStopCodes) {
  struct ToEv {
    uint32_t code;
    float ev;
  } toEv[] = {{3, 1 / 3.f}, {4, 0.5f}, {8, 1}, {11, 4 / 3.f}, {253, -1 / 3.f}, {248, -1}, {0, 0}, {216, -5}, {40, 5}};
  for (const ToEv& c : toEv) EXPECT_NEAR(canonExposureBiasToEv(c.code), c.ev, 1e-5) << c.code;
  struct ToCode {
    float ev;
    uint32_t code;
  } toCode[] = {{0.05f, 0}, {0.3f, 3}, {0.5f, 4}, {1.0f, 8}, {0.9f, 8}, {-1.0f, 248}, {-0.33f, 253}, {5, 40},
                {NAN, 0}, {1e9f, 0}};
  for (const ToCode& c : toCode) EXPECT_EQ(canonEvToExposureBias(c.ev), c.code) << c.ev;
}

TEST_F(CanonValues, IsoShutterAndFixedRanges) {
  EXPECT_FLOAT_EQ(canonIsoCodeToValue(72), 100);
  EXPECT_FLOAT_EQ(canonIsoCodeToValue(40), 6.25f);
  EXPECT_FLOAT_EQ(canonIsoCodeToValue(73), 0);
  EXPECT_EQ(canonShutterSpeedToMs(72), 250u);
  EXPECT_EQ(canonShutterSpeedToMs(73), 0u);
  EXPECT_EQ(canonShutterSpeedToMs(15), 0u);
  EXPECT_EQ(canonShutterSpeedToMs(16), 30000u);
  EXPECT_EQ(canonShutterSpeedToMs(145), 0u);
  uint32_t lo = 0, hi = 0;
  EXPECT_TRUE(canonGetFixedRange(0xD102, lo, hi));
  EXPECT_EQ(lo, 0x5Du);
  EXPECT_EQ(hi, 0x65u);
  EXPECT_FALSE(canonGetFixedRange(0xD104, lo, hi));
}

TEST_F(CanonValues, StepsPerStopAndBiasRange) {
  EXPECT_EQ(canonGetEvStepsPerStop(), 3);  // no 0xD104
  PropertyStruct* bias = add(0xD104, 0, {0, 3, 5, 8, 4});
  EXPECT_EQ(canonGetEvStepsPerStop(), 2);
  bias->values.clear();
  add(0xD1D9, 0, {0, 3, 5});
  EXPECT_EQ(canonGetEvStepsPerStop(), 3);
  propClearTable();
  add(0xD104, 0);
  add(0xD102, 0, {96, 100});
  EXPECT_EQ(canonGetEvStepsPerStop(), 2);

  // The range reads whole-stop texts only; the largest digit wins on each side.
  propClearTable();
  propSetLabelTable(canonPropertyLabels(), kCanonLabelEndCode);
  PropertyStruct* p = add(0xD104, 0);
  for (const char* t : {"+1", "+3", "+2", "+3 1/3", "0", "-2", "-1/3", "-3"}) {
    PropertyValueNamesStruct e{};
    std::snprintf(e.text, sizeof e.text, "%s", t);
    e.value = canonEvToExposureBias(std::strcmp(t, "+3 1/3") == 0 ? 10 / 3.f : std::strcmp(t, "-1/3") == 0 ? -1 / 3.f : float(std::atoi(t)));
    p->values.push_back(e);
  }
  EXPECT_FLOAT_EQ(canonGetExposureBiasMax(), 3);
  EXPECT_FLOAT_EQ(canonGetExposureBiasMin(), -3);
  propSetLabelTable({}, 0);
}

TEST_F(CanonValues, ModesBulbBracketingAndChoices) {
  EXPECT_FALSE(canonIsBulbSelected());
  PropertyStruct* mode = add(0xD105, 4);
  EXPECT_TRUE(canonIsBulbSelected());
  mode->value = 3;
  PropertyStruct* shutter = add(0xD102, 12);
  EXPECT_TRUE(canonIsBulbSelected());
  shutter->value = 96;
  EXPECT_FALSE(canonIsBulbSelected());
  EXPECT_FALSE(canonIsExposureBiasAdjustable());
  mode->value = 2;
  EXPECT_TRUE(canonIsExposureBiasAdjustable());
  mode->value = 20;
  EXPECT_FALSE(canonIsExposureBiasAdjustable());  // movie without 0xD1C5
  add(0xD1C5, 0);
  EXPECT_TRUE(canonIsExposureBiasAdjustable());
  mode->value = 7;
  EXPECT_TRUE(canonIsBracketingAvailable(false));
  EXPECT_FALSE(canonIsBracketingAvailable(true));
  EXPECT_EQ(canonMaxBracketingEvFromTable(), std::nullopt);
  PropertyStruct* aeb = add(0xD1D9, 0);
  EXPECT_TRUE(canonIsBracketingAvailable(true));
  EXPECT_EQ(canonMaxBracketingEvFromTable(), 0.0f);
  canonFillBracketingChoices(*aeb);
  EXPECT_EQ(aeb->getSet, 1);
  ASSERT_EQ(aeb->count, 10);
  EXPECT_STREQ(aeb->values[1].text, "+/- 1/3");
  EXPECT_EQ(canonMaxBracketingEvFromTable(), 3.0f);
  add(0xD104, 0, {0, 4});  // a half-stop body
  canonFillBracketingChoices(*aeb);
  ASSERT_EQ(aeb->count, 7);
  EXPECT_STREQ(aeb->values[1].text, "+/- 1/2");
  EXPECT_EQ(canonGetBracketingSequence(1.5f), (std::vector<float>{1.5f, -1.5f}));
  for (uint32_t v : {1u, 4u, 5u, 20u, 21u, 22u}) EXPECT_TRUE(canonIsContinuousDriveValue(v)) << v;
  for (uint32_t v : {0u, 2u, 16u, 19u}) EXPECT_FALSE(canonIsContinuousDriveValue(v)) << v;
}

TEST_F(CanonValues, LabelTable) {
  const auto rows = canonPropertyLabels();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().code, 0u);
  EXPECT_STREQ(rows.front().label, "Unknown");
  EXPECT_EQ(rows.front().datatype, 2u);
  EXPECT_EQ(rows.back().code, kCanonLabelEndCode);
  EXPECT_EQ(rows.size(), 126u);
  propSetLabelTable(rows, kCanonLabelEndCode);
  EXPECT_STREQ(propLabelFor(0xD1D9), "Exposure Bracketing");
  const struct {
    uint32_t code, value;
    const char* text;
  } texts[] = {{0xD101, 16, "f1.4"},  {0xD101, 32, "f2.8"}, {0xD101, 88, "f32"},     {0xD101, 255, "Auto"},
               {0xD102, 72, "1/4"},   {0xD102, 96, "1/30"}, {0xD102, 104, "1/60"},   {0xD102, 16, "30\""},
               {0xD103, 72, "ISO 100"}, {0xD103, 40, "ISO 6"}, {0xD104, 40, "+5"},   {0xD104, 216, "-5"},
               {0xD104, 0, "0"},      {0xD104, 253, "-1/3"}, {0xD105, 55, "Fv"},     {0xD106, 18, "Continuous high speed plus"},
               {0xD109, 23, "AutoW"}, {0xD120, 0x16010000, "RAW"}, {0xD120, 0x1100C000, "Large Fine JPEG"},
               {0xD120, 0x26010403, "RAW + Large Fine JPEG"}, {0xD122, 0x1104C000, "Medium Fine JPEG"},
               {0xD1D9, 13, "+/- 1 2/3"}};
  for (const auto& t : texts) EXPECT_EQ(propValueText(t.code, t.value), std::string(t.text)) << std::hex << t.code << " " << t.value;
  // Every list ends with an empty text, and no text fills its field without a NUL.
  for (const auto& r : rows)
    for (const PropertyValueNamesStruct* n = r.valueNames; n; ++n) {
      ASSERT_LT(strnlen(n->text, sizeof n->text), sizeof n->text);
      if (n->text[0] == '\0') break;
    }
  propSetLabelTable({}, 0);
}
