// The platform mode component: a sibling product's component that tells, as one signed
// integer, how this machine is set up. Made with dh::component::createObject for
// kInterfaceId; the object is used through its function table and released with it.
#pragma once

#include "platform/components/dhcomponent.h"

#include <cstdint>

namespace dh::platformmode {

inline constexpr const char* kClassId = "{E656B628-C6DD-4125-931C-5FCA10F47A42}";
inline constexpr const char* kInterfaceId = "{99545BF5-91B6-4994-BBE1-31FD171291D3}";

struct Object;

struct Interface {
  // Negative when the component cannot answer; callers then keep their default.
  component::Result (*ready)(Object* self);
  // Stores the mode in *mode.
  component::Result (*getMode)(Object* self, std::int32_t* mode);
  // Ends the caller's use of the object.
  void (*release)(Object* self);
};

struct Object {
  const Interface* functions;
};

} // namespace dh::platformmode
