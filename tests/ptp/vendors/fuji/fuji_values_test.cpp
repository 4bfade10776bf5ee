// Fujifilm model identification, label table, value texts, packed image formats and the
// exposure-compensation scale, read from the property table.
#include <gtest/gtest.h>

#include <cstring>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_models.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
class FujiValues : public ::testing::Test {
 protected:
  void SetUp() override {
    propClearTable();
    camSetVendor(CameraVendorFujifilm);
    camSetModelIndex(22);
    fujiResetState();
  }
  void TearDown() override {
    propClearTable();
    propSetLabelTable({}, 0);
    setCameraServices(nullptr);
    camSetVendor(CameraVendorUnknown);
    camSetModelIndex(0);
    fujiResetState();
  }
  static PropertyStruct* add(uint32_t code, uint32_t value, std::vector<uint32_t> list = {}) {
    PropertyStruct* p = propAdd(code, false, true);
    p->value = value;
    for (uint32_t v : list) p->values.push_back(PropertyValueNamesStruct{{}, v});
    p->count = static_cast<uint16_t>(p->values.size());
    return p;
  }
};
}  // namespace

TEST_F(FujiValues, ModelsByNameFirstMatchWins) {
  struct Case {
    const char* model;
    int index;  // -1: not recognised
  } cases[] = {{"X-T30 II", 32}, {"x-t30", 32},      {"X-T3", 22},     {"X-T1", 16},         {"X-T5", 36},
               {"GFX100 II", 37}, {"GFX100S II", 37}, {"GFX100S", 33},  {"GFX 100", 23},      {"GFX50S II", 34},
               {"GFX 50S", 20},   {"GFX 50R", 21},    {"X-H2S", 35},    {"X-Pro3", 24},       {"X-Pro2", 19},
               {"X-H1", 18},      {"X-E4", -1},       {"", -1},         {"FUJIFILM X100V", -1}};
  for (const Case& c : cases) {
    uint8_t index = 99;
    EXPECT_EQ(fujiIdentifyModel(c.model, index), c.index >= 0) << c.model;
    EXPECT_EQ(index, c.index >= 0 ? c.index : 99) << c.model;
  }
  for (uint8_t i = 0; i < 60; ++i) {
    const bool gfx = i == 20 || i == 21 || i == 23 || i == 33 || i == 34 || i == 37;
    EXPECT_EQ(fujiIsGfxModelIndex(i), gfx) << int(i);
  }
  camSetModelIndex(34);
  EXPECT_TRUE(fujiIsGfxModel());
  camSetModelIndex(35);
  EXPECT_FALSE(fujiIsGfxModel());
}

TEST_F(FujiValues, LabelTableRowsAndValueNames) {
  auto rows = fujiPropertyLabels();
  ASSERT_EQ(rows.size(), 97u);
  EXPECT_EQ(rows.back().code, kFujiLabelEndCode);
  EXPECT_EQ(fujiTrackedCodes().size(), 38u);
  for (uint32_t code : fujiTrackedCodes()) EXPECT_NE(fujiLabelRowFor(code), nullptr) << std::hex << code;
  EXPECT_EQ(fujiLabelRowFor(0), nullptr);
  EXPECT_EQ(fujiLabelRowFor(0xD999), nullptr);
  struct Case {
    uint32_t code;
    const char* label;
    uint32_t datatype;
  } cases[] = {{0x5003, "Image Size", 0xFFFF}, {0x500D, "Shutter Speed", 6}, {0xD38D, "Lens F-Stop", 0xFFFF},
               {0xD36D, "Lens Info", 0xFFFF},   {0xD20B, "Camera Name", 0xFFFF}, {0xD018, "Image Quality", 0},
               {0xD395, "Focus Area", 0},       {0xEEE3, "Custom - Focus Height", 0}};
  for (const Case& c : cases) {
    const PropertyLabelRow* row = fujiLabelRowFor(c.code);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->label, c.label);
    EXPECT_EQ(row->datatype, c.datatype) << std::hex << c.code;
  }
  // Value names reach display texts through the installed table.
  propSetLabelTable(fujiPropertyLabels(), kFujiLabelEndCode);
  EXPECT_EQ(propValueText(0xD018, 4), "RAW + JPG Fine");
  EXPECT_EQ(propValueText(0x500A, 0x8002), "AF-C");
  EXPECT_EQ(propValueText(0xD02D, 0x8003), "Wide/Tracking");
  EXPECT_EQ(propValueText(0xD01B, 10), "x13.1");
  EXPECT_EQ(propValueText(0xD224, 16384), "AEL");
  EXPECT_EQ(propValueText(0xD209, 9), "9");  // not listed: the number
  EXPECT_EQ(propValueText(0xD36A, 3), std::nullopt);  // no list
}

TEST_F(FujiValues, ValueTextsAndImageSizeNames) {
  EXPECT_EQ(fujiValueText(0x5007, 560), "5.6");
  EXPECT_EQ(fujiValueText(0x5003, 15), "6000x4000");
  EXPECT_EQ(fujiValueText(0x5003, 69), "7728x5152");
  EXPECT_EQ(fujiValueText(0x5003, 70), std::nullopt);
  EXPECT_EQ(fujiValueText(0x5010, 0x03E8), "1.0");   // thousandths of an EV
  EXPECT_EQ(fujiValueText(0x5010, 0xFACD), "-1.3");  // -1333, signed 16-bit
  EXPECT_EQ(fujiValueText(0x500F, 200), std::nullopt);
  EXPECT_EQ(fujiImageSizeName(70), nullptr);
  EXPECT_STREQ(fujiImageSizeClass(0), "S ");
  EXPECT_STREQ(fujiImageSizeClass(47), "M ");
  EXPECT_STREQ(fujiImageSizeClass(54), "L ");
  EXPECT_STREQ(fujiImageSizeClass(70), "");

  // Names shared by two indexes resolve by the body's range.
  struct Case {
    uint8_t model;
    const char* name;
    uint32_t index;
  } cases[] = {{22, "6000x4000", 15},  {22, "8256x5504", 21},   {33, "8256x5504", 41},     {37, "3120x2080", 32},
               {22, "3264x2592", 0xFFFF}, {36, "3264x2592", 55}, {36, "6000x4000", 0xFFFF}, {36, "7728x5152", 69},
               {22, "6000X4000", 0xFFFF}, {22, "", 0xFFFF}};
  for (const Case& c : cases) {
    camSetModelIndex(c.model);
    EXPECT_EQ(fujiImageSizeIndexFromName(c.name), c.index) << int(c.model) << " " << c.name;
  }
}

TEST_F(FujiValues, PackedImageFormatFromTheTable) {
  uint32_t packed = 0;
  int64_t part = 0;
  EXPECT_EQ(fujiGetImageFormat(packed), ERROR_INVALID_INPUT);
  EXPECT_EQ(fujiGetRawFormat(part), ERROR_GENERAL);
  add(0xD018, 5);
  EXPECT_EQ(fujiGetJpegFormat(part), ERROR_GENERAL);  // no size yet
  add(0x5003, 15);
  add(0xD022, 2);
  ASSERT_EQ(fujiGetImageFormat(packed), PTP_RC_OK);
  EXPECT_EQ(packed, 0x02010F03u);
  ASSERT_EQ(fujiGetRawFormat(part), PTP_RC_OK);
  EXPECT_EQ(part, 0x02010000);
  ASSERT_EQ(fujiGetJpegFormat(part), PTP_RC_OK);
  EXPECT_EQ(part, 0x0F03);
  EXPECT_TRUE(fujiQualityIncludesRaw());

  struct Case {
    uint32_t quality;
    uint32_t packed;
    int64_t raw, jpeg;
  } cases[] = {{1, 0x02010000, 0x02010000, -1}, {2, 0x0F02, -1, 0x0F02},   {6, 0x0F06, -1, 0x0F06},
               {7, 0x02010F06, 0x02010000, 0x0F06}, {4, 0x02010F02, 0x02010000, 0x0F02}, {0, 0, -1, -1}};
  for (const Case& c : cases) {
    propFind(0xD018, false)->value = c.quality;
    ASSERT_EQ(fujiGetImageFormat(packed), PTP_RC_OK);
    EXPECT_EQ(packed, c.packed) << c.quality;
    fujiGetRawFormat(part);
    EXPECT_EQ(part, c.raw) << c.quality;
    fujiGetJpegFormat(part);
    EXPECT_EQ(part, c.jpeg) << c.quality;
  }
  EXPECT_FALSE(fujiQualityIncludesRaw());  // quality 0
}

TEST_F(FujiValues, QualityTexts) {
  struct Case {
    int64_t packed;
    const char* text;
  } cases[] = {{-1, "--"},
               {0x02010F03, "C-RAW + L JPG (NORM)"},
               {6, "S JPG (S-FINE)"},
               {0x00010000, "RAW"},
               {0x01010000, "RAW"},
               {0x00040C02, "RAW + M JPG (FINE)"},
               {0x00074604, "RAW + JPG "},  // size 70 has no class, code 4 no mark
               {0x00020F03, "L JPG (NORM)"},  // marker 2 is no RAW
               {0x0F01, ""}};
  for (const Case& c : cases) EXPECT_EQ(fujiImageQualityText(c.packed), c.text) << std::hex << c.packed;
}

TEST_F(FujiValues, FormatChoicesFollowTheSizeFamily) {
  std::vector<int64_t> list;
  ASSERT_EQ(fujiGetImageFormatChoices(6, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0x1010000}));
  EXPECT_EQ(fujiGetImageFormatChoices(1, list), PTP_ERROR_UNSUPPORTED_COMMAND);
  add(0xD022, 1);
  fujiGetImageFormatChoices(6, list);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0x1010000, 0x2010000}));
  fujiGetImageFormatChoices(2, list);
  EXPECT_EQ(list, (std::vector<int64_t>{-1}));

  add(0xD018, 2, {2, 3});            // no Super Fine
  add(0x5003, 26, {26, 30, 46, 53});  // family F, current 26
  camSetModelIndex(22);
  ASSERT_EQ(fujiGetImageFormatChoices(1, list), PTP_RC_OK);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0x1A03, 0x1A02, 0x3503, 0x3502}));
  camSetModelIndex(20);  // 30 is a GFX 50 size
  fujiGetImageFormatChoices(1, list);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0x1A03, 0x1A02, 0x1E03, 0x1E02, 0x3503, 0x3502}));
  camSetModelIndex(34);  // 46 on the large GFX bodies
  propFind(0xD018, false)->values.push_back(PropertyValueNamesStruct{{}, 6});
  propFind(0xD018, false)->count = 3;
  fujiGetImageFormatChoices(1, list);
  EXPECT_EQ(list, (std::vector<int64_t>{-1, 0x1A03, 0x1A02, 0x1A06, 0x2E03, 0x2E02, 0x2E06, 0x3503, 0x3502, 0x3506}));

  // Family E's 45 is for the GFX 100 bodies only.
  propFind(0x5003, false)->value = 52;
  propFind(0x5003, false)->count = 0;  // any size allowed
  propFind(0x5003, false)->values.clear();
  fujiGetImageFormatChoices(1, list);
  EXPECT_EQ(list.size(), 1u + 2 * 3);  // 25, 52 (and not 45 on model 34)
  camSetModelIndex(37);
  fujiGetImageFormatChoices(1, list);
  EXPECT_EQ(list.size(), 1u + 3 * 3);
  // A size in no family offers only "none".
  propFind(0x5003, false)->value = 70;
  fujiGetImageFormatChoices(1, list);
  EXPECT_EQ(list, (std::vector<int64_t>{-1}));
}

TEST_F(FujiValues, ExposureCompensationScale) {
  EXPECT_FLOAT_EQ(fujiExposureBiasToEv(0xFC18), -1.0f);
  EXPECT_FLOAT_EQ(fujiExposureBiasToEv(0x0A6B), 2.667f);
  EXPECT_EQ(fujiEvToExposureBias(-1.0f), 0xFC18u);
  EXPECT_EQ(fujiEvToExposureBias(1.0f / 3), 333u);
  EXPECT_EQ(fujiGetEvStepsPerStop(), 3);
  EXPECT_FLOAT_EQ(fujiGetExposureBiasMax(), 0.0f);
  add(0x5010, 0, {0xF448, 0xFC18, 0, 0x03E8, 0x0BB8});  // -3 .. +3
  EXPECT_FLOAT_EQ(fujiGetExposureBiasMax(), 3.0f);
  EXPECT_FLOAT_EQ(fujiGetExposureBiasMin(), -3.0f);
  propFind(0x5010, false)->values = {PropertyValueNamesStruct{{}, 0x03E8}};
  EXPECT_FLOAT_EQ(fujiGetExposureBiasMin(), 0.0f);  // never above 0
}

TEST_F(FujiValues, AvailableShotsFromTheCapacityText) {
  EXPECT_EQ(fujiGetAvailableShots(), 0u);
  PropertyStruct* p = add(0xD20D, 0);
  struct Case {
    uint8_t model;
    const char* text;
    uint32_t shots;
  } cases[] = {{35, "1,2,3,4,250,6", 250}, {35, "1,2,3", 0}, {22, "417,0x1234", 417}, {35, "0, 0, 0, 0, 96", 96}, {22, "", 0}, {22, "abc", 0}};
  for (const Case& c : cases) {
    camSetModelIndex(c.model);
    propSetText(p->text, c.text);
    EXPECT_EQ(fujiGetAvailableShots(), c.shots) << c.text;
  }
}
