// Shell links (.lnk files) of the other system: the local path one names.
#pragma once

#include <string>

namespace dh::desktop {

// The local path the link names, as it spells it, or empty on any failure.
std::string readShellLink(const std::string& lnkPath);

} // namespace dh::desktop
