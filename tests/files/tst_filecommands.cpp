// The file commands of My Files on temporary trees and a temporary trash: copy names,
// folders refused, partial pastes, deleting, new folders, renaming, and undoing each.
#include "files/filecommands.h"
#include "files/namedialogs.h"
#include "files/views/folderlisting.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/testdir.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace dh::files;

namespace {

QStringList Names(const FolderNavigator& place) {
  QStringList names;
  for (const ItemRecord& item : ListFolder(place))
    names << QString::fromStdString(item.name);
  return names;
}

std::vector<ItemRecord> Pick(const FolderNavigator& place, const QStringList& names) {
  std::vector<ItemRecord> picked;
  for (const ItemRecord& item : ListFolder(place)) {
    if (names.contains(QString::fromStdString(item.name)))
      picked.push_back(item);
  }
  return picked;
}

// Types text into the name dialog about to open and presses OK; a dialog that refuses
// the name and stays open is then cancelled.
void AnswerDialog(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* dialog = qobject_cast<NameDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    dialog->Edit()->setText(text);
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
  void copiesIntoTheirOwnFolderGetCopyNames();
  void foldersNeverGoIntoThemselves();
  void pasteRecordsOnlyWhatWasDone();
  void moveAndUndoWithTheLocationCheck();
  void deletedItemsComeBackToTheirOwnPlaces();
  void undoNeverReplacesNorReachesOutside();
  void newFolderKeepsTheLevelLimit();
  void namesAreCheckedAsTypedAndOnOk();
  void renameKeepsTheExtensionAndUndoes();

private:
  // A root "r" of the tree that may go levels deep, shown at its top.
  FolderNavigator Open(int levels = 2);
  QStringList Titles() const;

  std::unique_ptr<TestDir> dir_;
  std::unique_ptr<QTemporaryDir> data_;
  std::unique_ptr<dh::ui::MessageRecorder> recorder_;
  std::unique_ptr<FileCommands> commands_;
};

void TestFileCommands::init() {
  dir_ = std::make_unique<TestDir>();
  data_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_DATA_HOME", QFile::encodeName(data_->path()));
  recorder_ = std::make_unique<dh::ui::MessageRecorder>();
  commands_ = std::make_unique<FileCommands>(nullptr, 0);
}

void TestFileCommands::cleanup() {
  commands_.reset();
  recorder_.reset();
  data_.reset();
  dir_.reset();
}

FolderNavigator TestFileCommands::Open(int levels) {
  dir_->folder("r");
  dh::RootFolder root;
  root.RootDisplayName = "Root";
  root.RootPath = dir_->bytes("r");
  root.FolderLevels = levels;
  FolderNavigator place;
  place.SetRoots({root});
  place.OpenRoot(0);
  return place;
}

QStringList TestFileCommands::Titles() const {
  QStringList titles;
  for (const dh::ui::MessageBox& box : recorder_->boxes())
    titles << box.title;
  return titles;
}

void TestFileCommands::copiesIntoTheirOwnFolderGetCopyNames() {
  dir_->file("r/report.doc", "words");
  FolderNavigator place = Open();
  commands_->Copy(Pick(place, {"report.doc"}));
  QVERIFY(commands_->CanPaste());
  for (int paste = 0; paste < 3; ++paste)
    commands_->Paste(place, {});
  commands_->Copy(Pick(place, {"Copy of report.doc"}));
  commands_->Paste(place, {});
  QCOMPARE(Names(place),
           QStringList({"Copy (2) of report.doc", "Copy (3) of report.doc",
                        "Copy of Copy of report.doc", "Copy of report.doc", "report.doc"}));
  QCOMPARE(commands_->UndoStack().size(), 4u);
  QVERIFY(recorder_->boxes().isEmpty());
}

void TestFileCommands::foldersNeverGoIntoThemselves() {
  dir_->folder("r/a/b");
  dir_->folder("r/ab");
  dir_->link("r/a/b/up", "r/a");
  FolderNavigator place = Open(3);
  commands_->Copy(Pick(place, {"a"}));
  // Into itself, below itself, and below itself through a link: refused.
  commands_->Paste(place, Pick(place, {"a"}));
  QVERIFY(place.Enter("a"));
  commands_->Paste(place, Pick(place, {"b"}));
  QVERIFY(place.Enter("b"));
  commands_->Paste(place, Pick(place, {"up"}));
  QCOMPARE(Titles(), QStringList(3, "Clipboard Error"));
  QCOMPARE(recorder_->boxes().front().text,
           QStringLiteral("Cannot perform folder operation:\nThe destination folder is either "
                          "the same\nas the source folder or a child of it."));
  // A folder whose name merely begins the same is another folder.
  FolderNavigator top = Open(3);
  commands_->Paste(top, Pick(top, {"ab"}));
  QVERIFY(QFileInfo(dir_->path("r/ab/a/b")).isDir());
  QCOMPARE(commands_->UndoStack().size(), 1u);
}

void TestFileCommands::pasteRecordsOnlyWhatWasDone() {
  dir_->file("r/one.txt", "1");
  dir_->file("r/gone.txt", "2");
  dir_->file("r/two.txt", "3");
  dir_->folder("r/sub");
  FolderNavigator place = Open();
  commands_->Cut(Pick(place, {"one.txt", "gone.txt", "two.txt", "sub"}));
  QFile::remove(dir_->path("r/gone.txt"));
  commands_->Paste(place, Pick(place, {"sub"}));
  // The vanished file is reported by the service and skipped; the others go on.
  QCOMPARE(Titles(), QStringList({"Moving Files", "Clipboard Error"}));
  QVERIFY(QFile::exists(dir_->path("r/sub/one.txt")) && QFile::exists(dir_->path("r/sub/two.txt")));
  QCOMPARE(commands_->UndoStack().back().Sources,
           QStringList({dir_->path("r/one.txt"), dir_->path("r/two.txt")}));
  QVERIFY(!commands_->CanPaste() && commands_->Clip().paths.isEmpty());
}

void TestFileCommands::moveAndUndoWithTheLocationCheck() {
  dir_->file("r/notes.txt", "n");
  dir_->folder("r/box");
  FolderNavigator place = Open();
  // Cut and pasted where it is: nothing happens, nothing is recorded.
  commands_->Cut(Pick(place, {"notes.txt"}));
  commands_->Paste(place, {});
  QVERIFY(commands_->UndoStack().empty() && !commands_->CanPaste());
  commands_->Cut(Pick(place, {"box", "notes.txt"}));
  FolderNavigator inBox = place;
  QVERIFY(inBox.Enter("box"));
  dir_->folder("r/box2");
  FolderNavigator inBox2 = place;
  QVERIFY(inBox2.Enter("box2"));
  commands_->Paste(inBox2, {});
  QCOMPARE(Names(inBox2), QStringList({"box", "notes.txt"}));
  // Not from inside a moved folder; the record waits.
  QVERIFY(inBox2.Enter("box"));
  commands_->Undo(inBox2);
  QCOMPARE(Titles(), QStringList({"Cannot Undo"}));
  QCOMPARE(recorder_->boxes().front().text,
           QStringLiteral("It is not possible to undo this action from this folder location"));
  QCOMPARE(commands_->UndoStack().size(), 1u);
  commands_->Undo(place);
  QCOMPARE(Names(place), QStringList({"box", "box2", "notes.txt"}));
  QVERIFY(commands_->UndoStack().empty());
}

void TestFileCommands::deletedItemsComeBackToTheirOwnPlaces() {
  dir_->file("r/a/x.txt", "from a");
  dir_->file("r/b/x.txt", "from b");
  dir_->file("r/b/y.txt");
  FolderNavigator top = Open();
  FolderNavigator a = top, b = top;
  QVERIFY(a.Enter("a") && b.Enter("b"));
  commands_->Delete(Pick(a, {"x.txt"}));
  QCOMPARE(recorder_->boxes().front().text,
           QStringLiteral("Are you sure you wish to delete x.txt ?"));
  QVERIFY(QFile::exists(dir_->path("r/a/x.txt"))); // answered No
  recorder_->answerNext(dh::ui::Answer::Yes);
  commands_->Delete(Pick(a, {"x.txt"}));
  recorder_->answerNext(dh::ui::Answer::Yes);
  commands_->Delete(Pick(b, {"x.txt", "y.txt"}));
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("Are you sure you wish to delete these files ?"));
  QVERIFY(Names(a).isEmpty() && Names(b).isEmpty());
  QCOMPARE(commands_->UndoStack().size(), 2u);
  commands_->Undo(top);
  commands_->Undo(top);
  QCOMPARE(Names(b), QStringList({"x.txt", "y.txt"}));
  QFile fromA(dir_->path("r/a/x.txt"));
  QVERIFY(fromA.open(QIODevice::ReadOnly));
  QCOMPARE(fromA.readAll(), QByteArray("from a"));
  QCOMPARE(recorder_->boxes().size(), 3);
  // On the product that cannot undelete, the record is given up.
  FileCommands noUndelete(nullptr, 9);
  recorder_->answerNext(dh::ui::Answer::Yes);
  noUndelete.Delete(Pick(a, {"x.txt"}));
  noUndelete.Undo(top);
  QCOMPARE(recorder_->boxes().back().text,
           QStringLiteral("It is not possible to undelete items on this product"));
  QVERIFY(noUndelete.UndoStack().empty() && Names(a).isEmpty());
}

void TestFileCommands::undoNeverReplacesNorReachesOutside() {
  dir_->file("r/a.txt", "first");
  FolderNavigator place = Open();
  recorder_->answerNext(dh::ui::Answer::Yes);
  commands_->Delete(Pick(place, {"a.txt"}));
  dir_->file("r/a.txt", "second");
  commands_->Undo(place);
  QCOMPARE(Titles().back(), QStringLiteral("Cannot Undo"));
  QCOMPARE(commands_->UndoStack().size(), 1u); // the place can be cleared, and undo tried again
  QFile now(dir_->path("r/a.txt"));
  QVERIFY(now.open(QIODevice::ReadOnly));
  QCOMPARE(now.readAll(), QByteArray("second"));
  // With other roots (a class change), the record reaches outside them and is given up.
  dir_->folder("other");
  dh::RootFolder other;
  other.RootPath = dir_->bytes("other");
  other.FolderLevels = 2;
  FolderNavigator elsewhere;
  elsewhere.SetRoots({other});
  elsewhere.OpenRoot(0);
  QFile::remove(dir_->path("r/a.txt"));
  commands_->Undo(elsewhere);
  QVERIFY(commands_->UndoStack().empty() && !QFile::exists(dir_->path("r/a.txt")));
}

void TestFileCommands::newFolderKeepsTheLevelLimit() {
  dir_->folder("r/one/two");
  FolderNavigator top = Open(1);
  AnswerDialog("  Maths  ");
  commands_->NewFolder(top, {});
  AnswerDialog("Inside");
  commands_->NewFolder(top, Pick(top, {"one"}));
  FolderNavigator one = top;
  QVERIFY(one.Enter("one"));
  QCOMPARE(Names(one), QStringList({"Inside", "two"}));
  // At the limit, only the folder shown takes a new folder, never one selected in it.
  commands_->NewFolder(one, Pick(one, {"two"}));
  QCOMPARE(Titles(), QStringList({"Cannot Create Folder"}));
  QVERIFY(recorder_->boxes().front().text.startsWith("Creation of a new folder"));
  AnswerDialog("maths"); // a duplicate without regard to case
  commands_->NewFolder(top, {});
  QCOMPARE(Titles().back(), QStringLiteral("New Folder Creation"));
  QCOMPARE(commands_->UndoStack().size(), 2u);
  // Undo of the new folder puts it in the trash; the older one is next.
  commands_->Undo(one);
  QVERIFY(!QFileInfo::exists(dir_->path("r/one/Inside")));
  QVERIFY(QFileInfo(dir_->path("r/Maths")).isDir());
}

void TestFileCommands::namesAreCheckedAsTypedAndOnOk() {
  dir_->file("r/a.txt");
  CFolderCreationDlg dialog(dir_->path("r"));
  QTest::keyClicks(dialog.Edit(), "Ma:th>s");
  QCOMPARE(dialog.Edit()->text(), QStringLiteral("Maths"));
  QTest::keyClicks(dialog.Edit(), QString(50, 'x'));
  QCOMPARE(dialog.Edit()->text().size(), kTypedNameLimit);
  QCOMPARE(Titles(),
           QStringList({"Error: Illegal Character", "Error: Illegal Character",
                        "Error: Text too long", "Error: Text too long", "Error: Text too long",
                        "Error: Text too long", "Error: Text too long"}));
  QCOMPARE(recorder_->boxes().front().text,
           QStringLiteral("The following characters are not allowed:\n\n< > ? \\ / * \" | :"));
  const QString folder = dir_->path("r");
  QVERIFY(FolderNameProblem("", folder) && FolderNameProblem(".hidden", folder));
  QVERIFY(!FolderNameProblem(QString(50, 'f'), folder));
  QCOMPARE(FolderNameProblem(QString(51, 'f'), folder)->text,
           QStringLiteral("The folder name is too long, please enter a shorter one"));
  QVERIFY(!ItemNameProblem(QString(100, 'i'), folder) &&
          ItemNameProblem(QString(101, 'i'), folder));
  QVERIFY(ItemNameProblem("A.txt", folder)); // taken, whatever the case
  QCOMPARE(SplitAtFirstDot("report.final.doc").extension, QStringLiteral(".final.doc"));
}

void TestFileCommands::renameKeepsTheExtensionAndUndoes() {
  dir_->file("r/report.final.doc", "text");
  dir_->file("r/b.txt");
  FolderNavigator place = Open();
  commands_->Rename(place, Pick(place, {"report.final.doc", "b.txt"})); // several: nothing
  AnswerDialog("report");                                               // unchanged
  commands_->Rename(place, Pick(place, {"report.final.doc"}));
  QVERIFY(commands_->UndoStack().empty());
  AnswerDialog("B"); // B.final.doc is free: b.txt differs in more than case
  commands_->Rename(place, Pick(place, {"report.final.doc"}));
  QCOMPARE(Names(place), QStringList({"b.txt", "B.final.doc"}));
  AnswerDialog("B"); // B.txt: taken by b.txt
  commands_->Rename(place, Pick(place, {"b.txt"}));
  QCOMPARE(Titles(), QStringList({"Renaming"}));
  commands_->Undo(place);
  QCOMPARE(Names(place), QStringList({"b.txt", "report.final.doc"}));
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
