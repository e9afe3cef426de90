// The tree watcher on temporary trees: changes anywhere below the root, in folders made
// after the start too, reported on the owner's thread; links never lead it round in
// circles or out of the tree.
#include "platform/watch/treewatcher.h"
#include "tests/support/testdir.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using dh::watch::TreeWatcher;

class TestWatch : public QObject {
  Q_OBJECT

private slots:
  void reportsChangesBelowTheRoot();
  void linksAreNotFollowed();
};

void TestWatch::reportsChangesBelowTheRoot() {
  TestDir dir;
  dir.folder("root/a");
  TreeWatcher watcher(QFile::encodeName(dir.path("root")));
  QVERIFY(watcher.start());
  QThread* owner = QThread::currentThread();
  QThread* reportedOn = nullptr;
  QByteArrayList folders;
  connect(&watcher, &TreeWatcher::changed, this, [&](const QByteArray& folder) {
    reportedOn = QThread::currentThread();
    folders << folder;
  });
  dir.file("root/a/one.txt");
  QTRY_VERIFY(folders.contains(watcher.root() + "/a"));
  QCOMPARE(reportedOn, owner);
  // A folder made after the start is watched as soon as it appears.
  dir.folder("root/b/c");
  dir.file("root/b/c/two.txt");
  QTRY_VERIFY(folders.contains(watcher.root() + "/b/c"));
  // A watched folder renamed is watched under its new name, and so is what is made in it.
  QVERIFY(QDir().rename(dir.path("root/b"), dir.path("root/moved")));
  dir.folder("root/moved/later");
  dir.file("root/moved/later/four.txt");
  QTRY_VERIFY(folders.contains(watcher.root() + "/moved/later"));
  watcher.stop();
  folders.clear();
  dir.file("root/a/three.txt");
  QTest::qWait(100);
  QVERIFY(folders.isEmpty());
}

void TestWatch::linksAreNotFollowed() {
  TestDir dir;
  dir.folder("root/a");
  dir.folder("outside");
  dir.link("root/a/loop", "root");
  dir.link("root/out", "outside");
  TreeWatcher watcher(QFile::encodeName(dir.path("root")));
  QVERIFY(watcher.start());
  QSignalSpy changed(&watcher, &TreeWatcher::changed);
  dir.file("outside/elsewhere.txt");
  QVERIFY(!changed.wait(200));
  dir.file("root/a/here.txt");
  QVERIFY(changed.wait(2000));
}

QTEST_GUILESS_MAIN(TestWatch)
#include "tst_watch.moc"
