// Files on Linux. DOS attributes live in the extended attribute user.DOSATTRIB as Wine
// keeps them (a text such as "0x22"), so the native and the Windows build agree about
// the same folder. Without that attribute a file reports kAttrArchive, as under Wine;
// read-only follows the owner's write permission.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/posix/native_path.h"

namespace qovra::platform {
namespace {

using posix::nativePath;

constexpr const char* kDosAttributeName = "user.DOSATTRIB";
constexpr unsigned kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;

std::optional<unsigned> storedDosBits(const std::string& native) {
  char text[64] = {};
  ssize_t n = lgetxattr(native.c_str(), kDosAttributeName, text, sizeof text - 1);
  if (n <= 0) return std::nullopt;
  return static_cast<unsigned>(std::strtoul(text, nullptr, 16)) & kStoredBits;
}

bool storeDosBits(const std::string& native, unsigned bits) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "0x%x", bits & kStoredBits);
  return lsetxattr(native.c_str(), kDosAttributeName, text, n, 0) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

// Gives a replacement file what the old one had: its permission bits and DOS bits.
void keepAttributesOf(const std::string& oldNative, const std::string& newNative) {
  struct stat st;
  if (stat(oldNative.c_str(), &st) != 0) return;
  chmod(newNative.c_str(), st.st_mode & 07777);
  if (auto bits = storedDosBits(oldNative)) storeDosBits(newNative, *bits);
}

bool copyFile(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = readFile(from);
  if (!bytes || !writeFile(to, *bytes)) return false;
  if (auto bits = storedDosBits(nativePath(from))) storeDosBits(nativePath(to), *bits);
  return true;
}

}  // namespace

std::optional<std::string> readFile(const std::string& path) {
  int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
  ::close(fd);
  if (n < 0) return std::nullopt;
  return bytes;
}

bool writeFile(const std::string& path, std::string_view bytes) {
  std::string native = nativePath(path);
  struct stat st;
  bool exists = stat(native.c_str(), &st) == 0;
  if (exists && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) return false;
  std::string temporary = native + ".qovra-new";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = writeAll(fd, bytes);
  written = ::close(fd) == 0 && written;
  if (written && exists) keepAttributesOf(native, temporary);
  if (!written || ::rename(temporary.c_str(), native.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool pathExists(const std::string& path) {
  struct stat st;
  return stat(nativePath(path).c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
  struct stat st;
  return stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<unsigned> fileAttributes(const std::string& path) {
  std::string native = nativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return std::nullopt;
  unsigned attributes = S_ISDIR(st.st_mode) ? unsigned{kAttrDirectory} : 0u;
  std::optional<unsigned> stored = storedDosBits(native);
  attributes |= stored ? *stored : S_ISDIR(st.st_mode) ? 0u : unsigned{kAttrArchive};
  if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
  return attributes == 0 ? kAttrNormal : attributes;
}

bool setFileAttributes(const std::string& path, unsigned attributes) {
  std::string native = nativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return false;
  mode_t mode = (attributes & kAttrReadOnly) ? st.st_mode & ~0222 : st.st_mode | S_IWUSR;
  return chmod(native.c_str(), mode & 07777) == 0 && storeDosBits(native, attributes);
}

bool createFolder(const std::string& path) {
  std::string native = nativePath(path);
  for (std::size_t at = 1; at <= native.size(); ++at) {
    if (at < native.size() && native[at] != '/') continue;
    std::string prefix = native.substr(0, at);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return isFolder(path);
}

bool deleteFile(const std::string& path) { return ::unlink(nativePath(path).c_str()) == 0; }

// lstat and unlink: a symbolic link is removed itself, never followed.
bool deleteTree(const std::string& path) {
  std::string native = nativePath(path);
  struct stat st;
  if (lstat(native.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(native.c_str()) == 0;
  bool ok = true;
  for (const std::string& name : listFolder(native)) ok = deleteTree(native + "/" + name) && ok;
  return ::rmdir(native.c_str()) == 0 && ok;
}

bool renamePath(const std::string& from, const std::string& to) {
  return ::rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
}

// Symbolic links inside the source are left out: a copy never reaches outside it.
bool copyFolder(const std::string& from, const std::string& to) {
  std::string source = nativePath(from), target = nativePath(to);
  if (!createFolder(target)) return false;
  bool ok = true;
  for (const std::string& name : listFolder(source)) {
    std::string child = source + "/" + name, copy = target + "/" + name;
    struct stat st;
    if (lstat(child.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
    ok = (S_ISDIR(st.st_mode) ? copyFolder(child, copy) : copyFile(child, copy)) && ok;
  }
  return ok;
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = opendir(nativePath(path).c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

namespace {

std::string executablePath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, n) : std::string();
}

}  // namespace

std::string runDirectory() {
  std::string path = executablePath();
  return path.substr(0, path.rfind('/'));
}

std::string executableName() {
  std::string path = executablePath();
  return path.substr(path.rfind('/') + 1);
}

std::vector<std::string> commandLineArguments() {
  std::optional<std::string> all = readFile("/proc/self/cmdline");
  std::vector<std::string> arguments;
  if (!all) return arguments;
  std::size_t start = all->find('\0');
  while (start != std::string::npos && start + 1 < all->size()) {
    std::size_t end = all->find('\0', start + 1);
    arguments.push_back(all->substr(start + 1, end - start - 1));
    start = end;
  }
  return arguments;
}

}  // namespace qovra::platform
