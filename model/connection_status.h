#pragma once
// The state of the link to the device, carried by ConnectionStatusEvent
// (share/share_events.h). 4, 6 and 7 are never produced.
enum ConnectionStatus : int {
  ConnectionStatusUnknown = 0,  // any value outside 1 to 8
  ConnectionStatusConnecting = 1,
  ConnectionStatusDisconnected = 2,
  ConnectionStatusStartFailed = 3,
  ConnectionStatusConnected = 5,
  ConnectionStatusSharingDisabled = 8,
};
