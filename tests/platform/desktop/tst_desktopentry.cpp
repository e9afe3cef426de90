// Desktop entries and their Exec lines, as the Programs page, Open and Print read them.
#include "platform/desktop/desktopentry.h"
#include "platform/desktop/execline.h"

#include <QTest>

using namespace dh::desktop;

class TestDesktopEntry : public QObject {
  Q_OBJECT

private slots:
  void execLines_data();
  void execLines();
  void desktopEntriesActionsAndTypeLists();
};

void TestDesktopEntry::execLines_data() {
  QTest::addColumn<QString>("exec");
  QTest::addColumn<QString>("file");
  QTest::addColumn<QStringList>("expected"); // empty: malformed
  const QStringList bad;
  const QString none;
  const QString file = QStringLiteral("/r/my notes.txt");
  QTest::newRow("plain") << "prog -a b" << none << QStringList{"prog", "-a", "b"};
  QTest::newRow("quotes and escapes") << R"(prog "two words" "a \"q\" \$ \\ \`")" << none
                                      << QStringList{"prog", "two words", R"(a "q" $ \ `)"};
  QTest::newRow("reserved inside quotes")
      << R"(sh -c "a; b | c")" << none << QStringList{"sh", "-c", "a; b | c"};
  QTest::newRow("files dropped without files")
      << "prog %f %F %u %U --x=%u" << none << QStringList{"prog", "--x="};
  QTest::newRow("one file for each file code")
      << "prog %F --x=%u" << file << QStringList{"prog", file, "--x=" + file};
  QTest::newRow("file added when none is named")
      << "lp -s" << file << QStringList{"lp", "-s", file};
  QTest::newRow("name, location, percent")
      << "prog %c %k 50%%" << none << QStringList{"prog", "Paint", "/a/p.desktop", "50%"};
  QTest::newRow("icon") << "prog %i" << none << QStringList{"prog", "--icon", "paint"};
  QTest::newRow("unbalanced quote") << R"(prog "open)" << file << bad;
  QTest::newRow("unknown field code") << "prog %x" << none << bad;
  QTest::newRow("trailing percent") << "prog %" << none << bad;
  QTest::newRow("shell: semicolon") << "prog; rm -rf ~" << file << bad;
  QTest::newRow("shell: pipe") << "prog | tee" << none << bad;
  QTest::newRow("shell: variable") << "prog $HOME" << none << bad;
  QTest::newRow("shell: single quotes") << "prog 'a b'" << none << bad;
  QTest::newRow("bad escape in quotes") << R"(prog "\n")" << none << bad;
  QTest::newRow("no program") << "  %f " << file << bad;
}

void TestDesktopEntry::execLines() {
  QFETCH(QString, exec);
  QFETCH(QString, file);
  QFETCH(QStringList, expected);
  const std::optional<QStringList> line =
      expandExec(exec, {QStringLiteral("Paint"), QStringLiteral("paint"),
                        QStringLiteral("/a/p.desktop"), file});
  QCOMPARE(line.value_or(QStringList()), expected);
}

void TestDesktopEntry::desktopEntriesActionsAndTypeLists() {
  DesktopEntry::setLocale(QStringLiteral("de_AT.UTF-8"));
  const auto entry =
      DesktopEntry::parse("# comment\n[Desktop Entry]\nName=Paint\nName[de]=Malen\n"
                          "Comment=a\\sb\\\\c\nCategories=X\\;Y;Z;\n[Desktop Action n]\n"
                          "Name=Other\n");
  QVERIFY(entry);
  QCOMPARE(entry->localized(QStringLiteral("Name")), QStringLiteral("Malen"));
  QCOMPARE(entry->value(QStringLiteral("Comment")), QStringLiteral("a b\\c"));
  QCOMPARE(entry->list(QStringLiteral("Categories")), (QStringList{"X;Y", "Z"}));
  DesktopEntry::setLocale(QString());
  QCOMPARE(entry->localized(QStringLiteral("Name")), QStringLiteral("Paint"));
  QVERIFY(!DesktopEntry::parse("[Desktop Entry]\nName=\xff\xfe\n"));        // not UTF-8
  QVERIFY(!DesktopEntry::parse("[Other]\nName=x\n[Desktop Entry]\n"));      // wrong first group
  QVERIFY(!DesktopEntry::parse("[Desktop Entry]\nthis is no key line\n"));  // malformed
  QVERIFY(!DesktopEntry::parse("[Desktop Entry]\ntext/plain=a.desktop\n")); // no key name
  QVERIFY(!DesktopEntry::parse(""));

  // An action counts only when the entry offers it; the main group's keys stay its own.
  const auto writer = DesktopEntry::parse("[Desktop Entry]\nExec=writer %F\nActions=print;\n"
                                          "[Desktop Action print]\nExec=writer --print %f\n"
                                          "[Desktop Action wipe]\nExec=rm %f\n"
                                          "[Desktop Entry]\nExec=second\n");
  QVERIFY(writer);
  QCOMPARE(writer->value(QStringLiteral("Exec")), QStringLiteral("writer %F"));
  QCOMPARE(writer->value(QStringLiteral("Exec"), writer->actionGroup(QStringLiteral("print"))),
           QStringLiteral("writer --print %f"));
  QVERIFY(writer->actionGroup(QStringLiteral("wipe")).isEmpty());
  QVERIFY(writer->actionGroup(QStringLiteral("Print")).isEmpty());
  // The system's default applications: any group first, type names as keys.
  const QByteArray list = "[Added Associations]\ntext/plain=a.desktop\n"
                          "[Default Applications]\ntext/plain=writer.desktop;b.desktop;\n"
                          "application/vnd.oasis.opendocument.text=writer.desktop\n";
  QVERIFY(!DesktopEntry::parse(list));
  const auto types = DesktopEntry::parse(list, DesktopEntry::Form::TypeList);
  QVERIFY(types);
  QCOMPARE(types->list(QStringLiteral("text/plain"), QStringLiteral("Default Applications")),
           (QStringList{"writer.desktop", "b.desktop"}));
}

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
