#pragma once
// Tonal histogram of an image: three translucent red, green and blue curves, or one grey
// luminance curve, each over a grey baseline. Counts are kept apart from drawing so that
// a caller can count off the GUI thread.
#include <QColor>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>

#include "platform/graphics/bezier_path.h"

using HistogramCounts = std::array<uint64_t, 256>;
using HistogramBins = std::array<uint8_t, 256>;

struct ChannelCounts {
  HistogramCounts red{}, green{}, blue{};
  uint64_t pixels = 0;
};

class HistogramView : public QWidget {
  Q_OBJECT
 public:
  // One curve: its area path, its baseline and whether it shows.
  struct CurveLayer {
    QColor colour;
    BezierPath path;
    BezierPath baseline;
    bool hasPath = false;
    bool hidden = false;
  };
  enum Layer { Red, Green, Blue, Luminance };

  explicit HistogramView(QWidget* parent = nullptr);

  // Back to an empty histogram: no curve until the next image.
  void clear();
  // Counts and draws the image (a null image draws nothing).
  void setImage(const QImage& image, bool useRGB);
  // Draws counts made elsewhere.
  void setCounts(const ChannelCounts& counts, bool useRGB);

  const CurveLayer& layer(Layer which) const { return layers_[which]; }

  // The red, green and blue counts of every pixel, whatever the image's pixel layout.
  static ChannelCounts countChannels(const QImage& image);
  // Counts scaled to 0-255 against the channel's peak, the peak capped at pixels / 30.
  static HistogramBins scaleChannel(const HistogramCounts& counts, uint64_t pixels);
  // The three channels' counts combined bin by bin as sRGB values into luminance, scaled.
  static HistogramBins luminanceBins(const ChannelCounts& counts);
  // The area under a Hermite curve through the bins, in y-up points of the frame.
  static BezierPath channelPath(const HistogramBins& bins, QRectF frame);
  // A copy scaled by a factor (sizes truncated), 32-bit with the alpha byte skipped; a null
  // image when either side comes out empty.
  static QImage scaledCopy(const QImage& image, float factor);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void initializeLayers();
  void drawChannelBins(const HistogramBins& bins, Layer which, QRectF frame);

  std::array<CurveLayer, 4> layers_;
};
