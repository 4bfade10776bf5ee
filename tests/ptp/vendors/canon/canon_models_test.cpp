#include <gtest/gtest.h>

#include "ptp/vendors/canon/canon_models.h"

namespace {

struct ModelCase {
  const char* model;
  bool recognised;
  uint8_t index;
  double width, height;
};

std::ostream& operator<<(std::ostream& os, const ModelCase& c) { return os << c.model; }

class CanonModels : public testing::TestWithParam<ModelCase> {
 protected:
  void SetUp() override { canonResetModelState(); }
  void TearDown() override { canonResetModelState(); }
};

TEST_P(CanonModels, IdentifiesIndexAndSensor) {
  const ModelCase& c = GetParam();
  uint8_t index = 99;
  EXPECT_EQ(canonIdentifyModel(c.model, index), c.recognised);
  EXPECT_EQ(index, c.index);
  double w = 0, h = 0;
  canonGetSensorSize(w, h);
  EXPECT_EQ(w, c.width);
  EXPECT_EQ(h, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanonModels,
    testing::Values(
        ModelCase{"Canon EOS R5m2", true, 251, 8192, 5464},
        ModelCase{"Canon EOS R5", true, 230, 8192, 5464},
        ModelCase{"Canon EOS REBEL T7i", true, 240, 6000, 4000},
        ModelCase{"Canon EOS 5D", false, 0, 5616, 3744},
        ModelCase{"Canon EOS 1000D", false, 0, 3888, 2592},
        ModelCase{"Nikon D850", false, 0, 3888, 2592},
        ModelCase{"", false, 0, 3888, 2592},
        ModelCase{"Canon EOS 7D", true, 0, 5184, 3456},
        ModelCase{"Canon EOS 7D Mark II", true, 236, 5472, 3648},
        // A longer number is not taken for the shorter name inside it.
        ModelCase{"Canon EOS 77D", true, 0, 6000, 4000},
        ModelCase{"Canon EOS Kiss X50", true, 0, 4272, 2848},
        ModelCase{"Canon EOS Kiss X70", true, 0, 4272, 2848},
        ModelCase{"Canon EOS Kiss X80", true, 0, 5184, 3456},
        ModelCase{"Canon EOS Kiss X5", true, 0, 5184, 3456},
        ModelCase{"Canon EOS Kiss X7", true, 237, 5184, 3456},  // the earlier of two rows
        ModelCase{"Canon EOS Kiss X8i", true, 239, 6000, 4000},
        ModelCase{"Canon EOS 850D", true, 243, 6000, 4000},
        ModelCase{"Canon EOS 250D", true, 242, 6000, 4000},
        ModelCase{"Canon EOS R100", true, 249, 6000, 4000},
        ModelCase{"Canon EOS R50", true, 248, 6000, 4000},
        ModelCase{"Canon EOS R10", true, 246, 6000, 4000},
        ModelCase{"Canon EOS R1", true, 250, 6000, 4000},
        ModelCase{"Canon EOS R6m2", true, 230, 5472, 3648},
        ModelCase{"Canon EOS R", true, 228, 6720, 4480},
        ModelCase{"Canon EOS RP", true, 228, 6240, 4160},
        ModelCase{"canon eos r7", true, 245, 6960, 4640},
        ModelCase{"Canon EOS 5DS R", true, 226, 8688, 5792},
        ModelCase{"Canon EOS 5D Mark II", true, 225, 5616, 3744},
        ModelCase{"Canon EOS-1D X Mark III", true, 229, 5472, 3648},
        ModelCase{"Canon EOS 90D", true, 227, 6940, 4640},
        ModelCase{"Canon EOS 100D", true, 235, 5184, 3456},
        ModelCase{"Canon EOS 1100D", true, 0, 4272, 2848},
        ModelCase{"Canon EOS M6 Mark II", true, 233, 6983, 4655},
        ModelCase{"Canon EOS M50", true, 231, 6012, 4008},
        ModelCase{"Canon PowerShot G7 X Mark III", true, 232, 5472, 3648}));

TEST(CanonModelFlags, RowsSetTheirMarksAndEachIdentificationResetsThem) {
  canonResetModelState();
  uint8_t index = 0;
  ASSERT_TRUE(canonIdentifyModel("Canon EOS R3", index));
  CanonModelState s = canonGetModelState();
  EXPECT_TRUE(canonIsRecentModel());
  EXPECT_TRUE(s.oneStepRelease);
  EXPECT_EQ(s.modelByte, 30);
  EXPECT_TRUE(s.movieOperation);

  ASSERT_TRUE(canonIdentifyModel("Canon EOS 5D Mark IV", index));
  s = canonGetModelState();
  EXPECT_FALSE(canonIsRecentModel());
  EXPECT_TRUE(s.oneStepRelease);
  EXPECT_EQ(s.modelByte, 30);

  ASSERT_TRUE(canonIdentifyModel("Canon EOS 5D Mark II", index));
  s = canonGetModelState();
  EXPECT_FALSE(s.movieOperation);
  EXPECT_FALSE(s.oneStepRelease);
  EXPECT_EQ(s.modelByte, 10);
  EXPECT_TRUE(s.liveViewAvailable);

  ASSERT_TRUE(canonIdentifyModel("Canon EOS 60D", index));
  EXPECT_TRUE(canonGetModelState().movieOperation);

  ASSERT_TRUE(canonIdentifyModel("Canon EOS 40D", index));
  EXPECT_FALSE(canonGetModelState().liveViewAvailable);
  canonResetModelState();
}

TEST(CanonModelFlags, OneDXWithoutMarkKeepsTheSensorSizeItHad) {
  canonResetModelState();
  uint8_t index = 0;
  ASSERT_TRUE(canonIdentifyModel("Canon EOS R5", index));
  ASSERT_TRUE(canonIdentifyModel("Canon EOS-1D X", index));
  double w = 0, h = 0;
  canonGetSensorSize(w, h);
  EXPECT_EQ(w, 8192);
  EXPECT_EQ(h, 5464);
  EXPECT_EQ(canonGetModelState().modelByte, 30);
  EXPECT_EQ(index, 0);
  canonResetModelState();
}

}  // namespace
