// Raw containers laid out the way each maker's files are, as far as readers look: a CR2's
// preview as IFD0's strip, a NEF's as the JPEG of its first sub-IFD (after the thumbnail
// in IFD0), an ARW's as IFD0's JPEG, a RAF's behind the fixed header's offset.
#include "tools/devsim/demo_raw.h"

#include <algorithm>
#include <cstring>

#include "ptp/base/filetypes.h"
#include "tools/devsim/demo_canvas.h"
#include "tools/devsim/demo_images.h"
#include "tools/devsim/demo_tiff.h"

namespace devsim {

namespace {

// TIFF and EXIF tags.
enum : uint16_t {
  kNewSubfileType = 254,
  kImageWidth = 256,
  kImageLength = 257,
  kBitsPerSample = 258,
  kCompression = 259,
  kPhotometric = 262,
  kMake = 271,
  kModel = 272,
  kStripOffsets = 273,
  kOrientation = 274,
  kSamplesPerPixel = 277,
  kRowsPerStrip = 278,
  kStripByteCounts = 279,
  kXResolution = 282,
  kYResolution = 283,
  kResolutionUnit = 296,
  kDateTime = 306,
  kSubIfds = 330,
  kJpegOffset = 513,
  kJpegLength = 514,
  kYCbCrPositioning = 531,
  kExposureTime = 33434,
  kFNumber = 33437,
  kExifIfd = 34665,
  kExposureProgram = 34850,
  kIso = 34855,
  kExifVersion = 36864,
  kDateTimeOriginal = 36867,
  kDateTimeDigitized = 36868,
  kExposureBias = 37380,
  kMeteringMode = 37383,
  kFlash = 37385,
  kFocalLength = 37386,
  kColorSpace = 40961,
  kPixelXDimension = 40962,
  kPixelYDimension = 40963,
  kExposureMode = 41986,
  kWhiteBalance = 41987,
  kLensModel = 42036,
};
constexpr uint16_t kCompressionNone = 1, kCompressionJpeg = 6, kPhotometricCfa = 32803;
constexpr int kSensorShrink = 4;

std::vector<TiffEntry> ifd0Entries(const TiffWriter& t, const DemoShot& s) {
  return {t.ascii(kMake, s.make),
          t.ascii(kModel, s.model),
          t.shortValue(kOrientation, s.orientation),
          t.rational(kXResolution, 300, 1),
          t.rational(kYResolution, 300, 1),
          t.shortValue(kResolutionUnit, 2),
          t.ascii(kDateTime, demoExifDate(s.captureTime)),
          t.pointers(kExifIfd)};
}

std::vector<TiffEntry> exifEntries(const TiffWriter& t, const DemoShot& s) {
  const DemoExposure& e = s.exposure;
  const std::string date = demoExifDate(s.captureTime);
  return {t.rational(kExposureTime, e.timeNumerator, e.timeDenominator),
          t.rational(kFNumber, e.fNumberTenths, 10),
          t.shortValue(kExposureProgram, e.exposureProgram),
          t.shortValue(kIso, e.iso),
          t.undefined(kExifVersion, "0231"),
          t.ascii(kDateTimeOriginal, date),
          t.ascii(kDateTimeDigitized, date),
          t.srational(kExposureBias, e.biasThirds, 3),
          t.shortValue(kMeteringMode, e.meteringMode),
          t.shortValue(kFlash, 16),  // did not fire
          t.rational(kFocalLength, e.focalLength, 1),
          t.shortValue(kColorSpace, 1),
          t.longValue(kPixelXDimension, s.width),
          t.longValue(kPixelYDimension, s.height),
          t.shortValue(kExposureMode, e.exposureProgram == 1 ? 1 : 0),
          t.shortValue(kWhiteBalance, e.whiteBalance),
          t.ascii(kLensModel, s.lens)};
}

// IFD0 (with extra entries), then the EXIF IFD it points to.
TiffWriter::Ifd writeIfd0WithExif(TiffWriter& t, const DemoShot& s, std::vector<TiffEntry> extra) {
  std::vector<TiffEntry> entries = ifd0Entries(t, s);
  entries.insert(entries.end(), extra.begin(), extra.end());
  TiffWriter::Ifd ifd0 = t.writeIfd(std::move(entries));
  t.setFirstIfd(ifd0.offset);
  return ifd0;
}

void linkExif(TiffWriter& t, const TiffWriter::Ifd& ifd0, const DemoShot& s) {
  t.link(ifd0, kExifIfd, t.writeIfd(exifEntries(t, s)).offset);
}

// A red-green-green-blue mosaic of the picture at a quarter of its size, 12 bits in 16.
struct Sensor {
  uint32_t width = 0, height = 0;
  Bytes data;
};
Sensor sensorOf(const Canvas& stored, bool bigEndian) {
  const Canvas small = stored.shrunk(kSensorShrink);
  Sensor s{uint32_t(small.width()), uint32_t(small.height()), {}};
  s.data.resize(size_t(s.width) * s.height * 2);
  uint8_t* p = s.data.data();
  for (int y = 0; y < small.height(); ++y)
    for (int x = 0; x < small.width(); ++x, p += 2) {
      const Rgb c = small.at(x, y);
      const int site = (y % 2) * 2 + (x % 2);
      const uint16_t v = uint16_t((site == 0 ? c.r : site == 3 ? c.b : c.g) << 4);
      p[0] = uint8_t(bigEndian ? v >> 8 : v);
      p[1] = uint8_t(bigEndian ? v : v >> 8);
    }
  return s;
}

std::vector<TiffEntry> sensorEntries(const TiffWriter& t, const Sensor& sensor) {
  return {t.longValue(kNewSubfileType, 0),
          t.longValue(kImageWidth, sensor.width),
          t.longValue(kImageLength, sensor.height),
          t.shortValue(kBitsPerSample, 16),
          t.shortValue(kCompression, kCompressionNone),
          t.shortValue(kPhotometric, kPhotometricCfa),
          t.pointers(kStripOffsets),
          t.shortValue(kSamplesPerPixel, 1),
          t.longValue(kRowsPerStrip, sensor.height),
          t.longValue(kStripByteCounts, uint32_t(sensor.data.size()))};
}

std::vector<TiffEntry> jpegEntries(const TiffWriter& t, const Bytes& jpeg) {
  return {t.shortValue(kCompression, kCompressionJpeg), t.pointers(kJpegOffset),
          t.longValue(kJpegLength, uint32_t(jpeg.size()))};
}

Bytes cr2(const DemoShot& s, const Canvas& stored) {
  Bytes out;
  TiffWriter t(out, false);
  // "CR", version 2.0, and the offset of the sensor data's IFD.
  t.append(Bytes{'C', 'R', 2, 0, 0, 0, 0, 0});
  const size_t rawIfdAt = 12;
  const Sensor sensor = sensorOf(stored, false);
  // The preview is IFD0's one strip, a full-size JPEG.
  TiffWriter::Ifd ifd0 = writeIfd0WithExif(
      t, s,
      {t.longValue(kImageWidth, s.width), t.longValue(kImageLength, s.height), t.shorts(kBitsPerSample, {8, 8, 8}),
       t.shortValue(kCompression, kCompressionJpeg), t.pointers(kStripOffsets),
       t.longValue(kStripByteCounts, uint32_t(s.jpeg.size()))});
  TiffWriter::Ifd ifd1 = t.writeIfd(jpegEntries(t, s.thumbnail));
  t.setNext(ifd0, ifd1.offset);
  TiffWriter::Ifd raw = t.writeIfd(sensorEntries(t, sensor));
  t.setNext(ifd1, raw.offset);
  Bytes rawAt = t.u32(raw.offset);
  std::copy(rawAt.begin(), rawAt.end(), out.begin() + rawIfdAt);
  linkExif(t, ifd0, s);
  t.link(ifd0, kStripOffsets, t.append(s.jpeg));
  t.link(ifd1, kJpegOffset, t.append(s.thumbnail));
  t.link(raw, kStripOffsets, t.append(sensor.data));
  return out;
}

// Big-endian like Nikon's own files. Readers take the second JPEG pair: the first is the
// thumbnail in IFD0, the second the preview in the first sub-IFD.
Bytes nef(const DemoShot& s, const Canvas& stored) {
  Bytes out;
  TiffWriter t(out, true);
  const Sensor sensor = sensorOf(stored, true);
  std::vector<TiffEntry> extra = jpegEntries(t, s.thumbnail);
  extra.push_back(t.longValue(kNewSubfileType, 1));
  extra.push_back(t.pointers(kSubIfds, 2));
  TiffWriter::Ifd ifd0 = writeIfd0WithExif(t, s, extra);
  std::vector<TiffEntry> previewEntries = jpegEntries(t, s.jpeg);
  previewEntries.push_back(t.longValue(kNewSubfileType, 1));
  previewEntries.push_back(t.shortValue(kYCbCrPositioning, 2));
  TiffWriter::Ifd preview = t.writeIfd(previewEntries);
  TiffWriter::Ifd raw = t.writeIfd(sensorEntries(t, sensor));
  t.link(ifd0, kSubIfds, preview.offset, 0);
  t.link(ifd0, kSubIfds, raw.offset, 1);
  linkExif(t, ifd0, s);
  t.link(ifd0, kJpegOffset, t.append(s.thumbnail));
  t.link(preview, kJpegOffset, t.append(s.jpeg));
  t.link(raw, kStripOffsets, t.append(sensor.data));
  return out;
}

// IFD0 holds the preview's JPEG pair, IFD1 the thumbnail's.
Bytes arw(const DemoShot& s, const Canvas& stored) {
  Bytes out;
  TiffWriter t(out, false);
  const Sensor sensor = sensorOf(stored, false);
  std::vector<TiffEntry> extra = jpegEntries(t, s.jpeg);
  extra.push_back(t.pointers(kSubIfds));
  TiffWriter::Ifd ifd0 = writeIfd0WithExif(t, s, extra);
  TiffWriter::Ifd ifd1 = t.writeIfd(jpegEntries(t, s.thumbnail));
  t.setNext(ifd0, ifd1.offset);
  TiffWriter::Ifd raw = t.writeIfd(sensorEntries(t, sensor));
  t.link(ifd0, kSubIfds, raw.offset);
  linkExif(t, ifd0, s);
  t.link(ifd0, kJpegOffset, t.append(s.jpeg));
  t.link(ifd1, kJpegOffset, t.append(s.thumbnail));
  t.link(raw, kStripOffsets, t.append(sensor.data));
  return out;
}

void putBe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}

// Fujifilm's container: a fixed big-endian header with the JPEG's offset and length at
// 84 and 88, then the JPEG (within the first 500 bytes, where readers look for it), a
// small sensor-data header and the sensor data.
Bytes raf(const DemoShot& s, const Canvas& stored) {
  constexpr size_t kJpegAt = 148;
  Bytes out(kJpegAt, 0);
  auto text = [&](size_t at, const std::string& t, size_t room) {
    std::memcpy(out.data() + at, t.data(), std::min(t.size(), room));
  };
  text(0, "FUJIFILMCCD-RAW 0201FF129502", 28);
  text(28, s.model, 32);
  text(60, "0100", 4);
  out.insert(out.end(), s.jpeg.begin(), s.jpeg.end());
  while (out.size() % 4) out.push_back(0);
  const Sensor sensor = sensorOf(stored, true);
  const size_t headerAt = out.size();
  // One record: tag 0x0100, four bytes, the sensor data's height and width.
  for (uint8_t b : {0, 0, 0, 1, 0x01, 0x00, 0, 4}) out.push_back(b);
  for (uint32_t v : {sensor.height, sensor.width}) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
  }
  const size_t headerLength = out.size() - headerAt;
  const size_t sensorAt = out.size();
  out.insert(out.end(), sensor.data.begin(), sensor.data.end());
  putBe32(out, 84, uint32_t(kJpegAt));
  putBe32(out, 88, uint32_t(s.jpeg.size()));
  putBe32(out, 92, uint32_t(headerAt));
  putBe32(out, 96, uint32_t(headerLength));
  putBe32(out, 100, uint32_t(sensorAt));
  putBe32(out, 104, uint32_t(sensor.data.size()));
  return out;
}

}  // namespace

Bytes demoExifBlock(const DemoShot& shot) {
  Bytes out;
  TiffWriter t(out, false);
  TiffWriter::Ifd ifd0 = writeIfd0WithExif(t, shot, {t.shortValue(kYCbCrPositioning, 1)});
  linkExif(t, ifd0, shot);
  return out;
}

Bytes demoRawFile(const DemoShot& shot, const Canvas& stored) {
  switch (shot.format) {
    case kFormatCr2:
      return cr2(shot, stored);
    case kFormatNef:
      return nef(shot, stored);
    case kFormatArw:
      return arw(shot, stored);
    case kFormatRaf:
      return raf(shot, stored);
    default:
      return shot.jpeg;
  }
}

}  // namespace devsim
