// What runs code: files whose type is a program, a script, an installer, a shortcut or an
// archive that a runner starts; and programs that run other programs (shells,
// interpreters, runners, terminals, openers) whatever they are handed.
#pragma once

#include <QMimeType>
#include <QString>

namespace dh::desktop {

// Whether the type is, or inherits, one whose files run code.
bool isProgramType(const QMimeType& type);

// Whether a file name ends as those of programs, scripts and shortcuts of other systems
// do, for the types that the system's type database may not know (".bat", ".lnk", ...).
bool isProgramName(const QString& fileName);

// Whether the program (a name or a path, the first word of an Exec line) runs other
// programs or scripts.
bool isProgramRunner(const QString& program);

} // namespace dh::desktop
