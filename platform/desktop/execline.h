// The command line of a desktop entry's Exec key, taken apart as the Desktop Entry
// format says: arguments split at blanks, double quotes with their escapes, and the
// field codes expanded, for a start with one file or none. Nothing here runs a shell, so
// shell syntax outside quotes makes the line malformed.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace dh::desktop {

// What the field codes stand for.
struct ExecFields {
  QString name;     // %c: the entry's translated name
  QString icon;     // %i: "--icon" and this, when not empty
  QString location; // %k: the entry's own file
  QString file;     // %f %F %u %U: the file started with, or empty; a line that names
                    // none of them gets it as its last argument
};

// The program and its arguments, or nothing when the line is malformed (unbalanced
// quotes, an unknown field code, an unquoted reserved character, no program).
std::optional<QStringList> expandExec(const QString& exec, const ExecFields& fields);

} // namespace dh::desktop
