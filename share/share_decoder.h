#pragma once
// Decoding of the messages the device sends unasked: each becomes cache writes and a
// notification. Keeps the device's current object records and assembles objects that
// arrive in chunks. One message at a time, on the session's serial queue; no locking.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "ptp/base/bytes.h"
#include "ptp/base/object_info.h"
#include "ptp/link/commands.h"

struct WatermarkSettings;

// Largest whole object a GetObject message may carry; larger ones are ignored.
constexpr uint32_t kShareWholeObjectMax = kDevGetObjectLimit;
// Largest object assembled from chunks. A record announcing more is refused before any
// chunk of it is kept.
constexpr uint64_t kSharePartialObjectMax = kDevMaxObjectBytes;

// Inner header sizes, by kind.
constexpr size_t kSharePtpHeaderBytes = 12;
constexpr size_t kShareControlHeaderBytes = 5;
constexpr size_t kShareControlResponseHeaderBytes = 7;
constexpr size_t kShareRelayHeaderBytes = 10;

// The payload of one inner message, checked against the bytes that arrived: its code
// (PTP operation, control opcode or relay code) and a view into the caller's message.
struct ShareInner {
  uint16_t code = 0;
  std::span<const uint8_t> payload;
};
// Each takes the inner message (the frame from its sixth byte on); nullopt when a header
// does not fit, or a length claims more than arrived or less than its own header.
std::optional<ShareInner> sharePtpInner(std::span<const uint8_t> inner);
std::optional<ShareInner> shareControlInner(std::span<const uint8_t> inner);
std::optional<ShareInner> shareControlResponseInner(std::span<const uint8_t> inner);
std::optional<ShareInner> shareRelayInner(std::span<const uint8_t> inner);

struct ShareDecoderHooks {
  // A message for the user (default: an error alert).
  std::function<void(const QString& message)> showError;
  // New watermark settings (default: written to the standard user defaults, then
  // postUserDefaultsUpdated()).
  std::function<void(const WatermarkSettings& settings)> watermark;
};

class ShareDecoder {
 public:
  ShareDecoder();
  explicit ShareDecoder(ShareDecoderHooks hooks);

  // One whole frame (5-byte header and inner message): decoded by kind. Kinds other than
  // 10, 12, 13 and 15, and messages that do not hold what their header claims, are
  // ignored.
  void handleFrame(std::span<const uint8_t> frame);

  void handlePtpMessage(std::span<const uint8_t> inner);
  void handleControlMessage(std::span<const uint8_t> inner);
  void handleControlResponseMessage(std::span<const uint8_t> inner);
  void handleRelayMessage(std::span<const uint8_t> inner);
  // A JPEG the device cut out of the current object.
  void handleExtractedImage(std::span<const uint8_t> jpeg);

  // A new session begins: each failure that is reported once per session (a store that
  // did not reach the disk, a thumbnail that could not be cut) may be reported again. Any
  // thread: the session's start runs beside the queue of the session before.
  void beginSession();

  // Read-outs for tests.
  const PtpObjectInfoStruct& lastObjectInfo() const { return mLastPtpObjectInfo; }
  const PtpObjectInfoStruct& lastPartialObjectInfo() const { return mLastPartialPtpObjectInfo; }
  bool hasPartialObjectData() const { return mHasPartialObjectData; }
  qsizetype partialObjectLength() const { return mHasPartialObjectData ? mPartialObjectData.size() : 0; }
  const QString& lastSdFileName() const { return mLastSdFileName; }

 private:
  void objectChunk(std::span<const uint8_t> chunk, bool checkHandle);
  void thumbnail(std::span<const uint8_t> jpeg);
  void thumbnailByName(std::span<const uint8_t> payload);
  void wholeObject(std::span<const uint8_t> object);
  void liveView(uint16_t code, std::span<const uint8_t> reply);
  void watermark(std::span<const uint8_t> payload);
  void clientCanSave(std::span<const uint8_t> payload);
  void objectInfo(std::span<const uint8_t> payload);
  void partialObjectInfo(std::span<const uint8_t> payload);
  void sdFileName(std::span<const uint8_t> payload);
  void dropPartialObject();
  // Reports a failed store of the record's files (the image stays on screen).
  void stored(bool ok, const PtpObjectInfoStruct& record);
  void reportOnce(std::atomic<bool>& reported, const QString& message);

  ShareDecoderHooks mHooks;
  PtpObjectInfoStruct mLastPtpObjectInfo{};
  PtpObjectInfoStruct mLastPartialPtpObjectInfo{};
  // Cleared by a partial-object record that could not be used: chunks wait for the next.
  bool mPartialInfoUsable = true;
  QByteArray mPartialObjectData;
  bool mHasPartialObjectData = false;  // the buffer is absent between objects
  uint32_t mPartialObjectId = 0;
  QString mLastSdFileName;
  std::atomic<bool> mStoreFailureReported{false};
  std::atomic<bool> mThumbFailureReported{false};
};
