#include "files/views/filelauncher.h"

#include "files/views/folderlisting.h"
#include "platform/ui/messageservice.h"

#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#include <unistd.h>

namespace dh::files {

namespace {

const QString kAdministrator =
    QStringLiteral("\nIt is recommended you inform your system administrator\nof this error");

void FileProblem(QWidget* parent, const QString& text) {
  dh::ui::beep();
  dh::ui::showMessage(parent, text, QStringLiteral("File Problem"), dh::ui::Icon::Information);
}

} // namespace

void OpenFile(QWidget* parent, const std::string& path) {
  if (access(path.c_str(), F_OK) != 0) {
    FileProblem(parent,
                QStringLiteral("There has been a problem locating this file.") + kAdministrator);
    return;
  }
  if (IsProgram(path)) {
    FileProblem(parent, QStringLiteral("This file is a program. Programs cannot be started "
                                       "from My Files."));
    return;
  }
  const QString noApplication =
      QStringLiteral("There is no program on this computer that opens this file.") + kAdministrator;
  // The desktop's opener hands the file to the application its type names.
  QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  QStringList arguments;
  if (program.isEmpty()) {
    program = QStandardPaths::findExecutable(QStringLiteral("gio"));
    arguments << QStringLiteral("open");
  }
  const QByteArray bytes = QByteArray::fromStdString(path);
  const QString name = QFile::decodeName(bytes);
  // A name that does not survive the trip through text would reach another file.
  if (program.isEmpty() || QFile::encodeName(name) != bytes) {
    FileProblem(parent, noApplication);
    return;
  }
  auto* opener = new QProcess(parent);
  QPointer<QWidget> owner(parent);
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, owner, noApplication](int code, QProcess::ExitStatus status) {
                     opener->deleteLater();
                     if ((status != QProcess::NormalExit || code != 0) && owner)
                       FileProblem(owner, noApplication);
                   });
  QObject::connect(opener, &QProcess::errorOccurred, opener,
                   [opener, owner, noApplication](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart)
                       return;
                     opener->deleteLater();
                     if (owner)
                       FileProblem(owner, noApplication);
                   });
  opener->start(program, arguments << name);
}

} // namespace dh::files
