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

bool IsProgramFile(const QFileInfo& info) {
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

bool OpenAddress(const QString& address) {
  const QUrl url(address);
  if (url.isLocalFile() || url.scheme().size() <= 1)
    return QFileInfo::exists(url.isLocalFile() ? url.toLocalFile() : address) &&
           QDesktopServices::openUrl(url.isLocalFile() ? url : QUrl::fromLocalFile(address));
  return url.isValid() && QDesktopServices::openUrl(url);
}

bool Launch(const QString& path, int hops) {
  const QFileInfo info(path);
  if (!info.exists() || hops > kMostHops)
    return false;
  if (info.isSymLink())
    return Launch(info.symLinkTarget(), hops + 1);
  if (IsDesktopEntry(path)) {
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
    if (!entry)
      return false;
    if (entry->Value(QStringLiteral("Type")) == QLatin1String("Link"))
      return OpenAddress(entry->Value(QStringLiteral("URL")));
    const std::optional<Command> command = CommandOf(*entry, path);
    return command &&
           QProcess::startDetached(command->program, command->arguments, command->workingDirectory);
  }
  if (path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive)) {
    const QString target = ReadShortcut(path).target;
    return !target.isEmpty() && Launch(target, hops + 1);
  }
  if (IsProgramFile(info))
    return QProcess::startDetached(path, {}, info.absolutePath());
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace

bool LaunchProgram(const QString& path) {
  return Launch(path, 0);
}

} // namespace dh::programs
