// A named lock shared by the processes of one user session, taken with a time limit: an
// flock on a file in the session's runtime directory. The lock is let go when the object
// goes, or when its process ends.
#pragma once

#include "platform/sync/runtimedir.h"

#include <chrono>
#include <string>

namespace dh::sync {

class NamedLock {
public:
  // Opens the lock (creating its file when missing); isOpen says whether that worked.
  explicit NamedLock(const std::string& name, const SessionPlace& place = ownSession());
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  // Takes the lock, waiting at most timeout for whoever holds it; true when taken.
  bool wait(std::chrono::milliseconds timeout);
  void release();

private:
  int fd_ = -1;
  bool held_ = false;
};

} // namespace dh::sync
