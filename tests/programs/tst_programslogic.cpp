// The Programs page's rules that need no window: the sets of both places, set pictures
// and captions, the panel's history, launching.
#include "programs/applicationsmenu.h"
#include "programs/launcher.h"
#include "programs/programsetlist.h"
#include "programs/setcaption.h"
#include "programs/setpanel.h"

#include "common/settings.h"
#include "tests/support/testdir.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using namespace dh::programs;
using dh::reg::Root;

namespace {

// Writes a file, making its folder first.
bool put(const QString& path, const QByteArray& bytes) {
  return QDir().mkpath(QFileInfo(path).path()) && writeFile(path, bytes);
}

void writeEntry(const QString& path, const QByteArray& keys) {
  QVERIFY(put(path, "[Desktop Entry]\nType=Application\n" + keys + "\n"));
}

QStringList names(const std::vector<ProgramSet>& sets) {
  QStringList out;
  for (const ProgramSet& set : sets) {
    QStringList programs;
    for (const ProgramEntry& program : set.Programs)
      programs << program.DisplayName;
    out << set.Name + u':' + programs.join(u',');
  }
  return out;
}

} // namespace

class TestProgramsLogic : public QObject {
  Q_OBJECT

private slots:
  void overrideFolderGivesSetsOfFiles();
  void applicationsMenuGivesSetsByCategory();
  void captionsAndTips();
  void historyAndScrolling();
  void launchingStartsWithoutAShell();
};

void TestProgramsLogic::overrideFolderGivesSetsOfFiles() {
  TestHives hives;
  const QDir root(hives.dir());
  const QString sets = root.filePath(QStringLiteral("sets"));
  writeEntry(sets + "/Art/Paint.desktop", "Name=Ignored\nExec=sh -c true\nIcon=paint");
  QVERIFY(put(sets + "/Art/Word.Processor.txt", "x"));
  QVERIFY(put(sets + "/Art/Photos.lnk", shellLink((root.path() + "/gone/photos").toUtf8())));
  QVERIFY(put(sets + "/Art/.notes.txt", "x"));
  QVERIFY(QFile::link(sets + "/Art/Word.Processor.txt", sets + "/Art/Link"));
  QVERIFY(QFile::link(sets + "/gone", sets + "/Art/Dangling"));
  QVERIFY(root.mkpath(QStringLiteral("sets/Empty/Only a folder")));
  QVERIFY(put(sets + "/Maths & Science/Sum", "x"));
  // Set pictures: the default folder before the user's.
  const QString pictures = root.filePath(QStringLiteral("default")),
                mine = root.filePath(QStringLiteral("mine"));
  QVERIFY(put(pictures + "/Art.bmp", "BM") && put(mine + "/Art.bmp", "BM") &&
          put(mine + "/Maths & Science.bmp", "BM"));
  for (const auto& [name, folder] : {std::pair{dh::setting::kDefaultPictures, pictures},
                                     {dh::setting::kUserDefinedPictures, mine},
                                     {dh::setting::kProgramSetLocation, sets}})
    hives.setText(Root::LocalMachine, dh::kSettingsKey, name, folder.toStdString());

  ProgramSetList list;
  list.ReadPictureFolders();
  QCOMPARE(list.GetLocation(), sets);
  QVERIFY(list.LoadSets(sets));
  QCOMPARE(names(list.sets()),
           (QStringList{"Art:.notes,Link,Paint,Photos,Word", "Maths & Science:Sum"}));
  const std::vector<ProgramEntry>& art = list.sets()[0].Programs;
  QCOMPARE(art[1].FilePath, sets + "/Art/Word.Processor.txt"); // a symbolic link's target
  QVERIFY(art[2].FilePath.endsWith(QLatin1String("/sh")));     // a desktop entry's program
  QCOMPARE(art[2].Icon, QStringLiteral("paint"));
  QCOMPARE(art[3].FilePath, root.path() + "/gone/photos"); // listed though its target went
  QCOMPARE(art[4].FilePath, art[4].LinkPath);              // a plain file is started as itself
  QCOMPARE(list.sets()[0].Picture, pictures + "/Art.bmp");
  QCOMPARE(list.sets()[1].Picture, mine + "/Maths & Science.bmp");

  // A folder that has gone keeps the sets read before; a setting naming a folder that
  // cannot be read (a share not mounted yet, one closed to the pupil) gives no sets,
  // never the system's menu.
  QVERIFY(!list.LoadSets(root.filePath(QStringLiteral("none"))));
  QCOMPARE(list.sets().size(), size_t(2));
  hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kProgramSetLocation,
                root.filePath(QStringLiteral("none")).toStdString());
  ProgramSetList unmounted;
  QVERIFY(!unmounted.LoadSets(unmounted.GetLocation()) && unmounted.usesOverride());
  QVERIFY(unmounted.sets().empty());
  hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kProgramSetLocation,
                sets.toStdString());
  QVERIFY(QFile::setPermissions(sets, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  QVERIFY(chmod(QFile::encodeName(root.path()).constData(), 0755) == 0);
  QCOMPARE(runUnprivileged([] {
             ProgramSetList closed;
             return closed.LoadSets(closed.GetLocation()) || !closed.sets().empty() ? 1 : 0;
           }),
           0);
}

void TestProgramsLogic::applicationsMenuGivesSetsByCategory() {
  QTemporaryDir dirs;
  const QString user = dirs.filePath(QStringLiteral("user")),
                system = dirs.filePath(QStringLiteral("system"));
  qputenv("XDG_CURRENT_DESKTOP", "Deskhaven");
  writeEntry(system + "/applications/paint.desktop",
             "Name=Old Paint\nExec=sh\nCategories=Graphics;");
  writeEntry(user + "/applications/paint.desktop", "Name=Paint\nExec=sh\nCategories=Graphics;");
  writeEntry(system + "/applications/kde/sums.desktop",
             "Name=Sums\nExec=sh\nCategories=Qt;Education;Math;");
  writeEntry(system + "/applications/misc.desktop", "Name=Misc\nExec=sh %U");
  writeEntry(user + "/applications/hidden.desktop", "Hidden=true");
  writeEntry(system + "/applications/hidden.desktop", "Name=Hidden\nExec=sh");
  writeEntry(system + "/applications/nodisplay.desktop", "Name=N\nExec=sh\nNoDisplay=true");
  writeEntry(system + "/applications/only.desktop", "Name=O\nExec=sh\nOnlyShowIn=Other;");
  writeEntry(system + "/applications/not.desktop", "Name=T\nExec=sh\nNotShowIn=Deskhaven;");
  writeEntry(system + "/applications/tryexec.desktop",
             "Name=E\nExec=sh\nTryExec=no-such-program-x");
  writeEntry(system + "/applications/missing.desktop", "Name=M\nExec=/no/such/program");
  writeEntry(system + "/applications/malformed.desktop", "Name=B\nExec=sh \"open");
  writeEntry(system + "/applications/console.desktop", "Name=C\nExec=sh\nTerminal=true");
  QCOMPARE(names(readApplicationsMenu({user, system})),
           (QStringList{"Education:Sums", "Graphics:Paint", "Other:Misc"}));
  // The user's own folder is read only when the machine's settings allow it.
  TestHives hives;
  qputenv("XDG_DATA_HOME", QFile::encodeName(user));
  qputenv("XDG_DATA_DIRS", QFile::encodeName(system));
  QCOMPARE(dataFolders(), QStringList{system});
  hives.setDword(Root::LocalMachine, dh::kSettingsKey, dh::setting::kUserDesktopEntries, 1);
  QCOMPARE(dataFolders(), (QStringList{user, system}));
}

void TestProgramsLogic::captionsAndTips() {
  QCOMPARE(setButtonCaption(QStringLiteral("Maths & Science")), QStringLiteral("Maths && Science"));
  QCOMPARE(setButtonTip(QStringLiteral("Maths & Science")), QStringLiteral("Maths +& Science"));
  QCOMPARE(setButtonCaption(QString(30, u'x')), QString(30, u'x'));
  // A cut never splits a doubled ampersand.
  QCOMPARE(setButtonCaption(QString(13, u'x') + "&" + QString(20, u'y')),
           QString(13, u'x') + "&&" + QString(12, u'y') + "...");
  QCOMPARE(setButtonCaption(QString(26, u'x') + "&yyyy"), QString(26, u'x') + "...");
}

void TestProgramsLogic::historyAndScrolling() {
  SetPanel panel;
  // Nine sets with room for seven: scrolling twice shows sets 2 to 8, and the current set
  // 0 is then on no button.
  panel.reset(9, 7 * 80 + 79, 80);
  QVERIFY(panel.scrollDown() && panel.scrollDown());
  QCOMPARE(panel.setOfButton(0), 2);
  QCOMPARE(panel.checkedButton(), std::nullopt);
  QCOMPARE(panel.choose(6), 8);
  QCOMPARE(panel.checkedButton(), 6);
  QCOMPARE(panel.choose(6), std::nullopt); // the set already shown: no history entry
  QCOMPARE(panel.history(), (std::vector<int>{0, 8}));

  // Sets 1, 2, 3, Back twice, then set 4: the history is 0, 1, 4 and Forward is off.
  panel.reset(9, 7 * 80, 80);
  panel.choose(1), panel.choose(2), panel.choose(3);
  QCOMPARE(panel.back(), 2);
  QCOMPARE(panel.back(), 1);
  QVERIFY(panel.canGoForward());
  QCOMPARE(panel.forward(), 2);
  QCOMPARE(panel.back(), 1);
  QCOMPARE(panel.choose(4), 4);
  QCOMPARE(panel.history(), (std::vector<int>{0, 1, 4}));
  QVERIFY(!panel.canGoForward() && panel.forward() == std::nullopt);
  QCOMPARE(panel.back(), 1);
  QCOMPARE(panel.back(), 0);
  QVERIFY(!panel.canGoBack() && panel.back() == std::nullopt);

  // A smaller panel keeps the current set and the history; a hidden button does nothing.
  panel.fit(2 * 80, 80);
  QCOMPARE(panel.choose(2), std::nullopt);
  QCOMPARE(panel.history().size(), size_t(3));
}

void TestProgramsLogic::launchingStartsWithoutAShell() {
  QTemporaryDir dir;
  const QString record = dir.filePath(QStringLiteral("record")),
                stand = dir.filePath(QStringLiteral("stand-in"));
  QVERIFY(writeFile(
      stand,
      "#!/bin/sh\npwd > \"$0.out\"\nfor a in \"$@\"; do echo \"[$a]\" >> \"$0.out\"; done\n"
      "mv \"$0.out\" " +
          record.toUtf8() + "\n",
      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("work")));
  const QString entry = dir.filePath(QStringLiteral("Stand In.desktop"));
  writeEntry(entry, "Name=Stand In\nPath=" + dir.filePath("work").toUtf8() + "\nExec=\"" +
                        stand.toUtf8() + "\" \"two words\" \"$(touch x);\" %f %c");
  QVERIFY(QFile::link(entry, dir.filePath(QStringLiteral("link"))));
  QVERIFY(launchProgram(dir.filePath(QStringLiteral("link"))));
  QTRY_VERIFY(QFile::exists(record));
  QCOMPARE(QString::fromUtf8(fileBytes(record)).split(u'\n', Qt::SkipEmptyParts),
           (QStringList{dir.filePath("work"), "[two words]", "[$(touch x);]", "[Stand In]"}));
  QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("work/x"))));

  writeEntry(entry, "Name=Gone\nExec=no-such-program-x");
  QVERIFY(!launchProgram(entry));
  // A file that is no program opens with the system's application for its type, never
  // one from the user's own folder.
  QFile::remove(record);
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
  // The system's own folders stay: the types are known from there.
  qputenv("XDG_DATA_DIRS",
          QFile::encodeName(dir.filePath(QStringLiteral("system"))) + ":/usr/share");
  writeEntry(dir.filePath(QStringLiteral("home/applications/mine.desktop")),
             "Name=Mine\nMimeType=text/plain;\nExec=touch " + dir.filePath("mine").toUtf8());
  writeEntry(dir.filePath(QStringLiteral("system/applications/reader.desktop")),
             "Name=Reader\nMimeType=text/plain;\nExec=\"" + stand.toUtf8() + "\" %f");
  const QString notes = dir.filePath(QStringLiteral("notes.txt"));
  QVERIFY(put(notes, "words"));
  QVERIFY(launchProgram(notes));
  QTRY_VERIFY(QFile::exists(record));
  QVERIFY(fileBytes(record).contains("[" + notes.toUtf8() + "]"));
  QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("mine"))));

  // No terminal to run it in: refused, and the stand-in never runs.
  QFile::remove(record);
  writeEntry(entry, "Name=Console\nTerminal=true\nExec=\"" + stand.toUtf8() + "\"");
  QVERIFY(!launchProgram(entry));
  QTest::qWait(100);
  QVERIFY(!QFile::exists(record));
  QVERIFY(!launchProgram(dir.filePath(QStringLiteral("missing.desktop"))));
}

QTEST_GUILESS_MAIN(TestProgramsLogic)
#include "tst_programslogic.moc"
