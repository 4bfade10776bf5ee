#pragma once
// Hops between threads: the GUI thread ("main queue"), a pool for short work ("global
// queue"). Serial queues are DispatchQueue (dispatch_queue.h).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace Dispatch {

// True on the thread that runs the application's event loop.
bool isMainThread();

// Queues fn to the GUI thread and returns at once. Dropped when there is no application;
// blocks still queued when the application object goes are dropped, not run, then.
void main(std::function<void()> fn);

// Runs fn on the GUI thread and waits for it; direct when already there. Returns false
// (fn not run) when there is no application or it is being torn down. Never call it from
// a thread the GUI thread may be waiting for while holding what the GUI thread needs;
// GUI-thread waits in this layer run pending mainSync calls so the usual case (the GUI
// thread stopping a worker that is hopping to it) cannot deadlock.
bool mainSync(const std::function<void()>& fn);

// Short CPU work on the shared pool (capped at the core count; never block in it).
void global(std::function<void()> fn);

// Waits until the pool is idle or the deadline passes; true when idle.
bool waitForGlobal(std::chrono::milliseconds deadline);

// The end of the application: waits as waitForGlobal, then ends and joins the pool's idle
// threads. True when nothing was left running.
bool endGlobal(std::chrono::milliseconds deadline);

// The name the pool's threads carry.
inline constexpr const char* kGlobalThreadName = "kv-global";

// GUI thread: runs the mainSync calls waiting right now. Called by the event loop and by
// the GUI-thread waits of this layer; harmless anywhere else (does nothing off the GUI thread).
void drainMainSync();

// Waits on cv until done() holds (lock held by the caller). On the GUI thread the wait is
// sliced and pending mainSync calls run between slices, so a worker that hops to the GUI
// thread while the GUI thread waits for it still finishes.
void waitDraining(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                  const std::function<bool()>& done);

// Tests: runs in main() on the queueing thread between queueing a block and waking the GUI
// thread, to widen that window. Empty by default.
void setAfterQueueHookForTesting(std::function<void()> hook);

}  // namespace Dispatch
