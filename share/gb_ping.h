#pragma once
// An ICMP echo client on an unprivileged datagram ICMP socket (IPv4 and IPv6): a send
// thread, a listen thread and a time-out per echo. Delegate messages arrive on the GUI
// thread with a copy of the echo's summary.
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/dispatch_queue.h"
#include "ptp/base/bytes.h"
#include "share/gb_ping_summary.h"

struct GBPingError {
  enum Domain { None, Network, Posix };
  Domain domain = None;
  int code = 0;
  int lookupCode = 0;  // the name lookup's own code, for a failed lookup
  explicit operator bool() const { return domain != None; }
};

class GBPing;

// Every message is optional: the defaults do nothing.
class GBPingDelegate {
 public:
  virtual ~GBPingDelegate() = default;
  virtual void didSendPingWithSummary(GBPing&, const GBPingSummary&) {}
  virtual void didFailToSendPingWithSummary(GBPing&, const GBPingSummary&, const GBPingError&) {}
  virtual void didTimeoutWithSummary(GBPing&, const GBPingSummary&) {}
  virtual void didReceiveReplyWithSummary(GBPing&, const GBPingSummary&) {}
  virtual void didReceiveUnexpectedReplyWithSummary(GBPing&, const GBPingSummary&) {}
  virtual void didFailWithError(GBPing&, const GBPingError&) {}
};

class GBPing : public std::enable_shared_from_this<GBPing> {
 public:
  using SetupBlock = std::function<void(bool success, const GBPingError& error)>;
  static constexpr double kDefaultTimeout = 2.0;
  static constexpr unsigned kDefaultTtl = 49;
  static constexpr unsigned kDefaultPayloadSize = 56;
  static constexpr double kDefaultPingPeriod = 1.0;

  static std::shared_ptr<GBPing> create();
  ~GBPing();
  GBPing(const GBPing&) = delete;
  GBPing& operator=(const GBPing&) = delete;

  // Configuration: 0 reads as the default; a change while pinging is refused.
  double timeout() const;
  void setTimeout(double seconds);
  unsigned ttl() const;
  void setTtl(unsigned ttl);
  unsigned payloadSize() const;
  void setPayloadSize(unsigned bytes);  // at most gbping::kMaxPayloadBytes
  double pingPeriod() const;
  void setPingPeriod(double seconds);

  QString host() const;
  void setHost(const QString& host);
  std::shared_ptr<GBPingDelegate> delegate() const;
  void setDelegate(std::weak_ptr<GBPingDelegate> delegate);
  bool debug() const;
  void setDebug(bool debug);

  bool isReady() const;
  bool isPinging() const;
  bool isStopped() const;
  int socket() const;
  ByteBuffer hostAddress() const;
  QString hostAddressString() const;
  uint16_t identifier() const;
  unsigned nextSequenceNumber() const;
  size_t pendingPingCount() const;

  // Resolves the host and opens the socket on the setup queue; the block runs on the GUI thread.
  void setupWithBlock(SetupBlock block);
  void startPinging();
  void stop();

  static std::optional<std::string> sourceAddressInPacket(std::span<const uint8_t> packet);
  static std::optional<size_t> icmp4HeaderOffsetInPacket(std::span<const uint8_t> packet);
  static std::optional<std::span<const uint8_t>> icmp4InPacket(std::span<const uint8_t> packet);
  bool isValidPingResponsePacket(std::span<const uint8_t> packet) const;
  static ByteBuffer generateDataWithLength(size_t length);
  ByteBuffer pingPacketWithType(uint8_t type, std::span<const uint8_t> payload, bool requiresChecksum) const;
  // Family of hostAddress; 0 when it is missing or shorter than a socket address.
  int hostAddressFamily() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Pending {
    GBPingSummary summary;
    Clock::time_point timeoutAt, dropAt;
    bool timerLive = true;
  };

  GBPing();
  void setup(uint64_t generation, SetupBlock block);
  void finishSetup(SetupBlock block, bool success, GBPingError error);
  void sendLoop();
  void sendPing();
  void fireTimersLocked(Clock::time_point now);
  void listenLoop();
  // False when it stopped the pinger itself.
  bool listenOnce(int fd);
  void log(const char* text) const;
  void post(std::function<void(GBPingDelegate&, GBPing&)> message);

  mutable std::recursive_mutex mutex_;  // the object's lock
  std::condition_variable_any cv_;      // wakes the send thread
  double timeout_ = 0, pingPeriod_ = 0;
  unsigned ttl_ = 0, payloadSize_ = 0;
  QString host_;
  std::weak_ptr<GBPingDelegate> delegate_;
  bool debug_ = false;

  bool ready_ = false, pinging_ = false, stopped_ = true;
  int socket_ = 0;
  ByteBuffer hostAddress_;
  QString hostAddressString_;
  uint16_t identifier_ = 0;
  unsigned nextSequenceNumber_ = 0;
  std::map<unsigned, Pending> pendingPings_;
  uint64_t generation_ = 0;  // a stop makes a set-up still running void
  int wake_[2] = {-1, -1};   // wakes the listen thread
  std::thread sendThread_, listenThread_;
  DispatchQueue setupQueue_{"GBPing setup queue"};
};
