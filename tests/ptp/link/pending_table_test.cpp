#include <gtest/gtest.h>

#include "ptp/base/object_info.h"
#include "ptp/link/pending_table.h"
#include "ptp/protocol/ptp_transport.h"

namespace {
struct PendingTableTest : ::testing::Test {
  void SetUp() override { msgTableClear(); }
  void TearDown() override { msgTableClear(); }
};
const PendingRelayHeader kPlain{10, 161, 0, 0};
}  // namespace

TEST_F(PendingTableTest, FullTableRefusesNewKeysButReplacesPresentOnes) {
  for (uint32_t k = 1; k <= kPendingTableSlots; ++k) ASSERT_EQ(msgTablePut(k, nullptr, kPlain), 1);
  EXPECT_EQ(msgTablePut(99, nullptr, kPlain), 0);
  uint8_t bytes[3] = {1, 2, 3};
  EXPECT_EQ(msgTablePut(5, bytes, PendingRelayHeader{13, 160, 178, 3}), 1);
  auto slot = msgTableCopy(5);
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->header.mode, 160);
  EXPECT_EQ(slot->relayBytes, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(msgTableCount(), kPendingTableSlots);

  EXPECT_EQ(msgTableRemove(1), 1);
  EXPECT_EQ(msgTableCount(), kPendingTableSlots - 1);
  for (uint32_t k = 2; k <= kPendingTableSlots; ++k) EXPECT_TRUE(msgTableCopy(k)) << k;
  EXPECT_EQ(msgTableRemove(1), 0);
  EXPECT_EQ(msgTableCount(), kPendingTableSlots - 1);
}

TEST_F(PendingTableTest, CopiesOwnTheirBytesAcrossReRegistration) {
  PtpObjectInfoStruct record{};
  record.objectId = 42;
  objectInfoSetFileName(record, "A.JPG");
  ASSERT_EQ(msgTableSetObjectRelay(1, &record), 1);
  auto before = msgTableCopy(0x1009);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->header.length, 618u);
  EXPECT_EQ(before->header.code, 176);
  EXPECT_EQ(before->header.m, 608u);
  record.objectId = 43;
  ASSERT_EQ(msgTableSetObjectRelay(1, &record), 1);  // replaces the bytes the copy came from
  ASSERT_TRUE(before->relayBytes);
  ASSERT_EQ(before->relayBytes->size(), 608u);
  EXPECT_EQ(bytesGetU32(before->relayBytes->data()), 42u);
  EXPECT_EQ(bytesGetU32(msgTableCopy(0x1009)->relayBytes->data()), 43u);
  EXPECT_EQ(msgTableSetObjectRelay(0, nullptr), 1);
  EXPECT_FALSE(msgTableCopy(0x1009));
}

TEST_F(PendingTableTest, OrderAfterRemovalAndPlainRelays) {
  for (uint32_t k : {7u, 8u, 9u}) ASSERT_EQ(msgTableSetRelay(1, k), 1);
  EXPECT_FALSE(msgTableCopy(8)->relayBytes);
  EXPECT_EQ(msgTableRemove(7), 1);
  EXPECT_EQ(msgTableCount(), 2u);
  EXPECT_TRUE(msgTableCopy(8));
  EXPECT_TRUE(msgTableCopy(9));
  EXPECT_EQ(msgTableSetRelay(0, 8), 1);
  EXPECT_EQ(msgTableSetRelay(0, 8), 0);
}

TEST_F(PendingTableTest, GetObjectCommand) {
  ptpSetTransactionId(0x11223344);
  ByteBuffer out;
  ASSERT_EQ(msgTableBuildGetObject(0xAABBCCDD, out), 16u);
  EXPECT_EQ(out, (ByteBuffer{16, 0, 0, 0, 1, 0, 0x09, 0x10, 0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA}));
  ptpResetTransactionId();
}
