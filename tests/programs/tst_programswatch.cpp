// The session's named event and lock, the profile watcher that rebuilds the page on the
// event, and deskhaven-signal that raises it.
#include "programs/profilewatcher.h"

#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"
#include "platform/sync/namedlock.h"
#include "tests/support/runtool.h"
#include "tests/support/testhives.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dh::sync;
using namespace std::chrono_literals;

class TestProgramsWatch : public QObject {
  Q_OBJECT

private slots:
  void init();
  void eventIsAutoResetAndKeepsASignal();
  void lockWaitsNoLongerThanAsked();
  void watcherRebuildsOncePerSignalAndStopsAtOnce();
  void signalTool();

private:
  std::unique_ptr<QTemporaryDir> runtime_;
};

void TestProgramsWatch::init() {
  runtime_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
}

void TestProgramsWatch::eventIsAutoResetAndKeepsASignal() {
  // Signals before anyone opens the event stay pending and count as one.
  QVERIFY(setEvent("e") && setEvent("e"));
  auto first = NamedEvent::open("e"), second = NamedEvent::open("e");
  QVERIFY(first && second);
  QVERIFY(first->tryWait());
  QVERIFY(!second->tryWait() && !first->tryWait());
  QVERIFY(!NamedEvent::open("a/b") && !setEvent(".."));
  // A FIFO in the event's place is refused at once rather than waited on.
  QVERIFY(::mkfifo((runtime_->path() + "/f.event").toLocal8Bit(), 0600) == 0);
  QVERIFY(!setEvent("f") && !NamedEvent::open("f"));

  // Nobody else may signal another user's private session.
  QVERIFY(::chmod(runtime_->path().toLocal8Bit(), 0700) == 0);
  QCOMPARE(runUnprivileged([] { return setEvent("e") ? 1 : 0; }), 0);
  QVERIFY(!first->tryWait());
}

void TestProgramsWatch::lockWaitsNoLongerThanAsked() {
  NamedLock held(dh::kProfilesLock), other(dh::kProfilesLock);
  QVERIFY(held.isOpen() && held.wait(0ms));
  QElapsedTimer timer;
  timer.start();
  QVERIFY(!other.wait(100ms));
  QVERIFY(timer.elapsed() >= 100 && timer.elapsed() < 1000);
  held.Release();
  QVERIFY(other.wait(0ms));
}

void TestProgramsWatch::watcherRebuildsOncePerSignalAndStopsAtOnce() {
  QObject page;
  int rebuilds = 0;
  dh::programs::ProfileWatcher watcher;
  // The watcher creates the event, so the first signal by name reaches it; signals
  // during a rebuild give exactly one more.
  QVERIFY(watcher.Start(
      &page,
      [&] {
        if (++rebuilds == 1) {
          for (int i = 0; i < 3; ++i)
            setEvent(dh::kProfileUpdatedEvent);
        }
      },
      dh::kProfileUpdatedEvent));
  QVERIFY(setEvent(dh::kProfileUpdatedEvent));
  QTRY_COMPARE(rebuilds, 2);
  QTest::qWait(300);
  QCOMPARE(rebuilds, 2);
  QVERIFY(setEvent(dh::kProfileUpdatedEvent));
  QTRY_COMPARE(rebuilds, 3);

  QElapsedTimer timer;
  timer.start();
  watcher.Stop();
  QVERIFY(timer.elapsed() < 500);
  QVERIFY(!watcher.Running());
  // A rebuild queued but not yet run when the watcher stops must not hang the stop.
  QVERIFY(watcher.Start(
      &page, [&] { ++rebuilds; }, dh::kProfileUpdatedEvent));
  QVERIFY(setEvent(dh::kProfileUpdatedEvent));
  QTest::qSleep(200);
  watcher.Stop();
}

void TestProgramsWatch::signalTool() {
  QCOMPARE(runTool(SIGNAL_TOOL, {}).status, 64);
  QCOMPARE(runTool(SIGNAL_TOOL, {"Other"}).status, 64);
  QCOMPARE(runTool(SIGNAL_TOOL, {"ProfileUpdated", "--user"}).status, 64);
  const ToolRun help = runTool(SIGNAL_TOOL, {"--help"});
  QVERIFY(help.status == 0 && help.out.contains("ProfileUpdated"));
  const ToolRun noUser = runTool(SIGNAL_TOOL, {"ProfileUpdated", "--user", "no-such-user-x"});
  QVERIFY(noUser.status == 67 && noUser.err.contains("no-such-user-x"));

  auto event = NamedEvent::open(dh::kProfileUpdatedEvent);
  QVERIFY(event && !event->tryWait());
  QCOMPARE(runTool(SIGNAL_TOOL, {"ProfileUpdated"}).status, 0);
  QVERIFY(event->tryWait());
  QCOMPARE(runTool(SIGNAL_TOOL, {"ProfileUpdated", "--user",
                                 QString::fromLocal8Bit(getpwuid(geteuid())->pw_name)})
               .status,
           0);
  QVERIFY(event->tryWait());
}

QTEST_GUILESS_MAIN(TestProgramsWatch)
#include "tst_programswatch.moc"
