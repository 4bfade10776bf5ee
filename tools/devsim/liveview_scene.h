#pragma once
// The demo's live picture and the messages that carry it, per maker. A small ring of JPEG
// pictures is encoded once (a sun crossing a landscape); each frame takes the next picture
// and wraps it as that maker's device relays live view:
//   Canon    a GetViewFinderData (0x9153) data container: the JPEG, then the information
//            blocks (zoom, sizes, AF frames, rotation and level), kind 10;
//   Nikon    a GetLiveViewImage (0x9203) data container: a big-endian camera header whose
//            first words give its size and the JPEG's, then the JPEG, kind 10;
//   Fujifilm a control reply of opcode 136 holding the bare JPEG, kind 13.
// Frames are numbered from 0; what a frame holds follows from its number alone.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/devsim/frames.h"

namespace devsim {

enum class LiveViewVendor : uint8_t { Canon, Nikon, Fujifilm };

// "canon", "nikon" or "fuji".
std::optional<LiveViewVendor> liveViewVendorFromName(std::string_view name);
const char* liveViewVendorName(LiveViewVendor vendor);

constexpr uint8_t kOpcodeLiveViewFrame = 136;
constexpr uint16_t kPtpCanonGetViewFinderData = 0x9153;
constexpr uint16_t kPtpNikonGetLiveViewImage = 0x9203;

// The live picture, as a camera's live view sends it (3:2).
constexpr int kLiveViewWidth = 640, kLiveViewHeight = 424;
// Pictures in the ring: one pass of the sun.
constexpr uint32_t kLiveViewRingFrames = 32;

// Canon's frame coordinates: the whole sensor image that AF frames are placed in.
constexpr uint32_t kCanonLiveViewFullWidth = 6000, kCanonLiveViewFullHeight = 4000;
// AF frame states; the overlay draws 0x11 green, 0x12 red and any other white.
constexpr uint32_t kCanonAfSearching = 0x10, kCanonAfInFocus = 0x11, kCanonAfFailed = 0x12;
constexpr uint32_t kCanonLiveViewAfFrames = 3;
// Frames each AF state lasts before the next one.
constexpr uint32_t kCanonAfStateFrames = 8;
// The level swings this many degrees either side of level, once every so many frames.
constexpr double kLiveViewLevelSwing = 12.0;
constexpr uint32_t kLiveViewLevelPeriod = 80;

// Nikon's camera header: its size as the reply's first word gives it, and where the JPEG
// starts (after the two length words).
constexpr uint32_t kNikonLiveViewHeaderBytes = 384;
constexpr uint32_t kNikonLiveViewJpegOffset = kNikonLiveViewHeaderBytes + 8;

// Where the moving subject is in a frame, as fractions of the picture (top-down).
struct LiveViewSubject {
  double centreX = 0, centreY = 0, width = 0, height = 0;
};
LiveViewSubject liveViewSubjectAt(uint32_t frame);

struct CanonAfFrame {
  uint32_t state = 0, x = 0, y = 0, width = 0, height = 0;  // full-image coordinates
};
// What a Canon frame reports besides its picture.
struct CanonLiveViewInfo {
  std::array<CanonAfFrame, kCanonLiveViewAfFrames> af{};
  uint32_t rotation = 0;
  uint32_t levelHundredths = 0;  // the level angle in 1/100 degree, 0 .. 35999
};
CanonLiveViewInfo canonLiveViewInfoAt(uint32_t frame);

// The GetViewFinderData reply (the data container's payload) of a JPEG and that info.
Bytes canonViewFinderReply(const Bytes& jpeg, const CanonLiveViewInfo& info);
// The GetLiveViewImage reply of a JPEG, its AF area on the subject.
Bytes nikonLiveViewReply(const Bytes& jpeg, const LiveViewSubject& subject, uint32_t frame);

class LiveViewScene {
 public:
  // Encodes the ring (a few milliseconds a picture), labelled with the maker's name.
  explicit LiveViewScene(LiveViewVendor vendor);

  LiveViewVendor vendor() const { return vendor_; }
  const Bytes& jpeg(uint32_t frame) const { return ring_[frame % ring_.size()]; }
  // The whole message of a frame, header included; the transaction id goes into the PTP
  // container (Canon and Nikon).
  Bytes message(uint32_t frame, uint32_t transactionId) const;

 private:
  LiveViewVendor vendor_;
  std::vector<Bytes> ring_;
};

}  // namespace devsim
