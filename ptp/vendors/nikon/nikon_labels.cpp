#include "ptp/vendors/nikon/nikon_labels.h"

#include <algorithm>
#include <array>

namespace {

using N = PropertyValueNamesStruct;

// Every list ends with an entry whose text is empty.
constexpr N kOffOn[] = {{"Off", 0}, {"On", 1}, {"", 0}};
constexpr N kNoYes[] = {{"No", 0}, {"Yes", 1}, {"", 0}};
constexpr N kWhiteBalance[] = {{"Auto", 2},        {"Daylight", 4},      {"Fluorescent", 5},
                               {"Incandescent", 6}, {"Flash", 7},         {"Cloudy", 0x8010},
                               {"Shade", 0x8011},   {"Kelvin", 0x8012},   {"Preset", 0x8013},
                               {"Natural Auto", 0x8016}, {"", 0}};
constexpr N kFocusMode[] = {{"MF", 1}, {"AF-S", 0x8010}, {"AF-C", 0x8011}, {"AF-A", 0x8012},
                            {"AF-F", 0x8013}, {"", 0}};
constexpr N kMetering[] = {{"Center Weighted", 2}, {"Matrix", 3}, {"Spot", 4}, {"Highlight", 0x8010}, {"", 0}};
constexpr N kFlashMode[] = {{"Auto", 1},          {"Off", 2},           {"Fill", 3},
                            {"Red Eye Auto", 4},  {"Red Eye Fill", 5},  {"External Sync", 6},
                            {"Normal Sync", 0x8010}, {"Slow Sync", 0x8011}, {"Rear Curtain", 0x8012},
                            {"Slow Red Eye", 0x8013}, {"", 0}};
constexpr N kExposureProgram[] = {{"M", 1},      {"P", 2},       {"A", 3},          {"S", 4},
                                  {"Auto", 0x8010}, {"Portrait", 0x8011}, {"Landscape", 0x8012},
                                  {"Macro", 0x8013}, {"Sport", 0x8014}, {"Night Portrait", 0x8015},
                                  {"Flash Off", 0x8016}, {"Child", 0x8017}, {"Scene", 0x8018},
                                  {"Effects", 0x8019}, {"U1", 0x8050}, {"U2", 0x8051}, {"U3", 0x8052},
                                  {"", 0}};
constexpr N kCaptureMode[] = {{"Single", 1},          {"Continuous High", 2}, {"Timelapse", 3},
                              {"Continuous Low", 0x8010}, {"Timer", 0x8011}, {"Mirror Up", 0x8012},
                              {"Remote", 0x8013},     {"Quick Remote", 0x8014}, {"Delayed Remote", 0x8015},
                              {"Quiet", 0x8016},      {"Quiet Continuous", 0x8018}, {"Continuous H+", 0x8019},
                              {"", 0}};
constexpr N kFocusMetering[] = {{"Single Area", 2},   {"Auto Area", 3},     {"Dynamic Area", 0x8010},
                                {"Group Dynamic", 0x8011}, {"3D Tracking", 0x8012}, {"Group Area", 0x8013},
                                {"", 0}};
constexpr N kRawCompression[] = {{"Uncompressed", 0}, {"Compressed", 1}, {"Lossless", 2}, {"", 0}};
constexpr N kColorSpace[] = {{"sRGB", 0}, {"Adobe RGB", 1}, {"", 0}};
constexpr N kLiveViewFocus[] = {{"AF-S", 0}, {"AF-C", 1}, {"AF-F", 2}, {"MF (fixed)", 3}, {"MF", 4}, {"", 0}};
constexpr N kBracketingType[] = {{"AE & Flash", 0}, {"AE Only", 1}, {"Flash Only", 2}, {"WB", 3},
                                 {"ADL", 4}, {"", 0}};
constexpr N kLensType[] = {{"No CPU", 0}, {"CPU", 1}, {"", 0}};
constexpr N kRecordingMedia[] = {{"Card", 0}, {"SDRAM", 1}, {"", 0}};
constexpr N kChargeStatus[] = {{"Not Ready", 0}, {"Ready", 1}, {"", 0}};
constexpr N kAutoFocusMode[] = {{"AF-S", 0}, {"AF-C", 1}, {"AF-A", 2}, {"MF (fixed)", 3}, {"MF", 4}, {"", 0}};
constexpr N kLiveViewDrive[] = {{"Single", 0}, {"Continuous Low", 1}, {"Continuous High", 2},
                                {"Continuous H+", 0x8019}, {"", 0}};
constexpr N kLiveViewSelector[] = {{"Photo", 0}, {"Movie", 1}, {"", 0}};
constexpr N kMovieAfArea[] = {{"Wide", 0x8010}, {"Normal", 0x8011}, {"Face", 0x8012},
                              {"Subject Tracking", 0x8013}, {"", 0}};
constexpr N kMovieFocusMode[] = {{"AF-S", 0}, {"AF-C", 1}, {"AF-F", 2}, {"MF (fixed)", 3}, {"MF", 4}, {"", 0}};
constexpr N kRawImageSize[] = {{"L", 0}, {"M", 1}, {"S", 2}, {"", 0}};

constexpr PropertyLabelRow kRows[] = {
    {0x0000, "Unknown", 0, nullptr},
    {0x5001, "Battery Power", 0, nullptr},
    {0x5004, "Image Format", 0, nullptr},
    {0x5003, "Image Size", 0, nullptr},
    {0x5005, "White Balance", 0, kWhiteBalance},
    {0x5007, "Aperture", 0, nullptr},
    {0x5008, "Focal Length", 0, nullptr},
    {0x500A, "Focus Mode", 0, kFocusMode},
    {0x500B, "Metering Mode", 0, kMetering},
    {0x500C, "Flash Mode", 0, kFlashMode},
    {0x500D, "Exposure Time", 0, nullptr},
    {0x500E, "Exposure Program Mode", 0, kExposureProgram},
    {0x500F, "ISO", 0, nullptr},
    {0x5010, "Exposure Compensation", 0, nullptr},
    {0x5011, "Date Time", 0, nullptr},
    {0x5013, "Capture Mode", 0, kCaptureMode},
    {0x5018, "Burst Number", 0, nullptr},
    {0x501C, "Focus Metering Mode", 0, kFocusMetering},
    {0xD010, "Shooting Bank", 0, nullptr},
    {0xD011, "Shooting Bank Name A", 0, nullptr},
    {0xD012, "Shooting Bank Name B", 0, nullptr},
    {0xD013, "Shooting Bank Name C", 0, nullptr},
    {0xD014, "Shooting Bank Name D", 0, nullptr},
    {0xD016, "Raw Compression", 0, kRawCompression},
    {0xD017, "White Balance Auto Bias", 0, nullptr},
    {0xD018, "White Balance Tungsten Bias", 0, nullptr},
    {0xD019, "White Balance Fluorescent Bias", 0, nullptr},
    {0xD01A, "White Balance Daylight Bias", 0, nullptr},
    {0xD01B, "White Balance Flash Bias", 0, nullptr},
    {0xD01C, "White Balance Cloudy Balance", 0, nullptr},
    {0xD01D, "White Balance Shade Bias", 0, nullptr},
    {0xD01E, "White Balance Color Temperature", 0, nullptr},
    {0xD02A, "Image Sharpening", 0, nullptr},
    {0xD02B, "Tone Compensation", 0, nullptr},
    {0xD02C, "Color Model", 0, nullptr},
    {0xD02D, "Hue Adjustment", 0, nullptr},
    {0xD032, "Color Space", 0, kColorSpace},
    {0xD02E, "Non CPU Lens Data Focal Length", 0, nullptr},
    {0xD02F, "Non CPU Lens Data Max Aperture", 0, nullptr},
    {0xD040, "CSM Menu Bank Select", 0, nullptr},
    {0xD041, "Menu Bank Name A", 0, nullptr},
    {0xD042, "Menu Bank Name B", 0, nullptr},
    {0xD043, "Menu Bank Name C", 0, nullptr},
    {0xD044, "Menu Bank Name D", 0, nullptr},
    {0xD048, "A1 AFC Mode Priority", 0, nullptr},
    {0xD049, "A2 AFS Mode Priority", 0, nullptr},
    {0xD04A, "A3 Group Dynamic AF", 0, nullptr},
    {0xD04B, "A4 AF Activation", 0, nullptr},
    {0xD04C, "A5 Focus Area Illumination Manual Focus", 0, nullptr},
    {0xD04D, "Focus Area Illumination Continuous", 0, nullptr},
    {0xD04E, "Focus Area Illuminated When Selected", 0, nullptr},
    {0xD04F, "Focus Area Wrap", 0, nullptr},
    {0xD050, "A7 Vertical AFON", 0, nullptr},
    {0xD054, "Auto ISO", 0, kOffOn},
    {0xD055, "B2 ISO Step", 0, nullptr},
    {0xD056, "Exposure EV Step", 0, nullptr},
    {0xD057, "Exposure Compensation Ev Step", 0, nullptr},
    {0xD058, "Exposure Compensation Setting", 0, nullptr},
    {0xD059, "Center Weight Area", 0, nullptr},
    {0xD05D, "AF At Live View", 0, nullptr},
    {0xD05E, "AE Lock Mode", 0, nullptr},
    {0xD05F, "AEL ALF Mode", 0, nullptr},
    {0xD061, "Live View Focus", 0, kLiveViewFocus},
    {0xD062, "Meter Off", 0, nullptr},
    {0xD063, "Self Timer", 0, nullptr},
    {0xD064, "Monitor Off", 0, nullptr},
    {0xD068, "D1 Shooting Speed", 0, nullptr},
    {0xD069, "D2 Maximum Shots", 0, nullptr},
    {0xD06A, "D3 Exp Delay Mode", 0, nullptr},
    {0xD06B, "Long Exposure Noise Reduction", 0, nullptr},
    {0xD06C, "File Number Sequence", 0, nullptr},
    {0xD06D, "D6 Control Panel Finder Rear Control", 0, nullptr},
    {0xD06E, "Control Panel Finder Viewfinder", 0, nullptr},
    {0xD06F, "D7 Illumination", 0, nullptr},
    {0xD074, "E1 Flash Sync Speed", 0, nullptr},
    {0xD075, "Flash Slow Speed Limit", 0, nullptr},
    {0xD076, "E3 AA Flash Mode", 0, nullptr},
    {0xD077, "E4 Modeling Flash", 0, nullptr},
    {0xD078, "Bracketing Type", 0, kBracketingType},
    {0xD079, "E6 Manual Mode Bracketing", 0, nullptr},
    {0xD07A, "Bracket Order", 0, nullptr},
    {0xD07B, "E8 Auto Bracket Selection", 0, nullptr},
    {0xD07C, "Bracket Set", 0, nullptr},
    {0xD080, "F1 Center Button Shooting Mode", 0, nullptr},
    {0xD081, "Center Button Playback Mode", 0, nullptr},
    {0xD082, "F2 Multiselector", 0, nullptr},
    {0xD083, "F3 Photo Info Playback", 0, nullptr},
    {0xD084, "F4 Assign Func Button", 0, nullptr},
    {0xD085, "F5 Customize Comm Dials", 0, nullptr},
    {0xD086, "Reverse Command Dial", 0, nullptr},
    {0xD087, "Aperture Setting", 0, nullptr},
    {0xD088, "Menus and Playback", 0, nullptr},
    {0xD089, "F6 Buttons and Dials", 0, nullptr},
    {0xD08A, "No CF Card", 0, nullptr},
    {0xD090, "Image Comment", 0, nullptr},
    {0xD091, "Image Comment Attach", 0, nullptr},
    {0xD092, "Image Rotation", 0, nullptr},
    {0xD0C0, "Image Bracketing", 0, kOffOn},
    {0xD0C1, "Exposure Bracketing Step", 0, nullptr},
    {0xD0C2, "Bracketing Pattern", 0, nullptr},
    {0xD0C4, "White Balance Bracket Step", 0, nullptr},
    {0xD0E0, "Lens ID", 0, nullptr},
    {0xD0E2, "Lens Typs", 0, kLensType},
    {0xD0E3, "Focal Length Min", 0, nullptr},
    {0xD0E4, "Focal Length Max", 0, nullptr},
    {0xD0E5, "Max Aperture at Min Focal Length", 0, nullptr},
    {0xD0E6, "Max Aperture at Max Focal Length", 0, nullptr},
    {0xD0E7, "Mirrorless Lens Type", 0, nullptr},
    {0xD0F9, "Scene Mode", 0, nullptr},
    {0xD100, "Shutter Speed", 0, nullptr},
    {0xD0FC, "User Mode", 0, nullptr},
    {0xD101, "AC Power", 0, nullptr},
    {0xD103, "Remaining Exposure", 0, nullptr},
    {0xD104, "AFL Lock", 0, nullptr},
    {0xD105, "Auto Exposure Lock", 0, nullptr},
    {0xD106, "Auto Focus Lock", 0, nullptr},
    {0xD107, "Auto Focus LCD Top Mode 2", 0, nullptr},
    {0xD108, "Auto Focus Area", 0, nullptr},
    {0xD10A, "Light Meter", 0, nullptr},
    {0xD10B, "Recording Media", 0, kRecordingMedia},
    {0xD10E, "Camera Orientation", 0, nullptr},
    {0xD111, "Exposure Aperture Lock", 0, nullptr},
    {0xD120, "External Speedlight Mounted", 0, kNoYes},
    {0xD121, "Speedlight Charge Status", 0, kChargeStatus},
    {0xD122, "Speedlight Comms Type", 0, nullptr},
    {0xD124, "Flash Compensation", 0, nullptr},
    {0xD125, "Speedlight Mode", 0, nullptr},
    {0xD126, "Internal Flash Exposure Compensation", 0, nullptr},
    {0xD140, "Optimize Image", 0, nullptr},
    {0xD142, "Saturation", 0, nullptr},
    {0xD160, "Beep Off", 0, nullptr},
    {0xD161, "Auto Focus Mode", 0, kAutoFocusMode},
    {0xD163, "AF Assist", 0, nullptr},
    {0xD164, "PADVP Mode", 0, nullptr},
    {0xD165, "Image Review", 0, nullptr},
    {0xD166, "AF Area Illumination", 0, nullptr},
    {0xD168, "Flash Commander Mode", 0, nullptr},
    {0xD169, "Flash Sign", 0, nullptr},
    {0xD16B, "Remote Timeout", 0, nullptr},
    {0xD16C, "Grid Display", 0, nullptr},
    {0xD16D, "Flash Mode Manual Power", 0, nullptr},
    {0xD16E, "Flash Mode Commander Power", 0, nullptr},
    {0xD180, "CSM Menu", 0, nullptr},
    {0xD190, "Bracketing Frames and Steps", 0, nullptr},
    {0xD1A0, "Live View Focus Mode", 0, kOffOn},
    {0xD1A1, "Live View Drive Mode", 0, kLiveViewDrive},
    {0xD1A2, "Live View Status", 0, kOffOn},
    {0xD1A3, "Live View Zoom Ratio", 0, nullptr},
    {0xD1A6, "Live View Selector", 0, kLiveViewSelector},
    {0xD1A8, "Movie Shutter Speed", 0, nullptr},
    {0xD1A9, "Movie Aperture", 0, nullptr},
    {0xD1AA, "Movie ISO", 0, nullptr},
    {0xD1AB, "Movie Exposure Bias", 0, nullptr},
    {0xD1AF, "Movie Metering Mode", 0, nullptr},
    {0xD1B0, "Low Light", 0, kOffOn},
    {0xD1B1, "Exposure Status", 0, nullptr},
    {0xD1B4, "Continuous Shooting Count", 0, nullptr},
    {0xD1BD, "Mirrorless Live View Zoom", 0, nullptr},
    {0xD1C0, "Flash Open", 0, nullptr},
    {0xD1F0, "Application Mode", 0, kOffOn},
    {0xD1F1, "Available Shots", 0, nullptr},
    {0xD1F6, "Mirror Up Status", 0, nullptr},
    {0xD1F7, "Mirror Up Shooting Count", 0, nullptr},
    {0xD1F8, "Movie AF Area Mode", 0, kMovieAfArea},
    {0xD1FA, "Movie Focus Mode", 0, kMovieFocusMode},
    {0xD1C1, "Flash Charged", 0, nullptr},
    {0xD20D, "Electronic Front Shutter Curtain", 0, nullptr},
    {0xD0B4, "ISO Extended", 0, nullptr},
    {0xD0B5, "Auto ISO Value", 0, nullptr},
    {0xD0B6, "RAW Image Size", 0, kRawImageSize},
    {0xD0F6, "Custom Still Capture Mode", 0, nullptr},
    {0xD406, "Session Initiator Version Info", 0, nullptr},
    {0xD16A, "Auto ISO Setting", 0, kOffOn},
    {0xD407, "Perceived Device Type", 0, nullptr},
};
static_assert(std::size(kRows) == 174);

constexpr uint32_t kVendorCodes[] = {
    0x5001, 0x5004, 0x5005, 0x5007, 0x5008, 0xD161, 0x500A, 0x500B, 0x500C, 0x500E, 0x500F, 0x5010, 0x5013,
    0x5018, 0x501C, 0xD0F9, 0xD100, 0xD0FC, 0xD1F1, 0xD108, 0xD0C0, 0xD10B, 0xD0C1, 0xD057, 0xD056, 0xD1A3,
    0xD078, 0xD048, 0xD049, 0xD1A0, 0xD1A6, 0xD1F0, 0xD1A8, 0xD1A9, 0xD1AA, 0xD1AB, 0xD1AF, 0xD1A1, 0xD1A2,
    0xD1B4, 0xD061, 0xD20D, 0xD0B4, 0xD0B5, 0xD0B6, 0xD054, 0xD16A, 0xD1F7, 0xD1B1, 0xD01E, 0xD0C2, 0xD032,
    0xD1BD, 0xD1F8, 0xD1FA, 0xD05D, 0xD120, 0xD121, 0xD122, 0xD124, 0xD125, 0xD126, 0xD0E2, 0xD0F6};
static_assert(std::size(kVendorCodes) == 64);

constexpr std::array<uint32_t, 65> fixedCodes() {
  std::array<uint32_t, 65> out{};
  size_t n = 0;
  for (uint32_t code : kVendorCodes) {
    out[n++] = code;
    if (code == 0xD1A3) out[n++] = 0x5003;
  }
  return out;
}
constexpr std::array<uint32_t, 65> kFixedCodes = fixedCodes();

}  // namespace

std::span<const PropertyLabelRow> nikonPropertyLabels() { return kRows; }
std::span<const uint32_t> nikonVendorPropertyCodes() { return kVendorCodes; }
std::span<const uint32_t> nikonFixedPropertyCodes() { return kFixedCodes; }

bool nikonIsKnownCode(uint32_t code) {
  return std::find(kFixedCodes.begin(), kFixedCodes.end(), code) != kFixedCodes.end();
}
