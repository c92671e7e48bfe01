// The settings store on arbitrary ini bytes and arbitrary edits, held in write-through
// mode by a file kept in memory that can be told to fail.
// Input: the ini's bytes; optionally the marker "\0\xFD\xFF" and the bytes of an undo
// record found beside the ini, as an interrupted edit would leave it; optionally the
// marker "\0\xFE\xFF" and bytes that choose the edits, their names and the failures (of
// the ini or of the undo record).
// Checked after every step:
//  - the store opens with the buffer equal to the file, however it had to put the file
//    right after an interrupted edit;
//  - a file in step with the buffer holds exactly its bytes, and without failures it is
//    always in step;
//  - a value just written reads back (for names and values without line breaks or zeros);
//  - what the store reads equals what a fresh store over the same bytes reads, so the
//    position of the section located last never goes stale;
// and at the end that letting go of the file brings it in step whatever failed before.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/held_file.h"
#include "settings/settings_store.h"
#include "settings/store_services.h"

namespace {

using qovra::settings::SettingsStore;

struct Disk {
  std::string bytes;
  int failingWrites = 0;  // the next this many writes put half their bytes down and fail
};

// A store holds its ini and, beside it, the undo record of the edit being written.
struct Disks {
  Disk ini, undo;
};

class MemoryFile : public qovra::platform::HeldFile {
 public:
  explicit MemoryFile(Disk& disk) : disk_(disk) {}
  bool writable() const override { return true; }
  std::optional<std::string> read(std::uint64_t offset, std::uint64_t length) const override {
    if (offset >= disk_.bytes.size()) return std::string();
    return disk_.bytes.substr(offset, length);
  }
  bool writeAt(std::uint64_t offset, std::string_view bytes) override {
    const bool fail = disk_.failingWrites > 0;
    if (fail) {
      --disk_.failingWrites;
      bytes = bytes.substr(0, bytes.size() / 2);
    }
    if (disk_.bytes.size() < offset + bytes.size()) disk_.bytes.resize(offset + bytes.size(), '\0');
    disk_.bytes.replace(offset, bytes.size(), bytes);
    return !fail;
  }
  bool truncate(std::uint64_t length) override {
    disk_.bytes.resize(length, '\0');
    return true;
  }
  bool flush() override { return true; }
  bool stillAtPath() const override { return true; }

 private:
  Disk& disk_;
};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "settings_fuzz: %s\n", what);
  __builtin_trap();
}

bool tame(std::string_view text) {
  for (char c : text)
    if (c == '\r' || c == '\n' || c == '\0' || static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

const char* const kNames[] = {"s", "t", "k", "", "[", "]", "=", "x[s]", "[s]", "使用版本", "Qovra·甲", "a b"};

std::string pickName(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return kNames[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
  return input.ConsumeRandomLengthString(12);
}

SettingsStore holding(Disks& disks) {
  qovra::settings::storeServices().holdFile = [&disks](const std::string& path) {
    return std::make_unique<MemoryFile>(path.ends_with(".qovra-undo") ? disks.undo : disks.ini);
  };
  SettingsStore store;
  store.open("memory.ini", false);
  return store;
}

void compareWithFreshStore(SettingsStore& store, const std::string& section, const std::string& key) {
  Disks copy{{store.buffer()}, {}};
  SettingsStore fresh = holding(copy);
  if (store.readEntry(section, key, "\x01") != fresh.readEntry(section, key, "\x01")) fail("a read differs from a fresh store's");
  std::vector<std::string> names, freshNames;
  if (store.listSections(names) != fresh.listSections(freshNames) || names != freshNames) fail("the section list differs from a fresh store's");
}

void editOnce(SettingsStore& store, Disks& disks, FuzzedDataProvider& input, bool& failed) {
  const int kind = input.ConsumeIntegralInRange(0, 7);
  const std::string section = pickName(input), key = pickName(input);
  switch (kind) {
    case 0: case 1: {
      const std::string value = input.ConsumeRandomLengthString(24);
      const int result = store.writeEntry(section, key, value, kind == 1);
      if (result != qovra::settings::kEditDone && result != qovra::settings::kFileBehind) fail("a write failed");
      if (tame(section) && tame(key) && tame(value) && store.readEntry(section, key) != value) fail("a written value does not read back");
      break;
    }
    case 2: store.deleteEntry(section, key); break;
    case 3: store.deleteEntry(section, ""); break;
    case 4: store.renameSection(section, key); break;
    case 5: store.setText(input.ConsumeRandomLengthString(40), input.ConsumeBool()); break;
    case 6:
      store.selectSection(section);
      store.writeText(key, input.ConsumeRandomLengthString(16));
      store.readText(key);
      store.writeNumber(key, input.ConsumeFloatingPoint<double>());
      store.readNumber(key);
      store.writeBool(key, input.ConsumeBool());
      store.readBool(key);
      break;
    case 7:
      (input.ConsumeBool() ? disks.ini : disks.undo).failingWrites = input.ConsumeIntegralInRange(1, 3);
      failed = true;
      break;
  }
  compareWithFreshStore(store, section, key);
  const bool inStep = store.fileBehindFrom() == qovra::settings::FileMirror::kInStep;
  if (!inStep && !failed) fail("the file fell behind without a failure");
  if (inStep && disks.ini.bytes != store.buffer()) fail("the file differs from the buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view kRecordMarker("\0\xFD\xFF", 3), kEditsMarker("\0\xFE\xFF", 3);
  const std::size_t editsAt = all.find(kEditsMarker);
  const std::string_view edits = editsAt == std::string_view::npos ? "" : all.substr(editsAt + kEditsMarker.size());
  const std::string_view files = all.substr(0, editsAt);
  const std::size_t recordAt = files.find(kRecordMarker);
  const std::string_view record =
      recordAt == std::string_view::npos ? "" : files.substr(recordAt + kRecordMarker.size());
  Disks disks{{std::string(files.substr(0, recordAt))}, {std::string(record)}};
  FuzzedDataProvider input(reinterpret_cast<const std::uint8_t*>(edits.data()), edits.size());

  SettingsStore store = holding(disks);
  if (store.buffer() != disks.ini.bytes) fail("the buffer is not the file's bytes");
  // Reads over the untouched bytes, for inputs without edits too.
  for (const char* section : kNames) compareWithFreshStore(store, section, "k");
  bool failed = false;
  for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) editOnce(store, disks, input, failed);

  disks.ini.failingWrites = disks.undo.failingWrites = 0;
  const std::string last = store.buffer();
  store.close();
  if (disks.ini.bytes != last) fail("letting go left the file behind");
  return 0;
}
