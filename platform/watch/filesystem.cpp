#include "platform/watch/filesystem.h"

#include <sys/statfs.h>

#include <algorithm>
#include <iterator>

namespace dh::watch {

bool isNetworkFileSystem(unsigned long type) {
  constexpr unsigned long kShared[] = {fstype::kNfs, fstype::kCifs, fstype::kSmb2,
                                       fstype::kSmb, fstype::kAfs,  fstype::kCeph};
  return std::find(std::begin(kShared), std::end(kShared), type) != std::end(kShared);
}

bool onNetworkFileSystem(const std::string& path) {
  struct statfs info {};
  return ::statfs(path.c_str(), &info) == 0 &&
         isNetworkFileSystem(static_cast<unsigned long>(info.f_type));
}

} // namespace dh::watch
