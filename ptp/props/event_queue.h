#pragma once
// Camera events in one first-in first-out queue, from which the host drains them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>

#include "ptp/base/object_info.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/props/prop_types.h"

// Events queued beyond this many are refused: a device flooding events while nobody
// drains them cannot grow the queue without end.
constexpr size_t kEventQueueCapacity = 4096;

// One event: the code (0: none) and the payload its code names. Copied whole, so the
// payload area is always the size of the object record.
struct PtpEventStruct {
  uint32_t code;
  uint8_t padding[4];
  union {
    PtpObjectInfoStruct objectInfo;  // ObjectAdded
    uint32_t objectHandle;           // ObjectRemoved
    PropertyStruct* property;        // DevicePropChanged (null: not in the table)
  };
};
static_assert(std::is_trivially_copyable_v<PtpEventStruct>);
static_assert(std::is_standard_layout_v<PtpEventStruct>);
static_assert(sizeof(PtpEventStruct) == 616);
static_assert(offsetof(PtpEventStruct, objectInfo) == 8);
static_assert(offsetof(PtpEventStruct, objectHandle) == 8);
static_assert(offsetof(PtpEventStruct, property) == 8);

// Queues a copy of event; with notify, the after-events callback runs once the queue's
// lock is released. False when the queue is full or memory runs out.
bool evtPush(const PtpEventStruct& event, bool notify);
// The oldest event, removed from the queue; code 0 when the queue is empty.
PtpEventStruct evtPop();
void evtClearQueue();
size_t evtQueueSize();

// Called without arguments after events were queued or parsed (null: none).
void evtSetAfterEventsCallback(std::function<void()> callback);
void evtRunAfterEvents();

// The three events the library raises itself.
bool evtQueueObjectAdded(const PtpObjectInfoStruct& record, bool notify);
bool evtQueueObjectRemoved(uint32_t handle, bool notify);
bool evtQueuePropertyChanged(PropertyStruct* record, bool notify);
