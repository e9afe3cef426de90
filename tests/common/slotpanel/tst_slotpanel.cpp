// The side panel the Links page and My Files share: button captions, which slots show,
// scrolling, and the check mark of the opened link.
#include "common/captionrule.h"
#include "common/slotpanel.h"

#include <QTest>

using namespace dh;

class TestSlotPanel : public QObject {
  Q_OBJECT

private slots:
  void captionsShortenLongWordsAndLongNames_data();
  void captionsShortenLongWordsAndLongNames();
  void panelShowsWhatFitsAndScrollsOneLinkAtATime();
  void checkMarkFollowsTheOpenedLink();
  void resizeKeepsTheScrollAndTheTick();
};

void TestSlotPanel::captionsShortenLongWordsAndLongNames_data() {
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

void TestSlotPanel::captionsShortenLongWordsAndLongNames() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QCOMPARE(slotCaption(name), caption);
}

void TestSlotPanel::panelShowsWhatFitsAndScrollsOneLinkAtATime() {
  SlotPanel panel;
  // 3 links with room for 5: four slots out of use, no scrolling.
  panel.layout(3, 5 * 80 + 79, 80);
  QCOMPARE(panel.visible(), 3);
  for (int slot = 0; slot < SlotPanel::kSlots; ++slot)
    QCOMPARE(panel.slotInUse(slot), slot < 3);
  QVERIFY(!panel.scrollUpInUse() && !panel.scrollDownInUse());
  QVERIFY(!panel.scrollDown());

  // More room than seven slots, and no room or no links at all.
  panel.layout(20, 2000, 80);
  QCOMPARE(panel.visible(), 7);
  panel.layout(0, 2000, 80);
  QCOMPARE(panel.visible(), 0);
  QVERIFY(!panel.scrollDownInUse() && !panel.slotInUse(0));
  panel.layout(4, 50, 80);
  QCOMPARE(panel.visible(), 0);
  panel.layout(4, 500, 0);
  QCOMPARE(panel.visible(), 0);
}

void TestSlotPanel::checkMarkFollowsTheOpenedLink() {
  SlotPanel panel;
  panel.layout(9, 400, 80);
  // Nothing opened yet: scrolling marks no slot.
  QVERIFY(panel.scrollDown() && panel.scrollUp());
  QCOMPARE(panel.checkedSlot(), std::nullopt);
  QCOMPARE(panel.open(1), 1);
  QCOMPARE(panel.checkedSlot(), 1);
  QVERIFY(panel.scrollDown());
  QCOMPARE(panel.checkedSlot(), 0);
  QVERIFY(panel.scrollDown());
  QCOMPARE(panel.checkedSlot(), std::nullopt);
  QVERIFY(panel.scrollUp());
  QCOMPARE(panel.checkedSlot(), 0);
  // A new layout scrolls back but still marks the link; a new scheme forgets it.
  panel.layout(9, 400, 80);
  QCOMPARE(panel.checkedSlot(), 1);
  panel.forgetOpened();
  QCOMPARE(panel.checkedSlot(), std::nullopt);
}

void TestSlotPanel::resizeKeepsTheScrollAndTheTick() {
  SlotPanel panel;
  panel.layout(9, 400, 80); // five slots
  for (int press = 0; press < 3; ++press)
    QVERIFY(panel.scrollDown());
  QCOMPARE(panel.open(1), 4);
  panel.fit(320, 80); // four slots, the same links at the top
  QCOMPARE(panel.offset(), 3);
  QCOMPARE(panel.checkedSlot(), 1);
  // Back took the tick away, and a resize does not bring it back. Room for seven leaves
  // no empty slot below the last link; the links above stay in reach.
  panel.clearTick();
  panel.fit(2000, 80);
  QCOMPARE(panel.offset(), 2);
  QCOMPARE(panel.checkedSlot(), std::nullopt);
  QVERIFY(panel.scrollUpInUse() && !panel.scrollDownInUse());
}

QTEST_GUILESS_MAIN(TestSlotPanel)
#include "tst_slotpanel.moc"
