#include "viewer/liveview/live_view_frame_slot.h"

#include <utility>

bool LiveViewFrameSlot::put(LiveViewFrame frame) {
  LiveViewFrame old;  // the replaced frame's bytes are freed outside the lock
  std::lock_guard lock(mutex_);
  const bool wasEmpty = !frame_;
  if (!wasEmpty) {
    old = std::move(*frame_);
    ++replaced_;
  }
  frame_ = std::move(frame);
  return wasEmpty;
}

std::optional<LiveViewFrame> LiveViewFrameSlot::take() {
  std::lock_guard lock(mutex_);
  std::optional<LiveViewFrame> out = std::move(frame_);
  frame_.reset();
  return out;
}

uint64_t LiveViewFrameSlot::replaced() const {
  std::lock_guard lock(mutex_);
  return replaced_;
}
