#include "componenthost.h"

#include "guard.h"

#include <QWidget>

#include <dlfcn.h>

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

// Calls a factory entry: Threw or CreationFailed when it failed, ok otherwise.
template <class Out, class Fn> Out callFactory(const std::string& what, Fn&& fn) {
  Result result = kFail;
  if (auto thrown = exceptionFrom([&] { result = fn(); }))
    return failedWith<Out>(Failure::Threw, what + " threw: " + *thrown);
  if (failed(result))
    return failedWith<Out>(Failure::CreationFailed,
                           what + " could not be made: " + resultText(result));
  return Out();
}

std::string describe(const char* kind, const FactoryOutcome& f) {
  return "the " + std::string(kind) + " of class " + f.clsid + " (" + f.library + ")";
}

} // namespace

ControlOutcome createControl(std::string_view classIdOrProgId, QWidget* parent, int windowId) {
  const FactoryOutcome f = findFactory(classIdOrProgId);
  if (!f.ok())
    return failedWith<ControlOutcome>(f.failure, f.reason);
  const std::string what = describe("control", f);
  if (!f.factory->createControl)
    return failedWith<ControlOutcome>(Failure::CreationFailed, what + " does not exist");

  QWidget* widget = nullptr;
  auto out =
      callFactory<ControlOutcome>(what, [&] { return f.factory->createControl(parent, &widget); });
  if (out.ok() && !widget)
    out = failedWith<ControlOutcome>(Failure::CreationFailed, what + " came back empty");
  if (!out.ok()) {
    // Not left half-made in the parent; after a throw its state is unknown, so untouched.
    if (out.failure == Failure::CreationFailed)
      delete widget;
    return out;
  }
  if (widget->parentWidget() != parent)
    widget->setParent(parent);
  widget->setObjectName(QStringLiteral("id%1").arg(windowId));
  out.widget = widget;
  return out;
}

ObjectOutcome createObject(std::string_view classIdOrProgId, const char* iid) {
  const FactoryOutcome f = findFactory(classIdOrProgId);
  if (!f.ok())
    return failedWith<ObjectOutcome>(f.failure, f.reason);
  const std::string what = describe("object", f);
  if (!f.factory->createObject)
    return failedWith<ObjectOutcome>(Failure::CreationFailed, what + " does not exist");

  void* object = nullptr;
  auto out = callFactory<ObjectOutcome>(
      what, [&] { return f.factory->createObject(iid ? iid : "", &object); });
  if (out.ok() && !object)
    out = failedWith<ObjectOutcome>(Failure::CreationFailed, what + " came back empty");
  if (out.ok())
    out.object = object;
  return out;
}

Outcome probeClass(std::string_view classIdOrProgId) {
  const FactoryOutcome f = findFactory(classIdOrProgId);
  return failedWith<Outcome>(f.failure, f.reason);
}

} // namespace dh::component
