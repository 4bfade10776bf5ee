#pragma once
// A view that shows one StyleKitImage scaled to fit its bounds, aspect kept, centred.
#include <QWidget>

#include "platform/graphics/stylekit_image.h"

class StyleKitImageView : public QWidget {
  Q_OBJECT
 public:
  explicit StyleKitImageView(QWidget* parent = nullptr);
  void setImage(const StyleKitImage& image);
  StyleKitImage image() const { return image_; }
  QSize sizeHint() const override;
  // Where the image lands in the view's bounds.
  QRectF imageRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  StyleKitImage image_;
};
