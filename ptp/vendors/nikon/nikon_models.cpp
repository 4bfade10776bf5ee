#include "ptp/vendors/nikon/nikon_models.h"

#include <cctype>
#include <mutex>
#include <string>

namespace {

enum Mark : uint8_t { kAfDuringLiveView = 1, kByte30 = 2, kLiveViewOn = 4, kSaveStillCaptureMode = 8 };

constexpr NikonZoomMap kSmall{0, 1, 3, 5, 5};
constexpr NikonZoomMap kPro{0, 1, 3, 5, 6};
constexpr NikonZoomMap kHighRes{0, 2, 3, 4, 5};
constexpr NikonZoomMap kDf{0, 1, 2, 3, 4};
constexpr NikonZoomMap kDefault{0, 2, 4, 6, 7};
constexpr uint8_t kMirrorless = kByte30 | kLiveViewOn;

struct Row {
  const char* names[2];
  uint8_t index;
  const NikonZoomMap* zoom;
  uint8_t marks;
};

// Order matters: longer names come before the names they contain.
const Row kRows[] = {
    {{"D5000"}, 192, &kSmall, kAfDuringLiveView},
    {{"D5100"}, 193, &kSmall, 0},
    {{"D5200"}, 207, &kSmall, 0},
    {{"D5300"}, 208, &kSmall, 0},
    {{"D5500"}, 213, &kSmall, 0},
    {{"D5600"}, 218, &kSmall, 0},
    {{"D7000"}, 194, &kSmall, 0},
    {{"D7100"}, 205, &kDefault, 0},
    {{"D7200"}, 214, &kDefault, 0},
    {{"D7500"}, 217, &kDefault, 0},
    {{"D700"}, 195, &kPro, 0},
    {{"D750"}, 212, &kDefault, 0},
    {{"D780"}, 223, &kDefault, 0},
    {{"D800"}, 196, &kHighRes, kByte30},
    {{"D810"}, 210, &kDefault, kByte30},
    {{"D850"}, 219, &kDefault, kByte30},
    {{"Z6_3"}, 232, &kDefault, kMirrorless},
    {{"Z 6_2"}, 226, &kDefault, kMirrorless},
    {{"Z 6"}, 220, &kDefault, kMirrorless},
    {{"Z 7_2"}, 227, &kDefault, kMirrorless},
    {{"Z FC"}, 229, &kDefault, kMirrorless},
    {{"Z F"}, 231, &kDefault, kMirrorless},
    {{"Z 7"}, 221, &kDefault, kMirrorless},
    {{"Z 50"}, 222, &kDefault, kMirrorless},
    {{"Z 5"}, 225, &kDefault, kMirrorless},
    {{"Z 9"}, 228, &kDefault, kMirrorless},
    {{"Z 8"}, 230, &kDefault, kMirrorless},
    {{"D600", "D610"}, 197, &kDefault, 0},
    {{"D3X"}, 198, &kPro, kSaveStillCaptureMode},
    {{"D500"}, 216, &kDefault, 0},
    {{"D5"}, 215, &kDefault, 0},
    {{"D6"}, 224, &kDefault, 0},
    {{"D4S"}, 211, &kDefault, 0},
    {{"D4"}, 200, &kHighRes, 0},
    {{"D3S"}, 199, &kPro, 0},
    {{"D300S"}, 202, &kPro, 0},
    {{"D300"}, 201, &kPro, 0},
    {{"D200"}, 206, &kDefault, 0},
    {{"D90"}, 203, &kSmall, kAfDuringLiveView},
    {{"D3"}, 204, &kPro, 0},
    {{"D2X"}, 204, &kDefault, 0},
    {{"DF"}, 209, &kDf, 0},
};

std::mutex gMutex;
NikonModelState gState;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Substring search in which a name is not found inside a longer number: "D3" is not in
// "D3200" and "Z 5" is not in "Z 50", so a body missing from the rows is not taken for
// another one whose name is a prefix of its own.
bool contains(const std::string& haystack, std::string_view needle) {
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) {
    const bool digitBefore = at > 0 && isDigit(haystack[at - 1]) && isDigit(needle.front());
    const size_t end = at + needle.size();
    const bool digitAfter = end < haystack.size() && isDigit(haystack[end]) && isDigit(needle.back());
    if (!digitBefore && !digitAfter) return true;
  }
  return false;
}

}  // namespace

bool nikonIdentifyModel(std::string_view modelString, uint8_t& modelIndex) {
  std::string model(modelString.substr(0, modelString.find('\0')));
  for (char& c : model) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  std::lock_guard<std::mutex> lock(gMutex);
  gState = NikonModelState{};
  modelIndex = 0;
  for (const Row& row : kRows) {
    const bool hit = (row.names[0] && contains(model, row.names[0])) || (row.names[1] && contains(model, row.names[1]));
    if (!hit) continue;
    modelIndex = row.index;
    gState.zoomMap = *row.zoom;
    if (row.marks & kByte30) gState.modelByte = 30;
    gState.afDuringLiveView = row.marks & kAfDuringLiveView;
    gState.saveStillCaptureMode = row.marks & kSaveStillCaptureMode;
    gState.liveViewOn = row.marks & kLiveViewOn;
    return true;
  }
  return false;
}

NikonModelState nikonGetModelState() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gState;
}

void nikonResetModelState() {
  std::lock_guard<std::mutex> lock(gMutex);
  gState = NikonModelState{};
}
