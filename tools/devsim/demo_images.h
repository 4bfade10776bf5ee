#pragma once
// The demo's synthetic photographs: one per shot index, made on the fly and the same for
// the same seed, index and capture time. Each is a JPEG of about 1600 x 1067 with a real
// EXIF block (make, model, exposure, orientation...), drawn with colours, gradients,
// shapes and a large frame number, so that successive shots look different. Every fifth
// shot is a raw of its maker's kind (CR2, NEF, ARW or RAF) holding that JPEG as its
// preview, where the viewer's own raw-preview code finds it.
#include <cstdint>
#include <string>

#include "ptp/base/filetypes.h"
#include "ptp/base/object_info.h"
#include "tools/devsim/frames.h"

namespace devsim {

class Canvas;

// Stored picture size; a portrait shot is stored sideways with orientation 6 or 8.
constexpr uint32_t kDemoWidth = 1600, kDemoHeight = 1067;
constexpr uint32_t kDemoThumbShrink = 10;
// Shot i has object handle kDemoFirstHandle + i.
constexpr uint32_t kDemoFirstHandle = 0x00010001;
// Shots 4, 9, 14... are raws.
constexpr uint32_t kDemoRawEvery = 5;

struct DemoExposure {
  uint32_t timeNumerator = 1, timeDenominator = 250;  // seconds
  uint16_t fNumberTenths = 56;
  uint16_t iso = 400;
  int32_t biasThirds = 0;  // exposure compensation in 1/3 EV
  uint16_t focalLength = 50;  // millimetres
  // EXIF codes.
  uint16_t meteringMode = 5;
  uint16_t whiteBalance = 0;
  uint16_t exposureProgram = 2;
};

struct DemoShot {
  uint32_t index = 0;
  uint32_t handle = 0;
  std::string fileName;
  uint16_t format = 0;  // PTP object format
  uint8_t orientation = 1;
  std::string make, model, lens;
  DemoExposure exposure;
  int64_t captureTime = 0;  // seconds since 1970
  uint32_t width = 0, height = 0;  // the stored picture
  uint32_t thumbWidth = 0, thumbHeight = 0;
  Bytes file;       // what the camera wrote: the JPEG, or a raw holding it as its preview
  Bytes jpeg;       // the photograph as a JPEG with its EXIF block
  Bytes thumbnail;  // a small JPEG of the stored picture, without EXIF

  bool isRaw() const { return format != kFormatJpeg; }
  // The object's record as the device reports it.
  PtpObjectInfoStruct record() const;
};

// The index-th shot (from 0) of the stream a seed names, taken at captureTime.
DemoShot makeDemoShot(uint64_t seed, uint32_t index, int64_t captureTime);

// TurboJPEG, with an APP1 EXIF block put right after the SOI when one is given (in place
// of the JFIF header), as cameras write their files.
Bytes encodeDemoJpeg(const Canvas& picture, int quality, const Bytes& exif);

// "YYYY:MM:DD HH:MM:SS" in UTC, as EXIF writes dates.
std::string demoExifDate(int64_t time);

}  // namespace devsim
