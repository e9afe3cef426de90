#include "platform/sync/namedlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace dh::sync {
namespace {

constexpr std::chrono::milliseconds kRetry{5};

} // namespace

NamedLock::NamedLock(const std::string& name, const SessionPlace& place) {
  if (!isObjectName(name))
    return;
  const std::string path = place.folder + "/" + name + ".lock";
  // flock needs only a descriptor, so a lock file of another member of the session's
  // group is opened for reading.
  fd_ = openSessionFile(path, O_RDONLY, place.owner);
}

NamedLock::~NamedLock() {
  if (fd_ >= 0)
    ::close(fd_);
}

bool NamedLock::wait(std::chrono::milliseconds timeout) {
  if (fd_ < 0)
    return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
      return held_ = true;
    if (errno != EWOULDBLOCK && errno != EINTR)
      return false;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(kRetry);
  }
}

void NamedLock::release() {
  if (held_)
    ::flock(fd_, LOCK_UN);
  held_ = false;
}

} // namespace dh::sync
