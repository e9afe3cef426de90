// The machine-wide settings of "Software\Halvane\Deskhaven\Settings" (HKLM) and the user
// type indicator picture. Each value is read afresh at each use; nothing is cached.
#pragma once

#include "common/platformmode.h"
#include "platform/registry/registry.h"

#include <optional>
#include <string>

namespace dh {

// Registry locations shared by every deliverable.
inline constexpr const char* kDeskhavenKey = "Software\\Halvane\\Deskhaven";
inline constexpr const char* kSettingsKey = "Software\\Halvane\\Deskhaven\\Settings";
inline constexpr const char* kSchemesKey = "Software\\Halvane\\Deskhaven\\Schemes";
inline constexpr const char* kClassSchemesKey = "Software\\Halvane\\Deskhaven\\Class Schemes";
// Where sibling products keep the account type and the current class: the machine's
// key (platform modes 1 to 5) and the user's (modes 6 and 7), value "Current Class".
inline constexpr const char* kPlotbenchKey = "Software\\Halvane\\Stowlet\\Plotbench";
inline constexpr const char* kFieldbenchKey = "Software\\Halvane\\Fieldbench";
inline constexpr const char* kCurrentClassValue = "Current Class";

// The key that holds a class store's "Current Class"; nothing for ClassStore::None.
struct ClassPlace {
  reg::Root root;
  const char* key;
};
std::optional<ClassPlace> classPlaceOf(ClassStore store);

// The settings values and the buffer each is read into.
namespace setting {
inline constexpr const char* kDefaultPictures = "Default Pictures";
inline constexpr const char* kUserDefinedPictures = "User Defined Pictures";
inline constexpr const char* kHelpPath = "HelpPath";
inline constexpr const char* kAgentPath = "msAgent Path"; // any length
inline constexpr const char* kClassSelector = "Class Selector Executable Path";
inline constexpr const char* kRunDir = "Deskhaven Run Dir";
inline constexpr const char* kPrintFileTypes = "PrintFileTypes"; // 500 bytes
inline constexpr const char* kProgramSetLocation = "Override Program Set Location";
// The group whose members, besides the superuser, may make folder shortcuts that lead
// out of a root (REG_SZ, a group name).
inline constexpr const char* kAdministratorsGroup = "Administrators Group";
// Whether the applications menu may take desktop entries from the user's own data folder
// (REG_DWORD, 1 allows; anything else, or none, reads the system's entries only).
inline constexpr const char* kUserDesktopEntries = "Allow User Desktop Entries";
} // namespace setting

// A settings value as text: empty when missing, not a text, or longer than the buffer
// that its readers use (260 bytes; 500 for PrintFileTypes; no limit for msAgent Path).
std::string readSetting(const char* name);

// The value of "Default Pictures", empty if missing.
std::string GetDefaultPicturesFolder();

// Full path of the picture that marks the logged-on user's type, or empty: the policy
// value "InfoTip" names it without extension; the user-defined pictures folder is
// searched first, then the default pictures folder.
std::string GetUserTypePicturePath();

// Joins a folder and a file name with exactly one separator between them.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace dh
