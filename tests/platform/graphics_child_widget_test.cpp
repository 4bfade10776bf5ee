#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/shadow.h"

namespace {

// Fills its bounds inset by 4 through a context clip that is not pixel-aligned, so the
// drawing goes through an offscreen layer.
class LayeredChild : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    GraphicsContext ctx(p, height());
    ctx.clipToRect(QRectF(4.5, 4.5, width() - 9, height() - 9));
    ctx.setFillColor(Qt::red);
    ctx.fill(BezierPath::bezierPathWithRect(QRectF(0, 0, width(), height())));
  }
};

}  // namespace

// A child widget lies at an offset in its parent's device; layered drawing must land there.
TEST(GraphicsChildWidget, LayeredDrawingLandsAtTheChildsOffset) {
  QWidget parent;
  parent.resize(200, 100);
  auto* child = new LayeredChild(&parent);
  child->setGeometry(120, 40, 60, 40);
  QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::black);
  parent.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(img.pixelColor(150, 60), QColor(Qt::red));   // inside the clip
  EXPECT_EQ(img.pixelColor(121, 41), QColor(Qt::black));  // outside the clip, inside the child
  EXPECT_EQ(img.pixelColor(20, 20), QColor(Qt::black));   // the parent elsewhere
}
