// Prints the median time of reading 50 program sets of 40 desktop entries each, from the
// override folder and from the applications menu, and of the Programs page's full
// rebuild on those sets and on one set of all 2000 entries. Runs offscreen unless a display is
// chosen.
#include "programs/programsetlist.h"
#include "programs/programsform.h"

#include "common/settings.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace dh::programs;

namespace {

constexpr int kSets = 50;
constexpr int kEntries = 40;
constexpr int kRuns = 15;

double medianMillis(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

QByteArray entry(int set, int program) {
  return QStringLiteral("[Desktop Entry]\nType=Application\nName=Program %1\nExec=sh -c true %f\n"
                        "Icon=accessories-calculator\nCategories=Cat%2;Education;\n")
      .arg(program)
      .arg(set)
      .toUtf8();
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir work;
  qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", work.filePath(QStringLiteral("menu")).toLocal8Bit());
  qputenv("XDG_DATA_DIRS", work.filePath(QStringLiteral("none")).toLocal8Bit());
  QApplication app(argc, argv);
  TestHives hives;
  writeScheme(hives, {.name = "Default User"});
  const QString sets = work.filePath(QStringLiteral("sets"));
  for (int set = 0; set < kSets; ++set) {
    if (!QDir().mkpath(QStringLiteral("%1/Set %2").arg(sets).arg(set)) ||
        !QDir().mkpath(work.filePath(QStringLiteral("menu/applications/s%1").arg(set))))
      return 1;
    for (int program = 0; program < kEntries; ++program) {
      const QByteArray bytes = entry(set, program);
      if (!writeFile(QStringLiteral("%1/Set %2/Program %3.desktop").arg(sets).arg(set).arg(program),
                     bytes) ||
          !writeFile(work.filePath(
                         QStringLiteral("menu/applications/s%1/p%2.desktop").arg(set).arg(program)),
                     bytes))
        return 1;
    }
  }

  ProgramSetList list;
  const double menu = medianMillis([&] { list.LoadSets(list.GetLocation()); });
  hives.setText(dh::reg::Root::LocalMachine, dh::kSettingsKey, dh::setting::kProgramSetLocation,
                sets.toStdString());
  const double folder = medianMillis([&] { list.LoadSets(list.GetLocation()); });
  if (list.sets().size() != size_t(kSets))
    return 1;

  CProgramsForm form;
  form.resize(1024, 700);
  form.show();
  const double rebuild = medianMillis([&] {
    form.rebuild();
    QCoreApplication::processEvents();
  });

  // The menu puts every entry into one set: the page lists 2000 programs at once.
  hives.removeValue(dh::reg::Root::LocalMachine, dh::kSettingsKey,
                    dh::setting::kProgramSetLocation);
  const double large = medianMillis([&] {
    form.rebuild();
    QCoreApplication::processEvents();
  });

  std::printf("LoadSets, %d sets of %d desktop entries (goal < 100 ms), median of %d:\n", kSets,
              kEntries, kRuns);
  std::printf("  override folder     %8.1f ms\n", folder);
  std::printf("  applications menu   %8.1f ms (the same entries)\n", menu);
  std::printf("full rebuild of the page (sets, buttons, list), median of %d:\n", kRuns);
  std::printf("  50 sets, 40 programs listed    %8.1f ms\n", rebuild);
  std::printf("  1 set, %d programs listed    %8.1f ms\n", kSets * kEntries, large);
  return 0;
}
