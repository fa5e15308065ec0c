// Text from a script or command line as an error message shows it.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::size_t MAX_SHOWN_CHARACTERS = 40;

// In single quotes: printable ASCII as it is, a backslash doubled, every other byte
// as \xNN, so no control sequence reaches the terminal; cut to MAX_SHOWN_CHARACTERS
// within the quotes, "..." marking a cut.
std::string ShowText(std::string_view text);
