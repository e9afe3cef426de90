// deskhaven2: the pupils' desktop shell.
#include "common/hiveplaces.h"
#include "shell/deskhavenapp.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
  // The Links page's browser shares OpenGL contexts with the application; it must be
  // asked for before the application exists, since that page is loaded as a plugin later.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  dh::useHivePlaces();
  QApplication::setApplicationName(QStringLiteral("deskhaven2"));
  QApplication::setApplicationVersion(QStringLiteral("3.29.0.0"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "The Deskhaven shell: one maximised window with the pupil's Programs, My Files and "
      "Links pages.\nA second start under the same user shows the running window instead."));
  parser.addHelpOption();
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Start without the single-instance rule, wait until the first page is "
                     "shown, save the window as a PNG to <file> and exit (0 on success)."),
      QStringLiteral("file"));
  const QCommandLineOption delay(
      QStringLiteral("screenshot-delay"),
      QStringLiteral("Milliseconds to let the pages draw before the screenshot (default 1500)."),
      QStringLiteral("ms"), QStringLiteral("1500"));
  const QCommandLineOption preview(
      QStringLiteral("preview"),
      QStringLiteral("Like --screenshot, but save shell.png and then one picture per page "
                     "offered (programs.png, my-files.png, links.png) to <folder>."),
      QStringLiteral("folder"));
  const QCommandLineOption logOff(
      QStringLiteral("log-off"),
      QStringLiteral("Ask the shell running for this user to log off: it asks the pupil "
                     "first. Exits 1 when no shell answers."));
  parser.addOption(screenshot);
  parser.addOption(preview);
  parser.addOption(delay);
  parser.addOption(logOff);
  parser.process(app);

  dh::shell::LaunchOptions options;
  options.screenshotFile = parser.value(screenshot);
  options.previewFolder = parser.value(preview);
  options.logOff = parser.isSet(logOff);
  bool numeric = false;
  options.screenshotDelayMs = parser.value(delay).toInt(&numeric);
  if (!numeric || options.screenshotDelayMs < 0)
    parser.showHelp(2);
  return dh::shell::CDeskhavenApp().InitInstance(options);
}
