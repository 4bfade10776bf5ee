// Downloads a user starts (a thumbnail click, sharing a photo) in both device generations,
// and movie ranges that do not hold what was asked.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "model/utilities.h"
#include "platform/paths.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/commands.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "ptp/protocol/ptp_transport.h"
#include "support/qt_test_support.h"
#include "tests/model/model_test_support.h"
#include "tools/devsim/simulator.h"

namespace {

PtpObjectInfoStruct photo(const std::string& name, uint32_t handle, uint32_t size) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = size;
  r.imagePixWidth = 640;  // known: nothing to refresh first
  r.captureDate = 1700000000;
  objectInfoSetFileName(r, name);
  return r;
}

devsim::Bytes pattern(size_t n, uint8_t seed) {
  devsim::Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 13);
  return b;
}

QByteArray qbytes(const devsim::Bytes& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

class DownloadFixture : public ::testing::Test {
 protected:
  void connect(int generation) {
    ASSERT_TRUE(root.isValid());
    Paths::setDocumentsDirectory(root.path());
    QDir().mkpath(root.path() + "/cache");
    QDir().mkpath(root.path() + "/save");
    ASSERT_EQ(cacheLoad((root.path() + "/cache").toUtf8().constData(), (root.path() + "/save").toUtf8().constData()),
              1);
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{generation});
    ASSERT_TRUE(sim->start());
    timing().receiveTimeout = std::chrono::milliseconds(30000);
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(std::chrono::milliseconds(30000)));
    shareSetMode(generation == 1 ? ShareModeGeneration1 : ShareModeGeneration2);
    // What a running share session provides: its reader, and PTP carried over the link.
    ASSERT_EQ(shareStartReader(), PTP_RC_OK);
    ptpSetTransport(shareSendPtp, [](ByteBuffer& c, void*, uint32_t*) { return shareReceivePtp(c); });
  }
  void TearDown() override {
    shareStopReader();
    ptpSetTransport(nullptr, nullptr);
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    cacheLoad(nullptr, nullptr);
    Paths::setDocumentsDirectory(QString());
  }
  ScopedTiming restore;
  QTemporaryDir root;
  std::unique_ptr<devsim::Simulator> sim;
};

class DownloadInGeneration : public DownloadFixture, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(DownloadInGeneration, AThumbnailClickAndSharingFetchTheImage) {
  const int generation = GetParam();
  connect(generation);
  const devsim::Bytes clicked = pattern(300000, 1), shared = pattern(70000, 2);
  sim->addObject(41, clicked);
  sim->addObject(42, shared);

  // The thumbnail strip asks in the session's own version.
  QByteArray out;
  const size_t before = sim->receivedCount();
  ASSERT_EQ(Utilities::downloadImage(photo("IMG_0041.JPG", 41, uint32_t(clicked.size())), out,
                                     static_cast<uint8_t>(shareGetMode())),
            PTP_RC_OK);
  EXPECT_EQ(out, qbytes(clicked));
  EXPECT_GT(sim->receivedCount(), before);

  // Sharing downloads into the cache and hands out the file's bytes.
  modeltest::AlertAnswerer answerer;
  const auto sharedRecord = photo("IMG_0042.JPG", 42, uint32_t(shared.size()));
  EXPECT_EQ(Utilities::getImageForSharing(&sharedRecord, false, false), qbytes(shared));
  EXPECT_TRUE(answerer.seen().empty());
  QFile saved(root.path() + "/save/IMG_0042.JPG");
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), qbytes(shared));
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, DownloadInGeneration, ::testing::Values(1, 2));

TEST_F(DownloadFixture, AMovieRangeLongerThanAskedFailsAndLeavesNoFile) {
  connect(2);
  const devsim::Bytes movie = pattern(3 * 1024 * 1024, 3);
  sim->addObject(9, movie);
  // The device answers the second range with more than was asked.
  sim->setControlHandler(DeviceOpcodePartialObject, [&](const devsim::ControlRequest& rq) {
    const uint32_t offset = uint32_t(rq.payload[4]) | uint32_t(rq.payload[5]) << 8 | uint32_t(rq.payload[6]) << 16 |
                            uint32_t(rq.payload[7]) << 24;
    const uint32_t length = uint32_t(rq.payload[8]) | uint32_t(rq.payload[9]) << 8 |
                            uint32_t(rq.payload[10]) << 16 | uint32_t(rq.payload[11]) << 24;
    const uint32_t give = offset == 0 ? length : length + 4096;
    devsim::Bytes range(movie.begin() + offset, movie.begin() + std::min<size_t>(movie.size(), offset + give));
    if (range.size() < give) range.resize(give, 0xEE);
    return devsim::ControlReply{0x2001, range};
  });
  QTemporaryDir folder;
  modeltest::AlertAnswerer answerer;
  PtpResponseCode rc = PTP_RC_OK;
  PtpObjectInfoStruct record = photo("clip.MOV", 9, uint32_t(movie.size()));
  record.objectFormat = 0x300D;
  EXPECT_TRUE(Utilities::downloadVideo(record, folder.path(), nullptr, nullptr, rc).isEmpty());
  EXPECT_NE(rc, PTP_RC_OK);
  EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
  ASSERT_TRUE(kvtest::waitUntil([&] { return !answerer.seen().empty(); }));
  EXPECT_TRUE(answerer.seen().front().information.startsWith("Failed to download video."));
}
