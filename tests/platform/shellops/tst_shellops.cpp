#include "platform/shellops/fileoperation.h"
#include "platform/shellops/progress.h"
#include "platform/shellops/trash.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/testdir.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTest>

#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dh::shellops;
using dh::ui::Answer;
using dh::ui::MessageRecorder;

namespace {

// Reports nothing; runs a hook at every step, whose false stops the work.
class HookProgress final : public Progress {
public:
  std::function<bool()> onStep = [] { return true; };
  qint64 itemBytes = 0; // known once the item has been listed
  void beginItem(const QString&, qint64 bytes) override { itemBytes = bytes; }
  bool advance(qint64) override { return onStep(); }
};

struct stat statOf(const QString& path) {
  struct stat st {};
  lstat(QFile::encodeName(path).constData(), &st);
  return st;
}

// A tmpfs of the given size mounted for one test; mounting needs root.
class SmallDisk {
public:
  explicit SmallDisk(const QString& path, const char* size) : path_(path) {
    QDir().mkpath(path);
    mounted_ = geteuid() == 0 &&
               mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, size) == 0;
  }
  ~SmallDisk() {
    if (mounted_)
      umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

private:
  QString path_;
  bool mounted_ = false;
};

} // namespace

class TestShellOps : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> dir_;
  HookProgress quiet_;

  QString path(const QString& relative) const { return dir_->path(relative); }
  Result run(Function function, const QStringList& sources, const QString& destination,
             Options options = Option::AllowUndo, Progress* progress = nullptr) {
    Request request;
    request.function = function;
    request.sources = sources;
    request.destination = destination;
    request.options = options;
    request.progress = progress ? progress : &quiet_;
    return performFileOperation(request);
  }

private slots:
  void init() {
    dir_ = std::make_unique<TestDir>();
    chmod(dir_->bytes().c_str(), 0755);
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
    dir_->folder("dst");
    dir_->file("src/a.txt", "alpha", QDateTime::fromSecsSinceEpoch(1000000000));
    chmod(dir_->bytes("src/a.txt").c_str(), 0600);
    dir_->file("src/sub/b.txt", "beta");
    QFile::link("a.txt", path("src/link")); // relative, as the copy must keep it
  }

  void copyAndMoveKeepContentModesTimesAndLinks() {
    MessageRecorder recorder;
    Result r = run(Function::Copy, {path("src")}, path("dst"));
    QVERIFY(r.done);
    QCOMPARE(fileBytes(path("dst/src/sub/b.txt")), QByteArray("beta"));
    QCOMPARE(statOf(path("dst/src/a.txt")).st_mode & 07777, mode_t(0600));
    QCOMPARE(statOf(path("dst/src/a.txt")).st_mtim.tv_sec, 1000000000);
    QCOMPARE(QFileInfo(path("dst/src/link")).symLinkTarget(), path("dst/src/a.txt"));

    r = run(Function::Move, {path("src/a.txt")}, path("dst"));
    QVERIFY(r.done && !QFile::exists(path("src/a.txt")));
    QCOMPARE(r.items.value(0).target, path("dst/a.txt"));
    Request rename{.function = Function::Rename,
                   .sources = {path("dst/a.txt")},
                   .targets = {path("dst/z.txt")},
                   .progress = &quiet_};
    QVERIFY(performFileOperation(rename).done && QFile::exists(path("dst/z.txt")));
    QVERIFY(recorder.boxes().isEmpty());
  }

  void collisionsAreRenamedAskedOrRefused() {
    MessageRecorder recorder;
    dir_->file("dst/a.txt", "old");
    Result r = run(Function::Copy, {path("src/a.txt"), path("src/a.txt")}, path("dst"),
                   Option::RenameOnCollision);
    QVERIFY(r.done);
    QCOMPARE(r.items.value(1).target, path("dst/a (3).txt"));
    QVERIFY(r.items.value(1).renamed);

    // No keeps what is there and goes on; Cancel stops; Yes sends the old item to the trash.
    recorder.answerNext(Answer::No);
    recorder.answerNext(Answer::Cancel);
    dir_->file("dst/sub", "a file where the folder would go");
    r = run(Function::Copy, {path("src/a.txt"), path("src/sub"), path("src/link")}, path("dst"));
    QVERIFY(r.aborted && !r.done && r.error.isEmpty());
    QCOMPARE(fileBytes(path("dst/a.txt")), QByteArray("old"));
    QVERIFY(!QFile::exists(path("dst/link")));
    recorder.answerNext(Answer::Yes);
    QVERIFY(run(Function::Copy, {path("src/a.txt")}, path("dst")).done);
    QCOMPARE(fileBytes(path("dst/a.txt")), QByteArray("alpha"));
    QVERIFY(findInTrash(dir_->bytes("dst/a.txt")));
    QVERIFY(run(Function::Copy, {path("src/sub")}, path("dst"), Option::NoConfirmation).done);
    QCOMPARE(fileBytes(path("dst/sub/b.txt")), QByteArray("beta"));
    QCOMPARE(QDir(path("dst")).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"a (2).txt", "a (3).txt", "a.txt", "sub"}));

    // Onto itself, into itself (also by way of a link), and over a folder that holds it.
    dir_->link("dst/alias", "src");
    QVERIFY(run(Function::Copy, {path("src/a.txt")}, path("src")).error.contains("onto itself"));
    QVERIFY(run(Function::Move, {path("src")}, path("dst/alias/sub")).error.contains("inside"));
    dir_->folder("dst/x/x");
    recorder.answerNext(Answer::Yes);
    QVERIFY(!run(Function::Move, {path("dst/x/x")}, path("dst")).done);
    QVERIFY(QFileInfo(path("dst/x/x")).isDir());
    QCOMPARE(fileBytes(path("src/sub/b.txt")), QByteArray("beta"));
  }

  void trashedItemsOfOneNameReturnEachToItsPlace() {
    MessageRecorder recorder;
    dir_->file("dst/my folder/b.txt", "other beta");
    QVERIFY(run(Function::Delete, {path("src/sub/b.txt"), path("dst/my folder/b.txt")}, {}).done);
    QVERIFY(!QFile::exists(path("src/sub/b.txt")));
    const QByteArray info = fileBytes(path("data/Trash/info/b.txt.2.trashinfo"));
    QVERIFY(
        info.startsWith("[Trash Info]\nPath=" + QFile::encodeName(path("dst/my%20folder/b.txt"))));
    QVERIFY(info.contains("\nDeletionDate=" + QDate::currentDate().toString(Qt::ISODate).toUtf8()));

    // Never over an item that is there now: the conflict is reported, both are kept.
    dir_->file("src/sub/b.txt", "new");
    Result r = restoreFromTrash({path("src/sub/b.txt")}, nullptr, &quiet_);
    QVERIFY(!r.done && r.error.contains("already an item"));
    QCOMPARE(fileBytes(path("src/sub/b.txt")), QByteArray("new"));
    QFile::remove(path("src/sub/b.txt"));
    QVERIFY(restoreFromTrash({path("dst/my folder/b.txt"), path("src/sub/b.txt")}, nullptr, &quiet_)
                .done);
    QCOMPARE(fileBytes(path("src/sub/b.txt")), QByteArray("beta"));
    QCOMPARE(fileBytes(path("dst/my folder/b.txt")), QByteArray("other beta"));
    QVERIFY(QDir(path("data/Trash/info")).isEmpty());

    // The desktop's own trash and this one are the same.
    if (QProcess::execute("gio", {"trash", path("src/a.txt")}) != 0)
      QSKIP("gio (libglib2.0-bin) is not installed");
    QVERIFY(restoreFromTrash({path("src/a.txt")}, nullptr, &quiet_).done);
    QCOMPARE(fileBytes(path("src/a.txt")), QByteArray("alpha"));
  }

  void halfDoneWorkIsRemovedAndSourcesKept() {
    MessageRecorder recorder;
    // A source that vanishes while the folder is copied.
    HookProgress vanishing;
    vanishing.onStep = [&] {
      if (vanishing.itemBytes > 0)
        QFile::remove(path("src/sub/b.txt"));
      return true;
    };
    Result r = run(Function::Copy, {path("src")}, path("dst"), Option::AllowUndo, &vanishing);
    QVERIFY(!r.done && r.error.contains("No such file"));
    QVERIFY(QDir(path("dst")).isEmpty());
    dir_->file("src/sub/b.txt", "beta");

    // Cancel in the middle of a file: no message, nothing half copied.
    HookProgress cancelling;
    cancelling.onStep = [&] { return !QFile::exists(path("dst/src/a.txt")); };
    r = run(Function::Copy, {path("src")}, path("dst"), Option::AllowUndo, &cancelling);
    QVERIFY(r.aborted && r.error.isEmpty() && recorder.boxes().size() == 1);
    QVERIFY(QDir(path("dst")).isEmpty());

    // A read-only folder, as a user who is refused; the item stays and leaves no record.
    dir_->folder("data");
    if (geteuid() == 0) // the refused user needs a trash of its own
      dir_->giveAway("data");
    chmod(dir_->bytes("src").c_str(), 0555);
    const int refused = runUnprivileged([&] {
      HookProgress quiet;
      Request copy{.sources = {path("src/sub")}, .targets = {path("src/sub2")}, .progress = &quiet};
      Request trash{.function = Function::Delete,
                    .sources = {path("src/a.txt")},
                    .options = Option::AllowUndo,
                    .progress = &quiet};
      return (performFileOperation(copy).error.contains("Permission denied") ? 1 : 0) +
             (performFileOperation(trash).error.contains("Permission denied") ? 2 : 0);
    });
    QCOMPARE(refused, 3);
    QVERIFY(!QFile::exists(path("src/sub2")) && QFile::exists(path("src/a.txt")));
    QVERIFY(QDir(path("data/Trash/info")).isEmpty());
  }

  void otherFileSystemsFullDisksAndVolumeTrash() {
    SmallDisk disk(path("usb"), "size=1m");
    if (!disk.mounted())
      QSKIP("mounting a small tmpfs needs root");
    MessageRecorder recorder;
    dir_->file("src/big.bin", QByteArray(3 << 20, 'x'));

    // Full disk: nothing half written; a failed move keeps its source.
    Result r = run(Function::Copy, {path("src")}, path("usb"));
    QVERIFY(!r.done && r.error.contains("No space left"));
    QVERIFY(QDir(path("usb")).isEmpty());
    QVERIFY(!run(Function::Move, {path("src")}, path("usb")).done);
    QCOMPARE(QFileInfo(path("src/big.bin")).size(), 3 << 20);
    QVERIFY(QDir(path("usb")).isEmpty());
    // An item that was to be replaced comes back when its replacement fails.
    dir_->file("usb/big.bin", "old");
    QVERIFY(!run(Function::Copy, {path("src/big.bin")}, path("usb"),
                 Option::NoConfirmation | Option::AllowUndo)
                 .done);
    QCOMPARE(fileBytes(path("usb/big.bin")), QByteArray("old"));

    // Across file systems a move completes, and items there go to that volume's trash.
    QFile::remove(path("src/big.bin"));
    r = run(Function::Move, {path("src")}, path("usb"));
    QVERIFY2(r.done, qPrintable(r.error));
    QVERIFY(!QFile::exists(path("src")));
    QCOMPARE(statOf(path("usb/src/a.txt")).st_mtim.tv_sec, 1000000000);
    QVERIFY(run(Function::Delete, {path("usb/src/sub")}, {}).done);
    const QString volumeTrash = path("usb/.Trash-%1").arg(getuid());
    QVERIFY(fileBytes(volumeTrash + "/info/sub.trashinfo").contains("\nPath=src/sub\n"));
    QVERIFY(restoreFromTrash({path("usb/src/sub")}, nullptr, &quiet_).done);
    QCOMPARE(fileBytes(path("usb/src/sub/b.txt")), QByteArray("beta"));
  }

  void volumeTrashIsUsedOnlyWhenItIsThePupilsOwn() {
    SmallDisk disk(path("usb"), "size=1m");
    if (!disk.mounted())
      QSKIP("mounting a small tmpfs needs root");
    MessageRecorder recorder;
    // The pupil (whom runUnprivileged runs as) owns a folder on the volume and the home
    // trash, which is on another file system.
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
      dir_->file(QStringLiteral("usb/work/") + name, name);
    dir_->folder("usb/work/decoy");
    dir_->folder("data");
    for (const char* owned : {"usb/work", "usb/work/a.txt", "usb/work/b.txt", "usb/work/c.txt",
                              "usb/work/d.txt", "usb/work/decoy", "data"})
      dir_->giveAway(owned);
    const QString pupil = QStringLiteral("65534"); // runUnprivileged's account
    const auto asPupil = [&](const char* deleted, const char* restored) {
      return runUnprivileged([&] {
        HookProgress quiet;
        Request remove{.function = Function::Delete,
                       .sources = {path("usb/work/") + deleted},
                       .options = Option::AllowUndo,
                       .progress = &quiet};
        const bool removed = performFileOperation(remove).done;
        const bool back =
            restored && restoreFromTrash({path("usb/work/") + restored}, nullptr, &quiet).done;
        return (removed ? 1 : 0) + (back ? 2 : 0);
      });
    };
    const auto inTrash = [&](const QString& trash, const QString& name) {
      return QFile::exists(trash + "/files/" + name) &&
             QFile::exists(trash + "/info/" + name + ".trashinfo");
    };
    const QString shared = path("usb/.Trash"), own = path("usb/.Trash-") + pupil;
    const QString home = path("data/Trash");

    // A shared .Trash that the administrator made sticky takes the item, in the pupil's
    // own folder of it.
    QVERIFY(QDir().mkdir(shared));
    chmod(QFile::encodeName(shared).constData(), 01777);
    QCOMPARE(asPupil("a.txt", nullptr), 1);
    QVERIFY(inTrash(shared + "/" + pupil, "a.txt"));
    QCOMPARE(statOf(shared + "/" + pupil).st_uid, uid_t(65534));

    // Without the sticky bit anyone could have planted the pupil's folder in it: it is
    // neither used nor restored from, and the pupil's own real .Trash-uid is.
    chmod(QFile::encodeName(shared).constData(), 0777);
    QCOMPARE(asPupil("b.txt", "a.txt"), 1);
    QVERIFY(!QFile::exists(path("usb/work/a.txt")));
    QVERIFY(inTrash(own, "b.txt"));
    QVERIFY(fileBytes(own + "/info/b.txt.trashinfo").contains("\nPath=work/b.txt\n"));
    QCOMPARE(asPupil("c.txt", "b.txt"), 3);
    QCOMPARE(fileBytes(path("usb/work/b.txt")), QByteArray("b.txt"));
    QVERIFY(inTrash(own, "c.txt"));

    // A .Trash-uid of someone else's, with a record planted in it, is refused: the item
    // goes to the home trash and the planted one is never restored.
    QVERIFY(QDir(own).removeRecursively());
    dir_->file("usb/.Trash-" + pupil + "/files/c.txt", "planted");
    dir_->file("usb/.Trash-" + pupil + "/info/c.txt.trashinfo",
               "[Trash Info]\nPath=work/c.txt\nDeletionDate=2030-01-01T00:00:00\n");
    chmod(QFile::encodeName(own).constData(), 0777);
    QCOMPARE(asPupil("d.txt", "c.txt"), 1);
    QVERIFY(!QFile::exists(path("usb/work/c.txt")));
    QVERIFY(inTrash(home, "d.txt"));
    QCOMPARE(QDir(own + "/files").entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{"c.txt"});

    // A link in its place, even to a folder of the pupil's, is refused alike.
    QVERIFY(QDir(own).removeRecursively());
    dir_->link("usb/.Trash-" + pupil, "usb/work/decoy");
    QCOMPARE(asPupil("b.txt", nullptr), 1);
    QVERIFY(inTrash(home, "b.txt"));
    QVERIFY(QDir(path("usb/work/decoy")).isEmpty());
  }

  void progressDialogComesAfterHalfASecondAndCancels() {
    ProgressDialog progress(nullptr, QStringLiteral("Copying Files"));
    progress.beginItem(QStringLiteral("big.bin"), 1 << 20);
    QVERIFY(progress.advance(1024));
    QVERIFY(!qApp->activeModalWidget());
    QTest::qWait(ProgressDialog::kShowAfterMs + 50);
    progress.beginItem(QStringLiteral("big.bin"), 1 << 20);
    auto* dialog = qobject_cast<QProgressDialog*>(qApp->activeModalWidget());
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Copying Files"));
    dialog->cancel();
    QVERIFY(!progress.advance(1024));
  }
};

QTEST_MAIN(TestShellOps)
#include "tst_shellops.moc"
