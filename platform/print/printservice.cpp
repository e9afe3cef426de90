#include "platform/print/printservice.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

namespace dh::print {

namespace {

// Splits an Exec value as the desktop entry format quotes it.
QStringList SplitExec(const QString& exec) {
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

// The groups of a desktop entry file, each with its keys (the untranslated ones).
using EntryGroups = QHash<QString, QHash<QString, QString>>;
EntryGroups ReadEntry(const QString& file) {
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

// The print action's Exec of the first desktop entry that handles mimeType.
QString PrintAction(const QString& mimeType) {
  for (const QString& folder :
       QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
      const EntryGroups entry = ReadEntry(dir.filePath(name));
      const QStringList types = entry.value(QStringLiteral("Desktop Entry"))
                                    .value(QStringLiteral("MimeType"))
                                    .split(QLatin1Char(';'));
      if (!types.contains(mimeType))
        continue;
      for (auto group = entry.begin(); group != entry.end(); ++group) {
        if (group.key().compare(QLatin1String("Desktop Action print"), Qt::CaseInsensitive) == 0 &&
            !group->value(QStringLiteral("Exec")).isEmpty())
          return group->value(QStringLiteral("Exec"));
      }
    }
  }
  return {};
}

} // namespace

QStringList execCommand(const QString& exec, const QString& path) {
  QStringList command;
  for (const QString& word : SplitExec(exec)) {
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

Outcome lpRefusal(const QByteArray& errorOutput) {
  const QByteArray said = errorOutput.toLower();
  for (const char* missing :
       {"no default destination", "does not exist", "no such printer", "not accepting jobs"}) {
    if (said.contains(missing))
      return Outcome::NoPrinter;
  }
  for (const char* silent :
       {"scheduler not responding", "unable to connect", "connection refused"}) {
    if (said.contains(silent))
      return Outcome::NotAnswering;
  }
  return Outcome::Refused;
}

Outcome printFile(const QString& path, QObject* context, std::function<void(Outcome)> failed) {
  const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
  const QStringList action = execCommand(PrintAction(mimeType), path);
  if (!action.isEmpty() && QProcess::startDetached(action.front(), action.mid(1)))
    return Outcome::Sent;
  const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
  if (lp.isEmpty())
    return Outcome::NoPrintSystem;
  auto* job = new QProcess(context);
  QPointer<QObject> owner(context);
  const auto finish = [job, owner, failed](std::optional<Outcome> refused) {
    job->deleteLater();
    if (refused && owner && failed)
      failed(*refused);
  };
  QObject::connect(job, &QProcess::finished, job,
                   [job, finish](int code, QProcess::ExitStatus status) {
                     if (status == QProcess::NormalExit && code == 0)
                       finish(std::nullopt);
                     else
                       finish(lpRefusal(job->readAllStandardError()));
                   });
  QObject::connect(job, &QProcess::errorOccurred, job, [finish](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
      finish(Outcome::NoPrintSystem);
  });
  job->setStandardOutputFile(QProcess::nullDevice());
  // "--" keeps a file whose name starts with "-" from being read as an option.
  job->start(lp, {QStringLiteral("--"), path});
  return Outcome::Sent;
}

} // namespace dh::print
