// The roots of one set-up of My Files: the scheme's roots whose folder can be read, "/"
// trimmed from their paths and -1 limits as 99, each folder opened once. The form makes
// them whenever it reads the scheme and hands them to every view and its navigator.
#pragma once

#include "common/scheme.h"
#include "platform/confine/confinedroot.h"

#include <memory>
#include <vector>

namespace dh::files {

class OpenRoots {
public:
  // FolderLevels -1 means "no limit" and becomes this.
  static constexpr int kUnlimitedLevels = 99;

  explicit OpenRoots(std::vector<dh::RootFolder> roots);
  static std::shared_ptr<const OpenRoots> of(std::vector<dh::RootFolder> roots);

  const std::vector<dh::RootFolder>& roots() const { return roots_; }
  // The folder of root (an index into roots()), held open since the set-up.
  const std::shared_ptr<const dh::confine::ConfinedRoot>& opened(int root) const {
    return opened_[std::size_t(root)];
  }

private:
  std::vector<dh::RootFolder> roots_;
  std::vector<std::shared_ptr<const dh::confine::ConfinedRoot>> opened_;
};

// Removes trailing "/" (but keeps "/" itself).
std::string trimFolder(std::string path);

} // namespace dh::files
