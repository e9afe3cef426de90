// The binary contract between a component library and the process that loads it.
//
// A component library is a shared library that offers one or more classes, each named
// by a class identifier "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". It exports four
// functions with C linkage (componentserver.h writes them for you):
//
//   DllGetClassObject(clsid, &factory)  the factory of one of its classes
//   DllRegisterServer()                 records its classes under HKEY_CLASSES_ROOT
//   DllUnregisterServer()               removes them again
//   DllCanUnloadNow()                   kOk when nothing of it is in use
//
// Host and library are built with the same compiler and the same Qt, so a QWidget*
// may cross. Exceptions must not: every entry returns a Result instead.
#pragma once

#include <cstdint>

class QWidget;

namespace dh::component {

// HRESULT-style: negative means failure.
using Result = std::int32_t;
inline constexpr Result kOk = 0;
inline constexpr Result kFalse = 1;
inline constexpr Result kNoInterface = static_cast<Result>(0x80004002);
inline constexpr Result kPointer = static_cast<Result>(0x80004003);
inline constexpr Result kFail = static_cast<Result>(0x80004005);
inline constexpr Result kUnexpected = static_cast<Result>(0x8000FFFF); // also: it threw
inline constexpr Result kClassNotAvailable = static_cast<Result>(0x80040111);
// A Windows error code (such as a registry status) as a Result.
constexpr Result fromWin32(std::int32_t code) {
  return code == 0
             ? kOk
             : static_cast<Result>(0x80070000u | (static_cast<std::uint32_t>(code) & 0xFFFFu));
}
constexpr bool failed(Result r) {
  return r < 0;
}

// Changes whenever ClassFactory changes shape; a host refuses factories of another version.
inline constexpr std::uint32_t kAbiVersion = 1;

// How a class makes its instances. Lives as long as its library.
struct ClassFactory {
  std::uint32_t abiVersion; // kAbiVersion
  // Makes a widget control as a child of parent. Null when the class makes no widgets.
  Result (*createControl)(QWidget* parent, QWidget** out);
  // Makes a non-widget object offering the interface iid (text form of an interface
  // identifier); the interface's own header says what *out points to and how it is
  // released. Null when the class makes no such objects.
  Result (*createObject)(const char* iid, void** out);
};

} // namespace dh::component

extern "C" {
using DhGetClassObjectFn = dh::component::Result (*)(const char* clsid,
                                                     const dh::component::ClassFactory** out);
using DhRegisterServerFn = dh::component::Result (*)();
using DhUnregisterServerFn = dh::component::Result (*)();
using DhCanUnloadNowFn = dh::component::Result (*)();
}

namespace dh::component::entry {
inline constexpr const char* kGetClassObject = "DllGetClassObject";
inline constexpr const char* kRegisterServer = "DllRegisterServer";
inline constexpr const char* kUnregisterServer = "DllUnregisterServer";
inline constexpr const char* kCanUnloadNow = "DllCanUnloadNow";
} // namespace dh::component::entry
