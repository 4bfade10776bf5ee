#include "tools/devsim/liveview_scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "ptp/base/ptp_codes.h"
#include "tools/devsim/demo_canvas.h"
#include "tools/devsim/demo_images.h"
#include "tools/devsim/simulator.h"

namespace devsim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kSunRadius = 30;
constexpr int kJpegQuality = 75;
// Nikon's whole-image coordinates, which its AF area is given in.
constexpr uint32_t kNikonImageWidth = 6048, kNikonImageHeight = 4024;

void putBe16(Bytes& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v >> 8);
  b[at + 1] = uint8_t(v);
}

void putBe32(Bytes& b, size_t at, uint32_t v) {
  putBe16(b, at, uint16_t(v >> 16));
  putBe16(b, at + 2, uint16_t(v));
}

// Live-view JPEGs begin with their tables (FF D8 FF DB), which is how the viewer finds
// them inside a reply: TurboJPEG's JFIF header goes.
void dropJfifHeader(Bytes& jpeg) {
  if (jpeg.size() < 6 || jpeg[2] != 0xFF || jpeg[3] != 0xE0) return;
  const size_t segment = 2 + ((size_t(jpeg[4]) << 8) | jpeg[5]);
  if (2 + segment > jpeg.size()) return;
  jpeg.erase(jpeg.begin() + 2, jpeg.begin() + long(2 + segment));
}

uint32_t scaled(double fraction, uint32_t extent) {
  return uint32_t(std::lround(std::clamp(fraction, 0.0, 1.0) * extent));
}

std::string upper(const char* s) {
  std::string out(s);
  for (char& c : out) c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return out;
}

Bytes drawPicture(LiveViewVendor vendor, uint32_t frame) {
  Canvas c(kLiveViewWidth, kLiveViewHeight);
  const int W = kLiveViewWidth, H = kLiveViewHeight, horizon = H * 68 / 100;
  c.gradient({24, 52, 128}, {176, 204, 232}, 0);
  const LiveViewSubject sun = liveViewSubjectAt(frame);
  const int sx = int(sun.centreX * W), sy = int(sun.centreY * H);
  c.disc(sx, sy, kSunRadius + 14, {255, 214, 110}, 120);
  c.disc(sx, sy, kSunRadius, {252, 206, 72});
  // Drawn after the sun, which sets behind them.
  c.triangle(W * 22 / 100, H * 40 / 100, W * 56 / 100, horizon - H * 40 / 100 + 1, {70, 86, 104});
  c.triangle(W * 70 / 100, H * 46 / 100, W * 62 / 100, horizon - H * 46 / 100 + 1, {92, 106, 120});
  c.rect(0, horizon, W, H, {58, 104, 52});
  c.rect(0, horizon + (H - horizon) / 2, W, H, {44, 86, 40});
  c.text(16, 16, 3, "LIVE " + upper(liveViewVendorName(vendor)), {250, 250, 250});
  c.disc(W - 26, 26, 9, {226, 36, 36});
  const std::string number = "#" + std::to_string(frame % kLiveViewRingFrames);
  c.text(W - Canvas::textWidth(number, 2) - 12, H - Canvas::textHeight(2) - 12, 2, number, {240, 240, 240});
  Bytes jpeg = encodeDemoJpeg(c, kJpegQuality, {});
  dropJfifHeader(jpeg);
  return jpeg;
}

// Canon's information blocks: u32 length (head included), u32 type, u32 words.
void putBlock(Bytes& b, uint32_t type, std::initializer_list<uint32_t> words) {
  putU32(b, uint32_t(8 + 4 * words.size()));
  putU32(b, type);
  for (uint32_t w : words) putU32(b, w);
}

}  // namespace

std::optional<LiveViewVendor> liveViewVendorFromName(std::string_view name) {
  if (name == "canon") return LiveViewVendor::Canon;
  if (name == "nikon") return LiveViewVendor::Nikon;
  if (name == "fuji") return LiveViewVendor::Fujifilm;
  return std::nullopt;
}

const char* liveViewVendorName(LiveViewVendor vendor) {
  switch (vendor) {
    case LiveViewVendor::Canon: return "canon";
    case LiveViewVendor::Nikon: return "nikon";
    case LiveViewVendor::Fujifilm: return "fuji";
  }
  return "?";
}

LiveViewSubject liveViewSubjectAt(uint32_t frame) {
  const double t = kTwoPi * double(frame % kLiveViewRingFrames) / kLiveViewRingFrames;
  const double box = 2.6 * kSunRadius;
  return {0.5 + 0.36 * std::sin(t), 0.36 - 0.14 * std::cos(t), box / kLiveViewWidth, box / kLiveViewHeight};
}

CanonLiveViewInfo canonLiveViewInfoAt(uint32_t frame) {
  static constexpr uint32_t kStates[] = {kCanonAfSearching, kCanonAfInFocus, kCanonAfFailed};
  CanonLiveViewInfo info;
  const LiveViewSubject sun = liveViewSubjectAt(frame);
  // The first frame follows the sun; the other two drift over the mountains.
  const double drift = 0.04 * std::sin(kTwoPi * double(frame % kLiveViewLevelPeriod) / kLiveViewLevelPeriod);
  const LiveViewSubject boxes[kCanonLiveViewAfFrames] = {
      sun, {0.24 + drift, 0.56, 0.08, 0.12}, {0.72 - drift, 0.6, 0.08, 0.12}};
  for (uint32_t i = 0; i < kCanonLiveViewAfFrames; ++i) {
    const LiveViewSubject& s = boxes[i];
    info.af[i] = {kStates[(frame / kCanonAfStateFrames + i) % 3],
                  scaled(s.centreX - s.width / 2, kCanonLiveViewFullWidth),
                  scaled(s.centreY - s.height / 2, kCanonLiveViewFullHeight), scaled(s.width, kCanonLiveViewFullWidth),
                  scaled(s.height, kCanonLiveViewFullHeight)};
  }
  const double angle =
      kLiveViewLevelSwing * std::sin(kTwoPi * double(frame % kLiveViewLevelPeriod) / kLiveViewLevelPeriod);
  // The camera counts the angle from 0 up to 360: a tilt to the left is just below 360.
  info.levelHundredths = uint32_t(std::lround(std::fmod(angle + 360.0, 360.0) * 100)) % 36000;
  return info;
}

Bytes canonViewFinderReply(const Bytes& jpeg, const CanonLiveViewInfo& info) {
  Bytes r(jpeg);
  constexpr uint32_t W = kCanonLiveViewFullWidth, H = kCanonLiveViewFullHeight;
  putBlock(r, 4, {1});           // zoom scale
  putBlock(r, 5, {0, 0});        // zoom origin
  putBlock(r, 14, {W, H});       // the whole image
  putBlock(r, 18, {0, 0, W, H});  // the area shown unzoomed
  putBlock(r, 13, {0, 0, W, H});  // the area shown zoomed
  putU32(r, uint32_t(12 + 24 * info.af.size()));
  putU32(r, 8);
  putU32(r, uint32_t(info.af.size()));
  for (const CanonAfFrame& f : info.af)
    for (uint32_t w : {f.state, 0u, f.x, f.y, f.width, f.height}) putU32(r, w);
  putBlock(r, 16, {0, info.rotation, info.levelHundredths});
  // A block that reaches the reply's end is not read: a zero length ends the run, and the
  // reply is never shorter than a camera's.
  r.resize(std::max<size_t>(r.size() + 8, 4000), 0);
  return r;
}

Bytes nikonLiveViewReply(const Bytes& jpeg, const LiveViewSubject& subject, uint32_t frame) {
  Bytes r(kNikonLiveViewJpegOffset, 0);
  putBe32(r, 0, kNikonLiveViewHeaderBytes);
  putBe32(r, 4, uint32_t(jpeg.size()));
  putBe16(r, 12, kLiveViewWidth);
  putBe16(r, 14, kLiveViewHeight);
  putBe16(r, 16, kNikonImageWidth);
  putBe16(r, 18, kNikonImageHeight);
  putBe16(r, 20, kNikonImageWidth / 2);  // the display centre: not zoomed
  putBe16(r, 22, kNikonImageHeight / 2);
  putBe16(r, 24, uint16_t(scaled(subject.width, kNikonImageWidth)));
  putBe16(r, 26, uint16_t(scaled(subject.height, kNikonImageHeight)));
  putBe16(r, 28, uint16_t(scaled(subject.centreX, kNikonImageWidth)));
  putBe16(r, 30, uint16_t(scaled(subject.centreY, kNikonImageHeight)));
  r[48] = uint8_t((frame / kCanonAfStateFrames) % 3);  // focus: 0 searching, 2 found, 1 failed
  r.insert(r.end(), jpeg.begin(), jpeg.end());
  return r;
}

LiveViewScene::LiveViewScene(LiveViewVendor vendor) : vendor_(vendor) {
  ring_.reserve(kLiveViewRingFrames);
  for (uint32_t i = 0; i < kLiveViewRingFrames; ++i) ring_.push_back(drawPicture(vendor, i));
}

Bytes LiveViewScene::message(uint32_t frame, uint32_t transactionId) const {
  const Bytes& picture = jpeg(frame);
  switch (vendor_) {
    case LiveViewVendor::Canon:
      return makeFrame(10, makeContainer(2, kPtpCanonGetViewFinderData, transactionId,
                                         canonViewFinderReply(picture, canonLiveViewInfoAt(frame))));
    case LiveViewVendor::Nikon:
      return makeFrame(10, makeContainer(2, kPtpNikonGetLiveViewImage, transactionId,
                                         nikonLiveViewReply(picture, liveViewSubjectAt(frame), frame)));
    case LiveViewVendor::Fujifilm:
      // Sent as the device's replies to relayed requests are, kind 13 in both generations.
      return makeControlReply(2, kOpcodeLiveViewFrame, PTP_RC_OK, picture);
  }
  throw std::logic_error("live view: no such maker");
}

}  // namespace devsim
