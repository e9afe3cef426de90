// What every folder view of My Files offers the form: where it stands (a navigator on
// the folder its file commands work in) and what is selected there, the commands the
// form passes on, and the refresh after changes on disk.
#pragma once

#include "common/scheme.h"
#include "files/contextmenu.h"
#include "files/model/foldernavigator.h"
#include "files/model/itemrecord.h"

#include <QWidget>

#include <vector>

class QAbstractButton;
class QAbstractItemView;
class QMimeData;

namespace dh::files {

// The form's buttons that the views enable and disable.
struct ToolButtons {
  QAbstractButton* back = nullptr;
  QAbstractButton* forward = nullptr;
  QAbstractButton* up = nullptr;
  QAbstractButton* cut = nullptr;
  QAbstractButton* copy = nullptr;
  QAbstractButton* del = nullptr;
  QAbstractButton* rename = nullptr;
  QAbstractButton* print = nullptr;
};

// Whether Print is offered for the selected items: files only, each of a type that may
// be printed.
bool mayPrint(const std::vector<const ItemRecord*>& selected);

// The selection buttons for the items selected in a list: Cut, Delete and Copy for any,
// Rename for one item, Print as mayPrint says.
void enableItemButtons(const ToolButtons& buttons, const std::vector<const ItemRecord*>& selected);

class FolderView : public QWidget {
  Q_OBJECT

public:
  using QWidget::QWidget;

  // The folder the file commands work in, and the selected items of that folder.
  virtual const FolderNavigator& navigator() const = 0;
  virtual std::vector<ItemRecord> selectedItems() const = 0;
  // What Cut, Copy, Delete and Rename act on: the chosen items and the place holding them.
  struct Choice {
    FolderNavigator place;
    std::vector<ItemRecord> items;
  };
  virtual Choice chosen() const { return {navigator(), selectedItems()}; }
  // Whether a new folder must itself lie within the level limit (the trees, which never
  // show deeper), rather than go into any folder within it (the lists).
  virtual bool strictFolderLevels() const { return false; }
  // The folder the view shows the pupil, as a switch to another view carries it over.
  virtual std::string shownFolder() const { return navigator().folder(); }
  // The part of the view that takes the keyboard focus.
  virtual QAbstractItemView* list() const = 0;
  virtual QString caption() const = 0;

  // Takes a fresh copy of the scheme and the roots of the set-up, and shows nothing until
  // a root is opened.
  virtual void loadScheme(const dh::DhvScheme& scheme, std::shared_ptr<const OpenRoots> roots) = 0;
  // As when the view is chosen as the scheme's default: the first root opened.
  virtual void showDefault() = 0;
  // Shows a folder of a root recorded earlier (history, a view switch); when it may not
  // be shown any more the first root is shown instead. Records nothing.
  virtual void replay(const std::string& folder, int root) = 0;
  virtual void goUp() = 0;
  // Opens the first selected item (with onlyOne, only when exactly one is selected).
  virtual void openSelected(bool onlyOne) = 0;
  // Shows normal (32 x 32) or small (16 x 16) icons.
  virtual void setNormalIcons(bool normal) = 0;
  // Something changed on disk in folder (empty: anywhere): the visible view shows what
  // is there now where it is concerned.
  virtual void folderChanged(const QByteArray& folder) = 0;
  // Set by the form while its file operations change the views: no navigation then.
  void setBusy(bool busy) { busy_ = busy; }
  bool busy() const { return busy_; }

signals:
  // A right click or the menu key asks for the menu of target (the selection is already
  // where the click put it).
  void contextMenuWanted(dh::files::MenuTarget target, QPoint global);
  // An item dragged within the page was dropped on the folder item of folder.
  void dropWanted(const QMimeData& data, const std::string& folder, bool move);
  // The view shows a folder reached through an administrator's shortcut, below target:
  // a tree outside the roots, which the page watches too from now on.
  void targetShown(const std::string& target);

protected:
  // A view hidden (its page, or another view on show) hears of no change on disk: it
  // looks again when it is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  bool busy_ = false;

private:
  bool stale_ = false;
};

} // namespace dh::files
