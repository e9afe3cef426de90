// What the files of a program set lead to: the command a desktop entry runs, and the
// target of a shortcut (desktop entry, .lnk file or symbolic link).
#pragma once

#include "platform/desktop/desktopentry.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace dh::programs {

// While one lives, a program name is looked up on the PATH once on its thread: reading
// thousands of entries that name the same few programs stays quick.
class ProgramLookupCache {
public:
  ProgramLookupCache();
  ~ProgramLookupCache();
  ProgramLookupCache(const ProgramLookupCache&) = delete;
  ProgramLookupCache& operator=(const ProgramLookupCache&) = delete;

private:
  bool owns_; // the outermost one on its thread
};

struct Command {
  QString program; // absolute path of an executable file
  QStringList arguments;
  QString workingDirectory; // empty: the caller's
};

// The command of an application entry at path: its Exec line expanded and its program
// found (on the PATH unless given with a folder). Nothing when the entry is not an
// application, its Exec line is malformed, or its program or TryExec is not found.
std::optional<Command> commandOf(const dh::desktop::DesktopEntry& entry, const QString& path);

struct Shortcut {
  // The program a desktop entry runs or the address it links to, the local path a .lnk
  // file names, the file a symbolic link leads to. Empty for other files and for
  // shortcuts that cannot be read.
  QString target;
  QString icon; // a desktop entry's own icon
};
Shortcut readShortcut(const QString& path);

bool isDesktopEntry(const QString& path);

} // namespace dh::programs
