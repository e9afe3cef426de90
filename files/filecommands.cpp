#include "files/filecommands.h"

#include "files/foldershortcut.h"
#include "files/namedialogs.h"
#include "platform/shellops/fileoperation.h"
#include "platform/ui/messageservice.h"

#include <QFile>

#include <sys/stat.h>

namespace dh::files {

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

std::string Bytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
QString Text(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

bool Exists(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString FolderOf(const QString& path) {
  return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}
QString NameOf(const QString& path) {
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

dh::shellops::Result Run(Function function, const QString& source, const QString& target,
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

// Whether the folder holding path is one the view could show: in a root, or a shortcut's
// target it has visited, and within the level limit.
bool Reachable(const FolderNavigator& place, const QString& path) {
  const std::string folder = TrimFolder(Bytes(FolderOf(path)));
  for (int root = 0; root < int(place.Roots().size()); ++root) {
    FolderNavigator probe = place;
    if (probe.GoTo(folder, root))
      return true;
  }
  return false;
}

void CannotUndo(QWidget* owner, const QString& text) {
  dh::ui::showMessage(owner, text, QStringLiteral("Cannot Undo"), Icon::Warning);
}

} // namespace

QString CopyName(const QString& target) {
  const QString folder = FolderOf(target);
  const QString name = NameOf(target);
  QString candidate = folder + QStringLiteral("Copy of ") + name;
  for (int n = 2; Exists(candidate); ++n)
    candidate = folder + QStringLiteral("Copy (%1) of ").arg(n) + name;
  return candidate;
}

bool IsSameOrBelow(const std::string& destination, const std::string& folder) {
  const std::string resolvedFolder = Canonical(folder);
  const std::string resolvedDestination = Canonical(destination);
  return !resolvedFolder.empty() && !resolvedDestination.empty() &&
         IsWithin(resolvedDestination, resolvedFolder);
}

FileCommands::FileCommands(QWidget* owner, int mode) : owner_(owner), mode_(mode) {}

void FileCommands::Take(const std::vector<ItemRecord>& selected, const QString& operation) {
  clipboard_.paths.clear();
  for (const ItemRecord& item : selected)
    clipboard_.paths << Text(item.fullPath);
  clipboard_.operation = operation;
}

void FileCommands::Copy(const std::vector<ItemRecord>& selected) {
  Take(selected, QStringLiteral("copy"));
}

void FileCommands::Cut(const std::vector<ItemRecord>& selected) {
  Take(selected, QStringLiteral("cut"));
}

std::optional<FolderNavigator> FileCommands::TargetFolder(const FolderNavigator& place,
                                                          const std::vector<ItemRecord>& selected,
                                                          const LevelRefusal& refusal) const {
  FolderNavigator target = place;
  if (selected.empty() || !selected.front().folder)
    return target;
  if (target.Enter(selected.front().name))
    return target;
  if (place.Depth() >= place.Limit())
    dh::ui::showMessage(owner_, QString::fromLatin1(refusal.text),
                        QString::fromLatin1(refusal.title), Icon::Warning);
  return std::nullopt;
}

void FileCommands::Paste(const FolderNavigator& place, const std::vector<ItemRecord>& selected) {
  const bool move = clipboard_.operation.compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
  if (!move && clipboard_.operation.compare(QLatin1String("copy"), Qt::CaseInsensitive) != 0)
    return;
  if (const std::optional<FolderNavigator> into = TargetFolder(place, selected, kNoPaste)) {
    UndoRecord record{.Kind = move ? UndoRecord::kMove : UndoRecord::kCopy};
    for (const QString& path : clipboard_.paths)
      PasteOne(path, *into, move, record);
    if (!record.Sources.isEmpty())
      undo_.push_back(record);
  }
  if (move)
    clipboard_ = {};
}

bool FileCommands::PasteOne(const QString& path, const FolderNavigator& into, bool move,
                            UndoRecord& record) const {
  // Taken before the roots changed: no longer the pupil's to take.
  if (!Reachable(into, path))
    return false;
  const std::string source = Bytes(path);
  struct stat st {};
  if (lstat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
      IsSameOrBelow(into.Folder(), source)) {
    dh::ui::showMessage(nullptr,
                        QStringLiteral("Cannot perform folder operation:\n"
                                       "The destination folder is either the same\n"
                                       "as the source folder or a child of it."),
                        QStringLiteral("Clipboard Error"), Icon::Error);
    return false;
  }
  QString target = Text(into.Folder()) + QLatin1Char('/') + NameOf(path);
  if (Canonical(into.Folder()) == Canonical(Bytes(FolderOf(path)))) {
    if (move)
      return false; // already there
    target = CopyName(target);
  }
  return Transfer(path, target, move, record);
}

bool FileCommands::Transfer(const QString& path, const QString& target, bool move,
                            UndoRecord& record) const {
  const dh::shellops::Result result =
      Run(move ? Function::Move : Function::Copy, path, target, owner_);
  if (!result.done || result.items.isEmpty())
    return false;
  record.Sources << path;
  record.Targets << result.items.front().target;
  return true;
}

bool FileCommands::Drop(const QString& source, const FolderNavigator& into, bool move) {
  const std::string bytes = Bytes(source);
  struct stat st {};
  if (lstat(bytes.c_str(), &st) != 0 ||
      Canonical(into.Folder()) == Canonical(Bytes(FolderOf(source))) ||
      (S_ISDIR(st.st_mode) && IsSameOrBelow(into.Folder(), bytes)))
    return false;
  UndoRecord record{.Kind = move ? UndoRecord::kMove : UndoRecord::kCopy};
  if (!Transfer(source, Text(into.Folder()) + QLatin1Char('/') + NameOf(source), move, record))
    return false;
  undo_.push_back(record);
  return true;
}

void FileCommands::Delete(const std::vector<ItemRecord>& selected) {
  if (selected.empty())
    return;
  const QString question =
      selected.size() > 1
          ? QStringLiteral("Are you sure you wish to delete these files ?")
          : QStringLiteral("Are you sure you wish to delete %1 ?").arg(Text(selected.front().name));
  if (dh::ui::showMessage(owner_, question, QStringLiteral("Delete"), Icon::Warning,
                          dh::ui::Buttons::YesNo) != dh::ui::Answer::Yes)
    return;
  UndoRecord record{.Kind = UndoRecord::kDelete};
  for (const ItemRecord& item : selected) {
    const QString path = Text(item.fullPath);
    if (Run(Function::Delete, path, {}, owner_).done)
      record.Sources << path;
  }
  if (!record.Sources.isEmpty())
    undo_.push_back(record);
}

void FileCommands::NewFolder(const FolderNavigator& place,
                             const std::vector<ItemRecord>& selected) {
  if (!place.HasFolder())
    return;
  const std::optional<FolderNavigator> into = TargetFolder(place, selected, kNoNewFolder);
  if (!into)
    return;
  CFolderCreationDlg dialog(Text(into->Folder()), owner_);
  if (dialog.exec() == QDialog::Accepted)
    undo_.push_back({.Targets = {dialog.NewFolder()}, .Kind = UndoRecord::kNewFolder});
}

void FileCommands::Rename(const FolderNavigator& place, const std::vector<ItemRecord>& selected) {
  if (!place.HasFolder() || selected.size() != 1)
    return;
  CRenameItemDlg dialog(Text(place.Folder()), Text(selected.front().name), owner_);
  if (dialog.exec() != QDialog::Accepted)
    return;
  const dh::shellops::Result result =
      Run(Function::Rename, dialog.OldPath(), dialog.NewPath(), owner_);
  if (result.done)
    undo_.push_back({.Sources = {dialog.OldPath()},
                     .Targets = {result.items.front().target},
                     .Kind = UndoRecord::kRename});
}

bool FileCommands::AllPass(const QStringList& paths,
                           const std::function<bool(const QString&)>& pass,
                           const QString& refusal) const {
  for (const QString& path : paths) {
    if (!pass(path)) {
      CannotUndo(owner_, refusal.arg(path));
      return false;
    }
  }
  return true;
}

bool FileCommands::FromHere(const FolderNavigator& place, const UndoRecord& record) const {
  const std::string here = Canonical(place.Folder());
  for (const QString& target : record.Targets) {
    const std::string resolved = Canonical(Bytes(target));
    if (!here.empty() && !resolved.empty() && IsWithin(here, resolved)) {
      CannotUndo(owner_, QStringLiteral(
                             "It is not possible to undo this action from this folder location"));
      return false;
    }
  }
  return true;
}

bool FileCommands::WithinReach(const FolderNavigator& place, const UndoRecord& record) const {
  // Every folder the undo takes from or puts into must be one the view could show.
  return AllPass(
      record.Sources + record.Targets, [&](const QString& path) { return Reachable(place, path); },
      QStringLiteral("It is not possible to undo this action:\n%1\n"
                     "cannot be reached from your folders."));
}

bool FileCommands::PlacesFree(const UndoRecord& record) const {
  if (record.Kind == UndoRecord::kCopy || record.Kind == UndoRecord::kNewFolder)
    return true;
  return AllPass(
      record.Sources, [](const QString& source) { return !Exists(source); },
      QStringLiteral("It is not possible to undo this action:\n"
                     "there is already an item at\n%1"));
}

void FileCommands::Reverse(const UndoRecord& record) const {
  if (record.Kind == UndoRecord::kDelete) {
    dh::shellops::restoreFromTrash(record.Sources, owner_);
    return;
  }
  for (qsizetype i = 0; i < record.Targets.size(); ++i) {
    switch (record.Kind) {
    case UndoRecord::kMove:
    case UndoRecord::kRename:
      Run(Function(record.Kind), record.Targets[i], record.Sources[i], owner_);
      break;
    case UndoRecord::kCopy:
    case UndoRecord::kNewFolder:
      Run(Function::Delete, record.Targets[i], {}, owner_);
      break;
    default:
      break;
    }
  }
}

void FileCommands::Undo(const FolderNavigator& place) {
  if (undo_.empty())
    return;
  const UndoRecord record = undo_.back();
  if (record.Kind == UndoRecord::kDelete && mode_ == kNoUndeleteMode) {
    CannotUndo(owner_, QStringLiteral("It is not possible to undelete items on this product"));
    undo_.pop_back();
    return;
  }
  if (!FromHere(place, record))
    return; // the record stays: the pupil can undo from elsewhere
  // A record that reaches outside the roots (they changed since, or its folder went) can
  // never be undone.
  if (!WithinReach(place, record)) {
    undo_.pop_back();
    return;
  }
  if (!PlacesFree(record))
    return; // the record stays: the pupil can clear the place and undo again
  undo_.pop_back();
  Reverse(record);
}

} // namespace dh::files
