#pragma once
// A connected link against an in-process simulator, with short time-outs.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <thread>

#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "tools/devsim/simulator.h"

// Bytes written out in a test, as the link hands them back.
inline devsim::Bytes bytesOf(std::initializer_list<int> v) {
  devsim::Bytes b;
  for (int x : v) b.push_back(static_cast<uint8_t>(x));
  return b;
}

// Polls until p holds; false when it still does not after the deadline, which only guards
// against a hang (no test measures time with it).
inline bool waitFor(const std::function<bool()>& p,
                    std::chrono::milliseconds deadline = std::chrono::milliseconds(30000)) {
  auto end = std::chrono::steady_clock::now() + deadline;
  while (!p()) {
    if (std::chrono::steady_clock::now() > end) return p();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class LinkFixture : public ::testing::Test {
 protected:
  // Long enough that a slow sanitizer run never trips it; tests that want a time-out
  // shorten it themselves.
  static constexpr std::chrono::milliseconds kWait{30000};

  void connect(int generation = 2) {
    devsim::Simulator::Options o;
    o.generation = generation;
    sim = std::make_unique<devsim::Simulator>(o);
    ASSERT_TRUE(sim->start());
    timing().receiveTimeout = kWait;
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(kWait));
    shareSetMode(static_cast<uint8_t>(generation));
  }

  void TearDown() override {
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    linkClearExpectedReply();
    shareSetMode(ShareModeNone);
  }

  ScopedTiming restoreTiming;
  std::unique_ptr<devsim::Simulator> sim;
};
