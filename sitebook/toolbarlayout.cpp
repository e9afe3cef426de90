#include "sitebook/toolbarlayout.h"

namespace dh::sitebook {

ToolBarPlaces layOutToolBar(const dh::ToolBarPage& flags) {
  ToolBarPlaces places;
  places.fill(-1);
  int next = 0;
  const auto take = [&](ToolBarItem separator, ToolBarItem button, bool shown) {
    if (!shown)
      return;
    places[separator] = next++;
    places[button] = next++;
  };
  take(CopySeparator, CopyButton, flags.Copy != 0);
  take(PrintSeparator, PrintButton, flags.Print != 0);
  take(SideSeparator, SideButton, flags.Side != 0);
  take(HelpSeparator, HelpButton, true);
  return places;
}

} // namespace dh::sitebook
