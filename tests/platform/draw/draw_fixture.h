// Shared by the drawing tests: a fresh 1024 x 768 back buffer, and bitmap files
// written to a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDrawing();
        AllocateBackBuffer(1024, 768);
    }
    void TearDown() override { ResetDrawing(); }

    static uint32_t Pixel(int32_t x, int32_t y) {
        return backBuffer.pixels[static_cast<std::size_t>(y) * 1024u + static_cast<std::size_t>(x)];
    }
    static int64_t CountPixels(uint32_t colour) {
        int64_t count = 0;
        for (uint32_t p : backBuffer.pixels) {
            count += p == colour ? 1 : 0;
        }
        return count;
    }
};

struct Rgb {
    uint8_t r, g, b;
};

// A bitmap file of the given depth, pixels top row first; rows stored bottom-up
// and padded to 4 bytes. 16-bit files keep the top 5 bits of each component.
inline std::vector<uint8_t> MakeBitmapFile(int32_t width, int32_t height, int32_t bitsPerPixel,
                                           const std::vector<Rgb>& pixels, uint8_t fourthByte = 0xA5) {
    const int32_t rowBytes = (width * bitsPerPixel / 8 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height), 0);
    auto put32 = [&](std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<uint8_t>(bitsPerPixel);
    put32(34, static_cast<uint32_t>(rowBytes * height));
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = file.data() + 54 + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            const Rgb& c = pixels[static_cast<std::size_t>(y * width + x)];
            if (bitsPerPixel == 16) {
                const uint32_t word = 0x8000u | (c.r >> 3u) << 10u | (c.g >> 3u) << 5u | (c.b >> 3u);
                row[2 * x] = static_cast<uint8_t>(word);
                row[2 * x + 1] = static_cast<uint8_t>(word >> 8);
            } else {
                uint8_t* p = row + x * bitsPerPixel / 8;
                p[0] = c.b;
                p[1] = c.g;
                p[2] = c.r;
                if (bitsPerPixel == 32) {
                    p[3] = fourthByte;
                }
            }
        }
    }
    return file;
}

inline std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    // A folder per process, since CTest runs the cases of this suite side by side;
    // removed when the test program ends.
    static const struct TempFolder {
        std::filesystem::path path = std::filesystem::path(::testing::TempDir()) /
                                     ("karnolt-draw-" + std::to_string(::getpid()));
        TempFolder() { std::filesystem::create_directories(path); }
        ~TempFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    const std::string path = (folder.path / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// A picture where every pixel differs from its neighbours and none is black.
inline std::vector<Rgb> TestPicture(int32_t width, int32_t height) {
    std::vector<Rgb> pixels;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels.push_back(Rgb{static_cast<uint8_t>(10 + 40 * x), static_cast<uint8_t>(20 + 30 * y),
                                 static_cast<uint8_t>(8 * (x + y) + 1)});
        }
    }
    return pixels;
}
