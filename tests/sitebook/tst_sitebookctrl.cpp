// The Links control with a real browser: one control for the whole run (the browser is
// slow to start), switched between schemes with the class-change command, pages served
// from files and from a loopback web server.
#include "common/pagecommand.h"
#include "sitebook/dhvview.h"
#include "sitebook/pupilpage.h"
#include "sitebook/sitebookctrl.h"
#include "sitebook/sitebookform.h"
#include "tests/sitebook/pageserver.h"

#include "common/ui/buttonst.h"
#include "platform/ui/messagerecorder.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>

using dh::CButtonST;
using namespace dh::sitebook;

using dh::reg::Root;

namespace {

using dh::PageCommand;
constexpr PageCommand kBack = PageCommand::Back, kForward = PageCommand::Forward,
                      kCopy = PageCommand::Copy, kPrint = PageCommand::Print,
                      kHelp = PageCommand::Help, kSide = PageCommand::SidePanel,
                      kTab = PageCommand::Tab, kSlot1 = PageCommand::SideButton1,
                      kScrollUp = PageCommand::ScrollUp, kScrollDown = PageCommand::ScrollDown,
                      kClassChanged = PageCommand::ClassChanged;
const char* const kScheme = "Default User";

} // namespace

class TestSitebookCtrl : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void startsOnTheStartPageWithItsOwnProfile();
  void slotsAndScrollingWithNineLinks();
  void classChangeShowsTheNewSchemesLinks();
  void toolBarLaysOutFromTheScheme();
  void backAndForwardThroughTheirSequences();
  void copyPrintAndHelp();
  void webPagesStayInsideTheView();
  void addressWithoutSchemeFallsBackToHttp();

private:
  // Writes the scheme with links served by the test server and has the control take it
  // as after a change of class.
  void useScheme(int links, const std::function<void(const std::string& base)>& change = {});
  QString link(int n) const { return server_->url(QStringLiteral("/page/%1").arg(n)).toString(); }
  bool command(PageCommand id) { return dh::sendPageCommand(ctrl_.get(), id); }
  CButtonST* button(int id) const {
    return ctrl_->findChild<CButtonST*>(QStringLiteral("id%1").arg(id));
  }
  CButtonST* slot(int n) const { return button(CSitebookForm::kSlotIds[n - 1]); }
  // Runs action and waits for the browser to complete a navigation.
  void navigate(const std::function<void()>& action);
  QString runScript(const QString& script);

  std::unique_ptr<TestHives> hives_;
  std::unique_ptr<QTemporaryDir> home_;
  std::unique_ptr<PageServer> server_;
  std::unique_ptr<dh::ui::MessageRecorder> recorder_;
  std::unique_ptr<CSitebookCtrl> ctrl_;
  CDhvView* view_ = nullptr;
  QString runDir_;
};

void TestSitebookCtrl::initTestCase() {
  hives_ = std::make_unique<TestHives>();
  home_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_DATA_HOME", home_->filePath(QStringLiteral("data")).toLocal8Bit());
  // Printing without a printer writes into the documents folder of this home.
  qputenv("HOME", home_->path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_->filePath(QStringLiteral("config")).toLocal8Bit());
  server_ = std::make_unique<PageServer>();
  QVERIFY(server_->isListening());
  recorder_ = std::make_unique<dh::ui::MessageRecorder>();
  runDir_ = home_->filePath(QStringLiteral("run"));
  QVERIFY(QDir().mkpath(runDir_));
  QVERIFY(writeFile(runDir_ + QStringLiteral("/Links.htm"),
                    "<html><head><title>Start Page</title></head><body>Links</body></html>"));
  QVERIFY(writeFile(runDir_ + QStringLiteral("/secret.html"),
                    "<html><head><title>Secret</title></head></html>"));
  QVERIFY(QDir::setCurrent(runDir_));
  useScheme(9);

  ctrl_ = std::make_unique<CSitebookCtrl>();
  ctrl_->resize(760, 560); // room for five slots
  ctrl_->show();
  view_ = ctrl_->form()->view();
  QTRY_COMPARE_WITH_TIMEOUT(view_->currentPageLine(),
                            QStringLiteral("Current Web Page: Start Page"), 30000);
}

void TestSitebookCtrl::cleanupTestCase() {
  ctrl_.reset();
}

void TestSitebookCtrl::useScheme(int links,
                                 const std::function<void(const std::string& base)>& change) {
  hives_->removeTree(Root::LocalMachine, schemeKey(kScheme));
  writeScheme(*hives_, {.name = kScheme, .links = links});
  const std::string base = schemeKey(kScheme);
  for (int n = 1; n <= links; ++n)
    hives_->setText(Root::LocalMachine, base + "\\Sitebook\\Sitemark " + std::to_string(n), "URL",
                    link(n).toStdString());
  if (change)
    change(base);
  if (ctrl_)
    command(kClassChanged);
}

void TestSitebookCtrl::navigate(const std::function<void()>& action) {
  QSignalSpy done(view_, &QWebEngineView::loadFinished);
  action();
  QVERIFY(done.wait(15000));
}

QString TestSitebookCtrl::runScript(const QString& script) {
  QString result;
  bool finished = false;
  view_->page()->runJavaScript(script, [&](const QVariant& value) {
    result = value.toString();
    finished = true;
  });
  if (!QTest::qWaitFor([&] { return finished; }, 10000))
    qWarning("script did not finish: %s", qPrintable(script));
  return result;
}

void TestSitebookCtrl::startsOnTheStartPageWithItsOwnProfile() {
  QCOMPARE(view_->url(), QUrl::fromLocalFile(runDir_ + QStringLiteral("/Links.htm")));
  QCOMPARE(ctrl_->findChild<QLabel*>(QStringLiteral("id218"))->text(),
           QStringLiteral("Current Web Page: Start Page"));
  QVERIFY(!button(CSitebookForm::kBack)->isEnabled());
  QVERIFY(!button(CSitebookForm::kForward)->isEnabled());
  // The pupil's browser data live in the pupil's own data folder and outlast the session.
  QWebEngineProfile* profile = view_->page()->profile();
  QVERIFY(!profile->isOffTheRecord());
  QCOMPARE(QDir(profile->persistentStoragePath()).canonicalPath(),
           QDir(home_->filePath(QStringLiteral("data/deskhaven/browser"))).canonicalPath());
  QCOMPARE(QFile::permissions(profile->persistentStoragePath()) & 0x0077,
           QFileDevice::Permissions());
}

void TestSitebookCtrl::slotsAndScrollingWithNineLinks() {
  useScheme(9);
  for (int n = 1; n <= 5; ++n) {
    QVERIFY(slot(n)->isVisibleTo(ctrl_.get()));
    QCOMPARE(slot(n)->text(), QStringLiteral("Link %1").arg(n));
  }
  QVERIFY(!slot(6)->isVisibleTo(ctrl_.get()));
  QVERIFY(!button(CSitebookForm::kScrollUp)->isVisibleTo(ctrl_.get()));
  // Scroll-down sits level with the last slot.
  QCOMPARE(button(CSitebookForm::kScrollDown)->geometry().bottom(), slot(5)->geometry().bottom());
  QVERIFY(!command(dh::sideButtonCommand(5))); // Ctrl+6 with five slots shown

  for (int press = 1; press <= 4; ++press)
    QVERIFY(command(kScrollDown));
  QVERIFY(button(CSitebookForm::kScrollUp)->isVisibleTo(ctrl_.get()));
  QVERIFY(!button(CSitebookForm::kScrollDown)->isVisibleTo(ctrl_.get()));
  QCOMPARE(slot(1)->text(), QStringLiteral("Link 5"));
  QCOMPARE(slot(5)->text(), QStringLiteral("Link 9"));
  QVERIFY(!command(kScrollDown));

  // Hiding the side panel hides scroll-up and the slots; showing it brings them back.
  const QRect area = ctrl_->findChild<QWidget*>(QStringLiteral("id219"))->geometry();
  QVERIFY(command(kSide));
  QVERIFY(!button(CSitebookForm::kScrollUp)->isVisibleTo(ctrl_.get()));
  QVERIFY(!command(kSlot1));
  QVERIFY(ctrl_->findChild<QWidget*>(QStringLiteral("id219"))->geometry().left() < area.left());
  QVERIFY(command(kSide));
  QVERIFY(slot(5)->isVisibleTo(ctrl_.get()) && !slot(6)->isVisibleTo(ctrl_.get()));
  QCOMPARE(ctrl_->findChild<QWidget*>(QStringLiteral("id219"))->geometry(), area);

  for (int press = 1; press <= 4; ++press)
    QVERIFY(command(kScrollUp));
  QVERIFY(!button(CSitebookForm::kScrollUp)->isVisibleTo(ctrl_.get()));

  // Link 2 opened and scrolled: its check mark moves with it (the panel's rules have
  // their own test), and a resize keeps the panel where it was.
  navigate([&] { QVERIFY(command(dh::sideButtonCommand(1))); });
  QCOMPARE(view_->url().toString(), link(2));
  QVERIFY(slot(2)->getCheck() && !slot(1)->getCheck());
  QVERIFY(command(kScrollDown));
  QVERIFY(slot(1)->getCheck() && !slot(2)->getCheck());
  ctrl_->resize(760, 500); // room for four
  QCOMPARE(slot(1)->text(), QStringLiteral("Link 2"));
  QVERIFY(!slot(5)->isVisibleTo(ctrl_.get()));
  ctrl_->resize(760, 560);
}

void TestSitebookCtrl::classChangeShowsTheNewSchemesLinks() {
  const QUrl onShow = view_->url();
  useScheme(3, [&](const std::string& base) {
    hives_->setText(Root::LocalMachine, base + "\\Sitebook\\Sitemark 2", "DisplayName",
                    "Encyclopaedia Britannica");
  });
  QCOMPARE(slot(2)->text(),
           QStringLiteral("Encyclo... Britannica")); // shortened by the caption rule
  QVERIFY(!slot(4)->isVisibleTo(ctrl_.get()));
  QVERIFY(!button(CSitebookForm::kScrollDown)->isVisibleTo(ctrl_.get()));
  QVERIFY(!button(CSitebookForm::kBack)->isEnabled());
  QVERIFY(view_->record().visited().isEmpty());
  QCOMPARE(view_->url(), onShow);

  // A scheme without links: no slots, no scrolling, Ctrl+1 does nothing.
  useScheme(0);
  QVERIFY(!slot(1)->isVisibleTo(ctrl_.get()));
  QVERIFY(!command(kSlot1));
  QVERIFY(!command(kScrollDown));
}

void TestSitebookCtrl::toolBarLaysOutFromTheScheme() {
  struct Case {
    int copy, print, side;
    QList<int> shown; // movable items left to right
  };
  // Which places the items take is tested without widgets; here the form's items go
  // there, and Print's command and a page's print() follow the button.
  const QList<int> all = {222, 220, 223, 205, 224, 206, 225, 207};
  const Case cases[] = {{0, 1, 1, {223, 205, 224, 206, 225, 207}}, {1, 0, 0, {222, 220, 225, 207}}};
  QList<QRect> places;
  for (int id : all)
    places.append(ctrl_->findChild<QWidget*>(QStringLiteral("id%1").arg(id))->geometry());
  for (const Case& c : cases) {
    useScheme(2, [&](const std::string& base) {
      const std::string page3 = base + "\\ToolBars\\Page 3";
      hives_->setDword(Root::LocalMachine, page3, "Copy", c.copy);
      hives_->setDword(Root::LocalMachine, page3, "Print", c.print);
      hives_->setDword(Root::LocalMachine, page3, "Side", c.side);
      hives_->setDword(Root::LocalMachine, page3, "Help", 0);
    });
    for (int id : all) {
      QWidget* item = ctrl_->findChild<QWidget*>(QStringLiteral("id%1").arg(id));
      const qsizetype at = c.shown.indexOf(id);
      QCOMPARE(item->isVisibleTo(ctrl_.get()), at >= 0);
      if (at >= 0)
        QCOMPARE(item->geometry(), places[at]);
    }
    // A hidden button ignores its command, and a page's own print() too: nothing is
    // printed without Print.
    bool prompted = false;
    CDhvView::setPrintPrompt([&](QPrinter&, QWidget*) { return prompted = true, false; });
    QSignalSpy printed(view_, &QWebEngineView::pdfPrintingFinished);
    QCOMPARE(command(kPrint), c.print != 0);
    if (c.print != 0) {
      QVERIFY(prompted || printed.wait(20000));
    } else {
      runScript(QStringLiteral("window.print()"));
      QVERIFY(!printed.wait(1500));
      QVERIFY(!prompted);
    }
    CDhvView::setPrintPrompt(nullptr);
  }
}

void TestSitebookCtrl::backAndForwardThroughTheirSequences() {
  useScheme(3);
  const QString start = QUrl::fromLocalFile(runDir_ + QStringLiteral("/Links.htm")).toString();
  navigate([&] { view_->Navigate2(runDir_ + QStringLiteral("/Links.htm")); });
  view_->history()->clear();
  QVERIFY(!button(CSitebookForm::kBack)->isEnabled());

  // Start page, link 1, Back, Forward. Nothing lies behind the start page, so Back is
  // off once it is back, and nothing ahead of link 1 once Forward has brought it back.
  navigate([&] { QVERIFY(command(kSlot1)); });
  QCOMPARE(view_->currentPageLine(), QStringLiteral("Current Web Page: Page 1"));
  QVERIFY(button(CSitebookForm::kBack)->isEnabled());
  navigate([&] { command(kBack); });
  QCOMPARE(view_->url().toString(), start);
  QVERIFY(!slot(1)->getCheck());
  QVERIFY(!button(CSitebookForm::kBack)->isEnabled() &&
          button(CSitebookForm::kForward)->isEnabled());
  QVERIFY(!command(kBack));
  navigate([&] { QVERIFY(command(kForward)); });
  QCOMPARE(view_->record().backSteps(), 0);
  QVERIFY(button(CSitebookForm::kBack)->isEnabled() &&
          !button(CSitebookForm::kForward)->isEnabled());
  QCOMPARE(view_->url().toString(), link(1));

  // A reload forgets the history but the page on show: the first link opened after it
  // leads back there, and no further.
  command(kClassChanged);
  navigate([&] { QVERIFY(command(dh::sideButtonCommand(2))); });
  QCOMPARE(view_->currentPageLine(), QStringLiteral("Current Web Page: Page 3"));
  QVERIFY(button(CSitebookForm::kBack)->isEnabled() &&
          !button(CSitebookForm::kForward)->isEnabled());
  navigate([&] { command(kBack); });
  QCOMPARE(view_->url().toString(), link(1));
  QVERIFY(!view_->history()->canGoBack());
}

void TestSitebookCtrl::copyPrintAndHelp() {
  useScheme(2);
  navigate([&] { QVERIFY(command(dh::sideButtonCommand(1))); });
  QApplication::clipboard()->clear();
  view_->setFocus();
  runScript(
      QStringLiteral("window.getSelection().selectAllChildren(document.getElementById('text'))"));
  QVERIFY(command(kCopy));
  QTRY_VERIFY_WITH_TIMEOUT(
      QApplication::clipboard()->text().contains(QStringLiteral("Text of page 2")), 10000);

  // Tab moves the focus inside the page.
  runScript(QStringLiteral("document.getElementById('first').focus()"));
  QVERIFY(command(kTab));
  QTRY_COMPARE_WITH_TIMEOUT(runScript(QStringLiteral("document.activeElement.id")),
                            QStringLiteral("second"), 10000);

  // Print with no printer set up: no dialog (its only choice would be a file chooser);
  // the page goes to the documents folder and the pupil is told. A file that cannot be
  // written is reported.
  const QString documents = home_->filePath(QStringLiteral("Documents"));
  QVERIFY(QDir(documents).removeRecursively());
  QVERIFY(writeFile(documents, "a file where the folder should be"));
  QVERIFY(command(kPrint));
  QTRY_COMPARE_WITH_TIMEOUT(recorder_->events().mid(recorder_->events().size() - 2),
                            QStringList({QStringLiteral("beep"), QStringLiteral("Print Problem")}),
                            20000);
  // A new account has no documents folder yet; a pupil's file of the same name stays.
  QVERIFY(QFile::remove(documents));
  QVERIFY(QDir().mkpath(documents));
  QVERIFY(writeFile(documents + QStringLiteral("/Page 2.pdf"), "my work"));
  QSignalSpy printed(view_, &QWebEngineView::pdfPrintingFinished);
  for (const char* name : {"Page 2 (2).pdf", "Page 2 (3).pdf"}) {
    QVERIFY(command(kPrint));
    QVERIFY(printed.wait(20000));
    QCOMPARE(printed.last().at(1).toBool(), true);
    const QString pdf = printed.last().at(0).toString();
    QCOMPARE(pdf, documents + u'/' + QLatin1String(name));
    QVERIFY(fileBytes(pdf).startsWith("%PDF"));
    QCOMPARE(recorder_->boxes().last().title, QStringLiteral("Printing"));
    QVERIFY(recorder_->boxes().last().text.contains(QLatin1String(name)));
  }
  QCOMPARE(fileBytes(documents + QStringLiteral("/Page 2.pdf")), QByteArray("my work"));

  // Help without a help book: a beep, then "Help Problem"; nothing else changes.
  const qsizetype boxes = recorder_->boxes().size();
  QVERIFY(command(kHelp));
  QCOMPARE(recorder_->boxes().size(), boxes + 1);
  QCOMPARE(recorder_->events().mid(recorder_->events().size() - 2),
           QStringList({QStringLiteral("beep"), QStringLiteral("Help Problem")}));
  QCOMPARE(view_->url().toString(), link(2));
}

void TestSitebookCtrl::webPagesStayInsideTheView() {
  const int windows = QApplication::topLevelWidgets().size();
  navigate([&] { view_->load(server_->url(QStringLiteral("/popup"))); });
  navigate([&] { runScript(QStringLiteral("document.getElementById('blank').click()")); });
  QCOMPARE(view_->url().toString(), link(7));
  navigate([&] { view_->load(server_->url(QStringLiteral("/popup"))); });
  navigate([&] { runScript(QStringLiteral("document.getElementById('open').click()")); });
  QCOMPARE(view_->url().toString(), link(8));
  QCOMPARE(QApplication::topLevelWidgets().size(), windows);
  // A window without an address is not made, so nothing runs hidden in it; its opener
  // stays on show, and its links and Back still work.
  const QUrl popup = server_->url(QStringLiteral("/popup"));
  navigate([&] { view_->load(popup); });
  runScript(QStringLiteral("document.getElementById('nowhere').click()"));
  QTest::qWait(500);
  QVERIFY(view_->page()->findChildren<QWebEnginePage*>().isEmpty());
  QCOMPARE(view_->url(), popup);
  QCOMPARE(view_->title(), QStringLiteral("Popups"));
  navigate([&] { runScript(QStringLiteral("document.getElementById('open').click()")); });
  QCOMPARE(view_->url().toString(), link(8));
  navigate([&] { command(kBack); });
  QCOMPARE(view_->url(), popup);
  navigate([&] { view_->load(QUrl(link(8))); });

  // Downloads are refused with a message and leave no file behind.
  const qsizetype boxes = recorder_->boxes().size();
  view_->load(server_->url(QStringLiteral("/download")));
  QTRY_COMPARE_WITH_TIMEOUT(recorder_->boxes().size(), boxes + 1, 15000);
  QCOMPARE(recorder_->boxes().last().title, QStringLiteral("Download Refused"));
  QVERIFY(recorder_->boxes().last().text.contains(QStringLiteral("homework.bin")));
  QCOMPARE(view_->url().toString(), link(8));
  // A page that starts downloads in a loop is answered once.
  QSignalSpy downloads(view_->page()->profile(), &QWebEngineProfile::downloadRequested);
  view_->load(server_->url(QStringLiteral("/downloads")));
  QTRY_COMPARE_WITH_TIMEOUT(downloads.size(), 4, 15000);
  QCOMPARE(recorder_->boxes().size(), boxes + 2);

  // A web page cannot lead into local files, by link or by script; the system's own
  // local pages still open.
  const QString secret = runDir_ + QStringLiteral("/secret.html");
  QUrl toFile = server_->url(QStringLiteral("/tofile"));
  toFile.setQuery(secret);
  navigate([&] { view_->load(toFile); });
  runScript(QStringLiteral("document.getElementById('local').click()"));
  runScript(QStringLiteral("location.href = '%1'").arg(QUrl::fromLocalFile(secret).toString()));
  QTest::qWait(1500);
  QCOMPARE(view_->url(), toFile);
  QVERIFY(view_->title() != QStringLiteral("Secret"));
  navigate([&] { view_->Navigate2(secret); });
  QCOMPARE(view_->title(), QStringLiteral("Secret"));

  // From a local page: a page beside it opens; a folder (its listing would open the whole
  // file system), a file elsewhere, and a link that leads out of the tree do not.
  QVERIFY(QDir().mkpath(runDir_ + QStringLiteral("/pages")));
  QVERIFY(writeFile(runDir_ + QStringLiteral("/pages/next.html"),
                    "<html><head><title>Next</title></head></html>"));
  QVERIFY(QFile::link(QStringLiteral("/etc/hostname"), runDir_ + QStringLiteral("/out.txt")));
  const auto go = [&](const QString& target) {
    runScript(QStringLiteral("location.href = '%1'").arg(QUrl::fromLocalFile(target).toString()));
  };
  for (const QString& target : {runDir_, QStringLiteral("/etc/hostname"), QStringLiteral("/"),
                                runDir_ + QStringLiteral("/out.txt")}) {
    go(target);
    QTest::qWait(800);
    QCOMPARE(view_->title(), QStringLiteral("Secret"));
  }
  navigate([&] { go(runDir_ + QStringLiteral("/pages/next.html")); });
  QCOMPARE(view_->title(), QStringLiteral("Next"));

  // Its scripts read no file, and it loads files from within the tree only.
  const QImage picture(4, 4, QImage::Format_RGB32);
  QVERIFY(picture.save(runDir_ + QStringLiteral("/pages/in.png")));
  QVERIFY(picture.save(home_->filePath(QStringLiteral("out.png"))));
  runScript(QStringLiteral("const x = new XMLHttpRequest(); x.open('GET', '%1', false);"
                           " try { x.send(); document.title = 'Read'; } catch (e) {}"
                           " for (const src of ['in.png', '%2']) {"
                           " const i = new Image(); i.src = src; document.body.append(i); }")
                .arg(QUrl::fromLocalFile(secret).toString(),
                     QUrl::fromLocalFile(home_->filePath(QStringLiteral("out.png"))).toString()));
  QTRY_COMPARE_WITH_TIMEOUT(
      runScript(QStringLiteral("document.title + [...document.images].map(i => i.complete ?"
                               " ' ' + i.naturalWidth : ' loading').join('')")),
      QStringLiteral("Next 4 0"), 10000);
}

void TestSitebookCtrl::addressWithoutSchemeFallsBackToHttp() {
  const QUrl plain = server_->url(QStringLiteral("/page/5"));
  view_->Navigate2(plain.toString().mid(QStringLiteral("http://").size()));
  QTRY_COMPARE_WITH_TIMEOUT(view_->currentPageLine(), QStringLiteral("Current Web Page: Page 5"),
                            15000);
  QCOMPARE(view_->url(), plain);
  // The failed try is not a page that Back leads to.
  QUrl secure = plain;
  secure.setScheme(QStringLiteral("https"));
  QCOMPARE_NE(view_->history()->backItem().url(), secure);
}

QTEST_MAIN(TestSitebookCtrl)
#include "tst_sitebookctrl.moc"
