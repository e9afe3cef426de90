#include "tests/support/runtool.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testhives.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

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
  void badArgumentsAreRefused();
};

void TestDeskhavenScheme::selectSaysWhatAndWhy() {
  TestHives hives;
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
}

void TestDeskhavenScheme::showPrintsTheRecordAsJson() {
  TestHives hives;
  writeScheme(hives, {.name = "Lab", .roots = 2, .links = 3});
  ToolRun run = scheme({"show", "Lab", "--json"});
  QCOMPARE(run.status, 0);
  QJsonParseError error;
  const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
  QCOMPARE(error.error, QJsonParseError::NoError);
  QCOMPARE(o["SchemeName"].toString(), QString("Lab"));
  QCOMPARE(o["Loaded"].toBool(), true);
  QCOMPARE(o["FolderDisplay"]["Roots"].toArray().size(), 2);
  QCOMPARE(o["FolderDisplay"]["Roots"][1]["RootPath"].toString(), QString("/tmp/r2"));
  QCOMPARE(o["Sitebook"]["SitebookCount"].toInt(), 3);
  QCOMPARE(o["Sitebook"]["Sitemarks"][2]["URL"].toString(), QString("http://example.test/3"));
  QCOMPARE(o["ToolBars"].toArray().size(), 3);

  hives.removeTree(Root::LocalMachine, schemeKey("Lab") + "\\TabSelection");
  run = scheme({"show", "Lab", "--json"});
  QCOMPARE(run.status, 1);
  const QJsonObject failed = QJsonDocument::fromJson(run.out.toUtf8()).object();
  QCOMPARE(failed["Loaded"].toBool(), false);
  QCOMPARE(failed["FailedSections"].toArray(), QJsonArray({"TabSelection"}));
}

void TestDeskhavenScheme::badArgumentsAreRefused() {
  TestHives hives;
  for (const QStringList& args : {QStringList{},
                                  {"frobnicate"},
                                  {"select", "--mode"},
                                  {"select", "--mode", "9x"},
                                  {"show", "Lab"},
                                  {"select", "--colour", "red"}}) {
    const ToolRun run = scheme(args);
    QCOMPARE(run.status, 64);
    QVERIFY(run.err.contains("Usage:"));
  }
  QCOMPARE(scheme({"--help"}).status, 0);
}

QTEST_GUILESS_MAIN(TestDeskhavenScheme)
#include "tst_deskhavenscheme.moc"
