// Reading the current folder of a navigator into item records, and the type of a file.
#pragma once

#include "files/model/foldernavigator.h"
#include "files/model/itemrecord.h"

#include <QMimeType>

#include <vector>

namespace dh::files {

// The entries the pupil may see in the navigator's current folder, in name order
// (without regard to case). A folder that cannot be read lists nothing.
std::vector<ItemRecord> listFolder(const FolderNavigator& navigator);

// The type of an open file called name, as its name and first bytes say.
QMimeType judgedType(const dh::confine::Descriptor& file, const std::string& name);

// Whether an open file called name runs code: executable, or of a type that is or
// inherits a program, script, installer, shortcut or runner's archive. Such a file is
// never started from My Files.
// Whether files on a file system of that type (statfs) have modes of their own, so that
// the execute bit says something.
bool keepsModes(unsigned long fileSystemType);

bool isProgram(const dh::confine::Descriptor& file, const std::string& name);

} // namespace dh::files
