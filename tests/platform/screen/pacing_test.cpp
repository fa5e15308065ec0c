#include <gtest/gtest.h>

#include <cstdint>

#include "platform/screen/frame_pacing.h"

namespace {

// A fake performance counter: every read costs POLL_COST ticks, a sleep moves
// it on by exactly the time asked for.
constexpr int64_t POLL_COST = 100;
int64_t fakeNow = 0;
int32_t reads = 0;
int32_t sleeps = 0;

int64_t ReadFakeCounter() {
    ++reads;
    const int64_t now = fakeNow;
    fakeNow += POLL_COST;
    return now;
}

void SleepFake(int32_t ticks) {
    ASSERT_GT(ticks, 0);
    ++sleeps;
    fakeNow += ticks;
}

class PacingTest : public ::testing::Test {
protected:
    void SetUp() override {
        pacing = FramePacing{};
        ASSERT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 60), 1);
        fakeNow = 0;
        reads = 0;
        sleeps = 0;
    }
    // Runs one wait starting at `start`; returns the counter when it ended.
    int64_t WaitFrom(int64_t start) {
        fakeNow = start;
        reads = 0;
        sleeps = 0;
        WaitForFrameCap(pacing, ReadFakeCounter, SleepFake);
        return fakeNow;
    }
    FramePacing pacing;
};

TEST_F(PacingTest, PeriodIsOneMoreThanTheCapTruncated) {
    EXPECT_EQ(PacingPeriod(10'000'000, 60), 163934);  // a 61st of a second, not a 60th
    EXPECT_EQ(PacingPeriod(1'000'000'000, 60), 16393442);
    EXPECT_EQ(PacingPeriod(3'579'545, 60), 58681);
    EXPECT_EQ(PacingPeriod(10'000'000, 0), 10'000'000);
    EXPECT_EQ(pacing.period, 163934);
    EXPECT_EQ(pacing.cap, 60);
}

TEST_F(PacingTest, ImpossibleCapsAreRefusedAndChangeNothing) {
    pacing.reference = 1234;
    for (const int32_t fps : {-1, -2, -1000}) {
        EXPECT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, fps), 0) << fps;
    }
    EXPECT_EQ(SetPacingCap(pacing, 0, 60), 0);
    EXPECT_EQ(pacing.cap, 60);
    EXPECT_EQ(pacing.period, 163934);
    EXPECT_EQ(pacing.reference, 1234);
}

TEST_F(PacingTest, CapZeroDoesNotWait) {
    ASSERT_EQ(SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 0), 1);
    EXPECT_EQ(WaitFrom(5'000'000), 5'000'000);
    EXPECT_EQ(reads, 0);
}

TEST_F(PacingTest, FirstWaitIsAFullPeriodFromTheFirstReading) {
    const int64_t start = 5'000'000;
    const int64_t end = WaitFrom(start);
    // Ends at the first reading more than a period after the first one.
    EXPECT_GT(end - POLL_COST - start, pacing.period);
    EXPECT_LE(end - POLL_COST - start, pacing.period + POLL_COST);
    EXPECT_EQ(pacing.reference, static_cast<int32_t>(end - POLL_COST));
}

TEST_F(PacingTest, WaitCountsFromTheEndOfThePreviousWait) {
    const int64_t firstEnd = WaitFrom(5'000'000) - POLL_COST;
    // 4 ms of frame work: the next wait makes up only the rest of the period.
    const int64_t secondEnd = WaitFrom(firstEnd + 40'000) - POLL_COST;
    EXPECT_GT(secondEnd - firstEnd, pacing.period);
    EXPECT_LE(secondEnd - firstEnd, pacing.period + POLL_COST);
}

TEST_F(PacingTest, SlowFrameDoesNotWait) {
    const int64_t firstEnd = WaitFrom(5'000'000) - POLL_COST;
    const int64_t late = firstEnd + 2 * pacing.period;
    EXPECT_EQ(WaitFrom(late), late + POLL_COST);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(pacing.reference, static_cast<int32_t>(late));
}

TEST_F(PacingTest, SignChangeOfTheLowWordRestartsTheMeasurement) {
    // The previous wait ended just below 2^31; the next reading is past it,
    // where the low 32 bits read as negative.
    const int64_t firstEnd = WaitFrom(0x7FFF'FFFFLL - pacing.period - 1000) - POLL_COST;
    ASSERT_GT(pacing.reference, 0);
    const int64_t next = firstEnd + 50'000;
    ASSERT_LT(static_cast<int32_t>(static_cast<uint32_t>(next)), 0);
    const int64_t end = WaitFrom(next) - POLL_COST;
    EXPECT_GT(end - next, pacing.period);  // a full period from the restart
    EXPECT_LE(end - next, pacing.period + POLL_COST);

    // And back to positive when the low word wraps around 2^32.
    const int64_t wrapped = 0x1'0000'0000LL + 10;
    const int64_t wrappedEnd = WaitFrom(wrapped) - POLL_COST;
    EXPECT_GT(wrappedEnd - wrapped, pacing.period);
    EXPECT_LE(wrappedEnd - wrapped, pacing.period + POLL_COST);
}

TEST_F(PacingTest, SleepsNapsAndSpinsOnlyAtTheEnd) {
    const int64_t end = WaitFrom(5'000'000) - POLL_COST;
    EXPECT_GT(end - 5'000'000, pacing.period);
    EXPECT_LE(end - 5'000'000, pacing.period + POLL_COST);
    // One long sleep, naps through the margin, then a read every POLL_COST for the last stretch.
    const int32_t naps = (PACING_SLEEP_MARGIN - PACING_SPIN) / (PACING_NAP + POLL_COST);
    EXPECT_NEAR(sleeps, 1 + naps, 2);
    // The spin covers at most the last PACING_SPIN (less whatever the last nap overslept it).
    EXPECT_LE(reads, 1 + naps + PACING_SPIN / POLL_COST + 2);
    EXPECT_GE(reads, 1 + naps + (PACING_SPIN - PACING_NAP) / POLL_COST - 2);
}

}  // namespace
