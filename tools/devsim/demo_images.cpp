// What each demo shot is (body, exposure, orientation, content) follows from the seed and
// the index alone; the picture is drawn upright and stored the way the body would store
// it, then encoded with TurboJPEG.
#include "tools/devsim/demo_images.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "tools/devsim/demo_canvas.h"
#include "tools/devsim/demo_raw.h"

namespace devsim {

namespace {

struct Body {
  const char* make;
  const char* model;
  const char* lens;
  const char* prefix;  // file names: prefix, the frame number in `digits` digits
  int digits;
  uint16_t rawFormat;  // 0: this body's shots are JPEGs
  const char* rawExtension;
};

// Two bodies per maker; the first of each shoots the raws.
constexpr Body kBodies[4][2] = {
    {{"Canon", "Canon EOS 5D Mark IV", "EF24-70mm f/2.8L II USM", "IMG_", 4, kFormatCr2, ".CR2"},
     {"Canon", "Canon EOS R6", "RF24-105mm F4 L IS USM", "IMG_", 4, 0, nullptr}},
    {{"NIKON CORPORATION", "NIKON D850", "AF-S NIKKOR 24-70mm f/2.8E ED VR", "DSC_", 4, kFormatNef, ".NEF"},
     {"NIKON CORPORATION", "NIKON Z 6_2", "NIKKOR Z 24-70mm f/4 S", "DSC_", 4, 0, nullptr}},
    {{"SONY", "ILCE-7M3", "FE 24-105mm F4 G OSS", "DSC", 5, kFormatArw, ".ARW"},
     {"SONY", "ILCE-7RM4", "FE 85mm F1.8", "DSC", 5, 0, nullptr}},
    {{"FUJIFILM", "X-T4", "XF16-55mmF2.8 R LM WR", "DSCF", 4, kFormatRaf, ".RAF"},
     {"FUJIFILM", "X-H2S", "XF56mmF1.2 R WR", "DSCF", 4, 0, nullptr}},
};

struct Fraction {
  uint32_t numerator, denominator;
};
constexpr Fraction kExposureTimes[] = {{1, 4000}, {1, 2000}, {1, 1000}, {1, 500}, {1, 250}, {1, 125},
                                       {1, 60},   {1, 30},   {1, 15},   {1, 4},   {1, 2},   {2, 1}};
constexpr uint16_t kFNumbers[] = {14, 18, 28, 40, 56, 80, 110, 160};
constexpr uint16_t kIsos[] = {100, 200, 400, 800, 1600, 3200, 6400};
constexpr uint16_t kFocalLengths[] = {16, 24, 35, 50, 85, 105, 135, 200};
constexpr uint16_t kMeteringModes[] = {1, 2, 3, 5};
constexpr uint16_t kExposurePrograms[] = {1, 2, 3, 4};
constexpr uint8_t kOrientations[] = {1, 1, 1, 6, 1, 8};

// splitmix64: a small, well-mixed generator whose output depends only on its start.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return int(next() % uint64_t(n)); }
  template <class T, size_t N>
  T pick(const T (&table)[N]) {
    return table[below(int(N))];
  }

 private:
  uint64_t state_;
};

Rgb hsv(double hue, double saturation, double value) {
  const double h = std::fmod(hue, 360.0) / 60.0, c = value * saturation, x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (int(h)) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
  }
  const double m = value - c;
  auto byte = [&](double v) { return uint8_t(std::clamp((v + m) * 255.0 + 0.5, 0.0, 255.0)); };
  return {byte(r), byte(g), byte(b)};
}

std::string exposureText(const DemoExposure& e) {
  char buf[96];
  const std::string time = e.timeDenominator == 1 ? std::to_string(e.timeNumerator) + "S"
                                                  : std::to_string(e.timeNumerator) + "/" +
                                                        std::to_string(e.timeDenominator);
  std::snprintf(buf, sizeof buf, "%s F%d.%d ISO %d", time.c_str(), e.fNumberTenths / 10, e.fNumberTenths % 10, e.iso);
  return buf;
}

// The picture as it should look, upright: a sky of two colours, translucent discs and
// rings, hills, a caption band with the body and exposure, and the frame number.
void drawPicture(Canvas& c, const DemoShot& s, Random& r) {
  const bool portrait = s.orientation == 6 || s.orientation == 8;
  c.reset(int(portrait ? kDemoHeight : kDemoWidth), int(portrait ? kDemoWidth : kDemoHeight));
  const int W = c.width(), H = c.height();
  const double hue = r.below(360);
  c.gradient(hsv(hue, 0.55, 0.95), hsv(hue + 60 + r.below(120), 0.8, 0.45), r.below(3));
  c.disc(W / 5 + r.below(W * 3 / 5), H / 6 + r.below(H / 4), H / 12 + r.below(H / 10), hsv(hue + 180, 0.3, 1.0));
  for (int i = 0, n = 3 + r.below(4); i < n; ++i) {
    const Rgb colour = hsv(hue + 90 + r.below(180), 0.6 + r.below(40) / 100.0, 0.9);
    const int cx = r.below(W), cy = r.below(H), radius = H / 14 + r.below(H / 5);
    if (r.below(2)) {
      c.disc(cx, cy, radius, colour, uint8_t(90 + r.below(100)));
    } else {
      c.ring(cx, cy, radius, radius / 4 + 6, colour, uint8_t(120 + r.below(100)));
    }
  }
  for (int i = 0, n = 2 + r.below(3); i < n; ++i) {
    const int width = W / 3 + r.below(W / 2), height = H / 5 + r.below(H / 4);
    c.triangle(r.below(W), H - height, width, height, hsv(hue + 120 + 20 * i, 0.5, 0.25 + 0.1 * i));
  }
  c.rect(0, H * 9 / 10, W, H, hsv(hue + 140, 0.45, 0.3));

  // The caption band across the top names the body and the exposure.
  const int band = H / 12;
  c.rect(0, 0, W, band, {16, 16, 16});
  const std::string caption = s.model + "  " + exposureText(s.exposure);
  const int captionWidth = std::max(Canvas::textWidth(caption, 1), 1);
  const int captionScale = std::max(1, std::min(band * 6 / 10 / 7, (W - band) / captionWidth));
  c.text(band / 2, (band - Canvas::textHeight(captionScale)) / 2, captionScale, caption, {235, 235, 235});

  // The frame number, large, with a shadow so it reads on any colour.
  const std::string number = std::to_string(s.index + 1);
  const int scale = std::min(H * 35 / 100 / 7, W * 7 / 10 / Canvas::textWidth(number, 1));
  const int x = (W - Canvas::textWidth(number, scale)) / 2, y = (H - Canvas::textHeight(scale)) / 2;
  c.text(x + scale / 2, y + scale / 2, scale, number, {20, 20, 20});
  c.text(x, y, scale, number, {250, 250, 250});

  const int nameScale = std::max(2, band / 20);
  c.text(W - Canvas::textWidth(s.fileName, nameScale) - band / 2, H - band / 2 - Canvas::textHeight(nameScale),
         nameScale, s.fileName, {240, 240, 240});
}

}  // namespace

Bytes encodeDemoJpeg(const Canvas& picture, int quality, const Bytes& exif) {
  tjhandle handle = tjInitCompress();
  if (!handle) throw std::runtime_error("TurboJPEG: cannot start a compressor");
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle, picture.pixels(), picture.width(), 0, picture.height(), TJPF_RGB, &buffer, &size,
                             TJSAMP_420, quality, TJFLAG_FASTDCT);
  tjDestroy(handle);
  if (rc != 0 || size < 4) {
    tjFree(buffer);
    throw std::runtime_error("TurboJPEG: cannot encode the picture");
  }
  size_t rest = 0;
  uint8_t head[12] = {};
  size_t headBytes = 0;
  if (!exif.empty()) {
    rest = 2;
    // The JFIF header TurboJPEG writes gives way to the EXIF block.
    if (size >= 6 && buffer[2] == 0xFF && buffer[3] == 0xE0)
      rest = std::min<size_t>(size, 4 + ((size_t(buffer[4]) << 8) | buffer[5]));
    const size_t length = 2 + 6 + exif.size();
    const uint8_t app1[] = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    std::memcpy(head, app1, sizeof app1);
    headBytes = sizeof app1;
  }
  Bytes out(headBytes + exif.size() + (size - rest));
  std::memcpy(out.data(), head, headBytes);
  if (!exif.empty()) std::memcpy(out.data() + headBytes, exif.data(), exif.size());
  std::memcpy(out.data() + headBytes + exif.size(), buffer + rest, size - rest);
  tjFree(buffer);
  return out;
}

std::string demoExifDate(int64_t time) {
  std::time_t t = std::time_t(time);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d:%02d:%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

PtpObjectInfoStruct DemoShot::record() const {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = format;
  r.objectCompressedSize = uint32_t(file.size());
  r.thumbFormat = kFormatJpeg;
  r.thumbCompressedSize = uint32_t(thumbnail.size());
  r.thumbPixWidth = thumbWidth;
  r.thumbPixHeight = thumbHeight;
  r.imagePixWidth = width;
  r.imagePixHeight = height;
  r.imageBitDepth = isRaw() ? 14 : 24;
  const size_t n = std::min(fileName.size(), kObjectNameBytes - 1);
  std::memcpy(r.fileName, fileName.data(), n);
  r.fileNameLength = uint16_t(n);
  r.captureDate = uint64_t(captureTime);
  r.modificationDate = uint64_t(captureTime);
  r.orientation = orientation;
  return r;
}

DemoShot makeDemoShot(uint64_t seed, uint32_t index, int64_t captureTime) {
  Random r(seed * 0x100000001B3ull + index);
  DemoShot s;
  s.index = index;
  s.handle = kDemoFirstHandle + index;
  s.captureTime = captureTime;
  const bool raw = index % kDemoRawEvery == kDemoRawEvery - 1;
  // Makers take turns; the raws go round the four formats.
  const Body& body = raw ? kBodies[(index / kDemoRawEvery) % 4][0] : kBodies[index % 4][r.below(2)];
  s.make = body.make;
  s.model = body.model;
  s.lens = body.lens;
  s.format = raw ? body.rawFormat : kFormatJpeg;
  char name[32];
  std::snprintf(name, sizeof name, "%s%0*u%s", body.prefix, body.digits, index % (body.digits == 5 ? 99999 : 9999) + 1,
                raw ? body.rawExtension : ".JPG");
  s.fileName = name;
  s.orientation = r.pick(kOrientations);

  DemoExposure& e = s.exposure;
  const Fraction time = r.pick(kExposureTimes);
  e.timeNumerator = time.numerator;
  e.timeDenominator = time.denominator;
  e.fNumberTenths = r.pick(kFNumbers);
  e.iso = r.pick(kIsos);
  e.biasThirds = r.below(7) - 3;
  e.focalLength = r.pick(kFocalLengths);
  e.meteringMode = r.pick(kMeteringModes);
  e.whiteBalance = uint16_t(r.below(2));
  e.exposureProgram = r.pick(kExposurePrograms);

  // Kept from one shot to the next on each thread: fresh pages for two 5 MB pictures
  // would cost more than drawing them.
  thread_local Canvas picture(1, 1), stored(1, 1);
  drawPicture(picture, s, r);
  picture.storeInto(stored, s.orientation);
  s.width = uint32_t(stored.width());
  s.height = uint32_t(stored.height());
  const Canvas small = stored.shrunk(int(kDemoThumbShrink));
  s.thumbWidth = uint32_t(small.width());
  s.thumbHeight = uint32_t(small.height());
  s.thumbnail = encodeDemoJpeg(small, 80, {});
  s.jpeg = encodeDemoJpeg(stored, 90, demoExifBlock(s));
  s.file = raw ? demoRawFile(s, stored) : s.jpeg;
  return s;
}

}  // namespace devsim
