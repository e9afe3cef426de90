// Private registry hives and folders for one test: every test builds its own, so none
// touches the user's real configuration or /var/lib.
#pragma once

#include "platform/registry/registry.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string_view>

class TestHives {
public:
  // Points DESKHAVEN_MACHINE_HIVE, DESKHAVEN_USER_HIVE and DESKHAVEN_DEFAULT_USER_HIVE
  // into a fresh temporary folder.
  TestHives();
  ~TestHives();

  QString dir() const { return dir_.path(); }
  QString machineHive() const { return dir_.filePath("machine.hive"); }
  QString userHive() const { return dir_.filePath("user.hive"); }
  QString defaultUserHive() const { return dir_.filePath("default-user.hive"); }

  // Write a value, creating its key; a failure fails the test at once.
  void setText(dh::reg::Root root, std::string_view path, std::string_view name,
               std::string_view text, dh::reg::Type type = dh::reg::Type::Sz);
  void setDword(dh::reg::Root root, std::string_view path, std::string_view name,
                std::uint32_t value);
  void createKey(dh::reg::Root root, std::string_view path);
  void removeValue(dh::reg::Root root, std::string_view path, std::string_view name);
  void removeTree(dh::reg::Root root, std::string_view path);
  // Lets the account of runUnprivileged read the hives and write none of them, or with
  // userWritable the user hive only, as a pupil's session finds them.
  void shareReadOnly(bool userWritable = false);

private:
  QTemporaryDir dir_;
};

#include <functional>

// A private XDG_RUNTIME_DIR, where the session's named events, locks and sockets live.
class TestRuntime {
public:
  TestRuntime();
  QString dir() const { return dir_.path(); }

private:
  QTemporaryDir dir_;
};

// Runs body in a child process as an unprivileged user (nobody when the test runs as
// root, which ignores file permissions) and returns its result, or -1 when the child
// died. Refusals of permission are tested through this, never skipped.
int runUnprivileged(const std::function<int()>& body);
