// The Links page's rules that need no browser: captions, the side panel's slots and
// scrolling, the tool bar's places, Back and Forward, and the addresses links name.
#include "common/captionrule.h"
#include "common/slotpanel.h"
#include "sitebook/linkaddress.h"
#include "sitebook/navigationrecord.h"
#include "sitebook/toolbarlayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace dh::sitebook;
using dh::SlotCaption;

class TestSitebookLogic : public QObject {
  Q_OBJECT

private slots:
  void captionsShortenLongWordsAndLongNames_data();
  void captionsShortenLongWordsAndLongNames();
  void panelShowsWhatFitsAndScrollsOneLinkAtATime();
  void checkMarkFollowsTheOpenedLink();
  void resizeKeepsTheScrollAndTheTick();
  void toolBarClosesUpToTheLeft();
  void backAndForwardFollowTheirSteps();
  void addressesWithoutSchemeAreWebAddresses();
};

void TestSitebookLogic::captionsShortenLongWordsAndLongNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::newRow("long first word") << "Encyclopaedia Britannica"
                                   << "Encyclo... Britannica";
  QTest::newRow("one long word loses its last letter") << "Internationalisation"
                                                       << "Interna...";
  QTest::newRow("last word of 11 counts 10") << "Big Mathematics"
                                             << "Big Mathematics";
  QTest::newRow("three shortened words cut the name")
      << "Supercalifragilistic Extraordinarily Marvellous Unbelievably Wonderful Sites"
      << "Superca... Extraor... Marvellous ";
  QTest::newRow("two shortened words keep it whole")
      << "Supercalifragilistic Extraordinarily Marvellous Sites and More Things"
      << "Superca... Extraor... Marvellous Sites and More Things";
  QTest::newRow("ampersand stays visible") << "Tom & Jerry"
                                           << "Tom && Jerry";
  QTest::newRow("ampersands count as doubled") << "R&D&Q&Z&Y&X"
                                               << "R&&D&&Q...";
  QTest::newRow("letters, not bytes")
      << QString::fromUtf8("Öffentlichkeitsarbeit Süd") << QString::fromUtf8("Öffentl... Süd");
  QTest::newRow("an emoji is one character where a word is cut")
      << QString::fromUtf8("abcdef🦁ghijk Zoo") << QString::fromUtf8("abcdef🦁... Zoo");
  QTest::newRow("joined emoji are one character")
      << QString::fromUtf8("Family👨‍👩‍👧Fun")
      << QString::fromUtf8("Family👨‍👩‍👧Fun");
  QTest::newRow("the name is cut after 33 characters")
      << QString::fromUtf8("🦁 Supercalifragilistic Extraordinarily Unbelievably Wonderful")
      << QString::fromUtf8("🦁 Superca... Extraor... Unbelie..");
  QTest::newRow("empty") << ""
                         << "";
  QTest::newRow("blanks only") << "   "
                               << "   ";
}

void TestSitebookLogic::captionsShortenLongWordsAndLongNames() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QCOMPARE(SlotCaption(name), caption);
}

void TestSitebookLogic::panelShowsWhatFitsAndScrollsOneLinkAtATime() {
  dh::SlotPanel panel;
  // 3 links with room for 5: four slots out of use, no scrolling.
  panel.Layout(3, 5 * 80 + 79, 80);
  QCOMPARE(panel.Visible(), 3);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    QCOMPARE(panel.SlotInUse(slot), slot < 3);
  QVERIFY(!panel.ScrollUpInUse() && !panel.ScrollDownInUse());
  QVERIFY(!panel.ScrollDown());

  // More room than seven slots, and no room or no links at all.
  panel.Layout(20, 2000, 80);
  QCOMPARE(panel.Visible(), 7);
  panel.Layout(0, 2000, 80);
  QCOMPARE(panel.Visible(), 0);
  QVERIFY(!panel.ScrollDownInUse() && !panel.SlotInUse(0));
  panel.Layout(4, 50, 80);
  QCOMPARE(panel.Visible(), 0);
  panel.Layout(4, 500, 0);
  QCOMPARE(panel.Visible(), 0);
}

void TestSitebookLogic::checkMarkFollowsTheOpenedLink() {
  dh::SlotPanel panel;
  panel.Layout(9, 400, 80);
  // Nothing opened yet: scrolling marks no slot.
  QVERIFY(panel.ScrollDown() && panel.ScrollUp());
  QCOMPARE(panel.CheckedSlot(), std::nullopt);
  QCOMPARE(panel.Open(1), 1);
  QCOMPARE(panel.CheckedSlot(), 1);
  QVERIFY(panel.ScrollDown());
  QCOMPARE(panel.CheckedSlot(), 0);
  QVERIFY(panel.ScrollDown());
  QCOMPARE(panel.CheckedSlot(), std::nullopt);
  QVERIFY(panel.ScrollUp());
  QCOMPARE(panel.CheckedSlot(), 0);
  // A new layout scrolls back but still marks the link; a new scheme forgets it.
  panel.Layout(9, 400, 80);
  QCOMPARE(panel.CheckedSlot(), 1);
  panel.ForgetOpened();
  QCOMPARE(panel.CheckedSlot(), std::nullopt);
}

void TestSitebookLogic::resizeKeepsTheScrollAndTheTick() {
  dh::SlotPanel panel;
  panel.Layout(9, 400, 80); // five slots
  for (int press = 0; press < 3; ++press)
    QVERIFY(panel.ScrollDown());
  QCOMPARE(panel.Open(1), 4);
  panel.Fit(320, 80); // four slots, the same links at the top
  QCOMPARE(panel.Offset(), 3);
  QCOMPARE(panel.CheckedSlot(), 1);
  // Back took the tick away, and a resize does not bring it back. Room for seven leaves
  // no empty slot below the last link; the links above stay in reach.
  panel.ClearTick();
  panel.Fit(2000, 80);
  QCOMPARE(panel.Offset(), 2);
  QCOMPARE(panel.CheckedSlot(), std::nullopt);
  QVERIFY(panel.ScrollUpInUse() && !panel.ScrollDownInUse());
}

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
    record.Reset(start);
    record.completed(start, false, false);
    record.linkOpened();
    record.completed(one, true, false);
    record.Back();
    record.completed(start, true, true);
  };
  // Back again: the count reaches 2 and Back on the start page switches off when
  // pressed; Forward to a count of 1 switches Forward off.
  startLinkAndBack();
  record.Back();
  QVERIFY(!record.backEnabled() && record.forwardEnabled());
  QCOMPARE(record.backSteps(), 2);
  record.Forward();
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
  record.Reset(start);
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
