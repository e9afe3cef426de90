#include "files/model/foldernavigator.h"

#include "files/model/foldershortcut.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace dh::files {

namespace {

bool readable(const dh::confine::Descriptor& folder) {
  return folder.valid() && faccessat(folder.get(), ".", R_OK | X_OK, 0) == 0;
}

// How many names the path has below base (a prefix of it).
int levelsBelow(const std::string& path, const std::string& base) {
  int levels = 0;
  bool inName = false;
  for (std::size_t at = base.size(); at < path.size(); ++at) {
    const bool separator = path[at] == '/';
    if (!separator && !inName)
      ++levels;
    inName = !separator;
  }
  return levels;
}

} // namespace

FolderNavigator::FolderNavigator() : visited_(std::make_shared<Visited>()) {}

FolderNavigator::FolderNavigator(std::shared_ptr<Visited> visited) : visited_(std::move(visited)) {}

void FolderNavigator::setRoots(std::shared_ptr<const OpenRoots> roots) {
  roots_ = std::move(roots);
  frames_.clear();
  folder_.clear();
  root_ = depth_ = limit_ = 0;
}

const std::vector<dh::RootFolder>& FolderNavigator::roots() const {
  return roots_->roots();
}

const std::string& FolderNavigator::base() const {
  static const std::string kNone;
  return frames_.empty() ? kNone : frames_.back().base;
}

dh::confine::Descriptor FolderNavigator::resolve(const Frame& frame, const std::string& folder,
                                                 int* error) {
  if (!frame.root || !isWithin(folder, frame.shown)) {
    if (error)
      *error = EXDEV;
    return {};
  }
  return frame.root->openFolder(folder.substr(frame.shown.size()), error);
}

dh::confine::Descriptor FolderNavigator::openFolder(int* error) const {
  if (frames_.empty()) {
    if (error)
      *error = ENOENT;
    return {};
  }
  return resolve(frames_.back(), folder_, error);
}

bool FolderNavigator::show(std::vector<Frame> frames, std::string folder, int depth) {
  if (!readable(resolve(frames.back(), folder)))
    return false;
  frames_ = std::move(frames);
  folder_ = std::move(folder);
  depth_ = depth;
  return true;
}

bool FolderNavigator::openRoot(int root) {
  if (root < 0 || root >= int(roots().size()))
    return false;
  const dh::RootFolder& folder = roots()[std::size_t(root)];
  const std::string base = dh::confine::currentPath(roots_->opened(root)->descriptor());
  if (base.empty() ||
      !show({{roots_->opened(root), base, folder.RootPath, 0, {}}}, folder.RootPath, 0))
    return false;
  root_ = root;
  limit_ = folder.FolderLevels;
  return true;
}

std::string FolderNavigator::childPath(const std::string& name) const {
  return folder_ == "/" ? "/" + name : folder_ + "/" + name;
}

bool FolderNavigator::enter(const std::string& name) {
  const dh::confine::Descriptor here = openFolder();
  if (!dh::confine::isPlainName(name) || depth_ >= limit_ ||
      classify(here, name) != EntryKind::Folder)
    return false;
  const std::string child = childPath(name);
  const Frame& frame = frames_.back();
  if (auto shortcut = readFolderShortcut(here, name)) {
    if (!isWithin(shortcut->target, frame.base)) {
      if (!shortcut->byAdministrator)
        return show(frames_, child, depth_ + 1); // a folder like any other
      std::vector<Frame> frames = frames_;
      const std::string target = shortcut->target;
      frames.push_back({dh::confine::ConfinedRoot::adopt(std::move(shortcut->targetFolder), target),
                        target, target, depth_ + 1, folder_});
      if (!show(frames, shortcut->target, depth_ + 1))
        return false;
      visited_->ways.push_back(frames_);
      return true;
    }
    // A shortcut to a folder of the same root shows that folder at its own depth.
    const std::string spelt = frame.shown + shortcut->target.substr(frame.base.size());
    const int depth = frame.depth + levelsBelow(spelt, frame.shown);
    return depth <= limit_ && show(frames_, trimFolder(spelt), depth);
  }
  return show(frames_, child, depth_ + 1);
}

bool FolderNavigator::atAnyRoot(const std::string& folder) const {
  return std::any_of(roots().begin(), roots().end(),
                     [&](const dh::RootFolder& root) { return root.RootPath == folder; });
}

bool FolderNavigator::canGoUp() const {
  if (!hasFolder() || atAnyRoot(folder_))
    return false;
  const Frame& frame = frames_.back();
  if (folder_ == frame.shown)
    return frames_.size() > 1 && readable(resolve(frames_[frames_.size() - 2], frame.back));
  const std::string parent = trimFolder(folder_.substr(0, folder_.rfind('/') + 1));
  return readable(resolve(frame, parent));
}

bool FolderNavigator::goUp() {
  if (!canGoUp())
    return false;
  const Frame& frame = frames_.back();
  if (folder_ == frame.shown) {
    std::vector<Frame> frames(frames_.begin(), frames_.end() - 1);
    const std::string back = frame.back;
    return show(std::move(frames), back, frame.depth - 1);
  }
  return show(frames_, trimFolder(folder_.substr(0, folder_.rfind('/') + 1)), depth_ - 1);
}

bool FolderNavigator::goTo(const std::string& folder, int root) {
  if (root < 0 || root >= int(roots().size()))
    return false;
  const dh::RootFolder& rootFolder = roots()[std::size_t(root)];
  std::vector<Frame> frames = {{roots_->opened(root),
                                dh::confine::currentPath(roots_->opened(root)->descriptor()),
                                rootFolder.RootPath,
                                0,
                                {}}};
  // The deepest known way that spells the folder: a shortcut target, or the root (as
  // opened now).
  for (const std::vector<Frame>& way : visited_->ways) {
    if (way.front().shown == rootFolder.RootPath && isWithin(folder, way.back().shown) &&
        way.back().shown.size() >= frames.back().shown.size()) {
      std::vector<Frame> from = way;
      from.front() = frames.front();
      frames = std::move(from);
    }
  }
  const Frame& frame = frames.back();
  if (frame.base.empty() || !isWithin(folder, frame.shown))
    return false;
  const int depth = frame.depth + levelsBelow(folder, frame.shown);
  if (depth > rootFolder.FolderLevels || !show(std::move(frames), folder, depth))
    return false;
  root_ = root;
  limit_ = rootFolder.FolderLevels;
  return true;
}

bool FolderNavigator::reach(const std::string& folder) {
  const std::string spelt = trimFolder(folder);
  for (int root = 0; root < int(roots().size()); ++root) {
    // Only a root that spells the folder, itself or through a target visited, is tried.
    const std::string& path = roots()[std::size_t(root)].RootPath;
    const bool spells =
        isWithin(spelt, path) ||
        std::any_of(visited_->ways.begin(), visited_->ways.end(), [&](const auto& way) {
          return way.front().shown == path && isWithin(spelt, way.back().shown);
        });
    if (spells && goTo(spelt, root))
      return true;
  }
  return false;
}

FolderNavigator::EntryKind FolderNavigator::classify(const std::string& name,
                                                     struct stat* info) const {
  return classify(openFolder(), name, info);
}

FolderNavigator::EntryKind FolderNavigator::classify(const dh::confine::Descriptor& folder,
                                                     const std::string& name,
                                                     struct stat* info) const {
  // Names that begin with "." are this platform's hidden entries.
  if (!folder.valid() || !dh::confine::isPlainName(name) || name[0] == '.')
    return EntryKind::Hidden;
  struct stat own {};
  struct stat& st = info ? *info : own;
  if (dh::confine::statEntry(folder, name, st) != 0)
    return EntryKind::Hidden;
  if (S_ISLNK(st.st_mode)) {
    const auto shortcut = readFolderShortcut(folder, name);
    if (!shortcut)
      return EntryKind::Hidden; // leads to no folder, or nowhere at all
    if (!isWithin(shortcut->target, base()))
      return shortcut->byAdministrator && fstat(shortcut->targetFolder.get(), &st) == 0
                 ? EntryKind::Folder
                 : EntryKind::Hidden;
  }
  if (fstatat(folder.get(), name.c_str(), &st, 0) != 0)
    return EntryKind::Hidden;
  if (S_ISDIR(st.st_mode))
    return EntryKind::Folder;
  return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Hidden;
}

std::string FolderNavigator::captionLine() const {
  const std::string rootName =
      root_ < int(roots().size()) ? roots()[std::size_t(root_)].RootDisplayName : "";
  return "Current Root: " + rootName + "      Current Folder: " + folder_;
}

} // namespace dh::files
