#include "tools/classselect/classplace.h"

#include <QString>

namespace dh::classselect {

std::optional<ClassPlace> classPlace(int mode) {
  return classPlaceOf(shellClassStore(mode));
}

std::vector<std::string> configuredClasses() {
  std::vector<std::string> classes;
  reg::Key key;
  if (reg::Key::open(reg::Root::LocalMachine, kClassSchemesKey, reg::Access::Read, key) !=
      reg::kSuccess)
    return classes;
  std::vector<reg::Value> values;
  if (key.values(values) != reg::kSuccess)
    return classes;
  for (const auto& value : values)
    if (!value.name.empty())
      classes.push_back(value.name);
  return classes;
}

std::string currentClass(const ClassPlace& place) {
  return reg::readText(place.root, place.key, kCurrentClassValue);
}

reg::Status recordClass(const ClassPlace& place, const std::string& cls) {
  reg::Key key;
  if (const reg::Status st = reg::Key::create(place.root, place.key, key); st != reg::kSuccess)
    return st;
  return key.set(kCurrentClassValue, reg::Type::Sz, reg::textData(cls));
}

std::optional<std::string> findClass(const std::vector<std::string>& classes,
                                     const std::string& cls) {
  const QString wanted = QString::fromStdString(cls);
  for (const auto& candidate : classes)
    if (QString::fromStdString(candidate).compare(wanted, Qt::CaseInsensitive) == 0)
      return candidate;
  return std::nullopt;
}

} // namespace dh::classselect
