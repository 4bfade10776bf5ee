#pragma once
// Pins the benchmark to one core so that a baseline and the code measured against it run
// on the same core, undisturbed by migrations. KV_BENCH_CPU picks the core; by default the
// one the program started on.
#include <sched.h>

#include <cstdio>
#include <cstdlib>

inline void pinToOneCore() {
  int cpu = sched_getcpu();
  if (const char* env = std::getenv("KV_BENCH_CPU")) cpu = std::atoi(env);
  if (cpu < 0) return;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  if (sched_setaffinity(0, sizeof set, &set) != 0)
    std::fprintf(stderr, "could not pin to core %d; running unpinned\n", cpu);
  else
    std::printf("pinned to core %d\n", cpu);
}
