// The entries of the Programs control library: registration and creation by class
// identifier or ProgID.
#include "platform/components/componentserver.h"
#include "programs/programsctrl.h"

namespace {
using dh::programs::CProgramsCtrl;
const dh::component::ClassInfo kClasses[] = {
    {CProgramsCtrl::kClassId, "Programs Control", CProgramsCtrl::kProgId, "1.0",
     &dh::component::kWidgetFactory<CProgramsCtrl>},
};
} // namespace

DH_COMPONENT_LIBRARY(kClasses)
