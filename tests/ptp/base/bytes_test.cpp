#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"

TEST(Bytes, LittleAndBigEndianAccess) {
  uint8_t b[8] = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0x3F};
  EXPECT_EQ(bytesGetU16(b), 0x0201);
  EXPECT_EQ(bytesGetU32(b), 0x04030201u);
  EXPECT_EQ(bytesGetU16BE(b), 0x0102);
  EXPECT_EQ(bytesGetU32BE(b), 0x01020304u);
  EXPECT_FLOAT_EQ(bytesGetFloat(b + 4), 1.0f);
  uint8_t out[4] = {};
  bytesPutU32(out, 0xA1B2C3D4);
  EXPECT_EQ(bytesGetU32(out), 0xA1B2C3D4u);
  bytesPutU16(out, 0xBEEF);
  EXPECT_EQ(bytesGetU16(out), 0xBEEF);
  uint8_t header[5] = {9, 0, 0, 0, 13}, copy[5] = {};
  EXPECT_EQ(bytesCopyHeader(copy, header), 13);
  EXPECT_EQ(0, memcmp(copy, header, 5));
  EXPECT_EQ(bytesU64ToHost(0x1122334455667788ull), 0x1122334455667788ull);
  EXPECT_EQ(linkElapsedMs(1000000, 3500000), 2500);
}

TEST(Bytes, EndsWith) {
  EXPECT_TRUE(bytesEndsWith("IMG_0001.CR2", ".CR2"));
  EXPECT_TRUE(bytesEndsWith(".CR2", ".CR2"));
  EXPECT_FALSE(bytesEndsWith("IMG_0001.CR2.bak", ".CR2"));
  EXPECT_FALSE(bytesEndsWith("CR2", ".CR2"));
  EXPECT_FALSE(bytesEndsWith(nullptr, ".CR2"));
  EXPECT_FALSE(bytesEndsWith("a", nullptr));
}

TEST(Bytes, LockWithinGivesUpWhenTheBudgetIsSpent) {
  ScopedTiming restore;
  timing().lockRetryDelay = std::chrono::milliseconds(1);
  std::mutex m;
  timespec budget{0, 5'000'000};
  EXPECT_EQ(bytesLockWithin(m, budget), 0);  // free: taken at once, budget untouched
  EXPECT_EQ(budget.tv_nsec, 5'000'000);
  std::thread holder([&] {
    timespec b{0, 20'000'000};
    EXPECT_EQ(bytesLockWithin(m, b), EBUSY);
    EXPECT_LE(b.tv_sec, 0);
  });
  holder.join();
  m.unlock();
  // Released while another waits: the waiter gets it within its budget.
  m.lock();
  std::thread waiter([&] {
    timespec b{30, 0};
    EXPECT_EQ(bytesLockWithin(m, b), 0);
    m.unlock();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  m.unlock();
  waiter.join();
}

TEST(ByteReader, ReadsAreBounded) {
  const uint8_t d[6] = {1, 2, 3, 4, 'h', 'i'};
  ByteReader r(d, sizeof d);
  EXPECT_EQ(r.u32(0).value(), 0x04030201u);
  EXPECT_EQ(r.u16be(0).value(), 0x0102);
  EXPECT_FALSE(r.u32(3));
  EXPECT_FALSE(r.u8(6));
  EXPECT_FALSE(r.u64(0));
  EXPECT_FALSE(r.u16(UINT64_MAX));
  EXPECT_FALSE(r.bytes(2, UINT64_MAX));
  EXPECT_EQ(r.cstring(4, 10).value(), "hi");  // ends at the span's end
  EXPECT_EQ(r.cstring(4, 1).value(), "h");
  EXPECT_EQ(r.cstring(6, 10).value(), "");
  EXPECT_FALSE(r.cstring(7, 10));
  const uint8_t needle[2] = {3, 4};
  EXPECT_EQ(r.find(needle).value(), 2u);
  EXPECT_FALSE(r.find(needle, 3));
  ByteReader empty(nullptr, 10);
  EXPECT_FALSE(empty.u8(0));
}
