// Writes complete schemes into the test hives, so that each test states only what it
// changes from a scheme that loads.
#pragma once

#include <string>

class TestHives;

struct SchemeSpec {
  std::string name;
  int roots = 2;
  int links = 2;
  std::string rootFolder = "/tmp"; // roots are this folder's sub-folders r1, r2, ...
  int firstTab = 1;
};

void writeScheme(TestHives& hives, const SchemeSpec& spec);
// The registry path of a scheme's key (below HKLM).
std::string schemeKey(const std::string& name);
