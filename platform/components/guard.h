// Calls across a component library's boundary without letting an exception cross it:
// the host wraps every call into a library, the library wraps every entry it exports.
#pragma once

#include "platform/components/dhcomponent.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

namespace dh::component {

// Runs fn; the description of what it threw, or nothing when it returned normally.
template <class Fn> std::optional<std::string> exceptionFrom(Fn&& fn) noexcept {
  try {
    fn();
    return std::nullopt;
  } catch (const std::exception& e) {
    return std::string(e.what());
  } catch (...) {
    return std::string("an exception of unknown type");
  }
}

// Runs fn, which returns a Result; an exception becomes kUnexpected and a line on stderr,
// the only trace the library can leave of it.
template <class Fn> Result resultOf(const char* entry, Fn&& fn) noexcept {
  Result result = kUnexpected;
  if (auto thrown = exceptionFrom([&] { result = fn(); })) {
    std::fprintf(stderr, "%s: %s\n", entry, thrown->c_str());
    return kUnexpected;
  }
  return result;
}

// "0x80040111" for people reading a failure.
inline std::string resultText(Result result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
  return text;
}

} // namespace dh::component
