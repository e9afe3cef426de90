#include "common/hiveplaces.h"
#include "platform/registry/registry.h"
#include "tools/scheme/schemetool.h"

#include <QFile>

#include <cstdio>

namespace dh::schemetool {

namespace {

bool copyHive(const std::string& from, const QString& to) {
  if (from.empty())
    return true; // a user without a home has no hive of their own: it reads as empty
  const reg::Status st = reg::copyHiveFile(from, QFile::encodeName(to).toStdString());
  if (st == reg::kSuccess || st == reg::kFileNotFound)
    return true; // a missing hive reads as empty, in the copy as in the original
  std::fprintf(stderr, "deskhaven-scheme: cannot read the hive %s\n", from.c_str());
  return false;
}

} // namespace

HiveCopies::HiveCopies(const std::string& user) {
  if (!work_.isValid()) {
    std::fprintf(stderr, "deskhaven-scheme: cannot make a temporary folder\n");
    return;
  }
  const QString machine = work_.filePath(QStringLiteral("machine.hive"));
  const QString own = work_.filePath(QStringLiteral("user.hive"));
  // The default-user hive beneath stays the real one: it is only read.
  qputenv("DESKHAVEN_DEFAULT_USER_HIVE",
          QFile::encodeName(QString::fromStdString(defaultUserHivePath())));
  if (!copyHive(machineHivePath(), machine) || !copyHive(userHivePathOf(user), own))
    return;
  qputenv("DESKHAVEN_MACHINE_HIVE", QFile::encodeName(machine));
  qputenv("DESKHAVEN_USER_HIVE", QFile::encodeName(own));
  reg::resetHives();
  valid_ = true;
}

HiveCopies::~HiveCopies() {
  reg::resetHives();
}

} // namespace dh::schemetool
