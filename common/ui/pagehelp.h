// A page's help: the help book named by the setting "HelpPath", opened at the page's
// numbered context. A book that cannot be opened is reported with "Help Problem".
#pragma once

#include <QString>

class QWidget;

namespace dh {

// The value of "HelpPath", read afresh.
QString helpPath();
// A beep, then the "Help Problem" message.
void helpProblem(QWidget* parent);
// Opens the book at context, or tells the pupil it could not.
void showPageHelp(QWidget* parent, unsigned context);

} // namespace dh
