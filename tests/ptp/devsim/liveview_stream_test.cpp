// The simulator's live view on the wire: each maker's frame read back by the camera
// library's own parsers, a client that stops reading (the simulator skips frames rather
// than keeping them, and the stream stays whole), and a stop that a client reading nothing
// cannot hold up.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' allocator replaces malloc's counters with its own.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <cmath>
#include <future>
#include <thread>

#include "ptp/base/filetypes.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "tests/ptp/link/link_fixture.h"
#include "tools/devsim/liveview.h"

using namespace std::chrono_literals;

namespace liveviewstreamtest {

size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

std::vector<uint8_t> plain(const devsim::Bytes& b) { return {b.begin(), b.end()}; }

TEST(LiveViewFrames, EachMakersFrameIsReadByTheLibraryAsTheSceneMadeIt) {
  const devsim::LiveViewScene canon(devsim::LiveViewVendor::Canon);
  // Frames across AF state changes and both sides of level (a tilt left is just below 360).
  for (uint32_t frame : {0u, 7u, 8u, 17u, 20u, 60u}) {
    SCOPED_TRACE(frame);
    const devsim::CanonLiveViewInfo info = devsim::canonLiveViewInfoAt(frame);
    const devsim::Bytes m = canon.message(frame, 0xF0000001);
    ASSERT_GT(m.size(), 17u);
    EXPECT_EQ(devsim::getU32(m.data()), m.size());
    EXPECT_EQ(m[4], 10);
    EXPECT_EQ(devsim::getU16(m.data() + 9), 2);  // a data container
    EXPECT_EQ(devsim::getU16(m.data() + 11), PTP_OC_CANON_GetViewFinderData);
    std::vector<uint8_t> parsed;
    ASSERT_TRUE(canonParseLiveViewFrame(m.data() + 17, m.size() - 17, parsed, 0));
    EOS_LiveViewInfoStruct h{};
    ASSERT_TRUE(canonReadLiveViewHeader(parsed.data(), parsed.size(), h));
    EXPECT_EQ(h.frameKind, CanonFrameKindJpeg);
    EXPECT_EQ(h.zoomScale, 1u);
    EXPECT_EQ(h.fullWidth, devsim::kCanonLiveViewFullWidth);
    EXPECT_EQ(h.fullHeight, devsim::kCanonLiveViewFullHeight);
    EXPECT_EQ(h.visibleWidth, devsim::kCanonLiveViewFullWidth);
    EXPECT_EQ(h.visibleHeight, devsim::kCanonLiveViewFullHeight);
    EXPECT_EQ(canonLiveViewFrameOrientation(&h), 1);
    EXPECT_FLOAT_EQ(h.levelAngle, float(info.levelHundredths / 100.0));
    const bool nearLevel = h.levelAngle <= devsim::kLiveViewLevelSwing ||
                           h.levelAngle >= 360 - devsim::kLiveViewLevelSwing;
    EXPECT_TRUE(nearLevel) << h.levelAngle;
    ASSERT_EQ(h.afFrameCount, devsim::kCanonLiveViewAfFrames);
    for (uint32_t i = 0; i < h.afFrameCount; ++i) {
      EXPECT_EQ(h.afState[i], info.af[i].state);
      EXPECT_EQ(h.afX[i], info.af[i].x);
      EXPECT_EQ(h.afY[i], info.af[i].y);
      EXPECT_EQ(h.afWidth[i], info.af[i].width);
      EXPECT_EQ(h.afHeight[i], info.af[i].height);
    }
    // The image is the ring's JPEG, whole.
    const std::vector<uint8_t> image(parsed.begin() + kCanonLiveViewImageOffset,
                                     parsed.begin() + long(kCanonLiveViewImageOffset + h.imageLength));
    EXPECT_EQ(image, plain(canon.jpeg(frame)));
  }
  // The states the overlay colours: white, green and red in turn.
  EXPECT_EQ(devsim::canonLiveViewInfoAt(0).af[0].state, devsim::kCanonAfSearching);
  EXPECT_EQ(devsim::canonLiveViewInfoAt(devsim::kCanonAfStateFrames).af[0].state, devsim::kCanonAfInFocus);
  EXPECT_EQ(devsim::canonLiveViewInfoAt(2 * devsim::kCanonAfStateFrames).af[0].state, devsim::kCanonAfFailed);

  const devsim::LiveViewScene nikon(devsim::LiveViewVendor::Nikon);
  const devsim::Bytes n = nikon.message(5, 0xF0000002);
  EXPECT_EQ(n[4], 10);
  EXPECT_EQ(devsim::getU16(n.data() + 11), PTP_OC_NIKON_GetLiveViewImage);
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(camExtractLiveViewJpeg({n.data() + 17, n.size() - 17}, jpeg, PTP_OC_NIKON_GetLiveViewImage));
  EXPECT_EQ(jpeg, plain(nikon.jpeg(5)));

  const devsim::LiveViewScene fuji(devsim::LiveViewVendor::Fujifilm);
  const devsim::Bytes f = fuji.message(5, 0);
  EXPECT_EQ(f[4], 13);
  EXPECT_EQ(f[9], devsim::kOpcodeLiveViewFrame);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 12, f.end()), plain(fuji.jpeg(5)));
}

// A client on a plain socket, which reads only when told to.
class RawClient {
 public:
  explicit RawClient(uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // A small window: the simulator's side fills sooner.
    int small = 64 * 1024;
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    // Only a guard against a hang: a stream that stops reads as its end.
    timeval guard{30, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~RawClient() { close(); }
  bool connected() const { return connected_; }
  size_t waiting() const {
    int n = 0;
    return ::ioctl(fd_, FIONREAD, &n) == 0 ? size_t(n) : 0;
  }
  bool send(const devsim::Bytes& b) { return ::send(fd_, b.data(), b.size(), MSG_NOSIGNAL) == ssize_t(b.size()); }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // The next whole message, or empty when the stream ends or breaks its framing.
  devsim::Bytes next() {
    devsim::Bytes m(5);
    if (!readExact(m.data(), 5)) return {};
    const uint32_t total = devsim::getU32(m.data());
    if (total < 5 || total > (8u << 20)) return {};
    m.resize(total);
    if (!readExact(m.data() + 5, total - 5)) return {};
    return m;
  }

 private:
  bool readExact(uint8_t* p, size_t n) {
    while (n > 0) {
      const ssize_t r = ::recv(fd_, p, n, 0);
      if (r <= 0) return false;
      p += r;
      n -= size_t(r);
    }
    return true;
  }
  int fd_ = -1;
  bool connected_ = false;
};

class LiveViewStream : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim.start()); }
  devsim::Simulator sim;
};

TEST_F(LiveViewStream, AClientThatStopsReadingCostsNoMemoryAndLaterGetsWholeFrames) {
  devsim::LiveView live(sim, {.vendor = devsim::LiveViewVendor::Canon, .fps = devsim::kLiveViewMaxFps});
  live.start();
  RawClient client(sim.port());
  ASSERT_TRUE(client.connected());
  ASSERT_TRUE(client.send(devsim::makeControlRequest(devsim::kOpcodeClientName, bytesOf({'s', 'l', 'o', 'w', 0}))));
  // Not read: the socket fills, and frames are skipped from then on.
  ASSERT_TRUE(waitFor([&] { return live.framesSkipped() >= 1; }));
  const size_t frameBytes = devsim::LiveViewScene(devsim::LiveViewVendor::Canon).message(0, 0).size();
  const size_t before = heapInUse();
  const uint32_t sentBefore = live.framesSent(), skippedBefore = live.framesSkipped();
  ASSERT_TRUE(waitFor([&] { return live.framesSkipped() >= skippedBefore + 60; }));
  const size_t after = heapInUse();
  // Sixty frames kept for later would be sixty frames' bytes.
  EXPECT_LT(after, before + 8 * frameBytes) << "heap grew by " << (after - before) << " bytes";

  // Read again: what was sent arrives whole and in order, and new frames follow.
  const devsim::Bytes reply = client.next();
  ASSERT_GE(reply.size(), 10u);
  EXPECT_EQ(reply[9], devsim::kOpcodeClientName);
  uint32_t lastTransaction = 0;
  for (uint32_t k = 0; k < sentBefore + 5; ++k) {
    SCOPED_TRACE(k);
    const devsim::Bytes m = client.next();
    ASSERT_GT(m.size(), 17u);
    ASSERT_EQ(m[4], 10);
    ASSERT_EQ(devsim::getU16(m.data() + 11), PTP_OC_CANON_GetViewFinderData);
    const uint32_t transaction = devsim::getU32(m.data() + 13);
    EXPECT_GT(transaction, lastTransaction);
    lastTransaction = transaction;
    std::vector<uint8_t> parsed;
    ASSERT_TRUE(canonParseLiveViewFrame(m.data() + 17, m.size() - 17, parsed, 0));
  }
  EXPECT_GT(live.framesSent(), sentBefore);
}

// A push to a client that reads nothing waits for it to read; a stop does not.
TEST_F(LiveViewStream, AStopEndsAPushThatWaitsForAClientThatReadsNothing) {
  RawClient client(sim.port());
  ASSERT_TRUE(client.connected());
  ASSERT_TRUE(sim.waitForClient(30s));
  auto push = std::async(std::launch::async, [&] {
    return sim.sendWithZeros(devsim::makeHeader(64u << 20, 9), (64u << 20) - 5);
  });
  // Under way, and bound to stay so: 64 MB never fit into the sockets' buffers.
  ASSERT_TRUE(waitFor([&] { return client.waiting() >= 32 * 1024; }));
  auto stopped = std::async(std::launch::async, [&] { sim.stop(); });
  const bool ended = stopped.wait_for(30s) == std::future_status::ready;
  // Without it the test would hang here: the client's going ends the push.
  if (!ended) client.close();
  EXPECT_TRUE(ended) << "the stop waited for a client that reads nothing";
  stopped.wait();
  EXPECT_FALSE(push.get());
}

}  // namespace liveviewstreamtest
