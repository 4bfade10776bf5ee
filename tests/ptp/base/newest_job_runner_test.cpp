#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

#include "ptp/base/newest_job_runner.h"

namespace newest_runner_test {

// Waits (without a clock) until the job's cancel flag is raised.
void waitForCancel(const std::atomic<bool>& cancelled) {
  while (!cancelled.load()) std::this_thread::yield();
}

// What ran, in order, guarded for the runner's thread.
struct RunLog {
  std::mutex m;
  std::vector<int> ran;
  void add(int id) {
    std::lock_guard lock(m);
    ran.push_back(id);
  }
  std::vector<int> get() {
    std::lock_guard lock(m);
    return ran;
  }
};

}  // namespace newest_runner_test

using namespace newest_runner_test;

TEST(NewestJobRunner, BurstWhileBlockedRunsOnlyTheLastAndCancelsTheBlockedOne) {
  NewestJobRunner runner("burst");
  RunLog log;
  std::latch started(1), release(1), lastRan(1);
  std::atomic<bool> blockedSawCancel{false};
  runner.submit([&](uint64_t, const std::atomic<bool>& cancelled) {
    started.count_down();
    release.wait();
    blockedSawCancel = cancelled.load();
    log.add(-1);
  });
  started.wait();

  constexpr int kBurst = 100;
  uint64_t lastGeneration = 0;
  std::atomic<uint64_t> ranWithGeneration{0};
  std::atomic<bool> ranAsCurrent{false};
  for (int i = 0; i < kBurst; ++i) {
    lastGeneration = runner.submit([&, i](uint64_t generation, const std::atomic<bool>& cancelled) {
      log.add(i);
      ranWithGeneration = generation;
      ranAsCurrent = runner.isCurrent(generation) && !cancelled.load();
      if (i == kBurst - 1) lastRan.count_down();
    });
    ASSERT_LE(runner.jobsAlive(), 2u) << "after submit " << i;
  }
  EXPECT_EQ(runner.jobsAlive(), 2u);
  release.count_down();
  lastRan.wait();
  runner.stop();

  EXPECT_TRUE(blockedSawCancel);
  EXPECT_EQ(log.get(), (std::vector<int>{-1, kBurst - 1}));
  EXPECT_EQ(ranWithGeneration.load(), lastGeneration);
  EXPECT_TRUE(ranAsCurrent);
  EXPECT_EQ(runner.jobsAlive(), 0u);
}

TEST(NewestJobRunner, AdvanceCancelsTheJobInFlightAndDropsThePendingOne) {
  NewestJobRunner runner("advance");
  RunLog log;
  std::latch started(1), release(1), done(1);
  std::atomic<bool> firstSawCancel{false};
  const uint64_t first = runner.submit([&](uint64_t, const std::atomic<bool>& cancelled) {
    started.count_down();
    release.wait();
    firstSawCancel = cancelled.load();
    log.add(1);
  });
  started.wait();
  const uint64_t second = runner.submit([&](uint64_t, const std::atomic<bool>&) { log.add(2); });
  EXPECT_EQ(runner.jobsAlive(), 2u);
  const uint64_t advanced = runner.advance();
  EXPECT_EQ(runner.jobsAlive(), 1u);  // the first is still running; the second is gone
  EXPECT_GT(second, first);
  EXPECT_GT(advanced, second);
  EXPECT_FALSE(runner.isCurrent(second));
  EXPECT_TRUE(runner.isCurrent(advanced));
  release.count_down();

  // A later job runs after the first ends: had the dropped one survived, it would run first.
  runner.submit([&](uint64_t, const std::atomic<bool>&) {
    log.add(3);
    done.count_down();
  });
  done.wait();
  EXPECT_TRUE(firstSawCancel);
  EXPECT_EQ(log.get(), (std::vector<int>{1, 3}));
}

TEST(NewestJobRunner, AdvanceAloneCancelsTheJobInFlight) {
  NewestJobRunner runner("advance1");
  std::latch started(1), done(1);
  runner.submit([&](uint64_t, const std::atomic<bool>& cancelled) {
    started.count_down();
    waitForCancel(cancelled);  // ends only when advance() cancels it
    done.count_down();
  });
  started.wait();
  runner.advance();
  done.wait();
}

TEST(NewestJobRunner, AdvanceWithNothingInFlightLeavesTheNextJobUncancelled) {
  NewestJobRunner runner("idle");
  EXPECT_EQ(runner.jobsAlive(), 0u);
  const uint64_t g0 = runner.generation();
  EXPECT_EQ(runner.advance(), g0 + 1);
  std::latch done(1);
  std::atomic<bool> cancelledAtStart{true};
  runner.submit([&](uint64_t, const std::atomic<bool>& cancelled) {
    cancelledAtStart = cancelled.load();
    done.count_down();
  });
  done.wait();
  EXPECT_FALSE(cancelledAtStart);
}

TEST(NewestJobRunner, StopCancelsAndWaitsForTheJobInFlight) {
  std::atomic<bool> finished{false};
  std::latch started(1);
  auto runner = std::make_unique<NewestJobRunner>("stop");
  runner->submit([&](uint64_t, const std::atomic<bool>& cancelled) {
    started.count_down();
    waitForCancel(cancelled);
    finished = true;
  });
  started.wait();
  runner->stop();
  EXPECT_TRUE(finished) << "stop() returned before the job in flight ended";
  EXPECT_EQ(runner->jobsAlive(), 0u);

  // After stop nothing runs; the destructor (a second stop) has nothing left to join.
  std::atomic<bool> ranAfterStop{false};
  runner->submit([&](uint64_t, const std::atomic<bool>&) { ranAfterStop = true; });
  EXPECT_EQ(runner->jobsAlive(), 0u);
  runner.reset();
  EXPECT_FALSE(ranAfterStop);
}

TEST(NewestJobRunner, DestructorJoinsAndReleasesThePendingJob) {
  auto token = std::make_shared<int>(7);
  std::weak_ptr<int> watch = token;
  std::latch started(1);
  {
    NewestJobRunner runner("dtor");
    runner.submit([&](uint64_t, const std::atomic<bool>& cancelled) {
      started.count_down();
      waitForCancel(cancelled);
    });
    started.wait();
    runner.submit([held = std::move(token)](uint64_t, const std::atomic<bool>&) { (void)held; });
    EXPECT_FALSE(watch.expired());
  }
  EXPECT_TRUE(watch.expired()) << "the dropped job's captures outlived the runner";
}

TEST(NewestJobRunner, GenerationsCountEverySubmitAndAdvance) {
  NewestJobRunner runner("gens");
  std::latch done(1);
  const uint64_t a = runner.submit([](uint64_t, const std::atomic<bool>&) {});
  const uint64_t b = runner.advance();
  const uint64_t c = runner.submit([&](uint64_t, const std::atomic<bool>&) { done.count_down(); });
  done.wait();
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(c, b + 1);
  EXPECT_EQ(runner.generation(), c);
  EXPECT_FALSE(runner.isCurrent(a));
  EXPECT_FALSE(runner.isCurrent(b));
  EXPECT_TRUE(runner.isCurrent(c));
}
