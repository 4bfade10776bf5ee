#pragma once
// An image whose content is a drawing function, run whenever the image is rendered, at the
// resolution it is rendered at. The function gets a y-up context whose frame is (0, 0,
// width, height) of the image's size and the rectangle asked for (which icon images ignore).
// Copies share one image: what the function captured lives as long as any copy does.
// Renders are cached (stylekit_image_cache.h) by the drawing's key, the image's size, the
// pixel size and the ratio: an image with a key shares its renders with every image of the
// same key; one without is cached as itself. The drawing must therefore give the same
// pixels every time it runs, as an icon's draw method does.
#include <QIcon>
#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <functional>
#include <memory>

class GraphicsContext;
class QPainter;

class StyleKitImage {
 public:
  using DrawingHandler = std::function<bool(GraphicsContext&, QRectF)>;

  StyleKitImage() = default;
  // The image of `size` points drawn by `handler` (the platform's imageWithSize:flipped:NO
  // drawingHandler:).
  static StyleKitImage imageWithSize(QSizeF size, DrawingHandler handler);
  // The same, with the key of the drawing (stylekit_image_key.h); an empty key is none.
  static StyleKitImage imageWithSize(QSizeF size, DrawingHandler handler, QByteArray drawingKey);

  bool isNull() const { return !d_; }
  QSizeF size() const;
  // True when both are the same image, not merely alike.
  bool isSameImage(const StyleKitImage& other) const { return d_ == other.d_; }

  // The image at a device pixel ratio: ceil(size * ratio) pixels, the ratio set on the image.
  QImage render(qreal devicePixelRatio = 1) const;
  // The image stretched to a pixel size.
  QImage renderToPixelSize(QSize pixels) const;
  // Draws the image scaled into `target` of the painter, rendered at the painter's
  // resolution and then fitted, as a bitmap of the image would be.
  void draw(QPainter& painter, const QRectF& target) const;
  // Runs the handler into a context (the image's frame in that context's space); not cached.
  void drawInContext(GraphicsContext& ctx) const;

  QIcon toIcon() const;

 private:
  struct Data {
    QSizeF size;
    DrawingHandler handler;
    QByteArray cacheKey;  // the drawing's key, or this image's serial number
  };
  QByteArray renderKey(char mode, QSize pixels, qreal ratio) const;
  QImage renderUncached(qreal devicePixelRatio) const;
  QImage renderToPixelSizeUncached(QSize pixels) const;
  std::shared_ptr<const Data> d_;
};
