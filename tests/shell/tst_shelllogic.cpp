#include "platform/components/classregistry.h"
#include "shell/accelerators.h"
#include "shell/currentclass.h"
#include "shell/pagetable.h"
#include "shell/singleinstance.h"
#include "shell/toprow.h"
#include "tests/support/recordingcontrol.h"
#include "tests/support/testhives.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace dh::shell;
using dh::reg::Root;

namespace {

void registerControl(const char* clsid, const std::string& library) {
  QCOMPARE(dh::component::writeRegistration({clsid, "Shell Test Page", "", "", library, true}),
           dh::reg::kSuccess);
}

std::optional<std::uint32_t> storedIsOK(int page) {
  return dh::reg::readDword(Root::LocalMachine, pageKey(page), "IsOK");
}

// A socket file that nobody listens on, as a crashed instance leaves it.
void makeStaleSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  std::memcpy(address.sun_path, name.constData(), name.size() + 1);
  QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
  ::close(fd);
  QVERIFY(QFile::exists(path));
}

// Sends a request from another thread while this one serves the channel.
bool requestFromOtherThread(const QString& path,
                            bool (*request)(const QString&, int) = InstanceChannel::requestShow) {
  auto answer = std::async(std::launch::async, [path, request] { return request(path, 2000); });
  while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
    QCoreApplication::processEvents();
  return answer.get();
}

} // namespace

class TestShellLogic : public QObject {
  Q_OBJECT

private slots:
  void pageTableIsReadTestedAndMarked();
  void pupilCannotMarkPages();
  void topRowFollowsTheWindow();
  void pageButtonsCloseTheGaps();
  void classCaptions();
  void acceleratorsNeedTheirModifiers();
  void currentClassSources();
  void instanceNames();
  void secondStartSignalsTheFirst();
};

void TestShellLogic::pageTableIsReadTestedAndMarked() {
  TestHives hives;
  registerControl(recordingcontrol::kClassId, RECORDING_CONTROL);
  const char* kMissingLibrary = "{3C9A7E51-2B4D-4F60-8E1A-5D6C7B8A9F02}";
  registerControl(kMissingLibrary, "/nonexistent/library.so");
  hives.setText(Root::LocalMachine, pageKey(1), "Name", "Programs");
  hives.setText(Root::LocalMachine, pageKey(1), "GUID", recordingcontrol::kClassId);
  // A registered class whose library is gone cannot serve a page.
  hives.setText(Root::LocalMachine, pageKey(2), "GUID", kMissingLibrary);
  hives.setDword(Root::LocalMachine, pageKey(2), "IsOK", 1);
  // Page 3 has no key at all.

  PageRecords pages = readPageTable();
  QCOMPARE(pages[0].Name, std::string("Programs"));
  testPageTable(pages);
  QCOMPARE(pages[0].IsOK + pages[1].IsOK + pages[2].IsOK, 1);
  QCOMPARE(storedIsOK(1), std::optional<std::uint32_t>(1));
  QCOMPARE(storedIsOK(2), std::optional<std::uint32_t>(0));
  dh::reg::Key key;
  QCOMPARE(dh::reg::Key::open(Root::LocalMachine, pageKey(3), dh::reg::Access::Read, key),
           dh::reg::kFileNotFound); // not created by the marking

  QCOMPARE(activeXErrorText(pages),
           std::string("Active X Initialisation Error\n\nThe following Active X Control(s) have "
                       "not been successfully\nstarted and so will be disabled:\n\nPage 2 - My "
                       "Files\nPage 3 - Links\n\nIt is advised that you inform your Network "
                       "Aministrator\nof this message."));
  pages[1].IsOK = pages[2].IsOK = 1;
  QCOMPARE(activeXErrorText(pages), std::string());
}

void TestShellLogic::pupilCannotMarkPages() {
  TestHives hives;
  registerControl(recordingcontrol::kClassId, RECORDING_CONTROL);
  hives.setText(Root::LocalMachine, pageKey(1), "GUID", recordingcontrol::kClassId);
  hives.setDword(Root::LocalMachine, pageKey(1), "IsOK", 0);
  hives.shareReadOnly();
  const int result = runUnprivileged([] {
    PageRecords pages = readPageTable();
    testPageTable(pages);
    if (pages[0].IsOK != 1)
      return 1; // the result counts in memory
    return storedIsOK(1) == std::optional<std::uint32_t>(0) ? 0 : 2;
  });
  QCOMPARE(result, 0);
}

// The base units of the template font, at which the row has the design's pixel sizes.
constexpr dh::ui::DialogUnits kTemplateUnits(6, 13);

void TestShellLogic::topRowFollowsTheWindow() {
  // The right-hand group keeps to the right edge; a narrow window squeezes the class
  // button between the page buttons and Change Class, a tiny one leaves it no width.
  const TopRow wide = layOutTopRow(QRect(0, 0, 1280, 800), kTemplateUnits);
  const TopRow narrow = layOutTopRow(QRect(0, 0, 640, 480), kTemplateUnits);
  QCOMPARE(narrow.options, wide.options.translated(-640, 0));
  QCOMPARE(narrow.classButton.right(), wide.classButton.right() - 640);
  QVERIFY(narrow.classButton.left() > pageButtonRects(true, true, true, kTemplateUnits)[2].right());
  const TopRow tiny = layOutTopRow(QRect(0, 0, 300, 200), kTemplateUnits);
  QCOMPARE(tiny.classButton.width(), 0);
  QVERIFY(tiny.frame.height() >= 0);
}

void TestShellLogic::pageButtonsCloseTheGaps() {
  const QRect programs(7, 3, 86, 26), files(103, 3, 81, 26), links(191, 3, 62, 26);
  struct Case {
    bool p1, p2, p3;
    int filesX, linksX;
  };
  const Case cases[] = {{true, true, true, 103, 191}, {false, true, false, 7, 191},
                        {false, false, true, 103, 7}, {true, false, true, 103, 103},
                        {false, true, true, 7, 95},   {false, false, false, 103, 191}};
  for (const Case& c : cases) {
    const auto rects = pageButtonRects(c.p1, c.p2, c.p3, kTemplateUnits);
    QCOMPARE(rects[0], programs);
    QCOMPARE(rects[1], files.translated(c.filesX - 103, 0));
    QCOMPARE(rects[2], links.translated(c.linksX - 191, 0));
  }
}

void TestShellLogic::classCaptions() {
  // A long class is cut on the shell's button (its test); here the edges.
  const QString twenty(20, QLatin1Char('x'));
  QCOMPARE(classCaption(twenty, 20, 17), twenty);
  QCOMPARE(classCaption(twenty + "x", 20, 17), QString(17, QLatin1Char('x')) + "...");
  QCOMPARE(classCaption(QString(), 20, 17), QString());
}

void TestShellLogic::acceleratorsNeedTheirModifiers() {
  // The keypad's keys count as the main ones where the table says so.
  QCOMPARE(keyCommand(Qt::Key_Delete, Qt::KeypadModifier),
           std::optional<KeyCommand>(dh::PageCommand::Delete));
  QCOMPARE(keyCommand(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier),
           std::optional<KeyCommand>(dh::PageCommand::IconSize));
  // Modifiers must match: these keys stay with the widget that has the focus.
  QCOMPARE(keyCommand(Qt::Key_Backtab, Qt::ShiftModifier), std::nullopt);
  QCOMPARE(keyCommand(Qt::Key_C, Qt::NoModifier), std::nullopt);
  QCOMPARE(keyCommand(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), std::nullopt);
  QCOMPARE(keyCommand(Qt::Key_Plus, Qt::ControlModifier), std::nullopt);
  QCOMPARE(keyCommand(Qt::Key_Return, Qt::NoModifier), std::nullopt);
  QCOMPARE(keyCommand(Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier), std::nullopt);
}

void TestShellLogic::currentClassSources() {
  TestHives hives;
  const char* plotbench = "Software\\Halvane\\Stowlet\\Plotbench";
  const char* fieldbench = "Software\\Halvane\\Fieldbench";
  // A mode without a class of its own polls the machine first, then the user.
  QCOMPARE(readPolledClass(0), std::nullopt);
  hives.setText(Root::CurrentUser, fieldbench, "Current Class", "8C");
  QCOMPARE(readPolledClass(0), std::optional<std::string>("8C"));
  hives.setText(Root::LocalMachine, plotbench, "Current Class", "");
  QCOMPARE(readPolledClass(0), std::optional<std::string>("")); // read, and empty
  hives.setDword(Root::LocalMachine, plotbench, "Current Class", 7);
  QCOMPARE(readPolledClass(0), std::optional<std::string>("8C")); // not a text: the user's

  // The other modes poll what the class button shows.
  hives.setText(Root::LocalMachine, plotbench, "Current Class", "7B");
  for (int mode : {1, 5}) {
    QCOMPARE(ReadCurrentClassForButton(mode), std::string("7B"));
    QCOMPARE(readPolledClass(mode), std::optional<std::string>("7B"));
  }
  for (int mode : {6, 7, 99}) {
    QCOMPARE(ReadCurrentClassForButton(mode), std::string("8C"));
    QCOMPARE(readPolledClass(mode), std::optional<std::string>("8C"));
  }
  for (int mode : {0, 8, 9, -1})
    QCOMPARE(ReadCurrentClassForButton(mode), std::string());
}

void TestShellLogic::instanceNames() {
  for (const char* yes : {"/usr/bin/deskhaven2", "/opt/x/DESKHAVEN2.EXE", "Deskhaven2.",
                          "/build/bin/deskhaven2 (deleted)"})
    QVERIFY2(isInstanceName(yes), yes);
  for (const char* no : {"/usr/bin/deskhaven", "/usr/bin/deskhaven2x", "/deskhaven2/bash",
                         "/usr/bin/deskhaven2.sh", ""})
    QVERIFY2(!isInstanceName(no), no);

  // A process table of our own: numbered folders whose exe links name programs.
  QTemporaryDir proc;
  auto process = [&](const char* pid, const char* exe) {
    QVERIFY(QDir(proc.path()).mkdir(pid));
    QVERIFY(QFile::link(exe, proc.filePath(QStringLiteral("%1/exe").arg(pid))));
  };
  process("1", "/sbin/init");
  process("200", "/usr/bin/Deskhaven2.exe");
  process("300", "/build/bin/deskhaven2 (deleted)");
  process("self", "/usr/bin/deskhaven2");  // not a process number
  QVERIFY(QDir(proc.path()).mkdir("400")); // a process whose exe cannot be read
  process("500", "/usr/bin/deskhaven2");
  QVERIFY(::chown(qPrintable(proc.filePath("500")), 65534, 65534) == 0); // another user's
  QCOMPARE(countRunningInstances(proc.path()), 2);
  QCOMPARE(runUnprivileged([] { return countRunningInstances(); }), 0); // nobody runs a shell
}

void TestShellLogic::secondStartSignalsTheFirst() {
  const TestRuntime runtime;
  const QString path = runtime.dir() + QStringLiteral("/deskhaven2.socket");
  QCOMPARE(instanceSocketPath(), path);
  // A socket file nobody listens on, as a crashed instance leaves it, does not block.
  makeStaleSocket(path);
  QVERIFY(!InstanceChannel::requestShow(path, 200));
  InstanceChannel first;
  QVERIFY(first.listen(path));
  QSignalSpy shown(&first, &InstanceChannel::showRequested);
  QVERIFY(requestFromOtherThread(path));
  QCOMPARE(shown.count(), 1);

  // A live instance keeps its socket: another channel does not take it over.
  InstanceChannel intruder;
  QVERIFY(!intruder.listen(path));
  QVERIFY(requestFromOtherThread(path));
  QCOMPARE(shown.count(), 2);

  QVERIFY(!InstanceChannel::requestShow(runtime.dir() + QStringLiteral("/none"), 200));

  // The log-off key asks the first instance to ask the pupil, and is not a show.
  QSignalSpy logOff(&first, &InstanceChannel::logOffRequested);
  QVERIFY(requestFromOtherThread(path, InstanceChannel::requestLogOff));
  QCOMPARE(logOff.count(), 1);
  QCOMPARE(shown.count(), 2);
}

QTEST_GUILESS_MAIN(TestShellLogic)
#include "tst_shelllogic.moc"
