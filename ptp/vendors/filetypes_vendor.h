#pragma once
// The vendor finders the file-type functions call (RAF and CR3 previews, Canon's YUV
// live-view frames). RAF and CR3 start out as the Fujifilm and Canon finders; the YUV
// decoder needs the camera's model index and answers "not found" until the camera
// interface installs it. Tests may install their own.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

struct FileTypesVendorHooks {
  // (data, offset, length) -> whether a preview JPEG was found.
  std::function<bool(std::span<const uint8_t>, uint32_t&, uint32_t&)> fujiFindEmbeddedJpeg;
  std::function<bool(std::span<const uint8_t>, uint32_t&, uint32_t&)> canonFindEmbeddedJpeg;
  // (frame, out) -> length of the JPEG written to out, 0 when none.
  std::function<uint32_t(std::span<const uint8_t>, std::vector<uint8_t>&)> canonDecodeYuvLiveView;
};

void fileSetVendorHooks(FileTypesVendorHooks hooks);
FileTypesVendorHooks fileVendorHooks();
