#pragma once
// The focus frames over the live picture: a transparent view laid over the live view's
// bounds. Each vendor's report replaces, removes or leaves the one overlay shown; the
// overlay stays where it was placed until the next report, whatever the view's size does.
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "viewer/liveview/af_overlay.h"

class QPainter;

class AfOverlayView : public QWidget {
  Q_OBJECT
 public:
  explicit AfOverlayView(QWidget* parent = nullptr);

  // Canon: the header of a live-view frame; null leaves the overlay.
  void showCanonAfOverlay(const EOS_LiveViewInfoStruct* header);
  // The same from the frame's bytes; a frame too short for its header leaves the overlay.
  void showCanonAfOverlay(const uint8_t* frame, size_t length);
  // Fujifilm: the shown (turned) picture's size and the display orientation; the frame
  // and focus state come from the property table.
  void showFujiAfOverlayWithLiveViewSize(QSizeF size, uint8_t orientation);
  // Sony: the frame's coordinate size, the focus rectangle read from the frame (empty:
  // ask the property table) and the orientation.
  void showSonyAfOverlay(QSizeF frameSize, const QRectF& focusRect, uint8_t orientation);
  // Nikon: the live-view record (written back when the camera reported no AF area) and
  // the live view's last frame orientation.
  void showNikonAfOverlay(uint8_t* record, size_t length, uint8_t orientation);

  // What is shown now, in this view's y-up points.
  const std::optional<AfOverlay>& shownOverlay() const { return mAfOverlayLayer; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void apply(const AfOverlayUpdate& change);
  QSizeF boundsSize() const { return QSizeF(size()); }

  std::optional<AfOverlay> mAfOverlayLayer;
};

// Strokes the overlay's boxes, clipped to the picture, on a painter whose area is
// `height` points high (the overlay's y-up origin at its bottom-left).
void afPaintOverlay(QPainter& painter, const AfOverlay& overlay, qreal height);
