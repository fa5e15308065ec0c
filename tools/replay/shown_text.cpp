#include "tools/replay/shown_text.h"

#include <cstdio>

std::string ShowText(std::string_view text) {
    std::string shown = "'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        std::string piece(1, c);
        if (c == '\\') {
            piece = "\\\\";
        } else if (byte < 0x20 || byte > 0x7e) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            piece = escaped;
        }
        if (shown.size() - 1 + piece.size() > MAX_SHOWN_CHARACTERS) return shown + "...'";
        shown += piece;
    }
    return shown + "'";
}
