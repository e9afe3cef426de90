// An open file descriptor that closes with the object, and the path by which services
// that take only paths reach what it stands for.
#pragma once

#include <string>

namespace dh::confine {

class Descriptor {
public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();

  // "/proc/self/fd/N", or with name "/proc/self/fd/N/name": within this process the
  // kernel takes the descriptor's own object for that path, however the folder it was
  // opened from has been renamed or replaced since. Empty when invalid.
  std::string procPath(const std::string& name = {}) const;

private:
  int fd_ = -1;
};

} // namespace dh::confine
