#include <gtest/gtest.h>

#include "ptp/vendors/sony/sony_liveview.h"
#include "tests/ptp/vendors/vendors_frames.h"

namespace {

TEST(SonyLiveView, StripsTheHeaderUpToTheFirstJpegStart) {
  std::vector<uint8_t> frame(1200, 0x00);
  frame[700] = 0xFF, frame[701] = 0xD8, frame[702] = 0xFF, frame[703] = 0xE0;  // not DB
  frame[900] = 0xFF, frame[901] = 0xD8, frame[902] = 0xFF, frame[903] = 0xDB;
  frame[1000] = 0xFF, frame[1001] = 0xD8, frame[1002] = 0xFF, frame[1003] = 0xDB;
  EXPECT_EQ(sonyFindJpegStart(frame.data(), frame.size()), 900);
  EXPECT_TRUE(sonyStripLiveViewHeader(frame));
  ASSERT_EQ(frame.size(), 300u);
  EXPECT_EQ(frame[3], 0xDB);

  EXPECT_EQ(sonyFindJpegStart(frame.data(), frame.size()), 0);
  std::vector<uint8_t> none(2000, 0x00);
  EXPECT_EQ(sonyFindJpegStart(none.data(), none.size()), -1);
  EXPECT_FALSE(sonyStripLiveViewHeader(none));
  EXPECT_EQ(none.size(), 2000u);
  std::vector<uint8_t> empty;
  EXPECT_FALSE(sonyStripLiveViewHeader(empty));
  EXPECT_EQ(sonyFindJpegStart(nullptr, 10), -1);
  EXPECT_EQ(sonyLiveViewFrameOrientation(frame.data(), frame.size()), 1);
  EXPECT_EQ(sonyGetLiveViewOrientation(), 1);
}

struct FocusCase {
  const char* name;
  uint8_t model;
  bool directSet;
  size_t length;
  bool found;
  size_t base;
};

TEST(SonyLiveView, FocusFrameComesFromTheModelsOffsetOnDirectSetBodiesOnly) {
  for (FocusCase c : {FocusCase{"ILCE-9M2", 176, true, 1200, true, 581},
                      FocusCase{"ILCE-7M4", 182, true, 1200, true, 581},
                      FocusCase{"ILCE-7RM5", 183, true, 1200, true, 581},
                      FocusCase{"ILCE-9M3", 189, true, 1200, true, 581},
                      FocusCase{"ILCE-7RM4", 171, true, 1200, true, 1093},
                      FocusCase{"shortest frame", 171, true, 1101, true, 1093},
                      FocusCase{"one byte short", 171, true, 1100, false, 0},
                      FocusCase{"not direct set", 163, false, 1200, false, 0}}) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> frame(c.length, 0);
    for (size_t base : {581u, 1093u}) {
      for (size_t i = 0; i < 4 && base + 2 * i + 1 < frame.size(); ++i) {
        frame[base + 2 * i] = static_cast<uint8_t>(base == 581 ? 0x10 + i : 0x20 + i);
        frame[base + 2 * i + 1] = 0x01;
      }
    }
    uint16_t out[4] = {7, 7, 7, 7};
    EXPECT_EQ(sonyGetLiveViewFocusFrame(frame.data(), frame.size(), out, c.model, c.directSet),
              c.found);
    if (!c.found) {
      EXPECT_EQ(out[0], 7);
      continue;
    }
    uint16_t first = c.base == 581 ? 0x0110 : 0x0120;
    EXPECT_EQ(out[0], first);
    EXPECT_EQ(out[1], first + 1);
    EXPECT_EQ(out[2], first + 3);  // fourth value second to last
    EXPECT_EQ(out[3], first + 2);
  }
  uint16_t out[4];
  EXPECT_FALSE(sonyGetLiveViewFocusFrame(nullptr, 2000, out, 171, true));
}

}  // namespace
