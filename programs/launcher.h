// Starts the program behind a file of a program set, detached from the page, never
// through a shell: a desktop entry by its command (or the address it links to), a .lnk
// file or a symbolic link by its target, a program file as itself, any other file with
// the application its type names.
#pragma once

#include <QString>

namespace dh::programs {

// False when the file or its target is not there, or the entry cannot be started (a
// malformed Exec line, a program not found): then nothing has been started.
bool launchProgram(const QString& path);

} // namespace dh::programs
