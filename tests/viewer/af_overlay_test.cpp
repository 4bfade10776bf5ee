// Focus frames over the live picture: every vendor's boxes placed for each orientation,
// coloured by focus state, and kept sane when the camera's numbers are not.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/defaults_keys.h"
#include "platform/graphics/named_colors.h"
#include "platform/user_defaults.h"
#include "ptp/base/bytes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "viewer/liveview/af_overlay.h"
#include "viewer/liveview/af_overlay_view.h"

namespace {

// The box's outline in view points (y up).
QRectF boxRect(const AfBox& box) {
  QRectF r;
  for (const QLineF& s : box.segments) r |= QRectF(s.p1(), s.p2()).normalized();
  return r;
}

::testing::AssertionResult near(QRectF got, QRectF want, double tol = 1e-6) {
  if (std::abs(got.left() - want.left()) <= tol && std::abs(got.right() - want.right()) <= tol &&
      std::abs(got.top() - want.top()) <= tol && std::abs(got.bottom() - want.bottom()) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.left() << ", " << got.top() << ") - (" << got.right()
                                       << ", " << got.bottom() << "), want (" << want.left() << ", " << want.top()
                                       << ") - (" << want.right() << ", " << want.bottom() << ")";
}

// A box of the given y-up edges.
QRectF edges(qreal x0, qreal x1, qreal y0, qreal y1) { return QRectF(QPointF(x0, y0), QPointF(x1, y1)); }

const AfBox& onlyBox(const AfOverlayUpdate& u) {
  static const AfBox none;
  EXPECT_EQ(u.action, AfOverlayUpdate::Replace);
  EXPECT_EQ(u.overlay.boxes.size(), 1u);
  return u.overlay.boxes.empty() ? none : u.overlay.boxes.front();
}

// Canon frame rotation codes by the EXIF orientation they give.
uint32_t canonRotationFor(uint8_t o) { return o == 6 ? 1 : o == 8 ? 2 : o == 3 ? 4 : 0; }

EOS_LiveViewInfoStruct canonHeader(uint32_t visibleW, uint32_t visibleH) {
  EOS_LiveViewInfoStruct h;
  std::memset(&h, 0, sizeof h);
  h.frameKind = CanonFrameKindJpeg;
  h.zoomScale = 1;
  h.visibleWidth = h.fullWidth = visibleW;
  h.visibleHeight = h.fullHeight = visibleH;
  return h;
}
void addCanonFrame(EOS_LiveViewInfoStruct& h, uint32_t x, uint32_t y, uint32_t w, uint32_t ht, uint32_t state) {
  const uint32_t i = h.afFrameCount++;
  h.afX[i] = x;
  h.afY[i] = y;
  h.afWidth[i] = w;
  h.afHeight[i] = ht;
  h.afState[i] = state;
}

// A Nikon live-view record with the fields the overlay reads.
std::vector<uint8_t> nikonRecord(uint16_t iw, uint16_t ih, QPoint display, QPoint afCentre, QSize afSize,
                                 uint8_t highlight = 0, uint8_t focus = 0) {
  std::vector<uint8_t> r(388, 0);
  bytesPutU16(&r[16], iw);
  bytesPutU16(&r[18], ih);
  bytesPutU16(&r[20], static_cast<uint16_t>(display.x()));
  bytesPutU16(&r[22], static_cast<uint16_t>(display.y()));
  bytesPutU16(&r[24], static_cast<uint16_t>(afSize.width()));
  bytesPutU16(&r[26], static_cast<uint16_t>(afSize.height()));
  bytesPutU16(&r[28], static_cast<uint16_t>(afCentre.x()));
  bytesPutU16(&r[30], static_cast<uint16_t>(afCentre.y()));
  r[38] = highlight;
  r[48] = focus;
  return r;
}

SonyAfReport sonyReport(uint32_t flag = 1, uint32_t area = 0x102) {
  SonyAfReport r;
  r.hasFocusFlag = flag;
  r.focusArea = area;
  return r;
}

}  // namespace

TEST(AfOverlayGeometry, OrientationTurnsAboutTheCentre) {
  struct Case {
    uint8_t o;
    QPointF want;
  } cases[] = {{1, {0.2, 0.1}}, {3, {0.8, 0.9}}, {6, {0.9, 0.2}}, {8, {0.1, 0.8}}, {2, {0.2, 0.1}}, {255, {0.2, 0.1}}};
  for (const Case& c : cases) {
    const QPointF got = afOrient(c.o, {0.2, 0.1});
    EXPECT_NEAR(got.x(), c.want.x(), 1e-12) << int(c.o);
    EXPECT_NEAR(got.y(), c.want.y(), 1e-12) << int(c.o);
  }
  const auto s = afBoxSegments(1, 3, 8, 5);
  ASSERT_EQ(s.size(), 4u);  // four separate sides, not a closed path
  EXPECT_EQ(s[0], QLineF(1, 8, 3, 8));
  EXPECT_EQ(s[1], QLineF(1, 5, 3, 5));
  EXPECT_EQ(s[2], QLineF(1, 8, 1, 5));
  EXPECT_EQ(s[3], QLineF(3, 8, 3, 5));
}

// A focus frame near the camera's top-left corner (at 0.2, 0.1 of a 3:2 picture) must
// land where that corner of the picture is shown after the turn, for every vendor.
TEST(AfOverlayGeometry, EveryVendorFollowsThePictureTurn) {
  const QSizeF bounds(600, 600);
  for (uint8_t o : {1, 3, 6, 8}) {
    const bool quarter = o == 6 || o == 8;
    const QRectF fit = quarter ? QRectF(100, 0, 400, 600) : QRectF(0, 100, 600, 400);
    const QPointF t = afOrient(o, {0.2, 0.1});
    const QPointF want(fit.x() + t.x() * fit.width(), fit.y() + (1 - t.y()) * fit.height());
    SCOPED_TRACE(::testing::Message() << "orientation " << int(o));

    EOS_LiveViewInfoStruct canon = canonHeader(6000, 4000);
    canon.rotation = canonRotationFor(o);
    addCanonFrame(canon, 1100, 300, 200, 200, 0);
    FujiAfReport fuji;
    fuji.frame = QRectF(0.2, 0.1, 0.05, 0.05);
    auto nikon = nikonRecord(600, 400, {300, 200}, {120, 40}, {30, 20});

    const AfOverlayUpdate updates[] = {
        canonAfOverlay(canon, bounds),
        fujiAfOverlay(fuji, quarter ? QSizeF(400, 600) : QSizeF(600, 400), o, bounds),
        sonyAfOverlay(sonyReport(), {600, 400}, QRectF(120, 40, 30, 20), o, bounds),
        nikonAfOverlay(nikon.data(), nikon.size(), o, bounds),
    };
    const char* vendor[] = {"Canon", "Fujifilm", "Sony", "Nikon"};
    for (int v = 0; v < 4; ++v) {
      const QPointF c = boxRect(onlyBox(updates[v])).center();
      EXPECT_NEAR(c.x(), want.x(), 1e-6) << vendor[v];
      EXPECT_NEAR(c.y(), want.y(), 1e-6) << vendor[v];
      EXPECT_TRUE(near(updates[v].overlay.clip, fit.adjusted(-1, -1, 1, 1))) << vendor[v];
    }
  }
}

TEST(CanonAfOverlay, PlacesFramesInTheShownBandAndTheZoomedArea) {
  // Unzoomed: y counts over the full 4000 rows, of which the middle 3000 are shown, so a
  // frame at 1600 high 200 is centred at 1200 of the shown area.
  EOS_LiveViewInfoStruct h = canonHeader(6000, 3000);
  h.fullHeight = 4000;
  addCanonFrame(h, 2900, 1600, 200, 200, 0x11);
  EXPECT_TRUE(near(boxRect(onlyBox(canonAfOverlay(h, {600, 300}))), edges(290, 310, 170, 190)));

  // A quarter turn: 6000 x 4000 fitted as 4000 x 6000 (400 x 600 at x 100); a frame 300
  // wide and 200 high is drawn 20 wide and 30 high.
  h = canonHeader(6000, 4000);
  h.rotation = 1;
  addCanonFrame(h, 0, 1900, 300, 200, 0);
  AfOverlayUpdate u = canonAfOverlay(h, {600, 600});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(290, 310, 570, 600)));
  EXPECT_TRUE(near(u.overlay.clip, QRectF(99, -1, 402, 602)));

  // Zoomed: the camera's zoom rectangle is the shown area.
  h = canonHeader(6000, 4000);
  h.zoomScale = 5;
  h.zoomOriginX = 1000;
  h.zoomOriginY = 800;
  h.zoomWidth = 1200;
  h.zoomHeight = 800;
  addCanonFrame(h, 1500, 1100, 120, 80, 0);
  EXPECT_TRUE(near(boxRect(onlyBox(canonAfOverlay(h, {600, 400}))), edges(250, 310, 210, 250)));
}

TEST(CanonAfOverlay, ColoursByStateOneBoxPerFrame) {
  EOS_LiveViewInfoStruct h = canonHeader(6000, 4000);
  addCanonFrame(h, 1000, 1000, 200, 200, 0x12);
  addCanonFrame(h, 3000, 1000, 200, 200, 0x11);
  addCanonFrame(h, 5000, 1000, 200, 200, 0x10);
  const AfOverlayUpdate u = canonAfOverlay(h, {600, 400});
  ASSERT_EQ(u.overlay.boxes.size(), 3u);
  EXPECT_EQ(u.overlay.boxes[0].stroke, NamedColor::redColor());
  EXPECT_EQ(u.overlay.boxes[1].stroke, NamedColor::greenColor());
  EXPECT_EQ(u.overlay.boxes[2].stroke, NamedColor::whiteColor());
}

TEST(CanonAfOverlay, UntrustedHeaderNumbers) {
  const QSizeF bounds(600, 400);
  // No frames, or a first frame without width: the shown overlay stays.
  EOS_LiveViewInfoStruct h = canonHeader(6000, 4000);
  EXPECT_EQ(canonAfOverlay(h, bounds).action, AfOverlayUpdate::Keep);
  addCanonFrame(h, 100, 100, 0, 100, 0);
  EXPECT_EQ(canonAfOverlay(h, bounds).action, AfOverlayUpdate::Keep);

  // An area or a view without size keeps it too (no division by zero reaches a box).
  for (int which = 0; which < 4; ++which) {
    h = canonHeader(6000, 4000);
    addCanonFrame(h, 100, 100, 100, 100, 0);
    if (which == 0) h.visibleWidth = 0;
    if (which == 1) h.visibleHeight = 0;
    if (which == 2) {
      h.zoomScale = 2;  // zoomed, but the zoom rectangle is empty
      h.zoomWidth = 1000;
    }
    const QSizeF view = which == 3 ? QSizeF(0, 400) : bounds;
    EXPECT_EQ(canonAfOverlay(h, view).action, AfOverlayUpdate::Keep) << which;
  }

  // A count beyond the header's 64 slots draws those 64 only.
  h = canonHeader(6400, 4000);
  for (uint32_t i = 0; i < 64; ++i) addCanonFrame(h, i * 100, 1000, 50, 50, 0);
  h.afFrameCount = 0xFFFFFFFF;
  EXPECT_EQ(canonAfOverlay(h, {640, 400}).overlay.boxes.size(), 64u);

  // Frames without size or wholly off the picture are left out; the rest are drawn.
  h = canonHeader(6000, 4000);
  addCanonFrame(h, 1000, 1000, 200, 200, 0);
  addCanonFrame(h, 2000, 1000, 200, 0, 0);            // no height
  addCanonFrame(h, 4000000000u, 1000, 200, 200, 0);   // far right
  addCanonFrame(h, 1000, 4000000000u, 200, 200, 0);   // far below
  const AfOverlayUpdate u = canonAfOverlay(h, bounds);
  ASSERT_EQ(u.action, AfOverlayUpdate::Replace);
  ASSERT_EQ(u.overlay.boxes.size(), 1u);
  EXPECT_TRUE(near(boxRect(u.overlay.boxes[0]), edges(100, 120, 280, 300)));
}

// A frame that starts above the shown band (y 450, band from 500) straddles the band's top:
// it is placed just above it, not 2^32 rows away.
TEST(CanonAfOverlay, FrameAboveTheShownBandStaysAtItsTopEdge) {
  EOS_LiveViewInfoStruct h = canonHeader(6000, 3000);
  h.fullHeight = 4000;
  addCanonFrame(h, 2900, 450, 200, 200, 0x11);
  const AfOverlayUpdate u = canonAfOverlay(h, {600, 300});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(290, 310, 285, 305)));
  // Painted clipped to the picture: see AfOverlayView.PaintsOnlyOnThePicture.
}

TEST(FujiAfOverlay, PlacesTheFrameAndColoursByFocus) {
  FujiAfReport r;
  r.frame = QRectF(0.5, 0.25, 0.1, 0.1);
  AfOverlayUpdate u = fujiAfOverlay(r, {600, 400}, 1, {600, 400});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(270, 330, 270, 330)));
  EXPECT_EQ(u.overlay.boxes[0].stroke, NamedColor::whiteColor());
  r.inFocus = true;
  u = fujiAfOverlay(r, {600, 400}, 1, {600, 400});
  EXPECT_EQ(onlyBox(u).stroke, NamedColor::greenColor());
  // Both sides are in picture widths: a 0.1 x 0.1 frame on a letterboxed 600 x 300 picture.
  u = fujiAfOverlay(r, {600, 300}, 1, {600, 400});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(270, 330, 245, 305)));
}

TEST(FujiAfOverlay, NoFrameNoBox) {
  struct Case {
    const char* what;
    bool zoomed;
    std::optional<QRectF> frame;
    QSizeF shown;
  } cases[] = {
      {"zoomed", true, QRectF(0.5, 0.5, 0.1, 0.1), {600, 400}},
      {"frame not tracked", false, std::nullopt, {600, 400}},
      {"left edge below 0", false, QRectF(0.02, 0.5, 0.1, 0.1), {600, 400}},
      {"bottom edge below 0", false, QRectF(0.5, 0.98, 0.1, 0.1), {600, 400}},
      {"zero width", false, QRectF(0.5, 0.5, 0, 0.1), {600, 400}},
      {"zero height", false, QRectF(0.5, 0.5, 0.1, 0), {600, 400}},
      {"no picture", false, QRectF(0.5, 0.5, 0.1, 0.1), {0, 0}},
      {"off the picture", false, QRectF(60, 0.5, 0.1, 0.1), {600, 400}},
  };
  for (const Case& c : cases) {
    FujiAfReport r;
    r.zoomed = c.zoomed;
    r.frame = c.frame;
    EXPECT_EQ(fujiAfOverlay(r, c.shown, 1, {600, 400}).action, AfOverlayUpdate::Remove) << c.what;
  }
}

TEST(SonyAfOverlay, FocusAreaDecidesWhetherABoxIsShown) {
  struct Case {
    std::optional<uint32_t> flag, area;
    AfOverlayUpdate::Action want;
  } cases[] = {
      {2, 0x102, AfOverlayUpdate::Replace},  // "Flexible Spot M"
      {2, 1, AfOverlayUpdate::Remove},       // "Wide"
      {2, 2, AfOverlayUpdate::Remove},       // "Zone"
      {2, 3, AfOverlayUpdate::Remove},       // "Center"
      {2, std::nullopt, AfOverlayUpdate::Remove},
      {std::nullopt, 0x102, AfOverlayUpdate::Remove},
  };
  for (const Case& c : cases) {
    SonyAfReport r;
    r.hasFocusFlag = c.flag;
    r.focusArea = c.area;
    EXPECT_EQ(sonyAfOverlay(r, {640, 428}, QRectF(300, 200, 40, 30), 1, {640, 428}).action, c.want)
        << (c.area ? *c.area : 0);
  }
}

TEST(SonyAfOverlay, BoxFromTheRectangleOrTheFocusPoint) {
  // The rectangle from the frame: its origin is the centre, its size scales.
  AfOverlayUpdate u = sonyAfOverlay(sonyReport(2), {2580, 1900}, QRectF(1290.7, 950.2, 258, 190), 1, {1290, 950});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(645 - 64.5, 645 + 64.5, 475 - 47.5, 475 + 47.5)));
  EXPECT_EQ(u.overlay.boxes[0].stroke, NamedColor::greenColor());

  // An empty rectangle: the property table's point, a box 0.12 x 0.08 of the longer side.
  SonyAfReport r = sonyReport(1);
  r.focusPoint = QPoint(320, 114);
  u = sonyAfOverlay(r, {640, 428}, QRectF(), 1, {640, 428});
  const double w = 640 * double(0.12f), h = 640 * double(0.08f);
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(320 - w / 2.0, 320 + w / 2.0, 314 - h / 2.0, 314 + h / 2.0)));
  EXPECT_EQ(u.overlay.boxes[0].stroke, NamedColor::whiteColor());
  r.focusPoint.reset();
  EXPECT_EQ(sonyAfOverlay(r, {640, 428}, QRectF(), 1, {640, 428}).action, AfOverlayUpdate::Remove);

  // A box reaching left of or below the picture, or a frame size of 0: no box.
  EXPECT_EQ(sonyAfOverlay(sonyReport(), {640, 428}, QRectF(10, 200, 40, 30), 1, {640, 428}).action,
            AfOverlayUpdate::Remove);
  EXPECT_EQ(sonyAfOverlay(sonyReport(), {640, 428}, QRectF(300, 420, 40, 30), 1, {640, 428}).action,
            AfOverlayUpdate::Remove);
  EXPECT_EQ(sonyAfOverlay(sonyReport(), {0, 428}, QRectF(300, 200, 40, 30), 1, {640, 428}).action,
            AfOverlayUpdate::Remove);
}

TEST(SonyAfOverlay, ZoomedShowsACrossInTheMiddle) {
  SonyAfReport r = sonyReport(2);
  r.zoomed = true;
  r.focusArea.reset();  // not asked while zoomed
  const AfOverlayUpdate u = sonyAfOverlay(r, {640, 428}, QRectF(), 1, {800, 500});
  const AfBox& cross = onlyBox(u);
  ASSERT_EQ(cross.segments.size(), 2u);
  EXPECT_EQ(cross.segments[0], QLineF(360, 250, 440, 250));
  EXPECT_EQ(cross.segments[1], QLineF(400, 210, 400, 290));
  EXPECT_EQ(cross.stroke, NamedColor::greenColor());
}

TEST(SonyAfOverlay, UprightStreamIsNotTurnedWhenRotationIsOff) {
  SonyAfReport r = sonyReport();
  r.focusPointTracked = true;
  const QRectF upright = boxRect(onlyBox(sonyAfOverlay(r, {600, 400}, QRectF(120, 40, 30, 20), 1, {600, 600})));
  EXPECT_TRUE(near(boxRect(onlyBox(sonyAfOverlay(r, {600, 400}, QRectF(120, 40, 30, 20), 6, {600, 600}))), upright));
  r.rotateLiveView = true;
  EXPECT_FALSE(near(boxRect(onlyBox(sonyAfOverlay(r, {600, 400}, QRectF(120, 40, 30, 20), 6, {600, 600}))), upright));
}

TEST(NikonAfOverlay, UnreportedAreaIsTwoThirdsAroundTheDisplayCentre) {
  auto rec = nikonRecord(640, 424, {320, 212}, {0, 0}, {0, 0});
  const AfOverlayUpdate u = nikonAfOverlay(rec.data(), rec.size(), 1, {640, 424});
  EXPECT_TRUE(near(boxRect(onlyBox(u)), edges(320 - 214, 320 + 214, 212 - 142, 212 + 142)));
  // Written back for the frame's other readers.
  EXPECT_EQ(bytesGetU16(&rec[24]), 428);
  EXPECT_EQ(bytesGetU16(&rec[26]), 284);
  EXPECT_EQ(bytesGetU16(&rec[28]), 320);
  EXPECT_EQ(bytesGetU16(&rec[30]), 212);
}

TEST(NikonAfOverlay, ColoursByHighlightThenFocusState) {
  struct Case {
    uint8_t highlight, focus;
    QColor want;
  } cases[] = {{1, 2, NamedColor::yellowColor()},
               {0, 2, NamedColor::greenColor()},
               {0, 1, NamedColor::redColor()},
               {0, 0, NamedColor::whiteColor()},
               {0, 7, NamedColor::whiteColor()}};
  for (const Case& c : cases) {
    auto rec = nikonRecord(600, 400, {300, 200}, {300, 200}, {60, 40}, c.highlight, c.focus);
    EXPECT_EQ(onlyBox(nikonAfOverlay(rec.data(), rec.size(), 1, {600, 400})).stroke, c.want)
        << int(c.highlight) << " " << int(c.focus);
  }
}

// A box that leaves the picture is pulled back inside, 5 points from the edge it crossed,
// keeping its size; one larger than the picture is cut to the picture less 10.
TEST(NikonAfOverlay, BoxLeavingThePictureIsPulledBack) {
  struct Case {
    const char* what;
    QPoint centre;
    QSize size;
    QRectF want;  // y-up edges in a 600 x 400 view showing the 600 x 400 image
  } cases[] = {
      {"inside", {300, 200}, {60, 40}, edges(270, 330, 180, 220)},
      {"past the left edge", {10, 200}, {60, 40}, edges(5, 65, 180, 220)},
      {"past the right edge", {590, 200}, {60, 40}, edges(535, 595, 180, 220)},
      {"past the top", {300, 10}, {60, 40}, edges(270, 330, 355, 395)},
      {"past the bottom", {300, 395}, {60, 40}, edges(270, 330, 5, 45)},
      {"wider and taller than the picture", {300, 200}, {2000, 900}, edges(5, 595, 5, 395)},
      {"far off the corner", {65535, 65535}, {60, 40}, edges(535, 595, 5, 45)},
  };
  for (const Case& c : cases) {
    auto rec = nikonRecord(600, 400, {300, 200}, c.centre, c.size);
    EXPECT_TRUE(near(boxRect(onlyBox(nikonAfOverlay(rec.data(), rec.size(), 1, {600, 400}))), c.want)) << c.what;
  }
}

TEST(NikonAfOverlay, UnusableRecordKeepsTheOverlay) {
  auto rec = nikonRecord(600, 400, {300, 200}, {300, 200}, {60, 40});
  EXPECT_EQ(nikonAfOverlay(nullptr, 388, 1, {600, 400}).action, AfOverlayUpdate::Keep);
  EXPECT_EQ(nikonAfOverlay(rec.data(), kNikonAfRecordBytes - 1, 1, {600, 400}).action, AfOverlayUpdate::Keep);
  EXPECT_EQ(nikonAfOverlay(rec.data(), kNikonAfRecordBytes, 1, {600, 400}).action, AfOverlayUpdate::Replace);
  EXPECT_EQ(nikonAfOverlay(rec.data(), rec.size(), 1, {0, 0}).action, AfOverlayUpdate::Keep);
  for (size_t field : {16u, 18u}) {
    auto sizeless = rec;
    bytesPutU16(&sizeless[field], 0);
    EXPECT_EQ(nikonAfOverlay(sizeless.data(), sizeless.size(), 1, {600, 400}).action, AfOverlayUpdate::Keep);
  }
}

// ---- the view, with the property table and the live view's settings

namespace {
class AfOverlayViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedVendor_ = camGetVendor();
    camSetVendor(CameraVendorUnknown);
    camResetCameraState();
    propClearTable();
  }
  void TearDown() override {
    propClearTable();
    camSetVendor(savedVendor_);
    UserDefaults::standardUserDefaults().removeObject(kDefaultsRotateLiveView);
  }
  static void setProp(uint32_t code, uint32_t value) {
    PropertyStruct* p = propFind(code, false);
    if (!p) p = propAdd(code, false, false);
    ASSERT_NE(p, nullptr);
    p->value = value;
  }
  static QImage grab(QWidget& w) {
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    w.render(&img);
    return img;
  }
  // The pixel at a y-up point of the view.
  static QColor at(const QImage& img, qreal x, qreal y) {
    return img.pixelColor(int(x), int(img.height() - y));
  }

 private:
  uint16_t savedVendor_ = 0;
};
}  // namespace

TEST_F(AfOverlayViewTest, FujiFrameFromThePropertyTable) {
  QWidget parent;
  parent.resize(700, 500);
  AfOverlayView view(&parent);
  view.setGeometry(30, 20, 600, 400);  // placed in its own bounds, wherever it sits
  for (uint32_t code : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) setProp(code, 100);
  setProp(0xEEE0, 500);
  setProp(0xEEE1, 250);
  setProp(0xD209, 2);
  view.showFujiAfOverlayWithLiveViewSize({600, 400}, 1);
  ASSERT_TRUE(view.shownOverlay());
  EXPECT_TRUE(near(boxRect(view.shownOverlay()->boxes.at(0)), edges(270, 330, 270, 330), 1e-4));
  const QImage img = grab(view);
  EXPECT_EQ(at(img, 300, 330), NamedColor::greenColor());  // top side
  EXPECT_EQ(at(img, 300, 300).alpha(), 0);                  // inside the box

  // One of the four values gone: the box goes too.
  propClearTable();
  for (uint32_t code : {0xEEE0u, 0xEEE1u, 0xEEE2u}) setProp(code, 500);
  view.showFujiAfOverlayWithLiveViewSize({600, 400}, 1);
  EXPECT_FALSE(view.shownOverlay());
  EXPECT_EQ(at(grab(view), 300, 330).alpha(), 0);
}

TEST_F(AfOverlayViewTest, SonyFocusPointFromThePropertyTable) {
  AfOverlayView view;
  view.resize(640, 428);
  setProp(0xD213, 2);
  setProp(0xD22C, 0x102);
  setProp(0xD2DC, (320u << 16) | 114u);
  view.showSonyAfOverlay({640, 428}, QRectF(), 1);
  ASSERT_TRUE(view.shownOverlay());
  EXPECT_NEAR(boxRect(view.shownOverlay()->boxes.at(0)).center().x(), 320, 1e-4);
  EXPECT_NEAR(boxRect(view.shownOverlay()->boxes.at(0)).center().y(), 314, 1e-4);
  EXPECT_EQ(view.shownOverlay()->boxes[0].stroke, NamedColor::greenColor());

  // With the stream upright (0xD2DC) the turn follows the "RotateLiveView" setting.
  UserDefaults::standardUserDefaults().setBool(false, kDefaultsRotateLiveView);
  const QRectF upright = boxRect(view.shownOverlay()->boxes[0]);
  view.showSonyAfOverlay({640, 428}, QRectF(), 3);
  EXPECT_TRUE(near(boxRect(view.shownOverlay()->boxes.at(0)), upright));
  UserDefaults::standardUserDefaults().setBool(true, kDefaultsRotateLiveView);
  view.showSonyAfOverlay({640, 428}, QRectF(), 3);
  EXPECT_NEAR(boxRect(view.shownOverlay()->boxes.at(0)).center().y(), 114, 1e-4);

  setProp(0xD22C, 3);  // "Center"
  view.showSonyAfOverlay({640, 428}, QRectF(), 1);
  EXPECT_FALSE(view.shownOverlay());
}

TEST_F(AfOverlayViewTest, CanonKeepsItsBoxesUntilNewOnesArrive) {
  AfOverlayView view;
  view.resize(600, 400);
  EOS_LiveViewInfoStruct h = canonHeader(6000, 4000);
  addCanonFrame(h, 1000, 1000, 200, 200, 0x12);
  addCanonFrame(h, 3000, 1000, 200, 200, 0x11);
  addCanonFrame(h, 5000, 1000, 200, 200, 0x10);
  std::vector<uint8_t> frame(kCanonLiveViewHeaderBytes);
  std::memcpy(frame.data(), &h, sizeof h);
  view.showCanonAfOverlay(frame.data(), frame.size());
  ASSERT_TRUE(view.shownOverlay());
  EXPECT_EQ(view.shownOverlay()->boxes.size(), 3u);

  // No frames in the next header, a frame too short for its header, a null header: kept.
  EOS_LiveViewInfoStruct none = canonHeader(6000, 4000);
  view.showCanonAfOverlay(&none);
  view.showCanonAfOverlay(frame.data(), frame.size() - 1);
  view.showCanonAfOverlay(nullptr);
  view.showNikonAfOverlay(nullptr, 0, 1);
  ASSERT_TRUE(view.shownOverlay());
  EXPECT_EQ(view.shownOverlay()->boxes.size(), 3u);
  const QImage img = grab(view);
  EXPECT_EQ(at(img, 110, 300), NamedColor::redColor());  // first box's top side
  EXPECT_EQ(at(img, 310, 300), NamedColor::greenColor());
  EXPECT_EQ(at(img, 510, 300), NamedColor::whiteColor());

  // A Nikon record replaces the Canon boxes with its one.
  auto rec = nikonRecord(600, 400, {300, 200}, {300, 200}, {60, 40});
  view.showNikonAfOverlay(rec.data(), rec.size(), 1);
  EXPECT_EQ(view.shownOverlay()->boxes.size(), 1u);
}

// The boxes are painted on the picture only: a frame straddling the picture's top edge
// shows its lower part, nothing of it reaches the letterbox above.
TEST_F(AfOverlayViewTest, PaintsOnlyOnThePicture) {
  AfOverlayView view;
  view.resize(600, 400);  // a 600 x 300 picture, letterboxed 50 above and below
  EOS_LiveViewInfoStruct h = canonHeader(6000, 3000);
  h.fullHeight = 4000;
  addCanonFrame(h, 2900, 350, 200, 400, 0x11);  // rows 350-750, the band starts at 500
  view.showCanonAfOverlay(&h);
  const QImage img = grab(view);
  EXPECT_EQ(at(img, 290, 340), NamedColor::greenColor());  // left side, on the picture
  EXPECT_EQ(at(img, 290, 352).alpha(), 0);                 // same side, over the letterbox
  EXPECT_EQ(at(img, 300, 365).alpha(), 0);                 // where its top side would be
  EXPECT_EQ(at(img, 300, 325), NamedColor::greenColor());  // its bottom side
}

// A frame the size of the whole coordinate range crosses the picture: it is kept, and
// painting it stays cheap and on the picture.
TEST_F(AfOverlayViewTest, HugeFrameCrossingThePicturePaints) {
  AfOverlayView view;
  view.resize(600, 400);
  EOS_LiveViewInfoStruct h = canonHeader(6000, 4000);
  addCanonFrame(h, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0x11);
  view.showCanonAfOverlay(&h);
  ASSERT_TRUE(view.shownOverlay());
  ASSERT_EQ(view.shownOverlay()->boxes.size(), 1u);
  const QImage img = grab(view);
  EXPECT_EQ(at(img, 0.5, 200), NamedColor::greenColor());  // its left side, on the picture's edge
  EXPECT_EQ(at(img, 300, 200).alpha(), 0);
}
