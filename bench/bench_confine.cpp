// Prints what confinement costs a listing: the folder on show resolved beneath its root
// (one openat2 for each folder shown) beside opening it by its path, and a folder of
// 1,000 files listed through the confined path (resolve, read, stat each entry beneath the
// folder's descriptor) beside the same listing by path.
#include "bench/timing.h"
#include "platform/confine/confinedroot.h"
#include "tests/support/testdir.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using dh::bench::median;
using dh::bench::millisOf;

namespace {

constexpr int kFiles = 1000;
constexpr int kOpens = 20000;
constexpr int kRuns = 9;
const char kDeep[] = "year 9/maths/term 2/homework/week 5"; // five levels below the root

// The same work as the confined listing, by path: what a file manager without the
// confinement does.
size_t listByPath(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  size_t entries = 0;
  while (const dirent* d = dir ? readdir(dir) : nullptr) {
    struct stat st;
    if (d->d_name[0] != '.' && lstat((folder + '/' + d->d_name).c_str(), &st) == 0)
      ++entries;
  }
  if (dir)
    closedir(dir);
  return entries;
}

size_t listConfined(const dh::confine::ConfinedRoot& root) {
  const dh::confine::Descriptor folder = root.openFolder(kDeep);
  size_t entries = 0;
  for (const std::string& name : dh::confine::listNames(folder)) {
    struct stat st;
    if (dh::confine::statEntry(folder, name, st) == 0)
      ++entries;
  }
  return entries;
}

} // namespace

int main() {
  TestDir dir;
  for (int n = 0; n < kFiles; ++n)
    dir.file(QStringLiteral("r/%1/work %2.txt").arg(QLatin1String(kDeep)).arg(n), "some words");
  const auto root = dh::confine::ConfinedRoot::open(dir.bytes("r"));
  const std::string byPath = dir.bytes("r") + '/' + kDeep;

  std::vector<double> confined, opened;
  for (int run = 0; run < kRuns; ++run) {
    confined.push_back(millisOf([&] {
      for (int n = 0; n < kOpens; ++n)
        root->openFolder(kDeep);
    }));
    opened.push_back(millisOf([&] {
      for (int n = 0; n < kOpens; ++n)
        close(open(byPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }));
  }
  const double perResolve = median(confined) * 1000 / kOpens;
  std::printf("a folder 5 levels below its root: resolved beneath the root %.2f us, opened by "
              "path %.2f us (median of %d runs of %d)\n",
              perResolve, median(opened) * 1000 / kOpens, kRuns, kOpens);

  std::vector<double> listedConfined, listedByPath;
  size_t entries = 0;
  for (int run = 0; run < kRuns; ++run) {
    listedConfined.push_back(millisOf([&] { entries = listConfined(*root); }));
    listedByPath.push_back(millisOf([&] { listByPath(byPath); }));
  }
  std::printf("listing %zu files: confined %.2f ms, by path %.2f ms (median of %d); the "
              "folder's one resolution is %.2f%% of the confined listing\n",
              entries, median(listedConfined), median(listedByPath), kRuns,
              100 * perResolve / 1000 / median(listedConfined));
  return 0;
}
