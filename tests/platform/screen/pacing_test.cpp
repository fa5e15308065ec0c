// The frame cap's waits against a fake performance counter. The periods and the
// refused caps are seen through the headless clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

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
// with exact and jittered frame times: 60 or 61 game frames in each second. A
// display as fast as the cap or faster runs at most one game frame per display
// frame, also when it drops a few display frames now and then; a slower one as many
// as keep the rate, within the bound. After a minute in a hidden tab the count starts
// afresh: one game frame, and no run of missed ones.
TEST(PacingTest, DisplaysOfAnyRateRunSixtyOrSixtyOneGameFramesASecond) {
    const struct {
        double hertz;
        int32_t mostPerDisplayFrame;
        int32_t drops = 0;  // display frames missing in a row, in every 50
    } displays[] = {
        {30, 3}, {50, 2}, {59.94, 2}, {60, 2}, {61, 1}, {75, 1}, {120, 1}, {144, 1}, {144, 1, 3}, {240, 1},
    };
    std::mt19937 random(7);
    for (const auto& display : displays) {
        for (const int32_t jitter : {0, 10'000}) {
            SCOPED_TRACE(testing::Message()
                         << display.hertz << " Hz, jitter " << jitter << ", dropping " << display.drops);
            FramePacing pacing;
            ASSERT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 60), 1);
            std::uniform_int_distribution<int32_t> shift(-jitter, jitter);
            const double displayPeriod = PACING_COUNTER_FREQUENCY / display.hertz;
            int32_t most = 0;
            // The game frames of the display frames in seconds [from, from + count) after
            // `start`, one count per second; `first` gets the first display frame's.
            const auto seconds = [&](int64_t start, int from, int count, int32_t* first) {
                std::vector<int> frames(count, 0);
                const auto firstFrame = static_cast<int64_t>(std::ceil(from * display.hertz));
                for (int64_t k = firstFrame;; ++k) {
                    const auto at = static_cast<int64_t>(std::llround(k * displayPeriod));
                    const auto second = static_cast<int>(at / PACING_COUNTER_FREQUENCY) - from;
                    if (second >= count) break;
                    if (k % 50 < display.drops) continue;
                    const int32_t due = GameFramesDue(pacing, start + at + shift(random));
                    if (k == firstFrame && first != nullptr) *first = due;
                    most = std::max(most, due);
                    frames[second] += due;
                }
                return frames;
            };
            const int64_t start =
                0x7FFF'FFFFLL - 3 * PACING_COUNTER_FREQUENCY;  // the low word turns negative
            for (const int frames : seconds(start, 0, 6, nullptr)) {
                EXPECT_TRUE(frames == 60 || frames == 61) << frames;
            }
            int32_t afterTheGap = 0;
            const std::vector<int> later = seconds(start, 66, 2, &afterTheGap);
            EXPECT_EQ(afterTheGap, 1);
            for (const int frames : later) {
                EXPECT_TRUE(frames == 60 || frames == 61) << "after a minute: " << frames;
            }
            EXPECT_EQ(most, display.mostPerDisplayFrame);
        }
    }
}
