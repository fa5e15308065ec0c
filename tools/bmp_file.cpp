#include "tools/bmp_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

static void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int k = 0; k < size; ++k) bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, int32_t bitsPerPixel,
                               const BmpColourAt& colourAt, uint8_t unusedBits) {
    const uint32_t pixelBytes = static_cast<uint32_t>(bitsPerPixel) / 8;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * pixelBytes + 3) / 4 * 4;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    const uint32_t pixelOffset = 14 + 40;
    std::vector<uint8_t> bytes;
    bytes.reserve(pixelOffset + imageBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittleEndian(bytes, pixelOffset + imageBytes, 4);
    PutLittleEndian(bytes, 0, 4);  // reserved
    PutLittleEndian(bytes, pixelOffset, 4);
    PutLittleEndian(bytes, 40, 4);  // info header size
    PutLittleEndian(bytes, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(height), 4);  // positive: bottom-up
    PutLittleEndian(bytes, 1, 2);                              // planes
    PutLittleEndian(bytes, static_cast<uint32_t>(bitsPerPixel), 2);
    PutLittleEndian(bytes, 0, 4);  // uncompressed
    PutLittleEndian(bytes, imageBytes, 4);
    PutLittleEndian(bytes, 2835, 4);  // 72 dpi
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);  // colours used
    PutLittleEndian(bytes, 0, 4);  // important colours
    for (int32_t y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = colourAt(x, y);
            const uint32_t red = colour & 0xFF;
            const uint32_t green = (colour >> 8) & 0xFF;
            const uint32_t blue = (colour >> 16) & 0xFF;
            if (bitsPerPixel == 16) {
                const uint32_t topBit = unusedBits != 0 ? 0x8000u : 0u;
                PutLittleEndian(bytes, topBit | (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3), 2);
                continue;
            }
            bytes.push_back(static_cast<uint8_t>(blue));
            bytes.push_back(static_cast<uint8_t>(green));
            bytes.push_back(static_cast<uint8_t>(red));
            if (bitsPerPixel == 32) bytes.push_back(unusedBits);
        }
        bytes.resize(rowStart + rowBytes, 0);
    }
    return bytes;
}

std::string WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return path + ": cannot be written: " + std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return "";
    return path + ": cannot be written: " + std::strerror(written ? errno : writeError);
}
