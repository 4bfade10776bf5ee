// Decimal texts keep a point whatever the thread's locale, as the value texts that reach
// the user do.
#include <gtest/gtest.h>

#include "ptp/base/decimal_text.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/vendors/fuji/fuji_values.h"
#include "ptp/vendors/sony/sony_values.h"
#include "tests/support/comma_locale.h"

TEST(DecimalText, WritesAndReadsAPointUnderEveryLocale) {
  for (bool comma : {false, true}) {
    kvtest::CommaLocale locale;
    if (!comma) locale.restore();
    if (comma && !locale.active()) GTEST_SKIP() << "no comma-decimal locale installed (scripts/setup generates de_DE.UTF-8)";
    if (comma) ASSERT_TRUE(kvtest::CommaLocale::printsComma()) << "the locale found does not write a decimal comma";
    SCOPED_TRACE(comma ? "comma locale" : "C locale");

    struct Out {
      double value;
      int decimals;
      const char* text;
    } outs[] = {{5.6, 1, "5.6"}, {-0.33, 1, "-0.3"}, {24.0, 1, "24.0"}, {0.05, 2, "0.05"}, {1e300 * 1e10, 1, "0.0"}};
    for (const Out& o : outs) EXPECT_EQ(textFixed(o.value, o.decimals), o.text) << o.value;

    struct In {
      const char* text;
      std::optional<float> value;
    } ins[] = {{"5.6", 5.6f}, {" +2.8", 2.8f}, {"11 EV", 11.0f}, {"", std::nullopt}, {",5", std::nullopt}, {"f5.6", std::nullopt}};
    for (const In& i : ins) EXPECT_EQ(textLeadingFloat(i.text), i.value) << '"' << i.text << '"';

    // What the label texts of the makers' modules write.
    EXPECT_EQ(sonyValueText(0x5007, 560), "5.6");
    EXPECT_EQ(sonyValueText(0x5010, 0xFFFF & static_cast<uint32_t>(-700)), "-0.7");
    EXPECT_EQ(sonyValueText(0x5010, 1300), "+1.3");
    EXPECT_EQ(fujiValueText(PTP_DPC_FNumber, 280), "2.8");
  }
}
