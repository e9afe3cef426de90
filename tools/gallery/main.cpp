// deskhaven-gallery OUTPUT-FOLDER [SECTION...]: renders every section (or the ones named)
// to PNG files in the folder. Runs offscreen unless a platform is chosen.
#include "common/hiveplaces.h"
#include "tools/gallery/gallery.h"

#include <QApplication>
#include <QTextStream>

#include <cstdlib>
#include <utility>

namespace {

using namespace dh::gallery;

const std::pair<const char*, void (*)(Gallery&)> kSections[] = {
    {"buttons", buttonSection},
    {"helper", helperSection},
    {"dialogs", dialogSection},
    {"menus", menuSection},
};

int usage() {
  QTextStream err(stderr);
  err << "usage: deskhaven-gallery OUTPUT-FOLDER [SECTION...]\nsections:";
  for (const auto& [name, run] : kSections)
    err << ' ' << name;
  err << '\n';
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  dh::useHivePlaces();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments().mid(1);
  if (args.isEmpty() || args.first().startsWith(u'-'))
    return usage();

  const QDir output(args.takeFirst());
  if (!output.mkpath(QStringLiteral("."))) {
    QTextStream(stderr) << "deskhaven-gallery: cannot create " << output.path() << '\n';
    return 1;
  }
  for (const QString& wanted : std::as_const(args)) {
    bool known = false;
    for (const auto& [name, run] : kSections)
      known = known || wanted == QLatin1String(name);
    if (!known)
      return usage();
  }

  Gallery gallery(output);
  for (const auto& [name, run] : kSections)
    if (args.isEmpty() || args.contains(QLatin1String(name)))
      run(gallery);
  return gallery.failures() == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
