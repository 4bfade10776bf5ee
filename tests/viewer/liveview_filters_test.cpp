// The live view's warning filters on small pictures whose marked pixels are known, and the
// fused chain against the plain reference on random pictures of odd sizes and strides.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/defaults_keys.h"
#include "viewer/liveview/liveview_filters.h"
#include "viewer/liveview/liveview_filters_rows.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }
uint32_t grey(uint32_t v) { return rgb(v, v, v); }

LiveViewFilterSpec spec(const char* name, double threshold, LiveViewFilterColor c = {1, 0, 0, 1}) {
  return {name, c, threshold};
}

const LiveViewFilterSpec& defaultSpec(int i) { return liveViewFilterDefaults()[i].spec; }
const LiveViewFilterSpec& highlights() { return defaultSpec(0); }
const LiveViewFilterSpec& shadows() { return defaultSpec(1); }
const LiveViewFilterSpec& peaking() { return defaultSpec(2); }

// A picture of `rows`, each a string of pixel values, run through `filters`.
std::vector<uint32_t> run(const std::vector<LiveViewFilterSpec>& filters, std::vector<uint32_t> pixels, int width) {
  LiveViewFilterChain chain;
  int height = static_cast<int>(pixels.size()) / width;
  EXPECT_TRUE(chain.apply(filters, pixels.data(), width, height, width * 4));
  return pixels;
}

// A picture given column by column value: every row the same.
std::vector<uint32_t> columns(const std::vector<uint32_t>& row, int height) {
  std::vector<uint32_t> p;
  for (int y = 0; y < height; ++y) p.insert(p.end(), row.begin(), row.end());
  return p;
}

TEST(LiveViewFilters, DefaultsAndRegisteredNames) {
  const auto& d = liveViewFilterDefaults();
  ASSERT_EQ(d.size(), 3u);
  struct Want {
    const char* key;
    const char* name;
    LiveViewFilterColor c;
    double threshold;
  };
  const Want want[] = {{kDefaultsHighlights, "HighlightKernel", {1, 0, 0, 1}, 0.99},
                       {kDefaultsShadows, "ShadowKernel", {0, 0, 1, 1}, 0.001},
                       {kDefaultsFocusPeaking, "FocusPeakingKernel", {1, 0, 0, 1}, 0.1}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(want[i].name);
    EXPECT_STREQ(d[i].defaultsKey, want[i].key);
    EXPECT_EQ(d[i].spec.name, want[i].name);
    EXPECT_EQ(d[i].spec.color.red, want[i].c.red);
    EXPECT_EQ(d[i].spec.color.green, want[i].c.green);
    EXPECT_EQ(d[i].spec.color.blue, want[i].c.blue);
    EXPECT_EQ(d[i].spec.color.alpha, want[i].c.alpha);
    EXPECT_EQ(d[i].spec.threshold, want[i].threshold);
    EXPECT_TRUE(liveViewFilterRegistered(want[i].name));
  }
  for (const char* name : {"", "highlightkernel", "HighlightKernel ", "Highlights", "CIGaussianBlur"})
    EXPECT_FALSE(liveViewFilterRegistered(name)) << '"' << name << '"';
}

// 0.99 x 255 = 252.45: 253 and up is a highlight, in any one channel; 0.001 x 255 = 0.255:
// only 0 in every channel is a shadow.
TEST(LiveViewFilters, HighlightAndShadowMarkTheirSideOfTheThreshold) {
  struct Case {
    uint32_t in, highlight, shadow;
  };
  const Case cases[] = {
      {grey(252), grey(252), grey(252)}, {grey(253), kRed, grey(253)},
      {grey(254), kRed, grey(254)},      {kWhite, kRed, kWhite},
      {rgb(0, 0, 253), kRed, rgb(0, 0, 253)}, {rgb(253, 10, 10), kRed, rgb(253, 10, 10)},
      {rgb(252, 252, 252), grey(252), grey(252)},
      {kBlack, kBlack, kBlue},           {rgb(1, 0, 0), rgb(1, 0, 0), rgb(1, 0, 0)},
      {rgb(0, 1, 0), rgb(0, 1, 0), rgb(0, 1, 0)}, {rgb(0, 0, 1), rgb(0, 0, 1), rgb(0, 0, 1)},
      // the top byte is the pixel's own
      {0x12FFFFFFu, 0x12FF0000u, 0x12FFFFFFu}, {0x34000000u, 0x34000000u, 0x340000FFu},
  };
  std::vector<uint32_t> in;
  for (const Case& c : cases) in.push_back(c.in);
  // One pixel a row, and all in one row: pixels in groups of four and one by one.
  for (int width : {1, static_cast<int>(in.size())}) {
    std::vector<uint32_t> h = run({highlights()}, in, width), s = run({shadows()}, in, width);
    for (size_t i = 0; i < in.size(); ++i) {
      EXPECT_EQ(h[i], cases[i].highlight) << std::hex << in[i] << " width " << std::dec << width;
      EXPECT_EQ(s[i], cases[i].shadow) << std::hex << in[i] << " width " << std::dec << width;
    }
  }
}

TEST(LiveViewFilters, ColourBlendsByItsAlpha) {
  struct Case {
    LiveViewFilterColor c;
    uint32_t out;
  };
  for (Case c : {Case{{1, 0, 0, 1}, kRed}, Case{{1, 0, 0, 0.5}, rgb(255, 127, 127)},
                 Case{{0, 1, 0, 0.25}, rgb(191, 255, 191)}, Case{{1, 0, 0, 0}, kWhite},
                 Case{{2, -1, 0.5, 7}, rgb(255, 0, 128)}})
    EXPECT_EQ(run({spec("HighlightKernel", 0.99, c.c)}, {kWhite}, 1)[0], c.out)
        << c.c.red << " " << c.c.green << " " << c.c.blue << " " << c.c.alpha;
}

// Which columns peaking marks, for pictures whose rows are all alike.
TEST(LiveViewFilters, PeakingMarksEdgesAndLeavesFlatAreas) {
  struct Case {
    const char* what;
    std::vector<uint32_t> row;
    int height;
    std::vector<bool> marked;
  };
  const Case cases[] = {
      {"black to white", {kBlack, kBlack, kBlack, kWhite, kWhite, kWhite}, 4, {0, 0, 1, 1, 0, 0}},
      {"flat grey", std::vector<uint32_t>(6, grey(128)), 4, std::vector<bool>(6, false)},
      {"10 levels: under 0.1", {grey(100), grey(100), grey(110), grey(110)}, 3, {0, 0, 0, 0}},
      {"30 levels: over 0.1", {grey(100), grey(100), grey(130), grey(130)}, 3, {0, 1, 1, 0}},
      {"white line at the left border", {kWhite, kBlack, kBlack, kBlack}, 3, {1, 1, 0, 0}},
      {"white line at the right border", {kBlack, kBlack, kBlack, kWhite}, 2, {0, 0, 1, 1}},
      {"one column", {kWhite}, 3, {0}},
      {"one pixel", {grey(50)}, 1, {0}},
      {"one row", {kBlack, kWhite}, 1, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int width = static_cast<int>(c.row.size());
    std::vector<uint32_t> out = run({peaking()}, columns(c.row, c.height), width);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(out[y * width + x], c.marked[x] ? kRed : c.row[x]) << x << "," << y;
  }
  // Rows too: a white top row marks rows 0 and 1, the border row repeated above itself.
  std::vector<uint32_t> in(3 * 5, kBlack);
  for (int x = 0; x < 3; ++x) in[x] = kWhite;
  std::vector<uint32_t> out = run({peaking()}, in, 3);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out[y * 3 + x], y < 2 ? kRed : in[y * 3 + x]) << x << "," << y;
}

// Each filter works on what the one before left. Left half white, right half 250: too
// small a step for peaking, until the highlight warning has painted the white red.
TEST(LiveViewFilters, EachFilterSeesTheOutputOfTheOneBefore) {
  const LiveViewFilterColor green = {0, 1, 0, 1};
  std::vector<uint32_t> in = columns({kWhite, kWhite, kWhite, grey(250), grey(250), grey(250)}, 3);
  const uint32_t g = rgb(0, 255, 0);
  std::vector<uint32_t> want = columns({kRed, kRed, g, g, grey(250), grey(250)}, 3);
  EXPECT_EQ(run({highlights(), spec("FocusPeakingKernel", 0.1, green)}, in, 6), want);
  want = columns({kRed, kRed, kRed, grey(250), grey(250), grey(250)}, 3);
  EXPECT_EQ(run({spec("FocusPeakingKernel", 0.1, green), highlights()}, in, 6), want);

  // Shadows after highlights: black painted blue stays blue, however the chain runs.
  in = {kBlack, kWhite};
  EXPECT_EQ(run({highlights(), shadows()}, in, 2), (std::vector<uint32_t>{kBlue, kRed}));
  // A shadow threshold of 1 takes every pixel; the highlight then sees pure blue (255).
  EXPECT_EQ(run({spec("ShadowKernel", 1, {0, 0, 1, 1}), highlights()}, in, 2),
            (std::vector<uint32_t>{kRed, kRed}));
  EXPECT_EQ(run({highlights(), spec("ShadowKernel", 1, {0, 0, 1, 1})}, in, 2),
            (std::vector<uint32_t>{kBlue, kBlue}));
}

TEST(LiveViewFilters, RefusesUnregisteredNamesAndBadBuffers) {
  LiveViewFilterChain chain;
  std::vector<uint32_t> px(4, kWhite);
  for (const char* name : {"", "HighlightKernels", "CIColorInvert"}) {
    EXPECT_FALSE(chain.apply({highlights(), spec(name, 0.5)}, px.data(), 2, 2, 8)) << name;
    EXPECT_FALSE(liveViewFiltersReference({spec(name, 0.5)}, px.data(), 2, 2, 8)) << name;
  }
  struct Geometry {
    const char* what;
    uint32_t* pixels;
    int width, height;
    ptrdiff_t stride;
  };
  for (Geometry g : {Geometry{"null", nullptr, 2, 2, 8}, Geometry{"negative width", px.data(), -1, 2, 8},
                     Geometry{"negative height", px.data(), 2, -2, 8},
                     Geometry{"stride under the width", px.data(), 2, 2, 4},
                     Geometry{"stride not whole pixels", px.data(), 1, 2, 6}}) {
    EXPECT_FALSE(chain.apply({highlights()}, g.pixels, g.width, g.height, g.stride)) << g.what;
    EXPECT_FALSE(liveViewFiltersReference({highlights()}, g.pixels, g.width, g.height, g.stride)) << g.what;
  }
  EXPECT_EQ(px, std::vector<uint32_t>(4, kWhite));
  EXPECT_TRUE(chain.apply({highlights()}, nullptr, 0, 0, 0));  // nothing to do
  EXPECT_TRUE(chain.apply({}, px.data(), 2, 2, 8));
  EXPECT_EQ(px, std::vector<uint32_t>(4, kWhite));
}

// A picture that gives every filter work: flat patches of random colour (some saturated,
// some black), smooth ramps, and noise.
std::vector<uint32_t> randomPicture(std::mt19937& random, int width, int height, int strideWords) {
  std::vector<uint32_t> p(static_cast<size_t>(strideWords) * (height > 0 ? height : 0), 0xA5A5A5A5u);
  auto channel = [&] {
    switch (random() % 6) {
      case 0: return 0u;
      case 1: return 255u;
      case 2: return static_cast<uint32_t>(252 + random() % 4);
      default: return static_cast<uint32_t>(random() % 256);
    }
  };
  const int patch = 1 + static_cast<int>(random() % 9);
  std::vector<uint32_t> patches;
  for (int i = 0; i < (width / patch + 1) * (height / patch + 1); ++i) patches.push_back(rgb(channel(), channel(), channel()));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t c = patches[static_cast<size_t>(y / patch) * (width / patch + 1) + x / patch];
      if (random() % 5 == 0) c ^= random() % 8 * 0x010101u;  // a little noise
      p[static_cast<size_t>(y) * strideWords + x] = c | (random() % 4 == 0 ? 0u : 0xFF000000u);
    }
  return p;
}

// The fused chain against the reference, to the byte, padding included: every order of
// the three defaults, repeats, blended colours and odd thresholds, on one chain object
// used for all sizes in turn (its window is reused, large then small then large).
// Both vector widths are checked where the processor has the wider one: it is the path
// every frame takes there, and the narrower one is what other machines run.
class LiveViewFiltersFused : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override { previous_ = lvrows::useAvx2ForTesting(GetParam()); }
  void TearDown() override { lvrows::useAvx2ForTesting(previous_); }
  bool previous_ = false;
};

TEST_P(LiveViewFiltersFused, MatchesTheReference) {
  std::mt19937 random(20260);
  std::vector<std::vector<LiveViewFilterSpec>> chains = {
      {highlights()}, {shadows()}, {peaking()},
      {highlights(), shadows(), peaking()}, {peaking(), shadows(), highlights()},
      {shadows(), peaking(), highlights()}, {peaking(), peaking()},
      {highlights(), peaking(), shadows(), peaking(), highlights()},
      {spec("FocusPeakingKernel", 0.02, {0, 1, 0, 0.6}), spec("HighlightKernel", 0.5, {0.2, 0.4, 1, 0.3}),
       spec("ShadowKernel", 0.3, {1, 1, 0, 0.8})},
      {spec("FocusPeakingKernel", 0, {0, 0, 0, 1})}, {spec("FocusPeakingKernel", 1.2)},
      {spec("FocusPeakingKernel", -1)},
      // thresholds that mark everything or nothing
      {spec("HighlightKernel", 0), spec("ShadowKernel", -0.5, {0, 1, 0, 1})},
      {spec("HighlightKernel", 1.5), spec("ShadowKernel", 1, {0, 1, 0, 1})},
      {spec("HighlightKernel", 1.0 / 255), spec("ShadowKernel", 254.0 / 255, {0, 0, 1, 1})}};
  struct Size {
    int width, height, padWords;
  };
  const Size sizes[] = {{1, 1, 0},  {3, 2, 0},  {17, 5, 3}, {1024, 680, 0}, {2, 1, 1}, {1, 7, 2},
                        {5, 3, 0},  {33, 2, 5}, {1024, 680, 16}, {8, 9, 1}, {640, 3, 0}, {1, 2, 0},
                        // either side of the vector loops' ends: 8 and 16 pixels, plus the border column
                        {9, 4, 0},  {10, 3, 1}, {16, 3, 0}, {18, 3, 2}, {31, 4, 0}, {32, 3, 1}, {34, 3, 0}};
  LiveViewFilterChain chain;
  for (const Size& s : sizes)
    for (size_t c = 0; c < chains.size(); ++c) {
      if (s.width * s.height > 100000 && c % 4 != 3) continue;  // the big picture with a few chains
      SCOPED_TRACE(testing::Message() << s.width << " x " << s.height << " + " << s.padWords << ", chain " << c);
      int stride = s.width + s.padWords;
      std::vector<uint32_t> fast = randomPicture(random, s.width, s.height, stride), slow = fast;
      ASSERT_TRUE(chain.apply(chains[c], fast.data(), s.width, s.height, ptrdiff_t{stride} * 4));
      ASSERT_TRUE(liveViewFiltersReference(chains[c], slow.data(), s.width, s.height, ptrdiff_t{stride} * 4));
      size_t differ = 0, first = 0;
      for (size_t i = 0; i < fast.size(); ++i)
        if (fast[i] != slow[i] && differ++ == 0) first = i;
      EXPECT_EQ(differ, 0u) << "first at (" << first % stride << ", " << first / stride << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(VectorWidth, LiveViewFiltersFused, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& i) { return i.param ? "Widest" : "FourPixels"; });

// Rows longer than the picture: the filters never touch the bytes past its width.
TEST(LiveViewFilters, PaddingPastTheWidthIsLeftAlone) {
  std::mt19937 random(5);
  for (int width : {1, 4, 9, 17, 40}) {
    const int stride = width + 3, height = 6;
    std::vector<uint32_t> px = randomPicture(random, width, height, stride);
    LiveViewFilterChain chain;
    ASSERT_TRUE(chain.apply({highlights(), shadows(), peaking()}, px.data(), width, height, stride * 4));
    for (int y = 0; y < height; ++y)
      for (int x = width; x < stride; ++x) EXPECT_EQ(px[y * stride + x], 0xA5A5A5A5u) << x << "," << y;
  }
}

}  // namespace
