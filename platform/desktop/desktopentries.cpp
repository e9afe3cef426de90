#include "platform/desktop/desktopentries.h"

#include "platform/desktop/programtypes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace dh::desktop {

namespace {

const QString kEntryGroup = QStringLiteral("Desktop Entry");

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
    const EntryGroups lists = readEntry(folder + QStringLiteral("/mimeapps.list"));
    names += lists.value(QStringLiteral("Default Applications"))
                 .value(typeName)
                 .split(QLatin1Char(';'), Qt::SkipEmptyParts);
  }
  return names;
}

// The command of an entry (or of its action) for path; empty when the entry will not do.
QStringList entryCommand(const EntryGroups& entry, const QString& path, const QString& action) {
  const QHash<QString, QString>& main = entry.value(kEntryGroup);
  const auto yes = [&](const char* key) {
    return main.value(QLatin1String(key)).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
  };
  if (main.value(QStringLiteral("Type")) != QLatin1String("Application") || yes("Hidden") ||
      yes("Terminal"))
    return {};
  QString exec = main.value(QStringLiteral("Exec"));
  if (!action.isEmpty()) {
    exec.clear();
    for (auto group = entry.begin(); group != entry.end(); ++group) {
      if (group.key().compare(QStringLiteral("Desktop Action ") + action, Qt::CaseInsensitive) == 0)
        exec = group->value(QStringLiteral("Exec"));
    }
  }
  const QStringList command = execCommand(exec, path);
  if (command.isEmpty() || isProgramRunner(command.front()) ||
      QStandardPaths::findExecutable(command.front()).isEmpty())
    return {};
  return command;
}

} // namespace

EntryGroups readEntry(const QString& file) {
  QFile in(file);
  EntryGroups groups;
  if (!in.open(QIODevice::ReadOnly))
    return groups;
  QString group;
  for (const QByteArray& raw : in.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
      group = line.mid(1, line.size() - 2);
    else if (const qsizetype equals = line.indexOf(QLatin1Char('='));
             equals > 0 && !line.startsWith(QLatin1Char('#')))
      groups[group][line.left(equals).trimmed()] = line.mid(equals + 1).trimmed();
  }
  return groups;
}

QStringList splitExec(const QString& exec) {
  QStringList words;
  QString word;
  bool quoted = false;
  bool inWord = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
      word += exec[++i];
    } else if (c == QLatin1Char('"')) {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && c.isSpace()) {
      if (inWord)
        words << word;
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted)
    return {};
  if (inWord)
    words << word;
  return words;
}

QStringList execCommand(const QString& exec, const QString& path) {
  QStringList command;
  for (const QString& word : splitExec(exec)) {
    static const QStringList kFileCodes = {QStringLiteral("%f"), QStringLiteral("%F"),
                                           QStringLiteral("%u"), QStringLiteral("%U")};
    if (kFileCodes.contains(word))
      command << path;
    else if (!(word.size() == 2 && word.startsWith(QLatin1Char('%'))))
      command << QString(word).replace(QStringLiteral("%%"), QStringLiteral("%"));
  }
  if (!command.isEmpty() && !command.contains(path))
    command << path;
  return command;
}

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
        const QStringList command = entryCommand(readEntry(folder + '/' + name), path, action);
        if (!command.isEmpty())
          return command;
      }
    }
    for (const QString& folder : folders) {
      const QDir dir(folder);
      for (const QString& name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
        const EntryGroups entry = readEntry(dir.filePath(name));
        if (!entry.value(kEntryGroup)
                 .value(QStringLiteral("MimeType"))
                 .split(QLatin1Char(';'))
                 .contains(typeName))
          continue;
        const QStringList command = entryCommand(entry, path, action);
        if (!command.isEmpty())
          return command;
      }
    }
  }
  return {};
}

} // namespace dh::desktop
