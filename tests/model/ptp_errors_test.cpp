#include <gtest/gtest.h>

#include <QRegularExpression>

#include "model/ptp_errors.h"
#include "platform/bundle.h"
#include "ptp/base/camera_vendor.h"

namespace {

// Puts the session's camera vendor back when the test ends.
class VendorScope {
 public:
  explicit VendorScope(uint16_t vendor) : saved_(camGetVendor()) { camSetVendor(vendor); }
  ~VendorScope() { camSetVendor(saved_); }

 private:
  uint16_t saved_;
};

QString text(const char* key) { return Bundle::localizedString(QString::fromLatin1(key)); }

}  // namespace

TEST(PtpErrors, TextByVendorAndCode) {
  struct Case {
    uint16_t vendor;
    uint16_t code;
    QString expected;
  };
  const Case cases[] = {
      // Standard codes, whatever the camera.
      {CameraVendorUnknown, 0x2001, text("PTP_Response_OK")},
      {CameraVendorCanon, 0x2019, text("PTP_Response_DeviceBusy")},
      {CameraVendorNikon, 0x2020, text("PTP_Response_SpecificationOfDestinationUnsupported")},
      {CameraVendorUnknown, 0x2021, "0x2021"},
      {CameraVendorUnknown, 0x1FFF, "0x1FFF"},
      // Fixed codes, whatever the camera.
      {CameraVendorUnknown, 0x0001, text("RELAY_RESPONSE_ERROR")},
      {CameraVendorSony, 0x5501, text("CONTROL_ERROR")},
      {CameraVendorUnknown, 0x5505, "SD Card missing or not mounted."},
      {CameraVendorCanon, 0xA002, text("NIKON_Out_Of_Focus")},
      {CameraVendorFujifilm, 0xA002, text("NIKON_Out_Of_Focus")},
      {CameraVendorUnknown, 0xFF01, text("ERROR_GENERAL")},
      {CameraVendorUnknown, 0xFF0E, "Connection failure."},
      {CameraVendorNikon, 0xFF16, "Action cancelled."},
      {CameraVendorUnknown, 0xFF1D, text("ERROR_INVALID_CONTINUOUS_DRIVE_MODE")},
      // Vendor codes by the current camera.
      {CameraVendorNikon, 0xA001, text("NIKON_Hardware_Error")},
      {CameraVendorCanon, 0xA001, text("CANON_Response_Unknown_Command")},
      {CameraVendorFujifilm, 0xA001, text("PTP_Response_DeviceBusy")},
      {CameraVendorSony, 0xA001, "0xA001"},
      {CameraVendorUnknown, 0xA001, "0xA001"},
      {0xFF11, 0xA001, "0xA001"},  // a failed vendor detection is no vendor
      {CameraVendorNikon, 0xA802, text("NIKON_Invalid_ObjectProp_Format")},
      {CameraVendorCanon, 0xA106, text("CANON_Response_MemoryStatusNotReady")},
      {CameraVendorNikon, 0xA106, "0xA106"},
      {CameraVendorCanon, 0xA003, "0xA003"},
      {CameraVendorFujifilm, 0xA005, "0xA005"},
      // The library's codes without a text, and the rest.
      {CameraVendorUnknown, 0xFF12, "0xFF12"},
      {CameraVendorNikon, 0xFF14, "0xFF14"},
      {CameraVendorUnknown, 0xEE12, "0xEE12"},
      {CameraVendorUnknown, 0x0000, "0x0"},
      {CameraVendorUnknown, 0xFFFF, "0xFFFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "vendor " << c.vendor << " code 0x" << std::hex << c.code);
    VendorScope vendor(c.vendor);
    EXPECT_EQ(PtpErrors::stringForResponseCode(c.code), c.expected);
  }
}

// A key missing from the string table would show as the key itself.
TEST(PtpErrors, EveryKeyedCodeHasATextInTheTable) {
  const QRegularExpression looksLikeAKey(QStringLiteral("^[A-Za-z]+(_[A-Za-z]+)+$"));
  for (uint16_t vendor : {CameraVendorNikon, CameraVendorCanon, CameraVendorFujifilm, CameraVendorUnknown}) {
    VendorScope scope(vendor);
    // Every range with a keyed code, and a margin around it.
    for (auto [first, last] : {std::pair<uint32_t, uint32_t>{0x0000, 0x00FF}, {0x1F00, 0x20FF}, {0x5500, 0x55FF},
                               {0xA000, 0xA8FF}, {0xEE00, 0xEEFF}, {0xFF00, 0xFFFF}})
      for (uint32_t code = first; code <= last; ++code) {
        const QString s = PtpErrors::stringForResponseCode(static_cast<uint16_t>(code));
        ASSERT_FALSE(s.isEmpty()) << code;
        ASSERT_FALSE(looksLikeAKey.match(s).hasMatch())
            << "vendor " << vendor << " code " << code << ": " << s.toStdString();
      }
  }
}

TEST(PtpErrors, AppendStringJoinsWithOneBlank) {
  VendorScope vendor(CameraVendorUnknown);
  EXPECT_EQ(PtpErrors::appendString("Download failed.", 0xFF0E), "Download failed. Connection failure.");
  EXPECT_EQ(PtpErrors::appendString("Failed", 0xFF12), "Failed 0xFF12");
  // Placeholders in the message are not taken for the code's text.
  EXPECT_EQ(PtpErrors::appendString("100% %1 done", 0xFF16), "100% %1 done Action cancelled.");
}
