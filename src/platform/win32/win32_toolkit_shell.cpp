// What the Win32 toolkit asks of the shell and the system dialogs: message boxes, the
// clipboard, the multi-file open dialog and the tray icon.
#include "platform/win32/win32_toolkit_internal.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

namespace qovra::ui {

using win32::Record;
using win32::kTrayId;
using win32::kTrayMessage;

namespace {

HWND windowHandle(const Win32Toolkit::Impl& impl, ControlId id) {
  Record* r = impl.record(id);
  return r ? r->hwnd : nullptr;
}

// "text|*.txt|all|*.*" as the dialog wants it: pieces ended by zeros, and one more.
std::wstring dialogFilter(std::string_view filter) {
  std::wstring wide = win32::wideText(filter);
  std::replace(wide.begin(), wide.end(), L'|', L'\0');
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

// The dialog's answer: one full path, or the folder followed by the names in it.
std::vector<std::string> chosenPaths(const std::wstring& buffer) {
  std::vector<std::wstring> pieces;
  for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
    std::size_t end = buffer.find(L'\0', at);
    if (end == std::wstring::npos) end = buffer.size();
    pieces.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  std::vector<std::string> paths;
  if (pieces.size() == 1) {
    paths.push_back(win32::narrowText(pieces[0]));
    return paths;
  }
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    std::wstring folder = pieces[0];
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    paths.push_back(win32::narrowText(folder + pieces[i]));
  }
  return paths;
}

}  // namespace

bool Win32Toolkit::Impl::addTrayIcon(Record& window, DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window.hwnd;
  data.uID = kTrayId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = window.trayIcon;
  std::size_t length = std::min<std::size_t>(window.trayTip.size(), std::size(data.szTip) - 1);
  std::copy_n(window.trayTip.begin(), length, data.szTip);
  return Shell_NotifyIconW(action, &data) != FALSE;
}

int Win32Toolkit::messageBox(ControlId owner, std::string_view text, std::string_view title,
                             unsigned style) {
  return MessageBoxW(windowHandle(*impl_, owner), win32::wideText(text).c_str(),
                     win32::wideText(title).c_str(), style);
}

std::string Win32Toolkit::clipboardText() {
  // Another program may hold the clipboard for a moment.
  bool open = false;
  for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(nullptr)); ++attempt) Sleep(20);
  if (!open) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
      text = win32::narrowText(std::wstring_view(chars, std::find(chars, chars + limit, L'\0') - chars));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::vector<std::string> Win32Toolkit::openFilesDialog(ControlId owner, std::string_view title,
                                                       std::string_view filter) {
  std::wstring wideTitle = win32::wideText(title);
  std::wstring wideFilter = dialogFilter(filter);
  std::wstring buffer(64 * 1024, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = windowHandle(*impl_, owner);
  dialog.lpstrFilter = wideFilter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = wideTitle.c_str();
  dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return {};
  return chosenPaths(buffer);
}

bool Win32Toolkit::trayAdd(ControlId window, std::string_view iconBytes, std::string_view tip) {
  Record* w = impl_->record(window);
  if (!w || w->kind != Kind::Window) return false;
  HICON icon = win32::iconFromFileBytes(iconBytes, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON));
  if (!icon) return false;
  if (w->trayIcon) DestroyIcon(w->trayIcon);
  w->trayIcon = icon;
  w->trayTip = win32::wideText(tip);
  bool added = impl_->addTrayIcon(*w, w->trayShown ? NIM_MODIFY : NIM_ADD);
  w->trayShown = w->trayShown || added;
  return added;
}

void Win32Toolkit::trayRemove(ControlId window) {
  Record* w = impl_->record(window);
  if (w && w->kind == Kind::Window) impl_->removeTrayIcon(*w);
}

void Win32Toolkit::Impl::removeTrayIcon(Record& window) {
  if (window.trayShown) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window.hwnd;
    data.uID = kTrayId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    window.trayShown = false;
  }
  if (window.trayIcon) DestroyIcon(window.trayIcon);
  window.trayIcon = nullptr;
}

}  // namespace qovra::ui
