#include "files/views/folderlisting.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace dh::files {

namespace {

// The type name of a MIME type, capitalised as a heading is; looked up once per type.
QString TypeName(const QMimeType& type) {
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

std::vector<ItemRecord> ListFolder(const FolderNavigator& navigator) {
  std::vector<ItemRecord> items;
  DIR* dir = navigator.HasFolder() ? opendir(navigator.Folder().c_str()) : nullptr;
  if (!dir)
    return items;
  static const QMimeDatabase mimes;
  const QMimeType folderType = mimes.mimeTypeForName(QStringLiteral("inode/directory"));
  const std::string& folder = navigator.Folder();
  while (const dirent* entry = readdir(dir)) {
    struct stat st {};
    const std::string name = entry->d_name;
    const FolderNavigator::EntryKind kind = navigator.Classify(name, &st);
    if (kind == FolderNavigator::EntryKind::Hidden)
      continue;
    ItemRecord item;
    item.fullPath = folder == "/" ? "/" + name : folder + "/" + name;
    item.name = name;
    item.folder = kind == FolderNavigator::EntryKind::Folder;
    item.sizeKb = item.folder ? 0 : SizeInKb(std::uint64_t(st.st_size));
    item.lastWrite = st.st_mtim.tv_sec;
    const QMimeType type =
        item.folder ? folderType
                    : mimes.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(name)),
                                            QMimeDatabase::MatchExtension);
    item.mimeName = type.name();
    item.typeName = TypeName(type);
    items.push_back(std::move(item));
  }
  closedir(dir);
  SortItems(items, SortKey::Name, true);
  return items;
}

bool IsProgram(const std::string& path) {
  // A file that cannot be examined counts as a program: it is not handed on.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)))
    return true;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return true;
  QByteArray head(4096, '\0');
  const ssize_t length = read(fd, head.data(), head.size());
  close(fd);
  if (length < 0)
    return true;
  head.truncate(length);
  if (head.startsWith("#!"))
    return true;
  static const QMimeDatabase mimes;
  const QMimeType type =
      mimes.mimeTypeForFileNameAndData(QFile::decodeName(QByteArray::fromStdString(path)), head);
  for (const char* program :
       {"application/x-executable", "application/x-pie-executable", "application/x-sharedlib",
        "application/x-shellscript", "application/x-desktop", "application/x-msdownload",
        "application/x-ms-dos-executable", "application/x-executable-script"}) {
    if (type.inherits(QLatin1String(program)))
      return true;
  }
  return false;
}

} // namespace dh::files
