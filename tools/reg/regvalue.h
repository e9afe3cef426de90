// Values as the administrator's command line writes and reads them: type names
// (REG_SZ, ...), the data given with /d, and the data shown by query.
#pragma once

#include "platform/registry/registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dh::regtool {

// "REG_SZ" and the other names; "0x1f" for a type that has none.
std::string typeName(reg::Type type);
// The type of a name, in any case; nothing for an unknown name.
std::optional<reg::Type> parseTypeName(std::string_view name);

// The bytes /d TEXT stands for: text for the text types (\0 separates REG_MULTI_SZ
// items), a decimal or 0x number for REG_DWORD (empty is 0), hex digit pairs for the
// others. Nothing, and the reason in why, when the text does not fit the type.
std::optional<std::vector<std::uint8_t>> parseData(reg::Type type, std::string_view text,
                                                   std::string& why);

// The data as query shows it: text, REG_MULTI_SZ items joined by \0, 0x... for a dword,
// hex digits for the rest.
std::string shownData(const reg::Value& value);

} // namespace dh::regtool
