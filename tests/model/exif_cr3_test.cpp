// The own walker on CR3-shaped data: metadata boxes that each start with a TIFF header,
// and signature bytes inside a box that only look like one.
#include <gtest/gtest.h>

#include <cstring>

#include "model/exif_fixture.h"
#include "model/exif_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"

namespace cr3walk {

using exiffix::Bytes;
using exiffix::Tiff;

Bytes box(const char* type, const Bytes& body) {
  const uint32_t size = uint32_t(8 + body.size());
  Bytes out{uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)};
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// IFD0 of the body: Make, Model, Orientation, and no EXIF pointer (a CR3 keeps the EXIF
// IFD in a box of its own).
Bytes ifd0Header() {
  Tiff t;
  t.ascii(true, 271, "Canon").ascii(true, 272, "Canon EOS R6").shortTag(true, 274, 1).withoutExifPointer();
  return t.build();
}

// The EXIF IFD as the first directory of its own header: 1/4 s, f25, ISO 100, 200 mm.
Bytes exifHeader() {
  Tiff t;
  t.rational(true, 33434, 1, 4).rational(true, 33437, 25, 1).shortTag(true, 34855, 100);
  t.rational(true, 37380, 0, 1, true).shortTag(true, 37383, 5).rational(true, 37386, 200, 1);
  t.shortTag(true, 41987, 0).longTag(true, 40962, 6000).longTag(true, 40963, 4000);
  return t.withoutExifPointer().build();
}

// Signature bytes followed by a directory that claims `count` entries; two real ones
// follow, which a reader that takes it shows (an aperture of 41486, 842 s).
Bytes decoy(uint16_t count) {
  Bytes d{'I', 'I', 0x2A, 0x00, 8, 0, 0, 0, uint8_t(count), uint8_t(count >> 8)};
  const Bytes entries[] = {{0x9D, 0x82, 3, 0, 1, 0, 0, 0, 0x0E, 0xA2, 0, 0},    // FNumber 41486
                           {0x9A, 0x82, 4, 0, 1, 0, 0, 0, 0x4A, 0x03, 0, 0}};  // ExposureTime 842
  for (const Bytes& e : entries) d.insert(d.end(), e.begin(), e.end());
  return d;
}

Bytes cr3WithDecoyInFirstBox() {
  const Bytes ftyp = box("ftyp", {'c', 'r', 'x', ' ', 0, 0, 0, 1, 'c', 'r', 'x', ' ', 'i', 's', 'o', 'm'});
  Bytes uuidBody(16, 0x85);
  // The decoy lies in the first box's tail; its 39 entries run on into the next box.
  const Bytes cmt1 = box("CMT1", exiffix::concat({ifd0Header(), Bytes(6, 0), decoy(39)}));
  const Bytes cmt2 = box("CMT2", exifHeader());
  const Bytes cmt3 = box("CMT3", Bytes(64, 0));
  const Bytes moov = box("moov", box("uuid", exiffix::concat({uuidBody, cmt1, cmt2, cmt3})));
  return exiffix::concat({ftyp, moov, Bytes(200, 0)});
}

// No boxes: a decoy whose directory would run past the end of the data, before the
// header that holds the EXIF IFD.
Bytes decoyRunningPastTheData() {
  return exiffix::concat({ifd0Header(), Bytes(4, 0), decoy(0xFFFF), Bytes(12, 0), exifHeader()});
}

struct ModelIndexGuard {
  uint8_t saved = camModelIndex();
  ~ModelIndexGuard() { camSetModelIndex(saved); }
};

TEST(ExifCr3, HeaderWhoseDirectoryLeavesItsBoxOrTheDataIsPassedOver) {
  ModelIndexGuard guard;
  camSetModelIndex(0);
  const struct {
    const char* what;
    Bytes data;
  } cases[] = {
      {"decoy inside the first metadata box", cr3WithDecoyInFirstBox()},
      {"decoy whose directory runs past the data", decoyRunningPastTheData()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto exif = Exif::initWithData(std::span<const uint8_t>(c.data.data(), c.data.size()), kFormatCr3,
                                   kExifHeaderLength);
    ASSERT_TRUE(exif);
    EXPECT_EQ(exif->cameraMake(), CameraVendorCanon);
    EXPECT_FLOAT_EQ(exif->shutterSpeed(), 0.25f);
    EXPECT_EQ(exif->shutterSpeedString(), "1/4");
    EXPECT_EQ(exif->apertureString(), "f25.0");
    EXPECT_EQ(exif->isoString(), "ISO100");
    EXPECT_EQ(exif->focalLengthString(), "200mm");
    EXPECT_EQ(exif->sizeString(), "24.0MP");
  }
}

TEST(ExifCr3, EveryPrefixOfTheBoxesIsReadOrRefusedWithoutTheDecoy) {
  ModelIndexGuard guard;
  camSetModelIndex(0);
  const Bytes data = cr3WithDecoyInFirstBox();
  for (size_t n = 0; n <= data.size(); ++n) {
    auto props = Exif::getManualMetaDataDictionary(std::span<const uint8_t>(data.data(), n));
    if (!props || !props->exif) continue;
    // Whatever EXIF a prefix gives comes from the real header, never the decoy.
    ASSERT_NE(props->exif->number("FNumber"), 41486) << n;
    ASSERT_NE(props->exif->number("ExposureTime"), 842) << n;
  }
}

}  // namespace cr3walk
