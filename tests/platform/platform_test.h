// Shared by the platform tests: the headless platform started as the game starts
// it, pixels read back from its 1024 x 768 back buffer, and bitmap files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "tools/bmp_file.h"

inline constexpr int32_t SCREEN_WIDTH = 1024;
inline constexpr int32_t SCREEN_HEIGHT = 768;

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPlatform();
        ASSERT_NE(InitSpriteSystem() * OpenKeyboard() * OpenMouse(), 0);
        ASSERT_NE(OpenFullScreen(SCREEN_WIDTH, SCREEN_HEIGHT, 32, "Karnolt") * SetFrameCap(60), 0);
    }
};

// The back buffer as it would be shown: work put off is written first.
inline uint32_t Pixel(int64_t x, int64_t y) {
    return SettledBackBuffer().pixels[static_cast<std::size_t>(y * SCREEN_WIDTH + x)];
}

// A picture where every pixel differs from its neighbours and none is black.
inline uint32_t TestColour(int32_t x, int32_t y) {
    return MakeColour((10 + 40 * x) & 0xFF, (20 + 30 * y) & 0xFF, (8 * (x + y) + 1) & 0xFF);
}

// Writes a bitmap file, its spare bits set so they must be ignored, named after the
// running test since CTest runs the cases side by side; returns its path.
inline std::string WriteBitmap(const std::string& name, int32_t width, int32_t height, int32_t depth) {
    const std::string path = std::string(KARNOLT_BINARY_DIR "/tests/") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + name;
    EXPECT_EQ(WriteBinaryFile(path, EncodeBmp(width, height, depth, TestColour, 0xA5)), "");
    return path;
}
