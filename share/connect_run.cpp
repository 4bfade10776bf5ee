#include "share/connect_run.h"

#include <atomic>
#include <cstdlib>

#include "model/connection_status.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/link/mailbox.h"
#include "share/discovery.h"
#include "share/share_comms.h"
#include "share/share_events.h"

namespace {
std::atomic<uint8_t> gGeneration{0};
}  // namespace

uint8_t connectGeneration() { return gGeneration.load(); }
void setConnectGeneration(uint8_t generation) { gGeneration = generation; }

int32_t connectRunStep() {
  // The generation is known as soon as the device is, before the link is opened.
  uint8_t generation = connectGeneration();
  auto target = CommsManager::findDevice(&generation);
  setConnectGeneration(generation);
  if (!target || !CommsManager::connectToDevice(*target)) {
    if (target && std::getenv(kDeviceOverrideVariable))
      qWarning("%s: cannot reach %s port %d", kDeviceOverrideVariable, target->host.c_str(), target->port);
    setConnectGeneration(0);
    return ConnectionStatusDisconnected;
  }
  shareSetMode(generation);
  if (!ShareComms::instance().start()) return ConnectionStatusSharingDisabled;
  if (generation == 1) UserDefaults::standardUserDefaults().setBool(false, kDefaultsCanSaveImages);
  return ConnectionStatusConnected;
}

CommandBlock connectCommandBlock() {
  return CommandBlock(connectRunStep, Bundle::localizedString(QStringLiteral("ConnectingKorvalume")));
}

void runConnect() {
  Command::runCommands({connectCommandBlock()}, [](int32_t result) {
    postConnectionStatus({static_cast<ConnectionStatus>(result)});
  });
}
