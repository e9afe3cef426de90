// Where a view stands among the roots: the current root and folder, how deep below the
// root the folder lies and how deep it may go. Each root (and each target of a folder
// shortcut that an administrator made) is held open, and every folder below it is
// resolved beneath it by the kernel, through real folders only: nothing above a root or
// below its limit is ever reached, whatever the path, the links or the history say, and
// whatever is swapped in after a folder was shown. Paths are bytes as the file system
// spells them; the depth is the number of folders below the root.
#pragma once

#include "common/scheme.h"
#include "files/model/openroots.h"
#include "platform/confine/confinedroot.h"

#include <memory>
#include <string>
#include <vector>

struct stat;

namespace dh::files {

class FolderNavigator {
public:
  enum class EntryKind { Hidden, File, Folder };

  // The shortcut targets visited, each with the way to it from its root. The navigators
  // of one page share them, so that any view (and the history) can return to a target
  // another view was led to; they outlive a new set of roots.
  struct Visited;

  // With visited targets of its own, or shared with other navigators.
  FolderNavigator();
  explicit FolderNavigator(std::shared_ptr<Visited> visited);

  // Takes the roots of a set-up. Nothing is shown until a root is opened.
  void setRoots(std::shared_ptr<const OpenRoots> roots);
  const std::vector<dh::RootFolder>& roots() const;

  bool hasFolder() const { return !frames_.empty(); }
  int currentRoot() const { return root_; }
  const std::string& folder() const { return folder_; }
  int depth() const { return depth_; }
  int limit() const { return limit_; }
  // The folder the current root or shortcut target leads to (links resolved): every
  // folder shown lies within it.
  const std::string& base() const;
  // Whether the folder lies in the target of a folder shortcut that leads out of the root.
  bool inShortcut() const { return frames_.size() > 1; }

  // Shows a root at depth 0; false when there is no such root or it cannot be read.
  bool openRoot(int root);
  // Enters the entry name of the current folder when the depth limit allows, following
  // a folder shortcut. False, and nothing changes, when it may not be entered.
  bool enter(const std::string& name);
  // Up is possible below a root (never at any root's folder, nor above a shortcut's
  // target: from the target it leads back to the folder holding the shortcut).
  bool canGoUp() const;
  bool goUp();
  // Goes to a folder recorded earlier for that root, its depth counted afresh; false
  // when it vanished, can no longer be read, or lies outside the root or below its limit.
  bool goTo(const std::string& folder, int root);
  // Goes to folder in the first root that holds it, itself or through a shortcut target
  // visited, within its limit (currentRoot and Depth then say which and how deep); false,
  // and nothing changes, when no root does.
  bool reach(const std::string& folder);

  // What an entry of the current folder is to the pupil: a folder or file inside the
  // root, a folder shortcut leading out (a folder), or something never shown (a hidden
  // entry, a device, a link leading out that the pupil's own account made).
  // info, when given, receives the entry's status (links followed).
  EntryKind classify(const std::string& name, struct stat* info = nullptr) const;
  // The same for an entry of folder, the current folder as openFolder gave it.
  EntryKind classify(const dh::confine::Descriptor& folder, const std::string& name,
                     struct stat* info = nullptr) const;

  // The current folder opened afresh beneath its root, or an invalid descriptor (error
  // set) when it no longer is the folder shown: replaced by a link, moved or gone.
  dh::confine::Descriptor openFolder(int* error = nullptr) const;

  // "Current Root: " name "      Current Folder: " folder.
  std::string captionLine() const;

private:
  // A stretch of the way: a root, or a shortcut's target entered from inside a root.
  struct Frame {
    std::shared_ptr<const dh::confine::ConfinedRoot> root; // held open
    std::string base;                                      // the folder it leads to, links resolved
    std::string shown; // how its folder is spelt on screen and in the history
    int depth = 0;     // the depth of that folder below the root
    std::string back;  // for a target: the folder holding the shortcut
  };

public:
  struct Visited {
    // Each begins with its root's frame, which is matched by the root's folder.
    std::vector<std::vector<Frame>> ways;
  };

private:
  std::string childPath(const std::string& name) const;
  // folder opened beneath the last frame's root, if it is spelt below that frame.
  static dh::confine::Descriptor resolve(const Frame& frame, const std::string& folder,
                                         int* error = nullptr);
  bool show(std::vector<Frame> frames, std::string folder, int depth);
  bool atAnyRoot(const std::string& folder) const;

  std::shared_ptr<const OpenRoots> roots_ = OpenRoots::of({});
  int root_ = 0;
  std::string folder_;
  int depth_ = 0;
  int limit_ = 0;
  std::vector<Frame> frames_;
  std::shared_ptr<Visited> visited_;
};

} // namespace dh::files
