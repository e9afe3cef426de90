#include "shell/currentclass.h"

#include "common/scheme.h"
#include "common/settings.h"
#include "platform/registry/registry.h"

namespace dh::shell {

namespace {

using reg::Root;

std::optional<std::string> readClass(Root root, const char* key) {
  reg::Key open;
  if (reg::Key::open(root, key, reg::Access::Read, open) != reg::kSuccess)
    return std::nullopt;
  char buffer[reg::kTextBytes];
  std::uint32_t size = sizeof buffer;
  reg::Type type = reg::Type::None;
  if (open.query(kCurrentClassValue, &type, buffer, &size) != reg::kSuccess ||
      (type != reg::Type::Sz && type != reg::Type::ExpandSz))
    return std::nullopt;
  return reg::dataText(std::vector<std::uint8_t>(buffer, buffer + size));
}

} // namespace

std::string ReadCurrentClassForButton(int platformMode) {
  const auto place = classPlaceOf(shellClassStore(platformMode));
  return place ? reg::readText(place->root, place->key, kCurrentClassValue, reg::kTextBytes, true)
               : std::string();
}

std::optional<std::string> readPolledClass(int platformMode) {
  if (const auto place = classPlaceOf(shellClassStore(platformMode)))
    return readClass(place->root, place->key);
  if (auto machine = readClass(Root::LocalMachine, kPlotbenchKey))
    return machine;
  return readClass(Root::CurrentUser, kFieldbenchKey);
}

} // namespace dh::shell
