#include "programs/shortcut.h"

#include "programs/execline.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <liblnk.h>

#include <memory>
#include <vector>

namespace dh::programs {
namespace {

thread_local QHash<QString, QString>* lookups = nullptr;

// An executable file: given with an absolute path, or found on the PATH.
QString FindProgram(const QString& program) {
  if (program.contains(u'/')) {
    const QFileInfo info(program);
    return info.isAbsolute() && info.isFile() && info.isExecutable() ? program : QString();
  }
  if (!lookups)
    return QStandardPaths::findExecutable(program);
  auto found = lookups->constFind(program);
  if (found == lookups->constEnd())
    found = lookups->insert(program, QStandardPaths::findExecutable(program));
  return *found;
}

// The local path a Windows shell link names, with "/" for its separators.
QString LnkTarget(const QString& path) {
  liblnk_file_t* file = nullptr;
  if (liblnk_file_initialize(&file, nullptr) != 1)
    return QString();
  const std::unique_ptr<liblnk_file_t*, void (*)(liblnk_file_t**)> owner(
      &file, [](liblnk_file_t** f) { liblnk_file_free(f, nullptr); });
  const QByteArray name = QFile::encodeName(path);
  if (liblnk_file_open(file, name.constData(), LIBLNK_OPEN_READ, nullptr) != 1)
    return QString();
  QString target;
  size_t size = 0;
  if (liblnk_file_get_utf8_local_path_size(file, &size, nullptr) == 1 && size > 1) {
    std::vector<uint8_t> text(size);
    if (liblnk_file_get_utf8_local_path(file, text.data(), size, nullptr) == 1)
      target = QString::fromUtf8(reinterpret_cast<const char*>(text.data())).replace(u'\\', u'/');
  }
  liblnk_file_close(file, nullptr);
  return target;
}

} // namespace

ProgramLookupCache::ProgramLookupCache() : owns_(!lookups) {
  if (owns_)
    lookups = new QHash<QString, QString>;
}

ProgramLookupCache::~ProgramLookupCache() {
  if (!owns_)
    return;
  delete lookups;
  lookups = nullptr;
}

bool IsDesktopEntry(const QString& path) {
  return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive);
}

std::optional<Command> CommandOf(const DesktopEntry& entry, const QString& path) {
  if (entry.Value(QStringLiteral("Type")) != QLatin1String("Application"))
    return std::nullopt;
  const QString tryExec = entry.Value(QStringLiteral("TryExec"));
  if (!tryExec.isEmpty() && FindProgram(tryExec).isEmpty())
    return std::nullopt;
  const std::optional<QStringList> line =
      ExpandExec(entry.Value(QStringLiteral("Exec")), {entry.Localized(QStringLiteral("Name")),
                                                       entry.Value(QStringLiteral("Icon")), path});
  if (!line)
    return std::nullopt;
  const QString program = FindProgram(line->front());
  if (program.isEmpty())
    return std::nullopt;
  return Command{program, line->mid(1), entry.Value(QStringLiteral("Path"))};
}

Shortcut ReadShortcut(const QString& path) {
  const QFileInfo info(path);
  if (info.isSymLink())
    return {info.symLinkTarget(), QString()};
  if (IsDesktopEntry(path)) {
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
    if (!entry)
      return {};
    const QString icon = entry->Value(QStringLiteral("Icon"));
    if (entry->Value(QStringLiteral("Type")) == QLatin1String("Link"))
      return {entry->Value(QStringLiteral("URL")), icon};
    const std::optional<Command> command = CommandOf(*entry, path);
    return {command ? command->program : QString(), icon};
  }
  if (path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
    return {LnkTarget(path), QString()};
  return {};
}

} // namespace dh::programs
