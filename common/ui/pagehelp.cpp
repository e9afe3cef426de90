#include "common/ui/pagehelp.h"

#include "common/settings.h"
#include "platform/help/helpwindow.h"
#include "platform/ui/messageservice.h"

namespace dh {

QString HelpPath() {
  return QString::fromStdString(ReadSetting(setting::kHelpPath));
}

void HelpProblem(QWidget* parent) {
  ui::beep();
  ui::showMessage(parent,
                  QStringLiteral("There has been a problem locating the correct help file.\n"
                                 "It is recommended you inform your system administrator\n"
                                 "of this error"),
                  QStringLiteral("Help Problem"), ui::Icon::Information);
}

void ShowPageHelp(QWidget* parent, unsigned context) {
  if (!help::ShowHelp(HelpPath(), context))
    HelpProblem(parent);
}

} // namespace dh
