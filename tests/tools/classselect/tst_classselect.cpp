#include "platform/ui/messagerecorder.h"
#include "tests/support/testhives.h"
#include "tools/classselect/classselectdialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

using namespace dh::classselect;
using dh::reg::Root;

namespace {

constexpr const char* kFieldbench = "Software\\Halvane\\Fieldbench";
constexpr const char* kPlotbench = "Software\\Halvane\\Stowlet\\Plotbench";
const ClassPlace kUserPlace{Root::CurrentUser, kFieldbench};
const ClassPlace kMachinePlace{Root::LocalMachine, kPlotbench};

void configureClasses(TestHives& hives) {
  hives.setText(Root::LocalMachine, kClassSchemesKey, "", "Default User");
  hives.setText(Root::LocalMachine, kClassSchemesKey, "7B", "Year 7");
  hives.setText(Root::LocalMachine, kClassSchemesKey, "8C", "Year 8");
  hives.setText(Root::LocalMachine, kClassSchemesKey, "10A", "Year 10");
}

QStringList listed(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i)
    texts << list->item(i)->text();
  return texts;
}

QPushButton* okButton(const QDialog& dialog) {
  return dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok);
}

} // namespace

class TestClassSelect : public QObject {
  Q_OBJECT

private slots:
  void classesAndWhereTheyAreKept();
  void windowSelectsTheRecordedClassAndRecordsTheChoice();
  void pupilWithoutMachineWriteIsToldAndNothingChanges();
};

void TestClassSelect::classesAndWhereTheyAreKept() {
  TestHives hives;
  dh::ui::MessageRecorder recorder;
  // No classes, or a mode without classes: the pupil is told, and the selector ends.
  QVERIFY(configuredClasses().empty());
  QCOMPARE(runClassSelector(6), 1);
  configureClasses(hives);
  QCOMPARE(runClassSelector(0), 1);
  QCOMPARE(recorder.events(), (QStringList{"beep", "Change Class", "beep", "Change Class"}));
  QVERIFY(recorder.boxes().at(0).text.startsWith("No classes have been set up"));
  QVERIFY(recorder.boxes().at(1).text.startsWith("Classes are not used"));
  // The unnamed default value is no class.
  QCOMPARE(configuredClasses(), (std::vector<std::string>{"10A", "7B", "8C"}));
  QCOMPARE(findClass(configuredClasses(), "8c"), std::optional<std::string>("8C"));
  QVERIFY(!findClass(configuredClasses(), "9Z"));

  // The place of each mode is the shell's (its tests go through every mode).
  QCOMPARE(classPlace(7)->root, Root::CurrentUser);
  QVERIFY(!classPlace(8));

  // Recording creates the key and replaces the class.
  QCOMPARE(currentClass(kUserPlace), std::string());
  QCOMPARE(recordClass(kUserPlace, "7B"), dh::reg::kSuccess);
  QCOMPARE(recordClass(kUserPlace, "8C"), dh::reg::kSuccess);
  QCOMPARE(currentClass(kUserPlace), std::string("8C"));
  QCOMPARE(currentClass(kMachinePlace), std::string());
}

void TestClassSelect::windowSelectsTheRecordedClassAndRecordsTheChoice() {
  TestHives hives;
  configureClasses(hives);
  hives.setText(Root::CurrentUser, kFieldbench, "Current Class", "8c");

  ClassSelectDialog dialog(kUserPlace, configuredClasses());
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* list = dialog.findChild<QListWidget*>("classList");
  QCOMPARE(listed(list), (QStringList{"10A", "7B", "8C"}));
  QCOMPARE(list->currentItem()->text(), QString("8C"));

  list->setCurrentRow(1);
  QTest::mouseClick(okButton(dialog), Qt::LeftButton);
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QCOMPARE(currentClass(kUserPlace), std::string("7B"));

  // A recorded class that is no longer configured selects nothing, and OK waits for a
  // choice; a double click chooses at once.
  hives.setText(Root::CurrentUser, kFieldbench, "Current Class", "6Z");
  ClassSelectDialog again(kUserPlace, configuredClasses());
  again.show();
  QVERIFY(QTest::qWaitForWindowExposed(&again));
  list = again.findChild<QListWidget*>("classList");
  QVERIFY(list->selectedItems().isEmpty());
  QVERIFY(!okButton(again)->isEnabled());
  const QRect first = list->visualItemRect(list->item(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first.center());
  QCOMPARE(again.result(), int(QDialog::Accepted));
  QCOMPARE(currentClass(kUserPlace), std::string("10A"));
}

void TestClassSelect::pupilWithoutMachineWriteIsToldAndNothingChanges() {
  TestHives hives;
  configureClasses(hives);
  hives.setText(Root::LocalMachine, kPlotbench, "Current Class", "7B");
  hives.setText(Root::CurrentUser, kFieldbench, "Current Class", "7B");
  hives.shareReadOnly(true);

  const int result = runUnprivileged([] {
    dh::ui::MessageRecorder recorder;
    ClassSelectDialog dialog(kMachinePlace, configuredClasses());
    dialog.findChild<QListWidget*>("classList")->setCurrentRow(2);
    dialog.accept();
    if (dialog.result() == QDialog::Accepted || dialog.isHidden() == false)
      return 1;
    if (recorder.events() != QStringList{"beep", "Change Class"} ||
        recorder.boxes().at(0).icon != dh::ui::Icon::Error)
      return 2;
    // The user hive, where modes 6 and 7 keep the class, takes the same choice.
    return recordClass(kUserPlace, "8C") == dh::reg::kSuccess ? 0 : 3;
  });
  QCOMPARE(result, 0);
  QCOMPARE(currentClass(kMachinePlace), std::string("7B"));
  QCOMPARE(currentClass(kUserPlace), std::string("8C"));
}

QTEST_MAIN(TestClassSelect)
#include "tst_classselect.moc"
