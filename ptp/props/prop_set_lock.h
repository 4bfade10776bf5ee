#pragma once
// The process-wide property-set lock. A host-side set holds it from the set until the
// camera reports the value; the event poller holds it for each poll pass. It is a
// semaphore, not a mutex: camera set-up and the poller release a lock that another
// thread took (an aborted set), which a mutex forbids.
#include <chrono>

// Takes the lock (waiting at most timing().setLockWait) and raises the busy flag.
bool propLockForSet();
// Releases the lock and clears the busy flag; false when no set holds it (not taken, or
// taken by a poll pass).
bool propUnlockForSet();
// Whether a set holds the lock.
bool propIsSetBusy();

// The lock without the busy flag, as the poll pass takes it.
bool propSetLockAcquireFor(std::chrono::milliseconds wait);
bool propSetLockRelease();
