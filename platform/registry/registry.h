// The registry: a tree of keys holding typed values, kept in two SQLite hive files.
//
// The machine hive holds HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT (which is the
// machine's "Software\Classes" key), the user hive holds HKEY_CURRENT_USER. Key and value
// names compare without regard to case and keep the case they were created with. Every
// call returns one of the Windows error codes below, which is what callers test.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dh::reg {

using Status = std::int32_t;
inline constexpr Status kSuccess = 0;           // ERROR_SUCCESS
inline constexpr Status kFileNotFound = 2;      // ERROR_FILE_NOT_FOUND
inline constexpr Status kAccessDenied = 5;      // ERROR_ACCESS_DENIED
inline constexpr Status kInvalidHandle = 6;     // ERROR_INVALID_HANDLE
inline constexpr Status kInvalidParameter = 87; // ERROR_INVALID_PARAMETER
inline constexpr Status kMoreData = 234;        // ERROR_MORE_DATA
inline constexpr Status kNoMoreItems = 259;     // ERROR_NO_MORE_ITEMS
inline constexpr Status kBadDatabase = 1009;    // ERROR_BADDB: the hive is corrupt
inline constexpr Status kKeyDeleted = 1018;     // ERROR_KEY_DELETED
inline constexpr Status kWriteFault = 29;       // ERROR_WRITE_FAULT: the disk refused the write
inline constexpr Status kTimeout = 1460;        // ERROR_TIMEOUT: another process kept it locked

enum class Root { LocalMachine, CurrentUser, ClassesRoot };

enum class Type : std::uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  MultiSz = 7,
};

enum class Access { Read, Write, AllAccess };

struct Value {
  std::string name;
  Type type = Type::None;
  std::vector<std::uint8_t> data;
};

// Texts are stored as UTF-8 bytes followed by one terminating zero, as the narrow
// registry functions store them.
std::vector<std::uint8_t> textData(std::string_view text);
std::vector<std::uint8_t> dwordData(std::uint32_t value);
// The text of REG_SZ/REG_EXPAND_SZ data: everything before the first zero byte.
std::string dataText(const std::vector<std::uint8_t>& data);

// An open key. Moving is allowed, copying is not; the destructor closes it.
// A key opened for reading that has at most 64 values reads them as it opens and answers
// queries from what it read: reopen it to see later changes. (Readers here open, read and
// close at each use; one file-locking round trip instead of two keeps a read fast.) Keys
// opened for writing, and keys with more values, always read the hive as it is now.
class Key {
public:
  Key();
  Key(Key&&) noexcept;
  Key& operator=(Key&&) noexcept;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key();

  // Opens an existing key. Write and AllAccess fail with kAccessDenied when the hive
  // cannot be written by this user.
  static Status open(Root root, std::string_view path, Access access, Key& out);
  // Opens a key, creating it and any missing parents; always asks for write access.
  static Status create(Root root, std::string_view path, Key& out, bool* created = nullptr);
  // Opens a subkey of this key.
  Status openSubkey(std::string_view path, Access access, Key& out) const;
  Status createSubkey(std::string_view path, Key& out, bool* created = nullptr) const;

  bool isOpen() const { return impl_ != nullptr; }
  void close();
  // The key's path below its root as stored (case preserved), "" for the root itself.
  std::string path() const;
  Root root() const;

  // Win32-style query: with data null, *size receives the value's length. With a
  // buffer of *size bytes that is too small the call fails with kMoreData and *size
  // receives the length needed. type may be null. An empty name is the default value.
  Status query(std::string_view name, Type* type, void* data, std::uint32_t* size) const;
  // Reads the whole value.
  Status query(std::string_view name, Value& out) const;
  Status set(std::string_view name, Type type, const void* data, std::uint32_t size);
  Status set(std::string_view name, Type type, const std::vector<std::uint8_t>& data) {
    return set(name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  }
  Status deleteValue(std::string_view name);
  // Removes a subkey and everything below it.
  Status deleteTree(std::string_view subkey);

  // Names of the direct subkeys and the values, in the case stored, sorted without
  // regard to case.
  Status subkeys(std::vector<std::string>& names) const;
  Status values(std::vector<Value>& values) const;

  struct Impl;

private:
  std::unique_ptr<Impl> impl_;
};

// The buffer that registry texts are read into unless a reader says otherwise, as the
// fixed buffers of the programs that first wrote these values did (terminating zero
// included).
inline constexpr std::uint32_t kTextBytes = 260;

// Reads a text into a buffer of bufferBytes bytes, as callers with fixed buffers do:
// missing key or value, a value that does not fit (with its terminating zero), or
// (when anyType is false) a value that is not REG_SZ/REG_EXPAND_SZ all read as "".
std::string readText(Root root, std::string_view path, std::string_view name,
                     std::uint32_t bufferBytes = kTextBytes, bool anyType = false);
// Reads a REG_DWORD; nothing when missing or of another type.
std::optional<std::uint32_t> readDword(Root root, std::string_view path, std::string_view name);

// Several changes to one hive as one unit: either all land or none. Operations on keys
// of that hive made by this thread between begin and commit belong to the transaction.
class Hive;

class Transaction {
public:
  explicit Transaction(Root root);
  ~Transaction(); // rolls back unless committed
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  Status status() const { return status_; }
  Status commit();

private:
  std::shared_ptr<Hive> hive_;
  Status status_;
  bool done_ = false;
};

// Where a process's hives are: the files of HKEY_LOCAL_MACHINE (with HKEY_CLASSES_ROOT),
// of HKEY_CURRENT_USER, and of the defaults read beneath it. An empty path is no hive: its
// keys read as missing and writing them is refused. A writer waits at most lockWaitSeconds
// for another's lock.
//
// HKEY_CURRENT_USER reads the user hive above the default-user hive: a key or value the
// user's own hive lacks is read from the default-user hive, so that what an administrator
// puts there reaches every user at once. Writes go to the user's own hive only; deleting
// a user's value lets the default beneath show again.
struct HiveSetup {
  std::string machine;
  std::string user;
  std::string defaultUser;
  int lockWaitSeconds = 30;
};
// Tells the registry where its hives are: locate is asked at the first use of a root, and
// again after each resetHives(). Until a program calls this, it has no hives.
void setHiveLocator(std::function<HiveSetup()> locate);
// Copies the hive file from into a new file to, consistently even while others write it
// (for a look at a configuration that must not change it). kFileNotFound when from does
// not exist, kAccessDenied when it cannot be read or to cannot be written.
Status copyHiveFile(const std::string& from, const std::string& to);
// Forgets open hive files so that the next use asks the locator again (tests switch hives
// between cases).
void resetHives();

// Splits "HKLM\Software\X" (also HKEY_LOCAL_MACHINE, HKCU, HKEY_CURRENT_USER, HKCR,
// HKEY_CLASSES_ROOT) into its root and path. Returns false for another prefix.
bool parseRootedPath(std::string_view full, Root& root, std::string& path);
std::string rootName(Root root); // the long form, "HKEY_LOCAL_MACHINE"

} // namespace dh::reg
