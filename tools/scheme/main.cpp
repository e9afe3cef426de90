// deskhaven-scheme: tells administrators which scheme a user gets and why, and what a
// scheme holds.
#include "common/hiveplaces.h"
#include "common/scheme.h"
#include "common/settings.h"
#include "tools/scheme/schemetool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace dh::schemetool {

namespace {

const char* const kUsage =
    "Usage:\n"
    "  deskhaven-scheme select [--mode N] [--user NAME]\n"
    "      Runs the scheme selection for a user (default: the login name) in a platform\n"
    "      mode (default 99), with that user's own user hive, on copies of the hives:\n"
    "      nothing is written. Prints the result (a scheme name, or Error), then one line\n"
    "      per candidate tried. Exit status 0, 1 when a hive cannot be read, or 2 when the\n"
    "      result is Error.\n"
    "  deskhaven-scheme show NAME --json\n"
    "      Loads scheme NAME and prints it as one JSON object. Exit status 0 when it\n"
    "      loaded, 1 when it did not.\n"
    "  deskhaven-scheme user-type-picture\n"
    "      Prints the path of the user type indicator picture (empty when none).\n"
    "  deskhaven-scheme preview --user NAME [--class CLASS] [--mode N] --out DIR\n"
    "      Renders what NAME would see (the shell as it starts, then each page it\n"
    "      offers) as PNG files in DIR, offscreen, on copies of the hives: neither hive\n"
    "      is written. --class and --mode stand in for the recorded class and platform\n"
    "      mode. A scheme selection that gives Error says why, as select does, and\n"
    "      renders nothing (exit status 2); 1 when the pictures could not be made.\n"
    "\n"
    "Bad arguments give exit status 64. The hives are $DESKHAVEN_MACHINE_HIVE and\n"
    "$DESKHAVEN_USER_HIVE.\n";

} // namespace

int usageError(const std::string& message) {
  std::fprintf(stderr, "deskhaven-scheme: %s\n\n%s", message.c_str(), kUsage);
  return 64;
}

bool parseMode(const char* text, std::int32_t& mode) {
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text, &end, 10);
  if (errno || !*text || *end || value < INT32_MIN || value > INT32_MAX)
    return false;
  mode = static_cast<std::int32_t>(value);
  return true;
}

std::string printSelection(std::int32_t mode, const std::string& user) {
  SelectionTrace trace;
  DhvScheme scheme;
  const std::string result = scheme.SelectScheme(mode, user, &trace);
  std::printf("%s\n", result.c_str());
  std::printf("  user \"%s\", platform mode %d, account type \"%s\", class \"%s\"\n",
              trace.userName.c_str(), mode, trace.accountType.c_str(), trace.currentClass.c_str());
  for (const auto& step : trace.steps) {
    if (!step.tried) {
      std::printf("  %s\n", step.source.c_str());
      continue;
    }
    std::printf("  %s: \"%s\": %s\n", step.source.c_str(), step.name.c_str(),
                step.loaded ? "loaded" : "failed");
    if (!step.loaded)
      for (const auto& f : step.failures)
        std::printf("      %s%s%s\n", f.section.c_str(), f.section.empty() ? "" : ": ",
                    f.reason.c_str());
  }
  if (mode == 0 && result == DhvScheme::kError)
    std::printf("  platform mode 0 always gives Error\n");
  return result;
}

} // namespace dh::schemetool

using namespace dh;
using namespace dh::schemetool;

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

QJsonObject rootJson(const RootFolder& r) {
  return {{"RootDisplayName", q(r.RootDisplayName)},
          {"RootPath", q(r.RootPath)},
          {"FolderLevels", r.FolderLevels},
          {"CollapsedIconFile", q(r.CollapsedIconFile)},
          {"ExpandedIconFile", q(r.ExpandedIconFile)},
          {"LongToolTip", q(r.LongToolTip)},
          {"ShortToolTip", q(r.ShortToolTip)},
          {"WavFile", q(r.WavFile)},
          {"DenyModify", r.DenyModify}};
}

QJsonObject sitemarkJson(const Sitemark& s) {
  return {{"DisplayName", q(s.DisplayName)},   {"URL", q(s.URL)},
          {"IconFile", q(s.IconFile)},         {"LongToolTip", q(s.LongToolTip)},
          {"ShortToolTip", q(s.ShortToolTip)}, {"WavFile", q(s.WavFile)}};
}

QJsonObject schemeJson(const DhvScheme& s, bool loaded,
                       const std::vector<SectionFailure>& failures) {
  QJsonArray roots, sitemarks, toolBars, failed;
  for (const auto& r : s.FolderDisplay.Roots)
    roots.append(rootJson(r));
  for (const auto& m : s.Sitebook.Sitemarks)
    sitemarks.append(sitemarkJson(m));
  for (const auto& page : s.ToolBars) {
    QJsonObject flags;
    for (const auto& flag : ToolBarPage::kFlags)
      flags.insert(flag.name, static_cast<qint64>(page.*(flag.member)));
    toolBars.append(flags);
  }
  for (const auto& f : failures)
    if (!failed.contains(q(f.section)))
      failed.append(q(f.section));
  const auto& d = s.Defaults;
  return {
      {"SchemeName", q(s.SchemeName)},
      {"FolderDisplay",
       QJsonObject{{"RootFolderCount", s.FolderDisplay.RootFolderCount}, {"Roots", roots}}},
      {"Sitebook",
       QJsonObject{{"SitebookCount", s.Sitebook.SitebookCount}, {"Sitemarks", sitemarks}}},
      {"TabSelection", QJsonObject{{"Page1", static_cast<qint64>(s.TabSelection.Page1)},
                                   {"Page2", static_cast<qint64>(s.TabSelection.Page2)},
                                   {"Page3", static_cast<qint64>(s.TabSelection.Page3)}}},
      {"ToolBars", toolBars},
      {"Defaults", QJsonObject{{"DefaultView", q(d.DefaultView)},
                               {"DefaultIconSize", d.DefaultIconSize},
                               {"DefaultFirstTab", d.DefaultFirstTab},
                               {"ShortToolTips", d.ShortToolTips},
                               {"Silent", d.Silent},
                               {"ContextMenu", d.ContextMenu},
                               {"OptionsMenu", d.OptionsMenu}}},
      {"Loaded", loaded},
      {"FailedSections", failed},
  };
}

int select(int argc, char** argv) {
  std::int32_t mode = 99;
  std::string user = currentUserName();
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--mode" || arg == "--user") && i + 1 >= argc)
      return usageError(arg + " needs a value");
    if (arg == "--mode") {
      if (!parseMode(argv[++i], mode))
        return usageError(std::string("--mode takes a whole number, not \"") + argv[i] + "\"");
    } else if (arg == "--user") {
      user = argv[++i];
    } else {
      return usageError("unknown argument \"" + arg + "\" for select");
    }
  }
  // The selection records the user's scheme and may read the class from the user's
  // hive: it runs on copies, with the user's own hive, so that nothing real is written.
  const HiveCopies copies(user);
  if (!copies.valid())
    return 1;
  const std::string result = printSelection(mode, user);
  return result == DhvScheme::kError ? 2 : 0;
}

int show(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--json") != 0)
    return usageError("show takes a scheme name and --json");
  DhvScheme scheme;
  std::vector<SectionFailure> failures;
  const bool loaded = scheme.Load(argv[0], &failures);
  std::printf("%s\n", QJsonDocument(schemeJson(scheme, loaded, failures))
                          .toJson(QJsonDocument::Indented)
                          .constData());
  return loaded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  useHivePlaces();
  if (argc < 2)
    return usageError("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "select")
    return select(argc - 2, argv + 2);
  if (command == "show")
    return show(argc - 2, argv + 2);
  if (command == "preview")
    return preview(argc - 2, argv + 2);
  if (command == "user-type-picture") {
    if (argc != 2)
      return usageError("user-type-picture takes no arguments");
    std::printf("%s\n", GetUserTypePicturePath().c_str());
    return 0;
  }
  return usageError("unknown command \"" + command + "\"");
}
