// The about box: the program's name and version, and which character and speech engine
// the OnScreen Helper actually uses.
#pragma once

#include <QDialog>

namespace dh::shell {

// The box's second line for a character name (empty when none is installed) and the
// speech engine's version.
QString engineLine(const QString& characterName, const QString& speechVersion);

class CAboutDlg : public QDialog {
  Q_OBJECT

public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace dh::shell
