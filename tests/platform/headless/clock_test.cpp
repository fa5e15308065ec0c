#include <gtest/gtest.h>

#include <cstdint>

#include "platform/display.h"
#include "platform/headless.h"

namespace {

class HeadlessClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPlatform();
        ASSERT_NE(InitSpriteSystem(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
    }
    void TearDown() override { ResetPlatform(); }
};

TEST_F(HeadlessClockTest, EachFrameTakesExactlyOnePacingPeriod) {
    ASSERT_EQ(HeadlessCounterFrequency(), 10'000'000);
    struct Cap {
        int32_t fps;
        int64_t period;
    };
    for (const Cap cap : {Cap{60, 163934}, Cap{30, 322580}, Cap{0, 0}, Cap{1, 5'000'000}}) {
        ASSERT_EQ(SetFrameCap(cap.fps), 1);
        const int64_t before = HeadlessCounter();
        for (int frame = 0; frame < 7; ++frame) {
            PresentFrame();
        }
        EXPECT_EQ(HeadlessCounter() - before, 7 * cap.period) << cap.fps;
    }
    const int64_t before = HeadlessCounter();
    EXPECT_EQ(SetFrameCap(-1), 0);  // refused: the cap of 1 stays
    PresentFrame();
    EXPECT_EQ(HeadlessCounter() - before, 5'000'000);
}

TEST_F(HeadlessClockTest, TickFollowsTheCounterInMilliseconds) {
    ASSERT_EQ(SetFrameCap(60), 1);
    const uint32_t start = ReadTickCount();
    for (int frame = 1; frame <= 61; ++frame) {
        PresentFrame();
        // Counted modulo 2^32, like every user of the tick must.
        ASSERT_EQ(ReadTickCount() - start, static_cast<uint32_t>(HeadlessCounter() / 10'000)) << frame;
    }
    EXPECT_EQ(ReadTickCount() - start, 999u);  // 61 periods of 16.3934 ms
}

TEST_F(HeadlessClockTest, TickWrapsSoonAfterStartAndDifferencesSurviveIt) {
    ASSERT_EQ(SetFrameCap(60), 1);
    uint32_t previous = ReadTickCount();
    bool wrapped = false;
    // A frame-rate meter's view: the milliseconds between two frames.
    for (int frame = 0; frame < 61 * 10; ++frame) {
        PresentFrame();
        const uint32_t now = ReadTickCount();
        wrapped = wrapped || now < previous;
        const uint32_t step = now - previous;
        ASSERT_TRUE(step == 16u || step == 17u) << "frame " << frame << " step " << step;
        previous = now;
    }
    EXPECT_TRUE(wrapped);
}

}  // namespace
