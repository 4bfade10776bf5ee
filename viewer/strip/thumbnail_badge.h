#pragma once
// The format badge in a thumbnail's corner: RAW, TIFF or movie, chosen from the record's
// object format, or from its file name when the device sent no format.
#include "platform/graphics/stylekit_image.h"
#include "ptp/base/object_info.h"

enum class ThumbnailBadge { None, Raw, Tiff, Movie };

ThumbnailBadge thumbnailBadgeFor(const PtpObjectInfoStruct& record);
// The badge's 24 x 24 icon (letters at 21.6); a null image for None.
StyleKitImage thumbnailBadgeImage(ThumbnailBadge badge);
