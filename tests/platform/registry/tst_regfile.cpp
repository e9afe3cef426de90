#include "platform/registry/regfile.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QTest>

using namespace dh::reg;

namespace {

std::string utf16File(const QString& text) {
  QByteArray bytes("\xFF\xFE");
  bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  return bytes.toStdString();
}

Value valueAt(Root root, std::string_view path, std::string_view name) {
  Key key;
  Value value;
  if (Key::open(root, path, Access::Read, key) != kSuccess || key.query(name, value) != kSuccess)
    value.type = Type(0xdead);
  return value;
}

std::vector<std::uint8_t> bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// Every key, value, type and byte below a key, as one text to compare.
QString dump(const Key& key) {
  QString out = QString::fromStdString(key.path()) + "\n";
  std::vector<Value> values;
  std::vector<std::string> subkeys;
  key.values(values);
  key.subkeys(subkeys);
  for (const Value& v : values) {
    out += QString("  %1 %2 %3\n")
               .arg(QString::fromStdString(v.name))
               .arg(static_cast<std::uint32_t>(v.type))
               .arg(QByteArray(reinterpret_cast<const char*>(v.data.data()),
                               static_cast<qsizetype>(v.data.size()))
                        .toHex());
  }
  for (const std::string& name : subkeys) {
    Key sub;
    key.openSubkey(name, Access::Read, sub);
    out += dump(sub);
  }
  return out;
}

QString dump(Root root, std::string_view path) {
  Key key;
  return Key::open(root, path, Access::Read, key) == kSuccess ? dump(key) : QString("missing");
}

} // namespace

class TestRegFile : public QObject {
  Q_OBJECT

private slots:
  void readsEverySyntaxElement();
  void readsEveryEncodingAndBothHeaders();
  void readsWhatWindowsReads_data();
  void readsWhatWindowsReads();
  void brokenFilesNameTheirLineAndChangeNothing_data();
  void brokenFilesNameTheirLineAndChangeNothing();
  void refusedHiveLeavesTheOtherHiveUnchanged();
  void exportThenImportReproducesTheHive();
};

void TestRegFile::readsEverySyntaxElement() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\Old", "keep", "x");
  hives.setText(Root::LocalMachine, "Software\\Old\\Deep", "gone", "x");
  hives.setText(Root::CurrentUser, "Software\\T", "Stale", "x");
  hives.setText(Root::CurrentUser, "Software\\T", "", "old default");
  const QByteArray text = R"(Windows Registry Editor Version 5.00
; a comment

  [HKEY_CURRENT_USER\Software\T]
@="C:\\Path \"quoted\""
"Spaced" = "a;b"   ; a comment after the value
"Count"=dword:0000002A
"Bytes"=hex:00,01,\
   FE,\
  ff
"NoBytes"=hex:
"Stale"=-
"Missing"=-
@=-

[-HKLM\Software\Old\Deep]
[HKCR\.dhv]
@="Deskhaven.Scheme"
)";
  QByteArray crlf = "\xEF\xBB\xBF" + QByteArray(text).replace("\n", "\r\n");
  RegFile file = RegFile::parse(crlf.toStdString());
  QVERIFY2(file.ok(), file.errorMessage().c_str());
  QCOMPARE(file.apply().status, kSuccess);

  const char* t = "Software\\T";
  QCOMPARE(readText(Root::CurrentUser, t, ""), std::string());
  QCOMPARE(readText(Root::CurrentUser, t, "Spaced"), std::string("a;b"));
  QCOMPARE(readDword(Root::CurrentUser, t, "Count").value_or(0), 42u);
  QCOMPARE(valueAt(Root::CurrentUser, t, "Bytes").data,
           (std::vector<std::uint8_t>{0, 1, 0xfe, 0xff}));
  QCOMPARE(valueAt(Root::CurrentUser, t, "NoBytes").type, Type::Binary);
  QCOMPARE(valueAt(Root::CurrentUser, t, "Stale").type, Type(0xdead));
  QCOMPARE(readText(Root::LocalMachine, "Software\\Old", "keep"), std::string("x"));
  QCOMPARE(dump(Root::LocalMachine, "Software\\Old\\Deep"), QString("missing"));
  QCOMPARE(readText(Root::LocalMachine, "Software\\Classes\\.dhv", ""),
           std::string("Deskhaven.Scheme"));
  // Escapes in names and texts: the export round trip below.
}

void TestRegFile::readsEveryEncodingAndBothHeaders() {
  TestHives hives;
  const QString text = QString::fromUtf8("Windows Registry Editor Version 5.00\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\Enc]\r\n\"Name\"=\"Grüße\"\r\n");
  for (const std::string& bytes :
       {utf16File(text), text.toStdString(), "\xEF\xBB\xBF" + text.toStdString()}) {
    RegFile file = RegFile::parse(bytes);
    QVERIFY2(file.ok(), file.errorMessage().c_str());
    QCOMPARE(file.sections()[0].values[0].data, textData("Grüße"));
  }

  // Older files are single-byte text: UTF-8 where it is valid, Latin-1 otherwise, and
  // their hex(2) bytes are that text too, not UTF-16.
  RegFile file = RegFile::parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\Old]\n\"A\"=\"caf\xE9\"\n"
                                "\"P\"=hex(2):25,50,25,00\n\"L\"=hex(2):e9,00\n");
  QVERIFY2(file.ok(), file.errorMessage().c_str());
  const auto& values = file.sections()[0].values;
  QCOMPARE(values[0].data, textData("café"));
  QCOMPARE(values[1].data, textData("%P%"));
  QCOMPARE(values[2].data, textData("é"));
}

// Hand-edited files from Windows machines: each row sets "a" in [HKLM\Software\T].
void TestRegFile::readsWhatWindowsReads_data() {
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<int>("type");
  QTest::addColumn<QByteArray>("data");
  const QByteArray one("\x01\0\0\0", 4), two("\x02\0\0\0", 4), bytes("\x01\x02");
  const int dword = 4, binary = 3;
  QTest::newRow("# comments") << QByteArray("# one\n  # two\n\"a\"=dword:1\n") << dword << one;
  QTest::newRow("comment ending in a backslash")
      << QByteArray("# note \\\n\"a\"=dword:2\n") << dword << two;
  QTest::newRow("comments after a backslash and the last byte")
      << QByteArray("\"a\"=hex:01,\\  ; note\n  02  ; last\n") << binary << bytes;
  QTest::newRow("blank lines inside")
      << QByteArray("\"a\"=hex:01,\\\n\n \t\n  02\n") << binary << bytes;
  QTest::newRow("trailing comma") << QByteArray("\"a\"=hex:01,02,\n") << binary << bytes;
  QTest::newRow("backslash at the end of the file")
      << QByteArray("\"a\"=hex:01,02,\\") << binary << bytes;
  QTest::newRow("CR line ends") << QByteArray("\"a\"=hex:01,\\\r  02\r\"b\"=dword:1\r") << binary
                                << bytes;
  QTest::newRow("hex(2) without its NUL")
      << QByteArray("\"a\"=hex(2):41,00,42,00\n") << 2 << QByteArray("AB", 3);
  QTest::newRow("hex(7) without its NULs")
      << QByteArray("\"a\"=hex(7):41,00,00,00,42,00\n") << 7 << QByteArray("A\0B\0", 5);
}

void TestRegFile::readsWhatWindowsReads() {
  QFETCH(QByteArray, body);
  QFETCH(int, type);
  QFETCH(QByteArray, data);
  QByteArray text = "Windows Registry Editor Version 5.00\n\n[HKLM\\Software\\T]\n" + body;
  if (body.contains('\r'))
    text.replace('\n', '\r');
  const RegFile file = RegFile::parse(text.toStdString());
  QVERIFY2(file.ok(), file.errorMessage().c_str());
  const RegFile::ValueChange& a = file.sections()[0].values[0];
  QCOMPARE(a.name, std::string("a"));
  QCOMPARE(static_cast<int>(a.type), type);
  QCOMPARE(a.data, bytes(std::string_view(data.constData(), data.size())));
}

void TestRegFile::brokenFilesNameTheirLineAndChangeNothing_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<int>("line");
  QTest::addColumn<QString>("reason");
  const QByteArray head = "Windows Registry Editor Version 5.00\n\n[HKLM\\Software\\T]\n";
  QTest::newRow("header") << QByteArray("Windows Registry Editor 4\n[HKLM\\X]\n") << 1
                          << "first line";
  QTest::newRow("root") << head + "\n[HKEY_USERS\\S-1]\n" << 5 << "unknown root key \"HKEY_USERS\"";
  QTest::newRow("before key") << QByteArray("REGEDIT4\n\"a\"=\"b\"\n") << 2 << "before any [key]";
  QTest::newRow("bad hex") << head + "\"a\"=hex:00,0g\n" << 4 << "bad hex byte \"0g\"";
  QTest::newRow("bad hex, continued") << head + "\"a\"=hex:00,\\\n  01,\\\n  100\n"
                                      << 6 << "bad hex byte \"100\"";
  QTest::newRow("stray comma") << head + "\"a\"=hex:00,,01\n" << 4 << "stray comma";
  QTest::newRow("dword range") << head + "\"a\"=dword:100000000\n" << 4 << "1 to 8 hex digits";
  QTest::newRow("dword of nine digits") << head + "\"a\"=dword:000000001\n" << 4 << "1 to 8";
  // Only hex data goes on over several lines.
  QTest::newRow("name continued") << head + "\"a\\\nb\"=dword:1\n" << 4 << "unterminated";
  QTest::newRow("text continued") << head + "\"a\"=\"b\\\nc\"\n" << 4 << "unterminated";
  QTest::newRow("dword continued") << head + "\"a\"=dword:1\\\n2\n" << 4 << "1 to 8";
  QTest::newRow("unterminated") << head + "\n\"a\"=\"b\n" << 5 << "unterminated";
  QTest::newRow("type word") << head + "\"a\"=qword:1\n" << 4 << "unknown value type \"qword\"";
  QTest::newRow("no data") << head + "\"a\"=\n" << 4 << "after =";
  QTest::newRow("trailing text") << head + "\"a\"=\"b\" c\n" << 4 << "unexpected text";
  QTest::newRow("escape") << head + "\"a\"=\"C:\\Windows\"\n" << 4 << "unknown escape \\W";
  QTest::newRow("bracket") << head + "[HKLM\\X\n" << 4 << "missing ]";
  QTest::newRow("odd utf-16") << head + "\"a\"=hex(2):41,00,00\n" << 4 << "odd number of bytes";
  QTest::newRow("value after delete") << head + "[-HKLM\\X]\n\"a\"=\"b\"\n" << 5 << "[-key]";
  QTest::newRow("delete root") << head + "[-HKEY_CURRENT_USER]\n" << 4 << "whole root key";
  QTest::newRow("stray line") << head + "a=b\n" << 4 << "expected a [key] line";
}

void TestRegFile::brokenFilesNameTheirLineAndChangeNothing() {
  QFETCH(QByteArray, text);
  QFETCH(int, line);
  QFETCH(QString, reason);
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\T", "a", "before");
  // The broken line comes after valid changes, which must not land either.
  text.replace("[HKLM\\Software\\T]\n", "[HKLM\\Software\\T]\n\"a\"=\"after\"\n\"n\"=dword:1\n");
  line += text.count("\"n\"=dword:1") * 2;
  RegFile file = RegFile::parse(text.toStdString());
  QVERIFY(!file.ok());
  QCOMPARE(file.errorLine(), line);
  QVERIFY2(QString::fromStdString(file.errorReason()).contains(reason), file.errorReason().c_str());
  QCOMPARE(file.apply().status, kInvalidParameter);
  QCOMPARE(readText(Root::LocalMachine, "Software\\T", "a"), std::string("before"));
  QVERIFY(!readDword(Root::LocalMachine, "Software\\T", "n"));
}

void TestRegFile::refusedHiveLeavesTheOtherHiveUnchanged() {
  TestHives hives;
  hives.setText(Root::LocalMachine, "Software\\T", "m", "machine");
  hives.setText(Root::CurrentUser, "Software\\T", "u", "user");
  hives.shareReadOnly(true);
  const QByteArray machineBefore = fileBytes(hives.machineHive());

  int result = runUnprivileged([] {
    RegFile file = RegFile::parse("Windows Registry Editor Version 5.00\n"
                                  "[HKCU\\Software\\T]\n\"u\"=\"changed\"\n\"new\"=dword:1\n"
                                  "[HKLM\\Software\\T]\n\"m\"=\"changed\"\n");
    RegFile::ApplyResult applied = file.apply();
    if (applied.status != kAccessDenied || applied.root != Root::LocalMachine)
      return 1;
    if (readText(Root::CurrentUser, "Software\\T", "u") != "user" ||
        readDword(Root::CurrentUser, "Software\\T", "new"))
      return 2;
    // The user hive alone can be written.
    file = RegFile::parse("REGEDIT4\n[HKCU\\Software\\T]\n\"u\"=\"changed\"\n");
    return file.apply().status == kSuccess ? 0 : 3;
  });
  QCOMPARE(result, 0);
  QCOMPARE(fileBytes(hives.machineHive()), machineBefore);
  QCOMPARE(readText(Root::CurrentUser, "Software\\T", "u"), std::string("changed"));
}

void TestRegFile::exportThenImportReproducesTheHive() {
  QString machine, user;
  std::string machineText, userText;
  {
    TestHives hives;
    Key key;
    QCOMPARE(Key::create(Root::LocalMachine, "Software\\Rt", key), kSuccess);
    auto set = [&key](std::string_view name, Type type, std::vector<std::uint8_t> data) {
      QCOMPARE(key.set(name, type, data), kSuccess);
    };
    set("", Type::Sz, textData("default"));
    set("Quoted \"name\" \\", Type::Sz, textData("C:\\a \"b\" ; Grüße 😀"));
    set("EmptyText", Type::Sz, textData(""));
    set("NoTerminator", Type::Sz, {});
    set("InnerZero", Type::Sz, bytes(std::string_view("a\0b\0", 4)));
    set("TwoLines", Type::Sz, textData("one\r\ntwo"));
    set("Latin1", Type::Sz, {'c', 'a', 'f', 0xE9, 0});
    set("Expand", Type::ExpandSz, textData("%HOME%\\Grüße 😀"));
    set("ExpandBytes", Type::ExpandSz, {0x80, 0xFF, 0xED, 0xA0, 0x80, 'x', 0xF0, 0x9F, 0});
    set("Multi", Type::MultiSz, bytes(std::string_view("a\0bé\0\0", 7)));
    set("Dword", Type::Dword, dwordData(0xdeadbeef));
    set("ShortDword", Type::Dword, {1, 2, 3});
    std::vector<std::uint8_t> blob(100);
    for (std::size_t i = 0; i < blob.size(); ++i)
      blob[i] = static_cast<std::uint8_t>(i * 37);
    set("Blob", Type::Binary, blob);
    set("None", Type::None, {});
    set("Odd", Type(0x12345), {7});
    hives.createKey(Root::LocalMachine, "Software\\Rt\\Empty\\Deeper");
    hives.setText(Root::LocalMachine, "Software\\Rt\\[Brackets]", "x", "y");
    hives.setDword(Root::CurrentUser, "Software\\U", "n", 5);
    machine = dump(Root::LocalMachine, "Software\\Rt");
    user = dump(Root::CurrentUser, "Software");
    QCOMPARE(exportRegText(Root::LocalMachine, "software\\rt", machineText), kSuccess);
    QCOMPARE(exportRegText(Root::CurrentUser, "Software", userText), kSuccess);

    std::string problem, ignored;
    hives.setText(Root::CurrentUser, "Software\\Bad", "line\nbreak", "x");
    QCOMPARE(exportRegText(Root::CurrentUser, "Software", ignored, &problem), kInvalidParameter);
    QCOMPARE(problem, std::string("HKEY_CURRENT_USER\\Software\\Bad"));
    QCOMPARE(exportRegText(Root::CurrentUser, "Nowhere", ignored), kFileNotFound);
  }
  const QString text = QString::fromStdString(machineText);
  QVERIFY(
      text.startsWith("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Rt]"
                      "\n@=\"default\"\n"));
  QVERIFY(text.contains("\n\"Quoted \\\"name\\\" \\\\\"=\"C:\\\\a \\\"b\\\" ; Grüße 😀\"\n"));

  TestHives fresh;
  for (const std::string& exported : {machineText, userText}) {
    RegFile file = RegFile::parse(exported);
    QVERIFY2(file.ok(), file.errorMessage().c_str());
    QCOMPARE(file.apply().status, kSuccess);
  }
  QCOMPARE(dump(Root::LocalMachine, "Software\\Rt"), machine);
  QCOMPARE(dump(Root::CurrentUser, "Software"), user);
}

QTEST_GUILESS_MAIN(TestRegFile)
#include "tst_regfile.moc"
