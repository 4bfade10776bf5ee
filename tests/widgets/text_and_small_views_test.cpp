#include <gtest/gtest.h>

#include "platform/graphics/text.h"
#include "ui/widgets/small/bezier_path_quartz_utilities.h"
#include "ui/widgets/small/color_view.h"
#include "ui/widgets/small/image_transform.h"
#include "ui/widgets/text/adjustable_font_size_text_field.h"

namespace {
qreal widthAt(const QString& s, qreal size) {
  return sizeWithAttributes(s, TextAttributes{Font(FontFace::Regular, size)}).width();
}
// A text about `target` points wide at 12 points.
QString textOfWidth(qreal target) {
  QString s;
  while (widthAt(s + "m", 12) <= target) s += "m";
  return s;
}
}  // namespace

TEST(AdjustableTextField, ShrinkToFitTable) {
  struct Case {
    qreal fieldWidth;
    qreal textWidthAt12;
    bool adjusts;
    double minimum;
  };
  for (const Case c : {Case{100, 130, true, 1}, Case{100, 60, true, 1}, Case{100, 130, false, 1},
                       Case{20, 400, true, 2}, Case{100, 300, true, 9}}) {
    SCOPED_TRACE(testing::Message() << c.fieldWidth << " " << c.textWidthAt12 << " " << c.minimum);
    AdjustableFontSizeTextField f;
    f.resize(static_cast<int>(c.fieldWidth), 16);
    f.setFont(Font(FontFace::Regular, 12));
    f.setMinimumFontSize(c.minimum);
    f.setAdjustsFontSize(c.adjusts);
    const QString text = textOfWidth(c.textWidthAt12);
    f.setStringValue(text);
    const qreal size = f.font().pointSize();
    if (!c.adjusts || widthAt(text, 12) <= c.fieldWidth) {
      EXPECT_EQ(size, 12);
      EXPECT_EQ(f.alignment(), TextAlignment::Natural);
      continue;
    }
    EXPECT_EQ(f.alignment(), TextAlignment::Center);
    if (size - 1 >= c.minimum) {
      EXPECT_LE(widthAt(text, size), c.fieldWidth);
    } else {
      EXPECT_EQ(size, c.minimum);  // stopped at the minimum, still too wide
    }
    EXPECT_GT(widthAt(text, size + 1), c.fieldWidth);  // the largest that fits (or the floor)
    // Never enlarged again.
    f.setStringValue("a");
    EXPECT_EQ(f.font().pointSize(), size);
  }
}

TEST(AdjustableTextField, CellDrawsAtTheBottomAndTruncatesTheMiddle) {
  AdjustableFontSizeTextField f;
  f.resize(100, 30);
  f.setFont(Font(FontFace::Regular, 8));
  const QRectF r = f.textDrawingRect();
  EXPECT_NEAR(r.bottom(), 30, 1e-9);
  EXPECT_LT(r.height(), 30);
  f.setLineBreakMode(AdjustableFontSizeTextField::LineBreakMode::TruncatingMiddle);
  f.setStringValue("IMG_0001_very_long_file_name_that_goes_on.CR3");
  const QString shown = f.displayedString(96);
  EXPECT_TRUE(shown.contains(QChar(0x2026)));
  EXPECT_TRUE(shown.startsWith("IMG"));
  EXPECT_TRUE(shown.endsWith("CR3"));
}

TEST(SmallViews, ColorViewAndTextColorButton) {
  ColorView v;
  v.resize(10, 10);
  QImage img(10, 10, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  v.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(img.pixelColor(5, 5).alpha(), 0);  // nothing before a colour
  v.setBackgroundColor(Qt::green);
  v.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(img.pixelColor(5, 5), QColor(Qt::green));
  TextColorButton b;
  b.setText("Save");
  b.setTextColor(Qt::red);
  EXPECT_EQ(b.text(), "Save");
  EXPECT_EQ(b.palette().color(QPalette::ButtonText), QColor(Qt::red));
}

TEST(BezierPathAdditions, QuartzPathClosesOpenPaths) {
  EXPECT_FALSE(quartzPath(BezierPath()).has_value());
  BezierPath tri;
  tri.moveToPoint({0, 0});
  tri.lineToPoint({10, 0});
  tri.lineToPoint({0, 10});
  const auto q = quartzPath(tri);
  ASSERT_TRUE(q.has_value());
  EXPECT_EQ(q->elementCount(), 4);  // closed: a line back to the start
  EXPECT_EQ(QPointF(q->elementAt(3)), QPointF(0, 0));
  tri.closePath();
  EXPECT_EQ(quartzPath(tri)->elementCount(), 4);  // no second close
}

TEST(BezierPathAdditions, HermiteThroughPoints) {
  BezierPath one;
  interpolatePointsWithHermite(one, {{5, 5}}, 1, 0.5);
  EXPECT_EQ(one.qpath().elementCount(), 1);
  BezierPath straight;
  const std::vector<QPointF> pts = {{0, 0}, {10, 10}, {20, 0}, {30, 10}};
  interpolatePointsWithHermite(straight, pts, 4, 0);
  ASSERT_EQ(straight.qpath().elementCount(), 1 + 3 * 3);
  for (int seg = 0; seg < 3; ++seg) {
    EXPECT_EQ(QPointF(straight.qpath().elementAt(1 + 3 * seg)), pts[seg]);      // control 1 on the start
    EXPECT_EQ(QPointF(straight.qpath().elementAt(2 + 3 * seg)), pts[seg + 1]);  // control 2 on the end
  }
  BezierPath smooth;
  interpolatePointsWithHermite(smooth, pts, 4, 0.5);
  // Segment 1: cur (10, 10) + 0.5 * ((20, 0) - (0, 0)) / 2.
  EXPECT_EQ(QPointF(smooth.qpath().elementAt(4)), QPointF(15, 10));
  // next (20, 0) - 0.5 * ((30, 10) - (10, 10)) / 2
  EXPECT_EQ(QPointF(smooth.qpath().elementAt(5)), QPointF(15, 0));
}

TEST(ImageTransform, RotationSizes) {
  QImage img(300, 200, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::blue);
  EXPECT_EQ(imageRotated(img, 360).cacheKey(), img.cacheKey());
  EXPECT_EQ(imageRotated(img, 90).size(), QSize(200, 300));
  EXPECT_EQ(imageRotated(img, -270).size(), QSize(200, 300));
  EXPECT_EQ(imageRotated(img, 180).size(), QSize(300, 200));
  EXPECT_EQ(imageRotated(img, 45).size(), QSize(320, 320));
  EXPECT_EQ(imageRotated(img, NAN).size(), QSize(300, 200));
  const QImage r = imageRotatedByDegrees(img, 90);
  EXPECT_NEAR(r.width(), 200, 1);
  EXPECT_NEAR(r.height(), 300, 1);
  EXPECT_EQ(r.pixelColor(100, 150), QColor(Qt::blue));
  // A Core Image picture becomes an image of its extent's size; none gives zero size.
  EXPECT_EQ(imageFromCIImage(img).size(), QSize(300, 200));
  EXPECT_EQ(imageFromCIImage(QImage()).size(), QSize(0, 0));
}
