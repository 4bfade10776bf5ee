// Nikon body identification.
#include <gtest/gtest.h>

#include "ptp/vendors/nikon/nikon_models.h"

namespace {
class NikonModels : public ::testing::Test {
 protected:
  void SetUp() override { nikonResetModelState(); }
  void TearDown() override { nikonResetModelState(); }
};
}  // namespace

TEST_F(NikonModels, RowsInOrderLongerNamesFirst) {
  struct Case {
    const char* model;
    bool recognised;
    uint8_t index;
    NikonZoomMap zoom;
    uint8_t byte;
  } cases[] = {
      {"NIKON Z fc", true, 229, {0, 2, 4, 6, 7}, 30},
      {"NIKON Z f", true, 231, {0, 2, 4, 6, 7}, 30},
      {"NIKON D7000", true, 194, {0, 1, 3, 5, 5}, 20},
      {"NIKON D700", true, 195, {0, 1, 3, 5, 6}, 20},
      {"NIKON D5", true, 215, {0, 2, 4, 6, 7}, 20},
      {"NIKON D5600", true, 218, {0, 1, 3, 5, 5}, 20},
      {"NIKON D800E", true, 196, {0, 2, 3, 4, 5}, 30},
      {"NIKON Z 6_2", true, 226, {0, 2, 4, 6, 7}, 30},
      {"NIKON Z 6", true, 220, {0, 2, 4, 6, 7}, 30},
      {"NIKON Z 50", true, 222, {0, 2, 4, 6, 7}, 30},
      {"NIKON Z 5", true, 225, {0, 2, 4, 6, 7}, 30},
      {"NIKON Z6_3", true, 232, {0, 2, 4, 6, 7}, 30},
      {"NIKON D610", true, 197, {0, 2, 4, 6, 7}, 20},
      {"NIKON D3S", true, 199, {0, 1, 3, 5, 6}, 20},
      {"NIKON D3", true, 204, {0, 1, 3, 5, 6}, 20},
      {"NIKON D2Xs", true, 204, {0, 2, 4, 6, 7}, 20},
      {"NIKON Df", true, 209, {0, 1, 2, 3, 4}, 20},
      {"nikon d90", true, 203, {0, 1, 3, 5, 5}, 20},
      // Bodies without a row are not taken for one whose name is a prefix of theirs.
      {"NIKON D3200", false, 0, {0, 2, 4, 6, 7}, 20},
      {"NIKON D40", false, 0, {0, 2, 4, 6, 7}, 20},
      {"COOLPIX P1000", false, 0, {0, 2, 4, 6, 7}, 20},
      {"", false, 0, {0, 2, 4, 6, 7}, 20},
  };
  for (const Case& c : cases) {
    uint8_t index = 99;
    EXPECT_EQ(nikonIdentifyModel(c.model, index), c.recognised) << c.model;
    EXPECT_EQ(index, c.index) << c.model;
    const NikonModelState s = nikonGetModelState();
    EXPECT_EQ(s.zoomMap, c.zoom) << c.model;
    EXPECT_EQ(s.modelByte, c.byte) << c.model;
  }
}

TEST_F(NikonModels, FlagsFollowTheRowAndAreClearedByTheNext) {
  uint8_t index = 0;
  ASSERT_TRUE(nikonIdentifyModel("NIKON D5000", index));
  EXPECT_TRUE(nikonGetModelState().afDuringLiveView);
  ASSERT_TRUE(nikonIdentifyModel("NIKON D3X", index));
  EXPECT_EQ(index, 198);
  EXPECT_FALSE(nikonGetModelState().afDuringLiveView);
  EXPECT_TRUE(nikonGetModelState().saveStillCaptureMode);
  ASSERT_TRUE(nikonIdentifyModel("NIKON Z 8", index));
  EXPECT_TRUE(nikonGetModelState().liveViewOn);
  EXPECT_FALSE(nikonGetModelState().saveStillCaptureMode);
  ASSERT_TRUE(nikonIdentifyModel("NIKON D850", index));
  EXPECT_FALSE(nikonGetModelState().liveViewOn);
  // A name cut at an embedded NUL is matched on what comes before it.
  ASSERT_TRUE(nikonIdentifyModel(std::string_view("NIKON D750\0Z 9", 14), index));
  EXPECT_EQ(index, 212);
}
