// Which scheme applies to the logged-on user: the class's scheme for pupils, the user's
// own choice, the account type's scheme, the user's entry, then "Default User".
#include "common/scheme.h"

#include "common/settings.h"
#include "platform/registry/registry.h"

#include <QString>

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace dh {

namespace {

using reg::Root;

constexpr const char* kAccountsKey = "Software\\Halvane\\Classwick\\Accounts";
constexpr const char* kUserGroupSchemesKey = "Software\\Halvane\\Deskhaven\\User Group Schemes";
constexpr const char* kUserSchemesKey = "Software\\Halvane\\Deskhaven\\User Schemes";

// The maps ignore the type of their values, as long as the text fits the buffer.
std::string readMapText(Root root, const std::string& key, const std::string& name) {
  return reg::readText(root, key, name, reg::kTextBytes, true);
}

bool isPupil(const std::string& accountType) {
  const QString type = QString::fromStdString(accountType);
  return type.compare("Pupils", Qt::CaseInsensitive) == 0 ||
         type.compare("Pupil", Qt::CaseInsensitive) == 0;
}

} // namespace

std::string currentUserName() {
  // An administrator's preview shows the pages as that pupil would see them.
  if (const char* preview = std::getenv("DESKHAVEN_PREVIEW_USER"); preview && *preview)
    return preview;
  const passwd* pw = ::getpwuid(::geteuid());
  return pw && pw->pw_name ? pw->pw_name : "";
}

std::string ReadAccountType(const std::string& userName, std::int32_t mode) {
  const ClassStore store = selectionClassStore(mode);
  if (store == ClassStore::Machine)
    return readMapText(Root::LocalMachine, kPlotbenchKey, "Current Mode");
  if (store == ClassStore::User && !userName.empty())
    return readMapText(Root::LocalMachine, std::string(kAccountsKey) + "\\" + userName,
                       "Account Type");
  return {};
}

std::string ReadCurrentClass(std::int32_t mode) {
  const auto place = classPlaceOf(selectionClassStore(mode));
  return place ? readMapText(place->root, place->key, kCurrentClassValue) : std::string();
}

std::string ReadConfigToUse() {
  return readMapText(Root::CurrentUser, kDeskhavenKey, "ConfigToUse");
}

std::string LookupClassScheme(const std::string& currentClass) {
  return readMapText(Root::LocalMachine, kClassSchemesKey, currentClass);
}

std::string LookupUserGroupScheme(const std::string& accountType) {
  return readMapText(Root::LocalMachine, kUserGroupSchemesKey, accountType);
}

std::string LookupUserScheme(const std::string& userName) {
  // Without a name the value looked up would be the map's unnamed default, and writing
  // ConfigToUse there would hand this user's choice to everybody without an entry.
  if (userName.empty())
    return {};
  // Opened for reading: the hive grants writing for the whole machine or not at all, so a
  // pupil, who may not write it, must still find the entry an administrator made.
  reg::Key key;
  if (reg::Key::open(Root::LocalMachine, kUserSchemesKey, reg::Access::Read, key) != reg::kSuccess)
    return {};
  char buffer[reg::kTextBytes];
  std::uint32_t size = sizeof buffer;
  const reg::Status st = key.query(userName, nullptr, buffer, &size);
  if (st == reg::kSuccess && size > 0 && buffer[0] != '\0')
    return std::string(buffer, strnlen(buffer, size));
  if (st != reg::kSuccess && st != reg::kFileNotFound)
    return {};
  std::string configToUse = ReadConfigToUse();
  // Recorded so that the next selection finds the entry; refused for most users, harmlessly.
  if (!configToUse.empty() &&
      reg::Key::open(Root::LocalMachine, kUserSchemesKey, reg::Access::Write, key) == reg::kSuccess)
    key.set(userName, reg::Type::Sz, reg::textData(configToUse));
  return configToUse;
}

std::string DhvScheme::SelectScheme(std::int32_t mode) {
  return SelectScheme(mode, currentUserName());
}

std::string DhvScheme::SelectScheme(std::int32_t mode, const std::string& userName,
                                    SelectionTrace* trace) {
  Reset();
  auto attempt = [&](std::string source, const std::string& name) {
    std::vector<SectionFailure> failures;
    const bool loaded = Load(name, &failures);
    if (trace)
      trace->steps.push_back({std::move(source), name, true, loaded, std::move(failures)});
    return loaded;
  };
  auto note = [&](std::string source) {
    if (trace)
      trace->steps.push_back({std::move(source), "", false, false, {}});
  };

  const std::string accountType = ReadAccountType(userName, mode);
  const std::string currentClass = isPupil(accountType) ? ReadCurrentClass(mode) : std::string();
  if (trace) {
    trace->userName = userName;
    trace->mode = mode;
    trace->accountType = accountType;
    trace->currentClass = currentClass;
  }

  bool loaded = false;
  std::string name;
  if (!currentClass.empty()) {
    name = LookupClassScheme(currentClass);
    const std::string source = "Class Schemes entry for class \"" + currentClass + "\"";
    if (!name.empty())
      loaded = attempt(source, name);
    else
      note(source + ": none");
  }
  if (modeOwnsConfigToUse(mode)) {
    name = ReadConfigToUse();
    loaded = attempt("ConfigToUse of the user (mode " + std::to_string(mode) + ")", name);
  }
  if (!loaded) {
    name = LookupUserGroupScheme(accountType);
    std::string source = accountType.empty()
                             ? std::string("User Group Schemes default entry (no account type)")
                             : "User Group Schemes entry for account type \"" + accountType + "\"";
    if (name.empty()) {
      note(source + ": none");
      name = LookupUserScheme(userName);
      source = "User Schemes entry for user \"" + userName + "\" (or the user's ConfigToUse)";
    }
    loaded = attempt(source, name);
    if (!loaded) {
      name = kDefaultUser;
      loaded = attempt("the default scheme", name);
    }
  }
  if (mode == 0 || !loaded)
    name = kError;
  return name;
}

} // namespace dh
