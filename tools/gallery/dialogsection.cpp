// The two name dialogs of My Files as a pupil meets them: Folder Creation with a name
// being typed, and Rename Item showing the part of the name that may change.
#include "tools/gallery/gallery.h"

#include "files/namedialogs.h"

#include <QDir>
#include <QLineEdit>

#include <fcntl.h>

namespace dh::gallery {

void dialogSection(Gallery& gallery) {
  const confine::Descriptor tmp(
      open(QFile::encodeName(QDir::tempPath()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  files::CFolderCreationDlg folder(QDir::tempPath(), tmp);
  Gallery::showActive(folder);
  folder.edit()->setText(QStringLiteral("Maths homework"));
  gallery.save(folder, QStringLiteral("files-folder-creation"));

  files::CRenameItemDlg rename(QDir::tempPath(), QStringLiteral("My Story.final.txt"));
  Gallery::showActive(rename);
  gallery.save(rename, QStringLiteral("files-rename-item"));
}

} // namespace dh::gallery
