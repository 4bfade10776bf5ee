#include "ptp/vendors/canon/canon_liveview.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "ptp/base/byte_reader.h"
#include "ptp/vendors/canon/canon_images.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_yuv.h"

namespace {

constexpr size_t kBlockHeadBytes = 8;
constexpr size_t kAfEntryBytes = 24;
constexpr size_t kAfFirstEntry = 12;

std::mutex gLastFrameMutex;
EOS_LiveViewInfoStruct gLastFrame{};

// One past the last FF D9 after the JPEG start, searching backwards from the reply's end;
// a pair right after two FF bytes is fill, not a marker. 0 when there is none.
size_t findJpegEnd(const uint8_t* reply, size_t length, size_t start) {
  size_t lowest = std::max<size_t>(3, start + 2);
  for (size_t q = length - 2; q >= lowest; --q) {
    if (reply[q] == 0xFF && reply[q + 1] == 0xD9 && !(reply[q - 2] == 0xFF && reply[q - 1] == 0xFF))
      return q + 2;
  }
  return 0;
}

void set(uint32_t& field, const ByteReader& block, size_t at) {
  if (auto v = block.u32(at)) field = *v;
}

void set(int32_t& field, const ByteReader& block, size_t at) {
  if (auto v = block.u32(at)) field = static_cast<int32_t>(*v);
}

void applyAfBlock(EOS_LiveViewInfoStruct& h, const ByteReader& block) {
  auto count = block.u32(8);
  if (!count) return;
  size_t fitting = block.size() > kAfFirstEntry ? (block.size() - kAfFirstEntry) / kAfEntryBytes : 0;
  size_t n = std::min<size_t>({*count, kCanonMaxAfFrames, fitting});
  h.afFrameCount = static_cast<uint32_t>(n);
  for (size_t i = 0; i < n; ++i) {
    size_t e = kAfFirstEntry + i * kAfEntryBytes;
    set(h.afState[i], block, e);
    set(h.afX[i], block, e + 8);
    set(h.afY[i], block, e + 12);
    set(h.afWidth[i], block, e + 16);
    set(h.afHeight[i], block, e + 20);
  }
}

void applyBlock(EOS_LiveViewInfoStruct& h, uint32_t type, const ByteReader& block) {
  switch (type) {
    case 4: set(h.zoomScale, block, 8); break;
    case 5:
      set(h.zoomOriginX, block, 8);
      set(h.zoomOriginY, block, 12);
      break;
    case 8: applyAfBlock(h, block); break;
    case 10:
      set(h.infoBlock10[0], block, 8);
      set(h.infoBlock10[1], block, 12);
      break;
    case 13:
      set(h.zoomWidth, block, 16);
      set(h.zoomHeight, block, 20);
      break;
    case 14:
      set(h.fullWidth, block, 8);
      set(h.fullHeight, block, 12);
      break;
    case 15:
      for (size_t i = 0; i < 4; ++i) set(h.infoBlock15[i], block, 8 + 4 * i);
      break;
    case 16:
      set(h.rotation, block, 12);
      if (auto level = block.u32(16)) h.levelAngle = static_cast<float>(*level / 100.0);
      break;
    case 18:
      set(h.visibleWidth, block, 16);
      set(h.visibleHeight, block, 20);
      break;
    default: break;  // 6, 7, 9, 11, 12, 17 and unknown types carry nothing we use
  }
}

// Blocks run back to back from `offset`: u32 length (head included), u32 type, payload.
// The walk ends on a length below the head, and a block that reaches the reply's end is
// not read.
void readBlocks(EOS_LiveViewInfoStruct& h, const uint8_t* reply, size_t length, size_t offset) {
  ByteReader r(reply, length);
  while (offset + 4 < length) {
    uint32_t blockLength = *r.u32(offset);
    if (blockLength < kBlockHeadBytes || blockLength >= length - offset) break;
    uint32_t type = *r.u32(offset + 4);
    applyBlock(h, type, ByteReader(reply + offset, blockLength));
    offset += blockLength;
  }
}

void applyDefaults(EOS_LiveViewInfoStruct& h) {
  if (h.fullWidth == 0) canonFillSensorSize(h);
  if (h.zoomScale == 0) h.zoomScale = 1;
  if (h.visibleWidth == 0) {
    h.visibleWidth = h.fullWidth / h.zoomScale;
    h.visibleHeight = h.fullHeight / h.zoomScale;
  }
  if (h.zoomWidth == 0) {
    h.zoomWidth = h.fullWidth / h.zoomScale;
    h.zoomHeight = h.fullHeight / h.zoomScale;
  }
}

// Header followed by the image; the image's first bytes share the header's last slot.
void keepLastFrame(const std::vector<uint8_t>& frame) {
  std::lock_guard<std::mutex> lock(gLastFrameMutex);
  std::memcpy(&gLastFrame, frame.data(), kCanonLiveViewHeaderBytes);
}

bool assemble(const EOS_LiveViewInfoStruct& h, const uint8_t* image, size_t imageLength,
              std::vector<uint8_t>& frame) {
  try {
    frame.assign(kCanonLiveViewHeaderBytes + imageLength, 0);
  } catch (const std::bad_alloc&) {
    frame.clear();
    return false;
  }
  std::memcpy(frame.data(), &h, kCanonLiveViewImageOffset);
  if (imageLength) std::memcpy(frame.data() + kCanonLiveViewImageOffset, image, imageLength);
  keepLastFrame(frame);
  return true;
}

uint8_t orientationOf(uint32_t rotation) {
  static const uint8_t kMap[5] = {1, 6, 8, 1, 3};
  return rotation < 5 ? kMap[rotation] : 1;
}

}  // namespace

bool canonParseLiveViewFrame(const uint8_t* reply, size_t replyLength, std::vector<uint8_t>& frame,
                             uint8_t modelIndex) {
  frame.clear();
  if (!reply || replyLength < kCanonLiveViewMinReply) return false;
  EOS_LiveViewInfoStruct h{};
  int64_t start = canonFindJpegStart(reply, replyLength);
  if (start < 0) {
    // Converted straight into the frame: a BMP of a 1024 x 680 picture is 2.8 MB.
    size_t n = canonDecodeYuvLiveViewAt(reply, replyLength, frame, kCanonLiveViewImageOffset,
                                        kCanonLiveViewHeaderBytes - kCanonLiveViewImageOffset, modelIndex);
    if (n == 0) return false;
    h.frameKind = CanonFrameKindBmp;
    h.imageLength = static_cast<uint32_t>(n);
    h.infoBlock15[0] = -1;
    h.infoBlock10[0] = -1;
    std::memcpy(frame.data(), &h, kCanonLiveViewImageOffset);
    keepLastFrame(frame);
    return true;
  }
  size_t p = static_cast<size_t>(start);
  size_t end = findJpegEnd(reply, replyLength, p);
  if (end == 0) return false;
  h.frameKind = CanonFrameKindJpeg;
  h.imageLength = static_cast<uint32_t>(end - p);
  h.infoBlock15[0] = -1;
  h.infoBlock15[1] = -1;
  readBlocks(h, reply, replyLength, end);
  applyDefaults(h);
  return assemble(h, reply + p, end - p, frame);
}

bool canonReadLiveViewHeader(const uint8_t* frame, size_t length, EOS_LiveViewInfoStruct& header) {
  if (!frame || length < kCanonLiveViewHeaderBytes) return false;
  std::memcpy(&header, frame, kCanonLiveViewHeaderBytes);
  return true;
}

uint16_t canonLiveViewOpcode() { return PTP_OC_CANON_GetViewFinderData; }

uint8_t canonLiveViewFrameOrientation(const EOS_LiveViewInfoStruct* frame) {
  return frame ? orientationOf(frame->rotation) : 1;
}

uint8_t canonLiveViewFrameOrientation(const uint8_t* frame, size_t length) {
  auto rotation = ByteReader(frame, length).u32(offsetof(EOS_LiveViewInfoStruct, rotation));
  return rotation ? orientationOf(*rotation) : 1;
}

uint8_t canonGetLiveViewOrientation() {
  std::lock_guard<std::mutex> lock(gLastFrameMutex);
  return orientationOf(gLastFrame.rotation);
}

void canonFillSensorSize(EOS_LiveViewInfoStruct& record) {
  double width = 0, height = 0;
  canonGetSensorSize(width, height);
  record.fullWidth = static_cast<uint32_t>(width);
  record.fullHeight = static_cast<uint32_t>(height);
}

EOS_LiveViewInfoStruct canonGetLiveViewInfo() {
  std::lock_guard<std::mutex> lock(gLastFrameMutex);
  return gLastFrame;
}

bool canonLiveViewToImage(std::vector<uint8_t>& data, uint8_t modelIndex) {
  if (data.size() < 4) return false;
  int64_t start = canonFindJpegStart(data.data(), data.size());
  if (start >= 0) {
    if (data.size() - static_cast<size_t>(start) < 4) return false;
    data.erase(data.begin(), data.begin() + start);
    return true;
  }
  if (data.size() < 260) return false;
  std::vector<uint8_t> bmp;
  if (canonDecodeYuvLiveView(data.data(), data.size(), bmp, modelIndex) == 0) return false;
  data.swap(bmp);
  return true;
}
