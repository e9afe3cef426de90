#include "programs/launcher.h"

#include "programs/shortcut.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace dh::programs {
namespace {

// Shortcuts to shortcuts are followed this far, so a loop of them ends.
constexpr int kMostHops = 8;

bool isProgramFile(const QFileInfo& info) {
  if (!info.isFile() || !info.isExecutable())
    return false;
  // Files on shares often carry the execute bit: only real programs and scripts run.
  const QMimeType type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchContent);
  for (const char* program : {"application/x-executable", "application/x-sharedlib",
                              "application/x-pie-executable", "application/x-shellscript"}) {
    if (type.inherits(QLatin1String(program)))
      return true;
  }
  return false;
}

bool openAddress(const QString& address) {
  const QUrl url(address);
  if (url.isLocalFile() || url.scheme().size() <= 1)
    return QFileInfo::exists(url.isLocalFile() ? url.toLocalFile() : address) &&
           QDesktopServices::openUrl(url.isLocalFile() ? url : QUrl::fromLocalFile(address));
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
      return openAddress(entry->value(QStringLiteral("URL")));
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
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace

bool launchProgram(const QString& path) {
  return launch(path, 0);
}

} // namespace dh::programs
