// The electronic level, the composition grid and the sound meter.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "viewer/liveview/electronic_level_view.h"
#include "viewer/liveview/grid_view.h"

namespace {
QImage grab(QWidget& w, QColor ground = Qt::blue) {
  QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(ground);
  w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  return img;
}
// The pixel at a y-up point of the view.
QColor at(const QImage& img, qreal x, qreal y) {
  return img.pixelColor(std::clamp(int(x), 0, img.width() - 1), std::clamp(int(img.height() - y), 0, img.height() - 1));
}
}  // namespace

TEST(ElectronicLevelView, LevelColourBand) {
  struct Case {
    float angle;
    bool level;
  } cases[] = {{0.5f, true}, {360.5f, true}, {-1.0f, true}, {361.0f, true}, {1.5f, false},
               {358.0f, false}, {-2.0f, false}, {NAN, false}};
  for (const Case& c : cases) EXPECT_EQ(ElectronicLevelView::isLevel(c.angle), c.level) << c.angle;
}

TEST(ElectronicLevelView, LineTurnsClockwiseWithTheAngleAndDialSitsInTheMiddle) {
  auto [a, b] = ElectronicLevelView::lineEnds(90, 500, 300);
  EXPECT_NEAR(a.x(), 250, 1e-3);  // vertical
  EXPECT_NEAR(b.x(), 250, 1e-3);
  EXPECT_NEAR(std::hypot(a.x() - b.x(), a.y() - b.y()), 180, 1e-3);
  std::tie(a, b) = ElectronicLevelView::lineEnds(45, 500, 300);
  EXPECT_LT(a.x(), b.x());  // falls from upper left to lower right
  EXPECT_GT(a.y(), b.y());

  ElectronicLevelView view;
  view.resize(500, 300);
  view.setAngle(0.5f);
  QImage img = grab(view);
  const QColor mid = at(img, 250 + 60, 150);  // on the line, inside the dial
  EXPECT_GT(mid.green(), 200);
  EXPECT_LT(mid.red(), 60);
  EXPECT_EQ(at(img, 100, 150), QColor(Qt::blue));  // left of the dial (which starts at x 150)
  EXPECT_NE(at(img, 150 + 200 * 0.03, 150), QColor(Qt::blue));  // the dial's left tick
  view.setAngle(10);
  img = grab(view);
  const auto [from, to] = ElectronicLevelView::lineEnds(10, 500, 300);
  const QPointF q = from + 0.8 * (to - from);
  EXPECT_GT(at(img, q.x(), q.y()).red(), 200);
}

TEST(GridView, TextsAndLines) {
  EXPECT_EQ(GridView::stringForGridLines(0), "3x3");
  EXPECT_EQ(GridView::stringForGridLines(2), "5x3");
  EXPECT_EQ(GridView::stringForGridLines(3), "Off");
  EXPECT_EQ(GridView::stringForColor(3), "Red");
  EXPECT_EQ(GridView::stringForColor(0), "Gray");

  GridView grid;
  grid.resize(300, 300);
  grid.setHorizontalLines(3, 3);
  QImage blank(300, 300, QImage::Format_ARGB32_Premultiplied);
  blank.fill(Qt::black);
  EXPECT_EQ(grab(grid, Qt::black), blank);  // no colour yet: nothing drawn
  grid.setGridColor(1);
  const QImage img = grab(grid, Qt::black);
  for (qreal pos : {100.0, 200.0}) {
    EXPECT_GT(at(img, 50, pos).red() + at(img, 50, pos - 1).red(), 100) << pos;  // horizontal line
    EXPECT_GT(at(img, pos, 50).red() + at(img, pos - 1, 50).red(), 100) << pos;  // vertical line
  }
  EXPECT_EQ(at(img, 50, 50), QColor(Qt::black));
  grid.setHorizontalLines(1, 0);
  const QImage none = grab(grid, Qt::black);
  int lit = 0;
  for (int y = 0; y < none.height(); ++y)
    for (int x = 0; x < none.width(); ++x) lit += none.pixelColor(x, y) != QColor(Qt::black);
  EXPECT_EQ(lit, 0);
}

TEST(SoundBarView, BinColours) {
  SoundBarView bar;
  bar.setNumberOfBins(10);
  bar.setCurrentBin(4);
  bar.setMaxBin(8);
  const QColor green(Qt::green), yellow(Qt::yellow), red(Qt::red), grey = QColor::fromRgbF(1 / 3.f, 1 / 3.f, 1 / 3.f);
  const QColor expectA[] = {green, green, green, green, green, grey, grey, grey, red, grey};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bar.colorForBin(i).rgb(), expectA[i].rgb()) << i;
  bar.setCurrentBin(9);
  const QColor expectB[] = {green, green, green, green, green, green, yellow, yellow, red, red};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bar.colorForBin(i).rgb(), expectB[i].rgb()) << i;

  bar.resize(100, 10);
  QImage img = grab(bar, Qt::blue);
  EXPECT_EQ(at(img, 5, 5).rgb(), green.rgb());     // first bar, 8 wide
  EXPECT_EQ(at(img, 9, 5), QColor(Qt::blue));      // the gap
  EXPECT_EQ(at(img, 95, 5).rgb(), red.rgb());
  bar.setNumberOfBins(0);
  img = grab(bar, Qt::blue);
  EXPECT_EQ(at(img, 5, 5), QColor(Qt::blue));
}
