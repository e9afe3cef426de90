#include "programs/launcher.h"

#include "programs/shortcut.h"

#include "platform/desktop/desktopentries.h"
#include "platform/desktop/desktopentry.h"
#include "platform/desktop/programtypes.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace dh::programs {
namespace {

using dh::desktop::DesktopEntry;

// Shortcuts to shortcuts are followed this far, so a loop of them ends.
constexpr int kMostHops = 8;

bool isProgramFile(const QFileInfo& info) {
  // Files on shares often carry the execute bit: only real programs and scripts run.
  return info.isFile() && info.isExecutable() &&
         dh::desktop::isProgramType(
             QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchContent));
}

// A file of the set that is no program opens with the system's application for its type,
// never one the user's own settings name.
bool openFile(const QFileInfo& info) {
  const QStringList command =
      dh::desktop::handlerCommand(QMimeDatabase().mimeTypeForFile(info), info.absoluteFilePath());
  return !command.isEmpty() && QProcess::startDetached(command.front(), command.mid(1));
}

bool launch(const QString& path, int hops);

// A local file an address names is started as a file of the set would be.
bool openAddress(const QString& address, int hops) {
  const QUrl url(address);
  if (url.isLocalFile() || url.scheme().size() <= 1)
    return launch(url.isLocalFile() ? url.toLocalFile() : address, hops + 1);
  return url.isValid() && QDesktopServices::openUrl(url);
}

bool launch(const QString& path, int hops) {
  const QFileInfo info(path);
  if (!info.exists() || hops > kMostHops)
    return false;
  if (info.isSymLink())
    return launch(info.symLinkTarget(), hops + 1);
  if (isDesktopEntry(path)) {
    const std::optional<DesktopEntry> entry = DesktopEntry::read(path);
    if (!entry)
      return false;
    if (entry->value(QStringLiteral("Type")) == QLatin1String("Link"))
      return openAddress(entry->value(QStringLiteral("URL")), hops);
    // The session has no terminal to run it in: started without one it fails unseen.
    if (entry->flag(QStringLiteral("Terminal")))
      return false;
    const std::optional<Command> command = commandOf(*entry, path);
    return command &&
           QProcess::startDetached(command->program, command->arguments, command->workingDirectory);
  }
  if (path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive)) {
    const QString target = readShortcut(path).target;
    return !target.isEmpty() && launch(target, hops + 1);
  }
  if (isProgramFile(info))
    return QProcess::startDetached(path, {}, info.absolutePath());
  return openFile(info);
}

} // namespace

bool launchProgram(const QString& path) {
  return launch(path, 0);
}

} // namespace dh::programs
