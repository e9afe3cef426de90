#include "platform/components/componentserver.h"

#include "platform/components/classregistry.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace dh::component {

namespace {

std::string text(const char* value) {
  return value ? value : "";
}

// The file this library was loaded from, as an absolute path (symbolic links kept, so
// that an administrator may swap the file behind a link).
std::string libraryPath(const void* anchor) {
  Dl_info info{};
  if (!dladdr(anchor, &info) || !info.dli_fname || !*info.dli_fname)
    return {};
  return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath().toStdString();
}

} // namespace

Result registerClasses(const ClassInfo* classes, std::size_t count, const void* anchor) {
  const std::string library = libraryPath(anchor);
  if (library.empty())
    return kFail;
  reg::Transaction all(reg::Root::ClassesRoot); // every class, or none
  if (all.status() != reg::kSuccess)
    return fromWin32(all.status());
  for (std::size_t i = 0; i < count; ++i) {
    const ClassInfo& c = classes[i];
    const bool control = c.factory && c.factory->createControl;
    const reg::Status status = writeRegistration(
        {text(c.clsid), text(c.name), text(c.progId), text(c.version), library, control});
    if (status != reg::kSuccess)
      return fromWin32(status);
  }
  return fromWin32(all.commit());
}

Result unregisterClasses(const ClassInfo* classes, std::size_t count) {
  reg::Transaction all(reg::Root::ClassesRoot);
  if (all.status() != reg::kSuccess)
    return fromWin32(all.status());
  for (std::size_t i = 0; i < count; ++i)
    if (const reg::Status status =
            removeRegistration(text(classes[i].clsid), text(classes[i].progId));
        status != reg::kSuccess)
      return fromWin32(status);
  return fromWin32(all.commit());
}

Result getClassObject(const ClassInfo* classes, std::size_t count, const char* clsid,
                      const ClassFactory** out) {
  if (!out)
    return kPointer;
  *out = nullptr;
  const auto wanted = canonicalClassId(text(clsid));
  for (std::size_t i = 0; wanted && i < count; ++i) {
    if (canonicalClassId(text(classes[i].clsid)) == wanted) {
      *out = classes[i].factory;
      return *out ? kOk : kClassNotAvailable;
    }
  }
  return kClassNotAvailable;
}

} // namespace dh::component
