#pragma once
// An image whose content is a drawing function, run whenever the image is rendered, at the
// resolution it is rendered at. The function gets a y-up context whose frame is (0, 0,
// width, height) of the image's size and the rectangle asked for (which icon images ignore).
// Copies share one image: what the function captured lives as long as any copy does.
#include <QIcon>
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
  // Runs the handler into a context (the image's frame in that context's space).
  void drawInContext(GraphicsContext& ctx) const;

  QIcon toIcon() const;

 private:
  struct Data {
    QSizeF size;
    DrawingHandler handler;
  };
  std::shared_ptr<const Data> d_;
};
