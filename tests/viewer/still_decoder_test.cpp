// The still pane's decoder: orientation, DCT scaling, caps, damaged files, TIFF, raws and
// their previews, cancel, and the rotation cycle.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <atomic>

#include "ptp/base/filetypes.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/pixel_buffer_pool.h"
#include "viewer/still/raw_decoder.h"
#include "viewer/still/still_decoder.h"
#include "viewer/still_decoder_fixtures.h"

namespace still_decoder_test {

const std::atomic<bool> kNoCancel{false};

StillDecodeResult decode(const QByteArray& data, uint16_t format, uint8_t orientation = 255,
                         uint8_t recordOrientation = 0, QSize minimum = {}, bool quickRaw = false) {
  StillDecodeRequest r;
  r.data = data;
  r.format = format;
  r.orientation = orientation;
  r.recordOrientation = recordOrientation;
  r.minimumPixels = minimum;
  r.quickRawMode = quickRaw;
  return decodeStillImage(r, kNoCancel);
}

// Each quadrant's centre has its colour (within JPEG's loss).
void expectQuadrants(const QImage& img, const std::string& what) {
  ASSERT_FALSE(img.isNull()) << what;
  const int w = img.width(), h = img.height();
  const QPoint centres[4] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}};
  for (int q = 0; q < 4; ++q) {
    const QColor got = img.pixelColor(centres[q]), want = stillfix::kQuadrant[q];
    EXPECT_NEAR(got.red(), want.red(), 12) << what << " quadrant " << q;
    EXPECT_NEAR(got.green(), want.green(), 12) << what << " quadrant " << q;
    EXPECT_NEAR(got.blue(), want.blue(), 12) << what << " quadrant " << q;
  }
}

}  // namespace still_decoder_test

using namespace still_decoder_test;

TEST(StillDecoder, EachExifOrientationIsShownUpright) {
  const QImage upright = stillfix::quadrants();
  for (int o = 1; o <= 8; ++o) {
    for (bool bigEndian : {false, true}) {
      const std::string what = "orientation " + std::to_string(o) + (bigEndian ? " MM" : " II");
      const QByteArray jpeg = stillfix::withOrientation(stillfix::encodeJpeg(stillfix::storedFor(upright, o)),
                                                        uint16_t(o), bigEndian);
      const StillDecodeResult r = decode(jpeg, kFormatJpeg);
      ASSERT_TRUE(r.error.isEmpty()) << what << ": " << r.error.toStdString();
      EXPECT_EQ(r.orientation, o) << what;
      EXPECT_EQ(r.fullSize, upright.size()) << what;
      EXPECT_EQ(r.image.format(), QImage::Format_RGB32) << what;
      EXPECT_FALSE(r.reduced) << what;
      expectQuadrants(r.image, what);
      // The same pixels as turning the stored decode ourselves.
      const StillDecodeResult stored = decode(jpeg, kFormatJpeg, 1);
      EXPECT_EQ(r.image, applyOrientation(stored.image, uint8_t(o))) << what;
    }
  }
}

TEST(StillDecoder, OrientationComesFromTheRequestThenTheFileThenTheRecord) {
  const QImage stored = stillfix::storedFor(stillfix::quadrants(), 6);
  const QByteArray plain = stillfix::encodeJpeg(stored);
  const QByteArray tagged6 = stillfix::withOrientation(plain, 6);
  struct Row {
    const char* what;
    QByteArray data;
    uint8_t requested, record, applied;
  } rows[] = {
      {"file's own wins over the record", tagged6, 255, 3, 6},
      {"record when the file has none", plain, 255, 6, 6},
      {"neither: upright as stored", plain, 255, 0, 1},
      {"a record value out of range counts as none", plain, 255, 9, 1},
      {"the request wins over the file (rotation)", tagged6, 3, 6, 3},
      {"an out-of-range file value counts as none", stillfix::withOrientation(plain, 9), 255, 8, 8},
  };
  for (const Row& row : rows) {
    const StillDecodeResult r = decode(row.data, kFormatJpeg, row.requested, row.record);
    EXPECT_EQ(r.orientation, row.applied) << row.what;
    const StillDecodeResult asStored = decode(row.data, kFormatJpeg, 1);
    EXPECT_EQ(r.image, applyOrientation(asStored.image, row.applied)) << row.what;
  }
}

TEST(StillDecoder, DctScalingPicksTheSmallestScaleThatCoversTheView) {
  QImage big(640, 480, QImage::Format_RGB32);
  big.fill(QColor(90, 120, 150));
  const QByteArray plain = stillfix::encodeJpeg(big);
  const QByteArray portrait = stillfix::withOrientation(plain, 6);  // upright 480 x 640
  struct Row {
    const char* what;
    const QByteArray* data;
    QSize minimum, image;
  } rows[] = {
      {"empty: full size", &plain, {}, {640, 480}},
      {"1/8 exactly", &plain, {80, 60}, {80, 60}},
      {"one side reaching is enough (fit)", &plain, {81, 60}, {80, 60}},
      {"neither side at 1/8", &plain, {81, 61}, {160, 120}},
      {"5/8", &plain, {400, 300}, {400, 300}},
      {"3/8 rounds up", &plain, {230, 10000}, {240, 180}},
      {"larger view: never enlarged", &plain, {1000, 1000}, {640, 480}},
      // The view is upright: compared with the stored sides it would pick 1/2 (240 wide).
      {"turned: the view's width meets the upright width", &portrait, {300, 1000}, {300, 400}},
  };
  for (const Row& row : rows) {
    const StillDecodeResult r = decode(*row.data, kFormatJpeg, 255, 0, row.minimum);
    EXPECT_EQ(r.image.size(), row.image) << row.what;
    EXPECT_EQ(r.fullSize, row.data == &portrait ? QSize(480, 640) : QSize(640, 480)) << row.what;
    EXPECT_EQ(r.reduced, r.image.size() != r.fullSize) << row.what;
    EXPECT_NEAR(r.image.pixelColor(r.image.width() / 2, r.image.height() / 2).green(), 120, 3) << row.what;
  }
}

TEST(StillDecoder, HeaderSizesOverTheCapAreRefusedBeforeDecoding) {
  const QByteArray small = stillfix::encodeJpeg(stillfix::quadrants(16, 16));
  for (QSize claimed : {QSize(60000, 60000), QSize(20000, 10001)}) {
    const StillDecodeResult r = decode(stillfix::withDeclaredSize(small, claimed.width(), claimed.height()),
                                       kFormatJpeg, 255, 0, QSize(100, 100));
    EXPECT_TRUE(r.image.isNull());
    EXPECT_EQ(r.fullSize, claimed);
    EXPECT_TRUE(r.error.contains("too large")) << r.error.toStdString();
  }
  // A forged TIFF header the same way.
  const exiffix::Bytes tiff = exiffix::Tiff().longTag(true, 256, 60000).longTag(true, 257, 60000).build();
  const StillDecodeResult t = decode(stillfix::bytesOf(tiff), kFormatTiff);
  EXPECT_TRUE(t.image.isNull());
  EXPECT_FALSE(t.error.isEmpty());
}

TEST(StillDecoder, ACutOffJpegShowsWhatArrivedAndNeverUnwrittenPixels) {
  const QImage upright = stillfix::quadrants(256, 256);
  const QByteArray baseline = stillfix::encodeJpeg(upright);
  const QByteArray progressive = stillfix::encodeJpeg(upright, 95, TJFLAG_PROGRESSIVE);
  // Progressive cut points by marker: after the first scan (every colour's DC arrived), and
  // inside the Huffman table that follows it (a fatal error after the end-of-file warning).
  const qsizetype firstSos = progressive.indexOf(QByteArray("\xFF\xDA", 2));
  const qsizetype afterFirstScan = stillfix::nextMarker(progressive, firstSos + 2);
  ASSERT_GT(afterFirstScan, 0);
  ASSERT_EQ(uint8_t(progressive[afterFirstScan + 1]), 0xC4) << "expected a DHT after the first scan";
  // Baseline cut points inside its one scan.
  const qsizetype sos = baseline.indexOf(QByteArray("\xFF\xDA", 2));
  auto baselineAt = [&](int percent) { return baseline.left(sos + (baseline.size() - sos) * percent / 100); };
  struct Row {
    const char* what;
    QByteArray data;
    bool shown;
  } rows[] = {
      {"baseline at 30% of its scan", baselineAt(30), true},
      {"baseline at 60% of its scan", baselineAt(60), true},
      {"progressive after its first scan", progressive.left(afterFirstScan), true},
      {"progressive inside a table", progressive.left(afterFirstScan + 6), false},
  };
  for (const Row& row : rows) {
    const StillDecodeResult r = decode(row.data, kFormatJpeg);
    EXPECT_EQ(r.image.isNull(), !row.shown) << row.what;
    EXPECT_EQ(r.error.isEmpty(), row.shown) << row.what << ": " << r.error.toStdString();
    if (!row.shown) continue;
    EXPECT_EQ(r.image.size(), QSize(256, 256)) << row.what;
    // The top rows arrived.
    const QColor topLeft = r.image.pixelColor(64, 32);
    EXPECT_NEAR(topLeft.red(), stillfix::kQuadrant[0].red(), 40) << row.what;
    EXPECT_NEAR(topLeft.blue(), stillfix::kQuadrant[0].blue(), 40) << row.what;
  }
}

// A pooled buffer still holds the image before. A cut-off JPEG that TurboJPEG reports as a
// mere warning with no row written must still fail, not show that earlier picture.
TEST(StillDecoder, APooledBufferNeverShowsTheImageItHeldBefore) {
  const QImage upright = stillfix::quadrants(256, 256);
  const QByteArray whole = stillfix::encodeJpeg(upright);
  const QByteArray progressive = stillfix::encodeJpeg(upright, 95, TJFLAG_PROGRESSIVE);
  const qsizetype firstSos = progressive.indexOf(QByteArray("\xFF\xDA", 2));
  const qsizetype afterFirstScan = stillfix::nextMarker(progressive, firstSos + 2);
  ASSERT_GT(afterFirstScan, 0);
  auto pool = PixelBufferPool::create();
  auto decodeInto = [&](const QByteArray& data) {
    StillDecodeRequest r;
    r.data = data;
    r.format = kFormatJpeg;
    r.pixelPool = pool;
    return decodeStillImage(r, kNoCancel);
  };
  for (int round = 0; round < 2; ++round) {
    const void* before = nullptr;
    {
      const StillDecodeResult r = decodeInto(whole);
      expectQuadrants(r.image, "whole");
      before = r.image.constBits();
    }
    EXPECT_EQ(pool->spareBytes(), size_t{256} * 256 * 4) << "the image's buffer did not come back";
    // Cut inside the table after the first scan: nothing decodes.
    const StillDecodeResult cut = decodeInto(progressive.left(afterFirstScan + 6));
    EXPECT_TRUE(cut.image.isNull()) << "the earlier image shows for a file that decodes to nothing";
    EXPECT_FALSE(cut.error.isEmpty());
    // After its first scan: its own picture, in the earlier image's buffer.
    const StillDecodeResult first = decodeInto(progressive.left(afterFirstScan));
    EXPECT_EQ(static_cast<const void*>(first.image.constBits()), before) << "the spare was not used";
    expectQuadrants(first.image, "progressive after its first scan");
  }
}

// Buffers over the cap are freed, not kept; an image outliving its pool frees its own.
TEST(StillDecoder, PoolKeepsOneSpareUnderItsCapAndImagesMayOutliveIt) {
  auto pool = PixelBufferPool::create(64 * 64 * 4);
  pool->image(QSize(65, 64), QImage::Format_RGB32);
  EXPECT_EQ(pool->spareBytes(), 0u);
  pool->image(QSize(64, 64), QImage::Format_RGB32);
  pool->image(QSize(32, 32), QImage::Format_RGB32);
  EXPECT_EQ(pool->spareBytes(), size_t{32} * 32 * 4) << "the newest is the spare";
  EXPECT_TRUE(pool->image(QSize(0, 10), QImage::Format_RGB32).isNull());
  EXPECT_TRUE(pool->image(QSize(10, 10), QImage::Format_Grayscale8).isNull());
  QImage kept = pool->image(QSize(16, 16), QImage::Format_RGB32);
  kept.fill(Qt::red);
  const QImage copy = kept;
  pool.reset();
  kept = QImage();
  EXPECT_EQ(copy.pixelColor(15, 15), QColor(Qt::red));
}

TEST(StillDecoder, ProgressiveScansAreLimited) {
  const QByteArray progressive = stillfix::encodeJpeg(stillfix::quadrants(), 90, TJFLAG_PROGRESSIVE);
  struct Row {
    int extraScans;
    bool shown;
  } rows[] = {{0, true}, {100, true}, {600, false}};
  for (const Row& row : rows) {
    const QByteArray data = stillfix::withRepeatedLastScan(progressive, row.extraScans);
    ASSERT_FALSE(data.isEmpty());
    const StillDecodeResult r = decode(data, kFormatJpeg);
    EXPECT_EQ(!r.image.isNull(), row.shown) << row.extraScans << " extra scans: " << r.error.toStdString();
    EXPECT_EQ(r.error.isEmpty(), row.shown) << row.extraScans;
  }
}

TEST(StillDecoder, TiffThroughQtKeepsItsPixelsAndAlpha) {
  const QImage upright = stillfix::quadrants();
  for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
    QImage src = upright.convertToFormat(f);
    if (f == QImage::Format_ARGB32) src.setPixelColor(0, 0, QColor(10, 20, 30, 128));
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "tiff").write(src));
    const StillDecodeResult r = decode(tiff, kFormatTiff, 255, 6);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.orientation, 1);  // Qt writes orientation 1, which wins over the record
    EXPECT_EQ(r.fullSize, src.size());
    EXPECT_EQ(r.image.format(), f == QImage::Format_ARGB32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    expectQuadrants(r.image, "tiff");
    if (f == QImage::Format_ARGB32) {
      EXPECT_NEAR(r.image.pixelColor(0, 0).alpha(), 128, 1);
    }
    // An explicit orientation turns it.
    const StillDecodeResult turned = decode(tiff, kFormatTiff, 6);
    EXPECT_EQ(turned.image, applyOrientation(r.image, 6));
    EXPECT_EQ(turned.fullSize, src.size().transposed());
  }
}

TEST(StillDecoder, ARawNoDecoderKnowsIsShownFromItsPreview) {
  const QImage upright = stillfix::quadrants();
  const QByteArray preview = stillfix::encodeJpeg(stillfix::storedFor(upright, 6));
  struct Row {
    const char* what;
    uint16_t containerOrientation;
    uint8_t record;
  } rows[] = {{"the raw's own orientation", 6, 0}, {"the record's orientation", 0, 6}};
  for (const Row& row : rows) {
    const QByteArray raw = stillfix::rawWithRealPreview(preview, row.containerOrientation);
    const StillDecodeResult r = decode(raw, kFormatNef, 255, row.record, QSize(16, 16));
    ASSERT_TRUE(r.error.isEmpty()) << row.what << ": " << r.error.toStdString();
    EXPECT_TRUE(r.fromEmbeddedPreview) << row.what;
    EXPECT_EQ(r.orientation, 6) << row.what;
    EXPECT_EQ(r.fullSize, upright.size()) << row.what;
    EXPECT_TRUE(r.reduced) << row.what;  // DCT-scaled to the small view
    expectQuadrants(applyOrientation(decode(raw, kFormatNef, 6, 0).image, 1), row.what);
  }
  // Without a preview nothing is shown, and the reason is given.
  const StillDecodeResult none = decode(stillfix::rawWithRealPreview({}, 6), kFormatNef);
  EXPECT_TRUE(none.image.isNull());
  EXPECT_FALSE(none.error.isEmpty());
  EXPECT_FALSE(none.fromEmbeddedPreview);
}

TEST(StillDecoder, LibRawDecodesFullOrHalfSizeAndTurnsByTheFile) {
  const QByteArray dng = stillfix::tinyDng(128, 96, 6);
  struct Row {
    bool quick;
    QSize image;
  } rows[] = {{false, {96, 128}}, {true, {48, 64}}};
  for (const Row& row : rows) {
    const StillDecodeResult r = decode(dng, kFormatUndefinedRaw, 255, 0, {}, row.quick);
    ASSERT_TRUE(r.error.isEmpty()) << row.quick << ": " << r.error.toStdString();
    EXPECT_FALSE(r.fromEmbeddedPreview);
    EXPECT_EQ(r.orientation, 6);
    EXPECT_EQ(r.image.size(), row.image) << row.quick;
    EXPECT_EQ(r.fullSize, QSize(96, 128)) << row.quick;
    EXPECT_EQ(r.reduced, row.quick);
    // The bright stored top-left quadrant is at the top right once turned.
    const int w = r.image.width(), h = r.image.height();
    EXPECT_GT(qGray(r.image.pixel(3 * w / 4, h / 4)), qGray(r.image.pixel(w / 4, h / 4)) + 60) << row.quick;
    EXPECT_GT(qGray(r.image.pixel(3 * w / 4, h / 4)), qGray(r.image.pixel(3 * w / 4, 3 * h / 4)) + 60) << row.quick;
  }
}

TEST(StillDecoder, RawSensorOverTheCapIsRefusedBeforeUnpacking) {
  const QByteArray dng = stillfix::tinyDng(128, 96, 1);
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(dng.constData()), size_t(dng.size()));
  const RawDecodeOutcome over = decodeRaw(bytes, false, 128 * 96 - 1, kNoCancel);
  EXPECT_TRUE(over.opened);
  EXPECT_TRUE(over.image.isNull());
  EXPECT_TRUE(over.error.contains("too large")) << over.error.toStdString();
  const RawDecodeOutcome at = decodeRaw(bytes, false, 128 * 96, kNoCancel);
  EXPECT_FALSE(at.image.isNull()) << at.error.toStdString();
}

TEST(StillDecoder, CancelStopsEveryPath) {
  const QByteArray jpeg = stillfix::encodeJpeg(stillfix::quadrants());
  QByteArray tiff;
  QBuffer buffer(&tiff);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(QImageWriter(&buffer, "tiff").write(stillfix::quadrants()));
  const QByteArray dng = stillfix::tinyDng(128, 96, 1);
  const std::atomic<bool> cancelled{true};
  for (auto [data, format] : {std::pair{jpeg, kFormatJpeg}, {tiff, kFormatTiff}, {dng, kFormatUndefinedRaw}}) {
    StillDecodeRequest r;
    r.data = data;
    r.format = format;
    const StillDecodeResult res = decodeStillImage(r, cancelled);
    EXPECT_TRUE(res.cancelled) << format;
    EXPECT_TRUE(res.image.isNull()) << format;
  }
  // LibRaw itself stops through its progress callback.
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(dng.constData()), size_t(dng.size()));
  const RawDecodeOutcome raw = decodeRaw(bytes, false, kStillRawMaxPixels, cancelled);
  EXPECT_TRUE(raw.cancelled);
  EXPECT_TRUE(raw.image.isNull());
}

TEST(StillDecoder, UnknownOrEmptyDataGivesAReason) {
  for (const QByteArray& data : {QByteArray(), QByteArray("not an image at all"), QByteArray("\xFF\xD8\xFF", 3)}) {
    for (uint16_t format : {kFormatJpeg, kFormatTiff, kFormatCr3, kFormatRaf, uint16_t(0)}) {
      const StillDecodeResult r = decode(data, format);
      EXPECT_TRUE(r.image.isNull());
      EXPECT_FALSE(r.error.isEmpty()) << format;
      EXPECT_EQ(r.orientation, 1);
    }
  }
}

TEST(StillDecoder, RotationCycle) {
  const std::pair<uint8_t, uint8_t> rows[] = {{1, 6}, {6, 3}, {3, 8}, {8, 1}, {2, 2}, {4, 4},
                                              {5, 5}, {7, 7}, {0, 0}, {9, 9}, {255, 255}};
  for (auto [from, to] : rows) EXPECT_EQ(nextRotation(from), to) << int(from);
}

TEST(StillDecoder, ThumbnailsAreUprightAndBounded) {
  const QImage upright = stillfix::quadrants(256, 192);
  const QByteArray jpeg6 = stillfix::withOrientation(stillfix::encodeJpeg(stillfix::storedFor(upright, 6)), 6);
  const QByteArray raw = stillfix::rawWithRealPreview(stillfix::encodeJpeg(stillfix::storedFor(upright, 8)), 8);
  struct Row {
    const char* what;
    QByteArray data;
    int maxSide;
    QSize size;
  } rows[] = {
      {"JPEG scaled to the side", jpeg6, 100, {100, 75}},
      {"JPEG smaller than the side stays", jpeg6, 1000, {256, 192}},
      {"raw preview", raw, 64, {64, 48}},
  };
  for (const Row& row : rows) {
    const QImage t = decodeThumbnail(row.data, row.maxSide);
    EXPECT_EQ(t.size(), row.size) << row.what;
    expectQuadrants(t, row.what);
  }
  EXPECT_TRUE(decodeThumbnail(QByteArray("plain text"), 100).isNull());
  EXPECT_TRUE(decodeThumbnail(jpeg6, 0).isNull());
  EXPECT_TRUE(decodeThumbnail(stillfix::rawWithRealPreview({}, 1), 100).isNull());
}

// Real camera files: JPEGs decode at their EXIF size and orientation; cut-off raws show
// their preview or say why not, without reading past their end.
TEST(StillDecoder, RealCameraFiles) {
  // The build's own path; a worktree outside the usual layout names it in the environment.
  const QString dir = qEnvironmentVariable("KV_TESTDATA_DIR", QStringLiteral(KV_TESTDATA_DIR)) + "/real/";
  if (!QFile::exists(dir + "README.md")) GTEST_SKIP() << "no real test files in " << dir.toStdString();
  struct Row {
    const char* file;
    uint16_t format;
    QSize upright;
    uint8_t orientation;
  } rows[] = {
      {"canon_powershot_g11.jpg", kFormatJpeg, {3648, 2736}, 1},
      {"nikon_d70.jpg", kFormatJpeg, {3008, 2000}, 1},
      {"sony_cybershot_rot90.jpg", kFormatJpeg, {450, 311}, 6},  // its EXIF size is the original's
      {"fujifilm_finepix_4900zoom.jpg", kFormatJpeg, {2400, 1800}, 1},
      {"canon_powershot_s90_header.cr2", kFormatCr2, {}, 0},
      {"nikon_d1_header.nef", kFormatNef, {}, 0},
      {"sony_dslr_a330_header.arw", kFormatArw, {}, 0},
  };
  for (const Row& row : rows) {
    QFile f(dir + row.file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << row.file;
    const StillDecodeResult r = decode(f.readAll(), row.format, 255, 0, QSize(400, 300));
    if (row.format == kFormatJpeg) {
      ASSERT_TRUE(r.error.isEmpty()) << row.file << ": " << r.error.toStdString();
      EXPECT_EQ(r.fullSize, row.upright) << row.file;
      EXPECT_EQ(r.orientation, row.orientation) << row.file;
      EXPECT_TRUE(r.image.width() >= 400 || r.image.height() >= 300) << row.file;
      if (r.fullSize.width() >= 800) {
        EXPECT_LT(r.image.width(), r.fullSize.width()) << row.file << " was not DCT-scaled";
      }
    } else {
      EXPECT_NE(r.image.isNull(), r.error.isEmpty()) << row.file;
    }
  }
}

// Writes the seed corpora of the still_decode and thumbnail_decode fuzz targets from these
// fixtures when KV_WRITE_FUZZ_SEEDS names the source folder (skipped otherwise). A still
// seed starts with the target's three bytes: format index, orientation (0: the file's
// own), and quick raw mode plus view side.
TEST(StillDecoder, WritesFuzzSeeds) {
  const QString root = qEnvironmentVariable("KV_WRITE_FUZZ_SEEDS");
  if (root.isEmpty()) GTEST_SKIP() << "set KV_WRITE_FUZZ_SEEDS to the source folder to write the seeds";
  enum FormatIndex : char { Jpeg = 0, Tiff = 1, Nef = 2, Cr3 = 5, Raf = 6, UndefinedRaw = 7 };
  const QImage small = stillfix::quadrants(32, 16);
  const QByteArray jpeg6 = stillfix::withOrientation(stillfix::encodeJpeg(stillfix::storedFor(small, 6), 80), 6);
  const QByteArray progressive = stillfix::encodeJpeg(small, 80, TJFLAG_PROGRESSIVE);
  QByteArray tiff;
  {
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "tiff").write(stillfix::quadrants(8, 8));
  }
  const QByteArray nef = stillfix::rawWithRealPreview(jpeg6, 8);
  const QByteArray raf = QByteArray("FUJIFILMCCD-RAW 0201FF383501") + QByteArray(64, '\0') + jpeg6;
  const QByteArray dng = stillfix::tinyDng(16, 12, 3);
  auto head = [](char format, char orientation, bool quick) {
    return QByteArray(1, format) + QByteArray(1, orientation) + QByteArray(1, char((31 << 1) | (quick ? 1 : 0)));
  };
  const std::pair<const char*, QByteArray> still[] = {
      {"jpeg_orientation6", head(Jpeg, 0, false) + jpeg6},
      {"jpeg_turned_by_request", head(Jpeg, 8, false) + jpeg6},
      {"jpeg_progressive", head(Jpeg, 0, false) + progressive},
      {"jpeg_progressive_repeated_scans", head(Jpeg, 0, false) + stillfix::withRepeatedLastScan(progressive, 20)},
      {"jpeg_cut_off", head(Jpeg, 0, false) + jpeg6.left(jpeg6.size() * 2 / 3)},
      {"jpeg_declares_60000", head(Jpeg, 0, false) + stillfix::withDeclaredSize(jpeg6, 60000, 60000)},
      {"tiff_rgb", head(Tiff, 0, false) + tiff},
      {"nef_preview_only", head(Nef, 0, false) + nef},
      {"raf_preview_only", head(Raf, 0, true) + raf},
      {"dng_tiny", head(UndefinedRaw, 0, false) + dng},
      {"dng_tiny_half_size", head(UndefinedRaw, 6, true) + dng},
      {"cr3_unknown_bytes", head(Cr3, 0, false) + QByteArray("\0\0\0\x18" "ftypcrx ", 12) + QByteArray(32, 'x')},
  };
  const std::pair<const char*, QByteArray> thumbs[] = {
      {"jpeg_orientation6", QByteArray(1, char(24)) + jpeg6},
      {"nef_preview", QByteArray(1, char(16)) + nef},
      {"raf_preview", QByteArray(1, char(200)) + raf},
      {"not_an_image", QByteArray(1, char(64)) + QByteArray("plain text")},
  };
  using Seeds = std::span<const std::pair<const char*, QByteArray>>;
  for (auto [target, seeds] : {std::pair{"still_decode", Seeds(still)}, std::pair{"thumbnail_decode", Seeds(thumbs)}}) {
    for (const auto& [name, bytes] : seeds) {
      QFile f(root + "/fuzz/corpus/" + target + "/" + name);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << f.fileName().toStdString();
      f.write(bytes);
    }
  }
}
