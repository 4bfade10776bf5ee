// The demo simulator pushing shots to a client through the share mailbox: the order and
// form of each shot's messages in both generations, a client that connects again, and
// the simulator stopped in the middle of the stream.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "ptp/base/ptp_codes.h"
#include "tests/ptp/link/mailbox_fixture.h"
#include "tools/devsim/demo.h"

using namespace std::chrono_literals;

namespace demopushtest {

constexpr int64_t kTime = 1797000000;
constexpr uint64_t kSeed = 3;

// Takes unsolicited messages on its own thread, as the share session's loop does.
class Collector {
 public:
  Collector() {
    thread_ = std::thread([this] {
      ByteBuffer m;
      while (shareTakeUnsolicited(m)) {
        std::lock_guard lock(mutex_);
        got_.push_back(std::move(m));
      }
    });
  }
  ~Collector() { join(); }
  void join() {
    if (thread_.joinable()) thread_.join();
  }
  size_t count() const {
    std::lock_guard lock(mutex_);
    return got_.size();
  }
  std::vector<ByteBuffer> messages() const {
    std::lock_guard lock(mutex_);
    return got_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<ByteBuffer> got_;
  std::thread thread_;
};

std::vector<uint8_t> tail(const ByteBuffer& m, size_t from) {
  return from <= m.size() ? std::vector<uint8_t>(m.begin() + long(from), m.end()) : std::vector<uint8_t>{};
}
std::vector<uint8_t> plain(const devsim::Bytes& b) { return {b.begin(), b.end()}; }

// One shot as it arrived: its record (widened when the generation packs it), thumbnail
// with the orientation the message gave, and object.
struct Arrived {
  PtpObjectInfoStruct record{};
  int thumbnailOrientation = -1;  // -1: the message carries none
  std::vector<uint8_t> thumbnail, object;
};

Arrived decodeShot(const std::vector<ByteBuffer>& m, size_t first, int generation) {
  Arrived a;
  const ByteBuffer& relay = m.at(first);
  EXPECT_EQ(relay.at(4), 15);
  EXPECT_EQ(relay.at(10), 176);  // object record
  std::vector<uint8_t> record = tail(relay, 15);
  EXPECT_EQ(record.size(), generation == 1 ? 584u : kObjectInfoBytes);
  record.resize(kObjectInfoBytes, 0);
  if (generation == 1) shareWidenObjectInfo(record.data());
  std::memcpy(&a.record, record.data(), kObjectInfoBytes);

  const ByteBuffer& thumb = m.at(first + 1);
  if (generation == 1) {
    // A thumbnail-by-name reply: orientation byte, then the JPEG.
    EXPECT_EQ(thumb.at(4), 13);
    EXPECT_EQ(thumb.at(9), 242);
    a.thumbnailOrientation = thumb.at(12);
    a.thumbnail = tail(thumb, 13);
  } else {
    EXPECT_EQ(thumb.at(4), 10);
    EXPECT_EQ(bytesGetU16(thumb.data() + 11), PTP_OC_GetThumb);
    a.thumbnail = tail(thumb, 17);
  }
  const ByteBuffer& object = m.at(first + 2);
  EXPECT_EQ(object.at(4), 10);
  EXPECT_EQ(bytesGetU16(object.data() + 9), 2);  // a data container
  EXPECT_EQ(bytesGetU16(object.data() + 11), PTP_OC_GetObject);
  a.object = tail(object, 17);
  return a;
}

void expectShot(const Arrived& a, uint32_t index, int generation) {
  SCOPED_TRACE(index);
  const devsim::DemoShot s = devsim::makeDemoShot(kSeed, index, kTime);
  const PtpObjectInfoStruct r = s.record();
  EXPECT_EQ(a.record.objectId, r.objectId);
  EXPECT_EQ(a.record.objectFormat, r.objectFormat);
  EXPECT_EQ(a.record.objectCompressedSize, r.objectCompressedSize);
  EXPECT_EQ(a.record.thumbCompressedSize, r.thumbCompressedSize);
  EXPECT_EQ(a.record.imagePixWidth, r.imagePixWidth);
  EXPECT_EQ(a.record.imagePixHeight, r.imagePixHeight);
  EXPECT_STREQ(a.record.fileName, r.fileName);
  EXPECT_EQ(a.record.fileNameLength, r.fileNameLength);
  EXPECT_EQ(a.record.captureDate, r.captureDate);
  EXPECT_EQ(a.record.modificationDate, r.modificationDate);
  // Generation 1 has no room for it in the record; its thumbnail message brings it.
  EXPECT_EQ(a.record.orientation, generation == 1 ? 0 : s.orientation);
  EXPECT_EQ(a.thumbnailOrientation, generation == 1 ? s.orientation : -1);
  EXPECT_EQ(a.thumbnail, plain(s.thumbnail));
  EXPECT_EQ(a.object, plain(s.file));
}

class DemoPush : public MailboxFixture, public ::testing::WithParamInterface<int> {
 protected:
  devsim::Demo::Options options() const {
    devsim::Demo::Options o;
    o.interval = 0ms;  // back to back: as many shots as the test waits for
    o.seed = kSeed;
    o.firstCaptureTime = kTime;
    return o;
  }
};

TEST_P(DemoPush, ShotsGoOutAsRecordThumbnailAndObjectUntilTheSimulatorStops) {
  const int generation = GetParam();
  startSession(generation);
  devsim::Demo demo(*sim, options());
  demo.start();
  Collector collector;
  ASSERT_EQ(shareSendClientName("demo test"), PTP_RC_OK);
  ASSERT_TRUE(waitFor([&] { return collector.count() >= 6; }));
  // Stopped while it pushes: the stream ends, the client's reader with it, and the demo
  // ends its thread when it is destroyed.
  sim->stop();
  collector.join();
  const auto m = collector.messages();
  ASSERT_GE(m.size(), 6u);
  expectShot(decodeShot(m, 0, generation), 0, generation);
  expectShot(decodeShot(m, 3, generation), 1, generation);
  EXPECT_GE(demo.shotsPushed(), 2u);
}

TEST_P(DemoPush, AClientThatConnectsAgainGetsTheShotsThatFollow) {
  const int generation = GetParam();
  startSession(generation);
  devsim::Demo demo(*sim, options());
  demo.start();
  uint32_t lastSeen = 0;
  {
    Collector collector;
    ASSERT_EQ(shareSendClientName("first"), PTP_RC_OK);
    ASSERT_TRUE(waitFor([&] { return collector.count() >= 3; }));
    shareStopReader();
    linkDisconnect();
    collector.join();
    const auto m = collector.messages();
    expectShot(decodeShot(m, 0, generation), 0, generation);
    lastSeen = uint32_t(m.size() / 3);
  }
  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
  ASSERT_TRUE(waitFor([&] { return sim->connectionCount() == 2; }));
  ASSERT_EQ(shareStartReader(), PTP_RC_OK);
  Collector collector;
  ASSERT_EQ(shareSendClientName("second"), PTP_RC_OK);
  ASSERT_TRUE(waitFor([&] { return collector.count() >= 3; }));
  demo.stop();
  shareStopReader();
  collector.join();
  const auto m = collector.messages();
  // The first shot it sees is one the first client did not get whole.
  const Arrived first = decodeShot(m, 0, generation);
  const uint32_t index = first.record.objectId - devsim::kDemoFirstHandle;
  EXPECT_GE(index + 1, lastSeen);
  expectShot(first, index, generation);
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, DemoPush, ::testing::Values(1, 2));

}  // namespace demopushtest
