#include "platform/shell.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/lnk_file.h"
#include "platform/recording_shell.h"
#include "scratch_folder.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include "platform/win32/wide_text.h"
#endif

namespace qovra::platform {
namespace {

bool endsWithBackslash(const std::string& path) { return !path.empty() && path.back() == '\\'; }

TEST(Shell, SpecialFoldersFollowTheTable) {
  Shell& native = shell();
  for (int code = 0; code <= 12; ++code)
    EXPECT_TRUE(endsWithBackslash(native.specialFolderPath(code))) << code;
  EXPECT_EQ(native.specialFolderPath(0), native.specialFolderPath(3));
  EXPECT_NE(native.specialFolderPath(9), native.specialFolderPath(10));
  EXPECT_EQ(native.specialFolderPath(6).find(native.specialFolderPath(5)), 0u);
  for (int code : {-1, 13, 16, 1000}) EXPECT_EQ(native.specialFolderPath(code), "") << code;
}

TEST(Shell, SetShellReplacesTheShellUntilReset) {
  Shell& native = shell();
  RecordingShell recording("C:\\home", "C:\\tmp");
  setShell(&recording);
  EXPECT_EQ(&shell(), &recording);
  EXPECT_TRUE(shell().open("http://example.invalid/", "x"));
  setShell(nullptr);
  EXPECT_EQ(&shell(), &native);
  ASSERT_EQ(recording.calls().size(), 1u);
  EXPECT_EQ(recording.calls()[0], (RecordingShell::Call{"open", "http://example.invalid/", "x"}));
}

TEST(RecordingShell, RecordsOpenAndExplorerAndAnswersAsTold) {
  RecordingShell recording("C:\\home", "C:\\tmp");
  EXPECT_TRUE(recording.openInExplorer("C:\\box\\a.exe"));
  recording.setAccepts(false);
  EXPECT_FALSE(recording.open("C:\\box"));
  std::vector<RecordingShell::Call> expected = {{"explorer", "C:\\box\\a.exe", ""},
                                                {"open", "C:\\box", ""}};
  EXPECT_EQ(recording.calls(), expected);
}

TEST(RecordingShell, SpecialFoldersLieUnderHome) {
  RecordingShell recording("C:\\home", "C:\\tmp");
  EXPECT_EQ(recording.specialFolderPath(0), "C:\\home\\Desktop\\");
  EXPECT_EQ(recording.specialFolderPath(11), "C:\\tmp\\");
  EXPECT_EQ(recording.specialFolderPath(13), "");
}

class ShortcutTest : public testing::Test {
 protected:
  void SetUp() override { dir_ = scratchFolder(); }
  void TearDown() override { deleteTree(dir_); }
  std::string dir_;
};

TEST_F(ShortcutTest, RecordingShellWritesRealLinkFiles) {
  RecordingShell recording(dir_, dir_);
  std::string path = dir_ + "\\离线模式启动盒子.lnk";
  ShortcutProperties properties;
  properties.target = "C:\\盒子\\box.exe";
  properties.arguments = "lxms";
  ASSERT_TRUE(recording.writeShortcut(path, properties));
  EXPECT_EQ(recording.readShortcutTarget(path), "C:\\盒子\\box.exe");
  std::optional<ShellLink> link = readShellLink(*readFile(path));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->arguments, "lxms");
  EXPECT_EQ(link->description, "");
}

TEST_F(ShortcutTest, UnreadableShortcutsHaveNoTarget) {
  ASSERT_TRUE(writeFile(dir_ + "\\text.lnk", "not a link at all"));
  for (const char* name : {"missing.lnk", "text.lnk"}) {
    EXPECT_EQ(shell().readShortcutTarget(dir_ + "\\" + name), "") << name;
    EXPECT_EQ(RecordingShell(dir_, dir_).readShortcutTarget(dir_ + "\\" + name), "") << name;
  }
}

#ifdef _WIN32
// Windows' own shell link object against the portable format, both ways.
struct ShellLinkObject {
  ShellLinkObject() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                     reinterpret_cast<void**>(&link));
    if (link) link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  }
  ~ShellLinkObject() {
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
  }
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
};

TEST_F(ShortcutTest, WindowsReadsWhatThePortableWriterWrote) {
  std::string path = dir_ + "\\离线模式启动盒子.lnk";
  ShellLink written;
  written.target = "C:\\windows\\notepad.exe";
  written.arguments = "lxms";
  written.workingDirectory = "C:\\windows";
  written.description = "offline";
  ASSERT_TRUE(writeFile(path, writeShellLink(written)));

  ShellLinkObject object;
  ASSERT_TRUE(object.file);
  ASSERT_EQ(object.file->Load(win32::widePath(path).c_str(), STGM_READ), S_OK);
  wchar_t text[1024] = {};
  ASSERT_EQ(object.link->GetPath(text, 1024, nullptr, SLGP_RAWPATH), S_OK);
  EXPECT_EQ(win32::narrowText(text), written.target);
  ASSERT_EQ(object.link->GetArguments(text, 1024), S_OK);
  EXPECT_EQ(win32::narrowText(text), "lxms");
  ASSERT_EQ(object.link->GetWorkingDirectory(text, 1024), S_OK);
  EXPECT_EQ(win32::narrowText(text), "C:\\windows");
  ASSERT_EQ(object.link->GetDescription(text, 1024), S_OK);
  EXPECT_EQ(win32::narrowText(text), "offline");
  EXPECT_EQ(shell().readShortcutTarget(path), written.target);
}

TEST_F(ShortcutTest, ThePortableReaderReadsWhatWindowsWrote) {
  std::string path = dir_ + "\\离线模式启动盒子.lnk";
  ShortcutProperties properties;
  properties.target = "C:\\windows\\notepad.exe";
  properties.arguments = "lxms";
  properties.description = "offline";
  properties.hotKey = "Ctrl+Alt+A";
  properties.windowStyle = 3;
  ASSERT_TRUE(shell().writeShortcut(path, properties));
  std::optional<std::string> bytes = readFile(path);
  ASSERT_TRUE(bytes);
  std::optional<ShellLink> link = readShellLink(*bytes);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\windows\\notepad.exe");
  EXPECT_EQ(link->arguments, "lxms");
  EXPECT_EQ(link->description, "offline");
  EXPECT_EQ(link->hotKey, 0x0641);
  EXPECT_EQ(link->showCommand, 3u);
  EXPECT_EQ(shell().readShortcutTarget(path), "C:\\windows\\notepad.exe");
}
#endif

}  // namespace
}  // namespace qovra::platform
