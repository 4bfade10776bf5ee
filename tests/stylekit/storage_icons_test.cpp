// Storage icons: card boxes and their own rounding, the button's clip, the card colours,
// the database's fixed insets, and the holes that show the ground.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using K = KorvalumeStyleKit;

void expectBox(const QRectF& got, qreal left, qreal right, qreal bottom, qreal top, const char* what) {
  EXPECT_NEAR(got.left(), left, 1e-9) << what;
  EXPECT_NEAR(got.right(), right, 1e-9) << what;
  EXPECT_NEAR(got.y(), bottom, 1e-9) << what;
  EXPECT_NEAR(got.y() + got.height(), top, 1e-9) << what;
}

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }
bool near(QColor c, QColor want, int tolerance = 3) {
  return c.alpha() == 255 && std::abs(c.red() - want.red()) <= tolerance &&
         std::abs(c.green() - want.green()) <= tolerance && std::abs(c.blue() - want.blue()) <= tolerance;
}
}  // namespace

TEST(StorageIcons, CardBoxesRoundEachEdgeWithItsOwnConstants) {
  expectBox(K::sdCardNoMarginBox(QRectF(0, 0, 100, 100)), 13, 86.85, 0.75, 99, "black");
  expectBox(K::sdCardWhiteBox(QRectF(0, 0, 100, 100)), 13, 86.85, 0.75, 99, "white");
  expectBox(K::sdCardBox(QRectF(0, 0, 90, 90)), 13, 77.85, 10.75, 80, "colour");
  expectBox(K::sdCardLabelBand(QRectF(0, 0, 90, 90)), 21, 70, 30, 45, "label band");
  // 0.00781 x 32 - 0.25 is just below zero and floors to -1.
  expectBox(K::sdCardNoMarginBox(QRectF(0, 0, 32, 32)), 4, 27.85, -0.25, 32, "black at 32");
  // A fractional origin is kept: only distances from it are rounded.
  expectBox(K::sdCardNoMarginBox(QRectF(0.3, 0.6, 100, 100)), 13.3, 87.15, 1.35, 99.6, "moved");
  expectBox(K::sdCardButtonCardFrame(QRectF(0, 0, 44, 44)), 6, 38, 6, 38, "button's card frame");
}

TEST(StorageIcons, BlackCardColours) {
  const QImage img = K::imageOfSDCard_NoMarginWithSize(QSizeF(100, 100)).render(2);
  const QRectF box = K::sdCardNoMarginBox(QRectF(0, 0, 100, 100));
  auto in = [&](qreal x, qreal y) { return at(img, box.x() + x * box.width(), box.y() + y * box.height()); };
  EXPECT_TRUE(near(in(0.05, 0.5), Qt::black));         // body
  EXPECT_TRUE(near(in(0.17, 0.82), rgb(200, 200, 200)));  // contact 1
  EXPECT_TRUE(near(in(0.25, 0.82), Qt::black));         // between contacts 1 and 2
  EXPECT_TRUE(near(in(0.5, 0.53), Qt::white));          // band
  EXPECT_TRUE(near(in(0.5, 0.25), rgb(200, 200, 200)));  // lower panel
  EXPECT_TRUE(sktest::isWhite(at(img, box.x() + 0.2, 50)));  // the 1-point outline on the left edge
  // The chamfer leaves the upper right corner clear.
  EXPECT_EQ(in(0.98, 0.98).alpha(), 0);
}

TEST(StorageIcons, WhiteCardShowsWhiteWithBlackContactsAndPanel) {
  const QImage img = K::imageOfSdCardWhiteWithSize(QSizeF(100, 100)).render(2);
  const QRectF box = K::sdCardWhiteBox(QRectF(0, 0, 100, 100));
  auto in = [&](qreal x, qreal y) { return at(img, box.x() + x * box.width(), box.y() + y * box.height()); };
  EXPECT_TRUE(near(in(0.05, 0.5), Qt::white));
  EXPECT_TRUE(near(in(0.5, 0.53), Qt::white));  // the band, white on white
  EXPECT_TRUE(near(in(0.5, 0.67), Qt::white));  // between band and contacts
  EXPECT_TRUE(near(in(0.17, 0.82), Qt::black));
  EXPECT_TRUE(near(in(0.5, 0.25), Qt::black));
}

TEST(StorageIcons, ColourCardLabelAndGoldContacts) {
  const QImage img = K::imageOfSDCardWithSize(QSizeF(90, 90)).render(4);
  auto f = [&](qreal x, qreal y) { return at(img, x * 90, y * 90); };
  EXPECT_TRUE(near(f(0.5, 0.5), rgb(220, 220, 220)));         // upper label, pale grey
  EXPECT_TRUE(near(f(0.5, 0.25), rgb(156, 182, 207)));        // lower label, light blue
  EXPECT_TRUE(near(f(0.235, 0.455), rgb(20, 78, 116)));       // the wavy stripe at the left
  EXPECT_TRUE(near(f(0.2, 0.5), rgb(80, 80, 80)));            // body grey
  // The contacts' gradient runs from the gold start at the top to the gold end at the foot.
  const QRectF box = K::sdCardBox(QRectF(0, 0, 90, 90));
  const qreal cx = box.x() + 0.18 * box.width();
  const QColor top = at(img, cx, box.y() + 0.925 * box.height());
  const QColor foot = at(img, cx, box.y() + 0.72 * box.height());
  EXPECT_GT(top.green(), foot.green() + 15);
  EXPECT_GT(top.blue(), foot.blue() + 25);
  EXPECT_NEAR(top.red(), 253, 1);
}

TEST(StorageIcons, ButtonClipsTheCardToItsFrame) {
  const QImage img = sktest::draw(44, 44, 4, [](GraphicsContext& ctx) {
    K::drawSdCardButtonWithFrame(ctx, QRectF(0, 0, 44, 44));
    EXPECT_FALSE(ctx.hasClip());
  });
  EXPECT_TRUE(near(at(img, 22, 1), Qt::white));      // the button reaches the frame's edges
  EXPECT_LT(at(img, 0.3, 0.3).alpha(), 255);         // rounded corner, radius 9
  EXPECT_TRUE(near(at(img, 2.2, 22), Qt::white));    // flat left side
  EXPECT_TRUE(near(at(img, 20, 5.9), Qt::white));    // below the clip: the outline is cut off
  EXPECT_TRUE(near(at(img, 20, 6.1), Qt::white));    // the outline's top quarter, inside
  EXPECT_TRUE(near(at(img, 20, 6.6), Qt::black));    // the card's body just above it
  EXPECT_TRUE(near(at(img, 8, 22), Qt::white));      // left of the card box (x 10)

  // Moved by a fraction, the button and its card move by the same fraction.
  const QImage moved = sktest::draw(46, 46, 4, [](GraphicsContext& ctx) {
    K::drawSdCardButtonWithFrame(ctx, QRectF(1.5, 1.5, 44, 44));
  });
  for (qreal x : {8.0, 20.0, 30.0})
    for (qreal y : {5.9, 6.6, 20.0, 30.0}) EXPECT_EQ(at(moved, x + 1.5, y + 1.5), at(img, x, y)) << x << " " << y;
}

TEST(StorageIcons, DatabaseInsetsDoNotScale) {
  for (qreal s : {40.0, 200.0}) {
    const QImage img = K::imageOfDatabaseWithSize(QSizeF(s, s)).render(2);
    const sktest::Extent e = sktest::extent(img, [](QColor c) { return c.alpha() > 127; });
    EXPECT_NEAR(e.left, 10, 0.6) << s;
    EXPECT_NEAR(e.right, s - 10.46, 0.6) << s;
    EXPECT_NEAR(e.top, s - 10, 0.6) << s;
    EXPECT_NEAR(e.bottom, 10.01, 0.6) << s;
  }
}

TEST(StorageIcons, HolesAndGapsShowTheGround) {
  struct Case {
    const char* what;
    StyleKitImage image;
    QPointF clear;  // fractions of the image
    QPointF solid;
  };
  const QSizeF size(120, 120);
  const QRectF db = K::databaseBox(QRectF(QPointF(0, 0), size));
  auto inDb = [&](qreal x, qreal y) { return QPointF((db.x() + x * db.width()) / 120, (db.y() + y * db.height()) / 120); };
  const Case cases[] = {
      {"database lowest section", K::imageOfDatabaseWithSize(size), inDb(0.5, 0.12), inDb(0.02, 0.5)},
      {"database top face", K::imageOfDatabaseWithSize(size), inDb(0.5, 0.82), inDb(0.5, 0.985)},
      {"database ring", K::imageOfDatabaseWithSize(size), inDb(0.5, 0.34), inDb(0.5, 0.225)},
      {"folder gap", K::imageOfFolderWithSize(size), {0.5, 0.68}, {0.5, 0.4}},
      {"folder above the back", K::imageOfFolderWithSize(size), {0.7, 0.86}, {0.2, 0.86}},
      {"download tray", K::imageOfDownloadWhiteWithSize(size), {0.3, 0.5}, {0.15, 0.5}},
      {"download arrow", K::imageOfDownloadWhiteWithSize(size), {0.44, 0.7}, {0.5, 0.7}},
  };
  for (const Case& c : cases) {
    QImage img(240, 240, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(2);
    img.fill(Qt::red);
    QPainter p(&img);
    c.image.draw(p, QRectF(QPointF(0, 0), size));
    p.end();
    EXPECT_EQ(at(img, c.clear.x() * 120, c.clear.y() * 120), QColor(Qt::red)) << c.what;
    EXPECT_TRUE(sktest::isWhite(at(img, c.solid.x() * 120, c.solid.y() * 120))) << c.what;
  }
}
