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

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QPixmap Picture(const std::string& file) {
  return file.empty() ? QPixmap() : dh::MaskedPicture(Text(file));
}

// Closed, and open while selected.
QIcon FolderIcon(const QPixmap& closed, const QPixmap& open) {
  QIcon icon;
  if (!closed.isNull())
    icon.addPixmap(closed, QIcon::Normal);
  if (!open.isNull())
    icon.addPixmap(open, QIcon::Selected);
  return icon;
}

} // namespace

bool HasContent(const std::string& folder) {
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
                  {.menu = [this](std::optional<QPoint> local) { OfferMenu(*tree_, local); },
                   .dragSource = onePane,
                   .dropFolder = [this](QPoint local) { return DropFolder(local); },
                   .highlight = [this](const QModelIndex& index) { HighlightDropTarget(index); }});
  connect(tree_, &QTreeWidget::itemExpanded, this, &CFolderTreeView::Fill);
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CFolderTreeView::TreeSelectionChanged);
  if (onePane) {
    // A folder's double click is the tree's own expand and collapse.
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
      if (!Record(item).folder)
        OpenItem(item);
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
                    {.menu = [this](std::optional<QPoint> local) { OfferMenu(*list_, local); }});
    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { OpenSelected(false); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFolderTreeView::ListSelectionChanged);
  }
  SetNormalIcons(true);
}

CFolderTreeView::~CFolderTreeView() = default;

const ItemRecord& CFolderTreeView::Record(const QTreeWidgetItem* item) const {
  return records_[item->data(0, kRecordRole).toULongLong()];
}

QAbstractItemView* CFolderTreeView::List() const {
  return list_ ? static_cast<QAbstractItemView*>(list_) : tree_;
}

QString CFolderTreeView::Caption() const {
  return caption_->text();
}

std::vector<ItemRecord> CFolderTreeView::Selected() const {
  std::vector<ItemRecord> items;
  if (list_) {
    QModelIndexList rows = list_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows)
      items.push_back(model_.Item(row.row()));
  } else if (const QTreeWidgetItem* item = tree_->currentItem(); item && item->parent()) {
    items.push_back(Record(item));
  }
  return items;
}

FolderView::Choice CFolderTreeView::Chosen() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  if (!list_ || list_->selectionModel()->hasSelection() || !item || !item->parent())
    return {navigator_, Selected()};
  FolderNavigator place = navigator_;
  if (!Reach(item->parent(), place))
    return {navigator_, {}};
  return {place, {Record(item)}};
}

bool CFolderTreeView::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == tree_ || watched == list_) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == list_)
        OpenSelected(true);
      else
        OpenItem(tree_->currentItem());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CFolderTreeView::OfferMenu(const QAbstractItemView& view, std::optional<QPoint> local) {
  if (navigator_.Roots().empty() || !scheme_.Defaults.ContextMenu)
    return; // the click has put its item in the caption line, and that is all
  const QModelIndex index = MenuIndex(view, local);
  MenuTarget target = MenuTarget::Nothing;
  if (&view == tree_) {
    if (!index.isValid())
      return; // the tree offers commands for its items only
    if (list_)
      list_->clearSelection(); // the commands then act on the tree's folder
    target = records_[index.data(kRecordRole).toULongLong()].folder ? MenuTarget::Folder
                                                                    : MenuTarget::File;
  } else if (index.isValid() && !Selected().empty()) {
    target = MenuTarget::File; // the list holds files only
  }
  emit contextMenuWanted(target, view.viewport()->mapToGlobal(*local));
}

std::optional<std::string> CFolderTreeView::DropFolder(QPoint local) const {
  const QTreeWidgetItem* item = tree_->itemAt(local);
  FolderNavigator into = navigator_;
  if (!item || !Record(item).folder || !Reach(item, into))
    return std::nullopt; // not a folder, or below the folder limit
  return into.Folder();
}

void CFolderTreeView::HighlightDropTarget(const QModelIndex& index) {
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
  LayOut();
}

void CFolderTreeView::showEvent(QShowEvent* event) {
  LayOut();
  FolderView::showEvent(event);
}

void CFolderTreeView::LayOut() {
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

void CFolderTreeView::LoadScheme(const dh::DhvScheme& scheme,
                                 std::shared_ptr<const OpenRoots> roots) {
  scheme_ = scheme;
  navigator_.SetRoots(std::move(roots));
  {
    const QSignalBlocker block(tree_);
    tree_->clear();
  }
  records_.clear();
  model_.SetItems({});
  listed_.clear();
  caption_->clear();
}

void CFolderTreeView::Build() {
  {
    const QSignalBlocker block(tree_);
    tree_->clear();
  }
  records_.clear();
  const std::string pictures = dh::GetDefaultPicturesFolder();
  const QPixmap closed = Picture(dh::JoinPath(pictures, "Closed Folder.bmp"));
  const QPixmap open = Picture(dh::JoinPath(pictures, "Open Folder.bmp"));
  folderIcon_ = FolderIcon(closed, open);
  rootIcons_.clear();
  for (const dh::RootFolder& root : navigator_.Roots()) {
    const QPixmap collapsed = Picture(root.CollapsedIconFile);
    const QPixmap expanded = Picture(root.ExpandedIconFile);
    rootIcons_.push_back(
        FolderIcon(collapsed.isNull() ? closed : collapsed, expanded.isNull() ? open : expanded));
    ItemRecord record;
    record.fullPath = root.RootPath;
    record.name = root.RootDisplayName;
    record.folder = true;
    AddItem(nullptr, std::move(record), rootIcons_.back(),
            root.FolderLevels > 0 && HasContent(root.RootPath));
  }
}

QTreeWidgetItem* CFolderTreeView::AddItem(QTreeWidgetItem* parent, ItemRecord record,
                                          const QIcon& icon, bool children) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, parent ? DisplayName(record) : Text(record.name));
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

bool CFolderTreeView::Reach(const QTreeWidgetItem* item, FolderNavigator& navigator) const {
  std::vector<const QTreeWidgetItem*> way;
  for (; item->parent(); item = item->parent())
    way.push_back(item);
  if (!navigator.OpenRoot(tree_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item))))
    return false;
  for (auto step = way.rbegin(); step != way.rend(); ++step) {
    if (!navigator.Enter(Record(*step).name))
      return false;
  }
  return true;
}

void CFolderTreeView::Fill(QTreeWidgetItem* item) {
  if (!Record(item).folder)
    return;
  dh::ui::WaitCursor wait;
  qDeleteAll(item->takeChildren());
  FolderNavigator navigator = navigator_;
  // The level limit: a folder at it is never filled.
  if (!Reach(item, navigator) || navigator.Depth() >= navigator.Limit())
    return;
  if (!list_ && !replaying_ && isVisible()) {
    history_.Record(navigator.Folder(), navigator.CurrentRoot());
    buttons_.back->setEnabled(history_.CanGoBack());
    buttons_.forward->setEnabled(history_.CanGoForward());
  }
  const bool deeper = navigator.Depth() + 1 < navigator.Limit();
  for (ItemRecord& entry : ListFolder(navigator)) {
    if (entry.folder) {
      const bool children = deeper && HasContent(entry.fullPath);
      AddItem(item, std::move(entry), folderIcon_, children);
    } else if (!list_) {
      const QIcon icon = TypeIcon(entry.mimeName);
      AddItem(item, std::move(entry), icon, false);
    }
  }
}

QTreeWidgetItem* CFolderTreeView::Find(const std::string& folder, int root) {
  QTreeWidgetItem* item = tree_->topLevelItem(root);
  FolderNavigator navigator = navigator_;
  if (!item || !navigator.OpenRoot(root))
    return nullptr;
  while (navigator.Folder() != folder) {
    tree_->expandItem(item);
    QTreeWidgetItem* next = nullptr;
    for (int child = 0; child < item->childCount() && !next; ++child) {
      const ItemRecord& record = Record(item->child(child));
      FolderNavigator probe = navigator;
      if (record.folder && probe.Enter(record.name) &&
          (probe.Folder() == folder || IsWithin(folder, probe.Folder()))) {
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

CFolderTreeView::Way CFolderTreeView::WayOf(const QTreeWidgetItem* item) const {
  Way way;
  for (; item->parent(); item = item->parent())
    way.names.insert(way.names.begin(), Record(item).name);
  way.root = tree_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
  return way;
}

QTreeWidgetItem* CFolderTreeView::Follow(const Way& way, bool expand) {
  QTreeWidgetItem* item = tree_->topLevelItem(way.root);
  for (std::size_t step = 0; item && step < way.names.size(); ++step) {
    QTreeWidgetItem* next = nullptr;
    for (int child = 0; child < item->childCount() && !next; ++child) {
      if (Record(item->child(child)).name == way.names[step])
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

void CFolderTreeView::ShowDefault() {
  Build();
  Select(tree_->topLevelItem(0), true);
}

void CFolderTreeView::Replay(const std::string& folder, int root) {
  if (busy_)
    return;
  replaying_ = true;
  if (tree_->topLevelItemCount() == 0)
    Build();
  QTreeWidgetItem* item = Find(folder, root);
  Select(item ? item : tree_->topLevelItem(0), false);
  replaying_ = false;
}

void CFolderTreeView::Select(QTreeWidgetItem* item, bool record) {
  const bool replaying = replaying_;
  replaying_ = !record;
  {
    const QSignalBlocker block(tree_);
    tree_->setCurrentItem(item);
  }
  TreeSelectionChanged();
  replaying_ = replaying;
}

void CFolderTreeView::TreeSelectionChanged() {
  QTreeWidgetItem* item = tree_->currentItem();
  // One-pane: the folder holding the item (a root: its own); two-pane: the folder itself.
  const QTreeWidgetItem* place = item && item->parent() && !list_ ? item->parent() : item;
  const bool placed = place && Reach(place, navigator_);
  shown_ = placed ? navigator_.Folder() : std::string();
  buttons_.up->setEnabled(item && item->parent());
  if (list_) {
    if (placed && !replaying_ && isVisible()) {
      history_.Record(navigator_.Folder(), navigator_.CurrentRoot());
      buttons_.back->setEnabled(history_.CanGoBack());
      buttons_.forward->setEnabled(history_.CanGoForward());
    }
    ListFiles();
    return;
  }
  if (!placed) {
    caption_->setText(QStringLiteral("Details Not Available"));
    for (QAbstractButton* button :
         {buttons_.up, buttons_.rename, buttons_.cut, buttons_.print, buttons_.del, buttons_.copy})
      button->setEnabled(false);
    return;
  }
  const ItemRecord& record = Record(item);
  QString caption = QStringLiteral("Current Root: ") +
                    Text(navigator_.Roots()[std::size_t(navigator_.CurrentRoot())].RootDisplayName);
  if (record.folder) {
    FolderNavigator shown = navigator_;
    if (item->parent())
      shown.Enter(record.name);
    shown_ = shown.Folder();
    caption += kCaptionGap + QStringLiteral("Current Folder: ") + ScreenName(shown_);
    for (QAbstractButton* button : {buttons_.rename, buttons_.cut, buttons_.del, buttons_.copy})
      button->setEnabled(item->parent());
    buttons_.print->setEnabled(false);
  } else {
    caption += kCaptionGap + SelectionCaption({&record}, {});
    EnableItemButtons(buttons_, {&record});
  }
  caption_->setText(caption);
}

void CFolderTreeView::ListFiles() {
  std::vector<ItemRecord> files;
  if (navigator_.HasFolder()) {
    for (ItemRecord& item : ListFolder(navigator_)) {
      if (!item.folder)
        files.push_back(std::move(item));
    }
  }
  // The same folder again keeps the selected files that are still there.
  if (navigator_.Folder() == listed_)
    model_.Merge(std::move(files));
  else
    model_.SetItems(std::move(files));
  listed_ = navigator_.Folder();
  ListSelectionChanged();
}

void CFolderTreeView::ListSelectionChanged() {
  std::vector<const ItemRecord*> selected;
  for (const QModelIndex& row : list_->selectionModel()->selectedRows())
    selected.push_back(&model_.Item(row.row()));
  caption_->setText(SelectionCaption(selected, QStringLiteral("Current Folder: ") +
                                                   ScreenName(navigator_.Folder())));
  // No file chosen: the buttons act on the tree's folder.
  const QTreeWidgetItem* item = tree_->currentItem();
  if (selected.empty() && item && item->parent())
    selected.push_back(&Record(item));
  EnableItemButtons(buttons_, selected);
}

void CFolderTreeView::GoUp() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (!busy_ && item && item->parent())
    Select(item->parent(), true);
}

void CFolderTreeView::OpenItem(const QTreeWidgetItem* item) {
  if (!item)
    return;
  if (Record(item).folder) {
    auto* folder = const_cast<QTreeWidgetItem*>(item);
    folder->setExpanded(!folder->isExpanded());
    return;
  }
  FolderNavigator navigator = navigator_;
  if (Reach(item->parent(), navigator))
    OpenFile(this, navigator, Record(item).name);
}

void CFolderTreeView::OpenSelected(bool onlyOne) {
  const std::vector<ItemRecord> selected = Selected();
  if (!list_ || selected.empty()) {
    OpenItem(tree_->currentItem());
    return;
  }
  if (!onlyOne || selected.size() == 1)
    OpenFile(this, navigator_, selected.front().name);
}

void CFolderTreeView::SetNormalIcons(bool normal) {
  const int size = normal ? kNormalIcon : kSmallIcon;
  tree_->setIconSize(QSize(size, size));
  if (list_) {
    list_->setIconSize(QSize(size, size));
    list_->setGridSize(normal ? QSize(112, 90) : QSize(112, 56));
  }
}

void CFolderTreeView::FolderChanged(const QByteArray& /*folder*/) {
  if (!isVisible() || busy_ || tree_->topLevelItemCount() == 0)
    return;
  // The expanded items in tree order, so that each one's parent opens before it.
  std::vector<Way> expanded;
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->isExpanded())
      expanded.push_back(WayOf(*it));
  }
  const std::optional<Way> selected =
      tree_->currentItem() ? std::optional<Way>(WayOf(tree_->currentItem())) : std::nullopt;
  replaying_ = true;
  Build();
  for (const Way& way : expanded)
    Follow(way, true);
  QTreeWidgetItem* item = selected ? Follow(*selected, false) : nullptr;
  Select(item ? item : tree_->topLevelItem(0), false);
  replaying_ = false;
}

} // namespace dh::files
