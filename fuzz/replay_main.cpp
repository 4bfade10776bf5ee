// Replays a fuzz target's corpus: fuzz_replay_<layer> <target> <corpus folder>...
// Every file is one input; a crash or sanitizer report fails the run.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace kvfuzz {
static std::map<std::string, Fn>& targets() {
  static std::map<std::string, Fn> t;
  return t;
}
bool registerTarget(const char* name, Fn fn) {
  targets()[name] = fn;
  return true;
}
}  // namespace kvfuzz

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <target> <corpus folder>...\n", argv[0]);
    for (auto& [name, fn] : kvfuzz::targets()) std::fprintf(stderr, "  %s\n", name.c_str());
    return 2;
  }
  auto it = kvfuzz::targets().find(argv[1]);
  if (it == kvfuzz::targets().end()) {
    std::fprintf(stderr, "no fuzz target named %s\n", argv[1]);
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (int i = 2; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (auto& e : std::filesystem::directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
    } else if (std::filesystem::is_regular_file(p)) {
      files.push_back(p);
    }
  }
  std::sort(files.begin(), files.end());
  it->second(nullptr, 0);  // the empty input, always
  for (auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    it->second(data.data(), data.size());
  }
  std::printf("%s: %zu inputs replayed\n", argv[1], files.size() + 1);
  return 0;
}
