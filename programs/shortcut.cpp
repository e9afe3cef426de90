#include "programs/shortcut.h"

#include "platform/desktop/execline.h"
#include "platform/desktop/shelllink.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <memory>
#include <vector>

namespace dh::programs {
namespace {

using dh::desktop::DesktopEntry;

thread_local QHash<QString, QString>* lookups = nullptr;

// An executable file: given with an absolute path, or found on the PATH.
QString findProgram(const QString& program) {
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
QString lnkTarget(const QString& path) {
  return QString::fromUtf8(dh::desktop::readShellLink(QFile::encodeName(path).toStdString()))
      .replace(u'\\', u'/');
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

bool isDesktopEntry(const QString& path) {
  return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive);
}

std::optional<Command> commandOf(const DesktopEntry& entry, const QString& path) {
  if (entry.value(QStringLiteral("Type")) != QLatin1String("Application"))
    return std::nullopt;
  const QString tryExec = entry.value(QStringLiteral("TryExec"));
  if (!tryExec.isEmpty() && findProgram(tryExec).isEmpty())
    return std::nullopt;
  const std::optional<QStringList> line = dh::desktop::expandExec(
      entry.value(QStringLiteral("Exec")), {entry.localized(QStringLiteral("Name")),
                                            entry.value(QStringLiteral("Icon")), path, QString()});
  if (!line)
    return std::nullopt;
  const QString program = findProgram(line->front());
  if (program.isEmpty())
    return std::nullopt;
  return Command{program, line->mid(1), entry.value(QStringLiteral("Path"))};
}

Shortcut readShortcut(const QString& path) {
  const QFileInfo info(path);
  if (info.isSymLink())
    return {info.symLinkTarget(), QString()};
  if (isDesktopEntry(path)) {
    const std::optional<DesktopEntry> entry = DesktopEntry::read(path);
    if (!entry)
      return {};
    const QString icon = entry->value(QStringLiteral("Icon"));
    if (entry->value(QStringLiteral("Type")) == QLatin1String("Link"))
      return {entry->value(QStringLiteral("URL")), icon};
    const std::optional<Command> command = commandOf(*entry, path);
    return {command ? command->program : QString(), icon};
  }
  if (path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
    return {lnkTarget(path), QString()};
  return {};
}

} // namespace dh::programs
