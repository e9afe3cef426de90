// The profile watcher that rebuilds the Programs page on the session's event.
#include "programs/profilewatcher.h"

#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"
#include "tests/support/testhives.h"

#include <QElapsedTimer>
#include <QTest>

using namespace dh::sync;

class TestProgramsWatch : public QObject {
  Q_OBJECT

private slots:
  void watcherRebuildsOncePerSignalAndStopsAtOnce();
};

void TestProgramsWatch::watcherRebuildsOncePerSignalAndStopsAtOnce() {
  const TestRuntime runtime;
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
  QVERIFY(!watcher.running());
  // A rebuild queued but not yet run when the watcher stops must not hang the stop.
  QVERIFY(watcher.Start(
      &page, [&] { ++rebuilds; }, dh::kProfileUpdatedEvent));
  QVERIFY(setEvent(dh::kProfileUpdatedEvent));
  QTest::qSleep(200);
  watcher.Stop();
}

QTEST_GUILESS_MAIN(TestProgramsWatch)
#include "tst_programswatch.moc"
