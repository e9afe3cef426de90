#include "platform/components/componenthost.h"

#include "platform/components/guard.h"
#include "platform/ui/controlid.h"

#include <QWidget>

#include <dlfcn.h>

#include <functional>
#include <optional>

namespace dh::component {

namespace {

struct FactoryOutcome : Outcome {
  std::string clsid;
  std::string library;
  const ClassFactory* factory = nullptr;
};

template <class T> T failedWith(Failure failure, std::string reason) {
  T out;
  out.failure = failure;
  out.reason = std::move(reason);
  return out;
}

// Libraries are never unloaded: their static initialisers may have registered types or
// resources with Qt, and objects made from them live on in the host.
FactoryOutcome findFactory(std::string_view classIdOrProgId) {
  ClassLookup lookup = lookUpClass(classIdOrProgId);
  if (lookup.failure != Failure::None)
    return failedWith<FactoryOutcome>(lookup.failure, lookup.reason);

  FactoryOutcome out;
  out.clsid = lookup.clsid;
  out.library = lookup.library;
  const std::string where = "library " + lookup.library + " of class " + lookup.clsid;

  // RTLD_NOW: an unresolved symbol is a load failure now, not a crash at its first use.
  void* handle = dlopen(lookup.library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    return failedWith<FactoryOutcome>(Failure::LoadFailed, "cannot load " + where + ": " +
                                                               (error ? error : "unknown error"));
  }
  auto get = reinterpret_cast<DhGetClassObjectFn>(dlsym(handle, entry::kGetClassObject));
  if (!get)
    return failedWith<FactoryOutcome>(Failure::MissingEntryPoint,
                                      where + " lacks the entry point " + entry::kGetClassObject);

  Result result = kFail;
  if (auto thrown = exceptionFrom([&] { result = get(out.clsid.c_str(), &out.factory); }))
    return failedWith<FactoryOutcome>(Failure::Threw, std::string(entry::kGetClassObject) + " of " +
                                                          where + " threw: " + *thrown);
  if (failed(result) || !out.factory)
    return failedWith<FactoryOutcome>(
        Failure::ClassNotAvailable, where + " does not offer it (" + entry::kGetClassObject + ": " +
                                        resultText(result) + (out.factory ? ")" : ", no factory)"));
  if (out.factory->abiVersion != kAbiVersion)
    return failedWith<FactoryOutcome>(Failure::ClassNotAvailable,
                                      where + " was built for component interface version " +
                                          std::to_string(out.factory->abiVersion) +
                                          ", this program uses " + std::to_string(kAbiVersion));
  return out;
}

// What one factory entry did: its result, and whether an instance came back.
struct Attempt {
  Result result;
  bool made;
};

// Makes one instance of a class through the factory entry that call uses; call gives
// nothing when the class has no such entry. Ok only when an instance came back.
Outcome makeInstance(std::string_view classIdOrProgId, const char* kind,
                     const std::function<std::optional<Attempt>(const ClassFactory&)>& call) {
  const FactoryOutcome f = findFactory(classIdOrProgId);
  if (!f.ok())
    return failedWith<Outcome>(f.failure, f.reason);
  const std::string what =
      "the " + std::string(kind) + " of class " + f.clsid + " (" + f.library + ")";
  std::optional<Attempt> attempt;
  if (auto thrown = exceptionFrom([&] { attempt = call(*f.factory); }))
    return failedWith<Outcome>(Failure::Threw, what + " threw: " + *thrown);
  if (!attempt)
    return failedWith<Outcome>(Failure::CreationFailed, what + " does not exist");
  if (failed(attempt->result))
    return failedWith<Outcome>(Failure::CreationFailed,
                               what + " could not be made: " + resultText(attempt->result));
  if (!attempt->made)
    return failedWith<Outcome>(Failure::CreationFailed, what + " came back empty");
  return Outcome();
}

} // namespace

ControlOutcome createControl(std::string_view classIdOrProgId, QWidget* parent, int windowId) {
  QWidget* widget = nullptr;
  ControlOutcome out;
  static_cast<Outcome&>(out) = makeInstance(
      classIdOrProgId, "control", [&](const ClassFactory& factory) -> std::optional<Attempt> {
        if (!factory.createControl)
          return std::nullopt;
        const Result result = factory.createControl(parent, &widget);
        return Attempt{result, widget != nullptr};
      });
  if (!out.ok()) {
    // Not left half-made in the parent; after a throw its state is unknown, so untouched.
    if (out.failure == Failure::CreationFailed)
      delete widget;
    return out;
  }
  if (widget->parentWidget() != parent)
    widget->setParent(parent);
  ui::setControlId(widget, windowId);
  out.widget = widget;
  return out;
}

ObjectOutcome createObject(std::string_view classIdOrProgId, const char* iid) {
  void* object = nullptr;
  ObjectOutcome out;
  static_cast<Outcome&>(out) = makeInstance(
      classIdOrProgId, "object", [&](const ClassFactory& factory) -> std::optional<Attempt> {
        if (!factory.createObject)
          return std::nullopt;
        const Result result = factory.createObject(iid ? iid : "", &object);
        return Attempt{result, object != nullptr};
      });
  if (out.ok())
    out.object = object;
  return out;
}

Outcome probeClass(std::string_view classIdOrProgId) {
  const FactoryOutcome f = findFactory(classIdOrProgId);
  return failedWith<Outcome>(f.failure, f.reason);
}

} // namespace dh::component
