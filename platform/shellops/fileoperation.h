// The file operation service: copies, moves, renames and deletes files and folders on a
// user's behalf, and takes deleted items back out of the trash.
//
// What callers can rely on:
// - Items are worked through in the order of the request. A failure stops the request;
//   it is shown in one message box over the owner, and returned in Result::error.
// - Paths may lead through a folder held open by this process ("/proc/self/fd/N/name"):
//   the item is then taken from, or put into, that very folder.
// - Below the item a path names, nothing is reached through a symbolic link: a link inside
//   a folder is copied or moved as the link it is, and a folder swapped for a link (or for
//   another folder) while the work runs stops it before anything beyond is touched.
// - Nothing is lost. A copy or move that fails half-way or is cancelled leaves its source
//   as it was and removes what it half wrote. A move across file systems removes the
//   source only once the copy is complete, checked and on the disk. An item that is
//   replaced goes to the trash (with AllowUndo), or is removed only once its replacement
//   is in place.
// - A target that is taken gets a free name "name (2).ext", "name (3).ext", ... with
//   RenameOnCollision (Result says which targets were renamed); it is replaced without a
//   question with NoConfirmation; otherwise the user is asked: Yes replaces it, No skips
//   the item, Cancel stops the request.
// - Delete with AllowUndo puts the items into the trash (see trash.h), where the desktop's
//   own trash finds them; without AllowUndo it removes them.
// - A folder is never copied or moved into itself or below itself, an item is never
//   copied onto itself, and a folder is never replaced by something it holds.
// - Work that takes longer than about half a second shows a progress dialog with Cancel.
// - Restoring puts an item back where its trash record says it came from, never over an
//   item that is there now.
#pragma once

#include <QFlags>
#include <QList>
#include <QStringList>

class QWidget;

namespace dh::shellops {

class Progress;

enum class Function { Move = 1, Copy = 2, Delete = 3, Rename = 4 };

enum class Option {
  RenameOnCollision = 0x1,
  NoConfirmation = 0x2,
  AllowUndo = 0x4,
};
Q_DECLARE_FLAGS(Options, Option)
Q_DECLARE_OPERATORS_FOR_FLAGS(Options)

struct Request {
  Function function = Function::Copy;
  QStringList sources{};
  // Copy and Move: the folder the sources go into under their own names ...
  QString destination{};
  // ... or, when not empty, one full target path per source (always so for Rename).
  QStringList targets{};
  Options options{};
  QWidget* owner = nullptr;     // of the progress dialog and the message boxes
  Progress* progress = nullptr; // null: a progress dialog over owner
};

struct ItemResult {
  QString source;
  QString target;       // where the item is now; a deleted item's place in the trash
  bool renamed = false; // the wanted target was taken and the item got a free name
  QString replaced;     // where the item it replaced waits in the trash (with AllowUndo)
};

struct Result {
  bool done = false;       // every item was completed and none was skipped or cancelled
  bool aborted = false;    // the user cancelled, or declined to replace an item
  QList<ItemResult> items; // the completed items, in order
  QString error;           // the failure as the user was shown it; empty when none
};

Result performFileOperation(const Request& request);

// Takes each item that was deleted from one of originalPaths back out of the trash: the
// most recently deleted one where several came from the same path. places, where given,
// name for each item the same place reached another way (through a folder held open), and
// the item is put there.
// Takes items that wait in the trash at trashedPaths (ItemResult::replaced) back to
// places, one for each; never over an item that is there now.
Result restoreTrashed(const QStringList& trashedPaths, const QStringList& places,
                      QWidget* owner = nullptr);

Result restoreFromTrash(const QStringList& originalPaths, QWidget* owner = nullptr,
                        Progress* progress = nullptr, const QStringList& places = {});

} // namespace dh::shellops
