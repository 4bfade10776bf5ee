#pragma once
// The record of one ICMP echo: when it went out, when (and whether) its reply came back.
#include <QString>

#include <chrono>
#include <optional>

struct GBPingSummary {
  using Time = std::chrono::system_clock::time_point;
  enum Status : int { GBPingStatusPending = 0, GBPingStatusSuccess = 1, GBPingStatusFail = 2 };

  unsigned sequenceNumber = 0;
  unsigned payloadSize = 0;
  unsigned ttl = 0;
  QString host;
  std::optional<Time> sendDate;
  std::optional<Time> receiveDate;
  int status = GBPingStatusPending;

  // Seconds from send to receive; 0 while either is missing.
  double rtt() const;
  QString description() const;
};
