// The live view: frames read on the GUI thread and decoded on the view's worker, the
// forced orientation and its key, the level per display orientation, the crop, the
// overlays that a frame keeps, the histogram's hand-off, and a view that goes while its
// decode runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "platform/worker_threads.h"
#include "support/qt_test_support.h"
#include "tests/viewer/live_view_fixtures.h"
#include "ui/widgets/popover/sfb_popover.h"
#include "viewer/liveview/af_overlay_view.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/histogram_view.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/still_image_view_controller.h"

using namespace std::chrono_literals;

namespace {

// Every frame's report, in order.
struct Reports {
  explicit Reports(LiveViewImageView& view) {
    QObject::connect(&view, &LiveViewImageView::frameFinished, &view,
                     [this](bool shown, const QImage& histogram) { all.push_back({shown, histogram}); });
  }
  struct Report {
    bool shown;
    QImage histogram;
  };
  std::vector<Report> all;
  bool waitFor(size_t n) {
    return kvtest::waitUntil([&] { return all.size() >= n; });
  }
};

class LiveView : public ::testing::Test {
 protected:
  void SetUp() override {
    savedVendor_ = camGetVendor();
    camSetVendor(CameraVendorUnknown);
    camResetCameraState();
    propClearTable();
    for (const char* key : kKeys) UserDefaults::standardUserDefaults().removeObject(QString::fromLatin1(key));
  }
  void TearDown() override {
    propClearTable();
    camSetVendor(savedVendor_);
    camSetModelIndex(0);
    for (const char* key : kKeys) UserDefaults::standardUserDefaults().removeObject(QString::fromLatin1(key));
  }
  static void setBool(const char* key, bool on) {
    UserDefaults::standardUserDefaults().setBool(on, QString::fromLatin1(key));
  }
  static void setProp(uint32_t code, uint32_t value) {
    PropertyStruct* p = propFind(code, false);
    if (!p) p = propAdd(code, false, false);
    ASSERT_NE(p, nullptr);
    p->value = value;
  }
  static QColor centre(const QImage& img) { return img.pixelColor(img.width() / 2, img.height() / 2); }
  static bool near(QColor a, QColor b, int tolerance = 4) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
  }

  static constexpr const char* kKeys[] = {kDefaultsRotateLiveView, kDefaultsElectronicLevel, kDefaultsHighlights,
                                          kDefaultsShadows, kDefaultsFocusPeaking};
  uint16_t savedVendor_ = 0;
};

}  // namespace

TEST_F(LiveView, ForcedOrientationCycle) {
  struct Case {
    uint8_t from, to;
  } cases[] = {{255, 6}, {1, 6}, {6, 3}, {3, 8}, {8, 1}, {2, 2}, {7, 7}, {0, 0}};
  for (const Case& c : cases) EXPECT_EQ(LiveViewImageView::nextForcedOrientation(c.from), c.to) << int(c.from);
}

// The key works from any window of the application, and the window never sees it.
TEST_F(LiveView, RTypedIntoAnotherWindowRotatesAndIsNotDelivered) {
  QWidget other;
  auto* field = new QLineEdit(&other);
  other.show();
  field->setFocus();
  {
    LiveViewImageView view;
    view.resize(320, 240);
    view.show();
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
      QTest::keyClick(field, Qt::Key_R);
      seen.push_back(view.forcedOrientation());
    }
    EXPECT_EQ(seen, (std::vector<int>{6, 3, 8, 1, 6}));
    EXPECT_EQ(field->text(), QString());
    // Another character, and a shifted R, are the window's.
    QTest::keyClick(field, Qt::Key_X);
    QTest::keyClick(field, 'R', Qt::ShiftModifier);
    EXPECT_EQ(field->text(), QStringLiteral("xR"));
    EXPECT_EQ(view.forcedOrientation(), 6);
  }
  // The view gone, the key is the window's again.
  QTest::keyClick(field, Qt::Key_R);
  EXPECT_EQ(field->text(), QStringLiteral("xRr"));
}

TEST_F(LiveView, FramesShowAndADroppedCanonFrameLeavesThePicture) {
  LiveViewImageView view;
  view.resize(400, 300);
  Reports reports(view);
  const QByteArray red = livefix::cameraJpeg(livefix::flat(QColor(200, 30, 30)));
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, red}), kLiveViewCameraCanon, false);
  ASSERT_TRUE(reports.waitFor(1));
  ASSERT_TRUE(reports.all[0].shown);
  EXPECT_TRUE(near(centre(view.image()), QColor(200, 30, 30)));

  const QByteArray blue = livefix::cameraJpeg(livefix::flat(QColor(30, 30, 200)));
  livefix::CanonFrameSpec tooLong{1, 0, 0, blue, blue.size() + 9};
  livefix::CanonFrameSpec huge{1, 0, 0, blue, 0xFFFFFFFF};
  livefix::CanonFrameSpec skipped{3, 0, 0, blue};
  for (const auto& spec : {tooLong, huge, skipped}) {
    const size_t before = reports.all.size();
    view.setLiveViewImage(livefix::canonFrame(spec), kLiveViewCameraCanon, true);
    // Reported at once, nothing decoded.
    ASSERT_EQ(reports.all.size(), before + 1);
    EXPECT_FALSE(reports.all.back().shown);
    EXPECT_TRUE(reports.all.back().histogram.isNull());
    EXPECT_FALSE(view.decodeInFlight());
    EXPECT_TRUE(near(centre(view.image()), QColor(200, 30, 30)));
  }
  // Bytes that are no picture clear it.
  view.setLiveViewImage(QByteArray("\xFF\xD8\xFF\xDB not a jpeg"), kLiveViewCameraNikon, false);
  ASSERT_TRUE(reports.waitFor(5));
  EXPECT_FALSE(reports.all.back().shown);
  EXPECT_TRUE(view.image().isNull());
}

// Turned for the display orientation; the level told the angle less the turn.
TEST_F(LiveView, OrientationAndLevelAngle) {
  camSetVendor(CameraVendorNikon);  // a camera that reports its level
  setBool(kDefaultsElectronicLevel, true);
  struct Case {
    bool rotateSetting;
    uint8_t forced;
    uint32_t rotation;  // Canon code: 0 -> 1, 1 -> 6, 2 -> 8, 4 -> 3
    float angle;
    uint8_t last;       // lastLiveViewOrientation
    float level;
    bool portrait;
  } cases[] = {
      {true, 255, 1, 270, 6, 0, true},      {true, 255, 2, 100, 8, 10, true}, {true, 255, 4, 190, 3, 10, false},
      {true, 255, 0, 5, 1, 5, false},       {false, 255, 1, 270, 1, 270, false},
      {false, 6, 0, 272, 1, 2, true},       {true, 1, 1, 30, 6, 30, false},
  };
  LiveViewImageView view;
  view.resize(400, 300);
  Reports reports(view);
  const QImage picture = stillfix::quadrants(64, 48);
  const QByteArray jpeg = livefix::cameraJpeg(picture);
  size_t n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rotation " << c.rotation << " forced " << int(c.forced));
    setBool(kDefaultsRotateLiveView, c.rotateSetting);
    view.setForcedOrientation(c.forced);
    view.setLiveViewImage(livefix::canonFrame({1, c.rotation, c.angle, jpeg}), kLiveViewCameraCanon, false);
    EXPECT_EQ(LiveViewImageView::lastLiveViewOrientation(), c.last);
    ASSERT_TRUE(view.levelView());
    EXPECT_FLOAT_EQ(view.levelView()->angle(), c.level);
    ASSERT_TRUE(reports.waitFor(++n));
    EXPECT_EQ(view.image().height() > view.image().width(), c.portrait);
  }
  // The setting off, or a camera without a level: the level goes.
  setBool(kDefaultsElectronicLevel, false);
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, jpeg}), kLiveViewCameraCanon, false);
  EXPECT_FALSE(view.levelView());
  setBool(kDefaultsElectronicLevel, true);
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, jpeg}), kLiveViewCameraCanon, false);
  EXPECT_TRUE(view.levelView());
  camSetVendor(CameraVendorSony);
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, jpeg}), kLiveViewCameraCanon, false);
  EXPECT_FALSE(view.levelView());
}

TEST(LiveViewRender, CanonCropTakesTheCentreHalf) {
  // Lossless pixels (a Canon BMP frame) with markers at the corners of the centre half.
  QImage picture(1024, 680, QImage::Format_RGB32);
  picture.fill(QColor(90, 90, 90));
  picture.setPixelColor(256, 170, Qt::red);
  picture.setPixelColor(767, 509, Qt::green);
  picture.setPixelColor(255, 169, Qt::blue);  // just outside
  EXPECT_EQ(liveViewCanonCropRect({1024, 680}), QRect(256, 170, 512, 340));
  const QByteArray bmp = livefix::bmpOf(picture);
  LiveViewFilterChain chain;
  std::atomic<bool> cancel{false};
  LiveViewRenderSettings settings;
  settings.canonCrop = true;
  settings.histogram = true;
  const LiveViewRendered r = renderLiveViewPicture(
      std::span(reinterpret_cast<const uint8_t*>(bmp.constData()), size_t(bmp.size())), settings, chain, cancel);
  ASSERT_EQ(r.image.size(), QSize(512, 340));
  EXPECT_EQ(r.image.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(r.image.pixelColor(511, 339), QColor(Qt::green));
  EXPECT_EQ(r.histogram.size(), QSize(512, 512));
  // Not cropped, and a tiny picture whose half is nothing yields no image.
  settings.canonCrop = false;
  EXPECT_EQ(renderLiveViewPicture(std::span(reinterpret_cast<const uint8_t*>(bmp.constData()), size_t(bmp.size())),
                                  settings, chain, cancel)
                .image.size(),
            QSize(1024, 680));
}

// The live histogram's rendering is made without Qt's general scaling, and must still be the
// pixels (so the counts) that scaling gives: shrinking, enlarging, exact halves (where a
// pixel centre falls on a boundary) and odd sizes, with every pixel different.
TEST(LiveViewRender, HistogramRenderingIsQtsFastScalingPixelForPixel) {
  const QSize sizes[] = {{1024, 680}, {680, 1024}, {512, 340}, {2048, 1366}, {3000, 2000},
                         {513, 511}, {512, 512}, {7, 9}, {1, 1}, {3, 1500}};
  for (const QSize size : sizes) {
    QImage picture(size, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < size.height(); ++y) {
      auto* line = reinterpret_cast<uint32_t*>(picture.scanLine(y));
      for (int x = 0; x < size.width(); ++x) {
        seed = seed * 1664525u + 1013904223u;
        line[x] = 0xFF000000u | (seed >> 8);
      }
    }
    const QImage ours = liveViewHistogramRendering(picture);
    const QImage qts = picture.scaled(512, 512, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_EQ(ours.size(), QSize(512, 512)) << size.width() << "x" << size.height();
    ASSERT_EQ(ours.format(), qts.format());
    int differing = 0;
    for (int y = 0; y < 512; ++y)
      differing += std::memcmp(ours.constScanLine(y), qts.constScanLine(y), 512 * 4) != 0;
    EXPECT_EQ(differing, 0) << size.width() << "x" << size.height();
    const ChannelCounts a = HistogramView::countChannels(ours), b = HistogramView::countChannels(qts);
    EXPECT_EQ(a.red, b.red);
    EXPECT_EQ(a.green, b.green);
    EXPECT_EQ(a.blue, b.blue);
  }
  // Another layout takes Qt's own path; nothing is no rendering.
  QImage grey(300, 200, QImage::Format_Grayscale8);
  grey.fill(77);
  EXPECT_EQ(liveViewHistogramRendering(grey), grey.scaled(512, 512, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  EXPECT_TRUE(liveViewHistogramRendering(QImage()).isNull());
}

// Frames decode into buffers the worker keeps and reuses. A picture still held (shown by
// the view, or on its way there) is never written by a later frame; each frame's pixels
// are the still decoder's, filters or not; a cut-off frame still shows what arrived.
TEST(LiveViewRender, KeptBuffersNeverOverwriteAHeldPictureAndDecodeAsTheStillDecoder) {
  std::vector<QByteArray> jpegs;
  QByteArray progressive;
  for (int i = 0; i < 5; ++i) {
    QImage picture(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x)
        picture.setPixel(x, y, qRgb((x * 3 + i * 50) & 255, (y * 2 + i * 30) & 255, ((x ^ y) + i * 70) & 255));
    jpegs.push_back(livefix::cameraJpeg(picture, 90));
    if (i == 4) progressive = stillfix::encodeJpeg(picture, 90, TJFLAG_PROGRESSIVE);
  }
  // Damaged frames of the same size, so that a kept buffer would fit them: cut inside the
  // scan (grey below what arrived), after a progressive file's first scan, inside the table
  // after it (nothing written: no picture), and endless scans (refused).
  const qsizetype afterFirstScan =
      stillfix::nextMarker(progressive, progressive.indexOf(QByteArray("\xFF\xDA", 2)) + 2);
  ASSERT_GT(afterFirstScan, 0);
  const QByteArray damaged[] = {jpegs[1].left(jpegs[1].size() * 2 / 3), progressive.left(afterFirstScan),
                                progressive.left(afterFirstScan + 6),
                                stillfix::withRepeatedLastScan(progressive, 600)};
  std::atomic<bool> cancel{false};
  auto bytes = [](const QByteArray& b) { return std::span(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())); };
  auto still = [&](const QByteArray& b) { return decodeJpeg(bytes(b), QSize(), kLiveViewMaxPixels, cancel).image; };
  LiveViewFilterChain chain;
  for (const bool filters : {false, true}) {
    SCOPED_TRACE(filters ? "filters" : "plain");
    LiveViewRenderSettings settings;
    settings.histogram = true;
    if (filters)
      for (const LiveViewFilterDefault& f : liveViewFilterDefaults()) settings.filters.push_back(f.spec);
    auto expected = [&](const QByteArray& b) {
      QImage e = still(b);
      if (filters)
        EXPECT_TRUE(chain.apply(settings.filters, reinterpret_cast<uint32_t*>(e.bits()), e.width(), e.height(),
                                e.bytesPerLine()));
      return e;
    };
    // Held across later frames: the first two while three more come, as a slow GUI would.
    std::vector<LiveViewRendered> held;
    for (const QByteArray& jpeg : jpegs) {
      held.push_back(renderLiveViewPicture(bytes(jpeg), settings, chain, cancel));
      // One let go of at once: its buffers are free for the next frame.
      const LiveViewRendered dropped = renderLiveViewPicture(bytes(jpegs[0]), settings, chain, cancel);
      EXPECT_EQ(dropped.image, expected(jpegs[0]));
    }
    for (size_t i = 0; i < jpegs.size(); ++i) {
      const QImage want = expected(jpegs[i]);
      EXPECT_EQ(held[i].image, want) << "frame " << i;
      EXPECT_EQ(held[i].histogram, liveViewHistogramRendering(want)) << "frame " << i;
    }
    // Damaged: what the still decoder shows, or nothing where it shows nothing; never the
    // pixels of an earlier frame left in a kept buffer.
    for (size_t i = 0; i < std::size(damaged); ++i) {
      (void)renderLiveViewPicture(bytes(jpegs[3]), settings, chain, cancel);  // a free, filled buffer
      const QImage shown = renderLiveViewPicture(bytes(damaged[i]), settings, chain, cancel).image;
      const QImage want = still(damaged[i]).isNull() ? QImage() : expected(damaged[i]);
      EXPECT_EQ(shown.isNull(), want.isNull()) << "damaged " << i;
      EXPECT_EQ(shown, want) << "damaged " << i;
    }
  }
}

TEST(LiveViewRender, FiltersMarkAndAnUnregisteredOneYieldsNoImage) {
  QImage picture(64, 32, QImage::Format_RGB32);
  picture.fill(QColor(128, 128, 128));
  for (int y = 0; y < 32; ++y) {
    picture.setPixelColor(0, y, QColor(255, 255, 255));  // clipped
    picture.setPixelColor(63, y, QColor(0, 0, 0));        // crushed
  }
  const QByteArray bmp = livefix::bmpOf(picture);
  const std::span bytes(reinterpret_cast<const uint8_t*>(bmp.constData()), size_t(bmp.size()));
  LiveViewFilterChain chain;
  std::atomic<bool> cancel{false};
  LiveViewRenderSettings settings;
  for (const LiveViewFilterDefault& f : liveViewFilterDefaults())
    if (std::string_view(f.defaultsKey) != "FocusPeaking") settings.filters.push_back(f.spec);
  const QImage marked = renderLiveViewPicture(bytes, settings, chain, cancel).image;
  ASSERT_FALSE(marked.isNull());
  EXPECT_EQ(marked.pixelColor(0, 10), QColor(255, 0, 0));
  EXPECT_EQ(marked.pixelColor(63, 10), QColor(0, 0, 255));
  EXPECT_EQ(marked.pixelColor(30, 10), QColor(128, 128, 128));
  settings.filters.push_back({"NoSuchKernel", {1, 1, 1, 1}, 0.5});
  EXPECT_TRUE(renderLiveViewPicture(bytes, settings, chain, cancel).image.isNull());
}

// Camera 15 frames touch no overlay; Fujifilm's is placed after its picture is shown.
TEST_F(LiveView, NikonFrameLeavesAnEarlierOverlay) {
  LiveViewImageView view;
  view.resize(600, 400);
  Reports reports(view);
  for (uint32_t code : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) setProp(code, 100);
  setProp(0xEEE0, 500);
  setProp(0xEEE1, 250);
  const QByteArray jpeg = livefix::cameraJpeg(livefix::flat(Qt::gray, 96, 64));
  view.setLiveViewImage(jpeg, kLiveViewCameraFujifilm, false);
  EXPECT_FALSE(view.afOverlayView()->shownOverlay());  // not before the picture
  ASSERT_TRUE(reports.waitFor(1));
  ASSERT_TRUE(view.afOverlayView()->shownOverlay());
  const AfOverlay fuji = *view.afOverlayView()->shownOverlay();
  ASSERT_EQ(fuji.boxes.size(), 1u);

  view.setLiveViewImage(jpeg, kLiveViewCameraNikon, false);
  ASSERT_TRUE(reports.waitFor(2));
  ASSERT_TRUE(reports.all[1].shown);
  ASSERT_TRUE(view.afOverlayView()->shownOverlay());
  EXPECT_EQ(view.afOverlayView()->shownOverlay()->boxes[0].segments, fuji.boxes[0].segments);

  // A Canon frame's boxes, then a dropped Canon frame of kind 1 updates them before its
  // length is checked, then Nikon again leaves them.
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, jpeg, -1, 3}), kLiveViewCameraCanon, false);
  ASSERT_EQ(view.afOverlayView()->shownOverlay()->boxes.size(), 3u);
  view.setLiveViewImage(livefix::canonFrame({1, 0, 0, jpeg, 0xFFFFFFFF, 2}), kLiveViewCameraCanon, false);
  ASSERT_EQ(view.afOverlayView()->shownOverlay()->boxes.size(), 2u);
  view.setLiveViewImage(jpeg, kLiveViewCameraNikon, false);
  ASSERT_TRUE(reports.waitFor(5));
  EXPECT_EQ(view.afOverlayView()->shownOverlay()->boxes.size(), 2u);
}

TEST_F(LiveView, DisabledCoverUntilTheNextFrameShown) {
  LiveViewImageView view;
  view.resize(300, 200);
  Reports reports(view);
  view.setDisabled();
  ASSERT_TRUE(view.disabledView());
  EXPECT_FALSE(view.disabledView()->isHidden());
  EXPECT_EQ(view.disabledView()->geometry(), view.rect());
  QImage grabbed(view.size(), QImage::Format_ARGB32_Premultiplied);
  grabbed.fill(Qt::black);
  view.render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_TRUE(near(grabbed.pixelColor(10, 10), QColor(89, 89, 89), 2));  // white at 0.35 over black
  view.setLiveViewImage(livefix::canonFrame({3, 0, 0, {}}), kLiveViewCameraCanon, false);  // dropped
  EXPECT_FALSE(view.disabledView()->isHidden());
  view.setLiveViewImage(livefix::cameraJpeg(livefix::flat(Qt::gray)), kLiveViewCameraNikon, false);
  ASSERT_TRUE(reports.waitFor(2));
  EXPECT_TRUE(view.disabledView()->isHidden());
}

// The view goes while its worker decodes: the destructor does not wait, and the result
// reaches nothing.
TEST_F(LiveView, DeletedMidDecodeNoWaitNothingDelivered) {
  std::mutex m;
  std::condition_variable cv;
  bool entered = false, release = false, deletedFirst = false;
  std::atomic<int> reports{0};
  auto* view = new LiveViewImageView;
  QObject::connect(view, &LiveViewImageView::frameFinished, [&] { ++reports; });
  view->setDecodeGateForTesting([&] {
    std::unique_lock lock(m);
    entered = true;
    cv.notify_all();
    cv.wait_for(lock, 30s, [&] { return release; });
    deletedFirst = release;
  });
  view->setLiveViewImage(livefix::cameraJpeg(livefix::flat(Qt::gray)), kLiveViewCameraNikon, false);
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, 30s, [&] { return entered; }));
  }
  delete view;  // with the decode held at its gate
  {
    std::lock_guard lock(m);
    release = true;
  }
  cv.notify_all();
  kvtest::waitUntil([] { return WorkerThreads::running() == 0; });
  QCoreApplication::processEvents();
  EXPECT_TRUE(deletedFirst);
  EXPECT_EQ(reports.load(), 0);
}

// With the histogram open, a shown frame gives it the live picture; a dropped one, or one
// that cannot be decoded, leaves what it shows.
TEST_F(LiveView, PaneHistogramKeepsItsCountsOnADrop) {
  StillImageViewController pane;
  QWidget* v = pane.view();
  v->resize(800, 600);
  v->show();
  pane.setLiveViewImage(livefix::cameraJpeg(livefix::flat(QColor(10, 200, 10))), kLiveViewCameraNikon);
  LiveViewImageView* view = pane.liveViewImageView();
  ASSERT_TRUE(view);
  EXPECT_FALSE(pane.oZoomFitButton->isEnabled());
  EXPECT_TRUE(pane.oHistogramButton->isEnabled());
  Reports reports(*view);
  ASSERT_TRUE(reports.waitFor(1));
  EXPECT_FALSE(pane.histogramCounts());  // closed: nothing counted

  pane.toggleHistogram();
  ASSERT_TRUE(pane.histogramPopover()->isVisible());
  pane.setLiveViewImage(livefix::cameraJpeg(livefix::flat(QColor(200, 10, 10))), kLiveViewCameraNikon);
  ASSERT_TRUE(reports.waitFor(2));
  ASSERT_TRUE(pane.histogramCounts());
  const ChannelCounts shown = *pane.histogramCounts();
  EXPECT_EQ(shown.pixels, 512u * 512u);
  EXPECT_GT(shown.red[200] + shown.red[199] + shown.red[201], 512u * 500u);

  pane.setLiveViewImage(livefix::canonFrame({3, 0, 0, {}}), kLiveViewCameraCanon);
  pane.setLiveViewImage(QByteArray("no picture"), kLiveViewCameraNikon);
  ASSERT_TRUE(reports.waitFor(4));
  EXPECT_FALSE(reports.all[2].shown);
  EXPECT_FALSE(reports.all[3].shown);
  ASSERT_TRUE(pane.histogramCounts());
  EXPECT_EQ(pane.histogramCounts()->red, shown.red);

  // The image cleared: the live view goes with it.
  pane.clearImage();
  EXPECT_FALSE(pane.liveViewImageView());
}

// The focus frames a frame carries land where the overlay puts them for that frame's own
// layout: Sony's four fields at the model's offset (with the tracked stream's size), and
// Canon's boxes from the header.
TEST_F(LiveView, SonyAndCanonFramesPlaceTheirOverlaysFromTheirLayouts) {
  const QByteArray jpeg = livefix::cameraJpeg(livefix::flat(QColor(40, 80, 120), 320, 214));
  setProp(0xD213, 2);
  setProp(0xD22C, 0x102);
  setProp(0xD2DC, (320u << 16) | 114u);  // the tracked stream: the focus fields are read
  camSetVendor(CameraVendorSony);
  struct Case {
    uint8_t model;
    size_t base;
  } cases[] = {{176, 581}, {183, 581}, {189, 1093}, {0, 1093}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.model));
    camSetModelIndex(c.model);
    LiveViewImageView view;
    view.resize(640, 428);
    view.show();
    Reports reports(view);
    QByteArray frame = livefix::sonyFrame(jpeg, 1200);
    auto* p = reinterpret_cast<uint8_t*>(frame.data());
    bytesPutU16(p + c.base, 600);       // x
    bytesPutU16(p + c.base + 4, 400);   // y
    bytesPutU16(p + c.base + 8, 150);   // height
    bytesPutU16(p + c.base + 12, 200);  // width
    // The other model set's place holds another frame, which must not be read.
    const size_t other = c.base == 581 ? 1093 : 581;
    for (size_t at : {other, other + 4, other + 8, other + 12}) bytesPutU16(p + at, 50);
    view.setLiveViewImage(frame, kLiveViewCameraSony, false);
    ASSERT_TRUE(reports.waitFor(1));
    AfOverlayView expected;
    expected.resize(view.afOverlayView()->size());
    expected.showSonyAfOverlay(QSizeF(2580, 1900), QRectF(600, 400, 200, 150), 1);
    ASSERT_TRUE(expected.shownOverlay());
    ASSERT_FALSE(expected.shownOverlay()->boxes.empty());
    ASSERT_TRUE(view.afOverlayView()->shownOverlay());
    ASSERT_EQ(view.afOverlayView()->shownOverlay()->boxes.size(), expected.shownOverlay()->boxes.size());
    for (size_t i = 0; i < expected.shownOverlay()->boxes.size(); ++i)
      EXPECT_EQ(view.afOverlayView()->shownOverlay()->boxes[i].segments, expected.shownOverlay()->boxes[i].segments);
  }

  camSetVendor(CameraVendorCanon);
  LiveViewImageView view;
  view.resize(640, 428);
  view.show();
  Reports reports(view);
  const QByteArray frame = livefix::canonFrame({.image = jpeg, .afFrames = 4});
  view.setLiveViewImage(frame, kLiveViewCameraCanon, false);
  ASSERT_TRUE(reports.waitFor(1));
  AfOverlayView expected;
  expected.resize(view.afOverlayView()->size());
  expected.showCanonAfOverlay(reinterpret_cast<const uint8_t*>(frame.constData()), size_t(frame.size()));
  ASSERT_TRUE(expected.shownOverlay());
  ASSERT_EQ(expected.shownOverlay()->boxes.size(), 4u);
  ASSERT_TRUE(view.afOverlayView()->shownOverlay());
  ASSERT_EQ(view.afOverlayView()->shownOverlay()->boxes.size(), 4u);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ(view.afOverlayView()->shownOverlay()->boxes[i].segments, expected.shownOverlay()->boxes[i].segments);
}
