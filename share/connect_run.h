#pragma once
// The connect run started by the connect screen: find the device, open the link, set the
// share mode to the device's generation and start the share session; its result becomes a
// connection status posted as a ConnectionStatusEvent.
#include <cstdint>
#include <functional>

#include "model/command_runner.h"

// The hardware generation of the device last connected to (0 none, 1, 2), for the process.
uint8_t connectGeneration();
void setConnectGeneration(uint8_t generation);

// The run's one step, on the run's thread: ConnectionStatusDisconnected when no link
// could be opened (the generation is then 0), ConnectionStatusSharingDisabled when the
// session did not start, ConnectionStatusConnected when it did (a first-generation device
// then may not save images: "CanSaveImages" := false).
int32_t connectRunStep();
// That step with its title ("ConnectingKorvalume").
CommandBlock connectCommandBlock();
// Runs the step as a command; on the GUI thread, finished (when given) sees the result,
// which is then posted.
void runConnect(std::function<void(int32_t result)> finished = {});
