#pragma once
// Back to the library's defaults only: no vendor module, services or device hooks, every
// maker's state reset, no code map or live-view flag left by a set-up, and an empty
// property table, label table and event queue. The
// wiring tests start and end with it, so camInit installs the library's own wiring.
#include "ptp/camera/cam_interface.h"
#include "ptp/link/command_vendor.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_state.h"

namespace kvtest {

inline void clearVendorWiring() {
  camResetVendorModules();
  setCameraServices(nullptr);
  devResetVendorHooks();
  camSetEventFetchCallback(nullptr);
  fujiSetLiveViewStopCallback(nullptr);
  fujiResetState();
  canonResetModelState();
  canonResetModuleState();
  nikonResetModuleState();
  nikonResetModelState();
  sonyResetModelState();
  sonyResetModuleState();
  // What a body's set-up leaves: the code map of its maker and the live-view flag.
  propResetVendorCodeMap();
  camLiveViewFlag() = false;
  propClearTable();
  propSetLabelTable({}, 0);
  evtClearQueue();
  while (propUnlockForSet()) {
  }
}

}  // namespace kvtest
