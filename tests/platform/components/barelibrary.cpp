// A shared library that exports none of the component entries.
extern "C" int bareLibraryAnswer() {
  return 42;
}
