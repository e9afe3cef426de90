#include "platform/registry/registry.h"
#include "platform/registry/writerlock.h"
#include "tests/support/runtool.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dh::reg;

namespace {
ToolRun reg(const QStringList& args, const QByteArray& input = {}) {
  return runTool(DESKHAVEN_REG, args, input);
}

// Starts program as nobody and waits until it holds a lock on path.
void startLockingAsNobody(QProcess& process, const QStringList& command, const QString& path) {
  process.start("setpriv",
                QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups"} + command);
  QVERIFY(process.waitForStarted());
  QTRY_VERIFY(QString::fromStdString(lockHolders(path.toStdString())).contains("of user nobody"));
}

// Lets the account nobody read the test's hives and these files.
void openToEverybody(TestHives& hives, const QStringList& paths) {
  hives.shareReadOnly();
  for (const QString& path : paths)
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0755 : 0644),
             0);
}
} // namespace

class TestDeskhavenReg : public QObject {
  Q_OBJECT

private slots:
  void queryShowsKeysInTheKnownLayout();
  void addAndDeleteValuesAndKeys();
  void badArgumentsAreRefused();
  void importAndExport();
  void readOnlyHiveIsRefusedForAPupil();
  void applyTakesAFolderWholeOrNotAtAll();
  void applyStopsAtAFileItCannotRead();
  void aReaderCannotStallAWriter();
  void sessionEnvPlacesTheHivesAndABrokenOneIsKept();
};

void TestDeskhavenReg::queryShowsKeysInTheKnownLayout() {
  TestHives hives;
  const char* k = "Software\\Halvane\\Deskhaven";
  hives.setText(Root::LocalMachine, k, "", "Lab");
  hives.setDword(Root::LocalMachine, k, "Mode", 26);
  hives.setText(Root::LocalMachine, k, "Help", "%HOME%\\help", Type::ExpandSz);
  hives.setText(Root::LocalMachine, std::string(k) + "\\Schemes\\Lab", "Name", "x");
  hives.createKey(Root::LocalMachine, std::string(k) + "\\Other");

  ToolRun run = reg({"query", "hklm\\software\\halvane\\deskhaven"});
  QCOMPARE(run.status, 0);
  QCOMPARE(run.out, QString("\n"
                            "HKEY_LOCAL_MACHINE\\Software\\Halvane\\Deskhaven\n"
                            "    (Default)    REG_SZ    Lab\n"
                            "    Help    REG_EXPAND_SZ    %HOME%\\help\n"
                            "    Mode    REG_DWORD    0x1a\n"
                            "\n"
                            "HKEY_LOCAL_MACHINE\\Software\\Halvane\\Deskhaven\\Other\n"
                            "HKEY_LOCAL_MACHINE\\Software\\Halvane\\Deskhaven\\Schemes\n"));

  run = reg({"query", "HKLM\\Software\\Halvane\\Deskhaven", "/v", "Mode"});
  QCOMPARE(run.out, QString("\nHKEY_LOCAL_MACHINE\\Software\\Halvane\\Deskhaven\n"
                            "    Mode    REG_DWORD    0x1a\n\n"));
  run = reg({"query", "HKLM\\Software\\Halvane", "-v", "Name", "-s"});
  QCOMPARE(run.out, QString("\nHKEY_LOCAL_MACHINE\\Software\\Halvane\\Deskhaven\\Schemes\\Lab\n"
                            "    Name    REG_SZ    x\n\n"));

  for (const QStringList& missing :
       {QStringList{"query", "HKLM\\Software\\Nothing"},
        QStringList{"query", "HKLM\\Software\\Halvane\\Deskhaven", "/v", "Nothing"},
        QStringList{"query", "HKCU\\Software", "/ve"}}) {
    run = reg(missing);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, QString("ERROR: The system was unable to find the specified registry key "
                              "or value.\n"));
  }
}

void TestDeskhavenReg::addAndDeleteValuesAndKeys() {
  TestHives hives;
  const char* k = "Software\\T";
  for (const QStringList& add :
       {QStringList{"/v", "S", "/d", "Grüße"}, QStringList{"/ve", "/d", "def"},
        QStringList{"/v", "D", "/t", "reg_dword", "/d", "0xFFFFFFFF"}})
    QCOMPARE(reg(QStringList{"add", "HKCU\\Software\\T"} + add).status, 0);
  QCOMPARE(readText(Root::CurrentUser, k, "S"), std::string("Grüße"));
  QCOMPARE(readText(Root::CurrentUser, k, ""), std::string("def"));
  QCOMPARE(readDword(Root::CurrentUser, k, "D").value_or(0), 0xFFFFFFFFu);

  // Overwriting asks first; no answer keeps the value, /f does not ask.
  ToolRun run = reg({"add", "HKCU\\Software\\T", "/v", "S", "/d", "new"});
  QCOMPARE(run.status, 1);
  QCOMPARE(readText(Root::CurrentUser, k, "S"), std::string("Grüße"));
  QCOMPARE(reg({"add", "HKCU\\Software\\T", "/v", "S", "/d", "new"}, "y\n").status, 0);
  QCOMPARE(readText(Root::CurrentUser, k, "S"), std::string("new"));

  QCOMPARE(reg({"delete", "HKCU\\Software\\T", "/v", "s", "/f"}).status, 0);
  QCOMPARE(readText(Root::CurrentUser, k, "S"), std::string());
  QCOMPARE(reg({"delete", "HKCU\\Software\\T", "/v", "s", "/f"}).status, 1);
  QCOMPARE(reg({"delete", "HKCU\\Software\\T", "/va", "/f"}).status, 0);
  QVERIFY(!readDword(Root::CurrentUser, k, "D"));
  hives.createKey(Root::CurrentUser, "Software\\T\\Sub");
  QCOMPARE(reg({"delete", "HKCU\\Software\\T"}, "n\n").status, 1);
  Key key;
  QCOMPARE(Key::open(Root::CurrentUser, "Software\\T\\Sub", Access::Read, key), kSuccess);
  QCOMPARE(reg({"delete", "HKCU\\Software\\T", "/f"}).status, 0);
  QCOMPARE(Key::open(Root::CurrentUser, "Software\\T", Access::Read, key), kFileNotFound);
  QCOMPARE(Key::open(Root::CurrentUser, "Software", Access::Read, key), kSuccess);
}

void TestDeskhavenReg::badArgumentsAreRefused() {
  TestHives hives;
  for (const QStringList& args :
       {QStringList{}, QStringList{"frobnicate"}, QStringList{"query"},
        QStringList{"query", "HKU\\x"}, QStringList{"query", "HKLM\\x", "/t", "REG_SZ"},
        QStringList{"add", "HKLM\\x", "/v"}, QStringList{"add", "HKLM\\x", "/v", "a", "/ve"},
        QStringList{"add", "HKLM\\x", "/v", "a", "/t", "REG_DWORD", "/d", "4294967296"},
        QStringList{"add", "HKLM\\x", "/v", "a", "/t", "REG_TEXT"},
        QStringList{"delete", "HKLM", "/f"}, QStringList{"export", "HKLM\\x"}}) {
    ToolRun run = reg(args);
    QVERIFY2(run.status == 2, qPrintable(args.join(' ')));
    QVERIFY(run.err.startsWith("ERROR: Invalid syntax: "));
  }
  QVERIFY(!QFile::exists(hives.machineHive()));
}

void TestDeskhavenReg::importAndExport() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\T", "keep", "before");
  const QString good = hives.dir() + "/good.reg";
  const QString bad = hives.dir() + "/bad.reg";
  QVERIFY(writeFile(good, "REGEDIT4\n\n[HKLM\\Software\\T]\n\"n\"=dword:00000010\n"));
  QVERIFY(writeFile(bad, "REGEDIT4\n[HKLM\\Software\\T]\n\"keep\"=\"after\"\n"
                         "\"b\"=hex:00,\\\n  zz\n"));
  ToolRun run = reg({"import", bad});
  QCOMPARE(run.status, 1);
  QVERIFY2(run.err.contains("line 5: bad hex byte \"zz\"\nNothing was imported."),
           qPrintable(run.err));
  QCOMPARE(reg({"import", hives.dir() + "/missing.reg"}).status, 1);

  run = reg({"import", good});
  QCOMPARE(run.status, 0);
  QCOMPARE(readDword(Root::LocalMachine, "Software\\T", "n").value_or(0), 16u);

  // An existing file is kept unless the administrator agrees.
  const QString exported = hives.dir() + "/out.reg";
  QVERIFY(writeFile(exported, "mine"));
  QCOMPARE(reg({"export", "HKLM\\Software\\T", exported}).status, 1);
  QCOMPARE(fileBytes(exported), QByteArray("mine"));
  QCOMPARE(reg({"export", "HKLM\\Software\\T", exported, "/y"}).status, 0);
  QVERIFY(fileBytes(exported).endsWith("\"n\"=dword:00000010\n")); // the text: .reg tests
  QCOMPARE(reg({"export", "HKLM\\Software\\None", exported, "/y"}).status, 1);
}

void TestDeskhavenReg::readOnlyHiveIsRefusedForAPupil() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\T", "v", "root's");
  const QString d = hives.dir() + "/registry.d", file = d + "/10-pupil.reg";
  QVERIFY(QDir().mkpath(d));
  QVERIFY(writeFile(file, "REGEDIT4\n[HKLM\\Software\\T]\n\"v\"=\"pupil's\"\n"));
  openToEverybody(hives, {d, file});
  const QByteArray before = fileBytes(hives.machineHive());

  const QString hive = hives.machineHive();
  int result = runUnprivileged([&] {
    const QString refusal =
        "ERROR: Access is denied: the hive " + hive + " is not writable for this user.\n";
    ToolRun add = reg({"add", "HKLM\\Software\\T", "/v", "v", "/d", "x", "/f"});
    if (add.status != 1 || add.err != refusal)
      return 1;
    ToolRun import = reg({"import", file});
    if (import.status != 1 || !import.err.startsWith(refusal))
      return 2;
    ToolRun apply = reg({"apply", d});
    return apply.status == 1 && apply.err.contains("Access is denied") ? 0 : 3;
  });
  QCOMPARE(result, 0);
  QCOMPARE(fileBytes(hives.machineHive()), before);
}

void TestDeskhavenReg::applyTakesAFolderWholeOrNotAtAll() {
  TestHives hives;
  const QString d = hives.dir() + "/registry.d";
  QVERIFY(QDir().mkpath(d));
  // Name order, not the order of creation; a later file overrides an earlier one.
  QVERIFY(writeFile(d + "/20-class.reg", "REGEDIT4\n[HKLM\\Software\\T]\n\"v\"=\"second\"\n"));
  QVERIFY(writeFile(d + "/10-base.reg", "Windows Registry Editor Version 5.00\n\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\T]\n\"v\"=\"first\"\n"
                                        "\"n\"=dword:00000007\n[HKCU\\Software\\U]\n@=\"u\"\n"));
  QVERIFY(writeFile(d + "/notes.txt", "not a registry file"));
  ToolRun run = reg({"apply", d});
  QCOMPARE(run.status, 0);
  QCOMPARE(readText(Root::LocalMachine, "Software\\T", "v"), std::string("second"));
  QCOMPARE(readDword(Root::LocalMachine, "Software\\T", "n"), std::optional<std::uint32_t>(7));
  // HKCU is every user's: it went to the default-user hive, which the user's reads see.
  QCOMPARE(readText(Root::CurrentUser, "Software\\U", ""), std::string("u"));
  QVERIFY(!QFile::exists(hives.userHive()));

  // Again: the same content, and the default-user hive not even written.
  const QByteArray user = fileBytes(hives.defaultUserHive());
  const QString exported = hives.dir() + "/before.reg", again = hives.dir() + "/after.reg";
  QCOMPARE(reg({"export", "HKLM\\Software", exported}).status, 0);
  QCOMPARE(reg({"apply", d}).status, 0);
  QCOMPARE(reg({"export", "HKLM\\Software", again}).status, 0);
  QCOMPARE(fileBytes(again), fileBytes(exported));
  QCOMPARE(fileBytes(hives.defaultUserHive()), user);

  // A malformed file anywhere: nothing of any file, and the file and line are named.
  QVERIFY(writeFile(d + "/15-new.reg", "REGEDIT4\n[HKLM\\Software\\New]\n\"x\"=\"y\"\n"));
  QVERIFY(writeFile(d + "/30-bad.reg", "REGEDIT4\n\n[HKLM\\Software\\T]\n\"v\"=bogus\n"));
  run = reg({"apply", d});
  QCOMPARE(run.status, 1);
  QVERIFY2(run.err.startsWith("ERROR: " + d + "/30-bad.reg: line 4: "), qPrintable(run.err));
  QVERIFY(run.err.contains("Nothing was applied."));
  resetHives();
  Key gone;
  QCOMPARE(Key::open(Root::LocalMachine, "Software\\New", Access::Read, gone), kFileNotFound);
  QCOMPARE(reg({"apply", hives.dir() + "/missing"}).status, 1);
}

void TestDeskhavenReg::applyStopsAtAFileItCannotRead() {
  TestHives hives;
  const QString d = hives.dir() + "/registry.d";
  QVERIFY(QDir().mkpath(d));
  QVERIFY(writeFile(d + "/10-base.reg", "REGEDIT4\n[HKLM\\Software\\A]\n\"x\"=\"y\"\n"));
  // A drop-in on a share that is not mounted yet.
  QVERIFY(QFile::link("/nonexistent/share/20-class.reg", d + "/20-class.reg"));
  ToolRun run = reg({"apply", d});
  QCOMPARE(run.status, 1);
  QVERIFY2(run.err.contains(d + "/20-class.reg is a link to /nonexistent/share/20-class.reg"),
           qPrintable(run.err));
  QVERIFY(run.err.contains("Nothing was applied."));
  QVERIFY(!QFile::exists(hives.machineHive()));

  // One the administrator may read and the one applying may not.
  QVERIFY(QFile::remove(d + "/20-class.reg"));
  QVERIFY(writeFile(d + "/20-class.reg", "REGEDIT4\n"));
  openToEverybody(hives, {d, d + "/10-base.reg"});
  QCOMPARE(::chmod(QFile::encodeName(d + "/20-class.reg").constData(), 0600), 0);
  const int result = runUnprivileged([&] {
    const ToolRun refused = reg({"apply", d});
    return refused.status == 1 && refused.err.contains("Cannot read " + d + "/20-class.reg") &&
                   refused.err.contains("Nothing was applied.")
               ? 0
               : 1;
  });
  QCOMPARE(result, 0);
  QVERIFY(!QFile::exists(hives.machineHive()));
}

void TestDeskhavenReg::aReaderCannotStallAWriter() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\T", "v", "old");
  openToEverybody(hives, {});
  const QString lockFile = hives.machineHive() + ".lock";

  // A reader may lock the hive file itself: no writer waits on that. The writers' lock
  // beside it is not even open to a reader.
  QProcess flock;
  startLockingAsNobody(flock, {"flock", "-o", hives.machineHive(), "sleep", "20"},
                       hives.machineHive());
  QElapsedTimer clock;
  clock.start();
  QCOMPARE(reg({"add", "HKLM\\Software\\T", "/v", "v", "/d", "new", "/f"}).status, 0);
  QVERIFY(clock.elapsed() < 5000);
  flock.kill();
  flock.waitForFinished();
  QCOMPARE(runUnprivileged([&] {
             const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY);
             return fd < 0 && errno == EACCES ? 0 : 1;
           }),
           0);

  // A reader that keeps its read transaction open: a writer gives up after the wait,
  // naming who holds the hive, and changes nothing.
  QProcess sqlite;
  startLockingAsNobody(sqlite,
                       {"sqlite3", "-cmd", "BEGIN; SELECT count(*) FROM keys;", hives.machineHive(),
                        ".shell sleep 20"},
                       hives.machineHive());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DESKHAVEN_LOCK_WAIT", "1");
  const ToolRun stalled =
      runTool(DESKHAVEN_REG, {"add", "HKLM\\Software\\T", "/v", "v", "/d", "newer", "/f"}, {}, env);
  sqlite.kill();
  sqlite.waitForFinished();
  QCOMPARE(stalled.status, 1);
  QVERIFY2(stalled.err.contains("(sqlite3) of user nobody; gave up after 1 second."),
           qPrintable(stalled.err));
  QVERIFY2(stalled.err.contains("is locked by another process"), qPrintable(stalled.err));
  QCOMPARE(readText(Root::LocalMachine, "Software\\T", "v"), std::string("new"));
}

void TestDeskhavenReg::sessionEnvPlacesTheHivesAndABrokenOneIsKept() {
  TestHives hives;
  const QByteArray garbage = QByteArray("not a hive\n").repeated(100);
  QVERIFY(writeFile(hives.machineHive(), garbage));
  ToolRun run = reg({"add", "HKLM\\Software\\T", "/v", "v", "/d", "x"});
  QCOMPARE(run.status, 1);
  QVERIFY2(run.err.contains("ERROR: The hive " + hives.machineHive() + " is damaged"),
           qPrintable(run.err));
  // The hive that session.env names is the one the tool writes; the broken one is kept.
  const QString moved = hives.dir() + "/srv/machine.hive";
  QVERIFY(
      writeFile(hives.dir() + "/session.env", "DESKHAVEN_MACHINE_HIVE=" + moved.toUtf8() + "\n"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DESKHAVEN_MACHINE_HIVE");
  env.insert("DESKHAVEN_SESSION_ENV", hives.dir() + "/session.env");
  QCOMPARE(runTool(DESKHAVEN_REG, {"add", "HKLM\\Software\\M", "/f"}, {}, env).status, 0);
  QVERIFY(QFile::exists(moved));
  QCOMPARE(fileBytes(hives.machineHive()), garbage);
}

QTEST_GUILESS_MAIN(TestDeskhavenReg)
#include "tst_deskhavenreg.moc"
