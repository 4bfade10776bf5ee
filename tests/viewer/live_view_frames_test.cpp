// Reading live-view frames by camera code: the Canon frame's checks, the Sony header's
// level and focus fields, and every other code as a plain picture.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/viewer/live_view_fixtures.h"
#include "viewer/liveview/live_view_frames.h"

namespace {
LiveViewFrameInfo read(uint8_t camera, const QByteArray& frame, LiveViewCameraState state = {}) {
  return readLiveViewFrame(camera, reinterpret_cast<const uint8_t*>(frame.constData()), size_t(frame.size()), state);
}
const QByteArray kJpeg = livefix::cameraJpeg(livefix::flat(Qt::darkCyan, 32, 16));
}  // namespace

TEST(LiveViewFrames, CanonFrameChecks) {
  struct Case {
    const char* what;
    livefix::CanonFrameSpec spec;
    int64_t cutTo;  // frame length after the build; -1 keeps it
    bool dropped;
    bool overlayRead;  // the AF header handed on (kind 1)
    uint8_t orientation;
    float angle;
  } cases[] = {
      {"kind 1 with its image", {1, 1, 12.5f, kJpeg}, -1, false, true, 6, 12.5f},
      {"kind 1, rotation 4", {1, 4, 3.0f, kJpeg}, -1, false, true, 3, 3.0f},
      {"image one byte past the end", {1, 1, 12.5f, kJpeg, kJpeg.size() + 9}, -1, true, true, 6, 12.5f},
      {"kind 2 (BMP): AF fields not read", {2, 1, 45.0f, kJpeg, -1, 3}, -1, false, false, 1, 0.0f},
      {"kind 3", {3, 0, 0, kJpeg}, -1, true, false, 1, 0.0f},
      {"imageLength 2^32 - 1", {1, 0, 0, kJpeg, 0xFFFFFFFF}, -1, true, true, 1, 0.0f},
      // 1360 + imageLength is 0 in 32 bits: a check in 32 bits would take it.
      {"imageLength wrapping to 0", {1, 0, 0, kJpeg, 0x100000000LL - 1360}, -1, true, true, 1, 0.0f},
      {"header cut short", {1, 0, 0, kJpeg}, 1300, true, false, 1, 0.0f},
      {"empty frame", {1, 0, 0, kJpeg}, 0, true, false, 1, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QByteArray frame = livefix::canonFrame(c.spec);
    if (c.cutTo >= 0) frame.truncate(qsizetype(c.cutTo));
    const LiveViewFrameInfo info = read(kLiveViewCameraCanon, frame);
    EXPECT_EQ(info.dropped, c.dropped);
    EXPECT_EQ(info.canonHeader.has_value(), c.overlayRead);
    EXPECT_EQ(info.orientation, c.orientation);
    EXPECT_EQ(info.levelAngle, c.angle);
    if (!c.dropped) {
      EXPECT_EQ(info.pictureOffset, kCanonLiveViewImageOffset);
      ASSERT_EQ(info.pictureLength, size_t(kJpeg.size()));
      EXPECT_EQ(frame.mid(qsizetype(info.pictureOffset), qsizetype(info.pictureLength)), kJpeg);
    }
  }
}

TEST(LiveViewFrames, SonyLevelAndJpegStart) {
  const QByteArray frame = livefix::sonyFrame(kJpeg, 1200, 271);
  const LiveViewFrameInfo info = read(kLiveViewCameraSony, frame);
  EXPECT_FALSE(info.dropped);
  EXPECT_EQ(info.orientation, 1);
  EXPECT_EQ(info.levelAngle, 271.0f);
  EXPECT_EQ(frame.mid(qsizetype(info.pictureOffset), qsizetype(info.pictureLength)), kJpeg);
  EXPECT_TRUE(info.sonyFocus.isEmpty());  // 0xD2DC not there: no focus frame

  // Shorter than the level's bytes: it reads as 0. No FF D8 FF DB: dropped.
  EXPECT_EQ(read(kLiveViewCameraSony, livefix::sonyFrame(kJpeg, 100)).levelAngle, 0.0f);
  EXPECT_EQ(read(kLiveViewCameraSony, QByteArray(1037, '\x22')).levelAngle, 0.0f);  // one byte of it
  EXPECT_EQ(read(kLiveViewCameraSony, QByteArray(1038, '\x22')).levelAngle, float(0x2222));
  EXPECT_TRUE(read(kLiveViewCameraSony, QByteArray(3000, '\x11')).dropped);
  EXPECT_TRUE(read(kLiveViewCameraSony, livefix::sonyFrame(kJpeg.left(3), 1200)).dropped);
}

TEST(LiveViewFrames, SonyFocusFieldsFourBytesApartByModel) {
  struct Case {
    uint8_t model;
    size_t base;
  } cases[] = {{176, 581}, {182, 581}, {183, 581}, {189, 1093}, {0, 1093}, {200, 1093}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.model));
    EXPECT_EQ(sonyFocusFieldsOffset(c.model), c.base);
    QByteArray frame = livefix::sonyFrame(kJpeg, 1200);
    auto* p = reinterpret_cast<uint8_t*>(frame.data());
    // x, y, height, width; the words between them are noise that must not be read.
    bytesPutU16(p + c.base, 100);
    bytesPutU16(p + c.base + 2, 0xEEEE);
    bytesPutU16(p + c.base + 4, 200);
    bytesPutU16(p + c.base + 6, 0xEEEE);
    bytesPutU16(p + c.base + 8, 30);
    bytesPutU16(p + c.base + 12, 40);
    const LiveViewFrameInfo tracked = read(kLiveViewCameraSony, frame, {c.model, true});
    EXPECT_EQ(tracked.sonyFocus.x, 100);
    EXPECT_EQ(tracked.sonyFocus.y, 200);
    EXPECT_EQ(tracked.sonyFocus.height, 30);
    EXPECT_EQ(tracked.sonyFocus.width, 40);
    EXPECT_TRUE(read(kLiveViewCameraSony, frame, {c.model, false}).sonyFocus.isEmpty());
  }
}

TEST(LiveViewFrames, SonyFocusFieldsPastTheEndReadAsZero) {
  QByteArray frame(587, '\0');  // x (581) and y (585) there; height (589) and width (593) not
  auto* p = reinterpret_cast<uint8_t*>(frame.data());
  bytesPutU16(p + 581, 7);
  bytesPutU16(p + 585, 9);
  const LiveViewFocusRect r = sonyReadLiveViewFocus(p, size_t(frame.size()), 176);
  EXPECT_EQ(r.x, 7);
  EXPECT_EQ(r.y, 9);
  EXPECT_EQ(r.height, 0);
  EXPECT_EQ(r.width, 0);
  EXPECT_TRUE(r.isEmpty());
  EXPECT_EQ(sonyReadLiveViewFocus(p, 582, 176).x, 0);  // one byte of x: not there
  EXPECT_EQ(sonyReadLiveViewFocus(nullptr, 4000, 0).x, 0);
}

TEST(LiveViewFrames, OtherCamerasAreThePictureWhole) {
  for (uint8_t camera : {uint8_t(12), uint8_t(15), uint8_t(0), uint8_t(255)}) {
    const LiveViewFrameInfo info = read(camera, kJpeg);
    EXPECT_FALSE(info.dropped);
    EXPECT_EQ(info.pictureOffset, 0u);
    EXPECT_EQ(info.pictureLength, size_t(kJpeg.size()));
    EXPECT_EQ(info.orientation, 1);
    EXPECT_EQ(info.levelAngle, 0.0f);
    EXPECT_FALSE(info.canonHeader);
  }
}
