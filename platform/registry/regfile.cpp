#include "platform/registry/regfile.h"

#include "platform/registry/textencoding.h"

#include <algorithm>
#include <optional>

namespace dh::reg {

namespace {

constexpr std::string_view kHeaderUnicode = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderAnsi = "REGEDIT4";
constexpr std::size_t kHexBytesPerLine = 25;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// A number of 1 to 8 hex digits; nothing otherwise (a ninth digit, even a leading zero,
// is refused, as Windows refuses it).
std::optional<std::uint32_t> parseHex32(std::string_view digits) {
  if (digits.empty() || digits.size() > 8)
    return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    int d = hexDigit(c);
    if (d < 0)
      return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
  }
  return static_cast<std::uint32_t>(value);
}

// Types whose data is text: version 5.00 files carry it as UTF-16LE, the hive as UTF-8.
bool isTextType(Type type) {
  return type == Type::Sz || type == Type::ExpandSz || type == Type::MultiSz;
}

std::string hexNumber(std::uint32_t value, int width) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  do {
    out.insert(out.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value || static_cast<int>(out.size()) < width);
  return out;
}

bool isComment(std::string_view line) {
  return !line.empty() && (line[0] == ';' || line[0] == '#');
}

// Where the hex data of a value line starts ("name"=hex:..., @=hex(2):...), or npos. Only
// hex data goes on over several lines; a backslash at the end of a name, a quoted text or
// a dword is part of it, and makes the line malformed.
std::size_t hexDataStart(std::string_view line) {
  constexpr auto npos = std::string_view::npos;
  std::size_t pos = 1;
  if (line.empty() || (line[0] != '"' && line[0] != '@'))
    return npos;
  if (line[0] == '"') {
    for (; pos < line.size() && line[pos] != '"'; ++pos)
      pos += line[pos] == '\\' ? 1 : 0;
    ++pos;
  }
  line = line.substr(std::min(pos, line.size()));
  const std::string_view rest = trimmed(line);
  if (rest.empty() || rest[0] != '=')
    return npos;
  const std::size_t colon = rest.find(':');
  std::string word(trimmed(rest.substr(1, colon == npos ? 0 : colon - 1)));
  for (char& c : word)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (colon == npos || (word != "hex" && word.rfind("hex(", 0) != 0))
    return npos;
  return pos + static_cast<std::size_t>(rest.data() - line.data()) + colon + 1;
}

} // namespace

// Reads a file statement by statement. A statement is a line together with the lines
// that continue its hex data (a line ending in a backslash), so errors are traced back
// to the physical line they are on.
class RegParser {
public:
  explicit RegParser(RegFile& file) : file_(file) {}

  void run(std::string_view bytes) {
    std::string decoded;
    if (!decode(bytes, decoded))
      return;
    std::string_view text = decoded;
    int lineNo = 0;
    // Lines end in LF, CR LF or a lone CR.
    auto nextLine = [&text, &lineNo] {
      const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
      std::string_view line = text.substr(0, end);
      const bool crlf = text.substr(end, 2) == "\r\n";
      text.remove_prefix(std::min(end + (crlf ? 2 : 1), text.size()));
      ++lineNo;
      return line;
    };
    if (!header(nextLine()))
      return;
    bool continuing = false;
    std::size_t hexStart = std::string::npos;
    while (!text.empty()) {
      std::string_view line = trimmed(nextLine());
      if (continuing && (line.empty() || isComment(line)))
        continue; // blank and comment lines inside hex data are skipped
      if (!continuing) {
        statement_.clear();
        pieces_.clear();
        hexStart = isComment(line) ? std::string::npos : hexDataStart(line);
      }
      pieces_.push_back({statement_.size(), lineNo});
      statement_ += line;
      if (hexStart != std::string::npos) {
        // Hex digits hold no ';': one starts a comment, which may follow the backslash.
        statement_.erase(std::min(statement_.find(';', std::max(hexStart, pieces_.back().offset)),
                                  statement_.size()));
        while (!statement_.empty() && isBlank(statement_.back()))
          statement_.pop_back();
      }
      continuing =
          hexStart != std::string::npos && !statement_.empty() && statement_.back() == '\\';
      if (continuing)
        statement_.pop_back();
      else if (!parseStatement())
        return;
    }
    if (continuing) // a backslash at the end of the file ends the value
      parseStatement();
  }

private:
  struct Piece {
    std::size_t offset;
    int line;
  };

  bool fail(std::size_t offset, std::string reason) {
    int line = pieces_.empty() ? 1 : pieces_.front().line;
    for (const Piece& piece : pieces_) {
      if (piece.offset <= offset)
        line = piece.line;
    }
    file_.sections_.clear();
    file_.errorLine_ = line;
    file_.errorReason_ = std::move(reason);
    return false;
  }

  bool decode(std::string_view bytes, std::string& text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
      bytes.remove_prefix(2);
      text = fromUtf16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() / 2);
      if (bytes.size() % 2 == 0)
        return true;
      pieces_ = {{0, 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'))}};
      return fail(0, "the file ends in the middle of a UTF-16 character");
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
      bytes.remove_prefix(3);
    text = singleByteText(bytes);
    return true;
  }

  bool header(std::string_view line) {
    line = trimmed(line);
    if (line == kHeaderUnicode) {
      unicode_ = true;
      return true;
    }
    if (line == kHeaderAnsi) {
      unicode_ = false;
      return true;
    }
    return fail(0, "not a registry file: the first line must be \"" + std::string(kHeaderUnicode) +
                       "\" or \"" + std::string(kHeaderAnsi) + "\"");
  }

  bool parseStatement() {
    while (!statement_.empty() && isBlank(statement_.back()))
      statement_.pop_back();
    if (statement_.empty() || isComment(statement_))
      return true;
    if (statement_[0] == '[')
      return keyLine();
    if (statement_[0] == '"' || statement_[0] == '@')
      return valueLine();
    return fail(0, "expected a [key] line, a \"name\"=value or @=value line, or a ; comment");
  }

  bool keyLine() {
    std::string_view text = statement_;
    if (text.back() != ']')
      return fail(text.size(), "missing ] at the end of the key name");
    std::string_view name = text.substr(1, text.size() - 2);
    RegFile::Section section;
    section.remove = !name.empty() && name[0] == '-';
    if (section.remove)
      name.remove_prefix(1);
    if (!parseRootedPath(name, section.root, section.path)) {
      return fail(1, "unknown root key \"" + std::string(name.substr(0, name.find('\\'))) +
                         "\" (a key starts with HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or "
                         "HKEY_CLASSES_ROOT)");
    }
    if (section.remove && section.path.empty())
      return fail(1, "the whole root key " + rootName(section.root) + " cannot be deleted");
    file_.sections_.push_back(std::move(section));
    return true;
  }

  bool valueLine() {
    if (file_.sections_.empty())
      return fail(0, "a value comes before any [key] line");
    if (file_.sections_.back().remove)
      return fail(0, "a value cannot follow a [-key] line, which deletes its key");
    RegFile::ValueChange change;
    std::size_t pos = 1;
    if (statement_[0] == '"' && !quoted(pos, change.name))
      return false;
    pos = skipBlanks(pos);
    if (pos >= statement_.size() || statement_[pos] != '=')
      return fail(pos, "expected = after the value name");
    if (!data(skipBlanks(pos + 1), change))
      return false;
    file_.sections_.back().values.push_back(std::move(change));
    return true;
  }

  std::size_t skipBlanks(std::size_t pos) const {
    while (pos < statement_.size() && isBlank(statement_[pos]))
      ++pos;
    return pos;
  }

  // Reads the quoted text whose opening quote is just before pos; pos ends after the
  // closing quote.
  bool quoted(std::size_t& pos, std::string& out) {
    const std::size_t open = pos - 1;
    for (; pos < statement_.size(); ++pos) {
      char c = statement_[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c == '\\') {
        if (pos + 1 == statement_.size())
          break; // a backslash does not continue quoted text on the next line
        const char next = statement_[pos + 1];
        if (next != '\\' && next != '"') {
          return fail(pos, "unknown escape \\" + std::string(1, next) +
                               " in quoted text (write \\\\ for a backslash, \\\" for a quote)");
        }
        c = next;
        ++pos;
      }
      out += c;
    }
    return fail(open, "unterminated quoted text (the closing \" is missing; quoted text "
                      "cannot go on over several lines)");
  }

  // Only blanks or a comment may follow a value.
  bool atEnd(std::size_t pos) {
    pos = skipBlanks(pos);
    if (pos < statement_.size() && statement_[pos] != ';')
      return fail(pos, "unexpected text after the value: " + statement_.substr(pos));
    return true;
  }

  bool data(std::size_t pos, RegFile::ValueChange& change) {
    std::string_view rest = std::string_view(statement_).substr(pos);
    if (!rest.empty() && rest[0] == '-') {
      change.remove = true;
      return atEnd(pos + 1);
    }
    if (!rest.empty() && rest[0] == '"') {
      std::string text;
      ++pos;
      if (!quoted(pos, text))
        return false;
      change.type = Type::Sz;
      change.data = textData(text);
      return atEnd(pos);
    }
    std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
      return fail(pos, "expected \"text\", dword:, hex:, hex(N): or - after =");
    std::string word(trimmed(rest.substr(0, colon)));
    for (char& c : word)
      c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    // Hex digits never hold a ';', so one starts a comment.
    std::size_t begin = pos + colon + 1;
    std::size_t end = std::min(statement_.find(';', begin), statement_.size());
    std::string_view digits = std::string_view(statement_).substr(begin, end - begin);
    if (word == "dword") {
      auto value = parseHex32(trimmed(digits));
      if (!value) {
        return fail(begin, "dword value \"" + std::string(trimmed(digits)) +
                               "\" is not a number of 1 to 8 hex digits (out of range?)");
      }
      change.type = Type::Dword;
      change.data = dwordData(*value);
      return true;
    }
    if (word == "hex") {
      change.type = Type::Binary;
    } else if (word.size() > 5 && word.compare(0, 4, "hex(") == 0 && word.back() == ')') {
      auto number = parseHex32(std::string_view(word).substr(4, word.size() - 5));
      if (!number)
        return fail(pos, "bad type number in \"" + word + "\"");
      change.type = static_cast<Type>(*number);
    } else {
      return fail(pos, "unknown value type \"" + word + "\"");
    }
    if (!hexBytes(begin, end, change.data))
      return false;
    if (!isTextType(change.type))
      return true;
    std::string_view bytes(reinterpret_cast<const char*>(change.data.data()), change.data.size());
    std::string text;
    if (!unicode_) {
      text = singleByteText(bytes);
    } else if (change.data.size() % 2 == 0) {
      text = fromUtf16(change.data.data(), change.data.size() / 2);
    } else {
      return fail(begin, word + " data has an odd number of bytes, so it is not UTF-16 text");
    }
    // hex(2) and hex(7) hold the text they spell, whether or not the file wrote the
    // terminating NULs; other types keep their bytes exactly, as export wrote them.
    const std::size_t nuls = change.type == Type::MultiSz    ? (text.empty() ? 1 : 2)
                             : change.type == Type::ExpandSz ? 1
                                                             : 0;
    for (std::size_t n = 0; n < nuls; ++n) {
      if (text.size() <= n || text[text.size() - 1 - n] != '\0')
        text += '\0';
    }
    change.data.assign(text.begin(), text.end());
    return true;
  }

  bool hexBytes(std::size_t pos, std::size_t end, std::vector<std::uint8_t>& out) {
    if (trimmed(std::string_view(statement_).substr(pos, end - pos)).empty())
      return true;
    while (true) {
      std::size_t comma = std::min(statement_.find(',', pos), end);
      std::string_view token = trimmed(std::string_view(statement_).substr(pos, comma - pos));
      if (token.empty() && comma == end && !out.empty())
        return true; // a comma after the last byte
      if (token.empty())
        return fail(pos, "empty hex byte (a stray comma, or a missing continuation line?)");
      if (token.size() > 2 || hexDigit(token[0]) < 0 || hexDigit(token.back()) < 0)
        return fail(pos, "bad hex byte \"" + std::string(token) + "\"");
      out.push_back(static_cast<std::uint8_t>(
          token.size() == 1 ? hexDigit(token[0]) : hexDigit(token[0]) * 16 + hexDigit(token[1])));
      if (comma == end)
        return true;
      pos = comma + 1;
    }
  }

  RegFile& file_;
  bool unicode_ = true;
  std::string statement_;
  std::vector<Piece> pieces_;
};

RegFile RegFile::parse(std::string_view bytes) {
  RegFile file;
  RegParser(file).run(bytes);
  return file;
}

std::string RegFile::errorMessage() const {
  return ok() ? std::string() : "line " + std::to_string(errorLine_) + ": " + errorReason_;
}

namespace {

Status applySection(const RegFile::Section& section) {
  if (section.remove) {
    Key top;
    Status st = Key::open(section.root, "", Access::AllAccess, top);
    if (st == kSuccess)
      st = top.deleteTree(section.path);
    return st == kFileNotFound ? kSuccess : st;
  }
  Key key;
  if (Status st = Key::create(section.root, section.path, key); st != kSuccess)
    return st;
  for (const auto& value : section.values) {
    Value stored;
    // A value that is already as the file says is left alone, so applying a file again
    // writes nothing.
    if (!value.remove && key.query(value.name, stored) == kSuccess && stored.type == value.type &&
        stored.data == value.data)
      continue;
    Status st =
        value.remove ? key.deleteValue(value.name) : key.set(value.name, value.type, value.data);
    if (st != kSuccess && st != kFileNotFound)
      return st;
  }
  return kSuccess;
}

} // namespace

void RegFile::append(const RegFile& other) {
  if (!other.ok() && ok()) {
    errorLine_ = other.errorLine_;
    errorReason_ = other.errorReason_;
  }
  sections_.insert(sections_.end(), other.sections_.begin(), other.sections_.end());
}

RegFile::ApplyResult RegFile::apply() const {
  if (!ok())
    return {kInvalidParameter, Root::LocalMachine, {}};
  // Machine first: it has the most readers, so its commit is the likelier to be refused.
  const Root hives[] = {Root::LocalMachine, Root::CurrentUser};
  auto hiveOf = [](Root root) { return root == Root::CurrentUser ? 1 : 0; };
  std::optional<Transaction> transactions[2];
  for (const Section& section : sections_) {
    int hive = hiveOf(section.root);
    if (!transactions[hive]) {
      transactions[hive].emplace(hives[hive]);
      if (Status st = transactions[hive]->status(); st != kSuccess)
        return {st, section.root, section.path};
    }
    if (Status st = applySection(section); st != kSuccess)
      return {st, section.root, section.path};
  }
  for (int hive : {0, 1}) {
    if (!transactions[hive])
      continue;
    if (Status st = transactions[hive]->commit(); st != kSuccess)
      return {st, hives[hive], {}};
  }
  return {};
}

namespace {

bool hasLineBreak(std::string_view name) {
  return name.find_first_of("\r\n") != std::string_view::npos;
}

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out + '"';
}

// Text that reads back the same from quotes: one terminating zero, valid UTF-8 and no
// control characters, which could break the line.
bool isQuotableText(const std::vector<std::uint8_t>& data) {
  if (data.empty() || data.back() != 0)
    return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] < 0x20 && data[i] != '\t')
      return false;
  }
  return isUtf8(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
}

std::string valueData(const Value& value) {
  if (value.type == Type::Sz && isQuotableText(value.data))
    return quote(dataText(value.data));
  if (value.type == Type::Dword && value.data.size() == 4) {
    std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                           (static_cast<std::uint32_t>(value.data[3]) << 24);
    return "dword:" + hexNumber(number, 8);
  }
  std::string out = value.type == Type::Binary
                        ? "hex:"
                        : "hex(" + hexNumber(static_cast<std::uint32_t>(value.type), 1) + "):";
  const std::vector<std::uint8_t> bytes =
      isTextType(value.type)
          ? toUtf16(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                     value.data.size()))
          : value.data;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += hexNumber(bytes[i], 2);
    if (i + 1 < bytes.size())
      out += (i + 1) % kHexBytesPerLine == 0 ? ",\\\n  " : ",";
  }
  return out;
}

Status writeKey(const Key& key, std::string& text, std::string* problem) {
  std::string name = rootName(key.root());
  if (!key.path().empty())
    name += '\\' + key.path();
  std::vector<Value> values;
  std::vector<std::string> subkeys;
  Status st = key.values(values);
  if (st == kSuccess)
    st = key.subkeys(subkeys);
  if (st != kSuccess)
    return st;
  bool breaks = hasLineBreak(name);
  for (const Value& value : values)
    breaks = breaks || hasLineBreak(value.name);
  if (breaks) {
    if (problem)
      *problem = name;
    return kInvalidParameter;
  }
  text += "\n[" + name + "]\n";
  for (const Value& value : values)
    text += (value.name.empty() ? "@" : quote(value.name)) + "=" + valueData(value) + "\n";
  for (const std::string& subkey : subkeys) {
    Key sub;
    if ((st = key.openSubkey(subkey, Access::Read, sub)) != kSuccess ||
        (st = writeKey(sub, text, problem)) != kSuccess)
      return st;
  }
  return kSuccess;
}

} // namespace

Status exportRegText(Root root, std::string_view path, std::string& text, std::string* problem) {
  Key key;
  if (Status st = Key::open(root, path, Access::Read, key); st != kSuccess)
    return st;
  text = std::string(kHeaderUnicode) + "\n";
  return writeKey(key, text, problem);
}

} // namespace dh::reg
