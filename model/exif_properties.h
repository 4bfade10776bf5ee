#pragma once
// The property dictionary of one image, in the shape ImageIO gives it: a few top-level
// values, a TIFF dictionary and an EXIF dictionary, keyed by ImageIO's names. Plain C++ so
// that Qt-free code can read EXIF too.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Top-level keys and the two sub-dictionaries.
inline constexpr char kCGImagePropertyTIFFDictionary[] = "{TIFF}";
inline constexpr char kCGImagePropertyExifDictionary[] = "{Exif}";
inline constexpr char kCGImagePropertyPixelWidth[] = "PixelWidth";
inline constexpr char kCGImagePropertyPixelHeight[] = "PixelHeight";
inline constexpr char kCGImagePropertyOrientation[] = "Orientation";

// TIFF dictionary keys.
inline constexpr char kCGImagePropertyTIFFCompression[] = "Compression";
inline constexpr char kCGImagePropertyTIFFMake[] = "Make";
inline constexpr char kCGImagePropertyTIFFModel[] = "Model";
inline constexpr char kCGImagePropertyTIFFOrientation[] = "Orientation";
inline constexpr char kCGImagePropertyTIFFXResolution[] = "XResolution";
inline constexpr char kCGImagePropertyTIFFYResolution[] = "YResolution";
inline constexpr char kCGImagePropertyTIFFResolutionUnit[] = "ResolutionUnit";
inline constexpr char kCGImagePropertyTIFFDateTime[] = "DateTime";
inline constexpr char kCGImagePropertyTIFFArtist[] = "Artist";
inline constexpr char kCGImagePropertyTIFFCopyright[] = "Copyright";
// The EXIF IFD offset, kept by the own walker only.
inline constexpr char kExifTiffExifTagKey[] = "ExifTag";

// EXIF dictionary keys read by Exif.
inline constexpr char kCGImagePropertyExifExposureTime[] = "ExposureTime";
inline constexpr char kCGImagePropertyExifFNumber[] = "FNumber";
inline constexpr char kCGImagePropertyExifISOSpeedRatings[] = "ISOSpeedRatings";
inline constexpr char kCGImagePropertyExifExposureBiasValue[] = "ExposureBiasValue";
inline constexpr char kCGImagePropertyExifMeteringMode[] = "MeteringMode";
inline constexpr char kCGImagePropertyExifLightSource[] = "LightSource";
inline constexpr char kCGImagePropertyExifFocalLength[] = "FocalLength";
inline constexpr char kCGImagePropertyExifPixelXDimension[] = "PixelXDimension";
inline constexpr char kCGImagePropertyExifPixelYDimension[] = "PixelYDimension";
inline constexpr char kCGImagePropertyExifWhiteBalance[] = "WhiteBalance";

// One value: a whole number, a real number, a text or a list of numbers.
using ExifValue = std::variant<int64_t, double, std::string, std::vector<double>>;

class ExifDictionary {
 public:
  void set(const std::string& key, ExifValue value) { values_[key] = std::move(value); }
  const ExifValue* find(const std::string& key) const;
  bool contains(const std::string& key) const { return values_.count(key) != 0; }
  size_t size() const { return values_.size(); }
  bool empty() const { return values_.empty(); }
  const std::map<std::string, ExifValue>& values() const { return values_; }

  // The value as a number: 0 when missing or a text; a list gives its first element.
  double number(const std::string& key) const;
  // The value as a text: "" when missing or not a text.
  std::string text(const std::string& key) const;

 private:
  std::map<std::string, ExifValue> values_;
};

struct ExifProperties {
  ExifDictionary top;                   // PixelWidth, PixelHeight, Orientation
  std::optional<ExifDictionary> tiff;   // under kCGImagePropertyTIFFDictionary
  std::optional<ExifDictionary> exif;   // under kCGImagePropertyExifDictionary

  // Keys of the top-level dictionary, the two sub-dictionaries counting one each.
  size_t keyCount() const { return top.size() + (tiff ? 1 : 0) + (exif ? 1 : 0); }
};

// Number conversions that stay defined for any value read from a file: NaN and infinities
// give 0, and a value out of range is brought into it (whole numbers keep their low bits,
// as an integer cast would).
int64_t exifTruncate(double value);
uint16_t exifToU16(double value);
uint8_t exifToU8(double value);
