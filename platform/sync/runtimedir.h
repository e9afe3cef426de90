// Where the named objects of a user session live: the session's runtime directory.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace dh::sync {

// A user's runtime directory and who owns the objects in it.
struct SessionPlace {
  std::string folder;
  uid_t owner;
};

// The effective user's own session: $XDG_RUNTIME_DIR, else /run/user/UID.
SessionPlace ownSession();
// The session of the user with that login name; the effective user's own when it is
// that user. Nothing when no such user exists.
std::optional<SessionPlace> sessionOf(const std::string& user);

// Opens an object's file for mode (O_RDONLY, O_WRONLY), creating it readable and
// writable by the session's owner and group when missing; a file made by an
// administrator for someone else's session is handed to its owner. Anything but a
// regular file (a symbolic link, a FIFO someone put there) is refused: -1.
int openSessionFile(const std::string& path, int mode, uid_t owner);
// The same for a file that must exist already.
int openExistingSessionFile(const std::string& path, int mode);

// Whether a name can name an object: not empty, no "/", not "." or "..".
bool isObjectName(const std::string& name);

} // namespace dh::sync
