#include "files/filesform.h"

#include "common/platformmode.h"
#include "common/settings.h"
#include "common/ui/pagehelp.h"
#include "common/ui/winxpbuttonst.h"
#include "files/folderwatch.h"
#include "files/model/foldernavigator.h"
#include "files/popupmenu.h"
#include "files/views/folderlistview.h"
#include "files/views/foldertreeview.h"
#include "files/views/itemdrag.h"
#include "platform/confine/confinedroot.h"
#include "platform/ui/controlid.h"
#include "platform/ui/messageservice.h"
#include "platform/ui/waitcursor.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>

#include <cstdlib>

#include <unistd.h>

namespace dh::files {

namespace {

namespace place {
constexpr QRect kToolBarFrame(3, 0, 0, 41); // as wide as the form allows
constexpr QRect kBack(14, 10, 27, 26);
constexpr int kSeparatorTop = 9;
constexpr int kSeparatorHeight = 28;
constexpr int kViewTop = 42;
// Room the form leaves free at its right and bottom edges.
constexpr int kRightMargin = 12;
constexpr int kBottomMargin = 65;
} // namespace place

struct ButtonLook {
  const char* icon;
  const char* tip;
};
// In tool-bar order.
constexpr std::array<ButtonLook, kToolBarButtons> kLooks = {{
    {"go-previous", "Display the previously viewed folder"},
    {"go-next", "Display the next viewed folder"},
    {"go-up", "Go up one level"},
    {"folder-new", "Create a new folder"},
    {"insert-text", "Rename selected file"},
    {"edit-cut", "Cut selected items"},
    {"edit-copy", "Copy the selected items"},
    {"edit-paste", "Paste the contents of the clipboard in current folder"},
    {"edit-delete", "Delete currently selected items"},
    {"edit-undo", "Undo a previous action"},
    {"document-print", "Print the selected file"},
    {"format-justify-fill", "Change the view style"},
    {"zoom-in", "Toggle between normal and small icons"},
    {"help-browser", "Launch Deskhaven Help"},
}};

struct MenuItem {
  FilesForm::ViewCommand command;
  const char* text;
};
constexpr std::array<MenuItem, 4> kViewMenu = {{
    {FilesForm::kOnePaneTree, "One Pane Tree"},
    {FilesForm::kTwoPaneTree, "Two Pane Tree"},
    {FilesForm::kIconView, "Icon View"},
    {FilesForm::kDetailsView, "Details View"},
}};

// The tool bar's pictures come from the desktop's icon theme. A pupil's session may name
// none (or only the bare hicolor theme), and a headless run (an administrator's preview)
// does not even know where themes live: the freedesktop places and default stand in.
void UseDesktopIcons() {
  const QString theme = QIcon::themeName();
  if (!theme.isEmpty() && theme != QLatin1String("hicolor"))
    return;
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& dir :
       QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                 QStandardPaths::LocateDirectory))
    if (!paths.contains(dir))
      paths.append(dir);
  QIcon::setThemeSearchPaths(paths);
  if (theme.isEmpty())
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  else
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QAbstractButton* Button(const QWidget* form, int id) {
  return dh::ui::findById<QAbstractButton>(form, id);
}

} // namespace

FilesForm::FilesForm(QWidget* parent)
    : QWidget(parent), mode_(dh::QueryPlatformMode(dh::kControlDefaultMode)),
      commands_(this, mode_),
      watch_(new FolderWatch(
          [this] { return isVisible() && active_ ? active_->ShownFolder() : std::string(); },
          this)) {
  setObjectName(QStringLiteral("FilesForm"));
  setStyleSheet(QStringLiteral("#id201 { background: palette(base); border: 1px solid "
                               "palette(mid); border-radius: 6px; }"));
  UseDesktopIcons();
  scheme_.SelectScheme(mode_);
  LoadScheme();
  helper_.SetSchemeName(scheme_.SchemeName);

  toolBarFrame_ = new QFrame(this);
  dh::ui::setControlId(toolBarFrame_, kToolBarFrame);
  toolBarFrame_->setFrameShape(QFrame::StyledPanel);
  viewArea_ = new QFrame(this);
  dh::ui::setControlId(viewArea_, kViewArea);
  indicator_ = new QLabel(this);
  dh::ui::setControlId(indicator_, kIndicator);
  MakeToolBar();
  for (int id : {kUndo, kForward, kBack, kPaste})
    Button(this, id)->setEnabled(false);

  indicator_->setPixmap(dh::MaskedPicture(QString::fromStdString(dh::GetUserTypePicturePath())));
  indicator_->setVisible(!indicator_->pixmap().isNull());

  MakeViews();
  PlaceFrames();
  ShowDefaultView();
  connect(watch_, &FolderWatch::changed, this, [this](const QByteArray& folder) {
    if (isVisible() && active_)
      active_->FolderChanged(folder);
  });
  watch_->watch(roots_->Roots());
  LayOutToolBar();
  if (!roots_->Roots().empty())
    history_.Start(roots_->Roots().front().RootPath, 0);
}

FilesForm::~FilesForm() = default;

void FilesForm::LoadScheme() {
  roots_ = OpenRoots::of(scheme_.FolderDisplay.Roots);
}

void FilesForm::MakeToolBar() {
  for (int button = 0; button < kToolBarButtons; ++button) {
    auto* item = new CWinXPButtonST(this);
    dh::ui::setControlId(item, kButtonIds[button]);
    item->AssignIcons(QIcon::fromTheme(QLatin1String(kLooks[button].icon)));
    item->SetRoundedFrame(true);
    dh::SetPanelButtonColours(*item);
    item->SetHoverTip(QString::fromLatin1(kLooks[button].tip));
    item->setGeometry(place::kBack.translated(36 * button, 0));
    connect(item, &CButtonST::hoverTimeout, this, &FilesForm::OnHover);
  }
  for (int id : kSeparatorIds) {
    auto* separator = new QFrame(this);
    dh::ui::setControlId(separator, id);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
  }
  connect(Button(this, kBack), &QAbstractButton::clicked, this, &FilesForm::OnBack);
  connect(Button(this, kForward), &QAbstractButton::clicked, this, &FilesForm::OnForward);
  connect(Button(this, kUp), &QAbstractButton::clicked, this, [this] { ActiveView()->GoUp(); });
  connect(Button(this, kIconSize), &QAbstractButton::clicked, this, &FilesForm::OnIconSize);
  connect(Button(this, kPaste), &QAbstractButton::clicked, this, [this] {
    RunFileCommand(
        [this](FolderView& view) { commands_.Paste(view.Navigator(), view.Selected()); });
  });
  connect(Button(this, kNewFolder), &QAbstractButton::clicked, this, [this] {
    RunFileCommand([this](FolderView& view) {
      commands_.NewFolder(view.Navigator(), view.Selected(), view.StrictFolderLevels());
    });
  });
  // The others act on what the view has chosen, where it lies.
  const auto command = [this](int id, void (FileCommands::*run)(const FolderNavigator&,
                                                                const std::vector<ItemRecord>&)) {
    connect(Button(this, id), &QAbstractButton::clicked, this, [this, run] {
      RunFileCommand([this, run](FolderView& view) {
        const FolderView::Choice choice = view.Chosen();
        (commands_.*run)(choice.place, choice.items);
      });
    });
  };
  command(kRename, &FileCommands::Rename);
  command(kDelete, &FileCommands::Delete);
  const auto selection = [this](int id, void (FileCommands::*run)(const std::vector<ItemRecord>&)) {
    connect(Button(this, id), &QAbstractButton::clicked, this, [this, run] {
      RunFileCommand([this, run](FolderView& view) { (commands_.*run)(view.Chosen().items); });
    });
  };
  selection(kCopy, &FileCommands::Copy);
  selection(kCut, &FileCommands::Cut);
  connect(Button(this, kUndo), &QAbstractButton::clicked, this, [this] {
    RunFileCommand([this](FolderView& view) { commands_.Undo(view.Navigator()); });
  });
  connect(Button(this, kPrint), &QAbstractButton::clicked, this, &FilesForm::Print);
  connect(Button(this, kHelp), &QAbstractButton::clicked, this,
          [this] { dh::ShowPageHelp(this, kHelpContext); });

  auto* menu = new QMenu(this);
  viewMenu_ = new QActionGroup(menu);
  for (const MenuItem& item : kViewMenu) {
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    dh::ui::setControlId(action, item.command);
    action->setCheckable(true);
    viewMenu_->addAction(action);
    connect(action, &QAction::triggered, this, [this, item] { ChooseView(item.command); });
  }
  dh::ui::findById<CButtonST>(this, kView)->AttachMenu(menu);
}

void FilesForm::MakeViews() {
  ToolButtons buttons{Button(this, kBack),   Button(this, kForward), Button(this, kUp),
                      Button(this, kCut),    Button(this, kCopy),    Button(this, kDelete),
                      Button(this, kRename), Button(this, kPrint)};
  try {
    icons_ = new CFolderListView(CFolderListView::Style::Icons, history_, visited_, buttons,
                                 helper_, viewArea_);
    details_ = new CFolderListView(CFolderListView::Style::Details, history_, visited_, buttons,
                                   helper_, viewArea_);
    onePane_ = new CFolderTreeView(CFolderTreeView::Style::OnePane, history_, visited_, buttons,
                                   viewArea_);
    twoPane_ = new CFolderTreeView(CFolderTreeView::Style::TwoPane, history_, visited_, buttons,
                                   viewArea_);
  } catch (...) {
    FatalError();
  }
  for (FolderView* view : Views()) {
    connect(view, &FolderView::dropWanted, this,
            [this](const QMimeData& data, const std::string& folder, bool move) {
              DropItem(data, folder, move);
            });
    connect(view, &FolderView::contextMenuWanted, this,
            [this, view](MenuTarget target, QPoint global) {
              RunContextMenu(ListMenu(target, Availability(view->Selected())), global,
                             [view] { view->OpenSelected(false); });
            });
    view->SetNormalIcons(scheme_.Defaults.DefaultIconSize != 0);
    view->LoadScheme(scheme_, roots_);
    view->hide();
  }
  normalIcons_ = scheme_.Defaults.DefaultIconSize != 0;
}

void FilesForm::FatalError() {
  dh::ui::showMessage(this,
                      QStringLiteral("There's been a problem loading the file space module.\n\n"
                                     "Deskhaven Must now Exit"),
                      QStringLiteral("Fatal Error"), dh::ui::Icon::Error);
  // A failure, so the session's scripts can tell it from a normal end.
  std::exit(1);
}

FolderView* FilesForm::ActiveView() const {
  return active_;
}

std::array<FolderView*, 4> FilesForm::Views() const {
  return {onePane_, twoPane_, icons_, details_};
}

FolderView* FilesForm::View(ViewCommand view) const {
  switch (view) {
  case kOnePaneTree:
    return onePane_;
  case kTwoPaneTree:
    return twoPane_;
  case kIconView:
    return icons_;
  case kDetailsView:
    break;
  }
  return details_;
}

void FilesForm::ShowView(FolderView* view) {
  for (FolderView* other : Views()) {
    other->setVisible(other == view);
    other->setEnabled(other == view);
  }
  active_ = view;
  for (QAction* action : viewMenu_->actions()) {
    for (const MenuItem& item : kViewMenu) {
      if (action->objectName() == dh::ui::idName(item.command))
        action->setChecked(View(item.command) == view);
    }
  }
  // The one-pane tree has no list whose icons could change.
  Button(this, kIconSize)->setEnabled(view != onePane_);
}

void FilesForm::ShowDefaultView() {
  const QString word = QString::fromStdString(scheme_.Defaults.DefaultView);
  const std::array<std::pair<const char*, FolderView*>, 3> words = {
      {{"icons", icons_}, {"tree1", onePane_}, {"details", details_}}};
  FolderView* view = twoPane_; // any other word, or none
  for (const auto& [name, choice] : words) {
    if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
      view = choice;
  }
  ShowView(view);
  view->ShowDefault();
}

void FilesForm::ChooseView(int command) {
  FolderView* view = View(ViewCommand(command));
  if (view == active_) {
    ShowView(view); // the menu's check mark stays on the view shown
    return;
  }
  dh::ui::WaitCursor wait;
  const std::string folder = active_->ShownFolder();
  const int root = active_->Navigator().CurrentRoot();
  ShowView(view);
  view->Replay(folder, root);
}

void FilesForm::LayOutToolBar() {
  const ToolBarPlaces places =
      dh::files::LayOutToolBar(ToolBarFlags(scheme_.ToolBars[1]), place::kBack,
                               place::kSeparatorTop, place::kSeparatorHeight);
  for (int button = 0; button < kToolBarButtons; ++button) {
    QWidget* item = dh::ui::findById<QWidget>(this, kButtonIds[button]);
    if (places.buttons[button])
      item->setGeometry(*places.buttons[button]);
    item->setVisible(places.buttons[button].has_value());
  }
  for (int separator = 0; separator < kToolBarSeparators; ++separator) {
    QWidget* item = dh::ui::findById<QWidget>(this, kSeparatorIds[separator]);
    if (places.separators[separator])
      item->setGeometry(*places.separators[separator]);
    item->setVisible(places.separators[separator].has_value());
  }
  PlaceIndicator();
}

void FilesForm::PlaceFrames() {
  const int width = std::max(this->width() - place::kRightMargin, 0);
  QRect toolBar = place::kToolBarFrame;
  toolBar.setWidth(width);
  toolBarFrame_->setGeometry(toolBar);
  const QRect area(place::kToolBarFrame.left(), place::kViewTop, width,
                   std::max(height() - place::kBottomMargin, 0));
  viewArea_->setGeometry(area);
  for (FolderView* view : Views()) {
    if (view)
      view->setGeometry(viewArea_->rect());
  }
  PlaceIndicator();
}

void FilesForm::PlaceIndicator() {
  if (indicator_->pixmap().isNull())
    return;
  const QRect bar = toolBarFrame_->geometry().adjusted(0, 4, -6, -4);
  const QSize size = indicator_->pixmap().deviceIndependentSize().toSize().boundedTo(bar.size());
  indicator_->setGeometry(bar.right() + 1 - size.width(),
                          bar.top() + (bar.height() - size.height()) / 2, size.width(),
                          size.height());
  indicator_->raise();
}

void FilesForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceFrames();
}

bool FilesForm::Press(int id) {
  const bool toolBar = std::find(kButtonIds.begin(), kButtonIds.end(), id) != kButtonIds.end();
  // Side-panel buttons are those of the view on show.
  auto* button =
      dh::ui::findById<QAbstractButton>(toolBar ? static_cast<QWidget*>(this) : active_, id);
  if (!button || !button->isVisibleTo(this) || !button->isEnabled())
    return false;
  button->click();
  return true;
}

void FilesForm::OnBack() {
  if (const NavigationHistory::Entry* entry = history_.Back()) {
    Button(this, kBack)->setEnabled(history_.CanGoBack());
    Button(this, kForward)->setEnabled(history_.CanGoForward());
    active_->Replay(entry->folder, entry->root);
  }
}

void FilesForm::OnForward() {
  if (const NavigationHistory::Entry* entry = history_.Forward()) {
    Button(this, kBack)->setEnabled(history_.CanGoBack());
    Button(this, kForward)->setEnabled(history_.CanGoForward());
    active_->Replay(entry->folder, entry->root);
  }
}

void FilesForm::OnIconSize() {
  normalIcons_ = !normalIcons_;
  for (FolderView* view : Views())
    view->SetNormalIcons(normalIcons_);
}

void FilesForm::RunFileCommand(const std::function<void(FolderView&)>& command) {
  if (!active_)
    return;
  FolderView& view = *active_;
  view.SetBusy(true);
  command(view);
  view.SetBusy(false);
  Button(this, kPaste)->setEnabled(commands_.CanPaste());
  Button(this, kUndo)->setEnabled(!commands_.UndoStack().empty());
  // The watchers' news came while the view was busy.
  view.FolderChanged({});
}

void FilesForm::OnHover(CButtonST* button) {
  helper_.Say(button->GetHoverTip().toStdString());
}

void FilesForm::FocusView() {
  active_->List()->setFocus(Qt::OtherFocusReason);
}

void FilesForm::OpenSelected() {
  active_->OpenSelected(true);
}

MenuAvailability FilesForm::Availability(const std::vector<ItemRecord>& selected) const {
  const std::array<bool, kToolBarButtons> flags = ToolBarFlags(scheme_.ToolBars[1]);
  const auto flag = [&](int id) {
    return flags[std::size_t(std::find(kButtonIds.begin(), kButtonIds.end(), id) -
                             kButtonIds.begin())];
  };
  const auto can = [&](int id) { return flag(id) && Button(this, id)->isEnabled(); };
  std::vector<const ItemRecord*> items;
  for (const ItemRecord& item : selected)
    items.push_back(&item);
  return {.cut = can(kCut),
          .copy = can(kCopy),
          .paste = can(kPaste),
          .print = flag(kPrint) && MayPrint(items),
          .rename = can(kRename),
          .del = can(kDelete),
          .newFolder = can(kNewFolder)};
}

void FilesForm::RunContextMenu(const std::vector<int>& commands, QPoint global,
                               const std::function<void()>& open) {
  if (commands.empty())
    return;
  PopupMenu menu(this);
  menu.SetPictures(QStringLiteral(":/files/menu-strip.svg"));
  for (int command : commands) {
    if (command == kMenuSeparator)
      menu.AddItem(PopupMenu::kSeparator, {}, 0, -1);
    else
      menu.AddItem(0, QString::fromLatin1(MenuText(command)), command, MenuPicture(command));
  }
  static constexpr std::array<int, 8> kButtonOf = {0,      kCut,    kCopy,   kPaste,
                                                   kPrint, kRename, kDelete, kNewFolder};
  const int chosen = menu.Track(global);
  if (chosen == kMenuOpen)
    open();
  else if (chosen > kMenuOpen && chosen <= kMenuNewFolder)
    Press(kButtonOf[std::size_t(chosen - 1)]);
}

bool FilesForm::DropItem(const QMimeData& data, const std::string& folder, bool move) {
  const std::optional<DraggedItem> item = DraggedItemOf(data);
  std::vector<std::string> names;
  // Never a path that climbs: "<root>/.." names the folder above the root.
  if (!item || !dh::confine::splitRelative(item->path, names) ||
      !dh::confine::splitRelative(folder, names))
    return false;
  const std::string& source = item->path;
  const std::size_t slash = source.rfind('/');
  if (!active_)
    return false;
  FolderNavigator into = active_->Navigator();
  FolderNavigator from = into;
  const QString path = QFile::decodeName(QByteArray::fromStdString(source));
  if (slash == std::string::npos || !into.reach(folder) || !from.reach(source.substr(0, slash)) ||
      QFile::encodeName(path).toStdString() != source)
    return false;
  bool done = false;
  RunFileCommand([&](FolderView&) { done = commands_.Drop(path, into, move); });
  return done;
}

void FilesForm::Print() {
  if (!active_)
    return;
  const int press = ++printPresses_;
  const dh::confine::Descriptor folder = active_->Navigator().OpenFolder();
  if (!folder.valid()) {
    FolderMoved(this);
    return;
  }
  for (const ItemRecord& item : active_->Selected()) {
    // Gone since it was listed, or no longer a plain file (a folder never is): not printed.
    const dh::confine::Descriptor file = dh::confine::openFile(folder, item.name);
    if (!file.valid())
      continue;
    const dh::print::Outcome outcome =
        dh::print::printFile(file, QFile::decodeName(QByteArray::fromStdString(item.name)), this,
                             [this, press](dh::print::Outcome why) { PrintProblem(press, why); });
    if (outcome == dh::print::Outcome::NoPrintSystem) {
      PrintProblem(press, outcome);
      return;
    }
  }
}

void FilesForm::PrintProblem(int press, dh::print::Outcome why) {
  if (printProblemShown_ == press)
    return;
  printProblemShown_ = press;
  const char* cause = "the print system could not take this file.";
  if (why == dh::print::Outcome::NoPrintSystem)
    cause = "this computer has no print system.";
  else if (why == dh::print::Outcome::NoPrinter)
    cause = "no printer is available.";
  else if (why == dh::print::Outcome::NotAnswering)
    cause = "the print service is not answering.";
  dh::ui::showMessage(this,
                      QStringLiteral("The file could not be printed: %1\n\n"
                                     "Please inform your Network Administrator of this problem.")
                          .arg(QLatin1String(cause)),
                      QStringLiteral("Print Problem"), dh::ui::Icon::Warning);
}

void FilesForm::Refresh() {
  dh::ui::WaitCursor wait;
  raise();
  scheme_.SelectScheme(mode_);
  LoadScheme();
  watch_->stop();
  for (FolderView* view : Views()) {
    const std::string folder = view->ShownFolder();
    const int root = view->Navigator().CurrentRoot();
    view->LoadScheme(scheme_, roots_);
    if (view == active_)
      view->Replay(folder, root);
  }
  LayOutToolBar();
  watch_->watch(roots_->Roots());
}

void FilesForm::Reload() {
  watch_->stop();
  commands_.ClearClipboard();
  Button(this, kPaste)->setEnabled(false);
  history_.Clear();
  visited_->ways.clear();
  scheme_.SelectScheme(mode_);
  LoadScheme();
  helper_.SetSchemeName(scheme_.SchemeName);
  for (FolderView* view : Views()) {
    view->LoadScheme(scheme_, roots_);
    view->hide();
  }
  for (int id : {kBack, kForward})
    Button(this, id)->setEnabled(false);
  LayOutToolBar();
  ShowDefaultView();
  if (!roots_->Roots().empty())
    history_.Start(roots_->Roots().front().RootPath, 0);
  watch_->watch(roots_->Roots());
}

} // namespace dh::files
