#include "viewer/strip/thumbnail_badge.h"

#include <QString>
#include <string>

#include "ptp/base/filetypes.h"
#include "stylekit/badge_icons.h"

ThumbnailBadge thumbnailBadgeFor(const PtpObjectInfoStruct& record) {
  if (record.objectFormat == 0) {
    const std::string name(record.fileName, strnlen(record.fileName, kObjectNameBytes));
    if (name.empty()) return ThumbnailBadge::None;
    if (fileNameIsRaw(name.c_str())) return ThumbnailBadge::Raw;
    const QString lower = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
    if (lower.contains(QLatin1String(".tif"))) return ThumbnailBadge::Tiff;
    if (lower.contains(QLatin1String(".mov"))) return ThumbnailBadge::Movie;
    return ThumbnailBadge::None;
  }
  if (record.objectFormat == kFormatTiff) return ThumbnailBadge::Tiff;
  if (fileFormatIsRaw(record.objectFormat)) return ThumbnailBadge::Raw;
  if (fileFormatIsMovie(record.objectFormat)) return ThumbnailBadge::Movie;
  return ThumbnailBadge::None;
}

StyleKitImage thumbnailBadgeImage(ThumbnailBadge badge) {
  const QSizeF size(24, 24);
  switch (badge) {
    case ThumbnailBadge::Raw: return KorvalumeBadgeIcons::imageOfRawWithSize(size, 21.6);
    case ThumbnailBadge::Tiff: return KorvalumeBadgeIcons::imageOfTiffWithSize(size, 21.6);
    case ThumbnailBadge::Movie: return KorvalumeBadgeIcons::imageOfMovieIconWithSize(size);
    case ThumbnailBadge::None: break;
  }
  return {};
}
