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
QMap<QString, QByteArray> Snapshot(const QString& folder) {
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
QStringList Holding(const QString& folder, const QByteArray& text) {
  QStringList found;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile file(it.next());
    if (!it.fileInfo().isSymLink() && file.open(QIODevice::ReadOnly) && file.readAll() == text)
      found << file.fileName();
  }
  return found;
}

QStringList Titles(const dh::ui::MessageRecorder& recorder) {
  QStringList titles;
  for (const dh::ui::MessageBox& box : recorder.boxes())
    titles << box.title;
  return titles;
}

FolderNavigator Navigator(const TestDir& dir, int levels = 3) {
  dh::RootFolder root;
  root.RootPath = dir.bytes("r");
  root.FolderLevels = levels;
  FolderNavigator place;
  place.SetRoots(OpenRoots::of({root}));
  place.OpenRoot(0);
  return place;
}

bool Rename(const QString& from, const QString& to) {
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// What another program of the pupil's does: the folder on show moves aside and a link to
// a folder outside the root takes its name.
void SwapForLink(TestDir& dir, const QString& folder, const QString& outside) {
  QVERIFY(Rename(dir.path(folder), dir.path(folder + ".real")));
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
  FolderNavigator maths = Navigator(*dir_);
  QVERIFY(maths.Enter("Maths"));
  const std::vector<ItemRecord> shown = ListFolder(maths);
  QCOMPARE(shown.size(), 1u);
  FolderNavigator art = Navigator(*dir_);
  QVERIFY(art.Enter("Art"));
  const std::vector<ItemRecord> picture = ListFolder(art);
  SwapForLink(*dir_, "r/Maths", "elsewhere");
  const auto outside = Snapshot(dir_->path("elsewhere"));

  // Every command in the swapped folder stops and says so; nothing outside changes.
  FileCommands commands(nullptr, 0);
  commands.Copy(picture);
  commands.Paste(maths, {});
  commands.Rename(maths, shown);
  commands.NewFolder(maths, {});
  recorder_->answerNext(dh::ui::Answer::Yes);
  commands.Delete(maths, shown);
  QVERIFY(!commands.Drop(dir_->path("r/Art/picture.txt"), maths, true));
  OpenFile(nullptr, maths, "precious.txt");
  QCOMPARE(Titles(*recorder_), QStringList({"Folder Changed", "Folder Changed", "Folder Changed",
                                            "Delete", "Folder Changed", "Folder Changed"}));
  QCOMPARE(Snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(commands.UndoStack().empty());

  // An item of the swapped folder cut earlier is not taken from outside either.
  commands.Cut(shown);
  commands.Paste(art, {});
  QCOMPARE(Snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(QFile::exists(dir_->path("r/Maths.real/sum.txt")));
  QVERIFY(!QFile::exists(dir_->path("r/Art/sum.txt")));
}

void TestHostilePupil::folderSwappedWhileCommandsRunLeadsNowhere() {
  FolderNavigator maths = Navigator(*dir_);
  QVERIFY(maths.Enter("Maths"));
  FolderNavigator art = Navigator(*dir_);
  QVERIFY(art.Enter("Art"));
  const auto outside = Snapshot(dir_->path("elsewhere"));
  const QString folder = dir_->path("r/Maths"), aside = dir_->path("r/Maths.real");
  const QByteArray link = QFile::encodeName(folder);
  const QByteArray target = QFile::encodeName(dir_->path("elsewhere"));

  // A second thread swaps the folder for a link out of the root and back, as fast as it
  // can, while the commands run in it over and over.
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    while (!stop) {
      Rename(folder, aside);
      symlink(target.constData(), link.constData());
      unlink(link.constData());
      Rename(aside, folder);
    }
  });
  FileCommands commands(nullptr, 0);
  for (int round = 0; round < 300; ++round) {
    commands.Copy(ListFolder(art));
    commands.Paste(maths, {});
    const dh::confine::Descriptor held = maths.OpenFolder();
    if (held.valid())
      dh::confine::makeFolder(held, "made" + std::to_string(round));
    std::vector<ItemRecord> copies;
    for (const ItemRecord& item : ListFolder(maths))
      if (item.name != "sum.txt")
        copies.push_back(item);
    if (!copies.empty())
      recorder_->answerNext(dh::ui::Answer::Yes);
    commands.Delete(maths, copies);
  }
  stop = true;
  swapper.join();
  QCOMPARE(Snapshot(dir_->path("elsewhere")), outside);
  QVERIFY(Titles(*recorder_).contains("Folder Changed"));
}

void TestHostilePupil::subFolderSwappedDuringRecursiveWorkLeadsNowhere() {
  // A folder is copied or deleted whole while a second thread swaps a folder inside it for
  // a link out of the root, to a folder holding a file of the same name.
  FolderNavigator top = Navigator(*dir_);
  FolderNavigator art = Navigator(*dir_);
  QVERIFY(art.Enter("Art"));
  const auto outside = Snapshot(dir_->path("elsewhere"));
  const QByteArray target = QFile::encodeName(dir_->path("elsewhere"));
  std::atomic<int> current = -1;
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    while (!stop) {
      const QString inner = dir_->path(QStringLiteral("r/Work%1/inner").arg(current.load()));
      const QByteArray link = QFile::encodeName(inner);
      Rename(inner, inner + ".real");
      symlink(target.constData(), link.constData());
      unlink(link.constData());
      Rename(inner + ".real", inner);
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
      for (const ItemRecord& item : ListFolder(top))
        if (item.name == work.toStdString())
          commands.Copy({item});
      commands.Paste(art, {});
      Rename(dir_->path("r/Art/" + work), dir_->folder("copies/" + work));
    } else { // removed outright, entry by entry, as an item replaced without undo is
      const dh::confine::Descriptor held = top.OpenFolder();
      const std::string path = held.procPath(work.toStdString());
      dh::shellops::Request remove{.function = dh::shellops::Function::Delete,
                                   .sources = {QFile::decodeName(path.c_str())}};
      dh::shellops::performFileOperation(remove);
    }
  }
  stop = true;
  swapper.join();
  QCOMPARE(Holding(dir_->path("r"), "staff only") + Holding(dir_->path("copies"), "staff only"),
           QStringList());
  QCOMPARE(Snapshot(dir_->path("elsewhere")), outside);
}

void TestHostilePupil::depthIsCountedFromRealFolders() {
  // A link inside the root to a deep folder, and the history's spelling of it: neither
  // shows anything below the limit, nor anything by a path through a link.
  dir_->folder("r/a/b/c/d");
  dir_->link("r/Short", "r/a/b/c");
  FolderNavigator place = Navigator(*dir_, 2);
  QVERIFY(!place.GoTo(dir_->bytes("r/Short"), 0));
  QVERIFY(!place.GoTo(dir_->bytes("r/Short/d"), 0));
  QVERIFY(!place.GoTo(dir_->bytes("r/a/../a/b"), 0));
  QVERIFY(place.GoTo(dir_->bytes("r/a/b"), 0));
  QCOMPARE(place.Depth(), 2);
  QVERIFY(!place.Enter("c"));
  // The folder on show swapped for an in-root link to somewhere deeper: Up and Back find
  // no folder below the limit.
  QVERIFY(Rename(dir_->path("r/a"), dir_->path("r/a.real")));
  dir_->link("r/a", "r/a.real/b");
  QVERIFY(!place.GoTo(dir_->bytes("r/a/b"), 0));
  QVERIFY(!place.OpenFolder().valid());
  QVERIFY(ListFolder(place).empty());
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
    FolderNavigator place = Navigator(*dir_);
    int failures = 0;
    const auto expect = [&](bool ok) { failures += ok ? 0 : 1; };
    expect(place.Classify("Classmate") == FolderNavigator::EntryKind::Hidden);
    expect(!place.Enter("Classmate"));
    expect(place.Classify("Teachers") == FolderNavigator::EntryKind::Hidden);
    // The pupil's own Desktop.ini shortcut is only a folder of the root.
    expect(place.Enter("Desk") && place.Folder() == dir_->bytes("r/Desk") && place.GoUp());
    expect(place.Classify("Library") == FolderNavigator::EntryKind::Folder);
    expect(place.Enter("Library") && place.InShortcut() && place.Enter("marks"));
    return failures;
  });
  QCOMPARE(result, 0);
  // Members of the group that the machine's settings name count as administrators.
  const group* nogroup = getgrgid(65534);
  QVERIFY(nogroup);
  QVERIFY(lchown(QFile::encodeName(dir_->path("r/Teachers")).constData(), 65534, 65534) == 0);
  FolderNavigator place = Navigator(*dir_);
  QVERIFY(!place.Enter("Teachers") || !place.InShortcut());
  hives.setText(dh::reg::Root::LocalMachine, dh::kSettingsKey, dh::setting::kAdministratorsGroup,
                nogroup->gr_name);
  place = Navigator(*dir_);
  QVERIFY(place.Enter("Teachers") && place.InShortcut());
  QCOMPARE(place.Folder(), dir_->bytes("staff"));
}

void TestHostilePupil::filesThatRunCodeAreNeverOpened() {
  // Judged by their type and its parents, whatever they hold; "plain.txt" by its first line.
  for (const char* name :
       {"game.jar", "setup.msi", "run.bat", "start.lnk", "app.jnlp", "tool.desktop", "script.py"})
    dir_->file(QStringLiteral("r/Art/") + name, "just words\n");
  dir_->file("r/Art/plain.txt", "#!/bin/sh\n");
  FolderNavigator art = Navigator(*dir_);
  QVERIFY(art.Enter("Art"));
  const dh::confine::Descriptor folder = art.OpenFolder();
  for (const char* name : {"game.jar", "setup.msi", "run.bat", "start.lnk", "app.jnlp",
                           "tool.desktop", "script.py", "plain.txt"}) {
    const dh::confine::Descriptor file = dh::confine::openFile(folder, name);
    QVERIFY2(IsProgram(file, name), name);
  }
  dir_->file("r/Art/notes.txt", "words");
  QVERIFY(!IsProgram(dh::confine::openFile(folder, "notes.txt"), "notes.txt"));
}

QTEST_MAIN(TestHostilePupil)
#include "tst_hostilepupil.moc"
