// The running share session decoding what the simulated device pushes: every kind of
// unsolicited message reaches its notification in arrival order, and malformed or
// oversize ones are passed over without ending the session.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <mutex>

#include "model/object_info_wrapper.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_decoder.h"
#include "support/qt_test_support.h"
#include "tests/share/share_event_log.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;
using devsim::Bytes;

namespace {

Bytes recordBytes(uint32_t id, const char* name, uint32_t size, uint32_t offset) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectCompressedSize = size;
  r.sequenceNumber = offset;
  objectInfoSetFileName(r, name);
  Bytes b(kObjectInfoBytes);
  std::memcpy(b.data(), &r, kObjectInfoBytes);
  return b;
}

Bytes fill(size_t n, uint8_t v) { return Bytes(n, v); }

class ShareDecoderSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    timing().receiveTimeout = 30s;
    ASSERT_TRUE(dir.isValid());
    QDir().mkpath(dir.path() + "/cache");
    QDir().mkpath(dir.path() + "/save");
    ASSERT_EQ(cacheLoad((dir.path() + "/cache").toUtf8().constData(), (dir.path() + "/save").toUtf8().constData()), 1);
    sim = std::make_unique<devsim::Simulator>();
    ASSERT_TRUE(sim->start());
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(30s));
    shareSetMode(ShareModeGeneration2);
    handledObserver = observeMessageHandled(nullptr, [this] { handled++; });
    ASSERT_TRUE(ShareComms::instance().start());
  }
  void TearDown() override {
    ShareComms::instance().stop();
    NotificationCenter::defaultCenter().removeObserver(handledObserver);
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    cacheClear();
  }

  bool waitHandled(int n) { return kvtest::waitUntil([&] { return handled.load() >= n; }); }

  ScopedTiming restore;
  QTemporaryDir dir;
  std::unique_ptr<devsim::Simulator> sim;
  ShareEventLog log;
  EventObserverId handledObserver = 0;
  std::atomic<int> handled{0};
};

}  // namespace

TEST_F(ShareDecoderSimTest, EveryKindOfPushBecomesItsNotificationInOrder) {
  int sent = 0;
  auto count = [&](bool ok) { ASSERT_TRUE(ok); ++sent; };
  count(sim->sendFrame(15, devsim::makeRelayBody(176, recordBytes(21, "SIM_21.JPG", 0, 0), kObjectInfoBytes)));
  count(sim->pushPtp(2, 0x100A, fill(30, 0x31)));
  count(sim->pushPtp(2, 0x1009, fill(2000, 0x32)));
  for (uint32_t i = 0; i < 3; ++i) {
    count(sim->sendFrame(15, devsim::makeRelayBody(177, recordBytes(22, "SIM_22.JPG", 3000, 1000 * i), kObjectInfoBytes)));
    count(sim->sendControlReply(65, 0x2001, fill(1000, uint8_t(0x40 + i))));
  }
  count(sim->pushControl(177, fill(50, 0x33)));  // extracted JPEG
  count(sim->sendControlReply(129, 0x2001, {1}));
  count(sim->sendControlReply(136, 0x2001, fill(40, 0x34)));
  ASSERT_TRUE(waitHandled(sent));

  auto p = log.entries();
  EXPECT_EQ(log.names(), (std::vector<std::string>{ShareThumbnailDownloadedEvent::kName, ImageDataEvent::kName,
                                                   ImageDataEvent::kName, ImageDataEvent::kName,
                                                   ClientCanSaveUpdatedEvent::kName, LiveViewImageEvent::kName}));
  ASSERT_EQ(p.size(), 6u);
  auto img = [&](size_t i) {
    if (auto* e = std::get_if<ImageDataEvent>(&p[i])) return e->image;
    return std::get<ShareThumbnailDownloadedEvent>(p[i]).image;
  };
  EXPECT_EQ(img(0)->getImageData(), QByteArray(30, 0x31));
  EXPECT_EQ(img(1)->getImageData(), QByteArray(2000, 0x32));
  EXPECT_EQ(img(1)->getObjectInfo()->fileName(), QStringLiteral("SIM_21.JPG"));
  QByteArray assembled = QByteArray(1000, 0x40) + QByteArray(1000, 0x41) + QByteArray(1000, 0x42);
  EXPECT_EQ(img(2)->getImageData(), assembled);
  EXPECT_EQ(img(2)->getObjectInfo()->objectId(), 22u);
  EXPECT_EQ(img(3)->getImageData(), QByteArray(50, 0x33));
  EXPECT_TRUE(std::get<ClientCanSaveUpdatedEvent>(p[4]).canSave);
  EXPECT_EQ(std::get<LiveViewImageEvent>(p[5]).camera, 12);

  QFile saved(dir.path() + "/save/SIM_22.JPG");
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), assembled);
  EXPECT_TRUE(QFile::exists(dir.path() + "/cache/SIM_21.JPG.thumb"));
}

TEST_F(ShareDecoderSimTest, LyingLengthsAndOversizeClaimsArePassedOverAndTheSessionGoesOn) {
  int sent = 0;
  auto count = [&](bool ok) { ASSERT_TRUE(ok); ++sent; };
  // A relay claiming more than its frame holds.
  count(sim->sendFrame(15, devsim::makeRelayBody(176, recordBytes(31, "LIE.JPG", 0, 0), 0x7FFFFFFF)));
  // A PTP container and a control reply whose own lengths exceed the frame.
  Bytes container = devsim::makeContainer(2, 0x1009, 0xF0001000u, fill(64, 1));
  devsim::putU32(container, 0);
  container[0] = 0xFF, container[1] = 0xFF, container[2] = 0xFF, container[3] = 0x0F;
  count(sim->sendFrame(10, container));
  Bytes reply = {0xFF, 0xFF, 0x00, 0x00, 65, 0x01, 0x20, 1, 2, 3};
  count(sim->sendFrame(13, reply));
  // An object announced above the cap: its chunk is not kept.
  count(sim->sendFrame(15, devsim::makeRelayBody(177, recordBytes(32, "HUGE.JPG", 0xFFFFFFF0u, 0), kObjectInfoBytes)));
  count(sim->sendControlReply(65, 0x2001, fill(4096, 7)));
  // A whole object one byte over the limit: the link drains it unread, so it is never handed on.
  ASSERT_TRUE(sim->pushPtp(2, 0x1009, fill(kShareWholeObjectMax + 1, 2)));
  // Then a good thumbnail still arrives.
  count(sim->pushPtp(2, 0x100A, fill(10, 3)));
  ASSERT_TRUE(waitHandled(sent));
  EXPECT_EQ(log.names(), std::vector<std::string>{ShareThumbnailDownloadedEvent::kName});
  EXPECT_TRUE(ShareComms::instance().hasPtpQueue());
  EXPECT_FALSE(QFile::exists(dir.path() + "/save/HUGE.JPG"));
  EXPECT_FALSE(QFile::exists(dir.path() + "/cache/LIE.JPG.obj"));
}
