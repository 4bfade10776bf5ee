#include "model/exif_reader.h"

#include "model/exif_image_source.h"
#include "model/exif_mapping.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"

namespace {

// Fewer EXIF keys than this means the start of the data was not the image's metadata.
constexpr size_t kExifMinimumKeys = 5;

}  // namespace

std::shared_ptr<Exif> Exif::initWithData(std::span<const uint8_t> data, uint32_t objectFormat, uint32_t headerLength) {
  auto exif = std::make_shared<Exif>(objectFormat, headerLength);
  if (objectFormat == kFormatRaf && !(data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8)) {
    uint32_t offset = 0, length = 0;
    if (fileFindEmbeddedJpeg(data, offset, length, kFormatRaf) && offset < data.size()) data = data.subspan(offset);
  }
  if (!exif->parseData(data)) return nullptr;
  return exif;
}

std::optional<ExifProperties> Exif::getMetaData(std::span<const uint8_t> data, uint16_t objectFormat) const {
  if (objectFormat == kFormatCr3) return getManualMetaDataDictionary(data);
  if (auto props = exifImageSourceProperties(data)) return props;
  // The reader tells types by content, so the NEF retry as a JPEG would read the same
  // bytes the same way: both raw formats go straight to the walker.
  if (objectFormat == kFormatCr2 || objectFormat == kFormatNef) return getManualMetaDataDictionary(data);
  return std::nullopt;
}

bool Exif::parseData(std::span<const uint8_t> data) {
  mCameraMake = 0;
  std::optional<ExifProperties> props = getMetaData(data, uint16_t(mObjectFormat));
  bool retry = false;
  if (props && props->exif) {
    retry = props->exif->size() < kExifMinimumKeys;
  } else if (mObjectFormat == kFormatArw) {
    props = getManualMetaDataDictionary(data);
    if (!props || !props->exif) return false;
  } else {
    retry = true;
  }
  if (retry) {
    // The metadata may sit at the end of the object: read the last H - 1 bytes (the final
    // byte left out, so a second retry always fails the length test).
    const uint64_t h = mExifHeaderLength;
    if (h == 0 || data.size() < h) return false;
    return parseData(data.subspan(data.size() - h, h - 1));
  }
  readFields(*props, data);
  return true;
}

void Exif::readFields(const ExifProperties& properties, std::span<const uint8_t> data) {
  mOriginalProperties = properties;
  const ExifDictionary& e = *properties.exif;
  mShutterSpeed = float(e.number(kCGImagePropertyExifExposureTime));
  mAperture = float(e.number(kCGImagePropertyExifFNumber));
  mIso = exifToU16(e.number(kCGImagePropertyExifISOSpeedRatings));
  mExposureCompensation = float(e.number(kCGImagePropertyExifExposureBiasValue));
  {
    std::lock_guard lock(mMutex);
    mXDimension = exifToU16(e.number(kCGImagePropertyExifPixelXDimension));
    mYDimension = exifToU16(e.number(kCGImagePropertyExifPixelYDimension));
    if (mXDimension == 0) {
      mXDimension = exifToU16(properties.top.number(kCGImagePropertyPixelWidth));
      mYDimension = exifToU16(properties.top.number(kCGImagePropertyPixelHeight));
    }
  }
  mRawMeteringMode = exifTruncate(e.number(kCGImagePropertyExifMeteringMode));
  mRawWhiteBalance = exifTruncate(e.number(kCGImagePropertyExifWhiteBalance));
  mMeteringMode = uint16_t(mRawMeteringMode);
  mWhiteBalance = uint16_t(mRawWhiteBalance);
  mFocalLength = exifToU16(e.number(kCGImagePropertyExifFocalLength));
  const int64_t lightSource = exifTruncate(e.number(kCGImagePropertyExifLightSource));

  std::string make;
  if (properties.tiff) {
    mOrientation = exifToU8(properties.tiff->number(kCGImagePropertyTIFFOrientation));
    make = properties.tiff->text(kCGImagePropertyTIFFMake);
  }
  mCameraMake = exifCameraMakeFromText(make);
  if (mCameraMake == 0) return;
  mMeteringMode = exifMapMeteringMode(mCameraMake, mRawMeteringMode);
  if (mCameraMake == CameraVendorCanon) {
    if (auto wb = exifCanonWhiteBalanceFromFile(data)) mWhiteBalance = *wb;
  } else {
    mWhiteBalance = exifMapWhiteBalance(mCameraMake, lightSource, mRawWhiteBalance);
  }
}

int Exif::getFocalLength(std::span<const uint8_t> data, uint16_t objectFormat) {
  Exif exif(objectFormat, kExifHeaderLength);
  auto props = exif.getMetaData(data, objectFormat);
  if (!props || !props->exif) return 0;
  return int(exifTruncate(props->exif->number(kCGImagePropertyExifFocalLength)));
}

void Exif::setSize(double width, double height) {
  std::lock_guard lock(mMutex);
  mXDimension = exifToU16(width);
  mYDimension = exifToU16(height);
  mSizeString.reset();
}

uint16_t Exif::xDimension() const {
  std::lock_guard lock(mMutex);
  return mXDimension;
}

uint16_t Exif::yDimension() const {
  std::lock_guard lock(mMutex);
  return mYDimension;
}
