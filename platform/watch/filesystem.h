// What the kind of file system holding a folder tells: whether other machines share it,
// so that their changes never reach this machine's change notifications (nor its locks).
#pragma once

#include <string>

namespace dh::watch {

// File system types as statfs reports them, those named more than once in this system.
namespace fstype {
constexpr unsigned long kNfs = 0x6969;
constexpr unsigned long kCifs = 0xff534d42;
constexpr unsigned long kSmb2 = 0xfe534d42;
constexpr unsigned long kSmb = 0x517b;
constexpr unsigned long kAfs = 0x5346414f;
constexpr unsigned long kCeph = 0x00c36400;
} // namespace fstype

// Whether a file system of that type is shared over the network (NFS, SMB, AFS, Ceph).
bool isNetworkFileSystem(unsigned long type);
// The same for the file system holding path; false when it cannot be told.
bool onNetworkFileSystem(const std::string& path);

} // namespace dh::watch
