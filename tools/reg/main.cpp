// deskhaven-reg: the administrator's command line for the registry (query, add, delete,
// import, export, apply), with the commands and flags Windows administrators already know.
// Reading and writing .reg text lives in RegFile and exportRegText, value types and data
// in regvalue.h; this is the front: arguments, commands and their messages.
#include "common/hiveplaces.h"
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"
#include "tools/reg/regvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace dh::reg;
using dh::defaultUserHivePath;
using dh::machineHivePath;
using dh::userHivePath;

namespace {

constexpr int kFailed = 1;
constexpr int kBadSyntax = 2;

const char kUsage[] =
    R"(Usage: deskhaven-reg COMMAND ARGUMENTS

  query KEY [/v NAME | /ve] [/s]      show a key's values and subkeys (/s: the whole subtree)
  add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
                                      create a key; with /v, /ve, /t or /d also set a value
                                      (the default value unless /v names one)
  delete KEY [/v NAME | /ve | /va] [/f]
                                      delete a key and its subtree, a value, or all values
  import FILE                         apply a .reg file; a malformed file changes nothing
  export KEY FILE [/y]                write a key and its subtree to a .reg file (UTF-8)
  apply FOLDER                        apply every *.reg file of FOLDER in name order, all
                                      of them or none; values already as the files say
                                      are left alone, so applying again changes nothing.
                                      A file that cannot be read (or a link to nothing)
                                      stops it before anything changes. HKCU sections go
                                      to the default-user hive, which every user's own
                                      hive reads beneath its own values

KEY     HKLM\..., HKCU\... or HKCR\... (also HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
        HKEY_CLASSES_ROOT); quote it for the shell: 'HKLM\Software\Halvane'
TYPE    REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ (items separated by \0),
        REG_DWORD (decimal, or hex with 0x), REG_BINARY and other types (hex digits)
/f, /y  answer Yes to the question before overwriting or deleting
Flags may be written with - as well: -v, -ve, -f ...

Hives: $DESKHAVEN_MACHINE_HIVE (HKLM, HKCR; default /var/lib/deskhaven/machine.hive)
       $DESKHAVEN_USER_HIVE (HKCU; default ~/.config/deskhaven/user.hive)
       $DESKHAVEN_DEFAULT_USER_HIVE (read beneath HKCU; default
       /var/lib/deskhaven/default-user.hive)
       Variables not set are read from /etc/deskhaven/session.env. A writer waits at
       most $DESKHAVEN_LOCK_WAIT seconds (default 30) for another's lock.
Exit status: 0 done, 1 failed or cancelled, 2 bad arguments.
)";

struct Args {
  std::vector<std::string> positional;
  std::optional<std::string> value; // /v NAME; "" for /ve
  std::optional<std::string> type;
  std::optional<std::string> data;
  bool allValues = false;
  bool subtree = false;
  bool force = false;
};

class SyntaxError {
public:
  explicit SyntaxError(std::string why) : why(std::move(why)) {}
  std::string why;
};

std::string lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

// Known flags are taken wherever they stand; anything else (an absolute file path
// included) is a positional argument.
Args parseArgs(int argc, char** argv, const std::set<std::string>& allowed,
               std::size_t positionalCount) {
  Args args;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    std::string flag =
        arg.size() > 1 && (arg[0] == '/' || arg[0] == '-') ? lower(arg.substr(1)) : "";
    if (!allowed.count(flag)) {
      args.positional.push_back(arg);
      continue;
    }
    auto operand = [&]() -> std::string {
      if (i + 1 >= argc)
        throw SyntaxError(arg + " needs a value");
      return argv[++i];
    };
    bool repeated = false;
    if (flag == "v" || flag == "ve") {
      repeated = args.value.has_value();
      args.value = flag == "v" ? operand() : std::string();
    } else if (flag == "t") {
      repeated = args.type.has_value();
      args.type = operand();
    } else if (flag == "d") {
      repeated = args.data.has_value();
      args.data = operand();
    } else {
      bool& which = flag == "va" ? args.allValues : flag == "s" ? args.subtree : args.force;
      repeated = which;
      which = true;
    }
    if (repeated || (args.allValues && args.value))
      throw SyntaxError("the flags /v, /ve and /va may be given once, and only one of them");
  }
  if (args.positional.size() != positionalCount)
    throw SyntaxError("expected " + std::to_string(positionalCount) + " argument" +
                      (positionalCount == 1 ? "" : "s") + " besides the flags");
  return args;
}

struct KeyName {
  Root root;
  std::string path;
};

KeyName parseKey(const std::string& text) {
  KeyName key{};
  if (!parseRootedPath(text, key.root, key.path))
    throw SyntaxError("\"" + text + "\" is not a key: it must start with HKLM, HKCU or HKCR");
  return key;
}

std::string fullName(const Key& key) {
  return rootName(key.root()) + (key.path().empty() ? "" : "\\" + key.path());
}

std::string hivePath(Root root) {
  return root == Root::CurrentUser ? userHivePath() : machineHivePath();
}

int failure(Status status, Root root) {
  switch (status) {
  case kFileNotFound:
  case kKeyDeleted:
    std::cerr << "ERROR: The system was unable to find the specified registry key or value.\n";
    break;
  case kAccessDenied:
    std::cerr << "ERROR: Access is denied: the hive " << hivePath(root)
              << " is not writable for this user.\n";
    break;
  case kBadDatabase:
    std::cerr << "ERROR: The hive " << hivePath(root)
              << " is damaged or is not a registry hive; it was not changed.\n";
    break;
  case kTimeout:
    std::cerr << "ERROR: The hive " << hivePath(root)
              << " is locked by another process (named above); it was not changed.\n";
    break;
  default:
    std::cerr << "ERROR: The hive " << hivePath(root) << " could not be written (error " << status
              << "); it was not changed.\n";
  }
  return kFailed;
}

int done() {
  std::cout << "The operation completed successfully.\n";
  return 0;
}

bool confirm(const std::string& question, bool force) {
  if (force)
    return true;
  std::cout << question << " (Yes/No)? " << std::flush;
  std::string answer;
  if (std::getline(std::cin, answer) && !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y'))
    return true;
  std::cout << "The operation was cancelled.\n";
  return false;
}

std::string shownName(const std::string& name) {
  return name.empty() ? "(Default)" : name;
}

std::string valueLine(const Value& value) {
  return "    " + shownName(value.name) + "    " + dh::regtool::typeName(value.type) + "    " +
         dh::regtool::shownData(value) + "\n";
}

// Prints one key in the layout administrators know; with a value name, only that value
// (and nothing for a key without it). Returns how many values it printed.
int printKey(const Key& key, const std::optional<std::string>& only, bool subtree) {
  std::vector<Value> values;
  std::vector<std::string> subkeys;
  if (!only) {
    key.values(values);
  } else if (Value value; key.query(*only, value) == kSuccess) {
    values.push_back(std::move(value));
  }
  key.subkeys(subkeys);
  if (!only || !values.empty()) {
    std::cout << "\n" << fullName(key) << "\n";
    for (const Value& value : values)
      std::cout << valueLine(value);
  }
  int shown = static_cast<int>(values.size());
  if (!subtree && !only && !subkeys.empty()) {
    std::cout << "\n";
    for (const std::string& name : subkeys)
      std::cout << fullName(key) << "\\" << name << "\n";
  }
  if (subtree) {
    for (const std::string& name : subkeys) {
      Key sub;
      if (key.openSubkey(name, Access::Read, sub) == kSuccess)
        shown += printKey(sub, only, true);
    }
  }
  return shown;
}

int queryCommand(const Args& args) {
  KeyName name = parseKey(args.positional[0]);
  Key key;
  if (Status st = Key::open(name.root, name.path, Access::Read, key); st != kSuccess)
    return failure(st, name.root);
  if (args.value && !args.subtree) {
    Value value;
    if (Status st = key.query(*args.value, value); st != kSuccess)
      return failure(st, name.root);
  }
  if (printKey(key, args.value, args.subtree) == 0 && args.value)
    return failure(kFileNotFound, name.root);
  if (args.value)
    std::cout << "\n";
  return 0;
}

Type parseType(const std::string& text) {
  if (const auto type = dh::regtool::parseTypeName(text))
    return *type;
  throw SyntaxError("unknown type \"" + text + "\"");
}

int addCommand(const Args& args) {
  KeyName name = parseKey(args.positional[0]);
  const bool setsValue = args.value || args.type || args.data;
  const std::string valueName = args.value.value_or("");
  const Type type = args.type ? parseType(*args.type) : Type::Sz;
  std::string why;
  const auto data = dh::regtool::parseData(type, args.data.value_or(""), why);
  if (!data)
    throw SyntaxError(why);
  Key key;
  Value old;
  if (setsValue && Key::open(name.root, name.path, Access::Read, key) == kSuccess &&
      key.query(valueName, old) == kSuccess &&
      !confirm("Value " + shownName(valueName) + " exists, overwrite", args.force))
    return kFailed;
  if (Status st = Key::create(name.root, name.path, key); st != kSuccess)
    return failure(st, name.root);
  if (setsValue) {
    if (Status st = key.set(valueName, type, *data); st != kSuccess)
      return failure(st, name.root);
  }
  return done();
}

Status deleteAllValues(Key& key) {
  Transaction transaction(key.root());
  std::vector<Value> values;
  Status st = transaction.status();
  if (st == kSuccess)
    st = key.values(values);
  for (const Value& value : values) {
    if (st == kSuccess)
      st = key.deleteValue(value.name);
  }
  return st == kSuccess ? transaction.commit() : st;
}

int deleteCommand(const Args& args) {
  KeyName name = parseKey(args.positional[0]);
  if (name.path.empty() && !args.value && !args.allValues)
    throw SyntaxError("a whole root key cannot be deleted");
  Key key;
  if (Status st = Key::open(name.root, name.path, Access::Read, key); st != kSuccess)
    return failure(st, name.root);
  Value value;
  if (args.value && key.query(*args.value, value) != kSuccess)
    return failure(kFileNotFound, name.root);
  const std::string question = args.value ? "Delete the registry value " + shownName(*args.value)
                               : args.allValues
                                   ? "Delete all values under the registry key " + fullName(key)
                                   : "Permanently delete the registry key " + fullName(key);
  if (!confirm(question, args.force))
    return kFailed;
  Status st =
      Key::open(name.root, args.value || args.allValues ? name.path : "", Access::AllAccess, key);
  if (st == kSuccess) {
    st = args.value       ? key.deleteValue(*args.value)
         : args.allValues ? deleteAllValues(key)
                          : key.deleteTree(name.path);
  }
  return st == kSuccess ? done() : failure(st, name.root);
}

int importCommand(const Args& args) {
  const std::string& path = args.positional[0];
  QFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::ReadOnly)) {
    std::cerr << "ERROR: Cannot read " << path << ": " << file.errorString().toStdString() << "\n";
    return kFailed;
  }
  const QByteArray bytes = file.readAll();
  RegFile regFile = RegFile::parse(std::string_view(bytes.constData(), bytes.size()));
  if (!regFile.ok()) {
    std::cerr << "ERROR: " << path << ": " << regFile.errorMessage() << "\nNothing was imported.\n";
    return kFailed;
  }
  RegFile::ApplyResult result = regFile.apply();
  if (result.status != kSuccess) {
    failure(result.status, result.root);
    std::cerr << "Nothing was imported.\n";
    return kFailed;
  }
  return done();
}

int applyCommand(const Args& args) {
  const std::string& folder = args.positional[0];
  const QDir dir(QFile::decodeName(folder.c_str()));
  if (!dir.exists()) {
    std::cerr << "ERROR: There is no folder " << folder << ".\n";
    return kFailed;
  }
  // Name order as the bytes sort, whatever the locale: 10-base.reg before 20-class.reg.
  // Links to nothing are listed too (System), so that they stop the run below.
  QStringList names =
      dir.entryList({QStringLiteral("*.reg")}, QDir::Files | QDir::System, QDir::NoSort);
  std::sort(names.begin(), names.end(),
            [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
  RegFile all;
  std::vector<std::pair<std::string, std::size_t>> ends; // each file and its last section
  for (const QString& name : names) {
    const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
    QFile file(dir.filePath(name));
    if (const QFileInfo info(file); info.isSymLink() && !info.exists()) {
      std::cerr << "ERROR: " << path << " is a link to "
                << QFile::encodeName(info.symLinkTarget()).toStdString()
                << ", which does not exist\nNothing was applied.\n";
      return kFailed;
    }
    if (!QFileInfo(file).isFile()) { // a pipe or a device would never end
      std::cerr << "ERROR: " << path << " is not a file\nNothing was applied.\n";
      return kFailed;
    }
    if (!file.open(QIODevice::ReadOnly)) {
      std::cerr << "ERROR: Cannot read " << path << ": " << file.errorString().toStdString()
                << "\nNothing was applied.\n";
      return kFailed;
    }
    const QByteArray bytes = file.readAll();
    const RegFile regFile = RegFile::parse(std::string_view(bytes.constData(), bytes.size()));
    if (!regFile.ok()) {
      std::cerr << "ERROR: " << path << ": " << regFile.errorMessage()
                << "\nNothing was applied.\n";
      return kFailed;
    }
    all.append(regFile);
    ends.emplace_back(path, all.sections().size());
  }
  // The folder is the machine's configuration: what it says of HKCU is for every user.
  qputenv("DESKHAVEN_USER_HIVE", QFile::encodeName(QString::fromStdString(defaultUserHivePath())));
  resetHives();
  const RegFile::ApplyResult result = all.apply();
  if (result.status != kSuccess) {
    // The file of the first section the failure names.
    const auto& sections = all.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
      if (result.path.empty() || sections[i].root != result.root || sections[i].path != result.path)
        continue;
      const auto file =
          std::find_if(ends.begin(), ends.end(), [i](const auto& e) { return i < e.second; });
      std::cerr << "ERROR: " << file->first << ": [" << rootName(result.root) << "\\" << result.path
                << "]\n";
      break;
    }
    failure(result.status, result.root);
    std::cerr << "Nothing was applied.\n";
    return kFailed;
  }
  std::cout << "Applied " << names.size() << (names.size() == 1 ? " file" : " files") << " of "
            << folder << ".\n";
  return 0;
}

int exportCommand(const Args& args) {
  KeyName name = parseKey(args.positional[0]);
  const std::string& path = args.positional[1];
  std::string text, problem;
  if (Status st = exportRegText(name.root, name.path, text, &problem); st == kInvalidParameter) {
    std::cerr << "ERROR: The key " << problem
              << " or one of its values has a line break in its name, which a .reg file "
                 "cannot hold.\n";
    return kFailed;
  } else if (st != kSuccess) {
    return failure(st, name.root);
  }
  const QString fileName = QFile::decodeName(path.c_str());
  if (QFile::exists(fileName) &&
      !confirm("File " + path + " already exists. Overwrite", args.force))
    return kFailed;
  // Written aside and renamed, so a failed export never leaves half a file.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    std::cerr << "ERROR: Cannot write " << path << ": " << file.errorString().toStdString() << "\n";
    return kFailed;
  }
  return done();
}

} // namespace

int main(int argc, char** argv) {
  dh::useHivePlaces();
  const std::string command = argc > 1 ? lower(argv[1]) : "";
  if (command == "--help" || command == "-h" || command == "/?" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  struct Command {
    const char* name;
    int (*run)(const Args&);
    std::set<std::string> flags;
    std::size_t positional;
  };
  const Command commands[] = {{"query", queryCommand, {"v", "ve", "s"}, 1},
                              {"add", addCommand, {"v", "ve", "t", "d", "f"}, 1},
                              {"delete", deleteCommand, {"v", "ve", "va", "f"}, 1},
                              {"import", importCommand, {}, 1},
                              {"export", exportCommand, {"y"}, 2},
                              {"apply", applyCommand, {}, 1}};
  try {
    for (const Command& c : commands) {
      if (command == c.name)
        return c.run(parseArgs(argc, argv, c.flags, c.positional));
    }
    throw SyntaxError(command.empty() ? "no command given" : "unknown command \"" + command + "\"");
  } catch (const SyntaxError& error) {
    std::cerr << "ERROR: Invalid syntax: " << error.why
              << ".\nType \"deskhaven-reg --help\" for usage.\n";
    return kBadSyntax;
  }
}
