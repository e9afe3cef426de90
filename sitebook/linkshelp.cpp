#include "sitebook/linkshelp.h"

#include "common/settings.h"
#include "platform/help/helpwindow.h"
#include "platform/ui/messageservice.h"

#include <QFileInfo>

namespace dh::sitebook {
namespace {

QString HelpPath() {
  return QString::fromStdString(dh::ReadSetting(dh::setting::kHelpPath));
}

void HelpProblem(QWidget* parent) {
  dh::ui::beep();
  dh::ui::showMessage(parent,
                      QStringLiteral("There has been a problem locating the correct help file.\n"
                                     "It is recommended you inform your system administrator\n"
                                     "of this error"),
                      QStringLiteral("Help Problem"), dh::ui::Icon::Information);
}

// The book's start page: a context no book knows.
constexpr unsigned kStartContext = 0;

} // namespace

void ShowLinksHelp(QWidget* parent) {
  if (!dh::help::ShowHelp(HelpPath(), kLinksHelpContext))
    HelpProblem(parent);
}

void OpenHelpBook(QWidget* parent) {
  const QString path = HelpPath();
  if (path.isEmpty() || !QFileInfo::exists(path) || !dh::help::ShowHelp(path, kStartContext))
    HelpProblem(parent);
}

} // namespace dh::sitebook
