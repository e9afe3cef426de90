// deskhaven-signal: raises the session's profile event, for the caller or another user.
#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"
#include "tests/support/runtool.h"
#include "tests/support/testhives.h"

#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace dh::sync;

class TestSignal : public QObject {
  Q_OBJECT

private slots:
  void signalTool();
};

void TestSignal::signalTool() {
  const TestRuntime runtime;
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

QTEST_GUILESS_MAIN(TestSignal)
#include "tst_signal.moc"
