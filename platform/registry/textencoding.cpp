#include "platform/registry/textencoding.h"

namespace dh::reg {

namespace {

// Length of the well-formed UTF-8 sequence at text[i] (0 if there is none) and its code.
std::size_t utf8Sequence(std::string_view text, std::size_t i, char32_t& code) {
  auto b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  std::size_t length = 0;
  char32_t least = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, code = b0 & 0x1F, least = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, code = b0 & 0x0F, least = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, code = b0 & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size())
    return 0;
  for (std::size_t k = 1; k < length; ++k) {
    auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80)
      return 0;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return length;
}

// Also writes lone surrogates, in their three-byte form.
void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

} // namespace

bool isUtf8(std::string_view text) {
  char32_t code = 0;
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    if ((n = utf8Sequence(text, i, code)) == 0)
      return false;
  }
  return true;
}

std::string singleByteText(std::string_view bytes) {
  if (isUtf8(bytes))
    return std::string(bytes);
  std::string out;
  for (char c : bytes)
    appendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string fromUtf16(const std::uint8_t* p, std::size_t units) {
  auto unit = [p](std::size_t i) -> char32_t { return p[2 * i] | (p[2 * i + 1] << 8); };
  std::string out;
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (u >= 0xDC80 && u <= 0xDCFF) {
      out += static_cast<char>(u - 0xDC00);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

std::vector<std::uint8_t> toUtf16(std::string_view bytes) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size() * 2);
  auto put = [&out](char32_t u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  char32_t code = 0;
  for (std::size_t i = 0, n = 0; i < bytes.size(); i += n) {
    n = utf8Sequence(bytes, i, code);
    if (n == 0) {
      put(0xDC00 + static_cast<unsigned char>(bytes[i]));
      n = 1;
    } else if (code >= 0x10000) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code);
    }
  }
  return out;
}

} // namespace dh::reg
