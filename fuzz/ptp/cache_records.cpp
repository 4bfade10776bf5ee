// Arbitrary bytes as ".obj" files in a cache folder: the whole input as one file and its
// first 608 bytes as another. The loaded records are then looked up, stored over and
// deleted; whatever names they hold, nothing may appear beside the two folders.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/base/local_name.h"
#include "ptp/cache/cache.h"

namespace {

void removeRoot();

const std::string& root() {
  // Never destroyed: the exit handler that removes the folders still needs it.
  static const std::string* r = new std::string([] {
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string t = base + "/kvfuzz-cache-XXXXXX";
    if (!::mkdtemp(t.data())) std::abort();
    ::mkdir((t + "/c").c_str(), 0700);
    ::mkdir((t + "/d").c_str(), 0700);
    std::atexit(removeRoot);
    return t;
  }());
  return *r;
}

std::vector<std::string> list(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
    ::closedir(d);
  }
  return names;
}

void empty(const std::string& folder) {
  for (const auto& n : list(folder)) ::unlink((folder + "/" + n).c_str());
}

void removeRoot() {
  empty(root() + "/c");
  empty(root() + "/d");
  ::rmdir((root() + "/c").c_str());
  ::rmdir((root() + "/d").c_str());
  ::rmdir(root().c_str());
}

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace

KV_FUZZ_TARGET(cache_records) {
  const std::string c = root() + "/c", d = root() + "/d";
  writeFile(c + "/whole.obj", data, size);
  if (size >= kObjectInfoBytes) writeFile(c + "/first.obj", data, kObjectInfoBytes);
  cacheLoad(c.c_str(), d.c_str());
  std::vector<PtpObjectInfoStruct> loaded;
  for (auto r = cacheFirst(); r; r = cacheNext()) loaded.push_back(*r);
  if (loaded.size() > 2) std::abort();
  const uint8_t bytes[] = {0xFF, 0xD8, 0xFF, 0xD9};
  for (PtpObjectInfoStruct r : loaded) {
    std::string local = localName(r.fileName);
    if (local.find('/') != std::string::npos || local == "." || local == ".." || local.size() > kLocalNameMax)
      std::abort();
    cacheObjectPath(r);
    cacheStoreThumb(r, bytes);
    cacheStoreObject(r, bytes);
    cacheStoreModifiedJpeg(r, bytes);
    cacheStoreExtractedJpeg(r, r.keywords, bytes);
    std::vector<uint8_t> out;
    cacheReadThumb(r, out);
    cacheBestImagePath(r, true);
    r.captureDate ^= 1;
    cacheStoreRecord(r);
    cacheDelete(r);
  }
  auto beside = list(root());
  if (beside.size() != 2) std::abort();
  empty(c);
  empty(d);
  return 0;
}
