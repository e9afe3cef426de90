#include "platform/registry/registry.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QFile>
#include <QTest>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace dh::reg;

class TestRegistry : public QObject {
  Q_OBJECT

private slots:
  void valuesKeepTypeAndNameCase();
  void callersBufferTooSmall();
  void missingKeysValuesAndDeletedKeys();
  void deleteTreeStopsAtSiblingsWithSamePrefix();
  void transactionRollsBackEverything();
  void readOnlyHiveRefusesWriteAccess();
  void corruptHiveReadsEmptyAndIsNeverWritten();
  void missingMachineHiveReadsEmpty();
  void concurrentProcessesAndThreadsLoseNothing();
  void defaultUserHiveLiesBeneathTheUsersOwn();
};

void TestRegistry::valuesKeepTypeAndNameCase() {
  TestHives hives;
  Key key;
  bool created = false;
  QCOMPARE(Key::create(Root::LocalMachine, "Software\\Halvane\\Test", key, &created), kSuccess);
  QVERIFY(created);
  QCOMPARE(key.set("Name", Type::ExpandSz, textData("%HOME%\\x")), kSuccess);
  QCOMPARE(key.set("", Type::Sz, textData("default")), kSuccess);
  QCOMPARE(key.set("Count", Type::Dword, dwordData(0xfffffffe)), kSuccess);
  QCOMPARE(key.set("Blob", Type::Binary, {0, 1, 2, 0, 255}), kSuccess);
  QCOMPARE(key.set("Empty", Type::Sz, nullptr, 0), kSuccess);

  // Another open, by a path in other case, sees the same key and the stored case.
  Key again;
  QCOMPARE(Key::open(Root::LocalMachine, "SOFTWARE\\halvane\\TEST", Access::Read, again), kSuccess);
  QCOMPARE(again.path(), std::string("Software\\Halvane\\Test"));
  Value v;
  QCOMPARE(readText(Root::LocalMachine, "software\\halvane\\test", "name"),
           std::string("%HOME%\\x"));
  QCOMPARE(readDword(Root::LocalMachine, "Software\\Halvane\\Test", "count").value(), 0xfffffffeu);

  // Setting a value by another case replaces it and keeps the first spelling. A key
  // opened for reading answers from what it read at open; reopening sees the change.
  QCOMPARE(key.set("name", Type::Sz, textData("two")), kSuccess);
  QCOMPARE(again.query("Name", v), kSuccess);
  QCOMPARE(v.type, Type::ExpandSz);
  QCOMPARE(Key::open(Root::LocalMachine, "Software\\Halvane\\Test", Access::Read, again), kSuccess);
  std::vector<Value> all;
  QCOMPARE(again.values(all), kSuccess);
  QCOMPARE(all.size(), std::size_t(5));
  QCOMPARE(all[4].name, std::string("Name"));
  QCOMPARE(all[4].type, Type::Sz);

  // Names outside ASCII fold too.
  QCOMPARE(key.set("Grüße", Type::Dword, dwordData(7)), kSuccess);
  QCOMPARE(readDword(Root::LocalMachine, "Software\\Halvane\\Test", "GRÜSSE").value_or(0), 0u);
  QCOMPARE(readDword(Root::LocalMachine, "Software\\Halvane\\Test", "GRÜßE").value_or(0), 7u);
}

void TestRegistry::callersBufferTooSmall() {
  TestHives hives;
  std::string text(299, 'x');
  hives.setText(Root::LocalMachine, "K", "Long", text);
  Key key;
  QCOMPARE(Key::open(Root::LocalMachine, "K", Access::Read, key), kSuccess);
  char buffer[260];
  std::uint32_t size = sizeof buffer;
  Type type = Type::None;
  QCOMPARE(key.query("Long", &type, buffer, &size), kMoreData);
  QCOMPARE(size, 300u);
  size = 0;
  QCOMPARE(key.query("Long", &type, nullptr, &size), kSuccess);
  QCOMPARE(size, 300u);
  QCOMPARE(readText(Root::LocalMachine, "K", "Long"), std::string());
  QCOMPARE(readText(Root::LocalMachine, "K", "Long", 300), text);
  // 259 characters and the terminating zero fill 260 bytes exactly.
  hives.setText(Root::LocalMachine, "K", "Fits", std::string(259, 'y'));
  QCOMPARE(readText(Root::LocalMachine, "K", "Fits").size(), std::size_t(259));
}

void TestRegistry::missingKeysValuesAndDeletedKeys() {
  TestHives hives;
  hives.setText(Root::CurrentUser, "A\\B", "V", "1");
  Key key;
  QCOMPARE(Key::open(Root::CurrentUser, "A\\C", Access::Read, key), kFileNotFound);
  QCOMPARE(Key::open(Root::LocalMachine, "A\\B", Access::Read, key), kFileNotFound);
  QCOMPARE(Key::open(Root::CurrentUser, "A\\B", Access::AllAccess, key), kSuccess);
  Value v;
  QCOMPARE(key.query("W", v), kFileNotFound);
  QCOMPARE(key.deleteValue("W"), kFileNotFound);

  Key parent;
  QCOMPARE(Key::open(Root::CurrentUser, "A", Access::AllAccess, parent), kSuccess);
  QCOMPARE(parent.deleteTree("b"), kSuccess);
  QCOMPARE(key.query("V", v), kKeyDeleted);
  QCOMPARE(key.set("V", Type::Sz, textData("x")), kKeyDeleted);
  QCOMPARE(parent.deleteTree("B"), kFileNotFound);

  Key readOnly;
  QCOMPARE(Key::open(Root::CurrentUser, "A", Access::Read, readOnly), kSuccess);
  QCOMPARE(readOnly.set("V", Type::Sz, textData("x")), kAccessDenied);
  Key none;
  QCOMPARE(none.query("V", v), kInvalidHandle);
}

void TestRegistry::deleteTreeStopsAtSiblingsWithSamePrefix() {
  TestHives hives;
  for (auto path : {"S\\Root 1", "S\\Root 1\\Deep", "S\\Root 10", "S\\Root 1x", "S\\Root 1]"})
    hives.setDword(Root::LocalMachine, path, "N", 1);
  Key s;
  QCOMPARE(Key::open(Root::LocalMachine, "S", Access::AllAccess, s), kSuccess);
  QCOMPARE(s.deleteTree("root 1"), kSuccess);
  std::vector<std::string> names;
  QCOMPARE(s.subkeys(names), kSuccess);
  QCOMPARE(names, (std::vector<std::string>{"Root 10", "Root 1]", "Root 1x"}));
  QVERIFY(!readDword(Root::LocalMachine, "S\\Root 1\\Deep", "N"));

  // An empty subkey name clears the key but keeps it.
  QCOMPARE(s.deleteTree(""), kSuccess);
  QCOMPARE(s.subkeys(names), kSuccess);
  QVERIFY(names.empty());
}

void TestRegistry::transactionRollsBackEverything() {
  TestHives hives;
  hives.setDword(Root::LocalMachine, "T", "Kept", 1);
  {
    Transaction t(Root::LocalMachine);
    QCOMPARE(t.status(), kSuccess);
    hives.setDword(Root::LocalMachine, "T\\New", "X", 2);
    hives.removeValue(Root::LocalMachine, "T", "Kept");
  }
  QCOMPARE(readDword(Root::LocalMachine, "T", "Kept").value_or(0), 1u);
  Key key;
  QCOMPARE(Key::open(Root::LocalMachine, "T\\New", Access::Read, key), kFileNotFound);
  {
    Transaction t(Root::LocalMachine);
    hives.setDword(Root::LocalMachine, "T\\New", "X", 2);
    QCOMPARE(t.commit(), kSuccess);
  }
  QCOMPARE(readDword(Root::LocalMachine, "T\\New", "X").value_or(0), 2u);
}

void TestRegistry::readOnlyHiveRefusesWriteAccess() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\User Schemes", "ann", "Lab");
  hives.shareReadOnly();
  const QByteArray before = fileBytes(hives.machineHive());

  int result = runUnprivileged([] {
    Key key;
    const char* path = "Software\\Halvane\\Deskhaven\\User Schemes";
    if (Key::open(Root::LocalMachine, path, Access::AllAccess, key) != kAccessDenied)
      return 1;
    if (Key::create(Root::LocalMachine, "Software\\New", key) != kAccessDenied)
      return 2;
    if (Key::open(Root::LocalMachine, path, Access::Read, key) != kSuccess)
      return 3;
    if (key.set("ann", Type::Sz, textData("x")) != kAccessDenied)
      return 4;
    return readText(Root::LocalMachine, path, "ann") == "Lab" ? 0 : 5;
  });
  QCOMPARE(result, 0);
  QCOMPARE(fileBytes(hives.machineHive()), before);
}

void TestRegistry::corruptHiveReadsEmptyAndIsNeverWritten() {
  TestHives hives;
  const QByteArray garbage = QByteArray("This is not a hive.\n").repeated(300);
  QVERIFY(writeFile(hives.machineHive(), garbage));
  Key key;
  QCOMPARE(Key::open(Root::LocalMachine, "Software", Access::Read, key), kFileNotFound);
  QVERIFY(Key::create(Root::LocalMachine, "Software", key) != kSuccess);
  QVERIFY(Key::open(Root::LocalMachine, "", Access::AllAccess, key) != kSuccess);
  QCOMPARE(fileBytes(hives.machineHive()), garbage);
  // The user hive is unaffected.
  hives.setDword(Root::CurrentUser, "X", "Y", 1);
  QCOMPARE(readDword(Root::CurrentUser, "X", "Y").value_or(0), 1u);

  // Another program's database is no hive either.
  QVERIFY(QFile::remove(hives.machineHive()));
  resetHives();
  QCOMPARE(std::system(("sqlite3 '" + QFile::encodeName(hives.machineHive()) +
                        "' 'CREATE TABLE notes(x); INSERT INTO notes VALUES (1);'")
                           .constData()),
           0);
  const QByteArray database = fileBytes(hives.machineHive());
  QVERIFY(Key::create(Root::LocalMachine, "Software", key) != kSuccess);
  QCOMPARE(fileBytes(hives.machineHive()), database);
}

void TestRegistry::missingMachineHiveReadsEmpty() {
  TestHives hives;
  Key key;
  QCOMPARE(Key::open(Root::LocalMachine, "Software", Access::Read, key), kFileNotFound);
  QCOMPARE(readText(Root::ClassesRoot, "CLSID", ""), std::string());
  QVERIFY(!QFile::exists(hives.machineHive()));
}

void TestRegistry::concurrentProcessesAndThreadsLoseNothing() {
  TestHives hives;
  hives.createKey(Root::LocalMachine, "Shared");
  constexpr int kWrites = 10000;
  auto writer = [](const char* prefix) {
    Key key;
    if (Key::open(Root::LocalMachine, "Shared", Access::AllAccess, key) != kSuccess)
      return 1;
    for (int i = 0; i < kWrites; ++i) {
      std::string name = prefix + std::to_string(i);
      if (Status st = key.set(name, Type::Dword, dwordData(static_cast<std::uint32_t>(i)));
          st != kSuccess)
        return st == kWriteFault ? 3 : 2;
    }
    return 0;
  };
  resetHives();
  pid_t children[2];
  const char* prefixes[2] = {"a", "b"};
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    if (children[c] == 0) {
      resetHives();
      _exit(writer(prefixes[c]));
    }
  }
  // Meanwhile two threads of this process write and read the same key.
  int threadResults[2] = {-1, -1};
  std::thread t1([&] { threadResults[0] = writer("c"); });
  std::thread t2([&] {
    int bad = 0;
    for (int i = 0; i < 2000; ++i)
      if (readDword(Root::LocalMachine, "Shared", "never").has_value())
        ++bad;
    threadResults[1] = bad;
  });
  t1.join();
  t2.join();
  for (pid_t child : children) {
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a writing process failed");
  }
  QCOMPARE(threadResults[0], 0);
  QCOMPARE(threadResults[1], 0);
  Key key;
  QCOMPARE(Key::open(Root::LocalMachine, "Shared", Access::Read, key), kSuccess);
  std::vector<Value> all;
  QCOMPARE(key.values(all), kSuccess);
  QCOMPARE(all.size(), std::size_t(3 * kWrites));
}

void TestRegistry::defaultUserHiveLiesBeneathTheUsersOwn() {
  TestHives hives;
  // What an administrator puts in the default-user hive.
  qputenv("DESKHAVEN_USER_HIVE", hives.defaultUserHive().toUtf8());
  resetHives();
  hives.setText(Root::CurrentUser, "Software\\T", "Both", "default");
  hives.setText(Root::CurrentUser, "Software\\T", "Beneath", "default");
  hives.createKey(Root::CurrentUser, "Software\\T\\Shared");
  hives.createKey(Root::CurrentUser, "Software\\Only");
  for (int i = 0; i < 70; ++i) // more than a key reads with itself
    hives.setDword(Root::CurrentUser, "Software\\Many", "v" + std::to_string(i), 1);
  qputenv("DESKHAVEN_USER_HIVE", hives.userHive().toUtf8());
  resetHives();
  const QByteArray defaults = fileBytes(hives.defaultUserHive());

  hives.setText(Root::CurrentUser, "Software\\t", "both", "own");
  hives.createKey(Root::CurrentUser, "Software\\T\\Mine");
  hives.setDword(Root::CurrentUser, "Software\\Many", "v0", 2);
  QCOMPARE(readText(Root::CurrentUser, "Software\\T", "Both"), std::string("own"));
  QCOMPARE(readText(Root::CurrentUser, "Software\\T", "Beneath"), std::string("default"));
  QCOMPARE(readDword(Root::CurrentUser, "Software\\Many", "v0"), std::optional<std::uint32_t>(2));
  QCOMPARE(readDword(Root::CurrentUser, "Software\\Many", "v69"), std::optional<std::uint32_t>(1));
  Key key;
  QCOMPARE(Key::open(Root::CurrentUser, "Software\\T", Access::Read, key), kSuccess);
  std::vector<std::string> subkeys;
  QCOMPARE(key.subkeys(subkeys), kSuccess);
  QCOMPARE(subkeys, (std::vector<std::string>{"Mine", "Shared"}));
  std::vector<Value> values;
  Key many;
  QCOMPARE(Key::open(Root::CurrentUser, "Software\\Many", Access::Read, many), kSuccess);
  QCOMPARE(many.values(values), kSuccess);
  QCOMPARE(values.size(), std::size_t(70));

  // A key only beneath reads as any other; writing it gives the user a key of their own.
  QCOMPARE(Key::open(Root::CurrentUser, "Software\\Only", Access::Write, key), kSuccess);
  QCOMPARE(key.set("Added", Type::Sz, textData("mine")), kSuccess);
  QCOMPARE(readText(Root::CurrentUser, "Software\\Only", "Added"), std::string("mine"));
  // Deleting the user's value lets the default show again; the defaults never change.
  hives.removeValue(Root::CurrentUser, "Software\\T", "Both");
  QCOMPARE(readText(Root::CurrentUser, "Software\\T", "Both"), std::string("default"));
  QCOMPARE(fileBytes(hives.defaultUserHive()), defaults);
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
