#pragma once
// Between the share session's queue and the window: the newest live frame only. The
// session's thread puts each frame here, replacing one the GUI thread has not taken yet,
// and wakes the GUI thread only when the slot was empty; the GUI thread takes what is
// there when it wakes. However fast frames come, one frame waits and one wake is queued.
#include <QByteArray>
#include <cstdint>
#include <mutex>
#include <optional>

struct LiveViewFrame {
  QByteArray data;
  uint8_t camera = 0;
};

class LiveViewFrameSlot {
 public:
  // Any thread. True when the slot was empty: the caller queues one wake.
  bool put(LiveViewFrame frame);
  // GUI thread, on the wake: the newest frame, the slot left empty.
  std::optional<LiveViewFrame> take();

  // Frames replaced before they were taken.
  uint64_t replaced() const;

 private:
  mutable std::mutex mutex_;
  std::optional<LiveViewFrame> frame_;
  uint64_t replaced_ = 0;
};
