#pragma once
// Draws one image in 512 x 512 tiles, only the tiles that cover the exposed part, at a zoom
// (1 shows one image pixel per point). Tiles are counted y-up from the image's bottom-left,
// which sits at the view's bottom-left corner; the last column and the top row are cut at
// the image's right and top edges.
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QWidget>

#include <vector>

class TiledImageView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kTileSize = 512;

  // One tile: where it lies (y-up image points) and the crop of the image it shows (pixels,
  // rows counted from the image's top, as QImage counts them).
  struct Tile {
    QRect rect;
    QRect source;
  };

  // initWithFrame:imageRef: (frame in the parent's widget coordinates).
  TiledImageView(const QRect& frame, const QImage& image, QWidget* parent = nullptr);

  void setZoom(float zoom);
  float zoom() const { return zoom_; }
  QImage image() const { return image_; }
  // The tiles the last paint drew (tests).
  const std::vector<Tile>& lastTiles() const { return lastTiles_; }

  // The tiles covering `clip` (y-up image points) of an image of `imageSize` pixels.
  static std::vector<Tile> tilesForRect(QSize imageSize, const QRectF& clip);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  float zoom_ = 1.0f;
  std::vector<Tile> lastTiles_;
};
