#include "tools/devsim/demo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>

#include "ptp/base/ptp_codes.h"

namespace devsim {

namespace {

constexpr uint8_t kRelayCodeObjectInfo = 176;
constexpr uint8_t kOpcodeThumbnailByName = 242;
constexpr uint8_t kOpcodeExtractedJpeg = 177;
constexpr uint8_t kOpcodeExtractedJpegByName = 249;
constexpr size_t kGeneration1RecordBytes = 584;
// How often a waiting demo looks for a new client or a stop.
constexpr std::chrono::milliseconds kDemoPollPeriod{20};

template <class T>
void putAt(Bytes& b, size_t at, T v) {
  for (size_t i = 0; i < sizeof(T); ++i) b[at + i] = uint8_t(uint64_t(v) >> (8 * i));
}

std::string nameIn(const Bytes& payload) {
  const size_t n = ::strnlen(reinterpret_cast<const char*>(payload.data()), payload.size());
  return std::string(reinterpret_cast<const char*>(payload.data()), n);
}

}  // namespace

Bytes Demo::relayedRecord(const PtpObjectInfoStruct& r, int generation) {
  if (generation != 1) {
    Bytes b(kObjectInfoBytes);
    std::memcpy(b.data(), &r, kObjectInfoBytes);
    return b;
  }
  // Packed, without alignment gaps, fieldPad1, fieldPad2, orientation and rating.
  Bytes b(kGeneration1RecordBytes, 0);
  putAt(b, 0, r.objectId);
  putAt(b, 4, r.objectFormat);
  putAt(b, 6, r.protectionStatus);
  putAt(b, 8, r.objectCompressedSize);
  putAt(b, 12, r.thumbFormat);
  putAt(b, 14, r.thumbCompressedSize);
  putAt(b, 18, r.thumbPixWidth);
  putAt(b, 22, r.thumbPixHeight);
  putAt(b, 26, r.imagePixWidth);
  putAt(b, 30, r.imagePixHeight);
  putAt(b, 34, r.imageBitDepth);
  putAt(b, 38, r.parentObject);
  putAt(b, 42, r.associationType);
  putAt(b, 44, r.associationDesc);
  putAt(b, 48, r.sequenceNumber);
  std::memcpy(b.data() + 52, r.fileName, kObjectNameBytes);
  putAt(b, 308, r.fileNameLength);
  putAt(b, 312, r.captureDate);
  putAt(b, 320, r.modificationDate);
  std::memcpy(b.data() + 328, r.keywords, kObjectNameBytes);
  return b;
}

Demo::Demo(Simulator& sim, Options options) : sim_(sim), options_(options) { installAnswers(); }

Demo::~Demo() { stop(); }

void Demo::installAnswers() {
  // The JPEG inside an object: a raw's preview, or a JPEG itself (the simulator's own
  // answer would be the whole raw).
  auto answer = [](const std::shared_ptr<const Kept>& shot) {
    if (!shot) return ControlReply{.result = PTP_RC_InvalidObjectHandle};
    return ControlReply{.payload = shot->jpeg};
  };
  sim_.setControlHandler(kOpcodeExtractedJpeg, [kept = kept_, answer](const ControlRequest& r) {
    if (r.payload.size() < 4) return ControlReply{.result = PTP_RC_InvalidParameter};
    return answer(kept->byHandle(getU32(r.payload.data())));
  });
  sim_.setControlHandler(kOpcodeExtractedJpegByName, [kept = kept_, answer](const ControlRequest& r) {
    return answer(kept->byName(nameIn(r.payload)));
  });
}

void Demo::start() {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = done_ = false;
  }
  thread_ = std::thread([this] {
    try {
      run();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "devsim: the demo stopped: %s\n", e.what());
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
  });
}

void Demo::stop() {
  if (!thread_.joinable()) return;
  std::unique_lock lock(mutex_);
  stop_ = true;
  changed_.notify_all();
  while (!changed_.wait_for(lock, kDemoStopGrace, [this] { return done_; })) {
    // Stuck in a push to a client that reads nothing: closing it ends the push.
    lock.unlock();
    sim_.closeClient();
    lock.lock();
  }
  lock.unlock();
  thread_.join();
}

bool Demo::napUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_until(lock, deadline, [this] { return stop_; });
}

void Demo::keep(const DemoShot& shot) {
  Bytes thumbnail{shot.orientation};
  thumbnail.insert(thumbnail.end(), shot.thumbnail.begin(), shot.thumbnail.end());
  sim_.addObject(shot.handle, shot.file);
  sim_.addFile(shot.fileName, shot.file, thumbnail);
  auto entry = std::make_shared<const Kept>(Kept{shot.handle, shot.fileName, shot.jpeg});
  std::shared_ptr<const Kept> old;
  {
    std::lock_guard lock(kept_->mutex);
    kept_->shots.push_back(std::move(entry));
    if (kept_->shots.size() <= kDemoKeptShots) return;
    old = kept_->shots.front();
    kept_->shots.pop_front();
  }
  // The simulator has no way to forget an object: it keeps an empty one.
  sim_.addObject(old->handle, {});
  sim_.addFile(old->fileName, {}, {});
}

std::shared_ptr<const Demo::Kept> Demo::KeptShots::byHandle(uint32_t handle) {
  std::lock_guard lock(mutex);
  for (const auto& k : shots)
    if (k->handle == handle) return k;
  return nullptr;
}

std::shared_ptr<const Demo::Kept> Demo::KeptShots::byName(const std::string& name) {
  std::lock_guard lock(mutex);
  for (const auto& k : shots)
    if (k->fileName == name) return k;
  return nullptr;
}

bool Demo::sessionRunning(size_t& scanned, size_t upTo, int& heartbeats) {
  if (upTo <= scanned) return false;
  const std::vector<Frame> frames = sim_.received();
  upTo = std::min(upTo, frames.size());
  bool running = false;
  for (size_t i = scanned; i < upTo; ++i) {
    const int opcode = frames[i].opcode();
    if (opcode == kOpcodeClientName || (opcode == kOpcodeHeartbeat && ++heartbeats >= 2)) running = true;
  }
  scanned = upTo;
  return running;
}

bool Demo::push(const DemoShot& shot) {
  const int generation = sim_.generation();
  if (!sim_.sendFrame(15, makeRelayBody(kRelayCodeObjectInfo, relayedRecord(shot.record(), generation))))
    return false;
  if (generation == 1) {
    // The generation-1 record carries no orientation; the thumbnail-by-name reply does,
    // in its first byte. Sent as kind 13, like the device's replies to relayed requests.
    Bytes payload{shot.orientation};
    payload.insert(payload.end(), shot.thumbnail.begin(), shot.thumbnail.end());
    if (!sim_.send(makeControlReply(2, kOpcodeThumbnailByName, PTP_RC_OK, payload))) return false;
  } else if (!sim_.pushPtp(2, PTP_OC_GetThumb, shot.thumbnail)) {
    return false;
  }
  return sim_.pushPtp(2, PTP_OC_GetObject, shot.file);
}

void Demo::run() {
  using Clock = std::chrono::steady_clock;
  size_t scanned = 0;
  int connection = -1, heartbeats = 0;
  bool running = false;
  uint32_t index = 0;
  Clock::time_point next = Clock::now();
  for (;;) {
    // Counted before the connection is looked at, so that every frame counted belongs to
    // the connection seen (or one before it): a frame of the next client is looked at
    // only once that client has been noticed.
    const size_t received = sim_.receivedCount();
    if (const int now = sim_.connectionCount(); now != connection) {
      connection = now;
      running = false;
      heartbeats = 0;
    }
    if (!running) {
      running = sessionRunning(scanned, received, heartbeats);
      next = Clock::now();
    } else {
      scanned = received;
    }
    if (!running || Clock::now() < next) {
      if (!napUntil(std::min(running ? next : Clock::now() + kDemoPollPeriod, Clock::now() + kDemoPollPeriod)))
        return;
      continue;
    }
    const int64_t time =
        options_.firstCaptureTime
            ? options_.firstCaptureTime + int64_t(index) * options_.interval.count() / 1000
            : int64_t(std::time(nullptr));
    const DemoShot shot = makeDemoShot(options_.seed, index++, time);
    // Registered before it is announced, so that a download right after it is answered.
    keep(shot);
    if (push(shot)) {
      pushed_++;
      if (options_.log)
        std::fprintf(stderr, "devsim: demo shot %u: %s, %ux%u, orientation %u, %zu bytes\n", shot.index + 1,
                     shot.fileName.c_str(), shot.width, shot.height, shot.orientation, shot.file.size());
    } else {
      running = false;  // the client has gone; the next one gets the shots that follow
    }
    // A late shot does not make the next one early.
    next = std::max(next + options_.interval, Clock::now());
    std::lock_guard lock(mutex_);
    if (stop_) return;
  }
}

}  // namespace devsim
