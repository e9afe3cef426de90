// Which commands a My Files view's right-click menu offers: the list views' menu for a
// file, a folder or empty space, built from what the tool bar makes available now.
#pragma once

#include <vector>

namespace dh::files {

enum MenuCommand {
  kMenuSeparator = 0,
  kMenuOpen = 1,
  kMenuCut = 2,
  kMenuCopy = 3,
  kMenuPaste = 4,
  kMenuPrint = 5,
  kMenuRename = 6,
  kMenuDelete = 7,
  kMenuNewFolder = 8,
};

// Whether each command could be carried out now: its tool-bar flag is set and its button
// is enabled (Print: an item is selected that may be printed). Open always can.
struct MenuAvailability {
  bool cut = false, copy = false, paste = false, print = false, rename = false, del = false,
       newFolder = false;
  bool has(int command) const;
};

enum class MenuTarget { Nothing, File, Folder };

// The list views' menu: commands in order with separators between their groups, never
// two together nor one at either end. Empty: no menu is shown.
std::vector<int> listMenu(MenuTarget target, const MenuAvailability& available);

// The commands of offered that are available, in offered's order; a separator is kept
// only between two commands. For views that offer their own choice of commands.
std::vector<int> availableCommands(const std::vector<int>& offered,
                                   const MenuAvailability& available);

// The menu's text and picture of a command.
const char* menuText(int command);
int menuPicture(int command);

} // namespace dh::files
