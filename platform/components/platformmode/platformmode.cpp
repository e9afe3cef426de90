// The platform mode stand-in: answers the REG_DWORD "Mode" of HKLM
// "Software\Halvane\Platform", and is not ready while that value is missing.
#include "platform/components/platformmode/platformmodecomponent.h"

#include "platform/components/classregistry.h"
#include "platform/components/componentserver.h"
#include "platform/registry/registry.h"

#include <optional>

namespace {

using namespace dh::component;
using dh::platformmode::Interface;
using dh::platformmode::Object;

constexpr const char* kModeKey = "Software\\Halvane\\Platform";
constexpr const char* kModeValue = "Mode";
constexpr Result kNotReady = static_cast<Result>(0x8000000A); // E_PENDING

std::optional<std::int32_t> storedMode() {
  const auto value = dh::reg::readDword(dh::reg::Root::LocalMachine, kModeKey, kModeValue);
  if (!value)
    return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

Result ready(Object*) {
  return resultOf("PlatformMode ready", [] { return storedMode() ? kOk : kNotReady; });
}

Result getMode(Object*, std::int32_t* mode) {
  return resultOf("PlatformMode getMode", [&] {
    if (!mode)
      return kPointer;
    const auto stored = storedMode();
    if (!stored)
      return kNotReady;
    *mode = *stored;
    return kOk;
  });
}

void release(Object* self) {
  delete self;
}

constexpr Interface kFunctions{&ready, &getMode, &release};

Result createObject(const char* iid, void** out) {
  return resultOf("PlatformMode createObject", [&] {
    if (!out)
      return kPointer;
    *out = nullptr;
    if (canonicalClassId(iid ? iid : "") != canonicalClassId(dh::platformmode::kInterfaceId))
      return kNoInterface;
    *out = new Object{&kFunctions};
    return kOk;
  });
}

constexpr ClassFactory kFactory{kAbiVersion, nullptr, &createObject};

const ClassInfo kClasses[] = {
    {dh::platformmode::kClassId, "Platform Mode", "Halvane.PlatformMode.1", "1.0", &kFactory},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
