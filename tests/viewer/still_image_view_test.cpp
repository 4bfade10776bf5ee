// The still pane end to end: bytes in through setImage, the decode thread, the scroll view,
// the strip, the buttons and the histogram popover, as the main window drives them.
#include "viewer/still/still_image_view_controller.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QGuiApplication>
#include <QTest>

#include <chrono>
#include <thread>

#include "model/exif_reader.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "tests/support/qt_test_support.h"
#include "tests/viewer/still_pane_fixtures.h"
#include "ui/widgets/popover/sfb_popover.h"
#include "viewer/still/exif_view.h"

namespace {

using namespace stillpanefix;

// A pane on screen at a known size, with "QuickRawMode" as the test wants it.
struct StillPane {
  explicit StillPane(QSize size = QSize(800, 600), bool quickRawMode = false) {
    UserDefaults::standardUserDefaults().setBool(quickRawMode, kDefaultsQuickRawMode);
    controller.view()->resize(size);
    controller.view()->show();
    QCoreApplication::processEvents();
  }
  ~StillPane() { UserDefaults::standardUserDefaults().removeObject(kDefaultsQuickRawMode); }

  bool showAndWait(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info) {
    controller.setImage(data, std::move(info));
    return settle();
  }
  bool settle() {
    return kvtest::waitUntil([&] { return !controller.decodeInFlight() && controller.decodesAlive() == 0; });
  }

  StillImageViewController controller;
};

bool sameCounts(const ChannelCounts& a, const ChannelCounts& b) {
  return a.pixels == b.pixels && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

TEST(StillPane, ShowsAJpegFittedWithItsNameStripAndAHistogramOfTheShownPixels) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  const QByteArray jpeg = withExif(encodeJpeg(gradientImage(1600, 1200)), shootingData(1).build());
  ASSERT_TRUE(pane.showAndWait(jpeg, objectInfo("DSC_0001.JPG", kFormatJpeg)));

  ASSERT_FALSE(c.shownImage().isNull());
  // Laid out at the header's size, drawn from a decode no smaller than the pane's pixels.
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(1600, 1200));
  EXPECT_LT(c.shownImage().width(), 1600);
  EXPECT_GE(c.shownImage().width(), c.oImageParentView->width());
  EXPECT_GE(c.shownImage().height(), c.oImageParentView->height());
  EXPECT_EQ(c.imageScrollView()->zoomFactor(), 0.0f);
  EXPECT_FALSE(c.isZoomed());
  EXPECT_EQ(c.currentZoomButton(), c.oZoomFitButton);
  EXPECT_EQ(c.oZoomFitButton->state(), 1);
  EXPECT_EQ(c.imageScrollView()->geometry(), c.oImageParentView->rect());
  EXPECT_TRUE(c.oRotateButton->isVisible());
  EXPECT_TRUE(c.oZoom2Button->isEnabled());

  EXPECT_EQ(c.oFileNameTextField->text(), QStringLiteral("DSC_0001.JPG"));
  ASSERT_TRUE(kvtest::waitUntil([&] { return c.oExifView->findChild<QLabel*>("exifLabel") != nullptr; }));
  const QString strip = c.oExifView->findChild<QLabel*>("exifLabel")->text();
  EXPECT_TRUE(strip.contains("1/125")) << strip.toStdString();
  EXPECT_TRUE(strip.contains("5.6")) << strip.toStdString();
  EXPECT_TRUE(strip.contains("1.9MP")) << strip.toStdString();

  c.toggleHistogram();
  ASSERT_NE(c.histogramPopover(), nullptr);
  EXPECT_TRUE(c.histogramPopover()->isVisible());
  ASSERT_TRUE(kvtest::waitUntil([&] { return c.histogramCounts().has_value(); }));
  EXPECT_TRUE(sameCounts(*c.histogramCounts(), HistogramView::countChannels(c.shownImage())));
  EXPECT_TRUE(c.oHistogramView->layer(HistogramView::Red).hasPath);
  c.toggleHistogram();
  c.histogramPopover()->finishAnimations();
  EXPECT_FALSE(c.histogramPopover()->isVisible());
}

TEST(StillPane, ARawTakesItsHistogramFromTheEmbeddedJpegUnlessQuickRawModeIsOn) {
  // The preview is larger than the pane: the shown decode is reduced, the histogram's is not.
  const QImage preview = gradientImage(1280, 960, 90);
  const QByteArray raw = rawWithPreview(encodeJpeg(preview));
  struct Case {
    bool quickRawMode;
    bool spinner;
    bool fromPreview;
  };
  for (const Case& k : {Case{false, true, true}, Case{true, false, false}}) {
    StillPane pane(QSize(400, 336), k.quickRawMode);
    StillImageViewController& c = pane.controller;
    c.setImage(raw, objectInfo("DSC_0002.ARW", kFormatArw));
    EXPECT_EQ(c.hud() != nullptr, k.spinner) << k.quickRawMode;
    ASSERT_TRUE(pane.settle());
    ASSERT_FALSE(c.shownImage().isNull()) << k.quickRawMode;
    EXPECT_EQ(c.hud(), nullptr);
    EXPECT_EQ(c.shownLogicalSize(), QSizeF(1280, 960));
    ASSERT_LT(c.shownImage().width(), 1280) << "the pane shows a reduced decode";

    c.toggleHistogram();
    ASSERT_TRUE(kvtest::waitUntil([&] { return c.histogramCounts().has_value(); }));
    const uint64_t expected = k.fromPreview ? 1280u * 960u : uint64_t(c.shownImage().width()) * c.shownImage().height();
    EXPECT_EQ(c.histogramCounts()->pixels, expected) << k.quickRawMode;
  }
}

TEST(StillPane, ABurstKeepsTwoDecodesAtMostAndEndsOnTheLastImage) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  std::vector<QByteArray> images;
  for (int i = 0; i < 20; ++i) images.push_back(encodeJpeg(gradientImage(900 + 20 * i, 700 + 10 * i, 12 * i)));
  for (int i = 0; i < 20; ++i) {
    c.setImage(images[i], objectInfo(("DSC_1" + std::to_string(i) + ".JPG").c_str(), kFormatJpeg));
    ASSERT_LE(c.decodesAlive(), 2u) << i;
    // Let a few results arrive mid-burst: stale ones must not show.
    if (i % 5 == 4) QCoreApplication::processEvents();
  }
  ASSERT_TRUE(pane.settle());
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(900 + 20 * 19, 700 + 10 * 19));
  EXPECT_EQ(c.oFileNameTextField->text(), QStringLiteral("DSC_119.JPG"));
  // The pixels are the last image's, not an earlier one laid out at its size.
  const QImage last = gradientImage(900 + 20 * 19, 700 + 10 * 19, 12 * 19)
                          .scaled(c.shownImage().size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QPoint probe(c.shownImage().width() / 3, c.shownImage().height() / 2);
  EXPECT_NEAR(qRed(c.shownImage().pixel(probe)), qRed(last.pixel(probe)), 12);
}

// The image shown goes with its scroll view when the next one comes, so the next decode
// writes into pixels already mapped rather than fresh pages.
TEST(StillPane, TheNextImageDecodesIntoTheBufferTheShownOneLeaves) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(1600, 1200, 0)), objectInfo("DSC_0030.JPG", kFormatJpeg)));
  const void* first = c.shownImage().constBits();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(1600, 1200, 200)), objectInfo("DSC_0031.JPG", kFormatJpeg)));
  EXPECT_EQ(static_cast<const void*>(c.shownImage().constBits()), first);
  const QImage want = gradientImage(1600, 1200, 200).scaled(c.shownImage().size(), Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation);
  const QPoint probe(c.shownImage().width() / 3, c.shownImage().height() / 2);
  EXPECT_NEAR(qRed(c.shownImage().pixel(probe)), qRed(want.pixel(probe)), 12);
  EXPECT_NEAR(qBlue(c.shownImage().pixel(probe)), qBlue(want.pixel(probe)), 12);
}

TEST(StillPane, ClearingDuringADecodeShowsNothingAndTheStaleResultHidesItsSpinner) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  const QByteArray raw = rawWithPreview(encodeJpeg(gradientImage(2000, 1500)));
  c.setImage(raw, objectInfo("DSC_0003.ARW", kFormatArw));
  QPointer<MBProgressHUD> hud = c.hud();
  ASSERT_NE(hud, nullptr);
  const uint64_t before = c.generation();
  c.clearImage();
  EXPECT_GT(c.generation(), before);
  EXPECT_EQ(c.currentObjectInfo(), nullptr);
  ASSERT_TRUE(pane.settle());
  ASSERT_TRUE(kvtest::waitUntil([&] { return hud.isNull() || hud->isFinished(); })) << "the spinner stays up";
  QCoreApplication::processEvents();
  EXPECT_TRUE(c.shownImage().isNull());
  EXPECT_EQ(c.imageScrollView(), nullptr);
  EXPECT_FALSE(c.oZoom1Button->isEnabled());

  // Another image right after a clear shows itself, not the stale one.
  const QByteArray jpeg = encodeJpeg(gradientImage(300, 200));
  c.setImage(raw, objectInfo("DSC_0003.ARW", kFormatArw));
  c.clearImage();
  ASSERT_TRUE(pane.showAndWait(jpeg, objectInfo("DSC_0004.JPG", kFormatJpeg)));
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(300, 200));
  EXPECT_TRUE(kvtest::waitUntil([&] { return c.hud() == nullptr; }));
}

TEST(StillPane, AStaleResultNeverShowsUnderTheNextImage) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  c.setImage(encodeJpeg(gradientImage(640, 480)), objectInfo("DSC_0020.JPG", kFormatJpeg));
  // The first decode ends and its result waits in the queue, undelivered.
  while (c.decodesAlive() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The next object's bytes decode to nothing: whatever the pane shows now would be stale.
  c.setImage(QByteArray("not an image at all"), objectInfo("DSC_0021.JPG", kFormatJpeg));
  ASSERT_TRUE(pane.settle());
  QCoreApplication::processEvents();
  EXPECT_EQ(c.oFileNameTextField->text(), QStringLiteral("DSC_0021.JPG"));
  EXPECT_TRUE(c.shownImage().isNull()) << "the earlier image shows under the later one's name";
}

TEST(StillPane, SetImageFromAnotherThreadHopsToTheGuiThread) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  const QByteArray jpeg = encodeJpeg(gradientImage(320, 240));
  std::thread worker([&] { c.setImage(jpeg, objectInfo("DSC_0005.JPG", kFormatJpeg)); });
  worker.join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !c.shownImage().isNull(); }));
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(320, 240));
  std::thread clearer([&] { c.clearImage(); });
  clearer.join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return c.imageScrollView() == nullptr; }));
}

TEST(StillPane, OrientationSixShowsTurnedClockwiseAndRotationCyclesQuarterTurns) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  // Stored: red, blue over green, yellow. Each quarter turn clockwise moves every corner on.
  const QByteArray jpeg = withExif(encodeJpeg(quadrantImage(160, 80)), shootingData(6).build());
  ASSERT_TRUE(pane.showAndWait(jpeg, objectInfo("DSC_0006.JPG", kFormatJpeg)));
  struct Step {
    uint8_t orientation;
    QSize size;
    const char* quadrants;
  };
  const Step steps[] = {{6, {80, 160}, "GRYB"}, {3, {160, 80}, "YGBR"}, {8, {80, 160}, "BYRG"},
                        {1, {160, 80}, "RBGY"}, {6, {80, 160}, "GRYB"}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    if (i > 0) {
      c.rotateImage();
      ASSERT_TRUE(pane.settle());
    }
    EXPECT_EQ(c.currentOrientation(), steps[i].orientation) << i;
    EXPECT_EQ(c.shownImage().size(), steps[i].size) << i;
    EXPECT_EQ(c.shownLogicalSize(), QSizeF(steps[i].size)) << i;
    EXPECT_EQ(quadrantsOf(c.shownImage()), steps[i].quadrants) << i;
  }
}

TEST(StillPane, AMirroredImageDoesNotRotate) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  const QByteArray jpeg = withExif(encodeJpeg(quadrantImage(160, 80)), shootingData(2).build());
  ASSERT_TRUE(pane.showAndWait(jpeg, objectInfo("DSC_0007.JPG", kFormatJpeg)));
  ASSERT_EQ(c.currentOrientation(), 2);
  ASSERT_EQ(quadrantsOf(c.shownImage()), "BRYG");
  const uint64_t generation = c.generation();
  c.rotateImage();
  EXPECT_EQ(c.generation(), generation) << "nothing was asked of the decode thread";
  ASSERT_TRUE(pane.settle());
  EXPECT_EQ(c.currentOrientation(), 2);
  EXPECT_EQ(quadrantsOf(c.shownImage()), "BRYG");
}

TEST(StillPane, ZoomButtonsGoByTheirTags) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(640, 480)), objectInfo("DSC_0008.JPG", kFormatJpeg)));
  struct Case {
    SYFlatButton* button;
    float factor;
  };
  for (const Case& k : {Case{c.oZoom2Button, 2}, Case{c.oZoom0_5Button, 0.5f}, Case{c.oZoom4Button, 4},
                        Case{c.oZoom1Button, 1}, Case{c.oZoomFitButton, 0}}) {
    QTest::mouseClick(k.button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(c.imageScrollView()->zoomFactor(), k.factor) << k.button->objectName().toStdString();
    EXPECT_EQ(c.isZoomed(), k.factor != 0);
    EXPECT_EQ(c.currentZoomButton(), k.button);
    for (SYFlatButton* b : {c.oZoomFitButton, c.oZoom0_5Button, c.oZoom1Button, c.oZoom2Button, c.oZoom4Button})
      EXPECT_EQ(b->state(), b == k.button ? 1 : 0) << b->objectName().toStdString();
  }
  // The current button pressed again stays on and changes nothing.
  QTest::mouseClick(c.oZoomFitButton, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(c.oZoomFitButton->state(), 1);
  EXPECT_FALSE(c.isZoomed());

  SYFlatButton other;
  for (int tag : {0, 5, -1, 99}) {
    other.setProperty("tag", tag);
    EXPECT_EQ(c.zoomFactorFromButton(&other), 0.0) << tag;
  }
}

TEST(StillPane, DoubleClickOnAFittedImageZoomsToTheLastFactor) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(640, 480)), objectInfo("DSC_0009.JPG", kFormatJpeg)));
  CT_ImageScrollView* scroll = c.imageScrollView();
  const QPoint middle = scroll->rect().center();
  QTest::mouseDClick(scroll, Qt::LeftButton, {}, middle);
  EXPECT_EQ(scroll->zoomFactor(), 1.0f) << "1.0 before any button was used";
  EXPECT_EQ(c.currentZoomButton(), c.oZoom1Button);
  QTest::mouseDClick(scroll, Qt::LeftButton, {}, middle);
  EXPECT_EQ(scroll->zoomFactor(), 0.0f);
  EXPECT_EQ(c.currentZoomButton(), c.oZoomFitButton);

  QTest::mouseClick(c.oZoom4Button, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(c.oZoomFitButton, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseDClick(scroll, Qt::LeftButton, {}, middle);
  EXPECT_EQ(scroll->zoomFactor(), 4.0f);
  EXPECT_EQ(c.currentZoomButton(), c.oZoom4Button);
}

TEST(StillPane, ZoomingPastTheReducedDecodeBringsTheFullOneInPlace) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(3000, 2000)), objectInfo("DSC_0010.JPG", kFormatJpeg)));
  const QSize reduced = c.shownImage().size();
  ASSERT_LT(reduced.width(), 3000);

  // Half size still fits in the reduced pixels? Then no full decode yet.
  const bool halfNeedsMore = reduced.width() < 1500;
  QTest::mouseClick(c.oZoom0_5Button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(c.decodeInFlight(), halfNeedsMore);
  ASSERT_TRUE(pane.settle());

  QTest::mouseClick(c.oZoom1Button, Qt::LeftButton, {}, QPoint(5, 5));
  const QPointF origin = c.imageScrollView()->scrollOrigin();
  const QSizeF document = c.imageScrollView()->documentSize();
  ASSERT_TRUE(pane.settle());
  EXPECT_EQ(c.shownImage().size(), QSize(3000, 2000));
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(3000, 2000));
  EXPECT_EQ(c.imageScrollView()->zoomFactor(), 1.0f);
  EXPECT_EQ(c.imageScrollView()->scrollOrigin(), origin);
  EXPECT_EQ(c.imageScrollView()->documentSize(), document);

  // Fitting again and zooming keeps the full pixels: nothing more to decode.
  QTest::mouseClick(c.oZoomFitButton, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(c.oZoom2Button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(c.decodeInFlight());
}

TEST(StillPane, AFittedImageInAGrowingPaneGetsEnoughPixels) {
  StillPane pane(QSize(400, 336));
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(3200, 2400)), objectInfo("DSC_0013.JPG", kFormatJpeg)));
  const QSize small = c.shownImage().size();
  ASSERT_LT(small.width(), 1600);
  c.view()->resize(1600, 1236);
  QCoreApplication::processEvents();
  ASSERT_TRUE(pane.settle());
  EXPECT_GE(c.shownImage().width(), 1600);
  EXPECT_GE(c.shownImage().height(), 1200);
  EXPECT_EQ(c.shownLogicalSize(), QSizeF(3200, 2400));
  EXPECT_FALSE(c.isZoomed());
  // Shrinking again keeps the sharper pixels: nothing to decode.
  c.view()->resize(500, 436);
  QCoreApplication::processEvents();
  EXPECT_FALSE(c.decodeInFlight());
}

TEST(StillPane, TheHistogramFollowsItsButtonAndTheLevelButtonSetsItsDefault) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  ASSERT_TRUE(pane.showAndWait(encodeJpeg(gradientImage(640, 480)), objectInfo("DSC_0014.JPG", kFormatJpeg)));
  c.toggleHistogram();
  c.histogramPopover()->finishAnimations();
  auto arrowTip = [&] {
    const QRect frame = c.histogramPopover()->popoverWindow()->geometry();
    return QPoint(frame.right(), frame.bottom());
  };
  auto buttonMiddle = [&] { return c.oHistogramButton->mapTo(c.view(), c.oHistogramButton->rect().center()); };
  const QPoint offset = arrowTip() - buttonMiddle();
  EXPECT_NEAR(offset.y(), 0, 2) << "the arrow points at the button's middle";
  for (QSize size : {QSize(1000, 700), QSize(850, 620)}) {
    const QPoint before = buttonMiddle();
    c.view()->resize(size);
    QCoreApplication::processEvents();
    ASSERT_NE(buttonMiddle(), before) << "the button moves with the pane";
    EXPECT_EQ(arrowTip() - buttonMiddle(), offset) << "the popover keeps its place beside the button";
  }

  c.liveViewToggledNotification(true);
  for (bool on : {true, false, true}) {
    QTest::mouseClick(c.oElectronicLevelButton, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(UserDefaults::standardUserDefaults().boolForKey(kDefaultsElectronicLevel), on);
  }
  UserDefaults::standardUserDefaults().removeObject(kDefaultsElectronicLevel);
}

TEST(StillPane, LiveViewTakingThePaneDropsTheImageAndItsDecode) {
  StillPane pane;
  StillImageViewController& c = pane.controller;
  c.setImage(encodeJpeg(gradientImage(1200, 900)), objectInfo("DSC_0011.JPG", kFormatJpeg));
  const uint64_t before = c.generation();
  c.liveViewToggledNotification(true);
  EXPECT_GT(c.generation(), before);
  EXPECT_TRUE(c.oElectronicLevelButton->isVisible());
  ASSERT_TRUE(pane.settle());
  QCoreApplication::processEvents();
  EXPECT_TRUE(c.shownImage().isNull());
  c.liveViewToggledNotification(false);
  EXPECT_FALSE(c.oElectronicLevelButton->isVisible());
}

TEST(StillPane, ThePaneGoesWhileADecodeRuns) {
  const QByteArray jpeg = encodeJpeg(gradientImage(2400, 1600));
  for (int i = 0; i < 3; ++i) {
    auto pane = std::make_unique<StillPane>();
    pane->controller.setImage(jpeg, objectInfo("DSC_0012.JPG", kFormatJpeg));
    pane->controller.toggleHistogram();
    pane.reset();  // joins the decode; its result and the parse are dropped
    QCoreApplication::processEvents();
  }
}

namespace {

// The pane drawn as the screen would show it, at a device pixel ratio.
QImage renderPane(QWidget* pane, qreal ratio) {
  QImage out(pane->size() * ratio, QImage::Format_RGB32);
  out.setDevicePixelRatio(ratio);
  out.fill(Qt::magenta);
  pane->render(&out);
  return out;
}

// A picture with edges worth looking at: the gradient, a frame and a disc.
QImage lookImage() {
  QImage image = gradientImage(2400, 1600, 40);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 12));
  p.drawRect(QRect(60, 60, 2280, 1480));
  p.setBrush(QColor(250, 220, 40));
  p.drawEllipse(QPointF(1200, 800), 120, 120);
  return image;
}

}  // namespace

TEST(StillPane, RendersFittedAndZoomedAtOneAndTwoDevicePixelsPerPoint) {
  StillPane pane(QSize(900, 636));
  StillImageViewController& c = pane.controller;
  const QImage image = lookImage();
  ASSERT_TRUE(pane.showAndWait(withExif(encodeJpeg(image), shootingData(1).build()), objectInfo("DSC_0100.JPG", kFormatJpeg)));
  ASSERT_TRUE(kvtest::waitUntil([&] { return c.exif() != nullptr; }));
  const QString lookDir = qEnvironmentVariable("KV_STILL_LOOK_DIR");
  const QPoint centre = c.oImageParentView->geometry().center();
  for (const char* mode : {"fit", "200"}) {
    if (QByteArray(mode) == "200") {
      QTest::mouseClick(c.oZoom2Button, Qt::LeftButton, {}, QPoint(5, 5));
      ASSERT_TRUE(pane.settle());
      ASSERT_EQ(c.shownImage().size(), image.size()) << "200% needs the full decode";
    } else {
      c.toggleHistogram();
      c.histogramPopover()->finishAnimations();
      ASSERT_TRUE(kvtest::waitUntil([&] { return c.histogramCounts().has_value(); }));
      // render() leaves out children drawn through an opacity effect (the popover): the
      // screen's own grab shows it.
      QCoreApplication::processEvents();
      const QImage screen = QGuiApplication::primaryScreen()->grabWindow(c.view()->winId()).toImage();
      if (!lookDir.isEmpty()) screen.save(lookDir + QStringLiteral("/still-fit-histogram-1x.png"));
      const QRect popover = c.histogramPopover()->popoverWindow()->geometry();
      ASSERT_TRUE(c.view()->rect().contains(popover));
      const QPoint button = c.oHistogramButton->mapTo(c.view(), c.oHistogramButton->rect().center());
      EXPECT_NEAR(popover.bottom(), button.y(), 2) << "its arrow points at the button's middle";
      EXPECT_LT(screen.pixelColor(popover.center()).lightness(), 200) << "the translucent plate darkens the image";
    }
    for (qreal ratio : {1.0, 2.0}) {
      const QImage out = renderPane(c.view(), ratio);
      if (!lookDir.isEmpty()) out.save(QStringLiteral("%1/still-%2-%3x.png").arg(lookDir, mode).arg(int(ratio)));
      // The middle of the image area shows the disc at the image's middle, whatever the zoom.
      const QColor middle = out.pixelColor(centre * ratio);
      EXPECT_GT(middle.red(), 200) << mode << " " << ratio;
      EXPECT_GT(middle.green(), 180) << mode << " " << ratio;
      EXPECT_LT(middle.blue(), 90) << mode << " " << ratio;
      // The bar under it is the dark bar, not the image.
      const QColor bar = out.pixelColor(QPoint(4, c.view()->height() - 4) * ratio);
      EXPECT_LT(bar.lightness(), 60) << mode << " " << ratio;
    }
  }

  // A raw while it decodes: the spinner's panel over the pane.
  c.setImage(rawWithPreview(encodeJpeg(image)), objectInfo("DSC_0101.ARW", kFormatArw));
  ASSERT_NE(c.hud(), nullptr);
  c.hud()->finishAnimations();
  const QImage busy = renderPane(c.view(), 1.0);
  if (!lookDir.isEmpty()) busy.save(lookDir + QStringLiteral("/still-raw-decoding-1x.png"));
  const QRectF panel = c.hud()->panelRect();
  const QPoint panelCorner(int(panel.left()) + 4, c.hud()->height() - int(panel.top()) - 4);
  EXPECT_LT(busy.pixelColor(c.hud()->mapTo(c.view(), panelCorner)).lightness(), 80) << "the panel is dark";
  ASSERT_TRUE(pane.settle());
}
