#include "share/share_comms.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <algorithm>

#include "model/connection_status.h"
#include "platform/dispatch.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_events.h"

static_assert(kShareStatusLost == ConnectionStatusDisconnected);
static_assert(kShareStatusStartFailed == ConnectionStatusStartFailed);

namespace {

constexpr std::chrono::milliseconds kGuiWaitSlice{5};

// A bounded wait; on the GUI thread it keeps serving the hops the session's threads make
// to it, or a stop there would wait for a thread that waits for it.
bool waitServingHops(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, const std::function<bool()>& done,
                     std::chrono::steady_clock::time_point deadline) {
  if (!Dispatch::isMainThread()) return cv.wait_until(lock, deadline, done);
  while (!done()) {
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    cv.wait_until(lock, std::min(deadline, now + kGuiWaitSlice), done);
    if (done()) break;
    lock.unlock();
    Dispatch::drainMainSync();
    lock.lock();
  }
  return true;
}

// The session ends with the application object: its threads and queues never outlive a
// quit (the stop waits at most sessionEndWait).
void stopAtQuit() { ShareComms::instance().stop(); }

void watchApplication() {
  static std::mutex mutex;
  static QCoreApplication* watched = nullptr;
  std::lock_guard lock(mutex);
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || app == watched) return;
  watched = app;
  qAddPostRoutine(stopAtQuit);
}

}  // namespace

void shareCommsPostOobMessage() { postIncomingOobMessage(); }

ShareComms& ShareComms::instance() {
  // Never destroyed: the session's threads may still be ending while the process exits.
  static ShareComms* comms = new ShareComms;
  return *comms;
}

ShareComms::ShareComms()
    : mSession([this] {
        ShareSessionHooks hooks;
        hooks.incomingOob = shareCommsPostOobMessage;
        hooks.message = [this](ByteBuffer& message) { handleUnsolicitedMessage(message); };
        hooks.status = [](int status) { postConnectionStatus({static_cast<ConnectionStatus>(status)}); };
        hooks.clientName = [] { return localComputerName().toStdString(); };
        // A GUI thread that stops the session keeps serving hops made to it meanwhile.
        hooks.wait = waitServingHops;
        hooks.queueLabel = kPtpQueueLabel;
        return hooks;
      }()) {
  camInit(shareSendPtp, [](ByteBuffer& container, void*, uint32_t*) { return shareReceivePtp(container); },
          linkLockRequests, nullptr);
}

QString ShareComms::localComputerName() { return QSysInfo::machineHostName(); }

bool ShareComms::start() {
  watchApplication();
  mDecoder.beginSession();
  forgetClientCanSave();
  return mSession.start();
}

uint16_t ShareComms::sendClientName() { return shareSendClientName(localComputerName().toStdString().c_str()); }

void ShareComms::killConnection() { mSession.kill(); }

void ShareComms::stop() { mSession.stop(); }

bool ShareComms::hasPtpQueue() const { return mSession.running(); }

void ShareComms::setMessageTap(std::function<void(const ByteBuffer&)> tap) {
  std::lock_guard lock(mTapMutex);
  mTap = std::move(tap);
}

void ShareComms::handleUnsolicitedMessage(ByteBuffer& message) {
  std::function<void(const ByteBuffer&)> tap;
  {
    std::lock_guard lock(mTapMutex);
    tap = mTap;
  }
  if (tap) tap(message);
  mDecoder.handleFrame(std::span<const uint8_t>(message.data(), message.size()));
  postMessageHandled();
}
