#include "common/platformmode.h"

#include "platform/components/componenthost.h"
#include "platform/components/guard.h"
#include "platform/components/platformmode/platformmodecomponent.h"

#include <cstdint>

namespace dh {

int queryPlatformMode(int defaultMode) {
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

ClassStore selectionClassStore(int mode) {
  if (mode >= 1 && mode <= 5)
    return ClassStore::Machine;
  if (mode == 6 || mode == 7)
    return ClassStore::User;
  return ClassStore::None;
}

ClassStore shellClassStore(int mode) {
  return mode == 99 ? ClassStore::User : selectionClassStore(mode);
}

bool modeOwnsConfigToUse(int mode) {
  return mode == 8 || mode == 9 || mode == 99;
}

bool modeReadsClassAtSetUp(int mode) {
  return mode != 0 && mode != 8 && mode != 99;
}

bool modeShowsClass(int mode) {
  return mode != 8;
}

bool modeOffersClassChange(int mode) {
  return mode > 5 && modeShowsClass(mode);
}

bool modeRereadsClassOnChange(int mode) {
  return mode < 8;
}

} // namespace dh
