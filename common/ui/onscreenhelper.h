// The OnScreen Helper: the animated character that greets the pupil and says the tool tip
// of the button under the mouse. Every owner has its own helper; all of them share the
// process's character server and, through it, one character on screen. A helper whose
// character cannot be loaded does nothing, and its owner goes on working.
#pragma once

#include "platform/agent/characterserver.h"

#include <QPointer>
#include <QString>

#include <chrono>
#include <cstdint>
#include <string>

namespace dh {

namespace agent {
class Character;
} // namespace agent

class OnScreenHelper {
public:
  using HRESULT = std::int32_t;

  // Loads the character named by the setting "msAgent Path" and gives it the English voice.
  OnScreenHelper();
  ~OnScreenHelper();
  OnScreenHelper(const OnScreenHelper&) = delete;
  OnScreenHelper& operator=(const OnScreenHelper&) = delete;

  void SetSchemeName(const std::string& name) { schemeName_ = name; }

  // Says the text: in a thought balloon when the scheme's "Silent" value is nonzero, or
  // cannot be read; aloud with a speech balloon when it is zero.
  HRESULT Say(const std::string& text);
  // Shows the character, greets, and idles (the shell only).
  HRESULT ShowWithGreeting();
  // Hides the character and returns once the hiding animation is over.
  HRESULT HideCharacter();
  HRESULT MoveTo(int x, int y);

  HRESULT lastResult() const { return lastResult_; }
  int requestId() const { return requestId_; }
  // The longest HideCharacter waits for the hiding animation (2 seconds).
  void setHideWait(std::chrono::milliseconds wait) { hideWait_ = wait; }

private:
  dh::agent::Character* character() const;
  HRESULT play(const char* animation);

  HRESULT lastResult_ = 0;
  QPointer<dh::agent::CharacterServer> agent_;
  QString loadKey_;
  int characterId_ = 0;
  int requestId_ = 0;
  std::string schemeName_;
  std::chrono::milliseconds hideWait_{2000};
};

} // namespace dh
