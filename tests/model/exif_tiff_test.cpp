// The own TIFF/EXIF walker on hand-made headers: what it keeps, what it refuses, and that
// damaged, truncated and looping headers never lead it outside the data.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <variant>

#include "model/exif_fixture.h"
#include "model/exif_reader.h"
#include "ptp/base/camera_vendor.h"

using exiffix::Bytes;
using exiffix::Tiff;

namespace {

std::span<const uint8_t> span(const Bytes& b) { return {b.data(), b.size()}; }

// Restores the model index after a test that sets it.
struct ModelIndexGuard {
  uint8_t saved = camModelIndex();
  ~ModelIndexGuard() { camSetModelIndex(saved); }
};

}  // namespace

TEST(ExifWalker, ReadsIfd0AndTheExifIfdWithTheirTypes) {
  Tiff t = Tiff::camera("Canon");
  t.raw(false, {36864, 7, 4, {'0', '2', '3', '1'}});  // ExifVersion, undefined, read as text
  Bytes tiff = t.build();

  auto tags = Exif::tiffDictionaryFromHeader(span(tiff));
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->text("Make"), "Canon");
  EXPECT_EQ(tags->text("Model"), "Model X");
  EXPECT_EQ(tags->number("Orientation"), 6);
  EXPECT_EQ(tags->number("ExifTag"), double(t.exifIfdOffset()));

  const int32_t index = -int32_t(t.exifIfdOffset());
  auto exif = Exif::exifDictionaryFromHeader(span(tiff), index);
  ASSERT_TRUE(exif);
  EXPECT_DOUBLE_EQ(exif->number("ExposureTime"), 1.0 / 125);
  EXPECT_DOUBLE_EQ(exif->number("FNumber"), 5.6);
  EXPECT_DOUBLE_EQ(exif->number("ExposureBiasValue"), -1.0 / 3);  // signed rational
  EXPECT_EQ(exif->number("FocalLength"), 50);
  EXPECT_EQ(exif->number("MeteringMode"), 5);
  EXPECT_EQ(exif->number("PixelXDimension"), 6000);
  EXPECT_EQ(exif->text("ExifVersion"), "0231");
  EXPECT_EQ(exif->text("DateTimeOriginal"), "2024:01:02 03:04:05");
  auto* iso = exif->find("ISOSpeedRatings");
  ASSERT_TRUE(iso && std::holds_alternative<std::vector<double>>(*iso));
  EXPECT_EQ(std::get<std::vector<double>>(*iso), std::vector<double>{200});
  // LightSource is not among the tags the walker keeps.
  EXPECT_FALSE(exif->contains("LightSource"));
}

TEST(ExifWalker, RefusesWhatIsNoLittleEndianHeader) {
  Bytes good = Tiff::camera("Nikon").build();
  Bytes bigEndian = Tiff::camera("Nikon", true).build();
  Bytes ifdPastEnd = good;
  ifdPastEnd[4] = 0xF0, ifdPastEnd[5] = 0xFF, ifdPastEnd[6] = 0xFF, ifdPastEnd[7] = 0xFF;
  Bytes nineteen(good.begin(), good.begin() + 19);
  struct Case {
    const char* what;
    Bytes data;
  } cases[] = {
      {"empty", {}},
      {"19 bytes", nineteen},
      {"big-endian", bigEndian},
      {"IFD offset past the end", ifdPastEnd},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Exif::tiffDictionaryFromHeader(span(c.data))) << c.what;
    EXPECT_FALSE(Exif::exifDictionaryFromHeader(span(c.data), 0)) << c.what;
    EXPECT_FALSE(Exif::getManualMetaDataDictionary(span(c.data))) << c.what;
  }
  // An index must point back at the header, never past the data or forwards.
  EXPECT_FALSE(Exif::exifDictionaryFromHeader(span(good), 1));
  EXPECT_FALSE(Exif::exifDictionaryFromHeader(span(good), INT32_MIN));
  EXPECT_FALSE(Exif::exifDictionaryFromHeader(span(good), -int32_t(good.size()) + 10));
}

TEST(ExifWalker, ExifPointerPastTheDataFindsNoExif) {
  for (uint32_t pointer : {0x7FFFFFF0u, 0xFFFFFFFFu, 60u}) {
    Tiff t;
    t.ascii(true, 271, "Canon").longTag(true, 34665, pointer);
    Bytes tiff = t.build();
    auto props = Exif::getManualMetaDataDictionary(span(tiff));
    ASSERT_TRUE(props && props->tiff) << pointer;
    EXPECT_FALSE(props->exif) << pointer;
  }
}

TEST(ExifWalker, EmptyIfdGivesAnEmptyDictionary) {
  Bytes zeroCount = {'I', 'I', 0x2A, 0x00, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  auto tags = Exif::tiffDictionaryFromHeader(span(zeroCount));
  ASSERT_TRUE(tags);
  EXPECT_TRUE(tags->empty());

  // An entry is read only when it ends before the data does.
  Tiff one;
  one.ascii(true, 271, "Abc");
  Bytes b = one.build();  // 8 + 2 + 12 + 4 bytes
  for (auto [size, read] : {std::pair{size_t(22), false}, std::pair{size_t(23), true}}) {
    auto d = Exif::tiffDictionaryFromHeader(span(b).first(size));
    ASSERT_TRUE(d) << size;
    EXPECT_EQ(d->contains("Make"), read) << size;
  }
}

TEST(ExifWalker, EntriesPointingOutsideTheDataAreSkipped) {
  Tiff t;
  t.ascii(true, 271, "Sony");
  t.raw(false, {33434, 5, 1, t.u32(0x7FFFFFF0)});          // rational far past the end
  t.raw(false, {33437, 10, 1, t.u32(0xFFFFFFFC)});         // rational whose end wraps in 32 bits
  t.raw(false, {36867, 2, 20, t.u32(0xFFFFFFFF)});         // text past the end
  t.raw(false, {37386, 5, 1, t.u32(8)});                   // a rational over IFD0: read, not trusted
  t.rational(false, 37383, 7, 0);                          // zero denominator
  t.shortTag(false, 41987, 1);
  Bytes tiff = t.build();
  auto exif = Exif::exifDictionaryFromHeader(span(tiff), -int32_t(t.exifIfdOffset()));
  ASSERT_TRUE(exif);
  EXPECT_FALSE(exif->contains("ExposureTime"));
  EXPECT_FALSE(exif->contains("FNumber"));
  EXPECT_FALSE(exif->contains("DateTimeOriginal"));
  EXPECT_TRUE(exif->contains("FocalLength"));
  EXPECT_EQ(exif->number("MeteringMode"), 0);
  EXPECT_EQ(exif->number("WhiteBalance"), 1);
}

TEST(ExifWalker, CountThatClaimsMoreEntriesThanArrivedStopsAtTheData) {
  Tiff t = Tiff::camera("Canon");
  Bytes tiff = t.build();
  tiff[8] = 0xFF, tiff[9] = 0xFF;  // IFD0 claims 65535 entries
  auto tags = Exif::tiffDictionaryFromHeader(span(tiff));
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->text("Make"), "Canon");  // the real entries still read
}

TEST(ExifWalker, LongTextsAreCappedAndUnterminatedOnesEndAtTheCount) {
  std::string longText(10000, 'a');
  Tiff t;
  t.ascii(true, 315, longText);                                    // Artist
  t.raw(true, {33432, 2, 6, {'a', 'b', 'c', 'd', 'e', 'f'}});      // Copyright without a NUL
  t.raw(true, {272, 2, 4, {'W', 'X', 'Y', 'Z'}});                   // short text without a NUL
  Bytes tiff = t.build();
  tiff.insert(tiff.end(), {'g', 'h', 'i', 0});
  auto tags = Exif::tiffDictionaryFromHeader(span(tiff));
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->text("Artist").size(), 4096u);
  EXPECT_EQ(tags->text("Copyright"), "abcdef");
  EXPECT_EQ(tags->text("Model"), "WXYZ");
}

TEST(ExifWalker, LoopingLinksEndTheWalk) {
  // IFD0's next link points at itself and its EXIF pointer back at IFD0.
  Tiff t;
  t.ascii(true, 271, "Nikon").longTag(true, 34665, 8).nextIfd(8);
  Bytes tiff = t.build();
  auto props = Exif::getManualMetaDataDictionary(span(tiff));
  ASSERT_TRUE(props);
  ASSERT_TRUE(props->tiff);
  EXPECT_EQ(props->tiff->text("Make"), "Nikon");
  ASSERT_TRUE(props->exif);  // IFD0 read with the EXIF tags: none of them
  EXPECT_TRUE(props->exif->empty());
}

TEST(ExifWalker, EveryPrefixReadsOnlyWhatArrived) {
  const Bytes full = exiffix::concat({Bytes(37, 0x55), Tiff::camera("Canon").build()});
  auto whole = Exif::getManualMetaDataDictionary(span(full));
  ASSERT_TRUE(whole && whole->exif && whole->tiff);
  for (size_t n = 0; n <= full.size(); ++n) {
    Bytes prefix(full.begin(), full.begin() + n);
    auto props = Exif::getManualMetaDataDictionary(span(prefix));
    if (!props) continue;
    // Whatever a prefix yields is what the whole file holds, a text perhaps cut short.
    for (auto [part, all] : {std::pair{&props->tiff, &whole->tiff}, std::pair{&props->exif, &whole->exif}}) {
      if (!*part) continue;
      for (const auto& [key, value] : (*part)->values()) {
        const ExifValue* expected = (*all)->find(key);
        ASSERT_TRUE(expected) << n << " " << key;
        if (auto* s = std::get_if<std::string>(&value))
          EXPECT_EQ(std::get<std::string>(*expected).rfind(*s, 0), 0u) << n << " " << key;
        else
          EXPECT_EQ(value, *expected) << n << " " << key;
      }
    }
  }
}

TEST(ExifWalker, ExifIfdComesFromTheSecondOrThirdHeaderByModel) {
  ModelIndexGuard guard;
  // The first header has no EXIF pointer; the second and third hold EXIF IFDs that
  // differ in their exposure time.
  Tiff first;
  first.ascii(true, 271, "Canon").withoutExifPointer();
  auto exifHeader = [](uint32_t denominator) {
    Tiff t;
    t.rational(true, 33434, 1, denominator).shortTag(true, 37383, 3);
    return t.build();
  };
  const Bytes data = exiffix::concat({Bytes(20, 0), first.build(), Bytes(5, 0), exifHeader(30), Bytes(3, 0), exifHeader(400)});

  struct Case {
    uint8_t model;
    double exposure;
  } cases[] = {{0, 1.0 / 30}, {228, 1.0 / 30}, {229, 1.0 / 400}, {230, 1.0 / 400}, {234, 1.0 / 400},
               {245, 1.0 / 400}, {251, 1.0 / 400}, {252, 1.0 / 30}};
  for (const Case& c : cases) {
    camSetModelIndex(c.model);
    auto props = Exif::getManualMetaDataDictionary(span(data));
    ASSERT_TRUE(props && props->tiff && props->exif) << int(c.model);
    EXPECT_EQ(props->tiff->text("Make"), "Canon");
    EXPECT_DOUBLE_EQ(props->exif->number("ExposureTime"), c.exposure) << int(c.model);
  }

  // Data that ends before the third header keeps only what was found.
  camSetModelIndex(230);
  const Bytes twoHeaders = exiffix::concat({first.build(), exifHeader(30)});
  auto props = Exif::getManualMetaDataDictionary(span(twoHeaders));
  ASSERT_TRUE(props);
  EXPECT_TRUE(props->tiff);
  EXPECT_FALSE(props->exif);
}

TEST(ExifWalker, FirstHeadersOwnExifPointerWins) {
  ModelIndexGuard guard;
  camSetModelIndex(230);
  Tiff decoy;
  decoy.rational(true, 33434, 1, 2);
  const Bytes data = exiffix::concat({Tiff::camera("Sony").build(), decoy.build(), decoy.build()});
  auto props = Exif::getManualMetaDataDictionary(span(data));
  ASSERT_TRUE(props && props->exif);
  EXPECT_DOUBLE_EQ(props->exif->number("ExposureTime"), 1.0 / 125);
}

TEST(ExifWalker, ExifIfdFarFromItsHeaderIsReadThroughItsOwnWindow) {
  // IFD0 sits in the first 128000 bytes; the EXIF IFD 200000 bytes further on.
  Tiff head;
  head.ascii(true, 271, "Canon").longTag(true, 34665, 200000).withoutExifPointer();
  Bytes data = head.build();
  data.resize(200000, 0);
  Tiff exif;  // written as a header of its own, then its IFD moved to 200000
  exif.rational(true, 33437, 8, 1);
  Bytes e = exif.build();
  // The rational's offset inside e is relative to e's start; make it relative to data's.
  data.insert(data.end(), e.begin() + 8, e.end());
  const uint32_t valueOffset = 200000 + 18;  // where the rational's bytes landed
  data[200000 + 2 + 8] = uint8_t(valueOffset), data[200000 + 2 + 9] = uint8_t(valueOffset >> 8),
  data[200000 + 2 + 10] = uint8_t(valueOffset >> 16), data[200000 + 2 + 11] = 0;
  auto props = Exif::getManualMetaDataDictionary(span(data));
  ASSERT_TRUE(props && props->exif);
  EXPECT_DOUBLE_EQ(props->exif->number("FNumber"), 8.0);
}
