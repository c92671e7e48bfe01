// The power going in the middle of an edit, at every byte of what the edit writes: the
// file is opened again afterwards. Nothing before the edited value may be lost: the store
// never writes a byte in front of an edit, and every earlier edit was flushed.
#include <gtest/gtest.h>

#include <functional>
#include <string>

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

TEST(PowerCutTest, ACutAnywhereInAnEditKeepsEverythingBeforeTheEditedValue) {
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  const std::string before = sectionsText(5);
  const std::string edited = "a longer value than before";
  const std::size_t valueAt = before.find("[s2]\r\nk=") + std::string("[s2]\r\nk=").size();
  const std::size_t tail = before.size() - valueAt + edited.size();

  for (std::size_t cut = 0; cut <= tail + 1; ++cut) {
    SCOPED_TRACE(cut);
    ASSERT_TRUE(platform::writeFile(path, before));
    {
      testing_support::ServicesGuard services;
      auto faults = testing_support::holdFaultyFiles();
      faults->powerFor = cut;
      SettingsStore store;
      ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
      store.writeEntry("s2", "k", edited);
    }
    const std::string after = fileBytes(path);
    ASSERT_GE(after.size(), valueAt);
    EXPECT_EQ(after.compare(0, valueAt, before, 0, valueAt), 0);

    SettingsStore again;
    ASSERT_TRUE(again.setFile(path, FileMode::WriteThrough));
    EXPECT_EQ(again.readEntry("s0", "k"), "value0");
    EXPECT_EQ(again.readEntry("s1", "j"), "other1");
    // Whatever the cut left, the file is usable again.
    EXPECT_EQ(again.writeEntry("s9", "k", "1"), kEditDone);
    EXPECT_EQ(fileBytes(path), again.buffer());
  }
}

TEST(PowerCutTest, EveryEditIsOnTheDiskBeforeTheStoreReturns) {
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
