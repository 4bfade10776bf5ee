#pragma once
// A fuzz target is written once: built alone it is a libFuzzer entry point; inside the
// replay driver it registers under its name so CI can replay its corpus.
#include <cstddef>
#include <cstdint>

#ifdef KV_LIBFUZZER
#define KV_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
namespace kvfuzz {
using Fn = int (*)(const uint8_t*, size_t);
bool registerTarget(const char* name, Fn fn);
}  // namespace kvfuzz
#define KV_FUZZ_TARGET(name)                                                                  \
  static int kvFuzz_##name(const uint8_t* data, size_t size);                                 \
  [[maybe_unused]] static const bool kvFuzzRegistered_##name =                                \
      ::kvfuzz::registerTarget(#name, kvFuzz_##name);                                         \
  static int kvFuzz_##name(const uint8_t* data, size_t size)
#endif
