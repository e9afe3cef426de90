#include "files/contextmenu.h"

#include <array>

namespace dh::files {

namespace {

struct CommandLook {
  const char* text;
  int picture;
};
// By command, from Open.
constexpr std::array<CommandLook, 8> kLooks = {{{"&Open", 0},
                                                {"Cu&t", 1},
                                                {"&Copy", 2},
                                                {"&Paste", 6},
                                                {"P&rint", 3},
                                                {"Rena&me", 4},
                                                {"&Delete", 5},
                                                {"&New Folder", 7}}};

bool known(int command) {
  return command >= kMenuOpen && command <= kMenuNewFolder;
}

} // namespace

bool MenuAvailability::has(int command) const {
  switch (command) {
  case kMenuOpen:
    return true;
  case kMenuCut:
    return cut;
  case kMenuCopy:
    return copy;
  case kMenuPaste:
    return paste;
  case kMenuPrint:
    return print;
  case kMenuRename:
    return rename;
  case kMenuDelete:
    return del;
  case kMenuNewFolder:
    return newFolder;
  default:
    return false;
  }
}

std::vector<int> availableCommands(const std::vector<int>& offered,
                                   const MenuAvailability& available) {
  std::vector<int> menu;
  bool separator = false;
  for (int command : offered) {
    if (command == kMenuSeparator) {
      separator = !menu.empty();
      continue;
    }
    if (!available.has(command))
      continue;
    if (separator)
      menu.push_back(kMenuSeparator);
    separator = false;
    menu.push_back(command);
  }
  return menu;
}

std::vector<int> listMenu(MenuTarget target, const MenuAvailability& available) {
  constexpr int kSep = kMenuSeparator;
  switch (target) {
  case MenuTarget::Nothing:
    return availableCommands({kMenuPaste, kSep, kMenuNewFolder}, available);
  case MenuTarget::File:
    return availableCommands(
        {kMenuOpen, kSep, kMenuCut, kMenuCopy, kSep, kMenuPrint, kMenuRename, kSep, kMenuDelete},
        available);
  case MenuTarget::Folder:
    return availableCommands({kMenuCut, kMenuCopy, kMenuPaste, kSep, kMenuRename, kSep, kMenuDelete,
                              kSep, kMenuNewFolder},
                             available);
  }
  return {};
}

const char* menuText(int command) {
  return known(command) ? kLooks[std::size_t(command - 1)].text : "";
}

int menuPicture(int command) {
  return known(command) ? kLooks[std::size_t(command - 1)].picture : -1;
}

} // namespace dh::files
