#include "files/model/openroots.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace dh::files {

namespace {

bool readable(const std::string& folder) {
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(folder.c_str(), R_OK | X_OK) == 0;
}

} // namespace

std::string trimFolder(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

OpenRoots::OpenRoots(std::vector<dh::RootFolder> roots) : roots_(std::move(roots)) {
  roots_.erase(std::remove_if(roots_.begin(), roots_.end(),
                              [](const dh::RootFolder& root) { return !readable(root.RootPath); }),
               roots_.end());
  for (dh::RootFolder& root : roots_) {
    root.RootPath = trimFolder(root.RootPath);
    if (root.FolderLevels == -1)
      root.FolderLevels = kUnlimitedLevels;
    opened_.push_back(dh::confine::ConfinedRoot::open(root.RootPath));
  }
}

std::shared_ptr<const OpenRoots> OpenRoots::of(std::vector<dh::RootFolder> roots) {
  return std::make_shared<const OpenRoots>(std::move(roots));
}

} // namespace dh::files
