// The Links page's rules that need no browser: the tool bar's places, Back and Forward,
// and the addresses links name.
#include "sitebook/linkaddress.h"
#include "sitebook/navigationrecord.h"
#include "sitebook/toolbarlayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace dh::sitebook;

class TestSitebookLogic : public QObject {
  Q_OBJECT

private slots:
  void toolBarClosesUpToTheLeft();
  void backAndForwardFollowTheirSteps();
  void addressesWithoutSchemeAreWebAddresses();
};

void TestSitebookLogic::toolBarClosesUpToTheLeft() {
  struct Case {
    std::uint32_t copy, print, side;
    ToolBarPlaces places;
  };
  const Case cases[] = {
      {7, 1, 1, {0, 1, 2, 3, 4, 5, 6, 7}}, // any nonzero flag shows
      {0, 1, 1, {-1, -1, 0, 1, 2, 3, 4, 5}}, {1, 0, 1, {0, 1, -1, -1, 2, 3, 4, 5}},
      {1, 1, 0, {0, 1, 2, 3, -1, -1, 4, 5}}, {0, 0, 0, {-1, -1, -1, -1, -1, -1, 0, 1}},
  };
  for (const Case& c : cases) {
    dh::ToolBarPage flags;
    flags.Copy = c.copy;
    flags.Print = c.print;
    flags.Side = c.side;
    flags.Help = 0; // Help is always there
    QCOMPARE(layOutToolBar(flags), c.places);
  }
}

void TestSitebookLogic::backAndForwardFollowTheirSteps() {
  const QString start = QStringLiteral("file:///run/Links.htm");
  const QString one = QStringLiteral("http://127.0.0.1/page/1");
  NavigationRecord record;
  // Start page, link 1, Back, Forward runs in the control's test with a real browser.
  // Here: start page, link 1, Back, with an earlier page behind the start page.
  auto startLinkAndBack = [&] {
    record.reset(start);
    record.completed(start, false, false);
    record.linkOpened();
    record.completed(one, true, false);
    record.back();
    record.completed(start, true, true);
  };
  // Back again: the count reaches 2 and Back on the start page switches off when
  // pressed; Forward to a count of 1 switches Forward off.
  startLinkAndBack();
  record.back();
  QVERIFY(!record.backEnabled() && record.forwardEnabled());
  QCOMPARE(record.backSteps(), 2);
  record.forward();
  QCOMPARE(record.backSteps(), 1);
  QVERIFY(record.backEnabled() && !record.forwardEnabled());

  // A page seen before keeps Forward; an address never seen switches it off, whatever
  // the case of the addresses.
  startLinkAndBack();
  record.completed(one.toUpper(), true, true);
  QVERIFY(record.forwardEnabled());
  record.completed(QStringLiteral("http://127.0.0.1/page/2"), true, true);
  QVERIFY(!record.forwardEnabled());
  QCOMPARE(record.visited().size(), 5);
  QCOMPARE(record.current(), QStringLiteral("http://127.0.0.1/page/2"));

  // A fresh start keeps the page on show but forgets the rest.
  record.reset(start);
  QVERIFY(record.visited().isEmpty());
  QCOMPARE(record.backSteps(), 0);
  QVERIFY(!record.backEnabled() && !record.forwardEnabled());
  QCOMPARE(record.current(), QStringLiteral("http://127.0.0.1/page/2"));
}

void TestSitebookLogic::addressesWithoutSchemeAreWebAddresses() {
  QTemporaryDir run;
  QVERIFY(QDir(run.path()).mkpath(QStringLiteral("links")));
  QFile page(run.filePath(QStringLiteral("links/maths.html")));
  QVERIFY(page.open(QIODevice::WriteOnly));
  const QString local = QUrl::fromLocalFile(page.fileName()).toString();
  const QList<std::pair<QString, QString>> cases = {
      {QStringLiteral("www.example.org"), QStringLiteral("https://www.example.org")},
      {QStringLiteral(" example.org/maths?year=7 "),
       QStringLiteral("https://example.org/maths?year=7")},
      {QStringLiteral("localhost:8080/page"), QStringLiteral("https://localhost:8080/page")},
      {QStringLiteral("http://example.org/"), QStringLiteral("http://example.org/")},
      {QStringLiteral("about:blank"), QStringLiteral("about:blank")},
      {local, local},
      {page.fileName(), local},
      {QStringLiteral("links/maths.html"), local},
      {QString(), QString()},
  };
  for (const auto& [address, url] : cases)
    QCOMPARE(linkAddress(address, run.path()).toString(), url);
}

QTEST_GUILESS_MAIN(TestSitebookLogic)
#include "tst_sitebooklogic.moc"
