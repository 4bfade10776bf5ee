#include <gtest/gtest.h>

#include <cstring>

#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using EventQueue = PropTest;

PtpEventStruct removed(uint32_t handle) {
  PtpEventStruct e;
  std::memset(&e, 0, sizeof e);
  e.code = PTP_EC_ObjectRemoved;
  e.objectHandle = handle;
  return e;
}
}  // namespace

TEST_F(EventQueue, FirstInFirstOut) {
  EXPECT_EQ(evtPop().code, 0u);
  ASSERT_TRUE(evtPush(removed(1), false));
  ASSERT_TRUE(evtPush(removed(2), false));
  PtpEventStruct a = evtPop();
  EXPECT_EQ(a.code, PTP_EC_ObjectRemoved);
  EXPECT_EQ(a.objectHandle, 1u);
  EXPECT_EQ(evtPop().objectHandle, 2u);
  EXPECT_EQ(evtPop().code, 0u);

  for (uint32_t i = 0; i < 5; ++i) evtPush(removed(i), false);
  evtClearQueue();
  EXPECT_EQ(evtQueueSize(), 0u);
  EXPECT_EQ(evtPop().code, 0u);
}

TEST_F(EventQueue, RecordsTravelWhole) {
  PtpObjectInfoStruct record{};
  record.objectId = 7;
  objectInfoSetFileName(record, "DSC_0001.NEF");
  record.rating = 5;
  ASSERT_TRUE(evtQueueObjectAdded(record, false));
  PropertyStruct* property = propAdd(0x5007, false, false);
  ASSERT_TRUE(evtQueuePropertyChanged(property, false));
  ASSERT_TRUE(evtQueuePropertyChanged(nullptr, false));

  PtpEventStruct added = evtPop();
  EXPECT_EQ(added.code, PTP_EC_ObjectAdded);
  EXPECT_EQ(std::memcmp(&added.objectInfo, &record, sizeof record), 0);
  PtpEventStruct changed = evtPop();
  EXPECT_EQ(changed.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(changed.property, property);
  EXPECT_EQ(evtPop().property, nullptr);
}

// The callback runs after the queue's lock is released: it may use the queue itself.
TEST_F(EventQueue, NotifyRunsTheAfterEventsCallbackOutsideTheLock) {
  int calls = 0;
  size_t seen = 0;
  evtSetAfterEventsCallback([&] {
    ++calls;
    seen = evtQueueSize();
  });
  evtPush(removed(1), false);
  EXPECT_EQ(calls, 0);
  evtPush(removed(2), true);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, 2u);
  evtQueueObjectRemoved(3, true);
  EXPECT_EQ(calls, 2);
}

TEST_F(EventQueue, AFullQueueRefusesMore) {
  for (size_t i = 0; i < kEventQueueCapacity; ++i) ASSERT_TRUE(evtPush(removed(static_cast<uint32_t>(i)), false));
  EXPECT_FALSE(evtPush(removed(0xFFFF), false));
  EXPECT_EQ(evtQueueSize(), kEventQueueCapacity);
  EXPECT_EQ(evtPop().objectHandle, 0u);
  EXPECT_TRUE(evtPush(removed(0xFFFF), false));
}
