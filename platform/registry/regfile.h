// .reg files: the text administrators use to carry registry changes. RegFile reads a whole
// file before any of it touches a hive, so that a malformed file changes nothing;
// exportRegText writes a subtree back in the same form.
#pragma once

#include "platform/registry/registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace dh::reg {

class RegFile {
public:
  struct ValueChange {
    std::string name; // "" is the default value (@)
    bool remove = false;
    Type type = Type::None;
    std::vector<std::uint8_t> data;
  };
  struct Section {
    Root root = Root::LocalMachine;
    std::string path;
    bool remove = false; // [-key]: the key and everything below it go
    std::vector<ValueChange> values;
  };
  struct ApplyResult {
    Status status = kSuccess;
    Root root = Root::LocalMachine; // on failure: where it failed
    std::string path;
  };

  // Reads "REGEDIT4" or "Windows Registry Editor Version 5.00" text in UTF-8 (with or
  // without BOM) or UTF-16LE with BOM. On failure ok() is false and nothing is kept.
  static RegFile parse(std::string_view bytes);

  bool ok() const { return errorLine_ == 0; }
  int errorLine() const { return errorLine_; }
  const std::string& errorReason() const { return errorReason_; }
  std::string errorMessage() const; // "line N: reason"
  const std::vector<Section>& sections() const { return sections_; }

  // Adds the changes of another file after this one's, so that several files are applied
  // as one (a malformed one makes the whole malformed).
  void append(const RegFile& other);

  // Makes the changes, all of them or none: one transaction per hive touched, both held
  // open until every change is made. If the first of two commits lands and the second
  // fails (the disk fills in between), the first hive keeps its changes.
  ApplyResult apply() const;

private:
  friend class RegParser;
  std::vector<Section> sections_;
  int errorLine_ = 0;
  std::string errorReason_;
};

// Writes the key at root\path and its subtree as "Windows Registry Editor Version 5.00"
// text in UTF-8 with LF line ends, so that RegFile reproduces every value exactly (type
// and bytes). Fails with kInvalidParameter, naming the key in problem, when a key or value
// name holds a line break, which the format cannot carry.
Status exportRegText(Root root, std::string_view path, std::string& text,
                     std::string* problem = nullptr);

} // namespace dh::reg
