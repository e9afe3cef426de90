#include "programs/applicationsmenu.h"

#include "programs/shortcut.h"

#include "common/settings.h"
#include "platform/desktop/desktopentry.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>

#include <algorithm>
#include <map>

namespace dh::programs {
namespace {

using dh::desktop::DesktopEntry;

// The main categories of the menu and the names of their sets.
struct MainCategory {
  const char* category;
  const char* set;
};
constexpr MainCategory kMainCategories[] = {
    {"AudioVideo", "Sound and Video"},
    {"Audio", "Sound"},
    {"Video", "Video"},
    {"Development", "Programming"},
    {"Education", "Education"},
    {"Game", "Games"},
    {"Graphics", "Graphics"},
    {"Network", "Internet"},
    {"Office", "Office"},
    {"Science", "Science"},
    {"Settings", "Settings"},
    {"System", "System"},
    {"Utility", "Accessories"},
};
constexpr const char* kOtherSet = "Other";

QString setNameOf(const DesktopEntry& entry) {
  for (const QString& category : entry.list(QStringLiteral("Categories"))) {
    for (const MainCategory& main : kMainCategories) {
      if (category == QLatin1String(main.category))
        return QString::fromLatin1(main.set);
    }
  }
  return QString::fromLatin1(kOtherSet);
}

bool shownOnThisDesktop(const DesktopEntry& entry) {
  const QStringList desktops =
      qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
  auto any = [&](const QString& key) {
    const QStringList named = entry.list(key);
    return std::any_of(desktops.begin(), desktops.end(),
                       [&](const QString& desktop) { return named.contains(desktop); });
  };
  if (entry.has(QStringLiteral("OnlyShowIn")) && !any(QStringLiteral("OnlyShowIn")))
    return false;
  return !any(QStringLiteral("NotShowIn"));
}

// The program entry of a menu entry, or nothing when the menu leaves it out.
std::optional<ProgramEntry> menuItem(const DesktopEntry& entry, const QString& path) {
  if (entry.flag(QStringLiteral("Hidden")) || entry.flag(QStringLiteral("NoDisplay")) ||
      entry.flag(QStringLiteral("Terminal")) || !shownOnThisDesktop(entry))
    return std::nullopt;
  const QString name = entry.localized(QStringLiteral("Name"));
  const std::optional<Command> command = commandOf(entry, path);
  if (name.isEmpty() || !command)
    return std::nullopt;
  return ProgramEntry{name, command->program, path, entry.value(QStringLiteral("Icon"))};
}

bool byName(const ProgramEntry& a, const ProgramEntry& b) {
  return a.DisplayName.localeAwareCompare(b.DisplayName) < 0;
}

} // namespace

QStringList dataFolders() {
  QString system = qEnvironmentVariable("XDG_DATA_DIRS");
  if (system.isEmpty())
    system = QStringLiteral("/usr/local/share:/usr/share");
  QStringList folders = system.split(u':', Qt::SkipEmptyParts);
  if (dh::reg::readDword(dh::reg::Root::LocalMachine, dh::kSettingsKey,
                         dh::setting::kUserDesktopEntries) == 1u) {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
      home = QDir::homePath() + QStringLiteral("/.local/share");
    folders.prepend(home);
  }
  return folders;
}

std::vector<ProgramSet> readApplicationsMenu(const QStringList& dataFolders) {
  QSet<QString> seen; // desktop file ids: the first folder that has one decides
  std::map<QString, ProgramSet> sets;
  for (const QString& folder : dataFolders) {
    const QDir applications(folder + QStringLiteral("/applications"));
    QDirIterator files(applications.path(), {QStringLiteral("*.desktop")}, QDir::Files,
                       QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (files.hasNext()) {
      const QString path = files.next();
      const QString id = applications.relativeFilePath(path).replace(u'/', u'-');
      if (seen.contains(id))
        continue;
      seen.insert(id);
      const std::optional<DesktopEntry> entry = DesktopEntry::read(path);
      if (!entry)
        continue;
      if (std::optional<ProgramEntry> item = menuItem(*entry, path)) {
        ProgramSet& set = sets[setNameOf(*entry)];
        set.Programs.push_back(std::move(*item));
      }
    }
  }
  std::vector<ProgramSet> out;
  for (auto& [name, set] : sets) {
    set.Name = name;
    std::sort(set.Programs.begin(), set.Programs.end(), byName);
    out.push_back(std::move(set));
  }
  return out;
}

} // namespace dh::programs
