// Hands a file to the print system without opening it on screen: through the print action
// of the desktop entry that handles the file's type where it has one, else through the
// CUPS `lp` command. Programs start without a shell and are never waited for; the file
// itself is never run.
#pragma once

#include <QString>

#include <functional>

class QObject;

namespace dh::print {

enum class Outcome {
  Sent,          // handed to an application's print action or queued with lp
  NoPrintSystem, // no print action and no lp command
  NoPrinter,     // lp refused the job (no printer, or no default one)
};

// Prints path. Returns NoPrintSystem at once when nothing can print; otherwise Sent, and
// when lp later refuses the job, failed (if given) is called with NoPrinter while
// context still exists.
Outcome printFile(const QString& path, QObject* context, std::function<void(Outcome)> failed = {});

// The command line of a desktop entry's Exec value with its field codes filled with
// path; empty when the value cannot be split.
QStringList execCommand(const QString& exec, const QString& path);

} // namespace dh::print
