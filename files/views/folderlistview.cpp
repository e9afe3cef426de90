#include "files/views/folderlistview.h"

#include "common/captionrule.h"
#include "common/settings.h"
#include "common/ui/onscreenhelper.h"
#include "common/ui/winxpbuttonst.h"
#include "files/model/folderlisting.h"
#include "files/model/foldershortcut.h"
#include "files/views/filelauncher.h"
#include "files/views/itemdragger.h"
#include "platform/ui/controlid.h"
#include "platform/ui/waitcursor.h"
#include "platform/watch/treewatcher.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QTreeView>

namespace dh::files {

namespace {

namespace place {
constexpr int kPanelWidth = 132;
constexpr QRect kSlot1(8, 8, 100, 74);
constexpr int kSlotGap = 6;
constexpr QSize kScroll(16, 28);
constexpr int kCaptionHeight = 22;
constexpr int kGap = 4;
} // namespace place

constexpr const char* kDefaultRootPicture = "Closed Folder.bmp";
constexpr int kSlotPitch = place::kSlot1.height() + place::kSlotGap;
constexpr int kNormalIcon = 32;
constexpr int kSmallIcon = 16;
constexpr std::array<int, FolderItemsModel::kColumns> kColumnWidths = {180, 70, 140, 202};

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

CFolderListView::CFolderListView(Style style, NavigationHistory& history,
                                 std::shared_ptr<FolderNavigator::Visited> visited,
                                 ToolButtons buttons, dh::OnScreenHelper& helper, QWidget* parent)
    : FolderView(parent), style_(style), history_(history), buttons_(buttons), helper_(helper),
      navigator_(std::move(visited)) {
  dh::ui::setControlId(this, style == Style::Details ? kDetailsTemplate : kIconsTemplate);
  MakePanel();
  caption_ = new QLabel(this);
  dh::ui::setControlId(caption_, kCaption);
  caption_->setTextFormat(Qt::PlainText);
  MakeList();
  SetNormalIcons(true);
}

CFolderListView::~CFolderListView() = default;

void CFolderListView::MakePanel() {
  sidePanel_ = new QFrame(this);
  dh::ui::setControlId(sidePanel_, kSidePanel);
  sidePanel_->setFrameShape(QFrame::StyledPanel);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot) {
    auto* button = new CWinXPButtonST(this);
    dh::ui::setControlId(button, kSlotIds[slot]);
    button->setCheckable(true);
    button->SetRoundedFrame(true);
    button->SetImageAlignment(CButtonST::ImageAbove);
    dh::SetPanelButtonColours(*button);
    connect(button, &CButtonST::hoverTimeout, this, &CFolderListView::OnHover);
    connect(button, &QAbstractButton::clicked, this, [this, slot] { OpenSlot(slot); });
    slots_[slot] = button;
  }
  const auto scroll = [this](int id, const char* icon, const char* tip) {
    auto* button = new CButtonST(this);
    dh::ui::setControlId(button, id);
    button->AssignIcons(QIcon::fromTheme(QLatin1String(icon)));
    button->SetBorderOnHover(false);
    dh::SetPanelButtonColours(*button);
    button->SetHoverTip(QLatin1String(tip));
    button->resize(place::kScroll);
    connect(button, &CButtonST::hoverTimeout, this, &CFolderListView::OnHover);
    return button;
  };
  scrollUp_ = scroll(kScrollUp, "go-up-symbolic", "Press to scroll up through Roots");
  scrollDown_ = scroll(kScrollDown, "go-down-symbolic", "Press to scroll down through Roots");
  connect(scrollUp_, &QAbstractButton::clicked, this, &CFolderListView::ScrollUp);
  connect(scrollDown_, &QAbstractButton::clicked, this, &CFolderListView::ScrollDown);
}

void CFolderListView::MakeList() {
  if (style_ == Style::Details) {
    auto* tree = new QTreeView(this);
    dh::ui::setControlId(tree, kDetailsList);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setModel(&model_);
    tree->header()->setSectionsClickable(true);
    tree->header()->setSortIndicatorShown(true);
    tree->header()->setStretchLastSection(false);
    for (int column = 0; column < FolderItemsModel::kColumns; ++column)
      tree->setColumnWidth(column, kColumnWidths[column]);
    connect(tree->header(), &QHeaderView::sectionClicked, this, &CFolderListView::SortByColumn);
    list_ = tree;
  } else {
    auto* icons = new QListView(this);
    dh::ui::setControlId(icons, kIconList);
    icons->setViewMode(QListView::IconMode);
    icons->setResizeMode(QListView::Adjust);
    icons->setMovement(QListView::Static);
    icons->setWrapping(true);
    icons->setWordWrap(true);
    icons->setModel(&model_);
    list_ = icons;
  }
  list_->setAccessibleName(QStringLiteral("Files and folders"));
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->installEventFilter(this);
  new ItemDragger(list_, *this,
                  {.menu = [this](std::optional<QPoint> local) { OfferMenu(local); },
                   .dropFolder = [this](QPoint local) { return DropFolder(local); },
                   .highlight =
                       [this](const QModelIndex& index) {
                         model_.SetDropTarget(index.isValid() ? index.row() : -1);
                       }});
  connect(list_, &QAbstractItemView::doubleClicked, this, [this] { OpenSelected(false); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CFolderListView::SelectionChanged);
}

bool CFolderListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenSelected(true);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

std::optional<std::string> CFolderListView::DropFolder(QPoint local) const {
  const QModelIndex index = list_->indexAt(local);
  if (!index.isValid() || !model_.Item(index.row()).folder)
    return std::nullopt;
  FolderNavigator into = navigator_;
  if (!into.Enter(model_.Item(index.row()).name))
    return std::nullopt; // below the folder limit
  return into.Folder();
}

void CFolderListView::OfferMenu(std::optional<QPoint> local) {
  if (navigator_.Roots().empty() || !scheme_.Defaults.ContextMenu)
    return; // the click has put its item in the caption line, and that is all
  const QModelIndex index = MenuIndex(*list_, local);
  MenuTarget target = MenuTarget::Nothing;
  if (index.isValid() && !Selected().empty())
    target = model_.Item(index.row()).folder ? MenuTarget::Folder : MenuTarget::File;
  emit contextMenuWanted(target, list_->viewport()->mapToGlobal(*local));
}

QString CFolderListView::Caption() const {
  return caption_->text();
}

std::vector<ItemRecord> CFolderListView::Selected() const {
  QModelIndexList rows = list_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  std::vector<ItemRecord> items;
  for (const QModelIndex& row : rows)
    items.push_back(model_.Item(row.row()));
  return items;
}

void CFolderListView::LoadScheme(const dh::DhvScheme& scheme,
                                 std::shared_ptr<const OpenRoots> roots) {
  scheme_ = scheme;
  navigator_.SetRoots(std::move(roots));
  targetWatchers_.clear();
  panel_.ForgetOpened();
  model_.SetItems({});
  LayOutPanel();
  caption_->clear();
}

void CFolderListView::ShowDefault() {
  scrollUp_->SetHoverTip(QStringLiteral("Press to scroll up through the roots"));
  scrollDown_->SetHoverTip(QStringLiteral("Press to scroll down through the roots"));
  LayOutPanel();
  // The first root, whether or not the panel has room for its slot yet.
  if (!busy_ && navigator_.OpenRoot(0))
    panel_.MarkOpened(0);
  ShowChecks();
  Shown(true);
}

void CFolderListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void CFolderListView::showEvent(QShowEvent* event) {
  LayOut();
  FolderView::showEvent(event);
}

void CFolderListView::LayOut() {
  sidePanel_->setGeometry(0, 0, place::kPanelWidth, height());
  const int left = place::kPanelWidth + place::kGap;
  caption_->setGeometry(left, 0, width() - left, place::kCaptionHeight);
  list_->setGeometry(left, place::kCaptionHeight + place::kGap, width() - left,
                     height() - place::kCaptionHeight - place::kGap);
  // The panel stays scrolled where the pupil left it.
  panel_.Fit(sidePanel_->height() - place::kSlot1.top(), kSlotPitch);
  PlaceSlots();
}

void CFolderListView::LayOutPanel() {
  const std::optional<int> opened =
      navigator_.HasFolder() ? std::optional<int>(navigator_.CurrentRoot()) : std::nullopt;
  panel_.Layout(int(navigator_.Roots().size()), sidePanel_->height() - place::kSlot1.top(),
                kSlotPitch);
  if (opened)
    panel_.MarkOpened(*opened);
  PlaceSlots();
}

void CFolderListView::PlaceSlots() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setGeometry(place::kSlot1.translated(0, slot * kSlotPitch));
  const int right = place::kSlot1.right() + 4;
  scrollUp_->move(right, place::kSlot1.top());
  const int last = std::max(panel_.Visible(), 1) - 1;
  scrollDown_->move(right, slots_[last]->geometry().bottom() + 1 - place::kScroll.height());
  FillSlots();
}

void CFolderListView::FillSlots() {
  const QString defaultPicture =
      QString::fromStdString(dh::JoinPath(dh::GetDefaultPicturesFolder(), kDefaultRootPicture));
  for (int slot = 0; slot < panel_.Visible(); ++slot) {
    const dh::RootFolder& root = navigator_.Roots()[std::size_t(panel_.LinkOfSlot(slot))];
    CWinXPButtonST* button = slots_[slot];
    dh::AssignPictureOr(*button, Text(root.CollapsedIconFile), defaultPicture);
    button->setText(dh::SlotCaption(Text(root.RootDisplayName)));
    QString tip = Text(scheme_.Defaults.ShortToolTips ? root.ShortToolTip : root.LongToolTip);
    button->SetHoverTip(tip.replace(QLatin1Char('&'), QLatin1Char('+')));
  }
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setVisible(panel_.SlotInUse(slot));
  scrollUp_->setVisible(panel_.ScrollUpInUse());
  scrollDown_->setVisible(panel_.ScrollDownInUse());
  ShowChecks();
}

void CFolderListView::ShowChecks() {
  const std::optional<int> checked = panel_.CheckedSlot();
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->SetCheckState(checked == slot);
}

bool CFolderListView::OpenSlot(int slot) {
  if (slot < 0 || slot >= dh::SlotPanel::kSlots || !panel_.SlotInUse(slot))
    return false;
  ShowChecks();
  if (busy_)
    return true;
  const int root = panel_.Open(slot);
  ShowChecks();
  navigator_.OpenRoot(root);
  Shown(true);
  return true;
}

void CFolderListView::Replay(const std::string& folder, int root) {
  if (busy_)
    return;
  if (!navigator_.GoTo(folder, root))
    navigator_.OpenRoot(0);
  if (navigator_.HasFolder())
    panel_.MarkOpened(navigator_.CurrentRoot());
  ShowChecks();
  Shown(false);
}

void CFolderListView::GoUp() {
  if (!busy_ && navigator_.GoUp())
    Shown(true);
}

void CFolderListView::OpenSelected(bool onlyOne) {
  const std::vector<ItemRecord> selected = Selected();
  if (selected.empty() || (onlyOne && selected.size() != 1))
    return;
  const ItemRecord& item = selected.front();
  if (item.folder) {
    if (!busy_ && navigator_.Enter(item.name))
      Shown(true);
    return;
  }
  OpenFile(this, navigator_, item.name);
}

void CFolderListView::Shown(bool record) {
  Relist();
  if (!navigator_.HasFolder())
    return;
  if (record && isVisible()) {
    history_.Record(navigator_.Folder(), navigator_.CurrentRoot());
    buttons_.back->setEnabled(history_.CanGoBack());
    buttons_.forward->setEnabled(history_.CanGoForward());
  }
  buttons_.up->setEnabled(navigator_.CanGoUp());
  WatchTarget();
}

void CFolderListView::Relist() {
  dh::ui::WaitCursor wait;
  model_.SetItems(ListFolder(navigator_));
  // A fresh listing runs A to Z by name, so the next press on the names sorts Z to A.
  ascending_[0] = true;
  if (style_ == Style::Details)
    static_cast<QTreeView*>(list_)->header()->setSortIndicator(0, Qt::AscendingOrder);
  SelectionChanged();
}

void CFolderListView::SelectionChanged() {
  std::vector<const ItemRecord*> selected;
  for (const QModelIndex& row : list_->selectionModel()->selectedRows())
    selected.push_back(&model_.Item(row.row()));
  if (navigator_.Roots().empty())
    return;
  caption_->setText(SelectionCaption(selected, ScreenName(navigator_.CaptionLine())));
  EnableItemButtons(buttons_, selected);
}

void CFolderListView::WatchTarget() {
  if (!navigator_.InShortcut() || targetWatchers_.count(navigator_.Base()))
    return;
  auto watcher =
      std::make_unique<dh::watch::TreeWatcher>(QByteArray::fromStdString(navigator_.Base()));
  connect(watcher.get(), &dh::watch::TreeWatcher::changed, this, &CFolderListView::FolderChanged);
  if (watcher->start())
    targetWatchers_.emplace(navigator_.Base(), std::move(watcher));
}

void CFolderListView::FolderChanged(const QByteArray& folder) {
  if (!isVisible() || busy_ || !navigator_.HasFolder())
    return;
  const std::string here = Canonical(navigator_.Folder());
  if (!folder.isEmpty() && !here.empty() && folder.toStdString() != here)
    return;
  // The folder itself may have vanished or moved.
  if (!navigator_.GoTo(navigator_.Folder(), navigator_.CurrentRoot())) {
    Replay(navigator_.Roots().empty() ? "" : navigator_.Roots()[0].RootPath, 0);
    return;
  }
  model_.Merge(ListFolder(navigator_));
  SelectionChanged();
}

void CFolderListView::SetNormalIcons(bool normal) {
  normalIcons_ = normal;
  const int size = normal ? kNormalIcon : kSmallIcon;
  list_->setIconSize(QSize(size, size));
  if (auto* icons = qobject_cast<QListView*>(list_))
    icons->setGridSize(normal ? QSize(112, 90) : QSize(112, 56));
}

void CFolderListView::SortByColumn(int column) {
  if (style_ != Style::Details || column < 0 || column >= FolderItemsModel::kColumns)
    return;
  ascending_[column] = !ascending_[column];
  model_.Sort(SortKey(column), ascending_[column]);
  static_cast<QTreeView*>(list_)->header()->setSortIndicator(
      column, ascending_[column] ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool CFolderListView::ScrollUp() {
  if (!panel_.ScrollUp())
    return false;
  FillSlots();
  return true;
}

bool CFolderListView::ScrollDown() {
  if (!panel_.ScrollDown())
    return false;
  FillSlots();
  return true;
}

void CFolderListView::OnHover(CButtonST* button) {
  QString text = button->GetHoverTip();
  const auto slot = std::find(slots_.begin(), slots_.end(), button);
  if (slot != slots_.end()) {
    const dh::RootFolder& root =
        navigator_.Roots()[std::size_t(panel_.LinkOfSlot(int(slot - slots_.begin())))];
    text = Text(scheme_.ReadShortToolTips() ? root.ShortToolTip : root.LongToolTip);
  }
  helper_.Say(text.toStdString());
}

} // namespace dh::files
