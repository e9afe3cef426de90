// The lock that writers of every process queue on before they ask SQLite for its write
// lock: SQLite lets a waiting writer poll with growing sleeps, so under steady writing one
// process could starve past any timeout. It is an flock() on HIVE.lock beside the hive,
// which only those who may write the hive can open: a reader (a pupil reading the machine
// hive) cannot hold it. A writer waits for it at most lockWaitSeconds(), then gives up
// naming the process that holds it.
#pragma once

#include <string>

namespace dh::reg {

// How long a writer waits for another's lock, in seconds (see HiveSetup).
int lockWaitSeconds();
// "gave up after 30 seconds", for the messages of a writer that waited in vain.
std::string gaveUpText();

// The processes holding a lock on the file at path, for a message: "process 123
// (deskhaven-reg) of user root", or "another process" when none is known.
std::string lockHolders(const std::string& path);

class WriterLock {
public:
  WriterLock() = default;
  ~WriterLock() { close(); }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  // The hive whose writers this lock queues; the lock file is opened at the first lock().
  void open(const std::string& hivePath);
  void close();
  // Waits until no writer of any process holds the lock, then holds it. False when
  // another still held it after lockWaitSeconds() (the reason is in message); a lock file
  // that cannot be opened leaves the lock to SQLite's own.
  bool lock(std::string& message);
  void unlock();

private:
  std::string hive_;
  std::string path_; // HIVE.lock
  int fd_ = -1;
};

} // namespace dh::reg
