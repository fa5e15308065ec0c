// Long runs under the sanitizers with the world checked as they go: seeded random
// play, and a joint that falls for ever. The test command runs them briefly; `make
// soak` sets KARNOLT_PLAY_FRAMES, KARNOLT_PLAY_SEED and KARNOLT_FALL_FRAMES.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>

#include "sim/simulation.h"
#include "tests/support/fixture.h"

using namespace fixture;

namespace {

int64_t Setting(const char* name, int64_t fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtoll(value, nullptr, 10) : fallback;
}

using NodeIndex = std::pair<int32_t, int32_t>;

std::set<NodeIndex> Anchors() {
    std::set<NodeIndex> anchors;
    for (int32_t i = 0; i < GRID_NODES; ++i) {
        for (int32_t j = 0; j < GRID_NODES; ++j) {
            if (NodeAt(i, j).kind == NODE_ANCHOR) anchors.insert({i, j});
        }
    }
    return anchors;
}

// "" when the world is sound, else what is wrong.
std::string CheckWorld(const std::set<NodeIndex>& levelAnchors) {
    std::set<std::pair<NodeIndex, NodeIndex>> joined;
    const bool stopped = game.simulationRunning == 0;
    for (const Beam& b : beamList) {
        const std::string name = "beam " + std::to_string(b.ax) + "," + std::to_string(b.ay) + "-" +
                                 std::to_string(b.bx) + "," + std::to_string(b.by);
        if (!IsInUseNode(b.ax, b.ay) || !IsInUseNode(b.bx, b.by)) return name + " leaves the grid";
        // End A may be empty: a chain goes on from a start node the deletion emptied.
        if (NodeAt(b.bx, b.by).kind == NODE_EMPTY) return name + " ends on an empty node";
        const NodeIndex a{b.ax, b.ay}, z{b.bx, b.by};
        if (a == z || !joined.insert(std::minmax(a, z)).second) return name + " is a duplicate or a loop";
        if (stopped && (b.intact == 0 || b.loadFactor != 1.0f)) return name + " is loaded while stopped";
    }
    if (Anchors() != levelAnchors) return "the anchors changed";
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            const Node& n = NodeAt(i, j);
            if (!std::isfinite(n.x + n.y + n.vx + n.vy)) return "a node left the finite numbers";
            if (stopped && (n.x != RestX(i) || n.y != RestY(j) || n.vx != 0 || n.vy != 0)) {
                return "node " + std::to_string(i) + "," + std::to_string(j) +
                       " is not at rest while stopped";
            }
        }
    }
    return "";
}

TEST(RandomPlayTest, TheWorldStaysSoundUnderRandomInput) {
    ASSERT_TRUE(StartGame(KARNOLT_SOURCE_DIR "/data/Level1.bmp"));
    const std::set<NodeIndex> anchors = Anchors();
    std::mt19937_64 rng(static_cast<uint64_t>(Setting("KARNOLT_PLAY_SEED", 1)));
    const auto chance = [&rng](int32_t oneIn) {
        return std::uniform_int_distribution<int32_t>(1, oneIn)(rng) == 1;
    };
    const auto uniform = [&rng](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng);
    };
    NodeIndex node{40, 40};  // where the pointer heads
    int32_t heldButton = 0, holdFrames = 0, enterFrames = 0, deleteFrames = 0, mostBeams = 0;
    const int64_t frames = Setting("KARNOLT_PLAY_FRAMES", 6000);
    for (int64_t frame = 1; frame <= frames; ++frame) {
        if (chance(40)) {
            // Mostly near the chain's start or an anchor, so chains grow; sometimes anywhere,
            // off the screen too, so the view scrolls.
            const NodeIndex near =
                editor.placingBeam != 0
                    ? NodeIndex{editor.startColumn, editor.startRow}
                    : *std::next(anchors.begin(), uniform(0, static_cast<int32_t>(anchors.size()) - 1));
            const int32_t reach = chance(8) ? 40 : (editor.placingBeam == 0 && chance(3) ? 0 : 8);
            node = {near.first + uniform(-reach, reach), near.second + uniform(-reach, reach)};
        }
        const int32_t step = chance(4) ? 1000 : uniform(2, 60);
        const int32_t x = ScreenXOfColumn(node.first), y = ScreenYOfRow(node.second);
        HeadlessQueueMotionX(std::clamp(x - editor.pointerX, -step, step));
        HeadlessQueueMotionY(std::clamp(y - editor.pointerY, -step, step));
        if (chance(500)) {
            for (int32_t k = 0; k < MOUSE_EVENT_BUFFER + 6; ++k) HeadlessQueueMotionX(k % 2 == 0 ? 1 : -1);
        }
        if (heldButton != 0 && --holdFrames <= 0) {
            HeadlessQueueButton(heldButton, false);
            heldButton = 0;
        } else if (heldButton == 0 && chance(x == editor.pointerX && y == editor.pointerY ? 4 : 80)) {
            // Mostly clicks of button 1 where the pointer arrived; now and then a tap
            // too short to count, or a drag.
            heldButton = chance(40) ? 3 : (chance(8) ? 2 : 1);
            holdFrames = chance(12) ? uniform(5, 90) : uniform(chance(8) ? 1 : 2, 4);
            HeadlessQueueButton(heldButton, true);
        }
        for (auto [scanCode, framesLeft, oneIn] :
             {std::tuple{SCAN_RETURN, &enterFrames, 600}, std::tuple{SCAN_DELETE, &deleteFrames, 400}}) {
            if (*framesLeft > 0 && --*framesLeft == 0) HeadlessSetKey(scanCode, false);
            if (*framesLeft == 0 && chance(oneIn)) {
                *framesLeft = uniform(1, 5);
                HeadlessSetKey(scanCode, true);
            }
        }
        if (chance(1500)) HeadlessSetActive(false);
        if (chance(50)) HeadlessSetActive(true);
        ASSERT_TRUE(RunFrame());
        mostBeams = std::max(mostBeams, CountBeams());
        if (frame % 500 == 0) {
            ASSERT_EQ(CheckWorld(anchors), "") << "frame " << frame;
        }
    }
    EXPECT_GT(mostBeams, 20) << "the player hardly built anything";
}

TEST(RandomPlayTest, ALoneJointFallsForAsLongAsYouLike) {
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{30, 30}})));
    NodeAt(32, 30).kind = NODE_JOINT;  // as a joint whose beams were removed
    HoldKey(SCAN_RETURN, 1);
    float lastY = NodeAt(32, 30).y;
    const int64_t frames = Setting("KARNOLT_FALL_FRAMES", 100000);
    for (int64_t frame = 1; frame <= frames; ++frame) {
        // The whole frame now and then; the step alone in between to go far quickly.
        if (frame % 1000 == 0) {
            Frames(1);
            ASSERT_EQ(CheckWorld({{30, 30}}), "") << "frame " << frame;
            ASSERT_GT(NodeAt(32, 30).y, lastY);
            lastY = NodeAt(32, 30).y;
        } else {
            SimulationStep();
        }
    }
    EXPECT_EQ(NodeAt(32, 30).x, RestX(32));
}

}  // namespace
