// The frame cap's waits against a fake performance counter. The periods and the
// refused caps are seen through the headless clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "platform/screen/frame_pacing.h"

namespace {

// Every read of the fake counter costs POLL_COST ticks; a sleep moves it on by
// exactly the time asked for.
constexpr int64_t POLL_COST = 100;
int64_t fakeNow = 0;
int32_t reads = 0, sleeps = 0;

// One wait from `start`; returns its last reading, from which the next period counts.
int64_t WaitFrom(FramePacing& pacing, int64_t start) {
    fakeNow = start;
    reads = sleeps = 0;
    WaitForFrameCap(
        pacing, [] { return ++reads, fakeNow += POLL_COST, fakeNow - POLL_COST; },
        [](int32_t ticks) {
            EXPECT_GT(ticks, 0);
            ++sleeps, fakeNow += ticks;
        });
    return fakeNow - POLL_COST;
}

}  // namespace

// Two waits: the first a full period from its start (the cap was just set), the
// second a period from the end of the first, or from its own start when the low
// 32 bits of the counter changed sign in between, or none when it starts late.
TEST(PacingTest, EachWaitEndsAPeriodAfterThePreviousOne) {
    const struct {
        const char* name;
        int64_t firstStart, gap;
        bool restarts;
    } cases[] = {
        {"frame work shorter than a period", 5'000'000, 40'000, false},
        {"a slow frame", 5'000'000, 400'000, false},
        {"the low word turning negative", 0x7FFF'FFFFLL - 200'000, 50'000, true},
        {"the low word wrapping to positive", 0xFFFF'FFFFLL - 200'000, 50'000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FramePacing pacing;
        ASSERT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 60), 1);
        const int64_t firstEnd = WaitFrom(pacing, c.firstStart);
        const int64_t firstWait = firstEnd - c.firstStart;
        EXPECT_TRUE(firstWait > pacing.period && firstWait <= pacing.period + POLL_COST) << firstWait;
        // One long sleep, naps through the margin, then a read every POLL_COST for the last stretch.
        const int32_t naps = (PACING_SLEEP_MARGIN - PACING_SPIN) / (PACING_NAP + POLL_COST);
        EXPECT_NEAR(sleeps, 1 + naps, 2);
        EXPECT_LE(reads, 1 + naps + PACING_SPIN / POLL_COST + 2);
        EXPECT_GE(reads, 1 + naps + (PACING_SPIN - PACING_NAP) / POLL_COST - 2);
        const int64_t start = firstEnd + c.gap, from = c.restarts ? start : firstEnd;
        const int64_t end = WaitFrom(pacing, start);
        EXPECT_EQ(end == start, start - from > pacing.period);
        EXPECT_GT(end - from, pacing.period);
        EXPECT_LE(end - from, std::max(pacing.period + POLL_COST, start - from));
        EXPECT_EQ(pacing.reference, static_cast<int32_t>(static_cast<uint32_t>(end)));
    }
}

// The browser's pacing, asked at each display frame of displays of several rates,
// with exact and jittered frame times: one game frame per period, so 60 or 61 in
// each second, at most one per display frame, and after a minute in a hidden tab
// no run of missed frames.
TEST(PacingTest, DisplaysOfAnyRateRunOneGameFramePerPeriod) {
    std::mt19937 random(7);
    for (const int64_t hertz : {60, 75, 120, 144, 240}) {
        for (const int32_t jitter : {0, 10'000}) {
            FramePacing pacing;
            ASSERT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 60), 1);
            std::uniform_int_distribution<int32_t> shift(-jitter, jitter);
            int64_t displayFrame = 0;
            const auto secondOfFrames = [&](int64_t start) {
                int frames = 0;
                for (int64_t k = 0; k < hertz; ++k, ++displayFrame) {
                    frames += DisplayFrameRunsGameFrame(
                        pacing, start + displayFrame * PACING_COUNTER_FREQUENCY / hertz + shift(random));
                }
                return frames;
            };
            const int64_t start =
                0x7FFF'FFFFLL - 3 * PACING_COUNTER_FREQUENCY;  // the low word turns negative
            for (int second = 0; second < 6; ++second) {
                const int frames = secondOfFrames(start);
                EXPECT_TRUE(frames == 60 || frames == 61)
                    << hertz << " Hz, second " << second << ": " << frames;
            }
            const int afterAMinute = secondOfFrames(start + 60 * PACING_COUNTER_FREQUENCY);
            EXPECT_TRUE(afterAMinute == 60 || afterAMinute == 61) << hertz << " Hz: " << afterAMinute;
        }
    }
}
