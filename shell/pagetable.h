// The page table: which control class serves each of the three pages, read from the
// machine hive at start-up, tested, and marked usable or not ("IsOK") for administrators.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace dh::shell {

inline constexpr int kPageCount = 3;
inline constexpr const char* kPageTableKey = "Software\\Halvane\\Deskhaven\\Module Registry\\Page";

struct PageRecord {
  std::string Name; // read, not used
  std::string Clsid;
  std::string Iid;
  std::int32_t IsOK = 0;
};

using PageRecords = std::array<PageRecord, kPageCount>;

// What never changes about a page: its button, its control's window id, its pictures,
// its tool tip and its line in the "Active X Error" box. Pages are numbered from 1.
struct PageIdentity {
  int buttonId;
  int windowId;
  const char* hoverIcon;
  const char* normalIcon;
  const char* toolTip;
  const char* errorLine;
};
const PageIdentity& pageIdentity(int page);

// The key of page (1 to 3) below HKEY_LOCAL_MACHINE.
std::string pageKey(int page);

// Reads the three records; a missing key or value leaves its field empty.
PageRecords readPageTable();

// Whether a class can serve a page. The default asks the component host whether the
// class is registered and its library hands out its factory, without making an instance.
using ClassProbe = std::function<bool(const std::string& clsid)>;
bool probeRegisteredClass(const std::string& clsid);

// Sets IsOK of each record from probe and writes it back into each page's existing key.
// A key that is missing or cannot be written (a pupil cannot write the machine hive)
// is passed over in silence; the records still carry the result.
void testPageTable(PageRecords& records, const ClassProbe& probe = probeRegisteredClass);

// The text of the "Active X Error" box for the failed pages, or empty when none failed.
std::string activeXErrorText(const PageRecords& records);

} // namespace dh::shell
