// Prints how long the details view takes to list a folder of 10,000 files, beside `ls -l`
// on the same folder in the same run (goal: within 3 times), what listing it again costs
// when it lies on a share and is polled, how long a file made on
// disk takes to reach its row in the visible view (goal: under 500 ms, median of 20), and
// how long the one-pane tree takes to expand the same folder.
#include "bench/timing.h"
#include "files/filesctrl.h"
#include "files/filesform.h"
#include "files/folderwatch.h"
#include "files/views/folderlistview.h"
#include "files/views/foldertreeview.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testdir.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QProcess>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace dh::files;
using dh::bench::median;
using dh::bench::millisOf;

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 10000;
constexpr int kRuns = 5;
constexpr int kAppearances = 20;

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TestHives hives;
  TestDir dir;
  for (int n = 0; n < kFiles; ++n)
    dir.file(QStringLiteral("r1/work %1.txt").arg(n), "some words");
  dir.folder("r2");
  writeScheme(hives, {.name = "Default User", .roots = 2, .rootFolder = dir.bytes()});
  hives.setDword(dh::reg::Root::LocalMachine, schemeKey("Default User") + "\\FolderDisplay\\Root 1",
                 "FolderLevels", -1);

  CFilesCtrl control;
  control.resize(1024, 700);
  control.show();
  QCoreApplication::processEvents();
  auto* view = static_cast<CFolderListView*>(control.form()->activeView());

  std::vector<double> ls, listing;
  for (int run = 0; run < kRuns; ++run) {
    ls.push_back(millisOf([&] {
      QProcess process;
      process.start(QStringLiteral("ls"), {QStringLiteral("-l"), dir.path("r1")});
      process.waitForFinished();
      process.readAllStandardOutput();
    }));
    view->openSlot(1);
    listing.push_back(millisOf([&] {
      view->openSlot(0);
      QCoreApplication::processEvents(); // laid out and drawn
    }));
  }
  std::printf("listing %zu files: details view %.1f ms, ls -l %.1f ms (median of %d; %.2f times)\n",
              view->model().items().size(), median(listing), median(ls), kRuns,
              median(listing) / median(ls));

  // What each poll of a folder on a share costs when nothing changed there.
  std::vector<double> polls;
  for (int run = 0; run < kRuns; ++run)
    polls.push_back(millisOf([&] { view->folderChanged({}); }));
  std::printf("polling a shared folder of %d files: %.1f ms a poll (median of %d), every %d ms\n",
              kFiles, median(polls), kRuns, FolderWatch::kSharePollMs);

  view->openSlot(1);
  std::vector<double> appear;
  for (int n = 0; n < kAppearances; ++n) {
    const int rows = int(view->model().items().size());
    appear.push_back(millisOf([&] {
      dir.file(QStringLiteral("r2/new %1.txt").arg(n));
      const auto deadline = Clock::now() + std::chrono::seconds(5);
      while (int(view->model().items().size()) == rows && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }));
  }
  std::printf("a file made on disk to its row in the view: median of %d %.1f ms, worst %.1f ms\n",
              kAppearances, median(appear), *std::max_element(appear.begin(), appear.end()));

  control.form()->chooseView(CFilesForm::kOnePaneTree);
  auto* tree = static_cast<CFolderTreeView*>(control.form()->activeView());
  QTreeWidgetItem* root = nullptr;
  std::vector<double> expanding;
  for (int run = 0; run < kRuns; ++run) {
    QCoreApplication::processEvents(); // the watchers' news rebuilds the tree
    root = tree->tree()->topLevelItem(0);
    root->setExpanded(false);
    expanding.push_back(millisOf([&] {
      root->setExpanded(true); // filled afresh on every expansion
      QCoreApplication::processEvents();
    }));
  }
  std::printf("expanding a tree folder of %d entries: %.1f ms (median of %d)\n", root->childCount(),
              median(expanding), kRuns);
  return 0;
}
