// The simulation step and the world it changes, on small hand-made worlds. Loads,
// impulses and break limits are pinned by the scripted sessions' reference states.
#include "sim/simulation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/game_state.h"
#include "model/world.h"

namespace {

class SimulationTest : public ::testing::Test {
protected:
    void SetUp() override {
        game = GameState{};
        CreateWorld();
        gridWidth = gridHeight = 20;
    }
};

// The first running step of a lone joint, worked by hand; the running bridge's
// reference state pins whole scenes.
TEST_F(SimulationTest, ARunningStepMovesJointsOnly) {
    NodeAt(3, 4).kind = NODE_JOINT;
    NodeAt(20, 0).kind = NODE_JOINT;  // the grid's first and last columns and rows
    NodeAt(0, 20).kind = NODE_JOINT;
    NodeAt(6, 6) = Node{NODE_EMPTY, 130.0f, 140.0f, 1.0f, 2.0f};  // an emptied joint keeps its place
    game.simulationRunning = 1;
    SimulationStep();
    EXPECT_EQ(NodeAt(3, 4).vy, 0.49f);  // (0 + 0.5) * 0.98
    EXPECT_EQ(NodeAt(3, 4).y, 80.0f + 0.245f);
    EXPECT_EQ(NodeAt(20, 0).y, 0.245f);
    EXPECT_EQ(NodeAt(0, 20).y, 400.0f + 0.245f);
    EXPECT_EQ(NodeAt(6, 6).y, 140.0f);
    EXPECT_EQ(NodeAt(6, 6).vx, 0.98f);
}

TEST_F(SimulationTest, BeamsWithBothEndsOnOnePointBreakAndLeaveVelocitiesAlone) {
    for (const float gap : {0.0f, 1e-44f}) {  // 1e-44: the ratio leaves float range
        SetUp();
        NodeAt(1, 1).kind = NODE_JOINT;
        NodeAt(3, 1).kind = NODE_JOINT;
        AddBeam(1, 1, 3, 1);
        NodeAt(3, 1).x = NodeAt(1, 1).x + gap;
        NodeAt(1, 1).vx = 2.0f;
        ApplyBeamForces();
        EXPECT_EQ(beamList[0].intact, 0) << gap;
        EXPECT_EQ(NodeAt(1, 1).vx, 2.0f) << gap;
        EXPECT_EQ(NodeAt(3, 1).vx, 0.0f) << gap;
    }
}

// A lookup far outside the grid still lands on a node of it.
TEST(WorldTest, LookupsStayInTheGrid) {
    for (const int32_t k : {-2000000000, 301, INT32_MAX}) {
        EXPECT_GE(&NodeAt(k, k), &nodeGrid.nodes[0][0]);
        EXPECT_LE(&NodeAt(k, k), &nodeGrid.nodes[GRID_CAPACITY][GRID_CAPACITY]);
    }
}

}  // namespace
