#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <optional>

#include "platform/geometry.h"
#include "support/qt_test_support.h"
#include "ui/widgets/scroll/ct_image_scroll_view.h"
#include "ui/widgets/scroll/image_scroll_geometry.h"

namespace {

struct Recorder : CT_ImageScrollViewDelegate {
  std::vector<QPointF> points;
  void imageScrollViewDoubleClicked(CT_ImageScrollView*, QPointF p) override { points.push_back(p); }
};

QImage solid(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::gray);
  return img;
}

}  // namespace

TEST(ImageScrollGeometry, ZoomAtPointTable) {
  struct Case {
    QSizeF image, document, view;
    qreal factor;
    QPointF point;
    QSizeF expectedDocument;
    QPointF expectedOrigin;
  };
  const Case cases[] = {
      {{4000, 3000}, {800, 600}, {800, 600}, 0.5, {400, 300}, {2000, 1500}, {600, 450}},
      {{4000, 3000}, {800, 600}, {800, 600}, 1, {0, 0}, {4000, 3000}, {0, 0}},
      {{4000, 3000}, {800, 600}, {800, 600}, 1, {800, 600}, {4000, 3000}, {3200, 2400}},
      // A document narrower than the view: x is the negative maxX; lower: y is 0.
      {{400, 300}, {800, 600}, {800, 600}, 1, {400, 300}, {400, 300}, {-400, 0}},
      // No image: guarded, the corner.
      {{0, 0}, {800, 600}, {800, 600}, 2, {400, 300}, {0, 0}, {-800, 0}},
  };
  for (const Case& c : cases) {
    const ZoomResult r = zoomAtPoint(c.image, c.document, c.factor, c.point, c.view);
    EXPECT_EQ(r.documentSize, c.expectedDocument);
    EXPECT_EQ(r.origin, c.expectedOrigin);
  }
  EXPECT_EQ(Geometry::aspectFitRect({4000, 2000}, {800, 600}), QRectF(0, 100, 800, 400));
  EXPECT_EQ(Geometry::aspectFitRect({0, 10}, {800, 600}), QRectF(0, 0, 0, 0));
}

TEST(ImageScrollGeometry, SourceRectIsOnlyTheExposedPart) {
  // A 4000 x 3000 image drawn as a 2000 x 1500 document; an 800 x 600 window at (600, 450).
  const QRectF src = imageSourceRect({4000, 3000}, QRectF(0, 0, 2000, 1500), QRectF(600, 450, 800, 600));
  EXPECT_EQ(src, QRectF(1200, 900, 1600, 1200));
  EXPECT_TRUE(imageSourceRect({4000, 3000}, QRectF(0, 0, 2000, 1500), QRectF(3000, 0, 10, 10)).isEmpty());
}

TEST(ImageScrollView, ZoomFitAndResize) {
  CT_ImageScrollView v;
  v.resize(800, 600);
  v.show();  // resize events reach shown views
  v.setImageRef(solid(4000, 3000));
  v.setZoomToFit();
  EXPECT_EQ(v.documentSize(), QSizeF(800, 600));
  EXPECT_FALSE(v.hasScrollers());
  v.setZoomFactor(0.5f, {400, 300});
  EXPECT_EQ(v.documentSize(), QSizeF(2000, 1500));
  EXPECT_EQ(v.scrollOrigin(), QPointF(600, 450));
  EXPECT_TRUE(v.hasScrollers());
  v.resize(1000, 700);
  EXPECT_EQ(v.documentSize(), QSizeF(2000, 1500));  // zoomed: kept
  v.setZoomToFit();
  v.resize(640, 480);
  EXPECT_EQ(v.documentSize(), QSizeF(640, 480));  // fitted: follows
  v.setImageRef(QImage());
  EXPECT_EQ(v.imageRect(), QRectF(0, 0, 4000, 3000));  // null ignored
}

TEST(ImageScrollView, PaintsTheExposedPartFromTheSource) {
  CT_ImageScrollView v;
  v.resize(800, 600);
  v.setImageRef(solid(4000, 3000));
  v.setZoomFactor(0.5f, {400, 300});
  QImage out(800, 600, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::black);
  v.render(&out);
  EXPECT_EQ(v.lastSourceRect(), QRectF(1200, 900, 1600, 1200));
  EXPECT_EQ(out.pixelColor(400, 300), QColor(Qt::gray));
}

TEST(ImageScrollView, DoubleClickPointIsRelativeToTheFittedImage) {
  CT_ImageScrollView v;
  v.resize(800, 600);
  v.setImageRef(solid(4000, 2000));  // fitted at (0, 100, 800, 400)
  v.setZoomToFit();
  auto rec = std::make_shared<Recorder>();
  v.setDelegate(rec);
  v.mouseDownAt({400, 300}, 2);
  v.mouseDownAt({400, 300}, 3);  // a triple click does nothing
  ASSERT_EQ(rec->points.size(), 1u);
  EXPECT_EQ(rec->points[0], QPointF(400, 200));
}

TEST(ImageScrollView, DragPansAndAReleaseGlides) {
  CT_ImageScrollView v;
  v.resize(800, 600);
  v.setImageRef(solid(4000, 3000));
  v.setZoomFactor(1, {400, 300});
  const QPointF start = v.scrollOrigin();
  // A click without a drag: no glide.
  v.mouseDownAt({100, 100}, 1);
  v.mouseUp();
  EXPECT_FALSE(v.animationActive());
  v.mouseDownAt({100, 100}, 1);
  v.mouseDraggedTo({80, 110}, {-20, -10});  // left and up
  EXPECT_EQ(v.scrollOrigin(), start + QPointF(20, -10));
  v.mouseUp();
  EXPECT_TRUE(v.animationActive());
  v.finishAnimations();
  EXPECT_FALSE(v.animationActive());
  EXPECT_EQ(v.scrollOrigin(), start + QPointF(20, -10) + QPointF(200, -100));
}

// Whatever places the image anew stops a glide that is under way, so the glide cannot carry
// the image off afterwards.
TEST(ImageScrollView, PlacingTheImageStopsAGlide) {
  struct Case {
    const char* name;
    std::function<void(CT_ImageScrollView&)> act;
    std::optional<QPointF> origin;  // none: where the glide was stopped
  };
  const Case cases[] = {
      {"zoom to fit", [](CT_ImageScrollView& v) { v.setZoomToFit(); }, QPointF(0, 0)},
      // factor 1 at the fitted image's lower-left corner: scrolled to (0, 0)
      {"zoom", [](CT_ImageScrollView& v) { v.setZoomFactor(1, {0, 0}); }, QPointF(0, 0)},
      {"new drag", [](CT_ImageScrollView& v) { v.mouseDownAt({10, 10}, 1); }, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CT_ImageScrollView v;
    v.resize(800, 600);
    v.setImageRef(solid(4000, 2000));
    v.setZoomFactor(1, {400, 200});
    v.mouseDownAt({100, 100}, 1);
    v.mouseDraggedTo({80, 110}, {-20, -10});
    v.mouseUp();
    ASSERT_TRUE(v.animationActive());
    const QPointF held = v.scrollOrigin();
    c.act(v);
    // The event loop runs until no glide is left.
    ASSERT_TRUE(kvtest::waitUntil([&] { return !v.animationActive(); }));
    EXPECT_EQ(v.scrollOrigin(), c.origin.value_or(held));
    if (c.origin == std::nullopt) continue;
    QImage shot(800, 600, QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    v.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    if (v.zoomFactor() != 0) continue;
    // Fitted: 4000 x 2000 into 800 x 600 is 800 x 400, centred with 100 above and below.
    for (int y : {99, 100, 499, 500}) {
      SCOPED_TRACE(y);
      EXPECT_EQ(shot.pixelColor(400, y).alpha(), y == 99 || y == 500 ? 0 : 255);
    }
  }
}
