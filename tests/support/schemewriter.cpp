#include "tests/support/schemewriter.h"

#include "tests/support/testhives.h"

using dh::reg::Root;

std::string schemeKey(const std::string& name) {
  return "Software\\Halvane\\Deskhaven\\Schemes\\" + name;
}

void writeScheme(TestHives& hives, const SchemeSpec& spec) {
  const std::string base = schemeKey(spec.name);
  dh::reg::Transaction batch(Root::LocalMachine);
  hives.setDword(Root::LocalMachine, base + "\\FolderDisplay", "RootFolderCount", spec.roots);
  for (int n = 1; n <= spec.roots; ++n) {
    const std::string key = base + "\\FolderDisplay\\Root " + std::to_string(n);
    const std::string nr = std::to_string(n);
    hives.setText(Root::LocalMachine, key, "RootDisplayName", "Root " + nr);
    hives.setText(Root::LocalMachine, key, "RootPath", spec.rootFolder + "/r" + nr);
    hives.setDword(Root::LocalMachine, key, "FolderLevels", n % 3 - 1);
    hives.setText(Root::LocalMachine, key, "CollapsedIconFile", "closed" + nr + ".bmp");
    hives.setText(Root::LocalMachine, key, "ExpandedIconFile", "open" + nr + ".bmp");
    hives.setText(Root::LocalMachine, key, "LongToolTip", "The long tip of root " + nr);
    hives.setText(Root::LocalMachine, key, "ShortToolTip", "Root tip " + nr);
    hives.setText(Root::LocalMachine, key, "Wav File", "root" + nr + ".wav");
    hives.setDword(Root::LocalMachine, key, "DenyModify", n % 2);
  }
  hives.setDword(Root::LocalMachine, base + "\\Sitebook", "SitebookCount", spec.links);
  for (int n = 1; n <= spec.links; ++n) {
    const std::string key = base + "\\Sitebook\\Sitemark " + std::to_string(n);
    const std::string nr = std::to_string(n);
    hives.setText(Root::LocalMachine, key, "DisplayName", "Link " + nr);
    hives.setText(Root::LocalMachine, key, "URL", "http://example.test/" + nr);
    hives.setText(Root::LocalMachine, key, "IconFile", "link" + nr + ".bmp");
    hives.setText(Root::LocalMachine, key, "LongToolTip", "The long tip of link " + nr);
    hives.setText(Root::LocalMachine, key, "ShortToolTip", "Link tip " + nr);
    hives.setText(Root::LocalMachine, key, "Wav File", "link" + nr + ".wav");
  }
  for (const char* page : {"Page1", "Page2", "Page3"})
    hives.setDword(Root::LocalMachine, base + "\\TabSelection", page, 1);
  static const char* const flags[] = {"Back", "Forward", "Up",     "Rename", "New",   "Cut",
                                      "Copy", "Paste",   "Delete", "Undo",   "Print", "Refresh",
                                      "Icon", "View",    "Help",   "Side"};
  for (int page = 1; page <= 3; ++page)
    for (const char* flag : flags)
      hives.setDword(Root::LocalMachine, base + "\\ToolBars\\Page " + std::to_string(page), flag,
                     1);
  const std::string defaults = base + "\\Defaults";
  hives.setText(Root::LocalMachine, defaults, "DefaultView", "details");
  hives.setDword(Root::LocalMachine, defaults, "DefaultIconSize", 1);
  hives.setDword(Root::LocalMachine, defaults, "DefaultFirstTab", spec.firstTab);
  hives.setDword(Root::LocalMachine, defaults, "ShortToolTips", 0);
  hives.setDword(Root::LocalMachine, defaults, "Silent", 0);
  hives.setDword(Root::LocalMachine, defaults, "Context Menu", 1);
  hives.setDword(Root::LocalMachine, defaults, "Options Menu", 1);
  batch.commit();
}
