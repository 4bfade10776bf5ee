// Exif on real camera files and on hand-made ones: which reader answers for which format,
// the tail retry, the per-make mapping and truncated input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "model/exif_fixture.h"
#include "model/exif_mapping.h"
#include "model/exif_reader.h"
#include "ptp/base/filetypes.h"

using exiffix::Bytes;
using exiffix::Tiff;

namespace {

const std::string kRealDir = std::string(KV_TESTDATA_DIR) + "/real";

Bytes readAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

std::span<const uint8_t> span(const Bytes& b) { return {b.data(), b.size()}; }

std::string str(const std::optional<std::string>& s) { return s ? *s : "(none)"; }

}  // namespace

// Values from expected.json (exiv2 and ExifTool agree on them), then mapped per make.
TEST(ExifRealFiles, ReadShootingDataAndDisplayStrings) {
  if (!std::filesystem::exists(kRealDir + "/expected.json")) GTEST_SKIP() << "no real camera files at " << kRealDir;
  struct Case {
    const char* file;
    uint16_t format;
    uint8_t make;
    uint16_t metering, whiteBalance, width, height;
    uint8_t orientation;
    const char* strings;  // shutter, aperture, ISO, compensation, focal length, size
  } cases[] = {
      {"canon_powershot_s90_header.cr2", kFormatCr2, 13, 3, 0, 3648, 2736, 1, "1/125 f5.6 ISO80 + 1/3 8mm 10.0MP"},
            // No PixelXDimension: the size is the image reader's, the raw's own 2012 x 1324.
      {"nikon_d1_header.nef", kFormatNef, 15, 3, 2, 2012, 1324, 0, "1/250 f7.6 ISO * (none) 20mm 2.7MP"},
      {"sony_dslr_a330_header.arw", kFormatArw, 14, 0x8002, 2, 3880, 2600, 1, "1/160 f4.5 ISO100 (none) 100mm 10.1MP"},
      {"canon_powershot_g11.jpg", kFormatJpeg, 13, 3, 0, 3648, 2736, 1, "1/80 f4.0 ISO80 - 1/3 6mm 10.0MP"},
      {"nikon_d70.jpg", kFormatJpeg, 15, 3, 2, 3008, 2000, 1, "1/60 f4.5 ISO * (none) 70mm 6.0MP"},
      {"sony_cybershot_rot90.jpg", kFormatJpeg, 14, 0x8002, 2, 640, 480, 6, "1/90 f2.0 ISO141 (none) 9mm 0.3MP"},
      // No exposure time in the file: no shutter string. Fujifilm values stay unmapped.
      {"fujifilm_finepix_4900zoom.jpg", kFormatJpeg, 0, 3, 0, 2400, 1800, 1, "(none) f2.8 ISO200 (none) 46mm 4.3MP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Bytes data = readAll(kRealDir + "/" + c.file);
    ASSERT_FALSE(data.empty());
    auto exif = Exif::initWithData(span(data), c.format, kExifHeaderLength);
    ASSERT_TRUE(exif);
    EXPECT_EQ(exif->cameraMake(), c.make);
    EXPECT_EQ(exif->meteringMode(), c.metering);
    EXPECT_EQ(exif->whiteBalance(), c.whiteBalance);
    EXPECT_EQ(exif->xDimension(), c.width);
    EXPECT_EQ(exif->yDimension(), c.height);
    EXPECT_EQ(exif->orientation(), c.orientation);
    std::string joined = str(exif->shutterSpeedString()) + " " + str(exif->apertureString()) + " " +
                         str(exif->isoString()) + " " + str(exif->exposureCompensationString()) + " " +
                         str(exif->focalLengthString()) + " " + str(exif->sizeString());
    EXPECT_EQ(joined, c.strings);
  }
}

TEST(ExifRealFiles, WalkerReadsTheLittleEndianRaws) {
  if (!std::filesystem::exists(kRealDir + "/expected.json")) GTEST_SKIP() << "no real camera files at " << kRealDir;
  struct Case {
    const char* file;
    const char* make;
    double exposure, fNumber;
  } cases[] = {
      {"canon_powershot_s90_header.cr2", "Canon", 1.0 / 125, 5.6},
      {"sony_dslr_a330_header.arw", "SONY ", 1.0 / 160, 4.5},  // the file pads its make
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Bytes data = readAll(kRealDir + "/" + c.file);
    auto props = Exif::getManualMetaDataDictionary(span(data));
    ASSERT_TRUE(props && props->tiff && props->exif);
    EXPECT_EQ(props->tiff->text("Make"), c.make);
    EXPECT_DOUBLE_EQ(props->exif->number("ExposureTime"), c.exposure);
    EXPECT_DOUBLE_EQ(props->exif->number("FNumber"), c.fNumber);
  }
  EXPECT_EQ(Exif::getFocalLength(span(readAll(kRealDir + "/nikon_d70.jpg")), kFormatJpeg), 70);
}

TEST(ExifRealFiles, CutsAnywhereNeverCrashAndReadOnlyTheFile) {
  if (!std::filesystem::exists(kRealDir + "/expected.json")) GTEST_SKIP() << "no real camera files at " << kRealDir;
  for (const auto& [file, format] : {std::pair{"sony_dslr_a330_header.arw", kFormatArw},
                                     std::pair{"canon_powershot_s90_header.cr2", kFormatCr2},
                                     std::pair{"nikon_d1_header.nef", kFormatNef},
                                     std::pair{"sony_cybershot_rot90.jpg", kFormatJpeg}}) {
    const Bytes data = readAll(kRealDir + "/" + file);
    for (size_t n = 0; n < data.size(); n += data.size() / 97 + 1) {
      // An exact-size copy, so ASan sees any read past the cut.
      const Bytes cut(data.begin(), data.begin() + n);
      auto exif = Exif::initWithData(span(cut), format, 4096);
      if (exif) {
        EXPECT_TRUE(exif->originalProperties().exif) << file << " cut at " << n;
      }
    }
  }
}

TEST(ExifReader, BigAndLittleEndianJpegsReadAlike) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    Bytes jpeg = exiffix::jpegWithExif(Tiff::camera("NIKON CORPORATION", bigEndian).build());
    auto exif = Exif::initWithData(span(jpeg), kFormatJpeg, kExifHeaderLength);
    ASSERT_TRUE(exif);
    EXPECT_FLOAT_EQ(exif->shutterSpeed(), 1.0f / 125);
    EXPECT_FLOAT_EQ(exif->aperture(), 5.6f);
    EXPECT_EQ(exif->iso(), 200);
    EXPECT_FLOAT_EQ(exif->exposureCompensation(), -1.0f / 3);
    EXPECT_EQ(exif->focalLength(), 50);
    EXPECT_EQ(exif->xDimension(), 6000);
    EXPECT_EQ(exif->orientation(), 6);
    EXPECT_EQ(exif->cameraMake(), 15);
    EXPECT_EQ(exif->rawMeteringMode(), 5);
    EXPECT_EQ(exif->meteringMode(), 3);
    EXPECT_EQ(exif->whiteBalance(), 2);  // light source 0, auto
  }
}

TEST(ExifReader, EveryPrefixOfAJpegIsReadOrRefused) {
  for (bool bigEndian : {false, true}) {
    const Bytes full = exiffix::jpegWithExif(Tiff::camera("SONY", bigEndian).build());
    for (size_t n = 0; n <= full.size(); ++n) {
      const Bytes prefix(full.begin(), full.begin() + n);
      for (uint16_t format : {kFormatJpeg, kFormatArw}) {
        auto exif = Exif::initWithData(span(prefix), format, 16);
        // What a cut file yields is never made up: the fields are the whole file's or 0.
        if (exif && exif->shutterSpeed() != 0) {
          EXPECT_FLOAT_EQ(exif->shutterSpeed(), 1.0f / 125) << n;
        }
      }
    }
  }
}

TEST(ExifReader, LoopingIfdsEndTheRead) {
  for (bool bigEndian : {false, true}) {
    Tiff t = Tiff::camera("Canon", bigEndian);
    t.nextIfd(8);  // IFD0 is its own successor
    Bytes jpeg = exiffix::jpegWithExif(t.build());
    auto exif = Exif::initWithData(span(jpeg), kFormatJpeg, kExifHeaderLength);
    ASSERT_TRUE(exif) << bigEndian;
    EXPECT_FLOAT_EQ(exif->aperture(), 5.6f);
    // The EXIF pointer aimed back at IFD0.
    Tiff back(bigEndian);
    back.ascii(true, 271, "Canon").longTag(true, 34665, 8).nextIfd(8);
    Bytes loop = exiffix::jpegWithExif(back.build());
    EXPECT_FALSE(Exif::initWithData(span(loop), kFormatJpeg, kExifHeaderLength)) << bigEndian;
  }
}

TEST(ExifReader, WhichReaderAnswersDependsOnTheFormat) {
  // A junk lead hides the TIFF from the image reader; only the walker finds it.
  const Bytes hidden = exiffix::concat({Bytes(100, 0x20), Tiff::camera("SONY").build()});
  // A big-endian JPEG: the image reader reads it, the walker can't.
  const Bytes bigEndianJpeg = exiffix::jpegWithExif(Tiff::camera("SONY", true).build());
  struct Case {
    const char* what;
    const Bytes& data;
    uint16_t format;
    bool read;
  } cases[] = {
      {"ARW the image reader can't read goes to the walker", hidden, kFormatArw, true},
      {"CR2 likewise", hidden, kFormatCr2, true},
      {"NEF likewise", hidden, kFormatNef, true},
      {"CR3 always walks", hidden, kFormatCr3, true},
      {"a JPEG is never walked", hidden, kFormatJpeg, false},
      {"nor a TIFF", hidden, kFormatTiff, false},
      {"the image reader reads big-endian JPEGs", bigEndianJpeg, kFormatJpeg, true},
      {"a CR3 never goes through the image reader", bigEndianJpeg, kFormatCr3, false},
  };
  for (const Case& c : cases) {
    auto exif = Exif::initWithData(span(c.data), c.format, kExifHeaderLength);
    EXPECT_EQ(bool(exif), c.read) << c.what;
    if (exif) {
      EXPECT_EQ(exif->meteringMode(), 0x8001) << c.what;  // Sony, EXIF 5
    }
  }
}

TEST(ExifReader, FewExifKeysMakeTheTailBeReadAgain) {
  Tiff sparse;  // four EXIF keys
  sparse.ascii(true, 271, "Canon").rational(false, 33434, 1, 10).rational(false, 33437, 2, 1);
  sparse.shortTag(false, 37383, 2).shortTag(false, 34855, 100);
  const Bytes head = exiffix::jpegWithExif(sparse.build());
  const Bytes tail = exiffix::jpegWithExif(Tiff::camera("Canon").build());
  const Bytes data = exiffix::concat({head, Bytes(50, 0), tail, Bytes{0xEE}});

  // The tail of H - 1 bytes starting H before the end is exactly the second JPEG.
  const uint32_t h = uint32_t(tail.size() + 1);
  auto exif = Exif::initWithData(span(data), kFormatJpeg, h);
  ASSERT_TRUE(exif);
  EXPECT_FLOAT_EQ(exif->shutterSpeed(), 1.0f / 125);  // from the tail
  EXPECT_EQ(exif->meteringMode(), 3);                  // Canon, EXIF 5

  // The head alone is shorter than the header length: nothing.
  EXPECT_FALSE(Exif::initWithData(span(head), kFormatJpeg, uint32_t(head.size() + 1)));
  // A tail that holds nothing readable either: nothing.
  EXPECT_FALSE(Exif::initWithData(span(head), kFormatJpeg, 40));
  // A header length of 0 does not read before the data.
  EXPECT_FALSE(Exif::initWithData(span(head), kFormatJpeg, 0));
}

TEST(ExifReader, ArwWalkerResultIsKeptEvenWithFewKeys) {
  Tiff sparse;
  sparse.ascii(true, 271, "SONY").shortTag(false, 37383, 1);
  const Bytes hidden = exiffix::concat({Bytes(9, 0x20), sparse.build()});
  auto exif = Exif::initWithData(span(hidden), kFormatArw, kExifHeaderLength);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->meteringMode(), 0x8003);
  // Nothing to find at all: no Exif.
  EXPECT_FALSE(Exif::initWithData(span(Bytes(300, 0x20)), kFormatArw, kExifHeaderLength));
}

TEST(ExifReader, WidthFallsBackToTheImageSize) {
  Tiff t;
  t.ascii(true, 271, "Canon").rational(false, 33434, 1, 10).rational(false, 33437, 2, 1);
  t.shortTag(false, 37383, 2).shortTag(false, 34855, 100).shortTag(false, 41987, 1);
  auto exif = Exif::initWithData(span(exiffix::jpegWithExif(t.build(), 1234, 567)), kFormatJpeg, kExifHeaderLength);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->xDimension(), 1234);
  EXPECT_EQ(exif->yDimension(), 567);
}

TEST(ExifReader, RafPreviewIsFoundBehindItsHeader) {
  const Bytes jpeg = exiffix::jpegWithExif(Tiff::camera("FUJIFILM").build());
  const Bytes raf = exiffix::concat({Bytes{'F', 'U', 'J', 'I'}, Bytes(156, 0), jpeg, Bytes(64, 0x11)});
  auto exif = Exif::initWithData(span(raf), kFormatRaf, kExifHeaderLength);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->cameraMake(), 0);
  EXPECT_FLOAT_EQ(exif->aperture(), 5.6f);
}

TEST(ExifReader, SetSizeReplacesTheSizeString) {
  auto exif = Exif::initWithData(span(exiffix::jpegWithExif(Tiff::camera("Canon").build())), kFormatJpeg,
                                 kExifHeaderLength);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->sizeString(), "24.0MP");
  exif->setSize(400.9, 300.2);
  EXPECT_EQ(exif->xDimension(), 400);
  EXPECT_EQ(exif->yDimension(), 300);
  EXPECT_EQ(exif->sizeString(), "0.1MP");
  exif->setSize(0, 0);
  EXPECT_EQ(exif->sizeString(), std::nullopt);
}

TEST(ExifReader, SizeAndStringsMayBeUsedFromTwoThreads) {
  auto exif = Exif::initWithData(span(exiffix::jpegWithExif(Tiff::camera("Sony").build())), kFormatJpeg,
                                 kExifHeaderLength);
  ASSERT_TRUE(exif);
  std::thread setter([&] {
    for (int i = 1; i <= 500; ++i) exif->setSize(i, i);
  });
  for (int i = 0; i < 500; ++i) {
    (void)exif->sizeString();
    (void)exif->shutterSpeedString();
  }
  setter.join();
  EXPECT_EQ(exif->sizeString(), "0.2MP");  // 500 x 500
}

TEST(ExifMapping, MakesAndPropertyValues) {
  EXPECT_EQ(exifCameraMakeFromText("NIKON CORPORATION"), 15);
  EXPECT_EQ(exifCameraMakeFromText("SONY"), 14);
  EXPECT_EQ(exifCameraMakeFromText("Canon"), 13);
  EXPECT_EQ(exifCameraMakeFromText("Sony and canon"), 13);  // Canon is looked for first
  EXPECT_EQ(exifCameraMakeFromText("FUJIFILM"), 0);
  EXPECT_EQ(exifCameraMakeFromText(""), 0);

  struct Metering {
    uint8_t make;
    int64_t exif;
    uint16_t mapped;
  } metering[] = {
      {14, 1, 0x8003}, {14, 2, 0x8002}, {14, 3, 4},    {14, 4, 4},      {14, 5, 0x8001}, {14, 255, 0x8006},
      {14, 6, 6},      {15, 3, 4},      {15, 5, 3},    {15, 255, 0x8010}, {15, 2, 2},    {13, 2, 5},
      {13, 3, 1},      {13, 5, 3},      {13, 6, 4},    {13, 4, 4},      {0, 5, 5},
  };
  for (const Metering& m : metering)
    EXPECT_EQ(exifMapMeteringMode(m.make, m.exif), m.mapped) << int(m.make) << " " << m.exif;

  struct WhiteBalance {
    uint8_t make;
    int64_t light, exif;
    uint16_t mapped;
  } wb[] = {
      {14, 0, 0, 2},      {14, 0, 1, 0x8012}, {14, 0, 7, 7},       {14, 1, 1, 4},       {14, 3, 1, 6},
      {14, 4, 1, 7},      {14, 10, 1, 0x8010}, {14, 11, 1, 0x8011}, {14, 12, 1, 0x8004}, {14, 13, 1, 0x8003},
      {14, 14, 1, 0x8002}, {14, 15, 1, 0x8001}, {14, 255, 1, 0x8020}, {14, 2, 1, 1},     {14, 9, 0, 0},
      {15, 0, 0, 2},      {15, 0, 1, 0x8012}, {15, 2, 1, 2},       {15, 3, 1, 6},       {15, 4, 1, 7},
      {15, 9, 1, 4},      {15, 10, 1, 0x8010}, {15, 11, 1, 0x8011}, {15, 14, 1, 5},     {15, 17, 1, 2},
      {0, 3, 1, 1},
  };
  for (const WhiteBalance& w : wb)
    EXPECT_EQ(exifMapWhiteBalance(w.make, w.light, w.exif), w.mapped) << int(w.make) << " " << w.light << " " << w.exif;
}

TEST(ExifMapping, CanonWhiteBalanceComesFromTheFile) {
  auto at = [](size_t k, size_t size, uint8_t value) {
    Bytes b(size, 0x11);
    if (k + 5 <= size) std::copy_n(Bytes{0x00, 0x44, 0x00, 0x00, 0x00}.begin(), 5, b.begin() + long(k));
    if (k + 15 < size) b[k + 15] = value;
    return b;
  };
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(600, 4000, 9))), 9);
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(512, 4000, 4))), 4);
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(2047, 4000, 5))), 5);
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(2048, 4000, 5))), std::nullopt);
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(300, 4000, 5))), std::nullopt);
  EXPECT_EQ(exifCanonWhiteBalanceFromFile(span(at(600, 610, 5))), std::nullopt);  // byte past the end

  // Through Exif: the file's byte replaces the EXIF white balance.
  Bytes jpeg = exiffix::jpegWithExif(Tiff::camera("Canon").build());
  jpeg.resize(1200, 0);
  std::copy_n(Bytes{0x00, 0x44, 0x00, 0x00, 0x00}.begin(), 5, jpeg.begin() + 700);
  jpeg[715] = 6;
  auto exif = Exif::initWithData(span(jpeg), kFormatJpeg, kExifHeaderLength);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->whiteBalance(), 6);
  EXPECT_EQ(exif->rawWhiteBalance(), 0);
}
