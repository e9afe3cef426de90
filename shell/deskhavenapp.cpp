#include "shell/deskhavenapp.h"

#include "common/ui/windowaccessible.h"
#include "platform/ui/controlid.h"
#include "platform/ui/messageservice.h"
#include "shell/accelerators.h"
#include "shell/deskhavendlg.h"
#include "shell/pagetable.h"
#include "shell/singleinstance.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace dh::shell {

namespace {

// In a screenshot run nobody is there to close a box: each one is written to standard
// error and answered as closing it would.
class ReportingMessageHandler : public ui::MessageHandler {
public:
  ui::Answer show(QWidget*, const ui::MessageBox& box) override {
    std::fprintf(stderr, "deskhaven2: message box \"%s\": %s\n", qPrintable(box.title),
                 qPrintable(QString(box.text).replace('\n', ' ')));
    return ui::escapeAnswer(box.buttons);
  }
  void beep() override {}
};

// The pictures of a headless run, each taken after the delay that lets the window draw:
// the window once (a screenshot), or the window as it starts and then with each page it
// offers on show (a preview). Ends the run after the last.
class PictureRun {
public:
  PictureRun(CDeskhavenDlg& dialog, const LaunchOptions& options)
      : dialog_(dialog), delayMs_(options.screenshotDelayMs), folder_(options.previewFolder) {
    if (!options.screenshotFile.isEmpty())
      later([this, file = options.screenshotFile] {
        save(file);
        finish();
      });
    else if (!options.previewFolder.isEmpty())
      later([this] {
        save(folder_.filePath(QStringLiteral("shell.png")));
        showFrom(1);
      });
  }
  bool failed() const { return failed_; }

private:
  static constexpr const char* kPageFiles[] = {"programs.png", "my-files.png", "links.png"};

  void later(std::function<void()> step) { QTimer::singleShot(delayMs_, &dialog_, step); }

  // Ends the loop without closing the window: closing it is the pupil's log-off and asks
  // first, which would hold a run that nobody answers.
  static void finish() { QApplication::exit(0); }

  void save(const QString& file) {
    if (!dialog_.grab().save(file, "PNG")) {
      std::fprintf(stderr, "deskhaven2: cannot write %s\n", qPrintable(file));
      failed_ = true;
    }
  }

  QAbstractButton* pageButton(int page) const {
    return ui::findById<QAbstractButton>(&dialog_, pageIdentity(page).buttonId);
  }

  // Shows the first page from page on that the shell offers, and takes its picture.
  void showFrom(int page) {
    while (page <= kPageCount && !pageButton(page)->isVisible())
      ++page;
    if (page > kPageCount) {
      finish();
      return;
    }
    pageButton(page)->click();
    later([this, page] {
      save(folder_.filePath(QLatin1String(kPageFiles[page - 1])));
      showFrom(page + 1);
    });
  }

  CDeskhavenDlg& dialog_;
  int delayMs_;
  QDir folder_;
  bool failed_ = false;
};

} // namespace

int CDeskhavenApp::InitInstance(const LaunchOptions& options) {
  // A screenshot run is a separate, headless look at a configuration: it neither joins
  // nor blocks the pupil's instance.
  if (headless(options))
    return runMainWindow(options, nullptr);

  const QString socketPath = instanceSocketPath();
  if (options.logOff)
    return InstanceChannel::requestLogOff(socketPath) ? 0 : 1;
  if (countRunningInstances() > 1) {
    InstanceChannel::requestShow(socketPath); // silent when nobody answers
    return 0;
  }
  InstanceChannel channel;
  channel.listen(socketPath);
  return runMainWindow(options, &channel);
}

int CDeskhavenApp::runMainWindow(const LaunchOptions& options, InstanceChannel* channel) {
  static ReportingMessageHandler reporter; // lives as long as the process
  if (headless(options))
    ui::installMessageHandler(&reporter);
  // Before the first window is made, whose presentation Qt keeps once asked for.
  installWindowAccessible();
  CDeskhavenDlg dialog;
  CAcceleratorTable accelerators(&dialog,
                                 [&dialog](PageCommand command) { dialog.OnCommand(command); });
  // The helper's character is a window of its own, so the last window closing is not
  // the end of the run: the main window closing is.
  QObject::connect(&dialog, &CDeskhavenDlg::closed, qApp, &QApplication::quit);
  if (channel) {
    QObject::connect(channel, &InstanceChannel::showRequested, &dialog,
                     &CDeskhavenDlg::showMaximisedOverScreen);
    // The question waits for the pupil: asked from the event loop, not inside the
    // socket's handler.
    QObject::connect(channel, &InstanceChannel::logOffRequested, &dialog, &QWidget::close,
                     Qt::QueuedConnection);
  }

  PictureRun pictures(dialog, options);
  const int loop = QApplication::exec();
  return pictures.failed() ? 1 : loop;
}

} // namespace dh::shell
