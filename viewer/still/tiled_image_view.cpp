#include "viewer/still/tiled_image_view.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "platform/gui_thread.h"

TiledImageView::TiledImageView(const QRect& frame, const QImage& image, QWidget* parent)
    : QWidget(parent), image_(image) {
  setGeometry(frame);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TiledImageView::setZoom(float zoom) {
  KV_ASSERT_GUI_THREAD();
  // A zero, negative or unbounded zoom would divide by zero when mapping exposed points back.
  if (!std::isfinite(zoom) || zoom <= 0 || zoom == zoom_) return;
  zoom_ = zoom;
  update();
}

std::vector<TiledImageView::Tile> TiledImageView::tilesForRect(QSize imageSize, const QRectF& clip) {
  std::vector<Tile> tiles;
  if (imageSize.isEmpty() || clip.isEmpty()) return tiles;
  const int firstRow = std::max(0, static_cast<int>(std::floor(clip.top() / kTileSize)));
  const int lastRow = static_cast<int>(std::floor(clip.bottom() / kTileSize));
  const int firstCol = std::max(0, static_cast<int>(std::floor(clip.left() / kTileSize)));
  const int lastCol = static_cast<int>(std::floor(clip.right() / kTileSize));
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int col = firstCol; col <= lastCol; ++col) {
      const int x = col * kTileSize, y = row * kTileSize;
      const int w = std::min(kTileSize, imageSize.width() - x);
      const int h = std::min(kTileSize, imageSize.height() - y);
      if (w <= 0 || h <= 0) continue;  // beyond the image's right or top edge
      if (!QRectF(x, y, w, h).intersects(clip)) continue;  // cut back, it no longer reaches the clip
      // y-up in the image: the tile's top edge is y + h, which is row imageHeight - (y + h).
      tiles.push_back({QRect(x, y, w, h), QRect(x, imageSize.height() - (y + h), w, h)});
    }
  }
  return tiles;
}

void TiledImageView::paintEvent(QPaintEvent* event) {
  lastTiles_.clear();
  if (image_.isNull()) return;
  // The exposed rectangle in y-up image points: Qt counts rows down from the view's top,
  // the image sits on the view's bottom edge.
  const QRectF exposed(event->rect());
  const QRectF clip(exposed.left() / zoom_, (height() - exposed.bottom()) / zoom_, exposed.width() / zoom_,
                    exposed.height() / zoom_);
  lastTiles_ = tilesForRect(image_.size(), clip);
  QPainter p(this);
  p.setClipRegion(event->region());
  for (const Tile& t : lastTiles_) {
    const QRectF target(t.rect.x() * zoom_, height() - (t.rect.y() + t.rect.height()) * zoom_,
                        t.rect.width() * zoom_, t.rect.height() * zoom_);
    p.drawImage(target, image_, QRectF(t.source));
  }
}
