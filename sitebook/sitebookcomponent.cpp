// The entries of the Sitebook control library: registration and creation by class
// identifier or ProgID.
#include "componentserver.h"
#include "sitebookctrl.h"

namespace {
const dh::component::ClassInfo kClasses[] = {
    {CSitebookCtrl::kClassId, "Sitebook Control", CSitebookCtrl::kProgId, "1.0",
     &dh::component::kWidgetFactory<CSitebookCtrl>},
};
} // namespace

DH_COMPONENT_LIBRARY(kClasses)
