// Where the hives are: the process environment first, then the administrator's
// /etc/deskhaven/session.env (which the session script sources too), then the defaults.
#include "common/hiveplaces.h"

#include "platform/registry/registry.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace dh {

namespace {

constexpr const char* kSessionEnv = "/etc/deskhaven/session.env";
constexpr const char* kMachineHive = "/var/lib/deskhaven/machine.hive";
constexpr const char* kDefaultUserHive = "/var/lib/deskhaven/default-user.hive";
constexpr const char* kUserHiveBelowHome = "/.config/deskhaven/user.hive";

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string unquoted(std::string value) {
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
    value.pop_back();
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Replaces $HOME, ${HOME}, $USER and ${USER}, the only expansions session.env may use.
std::string expanded(std::string value, const std::string& user, const std::string& home) {
  for (const auto& [name, by] : {std::pair<std::string, std::string>{"HOME", home}, {"USER", user}})
    for (const std::string& form : {"${" + name + "}", "$" + name})
      for (std::size_t at; (at = value.find(form)) != std::string::npos;)
        value.replace(at, form.size(), by);
  return value;
}

struct Account {
  std::string name;
  std::string home;
};

Account account(uid_t uid) {
  const passwd* pw = ::getpwuid(uid);
  return {pw ? pw->pw_name : "", pw && pw->pw_dir ? pw->pw_dir : ""};
}

std::string homeOf(const std::string& user) {
  const passwd* pw = ::getpwnam(user.c_str());
  return pw && pw->pw_dir ? pw->pw_dir : "";
}

// The value of NAME in session.env ("" when it is not set there).
std::string sessionSetting(const std::string& name) {
  const std::string file = environment("DESKHAVEN_SESSION_ENV");
  std::ifstream in(file.empty() ? kSessionEnv : file);
  std::string line, found;
  while (std::getline(in, line)) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#')
      continue;
    if (line.compare(start, 7, "export ") == 0)
      start = line.find_first_not_of(" \t", start + 7);
    const std::size_t equals = line.find('=', start);
    if (equals != std::string::npos && line.compare(start, equals - start, name) == 0)
      found = unquoted(line.substr(equals + 1)); // the last assignment holds, as in a shell
  }
  return found;
}

} // namespace

std::string machineHivePath() {
  std::string path = environment("DESKHAVEN_MACHINE_HIVE");
  if (path.empty())
    path = sessionSetting("DESKHAVEN_MACHINE_HIVE");
  return path.empty() ? kMachineHive : path;
}

std::string defaultUserHivePath() {
  std::string path = environment("DESKHAVEN_DEFAULT_USER_HIVE");
  if (path.empty())
    path = sessionSetting("DESKHAVEN_DEFAULT_USER_HIVE");
  return path.empty() ? kDefaultUserHive : path;
}

std::string userHivePath() {
  if (std::string path = environment("DESKHAVEN_USER_HIVE"); !path.empty())
    return path;
  const Account me = account(::getuid());
  std::string home = environment("HOME");
  if (home.empty())
    home = me.home;
  if (std::string path = sessionSetting("DESKHAVEN_USER_HIVE"); !path.empty()) {
    std::string user = environment("USER");
    return expanded(path, user.empty() ? me.name : user, home);
  }
  if (std::string config = environment("XDG_CONFIG_HOME"); !config.empty())
    return config + "/deskhaven/user.hive";
  return home + kUserHiveBelowHome;
}

std::string userHivePathOf(const std::string& user) {
  if (user == account(::getuid()).name)
    return userHivePath();
  const std::string home = homeOf(user);
  if (std::string path = sessionSetting("DESKHAVEN_USER_HIVE"); !path.empty())
    return home.empty() && path.find("HOME") != std::string::npos ? std::string()
                                                                  : expanded(path, user, home);
  return home.empty() ? std::string() : home + kUserHiveBelowHome;
}

void useHivePlaces() {
  reg::setHiveLocator([] {
    reg::HiveSetup setup{machineHivePath(), userHivePath(), defaultUserHivePath()};
    if (const int seconds = std::atoi(environment("DESKHAVEN_LOCK_WAIT").c_str()); seconds > 0)
      setup.lockWaitSeconds = seconds;
    return setup;
  });
}

} // namespace dh
