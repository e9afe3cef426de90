// deskhaven-regsvr: registers a component library's classes (or removes them with -u)
// by loading it and calling its own DllRegisterServer or DllUnregisterServer.
#include "common/hiveplaces.h"
#include "platform/components/dhcomponent.h"
#include "platform/components/guard.h"
#include "platform/registry/registry.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace dh::component;

namespace {

// The exit statuses administrators know from the classic tool.
constexpr int kBadArguments = 1;
constexpr int kLoadFailed = 3;
constexpr int kNoEntryPoint = 4;
constexpr int kCallFailed = 5;

const char kUsage[] =
    R"(Usage: deskhaven-regsvr [-u] LIBRARY

Registers the component classes of LIBRARY under HKEY_CLASSES_ROOT by calling its
DllRegisterServer; with -u (also /u, --unregister) removes them with DllUnregisterServer.
A LIBRARY without a folder is taken from the current folder.

Hive: $DESKHAVEN_MACHINE_HIVE (default /var/lib/deskhaven/machine.hive); writing it
needs write access to the file and its folder.
Exit status: 0 done, 1 bad arguments, 3 library not loaded, 4 entry point missing,
5 the library's call failed.
)";

// Why a registration call failed, in words an administrator can act on.
std::string explain(Result result) {
  const std::string hive = dh::machineHivePath();
  if (result == fromWin32(dh::reg::kAccessDenied))
    return "access denied: the machine hive " + hive +
           " cannot be written by this user (HKEY_CLASSES_ROOT is kept in it)";
  if (result == fromWin32(dh::reg::kBadDatabase))
    return "the machine hive " + hive + " is damaged";
  if (result == fromWin32(dh::reg::kWriteFault))
    return "the machine hive " + hive + " could not be written (disk full?)";
  if (result == kUnexpected)
    return "the library raised an exception";
  return "error " + resultText(result);
}

int run(const std::string& argument, bool unregister) {
  const std::string library =
      QFileInfo(QString::fromLocal8Bit(argument.c_str())).absoluteFilePath().toStdString();
  const char* entryName = unregister ? entry::kUnregisterServer : entry::kRegisterServer;

  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    std::fprintf(stderr, "deskhaven-regsvr: cannot load the library: %s\n",
                 error ? error : "unknown error");
    return kLoadFailed;
  }
  auto call = reinterpret_cast<DhRegisterServerFn>(dlsym(handle, entryName));
  if (!call) {
    std::fprintf(stderr,
                 "deskhaven-regsvr: %s was loaded, but the entry point %s was not found; it is "
                 "not a component library.\n",
                 library.c_str(), entryName);
    return kNoEntryPoint;
  }
  Result result = kUnexpected;
  if (auto thrown = exceptionFrom([&] { result = call(); }))
    std::fprintf(stderr, "deskhaven-regsvr: %s of %s threw: %s\n", entryName, library.c_str(),
                 thrown->c_str());
  if (failed(result)) {
    std::fprintf(stderr, "deskhaven-regsvr: %s in %s failed: %s.\n", entryName, library.c_str(),
                 explain(result).c_str());
    return kCallFailed;
  }
  std::printf("%s in %s succeeded.\n", entryName, library.c_str());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  dh::useHivePlaces();
  bool unregister = false;
  std::string library;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h") || !std::strcmp(arg, "/?")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(arg, "-u") || !std::strcmp(arg, "/u") || !std::strcmp(arg, "--unregister")) {
      unregister = true;
    } else if (arg[0] == '-' || !library.empty() || !*arg) {
      std::fprintf(stderr, "deskhaven-regsvr: unexpected argument \"%s\"\n%s", arg, kUsage);
      return kBadArguments;
    } else {
      library = arg;
    }
  }
  if (library.empty()) {
    std::fprintf(stderr, "deskhaven-regsvr: no library named\n%s", kUsage);
    return kBadArguments;
  }
  return run(library, unregister);
}
