// The Programs control on a temporary set folder: page commands, launching and its
// failures, help, a profile update and a change of class.
#include "programs/programsctrl.h"
#include "programs/programsform.h"

#include "common/pagecommand.h"
#include "common/sessionobjects.h"
#include "common/settings.h"
#include "common/ui/buttonst.h"
#include "platform/sync/namedevent.h"
#include "platform/ui/controlid.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace dh::programs;
using dh::PageCommand;
using dh::reg::Root;

class TestProgramsCtrl : public QObject {
  Q_OBJECT

private slots:
  void init();
  void commandsWalkTheSets();
  void launchingAndItsProblems();
  void followsProfileUpdatesAndClassChanges();
  void unreadableOverrideFolderShowsNoPrograms();

private:
  void addSet(const QString& name, const QByteArray& exec = "true");
  bool command(PageCommand id) { return dh::sendPageCommand(ctrl_.get(), id); }
  QString caption() const {
    return dh::ui::findById<QLabel>(ctrl_.get(), CProgramsForm::kCaptionLine)->text();
  }
  dh::CButtonST* button(int id) const { return dh::ui::findById<dh::CButtonST>(ctrl_.get(), id); }

  std::unique_ptr<TestHives> hives_;
  std::unique_ptr<TestRuntime> runtime_;
  QString sets_;
  std::unique_ptr<CProgramsCtrl> ctrl_;
};

void TestProgramsCtrl::addSet(const QString& name, const QByteArray& exec) {
  QVERIFY(QDir().mkpath(sets_ + u'/' + name));
  QVERIFY(writeFile(sets_ + u'/' + name + "/Go.desktop",
                    "[Desktop Entry]\nType=Application\nName=Go\nExec=" + exec + "\n"));
}

void TestProgramsCtrl::init() {
  ctrl_.reset();
  runtime_ = std::make_unique<TestRuntime>();
  hives_ = std::make_unique<TestHives>();
  writeScheme(*hives_, {.name = "Default User"});
  sets_ = hives_->dir() + "/sets";
  for (int set = 0; set < 9; ++set)
    addSet(QStringLiteral("Set %1").arg(set));
  hives_->setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kProgramSetLocation,
                  sets_.toStdString());
  ctrl_ = std::make_unique<CProgramsCtrl>();
  ctrl_->resize(1024, 700);
  ctrl_->show();
}

void TestProgramsCtrl::commandsWalkTheSets() {
  const CProgramsForm* form = ctrl_->form();
  QCOMPARE(form->panel().visibleButtons(), 7);
  QCOMPARE(caption(), QStringLiteral("Current Program Set: Set 0"));
  QVERIFY(button(CProgramsForm::kSetButtonIds[0])->isChecked());
  QVERIFY(!command(PageCommand::Back)); // nothing viewed before
  QVERIFY(command(dh::sideButtonCommand(2)));
  QCOMPARE(caption(), QStringLiteral("Current Program Set: Set 2"));
  QVERIFY(command(PageCommand::ScrollDown) && command(PageCommand::ScrollDown));
  QVERIFY(!command(PageCommand::ScrollDown));
  QCOMPARE(button(CProgramsForm::kSetButtonIds[0])->text(), QStringLiteral("Set 2"));
  QVERIFY(button(CProgramsForm::kSetButtonIds[0])->isChecked());
  QVERIFY(command(dh::sideButtonCommand(6)));
  QCOMPARE(caption(), QStringLiteral("Current Program Set: Set 8"));
  QVERIFY(command(PageCommand::Back));
  QCOMPARE(caption(), QStringLiteral("Current Program Set: Set 2"));
  QVERIFY(command(PageCommand::Forward));
  QCOMPARE(caption(), QStringLiteral("Current Program Set: Set 8"));
  QVERIFY(!command(PageCommand::Copy)); // not the Programs page's
  QVERIFY(command(PageCommand::Tab));
  QTRY_VERIFY(form->list()->hasFocus());

  dh::ui::MessageRecorder boxes;
  QVERIFY(command(PageCommand::Help)); // no help file named
  QCOMPARE(boxes.events(), (QStringList{"beep", "Help Problem"}));
  QVERIFY(boxes.boxes()[0].text.startsWith("There has been a problem locating the help file.\n\n"));
}

void TestProgramsCtrl::launchingAndItsProblems() {
  dh::ui::MessageRecorder boxes;
  QListWidget* list = ctrl_->form()->list();
  QVERIFY(command(PageCommand::Open)); // nothing selected: nothing happens
  QVERIFY(boxes.events().isEmpty());

  const QString marker = hives_->dir() + "/started";
  addSet("Set 0", "touch " + marker.toUtf8());
  list->setCurrentRow(0);
  QTest::keyClick(list, Qt::Key_Return);
  QTRY_VERIFY(QFile::exists(marker));
  QVERIFY(boxes.events().isEmpty());

  // The entry went bad after the list was made: "File Problem" and nothing runs.
  addSet("Set 0", "touch \"" + marker.toUtf8() + "2");
  QVERIFY(command(PageCommand::Open));
  QCOMPARE(boxes.events(), (QStringList{"beep", "File Problem"}));
  QVERIFY(QFile::remove(sets_ + "/Set 0/Go.desktop"));
  QVERIFY(command(PageCommand::Open));
  QCOMPARE(boxes.boxes().size(), 2);
  QVERIFY(!QFile::exists(marker + "2"));
}

void TestProgramsCtrl::followsProfileUpdatesAndClassChanges() {
  addSet("New & Shiny");
  QVERIFY(dh::sync::setEvent(dh::kProfileUpdatedEvent));
  QTRY_COMPARE(ctrl_->form()->programSetList().sets().size(), size_t(10));
  QCOMPARE(button(CProgramsForm::kSetButtonIds[0])->text(), QStringLiteral("New && Shiny"));

  QVERIFY(command(dh::sideButtonCommand(3)) && command(PageCommand::ScrollDown));
  QVERIFY(command(PageCommand::ClassChanged));
  QCOMPARE(ctrl_->form()->panel().firstVisibleSet(), 0);
  QCOMPARE(ctrl_->form()->panel().history(), std::vector<int>{0});
  QCOMPARE(caption(), QStringLiteral("Current Program Set: New & Shiny"));
}

void TestProgramsCtrl::unreadableOverrideFolderShowsNoPrograms() {
  // Not mounted yet: the page is empty and says why; the system's menu never stands in.
  const QString gone = hives_->dir() + "/not-mounted";
  hives_->setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kProgramSetLocation,
                  gone.toStdString());
  ctrl_ = std::make_unique<CProgramsCtrl>();
  QVERIFY(ctrl_->form()->programSetList().sets().empty());
  QCOMPARE(ctrl_->form()->list()->count(), 0);
  QVERIFY(caption().contains("cannot be read from " + gone));
}

QTEST_MAIN(TestProgramsCtrl)
#include "tst_programsctrl.moc"
