#include "viewer/still/histogram_view.h"

#include <QColorSpace>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/named_colors.h"
#include "platform/gui_thread.h"
#include "ui/widgets/small/bezier_path_quartz_utilities.h"

namespace {

// The peak a channel is scaled against: its largest value, capped at pixels / 30 so that a
// few dominant tones do not flatten the rest. Never below 1, so that tiny images (whose
// cap truncates to 0) scale instead of dividing by zero.
double scalePeak(double largest, uint64_t pixels) {
  const double cap = static_cast<double>(pixels) / 30.0;
  double peak = largest > cap ? std::trunc(cap) : largest;
  return std::max(peak, 1.0);
}

uint8_t scaleBin(double value, double peak) {
  const float scaled = static_cast<float>(value) / (static_cast<float>(peak) / 255.0f);
  return static_cast<uint8_t>(std::clamp(scaled, 0.0f, 255.0f));
}

double toLinear(double c) {
  const double v = c / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// 32-bit 0xAARRGGBB words, read in place: the live view's every frame comes this way, and
// a converted copy would cost more than the count. Two sets of tables, taken by turns, so
// that a run of equal pixels does not wait on its own increments.
void countRgb32(const QImage& image, ChannelCounts& out) {
  std::array<std::array<uint32_t, 256>, 2> red{}, green{}, blue{};
  auto flush = [&] {
    for (size_t i = 0; i < 256; ++i) {
      out.red[i] += uint64_t{red[0][i]} + red[1][i];
      out.green[i] += uint64_t{green[0][i]} + green[1][i];
      out.blue[i] += uint64_t{blue[0][i]} + blue[1][i];
    }
    red = {};
    green = {};
    blue = {};
  };
  const int w = image.width();
  uint64_t sinceFlush = 0;  // no bin of the 32-bit tables can hold more
  for (int y = 0; y < image.height(); ++y) {
    if (sinceFlush + static_cast<uint64_t>(w) > UINT32_MAX) {
      flush();
      sinceFlush = 0;
    }
    sinceFlush += static_cast<uint64_t>(w);
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    int x = 0;
    for (; x + 2 <= w; x += 2) {
      const uint32_t a = line[x], b = line[x + 1];
      ++red[0][(a >> 16) & 255];
      ++green[0][(a >> 8) & 255];
      ++blue[0][a & 255];
      ++red[1][(b >> 16) & 255];
      ++green[1][(b >> 8) & 255];
      ++blue[1][b & 255];
    }
    if (x < w) {
      const uint32_t a = line[x];
      ++red[0][(a >> 16) & 255];
      ++green[0][(a >> 8) & 255];
      ++blue[0][a & 255];
    }
  }
  flush();
  out.pixels = static_cast<uint64_t>(w) * static_cast<uint64_t>(image.height());
}

}  // namespace

HistogramView::HistogramView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  initializeLayers();
}

void HistogramView::initializeLayers() {
  const QColor colours[] = {NamedColor::redColor(), NamedColor::greenColor(), NamedColor::blueColor(),
                            NamedColor::grayColor()};
  for (int i = 0; i < 4; ++i) layers_[i] = CurveLayer{colours[i], {}, {}, false, false};
}

void HistogramView::clear() {
  KV_ASSERT_GUI_THREAD();
  initializeLayers();
  update();
}

ChannelCounts HistogramView::countChannels(const QImage& image) {
  ChannelCounts out;
  if (image.isNull()) return out;
  if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
    countRgb32(image, out);
    return out;
  }
  // Counted by channel, whatever the decode's byte order: R, G, B, A in memory.
  const QImage rgba = image.format() == QImage::Format_RGBA8888 || image.format() == QImage::Format_RGBX8888
                          ? image
                          : image.convertToFormat(QImage::Format_RGBX8888);
  for (int y = 0; y < rgba.height(); ++y) {
    const uint8_t* p = rgba.constScanLine(y);
    for (int x = 0; x < rgba.width(); ++x, p += 4) {
      ++out.red[p[0]];
      ++out.green[p[1]];
      ++out.blue[p[2]];
    }
  }
  out.pixels = static_cast<uint64_t>(rgba.width()) * static_cast<uint64_t>(rgba.height());
  return out;
}

HistogramBins HistogramView::scaleChannel(const HistogramCounts& counts, uint64_t pixels) {
  const uint64_t largest = *std::max_element(counts.begin(), counts.end());
  const double peak = scalePeak(static_cast<double>(largest), pixels);
  HistogramBins bins{};
  for (size_t i = 0; i < 256; ++i) bins[i] = scaleBin(static_cast<double>(counts[i]), peak);
  return bins;
}

HistogramBins HistogramView::luminanceBins(const ChannelCounts& c) {
  std::array<double, 256> values{};
  for (size_t i = 0; i < 256; ++i) {
    const double y = 0.212655 * toLinear(static_cast<double>(c.red[i])) +
                     0.715158 * toLinear(static_cast<double>(c.green[i])) +
                     0.072187 * toLinear(static_cast<double>(c.blue[i]));
    const double s = y <= 0.0031308 ? 12.92 * y : 1.055 * std::pow(y, 1 / 2.4) - 0.055;
    values[i] = std::trunc(s * 255 + 0.5);
  }
  const double peak = scalePeak(*std::max_element(values.begin(), values.end()), c.pixels);
  HistogramBins bins{};
  for (size_t i = 0; i < 256; ++i) bins[i] = scaleBin(values[i], peak);
  return bins;
}

BezierPath HistogramView::channelPath(const HistogramBins& bins, QRectF frame) {
  const qreal y = frame.y(), w = frame.width(), h = frame.height();
  std::vector<QPointF> points(256);
  for (int i = 0; i < 256; ++i) points[i] = QPointF(i / 256.0 * w, bins[i] / 256.0 * h + y);
  BezierPath path;
  path.moveToPoint(QPointF(0, y));
  interpolatePointsWithHermite(path, points, 256, 0.5);
  path.lineToPoint(QPointF(w, y));
  path.lineToPoint(QPointF(0, y));
  return path;
}

void HistogramView::drawChannelBins(const HistogramBins& bins, Layer which, QRectF frame) {
  CurveLayer& l = layers_[which];
  l.path = channelPath(bins, frame);
  l.path.setLineJoinStyle(LineJoin::Round);
  l.baseline = BezierPath();
  l.baseline.moveToPoint(QPointF(0, frame.y()));
  l.baseline.lineToPoint(QPointF(frame.width(), frame.y()));
  l.baseline.setLineJoinStyle(LineJoin::Round);
  l.hasPath = true;
}

void HistogramView::setImage(const QImage& image, bool useRGB) {
  if (image.isNull()) return;
  setCounts(countChannels(image), useRGB);
}

void HistogramView::setCounts(const ChannelCounts& counts, bool useRGB) {
  KV_ASSERT_GUI_THREAD();
  if (counts.pixels == 0) return;
  const qreal w = width(), h = height();
  if (useRGB) {
    layers_[Luminance].hidden = true;
    const HistogramCounts* channels[] = {&counts.red, &counts.green, &counts.blue};
    for (int i = 0; i < 3; ++i) {
      layers_[i].hidden = false;
      drawChannelBins(scaleChannel(*channels[i], counts.pixels), static_cast<Layer>(i), QRectF(0, 0, w - 2, h - 2));
    }
  } else {
    for (int i = 0; i < 3; ++i) layers_[i].hidden = true;
    layers_[Luminance].hidden = false;
    drawChannelBins(luminanceBins(counts), Luminance, QRectF(0, 0, w, h - 2));
  }
  update();
}

QImage HistogramView::scaledCopy(const QImage& image, float factor) {
  const int w = static_cast<int>(static_cast<float>(image.width()) * factor);
  const int h = static_cast<int>(static_cast<float>(image.height()) * factor);
  if (image.isNull() || w <= 0 || h <= 0) return {};
  QImage out(w, h, QImage::Format_RGB32);
  if (out.isNull()) return {};
  out.setColorSpace(image.colorSpace());
  QPainter p(&out);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(QRectF(0, 0, w, h), image);
  return out;
}

void HistogramView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  GraphicsContext ctx(p, height());
  for (CurveLayer& l : layers_) {
    if (!l.hasPath || l.hidden) continue;
    ctx.setFillColor(colorWithAlphaComponent(l.colour, 0.5));
    ctx.fill(l.path);
    ctx.setStrokeColor(l.colour);
    ctx.stroke(l.path);
    BezierPath base = l.baseline;
    base.setLineWidth(1);
    ctx.setStrokeColor(NamedColor::grayColor());
    ctx.stroke(base);
  }
}
