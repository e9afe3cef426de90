#include "platform/help/helpbook.h"
#include "platform/help/helpwindow.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace dh::help;

namespace {

QString pageName(const QUrl& url) {
  return QFileInfo(url.toLocalFile()).fileName();
}

} // namespace

class TestHelp : public QObject {
  Q_OBJECT

private slots:
  void opensFolderAtItsContexts();
  void singlePageAndContextMapFaults();
  void missingOrUnreadableBooksFail();
};

void TestHelp::opensFolderAtItsContexts() {
  HelpWindow window;
  QVERIFY(window.open(DEMO_HELP, 50001));
  QCOMPARE(pageName(window.browser().source()), "programs.html");
  QCOMPARE(window.windowTitle(), "Programs - Deskhaven Help");
  QVERIFY(window.browser().toPlainText().contains("Pick a set on the left"));
  QVERIFY(window.open(DEMO_HELP, 50002));
  QCOMPARE(pageName(window.browser().source()), "myfiles.html");
  // A context the book does not know opens its start page.
  QVERIFY(window.open(DEMO_HELP, 49999));
  QCOMPARE(pageName(window.browser().source()), "index.html");
  QCOMPARE(window.windowTitle(), "Deskhaven Help");
  // A book that fails to open leaves the window as it was.
  QVERIFY(window.open(DEMO_HELP, 50003));
  QString error;
  QVERIFY(!window.open("/nonexistent/help.chm", 50001, &error) && !error.isEmpty());
  QCOMPARE(pageName(window.browser().source()), "links.html");
  QCOMPARE(window.windowTitle(), "Links - Deskhaven Help");

  HelpWindow* shown = showHelp(DEMO_HELP, 50001);
  QVERIFY(shown && shown->isVisible());
  QCOMPARE(showHelp(QString(DEMO_HELP) + "/", 50003), shown); // one window serves all
  QCOMPARE(shown->windowTitle(), "Links - Deskhaven Help");
  QVERIFY(!showHelp("/nonexistent/help.chm", 50001));
  // Without a window manager there is no title bar: the window closes itself.
  QPointer<HelpWindow> guard(shown);
  QVERIFY(QTest::qWaitForWindowActive(shown));
  QTest::keyClick(shown, Qt::Key_Escape);
  QTRY_VERIFY(!guard);
  const auto windows = QApplication::topLevelWidgets().size();
  QVERIFY(!showHelp("/nonexistent/help.chm", 50001)); // a failed first open leaves nothing
  QCOMPARE(QApplication::topLevelWidgets().size(), windows);
}

void TestHelp::singlePageAndContextMapFaults() {
  QTemporaryDir dir;
  QVERIFY(writeFile(dir.filePath("only.html"), "<title>Only</title>One page"));
  auto single = HelpBook::open(dir.filePath("only.html"));
  QVERIFY(single);
  QCOMPARE(single->page(50001), single->startPage());
  QCOMPARE(pageName(single->startPage()), "only.html");

  // Without an index the first mapped page is the start; faulty lines are passed over.
  QVERIFY(writeFile(dir.filePath("contexts.map"),
                    "# help\n50001=only.html\nnonsense\n50002=gone.html\n"
                    "abc=only.html\n50003 = only.html\n"));
  auto folder = HelpBook::open(dir.path());
  QVERIFY(folder);
  QCOMPARE(pageName(folder->startPage()), "only.html");
  QCOMPARE(pageName(folder->page(50003)), "only.html");
  QCOMPARE(folder->page(50002), folder->startPage());
  QVERIFY(!folder->read(folder->startPage())); // pages on disk are read by the browser
}

void TestHelp::missingOrUnreadableBooksFail() {
  QString error;
  QVERIFY(!HelpBook::open("", &error));
  QVERIFY(!HelpBook::open("/nonexistent/help", &error));
  QVERIFY(error.contains("/nonexistent/help"));

  QTemporaryDir dir;
  QVERIFY(!HelpBook::open(dir.path(), &error)); // a folder without pages
  QVERIFY(error.contains("no help pages"));
  QVERIFY(writeFile(dir.filePath("help.chm"), "This is not compiled help at all"));
  QVERIFY(!HelpBook::open(dir.filePath("help.chm"), &error));
  QVERIFY(error.contains("compiled help"));

  // Root reads anything, so refusals are tried as an ordinary user.
  QVERIFY(writeFile(dir.filePath("page.html"), "<p>Secret</p>", QFile::WriteOwner));
  QDir(dir.path()).mkdir("book");
  QVERIFY(writeFile(dir.filePath("book/index.html"), "<p>Index</p>"));
  QVERIFY(writeFile(dir.filePath("book/contexts.map"), "50001=index.html\n", QFile::WriteOwner));
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther);
  QFile::setPermissions(dir.filePath("book"), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther);
  const QString page = dir.filePath("page.html"), book = dir.filePath("book");
  QCOMPARE(runUnprivileged(
               [&] { return (HelpBook::open(page) ? 1 : 0) + (HelpBook::open(book) ? 2 : 0); }),
           0);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
