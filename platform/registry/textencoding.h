// The text encodings of .reg files: the hive keeps text as UTF-8, version 5.00 files carry
// it as UTF-16LE, and older files as single-byte text. Every stored byte survives the way
// out and back, valid UTF-8 or not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dh::reg {

bool isUtf8(std::string_view text);

// Single-byte text of an older file: kept when it is UTF-8 already, read as Latin-1 if not.
std::string singleByteText(std::string_view bytes);

// UTF-16LE to UTF-8. A lone U+DC80..U+DCFF stands for the byte 0x80..0xFF that toUtf16
// found outside any UTF-8 sequence.
std::string fromUtf16(const std::uint8_t* p, std::size_t units);

// UTF-8 to UTF-16LE; a byte outside any UTF-8 sequence becomes a lone U+DC80..U+DCFF.
std::vector<std::uint8_t> toUtf16(std::string_view bytes);

} // namespace dh::reg
