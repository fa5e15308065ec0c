// Writing uncompressed bitmap files: the replay tool's screenshots, the level
// generator's level, and the levels and pictures of tests and benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A pixel's colour as the game keeps it: red in bits 0 to 7, green in 8 to 15,
// blue in 16 to 23.
using BmpColourAt = std::function<uint32_t(int32_t x, int32_t y)>;

// A bitmap of 16 (5-5-5), 24 or 32 bits per pixel, rows stored bottom-up and padded
// to four bytes; y = 0 is the top row. `unusedBits` fills what no colour uses (the
// fourth byte of a 32-bit pixel; the top bit of a 16-bit one when nonzero), so a
// reader can be shown to ignore it.
std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, int32_t bitsPerPixel,
                               const BmpColourAt& colourAt, uint8_t unusedBits = 0);

// Empty on success; otherwise one line: "<path>: cannot be written: <reason>".
std::string WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);
