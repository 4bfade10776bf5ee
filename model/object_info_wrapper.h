#pragma once
// One camera object as the windows see it. PtpObjectInfoClass wraps a private copy of a
// PtpObjectInfoStruct as read-only properties; PtpImageData pairs an object's bytes (a
// whole image, a thumbnail or an extracted JPEG) with its PtpObjectInfoClass. Both are
// immutable once made, live in shared_ptrs and travel between threads in notifications.
#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <memory>

#include "ptp/base/object_info.h"

class PtpObjectInfoClass {
 public:
  // init: a wrapper of a copy of record; null for a null record.
  static std::shared_ptr<PtpObjectInfoClass> init(const PtpObjectInfoStruct* record);
  // A record naming the last component of path, with the object format its extension
  // gives (0 when unknown), every other field zero. Null for an empty path, and for a
  // name longer than the record's 255 bytes: a shortened name would name another file.
  static std::shared_ptr<PtpObjectInfoClass> initWithPath(const QString& path);

  // Same handle; without a handle (objectId 0xFFFFFFFF), the same file name. Null: false.
  bool isEqual(const PtpObjectInfoClass* other) const;
  bool isEqual(const std::shared_ptr<PtpObjectInfoClass>& other) const { return isEqual(other.get()); }

  uint8_t orientation() const { return orientation_; }
  uint16_t objectFormat() const { return objectFormat_; }
  uint16_t protectionStatus() const { return protectionStatus_; }
  uint16_t thumbFormat() const { return thumbFormat_; }
  uint16_t associationType() const { return associationType_; }
  uint32_t objectId() const { return objectId_; }
  uint32_t objectCompressedSize() const { return objectCompressedSize_; }
  uint32_t thumbCompressedSize() const { return thumbCompressedSize_; }
  uint32_t thumbPixWidth() const { return thumbPixWidth_; }
  uint32_t thumbPixHeight() const { return thumbPixHeight_; }
  uint32_t imagePixWidth() const { return imagePixWidth_; }
  uint32_t imagePixHeight() const { return imagePixHeight_; }
  uint32_t imageBitDepth() const { return imageBitDepth_; }
  uint32_t parentObject() const { return parentObject_; }
  uint32_t associationDesc() const { return associationDesc_; }
  uint32_t sequenceNumber() const { return sequenceNumber_; }
  QString fileName() const { return fileName_; }
  // UTC; an invalid QDateTime when the record's seconds lie beyond what QDateTime holds.
  QDateTime captureDate() const { return captureDate_; }
  QDateTime modificationDate() const { return modificationDate_; }
  QString keywords() const { return keywords_; }
  // The private copy of the whole record (rating and the pad fields survive only here);
  // valid as long as this instance lives.
  const PtpObjectInfoStruct* origObjectInfo() const { return &mOrigObjectInfo; }

  PtpObjectInfoClass(const PtpObjectInfoClass&) = delete;
  PtpObjectInfoClass& operator=(const PtpObjectInfoClass&) = delete;

 private:
  explicit PtpObjectInfoClass(const PtpObjectInfoStruct& record);

  PtpObjectInfoStruct mOrigObjectInfo;
  uint8_t orientation_;
  uint16_t objectFormat_, protectionStatus_, thumbFormat_, associationType_;
  uint32_t objectId_, objectCompressedSize_, thumbCompressedSize_, thumbPixWidth_, thumbPixHeight_,
      imagePixWidth_, imagePixHeight_, imageBitDepth_, parentObject_, associationDesc_, sequenceNumber_;
  QString fileName_;
  QDateTime captureDate_, modificationDate_;
  QString keywords_;
};

class PtpImageData {
 public:
  // Takes the bytes over without copying (the buffer is the data's from now on).
  static std::shared_ptr<PtpImageData> initWithBuffer(QByteArray&& buffer,
                                                      std::shared_ptr<PtpObjectInfoClass> objectInfo);
  // Copies length bytes; the caller's buffer stays the caller's. Null bytes count as none.
  static std::shared_ptr<PtpImageData> initWithBuffer(const uint8_t* bytes, uint32_t length,
                                                      std::shared_ptr<PtpObjectInfoClass> objectInfo);
  // A copy of data.
  static std::shared_ptr<PtpImageData> initWithObjectData(const QByteArray& data,
                                                          std::shared_ptr<PtpObjectInfoClass> objectInfo);

  QByteArray getImageData() const { return mImageData; }
  std::shared_ptr<PtpObjectInfoClass> getObjectInfo() const { return mObjectInfo; }

  PtpImageData(const PtpImageData&) = delete;
  PtpImageData& operator=(const PtpImageData&) = delete;

 private:
  PtpImageData(QByteArray data, std::shared_ptr<PtpObjectInfoClass> objectInfo)
      : mImageData(std::move(data)), mObjectInfo(std::move(objectInfo)) {}

  const QByteArray mImageData;
  const std::shared_ptr<PtpObjectInfoClass> mObjectInfo;
};

// Notification objects: Notification::objectAs<std::shared_ptr<PtpImageData>>().
Q_DECLARE_METATYPE(std::shared_ptr<PtpObjectInfoClass>)
Q_DECLARE_METATYPE(std::shared_ptr<PtpImageData>)
