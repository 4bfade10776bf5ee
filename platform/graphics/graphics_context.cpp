#include "platform/graphics/graphics_context.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPaintDevice>
#include <cmath>
#include <cstring>

#include "platform/graphics/blur.h"

namespace {

// Layers larger than this (device pixels a side) are cut down: icons are far smaller.
constexpr int kMaxLayerSide = 8192;

bool nearInteger(qreal v) { return std::abs(v - std::round(v)) < 1e-6; }

bool pixelAligned(const QRectF& r) {
  return nearInteger(r.left()) && nearInteger(r.top()) && nearInteger(r.right()) &&
         nearInteger(r.bottom());
}

// Cleared with memset: layers are small, and QImage::fill hands large ones to a thread pool.
QImage transparentImage(QSize size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  if (!img.isNull()) std::memset(img.bits(), 0, static_cast<size_t>(img.sizeInBytes()));
  return img;
}

// The alpha of each pixel as a float 0..1.
std::vector<float> alphaOf(const QImage& img) {
  const int w = img.width(), h = img.height();
  std::vector<float> a(static_cast<size_t>(w) * h);
  float* out = a.data();
  for (int y = 0; y < h; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) *out++ = qAlpha(line[x]) * (1.0f / 255.0f);
  }
  return a;
}

// A premultiplied image of one colour whose alpha at each pixel is alpha(x, y).
template <typename AlphaAt>
QImage colourise(QSize size, const QColor& c, AlphaAt alphaAt) {
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  const float r = std::clamp(c.redF(), 0.0f, 1.0f) * 255, g = std::clamp(c.greenF(), 0.0f, 1.0f) * 255,
              b = std::clamp(c.blueF(), 0.0f, 1.0f) * 255;
  const int w = size.width(), h = size.height();
  for (int y = 0; y < h; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const float a = std::clamp(alphaAt(x, y), 0.0f, 1.0f);
      if (a <= 0) {
        line[x] = 0;
        continue;
      }
      line[x] = qRgba(static_cast<int>(r * a + 0.5f), static_cast<int>(g * a + 0.5f),
                      static_cast<int>(b * a + 0.5f), static_cast<int>(a * 255 + 0.5f));
    }
  }
  return out;
}

}  // namespace

GraphicsContext::GraphicsContext(QPainter& painter, qreal height) : painter_(painter) {
  painter_.save();
  baseToDevice_ = QTransform(1, 0, 0, -1, 0, height) * painter_.deviceTransform();
  QPaintDevice* dev = painter_.device();
  if (dev) {
    const int type = dev->devType();
    if (type == QInternal::Image || type == QInternal::Pixmap) {
      canvas_ = QRect(0, 0, dev->width(), dev->height());
    } else {
      // A widget painted as a child of another lands at an offset in the parent's device:
      // its own bounds go through the device matrix (the transform without the world part).
      const QTransform deviceMatrix = painter_.worldTransform().inverted() * painter_.deviceTransform();
      canvas_ = deviceMatrix.mapRect(QRectF(0, 0, dev->width(), dev->height())).toAlignedRect();
    }
  }
  stack_.emplace_back();
}

GraphicsContext::~GraphicsContext() { painter_.restore(); }

void GraphicsContext::saveGraphicsState() { stack_.push_back(stack_.back()); }

void GraphicsContext::restoreGraphicsState() {
  // An unbalanced restore leaves the outermost state in place.
  if (stack_.size() > 1) stack_.pop_back();
}

void GraphicsContext::setFillColor(const QColor& c) { state().fill = c; }
void GraphicsContext::setStrokeColor(const QColor& c) { state().stroke = c; }
void GraphicsContext::setShadow(const Shadow& s) { state().shadow = s; }
void GraphicsContext::clearShadow() { state().shadow.reset(); }
void GraphicsContext::setAlpha(qreal a) { state().alpha = std::clamp(a, 0.0, 1.0); }

void GraphicsContext::translate(qreal dx, qreal dy) { state().ctm = QTransform::fromTranslate(dx, dy) * state().ctm; }
void GraphicsContext::scale(qreal sx, qreal sy) { state().ctm = QTransform::fromScale(sx, sy) * state().ctm; }
void GraphicsContext::rotate(qreal degrees) {
  QTransform r;
  r.rotate(degrees);
  state().ctm = r * state().ctm;
}

QTransform GraphicsContext::userToDevice() const { return state().ctm * baseToDevice_; }

void GraphicsContext::clipToRect(const QRectF& rect) {
  const QTransform t = userToDevice();
  State& s = state();
  if (t.type() <= QTransform::TxScale) {
    QRectF dev = t.mapRect(rect.normalized());
    if (s.clip && !s.clipRect) {
      QPainterPath p;
      p.addRect(dev);
      s.clip = s.clip->intersected(p);
      return;
    }
    if (s.clipRect) dev = s.clipRect->intersected(dev);
    if (dev.isEmpty()) dev = QRectF(dev.topLeft(), QSizeF(0, 0));
    s.clipRect = dev;
    QPainterPath p;
    p.addRect(dev);
    s.clip = p;
    return;
  }
  clipToPath(BezierPath::bezierPathWithRect(rect));
}

void GraphicsContext::clipToPath(const BezierPath& path) {
  QPainterPath dev = userToDevice().map(path.qpath());
  dev.setFillRule(Qt::WindingFill);
  State& s = state();
  s.clip = s.clip ? s.clip->intersected(dev) : dev;
  s.clip->setFillRule(Qt::WindingFill);
  s.clipRect.reset();
}

void GraphicsContext::fill(const BezierPath& path) { fillWithBrush(path.qpath(), QBrush(state().fill)); }

void GraphicsContext::stroke(const BezierPath& path) {
  if (path.lineWidth() <= 0) return;
  fillWithBrush(path.strokeOutline(), QBrush(state().stroke));
}

void GraphicsContext::fillRect(const QRectF& rect) { fill(BezierPath::bezierPathWithRect(rect)); }

void GraphicsContext::fillWithBrush(const QPainterPath& path, const QBrush& brush) {
  if (path.isEmpty() || state().alpha <= 0) return;
  QPainterPath p = path;
  p.setFillRule(Qt::WindingFill);
  paint(p, brush);
}

void GraphicsContext::drawLinearGradient(const BezierPath& path, const QColor& start,
                                         const QColor& end, qreal angleDegrees) {
  const QRectF b = path.bounds();
  const qreal rad = angleDegrees * M_PI / 180.0;
  const QPointF d(std::cos(rad), std::sin(rad));
  // Half the extent of the box along the gradient's direction: the box's corners lie on
  // the start and end lines.
  const qreal half = (std::abs(b.width() * d.x()) + std::abs(b.height() * d.y())) / 2;
  QLinearGradient g(b.center() - d * half, b.center() + d * half);
  g.setColorAt(0, start);
  g.setColorAt(1, end);
  fillWithBrush(path.qpath(), QBrush(g));
}

void GraphicsContext::drawNested(const QRectF& box,
                                 const std::function<void(GraphicsContext&, QRectF)>& draw) {
  saveGraphicsState();
  clipToRect(box);
  translate(box.x(), box.y());
  draw(*this, QRectF(0, 0, box.width(), box.height()));
  restoreGraphicsState();
}

QRect GraphicsContext::clipDeviceBounds() const {
  QRect r = canvas_;
  if (state().clip) r = r.intersected(state().clip->boundingRect().intersected(QRectF(r)).toAlignedRect());
  return r;
}

QImage GraphicsContext::clipMask(const QRect& region) const {
  QImage m = transparentImage(region.size());
  QPainter p(&m);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(-region.topLeft());
  p.fillPath(*state().clip, Qt::white);
  return m;
}

void GraphicsContext::paint(const QPainterPath& userPath, const QBrush& brush) {
  const State& s = state();
  const bool shadow = s.shadow && s.shadow->paintsSomething();
  const bool simpleClip = !s.clip || (s.clipRect && pixelAligned(*s.clipRect));
  if (!shadow && simpleClip)
    paintDirect(userPath, brush);
  else
    paintLayered(userPath, brush);
}

void GraphicsContext::paintDirect(const QPainterPath& userPath, const QBrush& brush) {
  const State& s = state();
  const QTransform toLogical = painter_.deviceTransform().inverted() * painter_.worldTransform();
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setOpacity(painter_.opacity() * s.alpha);
  if (s.clipRect) {
    painter_.setWorldTransform(toLogical);
    painter_.setClipRect(*s.clipRect, Qt::IntersectClip);
  }
  painter_.setWorldTransform(userToDevice() * toLogical);
  painter_.setPen(Qt::NoPen);
  painter_.fillPath(userPath, brush);
  painter_.restore();
}

void GraphicsContext::paintLayered(const QPainterPath& userPath, const QBrush& brush) {
  const State& s = state();
  const QTransform t = userToDevice();
  const QRectF shape = t.map(userPath).boundingRect();
  const bool shadow = s.shadow && s.shadow->paintsSomething();

  QPointF off;
  double sigma = 0;
  int margin = 0;
  if (shadow) {
    off = QPointF(s.shadow->shadowOffset().width() * deviceScaleX(),
                  -s.shadow->shadowOffset().height() * deviceScaleY());
    sigma = s.shadow->shadowBlurRadius() / 2.0 * (deviceScaleX() + deviceScaleY()) / 2.0;
    margin = gaussianRadius(sigma) + 1;
  }
  // Bounds are cut to what the clip can show before they become whole pixels: a path far
  // outside (coordinates from a device) must not overflow the integer rectangle.
  const QRect clip = clipDeviceBounds();
  const double reach = margin + 2 + std::abs(off.x()) + std::abs(off.y());
  const QRectF limit = QRectF(clip).adjusted(-reach, -reach, reach, reach);
  auto aligned = [&](const QRectF& r) { return r.intersected(limit).toAlignedRect(); };
  QRect region = aligned(shape).adjusted(-1, -1, 1, 1);
  if (shadow) region |= aligned(shape.translated(off)).adjusted(-margin, -margin, margin, margin);
  region &= clip;
  if (region.isEmpty() || region.width() > kMaxLayerSide || region.height() > kMaxLayerSide) {
    region &= QRect(clipDeviceBounds().topLeft(), QSize(kMaxLayerSide, kMaxLayerSide));
    if (region.isEmpty()) return;
  }

  QImage layer = transparentImage(region.size());
  {
    QPainter lp(&layer);
    lp.setRenderHint(QPainter::Antialiasing);
    lp.setTransform(t * QTransform::fromTranslate(-region.x(), -region.y()));
    lp.fillPath(userPath, brush);
  }

  if (shadow) {
    // The shadow's source: the same fill moved by the offset, painted over a margin so that
    // parts of the shape beyond the region still blur into it.
    const QRect src = region.adjusted(-margin, -margin, margin, margin);
    QImage mask = transparentImage(src.size());
    {
      QPainter mp(&mask);
      mp.setRenderHint(QPainter::Antialiasing);
      mp.setTransform(t * QTransform::fromTranslate(off.x() - src.x(), off.y() - src.y()));
      mp.fillPath(userPath, brush);
    }
    std::vector<float> a = alphaOf(mask);
    gaussianBlur(a, src.width(), src.height(), sigma);
    const QColor sc = s.shadow->shadowColor();
    const float sa = sc.alphaF();
    const int w = src.width();
    QImage composed = colourise(region.size(), sc, [&](int x, int y) {
      return a[static_cast<size_t>(y + margin) * w + x + margin] * sa;
    });
    QPainter cp(&composed);
    cp.drawImage(0, 0, layer);
    cp.end();
    layer = composed;
  }

  if (s.clip && !(s.clipRect && pixelAligned(*s.clipRect))) {
    QPainter cp(&layer);
    cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    cp.drawImage(0, 0, clipMask(region));
  }
  composite(layer, region.topLeft(), s.alpha);
}

void GraphicsContext::composite(const QImage& layer, QPoint devicePos, qreal opacity) {
  const QTransform toLogical = painter_.deviceTransform().inverted() * painter_.worldTransform();
  painter_.save();
  painter_.setWorldTransform(toLogical);
  if (state().clipRect && pixelAligned(*state().clipRect)) painter_.setClipRect(*state().clipRect, Qt::IntersectClip);
  painter_.setOpacity(painter_.opacity() * opacity);
  painter_.drawImage(QPointF(devicePos), layer);
  painter_.restore();
}

void GraphicsContext::drawInnerShadow(const BezierPath& path, const Shadow& sh) {
  if (path.isEmpty()) return;
  saveGraphicsState();
  clipToRect(path.bounds());
  const QTransform t = userToDevice();
  QPainterPath dev = t.map(path.qpath());
  dev.setFillRule(Qt::WindingFill);
  const QRect clip = clipDeviceBounds();
  const QRect region = dev.boundingRect().intersected(QRectF(clip)).toAlignedRect() & clip;
  if (region.isEmpty()) {
    restoreGraphicsState();
    return;
  }
  const QPointF off(sh.shadowOffset().width() * deviceScaleX(), -sh.shadowOffset().height() * deviceScaleY());
  const double sigma = sh.shadowBlurRadius() / 2.0 * (deviceScaleX() + deviceScaleY()) / 2.0;
  const int margin = gaussianRadius(sigma) + 1;

  QImage cover = transparentImage(region.size());
  {
    QPainter p(&cover);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-region.topLeft());
    p.fillPath(dev, Qt::white);
  }
  const QRect src = region.adjusted(-margin, -margin, margin, margin);
  QImage moved = transparentImage(src.size());
  {
    QPainter p(&moved);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(off - src.topLeft());
    p.fillPath(dev, Qt::white);
  }
  const std::vector<float> c = alphaOf(cover);
  std::vector<float> b = alphaOf(moved);
  gaussianBlur(b, src.width(), src.height(), sigma);
  const int w = region.width(), sw = src.width();
  // The shape keeps only what its own blurred, shifted copy leaves uncovered.
  QImage band = colourise(region.size(), sh.shadowColor(), [&](int x, int y) {
    return c[static_cast<size_t>(y) * w + x] * (1.0f - b[static_cast<size_t>(y + margin) * sw + x + margin]);
  });
  if (state().clip && !(state().clipRect && pixelAligned(*state().clipRect))) {
    QPainter cp(&band);
    cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    cp.drawImage(0, 0, clipMask(region));
  }
  composite(band, region.topLeft(), state().alpha * sh.shadowColor().alphaF());
  restoreGraphicsState();
}
