#include "common/settings.h"

#include "platform/registry/registry.h"

#include <cstring>
#include <fstream>
#include <limits>

namespace dh {

namespace {

constexpr const char* kPolicyKey =
    "Software\\Policies\\Halvane\\Network Management\\UserTypeIndicator";

std::uint32_t bufferFor(const char* name) {
  if (std::strcmp(name, setting::kAgentPath) == 0)
    return std::numeric_limits<std::uint32_t>::max();
  if (std::strcmp(name, setting::kPrintFileTypes) == 0)
    return 500;
  return reg::kTextBytes;
}

// A settings text that distinguishes a missing value from an empty one.
bool readPictureFolder(const reg::Key& settings, const char* name, std::string& folder) {
  reg::Value value;
  if (settings.query(name, value) != reg::kSuccess || value.data.size() > reg::kTextBytes)
    return false;
  folder = reg::dataText(value.data);
  return true;
}

bool readable(const std::string& path) {
  return std::ifstream(path, std::ios::binary).is_open();
}

} // namespace

std::optional<ClassPlace> classPlaceOf(ClassStore store) {
  switch (store) {
  case ClassStore::Machine:
    return ClassPlace{reg::Root::LocalMachine, kPlotbenchKey};
  case ClassStore::User:
    return ClassPlace{reg::Root::CurrentUser, kFieldbenchKey};
  case ClassStore::None:
    break;
  }
  return std::nullopt;
}

std::string readSetting(const char* name) {
  return reg::readText(reg::Root::LocalMachine, kSettingsKey, name, bufferFor(name), true);
}

std::string GetDefaultPicturesFolder() {
  return readSetting(setting::kDefaultPictures);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/')
    return folder + name;
  return folder + '/' + name;
}

std::string GetUserTypePicturePath() {
  const std::string name =
      reg::readText(reg::Root::CurrentUser, kPolicyKey, "InfoTip", reg::kTextBytes, true);
  if (name.empty())
    return {};
  reg::Key settings;
  if (reg::Key::open(reg::Root::LocalMachine, kSettingsKey, reg::Access::Read, settings) !=
      reg::kSuccess)
    return {};
  std::string folder;
  if (readPictureFolder(settings, setting::kUserDefinedPictures, folder)) {
    if (folder.empty())
      return {}; // an empty user folder means: no indicator, not the default one
    if (std::string candidate = joinPath(folder, name + ".bmp"); readable(candidate))
      return candidate;
  }
  if (readPictureFolder(settings, setting::kDefaultPictures, folder) && !folder.empty()) {
    if (std::string candidate = joinPath(folder, name + ".bmp"); readable(candidate))
      return candidate;
  }
  return {};
}

} // namespace dh
