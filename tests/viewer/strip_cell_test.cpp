#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/graphics/text.h"
#include "viewer/strip/thumbnail_badge.h"
#include "viewer/strip/thumbnail_layout.h"
#include "viewer/strip/thumbnail_matching.h"
#include "viewer/strip/thumbnail_view_cell.h"

namespace {

PtpObjectInfoStruct record(const char* name, uint32_t handle, uint16_t format = 0) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = format;
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  return r;
}

constexpr uint32_t kNone = 0xFFFFFFFF;

}  // namespace

TEST(StripLayout, FitsTurnsAndPlacesTheDecorationsOnTheShownRectangle) {
  struct Case {
    QSizeF image;
    uint8_t orientation;
    QRectF imageFrame, shown;
    double rotation;
  } cases[] = {
      // landscape: 110 wide, 110 * 3 / 4 = 82 high (truncated), centred
      {{400, 300}, 1, {5, 19, 110, 82}, {5, 19, 110, 82}, 0},
      // portrait and square: 110 high
      {{300, 400}, 1, {19, 5, 82, 110}, {19, 5, 82, 110}, 0},
      {{50, 50}, 3, {5, 5, 110, 110}, {5, 5, 110, 110}, std::numbers::pi},
      // a quarter turn: the picture keeps its frame, what it covers is exchanged
      {{400, 300}, 6, {5, 19, 110, 82}, {19, 5, 82, 110}, 3 * std::numbers::pi / 2},
      {{400, 300}, 8, {5, 19, 110, 82}, {19, 5, 82, 110}, std::numbers::pi / 2},
      {{401, 300}, 2, {5, 19, 110, 82}, {5, 19, 110, 82}, 0},
  };
  for (const Case& c : cases) {
    const ThumbnailLayout l = thumbnailLayout({120, 120}, c.image, c.orientation);
    EXPECT_EQ(l.imageFrame, c.imageFrame) << c.image.width() << " o" << int(c.orientation);
    EXPECT_EQ(l.shown, c.shown) << int(c.orientation);
    EXPECT_DOUBLE_EQ(l.rotation, c.rotation);
    EXPECT_EQ(l.border, c.shown.adjusted(-5, -5, 5, 5));
    EXPECT_EQ(l.label, QRectF(c.shown.x(), c.shown.y(), c.shown.width(), 26));
    EXPECT_EQ(l.badge, QRectF(c.shown.right() - 12, c.shown.bottom() - 12, 12, 12));
  }
  // Degenerate sizes lay nothing out rather than dividing by zero.
  EXPECT_TRUE(thumbnailLayout({120, 120}, {0, 10}, 1).imageFrame.isNull());
  EXPECT_TRUE(thumbnailLayout({8, 8}, {10, 10}, 1).imageFrame.isNull());
}

TEST(StripBadge, FormatDecidesAndTheNameStandsInWhenThereIsNone) {
  struct Case {
    const char* name;
    uint16_t format;
    ThumbnailBadge badge;
  } cases[] = {
      {"IMG_1.CR2", 0, ThumbnailBadge::Raw},      {"scan.TIFF", 0, ThumbnailBadge::Tiff},
      {"clip.mov", 0, ThumbnailBadge::Movie},     {"IMG_1.JPG", 0, ThumbnailBadge::None},
      {"", 0, ThumbnailBadge::None},              {"x.jpg", 0x380D, ThumbnailBadge::Tiff},
      {"x.jpg", 0xB103, ThumbnailBadge::Raw},     {"x.jpg", 0x300D, ThumbnailBadge::Movie},
      {"x.NEF", 0x3801, ThumbnailBadge::None},  // a format wins over the name
  };
  for (const Case& c : cases) EXPECT_EQ(thumbnailBadgeFor(record(c.name, 1, c.format)), c.badge) << c.name;
  EXPECT_TRUE(thumbnailBadgeImage(ThumbnailBadge::None).isNull());
  EXPECT_EQ(thumbnailBadgeImage(ThumbnailBadge::Raw).size(), QSizeF(24, 24));
}

TEST(StripMatching, EachCallerHasItsOwnRuleForObjectsWithoutHandle) {
  struct Case {
    PtpObjectInfoStruct item, wanted;
    bool byItem, byWanted, forDelete;
  } cases[] = {
      {record("A", 5), record("B", 5), true, true, true},
      {record("A", 5), record("A", 6), false, false, false},
      // item without handle: by name for the item rule, by handle for the wanted rule
      {record("A", kNone), record("A", 6), true, false, false},
      // wanted without handle: the item's handle decides for the item rule
      {record("A", 6), record("A", kNone), false, true, false},
      {record("A", kNone), record("A", kNone), true, true, true},
      {record("A", kNone), record("AB", kNone), false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(thumbnailMatchesByItem(c.item, c.wanted), c.byItem) << c.item.fileName << c.item.objectId;
    EXPECT_EQ(thumbnailMatchesByWanted(c.item, c.wanted), c.byWanted) << c.item.fileName << c.item.objectId;
    EXPECT_EQ(thumbnailMatchesForDelete(c.item, c.wanted), c.forDelete) << c.item.fileName << c.item.objectId;
  }
  // Names that fill the whole field without a NUL compare within it.
  PtpObjectInfoStruct full = record("", kNone);
  std::memset(full.fileName, 'x', sizeof full.fileName);
  EXPECT_TRUE(thumbnailMatchesForDelete(full, full));
}

namespace {

// The label's ink, found on a grey canvas: white is the text, black its shadow.
struct LabelInk {
  QRect white, black;
};

LabelInk labelInk(const QString& name, qreal scale) {
  QImage canvas(QSize(120, 120) * scale, QImage::Format_ARGB32_Premultiplied);
  canvas.setDevicePixelRatio(scale);
  canvas.fill(QColor(128, 128, 128));
  ThumbnailViewCell cell;
  cell.imageSize = QSize(400, 300);
  cell.decodeFailed = false;
  cell.fileName = name;
  {
    QPainter p(&canvas);
    cell.paint(p, QRect(0, 0, 120, 120));
  }
  LabelInk ink;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const QColor c = canvas.pixelColor(x, y);
      // Edges count as text where they are well above the grey.
      if (c.red() > 160 && c.green() > 160 && c.blue() > 160) ink.white |= QRect(x, y, 1, 1);
      if (c.red() < 30 && c.green() < 30 && c.blue() < 30) ink.black |= QRect(x, y, 1, 1);
    }
  return ink;
}

}  // namespace

TEST(StripLabel, NamesShrinkToFitBeforeTheyAreCutInTheMiddle) {
  struct Case {
    const char* name;
    qreal labelWidth;
    bool whole;  // shown without an ellipsis
  } cases[] = {
      {"A.JPG", 110, true},
      {"IMG_0001.CR2", 110, true},
      {"DSC_20261211_102233_HDR.NEF", 110, true},
      {"A_very_long_file_name_from_the_device_0001.CR3", 110, true},
      // A portrait picture's label is 82 wide.
      {"DSC_20261211_102233_HDR.NEF", 82, true},
      // Nothing fits this even at 2 points: cut in the middle at 2 points.
      {"An_absurdly_long_name_that_no_label_of_a_thumbnail_could_ever_hold_whole_not_even_at_two_points_"
       "because_it_goes_on_and_on_and_on_and_on_and_on_and_on_0001.CR3", 110, false},
      {"IMG_0001.CR2", 10, false},
  };
  for (const Case& c : cases) {
    const ThumbnailLabelText t = thumbnailLabelText(c.name, 120, c.labelWidth);
    const qreal width = sizeWithAttributes(c.name, TextAttributes{t.font}).width();
    SCOPED_TRACE(c.name);
    EXPECT_EQ(t.text == c.name, c.whole) << t.text.toStdString();
    EXPECT_GE(t.font.pointSize(), kThumbnailLabelMinimumSize);
    EXPECT_LE(t.font.pointSize(), 15);
    // The text is drawn inside the label's insets.
    const qreal room = c.labelWidth - 2 * kThumbnailLabelInset;
    if (c.whole) {
      // The largest whole size at which the name fits, one point at a time from 15.
      EXPECT_LE(width, room);
      if (t.font.pointSize() < 15) {
        const Font larger(t.font.face(), t.font.pointSize() + 1);
        EXPECT_GT(sizeWithAttributes(c.name, TextAttributes{larger}).width(), room);
      }
      EXPECT_EQ(std::fmod(t.font.pointSize(), 1.0), 0.0);
    } else {
      EXPECT_EQ(t.font.pointSize(), kThumbnailLabelMinimumSize);
      EXPECT_TRUE(t.text.contains(QChar(0x2026)));
      EXPECT_LE(sizeWithAttributes(t.text, TextAttributes{t.font}).width(), room);
    }
  }
  // A short name keeps the full size: an eighth of the cell's width.
  EXPECT_EQ(thumbnailLabelText("A.JPG", 120, 110).font.pointSize(), 15);
}

TEST(StripLabel, ALongNameIsDrawnSmallerRatherThanCut) {
  // At 15 points the name would be cut to fit; drawn whole it is a few points high.
  for (qreal scale : {1.0, 2.0}) {
    const LabelInk shortName = labelInk("IMG_1.JPG", scale);
    const LabelInk longName = labelInk("DSC_20261211_102233_HDR.NEF", scale);
    ASSERT_FALSE(shortName.white.isEmpty());
    ASSERT_FALSE(longName.white.isEmpty());
    EXPECT_LT(longName.white.height() * 3, shortName.white.height() * 2) << scale;
    // Both sit on the label's baseline, at the bottom of the picture.
    EXPECT_NEAR(longName.white.bottom(), shortName.white.bottom(), 4 * scale);
  }
}

TEST(StripLabel, TheNamesShadowFallsUpAndToTheRight) {
  for (qreal scale : {1.0, 2.0}) {
    const LabelInk ink = labelInk("LLLL", scale);
    ASSERT_FALSE(ink.white.isEmpty());
    ASSERT_FALSE(ink.black.isEmpty());
    // One point right and one point up (y-up), in device pixels on the y-down canvas; a
    // pixel either way for the edges' antialiasing.
    EXPECT_NEAR(ink.black.right(), ink.white.right() + scale, 1) << scale;
    EXPECT_NEAR(ink.black.top(), ink.white.top() - scale, 1) << scale;
    EXPECT_LT(ink.black.bottom(), ink.white.bottom()) << scale;
    EXPECT_GE(ink.black.left(), ink.white.left()) << scale;
  }
}
