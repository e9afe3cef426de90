#include "platform/desktop/programtypes.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <array>

namespace dh::desktop {

bool isProgramType(const QMimeType& type) {
  static constexpr std::array kProgramTypes = {"application/x-executable",
                                               "application/x-pie-executable",
                                               "application/x-sharedlib",
                                               "application/x-shellscript",
                                               "application/x-desktop",
                                               "application/x-java-archive",
                                               "application/x-ms-dos-executable",
                                               "application/x-msdownload",
                                               "application/x-msi",
                                               "application/x-ms-shortcut",
                                               "application/x-bat",
                                               "application/x-java-jnlp-file",
                                               "application/x-executable-script",
                                               "application/vnd.microsoft.portable-executable",
                                               "application/x-ms-installer",
                                               "application/vnd.debian.binary-package",
                                               "application/x-rpm",
                                               "application/vnd.flatpak",
                                               "application/vnd.flatpak.ref",
                                               "application/vnd.flatpak.repo",
                                               "application/vnd.appimage",
                                               "application/x-iso9660-appimage",
                                               "application/x-perl",
                                               "application/x-ruby",
                                               "application/x-php",
                                               "application/javascript",
                                               "text/javascript",
                                               "application/x-powershell",
                                               "text/x-python",
                                               "text/x-tcl",
                                               "text/x-lua",
                                               "application/x-csh",
                                               "application/x-awk",
                                               "application/x-m4"};
  if (!type.isValid())
    return true; // a type nobody knows is not handed on
  for (const char* program : kProgramTypes) {
    if (type.inherits(QLatin1String(program)))
      return true;
  }
  return false;
}

bool isProgramName(const QString& fileName) {
  static const QStringList kExtensions = {
      QStringLiteral("bat"),    QStringLiteral("cmd"), QStringLiteral("com"),
      QStringLiteral("exe"),    QStringLiteral("lnk"), QStringLiteral("pif"),
      QStringLiteral("scr"),    QStringLiteral("msi"), QStringLiteral("msp"),
      QStringLiteral("vbs"),    QStringLiteral("vbe"), QStringLiteral("wsf"),
      QStringLiteral("wsh"),    QStringLiteral("ps1"), QStringLiteral("hta"),
      QStringLiteral("cpl"),    QStringLiteral("jar"), QStringLiteral("jnlp"),
      QStringLiteral("desktop")};
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot >= 0 && kExtensions.contains(fileName.mid(dot + 1), Qt::CaseInsensitive);
}

bool isProgramRunner(const QString& program) {
  // Versions and suffixes ("python3.11", "wine64", "perl5.36") name the same runner.
  static const QRegularExpression kRunner(QStringLiteral(
      "^(sh|bash|dash|zsh|ksh|mksh|csh|tcsh|fish|busybox|env|nohup|setsid|sudo|su|pkexec|doas|"
      "python|pypy|perl|ruby|irb|php|node|nodejs|deno|lua|luajit|tclsh|wish|awk|gawk|mawk|"
      "java|javaws|icedtea-web|wine|wine-stable|winepath|mono|dotnet|qemu.*|dosbox|"
      "flatpak|snap|appimagelauncher|systemd-run|dbus-launch|gtk-launch|xdg-open|gio|"
      "exo-open|kde-open|kioclient|gnome-open|mimeopen|run-mailcap|see|open|xargs|"
      "x-terminal-emulator|xterm|uxterm|lxterm|.*-terminal|.*term|konsole|terminator|"
      "tilix|kitty|alacritty|guake|tmux|screen|sensible-.*|gdebi.*|apt.*|dpkg|"
      "software-center|gnome-software|plasma-discover|update-manager)"
      "[0-9.]*(-[0-9.]+)?$"));
  const QString name = QFileInfo(program).fileName();
  return name.isEmpty() || kRunner.match(name).hasMatch();
}

} // namespace dh::desktop
