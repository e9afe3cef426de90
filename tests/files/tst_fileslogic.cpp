// The My Files rules that need no window: what a folder lists and how, captions, sorting,
// the menus, the history, the depth limits and the confinement to the roots.
#include "common/settings.h"
#include "files/contextmenu.h"
#include "files/model/folderlisting.h"
#include "files/model/foldernavigator.h"
#include "files/model/foldershortcut.h"
#include "files/model/navigationhistory.h"
#include "files/views/folderitemsmodel.h"
#include "files/views/itemdrag.h"
#include "platform/desktop/shelllink.h"
#include "tests/support/testdir.h"
#include "tests/support/testhives.h"

#include <QFileInfo>
#include <fcntl.h>
#include <grp.h>

#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace dh::files;

namespace {

dh::RootFolder makeRoot(const TestDir& dir, const QString& folder, int levels,
                        const char* name = "Root") {
  dh::RootFolder root;
  root.RootDisplayName = name;
  root.RootPath = dir.bytes(folder);
  root.FolderLevels = levels;
  return root;
}

QStringList namesIn(const std::vector<ItemRecord>& items) {
  QStringList names;
  for (const ItemRecord& item : items)
    names << displayName(item);
  return names;
}

} // namespace

class TestFilesLogic : public QObject {
  Q_OBJECT

private slots:
  void listingShowsWhatAPupilMaySee();
  void sizesDatesAndCaptions();
  void sortingByEachColumn();
  void refreshKeepsUnchangedItems();
  void programsAreNeverHandedOn();
  void menusOfferWhatIsAvailable();
  void draggingScrollsFasterPastTheEdges();
  void historyDropsForwardStepsOnANewVisit();
  void depthStopsAtTheLimitAlsoForTheHistory();
  void nestedRootsStopUpAndReachTheirFolders();
  void shortcutsAnAdministratorMadeLeadOut();
  void linksAPupilMadeNeverLeadOut();
};

void TestFilesLogic::listingShowsWhatAPupilMaySee() {
  TestDir dir;
  dir.file("r/c.txt");
  dir.file("r/a.txt");
  dir.file("r/B.txt");
  dir.folder("r/Docs.old");
  dir.file("r/.profile");
  dir.file("r/notes.tar.gz");
  dir.file(QStringLiteral("r/line\nbreak.txt"));
  QVERIFY(mkfifo(dir.bytes("r/pipe").c_str(), 0600) == 0);
  const std::string odd = dir.bytes("r") + "/odd\xff.txt";
  FILE* raw = fopen(odd.c_str(), "w");
  QVERIFY(raw);
  fclose(raw);

  FolderNavigator navigator;
  navigator.setRoots(OpenRoots::of({makeRoot(dir, "r", 1)}));
  QVERIFY(navigator.openRoot(0));
  const std::vector<ItemRecord> items = listFolder(navigator);
  // Name order without regard to case; files without their last extension, a folder
  // whole; hidden entries and devices left out; odd characters shown, not obeyed.
  QCOMPARE(namesIn(items),
           QStringList({"a", "B", "c", "Docs.old", QStringLiteral("line\uFFFDbreak"), "notes.tar",
                        QStringLiteral("odd\uFFFD")}));
  // The path keeps the name's own bytes.
  QCOMPARE(items[6].fullPath, odd);
  QCOMPARE(items[3].typeName, QStringLiteral("Folder"));
  QCOMPARE(items[0].typeName, QStringLiteral("Plain text document"));
  unlink(odd.c_str()); // a name the temporary folder's clean-up cannot spell
}

void TestFilesLogic::sizesDatesAndCaptions() {
  QCOMPARE(sizeInKb(0), 0u);
  QCOMPARE(sizeInKb(999), 1u);
  QCOMPARE(sizeInKb(1000), 0u);
  QCOMPARE(sizeInKb(2048), 2u);
  QCOMPARE(sizeInKb(6ull << 32), (6ull << 32) / 1024); // no wrap above 4 GB

  const QDateTime when(QDate(2006, 3, 5), QTime(9, 4, 0));
  QCOMPARE(dateText(when.toSecsSinceEpoch()), QStringLiteral("05 March 2006, 09:04:00"));

  ItemRecord item{"/r/abcdefghijklmnopqrstuvwxyz0123.txt",
                  "abcdefghijklmnopqrstuvwxyz0123.txt",
                  false,
                  2,
                  when.toSecsSinceEpoch(),
                  "Plain text document",
                  "text/plain"};
  QCOMPARE(selectionCaption({&item}, "folder"),
           QStringLiteral("Current File: abcdefghijklmnopqrstuv...      Size: 2 Kb      Type: "
                          "Plain text document      Last Modified on: 5\\3\\2006 at 09:04:00"));
  QCOMPARE(selectionCaption({&item, &item, &item}, "folder"), QStringLiteral("3 Objects Selected"));
  QCOMPARE(selectionCaption({}, "folder"), QStringLiteral("folder"));

  QVERIFY(!printAllowed("run.bat", ".exe.bat"));
  QVERIFY(printAllowed("notes.txt", ".exe.bat"));
  QVERIFY(printAllowed("notes.txt", ""));
}

void TestFilesLogic::sortingByEachColumn() {
  std::vector<ItemRecord> items = {{"/z", "zeta.txt", false, 10, 300, "b", ""},
                                   {"/a", "Alpha.txt", false, 0, 100, "A", ""},
                                   {"/m", "mid.txt", false, 2, 200, "c", ""}};
  sortItems(items, SortKey::Size, true);
  QCOMPARE(namesIn(items), QStringList({"Alpha", "mid", "zeta"}));
  sortItems(items, SortKey::Name, false);
  QCOMPARE(namesIn(items), QStringList({"zeta", "mid", "Alpha"}));
  sortItems(items, SortKey::Type, true);
  QCOMPARE(namesIn(items), QStringList({"Alpha", "zeta", "mid"}));
  sortItems(items, SortKey::Date, false);
  QCOMPARE(namesIn(items), QStringList({"zeta", "mid", "Alpha"}));
}

void TestFilesLogic::refreshKeepsUnchangedItems() {
  FolderItemsModel model;
  model.setItems({{"/r/a", "a", false, 1, 1, "", ""},
                  {"/r/b", "b", false, 1, 1, "", ""},
                  {"/r/c", "c", false, 1, 1, "", ""}});
  model.sortBy(SortKey::Name, false);
  // b changed, c vanished, d is new: d joins in the order on show.
  model.merge({{"/r/a", "a", false, 1, 1, "", ""},
               {"/r/b", "b", false, 1, 2, "", ""},
               {"/r/d", "d", false, 1, 1, "", ""}});
  QCOMPARE(namesIn(model.items()), QStringList({"d", "b", "a"}));
  QCOMPARE(model.item(1).lastWrite, 2);
}

void TestFilesLogic::programsAreNeverHandedOn() {
  TestDir dir;
  const auto program = [&](const QString& path) {
    const dh::confine::Descriptor file(open(QFile::encodeName(path).constData(), O_RDONLY));
    return isProgram(file, QFileInfo(path).fileName().toStdString());
  };
  QVERIFY(!program(dir.file("notes.txt", "plain words\n")));
  QVERIFY(program(dir.file("run.sh", "#!/bin/sh\necho hi\n")));
  QVERIFY(program(dir.file("start.desktop", "[Desktop Entry]\nExec=xterm\n")));
  QVERIFY(program(dir.file("elf", QByteArray("\x7f"
                                             "ELF\x02\x01\x01",
                                             7))));
  const QString bit = dir.file("tool.txt", "words");
  QFile(bit).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
  QVERIFY(program(bit));
  QVERIFY(program(dir.path("gone.txt")));
  // Where the bit means nothing (a school share, a stick), content and type decide.
  QVERIFY(keepsModes(0xef53) && !keepsModes(0x4d44) && !keepsModes(0xff534d42));
  QVERIFY(program(dir.file("notes2.txt", QByteArray("\x7f"
                                                    "ELF\x02\x01\x01",
                                                    7))));
  QVERIFY(program(dir.file("setup.txt", "MZ\x90")));
}

void TestFilesLogic::historyDropsForwardStepsOnANewVisit() {
  NavigationHistory history;
  history.start("A", 0);
  history.record("B", 0);
  history.record("C", 1);
  history.record("C", 1); // the same folder twice: one entry
  QCOMPARE(history.entries().size(), 3u);
  QCOMPARE(history.back()->folder, "B");
  QCOMPARE(history.back()->folder, "A");
  QVERIFY(!history.back() && !history.canGoBack());
  history.record("D", 0);
  QCOMPARE(history.entries().size(), 2u);
  QCOMPARE(history.entries()[1].folder, "D");
  QCOMPARE(history.position(), 2);
  QVERIFY(!history.canGoForward());
  // Back, then the folder that was last again: a step of its own, so Back works.
  history.back();
  history.record("D", 0);
  QCOMPARE(history.position(), 2);
  QVERIFY(history.canGoBack());
}

void TestFilesLogic::depthStopsAtTheLimitAlsoForTheHistory() {
  TestDir dir;
  dir.folder("r/1/2/3");
  dir.folder("other");
  dir.folder("none/1");
  dir.folder("free/1");
  FolderNavigator navigator;
  navigator.setRoots(
      OpenRoots::of({makeRoot(dir, "r", 2), makeRoot(dir, "none", 0), makeRoot(dir, "free", -1)}));
  QVERIFY(navigator.openRoot(0));
  QVERIFY(navigator.enter("1") && navigator.enter("2"));
  QCOMPARE(navigator.depth(), 2);
  QVERIFY(!navigator.enter("3"));
  QVERIFY(navigator.goUp());
  QCOMPARE(navigator.depth(), 1);
  QVERIFY(navigator.openRoot(1));
  QVERIFY(!navigator.enter("1"));
  QVERIFY(navigator.openRoot(2));
  QCOMPARE(navigator.limit(), OpenRoots::kUnlimitedLevels);
  // Names that are not entries of the folder lead nowhere.
  for (const char* name : {"..", ".", "1/..", ""})
    QVERIFY(!navigator.enter(name));

  // The history returns only where a pupil may be, the depth counted afresh from the path
  // below the root.
  navigator.setRoots(OpenRoots::of({makeRoot(dir, "r", 2), makeRoot(dir, "gone", 2)}));
  QCOMPARE(navigator.roots().size(), 1u); // a root that cannot be read is dropped
  QVERIFY(navigator.goTo(dir.bytes("r/1/2"), 0));
  QCOMPARE(navigator.depth(), 2);
  QVERIFY(!navigator.goTo(dir.bytes("r/1/2/3"), 0)); // below the limit
  QVERIFY(!navigator.goTo(dir.bytes("other"), 0));   // outside the root
  QVERIFY(!navigator.goTo(dir.bytes("r/1/../../other"), 0));
  QVERIFY(!navigator.goTo(dir.bytes("r/1"), 1)); // no such root
  QDir(dir.path("r/1")).removeRecursively();
  QVERIFY(!navigator.goTo(dir.bytes("r/1"), 0));    // vanished
  QCOMPARE(navigator.folder(), dir.bytes("r/1/2")); // nothing changed
}

void TestFilesLogic::nestedRootsStopUpAndReachTheirFolders() {
  TestDir dir;
  dir.folder("a/b/c");
  FolderNavigator navigator;
  // The second root lies inside the first.
  navigator.setRoots(OpenRoots::of({makeRoot(dir, "a", 5), makeRoot(dir, "a/b/", 5)}));
  QVERIFY(navigator.openRoot(0));
  QVERIFY(!navigator.canGoUp());
  QVERIFY(navigator.enter("b"));
  QVERIFY(!navigator.canGoUp()); // another root's folder
  QVERIFY(navigator.enter("c"));
  QVERIFY(navigator.canGoUp() && navigator.goUp());
  QCOMPARE(navigator.folder(), dir.bytes("a/b"));
  // The first root that holds a folder within its limit answers for it.
  FolderNavigator reaching;
  reaching.setRoots(OpenRoots::of({makeRoot(dir, "a", 1), makeRoot(dir, "a/b/", 5)}));
  QVERIFY(reaching.reach(dir.bytes("a/b")));
  QCOMPARE(reaching.currentRoot(), 0);
  QVERIFY(reaching.reach(dir.bytes("a/b/c/")));
  QCOMPARE(reaching.currentRoot(), 1);
  QCOMPARE(reaching.depth(), 1);
  QVERIFY(!reaching.reach(dir.bytes()));
  QCOMPARE(reaching.folder(), dir.bytes("a/b/c"));
}

void TestFilesLogic::shortcutsAnAdministratorMadeLeadOut() {
  TestDir dir;
  dir.folder("r/in");
  dir.file("shared/sheet.txt");
  dir.folder("shared/deeper");
  dir.link("r/in/Shared", "shared");
  dir.giveAway("r/in/Shared");
  dir.folderShortcut("r/Library", "shared");
  for (const char* made : {"r/Library", "r/Library/Target.lnk", "r/Library/Desktop.ini"})
    dir.giveAway(made);
  QCOMPARE(dh::desktop::readShellLink(dir.bytes("r/Library/Target.lnk")), dir.bytes("shared"));
  // The other account's group is the administrators' group.
  TestHives hives;
  struct stat owner {};
  QVERIFY(lstat(dir.bytes("r/Library").c_str(), &owner) == 0 && getgrgid(owner.st_gid));
  hives.setText(dh::reg::Root::LocalMachine, dh::kSettingsKey, dh::setting::kAdministratorsGroup,
                getgrgid(owner.st_gid)->gr_name);

  FolderNavigator navigator;
  navigator.setRoots(OpenRoots::of({makeRoot(dir, "r", 3)}));
  QVERIFY(navigator.openRoot(0));
  QVERIFY(navigator.enter("Library"));
  QCOMPARE(navigator.folder(), canonical(dir.bytes("shared")));
  QCOMPARE(navigator.depth(), 1);
  QVERIFY(navigator.enter("deeper"));
  // Up climbs to the target and from there back into the root, never above the target.
  QVERIFY(navigator.goUp() && navigator.goUp());
  QCOMPARE(navigator.folder(), dir.bytes("r"));

  QVERIFY(navigator.enter("in"));
  QCOMPARE(navigator.classify("Shared"), FolderNavigator::EntryKind::Folder);
  QVERIFY(navigator.enter("Shared"));
  const std::string target = navigator.folder();
  QVERIFY(navigator.inShortcut());
  QCOMPARE(navigator.classify("sheet.txt"), FolderNavigator::EntryKind::File);
  // The history can return to a target visited before.
  QVERIFY(navigator.openRoot(0));
  QVERIFY(navigator.goTo(target + "/deeper", 0));
  QCOMPARE(navigator.depth(), 3);
}

void TestFilesLogic::linksAPupilMadeNeverLeadOut() {
  TestDir dir;
  dir.folder("r/sub");
  dir.file("secret/key.txt");
  dir.link("r/Escape", "secret");
  dir.link("r/key.txt", "secret/key.txt");
  dir.link("r/Inside", "r/sub");
  dir.folderShortcut("r/Fake", "secret");
  dir.giveToPupil();

  QCOMPARE(runUnprivileged([&] {
             FolderNavigator navigator;
             navigator.setRoots(OpenRoots::of({makeRoot(dir, "r", 3)}));
             int failures = navigator.openRoot(0) ? 0 : 1;
             const auto expect = [&](bool ok) { failures += ok ? 0 : 1; };
             expect(namesIn(listFolder(navigator)) == QStringList({"Fake", "Inside", "sub"}));
             expect(!navigator.enter("Escape"));
             expect(navigator.classify("key.txt") == FolderNavigator::EntryKind::Hidden);
             // A link within the root is a folder like any other.
             expect(navigator.enter("Inside") && navigator.goUp());
             // A shortcut folder the pupil made is only a folder.
             expect(navigator.enter("Fake") && navigator.folder() == dir.bytes("r/Fake"));
             return failures;
           }),
           0);
}

void TestFilesLogic::menusOfferWhatIsAvailable() {
  // The full menus are the control's (its tests open them). Nothing available: a file still opens,
  // a folder or empty space has no menu.
  QCOMPARE(listMenu(MenuTarget::File, {}), std::vector<int>({kMenuOpen}));
  QVERIFY(listMenu(MenuTarget::Folder, {}).empty());
  QVERIFY(listMenu(MenuTarget::Nothing, {}).empty());
  // Separators only ever stand between commands.
  QCOMPARE(listMenu(MenuTarget::File, {.del = true}),
           std::vector<int>({kMenuOpen, kMenuSeparator, kMenuDelete}));
  QCOMPARE(listMenu(MenuTarget::Folder, {.paste = true, .newFolder = true}),
           std::vector<int>({kMenuPaste, kMenuSeparator, kMenuNewFolder}));
  QCOMPARE(listMenu(MenuTarget::Nothing, {.newFolder = true}), std::vector<int>({kMenuNewFolder}));
}

void TestFilesLogic::draggingScrollsFasterPastTheEdges() {
  const auto steps = [](int y) {
    int moved = 0;
    for (int tick = 1; tick <= 12; ++tick)
      moved += autoScrollStep(y, 200, tick);
    return moved;
  };
  QCOMPARE(steps(100), 0);
  QCOMPARE(steps(5), -2); // within the edge zone: every sixth tick
  QCOMPARE(steps(195), 2);
  QCOMPARE(steps(-45), -3); // 55 pixels past the line: every fourth tick
  QCOMPARE(steps(400), 12); // far below: every tick
}

QTEST_GUILESS_MAIN(TestFilesLogic)
#include "tst_fileslogic.moc"
