// Hands a file to the print system without opening it on screen: through the print action
// of the system's desktop entry that handles the file's type where it has one, else
// through the CUPS `lp` command, which reads the file from the descriptor it is handed.
// Programs start without a shell and are never waited for; the file itself is never run.
#pragma once

#include "platform/confine/descriptor.h"

#include <QString>

#include <functional>

class QObject;

namespace dh::print {

enum class Outcome {
  Sent,          // handed to an application's print action or queued with lp
  NoPrintSystem, // no print action and no lp command
  NoPrinter,     // lp refused the job (no printer, or no default one)
};

// Prints file, an open regular file called name. Returns NoPrintSystem at once when
// nothing can print; otherwise Sent, and when lp later refuses the job, failed (if given)
// is called with NoPrinter while context still exists.
Outcome printFile(const dh::confine::Descriptor& file, const QString& name, QObject* context,
                  std::function<void(Outcome)> failed = {});

} // namespace dh::print
