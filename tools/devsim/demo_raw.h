#pragma once
// The files around a demo photograph: its EXIF block, and the raw containers of the four
// makers (CR2, NEF and ARW are TIFF-based, RAF is Fujifilm's own) that carry it.
#include "tools/devsim/frames.h"

namespace devsim {

class Canvas;
struct DemoShot;

// IFD0 and EXIF IFD of the shot as a little-endian TIFF: the body of a JPEG's APP1.
Bytes demoExifBlock(const DemoShot& shot);

// The shot's raw file in the container of its format: shot.jpeg as the preview,
// shot.thumbnail as the small preview, and a colour mosaic of the stored picture as the
// sensor data.
Bytes demoRawFile(const DemoShot& shot, const Canvas& stored);

}  // namespace devsim
