// The parts of deskhaven-scheme that its commands share.
#pragma once

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

// deskhaven-scheme preview ...: the arguments after "preview"; returns the exit status.
int preview(int argc, char** argv);

} // namespace dh::schemetool
