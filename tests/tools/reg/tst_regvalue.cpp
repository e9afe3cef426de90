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
  const struct {
    const char *row, *type, *text, *bytes;
  } rows[] = {
      {"items", "REG_MULTI_SZ", "a\\0b", "6100620000"},
      {"dword empty", "REG_DWORD", "", "00000000"},
      {"dword decimal", "REG_DWORD", "42", "2a000000"},
      {"dword hex", "reg_dword", "0xFFFFFFFF", "ffffffff"},
      {"dword too large", "REG_DWORD", "4294967296", "refused"},
      {"dword bare 0x", "REG_DWORD", "0x", "refused"},
      {"dword not a number", "REG_DWORD", "12a", "refused"},
      {"binary", "REG_BINARY", "00fF", "00ff"},
      {"binary empty", "REG_BINARY", "", ""},
      {"binary odd", "REG_BINARY", "abc", "refused"},
      {"binary not hex", "REG_QWORD", "0g", "refused"},
  };
  QTest::newRow("text") << "REG_SZ"
                        << "Grüße" << QByteArray("Grüße", 8).toHex();
  for (const auto& r : rows)
    QTest::newRow(r.row) << r.type << r.text << QByteArray(r.bytes);
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
