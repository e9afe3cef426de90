#include "files/views/filelauncher.h"

#include "files/filecommands.h"
#include "files/model/folderlisting.h"
#include "files/model/foldernavigator.h"
#include "platform/confine/confinedroot.h"
#include "platform/desktop/desktopentries.h"
#include "platform/ui/messageservice.h"

#include <QFile>
#include <QProcess>
#include <QWidget>

namespace dh::files {

namespace {

const QString kAdministrator =
    QStringLiteral("\nIt is recommended you inform your system administrator\nof this error");

void fileProblem(QWidget* parent, const QString& text) {
  dh::ui::beep();
  dh::ui::showMessage(parent, text, QStringLiteral("File Problem"), dh::ui::Icon::Information);
}

} // namespace

void openFile(QWidget* parent, const FolderNavigator& place, const std::string& name) {
  const dh::confine::Descriptor folder = place.openFolder();
  if (!folder.valid()) {
    folderMoved(parent);
    return;
  }
  const dh::confine::Descriptor file =
      place.classify(folder, name) == FolderNavigator::EntryKind::File
          ? dh::confine::openFile(folder, name)
          : dh::confine::Descriptor();
  if (!file.valid()) {
    fileProblem(parent,
                QStringLiteral("There has been a problem locating this file.") + kAdministrator);
    return;
  }
  if (isProgram(file, name)) {
    fileProblem(parent, QStringLiteral("This file is a program. Programs cannot be started "
                                       "from My Files."));
    return;
  }
  const QString noApplication =
      QStringLiteral("There is no program on this computer that opens this file.") + kAdministrator;
  // The application is chosen here for the type judged here, and handed the file where
  // its open descriptor says it is now.
  const QString path = QFile::decodeName(QByteArray::fromStdString(dh::confine::currentPath(file)));
  const QStringList command =
      path.isEmpty() ? QStringList() : dh::desktop::handlerCommand(judgedType(file, name), path);
  if (command.isEmpty()) {
    fileProblem(parent, noApplication);
    return;
  }
  // The application lives on its own: it outlives the page, and is never waited for.
  if (!QProcess::startDetached(command.front(), command.mid(1)))
    fileProblem(parent, noApplication);
}

} // namespace dh::files
