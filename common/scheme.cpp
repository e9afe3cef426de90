#include "common/scheme.h"

#include "common/settings.h"
#include "platform/registry/registry.h"

#include <QString>

#include <unordered_map>

namespace dh {

namespace {

using reg::Type;

// The values of one scheme key, read in one go. A value counts as read only when its
// type fits: texts must be REG_SZ or REG_EXPAND_SZ (taken unexpanded), numbers REG_DWORD.
class SchemeKey {
public:
  explicit SchemeKey(const std::string& path) {
    reg::Key key;
    present_ =
        reg::Key::open(reg::Root::LocalMachine, path, reg::Access::Read, key) == reg::kSuccess;
    std::vector<reg::Value> values;
    if (present_ && key.values(values) == reg::kSuccess) {
      for (auto& v : values)
        values_.emplace(fold(v.name), std::move(v));
    }
  }

  bool present() const { return present_; }

  // Reads a text into out ("" when not read); false when not read.
  bool text(const char* name, std::string& out, std::vector<std::string>& missing) const {
    out.clear();
    auto it = values_.find(fold(name));
    if (it == values_.end() || (it->second.type != Type::Sz && it->second.type != Type::ExpandSz)) {
      missing.push_back(describe(name, it));
      return false;
    }
    out = reg::dataText(it->second.data);
    return true;
  }

  template <typename Number>
  bool number(const char* name, Number& out, std::vector<std::string>& missing) const {
    out = 0;
    auto it = values_.find(fold(name));
    if (it == values_.end() || it->second.type != Type::Dword || it->second.data.size() > 4) {
      missing.push_back(describe(name, it));
      return false;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < it->second.data.size(); ++i)
      value |= static_cast<std::uint32_t>(it->second.data[i]) << (8 * i);
    out = static_cast<Number>(value);
    return true;
  }

private:
  using Map = std::unordered_map<std::string, reg::Value>;

  static std::string fold(const char* name) { return QString(name).toCaseFolded().toStdString(); }
  static std::string fold(const std::string& name) { return fold(name.c_str()); }

  std::string describe(const char* name, Map::const_iterator it) const {
    if (it == values_.end())
      return std::string("\"") + name + "\" is missing";
    return std::string("\"") + name + "\" has the wrong type";
  }

  bool present_ = false;
  Map values_;
};

std::string joinReasons(const std::vector<std::string>& reasons) {
  std::string out;
  for (const auto& r : reasons)
    out += (out.empty() ? "" : "; ") + r;
  return out;
}

// Reads a numbered list ("Root 1", "Root 2", ...) whose length the count decides.
template <typename Entry, typename ReadEntry>
bool loadList(const std::string& sectionKey, const char* section, const char* countName,
              const char* itemPrefix, std::int32_t& count, std::vector<Entry>& entries,
              ReadEntry readEntry, std::vector<SectionFailure>& failures) {
  entries.clear();
  SchemeKey key(sectionKey);
  if (!key.present()) {
    failures.push_back({section, "the key " + sectionKey + " is missing"});
    return false;
  }
  std::vector<std::string> ignored;
  key.number(countName, count, ignored);
  if (count > DhvScheme::kMaxListEntries) {
    failures.push_back({section, std::string(countName) + " is " + std::to_string(count) +
                                     ", more than the " +
                                     std::to_string(DhvScheme::kMaxListEntries) + " allowed"});
    return false;
  }
  for (std::int32_t n = 1; n <= count; ++n) {
    SchemeKey item(sectionKey + "\\" + itemPrefix + std::to_string(n));
    entries.push_back(readEntry(item));
  }
  if (static_cast<std::int64_t>(entries.size()) != count) {
    failures.push_back({section, std::string(countName) + " is " + std::to_string(count)});
    return false;
  }
  return true;
}

} // namespace

const std::array<ToolBarPage::Flag, 16> ToolBarPage::kFlags = {{
    {"Back", &ToolBarPage::Back},
    {"Forward", &ToolBarPage::Forward},
    {"New", &ToolBarPage::New},
    {"Rename", &ToolBarPage::Rename},
    {"Cut", &ToolBarPage::Cut},
    {"Copy", &ToolBarPage::Copy},
    {"Paste", &ToolBarPage::Paste},
    {"Delete", &ToolBarPage::Delete},
    {"Undo", &ToolBarPage::Undo},
    {"Print", &ToolBarPage::Print},
    {"Refresh", &ToolBarPage::Refresh},
    {"Icon", &ToolBarPage::Icon},
    {"View", &ToolBarPage::View},
    {"Help", &ToolBarPage::Help},
    {"Up", &ToolBarPage::Up},
    {"Side", &ToolBarPage::Side},
}};

void DhvScheme::Reset() {
  SchemeName.clear();
  FolderDisplay = {};
  Sitebook = {};
  TabSelection = {};
  ToolBars = {};
  Defaults = {};
}

bool DhvScheme::Load(const std::string& name, std::vector<SectionFailure>* failuresOut) {
  SchemeName = name;
  std::vector<SectionFailure> failures;
  bool ok = false;
  if (name.empty()) {
    // An empty name names no scheme; every section would fail to open.
    FolderDisplay.Roots.clear();
    Sitebook.Sitemarks.clear();
    failures.push_back({"", "no scheme name"});
  } else {
    const std::string base = std::string(kSchemesKey) + "\\" + name;
    ok = loadFolderDisplay(base, failures);
    ok = loadSitebook(base, failures) && ok;
    ok = loadTabSelection(base, failures) && ok;
    ok = loadToolBars(base, failures) && ok;
    ok = loadDefaults(base, failures) && ok;
  }
  if (failuresOut)
    *failuresOut = std::move(failures);
  return ok;
}

bool DhvScheme::loadFolderDisplay(const std::string& base, std::vector<SectionFailure>& failures) {
  auto read = [](const SchemeKey& key) {
    RootFolder r;
    std::vector<std::string> ignored; // a root with missing values stands in the list empty
    key.text("RootDisplayName", r.RootDisplayName, ignored);
    key.text("RootPath", r.RootPath, ignored);
    key.number("FolderLevels", r.FolderLevels, ignored);
    key.text("CollapsedIconFile", r.CollapsedIconFile, ignored);
    key.text("ExpandedIconFile", r.ExpandedIconFile, ignored);
    key.text("LongToolTip", r.LongToolTip, ignored);
    key.text("ShortToolTip", r.ShortToolTip, ignored);
    key.text("Wav File", r.WavFile, ignored);
    key.number("DenyModify", r.DenyModify, ignored);
    return r;
  };
  return loadList(base + "\\FolderDisplay", "FolderDisplay", "RootFolderCount", "Root ",
                  FolderDisplay.RootFolderCount, FolderDisplay.Roots, read, failures);
}

bool DhvScheme::loadSitebook(const std::string& base, std::vector<SectionFailure>& failures) {
  auto read = [](const SchemeKey& key) {
    Sitemark s;
    std::vector<std::string> ignored;
    key.text("DisplayName", s.DisplayName, ignored);
    key.text("URL", s.URL, ignored);
    key.text("IconFile", s.IconFile, ignored);
    key.text("LongToolTip", s.LongToolTip, ignored);
    key.text("ShortToolTip", s.ShortToolTip, ignored);
    key.text("Wav File", s.WavFile, ignored);
    return s;
  };
  return loadList(base + "\\Sitebook", "Sitebook", "SitebookCount", "Sitemark ",
                  Sitebook.SitebookCount, Sitebook.Sitemarks, read, failures);
}

bool DhvScheme::loadTabSelection(const std::string& base, std::vector<SectionFailure>& failures) {
  SchemeKey key(base + "\\TabSelection");
  if (!key.present()) {
    failures.push_back({"TabSelection", "the key " + base + "\\TabSelection is missing"});
    return false;
  }
  // A flag that cannot be read keeps the value an earlier candidate left.
  std::vector<std::string> missing;
  for (auto [name, flag] :
       {std::pair{"Page1", &TabSelection.Page1}, std::pair{"Page2", &TabSelection.Page2},
        std::pair{"Page3", &TabSelection.Page3}}) {
    std::uint32_t value = 0;
    if (key.number(name, value, missing))
      *flag = value;
  }
  if (!missing.empty()) {
    failures.push_back({"TabSelection", joinReasons(missing)});
    return false;
  }
  return true;
}

bool DhvScheme::loadToolBars(const std::string& base, std::vector<SectionFailure>& failures) {
  const std::string toolBars = base + "\\ToolBars";
  if (!SchemeKey(toolBars).present()) {
    failures.push_back({"ToolBars", "the key " + toolBars + " is missing"});
    return false;
  }
  bool ok = true;
  for (int page = 1; page <= 3; ++page) {
    const std::string pageKey = toolBars + "\\Page " + std::to_string(page);
    SchemeKey key(pageKey);
    if (!key.present()) {
      failures.push_back({"ToolBars", "the key " + pageKey + " is missing"});
      ok = false;
      continue;
    }
    std::vector<std::string> missing;
    for (const auto& flag : ToolBarPage::kFlags)
      key.number(flag.name, ToolBars[page - 1].*(flag.member), missing);
    if (!missing.empty()) {
      failures.push_back(
          {"ToolBars", "Page " + std::to_string(page) + ": " + joinReasons(missing)});
      ok = false;
    }
  }
  return ok;
}

bool DhvScheme::loadDefaults(const std::string& base, std::vector<SectionFailure>& failures) {
  SchemeKey key(base + "\\Defaults");
  if (!key.present()) {
    failures.push_back({"Defaults", "the key " + base + "\\Defaults is missing"});
    return false;
  }
  std::vector<std::string> missing;
  key.text("DefaultView", Defaults.DefaultView, missing);
  key.number("DefaultIconSize", Defaults.DefaultIconSize, missing);
  key.number("DefaultFirstTab", Defaults.DefaultFirstTab, missing);
  key.number("ShortToolTips", Defaults.ShortToolTips, missing);
  key.number("Silent", Defaults.Silent, missing);
  key.number("Context Menu", Defaults.ContextMenu, missing);
  key.number("Options Menu", Defaults.OptionsMenu, missing);
  if (!missing.empty()) {
    failures.push_back({"Defaults", joinReasons(missing)});
    return false;
  }
  return true;
}

bool DhvScheme::writeDefaultsFlag(const char* name, bool on) const {
  const std::string path = std::string(kSchemesKey) + "\\" + SchemeName + "\\Defaults";
  reg::Key key;
  if (SchemeName.empty() ||
      reg::Key::open(reg::Root::LocalMachine, path, reg::Access::Write, key) != reg::kSuccess)
    return false;
  return key.set(name, Type::Dword, reg::dwordData(on ? 1 : 0)) == reg::kSuccess;
}

bool DhvScheme::writeShortToolTips(bool shortTips) const {
  return writeDefaultsFlag("ShortToolTips", shortTips);
}

bool DhvScheme::readShortToolTips() const {
  const std::optional<std::uint32_t> value =
      reg::readDword(reg::Root::LocalMachine,
                     std::string(kSchemesKey) + "\\" + SchemeName + "\\Defaults", "ShortToolTips");
  return value ? *value != 0 : Defaults.ShortToolTips != 0;
}

bool DhvScheme::writeSilent(bool silent) const {
  return writeDefaultsFlag("Silent", silent);
}

} // namespace dh
