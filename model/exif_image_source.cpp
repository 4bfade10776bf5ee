#include "model/exif_image_source.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// Longest text and longest list kept from one value.
constexpr long kExifTextCap = 4096;
constexpr long kExifListCap = 64;

// File types a camera object can be; anything else is not handed to the reader.
bool isCameraImageType(int type) {
  return type == Exiv2::ImageType::jpeg || type == Exiv2::ImageType::tiff || type == Exiv2::ImageType::cr2 ||
         type == Exiv2::ImageType::raf;
}

struct KeyRule {
  uint16_t tag;
  const char* key;
};

const KeyRule kTiffKeys[] = {
    {259, kCGImagePropertyTIFFCompression}, {271, kCGImagePropertyTIFFMake},
    {272, kCGImagePropertyTIFFModel},       {274, kCGImagePropertyTIFFOrientation},
    {282, kCGImagePropertyTIFFXResolution}, {283, kCGImagePropertyTIFFYResolution},
    {296, kCGImagePropertyTIFFResolutionUnit}, {306, kCGImagePropertyTIFFDateTime},
    {315, kCGImagePropertyTIFFArtist},      {33432, kCGImagePropertyTIFFCopyright},
};

const KeyRule kExifKeys[] = {
    {33434, kCGImagePropertyExifExposureTime},
    {33437, kCGImagePropertyExifFNumber},
    {34850, "ExposureProgram"},
    {34855, kCGImagePropertyExifISOSpeedRatings},
    {36864, "ExifVersion"},
    {36867, "DateTimeOriginal"},
    {36868, "DateTimeDigitized"},
    {37121, "ComponentsConfiguration"},
    {37377, "ShutterSpeedValue"},
    {37378, "ApertureValue"},
    {37380, kCGImagePropertyExifExposureBiasValue},
    {37381, "MaxApertureValue"},
    {37382, "SubjectDistance"},
    {37383, kCGImagePropertyExifMeteringMode},
    {37384, kCGImagePropertyExifLightSource},
    {37385, "Flash"},
    {37386, kCGImagePropertyExifFocalLength},
    {37510, "UserComment"},
    {37520, "SubsecTime"},
    {37521, "SubsecTimeOriginal"},
    {37522, "SubsecTimeDigitized"},
    {40960, "FlashPixVersion"},
    {40961, "ColorSpace"},
    {40962, kCGImagePropertyExifPixelXDimension},
    {40963, kCGImagePropertyExifPixelYDimension},
    {41486, "FocalPlaneXResolution"},
    {41487, "FocalPlaneYResolution"},
    {41488, "FocalPlaneResolutionUnit"},
    {41495, "SensingMethod"},
    {41728, "FileSource"},
    {41729, "SceneType"},
    {41985, "CustomRendered"},
    {41986, "ExposureMode"},
    {41987, kCGImagePropertyExifWhiteBalance},
    {41988, "DigitalZoomRatio"},
    {41989, "FocalLenIn35mmFilm"},
    {41990, "SceneCaptureType"},
    {41991, "GainControl"},
    {41992, "Contrast"},
    {41993, "Saturation"},
    {41994, "Sharpness"},
    {41996, "SubjectDistRange"},
    {42032, "CameraOwnerName"},
    {42033, "BodySerialNumber"},
    {42034, "LensSpecification"},
    {42035, "LensMake"},
    {42036, "LensModel"},
    {42037, "LensSerialNumber"},
};

template <size_t N>
const char* keyFor(const KeyRule (&rules)[N], uint16_t tag) {
  for (const KeyRule& r : rules)
    if (r.tag == tag) return r.key;
  return nullptr;
}

std::string upToNul(std::string s) {
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  if (s.size() > size_t(kExifTextCap)) s.resize(kExifTextCap);
  return s;
}

// Element n of a numeric value; rationals with a zero denominator read as 0.
double elementAt(const Exiv2::Value& v, long n) {
  if (auto* u = dynamic_cast<const Exiv2::URationalValue*>(&v)) {
    auto [num, den] = u->value_.at(size_t(n));
    return den == 0 ? 0.0 : double(num) / double(den);
  }
  if (auto* s = dynamic_cast<const Exiv2::RationalValue*>(&v)) {
    auto [num, den] = s->value_.at(size_t(n));
    return den == 0 ? 0.0 : double(num) / double(den);
  }
  if (v.typeId() == Exiv2::tiffFloat || v.typeId() == Exiv2::tiffDouble) return double(v.toFloat(n));
  return double(v.toLong(n));
}

std::optional<ExifValue> valueOf(const Exiv2::Exifdatum& d, bool asList) {
  const Exiv2::Value& v = d.value();
  switch (v.typeId()) {
    case Exiv2::asciiString:
      return ExifValue(upToNul(v.toString()));
    case Exiv2::undefined:
    case Exiv2::comment: {
      // Versions and comments: their bytes as text, as the walker reads them.
      long size = v.size();
      if (size <= 0 || size > kExifTextCap) return std::nullopt;
      std::vector<Exiv2::byte> bytes(size_t(size) + 1, 0);
      v.copy(bytes.data(), Exiv2::littleEndian);
      return ExifValue(upToNul(std::string(bytes.begin(), bytes.end())));
    }
    default:
      break;
  }
  long count = std::min(v.count(), kExifListCap);
  if (count <= 0) return std::nullopt;
  const bool whole = v.typeId() != Exiv2::unsignedRational && v.typeId() != Exiv2::signedRational &&
                     v.typeId() != Exiv2::tiffFloat && v.typeId() != Exiv2::tiffDouble;
  if (count == 1 && !asList) {
    double x = elementAt(v, 0);
    return whole ? ExifValue(int64_t(v.toLong(0))) : ExifValue(x);
  }
  std::vector<double> list;
  for (long i = 0; i < count; ++i) list.push_back(elementAt(v, i));
  return ExifValue(std::move(list));
}

void setUpReaderOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The reader's warnings about odd files would only clutter the log.
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    // Needed before images are read from several threads at once.
    Exiv2::XmpParser::initialize();
  });
}

}  // namespace

std::optional<ExifProperties> exifImageSourceProperties(std::span<const uint8_t> data) {
  if (data.empty()) return std::nullopt;
  setUpReaderOnce();
  try {
    const auto* bytes = reinterpret_cast<const Exiv2::byte*>(data.data());
    const long size = long(data.size());
    if (!isCameraImageType(Exiv2::ImageFactory::getType(bytes, size))) return std::nullopt;
    auto image = Exiv2::ImageFactory::open(bytes, size);
    if (!image.get()) return std::nullopt;
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    if (exif.empty()) return std::nullopt;

    ExifProperties props;
    for (const Exiv2::Exifdatum& d : exif) {
      const std::string group = d.groupName();
      const bool isTiff = group == "Image", isExif = group == "Photo";
      if (!isTiff && !isExif) continue;
      auto& dict = isTiff ? props.tiff : props.exif;
      if (!dict) dict.emplace();
      const char* key = isTiff ? keyFor(kTiffKeys, d.tag()) : keyFor(kExifKeys, d.tag());
      if (!key) continue;
      auto value = valueOf(d, d.tag() == 34855);
      if (value) dict->set(key, std::move(*value));
    }
    if (image->pixelWidth() > 0 && image->pixelHeight() > 0) {
      props.top.set(kCGImagePropertyPixelWidth, int64_t(image->pixelWidth()));
      props.top.set(kCGImagePropertyPixelHeight, int64_t(image->pixelHeight()));
    }
    if (props.tiff && props.tiff->contains(kCGImagePropertyTIFFOrientation))
      props.top.set(kCGImagePropertyOrientation, exifTruncate(props.tiff->number(kCGImagePropertyTIFFOrientation)));
    if (props.keyCount() == 0) return std::nullopt;
    return props;
  } catch (...) {
    // A reader failure on a damaged file is the same as no metadata.
    return std::nullopt;
  }
}
