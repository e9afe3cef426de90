#include "common/platformmode.h"
#include "tests/support/runtool.h"
#include "tests/support/testhives.h"

#include <QTest>

using dh::queryPlatformMode;
using dh::reg::Root;

namespace {

constexpr const char* kModeKey = "Software\\Halvane\\Platform";
constexpr const char* kServerKey = "CLSID\\{E656B628-C6DD-4125-931C-5FCA10F47A42}\\InprocServer32";

void registerComponent() {
  const ToolRun run = runTool(REGSVR, {PLATFORM_MODE_LIBRARY});
  QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
}

} // namespace

class TestPlatformMode : public QObject {
  Q_OBJECT

private slots:
  void answersTheStoredModeOrKeepsTheDefault();
};

void TestPlatformMode::answersTheStoredModeOrKeepsTheDefault() {
  // Each set of hives in turn: the component must read the hive the process uses now.
  for (std::uint32_t stored : {5u, 7u, 0u, 0xFFFFFFFFu}) {
    TestHives hives;
    registerComponent();
    hives.setDword(Root::LocalMachine, kModeKey, "Mode", stored);
    QCOMPARE(queryPlatformMode(99), static_cast<int>(stored));
  }

  TestHives hives;
  hives.setDword(Root::LocalMachine, kModeKey, "Mode", 5);
  QCOMPARE(queryPlatformMode(99), 99); // not registered
  QCOMPARE(queryPlatformMode(0), 0);

  registerComponent();
  QCOMPARE(queryPlatformMode(99), 5);
  hives.removeValue(Root::LocalMachine, kModeKey, "Mode"); // not ready
  QCOMPARE(queryPlatformMode(99), 99);
  hives.setText(Root::LocalMachine, kModeKey, "Mode", "5"); // not a number
  QCOMPARE(queryPlatformMode(0), 0);

  hives.setDword(Root::LocalMachine, kModeKey, "Mode", 5);
  hives.setText(Root::ClassesRoot, kServerKey, "", "/nonexistent/deskhaven-platformmode.so");
  QCOMPARE(queryPlatformMode(99), 99);
  hives.setText(Root::ClassesRoot, kServerKey, "", REGSVR); // not a library
  QCOMPARE(queryPlatformMode(99), 99);
}

QTEST_MAIN(TestPlatformMode)
#include "tst_platformmode.moc"
