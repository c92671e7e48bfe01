// The Windows shell: ShellExecuteW, Explorer, the special-folder lookups and shortcut
// files through IShellLinkW with IPersistFile.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/lnk_file.h"
#include "platform/shell.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

using win32::narrowText;
using win32::widePath;
using win32::wideText;

// COM for the duration of one call. The window thread has it already (S_FALSE, still
// balanced); a worker thread gets it here.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
};

std::wstring withBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

int csidlOf(int code) {
  switch (code) {
    case 0:
    case 3: return CSIDL_DESKTOPDIRECTORY;
    case 1: return CSIDL_PERSONAL;
    case 2: return CSIDL_FAVORITES;
    case 4: return CSIDL_FONTS;
    case 5: return CSIDL_STARTMENU;
    case 6: return CSIDL_PROGRAMS;
    case 7: return CSIDL_STARTUP;
    case 8: return CSIDL_APPDATA;
    case 12: return CSIDL_INTERNET_CACHE;
    default: return -1;
  }
}

std::wstring systemFolder(int code) {
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = 0;
  if (code == 9) n = GetWindowsDirectoryW(buffer, MAX_PATH);
  else if (code == 10) n = GetSystemDirectoryW(buffer, MAX_PATH);
  else if (code == 11) n = GetTempPathW(MAX_PATH, buffer);
  else if (csidlOf(code) >= 0 && SHGetSpecialFolderPathW(nullptr, buffer, csidlOf(code), FALSE))
    n = static_cast<UINT>(wcslen(buffer));
  return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

class WindowsShell : public Shell {
 public:
  bool open(const std::string& target, const std::string& parameters) override {
    std::wstring file = wideText(target), arguments = wideText(parameters);
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", file.c_str(), arguments.empty() ? nullptr : arguments.c_str(), nullptr,
        SW_SHOWNORMAL));
    return result > 32;
  }

  bool openInExplorer(const std::string& path) override {
    std::wstring arguments = L"/e,/select," + widePath(path);
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32;
  }

  std::string specialFolderPath(int code) override {
    std::wstring folder = systemFolder(code);
    return folder.empty() ? std::string() : narrowText(withBackslash(folder));
  }

  std::string readShortcutTarget(const std::string& lnkPath) override {
    ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(widePath(lnkPath).c_str(), STGM_READ)))
      return {};
    wchar_t target[MAX_PATH * 4] = {};
    if (link.p->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH) != S_OK) return {};
    return narrowText(target);
  }

  bool writeShortcut(const std::string& lnkPath, const ShortcutProperties& properties) override {
    ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
      return false;
    ShellLink values = shellLinkFrom(properties);
    link.p->SetPath(widePath(values.target).c_str());
    if (properties.description) link.p->SetDescription(wideText(values.description).c_str());
    if (properties.hotKey) link.p->SetHotkey(values.hotKey);
    if (properties.iconLocation)
      link.p->SetIconLocation(wideText(values.iconPath).c_str(), values.iconIndex);
    if (properties.windowStyle) link.p->SetShowCmd(static_cast<int>(values.showCommand));
    if (properties.workingDirectory)
      link.p->SetWorkingDirectory(wideText(values.workingDirectory).c_str());
    if (properties.arguments) link.p->SetArguments(wideText(values.arguments).c_str());
    return SUCCEEDED(file.p->Save(widePath(lnkPath).c_str(), TRUE));
  }
};

}  // namespace

Shell& nativeShell() {
  static WindowsShell shell;
  return shell;
}

}  // namespace qovra::platform
