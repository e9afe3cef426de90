#include "files/model/folderlisting.h"

#include "platform/desktop/programtypes.h"
#include "platform/watch/filesystem.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace dh::files {

namespace {

// The type name of a MIME type, capitalised as a heading is; looked up once per type.
QString typeName(const QMimeType& type) {
  static QHash<QString, QString> names;
  auto found = names.find(type.name());
  if (found == names.end()) {
    QString comment = type.comment();
    if (!comment.isEmpty())
      comment[0] = comment[0].toUpper();
    found = names.insert(type.name(), comment);
  }
  return *found;
}

} // namespace

std::vector<ItemRecord> listFolder(const FolderNavigator& navigator) {
  std::vector<ItemRecord> items;
  const dh::confine::Descriptor here = navigator.openFolder();
  if (!here.valid())
    return items;
  static const QMimeDatabase mimes;
  const QMimeType folderType = mimes.mimeTypeForName(QStringLiteral("inode/directory"));
  const std::string& folder = navigator.folder();
  for (const std::string& name : dh::confine::listNames(here)) {
    struct stat st {};
    const FolderNavigator::EntryKind kind = navigator.classify(here, name, &st);
    if (kind == FolderNavigator::EntryKind::Hidden)
      continue;
    ItemRecord item;
    item.fullPath = folder == "/" ? "/" + name : folder + "/" + name;
    item.name = name;
    item.folder = kind == FolderNavigator::EntryKind::Folder;
    item.sizeKb = item.folder ? 0 : sizeInKb(std::uint64_t(st.st_size));
    item.lastWrite = st.st_mtim.tv_sec;
    const QMimeType type =
        item.folder ? folderType
                    : mimes.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(name)),
                                            QMimeDatabase::MatchExtension);
    item.mimeName = type.name();
    item.typeName = typeName(type);
    items.push_back(std::move(item));
  }
  sortItems(items, SortKey::Name, true);
  return items;
}

QMimeType judgedType(const dh::confine::Descriptor& file, const std::string& name) {
  QByteArray head(4096, '\0');
  const ssize_t length = pread(file.get(), head.data(), std::size_t(head.size()), 0);
  head.truncate(length < 0 ? 0 : length);
  static const QMimeDatabase mimes;
  return mimes.mimeTypeForFileNameAndData(QFile::decodeName(QByteArray::fromStdString(name)), head);
}

bool keepsModes(unsigned long fileSystemType) {
  // FAT and exFAT, NTFS (in the kernel or through FUSE) and SMB shares keep no modes of
  // their own: they show every file executable, or as the mount says.
  constexpr unsigned long kNoModes[] = {
      0x4d44,     // vfat, msdos
      0x2011bab0, // exfat
      0x5346544e, // ntfs
      0x7366746e, // ntfs3
      0x65735546, // fuse, fuseblk
      dh::watch::fstype::kCifs,
      dh::watch::fstype::kSmb2,
      dh::watch::fstype::kSmb,
  };
  return std::find(std::begin(kNoModes), std::end(kNoModes), fileSystemType) == std::end(kNoModes);
}

bool isProgram(const dh::confine::Descriptor& file, const std::string& name) {
  // A file that cannot be examined counts as a program: it is not handed on.
  struct stat st {};
  struct statfs fs {};
  if (fstat(file.get(), &st) != 0 || fstatfs(file.get(), &fs) != 0)
    return true;
  if ((st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) && keepsModes((unsigned long)(fs.f_type)))
    return true;
  // Whatever its name: a script, or a program of this system or another.
  char start[4] = {};
  if (pread(file.get(), start, sizeof start, 0) < 0 || std::string_view(start, 2) == "#!" ||
      std::string_view(start, 2) == "MZ" ||
      std::string_view(start, 4) == "\x7f"
                                    "ELF")
    return true;
  return dh::desktop::isProgramType(judgedType(file, name)) ||
         dh::desktop::isProgramName(QFile::decodeName(QByteArray::fromStdString(name)));
}

} // namespace dh::files
