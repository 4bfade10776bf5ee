#pragma once
// The client side of one share session with the device, once per process: it binds the
// camera library to the link, runs the session's reader, unsolicited loop and heartbeat
// watchdog, and hands every message the device sends unasked to its serial queue.
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

#include "ptp/base/bytes.h"
#include "ptp/base/object_info.h"
#include "ptp/link/share_session.h"
#include "share/share_decoder.h"

class ShareComms {
 public:
  // Label of the serial decoding queue.
  static constexpr const char* kPtpQueueLabel = "com.korvalume.ptp.bgqueue";

  static ShareComms& instance();

  // On the connect run's thread, with the link open and the share mode set. Posts
  // ConnectionStatusStartFailed and returns false when the device answers no heartbeat.
  bool start();
  // The computer's name as this client's name on the device; the result is not looked at.
  uint16_t sendClientName();
  // Ends the session without waiting (any thread, also from a notification handler): the
  // link closes and the session's end posts ConnectionStatusDisconnected.
  void killConnection();
  // killConnection(), then waits for the session's threads, unless called on one of them.
  void stop();
  // True while the unsolicited loop and its queue exist.
  bool hasPtpQueue() const;

  // One unsolicited message, on the serial queue: decoded by kind, then
  // postMessageHandled(), whatever the kind.
  void handleUnsolicitedMessage(ByteBuffer& message);

  // Test hook: sees every unsolicited message on the serial queue before it is handled.
  void setMessageTap(std::function<void(const ByteBuffer& message)> tap);

  static QString localComputerName();

 private:
  ShareComms();
  ShareComms(const ShareComms&) = delete;
  ShareComms& operator=(const ShareComms&) = delete;

  ShareSession mSession;
  std::mutex mTapMutex;
  std::function<void(const ByteBuffer&)> mTap;

  // The current object records and the chunk assembly: touched only on the serial
  // queue, one message at a time, and kept from one session to the next.
  ShareDecoder mDecoder;
};

// postIncomingOobMessage(): run by the mailbox for each
// unsolicited PTP message that is not a live-view frame.
void shareCommsPostOobMessage();
