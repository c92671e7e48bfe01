#include "window/version_compare.h"

#include <gtest/gtest.h>

namespace qovra {
namespace {

TEST(CompareVersions, Table) {
  struct Case {
    const char* installed;
    const char* latest;
    int state;
  } cases[] = {
      {"", "1.0", kNotDownloaded},
      {"", "", kNotDownloaded},
      {"1.2.3", "1.2.10", kUpgradeAvailable},  // numeric: 3 < 10
      {"1.0.0.0", "1.0", kCurrent},            // missing components read as 0
      {"1.0", "1.0.1", kCurrent},              // only the installed components count
      {"2.0", "10.0", kUpgradeAvailable},
      {"10.0", "9.9", kCurrent},
      {"1.2.3.4", "1.2.3.4", kCurrent},
      {"1.2.3.4", "1.2.3.5", kUpgradeAvailable},
      {"1.3", "1.2.9", kCurrent},
      {"1.0", "", kCurrent},                  // 1 > 0
      {"0.0", "", kCurrent},
      {"0.0", "0.1", kUpgradeAvailable},
      {"1.2a", "1.3", kUpgradeAvailable},     // "2a" reads as 2
      {"1.5beta", "1.5", kCurrent},
      {" 7.1", "7.1", kCurrent},              // leading blanks accepted
      {"+3", "3", kCurrent},
      {"-1", "0", kUpgradeAvailable},
      {"v2", "1", kUpgradeAvailable},         // no leading digits: 0
      {"1..2", "1.0.3", kUpgradeAvailable},   // the empty component is 0
      {"99999999999999999999999", "1", kCurrent},
  };
  for (const Case& c : cases)
    EXPECT_EQ(compareVersions(c.installed, c.latest), c.state) << c.installed << " vs " << c.latest;
}

TEST(CompareVersions, ComponentsReadLikeAtoi) {
  struct Case {
    const char* text;
    long long value;
  } cases[] = {{"", 0}, {"12", 12}, {"  \t12x", 12}, {"-5", -5}, {"+5", 5}, {"x5", 0}, {"- 5", 0}, {"007", 7}};
  for (const Case& c : cases) EXPECT_EQ(versionComponent(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace qovra
