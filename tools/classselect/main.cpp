// deskhaven-classselect: the outside program that the shell's Change Class starts. Shows
// the configured classes and records the chosen one as "Current Class" where the shell
// reads it for the platform mode; the shell notices the change within a second.
// --set CLASS does the same without a window, for administrators and scripts.
#include "common/hiveplaces.h"
#include "common/platformmode.h"
#include "tools/classselect/classselectdialog.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

using namespace dh::classselect;

namespace {

const char kUsage[] = "Usage: deskhaven-classselect [--set CLASS]\n"
                      "  Without arguments shows the classes of \"Class Schemes\" to choose from.\n"
                      "  --set CLASS records CLASS as the current class without a window.\n"
                      "The hives are $DESKHAVEN_MACHINE_HIVE and $DESKHAVEN_USER_HIVE.\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "deskhaven-classselect: %s\n", message.c_str());
  return 1;
}

int setClass(const std::string& wanted) {
  const int mode = dh::queryPlatformMode(dh::kShellDefaultMode);
  const auto place = classPlace(mode);
  if (!place)
    return fail("platform mode " + std::to_string(mode) + " keeps no current class");
  const auto cls = findClass(configuredClasses(), wanted);
  if (!cls)
    return fail("\"" + wanted + "\" is not a class of \"Class Schemes\"");
  if (const auto st = recordClass(*place, *cls); st != dh::reg::kSuccess)
    return fail(std::string("cannot record the class in ") +
                (place->root == dh::reg::Root::LocalMachine ? "the machine" : "the user") +
                " hive (error " + std::to_string(st) + ")");
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  dh::useHivePlaces();
  if (argc == 3 && std::strcmp(argv[1], "--set") == 0)
    return setClass(argv[2]);
  if (argc != 1) {
    const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 64;
  }
  QApplication app(argc, argv);
  return runClassSelector(dh::queryPlatformMode(dh::kShellDefaultMode));
}
