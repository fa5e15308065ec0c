// The simulation step and the world it changes, on small hand-made worlds.
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
    // Anchor (0, 0) to joint (2, 0): rest length 40.
    static Node& AnchorToJoint(float jointX) {
        NodeAt(0, 0).kind = NODE_ANCHOR;
        NodeAt(2, 0).kind = NODE_JOINT;
        AddBeam(0, 0, 2, 0);
        NodeAt(2, 0).x = jointX;
        return NodeAt(2, 0);
    }
};

TEST_F(SimulationTest, WorkedLoadsImpulsesAndBreakLimits) {
    struct Case {
        float jointX, impulse, loadFactor;
        int32_t intact;
    };
    // The whole length error pulls or pushes the joint; the load is (40 / length)^20.
    const Case cases[] = {{41.0f, -1.0f, 0.61027f, 1}, {39.0f, 1.0f, 1.65924f, 1},
                          {43.2f, -3.2f, 0.21455f, 1}, {43.6f, -3.6f, 0.17843f, 0},
                          {37.2f, 2.8f, 4.26914f, 1},  {36.8f, 3.2f, 5.29960f, 0}};
    for (const Case& c : cases) {
        SetUp();
        Node& joint = AnchorToJoint(c.jointX);
        ApplyBeamForces();
        EXPECT_NEAR(joint.vx, c.impulse, 1e-4f) << c.jointX;
        EXPECT_NEAR(beamList[0].loadFactor, c.loadFactor, 1e-4f) << c.jointX;
        EXPECT_EQ(beamList[0].intact, c.intact) << c.jointX;
        EXPECT_EQ(joint.x, c.jointX);      // forces change velocities, never positions
        EXPECT_EQ(NodeAt(0, 0).vx, 0.0f);  // the anchor end receives nothing
        ApplyBeamForces();                 // a broken beam pushes no more
        EXPECT_NEAR(joint.vx, c.impulse * (c.intact == 0 ? 1.0f : 2.0f), 1e-4f) << c.jointX;
    }
}

// The first running step of a lone joint, worked by hand; the running bridge's
// reference state pins whole scenes.
TEST_F(SimulationTest, ARunningStepMovesJointsOnly) {
    NodeAt(3, 4).kind = NODE_JOINT;
    NodeAt(20, 20).kind = NODE_JOINT;                             // the grid's last column and row
    NodeAt(6, 6) = Node{NODE_EMPTY, 130.0f, 140.0f, 1.0f, 2.0f};  // an emptied joint keeps its place
    game.simulationRunning = 1;
    SimulationStep();
    EXPECT_EQ(NodeAt(3, 4).vy, 0.49f);  // (0 + 0.5) * 0.98
    EXPECT_EQ(NodeAt(3, 4).y, 80.0f + 0.245f);
    EXPECT_EQ(NodeAt(20, 20).y, 400.0f + 0.245f);
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
