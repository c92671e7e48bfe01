// The file bytes after sequences of edits, written out in full. Each case runs twice: on a
// memory store, and on a store holding a real file, where the file must come out with
// exactly the same bytes as the buffer.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"

namespace qovra::settings {
namespace {

using namespace std::string_literals;
using testing_support::fileBytes;
using testing_support::scratchFolder;

struct Edit {
  enum Kind { Write, Delete, Rename, SetText, Append } kind;
  std::string section, key, value;  // a rename's new name and a text are the value
  int result = kEditDone;
};

Edit write(std::string section, std::string key, std::string value) {
  return {Edit::Write, std::move(section), std::move(key), std::move(value)};
}
Edit erase(std::string section, std::string key = "", int result = kEditDone) {
  return {Edit::Delete, std::move(section), std::move(key), "", result};
}
Edit rename(std::string section, std::string name, int result = kEditDone) {
  return {Edit::Rename, std::move(section), "", std::move(name), result};
}
Edit setText(std::string text) { return {Edit::SetText, "", "", std::move(text)}; }
Edit append(std::string text) { return {Edit::Append, "", "", std::move(text)}; }

struct BytesCase {
  const char* name;
  std::string before;  // file bytes
  std::vector<Edit> edits;
  std::string after;   // file bytes
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const BytesCase& c, std::ostream* out) { *out << c.name; }


int apply(SettingsStore& store, const Edit& edit) {
  switch (edit.kind) {
    case Edit::Write: return store.writeEntry(edit.section, edit.key, edit.value);
    case Edit::Delete: return store.deleteEntry(edit.section, edit.key);
    case Edit::Rename: return store.renameSection(edit.section, edit.value);
    case Edit::SetText: store.setText(edit.value); return kEditDone;
    case Edit::Append: store.setText(edit.value, true); return kEditDone;
  }
  return -99;
}

const std::vector<BytesCase> kCases = {
    {"WriteIntoAnEmptyStore", "", {write("s", "k", "1")}, "[s]\r\nk=1"},
    {"SecondKeyGoesAfterTheLastEntryBeforeTheNextHeader",
     "[s]\r\nk=1\r\n[t]\r\nx=2", {write("s", "j", "2")}, "[s]\r\nk=1\r\nj=2\r\n[t]\r\nx=2"},
    {"SectionAtTheStartEntryRightAfterItsHeader",
     "[s]\r\nk=1\r\nj=2", {write("s", "k", "22")}, "[s]\r\nk=22\r\nj=2"},
    {"KeyOnlyInALaterSectionIsAddedToTheEarlierOne",
     "[a]\r\nx=1\r\n[b]\r\nk=2", {write("a", "k", "3")}, "[a]\r\nx=1\r\nk=3\r\n[b]\r\nk=2"},
    {"TextBeforeTheBracketIsNoHeader",
     "x[s]\r\nk=1", {write("s", "k", "2")}, "x[s]\r\nk=1\r\n[s]\r\nk=2"},
    {"TextBeforeTheBracketIsNoHeaderInsideTheText",
     "[a]\r\nv=x[s]\r\nk=1", {write("s", "k", "2")}, "[a]\r\nv=x[s]\r\nk=1\r\n[s]\r\nk=2"},
    {"EmptyValueKeepsTheKeyAndItsEqualsSign",
     "[s]\r\nk=abc\r\nj=1", {write("s", "k", "")}, "[s]\r\nk=\r\nj=1"},
    {"EmptyValueForANewKey", "[s]", {write("s", "k", "")}, "[s]\r\nk="},
    {"MissingSectionIsAppendedAfterALineBreak",
     "[a]\r\nx=1", {write("b", "k", "v")}, "[a]\r\nx=1\r\n[b]\r\nk=v"},
    {"TextEndingWithALineBreakKeepsItBeforeTheNewSection",
     "[a]\r\nx=1\r\n", {write("b", "k", "v")}, "[a]\r\nx=1\r\n\r\n[b]\r\nk=v"},
    {"NewKeyOfTheLastSectionGoesToTheEnd",
     "[a]\r\nx=1\r\n", {write("a", "y", "2")}, "[a]\r\nx=1\r\n\r\ny=2"},
    {"ValueIsReplacedUpToItsLineEndOnly",
     "[s]\r\nk=1=2\r\nj=3", {write("s", "k", "x")}, "[s]\r\nk=x\r\nj=3"},
    {"KeysCompareByteForByteAndAreNotTrimmed",
     "[s]\r\nK=1\r\n k=2", {write("s", "k", "3")}, "[s]\r\nK=1\r\n k=2\r\nk=3"},
    {"SectionNamesCompareByteForByte",
     "[S]\r\nk=1\r\n[ab]\r\nk=2", {write("a", "k", "3")}, "[S]\r\nk=1\r\n[ab]\r\nk=2\r\n[a]\r\nk=3"},
    {"SameSectionTwiceEditsTheFirst",
     "[s]\r\nk=1\r\n[s]\r\nj=2", {write("s", "j", "3")}, "[s]\r\nk=1\r\nj=3\r\n[s]\r\nj=2"},
    {"HeaderWithoutClosingBracketIsNoSection",
     "[s\r\nk=1", {write("s", "k", "2")}, "[s\r\nk=1\r\n[s]\r\nk=2"},
    {"LineStartingWithABracketButNotEndingWithOneIsAnEntry",
     "[a]\r\n[x=1\r\nk=1", {write("a", "k", "2")}, "[a]\r\n[x=1\r\nk=2"},
    {"NewKeyGoesBeforeAnyLineStartingWithABracket",
     "[a]\r\nx=1\r\n[junk\r\ny=2", {write("a", "k", "3")}, "[a]\r\nx=1\r\nk=3\r\n[junk\r\ny=2"},
    {"LoneLineFeedsAreNoLineEnds", "[s]\nk=1", {write("s", "k", "2")}, "[s]\nk=1\r\nk=2"},
    {"ChineseNamesAndValuesAreWrittenInGbk", "",
     {write("使用版本", "软件", "真")},
     "[\xCA\xB9\xD3\xC3\xB0\xE6\xB1\xBE]\r\n\xC8\xED\xBC\xFE=\xD5\xE6"},
    // The entry's own line looks like a header: only a header before the entry hides it.
    {"KeyWhoseOwnLineLooksLikeAHeader", "",
     {write("s", "[t]\r\nx", "1"), write("s", "[t]\r\nx", "2")}, "[s]\r\n[t]\r\nx=2"},
    {"SameValueAgainChangesNothing", "[s]\r\nk=1", {write("s", "k", "1")}, "[s]\r\nk=1"},
    {"SeveralEditsInARow", "",
     {write("a", "x", "1"), write("b", "y", "2"), write("a", "z", "3"), write("b", "y", "22"),
      write("a", "x", "")},
     "[a]\r\nx=\r\nz=3\r\n[b]\r\ny=22"},

    {"DeleteAKey", "[s]\r\nk=1\r\nj=2\r\n[t]\r\nk=3", {erase("s", "k")}, "[s]\r\nj=2\r\n[t]\r\nk=3"},
    {"DeleteTheLastKeyOfTheText", "[s]\r\nk=1\r\nj=2", {erase("s", "j")}, "[s]\r\nk=1"},
    {"DeleteAKeyMissingFromTheSectionButPresentLater",
     "[s]\r\nj=2\r\n[t]\r\nk=3", {erase("s", "k", kNoEntry)}, "[s]\r\nj=2\r\n[t]\r\nk=3"},
    {"DeleteFromAMissingSection", "[s]\r\nk=1", {erase("t", "k", kNoSection)}, "[s]\r\nk=1"},
    {"DeleteTheFirstSection", "[a]\r\nx=1\r\n[b]\r\ny=2", {erase("a")}, "[b]\r\ny=2"},
    {"DeleteAMiddleSection",
     "[a]\r\nx=1\r\n[b]\r\ny=2\r\n[c]\r\nz=3", {erase("b")}, "[a]\r\nx=1\r\n[c]\r\nz=3"},
    {"DeleteTheLastSectionWithTheLineBreakBeforeIt",
     "[a]\r\nx=1\r\n[b]\r\ny=2", {erase("b")}, "[a]\r\nx=1"},
    {"DeleteASectionBeforeALastHeaderWithoutLineBreak",
     "[a]\r\nx=1\r\n[b]", {erase("a")}, "[b]"},
    {"AddingAndDeletingTheLastSectionLeavesNoBlankLines", "[a]\r\nx=1",
     {write("b", "k", "1"), erase("b"), write("c", "k", "1"), erase("c")}, "[a]\r\nx=1"},
    {"DeleteTheOnlySection", "[a]\r\nx=1", {erase("a")}, ""},
    {"DeleteBeforeTheSectionLocatedLast", "[a]\r\nx=1\r\n[b]\r\ny=2",
     {write("b", "y", "3"), erase("a", "x"), write("b", "y", "4")}, "[a]\r\n[b]\r\ny=4"},

    {"RenameASection", "[a]\r\nx=1\r\n[b]\r\ny=2", {rename("b", "c"), write("c", "y", "5")},
     "[a]\r\nx=1\r\n[c]\r\ny=5"},
    {"RenameToEmptyLeavesEmptyBrackets", "[a]\r\nx=1", {rename("a", "")}, "[]\r\nx=1"},
    {"WritingTheOldNameAfterARenameMakesItAgain", "[a]\r\nx=1",
     {rename("a", "aa"), write("a", "x", "2")}, "[aa]\r\nx=1\r\n[a]\r\nx=2"},
    {"RenameAMissingSection", "[a]\r\nx=1", {rename("b", "c", kNoSection)}, "[a]\r\nx=1"},
    {"RenameMovesTheSectionsAfterIt", "[a]\r\nx=1\r\n[b]\r\ny=2",
     {write("b", "y", "3"), rename("a", "longer name"), write("b", "y", "4")},
     "[longer name]\r\nx=1\r\n[b]\r\ny=4"},

    {"SetTextReplacesAndAppendAppends", "[a]\r\nx=1",
     {setText("[b]\r\ny=2"), append("\r\n[c]\r\nz=3"), write("c", "z", "4")},
     "[b]\r\ny=2\r\n[c]\r\nz=4"},
    {"SetTextForgetsTheSectionLocatedLast", "[a]\r\nx=1\r\n[b]\r\ny=2",
     {write("b", "y", "3"), setText("[b]\r\ny=9"), write("b", "y", "4")}, "[b]\r\ny=4"},
    {"SetTextEmptiesTheFile", "[a]\r\nx=1", {setText("")}, ""},
};

class EditBytesTest : public testing::TestWithParam<BytesCase> {
 protected:
  testing_support::ServicesGuard services_;
};

TEST_P(EditBytesTest, InMemory) {
  const BytesCase& c = GetParam();
  SettingsStore store;
  store.open("", true);
  store.setText(c.before);  // the cases are ASCII before their edits
  for (std::size_t i = 0; i < c.edits.size(); ++i) EXPECT_EQ(apply(store, c.edits[i]), c.edits[i].result) << "edit " << i;
  EXPECT_EQ(store.buffer(), c.after);
}

TEST_P(EditBytesTest, InTheFile) {
  const BytesCase& c = GetParam();
  const std::string path = scratchFolder() + "\\box.ini";
  ASSERT_TRUE(platform::writeFile(path, c.before));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
  for (std::size_t i = 0; i < c.edits.size(); ++i) {
    EXPECT_EQ(apply(store, c.edits[i]), c.edits[i].result) << "edit " << i;
    EXPECT_EQ(fileBytes(path), store.buffer()) << "after edit " << i;
  }
  EXPECT_EQ(store.buffer(), c.after);
  store.close();
  EXPECT_EQ(fileBytes(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditBytesTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BytesCase>& info) { return info.param.name; });

}  // namespace
}  // namespace qovra::settings
