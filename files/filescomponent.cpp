// The entries of the Files control library: registration and creation by class
// identifier or ProgID.
#include "files/filesctrl.h"
#include "platform/components/componentserver.h"

namespace {
using dh::files::CFilesCtrl;
const dh::component::ClassInfo kClasses[] = {
    {CFilesCtrl::kClassId, "Files Control", CFilesCtrl::kProgId, "1.0",
     &dh::component::kWidgetFactory<CFilesCtrl>},
};
} // namespace

DH_COMPONENT_LIBRARY(kClasses)
