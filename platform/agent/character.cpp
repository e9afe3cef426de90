#include "platform/agent/character.h"

#include "platform/agent/characterwindow.h"
#include "platform/agent/voice.h"

#include <QTimer>

#include <atomic>
#include <cmath>

namespace dh::agent {

namespace {

std::atomic<int> lastRequestId{0};

// The languages the character can speak, by Windows language id.
QString voiceForLanguage(int languageId) {
  switch (languageId) {
  case 1033:
    return QStringLiteral("en-us");
  case 2057:
    return QStringLiteral("en-gb");
  case 1031:
    return QStringLiteral("de");
  case 1036:
    return QStringLiteral("fr");
  case 1034:
  case 3082:
    return QStringLiteral("es");
  case 1043:
    return QStringLiteral("nl");
  default:
    return {};
  }
}

} // namespace

Character::Character(CharacterData data, QObject* parent)
    : QObject(parent), data_(std::move(data)),
      window_(std::make_unique<CharacterWindow>(data_.frameSize())) {
  window_->setFrame(data_.restingFrame());
}

Character::~Character() = default;

Result Character::show(int* requestId) {
  return enqueue(RequestKind::Show, {}, requestId);
}

Result Character::hide(int* requestId) {
  return enqueue(RequestKind::Hide, {}, requestId);
}

Result Character::play(const QString& animation, int* requestId) {
  if (!data_.animation(animation)) {
    if (requestId)
      *requestId = 0;
    return kAnimationNotFound;
  }
  return enqueue(RequestKind::Play, animation, requestId);
}

Result Character::speak(const QString& text, int* requestId) {
  return enqueue(RequestKind::Speak, text, requestId);
}

Result Character::think(const QString& text, int* requestId) {
  return enqueue(RequestKind::Think, text, requestId);
}

Result Character::setPosition(int x, int y) {
  window_->setCharacterPosition(QPoint(x, y));
  return kOk;
}

QPoint Character::position() const {
  return window_->characterPosition();
}

Result Character::setLanguage(int languageId) {
  const QString voice = voiceForLanguage(languageId);
  if (voice.isEmpty())
    return kLanguageNotSupported;
  voice_ = voice;
  return kOk;
}

Result Character::enqueue(RequestKind kind, const QString& argument, int* requestId) {
  const int id = ++lastRequestId;
  queue_.push_back(Request{id, kind, argument});
  if (requestId)
    *requestId = id;
  if (!current_ && queue_.size() == 1)
    QTimer::singleShot(0, this, [this] { startNext(); });
  return kOk;
}

void Character::startNext() {
  if (current_ || queue_.empty())
    return;
  current_ = queue_.front();
  queue_.pop_front();
  emit requestStarted(current_->id, current_->kind);
  begin(*current_);
}

void Character::finish() {
  const int id = current_->id;
  current_.reset();
  emit requestFinished(id);
  startNext();
}

void Character::showResting() {
  window_->setFrame(data_.restingFrame());
}

void Character::begin(const Request& request) {
  const bool talking = request.kind == RequestKind::Speak || request.kind == RequestKind::Think;
  if (!visible_ && request.kind != RequestKind::Show) {
    // Nothing of a hidden character is seen or heard.
    finish();
    return;
  }
  switch (request.kind) {
  case RequestKind::Show:
    if (visible_)
      return finish();
    visible_ = true;
    window_->show();
    return animate(data_.showing(), 0, 0, 0, [this] {
      showResting();
      finish();
    });
  case RequestKind::Hide:
    return animate(data_.hiding(), 0, 0, 0, [this] {
      visible_ = false;
      window_->clearBalloon();
      window_->hide();
      showResting();
      finish();
    });
  case RequestKind::Play:
    return animate(data_.animation(request.argument), 0, 0, 0, [this] {
      showResting();
      finish();
    });
  case RequestKind::Speak:
  case RequestKind::Think:
    break;
  }
  Q_ASSERT(talking);
  const bool aloud = request.kind == RequestKind::Speak;
  window_->showBalloon(aloud ? BalloonKind::Speech : BalloonKind::Thought, request.argument);
  if (aloud && audible_)
    Voice::instance().speak(request.argument, voice_);
  const int budget = Balloon::readingMs(request.argument);
  auto done = [this] {
    window_->clearBalloon();
    showResting();
    finish();
  };
  const Animation* mouth = aloud ? data_.speaking() : nullptr;
  if (mouth)
    animate(mouth, 0, 0, budget, done);
  else
    after(budget, done);
}

void Character::animate(const Animation* animation, int index, int elapsedMs, int budgetMs,
                        std::function<void()> done) {
  if (!animation || (budgetMs > 0 && elapsedMs >= budgetMs))
    return done();
  // A looping animation without a budget gives way as soon as another request waits.
  const bool givesWay = animation->loops && budgetMs == 0 && index > 0 && !queue_.empty();
  if (givesWay || (index >= animation->frames.size() && !animation->loops))
    return done();
  index %= animation->frames.size();
  window_->setFrame(animation->frames[index]);
  after(animation->frameMs, [=, this, done = std::move(done)]() mutable {
    animate(animation, index + 1, elapsedMs + animation->frameMs, budgetMs, std::move(done));
  });
}

void Character::after(int ms, std::function<void()> then) {
  QTimer::singleShot(static_cast<int>(std::lround(ms * pace_)), this, std::move(then));
}

} // namespace dh::agent
