#include "common/hiveplaces.h"
#include "platform/registry/registry.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QTest>

using namespace dh;

class TestHivePlaces : public QObject {
  Q_OBJECT

private slots:
  void sessionEnvPlacesTheHives();
};

void TestHivePlaces::sessionEnvPlacesTheHives() {
  TestHives hives;
  const QString env = hives.dir() + "/session.env";
  QVERIFY(writeFile(env, "# the school's places\n"
                         "DESKHAVEN_MACHINE_HIVE=/srv/old.hive\n"
                         "export DESKHAVEN_MACHINE_HIVE=\"/srv/deskhaven/machine.hive\"\n"
                         "DESKHAVEN_USER_HIVE=/srv/hives/${USER}.hive\n"));
  const QByteArray before = qgetenv("DESKHAVEN_SESSION_ENV");
  qputenv("DESKHAVEN_SESSION_ENV", env.toUtf8());
  qunsetenv("DESKHAVEN_MACHINE_HIVE");
  qunsetenv("DESKHAVEN_USER_HIVE");
  qunsetenv("DESKHAVEN_DEFAULT_USER_HIVE");
  QCOMPARE(machineHivePath(), std::string("/srv/deskhaven/machine.hive"));
  QCOMPARE(userHivePathOf("ann"), std::string("/srv/hives/ann.hive"));
  QCOMPARE(defaultUserHivePath(), std::string("/var/lib/deskhaven/default-user.hive"));
  // The environment wins over the file.
  qputenv("DESKHAVEN_MACHINE_HIVE", "/elsewhere.hive");
  QCOMPARE(machineHivePath(), std::string("/elsewhere.hive"));
  qputenv("DESKHAVEN_SESSION_ENV", before);
}

QTEST_GUILESS_MAIN(TestHivePlaces)
#include "tst_hiveplaces.moc"
