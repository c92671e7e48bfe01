// Files on Windows, through the W APIs only.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

using win32::narrowText;
using win32::widePath;

DWORD attributesOf(const std::wstring& native) { return GetFileAttributesW(native.c_str()); }

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30)), written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

std::vector<std::wstring> entriesOf(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

// A junction or directory symbolic link is removed as a link: RemoveDirectoryW on the
// reparse point itself, never a walk into its target.
bool deleteNative(const std::wstring& native) {
  DWORD attributes = attributesOf(native);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(native.c_str());
  bool ok = true;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    for (const std::wstring& name : entriesOf(native)) ok = deleteNative(native + L"\\" + name) && ok;
  return RemoveDirectoryW(native.c_str()) && ok;
}

bool copyNative(const std::wstring& from, const std::wstring& to) {
  if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  bool ok = true;
  for (const std::wstring& name : entriesOf(from)) {
    std::wstring child = from + L"\\" + name, copy = to + L"\\" + name;
    DWORD attributes = attributesOf(child);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;  // never reach outside
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = copyNative(child, copy) && ok;
    } else {
      DWORD old = attributesOf(copy);  // CopyFileW refuses read-only or hidden targets
      if (old != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
      ok = CopyFileW(child.c_str(), copy.c_str(), FALSE) && ok;
    }
  }
  return ok;
}

std::wstring modulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::optional<std::string> readFile(const std::string& path) {
  HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  BOOL ok;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

// Written beside the file first and moved over it, so a failed write leaves the old
// file intact; the old file's hidden/system bits are put back as a plain overwrite
// would keep them. A read-only file is refused, as a plain overwrite would be.
bool writeFile(const std::string& path, std::string_view bytes) {
  std::wstring native = widePath(path);
  DWORD old = attributesOf(native);
  if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
    return false;
  std::wstring temporary = native + L".qovra-new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = writeAll(file, bytes);
  written = CloseHandle(file) && written;
  if (!written || !MoveFileExW(temporary.c_str(), native.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (old != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(native.c_str(), old | FILE_ATTRIBUTE_ARCHIVE);
  return true;
}

bool pathExists(const std::string& path) {
  return attributesOf(widePath(path)) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::string& path) {
  DWORD attributes = attributesOf(widePath(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<unsigned> fileAttributes(const std::string& path) {
  DWORD attributes = attributesOf(widePath(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool setFileAttributes(const std::string& path, unsigned attributes) {
  return SetFileAttributesW(widePath(path).c_str(), attributes);
}

bool createFolder(const std::string& path) {
  std::wstring native = widePath(path);
  for (std::size_t at = 1; at <= native.size(); ++at) {
    if (at < native.size() && native[at] != L'\\') continue;
    std::wstring prefix = native.substr(0, at);
    if (prefix.size() == 2 && prefix[1] == L':') continue;  // the drive itself
    CreateDirectoryW(prefix.c_str(), nullptr);
  }
  return isFolder(path);
}

bool deleteFile(const std::string& path) { return DeleteFileW(widePath(path).c_str()); }

bool deleteTree(const std::string& path) { return deleteNative(widePath(path)); }

bool renamePath(const std::string& from, const std::string& to) {
  return MoveFileW(widePath(from).c_str(), widePath(to).c_str());
}

bool copyFolder(const std::string& from, const std::string& to) {
  return createFolder(to) && copyNative(widePath(from), widePath(to));
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  for (const std::wstring& name : entriesOf(widePath(path))) names.push_back(narrowText(name));
  return names;
}

std::string runDirectory() {
  std::wstring path = modulePath();
  return narrowText(path.substr(0, path.rfind(L'\\')));
}

std::string executableName() {
  std::wstring path = modulePath();
  return narrowText(path.substr(path.rfind(L'\\') + 1));
}

std::vector<std::string> commandLineArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(narrowText(argv[i]));
  LocalFree(argv);
  return arguments;
}

}  // namespace qovra::platform
