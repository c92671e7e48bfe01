// Files and folders. Paths are UTF-8 texts built with "\" as the box builds them;
// only the backends turn them into native paths (UTF-16 on Windows, "/" on Linux).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qovra::platform {

// The file attribute bits the box reads and writes (same values as Windows).
enum FileAttribute : unsigned {
  kAttrReadOnly = 0x1,
  kAttrHidden = 0x2,
  kAttrSystem = 0x4,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};

// Whole-file access. readFile gives nothing when the file cannot be read.
std::optional<std::string> readFile(const std::string& path);
// Creates or replaces the file with exactly these bytes. The bytes go to a temporary
// file beside it ("<name>.qovra-new") that is then renamed over the old one, so a failed
// write leaves the old file as it was. A rewritten file keeps its attributes (hidden
// stays hidden) as a plain overwrite on Windows would; a read-only file is refused.
bool writeFile(const std::string& path, std::string_view bytes);

bool pathExists(const std::string& path);  // a file or a folder
bool isFolder(const std::string& path);
std::optional<unsigned> fileAttributes(const std::string& path);
bool setFileAttributes(const std::string& path, unsigned attributes);

bool createFolder(const std::string& path);  // with missing parents; true if it exists
bool deleteFile(const std::string& path);
// A folder with everything below it, or a file. Symbolic links and junctions inside are
// removed as links; what they point at is never touched. Read-only files are removed too.
bool deleteTree(const std::string& path);
bool renamePath(const std::string& from, const std::string& to);
// Copies a folder's contents into another (created when missing), overwriting files.
// Links inside the source are left out, so the copy never reaches outside it.
bool copyFolder(const std::string& from, const std::string& to);
// Names (not paths) of the entries of a folder, "." and ".." left out.
std::vector<std::string> listFolder(const std::string& path);

// The running executable: its folder without a trailing separator and its file name
// (native separators: "/" on Linux).
std::string runDirectory();
std::string executableName();
// Command-line arguments after the program path, as UTF-8.
std::vector<std::string> commandLineArguments();

}  // namespace qovra::platform
