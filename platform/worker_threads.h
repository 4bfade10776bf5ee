#pragma once
// Threads for blocking work that nobody waits for when it starts (a HUD's task, a cache
// load). Each is joined once it has finished: by the next start, or by joinAll at the end
// of the application, which waits a bounded time and lets go of any still running, so a
// quit neither leaves a finished thread behind nor waits forever on a stuck one.
#include <chrono>
#include <cstddef>
#include <functional>

namespace WorkerThreads {

// Runs fn on a new thread; false (fn not run) when no thread could be made.
bool start(std::function<void()> fn);

// Waits up to deadline for the running workers (serving hops to the GUI thread meanwhile
// when called there) and joins the finished ones; with letGo, the rest are let go (they
// finish on their own). True when none was left running.
bool joinAll(std::chrono::milliseconds deadline, bool letGo = true);

// Joins the workers that have finished, without waiting for the others.
void joinFinished();

// Workers started and not yet finished.
size_t running();

}  // namespace WorkerThreads
