// What the My Files tool bar does to files: Copy and Cut into the page's own clipboard,
// Paste, Delete to the trash, New Folder, Rename, and Undo of each of them. Every command
// works where the view on show stands (its navigator and selection) and never reaches a
// folder that view could not show: outside the roots or below the folder level limit.
// Each folder a command works in is opened afresh beneath its root and the work is done
// in that open folder: one moved or replaced by a link since it was shown makes the
// command stop with "Folder Changed", and nothing outside is touched.
#pragma once

#include "files/model/foldernavigator.h"
#include "files/model/itemrecord.h"

#include <QStringList>

#include <functional>
#include <optional>

#include <vector>

class QWidget;

namespace dh::files {

struct Pinned;

// One completed command, as Undo reverses it.
struct UndoRecord {
  enum Kind { kMove = 1, kCopy = 2, kDelete = 3, kRename = 4, kNewFolder = 69 };
  QStringList Sources; // where the items were (a deleted item: where it was deleted from)
  QStringList Targets; // where they are now (the pair of Sources[i] is Targets[i])
  int Kind = 0;
  int Extra = 0;
  // A paste or drop: for each target, where the item it replaced waits in the trash (empty
  // when it replaced none), so that Undo brings that item back.
  QStringList replaced;
};

// The page's own clipboard: the paths taken by Copy or Cut and the word saying which.
struct Clipboard {
  QStringList paths;
  QString operation; // "copy", "cut", or empty once a Cut has been pasted
};

class FileCommands {
public:
  // owner: of the dialogs and boxes; mode: the platform mode of the page.
  FileCommands(QWidget* owner, int mode);

  void Copy(const std::vector<ItemRecord>& selected);
  void Cut(const std::vector<ItemRecord>& selected);
  void Paste(const FolderNavigator& place, const std::vector<ItemRecord>& selected);
  void Delete(const FolderNavigator& place, const std::vector<ItemRecord>& selected);
  // strict: the new folder itself must lie within the level limit (the trees' rule).
  void NewFolder(const FolderNavigator& place, const std::vector<ItemRecord>& selected,
                 bool strict = false);
  void Rename(const FolderNavigator& place, const std::vector<ItemRecord>& selected);
  void Undo(const FolderNavigator& place);
  // An item dragged onto the folder into: moved or copied there, with an undo record.
  // Nothing happens (and nothing is said) when it is there already, or is a folder and
  // into lies within it. True when it was moved or copied.
  bool drop(const QString& source, const FolderNavigator& into, bool move);

  const Clipboard& clip() const { return clipboard_; }
  bool canPaste() const { return !clipboard_.paths.isEmpty() && !clipboard_.operation.isEmpty(); }
  void clearClipboard() { clipboard_ = {}; }
  const std::vector<UndoRecord>& undoStack() const { return undo_; }

  // The box that refuses a folder below the level limit.
  struct LevelRefusal {
    const char* text;
    const char* title;
  };

private:
  void take(const std::vector<ItemRecord>& selected, const QString& operation);
  // The folder a paste or a new folder goes into: the first selected item when it is a
  // folder the view could open, else the view's folder. Nothing when the level limit
  // refuses the selected folder.
  void refuse(const LevelRefusal& refusal) const;
  std::optional<FolderNavigator> targetFolder(const FolderNavigator& place,
                                              const std::vector<ItemRecord>& selected,
                                              const LevelRefusal& refusal) const;
  // folder: into's folder, held open while the paste runs.
  bool pasteOne(const QString& path, const FolderNavigator& into,
                const dh::confine::Descriptor& folder, bool move, UndoRecord& record) const;
  // Copies or moves source (shownSource to the pupil) to target, a path in into's folder
  // held open; records the pair as the pupil knows them.
  bool transfer(const Pinned& source, const QString& shownSource, const QString& target,
                const FolderNavigator& into, bool move, UndoRecord& record) const;
  // Each refuses an undo with its "Cannot Undo" box; true when it may go ahead.
  bool fromHere(const FolderNavigator& place, const UndoRecord& record) const;
  bool withinReach(const FolderNavigator& place, const UndoRecord& record) const;
  bool placesFree(const UndoRecord& record) const;
  // Refuses at the first path that does not pass, naming it in refusal's %1.
  bool allPass(const QStringList& paths, const std::function<bool(const QString&)>& pass,
               const QString& refusal) const;
  void reverse(const FolderNavigator& place, const UndoRecord& record) const;

  QWidget* owner_;
  int mode_;
  Clipboard clipboard_;
  std::vector<UndoRecord> undo_;
};

// Tells the pupil that the folder a command was to work in has been moved or replaced
// since it was shown, so nothing was done.
void folderMoved(QWidget* owner);

// The name a copy of an item into its own folder gets: "Copy of N", else the first free
// of "Copy (2) of N", "Copy (3) of N", ... target is the item's own path.
QString copyName(const QString& target);

// Whether putting folder into destination would put it into itself: destination is the
// folder or lies below it, every symbolic link of both resolved.
bool isSameOrBelow(const std::string& destination, const std::string& folder);

} // namespace dh::files
