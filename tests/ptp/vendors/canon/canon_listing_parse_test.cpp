// One listing reply parsed alone: what a hostile or broken body's reply can make of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/vendors/canon/canon_listing.h"

namespace {

// An entry of `size` bytes that says it has `claimed` (its size when 0).
std::vector<uint8_t> sizedEntry(uint32_t size, uint32_t handle, const std::string& name, uint32_t claimed = 0) {
  std::vector<uint8_t> e;
  bytesAppendU32(e, claimed ? claimed : size);
  bytesAppendU32(e, handle);
  bytesAppendU32(e, 0x10001);
  bytesAppendU32(e, 0x3801);
  e.resize(36, 0);
  e.insert(e.end(), name.begin(), name.end());
  e.resize(std::max<size_t>(size, e.size()), 0);
  return e;
}

}  // namespace

TEST(CanonListingParse, RepliesGiveNoMoreThanTheyHoldOrTheCapAllows) {
  // A count that claims the world over 4-byte entries: every entry is 96 bytes in memory,
  // so the cap, not the reply's size, bounds what is kept.
  std::vector<uint8_t> tiny;
  bytesAppendU32(tiny, 0xFFFFFFFF);
  for (size_t i = 0; i < kCanonListMaxRecords + 50; ++i) bytesAppendU32(tiny, 4);
  std::vector<CanonObjectRecord> found;
  ASSERT_TRUE(canonParseObjectList(tiny.data(), tiny.size(), false, found));
  EXPECT_EQ(found.size(), kCanonListMaxRecords);

  // An entry whose size runs past the reply ends the list after the whole ones.
  std::vector<uint8_t> cut;
  bytesAppendU32(cut, 3);
  for (const auto& e : {sizedEntry(96, 1, "IMG_0001.JPG"), sizedEntry(96, 2, "IMG_0002.JPG", 4000)})
    cut.insert(cut.end(), e.begin(), e.end());
  ASSERT_TRUE(canonParseObjectList(cut.data(), cut.size(), false, found));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].handle, 1u);
  EXPECT_STREQ(found[0].name, "IMG_0001.JPG");

  // A name longer than the record keeps its first 63 characters, terminated.
  std::vector<uint8_t> longName;
  bytesAppendU32(longName, 1);
  const auto e = sizedEntry(200, 9, std::string(150, 'N'));
  longName.insert(longName.end(), e.begin(), e.end());
  ASSERT_TRUE(canonParseObjectList(longName.data(), longName.size(), false, found));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(std::string(found[0].name), std::string(63, 'N'));

  EXPECT_TRUE(canonParseObjectList(nullptr, 0, true, found));
  EXPECT_TRUE(found.empty());
}
