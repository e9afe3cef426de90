// Prints the time from creating the Links control to the completion of its start page:
// the first run (which starts the browser engine) and the median of the runs after it.
// Runs offscreen unless a display is chosen; as root the browser runs without sandbox.
#include "sitebook/dhvview.h"
#include "sitebook/sitebookctrl.h"
#include "sitebook/sitebookform.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace dh::sitebook;

using Clock = std::chrono::steady_clock;

namespace {

// Milliseconds until the new control's start page completes, or -1 when it never does.
double startUpMillis() {
  const auto start = Clock::now();
  CSitebookCtrl control;
  control.resize(1024, 700);
  control.show();
  QSignalSpy done(control.form()->view(), &QWebEngineView::loadFinished);
  if (!done.wait(30000))
    return -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (geteuid() == 0)
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
  QApplication app(argc, argv);
  TestHives hives;
  writeScheme(hives, {.name = "Default User", .links = 7});
  QFile page(home.filePath(QStringLiteral("Links.htm")));
  if (!page.open(QIODevice::WriteOnly))
    return 1;
  page.write("<html><head><title>Links</title></head><body><h1>Links</h1></body></html>");
  page.close();
  QDir::setCurrent(home.path());

  const double first = startUpMillis();
  std::vector<double> samples;
  for (int run = 0; run < 7; ++run)
    samples.push_back(startUpMillis());
  std::sort(samples.begin(), samples.end());
  std::printf("Links control to start page complete: first %.1f ms (browser engine start), "
              "median of %zu after it %.1f ms\n",
              first, samples.size(), samples[samples.size() / 2]);
  return 0;
}
