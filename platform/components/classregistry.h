// Class registrations under HKEY_CLASSES_ROOT: class identifiers in their text form,
// ProgIDs, and the library that serves each class. The host reads them, a component
// library's self-registration writes them; the key layout lives only here.
#pragma once

#include "platform/registry/registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace dh::component {

// Why a class could not be made.
enum class Failure {
  None,
  BadClassId,        // neither "{8-4-4-4-12}" hexadecimal nor a usable ProgID
  NotRegistered,     // no CLSID\{...}\InprocServer32 (or no ProgID\CLSID)
  LoadFailed,        // the library is missing or the loader refused it
  MissingEntryPoint, // the library lacks DllGetClassObject
  ClassNotAvailable, // DllGetClassObject refused the class or gave no factory
  CreationFailed,    // the factory failed, returned nothing or does not make this kind
  Threw,             // the library raised an exception
};

// The upper-case form of a class identifier, or nothing when text is not
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in hexadecimal (any case).
std::optional<std::string> canonicalClassId(std::string_view text);

// A class named by its identifier or its ProgID, resolved through the registry.
struct ClassLookup {
  std::string clsid;   // canonical; empty when unknown
  std::string library; // the InprocServer32 path
  Failure failure = Failure::None;
  std::string reason; // for people, empty on success
};
ClassLookup lookUpClass(std::string_view classIdOrProgId);

// Everything DllRegisterServer records about one class.
struct ClassRegistration {
  std::string clsid;   // any case; stored upper-case
  std::string name;    // description, the default value of the CLSID key
  std::string progId;  // e.g. "FILES.FilesCtrl.1"; empty for none
  std::string version; // e.g. "1.0"; empty for none
  std::string library; // absolute path of the serving library
  bool control = false;
};

// Writes one class's keys in one transaction: CLSID\{...} with InprocServer32, ProgID,
// VersionIndependentProgID, Version and Control; the ProgID key (and, for "A.B.1", the
// version-independent "A.B" with CurVer) each with CLSID. Registry status.
reg::Status writeRegistration(const ClassRegistration& registration);
// Removes CLSID\{...} and those ProgID keys that still point at this class; keys
// already gone count as removed.
reg::Status removeRegistration(std::string_view clsid, std::string_view progId);

} // namespace dh::component
