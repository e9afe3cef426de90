#include "programs/programsetlist.h"

#include "programs/applicationsmenu.h"
#include "programs/shortcut.h"

#include "common/sessionobjects.h"
#include "common/settings.h"
#include "platform/sync/namedlock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace dh::programs {
namespace {

QString settingText(const char* name) {
  return QString::fromStdString(dh::readSetting(name));
}

constexpr QDir::SortFlags kByName = QDir::Name | QDir::IgnoreCase | QDir::LocaleAware;

} // namespace

QString nameBeforeFirstDot(const QString& fileName) {
  const qsizetype dot = fileName.indexOf(u'.', 1);
  return dot < 0 ? fileName : fileName.left(dot);
}

void ProgramSetList::ReadPictureFolders() {
  defaultPicturesFolder_ = settingText(dh::setting::kDefaultPictures);
  userPicturesFolder_ = settingText(dh::setting::kUserDefinedPictures);
}

QString ProgramSetList::GetLocation() {
  usesOverride_ = false;
  const QString override = settingText(dh::setting::kProgramSetLocation);
  usesOverride_ = !override.isEmpty();
  location_ = usesOverride_ ? override : dataFolders().front() + QStringLiteral("/applications");
  return location_;
}

bool ProgramSetList::LoadSets(const QString& location) {
  const QFileInfo folder(location);
  if (usesOverride_ && !(folder.isDir() && folder.isReadable() && folder.isExecutable()))
    return false;
  sets_.clear();
  // Whoever updates the profiles holds this lock; after the wait the reading goes on
  // whether it was taken or not.
  dh::sync::NamedLock lock(dh::kProfilesLock);
  lock.wait(kLockWait);
  const ProgramLookupCache lookups;
  if (usesOverride_)
    readOverrideSets(location);
  else
    sets_ = readApplicationsMenu(dataFolders());
  lock.release();
  for (ProgramSet& set : sets_)
    choosePicture(set);
  std::erase_if(sets_, [](const ProgramSet& set) { return set.Programs.empty(); });
  return true;
}

void ProgramSetList::readOverrideSets(const QString& location) {
  const QDir folder(location);
  for (const QString& name :
       folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, kByName)) {
    ProgramSet set;
    set.Name = name;
    const QDir setFolder(folder.filePath(name));
    for (const QFileInfo& file : setFolder.entryInfoList(QDir::Files | QDir::Hidden, kByName)) {
      const QString path = file.filePath();
      // A file that went while the folder was read is left out.
      if (!file.exists())
        continue;
      const Shortcut shortcut = readShortcut(path);
      set.Programs.push_back({nameBeforeFirstDot(file.fileName()),
                              shortcut.target.isEmpty() ? path : shortcut.target, path,
                              shortcut.icon});
    }
    sets_.push_back(std::move(set));
  }
}

void ProgramSetList::choosePicture(ProgramSet& set) const {
  // The default folder first: an administrator's picture wins over a user-defined one.
  for (const QString& folder : {defaultPicturesFolder_, userPicturesFolder_}) {
    if (folder.isEmpty())
      continue;
    const QString candidate = QString::fromStdString(
        dh::joinPath(folder.toStdString(), (set.Name + QStringLiteral(".bmp")).toStdString()));
    if (QFileInfo::exists(candidate)) {
      set.Picture = candidate;
      return;
    }
  }
}

} // namespace dh::programs
