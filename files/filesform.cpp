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
  CFilesForm::ViewCommand command;
  const char* text;
};
constexpr std::array<MenuItem, 4> kViewMenu = {{
    {CFilesForm::kOnePaneTree, "One Pane Tree"},
    {CFilesForm::kTwoPaneTree, "Two Pane Tree"},
    {CFilesForm::kIconView, "Icon View"},
    {CFilesForm::kDetailsView, "Details View"},
}};

// The tool bar's pictures come from the desktop's icon theme. A pupil's session may name
// none (or only the bare hicolor theme), and a headless run (an administrator's preview)
// does not even know where themes live: the freedesktop places and default stand in.
void useDesktopIcons() {
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

QAbstractButton* button(const QWidget* form, int id) {
  return dh::ui::findById<QAbstractButton>(form, id);
}

} // namespace

CFilesForm::CFilesForm(QWidget* parent)
    : CPageForm(parent), commands_(this, mode_),
      watch_(new FolderWatch(
          [this] { return isVisible() && active_ ? active_->shownFolder() : std::string(); },
          this)) {
  setObjectName(QStringLiteral("FilesForm"));
  setStyleSheet(QStringLiteral("#id201 { background: palette(base); border: 1px solid "
                               "palette(mid); border-radius: 6px; }"));
  useDesktopIcons();
  loadScheme();

  toolBarFrame_ = makeFrame(kToolBarFrame, QFrame::StyledPanel);
  viewArea_ = makeFrame(kViewArea, QFrame::NoFrame);
  makeIndicator();
  makeToolBar();
  for (int id : {kUndo, kForward, kBack, kPaste})
    button(this, id)->setEnabled(false);

  makeViews();
  placeFrames();
  showDefaultView();
  connect(watch_, &FolderWatch::changed, this, [this](const QByteArray& folder) {
    if (isVisible() && active_)
      active_->folderChanged(folder);
  });
  watch_->watch(roots_->roots());
  layOutToolBar();
  if (!roots_->roots().empty())
    history_.start(roots_->roots().front().RootPath, 0);
}

CFilesForm::~CFilesForm() = default;

void CFilesForm::loadScheme() {
  roots_ = OpenRoots::of(scheme_.FolderDisplay.Roots);
}

void CFilesForm::makeToolBar() {
  for (int button = 0; button < kToolBarButtons; ++button)
    makeToolButton(kButtonIds[button], QIcon::fromTheme(QLatin1String(kLooks[button].icon)),
                   QString::fromLatin1(kLooks[button].tip))
        ->setGeometry(place::kBack.translated(36 * button, 0));
  for (int id : kSeparatorIds)
    makeFrame(id, QFrame::VLine)->setFrameShadow(QFrame::Sunken);
  connect(button(this, kBack), &QAbstractButton::clicked, this, &CFilesForm::onBack);
  connect(button(this, kForward), &QAbstractButton::clicked, this, &CFilesForm::onForward);
  connect(button(this, kUp), &QAbstractButton::clicked, this, [this] { activeView()->goUp(); });
  connect(button(this, kIconSize), &QAbstractButton::clicked, this, &CFilesForm::onIconSize);
  connect(button(this, kPaste), &QAbstractButton::clicked, this, [this] {
    runFileCommand(
        [this](FolderView& view) { commands_.Paste(view.navigator(), view.selectedItems()); });
  });
  connect(button(this, kNewFolder), &QAbstractButton::clicked, this, [this] {
    runFileCommand([this](FolderView& view) {
      commands_.NewFolder(view.navigator(), view.selectedItems(), view.strictFolderLevels());
    });
  });
  // The others act on what the view has chosen, where it lies.
  const auto command = [this](int id, void (FileCommands::*run)(const FolderNavigator&,
                                                                const std::vector<ItemRecord>&)) {
    connect(button(this, id), &QAbstractButton::clicked, this, [this, run] {
      runFileCommand([this, run](FolderView& view) {
        const FolderView::Choice choice = view.chosen();
        (commands_.*run)(choice.place, choice.items);
      });
    });
  };
  command(kRename, &FileCommands::Rename);
  command(kDelete, &FileCommands::Delete);
  const auto selection = [this](int id, void (FileCommands::*run)(const std::vector<ItemRecord>&)) {
    connect(button(this, id), &QAbstractButton::clicked, this, [this, run] {
      runFileCommand([this, run](FolderView& view) { (commands_.*run)(view.chosen().items); });
    });
  };
  selection(kCopy, &FileCommands::Copy);
  selection(kCut, &FileCommands::Cut);
  connect(button(this, kUndo), &QAbstractButton::clicked, this, [this] {
    runFileCommand([this](FolderView& view) { commands_.Undo(view.navigator()); });
  });
  connect(button(this, kPrint), &QAbstractButton::clicked, this, &CFilesForm::Print);
  connect(button(this, kHelp), &QAbstractButton::clicked, this,
          [this] { dh::showPageHelp(this, kHelpContext); });

  auto* menu = new QMenu(this);
  viewMenu_ = new QActionGroup(menu);
  for (const MenuItem& item : kViewMenu) {
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    dh::ui::setControlId(action, item.command);
    action->setCheckable(true);
    viewMenu_->addAction(action);
    connect(action, &QAction::triggered, this, [this, item] { chooseView(item.command); });
  }
  dh::ui::findById<CButtonST>(this, kView)->AttachMenu(menu);
}

void CFilesForm::makeViews() {
  ToolButtons buttons{button(this, kBack),   button(this, kForward), button(this, kUp),
                      button(this, kCut),    button(this, kCopy),    button(this, kDelete),
                      button(this, kRename), button(this, kPrint)};
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
    fatalError();
  }
  for (FolderView* view : views()) {
    connect(view, &FolderView::dropWanted, this,
            [this](const QMimeData& data, const std::string& folder, bool move) {
              dropItem(data, folder, move);
            });
    connect(view, &FolderView::targetShown, watch_, &FolderWatch::watchTree);
    connect(view, &FolderView::contextMenuWanted, this,
            [this, view](MenuTarget target, QPoint global) {
              runContextMenu(listMenu(target, availability(view->selectedItems())), global,
                             [view] { view->openSelected(false); });
            });
    view->setNormalIcons(scheme_.Defaults.DefaultIconSize != 0);
    view->loadScheme(scheme_, roots_);
    view->hide();
  }
  normalIcons_ = scheme_.Defaults.DefaultIconSize != 0;
}

void CFilesForm::fatalError() {
  dh::ui::showMessage(this,
                      QStringLiteral("There's been a problem loading the file space module.\n\n"
                                     "Deskhaven Must now Exit"),
                      QStringLiteral("Fatal Error"), dh::ui::Icon::Error);
  // A failure, so the session's scripts can tell it from a normal end.
  std::exit(1);
}

FolderView* CFilesForm::activeView() const {
  return active_;
}

std::array<FolderView*, 4> CFilesForm::views() const {
  return {onePane_, twoPane_, icons_, details_};
}

FolderView* CFilesForm::viewOf(ViewCommand view) const {
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

void CFilesForm::showView(FolderView* view) {
  for (FolderView* other : views()) {
    other->setVisible(other == view);
    other->setEnabled(other == view);
  }
  active_ = view;
  for (QAction* action : viewMenu_->actions()) {
    for (const MenuItem& item : kViewMenu) {
      if (action->objectName() == dh::ui::idName(item.command))
        action->setChecked(viewOf(item.command) == view);
    }
  }
  // The one-pane tree has no list whose icons could change.
  button(this, kIconSize)->setEnabled(view != onePane_);
}

void CFilesForm::showDefaultView() {
  const QString word = QString::fromStdString(scheme_.Defaults.DefaultView);
  const std::array<std::pair<const char*, FolderView*>, 3> words = {
      {{"icons", icons_}, {"tree1", onePane_}, {"details", details_}}};
  FolderView* view = twoPane_; // any other word, or none
  for (const auto& [name, choice] : words) {
    if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
      view = choice;
  }
  showView(view);
  view->showDefault();
}

void CFilesForm::chooseView(int command) {
  FolderView* view = viewOf(ViewCommand(command));
  if (view == active_) {
    showView(view); // the menu's check mark stays on the view shown
    return;
  }
  dh::ui::WaitCursor wait;
  const std::string folder = active_->shownFolder();
  const int root = active_->navigator().currentRoot();
  showView(view);
  view->replay(folder, root);
}

void CFilesForm::layOutToolBar() {
  const ToolBarPlaces places =
      dh::files::layOutToolBar(toolBarFlags(scheme_.ToolBars[1]), place::kBack,
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
  placeIndicatorInToolBar();
}

void CFilesForm::placeFrames() {
  const int width = std::max(this->width() - place::kRightMargin, 0);
  QRect toolBar = place::kToolBarFrame;
  toolBar.setWidth(width);
  toolBarFrame_->setGeometry(toolBar);
  const QRect area(place::kToolBarFrame.left(), place::kViewTop, width,
                   std::max(height() - place::kBottomMargin, 0));
  viewArea_->setGeometry(area);
  for (FolderView* view : views()) {
    if (view)
      view->setGeometry(viewArea_->rect());
  }
  placeIndicatorInToolBar();
}

void CFilesForm::placeIndicatorInToolBar() {
  placeIndicator(toolBarFrame_->geometry().adjusted(0, 4, -6, -4));
}

void CFilesForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeFrames();
}

bool CFilesForm::press(int id) {
  const bool toolBar = std::find(kButtonIds.begin(), kButtonIds.end(), id) != kButtonIds.end();
  // Side-panel buttons are those of the view on show.
  return pressIn(toolBar ? static_cast<QWidget*>(this) : active_, id);
}

void CFilesForm::onBack() {
  if (const NavigationHistory::Entry* entry = history_.back()) {
    button(this, kBack)->setEnabled(history_.canGoBack());
    button(this, kForward)->setEnabled(history_.canGoForward());
    active_->replay(entry->folder, entry->root);
  }
}

void CFilesForm::onForward() {
  if (const NavigationHistory::Entry* entry = history_.forward()) {
    button(this, kBack)->setEnabled(history_.canGoBack());
    button(this, kForward)->setEnabled(history_.canGoForward());
    active_->replay(entry->folder, entry->root);
  }
}

void CFilesForm::onIconSize() {
  normalIcons_ = !normalIcons_;
  for (FolderView* view : views())
    view->setNormalIcons(normalIcons_);
}

void CFilesForm::runFileCommand(const std::function<void(FolderView&)>& command) {
  if (!active_)
    return;
  FolderView& view = *active_;
  view.setBusy(true);
  command(view);
  view.setBusy(false);
  button(this, kPaste)->setEnabled(commands_.canPaste());
  button(this, kUndo)->setEnabled(!commands_.undoStack().empty());
  // The watchers' news came while the view was busy.
  view.folderChanged({});
}

void CFilesForm::focusView() {
  active_->list()->setFocus(Qt::OtherFocusReason);
}

void CFilesForm::openSelected() {
  active_->openSelected(true);
}

MenuAvailability CFilesForm::availability(const std::vector<ItemRecord>& selected) const {
  const std::array<bool, kToolBarButtons> flags = toolBarFlags(scheme_.ToolBars[1]);
  const auto flag = [&](int id) {
    return flags[std::size_t(std::find(kButtonIds.begin(), kButtonIds.end(), id) -
                             kButtonIds.begin())];
  };
  const auto can = [&](int id) { return flag(id) && button(this, id)->isEnabled(); };
  std::vector<const ItemRecord*> items;
  for (const ItemRecord& item : selected)
    items.push_back(&item);
  return {.cut = can(kCut),
          .copy = can(kCopy),
          .paste = can(kPaste),
          .print = flag(kPrint) && mayPrint(items),
          .rename = can(kRename),
          .del = can(kDelete),
          .newFolder = can(kNewFolder)};
}

void CFilesForm::runContextMenu(const std::vector<int>& commands, QPoint global,
                                const std::function<void()>& open) {
  if (commands.empty())
    return;
  PopupMenu menu(this);
  menu.setPictures(QStringLiteral(":/files/menu-strip.svg"));
  for (int command : commands) {
    if (command == kMenuSeparator)
      menu.AddItem(PopupMenu::kSeparator, {}, 0, -1);
    else
      menu.AddItem(0, QString::fromLatin1(menuText(command)), command, menuPicture(command));
  }
  static constexpr std::array<int, 8> kButtonOf = {0,      kCut,    kCopy,   kPaste,
                                                   kPrint, kRename, kDelete, kNewFolder};
  const int chosen = menu.Track(global);
  if (chosen == kMenuOpen)
    open();
  else if (chosen > kMenuOpen && chosen <= kMenuNewFolder)
    press(kButtonOf[std::size_t(chosen - 1)]);
}

bool CFilesForm::dropItem(const QMimeData& data, const std::string& folder, bool move) {
  const std::optional<DraggedItem> item = draggedItemOf(data);
  std::vector<std::string> names;
  // Never a path that climbs: "<root>/.." names the folder above the root.
  if (!item || !dh::confine::splitRelative(item->path, names) ||
      !dh::confine::splitRelative(folder, names))
    return false;
  const std::string& source = item->path;
  const std::size_t slash = source.rfind('/');
  if (!active_)
    return false;
  FolderNavigator into = active_->navigator();
  FolderNavigator from = into;
  const QString path = QFile::decodeName(QByteArray::fromStdString(source));
  if (slash == std::string::npos || !into.reach(folder) || !from.reach(source.substr(0, slash)) ||
      QFile::encodeName(path).toStdString() != source)
    return false;
  bool done = false;
  runFileCommand([&](FolderView&) { done = commands_.drop(path, into, move); });
  return done;
}

void CFilesForm::Print() {
  if (!active_)
    return;
  const int press = ++printPresses_;
  const dh::confine::Descriptor folder = active_->navigator().openFolder();
  if (!folder.valid()) {
    folderMoved(this);
    return;
  }
  for (const ItemRecord& item : active_->selectedItems()) {
    // Gone since it was listed, or no longer a plain file (a folder never is): not printed.
    const dh::confine::Descriptor file = dh::confine::openFile(folder, item.name);
    if (!file.valid())
      continue;
    const dh::print::Outcome outcome =
        dh::print::printFile(file, QFile::decodeName(QByteArray::fromStdString(item.name)), this,
                             [this, press](dh::print::Outcome why) { printProblem(press, why); });
    if (outcome == dh::print::Outcome::NoPrintSystem) {
      printProblem(press, outcome);
      return;
    }
  }
}

void CFilesForm::printProblem(int press, dh::print::Outcome why) {
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

void CFilesForm::refresh() {
  dh::ui::WaitCursor wait;
  raise();
  scheme_.SelectScheme(mode_);
  loadScheme();
  // Before the views show their folders again, which may watch a shortcut's target too.
  watch_->watch(roots_->roots());
  for (FolderView* view : views()) {
    const std::string folder = view->shownFolder();
    const int root = view->navigator().currentRoot();
    view->loadScheme(scheme_, roots_);
    if (view == active_)
      view->replay(folder, root);
  }
  layOutToolBar();
}

void CFilesForm::reload() {
  watch_->stop();
  commands_.clearClipboard();
  button(this, kPaste)->setEnabled(false);
  history_.clear();
  visited_->ways.clear();
  selectScheme();
  loadScheme();
  for (FolderView* view : views()) {
    view->loadScheme(scheme_, roots_);
    view->hide();
  }
  for (int id : {kBack, kForward})
    button(this, id)->setEnabled(false);
  layOutToolBar();
  showDefaultView();
  if (!roots_->roots().empty())
    history_.start(roots_->roots().front().RootPath, 0);
  watch_->watch(roots_->roots());
}

} // namespace dh::files
