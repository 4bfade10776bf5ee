#pragma once
// A fresh temporary root per test holding the cache folder "c" and the download folder
// "d"; the cache is loaded on them and everything is removed afterwards.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ptp/cache/cache.h"
#include "ptp/cache/cache_testing.h"

class CacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char t[] = "/tmp/kv-cache-test-XXXXXX";
    ASSERT_NE(::mkdtemp(t), nullptr);
    root = t;
    cache = root + "/c";
    download = root + "/d";
    std::filesystem::create_directory(cache);
    std::filesystem::create_directory(download);
    cacheSetBeforeRenameHook(nullptr);
    cacheSetDownloadNaming("", false);
  }
  void TearDown() override {
    cacheSetBeforeRenameHook(nullptr);
    cacheSetDownloadNaming("", false);
    cacheLoad(nullptr, nullptr);  // unloads: later tests start clean
    std::filesystem::remove_all(root);
  }

  void load() { ASSERT_EQ(cacheLoad(cache.c_str(), download.c_str()), 1); }


 public:
  static PtpObjectInfoStruct record(const std::string& name, uint32_t handle = 7, uint64_t date = 1000) {
    PtpObjectInfoStruct r{};
    r.objectId = handle;
    r.objectFormat = 0x3801;
    objectInfoSetFileName(r, name);
    r.captureDate = date;
    r.orientation = 1;
    return r;
  }

  static void writeBytes(const std::string& path, const void* data, size_t n) {
    std::ofstream f(path, std::ios::binary);
    f.write(static_cast<const char*>(data), std::streamsize(n));
  }
  static void writeText(const std::string& path, const std::string& s) { writeBytes(path, s.data(), s.size()); }
  static std::string readText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  static bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  }
  static std::set<std::string> list(const std::string& folder) {
    std::set<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
  }
  static std::span<const uint8_t> bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
  }

  std::string root, cache, download;
};
