// The parts of deskhaven-scheme that its commands share.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>

namespace dh::schemetool {

// Prints message and the usage to standard error; returns the exit status 64.
int usageError(const std::string& message);

// A platform mode given on the command line: a whole number of 32 bits.
bool parseMode(const char* text, std::int32_t& mode);

// Runs the scheme selection for user in mode and prints its result, then one line per
// candidate tried (with the failed sections of those that did not load). Returns the
// result: a scheme name or "Error".
std::string printSelection(std::int32_t mode, const std::string& user);

// Copies of the machine hive and of user's own user hive in a temporary folder, which
// this process then reads and writes instead of the real ones (the default-user hive
// beneath is only read). valid() is false, with the reason on standard error, when a hive
// could not be copied.
class HiveCopies {
public:
  explicit HiveCopies(const std::string& user);
  ~HiveCopies();
  bool valid() const { return valid_; }
  QString folder() const { return work_.path(); }

private:
  QTemporaryDir work_;
  bool valid_ = false;
};

// deskhaven-scheme preview ...: the arguments after "preview"; returns the exit status.
int preview(int argc, char** argv);

} // namespace dh::schemetool
