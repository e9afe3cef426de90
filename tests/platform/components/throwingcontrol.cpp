// Factories that throw straight through the boundary, as a careless library would.
#include "tests/platform/components/testcontrols.h"

#include "platform/components/componentserver.h"

#include <stdexcept>

namespace {

using namespace dh::component;

Result throwError(QWidget*, QWidget**) {
  throw std::runtime_error(testcontrols::kThrowMessage);
}
Result throwInt(QWidget*, QWidget**) {
  throw 42;
}

constexpr ClassFactory kErrorFactory{kAbiVersion, &throwError, nullptr};
constexpr ClassFactory kIntFactory{kAbiVersion, &throwInt, nullptr};

const ClassInfo kClasses[] = {
    {testcontrols::kThrowsError, "Throws an error", nullptr, nullptr, &kErrorFactory},
    {testcontrols::kThrowsInt, "Throws an int", nullptr, nullptr, &kIntFactory},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
