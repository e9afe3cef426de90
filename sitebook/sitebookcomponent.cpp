// The entries of the Sitebook control library: registration and creation by class
// identifier or ProgID.
#include "platform/components/componentserver.h"
#include "sitebook/sitebookctrl.h"

namespace {
using dh::sitebook::CSitebookCtrl;
const dh::component::ClassInfo kClasses[] = {
    {CSitebookCtrl::kClassId, "Sitebook Control", CSitebookCtrl::kProgId, "1.0",
     &dh::component::kWidgetFactory<CSitebookCtrl>},
};
} // namespace

DH_COMPONENT_LIBRARY(kClasses)
