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
  dh::showPageHelp(parent, kLinksHelpContext);
}

void openHelpBook(QWidget* parent) {
  const QString path = dh::helpPath();
  if (path.isEmpty() || !QFileInfo::exists(path) || !dh::help::showHelp(path, kStartContext))
    dh::helpProblem(parent);
}

} // namespace dh::sitebook
