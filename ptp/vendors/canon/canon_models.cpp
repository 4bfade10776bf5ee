#include "ptp/vendors/canon/canon_models.h"

#include <cctype>
#include <mutex>
#include <string>

namespace {

enum Mark : uint8_t {
  kRecent = 1,
  kOneStep = 2,
  kByte30 = 4,
  kNoLiveView = 8,
  kNoMovie = 16,
  kNotRecognised = 32,
  kKeepSensor = 64,
};

// A row matches when any alternative is present together with every `all` text and none
// of the `none` texts. Texts are upper case.
struct Row {
  const char* any[6];
  const char* all;
  const char* none[2];
  uint8_t index;
  double width, height;
  uint8_t marks;
};

// Order matters: longer names come before the shorter names they contain.
const Row kRows[] = {
    {{"7D"}, "II", {}, 236, 5472, 3648, 0},
    {{"7D"}, nullptr, {}, 0, 5184, 3456, 0},
    {{"6D"}, "II", {}, 0, 6420, 4160, kByte30},
    {{"6D"}, nullptr, {}, 0, 5472, 3648, kByte30},
    {{"5DS"}, nullptr, {}, 226, 8688, 5792, kByte30},
    {{"EOS R100"}, nullptr, {}, 249, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS R50"}, nullptr, {}, 248, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS R6"}, nullptr, {}, 230, 5472, 3648, kByte30 | kOneStep | kRecent},
    {{"EOS R5M2"}, nullptr, {}, 251, 8192, 5464, kByte30 | kOneStep | kRecent},
    {{"EOS R5"}, nullptr, {}, 230, 8192, 5464, kByte30 | kOneStep | kRecent},
    {{"EOS R10"}, nullptr, {}, 246, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS R1"}, nullptr, {}, 250, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS R8"}, nullptr, {}, 247, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS R7"}, nullptr, {}, 245, 6960, 4640, kByte30 | kOneStep | kRecent},
    {{"EOS R3"}, nullptr, {}, 234, 6000, 4000, kByte30 | kOneStep | kRecent},
    {{"EOS RP"}, nullptr, {}, 228, 6240, 4160, kByte30 | kOneStep | kRecent},
    {{"EOS R"}, nullptr, {"EOS REBEL"}, 228, 6720, 4480, kByte30 | kOneStep | kRecent},
    {{"5D"}, "IV", {}, 0, 6720, 4480, kByte30 | kOneStep},
    {{"5D"}, "III", {}, 0, 5760, 3840, kByte30},
    {{"5D"}, "II", {}, 225, 5616, 3744, kNoMovie},
    {{"5D"}, nullptr, {}, 0, 5616, 3744, kNotRecognised},
    {{"1D X"}, "III", {}, 229, 5472, 3648, kByte30},
    {{"1D X"}, "II", {}, 0, 5472, 3648, kByte30},
    {{"1D X"}, nullptr, {"II", "III"}, 0, 0, 0, kByte30 | kKeepSensor},
    {{"1DS"}, "III", {}, 0, 5616, 3744, kNoLiveView},
    {{"1D"}, "III", {}, 0, 3888, 2592, kNoLiveView},
    {{"1D"}, "IV", {}, 0, 4896, 3264, kNoMovie},
    {{"650D", "T4I", "KISS X6"}, nullptr, {}, 244, 5184, 3456, 0},
    {{"700D", "T5I", "KISS X7"}, nullptr, {}, 237, 5184, 3456, 0},
    {{"750D", "T6I", "KISS X8", "760D", "T6S"}, nullptr, {}, 239, 6000, 4000, 0},
    {{"800D", "T7I", "KISS X9I"}, nullptr, {}, 240, 6000, 4000, 0},
    {{"850D", "T8I", "KISS X10I"}, nullptr, {}, 243, 6000, 4000, 0},
    {{"600D", "T3I", "KISS X5"}, nullptr, {}, 0, 5184, 3456, 0},
    {{"1100D", "T3", "KISS X50", "1200D", "T5", "KISS X70"}, nullptr, {}, 0, 4272, 2848, 0},
    {{"1300D", "T6", "KISS X80"}, nullptr, {}, 0, 5184, 3456, 0},
    {{"2000D", "T7", "KISS X90"}, nullptr, {}, 0, 6000, 4000, 0},
    {{"550D", "T2I", "KISS X4"}, nullptr, {}, 0, 5184, 3456, 0},
    {{"500D", "T1I", "KISS X3"}, nullptr, {}, 0, 4752, 3168, 0},
    {{"450D", "XSI", "KISS X2"}, nullptr, {}, 0, 4272, 2848, kNoLiveView},
    {{"1000D", "XS"}, nullptr, {}, 0, 3888, 2592, kNotRecognised},
    {{"100D", "SL1", "KISS X7"}, nullptr, {}, 235, 5184, 3456, 0},
    {{"80D"}, nullptr, {}, 0, 6000, 4000, 0},
    {{"90D"}, nullptr, {}, 227, 6940, 4640, 0},
    {{"200D", "SL2", "KISS X9"}, nullptr, {}, 241, 6000, 4000, 0},
    {{"250D", "SL3", "KISS 10"}, nullptr, {}, 242, 6000, 4000, 0},
    {{"77D", "9000D"}, nullptr, {}, 0, 6000, 4000, 0},
    {{"70D"}, nullptr, {}, 0, 5472, 3648, 0},
    {{"60D"}, nullptr, {}, 0, 5184, 3456, 0},
    {{"50D"}, nullptr, {}, 0, 4752, 3168, 0},
    {{"40D"}, nullptr, {}, 0, 3888, 2592, kNoLiveView},
    {{"1DC", "1D C"}, nullptr, {}, 0, 5184, 3456, kByte30 | kNoMovie},
    {{"EOS M6"}, "II", {}, 233, 6983, 4655, kByte30 | kOneStep | kRecent},
    {{"EOS M50", "EOS KISS M"}, nullptr, {}, 231, 6012, 4008, kByte30 | kOneStep | kRecent},
    {{"G7 X MARK III"}, nullptr, {}, 232, 5472, 3648, kByte30 | kOneStep | kRecent},
};

std::mutex gMutex;
CanonModelState gState;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Substring search in which a name is not found inside a longer number: "7D" is not in
// "77D" and "KISS X5" is not in "KISS X50".
bool contains(const std::string& haystack, std::string_view needle) {
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1)) {
    bool digitBefore = at > 0 && isDigit(haystack[at - 1]) && isDigit(needle.front());
    size_t end = at + needle.size();
    bool digitAfter = end < haystack.size() && isDigit(haystack[end]) && isDigit(needle.back());
    if (!digitBefore && !digitAfter) return true;
  }
  return false;
}

bool matches(const Row& row, const std::string& model) {
  bool any = false;
  for (const char* text : row.any) {
    if (text && contains(model, text)) {
      any = true;
      break;
    }
  }
  if (!any) return false;
  if (row.all && !contains(model, row.all)) return false;
  for (const char* text : row.none)
    if (text && contains(model, text)) return false;
  return true;
}

}  // namespace

bool canonIdentifyModel(std::string_view modelString, uint8_t& modelIndex) {
  std::string model(modelString.substr(0, modelString.find('\0')));
  for (char& c : model) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  std::lock_guard<std::mutex> lock(gMutex);
  gState.movieOperation = true;
  gState.modelByte = 10;
  gState.oneStepRelease = false;
  gState.recentModel = false;
  modelIndex = 0;
  for (const Row& row : kRows) {
    if (!matches(row, model)) continue;
    if (!(row.marks & kKeepSensor)) {
      gState.sensorWidth = row.width;
      gState.sensorHeight = row.height;
    }
    modelIndex = row.index;
    if (row.marks & kRecent) gState.recentModel = true;
    if (row.marks & kOneStep) gState.oneStepRelease = true;
    if (row.marks & kByte30) gState.modelByte = 30;
    if (row.marks & kNoLiveView) gState.liveViewAvailable = false;
    if (row.marks & kNoMovie) gState.movieOperation = false;
    return !(row.marks & kNotRecognised);
  }
  gState.sensorWidth = 3888;
  gState.sensorHeight = 2592;
  return false;
}

bool canonIsRecentModel() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gState.recentModel;
}

CanonModelState canonGetModelState() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gState;
}

void canonGetSensorSize(double& width, double& height) {
  std::lock_guard<std::mutex> lock(gMutex);
  width = gState.sensorWidth;
  height = gState.sensorHeight;
}

void canonResetModelState() {
  std::lock_guard<std::mutex> lock(gMutex);
  gState = CanonModelState{};
}
