// Opening a pupil's file with the application of the system that handles the type judged
// here. A file that is itself a program is never started, nor is a handler that runs
// programs: a pupil could otherwise run anything copied into a root.
#pragma once

#include <string>

class QWidget;

namespace dh::files {

class FolderNavigator;

// Opens the file name of the navigator's folder. Tells the pupil (a beep and "File
// Problem") when the file has vanished, is a program, or no application opens it, and
// with "Folder Changed" when the folder was moved or replaced since it was shown.
void openFile(QWidget* parent, const FolderNavigator& place, const std::string& name);

} // namespace dh::files
