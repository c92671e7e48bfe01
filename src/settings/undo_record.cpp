#include "settings/undo_record.h"

namespace qovra::settings {
namespace {

constexpr std::string_view kMagic = "QovUndo1";

void putNumber(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads the fields in order, failing for good once the bytes run out.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}
  bool number(std::uint64_t& value) {
    if (rest_.size() < 8) return false;
    value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(static_cast<unsigned char>(rest_[i])) << (8 * i);
    rest_.remove_prefix(8);
    return true;
  }
  bool bytes(std::uint64_t length, std::string& value) {
    if (rest_.size() < length) return false;
    value.assign(rest_.substr(0, static_cast<std::size_t>(length)));
    rest_.remove_prefix(static_cast<std::size_t>(length));
    return true;
  }
  bool atEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

}  // namespace

std::uint64_t hashOf(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string encodeUndoRecord(const UndoRecord& record) {
  std::string out(kMagic);
  putNumber(out, record.offset);
  putNumber(out, record.toTheEnd ? 1 : 0);
  putNumber(out, record.oldBytes.size());
  out += record.oldBytes;
  putNumber(out, record.newSize);
  putNumber(out, record.newHash);
  putNumber(out, hashOf(out));
  return out;
}

std::optional<UndoRecord> decodeUndoRecord(std::string_view bytes) {
  if (!bytes.starts_with(kMagic) || bytes.size() < kMagic.size() + 8) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  Reader reader(bytes.substr(kMagic.size()));
  UndoRecord record;
  std::uint64_t toTheEnd = 0, oldSize = 0, checksum = 0;
  if (!reader.number(record.offset) || !reader.number(toTheEnd) || !reader.number(oldSize) ||
      !reader.bytes(oldSize, record.oldBytes) || !reader.number(record.newSize) ||
      !reader.number(record.newHash) || !reader.number(checksum) || !reader.atEnd() ||
      toTheEnd > 1 || checksum != hashOf(body))
    return std::nullopt;
  record.toTheEnd = toTheEnd == 1;
  return record;
}

bool editIsWhole(const UndoRecord& record, std::string_view file) {
  if (record.offset > file.size() || file.size() - record.offset < record.newSize) return false;
  if (record.toTheEnd && file.size() - record.offset != record.newSize) return false;
  return hashOf(file.substr(static_cast<std::size_t>(record.offset), static_cast<std::size_t>(record.newSize))) ==
         record.newHash;
}

bool undoEdit(const UndoRecord& record, std::string& file) {
  if (record.offset > file.size()) return false;
  const auto offset = static_cast<std::size_t>(record.offset);
  if (record.toTheEnd) {
    file.resize(offset);
    file += record.oldBytes;
    return true;
  }
  // A write that kept the length: the old bytes go back over the same place.
  if (file.size() - offset < record.oldBytes.size()) return false;
  file.replace(offset, record.oldBytes.size(), record.oldBytes);
  return true;
}

}  // namespace qovra::settings
