#include "ptp/vendors/sony/sony_models.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <iterator>

#include "ptp/base/camera_vendor.h"

namespace {

struct ModelRow {
  const char* key;
  uint8_t index;
  bool directSet;
  bool capabilityB;
  bool rawJpeg19;
};

// Order matters: longer names come before the names they contain ("ILCE-7CR" before
// "ILCE-7C", "ZV-E10" before "ZV-E1").
constexpr ModelRow kModels[] = {
    {"SLT-A99V", 165, false, false, true}, {"77M2", 172, false, false, false},
    {"99M2", 170, false, false, false},    {"7M2", 162, false, false, false},
    {"7RM2", 160, false, false, true},     {"7SM2", 169, false, false, false},
    {"7SM3", 177, true, true, false},      {"FX3", 181, true, true, false},
    {"7S", 173, false, false, false},      {"7M4", 182, true, true, false},
    {"7M3", 163, false, true, false},      {"7RM3", 161, false, true, false},
    {"7RM4", 171, true, true, false},      {"7RM5", 183, true, true, false},
    {"ILCE-7CM2", 185, true, true, false}, {"ILCE-7CR", 186, true, true, false},
    {"ILCE-7C", 178, true, true, false},   {"ZV-1", 179, true, true, false},
    {"ZV-E10", 187, true, true, false},    {"ZV-E1", 188, true, true, false},
    {"ILCE-9M2", 176, true, true, false},  {"ILCE-9M3", 189, true, true, false},
    {"ILCE-9", 164, false, true, false},   {"ILCE-1", 180, true, true, false},
    {"6300", 166, false, false, true},     {"6400", 167, false, true, false},
    {"6500", 168, false, false, false},    {"6600", 174, false, true, false},
    {"6700", 184, true, true, false},      {"6100", 175, false, true, false},
};

std::atomic<bool> gDirectSet{false};
std::atomic<bool> gCapabilityB{false};
std::atomic<uint8_t> gRawJpegCode{0};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Case-insensitive search in which a key is not found inside a longer number, as for the
// other makers: "FX3" is not in "FX30". A letter suffix still matches ("ILCE-7RM3A").
bool containsNoCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return false;
  auto eq = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (auto it = haystack.begin();; ++it) {
    it = std::search(it, haystack.end(), needle.begin(), needle.end(), eq);
    if (it == haystack.end()) return false;
    const size_t at = static_cast<size_t>(it - haystack.begin());
    const size_t end = at + needle.size();
    const bool digitBefore = at > 0 && isDigit(haystack[at - 1]) && isDigit(needle.front());
    const bool digitAfter = end < haystack.size() && isDigit(haystack[end]) && isDigit(needle.back());
    if (!digitBefore && !digitAfter) return true;
  }
}

// Tables of 29 entries indexed by model index - 161 (161-189).
bool inByteTable(const bool (&table)[29]) {
  const int i = static_cast<int>(camModelIndex()) - 161;
  return i >= 0 && i < 29 && table[i];
}

}  // namespace

bool sonyIdentifyModel(std::string_view modelString, uint8_t& modelIndex) {
  gDirectSet = false;
  gCapabilityB = false;
  gRawJpegCode = 0;
  for (const ModelRow& row : kModels) {
    if (!containsNoCase(modelString, row.key)) continue;
    modelIndex = row.index;
    gDirectSet = row.directSet;
    gCapabilityB = row.capabilityB;
    gRawJpegCode = row.rawJpeg19 ? 19 : 0;
    return true;
  }
  return false;
}

SonyModelState sonyGetModelState() { return {gDirectSet.load(), gCapabilityB.load(), gRawJpegCode.load()}; }

void sonyResetModelState() {
  gDirectSet = false;
  gCapabilityB = false;
  gRawJpegCode = 0;
}

bool sonyIsDirectSetModel() { return gDirectSet.load(); }
bool sonyHasModelCapabilityB() { return gCapabilityB.load(); }
uint8_t sonyRawJpegQualityCode() { return gRawJpegCode.load(); }

bool sonyHasModelCapabilityA() {
  const uint8_t m = camModelIndex();
  return m >= 161 && m <= 189;
}

bool sonyHasModelCapabilityC() {
  static constexpr bool kTable[29] = {
      // 161 .. 189
      true,  false, true,  true,  false, false, true,  true,  false, true,  true,  false, false, true, true,
      true,  true,  true,  true,  true,  true,  true,  true,  true,  true,  true,  true,  true,  true,
  };
  return inByteTable(kTable);
}

bool sonyCanZoomLiveView() {
  static constexpr bool kTable[29] = {
      // 161 .. 189
      true,  false, false, false, false, false, true,  false, false, false, true,  false, false, true, true,
      true,  true,  false, true,  true,  true,  true,  true,  true,  false, false, true,  true,  true,
  };
  return inByteTable(kTable);
}

bool sonyCanRecordMovie() { return camModelIndex() != 165; }
bool sonyHasMovieMode() { return camModelIndex() != 165; }
