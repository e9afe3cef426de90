#include "sitebook/linkshelp.h"

#include "common/ui/pagehelp.h"
#include "platform/help/helpwindow.h"

#include <QFileInfo>

namespace dh::sitebook {
namespace {

// The book's start page: a context no book knows.
constexpr unsigned kStartContext = 0;

} // namespace

void showLinksHelp(QWidget* parent) {
  dh::ShowPageHelp(parent, kLinksHelpContext);
}

void openHelpBook(QWidget* parent) {
  const QString path = dh::HelpPath();
  if (path.isEmpty() || !QFileInfo::exists(path) || !dh::help::ShowHelp(path, kStartContext))
    dh::HelpProblem(parent);
}

} // namespace dh::sitebook
