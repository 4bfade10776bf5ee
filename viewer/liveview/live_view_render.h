#pragma once
// The worker's half of one live frame: the picture decoded straight into RGB32, the
// warning filters, the Canon zoom crop and the display orientation, with the settings
// the GUI thread took when the frame came in. Touches nothing but its arguments and, on
// the calling thread, the buffers it keeps for the next frames (two pictures and two
// histogram renderings of the last size, freed with the thread).
#include <QImage>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "viewer/liveview/liveview_filters.h"

// Largest live picture decoded: a 6000 x 4000 frame (96 MB of pixels).
inline constexpr qint64 kLiveViewMaxPixels = 6000LL * 4000LL;
// The size of the picture handed to the live histogram.
inline constexpr int kLiveViewHistogramSide = 512;

struct LiveViewRenderSettings {
  std::vector<LiveViewFilterSpec> filters;  // in order; empty: none on
  bool canonCrop = false;                   // a Canon camera zoomed to 200 %
  uint8_t orientation = 1;                  // the display orientation O
  bool histogram = false;                   // make the 512 x 512 rendering
};

struct LiveViewRendered {
  QImage image;      // null: not decodable, or a filter not registered
  QImage histogram;  // 512 x 512, when asked for and the image is there
  bool cancelled = false;
};

// The centre half of a picture (origin at a quarter of each side).
QRect liveViewCanonCropRect(QSize picture);

// The 512 x 512 rendering of the shown picture for the live histogram: each pixel the
// source pixel nearest its centre, the very pixels Qt's fast scaling picks, made without
// its general transform.
QImage liveViewHistogramRendering(const QImage& shown);

// The filter chain is the caller's, kept across frames.
LiveViewRendered renderLiveViewPicture(std::span<const uint8_t> picture, const LiveViewRenderSettings& settings,
                                       LiveViewFilterChain& chain, const std::atomic<bool>& cancel);
