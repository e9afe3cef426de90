#include "platform/confine/administrators.h"

#include <grp.h>
#include <pwd.h>

#include <cstring>
#include <vector>

namespace dh::confine {

bool isAdministrator(uid_t account, const std::string& administratorsGroup) {
  if (account == 0)
    return true;
  if (administratorsGroup.empty())
    return false;
  std::vector<char> groupBuffer(1 << 16), userBuffer(1 << 16);
  group groupEntry{};
  group* found = nullptr;
  passwd userEntry{};
  passwd* user = nullptr;
  if (getgrnam_r(administratorsGroup.c_str(), &groupEntry, groupBuffer.data(), groupBuffer.size(),
                 &found) != 0 ||
      !found || getpwuid_r(account, &userEntry, userBuffer.data(), userBuffer.size(), &user) != 0 ||
      !user)
    return false;
  if (user->pw_gid == found->gr_gid)
    return true;
  for (char** member = found->gr_mem; member && *member; ++member) {
    if (std::strcmp(*member, user->pw_name) == 0)
      return true;
  }
  return false;
}

} // namespace dh::confine
