// The power going in the middle of an edit, at every byte and call of what the edit
// writes (its undo record beside the ini, then the ini): the file is opened again
// afterwards and must hold the text from before the edit or from after it, whole.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "platform/files.h"
#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"

namespace qovra::settings {
namespace {

using testing_support::fileBytes;

std::string sectionsText(int count) {
  std::string text;
  for (int s = 0; s < count; ++s) {
    const std::string n = std::to_string(s);
    text.append("[s").append(n).append("]\r\nk=value").append(n).append("\r\nj=other").append(n).append("\r\n");
  }
  return text;
}

struct CutCase {
  const char* name;
  std::function<void(SettingsStore&)> edit;
};

void PrintTo(const CutCase& c, std::ostream* out) { *out << c.name; }

class PowerCutTest : public testing::TestWithParam<CutCase> {};

// Where to cut: before anything, and at the first, middle and last unit of every call and
// right after it, as a run with the power on spends them.
std::set<std::uint64_t> cutPoints(const std::string& path, const std::string& before, const CutCase& c) {
  platform::writeFile(path, before);
  platform::deleteFile(path + ".qovra-undo");
  testing_support::ServicesGuard services;
  auto faults = testing_support::holdFaultyFiles();
  SettingsStore store;
  store.setFile(path, FileMode::WriteThrough);
  faults->spentAfterCalls.clear();
  faults->spent = 0;
  c.edit(store);
  std::set<std::uint64_t> cuts{0};
  std::uint64_t start = 0;
  for (std::uint64_t end : faults->spentAfterCalls) {
    cuts.insert({start + 1, (start + end) / 2, end - 1, end});
    start = end;
  }
  return cuts;
}

TEST_P(PowerCutTest, ReopenedTheFileIsWhollyBeforeOrAfterTheEdit) {
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  const std::string before = sectionsText(5);
  std::string after;
  {
    SettingsStore store;
    store.open("", true);
    store.setText(before);
    GetParam().edit(store);
    after = store.buffer();
  }
  ASSERT_NE(after, before);

  bool sawBefore = false, sawAfter = false;
  for (std::uint64_t cut : cutPoints(path, before, GetParam())) {
    SCOPED_TRACE(cut);
    ASSERT_TRUE(platform::writeFile(path, before));
    platform::deleteFile(path + ".qovra-undo");
    {
      testing_support::ServicesGuard services;
      auto faults = testing_support::holdFaultyFiles();
      SettingsStore store;
      ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
      faults->powerFor = cut;
      GetParam().edit(store);
    }
    SettingsStore again;
    ASSERT_TRUE(again.setFile(path, FileMode::WriteThrough));
    const std::string reopened = fileBytes(path);
    EXPECT_EQ(reopened, again.buffer());
    EXPECT_TRUE(reopened == before || reopened == after) << reopened;
    sawBefore = sawBefore || reopened == before;
    sawAfter = sawAfter || reopened == after;
    // The file is usable again whatever the cut left.
    EXPECT_EQ(again.writeEntry("s9", "k", "1"), kEditDone);
    EXPECT_EQ(fileBytes(path), again.buffer());
  }
  EXPECT_TRUE(sawBefore);
  EXPECT_TRUE(sawAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PowerCutTest,
    testing::Values(CutCase{"ValueGrows", [](SettingsStore& s) { s.writeEntry("s2", "k", "a longer value than before"); }},
                    CutCase{"ValueShrinks", [](SettingsStore& s) { s.writeEntry("s2", "k", ""); }},
                    CutCase{"ValueKeepsItsLength", [](SettingsStore& s) { s.writeEntry("s2", "k", "VALUE2"); }},
                    CutCase{"KeyAdded", [](SettingsStore& s) { s.writeEntry("s1", "new", "1"); }},
                    CutCase{"SectionAppended", [](SettingsStore& s) { s.writeEntry("s5", "k", "1"); }},
                    CutCase{"SectionDeleted", [](SettingsStore& s) { s.deleteEntry("s1", ""); }},
                    CutCase{"SectionRenamed", [](SettingsStore& s) { s.renameSection("s0", "first"); }},
                    CutCase{"TextReplaced", [](SettingsStore& s) { s.setText("[x]\r\ny=1"); }}),
    [](const testing::TestParamInfo<CutCase>& info) { return info.param.name; });

TEST(FlushTest, EveryEditIsOnTheDiskBeforeTheStoreReturns) {
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  testing_support::ServicesGuard services;
  auto faults = testing_support::holdFaultyFiles();
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
  const std::function<void()> edits[] = {
      [&] { store.writeEntry("s", "a", "1"); },       [&] { store.writeEntry("s", "a", "2"); },
      [&] { store.writeEntry("s", "a", "longer"); },  [&] { store.writeEntry("t", "b", ""); },
      [&] { store.deleteEntry("s", "a"); },           [&] { store.renameSection("t", "u"); },
      [&] { store.setText("[v]\r\nc=3", true); },   [&] { store.deleteEntry("u", ""); },
  };
  for (const auto& edit : edits) {
    faults->calls.clear();
    edit();
    ASSERT_FALSE(faults->calls.empty());
    EXPECT_EQ(faults->calls.back(), 'f') << faults->calls;
  }
}

}  // namespace
}  // namespace qovra::settings
