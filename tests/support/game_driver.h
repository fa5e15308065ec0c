// Drives the whole game frame by frame on the headless back end: levels written
// to a temporary folder, scripted mouse and keyboard, pixels of presented frames.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/game_state.h"
#include "core/level.h"
#include "core/world.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

namespace driver {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb BLACK{0, 0, 0};
inline constexpr Rgb WHITE{255, 255, 255};

// Writes an uncompressed bitmap, rows bottom-up and padded to 4 bytes.
inline void WriteBmp(const std::filesystem::path& path, int32_t width, int32_t height, int bitsPerPixel,
                     const std::function<Rgb(int32_t x, int32_t y)>& pixel) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * bytesPerPixel + 3) & ~3u;
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int k = 0; k < size; ++k) bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
    };
    bytes.push_back('B');
    bytes.push_back('M');
    put(54 + rowBytes * height, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(static_cast<uint32_t>(bitsPerPixel), 2);
    put(0, 4);
    put(rowBytes * height, 4);
    for (int k = 0; k < 4; ++k) put(0, 4);  // resolution and colour counts
    for (int32_t y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        for (int32_t x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            if (bitsPerPixel == 16) {
                put(static_cast<uint32_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3)), 2);
            } else {
                bytes.push_back(c.b);
                bytes.push_back(c.g);
                bytes.push_back(c.r);
                if (bitsPerPixel == 32) bytes.push_back(0x5A);
            }
        }
        while (bytes.size() - rowStart < rowBytes) bytes.push_back(0);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One folder per test process: CTest runs the cases of a suite side by side.
inline std::filesystem::path TempFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("karnolt-tests-" + std::string(test->test_suite_name()) + "-" +
                                          test->name() + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // Removed when the test program ends.
    static struct Cleanup {
        std::vector<std::filesystem::path> folders;
        ~Cleanup() {
            std::error_code ignored;
            for (const auto& f : folders) std::filesystem::remove_all(f, ignored);
        }
    } cleanup;
    if (std::find(cleanup.folders.begin(), cleanup.folders.end(), folder) == cleanup.folders.end()) {
        cleanup.folders.push_back(folder);
    }
    return folder;
}

// A 100 x 70 black level with anchors at the given pixels.
inline std::filesystem::path WriteAnchorLevel(const std::vector<std::pair<int32_t, int32_t>>& anchors,
                                              int32_t width = 100, int32_t height = 70) {
    const std::filesystem::path path = TempFolder() / "anchors.bmp";
    WriteBmp(path, width, height, 24, [&](int32_t x, int32_t y) {
        for (const auto& [ax, ay] : anchors) {
            if (ax == x && ay == y) return WHITE;
        }
        return BLACK;
    });
    return path;
}

// Starts the program afresh on the given level; true when it runs.
inline bool StartGame(const std::filesystem::path& level) {
    ResetPlatform();
    ResetGame();
    levelFileOverride = level.string();
    return StartUp() == 0;
}

inline void Frames(int64_t count) {
    for (int64_t k = 0; k < count; ++k) ASSERT_TRUE(RunFrame());
}

// Moves the pointer to a screen point in one frame (it must not touch an edge).
inline void MovePointerTo(int32_t x, int32_t y) {
    if (x != pointerX) HeadlessQueueMotionX(x - pointerX);
    if (y != pointerY) HeadlessQueueMotionY(y - pointerY);
    Frames(1);
}

inline int32_t NodeScreenX(int32_t column) {
    return column * 20 + viewOffsetX;
}
inline int32_t NodeScreenY(int32_t row) {
    return row * 20 + viewOffsetY;
}

inline void PointAtNode(int32_t column, int32_t row) {
    MovePointerTo(NodeScreenX(column), NodeScreenY(row));
}

// Press for two frames, release, then wait out the double-click window.
inline void Click(int32_t button) {
    HeadlessQueueButton(button, true);
    Frames(2);
    HeadlessQueueButton(button, false);
    Frames(1);
    Frames(10);
}

inline void ClickNode(int32_t button, int32_t column, int32_t row) {
    PointAtNode(column, row);
    Click(button);
}

inline void TapKey(int32_t scanCode) {
    HeadlessSetKey(scanCode, true);
    Frames(1);
    HeadlessSetKey(scanCode, false);
    Frames(1);
}

inline Rgb PixelAt(int32_t x, int32_t y) {
    const uint32_t* pixels = HeadlessPresentedPixels();
    if (pixels == nullptr) return BLACK;
    const uint32_t c = pixels[static_cast<std::size_t>(y) * HeadlessScreenWidth() + x];
    return Rgb{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

inline std::vector<std::vector<int32_t>> BeamEnds() {
    std::vector<std::vector<int32_t>> ends;
    for (const Beam& beam : beamList) ends.push_back({beam.ax, beam.ay, beam.bx, beam.by});
    return ends;
}

}  // namespace driver

inline std::ostream& operator<<(std::ostream& out, const driver::Rgb& c) {
    return out << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}
