#include "platform/components/classregistry.h"

#include <cctype>

namespace dh::component {

using reg::Key;
using reg::Root;
using reg::Status;

namespace {

constexpr std::uint32_t kPathBytes = 4096; // library paths are not bound to 260 bytes

std::string clsidKey(std::string_view clsid) {
  return "CLSID\\" + std::string(clsid);
}

// ProgIDs name keys directly below HKEY_CLASSES_ROOT; a backslash would reach elsewhere.
bool usableProgId(std::string_view progId) {
  return !progId.empty() && progId.size() < 256 && progId.find('\\') == std::string_view::npos &&
         progId.front() != '{';
}

// "A.B.1" -> "A.B"; "" when the ProgID carries no version.
std::string versionIndependent(std::string_view progId) {
  const auto dot = progId.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == progId.size())
    return {};
  for (char c : progId.substr(dot + 1))
    if (!std::isdigit(static_cast<unsigned char>(c)))
      return {};
  return std::string(progId.substr(0, dot));
}

std::string upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Status setDefault(std::string_view path, std::string_view text) {
  Key key;
  Status st = Key::create(Root::ClassesRoot, path, key);
  return st == reg::kSuccess ? key.set("", reg::Type::Sz, reg::textData(text)) : st;
}

Status removeIfOurs(std::string_view progId, std::string_view clsid) {
  if (!usableProgId(progId))
    return reg::kSuccess;
  const auto owner =
      canonicalClassId(reg::readText(Root::ClassesRoot, std::string(progId) + "\\CLSID", ""));
  if (!owner || *owner != clsid)
    return reg::kSuccess; // another class took the name over since
  Key top;
  Status st = Key::open(Root::ClassesRoot, "", reg::Access::AllAccess, top);
  if (st == reg::kSuccess)
    st = top.deleteTree(progId);
  return st == reg::kFileNotFound ? reg::kSuccess : st;
}

} // namespace

std::optional<std::string> canonicalClassId(std::string_view text) {
  static constexpr std::string_view pattern = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != pattern.size())
    return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool ok = pattern[i] == 'X' ? std::isxdigit(static_cast<unsigned char>(text[i])) != 0
                                      : text[i] == pattern[i];
    if (!ok)
      return std::nullopt;
  }
  return upper(std::string(text));
}

ClassLookup lookUpClass(std::string_view classIdOrProgId) {
  ClassLookup found;
  if (auto clsid = canonicalClassId(classIdOrProgId)) {
    found.clsid = *clsid;
  } else if (!usableProgId(classIdOrProgId)) {
    found.failure = Failure::BadClassId;
    found.reason =
        "\"" + std::string(classIdOrProgId) + "\" is neither a class identifier nor a ProgID";
    return found;
  } else {
    const std::string text =
        reg::readText(Root::ClassesRoot, std::string(classIdOrProgId) + "\\CLSID", "");
    auto clsid = canonicalClassId(text);
    if (!clsid) {
      found.failure = Failure::NotRegistered;
      found.reason =
          "ProgID " + std::string(classIdOrProgId) + " is not registered" +
          (text.empty() ? "" : " (its CLSID value \"" + text + "\" is not a class identifier)");
      return found;
    }
    found.clsid = *clsid;
  }
  found.library =
      reg::readText(Root::ClassesRoot, clsidKey(found.clsid) + "\\InprocServer32", "", kPathBytes);
  if (found.library.empty()) {
    found.failure = Failure::NotRegistered;
    found.reason = "class " + found.clsid + " is not registered (no library in " +
                   reg::rootName(Root::ClassesRoot) + "\\" + clsidKey(found.clsid) +
                   "\\InprocServer32)";
  }
  return found;
}

Status writeRegistration(const ClassRegistration& r) {
  const auto clsid = canonicalClassId(r.clsid);
  if (!clsid || r.library.empty() || (!r.progId.empty() && !usableProgId(r.progId)))
    return reg::kInvalidParameter;
  reg::Transaction transaction(Root::ClassesRoot);
  if (transaction.status() != reg::kSuccess)
    return transaction.status();

  const std::string key = clsidKey(*clsid);
  const std::string independent = versionIndependent(r.progId);
  struct Entry {
    std::string path;
    std::string text;
  };
  std::vector<Entry> entries{{key, r.name}, {key + "\\InprocServer32", r.library}};
  if (r.control)
    entries.push_back({key + "\\Control", ""});
  if (!r.version.empty())
    entries.push_back({key + "\\Version", r.version});
  if (!r.progId.empty()) {
    entries.push_back({key + "\\ProgID", r.progId});
    entries.push_back({r.progId, r.name});
    entries.push_back({r.progId + "\\CLSID", *clsid});
  }
  if (!independent.empty()) {
    entries.push_back({key + "\\VersionIndependentProgID", independent});
    entries.push_back({independent, r.name});
    entries.push_back({independent + "\\CLSID", *clsid});
    entries.push_back({independent + "\\CurVer", r.progId});
  }
  for (const Entry& entry : entries)
    if (Status st = setDefault(entry.path, entry.text); st != reg::kSuccess)
      return st;
  return transaction.commit();
}

Status removeRegistration(std::string_view clsidText, std::string_view progId) {
  const auto clsid = canonicalClassId(clsidText);
  if (!clsid)
    return reg::kInvalidParameter;
  reg::Transaction transaction(Root::ClassesRoot);
  if (transaction.status() != reg::kSuccess)
    return transaction.status();
  Key top;
  Status st = Key::open(Root::ClassesRoot, "", reg::Access::AllAccess, top);
  if (st == reg::kFileNotFound)
    return reg::kSuccess; // nothing was ever registered
  if (st != reg::kSuccess)
    return st;
  st = top.deleteTree(clsidKey(*clsid));
  if (st == reg::kFileNotFound)
    st = reg::kSuccess;
  if (st == reg::kSuccess)
    st = removeIfOurs(progId, *clsid);
  if (st == reg::kSuccess)
    st = removeIfOurs(versionIndependent(progId), *clsid);
  return st == reg::kSuccess ? transaction.commit() : st;
}

} // namespace dh::component
