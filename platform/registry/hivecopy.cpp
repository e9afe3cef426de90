#include "platform/registry/registry.h"
#include "platform/registry/writerlock.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <cerrno>

namespace dh::reg {

Status copyHiveFile(const std::string& from, const std::string& to) {
  struct stat info {};
  if (::stat(from.c_str(), &info) != 0)
    return errno == ENOENT ? kFileNotFound : kAccessDenied;
  sqlite3* source = nullptr;
  sqlite3* target = nullptr;
  Status status = kAccessDenied;
  // SQLite's backup reads under a shared lock, so a writer's half-done transaction is
  // never copied.
  if (sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
          SQLITE_OK) {
    sqlite3_busy_timeout(source, lockWaitSeconds() * 1000);
    if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main")) {
      const int step = sqlite3_backup_step(backup, -1);
      if (sqlite3_backup_finish(backup) == SQLITE_OK && step == SQLITE_DONE)
        status = kSuccess;
    }
  }
  sqlite3_close_v2(source);
  sqlite3_close_v2(target);
  return status;
}

} // namespace dh::reg
