#include "ptp/props/event_queue.h"

#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>

namespace {
struct Queue {
  std::mutex mutex;
  std::deque<PtpEventStruct> events;
  std::mutex callbackMutex;
  std::shared_ptr<const std::function<void()>> afterEvents;
};

Queue& Q() {
  static Queue* q = new Queue;
  return *q;
}

PtpEventStruct blank(uint32_t code) {
  PtpEventStruct event;
  std::memset(&event, 0, sizeof event);
  event.code = code;
  return event;
}
}  // namespace

bool evtPush(const PtpEventStruct& event, bool notify) {
  {
    std::lock_guard lock(Q().mutex);
    if (Q().events.size() >= kEventQueueCapacity) return false;
    try {
      Q().events.push_back(event);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (notify) evtRunAfterEvents();
  return true;
}

PtpEventStruct evtPop() {
  std::lock_guard lock(Q().mutex);
  if (Q().events.empty()) return blank(0);
  PtpEventStruct event = Q().events.front();
  Q().events.pop_front();
  return event;
}

void evtClearQueue() {
  std::lock_guard lock(Q().mutex);
  Q().events.clear();
}

size_t evtQueueSize() {
  std::lock_guard lock(Q().mutex);
  return Q().events.size();
}

void evtSetAfterEventsCallback(std::function<void()> callback) {
  auto next = callback ? std::make_shared<const std::function<void()>>(std::move(callback)) : nullptr;
  std::lock_guard lock(Q().callbackMutex);
  Q().afterEvents = std::move(next);
}

void evtRunAfterEvents() {
  std::shared_ptr<const std::function<void()>> callback;
  {
    std::lock_guard lock(Q().callbackMutex);
    callback = Q().afterEvents;
  }
  if (callback) (*callback)();
}

bool evtQueueObjectAdded(const PtpObjectInfoStruct& record, bool notify) {
  PtpEventStruct event = blank(PTP_EC_ObjectAdded);
  event.objectInfo = record;
  return evtPush(event, notify);
}

bool evtQueueObjectRemoved(uint32_t handle, bool notify) {
  PtpEventStruct event = blank(PTP_EC_ObjectRemoved);
  event.objectHandle = handle;
  return evtPush(event, notify);
}

bool evtQueuePropertyChanged(PropertyStruct* record, bool notify) {
  PtpEventStruct event = blank(PTP_EC_DevicePropChanged);
  event.property = record;
  return evtPush(event, notify);
}
