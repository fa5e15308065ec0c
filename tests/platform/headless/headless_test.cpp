// The headless screen's flip chain, window activation, opening rules and virtual clock.
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, PresentFlipsTheBackBufferOntoTheScreenWhileTheWindowIsActive) {
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(std::pair(HeadlessScreenWidth(), HeadlessScreenHeight()), std::pair(1024, 768));
    ClearBackBuffer(10, 20, 30);
    backBuffer.pixels[5 * 1024 + 7] = MakeColour(255, 0, 0);
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);  // a drawing the frame forgot to end
    PresentFrame();
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu);  // it ended before the flip
    const uint32_t* shown = HeadlessPresentedPixels();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(std::vector(shown, shown + 1024 * 768), [] {
        std::vector<uint32_t> expected(1024 * 768, MakeColour(10, 20, 30));
        expected[5 * 1024 + 7] = MakeColour(255, 0, 0);
        return expected;
    }());
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);  // a flip: the old front buffer, black

    HeadlessSetActive(false);
    EXPECT_EQ(appActive, 1);  // in force from the next frame's messages
    ClearBackBuffer(200, 0, 0);
    PresentFrame();
    EXPECT_EQ(appActive, 0);
    EXPECT_EQ(HeadlessPresentedFrameCount(), 1);
    EXPECT_EQ(HeadlessPresentedPixels()[0], MakeColour(10, 20, 30));
    EXPECT_EQ(HeadlessCounter(), 2 * 163934);  // the clock ran on
    HeadlessSetActive(true);
    PresentFrame();
    EXPECT_EQ(appActive, 1);
    EXPECT_EQ(HeadlessPresentedFrameCount(), 2);
    EXPECT_EQ(HeadlessPresentedPixels()[1024 * 768 - 1], MakeColour(200, 0, 0));
    EXPECT_EQ(Pixel(0, 0), MakeColour(10, 20, 30));

    ReleaseScreen();  // the last picture stays readable
    EXPECT_EQ(appActive, 0);
    EXPECT_TRUE(backBuffer.pixels.empty());
    PresentFrame();
    EXPECT_EQ(HeadlessPresentedFrameCount(), 2);
    EXPECT_EQ(HeadlessPresentedPixels()[1024 * 768 - 1], MakeColour(200, 0, 0));

    ResetPlatform();  // as before start-up: no screen, no picture, no pacing
    PresentFrame();
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(std::vector({HeadlessPresentedFrameCount(), HeadlessCounter(), int64_t{HeadlessScreenWidth()},
                           int64_t{HeadlessScreenHeight()}, int64_t{appActive}}),
              std::vector<int64_t>(5, 0));
}

TEST_F(PlatformTest, OpeningNeedsTheSpriteSystemAndASaneMode) {
    ResetPlatform();
    EXPECT_EQ(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
    ASSERT_NE(InitSpriteSystem(), 0);
    const struct {
        int32_t width, height, depth;
    } refused[] = {{0, 768, 32}, {1024, -1, 32}, {1024, 768, 8}, {0x10000 + 1024, 768, 7}, {0x8000, 768, 32}};
    for (const auto& m : refused) {
        EXPECT_EQ(OpenFullScreen(m.width, m.height, m.depth, "Karnolt"), 0) << m.width << "x" << m.height;
        EXPECT_TRUE(backBuffer.pixels.empty());
        EXPECT_EQ(appActive, 0);
    }
    // Only the low 16 bits count, as the display interface takes them.
    EXPECT_NE(OpenFullScreen(0x10000 + 320, 200, 0x10000 + 16, "Karnolt"), 0);
    EXPECT_EQ(
        std::vector({backBuffer.width, backBuffer.height, HeadlessScreenWidth(), HeadlessScreenHeight()}),
        std::vector({320, 200, 320, 200}));
}

TEST_F(PlatformTest, EachFrameTakesOnePacingPeriodAndTheTickFollowsInMilliseconds) {
    uint32_t previous = ReadTickCount();
    bool wrapped = false;
    // A frame-rate meter's view: the milliseconds between two frames, modulo 2^32.
    for (int frame = 1; frame <= 610; ++frame) {
        PresentFrame();
        const uint32_t now = ReadTickCount();
        wrapped = wrapped || now < previous;
        ASSERT_TRUE(now - previous == 16u || now - previous == 17u) << frame;
        previous = now;
        if (frame == 61) EXPECT_EQ(HeadlessCounter() / 10'000, 999);  // 61 periods of 16.3934 ms
    }
    EXPECT_TRUE(wrapped);
    for (const auto& [cap, period] : {std::pair{60, 163934}, {30, 322580}, {0, 0}, {1, 5'000'000}}) {
        ASSERT_EQ(SetFrameCap(cap), 1);
        const int64_t before = HeadlessCounter();
        for (int frame = 0; frame < 7; ++frame) PresentFrame();
        EXPECT_EQ(HeadlessCounter() - before, 7 * period) << cap;
    }
    const int64_t before = HeadlessCounter();
    EXPECT_EQ(SetFrameCap(-1), 0);  // refused: the cap of 1 stays
    PresentFrame();
    EXPECT_EQ(HeadlessCounter() - before, 5'000'000);
}
