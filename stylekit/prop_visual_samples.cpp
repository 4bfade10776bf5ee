// Sample property visuals and image-format buttons for the icon sheet and the tests.
#include "stylekit/icon_registry.h"
#include "stylekit/prop_visual_kit.h"

namespace {

using V = KorvalumePropertyVisuals;

StyleKitImage imageOrNothing(const PropertyVisual& v) {
  const StyleKitImage* image = visualImage(v);
  return image ? *image : StyleKitImage();
}

}  // namespace

void registerPropVisualIcons(std::vector<IconSample>& out) {
  struct Visual {
    const char* name;
    PropertyVisual (*make)(QSizeF);
  };
  static const Visual kVisuals[] = {
      {"imageOfMeteringMode_ 0x500B 0x8003 (Sony entire screen)",
       [](QSizeF s) { return V::imageOfMeteringMode_WithSize(s, 0x500B, 0x8003, false, false, false); }},
      {"imageOfMeteringMode_ 0xD107 3 highlighted",
       [](QSizeF s) { return V::imageOfMeteringMode_WithSize(s, 0xD107, 3, true, false, false); }},
      {"imageOfWhiteBalance_ 0x5005 0x8001 (-1)",
       [](QSizeF s) { return V::imageOfWhiteBalance_WithSize(s, 0x5005, 0x8001, false, false, false); }},
      {"imageOfWhiteBalance_ 0xD109 23 (AutoW) disabled",
       [](QSizeF s) { return V::imageOfWhiteBalance_WithSize(s, 0xD109, 23, true, true, true); }},
      {"imageOfSonyDriveMode_ 0x800C (5s, 3)",
       [](QSizeF s) { return V::imageOfSonyDriveMode_WithSize(s, 0x5013, 0x800C, false, false); }},
      {"imageOfSonyDriveMode_ 0xC218 (1.0EV 2-, S)",
       [](QSizeF s) { return V::imageOfSonyDriveMode_WithSize(s, 0x5013, 0xC218, false, false); }},
      {"imageOfDriveMode_ 0xD106 7 (C timer)",
       [](QSizeF s) { return V::imageOfDriveMode_WithSize(s, 0xD106, 7, false, false); }},
      {"imageOfFocusArea_ 0x207 highlighted",
       [](QSizeF s) { return V::imageOfFocusArea_WithSize(s, 0xD22C, 0x207, true); }},
      {"imageOfMovieAfAreaMode_ 0x8019 disabled",
       [](QSizeF s) { return V::imageOfMovieAfAreaMode_WithSize(s, 0xD1F8, 0x8019, true, false); }},
  };
  for (const Visual& v : kVisuals)
    out.push_back({QString::fromLatin1(v.name), [make = v.make](QSizeF s) { return imageOrNothing(make(s)); }});

  // The buttons are drawn wide in use (three or four times the height); here at the sample size.
  out.push_back({QStringLiteral("imageOfImageFormat_JpegWithFrame: L smooth"), [](QSizeF s) {
                   return V::imageOfImageFormat_JpegWithFrame(QRectF(QPointF(0, 0), s), "L", 2,
                                                              false, true);
                 }});
  out.push_back({QStringLiteral("imageOfImageFormat_JpegWithFrame: M1 compressed, disabled"), [](QSizeF s) {
                   return V::imageOfImageFormat_JpegWithFrame(QRectF(QPointF(0, 0), s), "M1", 0,
                                                              false, false);
                 }});
  out.push_back({QStringLiteral("imageOfImageFormat_RawWithFrame: M"), [](QSizeF s) {
                   return V::imageOfImageFormat_RawWithFrame(QRectF(QPointF(0, 0), s), "M", false,
                                                             true);
                 }});
  out.push_back({QStringLiteral("imageOfImageFormat_RawWithFrame: no size"), [](QSizeF s) {
                   return V::imageOfImageFormat_RawWithFrame(QRectF(QPointF(0, 0), s), {}, false, true);
                 }});
  out.push_back({QStringLiteral("imageOfImageFormat_RawPlusJpegWithFrame: L fine + M, highlighted"), [](QSizeF s) {
                   return V::imageOfImageFormat_RawPlusJpegWithFrame(QRectF(QPointF(0, 0), s), "L",
                                                                     2, "M", true, true);
                 }});
}
