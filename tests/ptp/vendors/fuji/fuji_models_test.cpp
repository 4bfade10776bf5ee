// Fujifilm identification keeps the makers' common rule: a model string that continues a
// table name with a digit is not that model; a letter suffix still is.
#include <gtest/gtest.h>

#include "ptp/vendors/fuji/fuji_models.h"

TEST(FujiModelNames, ANameContinuedByADigitIsNotThatModel) {
  struct Case {
    const char* model;
    int index;  // -1: not recognised
  } cases[] = {
      {"X-T10", -1},    {"X-T20", -1},          {"X-H10", -1},   {"X-Pro20", -1},
      {"X-T1", 16},     {"X-T2", 17},           {"X-T30", 32},   {"X-T30 II", 32},
      {"X-H2S", 35},    {"X-T1 IR", 16},        {"X-T4", 25},    {"FUJIFILM X-T20 X-T2", 17},
  };
  for (const Case& c : cases) {
    uint8_t index = 99;
    EXPECT_EQ(fujiIdentifyModel(c.model, index), c.index >= 0) << c.model;
    EXPECT_EQ(index, c.index >= 0 ? c.index : 99) << c.model;
  }
}
