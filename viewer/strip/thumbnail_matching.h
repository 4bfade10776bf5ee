#pragma once
// How the strip finds an object's item. Three callers ask in three slightly different
// ways; each keeps its own rule so that a record without a handle (objectId 0xFFFFFFFF)
// is found by its file name where that caller expects it.
#include "ptp/base/object_info.h"

// selectThumbnailNoAction: by the item's handle while it has one, else by file name.
bool thumbnailMatchesByItem(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted);
// selectThumbnail: by the wanted object's handle while it has one, else by file name.
bool thumbnailMatchesByWanted(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted);
// deleteThumbnail: by file name bytes when neither has a handle, else by handle.
bool thumbnailMatchesForDelete(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted);
