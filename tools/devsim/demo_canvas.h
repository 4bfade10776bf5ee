#pragma once
// An RGB picture for the demo's synthetic photos: gradients, translucent shapes and
// block letters, drawn with row spans so that a 1600 x 1067 photo takes milliseconds.
#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

class Canvas {
 public:
  Canvas(int width, int height);
  // A new size; the pixels are left as they were (a picture starts with gradient()). The
  // storage is kept, so a canvas used for one photo after another touches no new memory.
  void reset(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  const uint8_t* pixels() const { return pixels_.data(); }
  Rgb at(int x, int y) const;

  // From `from` at one corner to `to` at the opposite one; `slant` 0 runs top to bottom,
  // 1 top-left to bottom-right, 2 left to right.
  void gradient(Rgb from, Rgb to, int slant);
  // Shapes, clipped to the picture; alpha 255 is opaque.
  void rect(int x0, int y0, int x1, int y1, Rgb c, uint8_t alpha = 255);
  void disc(int cx, int cy, int r, Rgb c, uint8_t alpha = 255);
  void ring(int cx, int cy, int r, int thickness, Rgb c, uint8_t alpha = 255);
  // A triangle pointing up, apex at (cx, top), base of the given width at top + height.
  void triangle(int cx, int top, int width, int height, Rgb c, uint8_t alpha = 255);
  // Text in 5 x 7 block letters, each cell scale pixels square, one cell between letters;
  // letters, digits and ' ', '.', '/', '-', '+', ':', '_', '#'.
  void text(int x, int y, int scale, const std::string& s, Rgb c);
  static int textWidth(const std::string& s, int scale);
  static int textHeight(int scale) { return 7 * scale; }

  // Into out, the stored picture that, shown with this EXIF orientation (1, 3, 6 or 8),
  // looks like this one: a portrait shot (6 or 8) is stored sideways.
  void storeInto(Canvas& out, uint8_t orientation) const;
  // Each factor x factor block averaged into one pixel.
  Canvas shrunk(int factor) const;

 private:
  void span(int y, int x0, int x1, Rgb c, uint8_t alpha);

  int width_, height_;
  std::vector<uint8_t> pixels_;
};

}  // namespace devsim
