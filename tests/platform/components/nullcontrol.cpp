// Classes whose libraries load and answer, but hand out nothing usable.
#include "tests/platform/components/testcontrols.h"

#include "platform/components/componentserver.h"

#include <QWidget>

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

constexpr ClassFactory kNullFactory{kAbiVersion, &returnNull, nullptr};
constexpr ClassFactory kFailFactory{kAbiVersion, &failWithWidget, nullptr};
constexpr ClassFactory kOtherAbiFactory{kAbiVersion + 1, &returnNull, nullptr};

const ClassInfo kClasses[] = {
    {testcontrols::kReturnsNull, "Returns null", nullptr, nullptr, &kNullFactory},
    {testcontrols::kFailsWithWidget, "Fails", nullptr, nullptr, &kFailFactory},
    {testcontrols::kNoFactory, "No factory", nullptr, nullptr, nullptr},
    {testcontrols::kOtherAbi, "Other interface version", nullptr, nullptr, &kOtherAbiFactory},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
