#include "platform/registry/hive.h"

#include "platform/watch/filesystem.h"

#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace dh::reg {

namespace {

// Marks our files so that some other SQLite database is never taken for a hive.
constexpr int kApplicationId = 0x44484856; // "DHHV"

enum Stmt {
  kInsertKey,
  kKeyExists,
  kQueryValue,
  kSetValue,
  kDeleteValue,
  kSubkeys,
  kValues,
  kDeleteTreeValues,
  kDeleteTreeKeys,
  kFindKeyWithValues,
  kStmtCount
};

const char* const kSql[kStmtCount] = {
    "INSERT INTO keys(parent, path, lpath) VALUES (?1, ?2, ?3)",
    "SELECT 1 FROM keys WHERE id = ?1",
    "SELECT type, data FROM vals WHERE key = ?1 AND lname = ?2",
    "INSERT INTO vals(key, lname, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, lname) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM vals WHERE key = ?1 AND lname = ?2",
    "SELECT path FROM keys WHERE parent = ?1 ORDER BY lpath",
    "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY lname",
    // ?1 is the folded path, ?2 the same followed by a backslash, ?3 followed by ']'
    // (the character after the backslash): the range holds exactly the descendants.
    "DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE (lpath = ?1 AND ?4 = 0) "
    "OR (lpath >= ?2 AND lpath < ?3))",
    "DELETE FROM keys WHERE (lpath = ?1 AND ?4 = 0) OR (lpath >= ?2 AND lpath < ?3)",
    // One statement for a key and its first values: each statement costs SQLite's file
    // locking and journal checks, which dominate a small read.
    "SELECT k.id, k.path, v.lname, v.name, v.type, v.data FROM keys k "
    "LEFT JOIN vals v ON v.key = k.id WHERE k.lpath = ?1 LIMIT ?2",
};

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER, "
    "path TEXT NOT NULL, lpath TEXT NOT NULL UNIQUE);"
    "CREATE INDEX IF NOT EXISTS keys_parent ON keys(parent);"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, lname TEXT NOT NULL, "
    "name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, "
    "PRIMARY KEY(key, lname)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys(id, parent, path, lpath) VALUES (1, NULL, '', '');";

// Binds text without copying; the caller keeps it alive until the statement resets.
void bindText(sqlite3_stmt* s, int index, std::string_view text) {
  sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

std::string columnText(sqlite3_stmt* s, int column) {
  auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, column)))
              : std::string();
}

std::vector<std::uint8_t> columnBlob(sqlite3_stmt* s, int column) {
  auto* blob = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, column));
  return blob ? std::vector<std::uint8_t>(blob, blob + sqlite3_column_bytes(s, column))
              : std::vector<std::uint8_t>();
}

// Resets a statement when the scope ends, so that no read lock outlives a call.
struct Reset {
  sqlite3_stmt* s;
  ~Reset() {
    if (s) {
      sqlite3_reset(s);
      sqlite3_clear_bindings(s);
    }
  }
};

std::vector<std::string_view> splitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos)
      end = path.size();
    if (end > start)
      parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool writableFolderFor(const std::filesystem::path& file) {
  std::error_code ec;
  auto dir = file.parent_path();
  while (!dir.empty() && !std::filesystem::exists(dir, ec))
    dir = dir.parent_path();
  if (dir.empty())
    dir = ".";
  return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::string foldName(std::string_view name) {
  std::string folded(name);
  bool ascii = true;
  for (char& c : folded) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  if (ascii)
    return folded;
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
      .toCaseFolded()
      .toStdString();
}

Hive::Hive(std::string path) : path_(std::move(path)) {}

Hive::~Hive() {
  for (auto*& s : statements_)
    sqlite3_finalize(s);
  sqlite3_close_v2(db_); // the writer lock closes after the connection, as it must
}

void Hive::markBroken(const std::string& why) {
  for (auto*& s : statements_) {
    sqlite3_finalize(s);
    s = nullptr;
  }
  sqlite3_close_v2(db_);
  db_ = nullptr;
  writerLock_.close();
  state_ = State::Broken;
  if (!reported_) {
    reported_ = true;
    std::fprintf(stderr,
                 "deskhaven: the registry hive %s cannot be used (%s); it is read as "
                 "empty and will not be written.\n",
                 path_.c_str(), why.c_str());
  }
}

void Hive::reportLocked(const std::string& why) const {
  std::fprintf(stderr, "deskhaven: the registry hive %s cannot be used now: %s.\n", path_.c_str(),
               why.c_str());
}

Status Hive::fail(int code) {
  switch (code & 0xff) {
  case SQLITE_CORRUPT:
  case SQLITE_NOTADB:
    markBroken(sqlite3_errstr(code));
    return kBadDatabase;
  case SQLITE_READONLY:
  case SQLITE_PERM:
  case SQLITE_CANTOPEN:
  case SQLITE_AUTH:
    return kAccessDenied;
  case SQLITE_BUSY:
  case SQLITE_LOCKED:
    reportLocked("it is locked by " + lockHolders(path_) + "; " + gaveUpText());
    return kTimeout;
  default:
    return kWriteFault;
  }
}

Status Hive::ensureOpen(bool forWrite) {
  if (state_ == State::Broken)
    return kBadDatabase;
  if (state_ == State::Open) {
    if (forWrite && !hasSchema_)
      return ensureSchema();
    return kSuccess;
  }
  if (path_.empty()) // no hive for this root
    return forWrite ? kAccessDenied : kFileNotFound;
  std::error_code ec;
  bool exists = std::filesystem::exists(path_, ec);
  if (!exists && !forWrite)
    return kFileNotFound;
  if (!exists) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  } else if (std::filesystem::is_directory(path_, ec)) {
    markBroken("it is a folder, not a file");
    return kBadDatabase;
  }
  int flags = SQLITE_OPEN_FULLMUTEX | (forWrite || ::access(path_.c_str(), W_OK) == 0
                                           ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                           : SQLITE_OPEN_READONLY);
  int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    return rc == SQLITE_CANTOPEN && exists ? kAccessDenied : fail(rc);
  }
  sqlite3_extended_result_codes(db_, 0);
  sqlite3_busy_timeout(db_, lockWaitSeconds() * 1000);
  // Rollback journal: readers never need to create files next to the hive, and it works
  // where a write-ahead log cannot (a hive in a home on a file server). There, reads go
  // through read(), which the file system client revalidates when SQLite takes its locks,
  // not through mapped pages, the riskier path when another machine changes the file.
  const char* pragmas = dh::watch::onNetworkFileSystem(path_)
                            ? "PRAGMA synchronous=NORMAL; PRAGMA mmap_size=0"
                            : "PRAGMA synchronous=NORMAL; PRAGMA mmap_size=268435456";
  sqlite3_exec(db_, pragmas, nullptr, nullptr, nullptr);

  // Tell an empty new file, a hive, and anything else apart.
  sqlite3_stmt* probe = nullptr;
  rc = sqlite3_prepare_v2(db_,
                          "SELECT (SELECT count(*) FROM sqlite_master), "
                          "(SELECT count(*) FROM sqlite_master WHERE name IN ('keys','vals'))",
                          -1, &probe, nullptr);
  int tables = 0, ours = 0;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(probe);
    if (rc == SQLITE_ROW) {
      tables = sqlite3_column_int(probe, 0);
      ours = sqlite3_column_int(probe, 1);
      rc = SQLITE_OK;
    }
  }
  sqlite3_finalize(probe);
  if (rc != SQLITE_OK) {
    if ((rc & 0xff) == SQLITE_BUSY) {
      sqlite3_close_v2(db_);
      db_ = nullptr;
      return kWriteFault;
    }
    markBroken(rc == SQLITE_NOTADB ? "the file is not a registry hive" : sqlite3_errstr(rc));
    return kBadDatabase;
  }
  if (tables > 0) {
    int appId = 0;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
      appId = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    if (appId != kApplicationId || ours != 2) {
      markBroken("the file is a database, but not a registry hive");
      return kBadDatabase;
    }
    hasSchema_ = true;
  }
  state_ = State::Open;
  writerLock_.open(path_);
  if (forWrite && !hasSchema_)
    return ensureSchema();
  return kSuccess;
}

Status Hive::ensureSchema() {
  std::string sql = "BEGIN IMMEDIATE;PRAGMA application_id=" + std::to_string(kApplicationId) +
                    ";" + kSchema + "COMMIT;";
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return fail(rc);
  }
  hasSchema_ = true;
  return kSuccess;
}

sqlite3_stmt* Hive::statement(int which) {
  if (!statements_[which])
    sqlite3_prepare_v3(db_, kSql[which], -1, SQLITE_PREPARE_PERSISTENT, &statements_[which],
                       nullptr);
  return statements_[which];
}

Status Hive::writable() {
  std::lock_guard lock(mutex_);
  if (state_ == State::Broken)
    return kBadDatabase;
  if (path_.empty())
    return kAccessDenied;
  std::error_code ec;
  if (std::filesystem::exists(path_, ec)) {
    if (::access(path_.c_str(), W_OK) != 0)
      return kAccessDenied;
    // The journal is made beside the hive, so its folder must be writable too.
    return writableFolderFor(path_) ? kSuccess : kAccessDenied;
  }
  return writableFolderFor(path_) ? kSuccess : kAccessDenied;
}

std::string Hive::foldPath(std::string_view path) {
  std::string folded;
  for (auto part : splitPath(path)) {
    if (!folded.empty())
      folded += '\\';
    folded += foldName(part);
  }
  return folded;
}

Status Hive::findKey(std::string_view path, std::int64_t& id, std::string& storedPath) {
  std::vector<FoldedValue> none;
  bool complete = false;
  return findKeyWithValues(path, 0, id, storedPath, none, complete);
}

Status Hive::findKeyWithValues(std::string_view path, std::size_t limit, std::int64_t& id,
                               std::string& storedPath, std::vector<FoldedValue>& values,
                               bool& complete) {
  std::lock_guard lock(mutex_);
  values.clear();
  complete = false;
  if (Status st = ensureOpen(false); st != kSuccess)
    return st == kBadDatabase ? kFileNotFound : st;
  if (!hasSchema_)
    return kFileNotFound;
  const std::string folded = foldPath(path);
  sqlite3_stmt* s = statement(kFindKeyWithValues);
  Reset reset{s};
  bindText(s, 1, folded);
  sqlite3_bind_int64(s, 2, static_cast<sqlite3_int64>(limit + 1));
  int rc;
  bool found = false;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    found = true;
    id = sqlite3_column_int64(s, 0);
    storedPath = columnText(s, 1);
    if (sqlite3_column_type(s, 2) != SQLITE_NULL)
      values.push_back(
          {columnText(s, 2),
           {columnText(s, 3), static_cast<Type>(sqlite3_column_int64(s, 4)), columnBlob(s, 5)}});
  }
  if (rc != SQLITE_DONE)
    return fail(rc);
  if (!found)
    return kFileNotFound;
  complete = values.size() <= limit;
  if (!complete)
    values.clear();
  return kSuccess;
}

Status Hive::beginWrite(bool& own) {
  own = false;
  if (Status st = ensureOpen(true); st != kSuccess)
    return st;
  if (transactionDepth_ > 0)
    return kSuccess;
  if (std::string why; !writerLock_.lock(why)) {
    reportLocked(why);
    return kTimeout;
  }
  int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    writerLock_.unlock();
    return fail(rc);
  }
  own = true;
  return kSuccess;
}

Status Hive::endWrite(bool own, Status status) {
  if (!own)
    return status;
  if (status == kSuccess) {
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
      status = fail(rc);
  }
  if (status != kSuccess && db_)
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  writerLock_.unlock();
  return status;
}

Status Hive::createKey(std::string_view path, std::int64_t& id, std::string& storedPath,
                       bool* created) {
  std::lock_guard lock(mutex_);
  if (created)
    *created = false;
  bool own = false;
  if (Status st = beginWrite(own); st != kSuccess)
    return st;
  Status status = kSuccess;
  std::int64_t parent = 1;
  std::string folded, stored;
  for (auto part : splitPath(path)) {
    std::string nextFolded = folded.empty() ? foldName(part) : folded + '\\' + foldName(part);
    std::string nextStored = stored.empty() ? std::string(part) : stored + '\\' + std::string(part);
    sqlite3_stmt* find = statement(kFindKeyWithValues);
    Reset resetFind{find};
    bindText(find, 1, nextFolded);
    sqlite3_bind_int64(find, 2, 1);
    int rc = sqlite3_step(find);
    if (rc == SQLITE_ROW) {
      parent = sqlite3_column_int64(find, 0);
      nextStored = columnText(find, 1);
    } else if (rc == SQLITE_DONE) {
      sqlite3_stmt* insert = statement(kInsertKey);
      Reset resetInsert{insert};
      sqlite3_bind_int64(insert, 1, parent);
      bindText(insert, 2, nextStored);
      bindText(insert, 3, nextFolded);
      rc = sqlite3_step(insert);
      if (rc != SQLITE_DONE) {
        status = fail(rc);
        break;
      }
      parent = sqlite3_last_insert_rowid(db_);
      if (created)
        *created = true;
    } else {
      status = fail(rc);
      break;
    }
    folded = std::move(nextFolded);
    stored = std::move(nextStored);
  }
  status = endWrite(own, status);
  if (status == kSuccess) {
    id = parent;
    storedPath = stored;
  } else if (created) {
    *created = false;
  }
  return status;
}

bool Hive::keyExists(std::int64_t id) {
  std::lock_guard lock(mutex_);
  if (state_ != State::Open || !hasSchema_)
    return false;
  sqlite3_stmt* s = statement(kKeyExists);
  Reset reset{s};
  sqlite3_bind_int64(s, 1, id);
  return sqlite3_step(s) == SQLITE_ROW;
}

Status Hive::queryValue(std::int64_t key, std::string_view name, Type& type,
                        std::vector<std::uint8_t>& data) {
  std::lock_guard lock(mutex_);
  if (state_ != State::Open)
    return state_ == State::Broken ? kKeyDeleted : kFileNotFound;
  std::string folded = foldName(name);
  sqlite3_stmt* s = statement(kQueryValue);
  Reset reset{s};
  sqlite3_bind_int64(s, 1, key);
  bindText(s, 2, folded);
  int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) {
    type = static_cast<Type>(sqlite3_column_int64(s, 0));
    data = columnBlob(s, 1);
    return kSuccess;
  }
  if (rc != SQLITE_DONE)
    return fail(rc);
  return kFileNotFound;
}

Status Hive::setValue(std::int64_t key, std::string_view name, Type type, const void* data,
                      std::uint32_t size) {
  std::lock_guard lock(mutex_);
  bool own = false;
  if (Status st = beginWrite(own); st != kSuccess)
    return st;
  Status status = kSuccess;
  {
    sqlite3_stmt* exists = statement(kKeyExists);
    Reset resetExists{exists};
    sqlite3_bind_int64(exists, 1, key);
    int rc = sqlite3_step(exists);
    if (rc == SQLITE_DONE)
      status = kKeyDeleted;
    else if (rc != SQLITE_ROW)
      status = fail(rc);
  }
  if (status == kSuccess) {
    std::string folded = foldName(name);
    sqlite3_stmt* s = statement(kSetValue);
    Reset reset{s};
    sqlite3_bind_int64(s, 1, key);
    bindText(s, 2, folded);
    bindText(s, 3, name);
    sqlite3_bind_int64(s, 4, static_cast<sqlite3_int64>(type));
    sqlite3_bind_blob(s, 5, size ? data : "", static_cast<int>(size), SQLITE_STATIC);
    int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
      status = fail(rc);
  }
  return endWrite(own, status);
}

Status Hive::deleteValue(std::int64_t key, std::string_view name) {
  std::lock_guard lock(mutex_);
  bool own = false;
  if (Status st = beginWrite(own); st != kSuccess)
    return st;
  std::string folded = foldName(name);
  sqlite3_stmt* s = statement(kDeleteValue);
  Status status = kSuccess;
  {
    Reset reset{s};
    sqlite3_bind_int64(s, 1, key);
    bindText(s, 2, folded);
    int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
      status = fail(rc);
    else if (sqlite3_changes(db_) == 0)
      status = kFileNotFound;
  }
  return endWrite(own, status);
}

Status Hive::deleteTree(std::string_view path, bool keepTop) {
  std::lock_guard lock(mutex_);
  bool own = false;
  if (Status st = beginWrite(own); st != kSuccess)
    return st;
  const std::string folded = foldPath(path);
  Status status = kSuccess;
  if (folded.empty() && !keepTop)
    status = kAccessDenied; // the top of a hive cannot be removed
  std::string low = folded.empty() ? std::string() : folded + '\\';
  std::string high = folded.empty() ? std::string("\x7f\xff") : folded + ']';
  for (int which : {kDeleteTreeValues, kDeleteTreeKeys}) {
    if (status != kSuccess)
      break;
    sqlite3_stmt* s = statement(which);
    Reset reset{s};
    bindText(s, 1, folded);
    bindText(s, 2, low);
    bindText(s, 3, high);
    sqlite3_bind_int(s, 4, keepTop ? 1 : 0);
    int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
      status = fail(rc);
  }
  return endWrite(own, status);
}

Status Hive::subkeys(std::int64_t key, std::vector<std::string>& names) {
  std::lock_guard lock(mutex_);
  names.clear();
  if (state_ != State::Open)
    return kSuccess;
  sqlite3_stmt* s = statement(kSubkeys);
  Reset reset{s};
  sqlite3_bind_int64(s, 1, key);
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    std::string path = columnText(s, 0);
    auto slash = path.rfind('\\');
    names.push_back(slash == std::string::npos ? path : path.substr(slash + 1));
  }
  return rc == SQLITE_DONE ? kSuccess : fail(rc);
}

Status Hive::values(std::int64_t key, std::vector<Value>& out) {
  std::lock_guard lock(mutex_);
  out.clear();
  if (state_ != State::Open)
    return kSuccess;
  sqlite3_stmt* s = statement(kValues);
  Reset reset{s};
  sqlite3_bind_int64(s, 1, key);
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW)
    out.push_back(
        {columnText(s, 0), static_cast<Type>(sqlite3_column_int64(s, 1)), columnBlob(s, 2)});
  return rc == SQLITE_DONE ? kSuccess : fail(rc);
}

Status Hive::begin() {
  mutex_.lock();
  if (transactionDepth_ == 0) {
    bool own = false;
    if (Status st = beginWrite(own); st != kSuccess) {
      mutex_.unlock();
      return st;
    }
  }
  ++transactionDepth_;
  return kSuccess;
}

Status Hive::commit() {
  Status status = kSuccess;
  if (--transactionDepth_ == 0)
    status = endWrite(true, kSuccess);
  mutex_.unlock();
  return status;
}

void Hive::rollback() {
  if (--transactionDepth_ == 0)
    endWrite(true, kAccessDenied); // any failure status rolls back
  mutex_.unlock();
}

} // namespace dh::reg
