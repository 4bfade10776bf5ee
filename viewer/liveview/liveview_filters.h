#pragma once
// The live view's warning filters ("HighlightKernel", "ShadowKernel",
// "FocusPeakingKernel"): CPU kernels looked up by those names and run over 0xffRRGGBB
// pixels (QImage::Format_RGB32 layout) in place. No Qt here.
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

// "Highlights" -> "HighlightKernel" (1, 0, 0, 1) 0.99; "Shadows" -> "ShadowKernel"
// (0, 0, 1, 1) 0.001; "FocusPeaking" -> "FocusPeakingKernel" (1, 0, 0, 1) 0.1, in this order.
const std::vector<LiveViewFilterDefault>& liveViewFilterDefaults();

bool liveViewFilterRegistered(std::string_view name);

// What each filter marks, in the colour it is given (alpha 1 replaces the pixel, less
// blends the colour over it; the pixel's top byte is kept):
// - "HighlightKernel": any of red, green, blue >= threshold x 255;
// - "ShadowKernel": all three <= threshold x 255;
// - "FocusPeakingKernel": the Sobel gradient magnitude of the luma (Rec. 709 weights;
//   3 x 3, edge pixels repeated at the border), scaled so that a black-to-white step is
//   1, above threshold.
// Each filter sees the output of the one before it, as in the chain of image filters
// these stand for: focus peaking after the highlight warning takes the gradient of the
// painted picture, so it also outlines the painted areas.
class LiveViewFilterChain {
 public:
  // Runs the filters in order, fused, in place. False (and the pixels left unspecified)
  // when a name is not registered, or for a null buffer, a negative size, a stride under
  // width x 4 or not a multiple of 4: the caller then clears the view. Allocates nothing
  // per frame once warmed up to a size.
  bool apply(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels, int width,
             int height, ptrdiff_t strideBytes);

  // One filter of a chain, its parameters in the integers the kernels compare. `limit`:
  // the least brightest channel a highlight has, the largest a shadow has, or the sum
  // gx² + gy² that peaking must exceed.
  struct Step {
    enum Kind { Highlight, Shadow, Peaking } kind;
    int32_t limit;
    uint32_t red, green, blue, alpha;  // 0..255
  };

 private:
  void runPeakingPass(size_t passStart, size_t peak, size_t passEnd, uint32_t* pixels, int width,
                      int height, ptrdiff_t stride);

  std::vector<Step> steps_;
  std::vector<uint32_t> windowPixels_;  // 3 rows: the peaking filter's input, rolling
  std::vector<int16_t> windowLuma_;     // 3 rows of their luma
};

// The plain reference: each filter over the whole picture in turn, copies where a filter
// reads its neighbours. Same results as the chain, to the byte.
bool liveViewFiltersReference(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels,
                              int width, int height, ptrdiff_t strideBytes);

// The step a spec becomes; false for a name that is not registered.
bool liveViewFilterStep(const LiveViewFilterSpec& spec, LiveViewFilterChain::Step& step);
