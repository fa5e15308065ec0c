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
#include "tools/bmp_file.h"

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

// A bitmap file of the given depth, pixels top row first. 16-bit files keep the
// top 5 bits of each component.
inline std::vector<uint8_t> MakeBitmapFile(int32_t width, int32_t height, int32_t bitsPerPixel,
                                           const std::vector<Rgb>& pixels, uint8_t fourthByte = 0xA5) {
    return EncodeBmp(
        width, height, bitsPerPixel,
        [&](int32_t x, int32_t y) {
            const Rgb& c = pixels[static_cast<std::size_t>(y * width + x)];
            return static_cast<uint32_t>(c.r | c.g << 8 | c.b << 16);
        },
        fourthByte);
}

inline std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    // A folder per process, since CTest runs the cases of this suite side by side;
    // removed when the test program ends.
    static const struct TempFolder {
        std::filesystem::path path =
            std::filesystem::path(::testing::TempDir()) / ("karnolt-draw-" + std::to_string(::getpid()));
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
