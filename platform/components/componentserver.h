// The library side of the component contract: a component library lists its classes
// in a table and writes DH_COMPONENT_LIBRARY(table) once, which defines its four
// exported entries. Registration records each class with this library's own path.
//
//   using namespace dh::component;
//   const ClassInfo kClasses[] = {
//       {"{...}", "Files Control", "FILES.FilesCtrl.1", "1.0", &kWidgetFactory<FilesCtrl>}};
//   DH_COMPONENT_LIBRARY(kClasses)
#pragma once

#include "platform/components/dhcomponent.h"
#include "platform/components/guard.h"

#include <cstddef>
#include <iterator>

namespace dh::component {

struct ClassInfo {
  const char* clsid;   // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
  const char* name;    // description
  const char* progId;  // e.g. "FILES.FilesCtrl.1", or null
  const char* version; // e.g. "1.0", or null
  const ClassFactory* factory;
};

// The bodies of the exported entries. anchor is any address inside the library; it
// tells which file the library was loaded from.
Result registerClasses(const ClassInfo* classes, std::size_t count, const void* anchor);
Result unregisterClasses(const ClassInfo* classes, std::size_t count);
Result getClassObject(const ClassInfo* classes, std::size_t count, const char* clsid,
                      const ClassFactory** out);

// A factory for a widget class W constructed as W(QWidget* parent).
template <class W> Result makeWidget(QWidget* parent, QWidget** out) {
  return resultOf("createControl", [&] {
    *out = new W(parent);
    return kOk;
  });
}
template <class W>
inline constexpr ClassFactory kWidgetFactory{kAbiVersion, &makeWidget<W>, nullptr};

} // namespace dh::component

#define DH_COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))

// Objects made by a library run its code until the process ends, and its host never
// unloads it, so DllCanUnloadNow always answers kFalse.
#define DH_COMPONENT_LIBRARY(classes)                                                              \
  DH_COMPONENT_EXPORT dh::component::Result DllRegisterServer() {                                  \
    return dh::component::resultOf("DllRegisterServer", [] {                                       \
      return dh::component::registerClasses(std::data(classes), std::size(classes),                \
                                            reinterpret_cast<const void*>(&DllRegisterServer));    \
    });                                                                                            \
  }                                                                                                \
  DH_COMPONENT_EXPORT dh::component::Result DllUnregisterServer() {                                \
    return dh::component::resultOf("DllUnregisterServer", [] {                                     \
      return dh::component::unregisterClasses(std::data(classes), std::size(classes));             \
    });                                                                                            \
  }                                                                                                \
  DH_COMPONENT_EXPORT dh::component::Result DllGetClassObject(                                     \
      const char* clsid, const dh::component::ClassFactory** out) {                                \
    return dh::component::resultOf("DllGetClassObject", [&] {                                      \
      return dh::component::getClassObject(std::data(classes), std::size(classes), clsid, out);    \
    });                                                                                            \
  }                                                                                                \
  DH_COMPONENT_EXPORT dh::component::Result DllCanUnloadNow() {                                    \
    return dh::component::kFalse;                                                                  \
  }
