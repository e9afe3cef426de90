// Result codes of the character engine, shaped like COM results: zero is success,
// every failure is negative, so callers that only store them need no translation.
#pragma once

#include <cstdint>

namespace dh::agent {

using Result = std::int32_t;
inline constexpr Result kOk = 0;
inline constexpr Result kFailed = static_cast<Result>(0x80004005);          // E_FAIL
inline constexpr Result kInvalidArgument = static_cast<Result>(0x80070057); // E_INVALIDARG
inline constexpr Result kNoServer = static_cast<Result>(0x80040154);        // class not registered
inline constexpr Result kCharacterNotFound = static_cast<Result>(0x80042000);
inline constexpr Result kCharacterInvalid = static_cast<Result>(0x80042001);
inline constexpr Result kAnimationNotFound = static_cast<Result>(0x80042002);
inline constexpr Result kLanguageNotSupported = static_cast<Result>(0x80042003);
inline constexpr Result kNotLoaded = static_cast<Result>(0x80042004);

} // namespace dh::agent
