#include "common/ui/pagehelp.h"

#include "common/settings.h"
#include "platform/help/helpwindow.h"
#include "platform/ui/messageservice.h"

namespace dh {

QString helpPath() {
  return QString::fromStdString(readSetting(setting::kHelpPath));
}

void helpProblem(QWidget* parent) {
  ui::beep();
  ui::showMessage(parent,
                  QStringLiteral("There has been a problem locating the correct help file.\n"
                                 "It is recommended you inform your system administrator\n"
                                 "of this error"),
                  QStringLiteral("Help Problem"), ui::Icon::Information);
}

void showPageHelp(QWidget* parent, unsigned context) {
  if (!help::showHelp(helpPath(), context))
    helpProblem(parent);
}

} // namespace dh
