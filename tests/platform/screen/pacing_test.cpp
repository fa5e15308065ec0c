// The frame cap's arithmetic against a fake performance counter.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/screen/frame_pacing.h"

namespace {

// Every read of the fake counter costs POLL_COST ticks; a sleep moves it on by
// exactly the time asked for.
constexpr int64_t POLL_COST = 100;
int64_t fakeNow = 0;
int32_t reads = 0, sleeps = 0;

int64_t ReadFakeCounter() {
    ++reads;
    fakeNow += POLL_COST;
    return fakeNow - POLL_COST;
}

void SleepFake(int32_t ticks) {
    ASSERT_GT(ticks, 0);
    ++sleeps;
    fakeNow += ticks;
}

// One wait from `start`; returns its last reading, from which the next period counts.
int64_t WaitFrom(FramePacing& pacing, int64_t start) {
    fakeNow = start;
    reads = sleeps = 0;
    WaitForFrameCap(pacing, ReadFakeCounter, SleepFake);
    return fakeNow - POLL_COST;
}

}  // namespace

TEST(PacingTest, ThePeriodIsTheFrequencyOverOneMoreThanTheCapAndImpossibleCapsChangeNothing) {
    const struct {
        int64_t frequency;
        int32_t cap, period;
    } cases[] = {{10'000'000, 60, 163934},  // a 61st of a second, not a 60th
                 {1'000'000'000, 60, 16393442},
                 {3'579'545, 60, 58681},
                 {10'000'000, 0, 10'000'000},
                 {10'000'000, 30, 322580}};
    for (const auto& c : cases) {
        FramePacing pacing{7, 7, 7};
        ASSERT_EQ(SetPacingCap(pacing, c.frequency, c.cap), 1);
        EXPECT_EQ(pacing.period, c.period) << c.frequency << " / " << c.cap;
        EXPECT_EQ(pacing.cap, c.cap);
        EXPECT_EQ(pacing.reference, 0);
    }
    for (const auto& [frequency, cap] :
         {std::pair<int64_t, int32_t>{PACING_COUNTER_FREQUENCY, -1}, {1, -1000}, {0, 60}}) {
        FramePacing pacing{60, 163934, 1234};
        EXPECT_EQ(SetPacingCap(pacing, frequency, cap), 0);
        EXPECT_EQ(std::vector({pacing.cap, pacing.period, pacing.reference}),
                  std::vector({60, 163934, 1234}));
    }
    FramePacing uncapped;
    ASSERT_EQ(SetPacingCap(uncapped, PACING_COUNTER_FREQUENCY, 0), 1);
    EXPECT_EQ(WaitFrom(uncapped, 5'000'000), 5'000'000 - POLL_COST);
    EXPECT_EQ(reads, 0);
}

// Two waits: the first a full period from its start (the cap was just set), the
// second a period from the end of the first, or from its own start when the low
// 32 bits of the counter changed sign in between, or not at all when it is late.
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
        EXPECT_GT(firstEnd - c.firstStart, pacing.period);
        EXPECT_LE(firstEnd - c.firstStart, pacing.period + POLL_COST);
        // One long sleep, naps through the margin, then a read every POLL_COST for the last stretch.
        const int32_t naps = (PACING_SLEEP_MARGIN - PACING_SPIN) / (PACING_NAP + POLL_COST);
        EXPECT_NEAR(sleeps, 1 + naps, 2);
        EXPECT_LE(reads, 1 + naps + PACING_SPIN / POLL_COST + 2);
        EXPECT_GE(reads, 1 + naps + (PACING_SPIN - PACING_NAP) / POLL_COST - 2);

        const int64_t start = firstEnd + c.gap, from = c.restarts ? start : firstEnd;
        const int64_t end = WaitFrom(pacing, start);
        if (start - from > pacing.period) {
            EXPECT_EQ(end, start);
            EXPECT_EQ(sleeps, 0);
        } else {
            EXPECT_GT(end - from, pacing.period);
            EXPECT_LE(end - from, pacing.period + POLL_COST);
        }
        EXPECT_EQ(pacing.reference, static_cast<int32_t>(static_cast<uint32_t>(end)));
    }
}
