// Arbitrary bytes as an object of the formats whose EXIF the viewer reads (image reader,
// walker, tail retry, RAF preview), and straight into the walker's readers.
#include <span>

#include "fuzz/fuzz_target.h"
#include "model/exif_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"

namespace {

void touch(const Exif& exif) {
  (void)exif.shutterSpeedString();
  (void)exif.apertureString();
  (void)exif.isoString();
  (void)exif.exposureCompensationString();
  (void)exif.sizeString();
  (void)exif.focalLengthString();
}

}  // namespace

KV_FUZZ_TARGET(exif_read) {
  const std::span<const uint8_t> bytes(data, size);
  (void)Exif::tiffDictionaryFromHeader(bytes);
  (void)Exif::exifDictionaryFromHeader(bytes, 0);
  // An index taken from the input, as a first header's EXIF pointer would give it.
  if (size >= 2) (void)Exif::exifDictionaryFromHeader(bytes, -int32_t(data[0] | data[1] << 8));
  for (uint8_t model : {0, 230}) {
    camSetModelIndex(model);
    (void)Exif::getManualMetaDataDictionary(bytes);
  }
  camSetModelIndex(0);
  // A header length inside the data, so that the tail retry runs too.
  const uint32_t headerLength = uint32_t(size / 2 + 1);
  for (uint16_t format : {kFormatJpeg, kFormatArw, kFormatCr3, kFormatRaf}) {
    if (auto exif = Exif::initWithData(bytes, format, headerLength)) touch(*exif);
  }
  return 0;
}
