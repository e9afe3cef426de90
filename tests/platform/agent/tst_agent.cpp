#include "platform/agent/character.h"
#include "platform/agent/characterserver.h"
#include "platform/agent/characterwindow.h"
#include "platform/agent/voice.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace dh::agent;

namespace {

// Writes a character folder: two 8x8 frames and the descriptor given.
void writeCharacter(const QString& dir, const QString& descriptor) {
  QImage image(QSize(8, 8), QImage::Format_ARGB32);
  image.fill(Qt::red);
  for (const char* name : {"a.png", "b.png"})
    QVERIFY(image.save(QDir(dir).filePath(name)));
  QVERIFY(writeFile(QDir(dir).filePath("character.ini"), descriptor.toUtf8()));
}

// Which requests start, in order, and what the character shows as each one begins.
struct Recorder {
  explicit Recorder(Character& c) {
    QObject::connect(&c, &Character::requestStarted, [this](int id, RequestKind kind) {
      started.append({id, kind});
    });
    QObject::connect(&c, &Character::requestFinished, [this](int id) { finished.append(id); });
  }
  QList<std::pair<int, RequestKind>> started;
  QList<int> finished;
};

} // namespace

class TestAgent : public QObject {
  Q_OBJECT

private slots:
  void refusesMissingBrokenAndIncompleteCharacters();
  void sharesOneCharacterBetweenLoads();
  void playsRequestsInOrder();
  void hiddenCharacterShowsAndSaysNothing();
  void balloonsAndWindow();
  void voiceFollowsTheLanguageAndNeedsNoSoundDevice();
};

void TestAgent::refusesMissingBrokenAndIncompleteCharacters() {
  const struct {
    const char* descriptor;
    const char* why;
  } cases[] = {
      {"[Character]\nFrameSize=8x8\nName Dot\n", "line 3"},
      {"[Character]\nFrameSize=8 by 8\n", "FrameSize"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\nFrames=a.png\nLoop=sometimes\n", "Loop"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\nFrames=a.png\nFrameDuration=-5\n",
       "FrameDuration"},
      {"[Character]\nFrameSize=8x8\nIdle=Nap\n[Animation A]\nFrames=a.png\n", "Nap"},
      {"[Animation A]\nFrames=a.png\n", "[Character]"},
      {"[Character]\nFrameSize=8x8\n", "no animations"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\n", "no frames"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\nFrames=a.png, gone.png\n", "gone.png"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\nFrames=character.ini\n", "character.ini"},
      {"[Character]\nFrameSize=9x9\n[Animation A]\nFrames=a.png\n", "8x8"},
      {"[Character]\nFrameSize=8x8\n[Animation A]\nFrames=a.png\n[Animation a]\nFrames=b.png\n",
       "twice"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    writeCharacter(dir.path(), c.descriptor);
    QString error;
    QVERIFY2(!CharacterData::load(dir.path(), &error), c.descriptor);
    QVERIFY2(error.contains(c.why), qPrintable(error));

    int id = -1;
    QCOMPARE(CharacterServer::instance()->load(dir.path(), &id), kCharacterInvalid);
    QCOMPARE(id, 0);
  }
  int id = -1;
  QCOMPARE(CharacterServer::instance()->load("/nonexistent/character", &id), kCharacterNotFound);
  QCOMPARE(CharacterServer::instance()->load("", &id), kCharacterNotFound);
  QCOMPARE(id, 0);
}

void TestAgent::sharesOneCharacterBetweenLoads() {
  CharacterServer* server = CharacterServer::instance();
  int first = 0, second = 0;
  QCOMPARE(server->load(DEMO_CHARACTER, &first), kOk);
  QCOMPARE(server->load(QString(DEMO_CHARACTER) + "/../character/character.ini", &second), kOk);
  QCOMPARE(server->character(first), server->character(second));

  QPointer<Character> shared = server->character(first);
  QCOMPARE(server->unload(first), kOk);
  QVERIFY(shared && !server->character(first));
  QCOMPARE(server->character(second), shared.data());
  QCOMPARE(server->unload(second), kOk);
  QVERIFY(!shared);
  QCOMPARE(server->unload(second), kInvalidArgument);
}

void TestAgent::playsRequestsInOrder() {
  Character c(*CharacterData::load(DEMO_CHARACTER));
  c.setPace(0);
  c.setAudible(false);
  Recorder record(c);

  int show = 0, greet = 0, missing = -1, speak = 0, looped = 0, think = 0, hide = 0;
  QCOMPARE(c.show(&show), kOk);
  QCOMPARE(c.play("Greet", &greet), kOk);
  QCOMPARE(c.play("Cartwheel", &missing), kAnimationNotFound);
  QCOMPARE(c.speak("Hello", &speak), kOk);
  QCOMPARE(c.play("Speaking", &looped), kOk); // loops until the next request is waiting
  QCOMPARE(c.think("Hmm", &think), kOk);
  QCOMPARE(c.hide(&hide), kOk);
  QCOMPARE(missing, 0);
  QVERIFY(c.isBusy());
  QVERIFY(!c.isVisible()); // nothing plays before the event loop turns

  QTRY_COMPARE(record.finished.size(), 6);
  const QList<std::pair<int, RequestKind>> expected{
      {show, RequestKind::Show},   {greet, RequestKind::Play},  {speak, RequestKind::Speak},
      {looped, RequestKind::Play}, {think, RequestKind::Think}, {hide, RequestKind::Hide}};
  QCOMPARE(record.started, expected);
  QVERIFY(!c.isBusy());
  QVERIFY(!c.isVisible() && !c.window().isVisible());

  // A looping animation with nothing after it goes on until something is asked.
  QVERIFY(c.show(nullptr) == kOk && c.play("Speaking", nullptr) == kOk);
  QTRY_COMPARE(record.started.size(), 8);
  QTest::qWait(20);
  QVERIFY(c.isBusy());
  int last = 0;
  c.hide(&last);
  QTRY_COMPARE(record.finished.last(), last);
}

void TestAgent::hiddenCharacterShowsAndSaysNothing() {
  Character c(*CharacterData::load(DEMO_CHARACTER));
  c.setPace(0.01);
  c.setAudible(false);
  Recorder record(c);
  bool balloonSeen = false;
  connect(&c, &Character::requestStarted, this,
          [&] { QTimer::singleShot(0, [&] { balloonSeen |= c.window().balloon().has_value(); }); });
  c.speak("Nobody hears this", nullptr);
  c.think("Nor this", nullptr);
  c.play("Greet", nullptr);
  QTRY_COMPARE(record.finished.size(), 3);
  QVERIFY(!balloonSeen);
  QVERIFY(!c.window().isVisible());
}

void TestAgent::balloonsAndWindow() {
  Character c(*CharacterData::load(DEMO_CHARACTER));
  c.setPace(0.01);
  c.setAudible(false);
  CharacterWindow& w = c.window();

  QList<std::optional<BalloonKind>> seen;
  connect(&c, &Character::requestStarted, this, [&] {
    QTimer::singleShot(
        0, [&] { seen.append(w.balloon() ? std::optional(w.balloon()->kind()) : std::nullopt); });
  });
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QCOMPARE(c.setPosition(screen.left() + 300, screen.top() + 400), kOk);
  c.show(nullptr);
  c.speak("Welcome to Deskhaven", nullptr);
  int thought = 0;
  c.think("A long thought that has to wrap over several lines of the balloon", &thought);
  QTRY_COMPARE(seen.size(), 3);
  QCOMPARE(seen[1], BalloonKind::Speech);
  QCOMPARE(seen[2], BalloonKind::Thought);
  // The balloon sits above the character; the character itself does not move.
  QVERIFY(w.geometry().top() < screen.top() + 400);
  QVERIFY(w.width() <= 300);
  QCOMPARE(c.position(), QPoint(screen.left() + 300, screen.top() + 400));

  // Near the top of the screen the balloon goes below; near a side it stays on the screen
  // and the character stays where it was put.
  c.setPosition(screen.left() + 300, screen.top());
  QCOMPARE(w.geometry().top(), screen.top());
  QVERIFY(w.balloon());
  const QPoint nearSide(screen.right() + 1 -
                            CharacterData::load(DEMO_CHARACTER)->frameSize().width(),
                        screen.top() + 400);
  c.setPosition(nearSide.x(), nearSide.y());
  QCOMPARE(w.geometry().right(), screen.right());
  QVERIFY(w.geometry().left() < nearSide.x()); // the balloon was pushed left
  QCOMPARE(c.position(), nearSide);
  // Only what the window draws is part of it, so it needs no compositor to look right.
  QVERIFY(!w.mask().isEmpty());
  QVERIFY(!w.mask().contains(QPoint(0, w.height() - 1)));
  QSignalSpy done(&c, &Character::requestFinished);
  QTRY_VERIFY(done.contains(QVariantList{thought}));
  QVERIFY(!w.balloon());
  QCOMPARE(w.height(), c.data().frameSize().height());
}

void TestAgent::voiceFollowsTheLanguageAndNeedsNoSoundDevice() {
  Character c(*CharacterData::load(DEMO_CHARACTER));
  QCOMPARE(c.setLanguage(2057), kOk);
  QCOMPARE(c.setLanguage(12345), kLanguageNotSupported);
  QCOMPARE(c.voiceName(), "en-gb");
  Voice& voice = Voice::instance();
  // Reading aloud with no sound device must neither block nor spoil what follows.
  voice.speak("Nobody is listening", "en-us");
  const auto samples = voice.synthesize("Welcome to Deskhaven", "en-us");
  QVERIFY(samples.size() > static_cast<size_t>(voice.sampleRate() / 2));
  QVERIFY(std::any_of(samples.begin(), samples.end(), [](auto s) { return std::abs(s) > 1000; }));
  QVERIFY(voice.synthesize("Hello", "no-such-voice").empty());
}

QTEST_MAIN(TestAgent)
#include "tst_agent.moc"
