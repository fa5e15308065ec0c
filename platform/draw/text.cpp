// Text in the compiled-in font, and the one conversion from our UTF-8 sources
// to the Latin-1 bytes the labels take.
#include <algorithm>
#include <bit>

#include "platform/display.h"
#include "platform/draw/draw_state.h"
#include "platform/draw/font.h"

// The background box of opaque text: black, a plain backdrop on the dark scene.
// (The game itself draws all its text transparent.)
inline constexpr uint32_t TEXT_BACKGROUND = MakeColour(0, 0, 0);

void SetTextCursor(int32_t x, int32_t y) {
    if (!HasDrawTarget()) {
        return;
    }
    drawState.cursorX = x;
    drawState.cursorY = y;
}

void DrawLabel(std::string_view latin1Text) {
    Surface* surface = DrawingSurface();
    if (surface == nullptr) {
        return;
    }
    const int64_t left = drawState.cursorX;
    const int64_t top = drawState.cursorY;
    const auto length = static_cast<int64_t>(latin1Text.size());

    // Only the glyphs and rows that land on the target are visited.
    const int64_t rowFirst = std::max<int64_t>(0, -top);
    const int64_t rowEnd = std::min<int64_t>(FONT_HEIGHT, surface->height - top);
    const int64_t xFirst = std::max<int64_t>(left, 0);
    const int64_t xEnd = std::min<int64_t>(left + length * FONT_WIDTH, surface->width);
    if (rowFirst >= rowEnd || xFirst >= xEnd) {
        return;
    }
    const bool opaque = (drawState.flags & DRAW_TRANSPARENT_TEXT) == 0;
    const uint32_t colour = drawState.colour;
    uint32_t* pixels = surface->pixels.data();
    for (int64_t c = (xFirst - left) / FONT_WIDTH; left + c * FONT_WIDTH < xEnd; ++c) {
        const int64_t x0 = left + c * FONT_WIDTH;
        // The glyph's columns on the target, as bits of its rows (the leftmost in bit 7).
        uint32_t visible = 0;
        for (int64_t k = 0; k < FONT_WIDTH; ++k) {
            if (x0 + k >= xFirst && x0 + k < xEnd) visible |= 0x80u >> k;
        }
        const uint8_t* glyph = FONT_GLYPHS[static_cast<uint8_t>(latin1Text[static_cast<std::size_t>(c)])];
        for (int64_t row = rowFirst; row < rowEnd; ++row) {
            const int64_t line = (top + row) * surface->width + x0;
            if (opaque) {
                for (int64_t k = 0; k < FONT_WIDTH; ++k) {
                    if ((visible & (0x80u >> k)) != 0) pixels[line + k] = TEXT_BACKGROUND;
                }
            }
            // Ink pixels only, found bit by bit: most of a glyph's cell is empty.
            for (uint32_t ink = glyph[row] & visible; ink != 0; ink &= ink - 1) {
                pixels[line + 7 - std::countr_zero(ink)] = colour;
            }
        }
    }
}

std::string Latin1FromUtf8(std::string_view utf8Text) {
    // Characters beyond Latin-1 and malformed sequences become '?'.
    std::string latin1;
    latin1.reserve(utf8Text.size());
    std::size_t i = 0;
    while (i < utf8Text.size()) {
        const auto lead = static_cast<unsigned char>(utf8Text[i]);
        int32_t extra = 0;
        uint32_t codePoint = 0;
        if (lead < 0x80) {
            codePoint = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            codePoint = lead & 0x07u;
        } else {
            latin1 += '?';
            ++i;
            continue;
        }
        std::size_t next = i + 1;
        bool valid = true;
        for (int32_t k = 0; k < extra; ++k, ++next) {
            if (next >= utf8Text.size() || (static_cast<unsigned char>(utf8Text[next]) & 0xC0u) != 0x80u) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8Text[next]) & 0x3Fu);
        }
        if (!valid) {
            latin1 += '?';
            i = next;  // resynchronise at the byte that broke the sequence
            continue;
        }
        const bool overlong = (extra == 2 && codePoint < 0x800) || (extra == 3 && codePoint < 0x10000);
        latin1 += codePoint <= 0xFF && !overlong ? static_cast<char>(codePoint) : '?';
        i = next;
    }
    return latin1;
}
