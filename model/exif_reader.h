#pragma once
// Exif: the shooting data of one image (a whole object or the first part of one), for the
// still viewer's EXIF strip. The image reader (Exiv2, standing in for ImageIO) is asked
// first; where it gives nothing the TIFF and EXIF structures are walked here. Metering mode
// and white balance are then mapped, per camera make, to the values the camera's own PTP
// properties use, so the icon kit draws the same icons as for live properties.
// Plain C++: usable without Qt. Every read of the data is bounded by it.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "model/exif_properties.h"

// Bytes at the end of an object that hold its metadata when the start does not; the still
// viewer and the image helpers use this value.
constexpr uint32_t kExifHeaderLength = 256000;

class Exif {
 public:
  // initWithData:objectFormat:headerLength: — null when the data has no usable metadata.
  static std::shared_ptr<Exif> initWithData(std::span<const uint8_t> data, uint32_t objectFormat,
                                            uint32_t headerLength);

  // Reads the data into the fields; false when it holds no usable metadata.
  bool parseData(std::span<const uint8_t> data);

  // The property dictionary of the data for the given PTP object format, or nullopt.
  std::optional<ExifProperties> getMetaData(std::span<const uint8_t> data, uint16_t objectFormat) const;

  // The own walker: the TIFF and EXIF dictionaries found by scanning the data for
  // little-endian TIFF headers. Nullopt when nothing was found.
  static std::optional<ExifProperties> getManualMetaDataDictionary(std::span<const uint8_t> data);

  // IFD0 of the little-endian TIFF header at the start of header (its size is the length).
  static std::optional<ExifDictionary> tiffDictionaryFromHeader(std::span<const uint8_t> header);

  // An EXIF IFD. header starts at a TIFF header. With headerIndex 0 the signature must be
  // there and the IFD is the one it points to; with a negative index the IFD starts
  // -headerIndex bytes into header (value offsets stay relative to the TIFF header).
  static std::optional<ExifDictionary> exifDictionaryFromHeader(std::span<const uint8_t> header, int32_t headerIndex);

  // The EXIF FocalLength of the data, 0 when anything is missing.
  static int getFocalLength(std::span<const uint8_t> data, uint16_t objectFormat);

  // The image size, for images whose metadata gives none (truncated to whole pixels).
  void setSize(double width, double height);

  uint16_t xDimension() const;
  uint16_t yDimension() const;
  float shutterSpeed() const { return mShutterSpeed; }
  float aperture() const { return mAperture; }
  uint16_t iso() const { return mIso; }
  float exposureCompensation() const { return mExposureCompensation; }
  uint16_t meteringMode() const { return mMeteringMode; }
  uint16_t whiteBalance() const { return mWhiteBalance; }
  uint16_t focalLength() const { return mFocalLength; }
  uint8_t cameraMake() const { return mCameraMake; }
  uint8_t orientation() const { return mOrientation; }
  int64_t rawMeteringMode() const { return mRawMeteringMode; }
  int64_t rawWhiteBalance() const { return mRawWhiteBalance; }
  uint32_t objectFormat() const { return mObjectFormat; }
  uint32_t exifHeaderLength() const { return mExifHeaderLength; }
  const ExifProperties& originalProperties() const { return mOriginalProperties; }

  // Display strings, made on first request and kept; nullopt is not kept.
  std::optional<std::string> shutterSpeedString() const;
  std::optional<std::string> apertureString() const;
  std::optional<std::string> isoString() const;
  std::optional<std::string> exposureCompensationString() const;
  std::optional<std::string> sizeString() const;
  std::optional<std::string> focalLengthString() const;

  Exif(uint32_t objectFormat, uint32_t headerLength) : mObjectFormat(objectFormat), mExifHeaderLength(headerLength) {}
  Exif(const Exif&) = delete;
  Exif& operator=(const Exif&) = delete;

 private:
  std::optional<std::string> cached(std::optional<std::string>& slot,
                                    std::optional<std::string> (*make)(const Exif&)) const;
  void readFields(const ExifProperties& properties, std::span<const uint8_t> data);

  uint16_t mXDimension = 0, mYDimension = 0;
  float mShutterSpeed = 0, mAperture = 0, mExposureCompensation = 0;
  uint16_t mIso = 0, mMeteringMode = 0, mWhiteBalance = 0, mFocalLength = 0;
  uint8_t mCameraMake = 0, mOrientation = 0;
  ExifProperties mOriginalProperties;
  int64_t mRawMeteringMode = 0, mRawWhiteBalance = 0;
  uint32_t mObjectFormat = 0;
  uint32_t mExifHeaderLength = 0;

  // The strip asks for the strings on the GUI thread while the still viewer may set the
  // size from its decoding thread: the size and the kept strings share this lock.
  mutable std::mutex mMutex;
  mutable std::optional<std::string> mShutterSpeedString, mApertureString, mIsoString,
      mExposureCompensationString, mSizeString, mFocalLengthString;
};
