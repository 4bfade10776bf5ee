#include "platform/graphics/stylekit_image.h"

#include <QDataStream>
#include <QIODevice>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <atomic>
#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image_cache.h"

namespace {

class StyleKitIconEngine : public QIconEngine {
 public:
  explicit StyleKitIconEngine(StyleKitImage image) : image_(std::move(image)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    image_.draw(*painter, fitted(rect.size(), rect.topLeft()));
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1);
  }
  // `size` is in device pixels already; `scale` is the ratio to set on the result.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
      QPainter p(&img);
      image_.draw(p, fitted(img.size(), QPoint(0, 0)));
    }
    img.setDevicePixelRatio(scale);
    return QPixmap::fromImage(img);
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    return fitted(size, QPoint(0, 0)).size().toSize();
  }
  QIconEngine* clone() const override { return new StyleKitIconEngine(image_); }
  QString key() const override { return QStringLiteral("StyleKitImage"); }

 private:
  // The image's aspect kept, centred in the space offered.
  QRectF fitted(QSize space, QPoint origin) const {
    const QSizeF s = image_.size();
    if (s.isEmpty()) return QRectF(origin, QSizeF(0, 0));
    const qreal k = std::min(space.width() / s.width(), space.height() / s.height());
    const QSizeF out = s * k;
    return {origin.x() + (space.width() - out.width()) / 2, origin.y() + (space.height() - out.height()) / 2,
            out.width(), out.height()};
  }
  StyleKitImage image_;
};

}  // namespace

StyleKitImage StyleKitImage::imageWithSize(QSizeF size, DrawingHandler handler) {
  return imageWithSize(size, std::move(handler), QByteArray());
}

StyleKitImage StyleKitImage::imageWithSize(QSizeF size, DrawingHandler handler, QByteArray drawingKey) {
  static std::atomic<quint64> serial{0};
  QByteArray key;
  if (drawingKey.isEmpty()) {
    const quint64 n = ++serial;
    key = QByteArray("#") + QByteArray::number(n);
  } else {
    key = QByteArray("K") + drawingKey;
  }
  StyleKitImage img;
  img.d_ = std::make_shared<const Data>(Data{size, std::move(handler), std::move(key)});
  return img;
}

QByteArray StyleKitImage::renderKey(char mode, QSize pixels, qreal ratio) const {
  QByteArray key;
  QDataStream out(&key, QIODevice::WriteOnly);
  out.setFloatingPointPrecision(QDataStream::DoublePrecision);
  out << static_cast<qint8>(mode) << d_->size.width() << d_->size.height() << pixels << ratio;
  return key + d_->cacheKey;
}

QSizeF StyleKitImage::size() const { return d_ ? d_->size : QSizeF(); }

void StyleKitImage::drawInContext(GraphicsContext& ctx) const {
  if (!d_ || !d_->handler) return;
  const QRectF frame(0, 0, d_->size.width(), d_->size.height());
  d_->handler(ctx, frame);
}

QImage StyleKitImage::render(qreal dpr) const {
  if (!d_ || !(dpr > 0)) return {};
  const QSize px(std::max(0, qCeil(d_->size.width() * dpr - 1e-9)),
                 std::max(0, qCeil(d_->size.height() * dpr - 1e-9)));
  return stylekit_image_cache::lookupOrRender(renderKey('R', px, dpr), [&] { return renderUncached(dpr); });
}

QImage StyleKitImage::renderUncached(qreal dpr) const {
  const QSize px(std::max(0, qCeil(d_->size.width() * dpr - 1e-9)),
                 std::max(0, qCeil(d_->size.height() * dpr - 1e-9)));
  QImage img(px, QImage::Format_ARGB32_Premultiplied);
  if (img.isNull()) return img;
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::transparent);
  QPainter p(&img);
  GraphicsContext ctx(p, d_->size.height());
  drawInContext(ctx);
  return img;
}

QImage StyleKitImage::renderToPixelSize(QSize pixels) const {
  if (!d_ || pixels.isEmpty() || d_->size.isEmpty()) return {};
  return stylekit_image_cache::lookupOrRender(renderKey('P', pixels, 1),
                                              [&] { return renderToPixelSizeUncached(pixels); });
}

QImage StyleKitImage::renderToPixelSizeUncached(QSize pixels) const {
  QImage img(pixels, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.scale(pixels.width() / d_->size.width(), pixels.height() / d_->size.height());
  GraphicsContext ctx(p, d_->size.height());
  drawInContext(ctx);
  return img;
}

void StyleKitImage::draw(QPainter& painter, const QRectF& target) const {
  if (!d_ || target.isEmpty()) return;
  const QTransform dt = painter.deviceTransform();
  const qreal sx = std::hypot(dt.m11(), dt.m12()), sy = std::hypot(dt.m21(), dt.m22());
  const QSize px(std::max(1, qRound(target.width() * sx)), std::max(1, qRound(target.height() * sy)));
  const QImage img = renderToPixelSize(px);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, img);
  painter.restore();
}

QIcon StyleKitImage::toIcon() const { return QIcon(new StyleKitIconEngine(*this)); }
