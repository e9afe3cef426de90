#include "common/ui/onscreenhelper.h"

#include "common/settings.h"
#include "platform/agent/character.h"
#include "platform/registry/registry.h"

#include <QEventLoop>
#include <QTimer>

namespace dh {

namespace {

constexpr int kEnglishUnitedStates = 1033;
constexpr const char* kGreeting = "Welcome to Deskhaven";

} // namespace

OnScreenHelper::OnScreenHelper() : agent_(dh::agent::CharacterServer::instance()) {
  if (!agent_) {
    lastResult_ = dh::agent::kNoServer;
    return;
  }
  loadKey_ = QString::fromStdString(dh::readSetting(dh::setting::kAgentPath));
  lastResult_ = agent_->load(loadKey_, &characterId_);
  if (auto* c = character())
    lastResult_ = c->setLanguage(kEnglishUnitedStates);
}

OnScreenHelper::~OnScreenHelper() {
  if (agent_ && characterId_ != 0)
    agent_->unload(characterId_);
}

dh::agent::Character* OnScreenHelper::character() const {
  return agent_ ? agent_->character(characterId_) : nullptr;
}

OnScreenHelper::HRESULT OnScreenHelper::Say(const std::string& text) {
  // Read on every call: the shell's Options menu may have changed it a moment ago.
  const auto silent = dh::reg::readDword(
      dh::reg::Root::LocalMachine, std::string(dh::kSchemesKey) + "\\" + schemeName_ + "\\Defaults",
      "Silent");
  auto* c = character();
  if (!c)
    return lastResult_ = dh::agent::kNotLoaded;
  const QString words = QString::fromStdString(text);
  // A classroom is better served by a quiet helper than by one that starts talking
  // because a value is missing: only an explicit zero lets it speak aloud.
  const bool aloud = silent && *silent == 0;
  lastResult_ = aloud ? c->speak(words, &requestId_) : c->think(words, &requestId_);
  return lastResult_;
}

OnScreenHelper::HRESULT OnScreenHelper::play(const char* animation) {
  auto* c = character();
  return lastResult_ =
             c ? c->play(QString::fromLatin1(animation), &requestId_) : dh::agent::kNotLoaded;
}

OnScreenHelper::HRESULT OnScreenHelper::ShowWithGreeting() {
  auto* c = character();
  if (!c)
    return lastResult_ = dh::agent::kNotLoaded;
  lastResult_ = c->show(&requestId_);
  play("Greet");
  Say(kGreeting);
  return play("Idle1_1");
}

OnScreenHelper::HRESULT OnScreenHelper::HideCharacter() {
  auto* c = character();
  if (!c)
    return lastResult_ = dh::agent::kNotLoaded;
  lastResult_ = c->hide(&requestId_);
  if (lastResult_ != dh::agent::kOk)
    return lastResult_;
  // The character is animated on this thread, so a plain sleep would freeze the very
  // animation it waits for. A local loop keeps painting and timers going but holds back
  // the pupil's input until the character is gone or the wait is over.
  QEventLoop loop;
  const int hideId = requestId_;
  QObject::connect(c, &dh::agent::Character::requestFinished, &loop, [&loop, hideId](int id) {
    if (id == hideId)
      loop.quit();
  });
  QTimer::singleShot(hideWait_, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return lastResult_;
}

OnScreenHelper::HRESULT OnScreenHelper::MoveTo(int x, int y) {
  auto* c = character();
  return lastResult_ = c ? c->setPosition(x, y) : dh::agent::kNotLoaded;
}

} // namespace dh
