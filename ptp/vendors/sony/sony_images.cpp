#include "ptp/vendors/sony/sony_images.h"

#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_models.h"

namespace {

bool hasRaw(uint32_t v, bool newScheme) {
  const uint32_t low = v & 0xFF;
  return newScheme ? (low == 1 || low == 2) : (v & 16) != 0;
}

bool hasJpeg(uint32_t v, bool newScheme) {
  const uint32_t low = v & 0xFF;
  return newScheme ? (low == 2 || low == 3) : low != 16;
}

}  // namespace

bool sonyUsesNewImageFormat() { return propExists(kSonyImageFormatNew); }

uint32_t sonyImageFormatCode() { return sonyUsesNewImageFormat() ? kSonyImageFormatNew : PTP_DPC_CompressionSetting; }

std::string sonyImageQualityText(int64_t value) {
  if (value == -1) return "--";
  const uint32_t v = static_cast<uint32_t>(value);
  const bool newScheme = sonyUsesNewImageFormat();
  std::string text;
  if (hasRaw(v, newScheme)) text = "RAW";
  const bool noJpeg = newScheme ? !hasJpeg(v, true) : v == 16;
  if (noJpeg) return text;
  if (!text.empty()) text += " + ";
  switch ((v >> 16) & 0xFF) {
    case 1: text += "L "; break;
    case 2: text += "M "; break;
    case 3: text += "S "; break;
    default: break;
  }
  const uint32_t compression = (v >> 8) & 0xFF;
  if (newScheme && compression >= 1 && compression <= 4) {
    static const char* const kByCompression[] = {"JPG (X-FINE)", "JPG (FINE)", "JPG (STD)", "JPG (LIGHT)"};
    text += kByCompression[compression - 1];
  } else {
    static const char* const kByQuality[] = {"JPG (LIGHT)", "JPG (STD)", "JPG (FINE)", "JPG (X-FINE)"};
    const uint32_t quality = v & 0xF;
    if (quality >= 1 && quality <= 4) text += kByQuality[quality - 1];
  }
  return text;
}

bool sonyValueHasRaw(int64_t value) {
  return value != -1 && hasRaw(static_cast<uint32_t>(value), sonyUsesNewImageFormat());
}

bool sonyQualityIncludesJpeg(uint32_t value) { return hasJpeg(value, sonyUsesNewImageFormat()); }

bool sonyRebuildQualityValue() {
  const auto compression = propCurrentValue(kSonyImageCompression);
  const auto size = propCurrentValue(kSonyImageSize);
  PropertyStruct* r = propFind(sonyImageFormatCode(), true);
  if (!r) return false;
  uint32_t v = r->value & 0xFF;
  if (compression) v |= (*compression & 0xFF) << 8;
  if (size) v |= (*size & 0xFF) << 16;
  r->value = v;
  propUnlock(r);
  return true;
}

PtpResponseCode sonyGetRawFormat(int64_t& out) {
  const bool newScheme = sonyUsesNewImageFormat();
  const auto v = propCurrentValue(sonyImageFormatCode());
  if (!v) return ERROR_GENERAL;
  out = hasRaw(*v, newScheme) ? (newScheme ? 1 : 16) : -1;
  return PTP_RC_OK;
}

PtpResponseCode sonyGetJpegFormat(int64_t& out) {
  const bool newScheme = sonyUsesNewImageFormat();
  const auto v = propCurrentValue(sonyImageFormatCode());
  if (!v) return ERROR_GENERAL;
  // A RAW-only value still carries size and compression bits: it has no JPEG part.
  if (!hasJpeg(*v, newScheme)) {
    out = -1;
    return PTP_RC_OK;
  }
  uint32_t jpeg = *v & ~16u;
  if (newScheme && (jpeg & 3) == 2) jpeg |= 1;
  out = jpeg == 0 ? -1 : static_cast<int64_t>(jpeg);
  return PTP_RC_OK;
}

std::vector<int64_t> sonyGetImageFormatChoices(int kind) {
  const bool newScheme = sonyUsesNewImageFormat();
  std::vector<int64_t> choices{-1};
  if (kind == 1) {
    for (uint32_t size = 1; size <= 3; ++size) {
      if (newScheme) {
        if (camModelIndex() == 182) choices.push_back(size << 16 | 4u << 8 | 3);
        for (uint32_t compression : {3u, 2u, 1u}) choices.push_back(size << 16 | compression << 8 | 3);
      } else {
        for (uint32_t quality : {2u, 3u, 4u}) choices.push_back(size << 16 | quality);
      }
    }
  } else if (kind == 6) {
    choices.push_back(newScheme ? 1 : 16);
  }
  return choices;
}

PtpResponseCode sonySetImageFormat(int64_t raw, int64_t jpeg) {
  const bool newScheme = sonyUsesNewImageFormat();
  const uint32_t formatCode = sonyImageFormatCode();
  const auto current = propCurrentValue(formatCode);
  if ((raw == -1 && jpeg == -1) || !current) return ERROR_GENERAL;

  uint32_t format = jpeg == -1 ? 0 : static_cast<uint32_t>(jpeg) & 0xFF;
  if (raw != -1) format = newScheme ? (jpeg == -1 ? 1 : 2) : format | 16;
  if (format != (*current & 0xFF)) {
    uint32_t value = format;
    if (sonyRawJpegQualityCode() != 0 && format >= 17) value = sonyRawJpegQualityCode();
    const PtpResponseCode rc = camSetPropertyValue(formatCode, value, true);
    if (rc != PTP_RC_OK) return rc;
  }
  // Without a JPEG choice there is no compression or size to set (the bits of -1 are no
  // compression code).
  if (jpeg == -1) return PTP_RC_OK;
  const uint32_t j = static_cast<uint32_t>(jpeg);
  if (newScheme) {
    const uint32_t compression = (j >> 8) & 0xFF;
    const auto now = propCurrentValue(kSonyImageCompression);
    if (now && *now != compression) {
      const PtpResponseCode rc = camSetPropertyValue(kSonyImageCompression, compression, true);
      if (rc != PTP_RC_OK) return rc;
    }
  }
  const uint32_t size = (j >> 16) & 0xFF;
  const auto now = propCurrentValue(kSonyImageSize);
  if (now && *now != size) {
    const PtpResponseCode rc = camSetPropertyValue(kSonyImageSize, size, true);
    if (rc != PTP_RC_OK) return rc;
  }
  return PTP_RC_OK;
}
