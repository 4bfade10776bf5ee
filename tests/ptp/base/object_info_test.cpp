#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ptp/base/object_info.h"

TEST(ObjectInfo, BytesRoundTripIncludingPaddingAndStringsAreTerminated) {
  std::vector<uint8_t> bytes(kObjectInfoBytes);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i % 255 + 1);  // never NUL
  auto record = objectInfoFromBytes(bytes);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fileName[255], '\0');
  EXPECT_EQ(record->keywords[255], '\0');
  EXPECT_EQ(objectInfoFileName(*record).size(), 255u);  // no NUL before the last byte
  // Everything else, padding included, is the bytes as they came.
  std::vector<uint8_t> back(kObjectInfoBytes);
  std::memcpy(back.data(), &*record, kObjectInfoBytes);
  back[60 + 255] = bytes[60 + 255];
  back[340 + 255] = bytes[340 + 255];
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(record->objectId, bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24);

  EXPECT_FALSE(objectInfoFromBytes(std::span(bytes.data(), 607)));
  bytes.push_back(0);
  EXPECT_FALSE(objectInfoFromBytes(bytes));
}

TEST(ObjectInfo, IdentityByHandleOrByName) {
  PtpObjectInfoStruct a{}, b{};
  a.objectId = b.objectId = 7;
  objectInfoSetFileName(a, "A.JPG");
  objectInfoSetFileName(b, "B.JPG");
  EXPECT_TRUE(objectInfoSameObject(a, b));  // the handle decides
  a.objectId = b.objectId = kObjectIdNone;
  EXPECT_FALSE(objectInfoSameObject(a, b));
  objectInfoSetFileName(b, "A.JPG");
  EXPECT_TRUE(objectInfoSameObject(a, b));
  b.objectId = 3;
  EXPECT_FALSE(objectInfoSameObject(a, b));
  EXPECT_EQ(a.fileNameLength, 5);
  objectInfoSetFileName(a, std::string(300, 'x'));
  EXPECT_EQ(a.fileNameLength, 255);
  EXPECT_EQ(a.fileName[255], '\0');
}

TEST(ObjectInfo, OrientationOneCountsAsNotSet) {
  PtpObjectInfoStruct r{};
  for (auto [value, set] : {std::pair{0, false}, {1, false}, {3, true}, {6, true}, {8, true}}) {
    r.orientation = static_cast<uint8_t>(value);
    EXPECT_EQ(objectInfoOrientationIsSet(r), set) << value;
  }
}
