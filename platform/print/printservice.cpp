#include "platform/print/printservice.h"

#include "platform/confine/confinedroot.h"
#include "platform/desktop/desktopentries.h"

#include <QFile>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

#include <unistd.h>

namespace dh::print {

namespace {

// The type of the file as its name and first bytes say.
QMimeType typeOf(const dh::confine::Descriptor& file, const QString& name) {
  QByteArray head(4096, '\0');
  const ssize_t length = pread(file.get(), head.data(), std::size_t(head.size()), 0);
  head.truncate(length < 0 ? 0 : length);
  return QMimeDatabase().mimeTypeForFileNameAndData(name, head);
}

} // namespace

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

Outcome printFile(const dh::confine::Descriptor& file, const QString& name, QObject* context,
                  std::function<void(Outcome)> failed) {
  // An application is handed the file where it is now, as its open descriptor says.
  const QString path = QFile::decodeName(QByteArray::fromStdString(dh::confine::currentPath(file)));
  const QStringList action = path.isEmpty() ? QStringList()
                                            : dh::desktop::handlerCommand(typeOf(file, name), path,
                                                                          QStringLiteral("print"));
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
  // lp reads the job from its input, which is the open file itself: the file printed is
  // the file judged, whatever has taken its name since.
  job->setStandardInputFile(QString::fromStdString(file.procPath()));
  job->setStandardOutputFile(QProcess::nullDevice());
  job->start(lp, {QStringLiteral("-t"), name});
  return Outcome::Sent;
}

} // namespace dh::print
