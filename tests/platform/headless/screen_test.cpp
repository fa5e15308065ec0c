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

TEST_F(HeadlessScreenTest, InactiveWindowPresentsNothingButFramesGoOn) {
    StartScreen();
    ASSERT_NE(SetFrameCap(60), 0);
    EXPECT_EQ(appActive, 1);  // shown, so active from the opening on
    ClearBackBuffer(1, 2, 3);
    PresentFrame();
    HeadlessSetActive(false);
    EXPECT_EQ(appActive, 1);  // in force from the next frame's messages
    ClearBackBuffer(200, 0, 0);
    PresentFrame();
    EXPECT_EQ(appActive, 0);
    EXPECT_EQ(HeadlessPresentedFrameCount(), 1);
    EXPECT_EQ(HeadlessPresentedPixels()[0], MakeColour(1, 2, 3));
    EXPECT_EQ(HeadlessCounter(), 2 * 163934);  // the clock ran on

    HeadlessSetActive(true);
    PresentFrame();
    EXPECT_EQ(appActive, 1);
    EXPECT_EQ(HeadlessPresentedFrameCount(), 2);
    EXPECT_EQ(HeadlessPresentedPixels()[0], MakeColour(200, 0, 0));
}

TEST_F(HeadlessScreenTest, OpeningNeedsTheSpriteSystemAndASaneMode) {
    EXPECT_EQ(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
    EXPECT_EQ(appActive, 0);
    ASSERT_NE(InitSpriteSystem(), 0);
    struct Mode {
        int32_t width, height, depth;
    };
    for (const Mode m : {Mode{0, 768, 32}, Mode{1024, -1, 32}, Mode{1024, 768, 8},
                         Mode{0x10000 + 1024, 768, 7}, Mode{0x8000, 768, 32}}) {
        EXPECT_EQ(OpenFullScreen(m.width, m.height, m.depth, "Karnolt"), 0) << m.width << "x" << m.height;
        EXPECT_TRUE(backBuffer.pixels.empty());
        EXPECT_EQ(appActive, 0);
    }
    // Only the low 16 bits count, as the display interface takes them.
    EXPECT_NE(OpenFullScreen(0x10000 + 320, 200, 0x10000 + 16, "Karnolt"), 0);
    EXPECT_EQ(backBuffer.width, 320);
    EXPECT_EQ(HeadlessScreenWidth(), 320);
    EXPECT_EQ(HeadlessScreenHeight(), 200);
}

TEST_F(HeadlessScreenTest, ReleaseKeepsTheLastPictureAndResetForgetsEverything) {
    StartScreen();
    ASSERT_NE(SetFrameCap(60), 0);
    ClearBackBuffer(9, 9, 9);
    PresentFrame();
    ReleaseScreen();
    EXPECT_EQ(appActive, 0);
    EXPECT_TRUE(backBuffer.pixels.empty());
    ASSERT_NE(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(HeadlessPresentedPixels()[1024 * 768 - 1], MakeColour(9, 9, 9));
    PresentFrame();  // nothing left to show, and nothing breaks
    EXPECT_EQ(HeadlessPresentedFrameCount(), 1);

    ResetPlatform();
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(HeadlessPresentedFrameCount(), 0);
    EXPECT_EQ(HeadlessScreenWidth(), 0);
    EXPECT_EQ(HeadlessCounter(), 0);
    EXPECT_EQ(appActive, 0);
    // Frame pacing is off again: frames take no virtual time until a cap is set.
    PresentFrame();
    EXPECT_EQ(HeadlessCounter(), 0);
}

TEST_F(HeadlessScreenTest, StartingAfreshGivesTheSamePictures) {
    std::vector<uint32_t> first;
    for (int run = 0; run < 2; ++run) {
        ResetPlatform();
        StartScreen();
        ASSERT_NE(SetFrameCap(60), 0);
        for (int frame = 0; frame < 3; ++frame) {
            ClearBackBuffer(frame * 50, 0, 0);
            backBuffer.pixels[static_cast<std::size_t>(frame)] = MakeColour(0, 0, 255);
            PresentFrame();
        }
        const std::vector<uint32_t> shown(HeadlessPresentedPixels(), HeadlessPresentedPixels() + 1024 * 768);
        if (run == 0) {
            first = shown;
        } else {
            EXPECT_EQ(shown, first);
        }
        EXPECT_EQ(HeadlessCounter(), 3 * 163934);
    }
    EXPECT_EQ(first[2], MakeColour(0, 0, 255));
    EXPECT_EQ(first[0], MakeColour(100, 0, 0));
}

}  // namespace

namespace {

TEST_F(HeadlessScreenTest, PresentingLetsGoOfADrawingLeftOpen) {
    StartScreen();
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    PresentFrame();  // the frame forgot its EndDraw
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu) << "no current target after the flip";
    EXPECT_NE(BeginDraw(BackBufferTarget()), 0) << "the next frame can draw again";
    EndDraw();
}

}  // namespace
