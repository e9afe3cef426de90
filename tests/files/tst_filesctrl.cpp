// The Files control on temporary roots: its tool bar, the page commands, the side panel,
// the views and their menu, opening files, and the watchers keeping the view current.
#include "common/pagecommand.h"
#include "common/settings.h"
#include "common/ui/buttonst.h"
#include "files/filesctrl.h"
#include "files/filesform.h"
#include "files/folderwatch.h"
#include "files/model/foldershortcut.h"
#include "files/popupmenu.h"
#include "files/views/folderlistview.h"
#include "files/views/foldertreeview.h"
#include "files/views/itemdrag.h"
#include "platform/ui/controlid.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testdir.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <grp.h>
#include <unistd.h>

using namespace dh::files;
using dh::PageCommand;
using dh::reg::Root;

namespace {
const char* const kScheme = "Default User";
} // namespace

class TestFilesCtrl : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void toolBarFollowsTheScheme();
  void pageCommandsBrowseWithinTheLimits();
  void sidePanelShowsThreeRootsOrScrollsNine();
  void watcherKeepsTheViewCurrent();
  void sharesArePolledNotWatched();
  void filesOpenWithTheirApplicationNeverAsPrograms();
  void viewsShareTheFolderIconSizeHelpAndClassChange();
  void fileCommandsFollowTheirButtons();
  void severalItemsTakeTheSelectionCommands();
  void freshListingSortsByNameAndTheHeaderAgrees();
  void treesFillLazilyWithinTheLimits();
  void treeRefreshKeepsExpansionAndSelection();
  void printingHandsFilesToThePrintSystem();
  void contextMenusPressTheFormsButtons();
  void droppedItemsMoveWithinTheRootsAndUndo();
  void treesListRunCommandsAndOfferMenus();

private:
  // A scheme of roots r1 ... rN below the test tree (each may go 2 levels deep), with
  // change made to it, and a fresh control on it.
  void start(int roots, const std::function<void(const std::string& base)>& change = {});
  bool command(PageCommand id) { return dh::sendPageCommand(ctrl_.get(), id); }
  QAbstractButton* button(int id) const { return dh::ui::findById<QAbstractButton>(form(), id); }
  CFilesForm* form() const { return ctrl_->form(); }
  CFolderListView* view() const { return static_cast<CFolderListView*>(form()->activeView()); }
  CFolderTreeView* tree() const { return static_cast<CFolderTreeView*>(form()->activeView()); }
  QStringList rows() const;
  // The texts of an item's children (of the top items, for none), expanding it first.
  QStringList children(QTreeWidgetItem* item) const;
  QTreeWidgetItem* item(const QStringList& way) const;
  void select(const QString& name);
  void selectAlso(const QString& name);
  // Opens the menu with a right click on the row of name (empty: below the rows), or with
  // Shift+F10, and chooses command (0: none). The menu's commands; none when no menu opened.
  std::vector<int> menu(const QString& name, int command, bool keyboard = false);
  // The same with a right click on the tree item at the end of way.
  std::vector<int> treeMenu(const QStringList& way, int command);
  // Opens a menu through open and chooses command in it (0: none).
  std::vector<int> track(int command, const std::function<void()>& open);
  // A stand-in program first on PATH that writes its arguments (and with input, what it
  // reads) to log, says complaint on its error output and exits with status.
  void standIn(const QString& name, const QString& log, int status = 0, bool input = false,
               const QString& complaint = {});

  std::unique_ptr<TestHives> hives_;
  std::unique_ptr<TestDir> dir_;
  std::unique_ptr<dh::ui::MessageRecorder> recorder_;
  std::unique_ptr<CFilesCtrl> ctrl_;
};

void TestFilesCtrl::init() {
  hives_ = std::make_unique<TestHives>();
  dir_ = std::make_unique<TestDir>();
  recorder_ = std::make_unique<dh::ui::MessageRecorder>();
}

void TestFilesCtrl::cleanup() {
  ctrl_.reset();
  recorder_.reset();
  dir_.reset();
  hives_.reset();
}

void TestFilesCtrl::start(int roots, const std::function<void(const std::string& base)>& change) {
  for (int n = 1; n <= roots; ++n)
    dir_->folder(QStringLiteral("r%1").arg(n));
  writeScheme(*hives_, {.name = kScheme, .roots = roots, .rootFolder = dir_->bytes()});
  // What TestDir::giveAway gives away counts as an administrator's.
  hives_->setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kAdministratorsGroup,
                  getgrgid(65534)->gr_name);
  const std::string base = schemeKey(kScheme);
  for (int n = 1; n <= roots; ++n)
    hives_->setDword(Root::LocalMachine, base + "\\FolderDisplay\\Root " + std::to_string(n),
                     "FolderLevels", 2);
  if (change)
    change(base);
  ctrl_ = std::make_unique<CFilesCtrl>();
  ctrl_->resize(800, 600);
  ctrl_->show();
  QVERIFY(QTest::qWaitForWindowExposed(ctrl_.get()));
}

QStringList TestFilesCtrl::rows() const {
  QStringList names;
  for (const ItemRecord& item : view()->model().items())
    names << displayName(item);
  return names;
}

QStringList TestFilesCtrl::children(QTreeWidgetItem* item) const {
  QStringList texts;
  if (!item)
    item = tree()->tree()->invisibleRootItem();
  else
    item->setExpanded(true);
  for (int child = 0; child < item->childCount(); ++child)
    texts << item->child(child)->text(0);
  return texts;
}

QTreeWidgetItem* TestFilesCtrl::item(const QStringList& way) const {
  QTreeWidgetItem* at = tree()->tree()->invisibleRootItem();
  for (const QString& text : way) {
    at->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int child = 0; child < at->childCount(); ++child) {
      if (at->child(child)->text(0) == text)
        next = at->child(child);
    }
    if (!next)
      return nullptr;
    at = next;
  }
  return at;
}

void TestFilesCtrl::select(const QString& name) {
  const int row = int(rows().indexOf(name));
  QVERIFY2(row >= 0, qPrintable(name));
  view()->list()->selectionModel()->setCurrentIndex(view()->list()->model()->index(row, 0),
                                                    QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
}

void TestFilesCtrl::selectAlso(const QString& name) {
  view()->list()->selectionModel()->select(
      view()->list()->model()->index(int(rows().indexOf(name)), 0),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> TestFilesCtrl::menu(const QString& name, int command, bool keyboard) {
  QAbstractItemView* list = view()->list();
  const int row = int(rows().indexOf(name));
  return track(command, [&] {
    if (keyboard)
      QTest::keyClick(list, Qt::Key_Menu);
    else {
      const QPoint at = name.isEmpty() ? QPoint(20, list->viewport()->height() - 4)
                                       : list->visualRect(list->model()->index(row, 0)).center();
      QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    }
  });
}

std::vector<int> TestFilesCtrl::treeMenu(const QStringList& way, int command) {
  QTreeWidget* tree = this->tree()->tree();
  const QPoint at = tree->visualItemRect(item(way)).center();
  return track(command, [&] { QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, at); });
}

std::vector<int> TestFilesCtrl::track(int command, const std::function<void()>& open) {
  std::optional<std::vector<int>> shown;
  QTimer::singleShot(50, [&] {
    auto* popup = qobject_cast<PopupMenu*>(QApplication::activePopupWidget());
    if (!popup)
      return;
    shown = popup->commands();
    for (QAction* action : popup->actions()) {
      if (command && action->data().toInt() == command)
        popup->setActiveAction(action);
    }
    QTest::keyClick(popup, command ? Qt::Key_Return : Qt::Key_Escape);
  });
  open();
  QTest::qWait(100);
  return shown.value_or(std::vector<int>{});
}

void TestFilesCtrl::standIn(const QString& name, const QString& log, int status, bool input,
                            const QString& complaint) {
  dir_->file("bin/" + name,
             QStringLiteral("#!/bin/sh\necho \"$*%1\" >> '%2'\necho '%4' >&2\nexit %3\n")
                 .arg(input ? " $(/bin/cat)" : "", log)
                 .arg(status)
                 .arg(complaint)
                 .toUtf8());
  QFile::setPermissions(dir_->path("bin/" + name), QFile::ReadOwner | QFile::ExeOwner);
}

void TestFilesCtrl::toolBarFollowsTheScheme() {
  start(1, [&](const std::string& base) {
    for (const char* flag : {"Back", "Forward", "Print"})
      hives_->setDword(Root::LocalMachine, base + "\\ToolBars\\Page 2", flag, 0);
  });
  // Up takes Back's place; Print's group leaves no separator.
  QCOMPARE(button(CFilesForm::kUp)->geometry().topLeft(), QPoint(14, 10));
  QVERIFY(!button(CFilesForm::kBack)->isVisibleTo(form()));
  int separators = 0;
  for (int id : CFilesForm::kSeparatorIds)
    separators += dh::ui::findById<QWidget>(form(), id)->isVisibleTo(form());
  QCOMPARE(separators, 4);
  dir_->file("r1/notes.txt", "words");
  command(PageCommand::Refresh);
  select("notes");
  QVERIFY(button(CFilesForm::kCopy)->isEnabled());
  QVERIFY(!command(PageCommand::Print)); // hidden: nothing to press
  QVERIFY(!command(PageCommand::Back));
}

void TestFilesCtrl::pageCommandsBrowseWithinTheLimits() {
  dir_->folder("r1/a/b/c");
  dir_->file("r2/two.txt");
  start(2);
  QCOMPARE(view()->caption(),
           QStringLiteral("Current Root: Root 1      Current Folder: ") + dir_->path("r1"));
  QVERIFY(!button(CFilesForm::kUp)->isEnabled() && !command(PageCommand::Up));
  select("a");
  command(PageCommand::Open);
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1/a"));
  select("b");
  command(PageCommand::Open);
  QCOMPARE(view()->navigator().depth(), 2);
  select("c");
  command(PageCommand::Open); // the limit: nothing happens
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1/a/b"));
  QVERIFY(command(PageCommand::Up));
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1/a"));
  QVERIFY(command(PageCommand::Back));
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1/a/b"));
  QCOMPARE(view()->navigator().depth(), 2);
  QVERIFY(command(PageCommand::Forward));
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1/a"));
  QVERIFY(!button(CFilesForm::kForward)->isEnabled());
  QVERIFY(command(dh::sideButtonCommand(1)));
  QCOMPARE(rows(), QStringList({"two"}));
  QVERIFY(dh::ui::findById<QAbstractButton>(view(), CFolderListView::kSlotIds[1])->isChecked());
  QVERIFY(!dh::ui::findById<QAbstractButton>(view(), CFolderListView::kSlotIds[0])->isChecked());
  QVERIFY(!command(dh::sideButtonCommand(2))); // no third root
  // Back to a folder that vanished meanwhile shows the first root.
  QDir(dir_->path("r1/a")).removeRecursively();
  QVERIFY(command(PageCommand::Back));
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1"));
  command(PageCommand::Tab);
  QVERIFY(view()->list()->hasFocus());
}

void TestFilesCtrl::sidePanelShowsThreeRootsOrScrollsNine() {
  // Which slots and scroll buttons a panel uses is the panel's own test; here the view
  // shows what it says.
  const auto shown = [&](int id) {
    return dh::ui::findById<QWidget>(view(), id)->isVisibleTo(view());
  };
  start(9, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\FolderDisplay\\Root 1", "RootDisplayName",
                    "Mathematics Department & Resources");
  });
  const int fit = view()->panel().visible();
  QVERIFY(fit >= 3 && fit < 9);
  QCOMPARE(dh::ui::findById<QAbstractButton>(view(), CFolderListView::kSlotIds[0])->text(),
           QStringLiteral("Mathema... Department && Resources"));
  QVERIFY(shown(CFolderListView::kScrollDown) && !shown(CFolderListView::kScrollUp));
  for (int press = 1; press <= 9 - fit; ++press)
    QVERIFY(command(PageCommand::ScrollDown));
  QVERIFY(!shown(CFolderListView::kScrollDown) && !command(PageCommand::ScrollDown));
  // A resize or the page shown again leaves the panel where the pupil scrolled it.
  ctrl_->resize(810, 600);
  ctrl_->hide();
  ctrl_->show();
  QCOMPARE(view()->panel().offset(), 9 - fit);
  QVERIFY(shown(CFolderListView::kScrollUp) && command(PageCommand::ScrollUp));
}

void TestFilesCtrl::watcherKeepsTheViewCurrent() {
  dir_->file("r1/old.txt");
  start(1);
  QCOMPARE(form()->watch().count(), 1);
  dir_->file("r1/new.txt");
  QTRY_COMPARE(rows(), QStringList({"new", "old"}));
  QFile::remove(dir_->path("r1/old.txt"));
  QTRY_COMPARE(rows(), QStringList({"new"}));
  // Made while the page was hidden: there when it is shown again.
  ctrl_->hide();
  dir_->file("r1/late.txt");
  QTest::qWait(200);
  ctrl_->show();
  QTRY_COMPARE(rows(), QStringList({"late", "new"}));
  // Changes elsewhere under the root leave the view as it is.
  dir_->file("r1/sub/deep.txt");
  QTRY_COMPARE(rows(), QStringList({"late", "new", "sub"}));
  // A shortcut's target outside the root gets a watcher of its own once visited.
  dir_->folder("shared");
  dir_->folderShortcut("r1/Shared", "shared");
  dir_->giveAway("r1/Shared");
  dir_->giveAway("r1/Shared/Target.lnk");
  QTRY_VERIFY(rows().contains("Shared"));
  select("Shared");
  command(PageCommand::Open);
  QVERIFY(view()->navigator().inShortcut());
  QVERIFY(rows().isEmpty());
  dir_->file("shared/sheet.txt");
  QTRY_COMPARE(rows(), QStringList({"sheet"}));
  // And keeps it after a refresh.
  command(PageCommand::Refresh);
  dir_->file("shared/more.txt");
  QTRY_COMPARE(rows(), QStringList({"more", "sheet"}));
}

void TestFilesCtrl::sharesArePolledNotWatched() {
  start(1);
  const std::string share = dir_->bytes("r1");
  form()->watch().judgeShares(
      [share](const std::string& folder) { return isWithin(folder, share); });
  command(PageCommand::Refresh);
  QCOMPARE(form()->watch().count(), 0);
  dir_->file("r1/teacher.txt");
  QTRY_COMPARE_WITH_TIMEOUT(rows(), QStringList({"teacher"}), 2 * FolderWatch::kSharePollMs);
}

void TestFilesCtrl::filesOpenWithTheirApplicationNeverAsPrograms() {
  // The system's reader for text notes what it was given. The pupil's own entry for text,
  // and a system entry that starts a shell, are never used.
  const QString opened = dir_->path("opened");
  standIn("reader", opened);
  standIn("pupilreader", opened);
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir_->path("home")));
  qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_->path("data")) + ":/usr/share");
  const auto entry = [&](const QString& file, const QString& exec) {
    dir_->file(file, QStringLiteral("[Desktop Entry]\nType=Application\nExec=%1\n"
                                    "MimeType=text/plain;\n")
                         .arg(exec)
                         .toUtf8());
  };
  entry("home/applications/mine.desktop", dir_->path("bin/pupilreader") + " %f");
  entry("data/applications/a-shell.desktop", "sh -c 'echo shell > " + opened + "' %f");
  entry("data/applications/reader.desktop", dir_->path("bin/reader") + " %f");
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(dir_->path("bin")) + ":" + path);
  dir_->file("r1/story.txt", "Once upon a time");
  dir_->file("r1/run.sh", "#!/bin/sh\n");
  start(1);
  select("story");
  command(PageCommand::Open);
  QTRY_COMPARE(fileBytes(opened), QFile::encodeName(dir_->path("r1/story.txt") + "\n"));
  QFile::remove(opened);

  select("run");
  command(PageCommand::Open);
  QCOMPARE(recorder_->events(), QStringList({"beep", "File Problem"}));
  QFile::remove(dir_->path("r1/story.txt"));
  select("story");
  command(PageCommand::Open);
  QCOMPARE(recorder_->boxes().last().text,
           QStringLiteral("There has been a problem locating this file.\nIt is recommended you "
                          "inform your system administrator\nof this error"));
  QTest::qWait(200);
  QVERIFY(!QFile::exists(opened));
  qputenv("PATH", path);
}

void TestFilesCtrl::viewsShareTheFolderIconSizeHelpAndClassChange() {
  dir_->file("r1/a.txt", "a");
  dir_->folder("shared/inner");
  dir_->folderShortcut("r1/Shared", "shared");
  dir_->giveAway("r1/Shared");
  dir_->giveAway("r1/Shared/Target.lnk");
  start(1, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\Defaults", "DefaultView", "DETAILS");
  });
  QAbstractItemView* details = view()->list();
  QCOMPARE(details->objectName(), QStringLiteral("id234"));
  select("a");
  command(PageCommand::Copy);
  select("Shared");
  command(PageCommand::Open);
  select("inner");
  command(PageCommand::Open);
  const std::string inner = dir_->bytes("shared/inner");
  command(PageCommand::Refresh);
  QCOMPARE(view()->navigator().folder(), inner);
  // Each view takes the folder over, in a shortcut's target too, and hands it back.
  const auto menu = [&](int id) { return form()->findChild<QAction*>(dh::ui::idName(id)); };
  menu(CFilesForm::kIconView)->trigger();
  QCOMPARE(view()->list()->objectName(), QStringLiteral("id216"));
  QVERIFY(!details->isVisibleTo(form()) && menu(CFilesForm::kIconView)->isChecked());
  QCOMPARE(view()->navigator().folder(), inner);
  menu(CFilesForm::kOnePaneTree)->trigger();
  QCOMPARE(tree()->tree()->currentItem()->text(0), QStringLiteral("inner"));
  QCOMPARE(tree()->shownFolder(), inner);
  menu(CFilesForm::kTwoPaneTree)->trigger();
  QCOMPARE(tree()->navigator().folder(), inner);
  command(PageCommand::Refresh);
  menu(CFilesForm::kDetailsView)->trigger();
  QCOMPARE(view()->list(), details);
  QCOMPARE(view()->navigator().folder(), inner);
  QVERIFY(menu(CFilesForm::kDetailsView)->isChecked());
  command(PageCommand::Paste);
  QCOMPARE(fileBytes(dir_->path("shared/inner/a.txt")), QByteArray("a"));

  QVERIFY(view()->normalIcons());
  QVERIFY(command(PageCommand::IconSize));
  QCOMPARE(details->iconSize(), QSize(16, 16));

  QVERIFY(command(PageCommand::Help)); // no help book named
  QCOMPARE(recorder_->events(), QStringList({"beep", "Help Problem"}));

  hives_->setText(Root::LocalMachine, schemeKey(kScheme) + "\\Defaults", "DefaultView", "icons");
  command(PageCommand::ClassChanged);
  QCOMPARE(view()->list()->objectName(), QStringLiteral("id216"));
  QCOMPARE(view()->navigator().folder(), dir_->bytes("r1"));
  QCOMPARE(form()->history().entries().size(), 1u);
  QVERIFY(!button(CFilesForm::kBack)->isEnabled());

  // No word, or one unknown, shows the two-pane tree; only the one-pane tree has no
  // icons to change.
  hives_->setText(Root::LocalMachine, schemeKey(kScheme) + "\\Defaults", "DefaultView", "");
  command(PageCommand::ClassChanged);
  QCOMPARE(form()->activeView(), form()->viewOf(CFilesForm::kTwoPaneTree));
  QVERIFY(menu(CFilesForm::kTwoPaneTree)->isChecked());
  QVERIFY(button(CFilesForm::kIconSize)->isEnabled());
  menu(CFilesForm::kOnePaneTree)->trigger();
  QVERIFY(!button(CFilesForm::kIconSize)->isEnabled());
  menu(CFilesForm::kIconView)->trigger();
  QVERIFY(button(CFilesForm::kIconSize)->isEnabled());
}

void TestFilesCtrl::fileCommandsFollowTheirButtons() {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  dir_->file("r1/a.txt", "a");
  const QString older = dir_->file("r1/box/a.txt", "older");
  start(1);
  QVERIFY(!command(PageCommand::Paste) && !command(PageCommand::Undo));
  select("a");
  QVERIFY(command(PageCommand::Copy));
  QVERIFY(command(PageCommand::Paste));
  QCOMPARE(rows(), QStringList({"a", "box", "Copy of a"}));
  QVERIFY(command(PageCommand::Undo));
  QCOMPARE(rows(), QStringList({"a", "box"}));
  QVERIFY(!button(CFilesForm::kUndo)->isEnabled());
  // Pasted over an item, and undone: the item it replaced is back.
  select("box");
  recorder_->answerNext(dh::ui::Answer::Yes);
  QVERIFY(command(PageCommand::Paste));
  QCOMPARE(fileBytes(older), QByteArray("a"));
  QVERIFY(command(PageCommand::Undo));
  QCOMPARE(fileBytes(older), QByteArray("older"));
  command(PageCommand::ClassChanged); // empties the clipboard
  QVERIFY(!button(CFilesForm::kPaste)->isEnabled());
}

void TestFilesCtrl::severalItemsTakeTheSelectionCommands() {
  dir_->file("r1/a.txt", "a");
  dir_->file("r1/b.txt", "b");
  dir_->folder("r1/box");
  start(1);
  const auto enabled = [&] {
    QList<int> ids;
    for (int id : {CFilesForm::kCut, CFilesForm::kCopy, CFilesForm::kDelete, CFilesForm::kRename,
                   CFilesForm::kPrint})
      if (button(id)->isEnabled())
        ids << id;
    return ids;
  };
  select("a");
  // Several in one step, as Shift+Down and Ctrl+A make them.
  QTest::keyClick(view()->list(), Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(view()->selectedItems().size(), 2u);
  QCOMPARE(enabled(), QList<int>({CFilesForm::kCut, CFilesForm::kCopy, CFilesForm::kDelete,
                                  CFilesForm::kPrint}));
  constexpr int kSep = kMenuSeparator;
  QCOMPARE(menu("a", 0, true), std::vector<int>({kMenuOpen, kSep, kMenuCut, kMenuCopy, kSep,
                                                 kMenuPrint, kSep, kMenuDelete}));
  // A folder among them, or alone, is never offered for printing.
  QTest::keyClick(view()->list(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(view()->selectedItems().size(), 3u);
  QCOMPARE(enabled(), QList<int>({CFilesForm::kCut, CFilesForm::kCopy, CFilesForm::kDelete}));
  select("box");
  QCOMPARE(enabled(), QList<int>({CFilesForm::kCut, CFilesForm::kCopy, CFilesForm::kDelete,
                                  CFilesForm::kRename}));
  QVERIFY(!command(PageCommand::Print));
}

void TestFilesCtrl::freshListingSortsByNameAndTheHeaderAgrees() {
  dir_->file("r1/a.txt", "a");
  dir_->file("r1/sub/b.txt", "b");
  start(1);
  auto* header = static_cast<QTreeView*>(view()->list())->header();
  const auto clickNames = [&] {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, header->height() / 2));
  };
  clickNames();
  QCOMPARE(rows(), QStringList({"sub", "a"}));
  QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
  select("sub");
  command(PageCommand::Open);
  command(PageCommand::Up);
  // Listed A to Z afresh, and the arrow says so: the next press turns the list round.
  QCOMPARE(rows(), QStringList({"a", "sub"}));
  QCOMPARE(header->sortIndicatorSection(), 0);
  QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
  clickNames();
  QCOMPARE(rows(), QStringList({"sub", "a"}));
}

void TestFilesCtrl::treesFillLazilyWithinTheLimits() {
  dir_->file("r1/a/b/c/deep.txt");
  dir_->file("r1/a/notes.txt");
  dir_->folder("r1/empty");
  dir_->file("r1/hidden/.only");
  dir_->file("r2/top.txt");
  dir_->file("shared/given.txt");
  dir_->folder("outside");
  dir_->link("r1/out", "outside"); // a pupil's or a classmate's link out: never shown
  QVERIFY(lchown(QFile::encodeName(dir_->path("r1/out")).constData(), 65533, 65533) == 0);
  dir_->folderShortcut("r1/Shared", "shared");
  dir_->giveAway("r1/Shared");
  dir_->giveAway("r1/Shared/Target.lnk");
  start(2, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\Defaults", "DefaultView", "tree1");
    hives_->setDword(Root::LocalMachine, base + "\\FolderDisplay\\Root 2", "FolderLevels", 0);
  });
  QCOMPARE(children(nullptr), QStringList({"Root 1", "Root 2"}));
  QTreeWidgetItem* root1 = item({"Root 1"});
  QTreeWidgetItem* root2 = item({"Root 2"});
  QCOMPARE(root1->childCount(), 0); // filled when first expanded
  // A limit of 0 keeps the root closed.
  QCOMPARE(root2->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  QVERIFY(children(root2).isEmpty());
  QCOMPARE(children(root1), QStringList({"a", "empty", "hidden", "Shared"}));
  QCOMPARE(item({"Root 1", "empty"})->childIndicatorPolicy(),
           QTreeWidgetItem::DontShowIndicatorWhenChildless);
  // Hidden entries count for the button but are never shown.
  QCOMPARE(item({"Root 1", "hidden"})->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  QVERIFY(children(item({"Root 1", "hidden"})).isEmpty());
  QCOMPARE(children(item({"Root 1", "Shared"})), QStringList({"given"}));
  QCOMPARE(children(item({"Root 1", "a"})), QStringList({"b", "notes"}));
  // b lies at the limit of 2: no button, and nothing when expanded anyway.
  QTreeWidgetItem* b = item({"Root 1", "a", "b"});
  QCOMPARE(b->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
  QVERIFY(children(b).isEmpty());

  tree()->tree()->setCurrentItem(root1);
  QCOMPARE(tree()->caption(),
           QStringLiteral("Current Root: Root 1      Current Folder: ") + dir_->path("r1"));
  for (int id : {CFilesForm::kUp, CFilesForm::kRename, CFilesForm::kCopy, CFilesForm::kDelete})
    QVERIFY(!button(id)->isEnabled());
  tree()->tree()->setCurrentItem(b);
  QCOMPARE(tree()->shownFolder(), dir_->bytes("r1/a/b"));
  QVERIFY(button(CFilesForm::kCopy)->isEnabled() && !button(CFilesForm::kPrint)->isEnabled());
  // A new folder in b would lie below the limit, where no tree shows it.
  QTimer::singleShot(100, [] {
    if (QWidget* dialog = QApplication::activeModalWidget())
      dialog->close();
  });
  QVERIFY(command(PageCommand::NewFolder));
  QCOMPARE(recorder_->events(), QStringList({"Cannot Create Folder"}));
  QVERIFY(command(PageCommand::Up));
  QCOMPARE(tree()->tree()->currentItem(), item({"Root 1", "a"}));
  tree()->tree()->setCurrentItem(item({"Root 1", "a", "notes"}));
  QVERIFY(tree()->caption().startsWith(
      QStringLiteral("Current Root: Root 1      Current File: notes.txt      Size: 0 Kb")));
  QCOMPARE(tree()->navigator().folder(), dir_->bytes("r1/a"));
  // History replays land on the tree's items.
  // The expansions made the history: back to the shortcut, whose item is selected.
  QVERIFY(command(PageCommand::Back));
  QCOMPARE(tree()->tree()->currentItem(), item({"Root 1", "Shared"}));
}

void TestFilesCtrl::treeRefreshKeepsExpansionAndSelection() {
  dir_->file("r1/a/one.txt");
  dir_->folder("r1/a/sub");
  start(1, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\Defaults", "DefaultView", "tree1");
  });
  tree()->tree()->setCurrentItem(item({"Root 1", "a", "one"}));
  QVERIFY(item({"Root 1", "a", "sub"}));
  dir_->file("r1/a/two.txt");
  QTRY_COMPARE(children(item({"Root 1", "a"})), QStringList({"one", "sub", "two"}));
  QVERIFY(item({"Root 1"})->isExpanded());
  QCOMPARE(tree()->tree()->currentItem()->text(0), QStringLiteral("one"));
  // The selected file gone: its folder is selected instead.
  QFile::remove(dir_->path("r1/a/one.txt"));
  QTRY_COMPARE(tree()->tree()->currentItem()->text(0), QStringLiteral("a"));
  QVERIFY(item({"Root 1", "a"})->isExpanded());
}

void TestFilesCtrl::printingHandsFilesToThePrintSystem() {
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(dir_->path("bin")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir_->path("home")));
  qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_->path("data")) + ":/usr/share");
  const QString log = dir_->path("printed");
  standIn("lp", log, 0, true);
  for (const char* name : {"a.txt", "-b.txt", "c.txt", "run.exe"})
    dir_->file(QStringLiteral("r1/") + name, "words");
  hives_->setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Settings", "PrintFileTypes",
                  ".exe.com");
  start(1);
  select("run");
  QVERIFY(!button(CFilesForm::kPrint)->isEnabled());
  select("a");
  selectAlso("-b");
  selectAlso("c");
  QFile::remove(dir_->path("r1/c.txt"));
  QVERIFY(command(PageCommand::Print));
  const QString a = dir_->path("r1/a.txt"), b = dir_->path("r1/-b.txt");
  QTRY_COMPARE(QString::fromUtf8(fileBytes(log)).split('\n', Qt::SkipEmptyParts).size(), 2);
  QStringList printed = QString::fromUtf8(fileBytes(log)).split('\n', Qt::SkipEmptyParts);
  printed.sort(); // the jobs run side by side
  // lp reads each file from the descriptor it is handed.
  QCOMPARE(printed, QStringList({"-t -b.txt words", "-t a.txt words"}));
  QVERIFY(recorder_->boxes().isEmpty());

  // An application whose desktop entry can print takes the file instead.
  dir_->file("data/applications/writer.desktop",
             QStringLiteral("[Desktop Entry]\nType=Application\nExec=writer %F\n"
                            "MimeType=text/plain;\nActions=print;\n"
                            "[Desktop Action print]\nExec=\"%1\" --print %f\n")
                 .arg(dir_->path("bin/writer"))
                 .toUtf8());
  const QString written = dir_->path("written");
  standIn("writer", written);
  select("a");
  QVERIFY(command(PageCommand::Print));
  QTRY_COMPARE(fileBytes(written), QFile::encodeName("--print " + a + "\n"));
  QFile::remove(dir_->path("data/applications/writer.desktop"));

  // No printer: lp refuses, and the pupil is told once, and why.
  standIn("lp", log, 1, true, "lp: Error - No default destination.");
  select("a");
  selectAlso("-b");
  QVERIFY(command(PageCommand::Print));
  QTRY_COMPARE(recorder_->events(), QStringList({"Print Problem"}));
  QTest::qWait(100);
  QCOMPARE(recorder_->events().size(), 1);
  QVERIFY(recorder_->boxes().last().text.contains("no printer is available"));
  standIn("lp", log, 1, true, "lp: Error - scheduler not responding.");
  QVERIFY(command(PageCommand::Print));
  QTRY_COMPARE(recorder_->events().size(), 2);
  QVERIFY(recorder_->boxes().last().text.contains("the print service is not answering"));
  // No print system at all.
  QFile::remove(dir_->path("bin/lp"));
  QVERIFY(command(PageCommand::Print));
  QCOMPARE(recorder_->events().size(), 3);
  QVERIFY(recorder_->boxes().last().text.contains("this computer has no print system"));
  QVERIFY(QFile::exists(a) && QFile::exists(b));
  qputenv("PATH", path);
}

void TestFilesCtrl::contextMenusPressTheFormsButtons() {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  dir_->folder("r1/box");
  dir_->file("r1/a.txt", "a");
  start(1, [&](const std::string& base) {
    hives_->setDword(Root::LocalMachine, base + "\\ToolBars\\Page 2", "Rename", 0);
  });
  constexpr int kSep = kMenuSeparator;
  QCOMPARE(menu("a", kMenuCopy), std::vector<int>({kMenuOpen, kSep, kMenuCut, kMenuCopy, kSep,
                                                   kMenuPrint, kSep, kMenuDelete}));
  QVERIFY(button(CFilesForm::kPaste)->isEnabled());
  QCOMPARE(menu("", kMenuPaste), std::vector<int>({kMenuPaste, kSep, kMenuNewFolder}));
  QVERIFY(rows().contains("Copy of a"));
  select("box");
  QCOMPARE(menu("box", 0, true), std::vector<int>({kMenuCut, kMenuCopy, kMenuPaste, kSep,
                                                   kMenuDelete, kSep, kMenuNewFolder}));

  // Without the scheme's menu a right click only names the item in the caption line.
  hives_->setDword(Root::LocalMachine, schemeKey(kScheme) + "\\Defaults", "Context Menu", 0);
  command(PageCommand::Refresh);
  QVERIFY(menu("a", kMenuDelete).empty());
  QVERIFY(view()->caption().contains("a"));
  QCOMPARE(rows().size(), 3);
}

void TestFilesCtrl::droppedItemsMoveWithinTheRootsAndUndo() {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  dir_->folder("r1/box/inner/deep");
  const QString a = dir_->file("r1/a.txt", "a");
  const QString stray = dir_->file("outside/stray.txt", "s");
  start(1);
  const auto drop = [&](const QString& item, const QString& folder, bool move) {
    std::unique_ptr<QMimeData> dragged(itemDragData({QFile::encodeName(item).toStdString()}));
    return form()->dropItem(*dragged, QFile::encodeName(folder).toStdString(), move);
  };
  const QString box = dir_->path("r1/box");
  QVERIFY(drop(a, box, false));
  QVERIFY(QFile::exists(a) && QFile::exists(box + "/a.txt"));
  QVERIFY(command(PageCommand::Undo));
  QVERIFY(!QFile::exists(box + "/a.txt"));

  // Refused: a folder into itself or below, anything leaving or entering from outside the
  // roots, a folder below the limit, the same place, and data from anywhere else.
  QVERIFY(!drop(box, box + "/inner", true));
  QVERIFY(!drop(box, box, true));
  QVERIFY(!drop(a, dir_->path("outside"), true));
  QVERIFY(!drop(stray, box, true));
  QVERIFY(!drop(a, box + "/inner/deep", true));
  QVERIFY(!drop(a, dir_->path("r1"), true));
  QMimeData foreign;
  foreign.setData("application/x-deskhaven-files-item", "1 forged left\n" + QFile::encodeName(a));
  foreign.setUrls({QUrl::fromLocalFile(a)});
  QVERIFY(!form()->dropItem(foreign, box.toStdString(), true));
  QVERIFY(QFile::exists(a) && QFile::exists(stray) && !button(CFilesForm::kUndo)->isEnabled());

  // A path that climbs names the folder above the root: never taken, as item or place.
  QVERIFY(!drop(box + "/..", dir_->path("r1/box/inner"), false));
  QVERIFY(!drop(a, box + "/inner/..", false));

  // A drag that another program started (Qt gives its drop no source in this process) is
  // refused at the list, whatever its data: nothing lights up, nothing moves.
  QWidget* viewport = view()->list()->viewport();
  const int row = int(rows().indexOf("box"));
  const QPoint at = view()->list()->visualRect(view()->list()->model()->index(row, 0)).center();
  std::unique_ptr<QMimeData> dragged(itemDragData({QFile::encodeName(a).toStdString()}));
  QDragEnterEvent enter(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
  QApplication::sendEvent(viewport, &enter);
  QVERIFY(!enter.isAccepted());
  QDropEvent dropped(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
  QApplication::sendEvent(viewport, &dropped);
  QTest::qWait(50);
  QVERIFY(QFile::exists(a) && !QFile::exists(box + "/a.txt"));
}

void TestFilesCtrl::treesListRunCommandsAndOfferMenus() {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  dir_->file("r1/a/f.txt", "f");
  dir_->folder("r1/a/sub");
  dir_->folder("r1/box/inner");
  const QString notes = dir_->file("r1/notes.txt", "n");
  const QString box = dir_->path("r1/box");
  start(1, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\Defaults", "DefaultView", "tree1");
  });
  constexpr int kSep = kMenuSeparator;
  QCOMPARE(treeMenu({"Root 1", "notes"}, kMenuCopy),
           std::vector<int>({kMenuOpen, kSep, kMenuCut, kMenuCopy, kSep, kMenuPrint, kMenuRename,
                             kSep, kMenuDelete}));
  QVERIFY(!treeMenu({"Root 1", "box"}, kMenuPaste).empty());
  QTRY_VERIFY(QFile::exists(box + "/notes.txt"));

  // A drag from elsewhere onto a tree folder is refused: nothing lights up or moves.
  QFile::remove(box + "/notes.txt");
  QTreeWidget* folders = tree()->tree();
  const QPoint at = folders->visualItemRect(item({"Root 1", "box"})).center();
  std::unique_ptr<QMimeData> dragged(itemDragData({QFile::encodeName(notes).toStdString()}));
  QDragEnterEvent enter(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
  QApplication::sendEvent(folders->viewport(), &enter);
  QVERIFY(!enter.isAccepted());
  QDropEvent dropped(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
  QApplication::sendEvent(folders->viewport(), &dropped);
  QTest::qWait(50);
  QVERIFY(item({"Root 1", "box"})->background(0) == QBrush());
  QVERIFY(QFile::exists(notes) && !QFile::exists(box + "/notes.txt"));

  // The two-pane tree lists folders, and the files of the chosen one beside them.
  const auto show = [&](int id) { form()->findChild<QAction*>(dh::ui::idName(id))->trigger(); };
  show(CFilesForm::kTwoPaneTree);
  QCOMPARE(children(item({"Root 1"})), QStringList({"a", "box"}));
  QCOMPARE(children(item({"Root 1", "a"})), QStringList({"sub"}));
  tree()->tree()->setCurrentItem(item({"Root 1", "a", "sub"}));
  QCOMPARE(tree()->model().items().size(), 0u);
  QCOMPARE(tree()->caption(), QStringLiteral("Current Folder: ") + dir_->path("r1/a/sub"));
  QVERIFY(command(PageCommand::Up));
  QCOMPARE(tree()->model().items().size(), 1u);
  tree()->fileList()->setCurrentIndex(tree()->model().index(0, 0));
  QVERIFY(command(PageCommand::Copy));
  QVERIFY(command(PageCommand::Paste));
  QCOMPARE(tree()->model().items().size(), 2u);
  QVERIFY(QFile::exists(dir_->path("r1/a/Copy of f.txt")));
  QCOMPARE(tree()->tree()->currentItem()->text(0), QStringLiteral("a"));
  QVERIFY(command(PageCommand::Undo));
  QCOMPARE(tree()->model().items().size(), 1u);
  // The one-pane tree pastes into the selected folder.
  show(CFilesForm::kOnePaneTree);
  QCOMPARE(tree()->tree()->currentItem()->text(0), QStringLiteral("a"));
  tree()->tree()->setCurrentItem(item({"Root 1", "a", "sub"}));
  QVERIFY(command(PageCommand::Paste));
  QVERIFY(QFile::exists(dir_->path("r1/a/sub/f.txt")));

  // With no file chosen in the two-pane tree's list, its folder is what the commands take.
  show(CFilesForm::kTwoPaneTree);
  QCOMPARE(treeMenu({"Root 1", "box"}, kMenuCopy),
           std::vector<int>({kMenuCut, kMenuCopy, kMenuPaste, kSep, kMenuRename, kSep, kMenuDelete,
                             kSep, kMenuNewFolder}));
  QCOMPARE(form()->commands().clip().paths, QStringList({box}));
  tree()->tree()->setCurrentItem(item({"Root 1"}));
  QVERIFY(command(PageCommand::Paste));
  QVERIFY(QFile::exists(dir_->path("r1/Copy of box/inner")));
  tree()->tree()->setCurrentItem(item({"Root 1", "Copy of box"}));
  recorder_->answerNext(dh::ui::Answer::Yes);
  QVERIFY(command(PageCommand::Delete));
  QVERIFY(!QFile::exists(dir_->path("r1/Copy of box")));
}

QTEST_MAIN(TestFilesCtrl)
#include "tst_filesctrl.moc"
