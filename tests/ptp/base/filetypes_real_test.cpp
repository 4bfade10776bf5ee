// The raw-preview finders on real camera files (several of them truncated, with large
// previews declared beyond their end). Whatever a finder returns must be one of the
// JPEG previews that expected.json lists for the file.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "ptp/base/filetypes.h"

namespace {

const std::string kRealDir = std::string(KV_TESTDATA_DIR) + "/real";

std::vector<uint8_t> readAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// The number after `"key": ` at or after from, or nullopt (a null, or no such key before
// the object closes).
std::optional<uint64_t> numberAfter(const std::string& text, const std::string& key, size_t from) {
  size_t k = text.find("\"" + key + "\": ", from);
  if (k == std::string::npos || text.find('}', from) < k) return std::nullopt;
  size_t p = k + key.size() + 4;
  if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return std::nullopt;
  return std::stoull(text.substr(p, 20));
}

// file -> {(offset, length)} of its JPEG previews, from expected.json.
std::map<std::string, std::set<std::pair<uint64_t, uint64_t>>> expectedPreviews() {
  std::vector<uint8_t> raw = readAll(kRealDir + "/expected.json");
  std::string text(raw.begin(), raw.end());
  std::map<std::string, std::set<std::pair<uint64_t, uint64_t>>> out;
  const std::string fileKey = "\"file\": \"", jpegKey = "\"mime\": \"image/jpeg\"";
  for (size_t f = text.find(fileKey); f != std::string::npos;) {
    size_t nameAt = f + fileKey.size();
    std::string name = text.substr(nameAt, text.find('"', nameAt) - nameAt);
    size_t next = text.find(fileKey, nameAt);
    auto& set = out[name];
    for (size_t m = text.find(jpegKey, nameAt); m != std::string::npos && m < next; m = text.find(jpegKey, m + 1)) {
      auto length = numberAfter(text, "length", m), offset = numberAfter(text, "offset", m);
      if (length && offset) set.insert({*offset, *length});
    }
    f = next;
  }
  return out;
}

// Whether [offset, offset + length) is a listed preview cut at its end of image: the
// finders hand out a declared range only up to the EOI of the whole JPEG in it.
template <typename Listed>
bool isListedPreview(const Listed& previews, const std::vector<uint8_t>& data, uint32_t offset, uint32_t length) {
  for (auto [o, l] : previews) {
    if (o != offset || l < length || uint64_t(o) + l > data.size()) continue;
    if (fileJpegLength(std::span<const uint8_t>(data).subspan(o, l)) == length) return true;
  }
  return false;
}

class RealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRealDir + "/expected.json")) GTEST_SKIP() << "no real camera files at " << kRealDir;
  }
};

TEST_F(RealFiles, FindersReturnOnlyListedJpegsInsideTheFile) {
  auto expected = expectedPreviews();
  ASSERT_EQ(expected.size(), 7u);
  int found = 0;
  for (const auto& [file, previews] : expected) {
    std::vector<uint8_t> data = readAll(kRealDir + "/" + file);
    ASSERT_FALSE(data.empty()) << file;
    for (uint16_t format : {kFormatNef, kFormatArw, kFormatCr2}) {
      uint32_t offset = 0, length = 0;
      if (!fileFindEmbeddedJpeg(data, offset, length, format)) {
        EXPECT_EQ(offset | length, 0u);
        continue;
      }
      ++found;
      EXPECT_LE(uint64_t(offset) + length, data.size()) << file;
      EXPECT_TRUE(isListedPreview(previews, data, offset, length))
          << file << " format " << format << ": " << offset << "+" << length;
    }
    std::vector<uint8_t> jpeg;
    uint8_t orientation = 0;
    if (uint32_t n = fileExtractRawPreview(data, &orientation, jpeg)) {
      ++found;
      bool listed = false;
      for (auto [offset, length] : previews)
        listed = listed || (isListedPreview(previews, data, uint32_t(offset), n) &&
                            std::equal(jpeg.begin(), jpeg.end(), data.begin() + long(offset)));
      EXPECT_TRUE(listed) << file << ": extracted " << n << " bytes that are not a listed preview";
    }
  }
  EXPECT_GT(found, 0);  // the finders do find the previews that lie inside
}

TEST_F(RealFiles, TruncatedRawsYieldTheirInsideThumbnailNotTheDeclaredPreview) {
  std::vector<uint8_t> arw = readAll(kRealDir + "/sony_dslr_a330_header.arw");
  uint32_t offset = 0, length = 0;
  ASSERT_TRUE(fileFindEmbeddedJpeg(arw, offset, length, kFormatArw));
  EXPECT_EQ(offset, 32770u);
  // The declared 3598 bytes end in 11 bytes of fill after the thumbnail's end of image.
  EXPECT_EQ(length, 3587u);
  // The CR2's IFD0 preview strip lies beyond the 50 KiB: refused.
  std::vector<uint8_t> cr2 = readAll(kRealDir + "/canon_powershot_s90_header.cr2");
  EXPECT_FALSE(fileFindEmbeddedJpeg(cr2, offset, length, kFormatCr2));
  // The NEF holds no JPEG preview at all.
  std::vector<uint8_t> nef = readAll(kRealDir + "/nikon_d1_header.nef");
  EXPECT_FALSE(fileFindEmbeddedJpeg(nef, offset, length, kFormatNef));
}

TEST_F(RealFiles, NamesGiveTheirFormats) {
  EXPECT_EQ(fileFormatFromName("canon_powershot_s90_header.cr2"), kFormatCr2);
  EXPECT_EQ(fileFormatFromName("nikon_d1_header.nef"), kFormatNef);
  EXPECT_EQ(fileFormatFromName("sony_dslr_a330_header.arw"), kFormatArw);
  EXPECT_EQ(fileFormatFromName("nikon_d70.jpg"), kFormatJpeg);
}

}  // namespace
