// Hands a file to the print system without opening it on screen: through the print action
// of the desktop entry that handles the file's type where it has one, else through the
// CUPS `lp` command. Programs start without a shell and are never waited for; the file
// itself is never run.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QObject;

namespace dh::print {

enum class Outcome {
  Sent,          // handed to an application's print action or queued with lp
  NoPrintSystem, // no print action and no lp command
  NoPrinter,     // lp found no printer (none set up, no default one, or it is gone)
  NotAnswering,  // lp could not reach the print service
  Refused,       // lp took no job for another reason (the file unreadable, its type)
};

// Why lp refused a job, from what it wrote to its error output.
Outcome lpRefusal(const QByteArray& errorOutput);

// Prints path. Returns NoPrintSystem at once when nothing can print; otherwise Sent, and
// when lp later refuses the job, failed (if given) is called with the reason while
// context still exists.
Outcome printFile(const QString& path, QObject* context, std::function<void(Outcome)> failed = {});

// The command line of a desktop entry's Exec value with its field codes filled with
// path; empty when the value cannot be split.
QStringList execCommand(const QString& exec, const QString& path);

} // namespace dh::print
