#include "common/scheme.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testhives.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace dh;
using reg::Root;

namespace {
const char* const kPlotbench = "Software\\Halvane\\Stowlet\\Plotbench";
const char* const kClassSchemes = "Software\\Halvane\\Deskhaven\\Class Schemes";
const char* const kGroupSchemes = "Software\\Halvane\\Deskhaven\\User Group Schemes";
const char* const kUserSchemes = "Software\\Halvane\\Deskhaven\\User Schemes";
const char* const kDeskhavenUser = "Software\\Halvane\\Deskhaven";
} // namespace

class TestSelection : public QObject {
  Q_OBJECT

private slots:
  void pupilsGetTheirClassScheme_data();
  void pupilsGetTheirClassScheme();
  void modesWithConfigToUse();
  void userSchemeEntryIsRecordedFromConfigToUse();
  void pupilReadsUserSchemesWithoutWriting();
  void modeZeroAndNothingLoadingGiveError();
};

void TestSelection::pupilsGetTheirClassScheme_data() {
  QTest::addColumn<int>("mode");
  QTest::addColumn<QString>("accountType");
  QTest::addColumn<bool>("classSchemeComplete");
  QTest::addColumn<QString>("expected");
  QTest::newRow("pupil, any case, mode 3") << 3 << "pUPILS" << true << "Year7";
  QTest::newRow("singular pupil") << 1 << "Pupil" << true << "Year7";
  QTest::newRow("class scheme broken: account type next") << 3 << "pupils" << false << "PupilGroup";
  QTest::newRow("teacher: no class lookup") << 2 << "Teacher" << true << "Staff";
  QTest::newRow("mode 6: account per user, class from the user hive")
      << 6 << "Pupils" << true << "Year8";
  QTest::newRow("unknown mode: no sources") << 42 << "Pupils" << true << "Everyone";
}

void TestSelection::pupilsGetTheirClassScheme() {
  QFETCH(int, mode);
  QFETCH(QString, accountType);
  QFETCH(bool, classSchemeComplete);
  QFETCH(QString, expected);
  TestHives hives;
  for (const char* name : {"Year7", "Year8", "PupilGroup", "Staff", "Everyone", "Default User"})
    writeScheme(hives, {.name = name});
  if (!classSchemeComplete)
    hives.removeTree(Root::LocalMachine, schemeKey("Year7") + "\\Defaults");
  hives.setText(Root::LocalMachine, kPlotbench, "Current Mode", accountType.toStdString());
  hives.setText(Root::LocalMachine, kPlotbench, "Current Class", "7B");
  hives.setText(Root::LocalMachine, "Software\\Halvane\\Classwick\\Accounts\\jsmith",
                "Account Type", accountType.toStdString());
  hives.setText(Root::CurrentUser, "Software\\Halvane\\Fieldbench", "Current Class", "8C");
  hives.setText(Root::LocalMachine, kClassSchemes, "7b", "Year7");
  hives.setText(Root::LocalMachine, kClassSchemes, "8C", "Year8");
  hives.setText(Root::LocalMachine, kGroupSchemes, "Pupils", "PupilGroup");
  hives.setText(Root::LocalMachine, kGroupSchemes, "Pupil", "PupilGroup");
  hives.setText(Root::LocalMachine, kGroupSchemes, "Teacher", "Staff");
  hives.setText(Root::LocalMachine, kGroupSchemes, "", "Everyone");

  DhvScheme s;
  const std::string result = s.SelectScheme(mode, "jsmith");
  QCOMPARE(QString::fromStdString(result), expected);
  QCOMPARE(QString::fromStdString(s.SchemeName), expected);
}

void TestSelection::modesWithConfigToUse() {
  for (int mode : {8, 9, 99}) {
    TestHives hives;
    writeScheme(hives, {.name = "Lab"});
    writeScheme(hives, {.name = "Default User"});
    hives.setText(Root::LocalMachine, kGroupSchemes, "", "Missing");
    hives.setText(Root::CurrentUser, kDeskhavenUser, "ConfigToUse", "Lab");
    DhvScheme s;
    QCOMPARE(s.SelectScheme(mode, "ann"), std::string("Lab"));
    // No map was consulted, so nothing was recorded for the user.
    QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, "ann"), std::string());

    // ConfigToUse naming a missing scheme falls through to the default entry of User
    // Group Schemes (no account type in these modes), then "Default User".
    hives.setText(Root::CurrentUser, kDeskhavenUser, "ConfigToUse", "Nowhere");
    SelectionTrace trace;
    QCOMPARE(s.SelectScheme(mode, "ann", &trace), std::string("Default User"));
    QCOMPARE(trace.steps.size(), std::size_t(3));
    QCOMPARE(trace.steps[0].name, std::string("Nowhere"));
    QCOMPARE(trace.steps[1].name, std::string("Missing"));
    QCOMPARE(trace.steps[2].name, std::string("Default User"));
  }
}

void TestSelection::userSchemeEntryIsRecordedFromConfigToUse() {
  TestHives hives;
  writeScheme(hives, {.name = "Lab"});
  writeScheme(hives, {.name = "Own"});
  hives.createKey(Root::LocalMachine, kUserSchemes);
  hives.setText(Root::CurrentUser, kDeskhavenUser, "ConfigToUse", "Lab");
  DhvScheme s;
  QCOMPARE(s.SelectScheme(2, "ann"), std::string("Lab"));
  QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, "ann"), std::string("Lab"));

  // An entry of its own wins over ConfigToUse; an empty one counts as none.
  hives.setText(Root::LocalMachine, kUserSchemes, "bob", "Own");
  QCOMPARE(s.SelectScheme(2, "bob"), std::string("Own"));
  hives.setText(Root::LocalMachine, kUserSchemes, "cat", "");
  QCOMPARE(s.SelectScheme(2, "cat"), std::string("Lab"));
  QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, "cat"), std::string("Lab"));

  // Without a user name nothing is looked up or written.
  QCOMPARE(LookupUserScheme(""), std::string());
  s.SelectScheme(2, "");
  QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, ""), std::string());

  // An entry that does not fit reads as empty, and ConfigToUse is not consulted.
  writeScheme(hives, {.name = "Default User"});
  const std::string longName(300, 'L');
  hives.setText(Root::LocalMachine, kUserSchemes, "dan", longName);
  QCOMPARE(LookupUserScheme("dan"), std::string());
  QCOMPARE(s.SelectScheme(2, "dan"), std::string("Default User"));
  QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, "dan", 400), longName);
  // Map values are read whatever their type.
  hives.setText(Root::LocalMachine, kGroupSchemes, "Teacher", "Lab", reg::Type::ExpandSz);
  QCOMPARE(LookupUserGroupScheme("teacher"), std::string("Lab"));
}

void TestSelection::pupilReadsUserSchemesWithoutWriting() {
  TestHives hives;
  writeScheme(hives, {.name = "Own"});
  writeScheme(hives, {.name = "Lab"});
  writeScheme(hives, {.name = "Default User"});
  hives.setText(Root::LocalMachine, kUserSchemes, "nobody", "Own");
  hives.setText(Root::CurrentUser, kDeskhavenUser, "ConfigToUse", "Lab");
  hives.shareReadOnly();
  // A pupil cannot write the machine hive, but still gets an entry, or ConfigToUse when
  // there is none; the write-back of the latter is refused without a word.
  const int result = runUnprivileged([] {
    DhvScheme s;
    return s.SelectScheme(2, "nobody") == "Own" && s.SelectScheme(2, "ann") == "Lab" ? 0 : 1;
  });
  QCOMPARE(result, 0);
  QCOMPARE(reg::readText(Root::LocalMachine, kUserSchemes, "ann"), std::string());
}

void TestSelection::modeZeroAndNothingLoadingGiveError() {
  TestHives hives;
  DhvScheme s;
  QCOMPARE(s.SelectScheme(99, "ann"), std::string("Error"));
  writeScheme(hives, {.name = "Default User", .roots = 4});
  QCOMPARE(s.SelectScheme(0, "ann"), std::string("Error"));
  QCOMPARE(s.SchemeName, std::string("Default User"));
  QCOMPARE(s.FolderDisplay.Roots.size(), std::size_t(4));
  QCOMPARE(s.SelectScheme(99, "ann"), std::string("Default User"));
}

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
