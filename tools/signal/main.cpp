// deskhaven-signal: raises a Deskhaven session event from outside, as the sibling
// component that updates the users' profiles does, or an administrator for a pupil.
#include "common/sessionobjects.h"
#include "platform/sync/namedevent.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Exit statuses as sysexits.h names them.
constexpr int kBadArguments = 64;
constexpr int kNoUser = 67;
constexpr int kNotWritten = 74;

const char* const kUsage =
    "Usage: deskhaven-signal ProfileUpdated [--user NAME]\n"
    "\n"
    "Tells the Programs page of a running Deskhaven that the users' profiles, and with\n"
    "them the program sets, have changed; the page reads its program sets again. A signal\n"
    "sent while no page waits is kept until one does.\n"
    "\n"
    "  --user NAME  signal the session of user NAME (its runtime directory\n"
    "               /run/user/UID) instead of your own ($XDG_RUNTIME_DIR)\n"
    "\n"
    "Exit status: 0 signalled, 64 bad arguments, 67 no such user, 74 the event could not\n"
    "be written (no runtime directory, or no right to it).\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "deskhaven-signal: %s\n\n%s", message.c_str(), kUsage);
  return kBadArguments;
}

} // namespace

int main(int argc, char** argv) {
  std::optional<std::string> event;
  std::optional<std::string> user;
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
  if (*event != "ProfileUpdated")
    return usageError("unknown event \"" + *event + "\"; the event is ProfileUpdated");

  std::optional<dh::sync::SessionPlace> place = dh::sync::ownSession();
  if (user) {
    place = dh::sync::sessionOf(*user);
    if (!place) {
      std::fprintf(stderr, "deskhaven-signal: there is no user \"%s\"\n", user->c_str());
      return kNoUser;
    }
  }
  errno = 0;
  if (!dh::sync::setEvent(dh::kProfileUpdatedEvent, *place)) {
    std::fprintf(stderr, "deskhaven-signal: cannot signal %s in %s: %s\n", dh::kProfileUpdatedEvent,
                 place->folder.c_str(), errno ? std::strerror(errno) : "unknown error");
    return kNotWritten;
  }
  return 0;
}
