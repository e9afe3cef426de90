// The character server: one per process, shared by every helper object in it. Loading
// the same character twice gives two ids for one character on screen, so that whatever
// one owner shows, the others' words appear beside it.
#pragma once

#include "platform/agent/results.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

namespace dh::agent {

class Character;

class CharacterServer : public QObject {
  Q_OBJECT

public:
  // The process's server, made on first use; null before the application object exists
  // (no window can be shown then). It lives as long as the application object.
  static CharacterServer* instance();

  // Loads the character in a folder or descriptor file. On failure the id is 0 and, when
  // error is given, it says why.
  Result load(const QString& path, int* characterId, QString* error = nullptr);
  // The character behind an id, null for an unknown or unloaded id.
  Character* character(int characterId) const;
  // Gives up an id; the character goes when its last id does.
  Result unload(int characterId);

private:
  explicit CharacterServer(QObject* parent);

  struct Loaded {
    std::shared_ptr<Character> character;
    QString descriptor;
  };
  std::map<int, Loaded> loaded_;
  int lastId_ = 0;
};

} // namespace dh::agent
