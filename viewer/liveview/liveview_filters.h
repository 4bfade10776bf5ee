#pragma once
// The live picture's warning filters, looked up by name and run in place on RGB32 pixels:
// "HighlightKernel" and "ShadowKernel" paint clipped tones in their colour,
// "FocusPeakingKernel" paints sharp edges. Each takes a colour and a threshold (0..1).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LiveViewFilterColor {
  double red, green, blue, alpha;
};
struct LiveViewFilterSpec {
  std::string name;
  LiveViewFilterColor color;
  double threshold;
};
struct LiveViewFilterDefault {
  const char* defaultsKey;
  LiveViewFilterSpec spec;
};

// In the order they run: "Highlights", "Shadows", "FocusPeaking".
const std::vector<LiveViewFilterDefault>& liveViewFilterDefaults();
bool liveViewFilterRegistered(std::string_view name);

class LiveViewFilterChain {
 public:
  // Runs the filters in order, each on the output of the one before; false (pixels left
  // as the filters before it made them) at a name that is not registered.
  bool apply(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels, int width, int height,
             ptrdiff_t strideBytes);

 private:
  std::vector<uint8_t> luma_;  // kept between frames: one allocation for a stream
};
