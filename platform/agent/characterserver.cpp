#include "platform/agent/characterserver.h"

#include "platform/agent/character.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace dh::agent {

CharacterServer::CharacterServer(QObject* parent) : QObject(parent) {}

CharacterServer* CharacterServer::instance() {
  static QPointer<CharacterServer> server;
  if (!server && QCoreApplication::instance())
    server = new CharacterServer(QCoreApplication::instance());
  return server;
}

Result CharacterServer::load(const QString& path, int* characterId, QString* error) {
  if (characterId)
    *characterId = 0;
  auto data = CharacterData::load(path, error);
  if (!data)
    return QFileInfo::exists(path) ? kCharacterInvalid : kCharacterNotFound;
  std::shared_ptr<Character> character;
  for (const auto& [id, entry] : loaded_) {
    if (entry.descriptor == data->descriptorPath())
      character = entry.character;
  }
  if (!character)
    character = std::make_shared<Character>(std::move(*data));
  const int id = ++lastId_;
  loaded_[id] = Loaded{character, character->data().descriptorPath()};
  if (characterId)
    *characterId = id;
  return kOk;
}

Character* CharacterServer::character(int characterId) const {
  const auto it = loaded_.find(characterId);
  return it == loaded_.end() ? nullptr : it->second.character.get();
}

Result CharacterServer::unload(int characterId) {
  return loaded_.erase(characterId) ? kOk : kInvalidArgument;
}

} // namespace dh::agent
