#include "tools/reg/regvalue.h"

#include <QTest>

using namespace dh::regtool;
using dh::reg::Type;

class TestRegValue : public QObject {
  Q_OBJECT

private slots:
  void dataOfEachType_data();
  void dataOfEachType();
  void typesAndShownData();
};

void TestRegValue::dataOfEachType_data() {
  QTest::addColumn<QString>("type");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QByteArray>("bytes"); // hex; "refused" when the text does not fit
  QTest::newRow("text") << "REG_SZ"
                        << "Grüße" << QByteArray("Grüße", 8).toHex();
  QTest::newRow("items") << "REG_MULTI_SZ"
                         << "a\\0b" << QByteArray("6100620000");
  QTest::newRow("dword empty") << "REG_DWORD"
                               << "" << QByteArray("00000000");
  QTest::newRow("dword decimal") << "REG_DWORD"
                                 << "42" << QByteArray("2a000000");
  QTest::newRow("dword hex") << "reg_dword"
                             << "0xFFFFFFFF" << QByteArray("ffffffff");
  QTest::newRow("dword too large") << "REG_DWORD"
                                   << "4294967296" << QByteArray("refused");
  QTest::newRow("dword bare 0x") << "REG_DWORD"
                                 << "0x" << QByteArray("refused");
  QTest::newRow("dword not a number") << "REG_DWORD"
                                      << "12a" << QByteArray("refused");
  QTest::newRow("binary") << "REG_BINARY"
                          << "00fF" << QByteArray("00ff");
  QTest::newRow("binary empty") << "REG_BINARY"
                                << "" << QByteArray("");
  QTest::newRow("binary odd") << "REG_BINARY"
                              << "abc" << QByteArray("refused");
  QTest::newRow("binary not hex") << "REG_QWORD"
                                  << "0g" << QByteArray("refused");
}

void TestRegValue::dataOfEachType() {
  QFETCH(QString, type);
  QFETCH(QString, text);
  QFETCH(QByteArray, bytes);
  const auto parsed = parseTypeName(type.toStdString());
  QVERIFY(parsed);
  std::string why;
  const QByteArray utf8 = text.toUtf8();
  const auto data = parseData(*parsed, std::string_view(utf8.constData(), utf8.size()), why);
  if (bytes == "refused") {
    QVERIFY(!data);
    QVERIFY(!why.empty());
    return;
  }
  QVERIFY(data);
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(data->data()), data->size()).toHex(), bytes);
  // What query shows reads back as the same data.
  if (*parsed != Type::Dword)
    QCOMPARE(QString::fromStdString(shownData({"", *parsed, *data})).toLower(), text.toLower());
}

void TestRegValue::typesAndShownData() {
  QCOMPARE(parseTypeName("REG_TEXT"), std::nullopt);
  QCOMPARE(typeName(Type::ExpandSz), std::string("REG_EXPAND_SZ"));
  QCOMPARE(typeName(Type(0x1f)), std::string("0x1f"));
  QCOMPARE(shownData({"", Type::Dword, {0x1a, 0, 0, 0}}), std::string("0x1a"));
  QCOMPARE(shownData({"", Type::Dword, {1, 2, 3}}), std::string("010203")); // not a dword's size
  QCOMPARE(shownData({"", Type::MultiSz, {'a', 0, 'b', 0, 0}}), std::string("a\\0b"));
}

QTEST_MAIN(TestRegValue)
#include "tst_regvalue.moc"
