#include <gtest/gtest.h>

#include <cmath>

#include "ptp/camera/cam_arithmetic.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using Arithmetic = PropTest;

PropertyStruct* listed(uint32_t code, std::vector<uint32_t> values) {
  PropertyStruct* r = propAdd(code, false, false);
  r->datatype = PTP_DTC_UINT32;
  for (uint32_t v : values) {
    PropertyValueNamesStruct e{};
    propSetText(e.text, "v" + std::to_string(v));
    e.value = v;
    r->values.push_back(e);
  }
  r->count = static_cast<uint16_t>(r->values.size());
  return r;
}
}  // namespace

TEST_F(Arithmetic, BatteryPercent) {
  struct Case {
    uint16_t vendor;
    uint32_t level, percent;
  } cases[] = {
      {CameraVendorCanon, 4, 75},          {CameraVendorCanon, 1, 50},          {CameraVendorCanon, 6, 0},
      {CameraVendorFujifilm, 0x03000004, 100},  // max(4, 3) + 1 = index 5
      {CameraVendorFujifilm, 0, 0},        {CameraVendorFujifilm, 0x0C000000, 100}, {CameraVendorFujifilm, 13, 100},
      {CameraVendorFujifilm, 14, 0},       {CameraVendorSony, 0x1234, 0x34},    {CameraVendorNikon, 80, 80},
      {CameraVendorUnknown, 80, 0},
  };
  for (const auto& c : cases) {
    camera->vendorCode = c.vendor;
    EXPECT_EQ(camBatteryPercent(c.level), c.percent) << c.vendor << " " << std::hex << c.level;
  }
}

TEST_F(Arithmetic, ScaleRepeated) {
  EXPECT_EQ(camScaleRepeated(1000, 2, 1.0f), 250u);
  EXPECT_EQ(camScaleRepeated(1000, 0, 1.0f), 1000u);
  EXPECT_EQ(camScaleRepeated(1000, -5, 1.0f), 1000u);
  EXPECT_EQ(camScaleRepeated(1000, 1, 0.5f), 750u);
  // Out-of-range factors saturate instead of converting an unrepresentable number.
  EXPECT_EQ(camScaleRepeated(1000, 1, 3.0f), 0u);
  EXPECT_EQ(camScaleRepeated(0xFFFFFFFF, 1, -10.0f), 0xFFFFFFFFu);
  EXPECT_EQ(camScaleRepeated(1000, 1, std::nanf("")), 0u);
  // A factor of 0 leaves the value as it is, however many passes are asked for.
  EXPECT_EQ(camScaleRepeated(1000, 2000000000, 0.0f), 1000u);
}

TEST_F(Arithmetic, CountHalvings) {
  EXPECT_EQ(camCountHalvings(1000, 2, 1.0f), 100u);
  EXPECT_EQ(camCountHalvings(1000, 1, 1.0f), 4u);  // 500, 250, 125, 63
  EXPECT_EQ(camCountHalvings(1000, 0, 1.0f), 7u);
  EXPECT_EQ(camCountHalvings(1000, 1, 1.5f), 2u);  // two subtractions per pass
  EXPECT_EQ(camCountHalvings(1000, 1, 2.5f), 2u);  // three: 500, 250, 125 then 63
  EXPECT_EQ(camCountHalvings(50, 1, 1.0f), 1u);
  EXPECT_EQ(camCountHalvings(1000, 1, 0.0f), 101u);  // nothing subtracted
  EXPECT_EQ(camCountHalvings(1000, 0, -1.0f), 201u);
}

TEST_F(Arithmetic, EvTable) {
  EXPECT_EQ(camBuildEvTable(100, 3, 1.0f), (std::vector<uint32_t>{50, 100, 200}));
  EXPECT_EQ(camBuildEvTable(100, 2, 1.0f), (std::vector<uint32_t>{71, 141}));
  EXPECT_EQ(camBuildEvTable(100, 1, 2.0f), (std::vector<uint32_t>{100}));
  EXPECT_TRUE(camBuildEvTable(100, 0, 1.0f).empty());
  EXPECT_TRUE(camBuildEvTable(100, kEvTableMaxEntries + 1, 1.0f).empty());
  EXPECT_EQ(camBuildEvTable(0xFFFFFFFF, 3, 1.0f).back(), 0xFFFFFFFFu);
}

TEST_F(Arithmetic, StepsToEv) {
  EXPECT_FLOAT_EQ(camStepsToEv(3, 0), 1.0f);  // unknown step: thirds
  camera->vendorCode = CameraVendorCanon;
  camera->stepsPerStop = 2;
  EXPECT_FLOAT_EQ(camStepsToEv(3, 0), 1.5f);
  camera->stepsPerStop = 1;
  EXPECT_FLOAT_EQ(camStepsToEv(3, 0), 3.0f);
  camera->vendorCode = CameraVendorNikon;
  camera->model = 210;
  EXPECT_FLOAT_EQ(camStepsToEv(2, 2.0f), 2.0f);
  EXPECT_FLOAT_EQ(camStepsToEv(1, 1.0f), 1.0f);
  EXPECT_FLOAT_EQ(camStepsToEv(0, 1.0f), 0.0f);
  EXPECT_FLOAT_EQ(camStepsToEv(3, 0.5f), 1.0f);
  camera->model = 213;  // not a whole-step body
  EXPECT_FLOAT_EQ(camStepsToEv(2, 2.0f), 2.0f);
  camera->stepsPerStop = 3;
  EXPECT_FLOAT_EQ(camStepsToEv(3, 2.0f), 1.0f);
}

TEST_F(Arithmetic, CountSteps) {
  camera->vendorCode = CameraVendorCanon;
  listed(0xD104, {0, 1, 2, 3, 4, 5, 6, 7, 8});  // exposure compensation
  listed(0xD101, {0, 1, 2, 3, 4, 5, 6, 7, 8});  // aperture: up and down swap
  struct Case {
    uint32_t code, value;
    int step, mode;
    uint32_t count;
  } cases[] = {
      {0xD104, 2, 1, 2, 7},  {0xD104, 2, 1, 1, 3}, {0xD104, 2, 1, 0, 5}, {0xD104, 2, 3, 2, 3},
      {0xD104, 2, 3, 0, 1},  {0xD104, 2, 1, 9, 1}, {0xD104, 2, 0, 2, 1}, {0xD104, 99, 1, 2, 0},
      {0xD101, 2, 1, 2, 3},  {0xD101, 2, 1, 1, 7}, {0xD199, 2, 1, 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(propCountSteps(c.code, c.value, c.step, c.mode), c.count)
        << std::hex << c.code << std::dec << " value " << c.value << " step " << c.step << " mode " << c.mode;
  }
  propFind(0xD104, false)->count = kPropCountAnyValue;
  EXPECT_EQ(propCountSteps(0xD104, 2, 1, 2), 0u);
  // Every lookup unlocked its record.
  std::thread other([] { propUnlock(propFind(0xD101, true)); });
  other.join();
}

TEST_F(Arithmetic, StepValue) {
  camera->vendorCode = CameraVendorNikon;
  listed(0x5010, {0, 1, 2, 3, 4, 5, 6, 7, 8});  // steps with the list
  listed(0x500F, {0, 1, 2, 3, 4, 5, 6, 7, 8});  // ISO: against the list

  auto value = [](uint32_t code, uint32_t v, int step, int count, int mode, int side) -> long {
    auto e = propStepValue(code, v, step, count, mode, side);
    return e ? static_cast<long>(e->value) : -1;
  };
  EXPECT_EQ(value(0x5010, 4, 1, 3, 1, 0), 6);   // n = 3: two steps on
  EXPECT_EQ(value(0x5010, 4, 1, 3, 2, 1), 2);   // side 1 turns back
  EXPECT_EQ(value(0x5010, 4, 2, 5, 0, 1), 0);   // mode 0: n = (5 - 1) / 2 + 1 = 3
  EXPECT_EQ(value(0x5010, 4, 1, 1, 0, 1), 4);   // count 1 stays
  EXPECT_EQ(value(0x5010, 4, 3, 3, 1, 0), -1);  // past the end
  EXPECT_EQ(value(0x5010, 9, 1, 3, 1, 0), -1);  // not listed
  EXPECT_EQ(value(0x500F, 4, 1, 3, 1, 0), 2);
  EXPECT_EQ(value(0x500F, 4, 1, 3, 2, 1), 6);
  EXPECT_EQ(value(0x5099, 4, 1, 3, 1, 0), -1);

  auto copy = propStepValue(0x5010, 4, 1, 2, 1, 0);
  ASSERT_TRUE(copy);
  EXPECT_STREQ(copy->text, "v5");
  propFind(0x5010, false)->values[5].value = 55;  // the copy does not follow the table
  EXPECT_EQ(copy->value, 5u);

  // mode = side answers the value's text.
  static const PropertyValueNamesStruct kNames[] = {{"+1/3", 1}, {"", 0}};
  static const PropertyLabelRow kRows[] = {{0x5010, "Exposure Bias", 6, kNames}};
  propSetLabelTable(kRows, 0x5010);
  auto text = propStepValue(0x5010, 1, 1, 3, 1, 1);
  ASSERT_TRUE(text);
  EXPECT_STREQ(text->text, "+1/3");
  EXPECT_EQ(text->value, 1u);
  EXPECT_FALSE(propStepValue(0x5099, 1, 1, 3, 1, 1));  // no row: no text
}
