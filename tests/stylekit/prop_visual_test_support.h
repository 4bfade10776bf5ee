#pragma once
// Checks shared by the property visuals' tests: an answer is the expected icon (same size,
// same pixels), a text, or nothing; and the library's camera vendor set for one test.
#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "ptp/base/camera_vendor.h"
#include "stylekit/prop_visual_result.h"

namespace propvisual {

// Pixels of an image at twice its size, where thin differences still show.
inline QImage pixels(const StyleKitImage& image) { return image.render(2).convertToFormat(QImage::Format_ARGB32); }

inline void expectImage(const PropertyVisual& got, const StyleKitImage& expected, const std::string& what) {
  const StyleKitImage* image = visualImage(got);
  ASSERT_NE(image, nullptr) << what << ": not an image";
  EXPECT_EQ(image->size(), expected.size()) << what;
  EXPECT_TRUE(pixels(*image) == pixels(expected)) << what << ": not the expected icon or colour";
}

inline void expectText(const PropertyVisual& got, const QString& expected, const std::string& what) {
  const QString* text = visualText(got);
  ASSERT_NE(text, nullptr) << what << ": not a text";
  EXPECT_EQ(*text, expected) << what;
}

inline void expectNil(const PropertyVisual& got, const std::string& what) {
  EXPECT_TRUE(visualIsNil(got)) << what << ": expected nothing";
}

inline std::string hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

// Sets the library's camera vendor and puts it back to "none identified" afterwards.
class ScopedVendor {
 public:
  explicit ScopedVendor(uint16_t vendor) { camSetVendor(vendor); }
  ~ScopedVendor() { camSetVendor(CameraVendorUnknown); }
  ScopedVendor(const ScopedVendor&) = delete;
  ScopedVendor& operator=(const ScopedVendor&) = delete;
};

}  // namespace propvisual
