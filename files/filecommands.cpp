#include "files/filecommands.h"

#include "files/model/foldershortcut.h"
#include "files/namedialogs.h"
#include "platform/confine/confinedroot.h"
#include "platform/shellops/fileoperation.h"
#include "platform/ui/messageservice.h"

#include <QFile>

#include <sys/stat.h>

namespace dh::files {

// An item as the file services are handed it: its folder opened afresh beneath its root
// and held open, so that what the services do happens in that folder whatever is swapped
// in for it meanwhile.
struct Pinned {
  dh::confine::Descriptor folder;
  QString name;
  QString path() const;
};

namespace {

using dh::shellops::Function;
using dh::shellops::Option;
using dh::ui::Icon;

const FileCommands::LevelRefusal kNoNewFolder = {
    "Creation of a new folder at this location is not\n"
    "allowed due to a folder level limit being imposed.",
    "Cannot Create Folder"};
const FileCommands::LevelRefusal kNoPaste = {
    "Pasting into this folder is not allowed\ndue to a folder level limit being imposed.",
    "Clipboard Error"};

// The mode of the product on which deleted items cannot be brought back.
constexpr int kNoUndeleteMode = 9;

std::string toBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
QString toQString(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

bool exists(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString folderOf(const QString& path) {
  return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}
QString nameOf(const QString& path) {
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

dh::shellops::Result run(Function function, const QString& source, const QString& target,
                         QWidget* owner) {
  dh::shellops::Request request{.function = function, .sources = {source}, .owner = owner};
  if (function == Function::Delete)
    request.options = Option::AllowUndo | Option::NoConfirmation | Option::RenameOnCollision;
  else {
    request.targets = {target};
    request.options = Option::AllowUndo;
  }
  return dh::shellops::performFileOperation(request);
}

// A navigator on the folder holding path when the view could show it: in a root, or a
// shortcut's target it has visited, and within the level limit.
std::optional<FolderNavigator> folderHolding(const FolderNavigator& place, const QString& path) {
  FolderNavigator probe = place;
  return probe.reach(toBytes(folderOf(path))) ? std::optional<FolderNavigator>(std::move(probe))
                                              : std::nullopt;
}

std::optional<Pinned> pinAt(const FolderNavigator& place, const QString& path) {
  const QString name = nameOf(path);
  const std::optional<FolderNavigator> holder = folderHolding(place, path);
  if (!holder || !dh::confine::isPlainName(toBytes(name)))
    return std::nullopt;
  Pinned pinned{holder->openFolder(), name};
  return pinned.folder.valid() ? std::optional<Pinned>(std::move(pinned)) : std::nullopt;
}

// The path the pupil knows for what a file service reports at a pinned path in folder.
QString shown(const FolderNavigator& folder, const QString& reported) {
  const QString base = toQString(folder.folder());
  return (base == QLatin1String("/") ? QString() : base) + QLatin1Char('/') + nameOf(reported);
}

void cannotUndo(QWidget* owner, const QString& text) {
  dh::ui::showMessage(owner, text, QStringLiteral("Cannot Undo"), Icon::Warning);
}

} // namespace

QString Pinned::path() const {
  return toQString(folder.procPath()) + QLatin1Char('/') + name;
}

void folderMoved(QWidget* owner) {
  dh::ui::showMessage(owner,
                      QStringLiteral("This folder has been moved or replaced since it was shown,\n"
                                     "so nothing was done. Please look at it again."),
                      QStringLiteral("Folder Changed"), dh::ui::Icon::Warning);
}

QString copyName(const QString& target) {
  const QString folder = folderOf(target);
  const QString name = nameOf(target);
  QString candidate = folder + QStringLiteral("Copy of ") + name;
  for (int n = 2; exists(candidate); ++n)
    candidate = folder + QStringLiteral("Copy (%1) of ").arg(n) + name;
  return candidate;
}

bool isSameOrBelow(const std::string& destination, const std::string& folder) {
  const std::string resolvedFolder = canonical(folder);
  const std::string resolvedDestination = canonical(destination);
  return !resolvedFolder.empty() && !resolvedDestination.empty() &&
         isWithin(resolvedDestination, resolvedFolder);
}

FileCommands::FileCommands(QWidget* owner, int mode) : owner_(owner), mode_(mode) {}

void FileCommands::take(const std::vector<ItemRecord>& selected, const QString& operation) {
  clipboard_.paths.clear();
  for (const ItemRecord& item : selected)
    clipboard_.paths << toQString(item.fullPath);
  clipboard_.operation = operation;
}

void FileCommands::Copy(const std::vector<ItemRecord>& selected) {
  take(selected, QStringLiteral("copy"));
}

void FileCommands::Cut(const std::vector<ItemRecord>& selected) {
  take(selected, QStringLiteral("cut"));
}

std::optional<FolderNavigator> FileCommands::targetFolder(const FolderNavigator& place,
                                                          const std::vector<ItemRecord>& selected,
                                                          const LevelRefusal& refusal) const {
  FolderNavigator target = place;
  if (selected.empty() || !selected.front().folder)
    return target;
  if (target.enter(selected.front().name))
    return target;
  if (place.depth() >= place.limit())
    refuse(refusal);
  return std::nullopt;
}

void FileCommands::refuse(const LevelRefusal& refusal) const {
  dh::ui::showMessage(owner_, QString::fromLatin1(refusal.text), QString::fromLatin1(refusal.title),
                      Icon::Warning);
}

void FileCommands::Paste(const FolderNavigator& place, const std::vector<ItemRecord>& selected) {
  const bool move = clipboard_.operation.compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
  if (!move && clipboard_.operation.compare(QLatin1String("copy"), Qt::CaseInsensitive) != 0)
    return;
  if (const std::optional<FolderNavigator> into = targetFolder(place, selected, kNoPaste)) {
    const dh::confine::Descriptor folder = into->openFolder();
    if (!folder.valid()) {
      folderMoved(owner_);
      return;
    }
    UndoRecord record{.Kind = move ? UndoRecord::kMove : UndoRecord::kCopy};
    for (const QString& path : clipboard_.paths)
      pasteOne(path, *into, folder, move, record);
    if (!record.Sources.isEmpty())
      undo_.push_back(record);
  }
  if (move)
    clipboard_ = {};
}

bool FileCommands::pasteOne(const QString& path, const FolderNavigator& into,
                            const dh::confine::Descriptor& folder, bool move,
                            UndoRecord& record) const {
  // Taken before the roots changed (no longer the pupil's to take), or its folder was
  // moved or replaced since.
  const std::optional<Pinned> source = pinAt(into, path);
  if (!source)
    return false;
  const std::string sourcePath = toBytes(source->path());
  const std::string intoPath = folder.procPath();
  struct stat st {};
  if (lstat(sourcePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
      isSameOrBelow(intoPath, sourcePath)) {
    dh::ui::showMessage(nullptr,
                        QStringLiteral("Cannot perform folder operation:\n"
                                       "The destination folder is either the same\n"
                                       "as the source folder or a child of it."),
                        QStringLiteral("Clipboard Error"), Icon::Error);
    return false;
  }
  QString target = toQString(intoPath) + QLatin1Char('/') + source->name;
  if (canonical(intoPath) == canonical(source->folder.procPath())) {
    if (move)
      return false; // already there
    target = copyName(target);
  }
  return transfer(*source, path, target, into, move, record);
}

bool FileCommands::transfer(const Pinned& source, const QString& shownSource, const QString& target,
                            const FolderNavigator& into, bool move, UndoRecord& record) const {
  const dh::shellops::Result result =
      run(move ? Function::Move : Function::Copy, source.path(), target, owner_);
  if (!result.done || result.items.isEmpty())
    return false;
  record.Sources << shownSource;
  record.Targets << shown(into, result.items.front().target);
  record.replaced << result.items.front().replaced;
  return true;
}

bool FileCommands::drop(const QString& source, const FolderNavigator& into, bool move) {
  const std::optional<Pinned> pinned = pinAt(into, source);
  const dh::confine::Descriptor folder = into.openFolder();
  if (!pinned || !folder.valid())
    return false;
  const std::string bytes = toBytes(pinned->path());
  struct stat st {};
  if (lstat(bytes.c_str(), &st) != 0 ||
      canonical(folder.procPath()) == canonical(pinned->folder.procPath()) ||
      (S_ISDIR(st.st_mode) && isSameOrBelow(folder.procPath(), bytes)))
    return false;
  UndoRecord record{.Kind = move ? UndoRecord::kMove : UndoRecord::kCopy};
  if (!transfer(*pinned, source, toQString(folder.procPath(toBytes(pinned->name))), into, move,
                record))
    return false;
  undo_.push_back(record);
  return true;
}

void FileCommands::Delete(const FolderNavigator& place, const std::vector<ItemRecord>& selected) {
  if (selected.empty())
    return;
  const QString question = selected.size() > 1
                               ? QStringLiteral("Are you sure you wish to delete these files ?")
                               : QStringLiteral("Are you sure you wish to delete %1 ?")
                                     .arg(toQString(selected.front().name));
  if (dh::ui::showMessage(owner_, question, QStringLiteral("Delete"), Icon::Warning,
                          dh::ui::Buttons::YesNo) != dh::ui::Answer::Yes)
    return;
  UndoRecord record{.Kind = UndoRecord::kDelete};
  for (const ItemRecord& item : selected) {
    const QString path = toQString(item.fullPath);
    const std::optional<Pinned> pinned = pinAt(place, path);
    if (!pinned) {
      folderMoved(owner_);
      break;
    }
    if (run(Function::Delete, pinned->path(), {}, owner_).done)
      record.Sources << path;
  }
  if (!record.Sources.isEmpty())
    undo_.push_back(record);
}

void FileCommands::NewFolder(const FolderNavigator& place, const std::vector<ItemRecord>& selected,
                             bool strict) {
  if (!place.hasFolder())
    return;
  const std::optional<FolderNavigator> into = targetFolder(place, selected, kNoNewFolder);
  if (!into)
    return;
  if (strict && into->depth() >= into->limit()) {
    refuse(kNoNewFolder);
    return;
  }
  const dh::confine::Descriptor folder = into->openFolder();
  if (!folder.valid()) {
    folderMoved(owner_);
    return;
  }
  CFolderCreationDlg dialog(toQString(into->folder()), folder, owner_);
  if (dialog.exec() == QDialog::Accepted)
    undo_.push_back({.Targets = {dialog.newFolder()}, .Kind = UndoRecord::kNewFolder});
}

void FileCommands::Rename(const FolderNavigator& place, const std::vector<ItemRecord>& selected) {
  if (!place.hasFolder() || selected.size() != 1)
    return;
  const dh::confine::Descriptor folder = place.openFolder();
  if (!folder.valid()) {
    folderMoved(owner_);
    return;
  }
  CRenameItemDlg dialog(toQString(folder.procPath()), toQString(selected.front().name), owner_);
  if (dialog.exec() != QDialog::Accepted)
    return;
  const dh::shellops::Result result =
      run(Function::Rename, dialog.oldPath(), dialog.newPath(), owner_);
  if (result.done)
    undo_.push_back({.Sources = {shown(place, dialog.oldPath())},
                     .Targets = {shown(place, result.items.front().target)},
                     .Kind = UndoRecord::kRename});
}

bool FileCommands::allPass(const QStringList& paths,
                           const std::function<bool(const QString&)>& pass,
                           const QString& refusal) const {
  for (const QString& path : paths) {
    if (!pass(path)) {
      cannotUndo(owner_, refusal.arg(path));
      return false;
    }
  }
  return true;
}

bool FileCommands::fromHere(const FolderNavigator& place, const UndoRecord& record) const {
  const std::string here = canonical(place.folder());
  for (const QString& target : record.Targets) {
    const std::string resolved = canonical(toBytes(target));
    if (!here.empty() && !resolved.empty() && isWithin(here, resolved)) {
      cannotUndo(owner_, QStringLiteral(
                             "It is not possible to undo this action from this folder location"));
      return false;
    }
  }
  return true;
}

bool FileCommands::withinReach(const FolderNavigator& place, const UndoRecord& record) const {
  // Every folder the undo takes from or puts into must be one the view could show.
  return allPass(
      record.Sources + record.Targets,
      [&](const QString& path) { return folderHolding(place, path).has_value(); },
      QStringLiteral("It is not possible to undo this action:\n%1\n"
                     "cannot be reached from your folders."));
}

bool FileCommands::placesFree(const UndoRecord& record) const {
  if (record.Kind == UndoRecord::kCopy || record.Kind == UndoRecord::kNewFolder)
    return true;
  return allPass(
      record.Sources, [](const QString& source) { return !exists(source); },
      QStringLiteral("It is not possible to undo this action:\n"
                     "there is already an item at\n%1"));
}

void FileCommands::reverse(const FolderNavigator& place, const UndoRecord& record) const {
  // Every path is pinned to its folder as it is now, as the commands themselves are.
  const auto pinned = [&](const QString& path, std::vector<Pinned>& held) {
    std::optional<Pinned> pin = pinAt(place, path);
    if (!pin)
      return QString();
    held.push_back(std::move(*pin));
    return held.back().path();
  };
  std::vector<Pinned> held;
  held.reserve(std::size_t(record.Sources.size() + record.Targets.size()));
  if (record.Kind == UndoRecord::kDelete) {
    QStringList places;
    for (const QString& source : record.Sources)
      places << pinned(source, held);
    if (places.contains(QString()))
      folderMoved(owner_);
    else
      dh::shellops::restoreFromTrash(record.Sources, owner_, nullptr, places);
    return;
  }
  for (qsizetype i = 0; i < record.Targets.size(); ++i) {
    const QString target = pinned(record.Targets[i], held);
    const QString source = record.Kind == UndoRecord::kMove || record.Kind == UndoRecord::kRename
                               ? pinned(record.Sources[i], held)
                               : QStringLiteral("-");
    if (target.isEmpty() || source.isEmpty()) {
      folderMoved(owner_);
      return;
    }
    const bool undone = record.Kind == UndoRecord::kMove || record.Kind == UndoRecord::kRename
                            ? run(Function(record.Kind), target, source, owner_).done
                            : run(Function::Delete, target, {}, owner_).done;
    // What the paste or drop replaced comes back to its place.
    if (undone && i < record.replaced.size() && !record.replaced[i].isEmpty())
      dh::shellops::restoreTrashed({record.replaced[i]}, {target}, owner_);
  }
}

void FileCommands::Undo(const FolderNavigator& place) {
  if (undo_.empty())
    return;
  const UndoRecord record = undo_.back();
  if (record.Kind == UndoRecord::kDelete && mode_ == kNoUndeleteMode) {
    cannotUndo(owner_, QStringLiteral("It is not possible to undelete items on this product"));
    undo_.pop_back();
    return;
  }
  if (!fromHere(place, record))
    return; // the record stays: the pupil can undo from elsewhere
  // A record that reaches outside the roots (they changed since, or its folder went) can
  // never be undone.
  if (!withinReach(place, record)) {
    undo_.pop_back();
    return;
  }
  if (!placesFree(record))
    return; // the record stays: the pupil can clear the place and undo again
  undo_.pop_back();
  reverse(place, record);
}

} // namespace dh::files
