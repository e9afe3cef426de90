// Hands a file to the print system without opening it on screen: through the print action
// of the system's desktop entry that handles the file's type where it has one, else
// through the CUPS `lp` command, which reads the file from the descriptor it is handed.
// Programs start without a shell and are never waited for; the file itself is never run.
#pragma once

#include "platform/confine/descriptor.h"

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

// Prints file, an open regular file called name. Returns NoPrintSystem at once when
// nothing can print; otherwise Sent, and when lp later refuses the job, failed (if given)
// is called with the reason while context still exists.
Outcome printFile(const dh::confine::Descriptor& file, const QString& name, QObject* context,
                  std::function<void(Outcome)> failed = {});

} // namespace dh::print
