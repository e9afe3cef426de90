#include "tests/platform/components/testcontrols.h"
#include "tests/support/recordingcontrol.h"
#include "tests/support/runtool.h"
#include "tests/support/testfiles.h"
#include "tests/support/testhives.h"

#include "platform/components/commandevent.h"
#include "platform/components/componenthost.h"

#include <QTest>
#include <QWidget>

#include <cstdio>

using namespace dh::component;
using dh::reg::Root;

namespace {

// The tool's report, whichever stream it went to.
ToolRun regsvr(const QStringList& arguments) {
  ToolRun run = runTool(REGSVR, arguments);
  run.out += run.err;
  return run;
}

void registerLibrary(const char* library) {
  const ToolRun run = regsvr({library});
  QVERIFY2(run.status == 0, qPrintable(run.out));
}

std::string clsidKey(const char* clsid) {
  return std::string("CLSID\\") + clsid;
}

bool keyExists(const std::string& path) {
  dh::reg::Key key;
  return dh::reg::Key::open(Root::ClassesRoot, path, dh::reg::Access::Read, key) ==
         dh::reg::kSuccess;
}

QVariantList received(QWidget* control) {
  return control->property("receivedCommands").toList();
}

} // namespace

class TestComponents : public QObject {
  Q_OBJECT

private slots:
  void classIdentifiers();
  void registerCreateSendAndUnregister();
  void failuresAreReportedNotCrashed();
  void regsvrReportsEachFailingStep();
  void regsvrIntoReadOnlyHiveFails();
};

void TestComponents::classIdentifiers() {
  QCOMPARE(canonicalClassId("{6b1e0d2a-4c3f-4e8b-9A51-2d7c0f93b6e1}").value_or(""),
           std::string(recordingcontrol::kClassId));
  for (const char* bad :
       {"6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6E1", "{6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6E}",
        "{6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6EG}", "{6B1E0D2A+4C3F-4E8B-9A51-2D7C0F93B6E1}",
        "{6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6E1}x", ""})
    QVERIFY2(!canonicalClassId(bad), bad);

  // A ProgID must not reach another key through a backslash, nor pose as a broken clsid.
  TestHives hives;
  hives.setText(Root::ClassesRoot, "CLSID\\X\\CLSID", "", recordingcontrol::kClassId);
  for (const char* bad : {"CLSID\\X", "{6B1E0D2A}", ""}) {
    const auto made = createControl(bad, nullptr, 1);
    QVERIFY2(made.failure == Failure::BadClassId, bad);
    QVERIFY(!made.widget);
  }
}

void TestComponents::registerCreateSendAndUnregister() {
  TestHives hives;
  registerLibrary(RECORDING_CONTROL);
  const std::string key = clsidKey(recordingcontrol::kClassId);
  QCOMPARE(dh::reg::readText(Root::ClassesRoot, key + "\\InprocServer32", "", 4096),
           std::string(RECORDING_CONTROL));
  QCOMPARE(
      dh::reg::readText(Root::ClassesRoot, std::string(recordingcontrol::kProgId) + "\\CLSID", ""),
      std::string(recordingcontrol::kClassId));
  QVERIFY(keyExists(key + "\\Control"));
  QVERIFY(probeClass(recordingcontrol::kClassId).ok());

  QWidget frame;
  frame.resize(320, 200);
  const auto byClsid = createControl("{6b1e0d2a-4c3f-4e8b-9a51-2d7c0f93b6e1}", &frame, 97);
  QVERIFY2(byClsid.ok(), byClsid.reason.c_str());
  QVERIFY(!byClsid.widget->isWindow());
  QCOMPARE(frame.findChild<QWidget*>("id97"), byClsid.widget);
  const auto byProgId = createControl(recordingcontrol::kProgId, &frame, 98);
  QVERIFY2(byProgId.ok(), byProgId.reason.c_str());

  // Each command is handled before sendCommand returns, in the order sent, and reaches
  // only the control it was sent to.
  QVariantList expected;
  for (int command : {61441, 61448, 7, 61441}) {
    QVERIFY(sendCommand(byClsid.widget, command));
    expected.append(command);
    QCOMPARE(received(byClsid.widget), expected);
  }
  QVERIFY(received(byProgId.widget).isEmpty());
  QVERIFY(!sendCommand(nullptr, 61441));
  QVERIFY(!sendCommand(&frame, 61441)); // not a control: left unhandled

  byClsid.widget->setGeometry(frame.rect());
  byProgId.widget->hide();
  frame.show();
  const QImage shot = frame.grab().toImage();
  QCOMPARE(shot.pixelColor(4, 4), QColor(0xE8, 0xF0, 0xFE));
  if (const QByteArray dir = qgetenv("DH_SCREENSHOT_DIR"); !dir.isEmpty())
    shot.save(QString::fromLocal8Bit(dir) + "/hosted-control.png");

  // Unregistering removes the library's own keys, not a ProgID another class has taken
  // over meanwhile; removing what is not there is no failure.
  const char* kOther = "{D0000000-0000-4000-8000-000000000000}";
  hives.setText(Root::ClassesRoot, "DHTEST.GoodCtrl\\CLSID", "", kOther);
  const ToolRun removed = regsvr({"-u", RECORDING_CONTROL});
  QCOMPARE(removed.status, 0);
  QVERIFY(!keyExists(key) && !keyExists(recordingcontrol::kProgId));
  QCOMPARE(dh::reg::readText(Root::ClassesRoot, "DHTEST.GoodCtrl\\CLSID", ""), std::string(kOther));
  QCOMPARE(createControl(recordingcontrol::kClassId, nullptr, 97).failure, Failure::NotRegistered);
  QCOMPARE(createControl(recordingcontrol::kProgId, nullptr, 97).failure, Failure::NotRegistered);
  QCOMPARE(regsvr({"-u", RECORDING_CONTROL}).status, 0);
}

void TestComponents::failuresAreReportedNotCrashed() {
  TestHives hives;
  registerLibrary(FAILING_LIBRARY);
  registerLibrary(RECORDING_CONTROL);
  const QString notALibrary = hives.dir() + "/notes.so";
  QVERIFY(writeFile(notALibrary, "plain text\n"));
  const char* kBare = "{B0000000-0000-4000-8000-000000000001}";
  const char* kMissing = "{B0000000-0000-4000-8000-000000000002}";
  const char* kText = "{B0000000-0000-4000-8000-000000000003}";
  const char* kEmptyPath = "{B0000000-0000-4000-8000-000000000004}";
  for (const auto& [id, library] : {std::pair<const char*, std::string>{kBare, BARE_LIBRARY},
                                    {kMissing, "/nonexistent/x.so"},
                                    {kText, notALibrary.toStdString()},
                                    {kEmptyPath, ""}})
    hives.setText(Root::ClassesRoot, clsidKey(id) + "\\InprocServer32", "", library);
  hives.setText(Root::ClassesRoot, "DHTEST.Broken\\CLSID", "", "not a clsid");

  const struct {
    const char* id;
    Failure failure;
    const char* reason;
    bool probes; // the failure shows only when an instance is made
  } cases[] = {
      {"{C0000000-0000-4000-8000-000000000000}", Failure::NotRegistered, "not registered", false},
      {"DHTEST.Nothing.1", Failure::NotRegistered, "DHTEST.Nothing.1", false},
      {"DHTEST.Broken", Failure::NotRegistered, "not a clsid", false},
      {kEmptyPath, Failure::NotRegistered, "InprocServer32", false},
      {kMissing, Failure::LoadFailed, "/nonexistent/x.so", false},
      {kText, Failure::LoadFailed, "notes.so", false},
      {kBare, Failure::MissingEntryPoint, "DllGetClassObject", false},
      {testcontrols::kNoFactory, Failure::ClassNotAvailable, "no factory", false},
      {testcontrols::kOtherAbi, Failure::ClassNotAvailable, "version 2", false},
      {testcontrols::kThrowsError, Failure::Threw, testcontrols::kThrowMessage, true},
      {testcontrols::kThrowsInt, Failure::Threw, "unknown type", true},
      {testcontrols::kReturnsNull, Failure::CreationFailed, "came back empty", true},
      {testcontrols::kFailsWithWidget, Failure::CreationFailed, "0x80004005", true},
  };
  QWidget frame;
  for (const auto& c : cases) {
    const auto made = createControl(c.id, &frame, 99);
    QVERIFY2(made.failure == c.failure, c.id);
    QVERIFY(!made.widget);
    QVERIFY2(made.reason.find(c.reason) != std::string::npos, made.reason.c_str());
    QVERIFY2(probeClass(c.id).ok() == c.probes, c.id);
  }
  // Nothing half-made stays in the parent, and a class of the wrong kind says so.
  QVERIFY(frame.findChildren<QWidget*>().isEmpty());
  const auto object =
      createObject(recordingcontrol::kClassId, "{00000000-0000-0000-0000-000000000000}");
  QCOMPARE(object.failure, Failure::CreationFailed);
  QVERIFY(!object.object);
}

void TestComponents::regsvrReportsEachFailingStep() {
  TestHives hives;
  QCOMPARE(regsvr({}).status, 1);
  QCOMPARE(regsvr({"-x", RECORDING_CONTROL}).status, 1);
  QCOMPARE(regsvr({RECORDING_CONTROL, FAILING_LIBRARY}).status, 1);

  ToolRun run = regsvr({hives.dir() + "/missing.so"});
  QCOMPARE(run.status, 3);
  QVERIFY2(run.out.contains("cannot load") && run.out.contains("missing.so"), qPrintable(run.out));

  run = regsvr({BARE_LIBRARY});
  QCOMPARE(run.status, 4);
  QVERIFY2(run.out.contains("DllRegisterServer was not found"), qPrintable(run.out));
  run = regsvr({"-u", BARE_LIBRARY});
  QCOMPARE(run.status, 4);
  QVERIFY2(run.out.contains("DllUnregisterServer was not found"), qPrintable(run.out));
}

void TestComponents::regsvrIntoReadOnlyHiveFails() {
  TestHives hives;
  hives.createKey(Root::LocalMachine, "Software");
  hives.shareReadOnly();

  const QString hive = hives.machineHive();
  const int result = runUnprivileged([&] {
    const ToolRun run = regsvr({RECORDING_CONTROL});
    std::fputs(qPrintable(run.out), stderr);
    return run.out.contains("access denied") && run.out.contains(hive) ? run.status : 101;
  });
  QCOMPARE(result, 5);
  QVERIFY(!keyExists(clsidKey(recordingcontrol::kClassId)));
}

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
