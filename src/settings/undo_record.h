// The record a write-through store keeps beside its ini while it changes the file in
// place: which bytes the write replaces and what they were, written and flushed before
// the ini is touched. After a power cut in the middle of a write, the next open finds
// the record, sees that the file does not hold the new bytes whole and puts the old ones
// back, so the ini is either as it was before the edit or as it was after it, never torn.
// A record whose edit did get to the disk whole is recognised by the size and hash of the
// new bytes and left alone. A torn record fails its checksum and is ignored: the ini is
// never written before its record is on the disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qovra::settings {

struct UndoRecord {
  std::uint64_t offset = 0;
  std::string oldBytes;      // what the file held from `offset` before the write
  bool toTheEnd = false;     // the write ran to the end of the file, which was then cut
  std::uint64_t newSize = 0; // bytes written from `offset`
  std::uint64_t newHash = 0; // hashOf those bytes
};

// 64-bit FNV-1a: enough to tell a whole write from a torn one.
std::uint64_t hashOf(std::string_view bytes);

std::string encodeUndoRecord(const UndoRecord& record);
// Nothing for an empty, torn or foreign record.
std::optional<UndoRecord> decodeUndoRecord(std::string_view bytes);

// Whether the file holds the edit whole: its new bytes at the offset, and for a write to
// the end nothing after them.
bool editIsWhole(const UndoRecord& record, std::string_view file);
// The file as it was before the edit; false (and the file untouched) when the record
// cannot belong to it.
bool undoEdit(const UndoRecord& record, std::string& file);

}  // namespace qovra::settings
