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

void FileProblem(QWidget* parent, const QString& text) {
  dh::ui::beep();
  dh::ui::showMessage(parent, text, QStringLiteral("File Problem"), dh::ui::Icon::Information);
}

} // namespace

void OpenFile(QWidget* parent, const FolderNavigator& place, const std::string& name) {
  const dh::confine::Descriptor folder = place.OpenFolder();
  if (!folder.valid()) {
    FolderMoved(parent);
    return;
  }
  const dh::confine::Descriptor file =
      place.Classify(folder, name) == FolderNavigator::EntryKind::File
          ? dh::confine::openFile(folder, name)
          : dh::confine::Descriptor();
  if (!file.valid()) {
    FileProblem(parent,
                QStringLiteral("There has been a problem locating this file.") + kAdministrator);
    return;
  }
  if (IsProgram(file, name)) {
    FileProblem(parent, QStringLiteral("This file is a program. Programs cannot be started "
                                       "from My Files."));
    return;
  }
  const QString noApplication =
      QStringLiteral("There is no program on this computer that opens this file.") + kAdministrator;
  // The application is chosen here for the type judged here, and handed the file where
  // its open descriptor says it is now.
  const QString path = QFile::decodeName(QByteArray::fromStdString(dh::confine::currentPath(file)));
  const QStringList command =
      path.isEmpty() ? QStringList() : dh::desktop::handlerCommand(JudgedType(file, name), path);
  if (command.isEmpty()) {
    FileProblem(parent, noApplication);
    return;
  }
  // The application lives on its own: it outlives the page, and is never waited for.
  if (!QProcess::startDetached(command.front(), command.mid(1)))
    FileProblem(parent, noApplication);
}

} // namespace dh::files
