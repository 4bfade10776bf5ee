#include "model/exif_strings.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "model/exif_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/decimal_text.h"

namespace {

// Rounds (halves away from zero) into int range; values read from a file may be anything.
int roundToInt(double v) {
  if (!std::isfinite(v)) return 0;
  v = std::round(v);
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  return int(v);
}

int truncateToInt(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  return int(v);
}

// Texts are made with textFixed, which never consults the locale: the process runs under
// the user's C locale, and "%f" there gives "f5,6" and "24,0MP".
std::string decimal(int v) { return std::to_string(v); }

std::string oneDecimal(double v) { return textFixed(v, 1); }

std::string reciprocal(float t) { return "1/" + decimal(roundToInt(1.0f / t)); }

// Whole seconds and tenths joined by a double quote: 2.5 s is 2"5. Tenths that round to
// ten carry into the seconds: 2.96 s is 3"0, not 2"10.
std::string longForm(float t) {
  int whole = truncateToInt(t);
  int tenths = roundToInt((t - float(whole)) * 10.0f);
  if (tenths == 10 && whole < INT_MAX) ++whole, tenths = 0;
  return decimal(whole) + "\"" + decimal(tenths);
}

}  // namespace

std::optional<std::string> exifShutterSpeedText(float t, uint8_t make) {
  if (!std::isfinite(t) || t <= 0) return std::nullopt;
  if (make == CameraVendorCanon) return t < 0.3 ? reciprocal(t) : longForm(t);
  if (make == CameraVendorNikon) {
    if (t < 1.0 && t > 0.25) {
      std::string s = oneDecimal(double(t));
      for (char& c : s)
        if (c == '.') c = '"';
      return s;
    }
    return t <= 0.25 ? reciprocal(t) : longForm(t);
  }
  return t < 1.0 ? reciprocal(t) : longForm(t);
}

std::string exifApertureText(float fNumber) { return "f" + oneDecimal(double(fNumber)); }

std::string exifIsoText(uint16_t iso) { return iso == 0 ? "ISO *" : "ISO" + decimal(int(iso)); }

std::optional<std::string> exifExposureCompensationText(float e) {
  if (e == 0 || !std::isfinite(e)) return std::nullopt;
  std::string s = e < 0 ? "-" : "+";
  const int w = truncateToInt(e);
  if (w != 0) s += std::to_string(std::llabs(static_cast<long long>(w)));
  const float f = e - float(w);
  if (f != 0) {
    const float a = std::fabs(f);
    if (a < 0.43) s += " 1/3";
    else if (a < 0.6) s += " 1/2";
    else if (a < 0.76) s += " 2/3";
  }
  return s;
}

std::optional<std::string> exifSizeText(uint16_t width, uint16_t height) {
  const float megapixels = float(uint64_t(width) * height) / 1000000.0f;
  if (megapixels == 0) return std::nullopt;
  return oneDecimal(double(megapixels)) + "MP";
}

std::string exifFocalLengthText(uint16_t millimetres) { return decimal(int(millimetres)) + "mm"; }

// The strings of one Exif, kept once made.

std::optional<std::string> Exif::cached(std::optional<std::string>& slot,
                                        std::optional<std::string> (*make)(const Exif&)) const {
  // Made under the lock, so a size set meanwhile never leaves a stale string kept.
  std::lock_guard lock(mMutex);
  if (!slot) slot = make(*this);
  return slot;
}

std::optional<std::string> Exif::shutterSpeedString() const {
  return cached(mShutterSpeedString, [](const Exif& e) { return exifShutterSpeedText(e.mShutterSpeed, e.mCameraMake); });
}

std::optional<std::string> Exif::apertureString() const {
  return cached(mApertureString,
                [](const Exif& e) -> std::optional<std::string> { return exifApertureText(e.mAperture); });
}

std::optional<std::string> Exif::isoString() const {
  return cached(mIsoString, [](const Exif& e) -> std::optional<std::string> { return exifIsoText(e.mIso); });
}

std::optional<std::string> Exif::exposureCompensationString() const {
  return cached(mExposureCompensationString,
                [](const Exif& e) { return exifExposureCompensationText(e.mExposureCompensation); });
}

std::optional<std::string> Exif::sizeString() const {
  return cached(mSizeString, [](const Exif& e) { return exifSizeText(e.mXDimension, e.mYDimension); });
}

std::optional<std::string> Exif::focalLengthString() const {
  return cached(mFocalLengthString,
                [](const Exif& e) -> std::optional<std::string> { return exifFocalLengthText(e.mFocalLength); });
}
