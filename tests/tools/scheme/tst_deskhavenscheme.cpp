#include "common/settings.h"
#include "tests/support/runtool.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using dh::kDeskhavenKey;
using dh::reg::Root;

namespace {
ToolRun scheme(const QStringList& args) {
  return runTool(DESKHAVEN_SCHEME, args);
}
} // namespace

class TestDeskhavenScheme : public QObject {
  Q_OBJECT

private slots:
  void selectSaysWhatAndWhy();
  void showPrintsTheRecordAsJson();
  void previewRendersThePagesAndWritesNoHive();
};

void TestDeskhavenScheme::selectSaysWhatAndWhy() {
  TestHives hives;
  for (const QStringList& args :
       {QStringList{}, QStringList{"frobnicate"}, QStringList{"select", "--mode"},
        QStringList{"select", "--mode", "9x"}, QStringList{"show", "Lab"},
        QStringList{"select", "--colour", "red"}}) {
    const ToolRun run = scheme(args);
    QCOMPARE(run.status, 64);
    QVERIFY(run.err.contains("Usage:"));
  }
  QCOMPARE(scheme({"select", "--user", "ann"}).out.section('\n', 0, 0), QString("Error"));
  QCOMPARE(scheme({"select"}).status, 2);

  writeScheme(hives, {.name = "Year7"});
  writeScheme(hives, {.name = "Default User"});
  hives.removeValue(Root::LocalMachine, schemeKey("Year7") + "\\Defaults", "Silent");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Stowlet\\Plotbench", "Current Mode",
                "Pupils");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Stowlet\\Plotbench", "Current Class", "7B");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Class Schemes", "7B", "Year7");
  const ToolRun run = scheme({"select", "--mode", "3", "--user", "ann"});
  QCOMPARE(run.status, 0);
  const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.value(0), QString("Default User"));
  QVERIFY2(run.out.contains("class \"7B\""), qPrintable(run.out));
  QVERIFY2(run.out.contains("\"Year7\": failed"), qPrintable(run.out));
  QVERIFY2(run.out.contains("Defaults: \"Silent\" is missing"), qPrintable(run.out));
  QVERIFY2(lines.last().contains("\"Default User\": loaded"), qPrintable(run.out));

  // Another user's choice comes from their own user hive (where session.env puts it), not
  // the caller's, and the selection's record of it reaches no real hive.
  writeScheme(hives, {.name = "Lab"});
  hives.setText(Root::CurrentUser, kDeskhavenKey, "ConfigToUse", "Year7");
  const QString annHive = hives.dir() + "/homes/ann.hive";
  qputenv("DESKHAVEN_USER_HIVE", annHive.toUtf8());
  dh::reg::resetHives();
  hives.setText(Root::CurrentUser, kDeskhavenKey, "ConfigToUse", "Lab");
  qputenv("DESKHAVEN_USER_HIVE", hives.userHive().toUtf8());
  dh::reg::resetHives();
  QVERIFY(writeFile(hives.dir() + "/session.env",
                    "DESKHAVEN_USER_HIVE=" + hives.dir().toUtf8() + "/homes/$USER.hive\n"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DESKHAVEN_SESSION_ENV", hives.dir() + "/session.env");
  const QByteArray machine = fileBytes(hives.machineHive()), ann = fileBytes(annHive);
  const ToolRun other = runTool(DESKHAVEN_SCHEME, {"select", "--user", "ann"}, {}, env);
  QCOMPARE(other.status, 0);
  QVERIFY2(other.out.startsWith("Lab\n") && other.out.contains("\"Lab\": loaded"),
           qPrintable(other.out));
  QCOMPARE(fileBytes(hives.machineHive()), machine);
  QCOMPARE(fileBytes(annHive), ann);
}

void TestDeskhavenScheme::showPrintsTheRecordAsJson() {
  TestHives hives;
  writeScheme(hives, {.name = "Lab", .roots = 2, .links = 3});
  ToolRun run = scheme({"show", "Lab", "--json"});
  QCOMPARE(run.status, 0);
  const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8()).object();
  QCOMPARE(o["SchemeName"].toString(), QString("Lab"));
  QCOMPARE(o["FolderDisplay"]["Roots"][1]["RootPath"].toString(), QString("/tmp/r2"));
  QCOMPARE(o["Sitebook"]["Sitemarks"][2]["URL"].toString(), QString("http://example.test/3"));

  hives.removeTree(Root::LocalMachine, schemeKey("Lab") + "\\TabSelection");
  run = scheme({"show", "Lab", "--json"});
  QCOMPARE(run.status, 1);
  const QJsonObject failed = QJsonDocument::fromJson(run.out.toUtf8()).object();
  QCOMPARE(failed["Loaded"].toBool(), false);
  QCOMPARE(failed["FailedSections"].toArray(), QJsonArray({"TabSelection"}));
}

void TestDeskhavenScheme::previewRendersThePagesAndWritesNoHive() {
  TestHives hives;
  writeScheme(hives, {.name = "Default User", .roots = 0, .firstTab = 3});
  writeScheme(hives, {.name = "Year7", .roots = 0, .links = 1, .firstTab = 3});
  const std::string classes = "Software\\Halvane\\Deskhaven\\Class Schemes";
  hives.setText(Root::LocalMachine, classes, "7B", "Year7");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Classwick\\Accounts\\ann", "Account Type",
                "Pupils");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Deskhaven\\Module Registry\\Page3", "GUID",
                "{C064B317-949F-4497-A28B-AFA9CAFACF8A}");
  hives.setDword(Root::LocalMachine, "Software\\Halvane\\Platform", "Mode", 6);
  QCOMPARE(runTool(REGSVR, {PLATFORM_MODE_LIBRARY}).status, 0);
  QCOMPARE(runTool(REGSVR, {SITEBOOK_LIBRARY}).status, 0);
  auto hash = [&] {
    QByteArray all;
    for (const QString& file : {hives.machineHive(), hives.userHive()}) {
      QFile f(file);
      all += f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
    return all;
  };
  const QByteArray before = hash();

  QTemporaryDir out;
  ToolRun run = scheme({"preview", "--user", "ann", "--class", "7B", "--out", out.path()});
  QCOMPARE(run.status, 0);
  QVERIFY2(run.out.startsWith("Year7\n"), qPrintable(run.out + run.err));
  QCOMPARE(hash(), before); // neither the class nor IsOK reached the real hives
  const QImage shell(out.filePath("shell.png")), links(out.filePath("links.png"));
  QVERIFY(!QFile::exists(out.filePath("programs.png"))); // a page the shell cannot offer
  QCOMPARE(shell.size(), links.size());
  // The top row looks the same; the page shows something in its frame.
  QCOMPARE(shell.pixel(shell.width() / 2, 2), links.pixel(links.width() / 2, 2));
  QSet<QRgb> colours;
  for (int x = 0; x < links.width(); x += 7)
    colours.insert(links.pixel(x, links.height() / 3));
  QVERIFY(colours.size() > 3);

  // A class whose scheme does not load says why and renders nothing.
  hives.setText(Root::LocalMachine, classes, "7B", "Missing");
  hives.removeTree(Root::LocalMachine, schemeKey("Default User"));
  QTemporaryDir none;
  run = scheme({"preview", "--user", "ann", "--class", "7B", "--out", none.path()});
  QCOMPARE(run.status, 2);
  QVERIFY2(run.out.startsWith("Error\n"), qPrintable(run.out));
  QVERIFY(QDir(none.path()).isEmpty());
  QCOMPARE(scheme({"preview", "--user", "ann"}).status, 64); // no --out
}

QTEST_MAIN(TestDeskhavenScheme)
#include "tst_deskhavenscheme.moc"
