#include "common/ui/onscreenhelper.h"

#include "common/settings.h"
#include "platform/agent/character.h"
#include "platform/agent/characterserver.h"
#include "platform/agent/characterwindow.h"
#include "tests/support/testhives.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using dh::OnScreenHelper;

using namespace dh::agent;
using dh::reg::Root;

namespace {

constexpr const char* kDefaults = "Software\\Halvane\\Deskhaven\\Schemes\\Pupils\\Defaults";

// The character the helpers share, quickened, with the kinds of the requests it starts.
struct SharedCharacter {
  SharedCharacter() {
    CharacterServer::instance()->load(DEMO_CHARACTER, &id);
    character = CharacterServer::instance()->character(id);
    character->setPace(0.01);
    character->setAudible(false);
    QObject::connect(character, &Character::requestStarted,
                     [this](int request, RequestKind kind) { kinds[request] = kind; });
  }
  ~SharedCharacter() { CharacterServer::instance()->unload(id); }
  int id = 0;
  Character* character = nullptr;
  QMap<int, RequestKind> kinds;
};

} // namespace

class TestOnScreenHelper : public QObject {
  Q_OBJECT

private slots:
  void sayReadsSilentAfreshEachTime();
  void greetingQueuesInOrder();
  void hideReturnsOnceTheCharacterIsGone();
  void missingOrBrokenCharacterMakesEveryCallANoOp();
};

void TestOnScreenHelper::sayReadsSilentAfreshEachTime() {
  TestHives hives;
  hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kAgentPath, DEMO_CHARACTER);
  hives.setDword(Root::LocalMachine, kDefaults, "Silent", 1);
  OnScreenHelper helper;
  QCOMPARE(helper.lastResult(), kOk);
  helper.SetSchemeName("PUPILS"); // scheme names compare without regard to case
  SharedCharacter shared;
  helper.ShowWithGreeting();

  auto sayAndWait = [&](const char* text) -> std::optional<RequestKind> {
    if (helper.Say(text) != kOk)
      return std::nullopt;
    const int id = helper.requestId();
    if (!QTest::qWaitFor([&] { return shared.kinds.contains(id); }))
      return std::nullopt;
    return shared.kinds[id];
  };
  QCOMPARE(sayAndWait("Copy"), RequestKind::Think);
  hives.setDword(Root::LocalMachine, kDefaults, "Silent", 0);
  QCOMPARE(sayAndWait("Paste"), RequestKind::Speak);
  hives.setDword(Root::LocalMachine, kDefaults, "Silent", 7);
  QCOMPARE(sayAndWait("Delete"), RequestKind::Think);
  // An unreadable value keeps the helper quiet.
  hives.removeValue(Root::LocalMachine, kDefaults, "Silent");
  QCOMPARE(sayAndWait("Undo"), RequestKind::Think);
  hives.setText(Root::LocalMachine, kDefaults, "Silent", "0");
  QCOMPARE(sayAndWait("Print"), RequestKind::Think);
  hives.removeValue(Root::LocalMachine, kDefaults, "Silent");
  hives.setDword(Root::LocalMachine, kDefaults, "Silent", 0);
  helper.SetSchemeName("Teachers"); // another scheme, without Defaults
  QCOMPARE(sayAndWait("Help"), RequestKind::Think);
}

void TestOnScreenHelper::greetingQueuesInOrder() {
  TestHives hives;
  hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kAgentPath, DEMO_CHARACTER);
  hives.setDword(Root::LocalMachine, kDefaults, "Silent", 0);
  SharedCharacter shared;
  QList<std::pair<RequestKind, QString>> seen;
  connect(shared.character, &Character::requestStarted, this, [&](int, RequestKind kind) {
    QTimer::singleShot(0, [&, kind] {
      const auto& balloon = shared.character->window().balloon();
      seen.append({kind, balloon ? balloon->text() : QString()});
    });
  });
  OnScreenHelper shell, control; // the shell's and a page control's, one character
  shell.SetSchemeName("Pupils");
  control.SetSchemeName("Pupils");
  QCOMPARE(shell.MoveTo(200, 300), kOk);
  QCOMPARE(shell.ShowWithGreeting(), kOk);
  QCOMPARE(control.Say("My Files"), kOk);
  QTRY_COMPARE(seen.size(), 5);
  const QList<std::pair<RequestKind, QString>> expected{
      {RequestKind::Show, {}},
      {RequestKind::Play, {}},
      {RequestKind::Speak, "Welcome to Deskhaven"},
      {RequestKind::Play, {}},
      {RequestKind::Speak, "My Files"}};
  QCOMPARE(seen, expected);
  QCOMPARE(shared.character->position(), QPoint(200, 300));
}

void TestOnScreenHelper::hideReturnsOnceTheCharacterIsGone() {
  TestHives hives;
  hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kAgentPath, DEMO_CHARACTER);
  SharedCharacter shared;
  OnScreenHelper helper;
  helper.ShowWithGreeting();
  helper.Say("Goodbye");
  // Far longer than the test may take: only the end of the hiding animation may end it.
  helper.setHideWait(std::chrono::minutes(10));
  QCOMPARE(helper.HideCharacter(), kOk);
  QVERIFY(!shared.character->isVisible());
  QVERIFY(!shared.character->window().isVisible());
  QVERIFY(!shared.character->isBusy());

  // With the character slowed right down, the wait ends without it.
  helper.ShowWithGreeting();
  helper.setHideWait(std::chrono::milliseconds(50));
  shared.character->setPace(100);
  QCOMPARE(helper.HideCharacter(), kOk);
  QVERIFY(shared.character->isBusy());
}

void TestOnScreenHelper::missingOrBrokenCharacterMakesEveryCallANoOp() {
  QTemporaryDir broken;
  QFile descriptor(broken.filePath("character.ini"));
  QVERIFY(descriptor.open(QIODevice::WriteOnly));
  descriptor.write("[Character]\nFrameSize=8x8\n[Animation A]\nFrames=missing.png\n");
  descriptor.close();
  for (const QString& path : {QString(), QString("/nonexistent/owl"), broken.path()}) {
    TestHives hives;
    if (!path.isEmpty())
      hives.setText(Root::LocalMachine, dh::kSettingsKey, dh::setting::kAgentPath,
                    path.toStdString());
    hives.setDword(Root::LocalMachine, kDefaults, "Silent", 0);
    OnScreenHelper helper;
    QVERIFY(helper.lastResult() < 0);
    helper.SetSchemeName("Pupils");
    helper.setHideWait(std::chrono::minutes(10)); // a wait here would hang the test
    QVERIFY(helper.Say("Copy") < 0);
    QVERIFY(helper.ShowWithGreeting() < 0);
    QVERIFY(helper.MoveTo(1, 2) < 0);
    QVERIFY(helper.HideCharacter() < 0);
    QVERIFY(helper.lastResult() < 0);
  }
}

QTEST_MAIN(TestOnScreenHelper)
#include "tst_onscreenhelper.moc"
