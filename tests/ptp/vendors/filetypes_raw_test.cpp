#include <gtest/gtest.h>

#include "ptp/base/filetypes.h"
#include "ptp/vendors/filetypes_vendor.h"
#include "tests/ptp/base/filetypes_fixtures.h"

namespace {

using fixtures::Bytes;
using fixtures::rawWithPreviews;
using fixtures::TiffBuilder;
using fixtures::tinyJpeg;

// The id byte of the JPEG found at offset (tinyJpeg's byte 13).
int jpegIdAt(const Bytes& raw, uint32_t offset) { return raw.at(offset + 13); }

TEST(RawPreview, ExtractsFromLittleAndBigEndianRaws) {
  for (bool be : {false, true}) {
    Bytes raw = rawWithPreviews(be, "ANY", 1);
    std::vector<uint8_t> jpeg;
    uint8_t orientation = 0;
    ASSERT_EQ(fileExtractRawPreview(raw, &orientation, jpeg), tinyJpeg().size()) << be;
    EXPECT_EQ(jpeg, tinyJpeg(0));
    EXPECT_EQ(orientation, 6);
  }
}

TEST(RawPreview, TakesTheFirstCompletePlausibleTriple) {
  Bytes raw = rawWithPreviews(false, "ANY", 2);
  std::vector<uint8_t> jpeg;
  uint8_t orientation = 0;
  ASSERT_GT(fileExtractRawPreview(raw, &orientation, jpeg), 0u);
  EXPECT_EQ(jpeg, tinyJpeg(0));
}

TEST(RawPreview, RefusesPreviewsOutsideTheDataOrNotAJpeg) {
  std::vector<uint8_t> jpeg;
  uint8_t orientation = 0;
  // Declared beyond the end, with a length of 0, pointing at non-JPEG bytes, or at an
  // offset that wraps a 32-bit sum: all refused.
  const std::pair<uint32_t, uint32_t> bad[] = {{30, 5000}, {30, 0}, {0, 16}, {0xFFFFFFF0u, 0x20}};
  for (auto [offset, length] : bad) {
    Bytes raw = TiffBuilder(false).entry(0x0112, 3, 1, 1u).entry(0x0201, 4, 1, offset).entry(0x0202, 4, 1, length).build();
    raw.resize(raw.size() + 40, 0xAB);
    EXPECT_EQ(fileExtractRawPreview(raw, &orientation, jpeg), 0u) << offset << " " << length;
    EXPECT_TRUE(jpeg.empty());
  }
  // A refused pair does not hide a later good one (a JPEG's maker note first).
  Bytes raw = TiffBuilder(false)
                  .blob("jpeg", tinyJpeg(9))
                  .entry(0x0112, 3, 1, 3u)
                  .entry(0x0201, 4, 1, 4u)
                  .entry(0x0202, 4, 1, 16u)
                  .entry(0x0201, 4, 1, "jpeg")
                  .entry(0x0202, 4, 1, 16u)
                  .build();
  ASSERT_EQ(fileExtractRawPreview(raw, &orientation, jpeg), 16u);
  EXPECT_EQ(jpeg, tinyJpeg(9));
  EXPECT_EQ(orientation, 3);
  EXPECT_EQ(fileExtractRawPreview({}, &orientation, jpeg), 0u);
  EXPECT_EQ(fileExtractRawPreview(raw, nullptr, jpeg), 0u);
  EXPECT_EQ(fileExtractRawPreview(std::span(raw.data(), 4), &orientation, jpeg), 0u);
}

TEST(EmbeddedJpeg, NefPairByModel) {
  const std::pair<const char*, int> cases[] = {
      {"NIKON D850", 1}, {"NIKON Z 8", 2}, {"NIKON Z 9", 2}, {"NIKON Z6_3", 2}, {"NIKON Z 6", 1}};
  for (bool be : {false, true}) {
    for (auto [model, pair] : cases) {
      Bytes raw = rawWithPreviews(be, model, 3);
      uint32_t offset = 0, length = 0;
      ASSERT_TRUE(fileFindEmbeddedJpeg(raw, offset, length, kFormatNef)) << model;
      EXPECT_EQ(length, 16u);
      EXPECT_EQ(jpegIdAt(raw, offset), pair) << model << " be=" << be;
    }
  }
}

TEST(EmbeddedJpeg, ArwTakesTheFirstPairCr2TheStrips) {
  Bytes arw = rawWithPreviews(true, "ILCE-7M4", 2);
  uint32_t offset = 0, length = 0;
  ASSERT_TRUE(fileFindEmbeddedJpeg(arw, offset, length, kFormatArw));
  EXPECT_EQ(jpegIdAt(arw, offset), 0);
  Bytes cr2 = rawWithPreviews(false, "Canon EOS R", 1, true);
  ASSERT_TRUE(fileFindEmbeddedJpeg(cr2, offset, length, kFormatCr2));
  EXPECT_EQ(jpegIdAt(cr2, offset), 0);
  EXPECT_FALSE(fileFindEmbeddedJpeg(cr2, offset, length, kFormatNef));  // no JPEGInterchange pairs
  EXPECT_EQ(offset, 0u);
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(fileFindEmbeddedJpeg(cr2, offset, length, kFormatJpeg));
}

TEST(EmbeddedJpeg, RefusesBadHeadersCountsAndPreviews) {
  uint32_t offset = 0, length = 0;
  Bytes late = rawWithPreviews(false, "NIKON D850", 2);
  late.insert(late.begin(), 500, 0);  // header after the first 500 bytes
  EXPECT_FALSE(fileFindEmbeddedJpeg(late, offset, length, kFormatNef));

  Bytes tooMany = rawWithPreviews(false, "NIKON D850", 2);
  tooMany[8] = 0xFF, tooMany[9] = 0x7F;  // IFD0 entry count beyond the data
  EXPECT_FALSE(fileFindEmbeddedJpeg(tooMany, offset, length, kFormatNef));

  Bytes badIfd = rawWithPreviews(false, "NIKON D850", 2);
  badIfd[4] = badIfd[5] = badIfd[6] = badIfd[7] = 0xFF;  // IFD0 offset far outside
  EXPECT_FALSE(fileFindEmbeddedJpeg(badIfd, offset, length, kFormatNef));

  // The second pair lies beyond the end: refused, and no bytes outside are handed out.
  Bytes truncated = rawWithPreviews(false, "NIKON D850", 2);
  truncated.resize(truncated.size() - 10);
  if (fileFindEmbeddedJpeg(truncated, offset, length, kFormatNef)) {
    EXPECT_LE(uint64_t(offset) + length, truncated.size());
  } else {
    EXPECT_EQ(offset | length, 0u);
  }
  // A model string offset outside the data is no crash and no Z model.
  Bytes wildModel = TiffBuilder(false).entry(0x0110, 2, 40, 0xFFFFFF00u).build();
  EXPECT_FALSE(fileFindEmbeddedJpeg(wildModel, offset, length, kFormatNef));
}

TEST(EmbeddedJpeg, VendorFormatsGoThroughTheHooksAndAreChecked) {
  Bytes raf(64, 0);
  Bytes j = tinyJpeg();
  std::copy(j.begin(), j.end(), raf.begin() + 20);
  uint32_t offset = 0, length = 0;
  EXPECT_FALSE(fileFindEmbeddedJpeg(raf, offset, length, kFormatRaf));  // not a preview the finder knows
  const FileTypesVendorHooks before = fileVendorHooks();
  FileTypesVendorHooks hooks;
  hooks.fujiFindEmbeddedJpeg = [](std::span<const uint8_t>, uint32_t& o, uint32_t& l) {
    o = 20, l = 16;
    return true;
  };
  hooks.canonFindEmbeddedJpeg = [](std::span<const uint8_t>, uint32_t& o, uint32_t& l) {
    o = 60, l = 16;  // beyond the end
    return true;
  };
  fileSetVendorHooks(hooks);
  EXPECT_TRUE(fileFindEmbeddedJpeg(raf, offset, length, kFormatRaf));
  EXPECT_EQ(offset, 20u);
  EXPECT_FALSE(fileFindEmbeddedJpeg(raf, offset, length, kFormatCr3));
  EXPECT_EQ(offset | length, 0u);
  fileSetVendorHooks(before);
}

// A declared preview range counts only when a whole JPEG ends inside it, and is cut at
// its end of image; the same for every finder that reads a declared range.
TEST(PreviewRange, OnlyAWholeJpegInsideTheDeclaredRangeIsTaken) {
  const Bytes whole = tinyJpeg(7);
  auto zeroFilled = [](Bytes b, size_t size) {
    b.resize(size, 0);
    return b;
  };
  // An APP1 segment holding a whole thumbnail, then the main image cut off: the
  // thumbnail's end of image is no end of the outer JPEG.
  Bytes withThumb = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, uint8_t(2 + whole.size())};
  withThumb.insert(withThumb.end(), whole.begin(), whole.end());
  withThumb.insert(withThumb.end(), {0xFF, 0xDB, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x02, 0x11, 0x22});
  struct Case {
    const char* what;
    Bytes range;        // the bytes at the declared offset, as long as the declared length
    uint32_t expected;  // the length taken, 0 for refused
  } cases[] = {
      {"whole JPEG", whole, 16},
      {"whole JPEG, then zero fill inside the range", zeroFilled(whole, 40), 16},
      {"start of a JPEG, then zero fill (cut-off download)", zeroFilled(Bytes(whole.begin(), whole.begin() + 10), 40), 0},
      {"thumbnail inside, outer image cut off", zeroFilled(withThumb, 60), 0},
      {"end of image one byte past the range", Bytes(whole.begin(), whole.end() - 1), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const uint32_t declared = uint32_t(c.range.size());
    auto check = [&](const Bytes& raw, bool found, uint32_t offset, uint32_t length) {
      EXPECT_EQ(found, c.expected != 0);
      EXPECT_EQ(length, c.expected);
      if (found) {
        EXPECT_EQ(Bytes(raw.begin() + offset, raw.begin() + offset + length), whole);
      }
    };
    {
      SCOPED_TRACE("TIFF raw preview");
      Bytes raw = TiffBuilder(false).blob("p", c.range).entry(0x0112, 3, 1, 1u).entry(0x0201, 4, 1, "p").entry(0x0202, 4, 1, declared).build();
      std::vector<uint8_t> jpeg;
      uint8_t orientation = 0;
      const uint32_t n = fileExtractRawPreview(raw, &orientation, jpeg);
      EXPECT_EQ(n, c.expected);
      EXPECT_EQ(jpeg.size(), n);
      if (n) {
        EXPECT_EQ(jpeg, whole);
      }
    }
    const struct {
      const char* name;
      uint16_t format;
      Bytes raw;
    } finders[] = {
        {"ARW", kFormatArw, TiffBuilder(false).blob("p", c.range).entry(0x0201, 4, 1, "p").entry(0x0202, 4, 1, declared).build()},
        {"NEF", kFormatNef,
         TiffBuilder(true).blob("first", tinyJpeg(1)).blob("p", c.range).entry(0x0201, 4, 1, "first")
             .entry(0x0202, 4, 1, 16u).entry(0x0201, 4, 1, "p").entry(0x0202, 4, 1, declared).build()},
        {"CR2", kFormatCr2, TiffBuilder(false).blob("p", c.range).entry(0x0111, 4, 1, "p").entry(0x0117, 4, 1, declared).build()},
    };
    for (const auto& f : finders) {
      SCOPED_TRACE(f.name);
      uint32_t offset = 1, length = 1;
      const bool found = fileFindEmbeddedJpeg(f.raw, offset, length, f.format);
      check(f.raw, found, offset, length);
    }
    {
      SCOPED_TRACE("through a vendor finder");
      const FileTypesVendorHooks before = fileVendorHooks();
      Bytes raf = fixtures::TiffBuilder(false).blob("p", c.range).build();
      const uint32_t at = uint32_t(raf.size() - c.range.size());
      FileTypesVendorHooks hooks = before;
      hooks.fujiFindEmbeddedJpeg = [&](std::span<const uint8_t>, uint32_t& o, uint32_t& l) {
        o = at, l = declared;
        return true;
      };
      fileSetVendorHooks(hooks);
      uint32_t offset = 1, length = 1;
      const bool found = fileFindEmbeddedJpeg(raf, offset, length, kFormatRaf);
      fileSetVendorHooks(before);
      check(raf, found, offset, length);
    }
  }
}

}  // namespace
