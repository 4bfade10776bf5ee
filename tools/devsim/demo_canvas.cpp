#include "tools/devsim/demo_canvas.h"

#include <algorithm>
#include <cmath>

namespace devsim {

namespace {

// 5 x 7 block letters: one byte per row, bit 4 the leftmost cell.
struct Glyph {
  char c;
  uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x0E, 0x11, 0x01, 0x06, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};

const Glyph* glyphFor(char c) {
  if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  for (const Glyph& g : kGlyphs)
    if (g.c == c) return &g;
  return nullptr;  // a blank cell
}

uint8_t mix(uint8_t over, uint8_t under, uint8_t alpha) {
  return uint8_t((over * alpha + under * (255 - alpha) + 127) / 255);
}

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), pixels_(size_t(width_) * size_t(height_) * 3, 0) {}

void Canvas::reset(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  pixels_.resize(size_t(width_) * size_t(height_) * 3);
}

Rgb Canvas::at(int x, int y) const {
  const uint8_t* p = pixels_.data() + (size_t(y) * size_t(width_) + size_t(x)) * 3;
  return {p[0], p[1], p[2]};
}

void Canvas::gradient(Rgb from, Rgb to, int slant) {
  // Position along the gradient in 1/65536 steps: ax per column, ay per row.
  const int64_t ax = slant >= 1 ? 1 : 0, ay = slant <= 1 ? 1 : 0;
  const int64_t span = std::max<int64_t>(ax * (width_ - 1) + ay * (height_ - 1), 1);
  const int64_t inverse = (int64_t(1) << 32) / span;
  for (int y = 0; y < height_; ++y) {
    uint8_t* p = pixels_.data() + size_t(y) * size_t(width_) * 3;
    for (int x = 0; x < width_; ++x, p += 3) {
      const int64_t t = std::min<int64_t>(((ax * x + ay * y) * inverse) >> 16, 65536);
      p[0] = uint8_t(from.r + (((to.r - from.r) * t) >> 16));
      p[1] = uint8_t(from.g + (((to.g - from.g) * t) >> 16));
      p[2] = uint8_t(from.b + (((to.b - from.b) * t) >> 16));
    }
  }
}

void Canvas::span(int y, int x0, int x1, Rgb c, uint8_t alpha) {
  if (y < 0 || y >= height_) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, width_);
  uint8_t* p = pixels_.data() + (size_t(y) * size_t(width_) + size_t(std::max(x0, 0))) * 3;
  for (int x = x0; x < x1; ++x, p += 3) {
    if (alpha == 255) {
      p[0] = c.r, p[1] = c.g, p[2] = c.b;
    } else {
      p[0] = mix(c.r, p[0], alpha), p[1] = mix(c.g, p[1], alpha), p[2] = mix(c.b, p[2], alpha);
    }
  }
}

void Canvas::rect(int x0, int y0, int x1, int y1, Rgb c, uint8_t alpha) {
  for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) span(y, x0, x1, c, alpha);
}

void Canvas::disc(int cx, int cy, int r, Rgb c, uint8_t alpha) { ring(cx, cy, r, r + 1, c, alpha); }

void Canvas::ring(int cx, int cy, int r, int thickness, Rgb c, uint8_t alpha) {
  const int inner = std::max(r - thickness, 0);
  for (int dy = -r; dy <= r; ++dy) {
    const int outerHalf = int(std::sqrt(double(r) * r - double(dy) * dy));
    if (std::abs(dy) >= inner) {
      span(cy + dy, cx - outerHalf, cx + outerHalf + 1, c, alpha);
      continue;
    }
    const int innerHalf = int(std::sqrt(double(inner) * inner - double(dy) * dy));
    span(cy + dy, cx - outerHalf, cx - innerHalf, c, alpha);
    span(cy + dy, cx + innerHalf + 1, cx + outerHalf + 1, c, alpha);
  }
}

void Canvas::triangle(int cx, int top, int width, int height, Rgb c, uint8_t alpha) {
  for (int dy = 0; dy < height; ++dy) {
    const int half = int(int64_t(width) * dy / std::max(2 * height, 1));
    span(top + dy, cx - half, cx + half + 1, c, alpha);
  }
}

int Canvas::textWidth(const std::string& s, int scale) {
  return s.empty() ? 0 : int(s.size()) * 6 * scale - scale;
}

void Canvas::text(int x, int y, int scale, const std::string& s, Rgb c) {
  for (size_t i = 0; i < s.size(); ++i) {
    const Glyph* g = glyphFor(s[i]);
    if (!g) continue;
    const int left = x + int(i) * 6 * scale;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (g->rows[row] & (0x10 >> col))
          rect(left + col * scale, y + row * scale, left + (col + 1) * scale, y + (row + 1) * scale, c);
  }
}

void Canvas::storeInto(Canvas& out, uint8_t orientation) const {
  const bool sideways = orientation == 6 || orientation == 8;
  out.reset(sideways ? height_ : width_, sideways ? width_ : height_);
  const int W = out.width_, H = out.height_;
  // Where the stored pixel (x, y) appears when shown, in this picture's coordinates.
  auto source = [&](int x, int y) -> const uint8_t* {
    int u = x, v = y;
    if (orientation == 3) u = W - 1 - x, v = H - 1 - y;
    if (orientation == 6) u = H - 1 - y, v = x;
    if (orientation == 8) u = y, v = W - 1 - x;
    return pixels_.data() + (size_t(v) * size_t(width_) + size_t(u)) * 3;
  };
  // In tiles, so that a quarter turn reads its source rows from cache.
  constexpr int kTile = 32;
  for (int ty = 0; ty < H; ty += kTile)
    for (int tx = 0; tx < W; tx += kTile)
      for (int y = ty; y < std::min(ty + kTile, H); ++y) {
        uint8_t* d = out.pixels_.data() + (size_t(y) * size_t(W) + size_t(tx)) * 3;
        for (int x = tx; x < std::min(tx + kTile, W); ++x, d += 3) {
          const uint8_t* s = source(x, y);
          d[0] = s[0], d[1] = s[1], d[2] = s[2];
        }
      }
}

Canvas Canvas::shrunk(int factor) const {
  factor = std::max(factor, 1);
  Canvas out(width_ / factor, height_ / factor);
  std::vector<uint32_t> sums(size_t(out.width_) * 3);
  for (int oy = 0; oy < out.height_; ++oy) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int y = oy * factor; y < (oy + 1) * factor; ++y) {
      const uint8_t* s = pixels_.data() + size_t(y) * size_t(width_) * 3;
      for (int x = 0; x < out.width_ * factor; ++x)
        for (int k = 0; k < 3; ++k) sums[size_t(x / factor) * 3 + size_t(k)] += s[size_t(x) * 3 + size_t(k)];
    }
    uint8_t* d = out.pixels_.data() + size_t(oy) * size_t(out.width_) * 3;
    for (size_t i = 0; i < sums.size(); ++i) d[i] = uint8_t(sums[i] / uint32_t(factor * factor));
  }
  return out;
}

}  // namespace devsim
