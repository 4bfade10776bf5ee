#include "ptp/vendors/sony/sony_labels.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

using Names = PropertyValueNamesStruct;

constexpr Names kImageFormatOld[] = {{"Light", 1},        {"Standard", 2},         {"Fine", 3},
                                     {"Extra Fine", 4},   {"RAW", 16},             {"RAW + Standard", 18},
                                     {"RAW + Fine", 19},  {"RAW + Extra Fine", 20}, {"", 0}};
constexpr Names kWhiteBalance[] = {
    {"Auto", 2},           {"Daylight", 4},         {"Incandescent", 6},      {"Flash", 7},
    {"Fluor. Warm White", 0x8001}, {"Fluor. Cool White", 0x8002}, {"Fluor. Day White", 0x8003},
    {"Fluor. Daylight", 0x8004},   {"Cloudy", 0x8010},  {"Shade", 0x8011},     {"C.Temp./Filter", 0x8012},
    {"Custom 1", 0x8020},  {"Custom 2", 0x8021},    {"Custom 3", 0x8022},     {"Underwater Auto", 0x8030},
    {"", 0}};
constexpr Names kFocusMode[] = {{"MF", 1},      {"AF-S", 2},      {"AF-C", 0x8004},
                                {"AF-A", 0x8005}, {"DMF", 0x8006}, {"", 0}};
constexpr Names kMetering[] = {{"Multi", 0x8001},          {"Center", 0x8002},       {"Entire Screen Avg.", 0x8003},
                               {"Spot Standard", 0x8004},  {"Spot Large", 0x8005},   {"Highlight", 0x8006},
                               {"Average", 1},             {"Center Weighted", 2},   {"Multi Spot", 3},
                               {"Center Spot", 4},         {"", 0}};
constexpr Names kFlashMode[] = {{"Auto", 1},          {"Off", 2},             {"Fill", 3},
                                {"Red Eye Auto", 4},  {"Slow Sync", 0x8001},  {"Rear Sync", 0x8003},
                                {"Wireless", 0x8004}, {"", 0}};
constexpr Names kExposureMode[] = {
    {"M", 1},           {"P", 2},           {"A", 3},           {"S", 4},
    {"Auto", 0x8000},   {"Auto+", 0x8001},  {"Scene", 0x8011},  {"Sweep Panorama", 0x8041},
    {"Movie P", 0x8050}, {"Movie A", 0x8051}, {"Movie S", 0x8052}, {"Movie M", 0x8053},
    {"S&Q", 0x78050},   {"", 0}};
constexpr Names kDriveMode[] = {
    {"Single", 1},           {"Self-timer 10s", 0x8004}, {"Self-timer 5s", 0x8003}, {"Self-timer 2s", 0x8005},
    {"Cont. Hi", 2},         {"Cont. Hi+", 0x8010},      {"Cont. Lo", 0x8012},      {"Cont. Mid", 0x8015},
    {"Bracket 0.3EV 3", 0x8337}, {"Bracket 0.7EV 3", 0x8357}, {"Bracket 1.0EV 3", 0x8311},
    {"Bracket 0.3EV 5", 0x8537}, {"Bracket 0.3EV 9", 0x8937}, {"", 0}};
constexpr Names kDro[] = {{"Off", 1},        {"DRO Auto", 0x1F}, {"DRO Lv1", 0x11}, {"DRO Lv2", 0x12},
                          {"DRO Lv3", 0x13}, {"DRO Lv4", 0x14},  {"DRO Lv5", 0x15}, {"HDR Auto", 0x20},
                          {"", 0}};
constexpr Names kImageSize[] = {{"L", 1}, {"M", 2}, {"S", 3}, {"", 0}};
constexpr Names kAspect[] = {{"3:2", 1}, {"16:9", 2}, {"4:3", 3}, {"1:1", 4}, {"", 0}};
constexpr Names kPictureEffect[] = {{"Off", 0x8000},         {"Toy Camera", 0x8001}, {"Pop Color", 0x8002},
                                    {"Posterization", 0x8003}, {"Retro Photo", 0x8004}, {"Soft High-key", 0x8005},
                                    {"Partial Color", 0x8006}, {"High Contrast Mono", 0x8007}, {"", 0}};
constexpr Names kFocusArea[] = {{"Wide", 1},
                                {"Zone", 2},
                                {"Center", 3},
                                {"Flexible Spot S", 0x101},
                                {"Flexible Spot M", 0x102},
                                {"Flexible Spot L", 0x103},
                                {"Expand Flexible Spot", 0x104},
                                {"", 0}};
constexpr Names kCompression[] = {{"Extra Fine", 1}, {"Fine", 2}, {"Standard", 3}, {"Light", 4}, {"", 0}};
constexpr Names kImageFormatNew[] = {{"RAW", 1}, {"RAW + JPEG", 2}, {"JPEG", 3}, {"", 0}};
constexpr Names kZoomSetting[] = {{"Optical Zoom Only", 1}, {"Smart Zoom Only", 2}, {"Clear Image Zoom", 3},
                                  {"Digital Zoom", 4}, {"", 0}};

// Third-stop ISO numbers from 50 up.
constexpr uint32_t kIsoLadder[] = {50,    64,    80,    100,    125,    160,    200,    250,    320,   400,
                                   500,   640,   800,   1000,   1250,   1600,   2000,   2500,   3200,  4000,
                                   5000,  6400,  8000,  10000,  12800,  16000,  20000,  25600,  32000, 40000,
                                   51200, 64000, 80000, 102400, 128000, 160000, 204800, 256000, 320000, 409600};
constexpr uint32_t kIsoAuto = 0xFFFFFF;

constexpr uint32_t shutter(uint32_t numerator, uint32_t denominator) { return numerator << 16 | denominator; }
// Bulb, then 30" to 1/8000 in third stops.
constexpr uint32_t kShutter[] = {
    0,                 shutter(300, 10),  shutter(250, 10),  shutter(200, 10), shutter(150, 10), shutter(130, 10),
    shutter(100, 10),  shutter(80, 10),   shutter(60, 10),   shutter(50, 10),  shutter(40, 10),  shutter(32, 10),
    shutter(25, 10),   shutter(20, 10),   shutter(16, 10),   shutter(13, 10),  shutter(10, 10),  shutter(8, 10),
    shutter(6, 10),    shutter(5, 10),    shutter(4, 10),    shutter(1, 3),    shutter(1, 4),    shutter(1, 5),
    shutter(1, 6),     shutter(1, 8),     shutter(1, 10),    shutter(1, 13),   shutter(1, 15),   shutter(1, 20),
    shutter(1, 25),    shutter(1, 30),    shutter(1, 40),    shutter(1, 50),   shutter(1, 60),   shutter(1, 80),
    shutter(1, 100),   shutter(1, 125),   shutter(1, 160),   shutter(1, 200),  shutter(1, 250),  shutter(1, 320),
    shutter(1, 400),   shutter(1, 500),   shutter(1, 640),   shutter(1, 800),  shutter(1, 1000), shutter(1, 1250),
    shutter(1, 1600),  shutter(1, 2000),  shutter(1, 2500),  shutter(1, 3200), shutter(1, 4000), shutter(1, 5000),
    shutter(1, 6400),  shutter(1, 8000)};
static_assert(std::size(kShutter) == 56);
constexpr uint32_t kQuarterSecond = shutter(1, 4);

constexpr uint32_t kAperture[] = {100,  110,  120,  140,  160,  180,  200,  220,  250,  280,  320,  350,
                                  400,  450,  500,  560,  630,  710,  800,  900,  1000, 1100, 1300, 1400,
                                  1600, 1800, 2000, 2200, 2500, 2900, 3200, 3600, 4000, 4500};
static_assert(std::size(kAperture) == 34);

template <size_t N>
void setName(Names& entry, const char (&fmt)[N], auto... args) {
  std::snprintf(entry.text, sizeof entry.text, fmt, args...);
}

// Value names of the lists the module dials through, built once (ends with an empty text).
const std::vector<Names>& shutterNames() {
  static const std::vector<Names> names = [] {
    std::vector<Names> out;
    for (uint32_t v : kShutter) {
      Names e{};
      e.value = v;
      const uint32_t num = v >> 16, den = v & 0xFFFF;
      if (v == 0)
        setName(e, "BULB");
      else if (num == 1)
        setName(e, "1/%u", den);
      else if (num % den == 0)
        setName(e, "%u\"", num / den);
      else
        setName(e, "%u.%u\"", num / den, (num % den) * 10 / den);
      out.push_back(e);
    }
    out.push_back(Names{});
    return out;
  }();
  return names;
}

const std::vector<Names>& isoNames() {
  static const std::vector<Names> names = [] {
    std::vector<Names> out;
    Names autoIso{};
    autoIso.value = kIsoAuto;
    setName(autoIso, "ISO AUTO");
    out.push_back(autoIso);
    for (uint32_t v : kIsoLadder) {
      Names e{};
      e.value = v;
      setName(e, "ISO %u", v);
      out.push_back(e);
    }
    out.push_back(Names{});
    return out;
  }();
  return names;
}

const std::array<PropertyLabelRow, 48>& rows() {
  static const std::array<PropertyLabelRow, 48> table = {{
      {0x0000, "Unknown", 2, nullptr},
      {0x5004, "Image Format", 0, kImageFormatOld},
      {0x5005, "White Balance", 0, kWhiteBalance},
      {0x5007, "Aperture", 0, nullptr},
      {0x500A, "Focus Mode", 0, kFocusMode},
      {0x500B, "Metering Mode", 0, kMetering},
      {0x500C, "Flash Mode", 0, kFlashMode},
      {0x500E, "Auto Exposure Mode", 0, kExposureMode},
      {0x5010, "Exposure Compensation", 0, nullptr},
      {0x5013, "Drive Mode", 0, kDriveMode},
      {0xD200, "Flash Compensation", 0, nullptr},
      {0xD201, "Dynamic Range Optimizer", 0, kDro},
      {0xD203, "Image Size", 0, kImageSize},
      {0xD20D, "Shutter Speed", 0, shutterNames().data()},
      {0xD20E, "Face Detection Mode", 0, nullptr},
      {0xD20F, "Color Temperature", 0, nullptr},
      {0xD210, "CC Filter", 0, nullptr},
      {0xD211, "Aspect Ratio", 0, kAspect},
      {0xD213, "Has Focus Flag", 0, nullptr},
      {0xD214, "Zoom", 0, nullptr},
      {0xD215, "Image Pending", 0, nullptr},
      {0xD218, "Battery Life", 0, nullptr},
      {0xD21B, "Picture Effect", 0, kPictureEffect},
      {0xD21C, "AB Filter", 0, nullptr},
      {0xD21D, "Movie Recording Status", 0, nullptr},
      {0xD21E, "ISO", 0, isoNames().data()},
      {0xD22C, "Focus Area", 0, kFocusArea},
      {0xD252, "Image Compression", 0, kCompression},
      {0xD253, "Image Format", 0, kImageFormatNew},
      {0xD22F, "Zoom Amount", 0, nullptr},
      {0xD232, "Live View Location", 0, nullptr},
      {0xD24C, "Focus Position", 0, nullptr},
      {0xD254, "Zoom Amount", 0, nullptr},
      {0xD25B, "Zoom Enabled", 0, nullptr},
      {0xD25C, "Zoom Scale", 0, nullptr},
      {0xD25D, "Zoom Bar Information", 0, nullptr},
      {0xD25F, "Zoom Setting", 0, kZoomSetting},
      {0xD2C1, "AF AE", 0, nullptr},
      {0xD2C2, "Shutter", 0, nullptr},
      {0xD2C3, "Auto Exposure Lock", 0, nullptr},
      {0xD2C7, "Combined Single Shot", 0, nullptr},
      {0xD2CD, "Remote Key Up", 4, nullptr},
      {0xD2CE, "Remote Key Down", 4, nullptr},
      {0xD2CF, "Remote Key Left", 4, nullptr},
      {0xD2D0, "Remote Key Right", 4, nullptr},
      {0xD2D1, "Drive Lens", 0, nullptr},
      {0xD2D2, "Focus Toggle/Engage", 0, nullptr},
      {0xD2D4, "Pixel Shift Multi-Shoot", 0, nullptr},
  }};
  return table;
}

// (normal length, movie-mode length) of the ISO lists, by model.
std::pair<size_t, size_t> isoLengths(uint8_t m) {
  switch (m) {
    case 160: case 169: return {35, 26};
    case 161: return {35, 29};
    case 162: return {29, 29};
    case 163: case 164: case 176: case 178: case 185: return {36, 32};
    case 165: case 172: return {29, 1};
    case 166: case 168: case 175: return {29, 26};
    case 167: return {32, 20};
    case 170: return {32, 26};
    case 171: case 174: case 180: case 183: case 184: case 186: return {35, 27};
    case 173: return {37, 34};
    case 177: case 181: case 188: return {38, 35};
    case 179: return {25, 22};
    case 187: return {32, 27};
    case 189: return {28, 22};
    default: return {0, 0};  // 182 and bodies not in the table
  }
}

}  // namespace

std::span<const PropertyLabelRow> sonyPropertyLabels() { return rows(); }

bool sonyIsMovieExposureMode(uint32_t exposureMode) { return exposureMode == 0x8050 || exposureMode == 0x78050; }

std::vector<uint32_t> sonyShutterSpeedList(uint8_t modelIndex, uint32_t exposureMode) {
  const bool apsc = modelIndex == 166 || modelIndex == 167 || modelIndex == 168 || modelIndex == 174 ||
                    modelIndex == 175;
  std::vector<uint32_t> list(std::begin(kShutter), std::begin(kShutter) + (apsc ? 53 : 56));
  if (sonyIsMovieExposureMode(exposureMode)) {
    auto at = std::find(list.begin(), list.end(), kQuarterSecond);
    list.erase(list.begin(), at);
  }
  return list;
}

std::vector<uint32_t> sonyIsoList(uint8_t modelIndex, uint32_t exposureMode) {
  const auto [normal, movie] = isoLengths(modelIndex);
  const bool inMovie = sonyIsMovieExposureMode(exposureMode);
  const size_t length = inMovie ? movie : normal;
  if (length == 0) return {};
  // The movie lists start a stop higher, except on model 162, whose second list starts at 50.
  const size_t first = inMovie && modelIndex != 162 ? 3 : 0;
  std::vector<uint32_t> list{kIsoAuto};
  for (size_t i = first; list.size() < length && i < std::size(kIsoLadder); ++i) list.push_back(kIsoLadder[i]);
  return list;
}

std::vector<uint32_t> sonyApertureList() { return {std::begin(kAperture), std::end(kAperture)}; }

std::vector<uint32_t> sonyColorTemperatureList() {
  std::vector<uint32_t> list;
  for (uint32_t k = 2500; k <= 9900; k += 100) list.push_back(k);
  return list;
}
