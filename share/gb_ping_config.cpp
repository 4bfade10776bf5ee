// The pinger's configuration and state, read and written under the object's lock.
#include <algorithm>

#include "share/gb_ping.h"
#include "share/gb_ping_packet.h"

double GBPing::timeout() const {
  std::lock_guard lock(mutex_);
  return timeout_ == 0 ? kDefaultTimeout : timeout_;
}

void GBPing::setTimeout(double s) {
  std::lock_guard lock(mutex_);
  if (pinging_) return log("GBPing: can't set timeout while pinger is running.");
  timeout_ = s;
}

unsigned GBPing::ttl() const {
  std::lock_guard lock(mutex_);
  return ttl_ == 0 ? kDefaultTtl : ttl_;
}

void GBPing::setTtl(unsigned ttl) {
  std::lock_guard lock(mutex_);
  if (pinging_) return log("GBPing: can't set ttl while pinger is running.");
  ttl_ = ttl;
}

unsigned GBPing::payloadSize() const {
  std::lock_guard lock(mutex_);
  return payloadSize_ == 0 ? kDefaultPayloadSize : payloadSize_;
}

void GBPing::setPayloadSize(unsigned bytes) {
  std::lock_guard lock(mutex_);
  if (pinging_) return log("GBPing: can't set payload size while pinger is running.");
  payloadSize_ = std::min<unsigned>(bytes, gbping::kMaxPayloadBytes);
}

double GBPing::pingPeriod() const {
  std::lock_guard lock(mutex_);
  return pingPeriod_ == 0 ? kDefaultPingPeriod : pingPeriod_;
}

void GBPing::setPingPeriod(double s) {
  std::lock_guard lock(mutex_);
  if (pinging_) return log("GBPing: can't set pingPeriod while pinger is running.");
  pingPeriod_ = s;
}

QString GBPing::host() const {
  std::lock_guard lock(mutex_);
  return host_;
}
void GBPing::setHost(const QString& host) {
  std::lock_guard lock(mutex_);
  host_ = host;
}
std::shared_ptr<GBPingDelegate> GBPing::delegate() const {
  std::lock_guard lock(mutex_);
  return delegate_.lock();
}
void GBPing::setDelegate(std::weak_ptr<GBPingDelegate> delegate) {
  std::lock_guard lock(mutex_);
  delegate_ = std::move(delegate);
}
bool GBPing::debug() const {
  std::lock_guard lock(mutex_);
  return debug_;
}
void GBPing::setDebug(bool debug) {
  std::lock_guard lock(mutex_);
  debug_ = debug;
}

bool GBPing::isReady() const {
  std::lock_guard lock(mutex_);
  return ready_;
}
bool GBPing::isPinging() const {
  std::lock_guard lock(mutex_);
  return pinging_;
}
bool GBPing::isStopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}
int GBPing::socket() const {
  std::lock_guard lock(mutex_);
  return socket_;
}
ByteBuffer GBPing::hostAddress() const {
  std::lock_guard lock(mutex_);
  return hostAddress_;
}
QString GBPing::hostAddressString() const {
  std::lock_guard lock(mutex_);
  return hostAddressString_;
}
uint16_t GBPing::identifier() const {
  std::lock_guard lock(mutex_);
  return identifier_;
}
unsigned GBPing::nextSequenceNumber() const {
  std::lock_guard lock(mutex_);
  return nextSequenceNumber_;
}
size_t GBPing::pendingPingCount() const {
  std::lock_guard lock(mutex_);
  return pendingPings_.size();
}

