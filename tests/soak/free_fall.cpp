#include <cmath>

#include "editor/beams.h"
#include "game/game.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "sim/simulation.h"
#include "tests/soak/soak.h"

namespace {

constexpr int32_t ANCHOR_COLUMN = 32;  // the left bank's edge in the shipped level
constexpr int32_t ANCHOR_ROW = 40;
constexpr int32_t FALLING_COLUMN = 32;
constexpr int32_t FALLING_ROW = 35;
// Where the beams hanging from the anchor may swing: everything else on screen
// must stay exactly as it was once they were built.
constexpr int32_t SWING_LEFT = 30;
constexpr int32_t SWING_RIGHT = 460;
constexpr int32_t SWING_TOP = 190;
constexpr int32_t SWING_BOTTOM = 610;
constexpr int32_t FPS_LINE_RIGHT = 200;
constexpr int32_t FPS_LINE_BOTTOM = 16;
constexpr uint32_t NO_FORCE_GREEN = 55 | 255 << 8 | 55 << 16;

struct Driver {
    std::string error;
    bool Frames(int64_t count) {
        for (int64_t k = 0; k < count && error.empty(); ++k) {
            if (!RunFrame()) error = "the game ended without Escape";
        }
        return error.empty();
    }
    bool PointAt(int32_t column, int32_t row) {
        HeadlessQueueMotionX(column * 20 + editor.viewOffsetX - editor.pointerX);
        HeadlessQueueMotionY(row * 20 + editor.viewOffsetY - editor.pointerY);
        return Frames(1);
    }
    bool Click(int32_t button) {
        HeadlessQueueButton(button, true);
        Frames(2);
        HeadlessQueueButton(button, false);
        return Frames(11);
    }
    bool ClickNode(int32_t button, int32_t column, int32_t row) {
        return PointAt(column, row) && Click(button);
    }
    bool TapEnter() {
        HeadlessSetKey(SCAN_RETURN, true);
        Frames(1);
        HeadlessSetKey(SCAN_RETURN, false);
        return Frames(1);
    }
    // One chain of one beam: from a node already in use to another node.
    bool BuildBeam(int32_t c1, int32_t r1, int32_t c2, int32_t r2) {
        return ClickNode(1, c1, r1) && ClickNode(1, c2, r2) && Click(2);
    }
};

bool OutsideSwing(int32_t x, int32_t y) {
    const bool fpsLine = x < FPS_LINE_RIGHT && y < FPS_LINE_BOTTOM;
    const bool swing = x >= SWING_LEFT && x < SWING_RIGHT && y >= SWING_TOP && y < SWING_BOTTOM;
    return !fpsLine && !swing;
}

std::string CompareWithReference(const std::vector<uint32_t>& reference, int64_t frame) {
    const std::vector<uint32_t> now = PresentedFrame();
    const int32_t width = HeadlessScreenWidth();
    for (std::size_t k = 0; k < now.size(); ++k) {
        const auto x = static_cast<int32_t>(k % static_cast<std::size_t>(width));
        const auto y = static_cast<int32_t>(k / static_cast<std::size_t>(width));
        if (OutsideSwing(x, y) && now[k] != reference[k]) {
            return "frame " + std::to_string(frame) + ": pixel (" + std::to_string(x) + ", " +
                   std::to_string(y) + ") changed although nothing there moved";
        }
    }
    return "";
}

// Ten pixels from its first end every beam is drawn; after a stop, in the
// no-force green.
bool GreenNearFirstEnd(const Beam& beam) {
    const double dx = beam.bx - beam.ax;
    const double dy = beam.by - beam.ay;
    const double length = std::sqrt(dx * dx + dy * dy);
    const auto x = static_cast<int32_t>(std::lround(beam.ax * 20 + editor.viewOffsetX + 10 * dx / length));
    const auto y = static_cast<int32_t>(std::lround(beam.ay * 20 + editor.viewOffsetY + 10 * dy / length));
    const std::vector<uint32_t> frame = PresentedFrame();
    const int32_t width = HeadlessScreenWidth();
    for (int32_t v = y - 1; v <= y + 1; ++v) {
        for (int32_t u = x - 1; u <= x + 1; ++u) {
            if (frame[static_cast<std::size_t>(v) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(u)] == NO_FORCE_GREEN) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::vector<uint32_t> PresentedFrame() {
    const uint32_t* pixels = HeadlessPresentedPixels();
    if (pixels == nullptr) return {};
    return {pixels, pixels + static_cast<std::size_t>(HeadlessScreenWidth()) * HeadlessScreenHeight()};
}

FreeFallResult RunFreeFall(int64_t frames, int64_t fullEvery, const std::set<NodeIndex>& levelAnchors) {
    FreeFallResult result;
    Driver driver;
    // A joint whose only beam is taken away again: nothing holds it once the
    // simulation runs.
    driver.BuildBeam(ANCHOR_COLUMN, ANCHOR_ROW, FALLING_COLUMN, FALLING_ROW);
    driver.ClickNode(2, ANCHOR_COLUMN, ANCHOR_ROW);
    if (!driver.error.empty() || !beamList.empty() ||
        NodeAt(FALLING_COLUMN, FALLING_ROW).kind != NODE_JOINT) {
        result.error = "could not leave a joint without beams " + driver.error;
        return result;
    }
    driver.TapEnter();
    // Every beam length the editor takes, built while the joint falls; the
    // beam to the falling joint is far too long and breaks at once, the one
    // of length 10 is refused.
    for (int32_t length = BEAM_MIN_LENGTH; length <= BEAM_MAX_LENGTH; ++length) {
        driver.BuildBeam(ANCHOR_COLUMN, ANCHOR_ROW, ANCHOR_COLUMN, ANCHOR_ROW - length);
    }
    driver.BuildBeam(ANCHOR_COLUMN, ANCHOR_ROW, ANCHOR_COLUMN - 3, ANCHOR_ROW - 4);
    driver.BuildBeam(ANCHOR_COLUMN, ANCHOR_ROW, ANCHOR_COLUMN + 2, ANCHOR_ROW - 2);
    driver.BuildBeam(ANCHOR_COLUMN + 3, ANCHOR_ROW, FALLING_COLUMN, FALLING_ROW);
    driver.BuildBeam(ANCHOR_COLUMN, ANCHOR_ROW, ANCHOR_COLUMN - 6, ANCHOR_ROW - 8);
    result.beamsBuilt = CountBeams();
    if (!driver.error.empty() || game.simulationRunning == 0 || result.beamsBuilt != 11) {
        result.error = "building during the run gave " + std::to_string(result.beamsBuilt) +
                       " beams, not 11 " + driver.error;
        return result;
    }

    const int64_t referenceFrame = 5 * fullEvery;
    std::vector<uint32_t> reference;
    float lastY = NodeAt(FALLING_COLUMN, FALLING_ROW).y;
    for (int64_t frame = 1; frame <= frames; ++frame) {
        if (frame % fullEvery == 0) {
            if (!driver.Frames(1)) break;
            ++result.fullFrames;
            if (frame == referenceFrame) reference = PresentedFrame();
            if (frame > referenceFrame) result.error = CompareWithReference(reference, frame);
        } else {
            SimulationStep();
        }
        if (result.error.empty() && frame % 1000 == 0) {
            result.error = CheckWorld(levelAnchors);
            const Node& falling = NodeAt(FALLING_COLUMN, FALLING_ROW);
            if (result.error.empty() && !(falling.y > lastY)) {
                result.error = "the free joint stopped falling at y = " + std::to_string(falling.y);
            }
            lastY = falling.y;
        }
        if (!result.error.empty()) {
            result.error = "frame " + std::to_string(frame) + ": " + result.error;
            return result;
        }
    }
    result.fallenY = NodeAt(FALLING_COLUMN, FALLING_ROW).y;
    if (!driver.error.empty()) {
        result.error = driver.error;
        return result;
    }
    // Stopped: everything back at rest and every beam drawn again, in green.
    driver.TapEnter();
    driver.Frames(1);
    result.error = CheckWorld(levelAnchors);
    for (const Beam& beam : beamList) {
        if (result.error.empty() && !GreenNearFirstEnd(beam)) {
            result.error = "after the stop, beam to (" + std::to_string(beam.bx) + ", " +
                           std::to_string(beam.by) + ") is not drawn in green";
        }
    }
    return result;
}
