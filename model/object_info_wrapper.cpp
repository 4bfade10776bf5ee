#include "model/object_info_wrapper.h"

#include <cstring>
#include <limits>
#include <string>

#include "ptp/base/filetypes.h"

namespace {

// Seconds since 1970, unsigned, as a UTC date. Seconds beyond what QDateTime can hold
// (a record from the device may carry anything) give an invalid date, not an overflow.
QDateTime dateFromSeconds(uint64_t seconds) {
  constexpr uint64_t kMaxSeconds = static_cast<uint64_t>(std::numeric_limits<qint64>::max() / 1000);
  if (seconds > kMaxSeconds) return QDateTime();
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
}

QString stringFromField(const char (&field)[kObjectNameBytes]) {
  return QString::fromUtf8(field, static_cast<qsizetype>(::strnlen(field, kObjectNameBytes)));
}

// NSString's lastPathComponent: trailing slashes do not count; "/" stays "/".
QString lastPathComponent(const QString& path) {
  QString trimmed = path;
  while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) trimmed.chop(1);
  if (trimmed == QLatin1String("/")) return trimmed;
  return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

// The library reads names from the private copy, so they end inside their fields there,
// as in every record that came in from the wire or a file; the strings are read from
// that copy and agree with it.
static PtpObjectInfoStruct terminated(const PtpObjectInfoStruct& record) {
  PtpObjectInfoStruct copy = record;
  objectInfoTerminateStrings(copy);
  return copy;
}

PtpObjectInfoClass::PtpObjectInfoClass(const PtpObjectInfoStruct& record)
    : mOrigObjectInfo(terminated(record)),
      orientation_(record.orientation),
      objectFormat_(record.objectFormat),
      protectionStatus_(record.protectionStatus),
      thumbFormat_(record.thumbFormat),
      associationType_(record.associationType),
      objectId_(record.objectId),
      objectCompressedSize_(record.objectCompressedSize),
      thumbCompressedSize_(record.thumbCompressedSize),
      thumbPixWidth_(record.thumbPixWidth),
      thumbPixHeight_(record.thumbPixHeight),
      imagePixWidth_(record.imagePixWidth),
      imagePixHeight_(record.imagePixHeight),
      imageBitDepth_(record.imageBitDepth),
      parentObject_(record.parentObject),
      associationDesc_(record.associationDesc),
      sequenceNumber_(record.sequenceNumber),
      fileName_(stringFromField(mOrigObjectInfo.fileName)),
      captureDate_(dateFromSeconds(record.captureDate)),
      modificationDate_(dateFromSeconds(record.modificationDate)),
      keywords_(stringFromField(mOrigObjectInfo.keywords)) {}

std::shared_ptr<PtpObjectInfoClass> PtpObjectInfoClass::init(const PtpObjectInfoStruct* record) {
  if (record == nullptr) return nullptr;
  return std::shared_ptr<PtpObjectInfoClass>(new PtpObjectInfoClass(*record));
}

std::shared_ptr<PtpObjectInfoClass> PtpObjectInfoClass::initWithPath(const QString& path) {
  if (path.isEmpty()) return nullptr;
  const std::string name = lastPathComponent(path).toUtf8().toStdString();
  if (name.empty() || name.size() >= kObjectNameBytes || name.find('\0') != std::string::npos) return nullptr;
  PtpObjectInfoStruct record;
  std::memset(&record, 0, sizeof record);
  objectInfoSetFileName(record, name);
  record.objectFormat = fileFormatFromName(name.c_str());
  return init(&record);
}

bool PtpObjectInfoClass::isEqual(const PtpObjectInfoClass* other) const {
  if (other == nullptr) return false;
  if (objectId_ != kObjectIdNone) return objectId_ == other->objectId_;
  // By the record's bytes: two names that are not valid UTF-8 stay apart.
  return objectInfoFileName(mOrigObjectInfo) == objectInfoFileName(other->mOrigObjectInfo);
}

std::shared_ptr<PtpImageData> PtpImageData::initWithBuffer(QByteArray&& buffer,
                                                           std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  return std::shared_ptr<PtpImageData>(new PtpImageData(std::move(buffer), std::move(objectInfo)));
}

std::shared_ptr<PtpImageData> PtpImageData::initWithBuffer(const uint8_t* bytes, uint32_t length,
                                                           std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  QByteArray copy;
  if (bytes != nullptr && length > 0)
    copy = QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length));
  return std::shared_ptr<PtpImageData>(new PtpImageData(std::move(copy), std::move(objectInfo)));
}

std::shared_ptr<PtpImageData> PtpImageData::initWithObjectData(const QByteArray& data,
                                                               std::shared_ptr<PtpObjectInfoClass> objectInfo) {
  // Detached: a caller that later writes into its array does not change ours.
  QByteArray copy(data.constData(), data.size());
  return std::shared_ptr<PtpImageData>(new PtpImageData(std::move(copy), std::move(objectInfo)));
}
