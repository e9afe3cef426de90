// deskhaven-signal: raises the session's profile event, for the caller or another user.
#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"
#include "tests/support/runtool.h"

#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace dh::sync;

class TestSignal : public QObject {
  Q_OBJECT

private slots:
  void init();
  void signalTool();

private:
  std::unique_ptr<QTemporaryDir> runtime_;
};

void TestSignal::init() {
  runtime_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
}

void TestSignal::signalTool() {
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
