// One hive file: an SQLite database of keys and values, shared by every thread of the
// process and, through SQLite's file locks, by every process on the machine.
#pragma once

#include "platform/registry/registry.h"
#include "platform/registry/writerlock.h"

#include <memory>
#include <mutex>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace dh::reg {

// Folds a key or value name for comparison: names match without regard to case.
std::string foldName(std::string_view name);

class Hive {
public:
  explicit Hive(std::string path);
  ~Hive();
  Hive(const Hive&) = delete;
  Hive& operator=(const Hive&) = delete;

  const std::string& path() const { return path_; }
  std::recursive_mutex& mutex() { return mutex_; }

  // Each of these takes the hive's lock itself. Paths are below the hive's top key,
  // components separated by backslashes.
  Status findKey(std::string_view path, std::int64_t& id, std::string& storedPath);
  // Finds a key and reads its values with it when it has at most limit of them
  // (complete then true; otherwise values stays empty).
  struct FoldedValue {
    std::string folded;
    Value value;
  };
  Status findKeyWithValues(std::string_view path, std::size_t limit, std::int64_t& id,
                           std::string& storedPath, std::vector<FoldedValue>& values,
                           bool& complete);
  Status createKey(std::string_view path, std::int64_t& id, std::string& storedPath, bool* created);
  bool keyExists(std::int64_t id);
  Status queryValue(std::int64_t key, std::string_view name, Type& type,
                    std::vector<std::uint8_t>& data);
  Status setValue(std::int64_t key, std::string_view name, Type type, const void* data,
                  std::uint32_t size);
  Status deleteValue(std::int64_t key, std::string_view name);
  // Removes everything below path; removes the key at path itself too unless keepTop.
  Status deleteTree(std::string_view path, bool keepTop);
  Status subkeys(std::int64_t key, std::vector<std::string>& names);
  Status values(std::int64_t key, std::vector<Value>& values);

  // Whether this user may change the hive (the file, or the folder that would hold it).
  Status writable();

  Status begin();
  Status commit();
  void rollback();

private:
  static std::string foldPath(std::string_view path);
  enum class State { Closed, Open, Broken };

  // Opens the file if it exists (forWrite: creating it); Status of the attempt.
  Status ensureOpen(bool forWrite);
  Status ensureSchema();
  void markBroken(const std::string& why);
  void reportLocked(const std::string& why) const;
  Status fail(int sqliteCode);
  sqlite3_stmt* statement(int which);
  Status beginWrite(bool& own);
  Status endWrite(bool own, Status status);

  std::string path_;
  std::recursive_mutex mutex_;
  State state_ = State::Closed;
  bool hasSchema_ = false;
  bool reported_ = false;
  int transactionDepth_ = 0;
  WriterLock writerLock_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* statements_[16] = {};
};

// The hive that holds a root's keys, and the prefix of that root inside it.
std::shared_ptr<Hive> hiveFor(Root root);
std::string_view rootPrefix(Root root);

} // namespace dh::reg
