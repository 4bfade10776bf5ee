#include "ptp/vendors/sony/sony_state.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<bool> gFocusEngaged{false};
std::atomic<bool> gAfSwitched{false};
std::atomic<bool> gLongExposure{false};
std::atomic<uint32_t> gLiveViewPosition{0};
std::mutex gHeaderMutex;
std::vector<uint8_t> gHeader;
}  // namespace

bool sonyIsFocusEngaged() { return gFocusEngaged.load(); }
void sonySetFocusEngaged(bool engaged) { gFocusEngaged = engaged; }
bool sonyAfSwitched() { return gAfSwitched.load(); }
void sonySetAfSwitched(bool switched) { gAfSwitched = switched; }
bool sonyLongExposure() { return gLongExposure.load(); }
void sonySetLongExposure(bool on) { gLongExposure = on; }
uint32_t sonyLiveViewPosition() { return gLiveViewPosition.load(); }
void sonySetLiveViewPosition(uint32_t position) { gLiveViewPosition = position; }

std::vector<uint8_t> sonyLastLiveViewHeader() {
  std::lock_guard lock(gHeaderMutex);
  return gHeader;
}

void sonySetLastLiveViewHeader(std::vector<uint8_t> header) {
  std::lock_guard lock(gHeaderMutex);
  gHeader = std::move(header);
}

void sonyResetModuleState() {
  gFocusEngaged = false;
  gAfSwitched = false;
  gLongExposure = false;
  gLiveViewPosition = 0;
  sonySetLastLiveViewHeader({});
}
