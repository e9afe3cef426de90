#include "platform/shellops/fileoperation.h"

#include "platform/shellops/progress.h"
#include "platform/shellops/trash.h"
#include "platform/shellops/treecopy.h"
#include "platform/ui/busywork.h"
#include "platform/ui/messageservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <memory>
#include <optional>

namespace dh::shellops {

namespace {

std::string bytes(const QString& path) {
  return QFile::encodeName(QDir::cleanPath(path)).toStdString();
}
QString text(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

bool inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (path[folder.size()] == '/' || folder == "/");
}

struct Wording {
  QString title; // of the progress dialog and of the message boxes
  QString done;  // what happens to an item: "copied", ...
  QString doing; // what the user is doing with it: "copying", ...
};

// The request's function, and restoring, which shares its handling.
enum class Work { Move = int(Function::Move), Copy, Delete, Rename, Restore };
static_assert(int(Work::Rename) == int(Function::Rename));

Wording wordingOf(Work work) {
  switch (work) {
  case Work::Move:
    return {QStringLiteral("Moving Files"), QStringLiteral("moved"), QStringLiteral("moving")};
  case Work::Copy:
    return {QStringLiteral("Copying Files"), QStringLiteral("copied"), QStringLiteral("copying")};
  case Work::Delete:
    return {QStringLiteral("Deleting Files"), QStringLiteral("deleted"),
            QStringLiteral("deleting")};
  case Work::Rename:
    return {QStringLiteral("Renaming Files"), QStringLiteral("renamed"),
            QStringLiteral("renaming")};
  case Work::Restore:
    break;
  }
  return {QStringLiteral("Restoring Files"), QStringLiteral("restored"),
          QStringLiteral("restoring")};
}

QString reasonOf(const Status& status, Work work) {
  switch (status.error) {
  case kChangedMeanwhile:
    // A delete stops where the change is; what it had removed before stays removed.
    return QStringLiteral("It changed while it was being %1, so %2.")
        .arg(wordingOf(work).done, work == Work::Delete ? QStringLiteral("the rest of it was kept")
                                                        : QStringLiteral("the original was kept"));
  case EEXIST:
    return QStringLiteral("There is already an item called \"%1\" in its place.")
        .arg(text(nameOf(status.path)));
  default:
    return QString::fromLocal8Bit(strerror(status.error)) + '.';
  }
}

// "name (n).ext" for files (the extension from the last dot on), "name (n)" for folders.
std::string freeName(const std::string& target, bool folder) {
  const std::string name = nameOf(target);
  const size_t dot = folder ? std::string::npos : name.find_last_of('.');
  const std::string stem = dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = stem.size() == name.size() ? "" : name.substr(stem.size());
  for (int n = 2;; ++n) {
    const std::string candidate =
        parentOf(target) + '/' + stem + " (" + std::to_string(n) + ')' + extension;
    if (!pathExists(candidate))
      return candidate;
  }
}

// An item that is being replaced: put aside until its replacement is in place, and
// brought back if the replacement fails. With undo it waits in the trash and stays there.
class SetAside {
public:
  Status put(const std::string& path, bool toTrash, Progress& progress) {
    if (toTrash)
      return putInTrash(path, progress, entry_);
    entry_ = {path, {}, freeName(parentOf(path) + "/." + nameOf(path), true)};
    return moveTree(path, entry_.filesPath, progress);
  }
  void bringBack(Progress& progress) {
    if (entry_.infoPath.empty())
      renameNoReplace(entry_.filesPath, entry_.originalPath);
    else
      takeBackFromTrash(entry_, progress);
  }
  void drop() {
    if (entry_.infoPath.empty())
      removeTree(entry_.filesPath);
  }
  // Where the item waits in the trash, or empty.
  std::string trashed() const { return entry_.infoPath.empty() ? std::string() : entry_.filesPath; }

private:
  TrashEntry entry_;
};

// Runs one request item by item and keeps its result.
class Operation {
public:
  Operation(Work work, Options options, QWidget* owner, Progress* progress)
      : work_(work), wording_(wordingOf(work)), options_(options), owner_(owner) {
    if (!progress)
      ownProgress_ = std::make_unique<ProgressDialog>(owner, wording_.title);
    progress_ = progress ? progress : ownProgress_.get();
  }

  // Each returns false when the request must stop.
  bool transfer(const QString& source, const QString& target);
  bool remove(const QString& source);
  bool restore(const QString& originalPath, const QString& place);
  bool restore(const QString& shown, std::optional<TrashEntry> entry);

  Result finish() {
    result_.done = result_.error.isEmpty() && !result_.aborted;
    return std::move(result_);
  }

private:
  enum class Collision { Replace, Rename, Skip, Stop };
  Collision askAboutCollision(const std::string& target) const;
  bool fail(const QString& item, const QString& reason);
  bool fail(const QString& item, const Status& status);
  bool completed(const QString& source, const std::string& target, bool renamed = false) {
    result_.items.append({source, text(target), renamed});
    return true;
  }

  Work work_;
  Wording wording_;
  Options options_;
  QWidget* owner_;
  // Its progress runs the event loop between steps before any window shows.
  ui::BusyScope busy_;
  std::unique_ptr<ProgressDialog> ownProgress_;
  Progress* progress_;
  Result result_;
};

bool Operation::fail(const QString& item, const QString& reason) {
  result_.error = QStringLiteral("\"%1\" could not be %2.\n%3")
                      .arg(QFileInfo(item).fileName(), wording_.done, reason);
  ui::showMessage(owner_, result_.error, wording_.title, ui::Icon::Error);
  return false;
}

bool Operation::fail(const QString& item, const Status& status) {
  if (status.error != ECANCELED)
    return fail(item, reasonOf(status, work_));
  result_.aborted = true;
  return false;
}

Operation::Collision Operation::askAboutCollision(const std::string& target) const {
  if (options_ & Option::RenameOnCollision)
    return Collision::Rename;
  if (options_ & Option::NoConfirmation)
    return Collision::Replace;
  QString question = QStringLiteral("There is already an item called \"%1\" in this folder.\n"
                                    "Do you want to replace it with the one you are %2?")
                         .arg(text(nameOf(target)), wording_.doing);
  if (options_ & Option::AllowUndo)
    question += QStringLiteral("\nThe item that is there now goes to the trash.");
  switch (ui::showMessage(owner_, question, wording_.title, ui::Icon::Question,
                          ui::Buttons::YesNoCancel)) {
  case ui::Answer::Yes:
    return Collision::Replace;
  case ui::Answer::No:
    return Collision::Skip;
  default:
    return Collision::Stop;
  }
}

bool Operation::transfer(const QString& sourceText, const QString& targetText) {
  const std::string source = bytes(sourceText);
  std::string target = bytes(targetText);
  struct stat from, to;
  if (lstat(source.c_str(), &from) != 0)
    return fail(sourceText, Status{errno, source});
  const bool folder = S_ISDIR(from.st_mode);
  const bool copying = work_ == Work::Copy;
  const bool taken = lstat(target.c_str(), &to) == 0;
  const bool same = taken && from.st_dev == to.st_dev && from.st_ino == to.st_ino;

  if (same && !copying) {
    // Only the spelling changes (a name's case on a FAT stick), or nothing at all.
    if (source != target && rename(source.c_str(), target.c_str()) != 0)
      return fail(sourceText, Status{errno, source});
    return completed(sourceText, target);
  }
  const std::string resolvedSource = resolvedPath(source);
  if (folder && inside(resolvedPath(target), resolvedSource))
    return fail(sourceText, QStringLiteral("A folder cannot be put inside itself."));

  bool renamed = false;
  bool replace = false;
  if (same && !(options_ & Option::RenameOnCollision))
    return fail(sourceText, QStringLiteral("An item cannot be copied onto itself."));
  if (taken) {
    switch (askAboutCollision(target)) {
    case Collision::Rename:
      target = freeName(target, folder);
      renamed = true;
      break;
    case Collision::Replace:
      if (inside(resolvedSource, resolvedPath(target)))
        return fail(sourceText, QStringLiteral("It is inside the item it would replace."));
      replace = true;
      break;
    case Collision::Skip:
      result_.aborted = true;
      return true;
    case Collision::Stop:
      result_.aborted = true;
      return false;
    }
  }

  SetAside aside;
  if (replace) {
    const Status status = aside.put(target, bool(options_ & Option::AllowUndo), *progress_);
    if (!status.ok())
      return fail(sourceText, status);
  }
  const Status status =
      copying ? copyTree(source, target, *progress_) : moveTree(source, target, *progress_);
  if (replace && status.ok())
    aside.drop();
  else if (replace)
    aside.bringBack(*progress_);
  if (!status.ok())
    return fail(sourceText, status);
  completed(sourceText, target, renamed);
  result_.items.back().replaced = text(aside.trashed());
  return true;
}

bool Operation::remove(const QString& sourceText) {
  const std::string source = bytes(sourceText);
  if (options_ & Option::AllowUndo) {
    TrashEntry entry;
    const Status status = putInTrash(source, *progress_, entry);
    return status.ok() ? completed(sourceText, entry.filesPath) : fail(sourceText, status);
  }
  const Status status = removeTree(source);
  return status.ok() ? completed(sourceText, {}) : fail(sourceText, status);
}

bool Operation::restore(const QString& originalText, const QString& placeText) {
  std::optional<TrashEntry> entry = findInTrash(bytes(originalText));
  if (entry && !placeText.isEmpty())
    entry->originalPath = bytes(placeText);
  return restore(originalText, std::move(entry));
}

bool Operation::restore(const QString& shown, std::optional<TrashEntry> entry) {
  if (!entry)
    return fail(shown, QStringLiteral("It is no longer in the trash."));
  const Status status = takeBackFromTrash(*entry, *progress_);
  if (!status.ok())
    return fail(shown, status);
  return completed(text(entry->filesPath), entry->originalPath);
}

} // namespace

Result performFileOperation(const Request& request) {
  Operation operation(Work(request.function), request.options, request.owner, request.progress);
  for (qsizetype i = 0; i < request.sources.size(); ++i) {
    const QString& source = request.sources[i];
    if (request.function == Function::Delete) {
      if (!operation.remove(source))
        break;
      continue;
    }
    const QString target = i < request.targets.size()
                               ? request.targets[i]
                               : QDir(request.destination).filePath(QFileInfo(source).fileName());
    if (!operation.transfer(source, target))
      break;
  }
  return operation.finish();
}

Result restoreTrashed(const QStringList& trashedPaths, const QStringList& places, QWidget* owner) {
  Operation operation(Work::Restore, {}, owner, nullptr);
  for (qsizetype i = 0; i < trashedPaths.size() && i < places.size(); ++i) {
    if (!operation.restore(places[i], trashedAt(bytes(trashedPaths[i]), bytes(places[i]))))
      break;
  }
  return operation.finish();
}

Result restoreFromTrash(const QStringList& originalPaths, QWidget* owner, Progress* progress,
                        const QStringList& places) {
  Operation operation(Work::Restore, {}, owner, progress);
  for (qsizetype i = 0; i < originalPaths.size(); ++i)
    if (!operation.restore(originalPaths[i], i < places.size() ? places[i] : QString()))
      break;
  return operation.finish();
}

} // namespace dh::shellops
