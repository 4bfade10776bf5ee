#pragma once
// One pinger wrapped into a blocking call: the host of the first reply within a time, for
// the connect run's background thread.
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "share/gb_ping.h"

class PingManager : public GBPingDelegate, public std::enable_shared_from_this<PingManager> {
 public:
  // A pinger for host with a 1 s time-out and a 0.9 s period (timing().pingTimeout and
  // timing().pingPeriod).
  static std::shared_ptr<PingManager> initWithHost(const QString& host);
  ~PingManager() override;

  // Blocks until the first valid reply or until `seconds` have passed; the reply's host,
  // or a null string when none came. Not on the GUI thread, which it needs free (refused
  // there with a null string).
  QString blockForFirstResponse(double seconds);
  // GUI thread (other threads hop there): stops and drops the pinger and releases the wait.
  void stopPing();

  void didReceiveReplyWithSummary(GBPing& ping, const GBPingSummary& summary) override;

  std::shared_ptr<GBPing> ping() const;

 private:
  PingManager() = default;

  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool waitReleased_ = true;
  std::shared_ptr<GBPing> mPing;
  QString mIpAddress;
};
