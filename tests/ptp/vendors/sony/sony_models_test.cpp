// Sony body identification, per-model answers, the label table and the dial lists.
#include <algorithm>

#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_models.h"
#include "tests/ptp/vendors/sony/sony_fixture.h"

namespace {

struct ModelCase {
  const char* model;
  uint8_t index;
  bool directSet, capabilityB;
  uint8_t rawJpeg;
};

}  // namespace

TEST_F(SonyTest, ModelStringsPickTheFirstMatchingKey) {
  const ModelCase cases[] = {
      {"ILCE-7RM2", 160, false, false, 19},  // "7RM2" (not "7M2": the R sits between)
      {"ILCE-7M2", 162, false, false, 0},
      {"ilce-7m3", 163, false, true, 0},     // case-insensitive
      {"ILCE-7RM3A", 161, false, true, 0},
      {"ILCE-7SM3", 177, true, true, 0},
      {"ILCE-7S", 173, false, false, 0},
      {"ILCE-7CR", 186, true, true, 0},      // before "ILCE-7C"
      {"ILCE-7CM2", 185, true, true, 0},
      {"ILCE-7C", 178, true, true, 0},
      {"ZV-E10", 187, true, true, 0},        // before "ZV-E1"
      {"ZV-E1", 188, true, true, 0},
      {"ILCE-9M3", 189, true, true, 0},
      {"ILCE-9", 164, false, true, 0},
      {"ILCA-77M2", 172, false, false, 0},
      {"ILCA-99M2", 170, false, false, 0},
      {"SLT-A99V", 165, false, false, 19},
      {"ILCE-6300", 166, false, false, 19},
      {"ILCE-6700", 184, true, true, 0},
      {"DSC-ZV-1", 179, true, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    uint8_t index = 0;
    ASSERT_TRUE(sonyIdentifyModel(c.model, index));
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(sonyIsDirectSetModel(), c.directSet);
    EXPECT_EQ(sonyHasModelCapabilityB(), c.capabilityB);
    EXPECT_EQ(sonyRawJpegQualityCode(), c.rawJpeg);
  }
}

// The makers' common rule: a key continued by a digit is not that model ("ILME-FX30" is
// no FX3); a letter suffix still is.
TEST_F(SonyTest, AKeyContinuedByADigitIsNotThatModel) {
  struct Case {
    const char* model;
    int index;  // -1: not recognised
  } cases[] = {
      {"ILME-FX30", -1},        {"ILME-FX3", 181},   {"ILME-FX3A", 181},  {"ILCE-66000", -1},
      {"ILCE-6400", 167},       {"ILCE-7M3", 163},   {"ILCE-7M30", -1},   {"ILCE-1M2", 180},
      {"ILCE-17M3", -1},        {"ILCE-7RM4A", 171}, {"ZV-E10M2", 187},   {"ILCE-7M2", 162},
  };
  for (const Case& c : cases) {
    uint8_t index = 99;
    EXPECT_EQ(sonyIdentifyModel(c.model, index), c.index >= 0) << c.model;
    EXPECT_EQ(index, c.index >= 0 ? c.index : 99) << c.model;
  }
}

TEST_F(SonyTest, UnknownModelIsNotRecognisedAndClearsTheFlags) {
  uint8_t index = 0;
  ASSERT_TRUE(sonyIdentifyModel("ILCE-7RM4", index));
  EXPECT_TRUE(sonyIsDirectSetModel());
  index = 42;
  EXPECT_FALSE(sonyIdentifyModel("DSC-RX100", index));
  EXPECT_EQ(index, 42);
  EXPECT_FALSE(sonyIsDirectSetModel());
  EXPECT_FALSE(sonyHasModelCapabilityB());
  EXPECT_EQ(sonyRawJpegQualityCode(), 0);
  EXPECT_FALSE(sonyIdentifyModel("", index));
}

TEST_F(SonyTest, CapabilityTablesByModelIndex) {
  const std::vector<uint8_t> zoom = {161, 167, 171, 174, 175, 176, 177, 179, 180, 181, 182, 183, 184, 187, 188, 189};
  std::vector<uint8_t> capC = {161, 163, 164, 167, 168, 170, 171};
  for (uint8_t m = 174; m <= 189; ++m) capC.push_back(m);
  for (int m = 150; m <= 200; ++m) {
    camSetModelIndex(static_cast<uint8_t>(m));
    SCOPED_TRACE(m);
    EXPECT_EQ(sonyCanZoomLiveView(), std::count(zoom.begin(), zoom.end(), m) == 1);
    EXPECT_EQ(sonyHasModelCapabilityC(), std::count(capC.begin(), capC.end(), m) == 1);
    EXPECT_EQ(sonyCanRecordMovie(), m != 165);
    EXPECT_EQ(sonyHasMovieMode(), m != 165);
  }
}

TEST_F(SonyTest, LabelTableRows) {
  const auto rows = sonyPropertyLabels();
  ASSERT_EQ(rows.size(), 48u);
  EXPECT_EQ(rows.front().code, 0u);
  EXPECT_STREQ(rows.front().label, "Unknown");
  EXPECT_EQ(rows.front().datatype, 2u);
  EXPECT_EQ(rows.back().code, kSonyLabelEndCode);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    const bool remoteKey = row.code >= 0xD2CD && row.code <= 0xD2D0;
    if (row.code != 0) {
      EXPECT_EQ(row.datatype, remoteKey ? 4u : 0u);
    }
  }
  const uint32_t withNames[] = {0x5004, 0x5005, 0x500A, 0x500B, 0x500C, 0x500E, 0x5013, 0xD201,
                                0xD203, 0xD20D, 0xD211, 0xD21B, 0xD21E, 0xD22C, 0xD252, 0xD253, 0xD25F};
  size_t named = 0;
  for (const auto& row : rows) named += row.valueNames != nullptr;
  EXPECT_EQ(named, std::size(withNames));
  for (uint32_t code : withNames) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.code == code; });
    ASSERT_NE(it, rows.end());
    EXPECT_NE(it->valueNames, nullptr) << code;
  }
}

TEST_F(SonyTest, ShutterListsByModelAndMode) {
  EXPECT_EQ(sonyShutterSpeedList(162, 1).size(), 56u);
  for (uint8_t m : {166, 167, 168, 174, 175}) EXPECT_EQ(sonyShutterSpeedList(m, 1).size(), 53u) << int(m);
  for (uint32_t movie : {0x8050u, 0x78050u}) {
    const auto list = sonyShutterSpeedList(162, movie);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front(), 0x10004u);
    EXPECT_EQ(list.size(), 56u - 22u);  // bulb and 30" to 1/3 dropped
  }
  const auto list = sonyShutterSpeedList(162, 1);
  EXPECT_EQ(list.front(), 0u);  // bulb
  EXPECT_TRUE(std::is_sorted(list.begin() + 1, list.end(), [](uint32_t a, uint32_t b) {
    return double(a >> 16) / (a & 0xFFFF) > double(b >> 16) / (b & 0xFFFF);
  }));
}

TEST_F(SonyTest, IsoListLengthsByModelAndMode) {
  struct Row {
    std::vector<uint8_t> models;
    size_t normal, movie;
  };
  const Row rows[] = {{{160, 169}, 35, 26},
                      {{161}, 35, 29},
                      {{162}, 29, 29},
                      {{163, 164, 176, 178, 185}, 36, 32},
                      {{165, 172}, 29, 1},
                      {{166, 168, 175}, 29, 26},
                      {{167}, 32, 20},
                      {{170}, 32, 26},
                      {{171, 174, 180, 183, 184, 186}, 35, 27},
                      {{173}, 37, 34},
                      {{177, 181, 188}, 38, 35},
                      {{179}, 25, 22},
                      {{187}, 32, 27},
                      {{189}, 28, 22},
                      {{182}, 0, 0}};
  for (const auto& row : rows) {
    for (uint8_t m : row.models) {
      SCOPED_TRACE(int(m));
      const auto normal = sonyIsoList(m, 2), movie = sonyIsoList(m, 0x8050);
      EXPECT_EQ(normal.size(), row.normal);
      EXPECT_EQ(movie.size(), row.movie);
      EXPECT_EQ(sonyIsoList(m, 0x78050).size(), row.movie);
      if (!normal.empty()) {
        EXPECT_EQ(normal.front(), 0xFFFFFFu);
      }
      if (!movie.empty()) {
        EXPECT_EQ(movie.front(), 0xFFFFFFu);
      }
    }
  }
  const auto second162 = sonyIsoList(162, 0x8050);
  EXPECT_EQ(second162[1], 50u);
  EXPECT_EQ(second162[2], 64u);
  EXPECT_EQ(second162.back(), 25600u);
  EXPECT_EQ(sonyApertureList().size(), 34u);
  const auto temps = sonyColorTemperatureList();
  EXPECT_EQ(temps.size(), 75u);
}
