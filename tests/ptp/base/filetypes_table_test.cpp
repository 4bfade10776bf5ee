#include <gtest/gtest.h>

#include <chrono>

#include "ptp/base/filetypes.h"
#include "ptp/vendors/filetypes_vendor.h"
#include "tests/ptp/base/filetypes_fixtures.h"

namespace {

TEST(FileTypes, FormatFromName) {
  const std::pair<const char*, uint16_t> cases[] = {
      {"IMG_0001.JPG", 0x3801}, {"img_0001.jpg", 0x3801}, {"x.CR2", 0xB103},     {"x.cr3", 0xB108},
      {"DSC.NEF", 0x3000},      {"DSC.arw", 0xB101},      {"DSCF.RAF", 0xB111},  {"scan.tif", 0x380D},
      {"scan.TIFF", 0x380D},    {"clip.MOV", 0x300D},     {"x.CR2.bak", 0xB103}, {"a.MOV.JPG", 0x3801},
      {"a.JPG.MOV", 0x3801},    {"photo.jpeg", 0},        {"README", 0},         {"", 0},
  };
  for (auto [name, format] : cases) EXPECT_EQ(fileFormatFromName(name), format) << name;
  EXPECT_EQ(fileFormatFromName(nullptr), 0);
}

TEST(FileTypes, NamePredicates) {
  struct Case {
    const char* name;
    bool raw, jpeg, movie;
  };
  const Case cases[] = {
      {"x.CR2", true, false, false},     {"x.cr3", true, false, false},      {"x.NeF", true, false, false},
      {"x.ARW", true, false, false},     {"x.RAF", true, false, false},      {"x.CR2.bak", false, false, false},
      {"x.CR2.NEF", true, false, false}, {"x.jpeg", false, true, false},     {"x.JPG", false, true, false},
      {"a.MOV.JPG", false, true, true},  {"CR2", false, false, false},       {"", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileNameIsRaw(c.name), c.raw) << c.name;
    EXPECT_EQ(fileNameIsJpeg(c.name), c.jpeg) << c.name;
    EXPECT_EQ(fileNameIsMovie(c.name), c.movie) << c.name;
  }
  EXPECT_FALSE(fileNameIsRaw(nullptr));
  EXPECT_FALSE(fileNameIsJpeg(nullptr));
  EXPECT_FALSE(fileNameIsMovie(nullptr));
}

TEST(FileTypes, FormatPredicates) {
  for (uint16_t f : {0xB101, 0xB103, 0xB108, 0x3000, 0x3800, 0xB111}) EXPECT_TRUE(fileFormatIsRaw(f)) << f;
  for (uint16_t f : {0x3801, 0x380D, 0x300D, 0}) EXPECT_FALSE(fileFormatIsRaw(f)) << f;
  EXPECT_TRUE(fileFormatIsJpegOrTiff(0x3801));
  EXPECT_TRUE(fileFormatIsJpegOrTiff(0x380D));
  EXPECT_FALSE(fileFormatIsJpegOrTiff(0xB103));
  for (uint16_t f : {0xB104, 0xB105, 0x300D, 0xB982}) EXPECT_TRUE(fileFormatIsMovie(f)) << f;
  EXPECT_FALSE(fileFormatIsMovie(0x3801));
  const uint8_t ii[] = {'I', 'I'}, mm[] = {'M', 'M'}, im[] = {'I', 'M'};
  EXPECT_TRUE(fileIsTiffByteOrderMark(ii));
  EXPECT_TRUE(fileIsTiffByteOrderMark(mm));
  EXPECT_FALSE(fileIsTiffByteOrderMark(im));
  EXPECT_FALSE(fileIsTiffByteOrderMark(std::span<const uint8_t>(ii, 1)));
}

TEST(JpegLength, MeasuresToTheMatchingEnd) {
  using fixtures::Bytes;
  Bytes tiny = fixtures::tinyJpeg();
  Bytes nested = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x01, 0x02, 0xFF, 0xDA, 0x00, 0x02, 0x10};
  nested.insert(nested.end(), tiny.begin(), tiny.end());  // SOI…SOS…EOI inside the scan
  nested.insert(nested.end(), {0x20, 0xFF, 0xD9});
  size_t outer = nested.size();
  nested.insert(nested.end(), {'j', 'u', 'n', 'k', 0xFF, 0xD9});
  const std::pair<Bytes, uint32_t> cases[] = {
      {tiny, 16},
      {nested, uint32_t(outer)},
      {{0xFF, 0xD8, 0xFF, 0xD9}, 4},                               // EOI in the last two bytes
      {{0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 0x00}, 0},             // segment beyond the end
      {{0xFF, 0xD8, 0xFF, 0xE1}, 0},                               // length cut off
      {{0x00, 0xD8, 0xFF, 0xD9}, 0},                               // no SOI
      {{0xFF}, 0},
      {{}, 0},
      // Unclosed scan: parsing resumes at the inner SOS, whose scan the EOI closes.
      {{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xDA, 0xFF, 0xC4, 0x00, 0x02, 0xFF, 0xD9}, 14},
  };
  for (const auto& [bytes, length] : cases) EXPECT_EQ(fileJpegLength(bytes), length);
}

TEST(JpegLength, ManyUnclosedScansStayLinear) {
  // Each resumed scan would walk to the end again; this must still finish at once.
  fixtures::Bytes hostile = {0xFF, 0xD8};
  for (int i = 0; i < 200000; ++i) hostile.insert(hostile.end(), {0xFF, 0xDA});
  EXPECT_EQ(fileJpegLength(hostile), 0u);
  hostile.insert(hostile.end(), {0xFF, 0xD9});
  EXPECT_EQ(fileJpegLength(hostile), hostile.size());  // only the innermost scan closes
}

TEST(LiveView, CutsTheJpegOutOfTheFrame) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> frame(1100, 0);
  frame[100] = 0xFF, frame[101] = 0xD8, frame[102] = 0xFF, frame[103] = 0xDB;
  ASSERT_TRUE(camExtractLiveViewJpeg(frame, out, 0x9203));
  EXPECT_EQ(out.size(), 1000u);
  EXPECT_EQ(out[0], 0xFF);

  std::vector<uint8_t> shortFrame(1027, 0);
  shortFrame[0] = 0xFF, shortFrame[1] = 0xD8, shortFrame[2] = 0xFF, shortFrame[3] = 0xC4;
  EXPECT_FALSE(camExtractLiveViewJpeg(shortFrame, out, 0x9203));

  std::vector<uint8_t> none(1500, 0);
  EXPECT_FALSE(camExtractLiveViewJpeg(none, out, 0x9203));
  EXPECT_FALSE(camExtractLiveViewJpeg(none, out, 0x9153));  // no vendor decoder installed
  EXPECT_TRUE(out.empty());

  std::vector<uint8_t> late(4096, 0);
  late[2048] = 0xFF, late[2049] = 0xD8, late[2050] = 0xFF, late[2051] = 0xC4;  // beyond the window
  EXPECT_FALSE(camExtractLiveViewJpeg(late, out, 0x9428));
  late[2047] = 0xFF, late[2048] = 0xD8, late[2049] = 0xFF, late[2050] = 0xC4;
  ASSERT_TRUE(camExtractLiveViewJpeg(late, out, 0x9428));
  EXPECT_EQ(out.size(), 4096u - 2047u);
}

TEST(LiveView, CanonYuvFramesGoToTheVendorDecoder) {
  const FileTypesVendorHooks before = fileVendorHooks();
  FileTypesVendorHooks hooks;
  hooks.canonDecodeYuvLiveView = [](std::span<const uint8_t>, std::vector<uint8_t>& out) {
    out = fixtures::tinyJpeg();
    return uint32_t(out.size());
  };
  fileSetVendorHooks(hooks);
  std::vector<uint8_t> frame(1500, 0), out;
  EXPECT_TRUE(camExtractLiveViewJpeg(frame, out, 0x9153));
  EXPECT_EQ(out, fixtures::tinyJpeg());
  EXPECT_FALSE(camExtractLiveViewJpeg(frame, out, 0x9203));
  fileSetVendorHooks(before);
}

}  // namespace
