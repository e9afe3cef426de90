// My Files against a pupil who also runs other programs: folders swapped for links out of
// the root after they were shown and while commands run, shortcuts made by classmates,
// files of types that run code. Nothing outside a root may change.
#include "common/settings.h"
#include "files/filecommands.h"
#include "files/model/folderlisting.h"
#include "files/views/filelauncher.h"
#include "platform/confine/confinedroot.h"
#include "platform/shellops/fileoperation.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/testdir.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <grp.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace dh::files;

namespace {

// Every path below folder with its contents: what a test checks has not changed.
QMap<QString, QByteArray> snapshot(const QString& folder) {
  QMap<QString, QByteArray> found;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    found[path] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<folder>");
  }
  return found;
}

// The files below folder, reached without following a link, that hold text.
QStringList holding(const QString& folder, const QByteArray& text) {
  QStringList found;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile file(it.next());
    if (!it.fileInfo().isSymLink() && file.open(QIODevice::ReadOnly) && file.readAll() == text)
      found << file.fileName();
  }
  return found;
}

QStringList titles(const dh::ui::MessageRecorder& recorder) {
  QStringList titles;
  for (const dh::ui::MessageBox& box : recorder.boxes())
    titles << box.title;
  return titles;
}

FolderNavigator navigator(const TestDir& dir, int levels = 3) {
  dh::RootFolder root;
  root.RootPath = dir.bytes("r");
  root.FolderLevels = levels;
  FolderNavigator place;
  place.setRoots(OpenRoots::of({root}));
  place.openRoot(0);
  return place;
}

bool renamePath(const QString& from, const QString& to) {
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// What another program of the pupil's does: the folder on show moves aside and a link to
// a folder outside the root takes its name.
void swapForLink(TestDir& dir, const QString& folder, const QString& outside) {
  QVERIFY(renamePath(dir.path(folder), dir.path(folder + ".real")));
  dir.link(folder, outside);
}

} // namespace

class TestHostilePupil : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void folderSwappedAfterItWasShownLeadsNowhere();
  void folderSwappedWhileCommandsRunLeadsNowhere();
  void subFolderSwappedDuringRecursiveWorkLeadsNowhere();
  void depthIsCountedFromRealFolders();
  void shortcutsLeadOutOnlyWhenAnAdministratorMadeThem();
  void filesThatRunCodeAreNeverOpened();

private:
  std::unique_ptr<TestDir> dir_;
  std::unique_ptr<QTemporaryDir> data_;
  std::unique_ptr<dh::ui::MessageRecorder> recorder_;
};

void TestHostilePupil::init() {
  dir_ = std::make_unique<TestDir>();
  data_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_DATA_HOME", QFile::encodeName(data_->path())); // the trash
  recorder_ = std::make_unique<dh::ui::MessageRecorder>();
  dir_->file("r/Maths/sum.txt", "1+1");
  dir_->file("r/Art/picture.txt", "drawn");
  dir_->file("elsewhere/precious.txt", "staff only");
  dir_->folder("elsewhere/Maths");
}

void TestHostilePupil::cleanup() {
  recorder_.reset();
  data_.reset();
  dir_.reset();
}

void TestHostilePupil::folderSwappedAfterItWasShownLeadsNowhere() {
  FolderNavigator maths = navigator(*dir_);
  QVERIFY(maths.enter("Maths"));
  const std::vector<ItemRecord> shown = listFolder(maths);
  QCOMPARE(shown.size(), 1u);
  FolderNavigator art = navigator(*dir_);
  QVERIFY(art.enter("Art"));
  const std::vector<ItemRecord> picture = listFolder(art);
  swapForLink(*dir_, "r/Maths", "elsewhere");
  const auto outside = snapshot(dir_->path("elsewhere"));

  // Every command in the swapped folder stops and says so; nothing outside changes.
  FileCommands commands(nullptr, 0);
  commands.Copy(picture);
  commands.Paste(maths, {});
  commands.Rename(maths, shown);
  commands.NewFolder(maths, {});
  recorder_->answerNext(dh::ui::Answer::Yes);
  commands.Delete(maths, shown);
  QVERIFY(!commands.drop(dir_->path("r/Art/picture.txt"), maths, true));
  openFile(nullptr, maths, "precious.txt");
  QCOMPARE(titles(*recorder_), QStringList({"Folder Changed", "Folder Changed", "Folder Changed",
                                            "Delete", "Folder Changed", "Folder Changed"}));
  QCOMPARE(snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(commands.undoStack().empty());

  // An item of the swapped folder cut earlier is not taken from outside either.
  commands.Cut(shown);
  commands.Paste(art, {});
  QCOMPARE(snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(QFile::exists(dir_->path("r/Maths.real/sum.txt")));
  QVERIFY(!QFile::exists(dir_->path("r/Art/sum.txt")));
}

void TestHostilePupil::folderSwappedWhileCommandsRunLeadsNowhere() {
  FolderNavigator maths = navigator(*dir_);
  QVERIFY(maths.enter("Maths"));
  FolderNavigator art = navigator(*dir_);
  QVERIFY(art.enter("Art"));
  const auto outside = snapshot(dir_->path("elsewhere"));
  const QString folder = dir_->path("r/Maths"), aside = dir_->path("r/Maths.real");
  const QByteArray link = QFile::encodeName(folder);
  const QByteArray target = QFile::encodeName(dir_->path("elsewhere"));

  // A second thread swaps the folder for a link out of the root and back, as fast as it
  // can, while the commands run in it over and over.
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    while (!stop) {
      renamePath(folder, aside);
      symlink(target.constData(), link.constData());
      unlink(link.constData());
      renamePath(aside, folder);
    }
  });
  FileCommands commands(nullptr, 0);
  for (int round = 0; round < 300; ++round) {
    commands.Copy(listFolder(art));
    commands.Paste(maths, {});
    const dh::confine::Descriptor held = maths.openFolder();
    if (held.valid())
      dh::confine::makeFolder(held, "made" + std::to_string(round));
    std::vector<ItemRecord> copies;
    for (const ItemRecord& item : listFolder(maths))
      if (item.name != "sum.txt")
        copies.push_back(item);
    if (!copies.empty())
      recorder_->answerNext(dh::ui::Answer::Yes);
    commands.Delete(maths, copies);
  }
  stop = true;
  swapper.join();
  QCOMPARE(snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(titles(*recorder_).contains("Folder Changed"));
}

void TestHostilePupil::subFolderSwappedDuringRecursiveWorkLeadsNowhere() {
  // A folder is copied or deleted whole while a second thread swaps a folder inside it for
  // a link out of the root, to a folder holding a file of the same name.
  FolderNavigator top = navigator(*dir_);
  FolderNavigator art = navigator(*dir_);
  QVERIFY(art.enter("Art"));
  const auto outside = snapshot(dir_->path("elsewhere"));
  const QByteArray target = QFile::encodeName(dir_->path("elsewhere"));
  std::atomic<int> current = -1;
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    while (!stop) {
      const QString inner = dir_->path(QStringLiteral("r/Work%1/inner").arg(current.load()));
      const QByteArray link = QFile::encodeName(inner);
      renamePath(inner, inner + ".real");
      symlink(target.constData(), link.constData());
      unlink(link.constData());
      renamePath(inner + ".real", inner);
    }
  });
  FileCommands commands(nullptr, 0);
  for (int round = 0; round < 400; ++round) {
    const QString work = QStringLiteral("Work%1").arg(round);
    for (int i = 0; i < 8; ++i)
      dir_->file(QStringLiteral("r/%1/inner/%2/precious.txt").arg(work).arg(i), "the pupil's");
    dir_->file("r/" + work + "/inner/precious.txt", "the pupil's");
    current = round;
    if (round % 2 == 0) {
      for (const ItemRecord& item : listFolder(top))
        if (item.name == work.toStdString())
          commands.Copy({item});
      commands.Paste(art, {});
      renamePath(dir_->path("r/Art/" + work), dir_->folder("copies/" + work));
    } else { // removed outright, entry by entry, as an item replaced without undo is
      const dh::confine::Descriptor held = top.openFolder();
      const std::string path = held.procPath(work.toStdString());
      dh::shellops::Request remove{.function = dh::shellops::Function::Delete,
                                   .sources = {QFile::decodeName(path.c_str())}};
      dh::shellops::performFileOperation(remove);
    }
  }
  stop = true;
  swapper.join();
  QCOMPARE(holding(dir_->path("r"), "staff only") + holding(dir_->path("copies"), "staff only"),
           QStringList());
  QCOMPARE(snapshot(dir_->path("elsewhere")), outside);
}

void TestHostilePupil::depthIsCountedFromRealFolders() {
  // A link inside the root to a deep folder, and the history's spelling of it: neither
  // shows anything below the limit, nor anything by a path through a link.
  dir_->folder("r/a/b/c/d");
  dir_->link("r/Short", "r/a/b/c");
  FolderNavigator place = navigator(*dir_, 2);
  QVERIFY(!place.goTo(dir_->bytes("r/Short"), 0));
  QVERIFY(!place.goTo(dir_->bytes("r/Short/d"), 0));
  QVERIFY(!place.goTo(dir_->bytes("r/a/../a/b"), 0));
  QVERIFY(place.goTo(dir_->bytes("r/a/b"), 0));
  QCOMPARE(place.depth(), 2);
  QVERIFY(!place.enter("c"));
  // The folder on show swapped for an in-root link to somewhere deeper: Up and Back find
  // no folder below the limit.
  QVERIFY(renamePath(dir_->path("r/a"), dir_->path("r/a.real")));
  dir_->link("r/a", "r/a.real/b");
  QVERIFY(!place.goTo(dir_->bytes("r/a/b"), 0));
  QVERIFY(!place.openFolder().valid());
  QVERIFY(listFolder(place).empty());
}

void TestHostilePupil::shortcutsLeadOutOnlyWhenAnAdministratorMadeThem() {
  TestHives hives;
  dir_->folder("staff/marks");
  dir_->link("r/Classmate", "staff");
  dir_->link("r/Library", "staff");
  dir_->folderShortcut("r/Desk", "staff");
  dir_->link("r/Teachers", "staff");
  dir_->giveToPupil();
  // Classmates made two shortcuts, root the third; the pupil made the Desktop.ini one.
  for (const char* link : {"r/Classmate", "r/Teachers"})
    QVERIFY(lchown(QFile::encodeName(dir_->path(link)).constData(), 65533, 65533) == 0);
  QVERIFY(lchown(QFile::encodeName(dir_->path("r/Library")).constData(), 0, 0) == 0);
  const int result = runUnprivileged([this] {
    FolderNavigator place = navigator(*dir_);
    int failures = 0;
    const auto expect = [&](bool ok) { failures += ok ? 0 : 1; };
    expect(place.classify("Classmate") == FolderNavigator::EntryKind::Hidden);
    expect(!place.enter("Classmate"));
    expect(place.classify("Teachers") == FolderNavigator::EntryKind::Hidden);
    // The pupil's own Desktop.ini shortcut is only a folder of the root.
    expect(place.enter("Desk") && place.folder() == dir_->bytes("r/Desk") && place.goUp());
    expect(place.classify("Library") == FolderNavigator::EntryKind::Folder);
    expect(place.enter("Library") && place.inShortcut() && place.enter("marks"));
    return failures;
  });
  QCOMPARE(result, 0);
  // Members of the group that the machine's settings name count as administrators.
  const group* nogroup = getgrgid(65534);
  QVERIFY(nogroup);
  QVERIFY(lchown(QFile::encodeName(dir_->path("r/Teachers")).constData(), 65534, 65534) == 0);
  FolderNavigator place = navigator(*dir_);
  QVERIFY(!place.enter("Teachers") || !place.inShortcut());
  hives.setText(dh::reg::Root::LocalMachine, dh::kSettingsKey, dh::setting::kAdministratorsGroup,
                nogroup->gr_name);
  place = navigator(*dir_);
  QVERIFY(place.enter("Teachers") && place.inShortcut());
  QCOMPARE(place.folder(), dir_->bytes("staff"));
}

void TestHostilePupil::filesThatRunCodeAreNeverOpened() {
  // Judged by their type and its parents, whatever they hold; "plain.txt" by its first line.
  for (const char* name :
       {"game.jar", "setup.msi", "run.bat", "start.lnk", "app.jnlp", "tool.desktop", "script.py"})
    dir_->file(QStringLiteral("r/Art/") + name, "just words\n");
  dir_->file("r/Art/plain.txt", "#!/bin/sh\n");
  FolderNavigator art = navigator(*dir_);
  QVERIFY(art.enter("Art"));
  const dh::confine::Descriptor folder = art.openFolder();
  for (const char* name : {"game.jar", "setup.msi", "run.bat", "start.lnk", "app.jnlp",
                           "tool.desktop", "script.py", "plain.txt"}) {
    const dh::confine::Descriptor file = dh::confine::openFile(folder, name);
    QVERIFY2(isProgram(file, name), name);
  }
  dir_->file("r/Art/notes.txt", "words");
  QVERIFY(!isProgram(dh::confine::openFile(folder, "notes.txt"), "notes.txt"));
}

QTEST_MAIN(TestHostilePupil)
#include "tst_hostilepupil.moc"
