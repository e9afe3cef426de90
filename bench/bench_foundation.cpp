// Prints median timings of the registry and the scheme selection:
//   one value read (open, query, close) in a hive of 10,000 keys,
//   SelectScheme of a scheme with 50 roots and 50 links,
//   importing a .reg file of 10,000 values.
#include "common/scheme.h"
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"
#include "tests/support/schemewriter.h"
#include "tests/support/testhives.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using Clock = std::chrono::steady_clock;
using dh::reg::Root;

namespace {

// Median of runs, in microseconds, each run timing `repeat` calls.
double medianMicros(int runs, int repeat, const std::function<void()>& body) {
  std::vector<double> samples;
  for (int r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    for (int i = 0; i < repeat; ++i)
      body();
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                      repeat);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

void benchValueRead() {
  TestHives hives;
  {
    dh::reg::Transaction batch(Root::LocalMachine);
    for (int i = 0; i < 10000; ++i)
      hives.setDword(Root::LocalMachine,
                     "Software\\Bench\\Group " + std::to_string(i / 100) + "\\Key " +
                         std::to_string(i),
                     "Value", static_cast<std::uint32_t>(i));
    batch.commit();
  }
  int n = 0;
  std::uint32_t sum = 0;
  const double us = medianMicros(21, 2000, [&] {
    const int i = (n++ * 7919) % 10000;
    dh::reg::Key key;
    dh::reg::Key::open(Root::LocalMachine,
                       "Software\\Bench\\Group " + std::to_string(i / 100) + "\\Key " +
                           std::to_string(i),
                       dh::reg::Access::Read, key);
    std::uint32_t value = 0, size = sizeof value;
    key.query("Value", nullptr, &value, &size);
    sum += value;
  });
  std::printf("registry value read (open, query, close), hive of 10,000 keys: median %.2f us "
              "(target <= 20 us)\n",
              us);
  if (sum == 0)
    std::printf("(unexpected: nothing read)\n");
}

void benchSelectScheme() {
  TestHives hives;
  writeScheme(hives, {.name = "Big", .roots = 50, .links = 50});
  hives.setText(Root::CurrentUser, "Software\\Halvane\\Deskhaven", "ConfigToUse", "Big");
  dh::DhvScheme scheme;
  std::string result;
  const double us = medianMicros(31, 20, [&] { result = scheme.SelectScheme(99, "bench"); });
  std::printf("SelectScheme, 50 roots and 50 links: median %.3f ms (target <= 5 ms)%s\n",
              us / 1000.0, result == "Big" ? "" : " (unexpected: not loaded)");
}

void benchRegImport() {
  std::string text = "Windows Registry Editor Version 5.00\n";
  for (int k = 0; k < 100; ++k) {
    text += "\n[HKEY_LOCAL_MACHINE\\Software\\Bench\\Key " + std::to_string(k) + "]\n";
    for (int v = 0; v < 100; ++v) {
      const std::string n = std::to_string(k * 100 + v);
      switch (v % 3) {
      case 0:
        text += "\"Text " + n + "\"=\"value number " + n + "\"\n";
        break;
      case 1:
        text += "\"Number " + n +
                "\"=dword:" + std::string(8 - std::min<std::size_t>(8, n.size()), '0') +
                n.substr(0, 8) + "\n";
        break;
      default:
        text += "\"Path " + n + "\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n";
      }
    }
  }
  std::size_t imported = 0;
  const double us = medianMicros(5, 1, [&] {
    TestHives hives; // a fresh, empty hive for each run
    const auto file = dh::reg::RegFile::parse(text);
    if (file.ok() && file.apply().status == dh::reg::kSuccess) {
      std::vector<dh::reg::Value> values;
      dh::reg::Key key;
      dh::reg::Key::open(Root::LocalMachine, "Software\\Bench\\Key 99", dh::reg::Access::Read, key);
      key.values(values);
      imported = values.size();
    }
  });
  std::printf("import of a .reg file of 10,000 values (parse and apply): median %.1f ms "
              "(target <= 1000 ms)%s\n",
              us / 1000.0, imported == 100 ? "" : " (unexpected: not imported)");
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchValueRead();
  benchSelectScheme();
  benchRegImport();
  return 0;
}
