// Prints the time the file operation service takes to copy one 512 MiB file and 5,000
// small files, each beside `cp -a` on the same data in the same run (median and best of 5 runs,
// taking turns to go first, after one warm-up of each). The goal is at least 90 % of cp's speed.
// Data lives in a temporary folder under $BENCH_DIR (default /work/tmp, else /tmp), removed
// at the end.
#include "platform/shellops/fileoperation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace dh::shellops;

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Each timing starts with nothing left to write back, so no copy pays for another's.
double timeCp(const QString& source, const QString& target) {
  sync();
  QElapsedTimer t;
  t.start();
  if (QProcess::execute("cp", {"-a", source, target}) != 0)
    std::fprintf(stderr, "cp failed\n");
  return t.nsecsElapsed() / 1e6;
}

double timeService(const QString& source, const QString& target) {
  Request request;
  request.function = Function::Copy;
  request.sources = {source};
  request.targets = {target};
  sync();
  QElapsedTimer t;
  t.start();
  if (!performFileOperation(request).done)
    std::fprintf(stderr, "copy failed\n");
  return t.nsecsElapsed() / 1e6;
}

void compare(const char* what, const QString& source, const QString& work) {
  const QString cpTarget = work + "/by-cp", ownTarget = work + "/by-service";
  std::vector<double> cp, own;
  for (int run = 0; run < 6; ++run) {
    // Each goes first every other run, so neither always meets the other's dirty pages.
    double c = 0, o = 0;
    if (run % 2) {
      o = timeService(source, ownTarget);
      c = timeCp(source, cpTarget);
    } else {
      c = timeCp(source, cpTarget);
      o = timeService(source, ownTarget);
    }
    if (run > 0) { // the first run warms the caches
      cp.push_back(c);
      own.push_back(o);
    }
    QDir(cpTarget).removeRecursively();
    QFile::remove(cpTarget);
    QDir(ownTarget).removeRecursively();
    QFile::remove(ownTarget);
  }
  // On a disk that other work shares, the best runs show the copying itself.
  const double c = median(cp), o = median(own);
  const double cb = *std::min_element(cp.begin(), cp.end());
  const double ob = *std::min_element(own.begin(), own.end());
  std::printf("%-18s median: cp -a %7.1f ms, service %7.1f ms (%5.1f %%)   best: cp -a %7.1f ms, "
              "service %7.1f ms (%5.1f %%)\n",
              what, c, o, 100.0 * c / o, cb, ob, 100.0 * cb / ob);
}

// Other work on a shared disk makes timings of many small files swing tenfold. As root the
// data gets a file system of its own: an ext4 image in the work folder, mounted for the run.
class OwnDisk {
public:
  explicit OwnDisk(const QString& work) : image_(work + "/disk.img"), path_(work + "/disk") {
    QDir().mkpath(path_);
    mounted_ = geteuid() == 0 && QFile(image_).open(QIODevice::WriteOnly) &&
               QFile(image_).resize(qint64(3) << 30) &&
               QProcess::execute("mkfs.ext4", {"-q", "-F", image_}) == 0 &&
               QProcess::execute("mount", {"-o", "loop", image_, path_}) == 0;
    std::printf("data on %s\n", mounted_ ? "an ext4 file system of its own" : "the shared disk");
  }
  ~OwnDisk() {
    if (mounted_)
      QProcess::execute("umount", {path_});
  }
  const QString& path() const { return path_; }

private:
  QString image_, path_;
  bool mounted_ = false;
};

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const QString base = qEnvironmentVariable(
      "BENCH_DIR", QDir("/work/tmp").exists() ? "/work/tmp" : QDir::tempPath());
  QTemporaryDir scratch(base + "/bench_shellops-XXXXXX");
  const OwnDisk disk(scratch.path());
  const QDir work(disk.path());

  QFile big(work.filePath("big.bin"));
  big.open(QIODevice::WriteOnly);
  QByteArray block(1 << 20, '\0');
  for (int i = 0; i < 512; ++i) {
    for (int j = 0; j < block.size(); j += 64)
      block[j] = char(i * 31 + j);
    big.write(block);
  }
  big.close();
  compare("one 512 MiB file", big.fileName(), work.path());
  QFile::remove(big.fileName());

  const QString small = work.filePath("small");
  for (int i = 0; i < 5000; ++i) {
    const QString folder = small + QString("/f%1").arg(i / 100);
    if (i % 100 == 0)
      QDir().mkpath(folder);
    QFile f(folder + QString("/file%1.txt").arg(i));
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(512 + (i * 37) % 8192, 'a' + i % 26));
  }
  compare("5,000 small files", small, work.path());
  return 0;
}
