// A loaded character and its request queue. Show, hide, play, speak and think are queued
// and played one after another; each gets an id. Position and language apply at once.
#pragma once

#include "platform/agent/characterdata.h"
#include "platform/agent/results.h"

#include <QObject>
#include <QPoint>

#include <deque>
#include <functional>
#include <memory>

namespace dh::agent {

class CharacterWindow;

enum class RequestKind { Show, Hide, Play, Speak, Think };

class Character : public QObject {
  Q_OBJECT

public:
  explicit Character(CharacterData data, QObject* parent = nullptr);
  ~Character() override;

  const CharacterData& data() const { return data_; }
  CharacterWindow& window() { return *window_; }

  Result show(int* requestId);
  Result hide(int* requestId);
  // An animation the character does not have is refused and nothing is queued.
  Result play(const QString& animation, int* requestId);
  // Speaking shows a speech balloon and reads the text aloud; thinking shows a thought
  // balloon in silence. While the character is hidden neither shows nor says anything.
  Result speak(const QString& text, int* requestId);
  Result think(const QString& text, int* requestId);

  Result setPosition(int x, int y);
  QPoint position() const;
  // A Windows language id (1033 English, United States, ...) choosing the voice.
  Result setLanguage(int languageId);
  QString voiceName() const { return voice_; }

  bool isVisible() const { return visible_; }
  bool isBusy() const { return current_ || !queue_.empty(); }

  // Scales every duration; 0 plays each request at the next turn of the event loop.
  void setPace(double factor) { pace_ = factor; }
  void setAudible(bool audible) { audible_ = audible; }

signals:
  void requestStarted(int id, dh::agent::RequestKind kind);
  void requestFinished(int id);

private:
  struct Request {
    int id;
    RequestKind kind;
    QString argument; // animation name or text
  };

  Result enqueue(RequestKind kind, const QString& argument, int* requestId);
  void startNext();
  void begin(const Request& request);
  void finish();
  void showResting();
  // Plays frames from index on; a looping animation goes on until a request waits, or
  // until budgetMs has passed when a budget is given.
  void animate(const Animation* animation, int index, int elapsedMs, int budgetMs,
               std::function<void()> done);
  void after(int ms, std::function<void()> then);

  CharacterData data_;
  std::unique_ptr<CharacterWindow> window_;
  std::deque<Request> queue_;
  std::optional<Request> current_;
  bool visible_ = false;
  bool audible_ = true;
  double pace_ = 1.0;
  QString voice_ = QStringLiteral("en-us");
};

} // namespace dh::agent
