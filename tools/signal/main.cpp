// deskhaven-signal: raises a Deskhaven session event from outside, as the sibling
// component that updates the users' profiles does, or an administrator for a pupil.
#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Exit statuses as sysexits.h names them.
constexpr int kBadArguments = 64;
constexpr int kNoUser = 67;
constexpr int kNotWritten = 74;

// Where the login manager keeps each logged-in user's runtime directory, and the first
// user id of a person's account (those below are the system's).
constexpr const char* kSessionsFolder = "/run/user";
constexpr uid_t kFirstPersonUid = 1000;

const char* const kUsage =
    "Usage: deskhaven-signal ProfileUpdated [--user NAME | --all]\n"
    "\n"
    "Tells the Programs page of a running Deskhaven that the users' profiles, and with\n"
    "them the program sets, have changed; the page reads its program sets again. A signal\n"
    "sent while no page waits is kept until one does.\n"
    "\n"
    "  --user NAME  signal the session of user NAME (its runtime directory\n"
    "               /run/user/UID) instead of your own ($XDG_RUNTIME_DIR)\n"
    "  --all        signal the session of every logged-in person (each /run/user/UID\n"
    "               of a user id from 1000 on), as root after a change for everybody\n"
    "\n"
    "Exit status: 0 signalled, 64 bad arguments, 67 no such user, 74 an event could not\n"
    "be written (no runtime directory, or no right to it).\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "deskhaven-signal: %s\n\n%s", message.c_str(), kUsage);
  return kBadArguments;
}

// The sessions of every person logged in now.
std::vector<dh::sync::SessionPlace> everySession() {
  std::vector<dh::sync::SessionPlace> places;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kSessionsFolder, error)) {
    struct stat info {};
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos ||
        ::lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        std::to_string(info.st_uid) != name || info.st_uid < kFirstPersonUid)
      continue;
    places.push_back({entry.path().string(), info.st_uid});
  }
  return places;
}

bool signal(const dh::sync::SessionPlace& place) {
  errno = 0;
  if (dh::sync::setEvent(dh::kProfileUpdatedEvent, place))
    return true;
  std::fprintf(stderr, "deskhaven-signal: cannot signal %s in %s: %s\n", dh::kProfileUpdatedEvent,
               place.folder.c_str(), errno ? std::strerror(errno) : "unknown error");
  return false;
}

} // namespace

int main(int argc, char** argv) {
  std::optional<std::string> event;
  std::optional<std::string> user;
  bool all = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == "--user") {
      if (i + 1 == argc || user)
        return usageError(user ? "--user given twice" : "--user needs a user name");
      user = argv[++i];
    } else if (argument == "--all") {
      all = true;
    } else if (argument.starts_with("-")) {
      return usageError("unknown option \"" + argument + "\"");
    } else if (event) {
      return usageError("one event at a time");
    } else {
      event = argument;
    }
  }
  if (!event)
    return usageError("no event given");
  if (all && user)
    return usageError("--user and --all exclude each other");
  if (*event != "ProfileUpdated")
    return usageError("unknown event \"" + *event + "\"; the event is ProfileUpdated");

  if (all) {
    const auto places = everySession();
    int failed = 0;
    for (const auto& place : places)
      failed += signal(place) ? 0 : 1;
    std::printf("Signalled %zu of %zu sessions.\n", places.size() - failed, places.size());
    return failed ? kNotWritten : 0;
  }
  std::optional<dh::sync::SessionPlace> place = dh::sync::ownSession();
  if (user) {
    place = dh::sync::sessionOf(*user);
    if (!place) {
      std::fprintf(stderr, "deskhaven-signal: there is no user \"%s\"\n", user->c_str());
      return kNoUser;
    }
  }
  return signal(*place) ? 0 : kNotWritten;
}
