// The right-click menu of My Files on a file, with its pictures and one command under the
// pointer, and an item being dragged onto a folder of the details list.
#include "tools/gallery/gallery.h"

#include "files/contextmenu.h"
#include "files/popupmenu.h"
#include "files/views/folderitemsmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>

namespace dh::gallery {

namespace {

files::ItemRecord item(const char* name, bool folder, const char* mime, const char* type) {
  return {.fullPath = std::string("/tmp/") + name,
          .name = name,
          .folder = folder,
          .sizeKb = folder ? 0u : 12u,
          .lastWrite = 1796640000,
          .typeName = QString::fromLatin1(type),
          .mimeName = QString::fromLatin1(mime)};
}

} // namespace

void menuSection(Gallery& gallery) {
  files::PopupMenu menu;
  menu.setPictures(QStringLiteral(":/files/menu-strip.svg"));
  const files::MenuAvailability all{true, true, true, true, true, true, true};
  for (int command : files::listMenu(files::MenuTarget::File, all)) {
    if (command == files::kMenuSeparator)
      menu.AddItem(files::PopupMenu::kSeparator, {}, 0, -1);
    else
      menu.AddItem(0, QString::fromLatin1(files::menuText(command)), command,
                   files::menuPicture(command));
  }
  menu.popup(QPoint(40, 40));
  QApplication::processEvents();
  menu.setActiveAction(menu.actions().at(3)); // Copy
  QApplication::processEvents();
  gallery.save(menu, QStringLiteral("files-context-menu"));
  menu.close();

  files::FolderItemsModel model;
  model.setItems({item("Homework", true, "inode/directory", "File Folder"),
                  item("Pictures", true, "inode/directory", "File Folder"),
                  item("My Story.txt", false, "text/plain", "Text Document"),
                  item("Poem.txt", false, "text/plain", "Text Document")});
  QTreeView list;
  list.setRootIsDecorated(false);
  list.setModel(&model);
  list.setIconSize(QSize(16, 16));
  list.resize(520, 150);
  list.header()->resizeSection(0, 200);
  list.selectionModel()->select(model.index(2, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
  model.setDropTarget(1);
  Gallery::showActive(list);
  // The dragged item's picture follows the pointer onto the folder.
  auto* picture = new QLabel(list.viewport());
  picture->setPixmap(model.data(model.index(2, 0), Qt::DecorationRole).value<QIcon>().pixmap(32));
  const QRect target = list.visualRect(model.index(1, 0));
  picture->move(target.left() + 110, target.top() - 6);
  picture->show();
  QApplication::processEvents();
  gallery.save(list, QStringLiteral("files-drag"));
}

} // namespace dh::gallery
