// The headless screen's flip chain, window activation and virtual clock.
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, PresentFlipsTheBackBufferOntoTheScreenWhileTheWindowIsActive) {
    std::vector<uint32_t> picture(1024 * 768, MakeColour(10, 20, 30));
    picture[5 * 1024 + 7] = MakeColour(255, 0, 0);
    SettledBackBuffer().pixels = picture;
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
    PresentFrame();
    EXPECT_EQ(std::vector<int64_t>({HeadlessPresentedFrameCount(), HeadlessPresentedPixels()[0]}),
              std::vector<int64_t>({2, MakeColour(200, 0, 0)}));
}

TEST_F(PlatformTest, EachFrameTakesOnePacingPeriodAndTheTickFollowsInMilliseconds) {
    const uint32_t start = ReadTickCount();
    for (int frame = 0; frame < 61; ++frame) PresentFrame();
    EXPECT_EQ(ReadTickCount() - start, 999u);  // 61 periods of 16.3934 ms
    for (const auto& [cap, period] :
         {std::pair{60, 163934}, {30, 322580}, {0, 0}, {1, 5'000'000}, {-1, 5'000'000}}) {
        EXPECT_EQ(SetFrameCap(cap), cap < 0 ? 0 : 1);  // a refused cap leaves the last one
        const int64_t before = HeadlessCounter();
        for (int frame = 0; frame < 7; ++frame) PresentFrame();
        EXPECT_EQ(HeadlessCounter() - before, 7 * period) << cap;
    }
}
