// The desktop entries of the system (those in the system's data folders, never the user's
// own, which any program the user runs could write): which entry opens or prints a file of
// a type, and the command it gives.
#pragma once

#include <QMimeType>
#include <QStringList>

namespace dh::desktop {

// The applications folders of the system's data folders, the user's own left out.
QStringList systemApplicationFolders();

// The command that opens path, of the type judged, with the system's application for that
// type (its default where the system names one); with action, the command of that action
// of the entry (as "print"). An entry is passed over when it is hidden, runs in a
// terminal, or starts a program runner. Empty when no entry will do.
QStringList handlerCommand(const QMimeType& type, const QString& path, const QString& action = {});

} // namespace dh::desktop
