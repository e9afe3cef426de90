#include "platform/registry/writerlock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace dh::reg {

void WriterLock::open(const std::string& path) {
  if (fd_ < 0)
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

void WriterLock::close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

void WriterLock::lock() {
  if (fd_ >= 0)
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

void WriterLock::unlock() {
  if (fd_ >= 0)
    ::flock(fd_, LOCK_UN);
}

} // namespace dh::reg
