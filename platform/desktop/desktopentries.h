// The desktop entries of the system (those in the system's data folders, never the user's
// own, which any program the user runs could write) and their Exec lines: which entry
// opens or prints a file of a type, and the command it gives.
#pragma once

#include <QHash>
#include <QMimeType>
#include <QStringList>

namespace dh::desktop {

// The groups of a desktop entry file, each with its keys (the untranslated ones).
using EntryGroups = QHash<QString, QHash<QString, QString>>;
EntryGroups readEntry(const QString& file);

// The words of an Exec value as the desktop entry format quotes them; empty when its
// quotes do not close.
QStringList splitExec(const QString& exec);

// The command line of an Exec value with its file field codes filled with path (added at
// the end when it names none); empty when the value cannot be split.
QStringList execCommand(const QString& exec, const QString& path);

// The applications folders of the system's data folders, the user's own left out.
QStringList systemApplicationFolders();

// The command that opens path, of the type judged, with the system's application for that
// type (its default where the system names one); with action, the command of that action
// of the entry (as "print"). An entry is passed over when it is hidden, runs in a
// terminal, or starts a program runner. Empty when no entry will do.
QStringList handlerCommand(const QMimeType& type, const QString& path, const QString& action = {});

} // namespace dh::desktop
