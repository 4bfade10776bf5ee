#pragma once
// Fetching vendor event data: one pass on request (evtPoll) or a background poll thread
// that runs a pass every timing().pollPeriod while holding the property-set lock.
#include <cstdint>
#include <functional>
#include <vector>

#include "ptp/base/response_codes.h"

// Hands out pending vendor event data; blocking chooses whether to wait for the
// transaction lock.
using EventFetchCallback = std::function<PtpResponseCode(std::vector<uint8_t>& data, bool blocking)>;
using EventPollErrorCallback = std::function<void(PtpResponseCode)>;

// Installs the event-fetch callback (null: none).
void camSetEventFetchCallback(EventFetchCallback fetch);

// The event lock serialises fetches. For callers that pass alreadyLocked to evtPoll.
bool evtLockFetch(bool blocking);
void evtUnlockFetch();

// One fetch-and-parse pass. 0xFF13 when the event lock is busy (non-blocking), 0xFF01
// without a fetch callback, the fetch's failure, else 0x2001 (the parse's result is not
// passed on).
PtpResponseCode evtPoll(bool blocking, bool alreadyLocked);
// Fetches pending event data under the event lock (waiting for it).
PtpResponseCode evtFetchPending(std::vector<uint8_t>& data);

// Starts the poll thread unless one runs; when one runs, only releases the property-set
// lock if a set left it taken. Results other than 0x2001 and 0xFF13 go to errorCallback,
// on the poll thread.
void evtStartPollThread(EventPollErrorCallback errorCallback);
// Stops the poll thread. Without join it returns at once and the thread ends within one
// pass. With join it also waits for every poll thread to end; called on the poll thread
// itself (from the error callback) it does not wait for that thread.
bool evtStopPollThread(bool join);
// Whether the calling thread is a poll thread inside a pass (holding the property-set
// lock): code called back from the pass must not wait for that lock.
bool evtInPollPass();
// Whether a poll thread runs and has not been told to stop.
bool evtPollThreadRunning();
