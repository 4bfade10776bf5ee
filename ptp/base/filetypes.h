#pragma once
// File types by name and by PTP object format, JPEG measuring, the preview JPEG inside
// raw files and the JPEG of a live-view frame. Pure functions over the caller's bytes;
// every read is bounded by the span.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ptp/base/object_info.h"

constexpr uint16_t kFormatNef = 0x3000;
constexpr uint16_t kFormatMov = 0x300D;
constexpr uint16_t kFormatUndefinedRaw = 0x3800;
constexpr uint16_t kFormatJpeg = 0x3801;
constexpr uint16_t kFormatTiff = 0x380D;
constexpr uint16_t kFormatArw = 0xB101;
constexpr uint16_t kFormatCr2 = 0xB103;
constexpr uint16_t kFormatVendorMovie1 = 0xB104;
constexpr uint16_t kFormatVendorMovie2 = 0xB105;
constexpr uint16_t kFormatCr3 = 0xB108;
constexpr uint16_t kFormatRaf = 0xB111;
constexpr uint16_t kFormatVendorMovie3 = 0xB982;

// Largest raw file fileExtractRawJpegToCache reads.
constexpr uint64_t kRawFileReadCap = 512ull << 20;

uint16_t fileFormatFromName(const char* name);
bool fileNameIsRaw(const char* name);
bool fileNameIsJpeg(const char* name);
bool fileNameIsMovie(const char* name);
bool fileFormatIsRaw(uint16_t format);
bool fileFormatIsJpegOrTiff(uint16_t format);
bool fileFormatIsMovie(uint16_t format);
bool fileIsTiffByteOrderMark(std::span<const uint8_t> bytes);

// Length from the SOI at the start to its matching EOI; 0 when there is none.
uint32_t fileJpegLength(std::span<const uint8_t> jpeg);

// The preview JPEG of a TIFF-based raw, by its JPEGInterchangeFormat / Length entries and
// the orientation entry: copied into jpeg, its length answered (0 when not found).
uint32_t fileExtractRawPreview(std::span<const uint8_t> data, uint8_t* orientation, std::vector<uint8_t>& jpeg);

// Locates (without copying) the preview JPEG of a raw object of the given format.
bool fileFindEmbeddedJpeg(std::span<const uint8_t> data, uint32_t& offset, uint32_t& jpegLength, uint16_t format);

// Reads the raw file at path, stores its preview as the record's ".ext.jpg" and answers
// that file's path.
std::optional<std::string> fileExtractRawJpegToCache(const PtpObjectInfoStruct& record, const std::string& path);

// The JPEG of a live-view reply, copied into out.
bool camExtractLiveViewJpeg(std::span<const uint8_t> frame, std::vector<uint8_t>& out, uint16_t ptpCode);

// Whether [offset, offset + length) lies inside data, is not empty and starts with FF D8.
bool filePreviewIsPlausible(std::span<const uint8_t> data, uint64_t offset, uint64_t length);
// A declared preview range as a whole JPEG: the length from its SOI to the EOI that
// fileJpegLength finds inside [offset, offset + length), 0 when the range is not
// plausible or holds no end of image (zero fill after a cut-off download).
uint32_t fileWholeJpegInRange(std::span<const uint8_t> data, uint64_t offset, uint64_t length);
