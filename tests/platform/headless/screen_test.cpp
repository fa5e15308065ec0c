#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/headless.h"

namespace {

class HeadlessScreenTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPlatform(); }
    void TearDown() override { ResetPlatform(); }

    static void StartScreen() {
        ASSERT_NE(InitSpriteSystem(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
    }
};

TEST_F(HeadlessScreenTest, PresentShowsTheBackBufferAndFlipsTheChain) {
    StartScreen();
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(HeadlessScreenWidth(), 1024);
    EXPECT_EQ(HeadlessScreenHeight(), 768);
    ASSERT_EQ(backBuffer.width, 1024);
    ASSERT_EQ(backBuffer.height, 768);

    ClearBackBuffer(10, 20, 30);
    backBuffer.pixels[5 * 1024 + 7] = MakeColour(255, 0, 0);
    PresentFrame();
    const uint32_t* shown = HeadlessPresentedPixels();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown[0], MakeColour(10, 20, 30));
    EXPECT_EQ(shown[5 * 1024 + 7], MakeColour(255, 0, 0));
    EXPECT_EQ(shown[1024 * 768 - 1], MakeColour(10, 20, 30));
    EXPECT_EQ(HeadlessPresentedFrameCount(), 1);
    // A flip, not a copy: the back buffer now holds the old front buffer, black.
    EXPECT_EQ(backBuffer.pixels[0], MakeColour(0, 0, 0));
    EXPECT_EQ(backBuffer.pixels.size(), std::size_t{1024} * 768);

    ClearBackBuffer(0, 255, 0);
    PresentFrame();
    EXPECT_EQ(HeadlessPresentedPixels()[0], MakeColour(0, 255, 0));
    EXPECT_EQ(backBuffer.pixels[0], MakeColour(10, 20, 30));
    EXPECT_EQ(HeadlessPresentedFrameCount(), 2);
}

}  // namespace
