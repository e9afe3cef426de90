#include "files/views/foldertreeview.h"

#include "common/settings.h"
#include "common/ui/buttonst.h"
#include "files/model/folderlisting.h"
#include "files/model/foldershortcut.h"
#include "files/views/filelauncher.h"
#include "files/views/itemdragger.h"
#include "platform/ui/controlid.h"
#include "platform/ui/waitcursor.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace dh::files {

namespace {

namespace place {
constexpr int kTreeWidth = 285; // the two-pane view's tree
constexpr int kCaptionHeight = 22;
constexpr int kGap = 4;
} // namespace place

constexpr int kNormalIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kRecordRole = Qt::UserRole;
constexpr int kHoverDelay = 200; // ms resting on a folder while dragging before it opens
const QString kCaptionGap = QStringLiteral("      ");

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

QPixmap picture(const std::string& file) {
  return file.empty() ? QPixmap() : dh::maskedPicture(toQString(file));
}

// Closed, and open while selected.
QIcon folderIcon(const QPixmap& closed, const QPixmap& open) {
  QIcon icon;
  if (!closed.isNull())
    icon.addPixmap(closed, QIcon::Normal);
  if (!open.isNull())
    icon.addPixmap(open, QIcon::Selected);
  return icon;
}

} // namespace

bool hasContent(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir)
    return false;
  bool any = false;
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      any = true;
      break;
    }
  }
  closedir(dir);
  return any;
}

CFolderTreeView::CFolderTreeView(Style style, NavigationHistory& history,
                                 std::shared_ptr<FolderNavigator::Visited> visited,
                                 ToolButtons buttons, QWidget* parent)
    : FolderView(parent), style_(style), history_(history), buttons_(buttons),
      navigator_(std::move(visited)) {
  const bool onePane = style == Style::OnePane;
  dh::ui::setControlId(this, onePane ? kOnePaneTemplate : kTwoPaneTemplate);
  caption_ = new QLabel(this);
  dh::ui::setControlId(caption_, kCaption);
  caption_->setTextFormat(Qt::PlainText);
  tree_ = new QTreeWidget(this);
  dh::ui::setControlId(tree_, onePane ? kOnePaneTree : kTwoPaneTree);
  tree_->setAccessibleName(QStringLiteral("Folders"));
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(true);
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->installEventFilter(this);
  hover_ = new QTimer(this);
  hover_->setSingleShot(true);
  hover_->setInterval(kHoverDelay);
  connect(hover_, &QTimer::timeout, this, [this] {
    if (dropTarget_.isValid())
      tree_->expand(dropTarget_);
  });
  // The two-pane tree holds folders only, and only takes what is dragged onto it.
  new ItemDragger(tree_, *this,
                  {.menu = [this](std::optional<QPoint> local) { offerMenu(*tree_, local); },
                   .dragSource = onePane,
                   .dropFolder = [this](QPoint local) { return dropFolder(local); },
                   .highlight = [this](const QModelIndex& index) { highlightDropTarget(index); }});
  connect(tree_, &QTreeWidget::itemExpanded, this, &CFolderTreeView::fill);
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CFolderTreeView::treeSelectionChanged);
  if (onePane) {
    // A folder's double click is the tree's own expand and collapse.
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
      if (!recordOf(item).folder)
        openItem(item);
    });
  } else {
    list_ = new QListView(this);
    dh::ui::setControlId(list_, kFileList);
    list_->setViewMode(QListView::IconMode);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWrapping(true);
    list_->setWordWrap(true);
    list_->setModel(&model_);
    list_->setAccessibleName(QStringLiteral("Files and folders"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->installEventFilter(this);
    new ItemDragger(list_, *this,
                    {.menu = [this](std::optional<QPoint> local) { offerMenu(*list_, local); }});
    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { openSelected(false); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFolderTreeView::listSelectionChanged);
  }
  setNormalIcons(true);
}

CFolderTreeView::~CFolderTreeView() = default;

const ItemRecord& CFolderTreeView::recordOf(const QTreeWidgetItem* item) const {
  return records_[item->data(0, kRecordRole).toULongLong()];
}

QAbstractItemView* CFolderTreeView::list() const {
  return list_ ? static_cast<QAbstractItemView*>(list_) : tree_;
}

QString CFolderTreeView::caption() const {
  return caption_->text();
}

std::vector<ItemRecord> CFolderTreeView::selectedItems() const {
  std::vector<ItemRecord> items;
  if (list_) {
    QModelIndexList rows = list_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows)
      items.push_back(model_.item(row.row()));
  } else if (const QTreeWidgetItem* item = tree_->currentItem(); item && item->parent()) {
    items.push_back(recordOf(item));
  }
  return items;
}

FolderView::Choice CFolderTreeView::chosen() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  if (!list_ || list_->selectionModel()->hasSelection() || !item || !item->parent())
    return {navigator_, selectedItems()};
  FolderNavigator place = navigator_;
  if (!reach(item->parent(), place))
    return {navigator_, {}};
  return {place, {recordOf(item)}};
}

bool CFolderTreeView::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == tree_ || watched == list_) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == list_)
        openSelected(true);
      else
        openItem(tree_->currentItem());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CFolderTreeView::offerMenu(const QAbstractItemView& view, std::optional<QPoint> local) {
  if (navigator_.roots().empty() || !scheme_.Defaults.ContextMenu)
    return; // the click has put its item in the caption line, and that is all
  const QModelIndex index = menuIndex(view, local);
  MenuTarget target = MenuTarget::Nothing;
  if (&view == tree_) {
    if (!index.isValid())
      return; // the tree offers commands for its items only
    if (list_)
      list_->clearSelection(); // the commands then act on the tree's folder
    target = records_[index.data(kRecordRole).toULongLong()].folder ? MenuTarget::Folder
                                                                    : MenuTarget::File;
  } else if (index.isValid() && !selectedItems().empty()) {
    target = MenuTarget::File; // the list holds files only
  }
  emit contextMenuWanted(target, view.viewport()->mapToGlobal(*local));
}

std::optional<std::string> CFolderTreeView::dropFolder(QPoint local) const {
  const QTreeWidgetItem* item = tree_->itemAt(local);
  FolderNavigator into = navigator_;
  if (!item || !recordOf(item).folder || !reach(item, into))
    return std::nullopt; // not a folder, or below the folder limit
  return into.folder();
}

void CFolderTreeView::highlightDropTarget(const QModelIndex& index) {
  // Resting on a folder while dragging opens it.
  if (index.isValid())
    hover_->start();
  else
    hover_->stop();
  if (dropTarget_ == index)
    return;
  if (dropTarget_.isValid())
    tree_->model()->setData(dropTarget_, QVariant(), Qt::BackgroundRole);
  dropTarget_ = index;
  if (index.isValid())
    tree_->model()->setData(index, tree_->palette().brush(QPalette::Highlight).color().lighter(),
                            Qt::BackgroundRole);
}

void CFolderTreeView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void CFolderTreeView::showEvent(QShowEvent* event) {
  layOut();
  FolderView::showEvent(event);
}

void CFolderTreeView::layOut() {
  const int top = place::kCaptionHeight + place::kGap;
  if (!list_) {
    caption_->setGeometry(0, 0, width(), place::kCaptionHeight);
    tree_->setGeometry(0, top, width(), height() - top);
    return;
  }
  const int treeWidth = std::min(place::kTreeWidth, width() / 2);
  tree_->setGeometry(0, 0, treeWidth, height());
  const int left = treeWidth + place::kGap;
  caption_->setGeometry(left, 0, width() - left, place::kCaptionHeight);
  list_->setGeometry(left, top, width() - left, height() - top);
}

void CFolderTreeView::loadScheme(const dh::DhvScheme& scheme,
                                 std::shared_ptr<const OpenRoots> roots) {
  scheme_ = scheme;
  navigator_.setRoots(std::move(roots));
  {
    const QSignalBlocker block(tree_);
    tree_->clear();
  }
  records_.clear();
  model_.setItems({});
  listed_.clear();
  caption_->clear();
}

void CFolderTreeView::build() {
  {
    const QSignalBlocker block(tree_);
    tree_->clear();
  }
  records_.clear();
  const std::string pictures = dh::GetDefaultPicturesFolder();
  const QPixmap closed = picture(dh::joinPath(pictures, "Closed Folder.bmp"));
  const QPixmap open = picture(dh::joinPath(pictures, "Open Folder.bmp"));
  folderIcon_ = folderIcon(closed, open);
  rootIcons_.clear();
  for (const dh::RootFolder& root : navigator_.roots()) {
    const QPixmap collapsed = picture(root.CollapsedIconFile);
    const QPixmap expanded = picture(root.ExpandedIconFile);
    rootIcons_.push_back(
        folderIcon(collapsed.isNull() ? closed : collapsed, expanded.isNull() ? open : expanded));
    ItemRecord record;
    record.fullPath = root.RootPath;
    record.name = root.RootDisplayName;
    record.folder = true;
    addItem(nullptr, std::move(record), rootIcons_.back(),
            root.FolderLevels > 0 && hasContent(root.RootPath));
  }
}

QTreeWidgetItem* CFolderTreeView::addItem(QTreeWidgetItem* parent, ItemRecord record,
                                          const QIcon& icon, bool children) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, parent ? displayName(record) : toQString(record.name));
  item->setIcon(0, icon);
  item->setChildIndicatorPolicy(children ? QTreeWidgetItem::ShowIndicator
                                         : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  item->setData(0, kRecordRole, qulonglong(records_.size()));
  records_.push_back(std::move(record));
  if (parent)
    parent->addChild(item);
  else
    tree_->addTopLevelItem(item);
  return item;
}

bool CFolderTreeView::reach(const QTreeWidgetItem* item, FolderNavigator& navigator) const {
  std::vector<const QTreeWidgetItem*> way;
  for (; item->parent(); item = item->parent())
    way.push_back(item);
  if (!navigator.openRoot(tree_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item))))
    return false;
  for (auto step = way.rbegin(); step != way.rend(); ++step) {
    if (!navigator.enter(recordOf(*step).name))
      return false;
  }
  return true;
}

void CFolderTreeView::fill(QTreeWidgetItem* item) {
  if (!recordOf(item).folder)
    return;
  dh::ui::WaitCursor wait;
  qDeleteAll(item->takeChildren());
  FolderNavigator navigator = navigator_;
  // The level limit: a folder at it is never filled.
  if (!reach(item, navigator) || navigator.depth() >= navigator.limit())
    return;
  if (!list_ && !replaying_ && isVisible()) {
    history_.record(navigator.folder(), navigator.currentRoot());
    buttons_.back->setEnabled(history_.canGoBack());
    buttons_.forward->setEnabled(history_.canGoForward());
  }
  const bool deeper = navigator.depth() + 1 < navigator.limit();
  for (ItemRecord& entry : listFolder(navigator)) {
    if (entry.folder) {
      const bool children = deeper && hasContent(entry.fullPath);
      addItem(item, std::move(entry), folderIcon_, children);
    } else if (!list_) {
      const QIcon icon = typeIcon(entry.mimeName);
      addItem(item, std::move(entry), icon, false);
    }
  }
}

QTreeWidgetItem* CFolderTreeView::find(const std::string& folder, int root) {
  QTreeWidgetItem* item = tree_->topLevelItem(root);
  FolderNavigator navigator = navigator_;
  if (!item || !navigator.openRoot(root))
    return nullptr;
  while (navigator.folder() != folder) {
    tree_->expandItem(item);
    QTreeWidgetItem* next = nullptr;
    for (int child = 0; child < item->childCount() && !next; ++child) {
      const ItemRecord& record = recordOf(item->child(child));
      FolderNavigator probe = navigator;
      if (record.folder && probe.enter(record.name) &&
          (probe.folder() == folder || isWithin(folder, probe.folder()))) {
        next = item->child(child);
        navigator = std::move(probe);
      }
    }
    if (!next)
      return nullptr;
    item = next;
  }
  return item;
}

CFolderTreeView::Way CFolderTreeView::wayOf(const QTreeWidgetItem* item) const {
  Way way;
  for (; item->parent(); item = item->parent())
    way.names.insert(way.names.begin(), recordOf(item).name);
  way.root = tree_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
  return way;
}

QTreeWidgetItem* CFolderTreeView::follow(const Way& way, bool expand) {
  QTreeWidgetItem* item = tree_->topLevelItem(way.root);
  for (std::size_t step = 0; item && step < way.names.size(); ++step) {
    QTreeWidgetItem* next = nullptr;
    for (int child = 0; child < item->childCount() && !next; ++child) {
      if (recordOf(item->child(child)).name == way.names[step])
        next = item->child(child);
    }
    if (!next)
      return expand ? nullptr : item;
    item = next;
  }
  if (item && expand)
    tree_->expandItem(item);
  return item;
}

void CFolderTreeView::showDefault() {
  build();
  select(tree_->topLevelItem(0), true);
}

void CFolderTreeView::replay(const std::string& folder, int root) {
  if (busy_)
    return;
  replaying_ = true;
  if (tree_->topLevelItemCount() == 0)
    build();
  QTreeWidgetItem* item = find(folder, root);
  select(item ? item : tree_->topLevelItem(0), false);
  replaying_ = false;
}

void CFolderTreeView::select(QTreeWidgetItem* item, bool record) {
  const bool replaying = replaying_;
  replaying_ = !record;
  {
    const QSignalBlocker block(tree_);
    tree_->setCurrentItem(item);
  }
  treeSelectionChanged();
  replaying_ = replaying;
}

void CFolderTreeView::treeSelectionChanged() {
  QTreeWidgetItem* item = tree_->currentItem();
  // One-pane: the folder holding the item (a root: its own); two-pane: the folder itself.
  const QTreeWidgetItem* place = item && item->parent() && !list_ ? item->parent() : item;
  const bool placed = place && reach(place, navigator_);
  shown_ = placed ? navigator_.folder() : std::string();
  buttons_.up->setEnabled(item && item->parent());
  if (list_) {
    if (placed && !replaying_ && isVisible()) {
      history_.record(navigator_.folder(), navigator_.currentRoot());
      buttons_.back->setEnabled(history_.canGoBack());
      buttons_.forward->setEnabled(history_.canGoForward());
    }
    listFiles();
    return;
  }
  if (!placed) {
    caption_->setText(QStringLiteral("Details Not Available"));
    for (QAbstractButton* button :
         {buttons_.up, buttons_.rename, buttons_.cut, buttons_.print, buttons_.del, buttons_.copy})
      button->setEnabled(false);
    return;
  }
  const ItemRecord& record = recordOf(item);
  QString caption =
      QStringLiteral("Current Root: ") +
      toQString(navigator_.roots()[std::size_t(navigator_.currentRoot())].RootDisplayName);
  if (record.folder) {
    FolderNavigator shown = navigator_;
    if (item->parent())
      shown.enter(record.name);
    shown_ = shown.folder();
    caption += kCaptionGap + QStringLiteral("Current Folder: ") + screenName(shown_);
    for (QAbstractButton* button : {buttons_.rename, buttons_.cut, buttons_.del, buttons_.copy})
      button->setEnabled(item->parent());
    buttons_.print->setEnabled(false);
  } else {
    caption += kCaptionGap + selectionCaption({&record}, {});
    enableItemButtons(buttons_, {&record});
  }
  caption_->setText(caption);
}

void CFolderTreeView::listFiles() {
  std::vector<ItemRecord> files;
  if (navigator_.hasFolder()) {
    for (ItemRecord& item : listFolder(navigator_)) {
      if (!item.folder)
        files.push_back(std::move(item));
    }
  }
  // The same folder again keeps the selected files that are still there.
  if (navigator_.folder() == listed_)
    model_.merge(std::move(files));
  else
    model_.setItems(std::move(files));
  listed_ = navigator_.folder();
  listSelectionChanged();
}

void CFolderTreeView::listSelectionChanged() {
  std::vector<const ItemRecord*> selected;
  for (const QModelIndex& row : list_->selectionModel()->selectedRows())
    selected.push_back(&model_.item(row.row()));
  caption_->setText(selectionCaption(selected, QStringLiteral("Current Folder: ") +
                                                   screenName(navigator_.folder())));
  // No file chosen: the buttons act on the tree's folder.
  const QTreeWidgetItem* item = tree_->currentItem();
  if (selected.empty() && item && item->parent())
    selected.push_back(&recordOf(item));
  enableItemButtons(buttons_, selected);
}

void CFolderTreeView::goUp() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (!busy_ && item && item->parent())
    select(item->parent(), true);
}

void CFolderTreeView::openItem(const QTreeWidgetItem* item) {
  if (!item)
    return;
  if (recordOf(item).folder) {
    auto* folder = const_cast<QTreeWidgetItem*>(item);
    folder->setExpanded(!folder->isExpanded());
    return;
  }
  FolderNavigator navigator = navigator_;
  if (reach(item->parent(), navigator))
    openFile(this, navigator, recordOf(item).name);
}

void CFolderTreeView::openSelected(bool onlyOne) {
  const std::vector<ItemRecord> selected = selectedItems();
  if (!list_ || selected.empty()) {
    openItem(tree_->currentItem());
    return;
  }
  if (!onlyOne || selected.size() == 1)
    openFile(this, navigator_, selected.front().name);
}

void CFolderTreeView::setNormalIcons(bool normal) {
  const int size = normal ? kNormalIcon : kSmallIcon;
  tree_->setIconSize(QSize(size, size));
  if (list_) {
    list_->setIconSize(QSize(size, size));
    list_->setGridSize(normal ? QSize(112, 90) : QSize(112, 56));
  }
}

void CFolderTreeView::folderChanged(const QByteArray& /*folder*/) {
  if (!isVisible() || busy_ || tree_->topLevelItemCount() == 0)
    return;
  // The expanded items in tree order, so that each one's parent opens before it.
  std::vector<Way> expanded;
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->isExpanded())
      expanded.push_back(wayOf(*it));
  }
  const std::optional<Way> selected =
      tree_->currentItem() ? std::optional<Way>(wayOf(tree_->currentItem())) : std::nullopt;
  replaying_ = true;
  build();
  for (const Way& way : expanded)
    follow(way, true);
  QTreeWidgetItem* item = selected ? follow(*selected, false) : nullptr;
  select(item ? item : tree_->topLevelItem(0), false);
  replaying_ = false;
}

} // namespace dh::files
