// The scheme: the named configuration record that decides what one pupil sees on every
// page. Administrators keep schemes in the machine hive under one key per scheme; each
// deliverable holds its own record and loads it for itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dh {

struct RootFolder {
  std::string RootDisplayName;
  std::string RootPath;
  std::int32_t FolderLevels = 0; // -1: no limit
  std::string CollapsedIconFile;
  std::string ExpandedIconFile;
  std::string LongToolTip;
  std::string ShortToolTip;
  std::string WavFile;
  std::int32_t DenyModify = 0;
};

struct Sitemark {
  std::string DisplayName;
  std::string URL;
  std::string IconFile;
  std::string LongToolTip;
  std::string ShortToolTip;
  std::string WavFile;
};

struct FolderDisplaySection {
  std::int32_t RootFolderCount = 0;
  std::vector<RootFolder> Roots;
};

struct SitebookSection {
  std::int32_t SitebookCount = 0;
  std::vector<Sitemark> Sitemarks;
};

struct TabSelectionSection {
  std::uint32_t Page1 = 0;
  std::uint32_t Page2 = 0;
  std::uint32_t Page3 = 0;
};

// Sixteen button flags of one page's tool bar; nonzero shows the button.
struct ToolBarPage {
  std::uint32_t Back = 1, Forward = 1, New = 1, Rename = 1, Cut = 1, Copy = 1, Paste = 1,
                Delete = 1, Undo = 1, Print = 1, Refresh = 1, Icon = 1, View = 1, Help = 1, Up = 1,
                Side = 1;

  struct Flag {
    const char* name;
    std::uint32_t ToolBarPage::*member;
  };
  static const std::array<Flag, 16> kFlags;
};

struct DefaultsSection {
  std::string DefaultView;
  std::int32_t DefaultIconSize = 0;
  std::int32_t DefaultFirstTab = 0;
  std::int32_t ShortToolTips = 0;
  std::int32_t Silent = 0;
  std::int32_t ContextMenu = 0;
  std::int32_t OptionsMenu = 0;
};

// Why one section of a scheme did not load.
struct SectionFailure {
  std::string section;
  std::string reason;
};

// One candidate that the selection considered, for administrators asking why.
struct SelectionStep {
  std::string source; // where the name came from
  std::string name;   // the scheme name found (may be empty)
  bool tried = false; // whether a load was attempted
  bool loaded = false;
  std::vector<SectionFailure> failures;
};

struct SelectionTrace {
  std::string userName;
  std::int32_t mode = 0;
  std::string accountType;
  std::string currentClass;
  std::vector<SelectionStep> steps;
};

class DhvScheme {
public:
  // A list may hold at most this many entries. A count above it fails its section, as a
  // negative count does, instead of building billions of empty entries.
  static constexpr std::int32_t kMaxListEntries = 4096;
  static constexpr const char* kError = "Error";
  static constexpr const char* kDefaultUser = "Default User";

  DhvScheme() = default;
  virtual ~DhvScheme() = default;

  void Reset();
  // Reads all five sections of scheme name (each is read even after one failed); true
  // only when all succeeded. failures, when given, receives why sections failed.
  bool Load(const std::string& name, std::vector<SectionFailure>* failures = nullptr);
  // Chooses the logged-on user's scheme for the platform mode and loads it; returns its
  // name or "Error".
  std::string SelectScheme(std::int32_t mode);
  // The same for a given user name, recording every candidate in trace when given.
  std::string SelectScheme(std::int32_t mode, const std::string& userName,
                           SelectionTrace* trace = nullptr);

  // Write "ShortToolTips" or "Silent" into this scheme's Defaults key, only if the key
  // exists. The record in memory is not changed. Callers may ignore the result.
  bool writeShortToolTips(bool shortTips) const;
  // Whether short tips are wanted, read afresh from this scheme's Defaults key (the
  // shell's Options menu may have changed it since the scheme was loaded); the loaded
  // value when it cannot be read.
  bool readShortToolTips() const;
  bool writeSilent(bool silent) const;

  std::string SchemeName;
  FolderDisplaySection FolderDisplay;
  SitebookSection Sitebook;
  TabSelectionSection TabSelection;
  std::array<ToolBarPage, 3> ToolBars;
  DefaultsSection Defaults;

private:
  bool loadFolderDisplay(const std::string& base, std::vector<SectionFailure>& failures);
  bool loadSitebook(const std::string& base, std::vector<SectionFailure>& failures);
  bool loadTabSelection(const std::string& base, std::vector<SectionFailure>& failures);
  bool loadToolBars(const std::string& base, std::vector<SectionFailure>& failures);
  bool loadDefaults(const std::string& base, std::vector<SectionFailure>& failures);
  bool writeDefaultsFlag(const char* name, bool on) const;
};

// The login name of the effective user, or empty when it cannot be found;
// $DESKHAVEN_PREVIEW_USER instead when set (a preview run for an administrator).
std::string currentUserName();

// The steps of the selection, each reading one registry value (empty when missing).
std::string ReadAccountType(const std::string& userName, std::int32_t mode);
std::string ReadCurrentClass(std::int32_t mode);
std::string ReadConfigToUse();
std::string LookupClassScheme(const std::string& currentClass);
std::string LookupUserGroupScheme(const std::string& accountType);
// The user's entry in User Schemes; a user without one gets ConfigToUse, which is then
// recorded as the user's entry.
std::string LookupUserScheme(const std::string& userName);

} // namespace dh
