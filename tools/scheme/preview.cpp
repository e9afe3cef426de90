// deskhaven-scheme preview: what a pupil would see, rendered for an administrator without
// logging in. The shell runs offscreen on copies of both hives (HiveCopies), so that nothing
// it or the selection writes (page usability, a user's scheme entry) reaches the real ones,
// and the class and platform mode asked for can be written into the copies.
#include "common/platformmode.h"
#include "common/scheme.h"
#include "common/settings.h"
#include "platform/registry/registry.h"
#include "tools/scheme/schemetool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace dh::schemetool {

namespace {

constexpr int kPictureDelayMs = 2500; // lets each page draw, and a web page load
constexpr int kShellTimeoutMs = 120000;
constexpr const char* kPlatformKey = "Software\\Halvane\\Platform";
constexpr char kScreen[] = R"({"screens": [{"name": "preview", "x": 0, "y": 0, "width": 1280,
  "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

struct PreviewArguments {
  std::string user;
  std::optional<std::string> cls;
  std::optional<std::int32_t> mode;
  QString out;
};

bool writeOverrides(const PreviewArguments& args, std::int32_t& mode) {
  if (args.mode) {
    reg::Key key;
    if (reg::Key::create(reg::Root::LocalMachine, kPlatformKey, key) != reg::kSuccess ||
        key.set("Mode", reg::Type::Dword, reg::dwordData(static_cast<std::uint32_t>(*args.mode))) !=
            reg::kSuccess)
      return false;
  }
  mode = queryPlatformMode(kShellDefaultMode);
  if (args.mode && mode != *args.mode)
    std::fprintf(stderr,
                 "deskhaven-scheme: the platform mode component is not registered, so the "
                 "shell keeps mode %d\n",
                 mode);
  if (!args.cls)
    return true;
  const auto place = classPlaceOf(shellClassStore(mode));
  if (!place) {
    std::fprintf(stderr, "deskhaven-scheme: platform mode %d keeps no class\n", mode);
    return false;
  }
  reg::Key key;
  return reg::Key::create(place->root, place->key, key) == reg::kSuccess &&
         key.set(kCurrentClassValue, reg::Type::Sz, reg::textData(*args.cls)) == reg::kSuccess;
}

std::optional<PreviewArguments> parse(int argc, char** argv, int& status) {
  PreviewArguments args;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      status = usageError(arg + " needs a value");
      return std::nullopt;
    }
    const char* value = argv[++i];
    if (arg == "--user") {
      args.user = value;
    } else if (arg == "--class") {
      args.cls = value;
    } else if (arg == "--out") {
      args.out = QString::fromLocal8Bit(value);
    } else if (arg == "--mode") {
      std::int32_t mode = 0;
      if (!parseMode(value, mode)) {
        status = usageError(std::string("--mode takes a whole number, not \"") + value + "\"");
        return std::nullopt;
      }
      args.mode = mode;
    } else {
      status = usageError("unknown argument \"" + arg + "\" for preview");
      return std::nullopt;
    }
  }
  if (args.user.empty() || args.out.isEmpty()) {
    status = usageError("preview needs --user NAME and --out DIR");
    return std::nullopt;
  }
  return args;
}

QString shellProgram() {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2) +
         QStringLiteral("/deskhaven2");
}

} // namespace

int preview(int argc, char** argv) {
  int status = 0;
  const auto args = parse(argc, argv, status);
  if (!args)
    return status;

  HiveCopies copies(args->user);
  if (!copies.valid())
    return 1;
  if (!QDir().mkpath(args->out)) {
    std::fprintf(stderr, "deskhaven-scheme: cannot make the folder %s\n", qPrintable(args->out));
    return 1;
  }
  const QDir work(copies.folder());

  std::int32_t mode = kShellDefaultMode;
  if (!writeOverrides(*args, mode)) {
    std::fprintf(stderr, "deskhaven-scheme: cannot set the class or mode for the preview\n");
    return 1;
  }
  if (printSelection(mode, args->user) == DhvScheme::kError)
    return 2;

  // The shell's own files (runtime socket, browser profile) go to the work folder too.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* dir : {"runtime", "data", "config", "cache"})
    work.mkdir(QString::fromLatin1(dir));
  QFile::setPermissions(work.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work.filePath(QStringLiteral("runtime")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), work.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_CACHE_HOME"), work.filePath(QStringLiteral("cache")));
  env.insert(QStringLiteral("DESKHAVEN_PREVIEW_USER"), QString::fromStdString(args->user));
  // An offscreen screen of a common classroom size.
  QFile screen(work.filePath(QStringLiteral("screen.json")));
  if (!screen.open(QIODevice::WriteOnly) || screen.write(kScreen) < 0)
    return 1;
  screen.close();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"),
             QStringLiteral("offscreen:configfile=") + screen.fileName());
  if (::geteuid() == 0) // the browser's sandbox refuses root; a pupil's session keeps it
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));

  QProcess shell;
  shell.setProcessEnvironment(env);
  shell.setProcessChannelMode(QProcess::SeparateChannels);
  shell.start(shellProgram(),
              {QStringLiteral("--preview"), QDir(args->out).absolutePath(),
               QStringLiteral("--screenshot-delay"), QString::number(kPictureDelayMs)});
  const bool finished = shell.waitForFinished(kShellTimeoutMs);
  // What the shell would have shown the pupil (its message boxes, a damaged hive), without
  // the browser engine's chatter.
  for (const QByteArray& line : shell.readAllStandardError().split('\n'))
    if (line.startsWith("deskhaven"))
      std::fprintf(stderr, "%s\n", line.constData());
  if (!finished || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
    shell.kill();
    std::fprintf(stderr, "deskhaven-scheme: the shell could not render the preview (%s)\n",
                 qPrintable(shell.errorString()));
    return 1;
  }
  for (const QString& file : QDir(args->out).entryList({QStringLiteral("*.png")}, QDir::Files))
    std::printf("%s\n", qPrintable(QDir(args->out).filePath(file)));
  return 0;
}

} // namespace dh::schemetool
