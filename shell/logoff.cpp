#include "shell/logoff.h"

#include "platform/ui/messageservice.h"

#include <QScopedValueRollback>

namespace dh::shell {

namespace {

const char* const kQuestion = "Do you want to log off now?\n\n"
                              "Every program you started will close. Save your work in them first.";

} // namespace

bool confirmLogOff() {
  static bool asking = false;
  if (asking)
    return false;
  const QScopedValueRollback guard(asking, true);
  return ui::showMessage(nullptr, QString::fromLatin1(kQuestion), QStringLiteral("Log Off"),
                         ui::Icon::Question, ui::Buttons::YesNo) == ui::Answer::Yes;
}

} // namespace dh::shell
