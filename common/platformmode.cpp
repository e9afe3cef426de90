#include "platformmode.h"

#include "componenthost.h"
#include "guard.h"
#include "platformmode/platformmodecomponent.h"

#include <cstdint>

namespace dh {

int QueryPlatformMode(int defaultMode) {
  int mode = defaultMode;
  const auto made = component::createObject(platformmode::kClassId, platformmode::kInterfaceId);
  if (!made.ok())
    return mode;
  auto* object = static_cast<platformmode::Object*>(made.object);
  const platformmode::Interface* functions = object->functions;
  if (!functions || !functions->ready || !functions->getMode || !functions->release)
    return mode; // not a platform mode object; nothing can be safely called on it
  // The component is another product's code: whatever it throws stays here.
  component::exceptionFrom([&] {
    if (component::failed(functions->ready(object)))
      return;
    std::int32_t answer = 0;
    // The mode is taken only from a call that succeeded.
    if (!component::failed(functions->getMode(object, &answer)))
      mode = answer;
  });
  component::exceptionFrom([&] { functions->release(object); });
  return mode;
}

} // namespace dh
