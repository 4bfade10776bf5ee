#include "ptp/vendors/canon/canon_labels.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ptp/vendors/canon/canon_values.h"

namespace {

using Names = std::vector<PropertyValueNamesStruct>;

PropertyValueNamesStruct name(const std::string& text, uint32_t value) {
  PropertyValueNamesStruct n{};
  std::snprintf(n.text, sizeof n.text, "%s", text.c_str());
  n.value = value;
  return n;
}

// Every list ends with an entry whose text is empty.
Names terminated(Names names) {
  names.push_back(PropertyValueNamesStruct{});
  return names;
}

// Eighth-stop codes of one stop: the whole stop, then a third, a half and two thirds.
constexpr uint32_t kStopSteps[] = {0, 3, 4, 5};

Names apertureNames() {
  Names n{name("Auto", 65535), name("Auto", 0), name("Auto", 255)};
  // f-number of an eighth-stop code: sqrt(2) to the power code / 8 - 1, as cameras print it.
  static const char* const kF[] = {
      "1",  "1.1", "1.2", "1.2", "1.4", "1.6", "1.8", "1.8", "2",  "2.2", "2.5", "2.5", "2.8", "3.2",
      "3.5", "3.5", "4",  "4.5", "4.5", "5",  "5.6", "6.3", "6.7", "7.1", "8",  "9",  "9.5", "10",
      "11", "13", "13", "14", "16", "18", "19", "20", "22", "25", "27", "29", "32", "36",
      "38", "40", "45", "51", "54", "57", "64", "72", "76", "80", "91"};
  size_t i = 0;
  for (uint32_t stop = 8; stop <= 0x70 && i < std::size(kF); stop += 8)
    for (uint32_t step : kStopSteps)
      if (stop + step <= 0x70 && i < std::size(kF)) n.push_back(name(std::string("f") + kF[i++], stop + step));
  return terminated(std::move(n));
}

Names shutterNames() {
  Names n{name("Auto", 0), name("bulb", 4), name("bulb", 12)};
  static const char* const kTimes[] = {
      "30\"",   "25\"",   "20\"",   "20\"",   "15\"",   "13\"",   "10\"",   "10\"",   "8\"",    "6\"",
      "6\"",    "5\"",    "4\"",    "3.2\"",  "3\"",    "2.5\"",  "2\"",    "1.6\"",  "1.5\"",  "1.3\"",
      "1\"",    "0.8\"",  "0.7\"",  "0.6\"",  "0.5\"",  "0.4\"",  "0.3\"",  "0.3\"",  "1/4",    "1/5",
      "1/6",    "1/6",    "1/8",    "1/10",   "1/10",   "1/13",   "1/15",   "1/20",   "1/20",   "1/25",
      "1/30",   "1/40",   "1/45",   "1/50",   "1/60",   "1/80",   "1/90",   "1/100",  "1/125",  "1/160",
      "1/180",  "1/200",  "1/250",  "1/320",  "1/350",  "1/400",  "1/500",  "1/640",  "1/750",  "1/800",
      "1/1000", "1/1250", "1/1500", "1/1600", "1/2000", "1/2500", "1/3000", "1/3200", "1/4000", "1/5000",
      "1/6000", "1/6400", "1/8000"};
  size_t i = 0;
  for (uint32_t stop = 16; stop <= 0xA0; stop += 8)
    for (uint32_t step : kStopSteps)
      if (stop + step <= 0xA0 && i < std::size(kTimes)) n.push_back(name(kTimes[i++], stop + step));
  // The electronic shutter's shortest times.
  const std::pair<const char*, uint32_t> kFast[] = {{"1/10000", 0xA3}, {"1/12800", 0xA5}, {"1/16000", 0xA8},
                                                    {"1/20000", 0xAB}, {"1/25600", 0xAD}, {"1/32000", 0xB0},
                                                    {"1/40000", 0xB3}};
  for (const auto& [t, v] : kFast) n.push_back(name(t, v));
  return terminated(std::move(n));
}

Names isoNames() {
  Names n{name("Factory Default", 65535), name("Auto", 0)};
  static constexpr uint32_t kCodes[] = {40,  48,  56,  64,  67,  69,  72,  75,  77,  80,  83,  85,
                                        88,  91,  93,  96,  99,  101, 104, 107, 109, 112, 115, 117,
                                        120, 123, 125, 128, 131, 133, 136, 139, 141, 144, 152};
  for (uint32_t c : kCodes) n.push_back(name("ISO " + std::to_string(static_cast<int>(canonIsoCodeToValue(c))), c));
  n.push_back(name("ISO 204800", 160));
  n.push_back(name("ISO 409600", 168));
  n.push_back(name("ISO 819200", 176));
  return terminated(std::move(n));
}

// "+4 2/3", "+1/2", "0", "-5": whole stops keep the text short, as the range reader expects.
std::string biasText(int sign, uint32_t whole, const char* fraction) {
  if (whole == 0 && !*fraction) return "0";
  std::string t = sign < 0 ? "-" : "+";
  if (whole) t += std::to_string(whole);
  if (*fraction) t += std::string(whole ? " " : "") + fraction;
  return t;
}

Names exposureBiasNames() {
  Names n;
  auto add = [&](int sign, uint32_t whole, uint32_t step, const char* fraction) {
    const uint32_t code = 8 * whole + step;
    n.push_back(name(biasText(sign, whole, fraction), sign < 0 ? (256 - code) & 0xFF : code));
  };
  for (int whole = 5; whole >= 0; --whole) {
    if (whole < 5) {
      add(1, whole, 5, "2/3");
      if (whole < 4) add(1, whole, 4, "1/2");
      add(1, whole, 3, "1/3");
    }
    if (whole > 0) add(1, whole, 0, "");
  }
  n.push_back(name("0", 0));
  for (uint32_t whole = 0; whole <= 5; ++whole) {
    if (whole > 0) add(-1, whole, 0, "");
    if (whole < 5) {
      add(-1, whole, 3, "1/3");
      if (whole < 4) add(-1, whole, 4, "1/2");
      add(-1, whole, 5, "2/3");
    }
  }
  return terminated(std::move(n));
}

Names imageFormatNames() {
  struct Size {
    uint32_t code;
    const char* text;
  };
  static constexpr Size kJpegSizes[] = {{0, "Large"}, {1, "Medium"}, {2, "Small"}, {5, "M1"},
                                        {6, "M2"},    {14, "S1"},    {15, "S2"},   {16, "S3"}};
  static constexpr Size kRawSizes[] = {{0, "RAW"}, {1, "Medium RAW"}, {2, "Small RAW"}};
  static constexpr Size kQualities[] = {{3, "Fine"}, {2, "Normal"}};
  Names n;
  for (const Size& r : kRawSizes) n.push_back(name(r.text, 0x10000000 | (6u << 24) | (r.code << 18) | (4u << 14)));
  for (const Size& s : kJpegSizes)
    for (const Size& q : kQualities)
      n.push_back(name(std::string(s.text) + " " + q.text + " JPEG", 0x10000000 | (1u << 24) | (s.code << 18) | (q.code << 14)));
  for (const Size& r : kRawSizes)
    for (const Size& s : kJpegSizes)
      for (const Size& q : kQualities)
        n.push_back(name(std::string(r.text) + " + " + s.text + " " + q.text + " JPEG",
                         0x20000000 | (6u << 24) | (r.code << 18) | (4u << 14) | (1u << 10) | (s.code << 4) | q.code));
  return terminated(std::move(n));
}

Names list(std::initializer_list<std::pair<const char*, uint32_t>> entries) {
  Names n;
  for (const auto& [t, v] : entries) n.push_back(name(t, v));
  return terminated(std::move(n));
}

struct Tables {
  Names aperture = apertureNames(), shutter = shutterNames(), iso = isoNames(), bias = exposureBiasNames();
  Names exposureMode = list({{"P", 0}, {"Tv", 1}, {"Av", 2}, {"Manual", 3}, {"Bulb", 4}, {"A-DEP", 5}, {"DEP", 6},
                             {"Custom", 7}, {"Lock", 8}, {"Full Auto", 9}, {"Night Portrait", 10}, {"Sports", 11},
                             {"Portrait", 12}, {"Landscape", 13}, {"Closeup", 14}, {"Flash Off", 15},
                             {"Custom 2", 16}, {"Custom 3", 17}, {"Creative Auto", 19}, {"Movie", 20}, {"Auto+", 22},
                             {"Night Scene", 23}, {"HDR", 24}, {"Special Scene", 25}, {"Creative Filters", 29},
                             {"Creative Filters", 30}, {"Creative Filters", 35}, {"Hybrid Auto", 51}, {"Fv", 55}});
  Names drive = list({{"Single", 0}, {"Continuous", 1}, {"Continuous high speed", 4}, {"Continuous low speed", 5},
                      {"S", 6}, {"Custom", 7}, {"Timer", 16}, {"Timer 2 sec", 17}, {"Continuous high speed plus", 18},
                      {"Silent", 19}, {"Silent Continuous", 20}, {"Silent Continuous High", 21},
                      {"Silent Continuous Low", 22}});
  Names metering = list({{"Center-weighted", 0}, {"Spot", 1}, {"Average", 2}, {"Evaluative", 3}, {"Partial", 4},
                         {"Center-weighted average", 5}, {"Spot metering with AF frame", 6}, {"Multi spot", 7}});
  Names focus = list({{"One Shot", 0}, {"AI Servo", 1}, {"AI Focus", 2}, {"MF", 3}});
  Names whiteBalance = list({{"Auto", 0}, {"Daylight", 1}, {"Cloudy", 2}, {"Tungsten", 3}, {"Fluorescent", 4},
                             {"Flash", 5}, {"Custom", 6}, {"Custom", 15}, {"Custom", 16}, {"Custom", 18},
                             {"Custom", 19}, {"Shade", 8}, {"Color Temperature", 9}, {"AutoW", 23}});
  Names colourSpace = list({{"sRGB", 1}, {"AdobeRGB", 2}});
  Names pictureStyle = list({{"Standard", 129}, {"Portrait", 130}, {"Landscape", 131}, {"Neutral", 132},
                             {"Faithful", 133}, {"Monochrome", 134}, {"User defined 1", 33}, {"User defined 2", 34},
                             {"User defined 3", 35}});
  Names movieServo = list({{"Servo Off", 0}, {"Servo On", 1}});
  Names aeb = list({{"Off", 0}, {"+/- 1/3", 3}, {"+/- 1/2", 4}, {"+/- 2/3", 5}, {"+/- 1", 8}, {"+/- 1 1/3", 11},
                    {"+/- 1 1/2", 12}, {"+/- 1 2/3", 13}, {"+/- 2", 16}, {"+/- 2 1/3", 19}, {"+/- 2 1/2", 20},
                    {"+/- 2 2/3", 21}, {"+/- 3", 24}});
  Names imageFormat = imageFormatNames();
  std::vector<PropertyLabelRow> rows;

  Tables() {
    struct Label {
      uint32_t code;
      const char* label;
      const Names* names;
    };
    const Label labels[] = {
        {0x0000, "Unknown", nullptr}, {0xD055, "Lens Zoom", nullptr}, {0xD101, "Aperture", &aperture},
        {0xD102, "Shutter Speed", &shutter}, {0xD103, "ISO", &iso}, {0xD104, "Exposure Compensation", &bias},
        {0xD105, "Auto Exposure Mode", &exposureMode}, {0xD138, "Auto Exposure Mode", &exposureMode},
        {0xD106, "Drive Mode", &drive}, {0xD107, "Metering Mode", &metering}, {0xD108, "Focus Mode", &focus},
        {0xD109, "White Balance", &whiteBalance}, {0xD10A, "Color Temperature", nullptr},
        {0xD10B, "White Balance Adjust A", nullptr}, {0xD10C, "White Balance Adjust B", nullptr},
        {0xD10D, "White Balance XA", nullptr}, {0xD10E, "White Balance XB", nullptr},
        {0xD10F, "Color Space", &colourSpace}, {0xD110, "Picture Style", &pictureStyle},
        {0xD111, "Battery Power", nullptr}, {0xD112, "Battery Type", nullptr}, {0xD113, "Camera Time", nullptr},
        {0xD115, "Camera Owner", nullptr}, {0xD116, "Model ID", nullptr}, {0xD119, "PTP Version", nullptr},
        {0xD11A, "DPOF Version", nullptr}, {0xD11B, "Available Pictures", nullptr},
        {0xD11C, "Capture Destination", nullptr}, {0xD11D, "Bracket Mode", nullptr},
        {0xD11E, "Current Storage", nullptr}, {0xD11F, "Current Folder", nullptr},
        {0xD120, "Image Format", &imageFormat}, {0xD121, "Image Format CF", &imageFormat},
        {0xD122, "Image Format SD", &imageFormat}, {0xD123, "Image Format Ext HD", &imageFormat},
        {0xD130, "Compression S", nullptr}, {0xD131, "Compression M1", nullptr},
        {0xD132, "Compression M2", nullptr}, {0xD133, "Compression L", nullptr}, {0xD13A, "Mirror Up", nullptr},
        {0xD140, "PC White Balance 1", nullptr}, {0xD141, "PC White Balance 2", nullptr},
        {0xD142, "PC White Balance 3", nullptr}, {0xD143, "PC White Balance 4", nullptr},
        {0xD144, "PC White Balance 5", nullptr}, {0xD145, "M White Balance", nullptr},
        {0xD150, "Picture Style Standard", nullptr}, {0xD151, "Picture Style Portrait", nullptr},
        {0xD152, "Picture Style Landscape", nullptr}, {0xD153, "Picture Style Neutral", nullptr},
        {0xD154, "Picture Style Faithful", nullptr}, {0xD155, "Picture Style Black & White", nullptr},
        {0xD160, "Picture Style User Set 1", nullptr}, {0xD161, "Picture Style User Set 2", nullptr},
        {0xD162, "Picture Style User Set 3", nullptr}, {0xD170, "Picture Style Param 1", nullptr},
        {0xD171, "Picture Style Param 2", nullptr}, {0xD172, "Picture Style Param 3", nullptr},
        {0xD179, "Movie AF Servo On", &movieServo}, {0xD17F, "Flavor LUT Params", nullptr},
        {0xD180, "Custom Function 1", nullptr}, {0xD181, "Custom Function 2", nullptr},
        {0xD182, "Custom Function 3", nullptr}, {0xD183, "Custom Function 4", nullptr},
        {0xD184, "Custom Function 5", nullptr}, {0xD185, "Custom Function 6", nullptr},
        {0xD186, "Custom Function 7", nullptr}, {0xD187, "Custom Function 8", nullptr},
        {0xD188, "Custom Function 9", nullptr}, {0xD189, "Custom Function 10", nullptr},
        {0xD18A, "Custom Function 11", nullptr}, {0xD18B, "Custom Function 12", nullptr},
        {0xD18C, "Custom Function 13", nullptr}, {0xD18D, "Custom Function 14", nullptr},
        {0xD18E, "Custom Function 15", nullptr}, {0xD18F, "Custom Function 16", nullptr},
        {0xD190, "Custom Function 17", nullptr}, {0xD191, "Custom Function 18", nullptr},
        {0xD192, "Custom Function 19", nullptr}, {0xD199, "OLC Info Version", nullptr},
        {0xD1A0, "Custom Function Ex", nullptr}, {0xD1A1, "My Menu", nullptr}, {0xD1A2, "My Menu List", nullptr},
        {0xD1A3, "Wft Status", nullptr}, {0xD1A4, "Wft Input Transmission", nullptr},
        {0xD1A5, "HD Directory Structure", nullptr}, {0xD1A6, "Battery Info", nullptr},
        {0xD1A7, "Adapter Info", nullptr}, {0xD1A8, "Lens Status", nullptr}, {0xD1A9, "Image Review Time", nullptr},
        {0xD1AA, "Card Extension", nullptr}, {0xD1AB, "Temperature Status", nullptr},
        {0xD1AC, "Shutter Counter", nullptr}, {0xD1AD, "Special Option", nullptr},
        {0xD1AE, "Photo Studio Mode", nullptr}, {0xD1AF, "Serial Number", nullptr},
        {0xD1B0, "EVF Output Device", nullptr}, {0xD1B1, "EVF Mode", nullptr},
        {0xD1B2, "Depth of Field Preview", nullptr}, {0xD1B3, "EVF Sharpness", nullptr},
        {0xD1B4, "ECF WB Mode", nullptr}, {0xD1B5, "ECF Click WB Coefficients", nullptr},
        {0xD1B6, "ECF Color Temperature", nullptr}, {0xD1B7, "Exposure Sim Mode", nullptr},
        {0xD1B8, "EVF Record Status", nullptr}, {0xD1BA, "Lv Af System", nullptr}, {0xD1BB, "Mov Size", nullptr},
        {0xD1BD, "Mirror Down Status", nullptr}, {0xD1BE, "Movie Param", nullptr},
        {0xD1BF, "Mirror Lockup State", nullptr}, {0xD1BC, "Lv View Type Select", nullptr},
        {0xD1D0, "Artist", nullptr}, {0xD1D1, "Copyright", nullptr}, {0xD1D2, "Bracket Value", nullptr},
        {0xD1D3, "Focus Info Ex", nullptr}, {0xD1D4, "Depth of Field", nullptr}, {0xD1D5, "Brightness", nullptr},
        {0xD1D6, "Lens Adjust Parameters", nullptr}, {0xD1D7, "EF Comp", nullptr}, {0xD1D8, "Lens Name", nullptr},
        {0xD1D9, "Exposure Bracketing", &aeb}, {0xD1DA, "Strobo Setting", nullptr},
        {0xD1DB, "Strobo Wireless Setting", nullptr}, {0xD1DC, "Strobo Firing", nullptr},
        {0xD1C0, "Flash Charging", nullptr}, {0xD1DD, "Lens ID", nullptr},
    };
    for (const Label& l : labels)
      rows.push_back({l.code, l.label, l.code == 0 ? 2u : static_cast<uint32_t>(canonPropertyDatatype(l.code)),
                      l.names ? l.names->data() : nullptr});
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

std::span<const PropertyLabelRow> canonPropertyLabels() { return tables().rows; }
std::span<const PropertyValueNamesStruct> canonAebChoices() { return tables().aeb; }
