#include "tests/support/testhives.h"

#include "common/hiveplaces.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace dh::reg;

namespace {
Key createOrFail(Root root, std::string_view path) {
  Key key;
  Status st = Key::create(root, path, key);
  if (st != kSuccess)
    qFatal("TestHives: cannot create key %s (status %d)", std::string(path).c_str(), st);
  return key;
}
} // namespace

TestHives::TestHives() {
  qputenv("DESKHAVEN_MACHINE_HIVE", machineHive().toUtf8());
  qputenv("DESKHAVEN_USER_HIVE", userHive().toUtf8());
  qputenv("DESKHAVEN_DEFAULT_USER_HIVE", defaultUserHive().toUtf8());
  dh::useHivePlaces();
}

TestHives::~TestHives() {
  resetHives();
  qputenv("DESKHAVEN_MACHINE_HIVE", "/nonexistent/machine.hive");
  qputenv("DESKHAVEN_USER_HIVE", "/nonexistent/user.hive");
  qputenv("DESKHAVEN_DEFAULT_USER_HIVE", "/nonexistent/default-user.hive");
}

void TestHives::setText(Root root, std::string_view path, std::string_view name,
                        std::string_view text, Type type) {
  Key key = createOrFail(root, path);
  if (key.set(name, type, textData(text)) != kSuccess)
    qFatal("TestHives: cannot set %s", std::string(name).c_str());
}

void TestHives::setDword(Root root, std::string_view path, std::string_view name,
                         std::uint32_t value) {
  Key key = createOrFail(root, path);
  if (key.set(name, Type::Dword, dwordData(value)) != kSuccess)
    qFatal("TestHives: cannot set %s", std::string(name).c_str());
}

void TestHives::createKey(Root root, std::string_view path) {
  createOrFail(root, path);
}

void TestHives::removeValue(Root root, std::string_view path, std::string_view name) {
  Key key;
  if (Key::open(root, path, Access::AllAccess, key) == kSuccess)
    key.deleteValue(name);
}

void TestHives::removeTree(Root root, std::string_view path) {
  Key top;
  if (Key::open(root, "", Access::AllAccess, top) == kSuccess)
    top.deleteTree(path);
}

TestRuntime::TestRuntime() {
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
}

void TestHives::shareReadOnly(bool userWritable) {
  resetHives();
  const auto share = [](const QString& path, mode_t mode) {
    if (QFile::exists(path) && ::chmod(QFile::encodeName(path).constData(), mode) != 0)
      qFatal("TestHives: cannot share %s", qPrintable(path));
  };
  share(dir(), userWritable ? 0777 : 0755);
  share(machineHive(), 0644);
  share(userHive(), userWritable ? 0666 : 0644);
}

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

int runUnprivileged(const std::function<int()>& body) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0)
    return -1;
  if (pid == 0) {
    if (geteuid() == 0) {
      const uid_t nobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
        _exit(255);
    }
    resetHives();
    _exit(body() & 0xff);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}
