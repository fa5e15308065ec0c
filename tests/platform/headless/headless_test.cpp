// The headless screen's flip chain, window activation, opening rules and virtual clock.
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, PresentFlipsTheBackBufferOntoTheScreenWhileTheWindowIsActive) {
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    std::vector<uint32_t> picture(1024 * 768, MakeColour(10, 20, 30));
    picture[5 * 1024 + 7] = MakeColour(255, 0, 0);
    backBuffer.pixels = picture;
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);  // a drawing the frame forgot to end
    PresentFrame();
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFFFFu);  // it ended before the flip
    ASSERT_NE(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(std::vector(HeadlessPresentedPixels(), HeadlessPresentedPixels() + 1024 * 768), picture);
    EXPECT_EQ(CountPixels(0u), SCREEN_WIDTH * SCREEN_HEIGHT);  // a flip: the old front buffer, black
    HeadlessSetActive(false);
    ClearBackBuffer(200, 0, 0);
    PresentFrame();  // inactive: nothing shown, the clock runs on
    EXPECT_EQ(std::vector<int64_t>({appActive, HeadlessPresentedFrameCount(), HeadlessCounter()}),
              std::vector<int64_t>({0, 1, 2 * 163934}));
    HeadlessSetActive(true);
    PresentFrame();
    EXPECT_EQ(std::vector<int64_t>({appActive, HeadlessPresentedFrameCount()}), std::vector<int64_t>({1, 2}));
    EXPECT_EQ(std::vector({HeadlessPresentedPixels()[1024 * 768 - 1], Pixel(5, 5)}),
              std::vector({MakeColour(200, 0, 0), MakeColour(10, 20, 30)}));
    ReleaseScreen();  // the last picture stays readable
    EXPECT_EQ(appActive, 0);
    EXPECT_TRUE(backBuffer.pixels.empty());
    PresentFrame();
    EXPECT_EQ(std::vector<int64_t>({HeadlessPresentedFrameCount(), HeadlessPresentedPixels()[0]}),
              std::vector<int64_t>({2, MakeColour(200, 0, 0)}));
    ResetPlatform();  // as before start-up: no screen, no picture, no pacing
    PresentFrame();
    EXPECT_EQ(HeadlessPresentedPixels(), nullptr);
    EXPECT_EQ(std::vector<int64_t>({HeadlessPresentedFrameCount(), HeadlessCounter(), HeadlessScreenWidth(),
                                    HeadlessScreenHeight()}),
              std::vector<int64_t>(4, 0));
}

TEST_F(PlatformTest, EachFrameTakesOnePacingPeriodAndTheTickFollowsInMilliseconds) {
    uint32_t previous = ReadTickCount();
    bool wrapped = false;
    // A frame-rate meter's view: the milliseconds between two frames, modulo 2^32.
    for (int frame = 1; frame <= 610; ++frame) {
        PresentFrame();
        wrapped = wrapped || ReadTickCount() < previous;
        ASSERT_TRUE(ReadTickCount() - previous == 16u || ReadTickCount() - previous == 17u) << frame;
        previous = ReadTickCount();
        EXPECT_TRUE(frame != 61 || HeadlessCounter() / 10'000 == 999);  // 61 periods of 16.3934 ms
    }
    EXPECT_TRUE(wrapped);
    for (const auto& [cap, period] :
         {std::pair{60, 163934}, {30, 322580}, {0, 0}, {1, 5'000'000}, {-1, 5'000'000}}) {
        EXPECT_EQ(SetFrameCap(cap), cap < 0 ? 0 : 1);  // a refused cap leaves the last one
        const int64_t before = HeadlessCounter();
        for (int frame = 0; frame < 7; ++frame) PresentFrame();
        EXPECT_EQ(HeadlessCounter() - before, 7 * period) << cap;
    }
}
