#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

namespace qovra {
namespace {

TEST(Catalogue, EntryPathsFollowTheName) {
  EXPECT_EQ(programFolder("C:\\盒子", "Qovra·记事本"), "C:\\盒子\\Qovra·记事本");
  EXPECT_EQ(programFile("C:\\盒子", "Qovra·记事本"), "C:\\盒子\\Qovra·记事本\\Qovra·记事本.exe");
}

TEST(Catalogue, TagsConvertOnlyWhenTheyAreRowNumbers) {
  struct Case {
    const char* tag;
    int number;
  } cases[] = {{"1", 1}, {"27", 27}, {"", 0}, {"0", 0}, {"-3", 0}, {"3a", 0}, {" 3", 0}, {"99999999999", 0}};
  for (const auto& c : cases) EXPECT_EQ(rowNumberFromTag(c.tag), c.number) << c.tag;
}

TEST(Catalogue, RowsAreFoundByTheirOneBasedNumber) {
  auto& state = catalogueState();
  state = CatalogueState{};
  state.rows.resize(2);
  state.rows[0].entry.name = "a";
  state.rows[1].entry.name = "b";
  ASSERT_NE(rowAt(2), nullptr);
  EXPECT_EQ(rowAt(1)->entry.name, "a");
  EXPECT_EQ(rowAt(2)->entry.name, "b");
  EXPECT_EQ(rowAt(0), nullptr);
  EXPECT_EQ(rowAt(3), nullptr);
  state = CatalogueState{};
}

TEST(Catalogue, ANewRowIsIdleAndAnEntryStartsNotDownloaded) {
  const CatalogueRow row;
  EXPECT_EQ(row.idle, 1);
  EXPECT_EQ(row.entry.versionState, kNotDownloaded);
  EXPECT_EQ(row.entry.usageCount, 0);
  EXPECT_FALSE(row.entry.manualDownload);
}

}  // namespace
}  // namespace qovra
