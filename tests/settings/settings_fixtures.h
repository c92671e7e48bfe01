// What the settings tests share: a scratch folder per test, the store's outside services
// put back after each test, and a held file that fails on purpose and counts what it is
// asked to write.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/held_file.h"
#include "settings/store_services.h"

namespace qovra::settings::testing_support {

// A fresh folder under the build tree for the running test.
inline std::string scratchFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string folder = std::string(QOVRA_BINARY_DIR) + "\\test-tmp\\settings\\" + name;
  platform::deleteTree(folder);
  platform::createFolder(folder);
  return folder;
}

inline std::string fileBytes(const std::string& path) { return platform::readFile(path).value_or("<unreadable>"); }

// Each test starts with the services a plain process has and leaves them so.
class ServicesGuard {
 public:
  ServicesGuard() : saved_(storeServices()) {}
  ~ServicesGuard() { storeServices() = saved_; }

 private:
  StoreServices saved_;
};

// What the faulty files are told to do, shared with the test that steers them. A store
// holds two files: its ini, and beside it the undo record of the edit being written
// ("<ini>.qovra-undo"), which has faults of its own.
struct Faults {
  // Faults of the ini file:
  // writes reaching past this size stop there and fail, as on a full disk;
  std::uint64_t capacity = UINT64_MAX;
  // while set, every other write (the first included) puts only half its bytes down and
  // fails: the edit's write fails and putting the old bytes back works;
  bool everyOtherWriteShort = false;
  // every write and truncation fails without touching the file (a file locked underneath);
  bool locked = false;
  bool failFlush = false;
  // Every write, truncation and flush of the undo record fails.
  bool undoFails = false;
  // What still reaches the disk before the power goes, counted in bytes written to both
  // files, a truncation or a flush counting one; after that nothing does, and the store
  // (as good as gone by then) is told that every call worked.
  std::uint64_t powerFor = UINT64_MAX;
  bool powerOff = false;
  // The power spent by the end of each call that had some, in order.
  std::vector<std::uint64_t> spentAfterCalls;
  std::uint64_t spent = 0;
  // Spends power on `units` (a write's bytes, or one for another call); how many of them
  // got it before the power went.
  std::uint64_t spend(std::uint64_t units) {
    if (powerOff) return 0;
    if (units > powerFor || (units == 0 && powerFor == 0)) {
      const std::uint64_t got = powerFor;
      powerFor = 0;
      powerOff = true;
      return got;
    }
    powerFor -= units;
    spent += units;
    spentAfterCalls.push_back(spent);
    return units;
  }
  // What was asked of the ini file: bytes and writes, and every call in order ("w" write,
  // "t" truncate, "f" flush).
  std::uint64_t bytesWritten = 0;
  int writes = 0;
  std::string calls;
};

inline bool isUndoRecord(const std::string& path) { return path.ends_with(".qovra-undo"); }

class FaultyFile : public platform::HeldFile {
 public:
  FaultyFile(std::unique_ptr<platform::HeldFile> real, std::shared_ptr<Faults> faults, bool ini)
      : real_(std::move(real)), faults_(std::move(faults)), ini_(ini) {
    if (ini_) faults_->writes = 0;
  }

  bool writable() const override { return real_->writable(); }
  std::optional<std::string> read(std::uint64_t offset, std::uint64_t length) const override {
    return real_->read(offset, length);
  }
  bool writeAt(std::uint64_t offset, std::string_view bytes) override {
    if (ini_) {
      ++faults_->writes;
      faults_->bytesWritten += bytes.size();
      faults_->calls += 'w';
    }
    if (faults_->powerOff) return true;
    const std::uint64_t powered = faults_->spend(bytes.size());
    if (faults_->powerOff) {
      real_->writeAt(offset, bytes.substr(0, static_cast<std::size_t>(powered)));
      return true;
    }
    if (!ini_) return !faults_->undoFails && real_->writeAt(offset, bytes);
    if (faults_->locked) return false;
    if (faults_->everyOtherWriteShort && faults_->writes % 2 == 1) {
      real_->writeAt(offset, bytes.substr(0, bytes.size() / 2));
      return false;
    }
    if (offset >= faults_->capacity) return false;
    const std::uint64_t room = faults_->capacity - offset;
    if (bytes.size() > room) {
      real_->writeAt(offset, bytes.substr(0, static_cast<std::size_t>(room)));
      return false;
    }
    return real_->writeAt(offset, bytes);
  }
  bool truncate(std::uint64_t length) override {
    if (ini_) faults_->calls += 't';
    if (faults_->spend(1) == 0) return true;
    if (!ini_) return !faults_->undoFails && real_->truncate(length);
    return !faults_->locked && real_->truncate(length);
  }
  bool flush() override {
    if (ini_) faults_->calls += 'f';
    if (faults_->spend(1) == 0) return true;
    if (!ini_) return !faults_->undoFails && real_->flush();
    return !faults_->failFlush && real_->flush();
  }
  bool stillAtPath() const override { return real_->stillAtPath(); }

 private:
  std::unique_ptr<platform::HeldFile> real_;
  std::shared_ptr<Faults> faults_;
  bool ini_;
};

// From now on stores hold their files through FaultyFiles steered by the result.
inline std::shared_ptr<Faults> holdFaultyFiles() {
  auto faults = std::make_shared<Faults>();
  storeServices().holdFile = [faults](const std::string& path) -> std::unique_ptr<platform::HeldFile> {
    auto real = platform::holdFile(path);
    if (!real) return nullptr;
    return std::make_unique<FaultyFile>(std::move(real), faults, !isUndoRecord(path));
  };
  return faults;
}

}  // namespace qovra::settings::testing_support
