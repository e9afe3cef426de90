// The file commands of My Files on temporary trees and a temporary trash: copy names,
// folders refused, partial pastes, deleting, new folders, renaming, and undoing each.
#include "files/filecommands.h"
#include "files/model/folderlisting.h"
#include "files/namedialogs.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/testdir.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace dh::files;

namespace {

QStringList namesIn(const FolderNavigator& place) {
  QStringList names;
  for (const ItemRecord& item : listFolder(place))
    names << QString::fromStdString(item.name);
  return names;
}

std::vector<ItemRecord> pick(const FolderNavigator& place, const QStringList& names) {
  std::vector<ItemRecord> picked;
  for (const ItemRecord& item : listFolder(place)) {
    if (names.contains(QString::fromStdString(item.name)))
      picked.push_back(item);
  }
  return picked;
}

// Types text into the name dialog about to open and presses OK; a dialog that refuses
// the name and stays open is then cancelled.
void answerDialog(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* dialog = qobject_cast<NameDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    dialog->edit()->setText(text);
    dialog->accept();
    if (dialog->isVisible())
      dialog->reject();
  });
}

} // namespace

class TestFileCommands : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void copyNamesAndFoldersRefused();
  void partialPasteAndUndoOfTheMove();
  void deletedItemsComeBackOnlyToFreePlaces();
  void newFolderKeepsTheLevelLimit();
  void namesAreCheckedAsTypedAndOnOk();

private:
  // A root "r" of the tree that may go levels deep, shown at its top.
  FolderNavigator open(int levels = 2, const char* folder = "r");
  QStringList titles() const;

  std::unique_ptr<TestDir> dir_;
  std::unique_ptr<QTemporaryDir> data_;
  std::unique_ptr<dh::ui::MessageRecorder> recorder_;
  std::unique_ptr<FileCommands> commands_;
};

void TestFileCommands::init() {
  dir_ = std::make_unique<TestDir>();
  data_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_DATA_HOME", QFile::encodeName(data_->path())); // the trash
  recorder_ = std::make_unique<dh::ui::MessageRecorder>();
  commands_ = std::make_unique<FileCommands>(nullptr, 0);
}

void TestFileCommands::cleanup() {
  commands_.reset();
  recorder_.reset();
  data_.reset();
  dir_.reset();
}

FolderNavigator TestFileCommands::open(int levels, const char* folder) {
  dir_->folder(folder);
  dh::RootFolder root;
  root.RootPath = dir_->bytes(folder);
  root.FolderLevels = levels;
  FolderNavigator place;
  place.setRoots(OpenRoots::of({root}));
  place.openRoot(0);
  return place;
}

QStringList TestFileCommands::titles() const {
  QStringList titles;
  for (const dh::ui::MessageBox& box : recorder_->boxes())
    titles << box.title;
  return titles;
}

void TestFileCommands::copyNamesAndFoldersRefused() {
  dir_->file("r/report.doc", "words");
  dir_->folder("r/a/b");
  dir_->folder("r/ab");
  dir_->link("r/a/b/up", "r/a");
  FolderNavigator place = open(3);
  commands_->Copy(pick(place, {"report.doc"}));
  for (int paste = 0; paste < 3; ++paste)
    commands_->Paste(place, {});
  commands_->Copy(pick(place, {"Copy of report.doc"}));
  commands_->Paste(place, {});
  QCOMPARE(namesIn(place),
           QStringList({"a", "ab", "Copy (2) of report.doc", "Copy (3) of report.doc",
                        "Copy of Copy of report.doc", "Copy of report.doc", "report.doc"}));
  // Into itself, below itself, and below itself through a link: refused.
  commands_->Copy(pick(place, {"a"}));
  FolderNavigator b = place;
  QVERIFY(b.enter("a") && b.enter("b"));
  for (const FolderNavigator* into : {&place, &b})
    commands_->Paste(*into, pick(*into, {"a", "up"}));
  QCOMPARE(titles(), QStringList(2, "Clipboard Error"));
  // A folder whose name merely begins the same is another folder.
  commands_->Paste(place, pick(place, {"ab"}));
  QVERIFY(QFileInfo(dir_->path("r/ab/a/b")).isDir());
  QCOMPARE(commands_->undoStack().size(), 5u);
}

void TestFileCommands::partialPasteAndUndoOfTheMove() {
  dir_->file("r/one.txt", "1");
  dir_->file("r/gone.txt", "2");
  dir_->folder("r/box");
  dir_->folder("r/sub");
  FolderNavigator place = open();
  commands_->Cut(pick(place, {"one.txt"}));
  commands_->Paste(place, {}); // where it is: nothing done, nothing recorded
  QVERIFY(commands_->undoStack().empty() && !commands_->canPaste());
  commands_->Cut(listFolder(place));
  QFile::remove(dir_->path("r/gone.txt"));
  commands_->Paste(place, pick(place, {"sub"}));
  // The vanished file is reported by the service; the others go on.
  QCOMPARE(titles(), QStringList({"Moving Files", "Clipboard Error"}));
  FolderNavigator box = place;
  QVERIFY(box.enter("sub") && box.enter("box"));
  QCOMPARE(commands_->undoStack().back().Sources,
           QStringList({dir_->path("r/box"), dir_->path("r/one.txt")}));
  QVERIFY(!commands_->canPaste());
  // Not undone while the list shows a folder that was moved.
  commands_->Undo(box);
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("It is not possible to undo this action from this folder location"));
  commands_->Undo(place);
  QCOMPARE(namesIn(place), QStringList({"box", "one.txt", "sub"}));
  QVERIFY(commands_->undoStack().empty());
}

void TestFileCommands::deletedItemsComeBackOnlyToFreePlaces() {
  dir_->file("r/a/x.txt", "from a");
  dir_->file("r/b/x.txt", "from b");
  dir_->file("r/b/y.txt");
  FolderNavigator top = open();
  FolderNavigator a = top, b = top;
  QVERIFY(a.enter("a") && b.enter("b"));
  commands_->Delete(a, pick(a, {"x.txt"})); // answered No
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("Are you sure you wish to delete x.txt ?"));
  for (const FolderNavigator* from : {&a, &b}) {
    recorder_->answerNext(dh::ui::Answer::Yes);
    commands_->Delete(*from, listFolder(*from));
  }
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("Are you sure you wish to delete these files ?"));
  // Undo never puts an item over one that took its place; the record waits.
  dir_->file("r/b/y.txt", "new");
  commands_->Undo(top);
  QCOMPARE(titles().back(), QStringLiteral("Cannot Undo"));
  QCOMPARE(fileBytes(dir_->path("r/b/y.txt")), QByteArray("new"));
  QFile::remove(dir_->path("r/b/y.txt"));
  commands_->Undo(top);
  QCOMPARE(namesIn(b), QStringList({"x.txt", "y.txt"}));
  QCOMPARE(fileBytes(dir_->path("r/b/x.txt")), QByteArray("from b")); // by place, not name
  // With other roots (a class change) an undo reaching outside them is given up.
  commands_->Undo(open(2, "other"));
  QVERIFY(commands_->undoStack().empty() && namesIn(a).isEmpty());
  // On the product that cannot undelete, the record is given up.
  FileCommands noUndelete(nullptr, 9);
  recorder_->answerNext(dh::ui::Answer::Yes);
  noUndelete.Delete(b, listFolder(b));
  noUndelete.Undo(top);
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("It is not possible to undelete items on this product"));
  QVERIFY(noUndelete.undoStack().empty() && namesIn(b).isEmpty());
}

void TestFileCommands::newFolderKeepsTheLevelLimit() {
  dir_->folder("r/one/two");
  FolderNavigator top = open(1);
  answerDialog("  Maths  ");
  commands_->NewFolder(top, {});
  answerDialog("Inside");
  commands_->NewFolder(top, pick(top, {"one"}));
  FolderNavigator one = top;
  QVERIFY(one.enter("one"));
  QCOMPARE(namesIn(one), QStringList({"Inside", "two"}));
  // At the limit, only the folder shown takes a new folder, never one selected in it.
  commands_->NewFolder(one, pick(one, {"two"}));
  QCOMPARE(titles(), QStringList({"Cannot Create Folder"}));
  answerDialog("maths"); // taken, whatever the case
  commands_->NewFolder(top, {});
  QCOMPARE(titles().back(), QStringLiteral("New Folder Creation"));
  commands_->Undo(one);
  QVERIFY(!QFileInfo::exists(dir_->path("r/one/Inside")));
  QVERIFY(QFileInfo(dir_->path("r/Maths")).isDir());
}

void TestFileCommands::namesAreCheckedAsTypedAndOnOk() {
  dir_->file("r/report.final.doc", "text");
  dir_->file("r/b.txt");
  FolderNavigator place = open();
  const dh::confine::Descriptor held = place.openFolder();
  CFolderCreationDlg dialog(dir_->path("r"), held);
  QTest::keyClicks(dialog.edit(), "Ma:th>s" + QString(46, 'x'));
  QCOMPARE(dialog.edit()->text(), "Maths" + QString(45, 'x'));
  QCOMPARE(titles(), QStringList({"Error: Illegal Character", "Error: Illegal Character",
                                  "Error: Text too long"}));
  QCOMPARE(recorder_->boxes().front().text,
           QStringLiteral("The following characters are not allowed:\n\n< > ? \\ / * \" | :"));
  QVERIFY(folderNameProblem(".hidden", place.folder().c_str()));
  QVERIFY(!itemNameProblem(QString(100, 'i'), {}) && itemNameProblem(QString(101, 'i'), {}));

  commands_->Rename(place, listFolder(place)); // several: nothing
  answerDialog("report");                      // unchanged: nothing recorded
  commands_->Rename(place, pick(place, {"report.final.doc"}));
  answerDialog("B"); // B.txt is taken by b.txt
  commands_->Rename(place, pick(place, {"b.txt"}));
  QCOMPARE(titles().back(), QStringLiteral("Renaming"));
  QVERIFY(commands_->undoStack().empty());
  answerDialog("B");
  commands_->Rename(place, pick(place, {"report.final.doc"}));
  QCOMPARE(namesIn(place), QStringList({"b.txt", "B.final.doc"}));
  commands_->Undo(place);
  QCOMPARE(namesIn(place), QStringList({"b.txt", "report.final.doc"}));
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
