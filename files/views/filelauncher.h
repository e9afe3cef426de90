// Opening a pupil's file with the application its type names. A file that is itself a
// program is never started: a pupil could otherwise run anything copied into a root.
#pragma once

#include <string>

class QWidget;

namespace dh::files {

// Tells the pupil (a beep and "File Problem") when the file has vanished, is a program,
// or no application opens it.
void OpenFile(QWidget* parent, const std::string& path);

} // namespace dh::files
