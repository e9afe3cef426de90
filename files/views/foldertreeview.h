// The one-pane and two-pane tree views of My Files. The roots are the top items of a
// tree that is filled lazily, a folder's entries each time it is expanded; the two-pane
// view lists the selected folder's files beside the tree. Every item is reached from its
// root the way a pupil would walk there, so the navigator's rules (the level limit,
// links and folder shortcuts) decide what the tree shows and opens.
#pragma once

#include "files/model/navigationhistory.h"
#include "files/views/folderitemsmodel.h"
#include "files/views/folderview.h"

#include <QIcon>
#include <QPersistentModelIndex>

#include <optional>

class QAbstractItemView;
class QLabel;
class QListView;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace dh::files {

class CFolderTreeView : public FolderView {
  Q_OBJECT

public:
  enum class Style { OnePane, TwoPane };
  enum ItemId {
    kOnePaneTemplate = 216,
    kTwoPaneTemplate = 217,
    kOnePaneTree = 215,
    kTwoPaneTree = 235,
    kFileList = 216,
    kCaption = 223,
  };

  // history and visited are the page's, shared with its other views.
  CFolderTreeView(Style style, NavigationHistory& history,
                  std::shared_ptr<FolderNavigator::Visited> visited, ToolButtons buttons,
                  QWidget* parent = nullptr);
  ~CFolderTreeView() override;

  Style viewStyle() const { return style_; }
  QTreeWidget* tree() const { return tree_; }
  // The two-pane view's list of files (null in the one-pane view).
  QListView* fileList() const { return list_; }
  const FolderItemsModel& model() const { return model_; }
  // The record of a tree item.
  const ItemRecord& recordOf(const QTreeWidgetItem* item) const;

  // One-pane: the folder holding the selected item (a root item: its own folder), and
  // that item. Two-pane: the selected folder, and the files selected in the list.
  const FolderNavigator& navigator() const override { return navigator_; }
  std::vector<ItemRecord> selectedItems() const override;
  // Two-pane: the files selected in the list, or with none, the selected folder of the tree
  // (a root never).
  Choice chosen() const override;
  bool strictFolderLevels() const override { return true; }
  // The selected folder, or the folder holding the selected file.
  std::string shownFolder() const override { return shown_; }
  QAbstractItemView* list() const override;
  QString caption() const override;

  void loadScheme(const dh::DhvScheme& scheme, std::shared_ptr<const OpenRoots> roots) override;
  void showDefault() override;
  void replay(const std::string& folder, int root) override;
  void goUp() override;
  void openSelected(bool onlyOne) override;
  void setNormalIcons(bool normal) override;
  // Builds the tree again from the disk, expanding what was expanded and selecting
  // what was selected where it still exists.
  void folderChanged(const QByteArray& folder) override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  // An item as the names leading to it from its root.
  struct Way {
    int root = -1;
    std::vector<std::string> names;
  };

  void layOut();
  void build();
  QTreeWidgetItem* addItem(QTreeWidgetItem* parent, ItemRecord record, const QIcon& icon,
                           bool children);
  void fill(QTreeWidgetItem* item);
  // Walks the navigator from the item's root down to the folder item; false when the
  // way is no longer open.
  bool reach(const QTreeWidgetItem* item, FolderNavigator& navigator) const;
  QTreeWidgetItem* find(const std::string& folder, int root);
  Way wayOf(const QTreeWidgetItem* item) const;
  // The item at the end of the way among the items there now, or the last one found.
  QTreeWidgetItem* follow(const Way& way, bool expand);
  void select(QTreeWidgetItem* item, bool record);
  void treeSelectionChanged();
  void listFiles();
  void listSelectionChanged();
  void itemButtons(const std::vector<const ItemRecord*>& selected);
  void openItem(const QTreeWidgetItem* item);
  // A right click at local (in view's viewport) or, with none, the menu key, in the tree
  // or the list.
  void offerMenu(const QAbstractItemView& view, std::optional<QPoint> local);
  // The folder of the tree's folder item at local that would take a dropped item, and
  // that item drawn as the drop target (invalid index: none).
  std::optional<std::string> dropFolder(QPoint local) const;
  void highlightDropTarget(const QModelIndex& index);

  Style style_;
  NavigationHistory& history_;
  ToolButtons buttons_;
  dh::DhvScheme scheme_;
  FolderNavigator navigator_;
  std::vector<ItemRecord> records_;
  QIcon folderIcon_;
  std::vector<QIcon> rootIcons_;
  FolderItemsModel model_;
  std::string shown_;
  std::string listed_; // the folder the two-pane list shows
  bool replaying_ = false;

  QPersistentModelIndex dropTarget_;
  QTimer* hover_ = nullptr;

  QLabel* caption_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QListView* list_ = nullptr;
};

// Whether a folder holds any entry at all, hidden ones included.
bool hasContent(const std::string& folder);

} // namespace dh::files
