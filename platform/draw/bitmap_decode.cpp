#include "platform/draw/bitmap_decode.h"

#include "platform/display.h"

namespace {

constexpr std::size_t HEADER_BYTES = 34;  // through the compression field at offset 30
// Sprite sizes are 16-bit; larger images are refused.
constexpr int32_t MAX_BITMAP_SIDE = 32767;

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

uint32_t ReadU16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

bool Refuse(Surface& image, std::string& reason, std::string text) {
    image = Surface{};
    reason = std::move(text);
    return false;
}

}  // namespace

bool DecodeBitmap(const uint8_t* data, std::size_t size, Surface& image, std::string& reason) {
    image = Surface{};
    reason.clear();
    if (size < 2 || data[0] != 'B' || data[1] != 'M') {
        return Refuse(image, reason, "not a bitmap file (no \"BM\" signature)");
    }
    if (size < HEADER_BYTES) {
        return Refuse(image, reason, "file too short for its headers (" + std::to_string(size) + " bytes)");
    }
    const uint32_t pixelOffset = ReadU32(data + 10);
    const int32_t width = ReadI32(data + 18);
    const int32_t height = ReadI32(data + 22);
    const uint32_t bitsPerPixel = ReadU16(data + 28);
    const uint32_t compression = ReadU32(data + 30);

    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return Refuse(image, reason, std::to_string(bitsPerPixel) + " bits per pixel are not supported");
    }
    if (compression != 0) {
        return Refuse(
            image, reason,
            "compressed bitmaps are not supported (compression " + std::to_string(compression) + ")");
    }
    if (height < 0) {
        return Refuse(image, reason, "top-down bitmaps (negative height) are not supported");
    }
    if (width < 1 || height < 1) {
        return Refuse(image, reason,
                      "invalid size " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    }
    if (width > MAX_BITMAP_SIDE || height > MAX_BITMAP_SIDE) {
        return Refuse(image, reason,
                      "image too large (" + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels, at most " + std::to_string(MAX_BITMAP_SIDE) + " a side)");
    }
    if (pixelOffset > size) {
        return Refuse(image, reason,
                      "pixel offset " + std::to_string(pixelOffset) + " lies outside the file (" +
                          std::to_string(size) + " bytes)");
    }
    // Widths and heights are below 2^15, so these products stay far from overflow.
    const uint64_t bytesPerPixel = bitsPerPixel / 8;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bytesPerPixel + 3) / 4 * 4;
    const uint64_t needed = static_cast<uint64_t>(pixelOffset) + rowBytes * static_cast<uint64_t>(height);
    if (needed > size) {
        return Refuse(image, reason,
                      "file too short for its " + std::to_string(height) + " rows (needs " +
                          std::to_string(needed) + " bytes, has " + std::to_string(size) + ")");
    }

    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t stored = 0; stored < height; ++stored) {
        const uint8_t* source = data + pixelOffset + rowBytes * static_cast<uint64_t>(stored);
        uint32_t* target = image.pixels.data() + static_cast<std::size_t>(height - 1 - stored) * width;
        for (int32_t x = 0; x < width; ++x) {
            if (bitsPerPixel == 16) {
                const uint32_t word = ReadU16(source + 2 * x);
                target[x] = MakeColour(static_cast<int32_t>((word >> 10) & 31u) * 8,
                                       static_cast<int32_t>((word >> 5) & 31u) * 8,
                                       static_cast<int32_t>(word & 31u) * 8);
            } else {
                const uint8_t* p = source + bytesPerPixel * static_cast<uint64_t>(x);
                target[x] = MakeColour(p[2], p[1], p[0]);
            }
        }
    }
    return true;
}
