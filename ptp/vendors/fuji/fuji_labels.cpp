#include "ptp/vendors/fuji/fuji_labels.h"

#include <iterator>

namespace {

// Each list ends with an entry whose text is empty.
constexpr PropertyValueNamesStruct kQuality[] = {
    {"RAW", 1}, {"JPG Fine", 2}, {"JPG Normal", 3}, {"RAW + JPG Fine", 4}, {"RAW + JPG Normal", 5},
    {"JPG Super Fine", 6}, {"RAW + JPG Super Fine", 7}, {"", 0}};
constexpr PropertyValueNamesStruct kZoom[] = {
    {"x1.0", 1}, {"x2.5", 2}, {"x6.0", 3}, {"x4.0", 4}, {"x8.0", 5}, {"x16.0", 6},
    {"x2.0", 7}, {"x3.3", 8}, {"x6.6", 9}, {"x13.1", 10}, {"", 0}};
constexpr PropertyValueNamesStruct kAfStatus[] = {
    {"Unknown", 1}, {"Focused", 2}, {"Failure", 3}, {"Not Attempted", 4}, {"", 0}};
constexpr PropertyValueNamesStruct kFocusMode[] = {{"MF", 1}, {"AF-S", 0x8001}, {"AF-C", 0x8002}, {"", 0}};
constexpr PropertyValueNamesStruct kExposureMode[] = {{"M", 1}, {"A", 3}, {"S", 4}, {"P", 6}, {"", 0}};
constexpr PropertyValueNamesStruct kPriority[] = {{"Camera", 1}, {"PC", 2}, {"", 0}};
constexpr PropertyValueNamesStruct kMediaRecording[] = {
    {"RAW+JPG", 1}, {"RAW", 2}, {"JPG", 3}, {"OFF", 4}, {"", 0}};
constexpr PropertyValueNamesStruct kFocusPoints[] = {
    {"13x7", 1}, {"25x13", 2}, {"13x9", 3}, {"25x17", 4}, {"", 0}};
constexpr PropertyValueNamesStruct kAfArea[] = {
    {"AF Area", 0x8001}, {"AF Zone", 0x8002}, {"Wide/Tracking", 0x8003}, {"AF All", 0x8004}, {"", 0}};
constexpr PropertyValueNamesStruct kReleaseStatus[] = {
    {"S1", 512}, {"Bulb", 1024}, {"AF", 2048}, {"AEL", 16384}, {"AFL", 32768}, {"", 0}};
constexpr PropertyValueNamesStruct kOnOff[] = {{"On", 1}, {"Off", 2}, {"", 0}};

constexpr PropertyLabelRow kRows[] = {
    {0x5003, "Image Size", 0xFFFF, nullptr},
    {0x5005, "White Balance", 0, nullptr},
    {0x5007, "Aperture", 0, nullptr},
    {0x500A, "Focus Mode", 0, kFocusMode},
    {0x500D, "Shutter Speed", 6, nullptr},
    {0x500B, "Metering Mode", 0, nullptr},
    {0x500E, "Exposure Mode", 0, kExposureMode},
    {0x500F, "ISO", 0, nullptr},
    {0x5010, "Exposure Compensation", 0, nullptr},
    {0x5011, "Date/Time", 0, nullptr},
    {0x5012, "Timer Delay", 0, nullptr},
    {0x5015, "Sharpness", 0, nullptr},
    {0x501C, "Focus Metering Mode", 0, kAfArea},
    {0xD001, "Film Simulation Mode", 0, nullptr},
    {0xD007, "Dynamic Range", 0, nullptr},
    {0xD008, "Color Mode", 0, nullptr},
    {0xD00A, "Color Space", 0, nullptr},
    {0xD00B, "White Balance Tuning Red-Cyan", 0, nullptr},
    {0xD00C, "White Balance Tuning Blue-Yellow", 0, nullptr},
    {0xD017, "White Balance Temperature", 0, nullptr},
    {0xD018, "Image Quality", 0, kQuality},
    {0xD01B, "Live View Zoom", 0, kZoom},
    {0xD01D, "Macro Mode", 0, nullptr},
    {0xD020, "Face Detection Mode", 0, nullptr},
    {0xD022, "RAW Compression", 0, nullptr},
    {0xD023, "Grain Effect", 0, nullptr},
    {0xD024, "Eye Af Mode", 0, nullptr},
    {0xD025, "Focus Points", 0, kFocusPoints},
    {0xD027, "Interlock AE-AF Area", 0, nullptr},
    {0xD02A, "Focus Metering Mode 0", 0, kAfArea},
    {0xD02B, "Focus Metering Mode 0", 0, kAfArea},
    {0xD02C, "Focus Metering Mode 180", 0, kAfArea},
    {0xD02D, "Focus Metering Mode 270", 0, kAfArea},
    {0xD100, "User Comment", 0, nullptr},
    {0xD103, "Preview Time", 0, nullptr},
    {0xD106, "Grid View", 0, nullptr},
    {0xD10A, "AFC Priority", 0, nullptr},
    {0xD112, "AF Light", 0, nullptr},
    {0xD113, "AF Volume", 0, nullptr},
    {0xD153, "Firmware Version", 0, nullptr},
    {0xD156, "Lens Version", 0, nullptr},
    {0xD157, "World Clock", 0, nullptr},
    {0xD158, "Time Difference Hours", 0, nullptr},
    {0xD159, "Time Difference Minutes", 0, nullptr},
    {0xD170, "Focal Length", 0, nullptr},
    {0xD171, "Focus Position", 0, nullptr},
    {0xD173, "Live View Quality", 0, nullptr},
    {0xD174, "Live View Size", 0, nullptr},
    {0xD17B, "Power Control", 0, nullptr},
    {0xD17F, "Reset Settings", 0, nullptr},
    {0xD201, "Drive Mode", 0, nullptr},
    {0xD207, "Priority Mode", 0, kPriority},
    {0xD208, "Capture Mode", 0, nullptr},
    {0xD209, "AF Status", 0, kAfStatus},
    {0xD20B, "Camera Name", 0xFFFF, nullptr},
    {0xD20C, "Media Recording", 0, kMediaRecording},
    {0xD20D, "Media Capacity", 0, nullptr},
    {0xD20E, "Buffer Capacity", 0, nullptr},
    {0xD212, "Property List", 0, nullptr},
    {0xD21C, "Ptp Error Status", 0, nullptr},
    {0xD224, "Release Status", 0, kReleaseStatus},
    {0xD230, "Force Mode", 0, nullptr},
    {0xD320, "Highlight Tone", 0, nullptr},
    {0xD321, "Shadow Tone", 0, nullptr},
    {0xD322, "Long Exposure Noise Reduction", 0, kOnOff},
    {0xD323, "Full Time Manual Focus", 0, nullptr},
    {0xD347, "Focus Area 0", 0, nullptr},
    {0xD33F, "Shooting Display", 0, nullptr},
    {0xD343, "Display LCD", 0, nullptr},
    {0xD34A, "Instant AF Mode", 0, nullptr},
    {0xD34B, "Pre AF Mode", 0, nullptr},
    {0xD34D, "Lens Modulation Optimizer", 0, nullptr},
    {0xD352, "Date Time Format", 0, nullptr},
    {0xD355, "Silent Mode", 0, nullptr},
    {0xD358, "EVF Auto Rotate", 0, nullptr},
    {0xD36A, "Battery Status", 0, nullptr},
    {0xD359, "Preview Exposure Mode", 0, nullptr},
    {0xD35A, "LCD Brightness", 0, nullptr},
    {0xD35B, "ECF Brightness", 0, nullptr},
    {0xD36D, "Lens Info", 0xFFFF, nullptr},
    {0xD372, "Focus Area 90", 0, nullptr},
    {0xD373, "Focus Area 180", 0, nullptr},
    {0xD374, "Focus Area 270", 0, nullptr},
    {0xD375, "Custom Grid Info 0", 0, nullptr},
    {0xD376, "Custom Grid Info 90", 0, nullptr},
    {0xD377, "Custom Grid Info 180", 0, nullptr},
    {0xD378, "Custom Grid Info 270", 0, nullptr},
    {0xD38A, "Lens IS", 0, nullptr},
    {0xD38B, "Manual Focus", 0, nullptr},
    {0xD38C, "Lens Zoom Position", 0, nullptr},
    {0xD38D, "Lens F-Stop", 0xFFFF, nullptr},
    {0xD38E, "Optical Zoom Focal Length", 0, nullptr},
    {0xD395, "Focus Area", 0, nullptr},
    {0xEEE0, "Custom - Focus Location X", 0, nullptr},
    {0xEEE1, "Custom - Focus Location Y", 0, nullptr},
    {0xEEE2, "Custom - Focus Width", 0, nullptr},
    {0xEEE3, "Custom - Focus Height", 0, nullptr},
};
static_assert(std::size(kRows) == 97);
static_assert(kRows[std::size(kRows) - 1].code == kFujiLabelEndCode);

// Image sizes by the 0x5003 value.
constexpr const char* kSizes[kFujiImageSizeCount] = {
    "2496x1664", "2496x1408", "1664x1664", "3456x2304", "3456x1944", "2304x2304", "4896x3264",
    "4896x2760", "3264x3264", "3008x2000", "3008x1688", "2000x2000", "4240x2832", "4240x2384",
    "2832x2832", "6000x4000", "6000x3376", "4000x4000", "4000x2664", "4000x2248", "2992x2992",
    "8256x5504", "8256x4640", "6192x6192", "4000x3000", "4000x1480", "3744x3000", "3504x3000",
    "8256x6192", "8256x3048", "7744x6192", "7232x6192", "3120x2080", "3120x1760", "2080x2080",
    "4416x2944", "4416x2488", "2944x2944", "6240x4160", "6240x3512", "4160x4160", "8256x5504",
    "8256x4640", "6192x6192", "8256x6192", "8256x3048", "7744x6192", "7232x6192", "11648x8736",
    "11648x7768", "11648x6552", "8736x8736", "11648x4304", "10928x8736", "10192x8736", "3264x2592",
    "3456x2592", "2592x2592", "3888x2184", "3888x2592", "4560x3648", "4864x3648", "3648x3648",
    "5472x3080", "5472x3648", "6432x5152", "6864x5152", "5152x5152", "7728x4344", "7728x5152",
};

// The properties the module keeps in the table, in set-up order. 0xD395 appears twice:
// the second add finds the table already holding it and adds a twin record that lookups
// never reach.
constexpr uint32_t kTracked[] = {0x5003, 0x5005, 0x5007, 0x500A, 0x500D, 0x500B, 0x500E, 0x500F, 0x5010, 0xD018,
                                 0xD01B, 0xD017, 0xD208, 0xD209, 0xD20C, 0xD20D, 0xD20E, 0xD212, 0xD21C, 0xD022,
                                 0xD38D, 0xD36A, 0xD171, 0xD174, 0xD173, 0xD395, 0xD207, 0xD100, 0xD38E, 0xD00A,
                                 0xD025, 0x501C, 0xD395, 0xEEE0, 0xEEE1, 0xEEE2, 0xEEE3, 0xD201};
static_assert(std::size(kTracked) == 38);

bool within(uint32_t i, uint32_t lo, uint32_t hi) { return i >= lo && i <= hi; }

}  // namespace

std::span<const PropertyLabelRow> fujiPropertyLabels() { return kRows; }

const PropertyLabelRow* fujiLabelRowFor(uint32_t code) {
  if (code == 0) return nullptr;
  for (const PropertyLabelRow& row : kRows)
    if (row.code == code) return &row;
  return nullptr;
}

std::span<const uint32_t> fujiTrackedCodes() { return kTracked; }

const char* fujiImageSizeName(uint32_t index) { return index < kFujiImageSizeCount ? kSizes[index] : nullptr; }

const char* fujiImageSizeClass(uint32_t i) {
  if (within(i, 0, 2) || within(i, 9, 11) || within(i, 18, 20) || within(i, 24, 27) || within(i, 32, 34) ||
      within(i, 55, 59))
    return "S ";
  if (within(i, 3, 5) || within(i, 12, 14) || within(i, 35, 37) || within(i, 41, 47) || within(i, 60, 64))
    return "M ";
  if (within(i, 6, 8) || within(i, 15, 17) || within(i, 21, 23) || within(i, 28, 31) || within(i, 38, 40) ||
      within(i, 48, 54) || within(i, 65, 69))
    return "L ";
  return "";
}
