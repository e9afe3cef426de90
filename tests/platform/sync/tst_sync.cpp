// Named events and locks of a user's session.
#include "platform/sync/namedevent.h"
#include "platform/sync/namedlock.h"
#include "tests/support/testhives.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/stat.h>

using namespace dh::sync;
using namespace std::chrono_literals;

class TestSync : public QObject {
  Q_OBJECT

private slots:
  void eventIsAutoResetAndLockWaitsNoLongerThanAsked();
};

void TestSync::eventIsAutoResetAndLockWaitsNoLongerThanAsked() {
  const TestRuntime runtime;
  // Signals before anyone opens the event stay pending and count as one.
  QVERIFY(setEvent("e") && setEvent("e"));
  auto first = NamedEvent::open("e"), second = NamedEvent::open("e");
  QVERIFY(first && second);
  QVERIFY(first->tryWait());
  QVERIFY(!second->tryWait() && !first->tryWait());
  QVERIFY(!NamedEvent::open("a/b") && !setEvent(".."));
  // A FIFO in the event's place is refused at once rather than waited on.
  QVERIFY(::mkfifo((runtime.dir() + "/f.event").toLocal8Bit(), 0600) == 0);
  QVERIFY(!setEvent("f") && !NamedEvent::open("f"));

  // Nobody else may signal another user's private session.
  QVERIFY(::chmod(runtime.dir().toLocal8Bit(), 0700) == 0);
  QCOMPARE(runUnprivileged([] { return setEvent("e") ? 1 : 0; }), 0);
  QVERIFY(!first->tryWait());

  NamedLock held("test"), other("test");
  QVERIFY(held.isOpen() && held.wait(0ms));
  QElapsedTimer timer;
  timer.start();
  QVERIFY(!other.wait(100ms));
  QVERIFY(timer.elapsed() >= 100 && timer.elapsed() < 1000);
  held.release();
  QVERIFY(other.wait(0ms));
}

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
