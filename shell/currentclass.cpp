#include "currentclass.h"

#include "registry.h"
#include "scheme.h"
#include "settings.h"

namespace dh::shell {

namespace {

using reg::Root;

constexpr int kUserClassMode = 7; // a mode that reads the user's class

std::optional<std::string> readClass(Root root, const char* key) {
  reg::Key open;
  if (reg::Key::open(root, key, reg::Access::Read, open) != reg::kSuccess)
    return std::nullopt;
  char buffer[260];
  std::uint32_t size = sizeof buffer;
  reg::Type type = reg::Type::None;
  if (open.query(kCurrentClassValue, &type, buffer, &size) != reg::kSuccess ||
      (type != reg::Type::Sz && type != reg::Type::ExpandSz))
    return std::nullopt;
  return reg::dataText(std::vector<std::uint8_t>(buffer, buffer + size));
}

} // namespace

std::string ReadCurrentClassForButton(int platformMode) {
  return ReadCurrentClass(platformMode == 99 ? kUserClassMode : platformMode);
}

std::optional<std::string> ReadPolledClass() {
  if (auto machine = readClass(Root::LocalMachine, kPlotbenchKey))
    return machine;
  return readClass(Root::CurrentUser, kFieldbenchKey);
}

} // namespace dh::shell
