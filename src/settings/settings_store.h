// SettingsStore: the box's own ini engine. It keeps the whole ini text in a buffer of the
// file's own bytes (GBK), parses it itself and, bound to a file in write-through mode,
// applies every edit to the open file at the same place, so the file on disk stays equal
// to the buffer byte for byte. Its texts in and out are UTF-8; only the bytes are GBK.
//
// Two uses: the program's own ini (write-through, held open with other writers kept out)
// and memory-only stores that parse an ini-formatted text given with setText.
//
// Edits asked for while another edit is being applied (an event handler running inside
// the editing loop, which processes pending window messages) wait in a queue and are
// applied right after it, in the order they were asked for.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_mirror.h"
#include "settings/ini_text.h"

namespace qovra::settings {

enum class FileMode {
  WriteThrough = 0,  // the file is loaded and kept open; every edit goes to it
  MemoryOnly = 1,    // the file is only read; edits stay in the buffer
};

// Results of the editing operations.
enum EditResult {
  kEditDone = 0,
  kEditFailed = -1,     // a section could not be made (after the ten attempts)
  kNothingQueued = -1,  // processQueue with an empty queue
  kNoSection = 1,       // deleteEntry, renameSection: the section is missing
  kNoEntry = 2,         // deleteEntry: the key is missing from the section
  kEditQueued = 3,      // another edit is being applied; this one follows it
  kFileBehind = 4,      // done in the buffer, but the file could not follow; the next
                        // edit that reaches the file brings it in step
};

class SettingsStore {
 public:
  // Larger files are not loaded: no ini of the box comes near this, and a 32-bit process
  // could not hold much more.
  static constexpr std::size_t kMaxFileBytes = 256u << 20;

  SettingsStore() = default;
  ~SettingsStore();
  // A copy has the buffer, the queue and the paths but never the open file: one file has
  // one writer. Its edits stay in its own buffer.
  SettingsStore(const SettingsStore& other);
  SettingsStore& operator=(const SettingsStore& other);
  SettingsStore(SettingsStore&& other) noexcept = default;
  SettingsStore& operator=(SettingsStore&& other) noexcept;

  // Binds the store to an ini file: remembers it for the byte values, then opens it
  // (held in write-through mode, only read in memory mode).
  bool setFile(const std::string& path, FileMode mode);
  // Loads the file (an empty buffer when it is missing or the path is empty). Unless
  // noLock, keeps it open for writing with other writers kept out, creating it when
  // missing. False when that was refused (another holder, a file that may not be written,
  // cannot be read or is larger than kMaxFileBytes): the store then works on its buffer
  // only, with the file's bytes when it could read them. True when noLock.
  bool open(const std::string& path, bool noLock);
  // Closes the file (bringing it in step first if a write had failed) and empties the buffer.
  void close();
  // Replaces the text (or appends to it), in the buffer and in the open file.
  void setText(std::string_view text, bool append = false);

  std::string readEntry(std::string_view section, std::string_view key,
                        std::string_view defaultValue = {}, bool emptyMeansDefault = false);
  // Sets the key's value, creating the key and the section when missing. Not immediate:
  // through the queue (kEditQueued while another edit is applied).
  int writeEntry(std::string_view section, std::string_view key, std::string_view value,
                 bool immediate = false);
  // Deletes the key's line, or with an empty key the whole section: from its "[" up to the
  // next header line, or with the line break before it when it is the last section.
  int deleteEntry(std::string_view section, std::string_view key, bool immediate = false);
  // Replaces the name between the header's brackets.
  int renameSection(std::string_view section, std::string_view newName, bool immediate = false);
  // Applies the queued edits in order; the result of the first, kNothingQueued when empty.
  int processQueue();
  // The names of the header lines, in file order; the count.
  int listSections(std::vector<std::string>& names, std::string_view mustContain = {},
                   std::string_view mustNotContain = {}) const;

  // The typed accessors work on the selected section.
  void selectSection(std::string_view name);
  // Byte values live in files of their own: "inibin\" + section + "-" + key + ".ibn"
  // beside the ini file. Characters a file name cannot hold, path separators and "%"
  // itself are written as "%" and two hex digits, so no key reaches outside the folder
  // and two keys never share a file.
  std::string readBytes(std::string_view key, std::string_view defaultValue = {}) const;
  bool writeBytes(std::string_view key, std::string_view bytes);
  // Line breaks are stored as "┊*┊" and given back as "\r\n".
  bool writeText(std::string_view key, std::string_view value);
  std::string readText(std::string_view key, std::string_view defaultValue = {});
  bool writeNumber(std::string_view key, double value);
  double readNumber(std::string_view key, double defaultValue = 0);
  // Stored as "真" and "假"; only "真" reads as true.
  bool writeBool(std::string_view key, bool value);
  bool readBool(std::string_view key, bool defaultValue = false);

  // The ini's bytes as they are in the file.
  const std::string& buffer() const { return buffer_; }
  // Whether edits reach a file, and from which byte the file is behind the buffer after a
  // failed write (FileMirror::kInStep when it is not).
  bool writesThrough() const { return mirror_.attached(); }
  std::size_t fileBehindFrom() const { return mirror_.behindFrom(); }
  bool busy() const { return busy_; }

 private:
  enum class EditKind { Write = 0, Delete = 1, RenameSection = 2 };
  struct PendingEdit {
    EditKind kind;
    std::string section, key, value;  // file bytes; a rename's new name is its value
  };

  int request(PendingEdit edit, bool immediate);
  int apply(const PendingEdit& edit);
  int applyWrite(const std::string& section, const std::string& key, const std::string& value);
  int applyDelete(const std::string& section, const std::string& key);
  int applyRename(const std::string& section, const std::string& newName);
  int giveUpWriting();

  std::size_t locate(const std::string& section);
  void forgetLocatedSection();
  void replaceBytes(std::size_t at, std::size_t length, std::string_view bytes);
  std::string byteFilePath(std::string_view key) const;

  std::string buffer_;
  FileMirror mirror_;
  bool busy_ = false;
  std::deque<PendingEdit> editQueue_;
  std::string cachedSection_;  // file bytes of the section last located
  std::size_t cachedHeaderPos_ = std::string::npos;
  ini::HeaderIndex headerIndex_;  // cleared by every change of the buffer
  std::string iniPath_;
  std::string currentSection_;
};

}  // namespace qovra::settings
