#include "share/connect_run.h"

#include <atomic>
#include <cstdlib>

#include "model/cache_folder.h"
#include "model/connection_status.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/timing.h"
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
  // Objects the session stores join the cache's list: it must be loaded first.
  if (!Utilities::waitForCacheLoad(timing().cacheLoadWait.load()))
    qWarning("connect: the object cache is still loading; the session starts without waiting longer");
  // The device may push a shot as soon as the session runs, before the main window
  // observes: the shots wait for it, and its session list knows what the cache held before.
  noteCacheBeforeSession(CacheFolderSnapshot::take(Utilities::cacheFolderPath()));
  holdShareShots();
  if (!ShareComms::instance().start()) return ConnectionStatusSharingDisabled;
  if (generation == 1) UserDefaults::standardUserDefaults().setBool(false, kDefaultsCanSaveImages);
  return ConnectionStatusConnected;
}

CommandBlock connectCommandBlock() {
  return CommandBlock(connectRunStep, Bundle::localizedString(QStringLiteral("ConnectingKorvalume")));
}

void runConnect(std::function<void(int32_t)> finished) {
  Command::runCommands({connectCommandBlock()}, [finished = std::move(finished)](int32_t result) {
    if (finished) finished(result);
    postConnectionStatus({static_cast<ConnectionStatus>(result)});
  });
}
