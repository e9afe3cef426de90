// Reading the current folder of a navigator into item records, and the type of a file.
#pragma once

#include "files/views/foldernavigator.h"
#include "files/views/itemrecord.h"

#include <vector>

namespace dh::files {

// The entries the pupil may see in the navigator's current folder, in name order
// (without regard to case). A folder that cannot be read lists nothing.
std::vector<ItemRecord> ListFolder(const FolderNavigator& navigator);

// Whether a file is itself a program: executable, a script, a desktop entry or a
// program library. Such a file is never started from My Files.
bool IsProgram(const std::string& path);

} // namespace dh::files
