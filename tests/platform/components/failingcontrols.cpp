// Classes whose library loads and answers but hands out nothing usable, and factories that
// throw straight through the boundary, as a careless library would.
#include "tests/platform/components/testcontrols.h"

#include "platform/components/componentserver.h"

#include <QWidget>

#include <stdexcept>

namespace {

using namespace dh::component;

Result returnNull(QWidget*, QWidget** out) {
  *out = nullptr;
  return kOk;
}

// Reports failure but leaves a half-made child behind in the parent.
Result failWithWidget(QWidget* parent, QWidget** out) {
  *out = new QWidget(parent);
  return kFail;
}

Result throwError(QWidget*, QWidget**) {
  throw std::runtime_error(testcontrols::kThrowMessage);
}

Result throwInt(QWidget*, QWidget**) {
  throw 42;
}

constexpr ClassFactory kNullFactory{kAbiVersion, &returnNull, nullptr};
constexpr ClassFactory kFailFactory{kAbiVersion, &failWithWidget, nullptr};
constexpr ClassFactory kOtherAbiFactory{kAbiVersion + 1, &returnNull, nullptr};
constexpr ClassFactory kErrorFactory{kAbiVersion, &throwError, nullptr};
constexpr ClassFactory kIntFactory{kAbiVersion, &throwInt, nullptr};

const ClassInfo kClasses[] = {
    {testcontrols::kReturnsNull, "Returns null", nullptr, nullptr, &kNullFactory},
    {testcontrols::kFailsWithWidget, "Fails", nullptr, nullptr, &kFailFactory},
    {testcontrols::kNoFactory, "No factory", nullptr, nullptr, nullptr},
    {testcontrols::kOtherAbi, "Other interface version", nullptr, nullptr, &kOtherAbiFactory},
    {testcontrols::kThrowsError, "Throws an error", nullptr, nullptr, &kErrorFactory},
    {testcontrols::kThrowsInt, "Throws an int", nullptr, nullptr, &kIntFactory},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
