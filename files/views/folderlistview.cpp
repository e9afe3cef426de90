#include "files/views/folderlistview.h"

#include "common/captionrule.h"
#include "common/settings.h"
#include "common/ui/onscreenhelper.h"
#include "common/ui/pageform.h"
#include "common/ui/winxpbuttonst.h"
#include "files/model/folderlisting.h"
#include "files/model/foldershortcut.h"
#include "files/views/filelauncher.h"
#include "files/views/itemdragger.h"
#include "platform/ui/controlid.h"
#include "platform/ui/keyboardpart.h"
#include "platform/ui/waitcursor.h"

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

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

CFolderListView::CFolderListView(Style style, NavigationHistory& history,
                                 std::shared_ptr<FolderNavigator::Visited> visited,
                                 ToolButtons buttons, dh::OnScreenHelper& helper, QWidget* parent)
    : FolderView(parent), style_(style), history_(history), buttons_(buttons), helper_(helper),
      navigator_(std::move(visited)) {
  dh::ui::setControlId(this, style == Style::Details ? kDetailsTemplate : kIconsTemplate);
  makePanel();
  caption_ = new QLabel(this);
  dh::ui::setControlId(caption_, kCaption);
  caption_->setTextFormat(Qt::PlainText);
  makeList();
  setNormalIcons(true);
}

CFolderListView::~CFolderListView() = default;

void CFolderListView::makePanel() {
  sidePanel_ = new QFrame(this);
  dh::ui::setControlId(sidePanel_, kSidePanel);
  sidePanel_->setFrameShape(QFrame::StyledPanel);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot) {
    auto* button = dh::makeSlotButton(this, kSlotIds[slot]);
    connect(button, &CButtonST::hoverTimeout, this, &CFolderListView::onHover);
    connect(button, &QAbstractButton::clicked, this, [this, slot] { openSlot(slot); });
    slots_[slot] = button;
  }
  const auto scroll = [this](int id, const char* icon, const char* tip) {
    auto* button = new CButtonST(this);
    dh::ui::setControlId(button, id);
    dh::ui::setKeyboardPart(button, dh::ui::KeyboardPart::SidePanel);
    button->AssignIcons(QIcon::fromTheme(QLatin1String(icon)));
    button->SetBorderOnHover(false);
    dh::setPanelButtonColours(*button);
    button->SetHoverTip(QLatin1String(tip));
    button->resize(place::kScroll);
    connect(button, &CButtonST::hoverTimeout, this, &CFolderListView::onHover);
    return button;
  };
  scrollUp_ = scroll(kScrollUp, "go-up-symbolic", "Press to scroll up through Roots");
  scrollDown_ = scroll(kScrollDown, "go-down-symbolic", "Press to scroll down through Roots");
  connect(scrollUp_, &QAbstractButton::clicked, this, &CFolderListView::scrollUp);
  connect(scrollDown_, &QAbstractButton::clicked, this, &CFolderListView::scrollDown);
}

void CFolderListView::makeList() {
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
    connect(tree->header(), &QHeaderView::sectionClicked, this, &CFolderListView::sortByColumn);
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
                  {.menu = [this](std::optional<QPoint> local) { offerMenu(local); },
                   .dropFolder = [this](QPoint local) { return dropFolder(local); },
                   .highlight =
                       [this](const QModelIndex& index) {
                         model_.setDropTarget(index.isValid() ? index.row() : -1);
                       }});
  connect(list_, &QAbstractItemView::doubleClicked, this, [this] { openSelected(false); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CFolderListView::selectionChanged);
}

bool CFolderListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      openSelected(true);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

std::optional<std::string> CFolderListView::dropFolder(QPoint local) const {
  const QModelIndex index = list_->indexAt(local);
  if (!index.isValid() || !model_.item(index.row()).folder)
    return std::nullopt;
  FolderNavigator into = navigator_;
  if (!into.enter(model_.item(index.row()).name))
    return std::nullopt; // below the folder limit
  return into.folder();
}

void CFolderListView::offerMenu(std::optional<QPoint> local) {
  if (navigator_.roots().empty() || !scheme_.Defaults.ContextMenu)
    return; // the click has put its item in the caption line, and that is all
  const QModelIndex index = menuIndex(*list_, local);
  MenuTarget target = MenuTarget::Nothing;
  if (index.isValid() && !selectedItems().empty())
    target = model_.item(index.row()).folder ? MenuTarget::Folder : MenuTarget::File;
  emit contextMenuWanted(target, list_->viewport()->mapToGlobal(*local));
}

QString CFolderListView::caption() const {
  return caption_->text();
}

std::vector<ItemRecord> CFolderListView::selectedItems() const {
  QModelIndexList rows = list_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  std::vector<ItemRecord> items;
  for (const QModelIndex& row : rows)
    items.push_back(model_.item(row.row()));
  return items;
}

void CFolderListView::loadScheme(const dh::DhvScheme& scheme,
                                 std::shared_ptr<const OpenRoots> roots) {
  scheme_ = scheme;
  navigator_.setRoots(std::move(roots));
  panel_.forgetOpened();
  model_.setItems({});
  layOutPanel();
  caption_->clear();
}

void CFolderListView::showDefault() {
  scrollUp_->SetHoverTip(QStringLiteral("Press to scroll up through the roots"));
  scrollDown_->SetHoverTip(QStringLiteral("Press to scroll down through the roots"));
  layOutPanel();
  // The first root, whether or not the panel has room for its slot yet.
  if (!busy_ && navigator_.openRoot(0))
    panel_.markOpened(0);
  showChecks();
  shown(true);
}

void CFolderListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void CFolderListView::showEvent(QShowEvent* event) {
  layOut();
  FolderView::showEvent(event);
}

void CFolderListView::layOut() {
  sidePanel_->setGeometry(0, 0, place::kPanelWidth, height());
  const int left = place::kPanelWidth + place::kGap;
  caption_->setGeometry(left, 0, width() - left, place::kCaptionHeight);
  list_->setGeometry(left, place::kCaptionHeight + place::kGap, width() - left,
                     height() - place::kCaptionHeight - place::kGap);
  // The panel stays scrolled where the pupil left it.
  panel_.fit(sidePanel_->height() - place::kSlot1.top(), kSlotPitch);
  placeSlots();
}

void CFolderListView::layOutPanel() {
  const std::optional<int> opened =
      navigator_.hasFolder() ? std::optional<int>(navigator_.currentRoot()) : std::nullopt;
  panel_.layout(int(navigator_.roots().size()), sidePanel_->height() - place::kSlot1.top(),
                kSlotPitch);
  if (opened)
    panel_.markOpened(*opened);
  placeSlots();
}

void CFolderListView::placeSlots() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setGeometry(place::kSlot1.translated(0, slot * kSlotPitch));
  const int right = place::kSlot1.right() + 4;
  scrollUp_->move(right, place::kSlot1.top());
  const int last = std::max(panel_.visible(), 1) - 1;
  scrollDown_->move(right, slots_[last]->geometry().bottom() + 1 - place::kScroll.height());
  fillSlots();
}

void CFolderListView::fillSlots() {
  const QString defaultPicture =
      QString::fromStdString(dh::joinPath(dh::GetDefaultPicturesFolder(), kDefaultRootPicture));
  for (int slot = 0; slot < panel_.visible(); ++slot) {
    const dh::RootFolder& root = navigator_.roots()[std::size_t(panel_.linkOfSlot(slot))];
    CWinXPButtonST* button = slots_[slot];
    dh::assignPictureOr(*button, toQString(root.CollapsedIconFile), defaultPicture);
    button->setText(dh::slotCaption(toQString(root.RootDisplayName)));
    QString tip = toQString(scheme_.Defaults.ShortToolTips ? root.ShortToolTip : root.LongToolTip);
    button->SetHoverTip(tip.replace(QLatin1Char('&'), QLatin1Char('+')));
  }
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setVisible(panel_.slotInUse(slot));
  scrollUp_->setVisible(panel_.scrollUpInUse());
  scrollDown_->setVisible(panel_.scrollDownInUse());
  showChecks();
}

void CFolderListView::showChecks() {
  const std::optional<int> checked = panel_.checkedSlot();
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->SetCheckState(checked == slot);
}

bool CFolderListView::openSlot(int slot) {
  if (slot < 0 || slot >= dh::SlotPanel::kSlots || !panel_.slotInUse(slot))
    return false;
  showChecks();
  if (busy_)
    return true;
  const int root = panel_.open(slot);
  showChecks();
  navigator_.openRoot(root);
  shown(true);
  return true;
}

void CFolderListView::replay(const std::string& folder, int root) {
  if (busy_)
    return;
  if (!navigator_.goTo(folder, root))
    navigator_.openRoot(0);
  if (navigator_.hasFolder())
    panel_.markOpened(navigator_.currentRoot());
  showChecks();
  shown(false);
}

void CFolderListView::goUp() {
  if (!busy_ && navigator_.goUp())
    shown(true);
}

void CFolderListView::openSelected(bool onlyOne) {
  const std::vector<ItemRecord> selected = selectedItems();
  if (selected.empty() || (onlyOne && selected.size() != 1))
    return;
  const ItemRecord& item = selected.front();
  if (item.folder) {
    if (!busy_ && navigator_.enter(item.name))
      shown(true);
    return;
  }
  openFile(this, navigator_, item.name);
}

void CFolderListView::shown(bool record) {
  relist();
  if (!navigator_.hasFolder())
    return;
  if (record && isVisible()) {
    history_.record(navigator_.folder(), navigator_.currentRoot());
    buttons_.back->setEnabled(history_.canGoBack());
    buttons_.forward->setEnabled(history_.canGoForward());
  }
  buttons_.up->setEnabled(navigator_.canGoUp());
  if (navigator_.inShortcut())
    emit targetShown(navigator_.base());
}

void CFolderListView::relist() {
  dh::ui::WaitCursor wait;
  model_.setItems(listFolder(navigator_));
  // A fresh listing runs A to Z by name, so the next press on the names sorts Z to A.
  ascending_[0] = true;
  if (style_ == Style::Details)
    static_cast<QTreeView*>(list_)->header()->setSortIndicator(0, Qt::AscendingOrder);
  selectionChanged();
}

void CFolderListView::selectionChanged() {
  std::vector<const ItemRecord*> selected;
  for (const QModelIndex& row : list_->selectionModel()->selectedRows())
    selected.push_back(&model_.item(row.row()));
  if (navigator_.roots().empty())
    return;
  caption_->setText(selectionCaption(selected, screenName(navigator_.captionLine())));
  enableItemButtons(buttons_, selected);
}

void CFolderListView::folderChanged(const QByteArray& folder) {
  if (!isVisible() || busy_ || !navigator_.hasFolder())
    return;
  const std::string here = canonical(navigator_.folder());
  if (!folder.isEmpty() && !here.empty() && folder.toStdString() != here)
    return;
  // The folder itself may have vanished or moved.
  if (!navigator_.goTo(navigator_.folder(), navigator_.currentRoot())) {
    replay(navigator_.roots().empty() ? "" : navigator_.roots()[0].RootPath, 0);
    return;
  }
  model_.merge(listFolder(navigator_));
  selectionChanged();
}

void CFolderListView::setNormalIcons(bool normal) {
  normalIcons_ = normal;
  const int size = normal ? kNormalIcon : kSmallIcon;
  list_->setIconSize(QSize(size, size));
  if (auto* icons = qobject_cast<QListView*>(list_))
    icons->setGridSize(normal ? QSize(112, 90) : QSize(112, 56));
}

void CFolderListView::sortByColumn(int column) {
  if (style_ != Style::Details || column < 0 || column >= FolderItemsModel::kColumns)
    return;
  ascending_[column] = !ascending_[column];
  model_.sortBy(SortKey(column), ascending_[column]);
  static_cast<QTreeView*>(list_)->header()->setSortIndicator(
      column, ascending_[column] ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool CFolderListView::scrollUp() {
  if (!panel_.scrollUp())
    return false;
  fillSlots();
  return true;
}

bool CFolderListView::scrollDown() {
  if (!panel_.scrollDown())
    return false;
  fillSlots();
  return true;
}

void CFolderListView::onHover(CButtonST* button) {
  QString text = button->getHoverTip();
  const auto slot = std::find(slots_.begin(), slots_.end(), button);
  if (slot != slots_.end()) {
    const dh::RootFolder& root =
        navigator_.roots()[std::size_t(panel_.linkOfSlot(int(slot - slots_.begin())))];
    text = toQString(scheme_.readShortToolTips() ? root.ShortToolTip : root.LongToolTip);
  }
  helper_.Say(text.toStdString());
}

} // namespace dh::files
