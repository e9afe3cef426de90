// Who counts as an administrator of the machine: the superuser, and the members of the
// group that the machine's configuration names (by their main group or as listed members).
#pragma once

#include <string>

#include <sys/types.h>

namespace dh::confine {

bool isAdministrator(uid_t account, const std::string& administratorsGroup);

} // namespace dh::confine
