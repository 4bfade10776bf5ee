#pragma once
// The device simulator: a scripted stand-in for the device on 127.0.0.1. It accepts one
// client at a time, answers control requests in generation-1 or generation-2 form,
// records every message it receives, and can push, stall and misbehave on purpose.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "tools/devsim/frames.h"

namespace devsim {

constexpr uint8_t kOpcodeClientName = 160;
constexpr uint8_t kOpcodeHeartbeat = 176;
// Largest message the simulator takes from a client.
constexpr uint32_t kMaxClientFrameBytes = 512u * 1024u * 1024u;

struct ControlRequest {
  uint8_t opcode = 0;
  Bytes payload;
  // Set when the request came embedded in a relay message (kind 15).
  bool relayed = false;
  uint8_t relayMode = 0, relayCode = 0;
  Bytes relayBytes;
};

// A PTP container as the device sends or receives it (without the link header).
Bytes makeContainer(uint16_t type, uint16_t code, uint32_t transactionId, std::span<const uint8_t> payload);

struct ControlReply {
  uint16_t result = PTP_RC_OK;
  Bytes payload;
  std::chrono::milliseconds delay{0};
  // Sent instead of a well-formed reply when set (malformed, oversize, wrong kind...).
  std::optional<Bytes> raw;
  bool noReply = false;
};

class Simulator {
 public:
  struct Options {
    int generation = 2;
    uint16_t port = 0;  // 0: any free port
    bool log = false;   // one line per message on stderr
    // The IPv4 address it listens on. Anything but the loopback belongs only inside a
    // network namespace that a test made.
    std::string address = "127.0.0.1";
  };

  explicit Simulator(Options options);
  Simulator() : Simulator(Options{}) {}
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  bool start();
  void stop();
  uint16_t port() const { return port_; }
  int generation() const { return options_.generation; }

  // Scripting. Handlers run on the simulator's thread.
  using ControlHandler = std::function<ControlReply(const ControlRequest&)>;
  void setControlHandler(uint8_t opcode, ControlHandler handler);
  void setControlReply(uint8_t opcode, ControlReply reply);
  // Messages of other kinds (9, 10 and relays not handled above). Return true when handled.
  using FrameHandler = std::function<bool(const Frame&)>;
  void setFrameHandler(uint8_t kind, FrameHandler handler);
  // Record messages but answer none.
  void setStalled(bool stalled);
  // Stop reading from the client altogether (its writes back up).
  void setReading(bool reading);

  // The device's content, answered by the default command handlers: objects by handle
  // (PTP GetObject, opcodes 65 and 177) and files on its card by name (opcodes 242, 243,
  // 248 and 249). A file's thumbnail is its first byte (orientation) and the rest.
  void addObject(uint32_t handle, Bytes bytes);
  void addFile(const std::string& name, Bytes bytes, Bytes thumbnail = {});
  // The next `times` requests of this opcode are answered DeviceBusy (0x2019); opcode 0
  // stands for PTP GetObject.
  void setBusyAnswers(uint8_t opcode, int times);
  // Answers every range request with at most this many bytes (0: what was asked).
  void setRangeReplyLimit(uint32_t bytes);

  // Unsolicited traffic. Transaction ids come from a range far from the client's unless
  // one is given (a test that wants a collision).
  bool pushPtp(uint16_t type, uint16_t code, const Bytes& payload, std::optional<uint32_t> transactionId = {});
  bool pushControl(uint8_t opcode, const Bytes& payload);

  // To the connected client, from any thread. False when no client is connected.
  bool send(const Bytes& bytes);
  bool sendFrame(uint8_t kind, const Bytes& body);
  bool sendControlReply(uint8_t opcode, uint16_t result, const Bytes& payload);
  // Sends prefix, then `zeros` zero bytes (big or lying frames without a big buffer).
  bool sendWithZeros(const Bytes& prefix, uint64_t zeros);
  void closeClient();

  // A message that is worth sending only now (a live-view frame): sent whole when the
  // client's socket has room for it and no other send is under way, otherwise not at all,
  // so that nothing waits to be sent. Should the socket take only a part after all, the
  // rest follows as the client reads; a `cancel` raised meanwhile cuts the client off,
  // since its stream would end inside the message.
  enum class Offer { Sent, Skipped, NoClient };
  Offer offer(const Bytes& message, const std::atomic<bool>& cancel);
  // A transaction id for a push, from the range far from the client's.
  uint32_t takePushTransactionId() { return pushTransactionId_++; }

  // On the simulator's thread: `began` once per connection, when its share session runs
  // (the client has sent its name, or a second heartbeat); `ended` when a connection whose
  // session began goes, before its socket is closed. Either may be null.
  void setSessionHooks(std::function<void()> began, std::function<void()> ended);

  // Observations.
  bool waitForClient(std::chrono::milliseconds timeout);
  std::vector<Frame> received() const;
  size_t receivedCount() const;
  bool waitForReceived(size_t count, std::chrono::milliseconds timeout);
  std::vector<std::string> clientNames() const;
  int connectionCount() const { return connections_.load(); }

 private:
  void run();
  void serve(int fd, bool& began);
  bool readExact(int fd, uint8_t* out, size_t n);
  void handle(const Frame& frame);
  void handleControl(const ControlRequest& request, bool relayed);
  void handlePtp(const uint8_t* container, size_t n);
  void installDeviceCommands();
  bool takeBusy(uint8_t opcode);
  std::optional<Bytes> range(const Bytes& object, uint32_t offset, uint32_t length);
  bool sendLocked(const uint8_t* p, size_t n);
  // Waits until fd can take more bytes; false on a stop or a broken socket.
  bool waitWritable(int fd);
  void sessionFrame(const Frame& frame, bool& began, int& heartbeats);
  bool napUnlessStopped(std::chrono::milliseconds d);

  Options options_;
  uint16_t port_ = 0;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> stalled_{false};
  std::atomic<bool> reading_{true};
  std::atomic<int> connections_{0};

  mutable std::mutex mutex_;  // handlers, records, client
  std::condition_variable changed_;
  std::map<uint8_t, ControlHandler> controlHandlers_;
  std::map<uint8_t, FrameHandler> frameHandlers_;
  std::vector<Frame> received_;
  std::vector<std::string> clientNames_;
  int clientFd_ = -1;
  std::mutex writeMutex_;
  std::map<uint32_t, Bytes> objects_;
  std::map<std::string, std::pair<Bytes, Bytes>> files_;  // bytes, thumbnail
  std::map<uint8_t, int> busy_;
  uint32_t rangeReplyLimit_ = 0;
  std::atomic<uint32_t> pushTransactionId_{0xF0000000u};
  std::function<void()> sessionBegan_, sessionEnded_;

 public:
  // PTP operations beyond GetObject (simulator_ptp.cpp): GetDeviceInfo, Open/CloseSession,
  // GetStorageIDs (and Canon 0x9101), GetStorageInfo, GetNumObjects, GetObjectHandles,
  // GetObjectInfo (and Canon 0x9170), GetThumb, DeleteObject, GetPartialObject (and
  // Canon 0x912C, 0x9172). PTP commands received are recorded (the latest 100,000).
  struct PtpCommand {
    uint16_t code = 0;
    uint32_t transactionId = 0;
    std::vector<uint32_t> params;
    // The payload of a data container sent with the command (SetDevicePropValue...).
    Bytes data;
  };
  struct PtpReply {
    uint16_t result = PTP_RC_OK;
    std::optional<Bytes> data;  // a data phase before the response
    std::vector<uint32_t> params;
  };
  using PtpHandler = std::function<PtpReply(const PtpCommand&)>;
  // Replaces the built-in answer of one operation (null: back to the built-in one).
  void setPtpHandler(uint16_t code, PtpHandler handler);
  // The DeviceInfo dataset GetDeviceInfo answers (makeDeviceInfo, or raw bytes).
  void setDeviceInfo(Bytes dataset);
  void addStorage(uint32_t id, Bytes storageInfo);
  // An object's ObjectInfo dataset (answered for 0x1008 and 0x9170 alike) and thumbnail.
  void setObjectInfo(uint32_t handle, Bytes objectInfo);
  void setThumb(uint32_t handle, Bytes thumbnail);
  // The next `times` commands of this PTP operation are answered DeviceBusy.
  void setPtpBusyAnswers(uint16_t code, int times);
  std::vector<PtpCommand> ptpCommands() const;

 private:
  struct PtpState;
  // True when the command was answered here; GetObject falls through to handlePtp.
  bool handlePtpOperation(const uint8_t* container, size_t n);
  std::shared_ptr<PtpState> ptpState() const;
  mutable std::shared_ptr<PtpState> ptp_;
};

// A PTP string: count byte (units including the terminator), UTF-16 units; "" is one 0.
Bytes makePtpString(const std::string& text);
// A DeviceInfo dataset with these texts and operations (other lists empty).
Bytes makeDeviceInfo(const std::string& manufacturer, const std::string& model,
                     const std::vector<uint16_t>& operations);

}  // namespace devsim
