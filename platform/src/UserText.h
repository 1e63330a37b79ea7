// What a person can put into a text control: characters. Keystrokes and pastes reach the model
// as UTF-8, so bytes that are not valid UTF-8 (which no keyboard or clipboard of the real
// framework delivers) become U+FFFD, and the host never receives text it could not save.
#pragma once

#include <string>

namespace platform {

/// \brief \p text with every byte that does not belong to a valid UTF-8 sequence (stray or
///        truncated sequences, overlong forms, surrogates, code points above U+10FFFF)
///        replaced by U+FFFD.
std::string validUserText(const std::string& text);

} // namespace platform
