#include "shell/pagetable.h"

#include "platform/components/componenthost.h"
#include "platform/registry/registry.h"

namespace dh::shell {

namespace {

using reg::Root;

const PageIdentity kPages[kPageCount] = {
    {1003, 97, ":/shell/programs-hover.svg", ":/shell/programs-normal.svg",
     "Displays available program sets", "Page 1 - Programs\n"},
    {1004, 98, ":/shell/files-hover.svg", ":/shell/files-normal.svg",
     "Provides access to your files and folders", "Page 2 - My Files\n"},
    {1005, 99, ":/shell/links-hover.svg", ":/shell/links-normal.svg",
     "Displays your class' web shortcuts", "Page 3 - Links\n"},
};

} // namespace

const PageIdentity& pageIdentity(int page) {
  return kPages[page - 1];
}

std::string pageKey(int page) {
  return std::string(kPageTableKey) + std::to_string(page);
}

PageRecords readPageTable() {
  PageRecords records;
  for (int page = 1; page <= kPageCount; ++page) {
    const std::string key = pageKey(page);
    PageRecord& record = records[page - 1];
    record.Name = reg::readText(Root::LocalMachine, key, "Name", reg::kTextBytes);
    record.Clsid = reg::readText(Root::LocalMachine, key, "GUID", reg::kTextBytes);
    record.Iid = reg::readText(Root::LocalMachine, key, "IID", reg::kTextBytes);
  }
  return records;
}

bool probeRegisteredClass(const std::string& clsid) {
  return component::probeClass(clsid).ok();
}

void testPageTable(PageRecords& records, const ClassProbe& probe) {
  for (int page = 1; page <= kPageCount; ++page) {
    PageRecord& record = records[page - 1];
    record.IsOK = !record.Clsid.empty() && probe(record.Clsid) ? 1 : 0;
    reg::Key key;
    if (reg::Key::open(Root::LocalMachine, pageKey(page), reg::Access::AllAccess, key) ==
        reg::kSuccess)
      key.set("IsOK", reg::Type::Dword, reg::dwordData(record.IsOK));
  }
}

std::string activeXErrorText(const PageRecords& records) {
  std::string failed;
  for (int page = 1; page <= kPageCount; ++page)
    if (records[page - 1].IsOK == 0)
      failed += pageIdentity(page).errorLine;
  if (failed.empty())
    return failed;
  return "Active X Initialisation Error\n\nThe following Active X Control(s) have not been "
         "successfully\nstarted and so will be disabled:\n\n" +
         failed + "\nIt is advised that you inform your Network Aministrator\nof this message.";
}

} // namespace dh::shell
