#include "share/gb_ping.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/dispatch.h"
#include "ptp/base/timing.h"
#include "share/gb_ping_packet.h"

namespace {

QString numericHost(const sockaddr* address, socklen_t length) {
  char text[NI_MAXHOST] = {};
  if (getnameinfo(address, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0) return QString();
  return QString::fromLatin1(text);
}

std::chrono::steady_clock::duration seconds(double s) {
  return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(s));
}

void nameThread(const char* name) { pthread_setname_np(pthread_self(), name); }

// True for an IPv4 or IPv6 multicast socket address.
bool isGroupAddress(const ByteBuffer& address) {
  sockaddr_storage storage{};
  if (address.size() < sizeof(sockaddr_in)) return false;
  std::memcpy(&storage, address.data(), std::min(address.size(), sizeof storage));
  if (storage.ss_family == AF_INET)
    return IN_MULTICAST(ntohl(reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr.s_addr));
  if (storage.ss_family == AF_INET6 && address.size() >= sizeof(sockaddr_in6))
    return IN6_IS_ADDR_MULTICAST(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr);
  return false;
}

}  // namespace

std::shared_ptr<GBPing> GBPing::create() { return std::shared_ptr<GBPing>(new GBPing); }

GBPing::GBPing() {
  identifier_ = static_cast<uint16_t>(std::random_device{}() & 0xFFFF);
  if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
}

GBPing::~GBPing() {
  stop();
  setupQueue_.stop();
  for (int fd : wake_)
    if (fd >= 0) ::close(fd);
}

void GBPing::log(const char* text) const {
  if (debug_) qInfo("%s", text);
}

void GBPing::post(std::function<void(GBPingDelegate&, GBPing&)> message) {
  std::weak_ptr<GBPingDelegate> delegate;
  {
    std::lock_guard lock(mutex_);
    delegate = delegate_;
  }
  Dispatch::main([self = weak_from_this(), delegate, message = std::move(message)] {
    auto s = self.lock();
    auto d = delegate.lock();
    if (s && d) message(*d, *s);
  });
}

// --- packets ---

std::optional<std::string> GBPing::sourceAddressInPacket(std::span<const uint8_t> packet) {
  return gbping::sourceAddressInPacket(packet);
}
std::optional<size_t> GBPing::icmp4HeaderOffsetInPacket(std::span<const uint8_t> packet) {
  return gbping::icmp4HeaderOffsetInPacket(packet);
}
std::optional<std::span<const uint8_t>> GBPing::icmp4InPacket(std::span<const uint8_t> packet) {
  return gbping::icmp4InPacket(packet);
}
ByteBuffer GBPing::generateDataWithLength(size_t length) { return gbping::generateData(length); }

ByteBuffer GBPing::pingPacketWithType(uint8_t type, std::span<const uint8_t> payload, bool requiresChecksum) const {
  std::lock_guard lock(mutex_);
  return gbping::echoPacket(type, identifier_, static_cast<uint16_t>(nextSequenceNumber_ & 0xFFFF), payload,
                            requiresChecksum);
}

int GBPing::hostAddressFamily() const {
  std::lock_guard lock(mutex_);
  if (hostAddress_.size() < sizeof(sockaddr_in)) return 0;
  sockaddr_storage storage{};
  std::memcpy(&storage, hostAddress_.data(), std::min(hostAddress_.size(), sizeof storage));
  return storage.ss_family;
}

bool GBPing::isValidPingResponsePacket(std::span<const uint8_t> packet) const {
  int family = hostAddressFamily();
  std::lock_guard lock(mutex_);
  if (family == AF_INET) return gbping::isValidPing4Response(packet, identifier_, nextSequenceNumber_);
  if (family == AF_INET6) return gbping::isValidPing6Response(packet, identifier_, nextSequenceNumber_);
  return false;
}

// --- set-up ---

void GBPing::setupWithBlock(SetupBlock block) {
  uint64_t generation;
  {
    std::lock_guard lock(mutex_);
    if (ready_) {
      log("GBPing: Can't setup, already setup.");
      return finishSetup(std::move(block), false, {});
    }
    if (host_.isEmpty()) {
      log("GBPing: set host before attempting to start.");
      return finishSetup(std::move(block), false, {});
    }
    nextSequenceNumber_ = 0;
    pendingPings_.clear();
    stopped_ = false;
    generation = ++generation_;
  }
  setupQueue_.async([self = shared_from_this(), generation, block = std::move(block)]() mutable {
    self->setup(generation, std::move(block));
  });
}

void GBPing::finishSetup(SetupBlock block, bool success, GBPingError error) {
  if (!block) return;
  Dispatch::main([block = std::move(block), success, error] { block(success, error); });
}

void GBPing::setup(uint64_t generation, SetupBlock block) {
  QByteArray host = this->host().toUtf8();
  addrinfo hints{};
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(host.constData(), nullptr, &hints, &found);
  if (rc != 0) {
    stop();
    return finishSetup(std::move(block), false, {GBPingError::Network, 2, rc});
  }
  const addrinfo* chosen = nullptr;
  for (const addrinfo* a = found; a && !chosen; a = a->ai_next) {
    if (a->ai_addrlen >= sizeof(sockaddr_in) && (a->ai_family == AF_INET || a->ai_family == AF_INET6)) chosen = a;
  }
  if (!chosen) {
    freeaddrinfo(found);
    stop();
    return finishSetup(std::move(block), false, {GBPingError::Network, 1, 0});
  }
  int family = chosen->ai_family;
  ByteBuffer address(reinterpret_cast<const uint8_t*>(chosen->ai_addr),
                     reinterpret_cast<const uint8_t*>(chosen->ai_addr) + chosen->ai_addrlen);
  QString addressText = numericHost(chosen->ai_addr, chosen->ai_addrlen);
  freeaddrinfo(found);

  int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, family == AF_INET ? int(IPPROTO_ICMP) : int(IPPROTO_ICMPV6));
  if (fd < 0) {
    int error = errno;
    stop();
    return finishSetup(std::move(block), false, {GBPingError::Posix, error, 0});
  }
  // The kernel answers a ping socket's echoes to the identifier it is bound to: bind ours,
  // or take the one the kernel picks when ours is in use.
  uint16_t identifier = this->identifier();
  sockaddr_storage local{};
  socklen_t localLength = 0;
  auto bindTo = [&](uint16_t id) {
    local = {};
    if (family == AF_INET) {
      auto* in = reinterpret_cast<sockaddr_in*>(&local);
      in->sin_family = AF_INET;
      in->sin_port = htons(id);
      localLength = sizeof(sockaddr_in);
    } else {
      auto* in6 = reinterpret_cast<sockaddr_in6*>(&local);
      in6->sin6_family = AF_INET6;
      in6->sin6_port = htons(id);
      localLength = sizeof(sockaddr_in6);
    }
    return ::bind(fd, reinterpret_cast<sockaddr*>(&local), localLength) == 0;
  };
  if (!bindTo(identifier) && bindTo(0) &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0) {
    identifier = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in*>(&local)->sin_port
                                         : reinterpret_cast<sockaddr_in6*>(&local)->sin6_port);
  }
  int on = 1;
  if (family == AF_INET) setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
  {
    std::lock_guard lock(mutex_);
    if (ttl_ != 0) {
      int ttl = static_cast<int>(ttl_);
      if (family == AF_INET)
        setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
      else
        setsockopt(fd, IPPROTO_IPV6, IPV6_UNICAST_HOPS, &ttl, sizeof ttl);
    }
    if (generation != generation_ || stopped_) {
      // Stopped while setting up: nothing may come alive after the stop.
      ::close(fd);
      return finishSetup(std::move(block), false, {GBPingError::Posix, ECANCELED, 0});
    }
    socket_ = fd;
    hostAddress_ = std::move(address);
    hostAddressString_ = addressText;
    identifier_ = identifier;
    ready_ = true;
  }
  finishSetup(std::move(block), true, {});
}

// --- running ---

void GBPing::startPinging() {
  std::lock_guard lock(mutex_);
  if (!ready_ || pinging_) return;
  char drain[64];
  while (wake_[0] >= 0 && ::read(wake_[0], drain, sizeof drain) > 0) {
  }
  pinging_ = true;
  listenThread_ = std::thread([this] {
    nameThread("listenThread");
    listenLoop();
  });
  sendThread_ = std::thread([this] {
    nameThread("sendThread");
    sendLoop();
  });
}

void GBPing::stop() {
  std::thread send, listen;
  int fd = 0;
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    pinging_ = false;
    ready_ = false;
    fd = socket_;
    socket_ = 0;
    hostAddress_.clear();
    pendingPings_.clear();  // every time-out timer goes with its echo
    nextSequenceNumber_ = 0;
    stopped_ = true;
    generation_++;
    send = std::move(sendThread_);
    listen = std::move(listenThread_);
    if (wake_[1] >= 0) (void)!::write(wake_[1], "x", 1);
  }
  cv_.notify_all();
  for (std::thread* t : {&send, &listen}) {
    if (!t->joinable()) continue;
    if (t->get_id() == std::this_thread::get_id())
      t->detach();  // the thread that asked ends after this call
    else
      t->join();
  }
  // Closed only once no thread of this run can still use it.
  if (fd > 0) ::close(fd);
}

void GBPing::sendLoop() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (!pinging_) return;
    }
    sendPing();
    std::unique_lock lock(mutex_);
    const auto next = Clock::now() + seconds(pingPeriod());
    while (pinging_) {
      auto now = Clock::now();
      fireTimersLocked(now);
      if (now >= next) break;
      auto until = next;
      for (const auto& [seq, p] : pendingPings_) {
        if (p.timerLive) until = std::min(until, p.timeoutAt);
        until = std::min(until, p.dropAt);
      }
      cv_.wait_until(lock, until);
    }
  }
}

// Echoes whose time-out has passed are failed and reported; echoes past their keeping
// time are forgotten.
void GBPing::fireTimersLocked(Clock::time_point now) {
  for (auto it = pendingPings_.begin(); it != pendingPings_.end();) {
    Pending& p = it->second;
    if (p.timerLive && now >= p.timeoutAt) {
      p.timerLive = false;
      p.summary.status = GBPingSummary::GBPingStatusFail;
      GBPingSummary copy = p.summary;
      post([copy](GBPingDelegate& d, GBPing& g) { d.didTimeoutWithSummary(g, copy); });
    }
    if (now >= p.dropAt)
      it = pendingPings_.erase(it);
    else
      ++it;
  }
}

void GBPing::sendPing() {
  int family = hostAddressFamily();
  ByteBuffer packet, address;
  int fd;
  GBPingSummary summary;
  {
    std::lock_guard lock(mutex_);
    ByteBuffer payload = gbping::generateData(payloadSize());
    packet = pingPacketWithType(family == AF_INET6 ? gbping::kEchoRequest6 : gbping::kEchoRequest4, payload,
                                family != AF_INET6);
    fd = socket_;
    address = hostAddress_;
    summary.sendDate = std::chrono::system_clock::now();
    summary.sequenceNumber = nextSequenceNumber_;
    summary.host = host_;
    summary.ttl = ttl();
    summary.payloadSize = payloadSize();
    summary.status = GBPingSummary::GBPingStatusPending;
    if (fd > 0) {
      auto now = Clock::now();
      auto wait = seconds(timeout());
      pendingPings_[nextSequenceNumber_] =
          Pending{summary, now + wait, now + wait + timing().pingSummaryKeep.load(), true};
      nextSequenceNumber_++;
      post([summary](GBPingDelegate& d, GBPing& g) { d.didSendPingWithSummary(g, summary); });
    }
  }
  int error = EBADF;
  if (fd > 0) {
    ssize_t sent = ::sendto(fd, packet.data(), packet.size(), MSG_NOSIGNAL,
                            reinterpret_cast<const sockaddr*>(address.data()), socklen_t(address.size()));
    if (sent == ssize_t(packet.size())) return;
    error = errno != 0 ? errno : ENOBUFS;
  }
  std::lock_guard lock(mutex_);
  if (debug_) qInfo("GBPing: failed to send packet with error code: %d", error);
  summary.status = GBPingSummary::GBPingStatusFail;
  if (auto it = pendingPings_.find(summary.sequenceNumber); fd > 0 && it != pendingPings_.end())
    it->second.summary.status = GBPingSummary::GBPingStatusFail;
  GBPingError e{GBPingError::Posix, error, 0};
  post([summary, e](GBPingDelegate& d, GBPing& g) { d.didFailToSendPingWithSummary(g, summary, e); });
}

void GBPing::listenLoop() {
  for (;;) {
    int fd;
    {
      std::lock_guard lock(mutex_);
      if (!pinging_) return;
      fd = socket_;
    }
    if (!listenOnce(fd)) return;  // it stopped the pinger itself: touch nothing more
  }
}

bool GBPing::listenOnce(int fd) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
  int ready = ::poll(fds, wake_[0] >= 0 ? 2 : 1, -1);
  if (ready < 0 && errno == EINTR) return true;
  if (ready > 0 && (fds[1].revents & POLLIN)) return true;  // stopped

  ByteBuffer buffer(gbping::kReceiveBufferBytes);
  sockaddr_storage from{};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int)) * 2];
  iovec io{buffer.data(), buffer.size()};
  msghdr message{};
  message.msg_name = &from;
  message.msg_namelen = sizeof from;
  message.msg_iov = &io;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  ssize_t n = ready < 0 ? -1 : ::recvmsg(fd, &message, MSG_DONTWAIT);
  if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return true;
  if (n <= 0) {
    GBPingError e{GBPingError::Posix, n == 0 ? EPIPE : errno, 0};
    {
      std::lock_guard lock(mutex_);
      if (!stopped_) post([e](GBPingDelegate& d, GBPing& g) { d.didFailWithError(g, e); });
    }
    stop();
    return false;
  }
  std::span<const uint8_t> datagram(buffer.data(), size_t(n));
  QString source = numericHost(reinterpret_cast<sockaddr*>(&from), message.msg_namelen);
  int receivedTtl = -1;
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL && c->cmsg_len >= CMSG_LEN(sizeof(int)))
      std::memcpy(&receivedTtl, CMSG_DATA(c), sizeof(int));
  }

  int family = hostAddressFamily();
  std::lock_guard lock(mutex_);
  // An echo to a group is answered by each member from its own address, never from the
  // group's: there any source counts, but only with a valid reply to one of our echoes.
  const bool fromHost = source == hostAddressString_;
  const bool toGroup = isGroupAddress(hostAddress_);
  if (!fromHost && !toGroup) return true;  // not from the host we ping
  std::optional<std::span<const uint8_t>> icmp =
      family == AF_INET ? gbping::icmp4InDatagram(datagram) : std::optional(datagram);
  auto header = icmp ? gbping::echoHeader(*icmp) : std::nullopt;
  if (!header) return true;
  auto it = pendingPings_.end();
  for (auto p = pendingPings_.begin(); p != pendingPings_.end(); ++p)
    if ((p->first & 0xFFFF) == header->sequence) it = p;
  if (it == pendingPings_.end()) return true;  // no echo of ours is waiting for it
  GBPingSummary& summary = it->second.summary;
  const bool valid = isValidPingResponsePacket(datagram);
  if (!valid && !fromHost) return true;  // a stranger's packet says nothing about our echo
  if (valid) {
    summary.receiveDate = std::chrono::system_clock::now();
    if (family == AF_INET) {
      // A whole IP packet carries its own source and TTL; a ping socket's datagram does not.
      bool ipPacket = (datagram[0] >> 4) == 4;
      auto ipSource = ipPacket ? gbping::sourceAddressInPacket(datagram) : std::nullopt;
      summary.host = ipSource ? QString::fromStdString(*ipSource) : source;
      if (ipPacket && datagram.size() > 8)
        summary.ttl = datagram[8];
      else if (receivedTtl >= 0)
        summary.ttl = unsigned(receivedTtl);
    } else if (toGroup) {
      summary.host = source;  // the member that answered, not the group
    }
    summary.status = GBPingSummary::GBPingStatusSuccess;
    it->second.timerLive = false;
    GBPingSummary copy = summary;
    post([copy](GBPingDelegate& d, GBPing& g) { d.didReceiveReplyWithSummary(g, copy); });
  } else {
    summary.status = GBPingSummary::GBPingStatusFail;
    GBPingSummary copy = summary;
    post([copy](GBPingDelegate& d, GBPing& g) { d.didReceiveUnexpectedReplyWithSummary(g, copy); });
  }
  return true;
}
