#include "common/ui/buttonst.h"
#include "platform/components/classregistry.h"
#include "platform/shellops/fileoperation.h"
#include "platform/shellops/progress.h"
#include "platform/ui/keyboardpart.h"
#include "platform/ui/messagerecorder.h"
#include "platform/ui/ownkeys.h"
#include "shell/aboutdlg.h"
#include "shell/accelerators.h"
#include "shell/deskhavendlg.h"
#include "shell/optionsmenu.h"
#include "shell/pagetable.h"
#include "tests/support/recordingcontrol.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include "common/scheme.h"
#include "platform/components/platformmode/platformmodecomponent.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using dh::CButtonST;

using namespace dh::shell;
using dh::PageCommand;
using dh::reg::Root;
using dh::ui::Icon;

namespace {

// What a recording page control lists after receiving these commands.
QVariantList commands(std::initializer_list<PageCommand> sent) {
  QVariantList list;
  for (PageCommand command : sent)
    list.append(static_cast<int>(command));
  return list;
}

const char* kMissingLibrary = "{3C9A7E51-2B4D-4F60-8E1A-5D6C7B8A9F02}";
const std::string kDefaults = schemeKey("Default User") + "\\Defaults";
const char* const kClassSchemes = "Software\\Halvane\\Deskhaven\\Class Schemes";

// The hives of one case: the Default User scheme, and page controls for the pages in
// usable (the others name a class whose library is gone).
struct Setup {
  explicit Setup(std::initializer_list<int> usable = {1, 2, 3}, SchemeSpec spec = {}) {
    if (spec.name.empty())
      spec.name = "Default User";
    writeScheme(hives, spec);
    add(recordingcontrol::kClassId, RECORDING_CONTROL, true);
    add(kMissingLibrary, "/nonexistent/page.so", true);
    for (int page = 1; page <= 3; ++page) {
      const bool ok = std::find(usable.begin(), usable.end(), page) != usable.end();
      hives.setText(Root::LocalMachine, pageKey(page), "GUID",
                    ok ? recordingcontrol::kClassId : kMissingLibrary);
    }
  }

  void add(const char* clsid, const char* library, bool control) {
    QCOMPARE(dh::component::writeRegistration({clsid, "Test", "", "", library, control}),
             dh::reg::kSuccess);
  }
  void tab(int page, bool offered) {
    hives.setDword(Root::LocalMachine, schemeKey("Default User") + "\\TabSelection",
                   "Page" + std::to_string(page), offered ? 1 : 0);
  }
  // Platform mode 7: the pupil's account type from the machine, the class from the user.
  void pupilInClass(const std::string& currentClass) {
    add(dh::platformmode::kClassId, PLATFORM_MODE_LIBRARY, false);
    hives.setDword(Root::LocalMachine, "Software\\Halvane\\Platform", "Mode", 7);
    hives.setText(Root::LocalMachine,
                  "Software\\Halvane\\Classwick\\Accounts\\" + dh::currentUserName(),
                  "Account Type", "Pupils");
    setClass(currentClass);
  }
  void setClass(const std::string& currentClass) {
    hives.setText(Root::CurrentUser, "Software\\Halvane\\Fieldbench", "Current Class",
                  currentClass);
  }
  // Class 7B has the scheme Seven, which starts on page 1; 8C has Eight, on page 3.
  void classSchemes() {
    writeScheme(hives, {.name = "Seven", .firstTab = 1});
    writeScheme(hives, {.name = "Eight", .firstTab = 3});
    hives.setText(Root::LocalMachine, kClassSchemes, "7B", "Seven");
    hives.setText(Root::LocalMachine, kClassSchemes, "8C", "Eight");
  }

  CDeskhavenDlg& open() {
    qApp->setProperty("controlLog", QStringList());
    dialog = std::make_unique<CDeskhavenDlg>([this](int code) { exits.append(code); });
    return *dialog;
  }
  QPushButton* button(int id) const {
    return dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
  }
  QVariantList received(int page) const {
    return dialog->pageControl(page)->property("receivedCommands").toList();
  }
  QStringList titles() const {
    QStringList list;
    for (const auto& box : boxes.boxes())
      list.append(box.title);
    return list;
  }

  TestHives hives;
  dh::ui::MessageRecorder boxes;
  QList<int> exits;
  std::unique_ptr<CDeskhavenDlg> dialog;
};

QStringList controlLog() {
  return qApp->property("controlLog").toStringList();
}

// Shows each box as a real modal box does, with the event loop running while it is open
// (timers fire), and runs whileOpen inside the first.
class NestedLoopBoxes final : public dh::ui::MessageHandler {
public:
  NestedLoopBoxes() : previous_(dh::ui::installMessageHandler(this)) {}
  ~NestedLoopBoxes() override { dh::ui::installMessageHandler(previous_); }
  dh::ui::Answer show(QWidget* parent, const dh::ui::MessageBox& box) override {
    if (whileOpen)
      std::exchange(whileOpen, {})();
    QTest::qWait(2 * CDeskhavenDlg::kClassTimerMs + 200);
    return previous_->show(parent, box);
  }
  void beep() override { previous_->beep(); }

  std::function<void()> whileOpen;

private:
  dh::ui::MessageHandler* previous_;
};

std::optional<std::uint32_t> storedDefault(const char* name) {
  return dh::reg::readDword(Root::LocalMachine, kDefaults, name);
}

} // namespace

class TestDeskhavenDlg : public QObject {
  Q_OBJECT

private slots:
  void allPagesInTheirPlaces();
  void pagesNotOfferedCloseTheGap();
  void failedPagesAreReportedAndHidden();
  void firstPageFollowsDefaultFirstTab();
  void pageButtonsSwitchPages();
  void keysReachThePageOnShow();
  void keysMoveAmongPartsAndButtons();
  void classChangeRebuildsThePages();
  void classChangeWaitsForAPagesBoxOrMenu();
  void classButtonAndChangeClass();
  void fatalErrorEndsTheProgram();
  void optionsMenuWritesBack();
  void pupilCannotWriteOptions();
  void changeClassStartsTheSelector();
  void runDirectoryIsRestored();
  void aboutBoxRestoreAndClose();
  void largeFontsClipNoCaption();
};

void TestDeskhavenDlg::allPagesInTheirPlaces() {
  Setup s;
  CDeskhavenDlg& dlg = s.open();
  QVERIFY(s.boxes.boxes().isEmpty());
  QVERIFY(dlg.isMaximized());
  // The row's places are tested with its layout. Without a class neither the class button
  // nor Change Class shows.
  for (int id : {1003, 1004, 1005, 1000, 1017, 1018, 1001})
    QVERIFY2(s.button(id)->isVisible() == (id != 1018 && id != 1001),
             qPrintable(QString::number(id)));
  QCOMPARE(s.button(1017)->geometry().right() + 1, dlg.width());

  // Controls are made for every page, with their window ids, inside the frame.
  auto* frame = dlg.findChild<QWidget*>(QStringLiteral("id1009"));
  for (int page = 1; page <= 3; ++page) {
    QWidget* control = dlg.pageControl(page);
    QCOMPARE(control->parentWidget(), frame);
    QCOMPARE(control->objectName(), QStringLiteral("id%1").arg(96 + page));
    QVERIFY(frame->contentsRect().contains(control->geometry()));
  }
}

void TestDeskhavenDlg::pagesNotOfferedCloseTheGap() {
  {
    Setup s;
    s.tab(2, false);
    CDeskhavenDlg& dlg = s.open();
    QCOMPARE(s.button(1005)->x(), s.button(1004)->x());
    QVERIFY(!s.button(1004)->isVisible());
    QVERIFY(!dlg.pageControl(2));
    QCOMPARE(controlLog().count(QStringLiteral("made")), 2);
  }
  {
    // No roots: the message, and the same as a scheme without My Files.
    Setup s({1, 2, 3}, {.name = "Default User", .roots = 0});
    CDeskhavenDlg& dlg = s.open();
    QCOMPARE(s.titles(), QStringList{QStringLiteral("No Usable Roots")});
    QVERIFY(!dlg.pageControl(2));
    QCOMPARE(s.button(1005)->x(), s.button(1004)->x());
  }
}

void TestDeskhavenDlg::failedPagesAreReportedAndHidden() {
  {
    Setup s({1, 2});
    s.hives.removeTree(Root::LocalMachine, pageKey(3));
    CDeskhavenDlg& dlg = s.open();
    QCOMPARE(s.titles(), QStringList{QStringLiteral("Active X Error")});
    QVERIFY(s.boxes.boxes()[0].text.contains(QStringLiteral("disabled:\n\nPage 3 - Links\n\nIt")));
    QCOMPARE(s.boxes.boxes()[0].icon, Icon::Error);
    QVERIFY(!s.button(1005)->isVisible());
    // Only pages not offered close the gap.
    QCOMPARE(s.button(1004)->x(), s.button(1003)->geometry().right() + 11);
    QVERIFY(!dlg.pageControl(3));
  }
  {
    Setup s({});
    CDeskhavenDlg& dlg = s.open();
    QCOMPARE(s.titles(), QStringList{QStringLiteral("Active X Error")});
    for (int id : {1003, 1004, 1005})
      QVERIFY(!s.button(id)->isVisible());
    QCOMPARE(dlg.currentPage(), 0);
  }
}

void TestDeskhavenDlg::firstPageFollowsDefaultFirstTab() {
  struct Case {
    int firstTab;
    std::initializer_list<int> usable;
    int shown;
  };
  const Case cases[] = {{1, {1, 2, 3}, 1}, {2, {1, 3}, 3}, {2, {1}, 1},
                        {3, {1, 2, 3}, 3}, {3, {2}, 2},    {0, {1, 2, 3}, 0}};
  for (const Case& c : cases) {
    Setup s(c.usable, {.name = "Default User", .firstTab = c.firstTab});
    CDeskhavenDlg& dlg = s.open();
    QCOMPARE(dlg.currentPage(), c.shown);
    for (int page = 1; page <= 3; ++page) {
      if (QWidget* control = dlg.pageControl(page))
        QCOMPARE(control->isVisible(), page == c.shown);
      QCOMPARE(s.button(1002 + page)->isChecked(), page == c.shown);
    }
  }
}

void TestDeskhavenDlg::pageButtonsSwitchPages() {
  Setup s;
  CDeskhavenDlg& dlg = s.open();
  for (int page : {3, 3, 2}) {
    QTest::mouseClick(s.button(1002 + page), Qt::LeftButton);
    QCOMPARE(dlg.currentPage(), page);
    for (int other = 1; other <= 3; ++other) {
      QCOMPARE(dlg.pageControl(other)->isVisible(), other == page);
      QCOMPARE(s.button(1002 + other)->isChecked(), other == page);
    }
  }

  // A hidden button does not switch pages.
  s.button(1003)->hide();
  dlg.onPageButton(1);
  QCOMPARE(dlg.currentPage(), 2);
}

void TestDeskhavenDlg::keysReachThePageOnShow() {
  Setup s({1, 2, 3}, {.name = "Default User", .firstTab = 3});
  CDeskhavenDlg& dlg = s.open();
  CAcceleratorTable accelerators(&dlg, [&dlg](PageCommand command) { dlg.OnCommand(command); });
  QVERIFY(QTest::qWaitForWindowActive(&dlg));
  QWidget* links = dlg.pageControl(3);
  links->setFocus();
  QVERIFY(links->hasFocus());
  QTest::keyClick(links, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(links, Qt::Key_Escape);
  QTest::keyClick(links, Qt::Key_Tab);
  QTest::keyClick(s.button(1003), Qt::Key_F5); // from a button of the top row too
  QCOMPARE(s.received(3), commands({PageCommand::Copy, PageCommand::Tab, PageCommand::Refresh}));
  QVERIFY(s.received(1).isEmpty());
  QVERIFY(links->hasFocus()); // Tab did not move the focus
  QVERIFY(dlg.isVisible());   // Escape closed nothing

  // The copy of a pressed key that the accessibility bridge posts is a shortcut too; a
  // key the program sends itself goes to its target.
  QCoreApplication::postEvent(links,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier));
  QCoreApplication::processEvents();
  dh::ui::sendOwnKey(links, Qt::Key_Tab);
  QCOMPARE(s.received(3), commands({PageCommand::Copy, PageCommand::Tab, PageCommand::Refresh,
                                    PageCommand::ScrollDown}));

  // Enter goes to the focused control and leaves the window open.
  QTest::keyClick(links, Qt::Key_Return);
  QCOMPARE(links->property("returnPresses").toInt(), 1);
  QVERIFY(dlg.isVisible());

  QTest::mouseClick(s.button(1003), Qt::LeftButton);
  QTest::keyClick(dlg.pageControl(1), Qt::Key_Left, Qt::AltModifier);
  QCOMPARE(s.received(1), commands({PageCommand::Back}));
  QCOMPARE(s.received(3).size(), 4);

  // A key typed into another window stays there.
  QLineEdit elsewhere;
  elsewhere.show();
  QTest::keyClick(&elsewhere, Qt::Key_Tab);
  QTest::keyClick(&elsewhere, Qt::Key_C);
  QCOMPARE(elsewhere.text(), QStringLiteral("c"));
  QCOMPARE(s.received(1).size(), 1);

  // With no page on show, commands are dropped.
  Setup none({1, 2, 3}, {.name = "Default User", .firstTab = 0});
  CDeskhavenDlg& empty = none.open();
  empty.OnCommand(PageCommand::Copy);
  for (int page = 1; page <= 3; ++page)
    QVERIFY(none.received(page).isEmpty());
}

void TestDeskhavenDlg::keysMoveAmongPartsAndButtons() {
  // Three parts, each with a button that cannot be pressed now, and a view.
  QWidget window;
  window.resize(300, 300);
  const auto button = [&window](dh::ui::KeyboardPart part, int x, int y) {
    auto* made = new QPushButton(QStringLiteral("%1,%2").arg(x).arg(y), &window);
    made->setGeometry(x, y, 40, 20);
    dh::ui::setKeyboardPart(made, part);
    return made;
  };
  using dh::ui::KeyboardPart;
  QPushButton* first = button(KeyboardPart::TopRow, 0, 0);
  button(KeyboardPart::TopRow, 50, 0)->hide();
  QPushButton* last = button(KeyboardPart::TopRow, 100, 0);
  button(KeyboardPart::ToolBar, 0, 40)->setEnabled(false);
  QPushButton* lower = button(KeyboardPart::SidePanel, 0, 120);
  QPushButton* upper = button(KeyboardPart::SidePanel, 0, 80);
  auto* view = new QLineEdit(&window);
  view->move(0, 200);
  CAcceleratorTable accelerators(&window, [view](PageCommand command) {
    if (command == PageCommand::Tab)
      view->setFocus();
  });
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  view->setFocus();

  const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    return QApplication::focusWidget();
  };
  QCOMPARE(press(Qt::Key_Right), view); // the view keeps its own keys
  QCOMPARE(press(Qt::Key_F6), first);
  QCOMPARE(press(Qt::Key_Right), last); // past the hidden one
  QCOMPARE(press(Qt::Key_Right), first);
  QCOMPARE(press(Qt::Key_Up), last);
  QCOMPARE(press(Qt::Key_Home), first);
  QCOMPARE(press(Qt::Key_F6), upper); // past the part with nothing to press, from the top
  QCOMPARE(press(Qt::Key_Down), lower);
  QCOMPARE(press(Qt::Key_F6), view);
  QCOMPARE(press(Qt::Key_F6, Qt::ShiftModifier), upper);
  QCOMPARE(press(Qt::Key_F6, Qt::ShiftModifier), first);
  QCOMPARE(press(Qt::Key_F6, Qt::ShiftModifier), view);

  QSignalSpy clicks(last, &QAbstractButton::clicked);
  last->setFocus(Qt::TabFocusReason);
  press(Qt::Key_Return);
  QCOMPARE(clicks.size(), 1);
  QTest::mouseClick(first, Qt::LeftButton);
  QCOMPARE(QApplication::focusWidget(), last); // a click leaves the keyboard where it was
}

void TestDeskhavenDlg::classChangeRebuildsThePages() {
  Setup s;
  s.classSchemes();
  s.pupilInClass("7B");
  CDeskhavenDlg& dlg = s.open();
  QCOMPARE(dlg.scheme().SchemeName, std::string("Seven"));
  QCOMPARE(dlg.currentClass(), QStringLiteral("7B"));
  QCOMPARE(dlg.currentPage(), 1);

  // The same class in other letters is no change, and neither is the machine's class,
  // which this mode does not read.
  s.setClass("7b");
  s.hives.setText(Root::LocalMachine, "Software\\Halvane\\Stowlet\\Plotbench", "Current Class",
                  "5A");
  dlg.onClassTimer();
  dlg.onClassTimer();
  QCOMPARE(controlLog().size(), 3);

  s.setClass("8C");
  dlg.onClassTimer();
  QCOMPARE(controlLog(),
           (QStringList{"made", "made", "made", "gone", "gone", "gone", "made", "made", "made"}));
  QCOMPARE(dlg.scheme().SchemeName, std::string("Eight"));
  QCOMPARE(s.button(1018)->text(), QStringLiteral("8C"));
  QCOMPARE(dlg.currentPage(), 3);
  for (int page = 1; page <= 3; ++page)
    QCOMPARE(s.received(page), commands({PageCommand::ClassChanged}));

  // The timer itself notices the next change within about a second.
  s.setClass("7B");
  QTRY_COMPARE_WITH_TIMEOUT(dlg.scheme().SchemeName, std::string("Seven"), 3000);
  QCOMPARE(dlg.currentPage(), 1);

  // A change while a set-up shows a box waits for that set-up to finish: no second set-up
  // runs inside the first and leaves its controls behind.
  writeScheme(s.hives, {.name = "Bare", .roots = 0});
  s.hives.setText(Root::LocalMachine, kClassSchemes, "9D", "Bare");
  NestedLoopBoxes nested;
  nested.whileOpen = [&s] { s.setClass("8C"); };
  s.setClass("9D");
  dlg.onClassTimer();
  QCOMPARE(s.titles(), QStringList{QStringLiteral("No Usable Roots")});
  QTRY_COMPARE_WITH_TIMEOUT(dlg.scheme().SchemeName, std::string("Eight"), 3000);
  QCOMPARE(controlLog().count("made") - controlLog().count("gone"), 3);
  QCOMPARE(dlg.findChildren<QWidget*>(QStringLiteral("id97")).size(), 1);
}

void TestDeskhavenDlg::classChangeWaitsForAPagesBoxOrMenu() {
  Setup s;
  s.classSchemes();
  s.pupilInClass("7B");
  CDeskhavenDlg& dlg = s.open();
  // A box or menu of a page runs its own event loop, timers included, over the page's
  // control, which a set-up would delete under it: the change is taken once it closes.
  for (const bool menu : {false, true}) {
    const std::string before = dlg.scheme().SchemeName;
    const QPointer<QWidget> control = dlg.pageControl(dlg.currentPage());
    QPointer<QWidget> open;
    if (menu)
      open = new QMenu(control);
    else
      open = new QMessageBox(QMessageBox::Question, QStringLiteral("Delete"), {}, QMessageBox::Ok,
                             control);
    bool keptWhileOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
      s.setClass(menu ? "7B" : "8C");
      QTest::qWait(2 * CDeskhavenDlg::kClassTimerMs + 200);
      keptWhileOpen = control && dlg.scheme().SchemeName == before;
      if (open)
        open->close();
    });
    if (menu)
      qobject_cast<QMenu*>(open)->exec(QPoint(10, 10));
    else
      qobject_cast<QMessageBox*>(open)->exec();
    QVERIFY(keptWhileOpen);
    QTRY_VERIFY_WITH_TIMEOUT(dlg.scheme().SchemeName != before, 3000);
    QVERIFY(!control);
  }
  // So does a long file operation, which handles events between its steps before its
  // progress window shows.
  struct Ticking final : dh::shellops::Progress {
    std::function<void()> during;
    void beginItem(const QString&, qint64) override {
      if (during)
        std::exchange(during, {})();
    }
    bool advance(qint64) override { return true; }
  } ticking;
  const std::string before = dlg.scheme().SchemeName;
  const QPointer<QWidget> control = dlg.pageControl(dlg.currentPage());
  bool keptDuring = false;
  ticking.during = [&] {
    s.setClass("8C");
    QTest::qWait(2 * CDeskhavenDlg::kClassTimerMs + 200);
    keptDuring = control && dlg.scheme().SchemeName == before;
  };
  const QTemporaryDir files;
  const QString source = files.filePath(QStringLiteral("copied.txt"));
  writeFile(source, "words");
  QDir(files.path()).mkdir(QStringLiteral("into"));
  dh::shellops::performFileOperation({.sources = {source},
                                      .destination = files.filePath(QStringLiteral("into")),
                                      .progress = &ticking});
  QVERIFY(QFile::exists(files.filePath(QStringLiteral("into/copied.txt"))));
  QVERIFY(keptDuring);
  QTRY_VERIFY_WITH_TIMEOUT(dlg.scheme().SchemeName != before, 3000);
  QVERIFY(!control);
  QCOMPARE(controlLog().count("made") - controlLog().count("gone"), 3);
}

void TestDeskhavenDlg::classButtonAndChangeClass() {
  Setup s;
  s.pupilInClass("Year 9 Geography Group A");
  CDeskhavenDlg& dlg = s.open();
  QCOMPARE(s.button(1018)->text(), QStringLiteral("Year 9 Geography ..."));
  QCOMPARE(static_cast<CButtonST*>(s.button(1018))->getHoverTip(),
           QStringLiteral("Year 9 Geography Group A"));
  QVERIFY(s.button(1018)->isVisible());
  QVERIFY(s.button(1001)->isVisible());
  QVERIFY(s.button(1018)->geometry().right() < s.button(1001)->geometry().left());

  // The machine's class (platform mode 5) cannot be changed by the pupil.
  s.hives.setDword(Root::LocalMachine, "Software\\Halvane\\Platform", "Mode", 5);
  s.hives.setText(Root::LocalMachine, "Software\\Halvane\\Stowlet\\Plotbench", "Current Class",
                  "5A");
  s.setClass("9Z"); // what the running mode polls
  dlg.onClassTimer();
  QCOMPARE(dlg.currentClass(), QStringLiteral("5A"));
  QVERIFY(s.button(1018)->isVisible());
  QVERIFY(!s.button(1001)->isVisible());
}

void TestDeskhavenDlg::fatalErrorEndsTheProgram() {
  TestHives hives; // no scheme at all
  dh::ui::MessageRecorder boxes;
  QList<int> exits;
  CDeskhavenDlg dlg([&exits](int code) { exits.append(code); });
  QCOMPARE(exits, QList<int>{1});
  QCOMPARE(boxes.events(), QStringList{"Fatal Error"});
}

void TestDeskhavenDlg::optionsMenuWritesBack() {
  Setup s;
  s.hives.setDword(Root::LocalMachine, kDefaults, "Silent", 1);
  s.hives.setDword(Root::LocalMachine, kDefaults, "ShortToolTips", 1);
  CDeskhavenDlg& dlg = s.open();
  COptionsMenu* menu = dlg.optionsMenu();
  QCOMPARE(menu->parent(), s.button(1000));
  QVERIFY(menu->isChecked(COptionsMenu::HelperOff) && !menu->isChecked(COptionsMenu::HelperOn));
  QVERIFY(menu->isChecked(COptionsMenu::ShortMessages) && menu->isChecked(COptionsMenu::Silent));
  QVERIFY(!dlg.speakingFlag());

  menu->item(COptionsMenu::LongMessages)->trigger();
  QCOMPARE(storedDefault("ShortToolTips"), std::optional<std::uint32_t>(0));
  QVERIFY(menu->isChecked(COptionsMenu::LongMessages));
  QVERIFY(!menu->isChecked(COptionsMenu::ShortMessages));

  // Silent toggles: from silent to speaking, and back.
  menu->item(COptionsMenu::Silent)->trigger();
  QCOMPARE(storedDefault("Silent"), std::optional<std::uint32_t>(0));
  QVERIFY(!menu->isChecked(COptionsMenu::Silent));
  QVERIFY(dlg.speakingFlag());
  menu->item(COptionsMenu::Silent)->trigger();
  QCOMPARE(storedDefault("Silent"), std::optional<std::uint32_t>(1));

  // Without a character the helper items still move their check marks.
  menu->item(COptionsMenu::HelperOn)->trigger();
  QVERIFY(menu->isChecked(COptionsMenu::HelperOn) && !menu->isChecked(COptionsMenu::HelperOff));

  // The loaded record is not changed; the next set-up takes the stored values.
  QCOMPARE(dlg.scheme().Defaults.Silent, 1);
  s.hives.setDword(Root::LocalMachine, kDefaults, "ShortToolTips", 1);
  s.pupilInClass("7B");
  dlg.onClassTimer();
  QVERIFY(menu->isChecked(COptionsMenu::ShortMessages));
  QVERIFY(menu->isChecked(COptionsMenu::HelperOff));
}

void TestDeskhavenDlg::pupilCannotWriteOptions() {
  Setup s;
  s.hives.shareReadOnly();
  s.hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Settings", "Deskhaven Run Dir",
                  "/");
  const int result = runUnprivileged([&s] {
    CDeskhavenDlg& dlg = s.open();
    if (dlg.pages()[0].IsOK != 1 || !s.boxes.boxes().isEmpty())
      return 1;
    // A refused write leaves the marks showing what is stored, which the helper obeys.
    dlg.optionsMenu()->item(COptionsMenu::ShortMessages)->trigger();
    dlg.optionsMenu()->item(COptionsMenu::Silent)->trigger();
    if (dlg.optionsMenu()->isChecked(COptionsMenu::ShortMessages) ||
        !dlg.optionsMenu()->isChecked(COptionsMenu::LongMessages) ||
        dlg.optionsMenu()->isChecked(COptionsMenu::Silent) || !dlg.speakingFlag())
      return 2;
    if (storedDefault("ShortToolTips") != 0u || storedDefault("Silent") != 0u)
      return 3;
    return 0;
  });
  QCOMPARE(result, 0);
}

void TestDeskhavenDlg::changeClassStartsTheSelector() {
  Setup s;
  s.pupilInClass("7B");
  const std::string settings = "Software\\Halvane\\Deskhaven\\Settings";
  s.hives.setText(Root::LocalMachine, settings, "Class Selector Executable Path",
                  QDir(s.hives.dir()).filePath("missing").toStdString());
  CDeskhavenDlg& dlg = s.open();
  QTest::mouseClick(s.button(1001), Qt::LeftButton);
  QCOMPARE(s.boxes.events(), (QStringList{"beep", "Class Selector Problem"}));
  QVERIFY(!dlg.isMinimized());

  // A selector that exists is started detached, and the window gets out of its way.
  const QString marker = QDir(s.hives.dir()).filePath("started");
  const QString selector = QDir(s.hives.dir()).filePath("selector.sh");
  QVERIFY(writeFile(selector, QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8(),
                    QFile::ReadOwner | QFile::ExeOwner));
  s.hives.setText(Root::LocalMachine, settings, "Class Selector Executable Path",
                  selector.toStdString());
  QTest::mouseClick(s.button(1001), Qt::LeftButton);
  QTRY_VERIFY(QFile::exists(marker));
  QVERIFY(dlg.isMinimized());
  QCOMPARE(s.boxes.boxes().size(), 1);
  // Closed without a new class, the selector leaves the window to be brought back by the
  // class timer, not stuck minimised.
  QTRY_VERIFY_WITH_TIMEOUT(!dlg.isMinimized(), 5000);
}

void TestDeskhavenDlg::runDirectoryIsRestored() {
  const QString before = QDir::currentPath();
  Setup s;
  QTemporaryDir run;
  s.hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Settings", "Deskhaven Run Dir",
                  run.path().toStdString());
  s.open();
  QCOMPARE(QDir::currentPath(), QDir(run.path()).canonicalPath());
  s.dialog.reset();
  QCOMPARE(QDir::currentPath(), before);

  // A run directory that does not exist leaves the current one.
  s.hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Settings", "Deskhaven Run Dir",
                  "/nonexistent/run");
  s.open();
  QCOMPARE(QDir::currentPath(), before);
}

void TestDeskhavenDlg::aboutBoxRestoreAndClose() {
  Setup s;
  CDeskhavenDlg& dlg = s.open();
  QTest::mouseClick(s.button(1017), Qt::LeftButton);
  QCOMPARE(s.boxes.events(), QStringList{"beep"});
  auto* about = dlg.findChild<CAboutDlg*>();
  QVERIFY(about && about->isVisible() && about->isModal());
  auto* engine = about->findChild<QLabel*>(QStringLiteral("engineLine"));
  QVERIFY(engine->text().startsWith(QStringLiteral("Includes the espeak-ng ")));
  QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
  QTRY_VERIFY(!dlg.findChild<CAboutDlg*>());

  QCOMPARE(engineLine(QStringLiteral("Pip"), QStringLiteral("1.51")),
           QStringLiteral("Includes the character Pip and the espeak-ng 1.51 speech engine"));

  // Restoring the window maximises it again.
  dlg.showNormal();
  QTRY_VERIFY(dlg.isMaximized());
  dlg.showMinimized();
  dlg.showMaximisedOverScreen();
  QVERIFY(dlg.isMaximized() && !dlg.isMinimized());

  // Closing asks to log off first.
  QSignalSpy closed(&dlg, &CDeskhavenDlg::closed);
  s.boxes.answerNext(dh::ui::Answer::No);
  QVERIFY(!dlg.close());
  QVERIFY(dlg.isVisible());
  QCOMPARE(closed.count(), 0);
  QCOMPARE(s.titles(), QStringList{"Log Off"});

  s.boxes.answerNext(dh::ui::Answer::Yes);
  QVERIFY(dlg.close());
  QCOMPARE(closed.count(), 1);
}

void TestDeskhavenDlg::largeFontsClipNoCaption() {
  struct LargeFont {
    LargeFont() {
      QFont large = before;
      large.setPointSizeF(before.pointSizeF() * 2);
      QApplication::setFont(large);
    }
    ~LargeFont() { QApplication::setFont(before); }
    const QFont before = QApplication::font();
  } large;
  Setup s;
  s.pupilInClass("7B");
  CDeskhavenDlg& dlg = s.open();
  dlg.resize(1920, 1080); // a screen with room for the whole row
  for (int id : {1003, 1004, 1005, 1018, 1001, 1000}) {
    const QPushButton* button = s.button(id);
    QVERIFY2(button->isVisible(), qPrintable(QString::number(id)));
    QVERIFY2(button->width() >= button->sizeHint().width() &&
                 button->height() >= button->sizeHint().height(),
             qPrintable(QString::number(id)));
  }
  QVERIFY(s.button(1003)->geometry().right() < s.button(1004)->x());
  QVERIFY(s.button(1004)->geometry().right() < s.button(1005)->x());
  QVERIFY(s.button(1005)->geometry().right() < s.button(1018)->x());
  QVERIFY(dlg.findChild<QWidget*>(QStringLiteral("id1009"))->y() >
          s.button(1003)->geometry().bottom());
}

QTEST_MAIN(TestDeskhavenDlg)
#include "tst_deskhavendlg.moc"
