#include "share/share_decoder.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "model/object_info_wrapper.h"
#include "model/utilities.h"
#include "platform/user_defaults.h"
#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "ptp/vendors/canon/canon_images.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "share/share_events.h"
#include "share/watermark_settings.h"

namespace {

constexpr uint8_t kOpcodeLiveViewJpeg113 = 113;

constexpr const char kExtractedSuffix[] = ".ext.jpg";
constexpr size_t kExtractedSuffixBytes = sizeof(kExtractedSuffix) - 1;

std::shared_ptr<PtpImageData> imageCopy(std::span<const uint8_t> bytes, const PtpObjectInfoStruct& record) {
  return PtpImageData::initWithBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()),
                                      PtpObjectInfoClass::init(&record));
}

QByteArray toByteArray(std::span<const uint8_t> bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// UTF-8 text, or a null string when the bytes are not valid UTF-8.
QString validUtf8(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  if (utf8.hasError()) return QString();
  return text.isNull() ? QString(QLatin1String("")) : text;
}

// A record from a device payload: strings terminated, the format taken from the name
// when the device left it out, in host order.
PtpObjectInfoStruct finishRecord(PtpObjectInfoStruct record) {
  objectInfoTerminateStrings(record);
  if (record.objectFormat == 0) record.objectFormat = fileFormatFromName(record.fileName);
  ptpObjectInfoToHostOrder(record);
  return record;
}

// name + ".ext.jpg" within the record's 255 bytes: a long name gives up its tail (at a
// character boundary) rather than the suffix, so the file stays a JPEG.
std::string extractedName(const std::string& name) {
  constexpr size_t room = kObjectNameBytes - 1 - kExtractedSuffixBytes;
  size_t keep = std::min(name.size(), room);
  while (keep > 0 && keep < name.size() && (static_cast<uint8_t>(name[keep]) & 0xC0) == 0x80) --keep;
  return name.substr(0, keep) + kExtractedSuffix;
}

ShareDecoderHooks defaultHooks(ShareDecoderHooks hooks) {
  if (!hooks.showError) hooks.showError = [](const QString& message) { Utilities::showErrorMessage(message); };
  if (!hooks.watermark)
    hooks.watermark = [](const WatermarkSettings& settings) {
      watermarkSettingsStore(settings, UserDefaults::standardUserDefaults());
      postUserDefaultsUpdated();
    };
  return hooks;
}

}  // namespace

// ---- inner layouts

std::optional<ShareInner> sharePtpInner(std::span<const uint8_t> inner) {
  ByteReader r(inner);
  auto length = r.u32(0);
  auto code = r.u16(6);
  if (!length || !code || *length < kSharePtpHeaderBytes || *length > inner.size()) return std::nullopt;
  return ShareInner{*code, inner.subspan(kSharePtpHeaderBytes, *length - kSharePtpHeaderBytes)};
}

static std::optional<ShareInner> controlInner(std::span<const uint8_t> inner, size_t header) {
  ByteReader r(inner);
  auto length = r.u32(0);
  auto opcode = r.u8(4);
  if (!length || !opcode || !r.has(0, header) || *length < header || *length > inner.size()) return std::nullopt;
  return ShareInner{*opcode, inner.subspan(header, *length - header)};
}

std::optional<ShareInner> shareControlInner(std::span<const uint8_t> inner) {
  return controlInner(inner, kShareControlHeaderBytes);
}

std::optional<ShareInner> shareControlResponseInner(std::span<const uint8_t> inner) {
  return controlInner(inner, kShareControlResponseHeaderBytes);
}

std::optional<ShareInner> shareRelayInner(std::span<const uint8_t> inner) {
  ByteReader r(inner);
  auto code = r.u8(5);
  auto relayLength = r.u32(6);
  if (!code || !relayLength) return std::nullopt;
  auto payload = r.bytes(kShareRelayHeaderBytes, *relayLength);
  if (!payload) return std::nullopt;
  return ShareInner{*code, *payload};
}

// ---- decoder

ShareDecoder::ShareDecoder() : ShareDecoder(ShareDecoderHooks{}) {}

ShareDecoder::ShareDecoder(ShareDecoderHooks hooks) : mHooks(defaultHooks(std::move(hooks))) {}

void ShareDecoder::handleFrame(std::span<const uint8_t> frame) {
  if (frame.size() < kShareHeaderBytes) return;
  const std::span<const uint8_t> inner = frame.subspan(kShareHeaderBytes);
  switch (frame[4] & 0x0F) {
    case ShareMessageKindPtp:
      handlePtpMessage(inner);
      break;
    case ShareMessageKindControl:
      handleControlMessage(inner);
      break;
    case ShareMessageKindControlResponse:
      handleControlResponseMessage(inner);
      break;
    case ShareMessageKindRelay:
      handleRelayMessage(inner);
      break;
    default:
      break;
  }
}

void ShareDecoder::handlePtpMessage(std::span<const uint8_t> inner) {
  auto m = sharePtpInner(inner);
  if (!m) return;
  switch (m->code) {
    case PTP_OC_GetObject:
      wholeObject(m->payload);
      break;
    case PTP_OC_GetThumb:
      thumbnail(m->payload);
      break;
    case PTP_OC_CANON_GetThumbEx: {
      std::vector<uint8_t> cut(m->payload.begin(), m->payload.end());
      uint8_t orientation = mLastPtpObjectInfo.orientation;
      if (canonExtractThumbJpeg(cut, &orientation) != PTP_RC_OK) {
        reportOnce(mThumbFailureReported, QStringLiteral("Failed to extract thumbnail."));
        return;
      }
      mLastPtpObjectInfo.orientation = orientation;
      stored(cacheStoreRecord(mLastPtpObjectInfo) == 1, mLastPtpObjectInfo);
      thumbnail(cut);
      break;
    }
    case PTP_OC_GetPartialObject:
    case PTP_OC_CANON_GetPartialObject:
      objectChunk(m->payload, true);
      break;
    case PTP_OC_CANON_GetViewFinderData:
    case PTP_OC_NIKON_GetLiveViewImage:
    case PTP_OC_NIKON_GetLiveViewImageEx:
      liveView(m->code, m->payload);
      break;
    default:
      break;
  }
}

void ShareDecoder::handleControlMessage(std::span<const uint8_t> inner) {
  auto m = shareControlInner(inner);
  if (!m) return;
  switch (m->code) {
    case DeviceOpcodeExtractedJpeg:
    case DeviceOpcodeExtractedJpegByName:
      handleExtractedImage(m->payload);
      break;
    case DeviceOpcodeWatermarkSettings:
      watermark(m->payload);
      break;
    default:
      break;
  }
}

void ShareDecoder::handleControlResponseMessage(std::span<const uint8_t> inner) {
  // The result code is not looked at: a reply is decoded by its opcode alone.
  auto m = shareControlResponseInner(inner);
  if (!m) return;
  switch (m->code) {
    case DeviceOpcodePartialObject:
      objectChunk(m->payload, true);
      break;
    case DeviceOpcodePartialObjectByName:
      objectChunk(m->payload, false);
      break;
    case kOpcodeLiveViewJpeg113:
    case DeviceOpcodeExtractedJpeg:
    case DeviceOpcodeExtractedJpegByName:
      handleExtractedImage(m->payload);
      break;
    case DeviceOpcodeWatermarkSettings:
      watermark(m->payload);
      break;
    case DeviceOpcodeClientCanSave:
      clientCanSave(m->payload);
      break;
    case DeviceOpcodeLiveViewFrame:
      postLiveViewImage({toByteArray(m->payload), CameraVendorFujifilm});
      break;
    case DeviceOpcodeThumbnailByName:
      thumbnailByName(m->payload);
      break;
    default:
      break;
  }
}

void ShareDecoder::handleRelayMessage(std::span<const uint8_t> inner) {
  auto m = shareRelayInner(inner);
  if (!m) return;
  switch (m->code) {
    case RelayCodeObjectInfo:
      objectInfo(m->payload);
      break;
    case RelayCodePartialObjectInfo:
      partialObjectInfo(m->payload);
      break;
    case RelayCodeFileName:
      sdFileName(m->payload);
      break;
    default:
      break;
  }
}

void ShareDecoder::handleExtractedImage(std::span<const uint8_t> jpeg) {
  if (fileFormatIsRaw(mLastPtpObjectInfo.objectFormat)) {
    // Filed beside the raw object under its own name; the raw download stays untouched.
    // A second JPEG of the same object replaces the first instead of growing the name.
    const std::string name = objectInfoFileName(mLastPtpObjectInfo);
    if (!bytesEndsWith(name.c_str(), kExtractedSuffix)) objectInfoSetFileName(mLastPtpObjectInfo, extractedName(name));
  }
  stored(cacheStoreObject(mLastPtpObjectInfo, jpeg).has_value(), mLastPtpObjectInfo);
  postImageData({imageCopy(jpeg, mLastPtpObjectInfo)});
}

void ShareDecoder::wholeObject(std::span<const uint8_t> object) {
  if (object.size() > kShareWholeObjectMax) return;
  stored(cacheStoreObject(mLastPtpObjectInfo, object).has_value(), mLastPtpObjectInfo);
  postImageData({imageCopy(object, mLastPtpObjectInfo)});
}

void ShareDecoder::thumbnail(std::span<const uint8_t> jpeg) {
  auto image = imageCopy(jpeg, mLastPtpObjectInfo);
  stored(cacheStoreThumb(mLastPtpObjectInfo, jpeg) == 1, mLastPtpObjectInfo);
  postShareThumbnailDownloaded({image});
}

void ShareDecoder::thumbnailByName(std::span<const uint8_t> payload) {
  // The orientation byte comes first; without it there is no thumbnail either.
  if (payload.empty()) return;
  mLastPtpObjectInfo.orientation = payload[0];
  thumbnail(payload.subspan(1));
}

void ShareDecoder::liveView(uint16_t code, std::span<const uint8_t> reply) {
  std::vector<uint8_t> frame;
  if (code == PTP_OC_CANON_GetViewFinderData) {
    if (!canonParseLiveViewFrame(reply.data(), reply.size(), frame, camModelIndex())) return;
    postLiveViewImage({toByteArray(frame), CameraVendorCanon});
    return;
  }
  if (!camExtractLiveViewJpeg(reply, frame, code)) return;
  postLiveViewImage({toByteArray(frame), CameraVendorNikon});
}

void ShareDecoder::watermark(std::span<const uint8_t> payload) {
  if (auto settings = watermarkSettingsFromBytes(payload)) mHooks.watermark(*settings);
}

void ShareDecoder::clientCanSave(std::span<const uint8_t> payload) {
  if (payload.empty()) return;
  postClientCanSaveUpdated({payload[0] != 0});
}

void ShareDecoder::objectInfo(std::span<const uint8_t> payload) {
  // Whatever the payload leaves out is zero, not a field of the previous object.
  PtpObjectInfoStruct record{};
  if (!payload.empty()) std::memcpy(&record, payload.data(), std::min(payload.size(), kObjectInfoBytes));
  if (shareGetMode() == ShareModeGeneration1) shareWidenObjectInfo(reinterpret_cast<uint8_t*>(&record));
  mLastPtpObjectInfo = finishRecord(record);
  stored(cacheStoreRecord(mLastPtpObjectInfo) == 1, mLastPtpObjectInfo);
}

void ShareDecoder::partialObjectInfo(std::span<const uint8_t> payload) {
  if (payload.size() < kObjectInfoBytes) {
    // Chunks that follow cannot be placed: they wait for the next usable record.
    mPartialInfoUsable = false;
    dropPartialObject();
    return;
  }
  PtpObjectInfoStruct record;
  std::memcpy(&record, payload.data(), kObjectInfoBytes);
  mLastPartialPtpObjectInfo = finishRecord(record);
  mPartialInfoUsable = true;
  stored(cacheStoreRecord(mLastPartialPtpObjectInfo) == 1, mLastPartialPtpObjectInfo);
}

void ShareDecoder::sdFileName(std::span<const uint8_t> payload) {
  const std::string name = *ByteReader(payload).cstring(0, payload.size());
  const QString text = validUtf8(name);
  if (text.isNull()) return;
  mLastSdFileName = text;
  // A longer name cut to fit would name another file.
  if (name.empty() || name.size() >= kObjectNameBytes) return;
  // Known by name only: a handle of 0 shared by every card file would let each new name
  // take over the cache entry of the one before.
  PtpObjectInfoStruct record{};
  record.objectId = kObjectIdNone;
  objectInfoSetFileName(record, name);
  record.fileNameLength = static_cast<uint16_t>(text.length());
  record.objectFormat = fileFormatFromName(record.fileName);
  stored(cacheStoreRecord(record) == 1, record);
}

void ShareDecoder::beginSession() {
  mStoreFailureReported = false;
  mThumbFailureReported = false;
}

void ShareDecoder::reportOnce(std::atomic<bool>& reported, const QString& message) {
  if (!reported.exchange(true)) mHooks.showError(message);
}

void ShareDecoder::stored(bool ok, const PtpObjectInfoStruct& record) {
  // A record without a name has nowhere to be filed; that is not a failed write.
  if (ok || record.fileName[0] == '\0') return;
  if (!cacheIsLoaded()) {
    reportOnce(mStoreFailureReported,
               QStringLiteral("Images from the Korvalume are not being saved: the cache folder is not set up. "
                              "They are shown, but not kept."));
    return;
  }
  reportOnce(mStoreFailureReported,
             QStringLiteral("Could not save \"%1\": the cache or save folder cannot be written (read-only or "
                            "full). Images are shown, but not kept until this is fixed.")
                 .arg(QString::fromUtf8(objectInfoFileName(record).c_str())));
}

void ShareDecoder::dropPartialObject() {
  mPartialObjectData = QByteArray();
  mHasPartialObjectData = false;
}

void ShareDecoder::objectChunk(std::span<const uint8_t> chunk, bool checkHandle) {
  if (!mPartialInfoUsable) return;
  const PtpObjectInfoStruct& info = mLastPartialPtpObjectInfo;
  const uint32_t offset = info.sequenceNumber;
  if (info.objectCompressedSize > kSharePartialObjectMax) {
    dropPartialObject();
    return;
  }
  if (offset == 0) {
    mPartialObjectData = toByteArray(chunk);
    mHasPartialObjectData = true;
    mPartialObjectId = info.objectId;
  } else {
    if (checkHandle && mPartialObjectId != info.objectId) {
      dropPartialObject();
      return;
    }
    // Only the chunk that continues the buffer exactly is taken; a gap, an overlap or a
    // repeat loses the object, which the device then sends again from the start.
    if (!mHasPartialObjectData || uint64_t(mPartialObjectData.size()) != offset ||
        uint64_t(offset) + chunk.size() > kSharePartialObjectMax) {
      dropPartialObject();
      return;
    }
    mPartialObjectData.append(reinterpret_cast<const char*>(chunk.data()), static_cast<qsizetype>(chunk.size()));
  }
  if (uint64_t(mPartialObjectData.size()) < info.objectCompressedSize) return;
  QByteArray object = std::move(mPartialObjectData);
  dropPartialObject();
  stored(cacheStoreObject(info, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(object.constData()),
                                                         static_cast<size_t>(object.size())))
             .has_value(),
         info);
  postImageData({PtpImageData::initWithBuffer(std::move(object), PtpObjectInfoClass::init(&info))});
}
