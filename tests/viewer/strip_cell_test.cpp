#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "viewer/strip/thumbnail_badge.h"
#include "viewer/strip/thumbnail_layout.h"
#include "viewer/strip/thumbnail_matching.h"

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
