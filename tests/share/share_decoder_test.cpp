// Decoding of unsolicited device messages, one frame at a time, into cache files and
// notifications: every message kind, chunk assembly and its breaks, size caps, device
// names, and messages whose lengths do not hold.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

#include "model/object_info_wrapper.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/bytes.h"
#include "ptp/base/filetypes.h"
#include "ptp/cache/cache.h"
#include "ptp/link/mailbox.h"
#include "share/share_decoder.h"
#include "share/watermark_settings.h"
#include "tests/ptp/vendors/vendors_frames.h"
#include "tests/share/share_event_log.h"
#include "tools/devsim/frames.h"
#include "tools/devsim/simulator.h"

namespace {

using devsim::Bytes;

Bytes bytesOf(const std::vector<uint8_t>& v) { return Bytes(v.begin(), v.end()); }

Bytes pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

PtpObjectInfoStruct makeRecord(uint32_t id, const std::string& name, uint32_t size = 0, uint32_t offset = 0,
                               uint16_t format = 0) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = format;
  r.objectCompressedSize = size;
  r.sequenceNumber = offset;
  r.captureDate = 1700000000;
  objectInfoSetFileName(r, name);
  return r;
}

Bytes recordBytes(const PtpObjectInfoStruct& r) {
  Bytes b(kObjectInfoBytes);
  std::memcpy(b.data(), &r, kObjectInfoBytes);
  return b;
}

Bytes relay(uint8_t code, const Bytes& payload) { return devsim::makeFrame(15, devsim::makeRelayBody(code, payload)); }
Bytes ptp(uint16_t code, const Bytes& payload) { return devsim::makeFrame(10, devsim::makeContainer(2, code, 7, payload)); }
Bytes control(uint8_t opcode, const Bytes& payload) { return devsim::makeControlRequest(opcode, payload); }
Bytes response(uint8_t opcode, const Bytes& payload, uint16_t result = 0x2001) {
  return devsim::makeControlReply(2, opcode, result, payload);
}

QByteArray qbytes(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

class ShareDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir().mkpath(cacheDir());
    QDir().mkpath(saveDir());
    ASSERT_EQ(cacheLoad(cacheDir().toUtf8().constData(), saveDir().toUtf8().constData()), 1);
    shareSetMode(ShareModeGeneration2);
  }
  void TearDown() override {
    cacheClear();
    shareSetMode(ShareModeNone);
  }

  QString cacheDir() const { return dir.path() + "/cache"; }
  QString saveDir() const { return dir.path() + "/save"; }

  void feed(const Bytes& frame) { decoder.handleFrame(std::span<const uint8_t>(frame.data(), frame.size())); }
  void partialInfo(uint32_t id, uint32_t size, uint32_t offset, const std::string& name = "P.JPG") {
    feed(relay(177, recordBytes(makeRecord(id, name, size, offset))));
  }

  // What was posted so far (the decoder runs on this thread).
  std::vector<std::shared_ptr<PtpImageData>> postedImages() const {
    ShareEventLog::settle();
    return log.images();
  }
  std::vector<std::shared_ptr<PtpImageData>> postedThumbnails() const {
    ShareEventLog::settle();
    return log.thumbnails();
  }
  std::vector<LiveViewImageEvent> postedFrames() const {
    ShareEventLog::settle();
    return log.of<LiveViewImageEvent>();
  }
  std::vector<ClientCanSaveUpdatedEvent> postedCanSave() const {
    ShareEventLog::settle();
    return log.of<ClientCanSaveUpdatedEvent>();
  }
  size_t defaultsUpdates() const {
    ShareEventLog::settle();
    return log.of<UserDefaultsUpdatedEvent>().size();
  }
  QByteArray fileBytes(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir;
  std::vector<QString> errors;
  ShareDecoder decoder{ShareDecoderHooks{[this](const QString& m) { errors.push_back(m); }, nullptr}};
  ShareEventLog log;
};

}  // namespace

TEST(ShareInnerLayouts, LengthsAreCheckedAgainstTheHeaderAndWhatArrived) {
  struct Case {
    const char* what;
    Bytes inner;
    std::optional<ShareInner> (*parse)(std::span<const uint8_t>);
    bool ok;
    size_t payload;
  };
  auto innerOf = [](const Bytes& frame) { return Bytes(frame.begin() + 5, frame.end()); };
  Bytes ptpOk = innerOf(ptp(0x1009, pattern(20, 1)));
  Bytes ptpLong = ptpOk;
  devsim::putU32(ptpLong, 0);  // four bytes more than the length says: ignored
  Bytes ptpClaimsMore = ptpOk;
  ptpClaimsMore[0] = 33;  // one byte more than arrived
  Bytes ptpBelowHeader = ptpOk;
  ptpBelowHeader[0] = 11;
  Bytes ctlOk = innerOf(control(128, pattern(9, 2)));
  Bytes ctlClaimsMore = ctlOk;
  ctlClaimsMore[0] = 15;
  Bytes ctlUnderflow = ctlOk;
  ctlUnderflow[0] = 4;
  Bytes respOk = innerOf(response(129, {1}));
  Bytes respUnderflow = respOk;
  respUnderflow[0] = 6;
  Bytes relayOk = innerOf(relay(178, pattern(5, 3)));
  Bytes relayClaimsMore = relayOk;
  relayClaimsMore[6] = 6;
  Bytes relayHuge = relayOk;
  devsim::putU32(relayHuge, 0);
  relayHuge[6] = relayHuge[7] = relayHuge[8] = relayHuge[9] = 0xFF;
  const std::vector<Case> cases = {
      {"ptp", ptpOk, sharePtpInner, true, 20},
      {"ptp with trailing bytes", ptpLong, sharePtpInner, true, 20},
      {"ptp claiming more", ptpClaimsMore, sharePtpInner, false, 0},
      {"ptp length below its header", ptpBelowHeader, sharePtpInner, false, 0},
      {"ptp header cut", Bytes(ptpOk.begin(), ptpOk.begin() + 7), sharePtpInner, false, 0},
      {"control", ctlOk, shareControlInner, true, 9},
      {"control claiming more", ctlClaimsMore, shareControlInner, false, 0},
      {"control length below its header", ctlUnderflow, shareControlInner, false, 0},
      {"control empty", {}, shareControlInner, false, 0},
      {"response", respOk, shareControlResponseInner, true, 1},
      {"response length below its header", respUnderflow, shareControlResponseInner, false, 0},
      {"response header cut", Bytes(respOk.begin(), respOk.begin() + 6), shareControlResponseInner, false, 0},
      {"relay", relayOk, shareRelayInner, true, 5},
      {"relay claiming more", relayClaimsMore, shareRelayInner, false, 0},
      {"relay claiming 4 GiB", relayHuge, shareRelayInner, false, 0},
      {"relay header cut", Bytes(relayOk.begin(), relayOk.begin() + 9), shareRelayInner, false, 0},
  };
  for (const auto& c : cases) {
    auto m = c.parse(std::span<const uint8_t>(c.inner.data(), c.inner.size()));
    EXPECT_EQ(m.has_value(), c.ok) << c.what;
    if (m && c.ok) {
      EXPECT_EQ(m->payload.size(), c.payload) << c.what;
    }
  }
  auto m = sharePtpInner(std::span<const uint8_t>(ptpOk.data(), ptpOk.size()));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->code, 0x1009);
  EXPECT_EQ(m->payload[0], pattern(20, 1)[0]);
}

// Chunk assembly: each case is a series of (object id, announced size, offset, chunk
// length) messages of one kind, and what must be posted.
TEST_F(ShareDecoderTest, ChunksAssembleOnlyInExactSequence) {
  struct Step {
    uint32_t id, size, offset, length;
  };
  struct Case {
    const char* what;
    int via;  // 0: PTP GetPartialObject, 1: Canon 0x912C, 2: opcode 65, 3: opcode 248
    std::vector<Step> steps;
    std::vector<size_t> posted;  // lengths of the objects posted, in order
  };
  const uint32_t n = 1000;
  const std::vector<Case> cases = {
      {"three chunks in order", 0, {{1, 3 * n, 0, n}, {1, 3 * n, n, n}, {1, 3 * n, 2 * n, n}}, {3 * n}},
      {"the same by Canon code", 1, {{1, 3 * n, 0, n}, {1, 3 * n, n, n}, {1, 3 * n, 2 * n, n}}, {3 * n}},
      {"the same by opcode 65", 2, {{1, 3 * n, 0, n}, {1, 3 * n, n, n}, {1, 3 * n, 2 * n, n}}, {3 * n}},
      {"out of order", 0, {{1, 3 * n, 0, n}, {1, 3 * n, 2 * n, n}, {1, 3 * n, n, n}}, {}},
      {"overlap loses the object and what follows",
       0,
       {{1, 3 * n, 0, n}, {1, 3 * n, n - 1, n}, {1, 3 * n, 2 * n - 1, n + 1}},
       {}},
      {"gap", 2, {{1, 3 * n, 0, n}, {1, 3 * n, n + 1, n}}, {}},
      {"another object mid-way", 0, {{1, 3 * n, 0, n}, {2, 3 * n, n, n}, {1, 3 * n, 2 * n, n}}, {}},
      {"by name, the handle is not checked", 3, {{1, 2 * n, 0, n}, {2, 2 * n, n, n}}, {2 * n}},
      {"first chunk not below the size", 0, {{1, n / 2, 0, n}}, {n}},
      {"size zero", 2, {{1, 0, 0, n}}, {n}},
      {"last chunk beyond the size is kept", 0, {{1, 2 * n - 10, 0, n}, {1, 2 * n - 10, n, n}}, {2 * n}},
      {"chunk after completion", 0, {{1, 2 * n, 0, n}, {1, 2 * n, n, n}, {1, 2 * n, 2 * n, n}}, {2 * n}},
      {"never completed, next object starts over",
       0,
       {{1, 3 * n, 0, n}, {1, 3 * n, n, n}, {2, n + 5, 0, n}, {2, n + 5, n, 5}},
       {n + 5}},
      {"size above the cap", 0, {{1, uint32_t(kSharePartialObjectMax + 1), 0, n}}, {}},
  };
  for (const auto& c : cases) {
    log.clear();
    std::vector<Bytes> chunks;
    for (const auto& s : c.steps) {
      partialInfo(s.id, s.size, s.offset);
      Bytes chunk = pattern(s.length, uint8_t(s.offset));
      chunks.push_back(chunk);
      switch (c.via) {
        case 0:
          feed(ptp(0x101B, chunk));
          break;
        case 1:
          feed(ptp(0x912C, chunk));
          break;
        case 2:
          feed(response(65, chunk));
          break;
        default:
          feed(response(248, chunk, 0x2019));  // the result is not looked at
          break;
      }
    }
    auto images = postedImages();
    ASSERT_EQ(images.size(), c.posted.size()) << c.what;
    for (size_t i = 0; i < images.size(); ++i) EXPECT_EQ(size_t(images[i]->getImageData().size()), c.posted[i]) << c.what;
    if (!c.posted.empty()) {
      EXPECT_FALSE(decoder.hasPartialObjectData()) << c.what;
    }
  }
}

TEST_F(ShareDecoderTest, ACompletedObjectIsPostedWholeWithItsRecordAndStoredInTheSaveFolder) {
  Bytes a = pattern(300, 1), b = pattern(200, 2);
  partialInfo(42, 500, 0, "IMG_0042.JPG");
  feed(ptp(0x101B, a));
  EXPECT_TRUE(decoder.hasPartialObjectData());
  EXPECT_EQ(decoder.partialObjectLength(), 300);
  partialInfo(42, 500, 300, "IMG_0042.JPG");
  feed(ptp(0x101B, b));
  EXPECT_FALSE(decoder.hasPartialObjectData());
  auto images = postedImages();
  ASSERT_EQ(images.size(), 1u);
  Bytes whole = a;
  whole.insert(whole.end(), b.begin(), b.end());
  EXPECT_EQ(images[0]->getImageData(), qbytes(whole));
  EXPECT_EQ(images[0]->getObjectInfo()->fileName(), QStringLiteral("IMG_0042.JPG"));
  EXPECT_EQ(images[0]->getObjectInfo()->objectFormat(), kFormatJpeg);  // from the name
  EXPECT_EQ(fileBytes(saveDir() + "/IMG_0042.JPG"), qbytes(whole));
  EXPECT_TRUE(QFile::exists(cacheDir() + "/IMG_0042.JPG.obj"));
}

TEST_F(ShareDecoderTest, AnUnusablePartialRecordHoldsBackChunksUntilTheNextOne) {
  partialInfo(1, 2000, 0);
  feed(ptp(0x101B, pattern(1000, 1)));
  Bytes cut = recordBytes(makeRecord(1, "P.JPG", 1000, 0));
  cut.resize(607);
  feed(relay(177, cut));
  EXPECT_FALSE(decoder.hasPartialObjectData());
  feed(ptp(0x101B, pattern(1000, 1)));  // would otherwise complete a 1000-byte object
  EXPECT_TRUE(postedImages().empty());
  partialInfo(3, 10, 0);
  feed(ptp(0x101B, pattern(10, 1)));
  EXPECT_EQ(postedImages().size(), 1u);
}

TEST_F(ShareDecoderTest, WholeObjectsUpToTheLimitArePostedAndStored) {
  feed(relay(176, recordBytes(makeRecord(7, "BIG.JPG"))));
  Bytes limit(kShareWholeObjectMax, 0x5A);
  feed(ptp(0x1009, limit));
  Bytes over(kShareWholeObjectMax + 1, 0x5B);
  feed(ptp(0x1009, over));
  auto images = postedImages();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0]->getImageData().size(), qsizetype(kShareWholeObjectMax));
  EXPECT_EQ(QFileInfo(saveDir() + "/BIG.JPG").size(), qint64(kShareWholeObjectMax));
}

TEST_F(ShareDecoderTest, ThumbnailsOfEveryKindAreFiledUnderTheCurrentObject) {
  feed(relay(176, recordBytes(makeRecord(9, "T.JPG"))));
  Bytes thumb = bytesOf(vendorstest::jpeg(60));
  feed(ptp(0x100A, thumb));
  auto t = postedThumbnails();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0]->getImageData(), qbytes(thumb));
  EXPECT_EQ(t[0]->getObjectInfo()->objectId(), 9u);
  EXPECT_EQ(fileBytes(cacheDir() + "/T.JPG.thumb"), qbytes(thumb));

  // Canon GetThumbEx: the JPEG is cut out and the orientation entry read.
  Bytes canon = {'I', 'I', 0x2A, 0x00, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 0x03, 0x00, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  canon.insert(canon.end(), thumb.begin(), thumb.end());
  feed(ptp(0x910A, canon));
  t = postedThumbnails();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1]->getImageData(), qbytes(thumb));
  EXPECT_EQ(t[1]->getObjectInfo()->orientation(), 6);
  PtpObjectInfoStruct cached{};
  ASSERT_EQ(cacheGetRecord(makeRecord(9, "T.JPG"), &cached), 1);
  EXPECT_EQ(cached.orientation, 6);

  // No JPEG in a GetThumbEx reply: the user is told, nothing is posted.
  feed(ptp(0x910A, pattern(50, 0)));
  EXPECT_EQ(errors, std::vector<QString>{QStringLiteral("Failed to extract thumbnail.")});
  EXPECT_EQ(postedThumbnails().size(), 2u);

  // By name: orientation byte, then the thumbnail; just the byte is an empty thumbnail;
  // not even the byte is nothing.
  Bytes byName = {3};
  byName.insert(byName.end(), thumb.begin(), thumb.end());
  feed(response(242, byName));
  feed(response(242, {8}));
  feed(response(242, {}));
  t = postedThumbnails();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[2]->getImageData(), qbytes(thumb));
  EXPECT_EQ(t[2]->getObjectInfo()->orientation(), 3);
  EXPECT_TRUE(t[3]->getImageData().isEmpty());
  EXPECT_EQ(t[3]->getObjectInfo()->orientation(), 8);
  EXPECT_EQ(decoder.lastObjectInfo().orientation, 8);
}

TEST_F(ShareDecoderTest, ExtractedJpegsOfARawObjectGoBesideItUnderOneName) {
  feed(relay(176, recordBytes(makeRecord(11, "IMG_1.CR2"))));
  EXPECT_EQ(decoder.lastObjectInfo().objectFormat, kFormatCr2);
  Bytes first = bytesOf(vendorstest::jpeg(80)), second = bytesOf(vendorstest::jpeg(90, 0x22));
  feed(control(177, first));
  feed(response(249, second));
  auto images = postedImages();
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0]->getObjectInfo()->fileName(), QStringLiteral("IMG_1.CR2.ext.jpg"));
  EXPECT_EQ(images[1]->getObjectInfo()->fileName(), QStringLiteral("IMG_1.CR2.ext.jpg"));
  EXPECT_EQ(fileBytes(saveDir() + "/IMG_1.CR2.ext.jpg"), qbytes(second));
  EXPECT_FALSE(QFile::exists(saveDir() + "/IMG_1.CR2.ext.jpg.ext.jpg"));

  // A name with no room left keeps the suffix; the name is cut at a character boundary.
  std::string longName = std::string(242, 'a') + "\xC3\xA4\xC3\xA4\xC3\xA4.NEF";
  feed(relay(176, recordBytes(makeRecord(12, longName))));
  feed(response(113, first));
  images = postedImages();
  ASSERT_EQ(images.size(), 3u);
  QString name = images[2]->getObjectInfo()->fileName();
  EXPECT_TRUE(name.endsWith(QStringLiteral(".ext.jpg")));
  EXPECT_LE(name.toUtf8().size(), 255);
  EXPECT_FALSE(name.contains(QChar::ReplacementCharacter));

  // A JPEG object keeps its name.
  feed(relay(176, recordBytes(makeRecord(13, "J.JPG"))));
  feed(control(249, first));
  EXPECT_EQ(postedImages().back()->getObjectInfo()->fileName(), QStringLiteral("J.JPG"));
}

TEST_F(ShareDecoderTest, LiveViewFramesCarryTheirCameraAndBadOnesAreDropped) {
  Bytes fuji = bytesOf(vendorstest::jpeg(100));
  feed(response(136, fuji));
  Bytes nikon(64, 0);
  Bytes j = bytesOf(vendorstest::jpeg(1200));
  nikon.insert(nikon.end(), j.begin(), j.end());
  feed(ptp(0x9203, nikon));
  feed(ptp(0x9428, nikon));
  feed(ptp(0x9203, Bytes(1500, 0)));  // no JPEG
  Bytes canon = bytesOf(vendorstest::liveViewReply(8, vendorstest::jpeg(300), {}));
  feed(ptp(0x9153, canon));
  feed(ptp(0x9153, Bytes(100, 0)));  // short
  auto frames = postedFrames();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].camera, 12);
  EXPECT_EQ(frames[0].data, qbytes(fuji));
  EXPECT_EQ(frames[1].camera, 15);
  EXPECT_EQ(frames[1].data, qbytes(j));
  EXPECT_EQ(frames[2].camera, 15);
  EXPECT_EQ(frames[3].camera, 13);
  EXPECT_FALSE(frames[3].data.isEmpty());
}

TEST_F(ShareDecoderTest, SavePermissionFollowsTheFirstByte) {
  feed(response(129, {1, 0}));
  feed(response(129, {0}));
  feed(response(129, {}));
  auto p = postedCanSave();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_TRUE(p[0].canSave);
  EXPECT_FALSE(p[1].canSave);
}

TEST_F(ShareDecoderTest, WatermarkSettingsLandInTheDefaults) {
  auto& defaults = UserDefaults::standardUserDefaults();
  auto record = [](uint8_t show, uint8_t location, uint8_t size, const std::string& text) {
    Bytes r(kWatermarkRecordBytes, 0);
    r[4] = show, r[5] = location, r[6] = size;
    std::memcpy(r.data() + 7, text.data(), std::min(text.size(), kWatermarkTextBytes));
    return r;
  };
  feed(control(128, record(1, 2, 3, "Studio \xC3\x84")));
  EXPECT_TRUE(defaults.boolForKey(kDefaultsShowWatermark));
  EXPECT_EQ(defaults.integerForKey(kDefaultsWatermarkLocation), 2);
  EXPECT_EQ(defaults.integerForKey(kDefaultsWatermarkSize), 3);
  EXPECT_EQ(defaults.stringForKey(kDefaultsWatermarkText), QString::fromUtf8("\xC2\xA9 Studio \xC3\x84"));
  EXPECT_EQ(defaultsUpdates(), 1u);

  // Invalid UTF-8 (also a sequence cut by the end of the field): the text stays.
  for (const std::string& bad : {std::string("ab\xFF"), std::string(127, 'x') + "\xC3"}) {
    feed(response(128, record(0, 4, 5, bad)));
    EXPECT_FALSE(defaults.boolForKey(kDefaultsShowWatermark));
    EXPECT_EQ(defaults.integerForKey(kDefaultsWatermarkLocation), 4);
    EXPECT_EQ(defaults.stringForKey(kDefaultsWatermarkText), QString::fromUtf8("\xC2\xA9 Studio \xC3\x84"));
  }
  EXPECT_EQ(defaultsUpdates(), 3u);

  // 128 text bytes without a NUL end at the field; a cut record changes nothing.
  feed(control(128, record(1, 1, 1, std::string(128, 'w'))));
  EXPECT_EQ(defaults.stringForKey(kDefaultsWatermarkText), QString::fromUtf8("\xC2\xA9 ") + QString(128, 'w'));
  Bytes cut = record(0, 9, 9, "cut");
  cut.resize(kWatermarkRecordBytes - 1);
  feed(control(128, cut));
  EXPECT_EQ(defaults.integerForKey(kDefaultsWatermarkLocation), 1);
  EXPECT_EQ(defaultsUpdates(), 4u);
}

TEST_F(ShareDecoderTest, ObjectRecordsAreCompletedWidenedAndStored) {
  // Generation 1: the packed layout is widened; fields after the gaps land in place.
  shareSetMode(ShareModeGeneration1);
  Bytes g1(584, 0);
  bytesPutU32(g1.data() + 0, 77);
  bytesPutU32(g1.data() + 8, 12345);  // objectCompressedSize
  bytesPutU32(g1.data() + 14, 999);   // thumbCompressedSize
  bytesPutU32(g1.data() + 44, 5);     // associationDesc
  std::memcpy(g1.data() + 52, "DSC_0077.NEF", 12);
  bytesPutU32(g1.data() + 312, 1700000000);
  feed(relay(176, g1));
  const PtpObjectInfoStruct& r = decoder.lastObjectInfo();
  EXPECT_EQ(r.objectId, 77u);
  EXPECT_EQ(r.objectCompressedSize, 12345u);
  EXPECT_EQ(r.thumbCompressedSize, 999u);
  EXPECT_EQ(r.associationDesc, 5u);
  EXPECT_STREQ(r.fileName, "DSC_0077.NEF");
  EXPECT_EQ(r.objectFormat, kFormatNef);
  EXPECT_EQ(r.captureDate, 1700000000u);
  EXPECT_TRUE(QFile::exists(cacheDir() + "/DSC_0077.NEF.obj"));

  // Generation 2, short: the missing tail is zero, not the previous object's.
  shareSetMode(ShareModeGeneration2);
  Bytes shortRecord = recordBytes(makeRecord(78, "S.JPG", 55));
  shortRecord.resize(100);
  feed(relay(176, shortRecord));
  EXPECT_EQ(decoder.lastObjectInfo().objectId, 78u);
  EXPECT_EQ(decoder.lastObjectInfo().captureDate, 0u);
  EXPECT_STREQ(decoder.lastObjectInfo().fileName, "S.JPG");

  // A name filling the whole field is cut at its last byte.
  Bytes unterminated = recordBytes(makeRecord(79, "X"));
  std::memset(unterminated.data() + offsetof(PtpObjectInfoStruct, fileName), 'n', kObjectNameBytes);
  feed(relay(176, unterminated));
  EXPECT_EQ(std::strlen(decoder.lastObjectInfo().fileName), kObjectNameBytes - 1);
}

TEST_F(ShareDecoderTest, CardFileNamesBecomeRecordsInsideTheCacheOnly) {
  auto name = [](const std::string& s, bool nul = true) {
    Bytes b(s.begin(), s.end());
    if (nul) b.push_back(0);
    return b;
  };
  feed(relay(178, name("Bild_\xC3\xA4.JPG")));
  EXPECT_EQ(decoder.lastSdFileName(), QString::fromUtf8("Bild_\xC3\xA4.JPG"));
  PtpObjectInfoStruct probe = makeRecord(kObjectIdNone, "Bild_\xC3\xA4.JPG");
  PtpObjectInfoStruct cached{};
  ASSERT_EQ(cacheGetRecord(probe, &cached), 1);
  EXPECT_EQ(cached.fileNameLength, 10);  // characters, not bytes
  EXPECT_EQ(cached.objectFormat, kFormatJpeg);
  EXPECT_EQ(cached.objectId, kObjectIdNone);
  // Each card file keeps its own entry.
  feed(relay(178, name("Second.JPG")));
  EXPECT_EQ(cacheCount(), 2u);
  ASSERT_EQ(cacheGetRecord(probe, &cached), 1);
  EXPECT_STREQ(cached.fileName, "Bild_\xC3\xA4.JPG");

  // Names that try to leave the folder, or hide as its files, stay inside it.
  for (std::string bad : {"../../escape.JPG", "/tmp/abs.JPG", "..", ".kvtmp.x", "a/../../b.JPG"}) {
    feed(relay(178, name(bad)));
    EXPECT_EQ(decoder.lastSdFileName(), QString::fromStdString(bad));
  }
  EXPECT_FALSE(QFile::exists(dir.path() + "/escape.JPG.obj"));
  EXPECT_FALSE(QFile::exists(QDir::rootPath() + "tmp/abs.JPG.obj"));
  EXPECT_FALSE(QFile::exists(dir.path() + "/b.JPG.obj"));
  QStringList inDir = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  inDir.sort();
  EXPECT_EQ(inDir, (QStringList{"cache", "save"}));

  // Not UTF-8, too long for the record, or without a NUL: no record from a guess.
  size_t before = cacheCount();
  feed(relay(178, name("bad\xFF.JPG")));
  EXPECT_EQ(decoder.lastSdFileName(), QString::fromStdString("a/../../b.JPG"));
  feed(relay(178, name(std::string(300, 'L') + ".JPG")));
  EXPECT_EQ(cacheCount(), before);
  feed(relay(178, name("NONUL.JPG", false)));
  EXPECT_EQ(decoder.lastSdFileName(), QStringLiteral("NONUL.JPG"));
  EXPECT_EQ(cacheCount(), before + 1);
}

TEST_F(ShareDecoderTest, UnknownAndMalformedMessagesChangeNothing) {
  feed(relay(176, recordBytes(makeRecord(5, "KEEP.JPG"))));
  partialInfo(5, 100, 0);
  feed(ptp(0x101B, pattern(40, 1)));
  const std::vector<Bytes> ignored = {
      {},
      {1, 2, 3},
      devsim::makeFrame(11, pattern(20, 1)),
      devsim::makeFrame(14, pattern(20, 1)),
      devsim::makeFrame(9, pattern(20, 1)),
      ptp(0x1001, pattern(20, 1)),
      control(129, {1}),
      response(200, {1}),
      relay(179, pattern(608, 1)),
      devsim::makeFrame(10, Bytes{0x50, 0, 0, 0, 2, 0, 0x09, 0x10}),  // claims 80 bytes, has 8
      devsim::makeFrame(15, Bytes{20, 0, 0, 0, 161, 176, 0xFF, 0xFF, 0xFF, 0x7F}),
  };
  for (const auto& f : ignored) feed(f);
  ShareEventLog::settle();
  EXPECT_EQ(log.size(), 0u);
  EXPECT_STREQ(decoder.lastObjectInfo().fileName, "KEEP.JPG");
  EXPECT_EQ(decoder.partialObjectLength(), 40);
}
