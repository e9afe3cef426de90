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
  void checkMarkFollowsTheOpenedLinkThroughScrollsAndResizes();
};

void TestSlotPanel::captionsShortenLongWordsAndLongNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  const struct {
    const char *row, *name, *caption;
  } rows[] = {
      {"long first word", "Encyclopaedia Britannica", "Encyclo... Britannica"},
      {"one long word loses its last letter", "Internationalisation", "Interna..."},
      {"last word of 11 counts 10", "Big Mathematics", "Big Mathematics"},
      {"three shortened words cut the name",
       "Supercalifragilistic Extraordinarily Marvellous Unbelievably Wonderful Sites",
       "Superca... Extraor... Marvellous "},
      {"two shortened words keep it whole",
       "Supercalifragilistic Extraordinarily Marvellous Sites and More Things",
       "Superca... Extraor... Marvellous Sites and More Things"},
      {"ampersand stays visible", "Tom & Jerry", "Tom && Jerry"},
      {"ampersands count as doubled", "R&D&Q&Z&Y&X", "R&&D&&Q..."},
      {"letters, not bytes", "Öffentlichkeitsarbeit Süd", "Öffentl... Süd"},
      {"an emoji is one character where a word is cut", "abcdef🦁ghijk Zoo", "abcdef🦁... Zoo"},
      {"joined emoji are one character", "Family👨‍👩‍👧Fun",
       "Family👨‍👩‍👧Fun"},
      {"the name is cut after 33 characters",
       "🦁 Supercalifragilistic Extraordinarily Unbelievably Wonderful",
       "🦁 Superca... Extraor... Unbelie.."},
      {"empty", "", ""},
      {"blanks only", "   ", "   "},
  };
  for (const auto& r : rows)
    QTest::newRow(r.row) << QString::fromUtf8(r.name) << QString::fromUtf8(r.caption);
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

void TestSlotPanel::checkMarkFollowsTheOpenedLinkThroughScrollsAndResizes() {
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

  // A resize keeps the scroll and the tick.
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
