#include "common/scheme.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testhives.h"

#include <QTest>

#include <chrono>

using namespace dh;
using reg::Root;

class TestScheme : public QObject {
  Q_OBJECT

private slots:
  void completeSchemeLoadsEveryMember();
  void countDecidesTheListLength();
  void valuesOfTheWrongTypeAreNotRead();
  void laterLoadKeepsNothingOfAFailedOne();
  void defaultsWriteBackOnlyIntoAnExistingKey();
};

void TestScheme::completeSchemeLoadsEveryMember() {
  TestHives hives;
  writeScheme(hives, {.name = "Year7", .roots = 3, .links = 2, .firstTab = 2});
  const std::string base = schemeKey("Year7");
  hives.setText(Root::LocalMachine, base + "\\FolderDisplay\\Root 2", "RootPath", "%HOME%/work",
                reg::Type::ExpandSz);
  hives.setDword(Root::LocalMachine, base + "\\ToolBars\\Page 2", "Paste", 0);
  hives.setDword(Root::LocalMachine, base + "\\TabSelection", "Page3", 0);

  DhvScheme s;
  std::vector<SectionFailure> failures;
  QVERIFY(s.Load("year7", &failures));
  QVERIFY(failures.empty());
  QCOMPARE(s.SchemeName, std::string("year7"));
  const RootFolder& r = s.FolderDisplay.Roots[1];
  QCOMPARE(r.RootDisplayName, std::string("Root 2"));
  QCOMPARE(r.RootPath, std::string("%HOME%/work")); // taken as stored
  QCOMPARE(s.FolderDisplay.Roots[2].FolderLevels, -1);
  QCOMPARE(s.Sitebook.Sitemarks[1].URL, std::string("http://example.test/2"));
  QCOMPARE(s.TabSelection.Page3, 0u);
  QCOMPARE(s.ToolBars[1].Paste, 0u);
  QCOMPARE(s.Defaults.DefaultFirstTab, 2);
}

void TestScheme::countDecidesTheListLength() {
  TestHives hives;
  writeScheme(hives, {.name = "S", .roots = 2, .links = 1});
  const std::string base = schemeKey("S");
  DhvScheme s;

  // More roots counted than keys present: the missing one stands empty.
  hives.setDword(Root::LocalMachine, base + "\\FolderDisplay", "RootFolderCount", 3);
  QVERIFY(s.Load("S"));
  QCOMPARE(s.FolderDisplay.Roots.size(), std::size_t(3));
  QVERIFY(s.FolderDisplay.Roots[2].RootPath.empty());
  QCOMPARE(s.FolderDisplay.Roots[2].FolderLevels, 0);

  // No count: an empty list, and the section still loads.
  hives.removeValue(Root::LocalMachine, base + "\\FolderDisplay", "RootFolderCount");
  QVERIFY(s.Load("S"));
  QVERIFY(s.FolderDisplay.Roots.empty());

  // A negative count fails the section, and only that section.
  hives.setDword(Root::LocalMachine, base + "\\Sitebook", "SitebookCount", 0xffffffff);
  std::vector<SectionFailure> failures;
  QVERIFY(!s.Load("S", &failures));
  QCOMPARE(failures.size(), std::size_t(1));
  QCOMPARE(failures[0].section, std::string("Sitebook"));
  QCOMPARE(s.Defaults.DefaultView, std::string("details"));

  // A missing section key fails without reading more of it.
  hives.removeTree(Root::LocalMachine, base + "\\FolderDisplay");
  QVERIFY(!s.Load("S", &failures));
  QCOMPARE(failures[0].section, std::string("FolderDisplay"));
  QVERIFY(failures[0].reason.find("missing") != std::string::npos);

  // A huge count fails at once, without reading a list that long.
  writeScheme(hives, {.name = "Big"});
  hives.setDword(Root::LocalMachine, schemeKey("Big") + "\\FolderDisplay", "RootFolderCount",
                 2000000000);
  QVERIFY(!s.Load("Big", &failures));
  QCOMPARE(failures.size(), std::size_t(1));
  QVERIFY(failures[0].reason.find("2000000000") != std::string::npos);
  QVERIFY(s.FolderDisplay.Roots.empty());
  // The limit itself still loads.
  hives.setDword(Root::LocalMachine, schemeKey("Big") + "\\FolderDisplay", "RootFolderCount",
                 DhvScheme::kMaxListEntries);
  QVERIFY(s.Load("Big"));
  QCOMPARE(s.FolderDisplay.Roots.size(), std::size_t(DhvScheme::kMaxListEntries));
}

void TestScheme::valuesOfTheWrongTypeAreNotRead() {
  TestHives hives;
  writeScheme(hives, {.name = "T"});
  const std::string base = schemeKey("T");
  DhvScheme s;
  std::vector<SectionFailure> failures;

  hives.setText(Root::LocalMachine, base + "\\TabSelection", "Page2", "1");
  QVERIFY(!s.Load("T", &failures));
  QCOMPARE(failures.size(), std::size_t(1));
  QCOMPARE(failures[0].section, std::string("TabSelection"));
  QVERIFY(failures[0].reason.find("Page2") != std::string::npos);
  hives.setDword(Root::LocalMachine, base + "\\TabSelection", "Page2", 1);

  hives.removeValue(Root::LocalMachine, base + "\\ToolBars\\Page 2", "Icon");
  QVERIFY(!s.Load("T", &failures));
  QCOMPARE(failures[0].section, std::string("ToolBars"));
  QVERIFY(failures[0].reason.find("Page 2") != std::string::npos);
  QCOMPARE(s.Defaults.DefaultView, std::string("details")); // later sections still read
  hives.setDword(Root::LocalMachine, base + "\\ToolBars\\Page 2", "Icon", 1);

  // A text stored as binary reads as missing; inside a root that costs nothing.
  reg::Key key;
  QCOMPARE(reg::Key::open(Root::LocalMachine, base + "\\FolderDisplay\\Root 1",
                          reg::Access::AllAccess, key),
           reg::kSuccess);
  QCOMPARE(key.set("RootPath", reg::Type::Binary, reg::textData("/bin/path")), reg::kSuccess);
  QCOMPARE(key.set("FolderLevels", reg::Type::Binary, reg::dwordData(4)), reg::kSuccess);
  QVERIFY(s.Load("T"));
  QVERIFY(s.FolderDisplay.Roots[0].RootPath.empty());
  QCOMPARE(s.FolderDisplay.Roots[0].FolderLevels, 0);

  // In Defaults every value counts.
  hives.setText(Root::LocalMachine, base + "\\Defaults", "Silent", "0");
  QVERIFY(!s.Load("T", &failures));
  QCOMPARE(failures[0].section, std::string("Defaults"));
}

void TestScheme::laterLoadKeepsNothingOfAFailedOne() {
  TestHives hives;
  writeScheme(hives, {.name = "A", .roots = 5, .links = 4});
  writeScheme(hives, {.name = "B", .roots = 1, .links = 1, .rootFolder = "/b"});
  hives.removeTree(Root::LocalMachine, schemeKey("A") + "\\Defaults");
  DhvScheme s;
  QVERIFY(!s.Load("A"));
  QCOMPARE(s.FolderDisplay.Roots.size(), std::size_t(5));
  QVERIFY(s.Load("B"));
  QCOMPARE(s.FolderDisplay.Roots.size(), std::size_t(1));
  QCOMPARE(s.Sitebook.Sitemarks.size(), std::size_t(1));
  QCOMPARE(s.FolderDisplay.Roots[0].RootPath, std::string("/b/r1"));
  QVERIFY(!s.Load(""));
}

void TestScheme::defaultsWriteBackOnlyIntoAnExistingKey() {
  TestHives hives;
  writeScheme(hives, {.name = "W"});
  DhvScheme s;
  QVERIFY(s.Load("W"));
  // Written back through the shell's Options menu, refused writes included (its tests);
  // here: a scheme that is gone is not made again by a write.
  s.SchemeName = "Gone";
  QVERIFY(!s.writeSilent(true));
  reg::Key key;
  QCOMPARE(reg::Key::open(Root::LocalMachine, schemeKey("Gone"), reg::Access::Read, key),
           reg::kFileNotFound);
}

QTEST_GUILESS_MAIN(TestScheme)
#include "tst_scheme.moc"
