#include "shell/deskhavenapp.h"

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

// The pictures of a preview run, one per page.
const QString kPreviewFiles[] = {QStringLiteral("programs.png"), QStringLiteral("my-files.png"),
                                 QStringLiteral("links.png")};

} // namespace

int CDeskhavenApp::InitInstance(const LaunchOptions& options) {
  // A screenshot run is a separate, headless look at a configuration: it neither joins
  // nor blocks the pupil's instance.
  if (Headless(options))
    return RunMainWindow(options, nullptr);

  const QString socketPath = InstanceSocketPath();
  if (CountRunningInstances() > 1) {
    InstanceChannel::requestShow(socketPath); // silent when nobody answers
    return 0;
  }
  InstanceChannel channel;
  channel.listen(socketPath);
  return RunMainWindow(options, &channel);
}

int CDeskhavenApp::RunMainWindow(const LaunchOptions& options, InstanceChannel* channel) {
  static ReportingMessageHandler reporter; // lives as long as the process
  if (Headless(options))
    ui::installMessageHandler(&reporter);
  CDeskhavenDlg dialog;
  CAcceleratorTable accelerators(&dialog, [&dialog](int command) { dialog.OnCommand(command); });
  // The helper's character is a window of its own, so the last window closing is not
  // the end of the run: the main window closing is.
  QObject::connect(&dialog, &CDeskhavenDlg::closed, qApp, &QApplication::quit);
  if (channel)
    QObject::connect(channel, &InstanceChannel::showRequested, &dialog,
                     &CDeskhavenDlg::ShowMaximisedOverScreen);

  int status = 0;
  auto save = [&](const QString& file) {
    if (!dialog.grab().save(file, "PNG")) {
      std::fprintf(stderr, "deskhaven2: cannot write %s\n", qPrintable(file));
      status = 1;
    }
  };
  if (!options.screenshotFile.isEmpty()) {
    QTimer::singleShot(options.screenshotDelayMs, &dialog, [&] {
      save(options.screenshotFile);
      QApplication::quit();
    });
  }
  // A preview: the shell as it starts, then each page it offers, each given time to draw.
  const QDir folder(options.previewFolder);
  std::function<void(int)> showFrom = [&](int page) {
    for (; page <= kPageCount; ++page) {
      auto* button = ui::findById<QAbstractButton>(&dialog, pageIdentity(page).buttonId);
      if (button && button->isVisible())
        break;
    }
    if (page > kPageCount) {
      QApplication::quit();
      return;
    }
    ui::findById<QAbstractButton>(&dialog, pageIdentity(page).buttonId)->click();
    QTimer::singleShot(options.screenshotDelayMs, &dialog, [&, page] {
      save(folder.filePath(kPreviewFiles[page - 1]));
      showFrom(page + 1);
    });
  };
  if (!options.previewFolder.isEmpty())
    QTimer::singleShot(options.screenshotDelayMs, &dialog, [&] {
      save(folder.filePath(QStringLiteral("shell.png")));
      showFrom(1);
    });
  const int loop = QApplication::exec();
  return status != 0 ? status : loop;
}

} // namespace dh::shell
