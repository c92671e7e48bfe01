#include "settings/settings_store.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/charset.h"
#include "platform/files.h"
#include "platform/toolkit.h"
#include "settings/ini_text.h"
#include "settings/store_services.h"
#include "support/conventions.h"

namespace qovra::settings {
namespace {

using ini::npos;

// Making a missing section is tried this many times before the user is told.
constexpr int kWriteAttempts = 10;
constexpr std::string_view kStoredLineBreak = "┊*┊";
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kMessageTitle = "信息：";
constexpr std::string_view kCannotSaveMessage = "配置模块出现意外，可能导致无法正常保存！详情请咨询Qovra。";
// MessageBox's exclamation icon, passed through with the button set.
constexpr unsigned kExclamationIcon = 0x30;

bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Texts become file bytes and back; plain ASCII is the same in both and skips converting.
std::string fileBytes(std::string_view utf8) {
  return isAscii(utf8) ? std::string(utf8) : platform::fromUtf8(utf8, platform::Charset::Gbk);
}

// A text made from file bytes ends at the first zero byte.
std::string textOf(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  return isAscii(bytes) ? std::string(bytes) : platform::toUtf8(bytes, platform::Charset::Gbk);
}

// Decimal text without an exponent, which readReal does not read; whole numbers have no
// fraction. Infinity and NaN have no such text and are stored as 0.
std::string numberText(double value) {
  if (!std::isfinite(value)) value = 0;
  char text[400];
  auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return std::string(text, result.ptr);
}

// A section or key as one file name part: path separators and what Windows refuses in a
// file name become "%" and two hex digits (and so does "%"), so a hostile key cannot
// reach outside the folder and two different keys never share a file.
std::string fileNamePart(std::string_view name) {
  static constexpr std::string_view kEscaped = "\\/:*?\"<>|%";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string part;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && kEscaped.find(c) == npos) {
      part += c;
    } else {
      part += '%';
      part += kHex[byte >> 4];
      part += kHex[byte & 0xF];
    }
  }
  return part;
}

void keepWindowAlive() {
  if (const auto& process = storeServices().processPendingMessages) process();
}

void tellUser(std::string_view text, unsigned style) {
  if (const auto& show = storeServices().messageBox) show(text, kMessageTitle, style);
}

bool contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != npos;
}

}  // namespace

SettingsStore::~SettingsStore() { close(); }

SettingsStore::SettingsStore(const SettingsStore& other)
    : buffer_(other.buffer_),
      editQueue_(other.editQueue_),
      cachedSection_(other.cachedSection_),
      cachedHeaderPos_(other.cachedHeaderPos_),
      iniPath_(other.iniPath_),
      currentSection_(other.currentSection_) {}

SettingsStore& SettingsStore::operator=(const SettingsStore& other) {
  if (this != &other) *this = SettingsStore(other);
  return *this;
}

SettingsStore& SettingsStore::operator=(SettingsStore&& other) noexcept {
  if (this == &other) return *this;
  close();
  buffer_ = std::move(other.buffer_);
  mirror_ = std::move(other.mirror_);
  busy_ = other.busy_;
  editQueue_ = std::move(other.editQueue_);
  cachedSection_ = std::move(other.cachedSection_);
  cachedHeaderPos_ = other.cachedHeaderPos_;
  headerIndex_.clear();
  iniPath_ = std::move(other.iniPath_);
  currentSection_ = std::move(other.currentSection_);
  return *this;
}

bool SettingsStore::setFile(const std::string& path, FileMode mode) {
  iniPath_ = path;
  return open(path, mode == FileMode::MemoryOnly);
}

bool SettingsStore::open(const std::string& path, bool noLock) {
  close();
  if (path.empty()) return noLock;
  if (noLock) {
    buffer_ = platform::readFile(path).value_or("");
    return true;
  }
  buffer_ = mirror_.open(path, kMaxFileBytes).value_or("");
  return mirror_.attached();
}

void SettingsStore::close() {
  mirror_.detach(buffer_);
  buffer_.clear();
  forgetLocatedSection();
}

void SettingsStore::setText(std::string_view text, bool append) {
  forgetLocatedSection();
  const std::size_t at = append ? buffer_.size() : 0;
  replaceBytes(at, buffer_.size() - at, fileBytes(text));
}

std::string SettingsStore::readEntry(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, bool emptyMeansDefault) {
  const std::string name = fileBytes(section);
  const std::size_t header = locate(name);
  ini::Entry entry;
  if (header == npos || !ini::findEntry(buffer_, header + name.size() + 1, fileBytes(key), entry))
    return std::string(defaultValue);
  std::string value = textOf(std::string_view(buffer_).substr(entry.valueStart, entry.valueEnd - entry.valueStart));
  if (value.empty() && emptyMeansDefault) return std::string(defaultValue);
  return value;
}

int SettingsStore::writeEntry(std::string_view section, std::string_view key, std::string_view value,
                              bool immediate) {
  return request({EditKind::Write, fileBytes(section), fileBytes(key), fileBytes(value)}, immediate);
}

int SettingsStore::deleteEntry(std::string_view section, std::string_view key, bool immediate) {
  return request({EditKind::Delete, fileBytes(section), fileBytes(key), {}}, immediate);
}

int SettingsStore::renameSection(std::string_view section, std::string_view newName, bool immediate) {
  return request({EditKind::RenameSection, fileBytes(section), {}, fileBytes(newName)}, immediate);
}

int SettingsStore::request(PendingEdit edit, bool immediate) {
  if (immediate) return apply(edit);
  editQueue_.push_back(std::move(edit));
  if (busy_) return kEditQueued;
  return processQueue();
}

int SettingsStore::processQueue() {
  if (editQueue_.empty()) return kNothingQueued;
  // Called again from inside an edit, it leaves the queue to the loop that is running.
  if (busy_) return kEditQueued;
  std::optional<int> first;
  while (!editQueue_.empty()) {
    // Taken out before it is applied: a handler running inside may add to the queue.
    const PendingEdit edit = std::move(editQueue_.front());
    editQueue_.pop_front();
    busy_ = true;
    const int result = apply(edit);
    busy_ = false;
    if (!first) first = result;
  }
  return *first;
}

int SettingsStore::apply(const PendingEdit& edit) {
  int result = kEditFailed;
  switch (edit.kind) {
    case EditKind::Write: result = applyWrite(edit.section, edit.key, edit.value); break;
    case EditKind::Delete: result = applyDelete(edit.section, edit.key); break;
    case EditKind::RenameSection: result = applyRename(edit.section, edit.value); break;
  }
  // An edit that left the buffer as it was wrote nothing, so a file still behind from an
  // earlier failure gets its chance here.
  if (result == kEditDone && !mirror_.catchUp(buffer_)) return kFileBehind;
  return result;
}

int SettingsStore::applyWrite(const std::string& section, const std::string& key,
                              const std::string& value) {
  // Each round starts from scratch: the window messages processed at its start may have
  // run other edits. A missing section or key is added whole (one change of the file),
  // and the next round finds it.
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    keepWindowAlive();
    const std::size_t header = locate(section);
    if (header == npos) {
      std::string added = buffer_.empty() ? "[" : "\r\n[";
      added.append(section).append("]\r\n").append(key).append("=").append(value);
      replaceBytes(buffer_.size(), 0, added);
      continue;
    }
    const std::size_t headerEnd = header + section.size() + 1;
    ini::Entry entry;
    if (!ini::findEntry(buffer_, headerEnd, key, entry)) {
      std::string line = "\r\n";
      line.append(key).append("=").append(value);
      replaceBytes(ini::entryInsertPoint(buffer_, headerEnd), 0, line);
      continue;
    }
    const std::size_t length = entry.valueEnd - entry.valueStart;
    if (std::string_view(buffer_).substr(entry.valueStart, length) != value)
      replaceBytes(entry.valueStart, length, value);
    return kEditDone;
  }
  return giveUpWriting();
}

int SettingsStore::giveUpWriting() {
  tellUser(kCannotSaveMessage, ui::kOk | kExclamationIcon);
  tellUser(textOf(buffer_), ui::kOk);
  return kEditFailed;
}

int SettingsStore::applyDelete(const std::string& section, const std::string& key) {
  keepWindowAlive();
  const std::size_t header = locate(section);
  forgetLocatedSection();
  if (header == npos) return kNoSection;
  const std::size_t headerEnd = header + section.size() + 1;
  if (!key.empty()) {
    ini::Entry entry;
    if (!ini::findEntry(buffer_, headerEnd, key, entry)) return kNoEntry;
    replaceBytes(entry.lineBreak, entry.valueEnd - entry.lineBreak, {});
    return kEditDone;
  }
  std::size_t from = header;
  const std::size_t end = ini::sectionEnd(buffer_, headerEnd);
  // The last section takes the line break before it along, as it was added with it, so
  // adding and deleting sections at the end does not leave blank lines behind.
  if (end == buffer_.size() && from >= kLineBreak.size()) from -= kLineBreak.size();
  replaceBytes(from, end - from, {});
  return kEditDone;
}

int SettingsStore::applyRename(const std::string& section, const std::string& newName) {
  keepWindowAlive();
  const std::size_t header = locate(section);
  forgetLocatedSection();
  if (header == npos) return kNoSection;
  replaceBytes(header + 1, section.size(), newName);
  return kEditDone;
}

int SettingsStore::listSections(std::vector<std::string>& names, std::string_view mustContain,
                                std::string_view mustNotContain) const {
  // Matched as text, not as GBK bytes, where the second byte of one character and the
  // first of the next could look like the searched text, or like "]".
  names.clear();
  for (std::string_view header : ini::headerLines(buffer_)) {
    const std::string line = textOf(header);
    if (!mustContain.empty() && !contains(line, mustContain)) continue;
    if (contains(line, mustNotContain)) continue;
    names.push_back(line.substr(1, line.find(']', 1) - 1));
  }
  return static_cast<int>(names.size());
}

void SettingsStore::selectSection(std::string_view name) { currentSection_ = name; }

std::string SettingsStore::readBytes(std::string_view key, std::string_view defaultValue) const {
  const std::string path = byteFilePath(key);
  std::optional<std::string> bytes;
  if (!path.empty()) bytes = platform::readFile(path);
  return bytes && !bytes->empty() ? std::move(*bytes) : std::string(defaultValue);
}

bool SettingsStore::writeBytes(std::string_view key, std::string_view bytes) {
  const std::string path = byteFilePath(key);
  if (path.empty()) return false;
  return platform::createFolder(path.substr(0, path.rfind('\\'))) && platform::writeFile(path, bytes);
}

bool SettingsStore::writeText(std::string_view key, std::string_view value) {
  return writeEntry(currentSection_, key, replaceAll(value, kLineBreak, kStoredLineBreak)) == kEditDone;
}

std::string SettingsStore::readText(std::string_view key, std::string_view defaultValue) {
  const std::string stored = readEntry(currentSection_, key, replaceAll(defaultValue, kLineBreak, kStoredLineBreak), true);
  return replaceAll(stored, kStoredLineBreak, kLineBreak);
}

bool SettingsStore::writeNumber(std::string_view key, double value) {
  return writeEntry(currentSection_, key, numberText(value)) == kEditDone;
}

double SettingsStore::readNumber(std::string_view key, double defaultValue) {
  return readReal(readEntry(currentSection_, key, numberText(defaultValue)));
}

bool SettingsStore::writeBool(std::string_view key, bool value) {
  return writeEntry(currentSection_, key, boolWord(value)) == kEditDone;
}

bool SettingsStore::readBool(std::string_view key, bool defaultValue) {
  return wordIsTrue(readEntry(currentSection_, key, boolWord(defaultValue)));
}

std::size_t SettingsStore::locate(const std::string& section) {
  if (cachedHeaderPos_ != npos && section == cachedSection_) return cachedHeaderPos_;
  cachedSection_ = section;
  cachedHeaderPos_ = headerIndex_.find(buffer_, section);
  return cachedHeaderPos_;
}

void SettingsStore::forgetLocatedSection() {
  cachedSection_.clear();
  cachedHeaderPos_ = npos;
  headerIndex_.clear();
}

void SettingsStore::replaceBytes(std::size_t at, std::size_t length, std::string_view bytes) {
  buffer_.replace(at, length, bytes);
  headerIndex_.clear();
  mirror_.follow(buffer_, at, at + bytes.size(), length != bytes.size());
}

std::string SettingsStore::byteFilePath(std::string_view key) const {
  if (iniPath_.empty()) return {};
  const std::size_t slash = iniPath_.find_last_of("\\/");
  const std::string folder = slash == npos ? std::string() : iniPath_.substr(0, slash + 1);
  return folder + "inibin\\" + fileNamePart(currentSection_) + "-" + fileNamePart(key) + ".ibn";
}

}  // namespace qovra::settings
