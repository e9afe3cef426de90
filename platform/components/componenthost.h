// Makes instances of registered component classes: widget controls as children of a
// parent window, and non-widget objects. Every way a library can fail (not registered,
// missing, refused by the loader, without entry points, returning nothing, throwing)
// comes back as a Failure with a reason; none of them crashes the host.
//
// Libraries stay loaded once a class of theirs was made: widgets and objects made
// from them run their code until the process ends.
#pragma once

#include "platform/components/classregistry.h"

#include <string>
#include <string_view>

class QWidget;

namespace dh::component {

struct Outcome {
  Failure failure = Failure::None;
  std::string reason; // for people (logs, tool output); empty on success
  bool ok() const { return failure == Failure::None; }
};

struct ControlOutcome : Outcome {
  QWidget* widget = nullptr; // owned by its parent
};

struct ObjectOutcome : Outcome {
  void* object = nullptr; // released as its interface's header says
};

// Makes the control of a class (by "{clsid}" or ProgID) as a child of parent. The
// control's window id becomes its object name "id<windowId>". The widget is not shown.
ControlOutcome createControl(std::string_view classIdOrProgId, QWidget* parent, int windowId);

// Makes a non-widget object of a class for the interface iid.
ObjectOutcome createObject(std::string_view classIdOrProgId, const char* iid);

// Whether a class is registered and its library loads and hands out its factory. Makes
// no instance, so nothing is left behind; a host tests its classes with this at start-up.
Outcome probeClass(std::string_view classIdOrProgId);

} // namespace dh::component
