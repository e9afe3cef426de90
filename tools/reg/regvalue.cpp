#include "tools/reg/regvalue.h"

#include <cstdio>

namespace dh::regtool {

namespace {

using reg::Type;

const char* const kTypeNames[] = {"REG_NONE",
                                  "REG_SZ",
                                  "REG_EXPAND_SZ",
                                  "REG_BINARY",
                                  "REG_DWORD",
                                  "REG_DWORD_BIG_ENDIAN",
                                  "REG_LINK",
                                  "REG_MULTI_SZ",
                                  "REG_RESOURCE_LIST",
                                  "REG_FULL_RESOURCE_DESCRIPTOR",
                                  "REG_RESOURCE_REQUIREMENTS_LIST",
                                  "REG_QWORD"};
constexpr std::uint32_t kTypeCount = sizeof kTypeNames / sizeof kTypeNames[0];

char lower(char c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

int digitValue(char c) {
  c = lower(c);
  return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A number in decimal, or in hex after 0x, that fits 32 bits.
std::optional<std::uint32_t> parseNumber(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && lower(text[1]) == 'x';
  const std::string_view digits = hex ? text.substr(2) : text;
  const int base = hex ? 16 : 10;
  if (digits.empty() || digits.size() > 10)
    return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = digitValue(c);
    if (digit < 0 || digit >= base)
      return std::nullopt;
    value = value * static_cast<unsigned>(base) + static_cast<std::uint64_t>(digit);
  }
  if (value > 0xffffffffu)
    return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::string hexText(const std::vector<std::uint8_t>& data) {
  std::string hex;
  for (std::uint8_t byte : data) {
    char buffer[3];
    std::snprintf(buffer, sizeof buffer, "%02X", byte);
    hex += buffer;
  }
  return hex;
}

} // namespace

std::string typeName(Type type) {
  const auto number = static_cast<std::uint32_t>(type);
  if (number < kTypeCount)
    return kTypeNames[number];
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", number);
  return buffer;
}

std::optional<Type> parseTypeName(std::string_view name) {
  for (std::uint32_t i = 0; i < kTypeCount; ++i) {
    if (sameName(name, kTypeNames[i]))
      return static_cast<Type>(i);
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> parseData(Type type, std::string_view text,
                                                   std::string& why) {
  switch (type) {
  case Type::Sz:
  case Type::ExpandSz:
    return reg::textData(text);
  case Type::MultiSz: {
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool separator = text.substr(i, 2) == "\\0";
      data.push_back(separator ? 0 : static_cast<std::uint8_t>(text[i]));
      i += separator ? 1 : 0;
    }
    data.insert(data.end(), {0, 0});
    return data;
  }
  case Type::Dword: {
    const auto number = text.empty() ? std::optional<std::uint32_t>(0) : parseNumber(text);
    if (!number) {
      why = "REG_DWORD data must be a number from 0 to 4294967295 (or 0x...)";
      return std::nullopt;
    }
    return reg::dwordData(*number);
  }
  default: {
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < text.size(); i += 2) {
      const int high = digitValue(text[i]);
      const int low = i + 1 < text.size() ? digitValue(text[i + 1]) : -1;
      if (high < 0 || low < 0) {
        why = "the data must be pairs of hex digits";
        return std::nullopt;
      }
      data.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return data;
  }
  }
}

std::string shownData(const reg::Value& value) {
  const auto& d = value.data;
  switch (value.type) {
  case Type::Sz:
  case Type::ExpandSz:
    return reg::dataText(d);
  case Type::MultiSz: {
    std::string text(d.begin(), d.end());
    while (!text.empty() && text.back() == '\0')
      text.pop_back();
    std::string shown;
    for (char c : text)
      shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    return shown;
  }
  case Type::Dword:
    if (d.size() == 4) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "0x%x",
                    d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<std::uint32_t>(d[3]) << 24));
      return buffer;
    }
    return hexText(d);
  default:
    return hexText(d);
  }
}

} // namespace dh::regtool
