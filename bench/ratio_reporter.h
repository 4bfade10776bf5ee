#pragma once
// Every benchmark here reports against a baseline measured in the same run: this reporter
// keeps each run's time and throughput and prints the ratios after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      const std::string name =
          r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
      // Adjusted times are in the run's own unit; ratios and budgets need one.
      nanoseconds_[name] = r.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
      auto it = r.counters.find("bytes_per_second");
      if (it != r.counters.end()) bytesPerSecond_[name] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Throughput ratio (ours / base) when both report bytes per second, else time ratio.
  void printRatio(const std::string& ours, const std::string& base) const {
    auto ra = bytesPerSecond_.find(ours), rb = bytesPerSecond_.find(base);
    if (ra != bytesPerSecond_.end() && rb != bytesPerSecond_.end() && rb->second > 0) {
      std::printf("%s / %s: %.1f MB/s / %.1f MB/s = %.2f\n", ours.c_str(), base.c_str(), ra->second / 1e6,
                  rb->second / 1e6, ra->second / rb->second);
      return;
    }
    auto ta = nanoseconds_.find(ours), tb = nanoseconds_.find(base);
    if (ta == nanoseconds_.end() || tb == nanoseconds_.end() || tb->second <= 0) {
      std::printf("%s / %s: not measured\n", ours.c_str(), base.c_str());
      return;
    }
    std::printf("%s / %s: %.1f us / %.1f us = %.3f\n", ours.c_str(), base.c_str(), ta->second / 1e3,
                tb->second / 1e3, ta->second / tb->second);
  }

  // Milliseconds per iteration against a budget (the budget is what a frame may take).
  void printAgainstBudget(const std::string& name, double budgetMs) const {
    auto t = nanoseconds_.find(name);
    if (t == nanoseconds_.end()) {
      std::printf("%s: not measured\n", name.c_str());
      return;
    }
    double ms = t->second / 1e6;
    std::printf("%s: %.3f ms per frame, budget %.2f ms (%s)\n", name.c_str(), ms, budgetMs,
                ms <= budgetMs ? "within" : "over");
  }

 private:
  std::map<std::string, double> nanoseconds_, bytesPerSecond_;
};

// Runs the registered benchmarks, then prints each (ours, baseline) ratio. Names are
// run names: the function name followed by "/arguments" where a benchmark has them.
// Budgets, where given, are (run name, milliseconds per iteration).
inline int runBenchmarksWithRatios(int argc, char** argv,
                                   const std::vector<std::pair<std::string, std::string>>& pairs,
                                   const std::vector<std::pair<std::string, double>>& budgets = {}) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  for (const auto& [ours, base] : pairs) reporter.printRatio(ours, base);
  for (const auto& [name, ms] : budgets) reporter.printAgainstBudget(name, ms);
  benchmark::Shutdown();
  return 0;
}
