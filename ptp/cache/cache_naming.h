#pragma once
// The name under which an object is saved in the download folder (advances the counter
// when a prefix numbers the downloads). Called with the cache mutex held.
#include <string>

#include "ptp/cache/cache_state.h"

std::string cacheDownloadName(const CacheEntry& e);
