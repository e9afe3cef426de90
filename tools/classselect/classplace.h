// What the class selector knows without a window: the classes that administrators set up
// in "Class Schemes", and where the shell reads "Current Class" in each platform mode.
#pragma once

#include "common/settings.h"
#include "platform/registry/registry.h"

#include <optional>
#include <string>
#include <vector>

namespace dh::classselect {

using dh::kClassSchemesKey;
using dh::kCurrentClassValue;

using dh::ClassPlace;

// Where the shell reads the class in this mode (shellClassStore); nothing for modes that
// keep no class.
std::optional<ClassPlace> classPlace(int mode);

// The named values of "Class Schemes" in registry order; the unnamed default is no class.
std::vector<std::string> configuredClasses();

// The recorded class, empty when none.
std::string currentClass(const ClassPlace& place);

// Records cls as "Current Class", creating the key when needed. kAccessDenied when the
// hive may not be written by this user.
reg::Status recordClass(const ClassPlace& place, const std::string& cls);

// The configured spelling of cls (classes compare without regard to case), or nothing.
std::optional<std::string> findClass(const std::vector<std::string>& classes,
                                     const std::string& cls);

} // namespace dh::classselect
