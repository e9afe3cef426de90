#include "platform/desktop/desktopentries.h"

#include "platform/desktop/desktopentry.h"
#include "platform/desktop/execline.h"
#include "platform/desktop/programtypes.h"

#include <QDir>
#include <QStandardPaths>

namespace dh::desktop {

namespace {

// The system's folders of a kind: every standard location but the user's own.
QStringList systemLocations(QStandardPaths::StandardLocation kind) {
  QStringList folders = QStandardPaths::standardLocations(kind);
  folders.removeAll(QStandardPaths::writableLocation(kind));
  return folders;
}

// The desktop file names the system's mimeapps.list files make the default for a type.
QStringList systemDefaults(const QString& typeName) {
  QStringList names;
  for (const QString& folder :
       systemLocations(QStandardPaths::GenericConfigLocation) + systemApplicationFolders()) {
    const std::optional<DesktopEntry> lists =
        DesktopEntry::read(folder + QStringLiteral("/mimeapps.list"), DesktopEntry::Form::TypeList);
    if (lists)
      names += lists->list(typeName, QStringLiteral("Default Applications"));
  }
  return names;
}

// The command of the entry read from file (or of its action) for path; empty when the
// entry will not do.
QStringList entryCommand(const std::optional<DesktopEntry>& entry, const QString& file,
                         const QString& path, const QString& action) {
  if (!entry || entry->value(QStringLiteral("Type")) != QLatin1String("Application") ||
      entry->flag(QStringLiteral("Hidden")) || entry->flag(QStringLiteral("Terminal")))
    return {};
  const QString group = action.isEmpty() ? DesktopEntry::kMainGroup : entry->actionGroup(action);
  const std::optional<QStringList> command =
      group.isEmpty() ? std::nullopt
                      : expandExec(entry->value(QStringLiteral("Exec"), group),
                                   {entry->localized(QStringLiteral("Name")),
                                    entry->value(QStringLiteral("Icon")), file, path});
  if (!command || isProgramRunner(command->front()) ||
      QStandardPaths::findExecutable(command->front()).isEmpty())
    return {};
  return *command;
}

} // namespace

QStringList systemApplicationFolders() {
  return systemLocations(QStandardPaths::ApplicationsLocation);
}

QStringList handlerCommand(const QMimeType& type, const QString& path, const QString& action) {
  if (isProgramType(type))
    return {};
  const QStringList folders = systemApplicationFolders();
  // The type's own default first, then any entry for the type, then for the types it
  // inherits (a text format is still text).
  QStringList types = QStringList{type.name()} + type.allAncestors();
  types.removeAll(QStringLiteral("application/octet-stream")); // says nothing of the file
  for (const QString& typeName : types) {
    for (const QString& name : systemDefaults(typeName)) {
      for (const QString& folder : folders) {
        const QString file = folder + '/' + name;
        const QStringList command = entryCommand(DesktopEntry::read(file), file, path, action);
        if (!command.isEmpty())
          return command;
      }
    }
    for (const QString& folder : folders) {
      const QDir dir(folder);
      for (const QString& name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
        const QString file = dir.filePath(name);
        const std::optional<DesktopEntry> entry = DesktopEntry::read(file);
        if (!entry || !entry->list(QStringLiteral("MimeType")).contains(typeName))
          continue;
        const QStringList command = entryCommand(entry, file, path, action);
        if (!command.isEmpty())
          return command;
      }
    }
  }
  return {};
}

} // namespace dh::desktop
