// The Links page's help: the help book named by the setting "HelpPath", opened at the
// Links context by the Help button, and as a whole by F1 in the browser.
#pragma once

class QWidget;

namespace dh::sitebook {

inline constexpr unsigned kLinksHelpContext = 50003;

// Both tell the pupil with "Help Problem" when the book cannot be opened.
void showLinksHelp(QWidget* parent);
void openHelpBook(QWidget* parent);

} // namespace dh::sitebook
