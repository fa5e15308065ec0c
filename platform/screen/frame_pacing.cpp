// The frame cap: period, reference and the wait measured from the end of the
// previous wait.
#include "platform/screen/frame_pacing.h"

#include <algorithm>

int32_t PacingPeriod(int64_t frequency, int32_t framesPerSecond) {
    return static_cast<int32_t>(static_cast<uint32_t>(frequency / (int64_t{framesPerSecond} + 1)));
}

int32_t SetPacingCap(FramePacing& pacing, int64_t frequency, int32_t framesPerSecond) {
    // A negative cap would divide by zero at -1 and give a negative period
    // below; neither is a rate.
    if (frequency <= 0 || framesPerSecond < 0) {
        return 0;
    }
    pacing.cap = framesPerSecond;
    pacing.period = PacingPeriod(frequency, framesPerSecond);
    pacing.reference = 0;
    return 1;
}

void WaitForFrameCap(FramePacing& pacing, int64_t (*readCounter)(), void (*sleepTicks)(int32_t ticks)) {
    if (pacing.cap == 0) {
        return;
    }
    int32_t now = 0;
    for (;;) {
        now = static_cast<int32_t>(static_cast<uint32_t>(readCounter()));
        // When the low word changes sign the difference is meaningless, so the
        // measurement starts again from here; this also turns the reference 0
        // left by SetFrameCap into a first wait of a full period.
        if ((now < 0 && pacing.reference >= 0) || (now > 0 && pacing.reference <= 0)) {
            pacing.reference = now;
        }
        const int32_t elapsed =
            static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(pacing.reference));
        if (elapsed > pacing.period) {
            break;
        }
        const int64_t left =
            int64_t{pacing.period} - elapsed;  // a counter running backwards gives a large gap
        if (left > PACING_SLEEP_MARGIN) {
            sleepTicks(static_cast<int32_t>(std::min<int64_t>(left - PACING_SLEEP_MARGIN, INT32_MAX)));
        } else if (left > PACING_SPIN) {
            sleepTicks(PACING_NAP);
        }
    }
    pacing.reference = now;
}

namespace {

int32_t LowWord(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t WrappedDifference(int32_t later, int32_t earlier) {
    return static_cast<int32_t>(static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier));
}

}  // namespace

int32_t GameFramesDue(FramePacing& pacing, int64_t now) {
    if (pacing.cap == 0) return 1;
    const int32_t low = LowWord(now);
    const int32_t elapsed = WrappedDifference(low, pacing.reference);
    const int32_t sinceDisplay = WrappedDifference(low, pacing.lastDisplay);
    const int64_t far = PACING_MAX_BEHIND * int64_t{pacing.period};
    const bool restart = pacing.reference == 0 || elapsed > far || elapsed < -far;
    // The display's frame time, from display frames of a steady run only: the gap of
    // a pause says nothing about the display.
    if (!restart && sinceDisplay > 0) {
        pacing.displayInterval =
            pacing.displayInterval == 0
                ? sinceDisplay
                : pacing.displayInterval + (sinceDisplay - pacing.displayInterval) / PACING_DISPLAY_SMOOTHING;
    }
    pacing.lastDisplay = low;
    // The first display frame after SetFrameCap, a long pause (a hidden tab), or a
    // counter far back: the count starts afresh with a frame at once, instead of
    // running the missed frames.
    if (restart) {
        pacing.reference = low;
        return 1;
    }
    // Display frames come a little early or late: a frame within a few percent of
    // its time still runs, or a 60 Hz display would drop frames to its jitter.
    const int32_t slack = pacing.period / PACING_DISPLAY_SLACK;
    if (elapsed <= pacing.period - slack) return 0;
    // Every period that has passed is due, but only a display slower than the cap
    // runs more than one: on a faster one a late display frame is jitter, and two
    // game frames in it would make the motion stutter.
    const int32_t most = pacing.displayInterval > pacing.period ? PACING_MAX_FRAMES_PER_DISPLAY : 1;
    const int32_t due = std::clamp((elapsed + slack - 1) / pacing.period, 1, most);
    // The reference moves on by whole periods, so that the rate holds on average
    // (the low word wraps harmlessly).
    pacing.reference =
        static_cast<int32_t>(static_cast<uint32_t>(pacing.reference) +
                             static_cast<uint32_t>(due) * static_cast<uint32_t>(pacing.period));
    return due;
}
