#include "platform/registry/registry.h"

#include "platform/registry/hive.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

namespace dh::reg {

namespace {

std::mutex hivesMutex;
std::function<HiveSetup()> locator;
std::optional<HiveSetup> located; // asked of the locator at the first use after a reset
std::shared_ptr<Hive> machineHive;
std::shared_ptr<Hive> userHive;
std::shared_ptr<Hive> defaultUserHive;

// HKEY_CLASSES_ROOT is the machine's Software\Classes key.
constexpr std::string_view kClassesPrefix = "Software\\Classes";

std::string joinPath(std::string_view a, std::string_view b) {
  while (!b.empty() && b.front() == '\\')
    b.remove_prefix(1);
  if (a.empty())
    return std::string(b);
  if (b.empty())
    return std::string(a);
  return std::string(a) + '\\' + std::string(b);
}

std::string stripPrefix(Root root, const std::string& stored) {
  auto prefix = rootPrefix(root);
  if (prefix.empty())
    return stored;
  return stored.size() > prefix.size() ? stored.substr(prefix.size() + 1) : std::string();
}

} // namespace

// A key opened for reading with at most this many values reads them with the key.
constexpr std::size_t kSnapshotValues = 64;

struct Key::Impl {
  std::shared_ptr<Hive> hive;
  Root root;
  std::int64_t id;
  std::string storedPath; // inside the hive, with the root's prefix
  Access access;
  bool hasSnapshot = false;
  std::vector<Hive::FoldedValue> snapshot{}; // the values as they were at open
  // The same key in the default-user hive, read beneath this one's own values.
  std::shared_ptr<Hive> lower{};
  std::int64_t lowerId = 0;
};

namespace {

// Where the hives are; the caller holds hivesMutex.
const HiveSetup& hiveSetup() {
  if (!located)
    located = locator ? locator() : HiveSetup{};
  return *located;
}

} // namespace

void setHiveLocator(std::function<HiveSetup()> locate) {
  {
    std::lock_guard lock(hivesMutex);
    locator = std::move(locate);
  }
  resetHives();
}

int lockWaitSeconds() {
  std::lock_guard lock(hivesMutex);
  return hiveSetup().lockWaitSeconds;
}

void resetHives() {
  std::lock_guard lock(hivesMutex);
  located.reset();
  machineHive.reset();
  userHive.reset();
  defaultUserHive.reset();
}

std::shared_ptr<Hive> hiveFor(Root root) {
  std::lock_guard lock(hivesMutex);
  auto& slot = root == Root::CurrentUser ? userHive : machineHive;
  if (!slot)
    slot =
        std::make_shared<Hive>(root == Root::CurrentUser ? hiveSetup().user : hiveSetup().machine);
  return slot;
}

// The default-user hive beneath HKEY_CURRENT_USER; none for the other roots, and none when
// the user hive is the default-user hive itself (an administrator writing the defaults).
std::shared_ptr<Hive> lowerHiveFor(Root root) {
  if (root != Root::CurrentUser)
    return nullptr;
  std::lock_guard lock(hivesMutex);
  const HiveSetup& paths = hiveSetup();
  if (!defaultUserHive && paths.defaultUser != paths.user)
    defaultUserHive = std::make_shared<Hive>(paths.defaultUser);
  return defaultUserHive;
}

std::string_view rootPrefix(Root root) {
  return root == Root::ClassesRoot ? kClassesPrefix : std::string_view();
}

std::string rootName(Root root) {
  switch (root) {
  case Root::LocalMachine:
    return "HKEY_LOCAL_MACHINE";
  case Root::CurrentUser:
    return "HKEY_CURRENT_USER";
  case Root::ClassesRoot:
    return "HKEY_CLASSES_ROOT";
  }
  return {};
}

bool parseRootedPath(std::string_view full, Root& root, std::string& path) {
  static const struct {
    std::string_view name;
    Root root;
  } names[] = {{"HKEY_LOCAL_MACHINE", Root::LocalMachine}, {"HKLM", Root::LocalMachine},
               {"HKEY_CURRENT_USER", Root::CurrentUser},   {"HKCU", Root::CurrentUser},
               {"HKEY_CLASSES_ROOT", Root::ClassesRoot},   {"HKCR", Root::ClassesRoot}};
  std::size_t end = full.find('\\');
  std::string head = foldName(full.substr(0, end));
  for (const auto& n : names) {
    if (head == foldName(n.name)) {
      root = n.root;
      path = end == std::string_view::npos ? std::string() : std::string(full.substr(end + 1));
      while (!path.empty() && path.back() == '\\')
        path.pop_back();
      return true;
    }
  }
  return false;
}

std::vector<std::uint8_t> textData(std::string_view text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::vector<std::uint8_t> dwordData(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::string dataText(const std::vector<std::uint8_t>& data) {
  auto* begin = reinterpret_cast<const char*>(data.data());
  return std::string(begin, strnlen(begin, data.size()));
}

Key::Key() = default;
Key::Key(Key&&) noexcept = default;
Key& Key::operator=(Key&&) noexcept = default;
Key::~Key() = default;

void Key::close() {
  impl_.reset();
}

std::string Key::path() const {
  return impl_ ? stripPrefix(impl_->root, impl_->storedPath) : std::string();
}

Root Key::root() const {
  return impl_ ? impl_->root : Root::LocalMachine;
}

namespace {

// Reads the key's twin in the default-user hive beneath it; values, when given, are the
// twin's values for the key's snapshot (none: the key reads the hives at each query).
void addLower(Key::Impl& impl, std::shared_ptr<Hive> lower, std::int64_t id,
              const std::vector<Hive::FoldedValue>* values) {
  if (!lower)
    return;
  impl.lower = std::move(lower);
  impl.lowerId = id;
  if (!impl.hasSnapshot)
    return;
  if (!values) {
    impl.hasSnapshot = false;
    impl.snapshot.clear();
    return;
  }
  for (const auto& beneath : *values) {
    const bool shadowed =
        std::any_of(impl.snapshot.begin(), impl.snapshot.end(),
                    [&](const Hive::FoldedValue& own) { return own.folded == beneath.folded; });
    if (!shadowed)
      impl.snapshot.push_back(beneath);
  }
}

// The entries of own, then those of beneath whose name own lacks, sorted by folded name.
template <typename T, typename NameOf>
void mergeBeneath(std::vector<T>& own, std::vector<T>& beneath, NameOf nameOf) {
  std::vector<std::pair<std::string, T>> merged;
  for (auto* list : {&own, &beneath})
    for (auto& entry : *list)
      merged.emplace_back(foldName(nameOf(entry)), std::move(entry));
  std::stable_sort(merged.begin(), merged.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  merged.erase(std::unique(merged.begin(), merged.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }),
               merged.end());
  own.clear();
  for (auto& entry : merged)
    own.push_back(std::move(entry.second));
}

} // namespace

Status Key::open(Root root, std::string_view path, Access access, Key& out) {
  out.close();
  auto hive = hiveFor(root);
  std::int64_t id = 0;
  std::string stored;
  const std::string full = joinPath(rootPrefix(root), path);
  std::vector<Hive::FoldedValue> values;
  bool complete = false;
  std::int64_t lowerId = 0;
  std::string lowerStored;
  std::vector<Hive::FoldedValue> lowerValues;
  bool lowerComplete = false;
  auto lower = lowerHiveFor(root);
  if (lower && lower->findKeyWithValues(full, kSnapshotValues, lowerId, lowerStored, lowerValues,
                                        lowerComplete) != kSuccess)
    lower.reset();
  Status st = kSuccess;
  bool onlyBeneath = false;
  if (access == Access::Read) {
    st = hive->findKeyWithValues(full, kSnapshotValues, id, stored, values, complete);
    onlyBeneath = st == kFileNotFound && lower;
    if (onlyBeneath) { // only the default-user hive has the key: read it from there alone
      hive = std::move(lower);
      id = lowerId;
      stored = std::move(lowerStored);
      complete = lowerComplete;
      values = std::move(lowerValues);
      st = kSuccess;
    }
  } else if (st = hive->writable(); st == kSuccess) {
    st = hive->findKey(full, id, stored);
    // A user about to write a default-user key gets a key of their own above it.
    if (st == kFileNotFound && lower)
      st = hive->createKey(full, id, stored, nullptr);
  }
  if (st != kSuccess)
    return st;
  out.impl_.reset(new Impl{.hive = std::move(hive),
                           .root = root,
                           .id = id,
                           .storedPath = std::move(stored),
                           .access = access,
                           .hasSnapshot = complete,
                           .snapshot = std::move(values)});
  if (!onlyBeneath)
    addLower(*out.impl_, std::move(lower), lowerId, lowerComplete ? &lowerValues : nullptr);
  return kSuccess;
}

Status Key::create(Root root, std::string_view path, Key& out, bool* created) {
  out.close();
  auto hive = hiveFor(root);
  if (Status st = hive->writable(); st != kSuccess)
    return st;
  std::int64_t id = 0;
  std::string stored;
  const std::string full = joinPath(rootPrefix(root), path);
  if (Status st = hive->createKey(full, id, stored, created); st != kSuccess)
    return st;
  out.impl_.reset(new Impl{.hive = std::move(hive),
                           .root = root,
                           .id = id,
                           .storedPath = std::move(stored),
                           .access = Access::AllAccess});
  std::int64_t lowerId = 0;
  std::string lowerStored;
  if (auto lower = lowerHiveFor(root);
      lower && lower->findKey(full, lowerId, lowerStored) == kSuccess)
    addLower(*out.impl_, std::move(lower), lowerId, nullptr);
  return kSuccess;
}

Status Key::openSubkey(std::string_view path, Access access, Key& out) const {
  if (!impl_)
    return kInvalidHandle;
  return open(impl_->root, joinPath(this->path(), path), access, out);
}

Status Key::createSubkey(std::string_view path, Key& out, bool* created) const {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->access == Access::Read)
    return kAccessDenied;
  return create(impl_->root, joinPath(this->path(), path), out, created);
}

Status Key::query(std::string_view name, Value& out) const {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->hasSnapshot) {
    const std::string folded = foldName(name);
    for (const auto& v : impl_->snapshot) {
      if (v.folded == folded) {
        out = v.value;
        return kSuccess;
      }
    }
    return kFileNotFound;
  }
  Status st = impl_->hive->queryValue(impl_->id, name, out.type, out.data);
  if (st == kFileNotFound && impl_->lower)
    st = impl_->lower->queryValue(impl_->lowerId, name, out.type, out.data);
  if (st == kFileNotFound && !impl_->hive->keyExists(impl_->id))
    return kKeyDeleted;
  if (st == kSuccess)
    out.name = std::string(name);
  return st;
}

Status Key::query(std::string_view name, Type* type, void* data, std::uint32_t* size) const {
  if (data && !size)
    return kInvalidParameter;
  Value value;
  if (Status st = query(name, value); st != kSuccess)
    return st;
  if (type)
    *type = value.type;
  auto length = static_cast<std::uint32_t>(value.data.size());
  if (data) {
    if (*size < length) {
      *size = length;
      return kMoreData;
    }
    if (length)
      std::memcpy(data, value.data.data(), length);
  }
  if (size)
    *size = length;
  return kSuccess;
}

Status Key::set(std::string_view name, Type type, const void* data, std::uint32_t size) {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->access == Access::Read)
    return kAccessDenied;
  if (size && !data)
    return kInvalidParameter;
  return impl_->hive->setValue(impl_->id, name, type, data, size);
}

Status Key::deleteValue(std::string_view name) {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->access == Access::Read)
    return kAccessDenied;
  return impl_->hive->deleteValue(impl_->id, name);
}

Status Key::deleteTree(std::string_view subkey) {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->access == Access::Read)
    return kAccessDenied;
  if (subkey.empty())
    return impl_->hive->deleteTree(impl_->storedPath, true);
  std::int64_t id = 0;
  std::string stored;
  std::string full = joinPath(impl_->storedPath, subkey);
  if (Status st = impl_->hive->findKey(full, id, stored); st != kSuccess)
    return st;
  return impl_->hive->deleteTree(full, false);
}

Status Key::subkeys(std::vector<std::string>& names) const {
  if (!impl_)
    return kInvalidHandle;
  if (Status st = impl_->hive->subkeys(impl_->id, names); st != kSuccess || !impl_->lower)
    return st;
  std::vector<std::string> beneath;
  if (Status st = impl_->lower->subkeys(impl_->lowerId, beneath); st != kSuccess)
    return st;
  mergeBeneath(names, beneath, [](const std::string& name) { return name; });
  return kSuccess;
}

Status Key::values(std::vector<Value>& values) const {
  if (!impl_)
    return kInvalidHandle;
  if (impl_->hasSnapshot) {
    auto sorted = impl_->snapshot;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.folded < b.folded; });
    values.clear();
    for (auto& v : sorted)
      values.push_back(std::move(v.value));
    return kSuccess;
  }
  if (Status st = impl_->hive->values(impl_->id, values); st != kSuccess || !impl_->lower)
    return st;
  std::vector<Value> beneath;
  if (Status st = impl_->lower->values(impl_->lowerId, beneath); st != kSuccess)
    return st;
  mergeBeneath(values, beneath, [](const Value& value) { return value.name; });
  return kSuccess;
}

std::string readText(Root root, std::string_view path, std::string_view name,
                     std::uint32_t bufferBytes, bool anyType) {
  Key key;
  if (Key::open(root, path, Access::Read, key) != kSuccess)
    return {};
  Value value;
  if (key.query(name, value) != kSuccess || value.data.size() > bufferBytes)
    return {};
  if (!anyType && value.type != Type::Sz && value.type != Type::ExpandSz)
    return {};
  return dataText(value.data);
}

std::optional<std::uint32_t> readDword(Root root, std::string_view path, std::string_view name) {
  Key key;
  if (Key::open(root, path, Access::Read, key) != kSuccess)
    return std::nullopt;
  Value value;
  if (key.query(name, value) != kSuccess || value.type != Type::Dword || value.data.size() != 4)
    return std::nullopt;
  return static_cast<std::uint32_t>(value.data[0]) |
         (static_cast<std::uint32_t>(value.data[1]) << 8) |
         (static_cast<std::uint32_t>(value.data[2]) << 16) |
         (static_cast<std::uint32_t>(value.data[3]) << 24);
}

Transaction::Transaction(Root root) : hive_(hiveFor(root)), status_(hive_->begin()) {
  done_ = status_ != kSuccess;
}

Transaction::~Transaction() {
  if (!done_)
    hive_->rollback();
}

Status Transaction::commit() {
  if (done_)
    return status_ == kSuccess ? kInvalidHandle : status_;
  done_ = true;
  return status_ = hive_->commit();
}

} // namespace dh::reg
