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

TEST_F(SimulationTest, ImpulsesOfSeveralBeamsAddUpAndJointEndsReceiveOpposites) {
    NodeAt(4, 0).kind = NODE_ANCHOR;
    AnchorToJoint(41.0f);  // joint is end B of the first beam and end A of the second
    AddBeam(2, 0, 4, 0);
    NodeAt(6, 6).kind = NODE_JOINT;
    NodeAt(9, 10).kind = NODE_JOINT;
    AddBeam(6, 6, 9, 10);  // rest length 100
    NodeAt(9, 10).x += 3.0f;
    NodeAt(9, 10).y -= 1.0f;
    ApplyBeamForces();
    EXPECT_NEAR(NodeAt(2, 0).vx, -2.0f, 1e-5f);
    EXPECT_EQ(NodeAt(6, 6).vx, -NodeAt(9, 10).vx);
    EXPECT_EQ(NodeAt(6, 6).vy, -NodeAt(9, 10).vy);
    EXPECT_GT(NodeAt(6, 6).vx, 0.0f);  // stretched: A is pulled towards B
}

TEST_F(SimulationTest, AStoppedWorldNeverMovesAndEveryBeamReadsExactlyOne) {
    gridWidth = gridHeight = 300;
    const int32_t ends[][4] = {{0, 0, 1, 2},     {297, 290, 288, 293}, {150, 150, 156, 157},
                               {299, 1, 297, 9}, {13, 12, 20, 17},     {300, 300, 291, 297}};
    for (const auto& e : ends) {
        NodeAt(e[0], e[1]).kind = NODE_JOINT;
        NodeAt(e[2], e[3]).kind = NODE_JOINT;
        AddBeam(e[0], e[1], e[2], e[3]);
    }
    for (int frame = 0; frame < 100; ++frame) SimulationStep();
    for (const Beam& beam : beamList) {
        EXPECT_EQ(beam.loadFactor, 1.0f);
        EXPECT_EQ(NodeAt(beam.bx, beam.by).vx, 0.0f);
        EXPECT_EQ(NodeAt(beam.bx, beam.by).y, RestY(beam.by));
    }
}

TEST_F(SimulationTest, RunningStepsMoveJointsFirstAndOnlyJoints) {
    Node& joint = AnchorToJoint(40.0f);
    Node& lone = NodeAt(3, 4);
    lone.kind = NODE_JOINT;
    Node& emptied = NodeAt(6, 6);
    emptied = Node{NODE_EMPTY, 130.0f, 140.0f, 1.0f, 2.0f};
    game.simulationRunning = 1;
    SimulationStep();
    EXPECT_EQ(lone.vy, 0.49f);  // (0 + 0.5) * 0.98
    EXPECT_EQ(lone.y, 80.0f + 0.245f);
    EXPECT_EQ(lone.x, 60.0f);
    // The beam measured the sagged joint in the same step and pulled it back up.
    EXPECT_EQ(joint.y, 0.245f);
    EXPECT_LT(joint.vy, 0.49f);
    EXPECT_LT(beamList[0].loadFactor, 1.0f);
    // An emptied joint keeps its place; its velocity only decays.
    EXPECT_EQ(emptied.y, 140.0f);
    EXPECT_EQ(emptied.vx, 0.98f);
    for (int frame = 0; frame < 2000; ++frame) SimulationStep();
    EXPECT_NEAR(lone.vy, 24.5f, 1e-3f);  // terminal velocity 0.98 * 0.5 / 0.02
    EXPECT_EQ(NodeAt(0, 0).y, 0.0f);
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

TEST(WorldTest, ResetWorldRestoresPositionsAndBeamsButKeepsKindsAndLoads) {
    CreateWorld();
    gridWidth = 4;
    gridHeight = 3;
    NodeAt(1, 1).kind = NODE_JOINT;
    for (int32_t i = 0; i <= 5; ++i) {
        for (int32_t j = 0; j <= 3; ++j) NodeAt(i, j) = Node{NodeAt(i, j).kind, 1000.5f, -3.25f, 7.0f, -9.0f};
    }
    AddBeam(1, 1, 3, 1);
    beamList[0] = Beam{1, 1, 3, 1, 6.5f, 0};
    ResetWorld();
    for (int32_t i = 0; i <= 4; ++i) {
        for (int32_t j = 0; j <= 3; ++j) {
            ASSERT_EQ(NodeAt(i, j).x, RestX(i));
            ASSERT_EQ(NodeAt(i, j).y, RestY(j));
            ASSERT_EQ(NodeAt(i, j).vx, 0.0f);
            ASSERT_EQ(NodeAt(i, j).vy, 0.0f);
        }
    }
    EXPECT_EQ(NodeAt(1, 1).kind, NODE_JOINT);
    EXPECT_EQ(beamList[0].intact, 1);
    EXPECT_EQ(beamList[0].loadFactor, 6.5f);
    EXPECT_EQ(NodeAt(5, 0).x, 1000.5f);  // outside the in-use region nothing is touched
    // A lookup far outside the grid still lands on a node of it.
    for (const int32_t k : {-2000000000, 301, INT32_MAX}) {
        EXPECT_GE(&NodeAt(k, k), &nodeGrid.nodes[0][0]);
        EXPECT_LE(&NodeAt(k, k), &nodeGrid.nodes[GRID_CAPACITY][GRID_CAPACITY]);
    }
}

}  // namespace
