#include "share/ping_manager.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/dispatch.h"
#include "ptp/base/timing.h"

namespace {
double secondsOf(std::chrono::milliseconds ms) { return std::chrono::duration<double>(ms).count(); }
}  // namespace

std::shared_ptr<PingManager> PingManager::initWithHost(const QString& host) {
  std::shared_ptr<PingManager> manager(new PingManager);
  manager->mPing = GBPing::create();
  manager->mPing->setHost(host);
  manager->mPing->setDelegate(manager);
  manager->mPing->setTimeout(secondsOf(timing().pingTimeout.load()));
  manager->mPing->setPingPeriod(secondsOf(timing().pingPeriod.load()));
  return manager;
}

PingManager::~PingManager() {
  std::shared_ptr<GBPing> ping;
  {
    std::lock_guard lock(mutex_);
    ping = std::move(mPing);
  }
  if (ping) {
    ping->setDelegate({});
    ping->stop();
  }
}

std::shared_ptr<GBPing> PingManager::ping() const {
  std::lock_guard lock(mutex_);
  return mPing;
}

QString PingManager::blockForFirstResponse(double seconds) {
  if (Dispatch::isMainThread()) {
    qWarning("PingManager: blockForFirstResponse must not run on the GUI thread.");
    return QString();
  }
  std::shared_ptr<GBPing> ping;
  {
    std::lock_guard lock(mutex_);
    mIpAddress = QString();
    ping = mPing;
    if (!ping) return QString();
    waitReleased_ = false;
  }
  std::weak_ptr<PingManager> weak = weak_from_this();
  ping->setupWithBlock([weak, seconds](bool success, const GBPingError&) {
    auto self = weak.lock();
    if (!self) return;
    if (!success) return self->stopPing();
    if (auto p = self->ping()) p->startPinging();
    QTimer::singleShot(std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000)), qApp, [weak] {
      if (auto s = weak.lock()) s->stopPing();
    });
  });
  std::unique_lock lock(mutex_);
  // Bounded even when the GUI thread never runs the set-up's answer or the time-out.
  auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds)) +
               timing().pingSetupWait.load();
  if (!released_.wait_for(lock, limit, [&] { return waitReleased_; })) {
    lock.unlock();
    stopPing();
    lock.lock();
    waitReleased_ = true;
  }
  return mIpAddress;
}

void PingManager::stopPing() {
  if (!Dispatch::isMainThread()) {
    Dispatch::main([weak = weak_from_this()] {
      if (auto self = weak.lock()) self->stopPing();
    });
    return;
  }
  std::shared_ptr<GBPing> ping;
  {
    std::lock_guard lock(mutex_);
    ping = std::move(mPing);
  }
  if (!ping) return;
  ping->stop();
  {
    std::lock_guard lock(mutex_);
    waitReleased_ = true;
  }
  released_.notify_all();
}

void PingManager::didReceiveReplyWithSummary(GBPing&, const GBPingSummary& summary) {
  {
    std::lock_guard lock(mutex_);
    // The first reply is the answer. Replies already queued behind it (every member of a
    // group answers) may not change it while the released caller is still reading it.
    if (waitReleased_ || !mIpAddress.isNull()) return;
    mIpAddress = summary.host;
  }
  stopPing();
}
