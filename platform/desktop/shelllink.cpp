#include "platform/desktop/shelllink.h"

#include <libbfio.h> // liblnk's header needs it first
#include <liblnk.h>

#include <cstdint>
#include <vector>

namespace dh::desktop {

std::string readShellLink(const std::string& lnkPath) {
  liblnk_file_t* file = nullptr;
  if (liblnk_file_initialize(&file, nullptr) != 1)
    return {};
  std::string target;
  if (liblnk_file_open(file, lnkPath.c_str(), LIBLNK_OPEN_READ, nullptr) == 1) {
    size_t size = 0;
    if (liblnk_file_get_utf8_local_path_size(file, &size, nullptr) == 1 && size > 1) {
      std::vector<uint8_t> text(size);
      if (liblnk_file_get_utf8_local_path(file, text.data(), size, nullptr) == 1)
        target.assign(reinterpret_cast<const char*>(text.data()));
    }
    liblnk_file_close(file, nullptr);
  }
  liblnk_file_free(&file, nullptr);
  return target;
}

} // namespace dh::desktop
