// The lock that writers of every process queue on before they ask SQLite for its write
// lock: SQLite lets a waiting writer poll with growing sleeps, so under steady writing one
// process could starve past any timeout. It is an flock() on a descriptor of the hive
// file, kept open as long as the hive's connection: closing any descriptor of the file
// would drop SQLite's own fcntl() locks, so the owner closes it only after the connection.
#pragma once

#include <string>

namespace dh::reg {

class WriterLock {
public:
  WriterLock() = default;
  ~WriterLock() { close(); }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  // Opens the descriptor once; a file that cannot be opened leaves the lock a no-op.
  void open(const std::string& path);
  void close();
  // Waits until no writer of any process holds the lock, then holds it.
  void lock();
  void unlock();

private:
  int fd_ = -1;
};

} // namespace dh::reg
