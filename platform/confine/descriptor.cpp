#include "platform/confine/descriptor.h"

#include <unistd.h>

namespace dh::confine {

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0)
      close(fd_);
    fd_ = other.release();
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0)
    close(fd_);
}

int Descriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

std::string Descriptor::procPath(const std::string& name) const {
  if (fd_ < 0)
    return {};
  std::string path = "/proc/self/fd/" + std::to_string(fd_);
  return name.empty() ? path : path + '/' + name;
}

} // namespace dh::confine
