#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ptp/base/local_name.h"

TEST(LocalName, OrdinaryNamesMapToThemselves) {
  for (const char* n : {"IMG_0001.JPG", "DSC 12.NEF", "a_b", "x..y", "ünïcode.jpg"}) {
    EXPECT_EQ(localName(n), n);
  }
}

TEST(LocalName, HostileNamesAreEscapedAndNeverCollide) {
  const std::string nul("a\0b", 3);
  const std::vector<std::string> names = {"",     ".",    "..",    "../x",  "a/b",         "a_b",  "a%2Fb",
                                          "a%b",  "%",    "%2E",   "/",     "//",          nul,    "a",
                                          "%00",  ".kvtmp.abcdef",  "#kvtmp.abcdef", "_kvtmp.abcdef",
                                          std::string(300, 'x'), std::string(299, 'x'), std::string(300, '/'),
                                          std::string(231, 'y'), std::string(232, 'y')};
  std::set<std::string> seen;
  for (const auto& n : names) {
    std::string l = localName(n);
    EXPECT_FALSE(l.empty());
    EXPECT_NE(l, ".");
    EXPECT_NE(l, "..");
    EXPECT_EQ(l.find('/'), std::string::npos) << n;
    EXPECT_EQ(l.find('\0'), std::string::npos) << n;
    EXPECT_LE(l.size() + kLocalNameSuffixRoom + kLocalNameUniqueRoom, 255u) << n;
    EXPECT_FALSE(l.starts_with(kTempMarkerA) || l.starts_with(kTempMarkerB)) << n;
    EXPECT_TRUE(seen.insert(l).second) << "collision for " << n << " -> " << l;
  }
  EXPECT_EQ(localName("a/b"), "a%2Fb");
  EXPECT_EQ(localName("a%2Fb"), "a%252Fb");
}

TEST(LocalName, LongNamesKeepTheirExtensionAndDifferByTheirTail) {
  std::string a = std::string(280, 'x') + "1.NEF", b = std::string(280, 'x') + "2.NEF";
  EXPECT_NE(localName(a), localName(b));
  EXPECT_TRUE(localName(a).ends_with(".NEF"));
  EXPECT_EQ(localName(a).size(), kLocalNameMax);
  EXPECT_EQ(localName(a), localName(a));  // stable across calls (and sessions)
}
