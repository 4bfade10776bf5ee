#pragma once
// The image reader's properties of image 0 of some bytes, in ImageIO's dictionary shape,
// read with Exiv2. Exiv2 tells the file type from the content, so ImageIO's type hint has
// no counterpart here. Nullopt when the bytes are no image the reader knows, hold no
// metadata, or the reader fails on them.
#include <cstdint>
#include <optional>
#include <span>

#include "model/exif_properties.h"

std::optional<ExifProperties> exifImageSourceProperties(std::span<const uint8_t> data);
