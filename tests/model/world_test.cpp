#include "model/world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override { CreateWorld(); }
};

TEST_F(WorldTest, CreateWorldLaysOutAnEmptyGridAtRest) {
    EXPECT_EQ(gridWidth, 300);
    EXPECT_EQ(gridHeight, 300);
    EXPECT_EQ(CountBeams(), 0);
    for (int32_t i = 0; i <= 300; ++i) {
        for (int32_t j = 0; j <= 300; ++j) {
            const Node& n = NodeAt(i, j);
            ASSERT_EQ(n.kind, NODE_EMPTY);
            ASSERT_EQ(n.x, i * 20.0f);
            ASSERT_EQ(n.y, j * 20.0f);
            ASSERT_EQ(n.vx, 0.0f);
            ASSERT_EQ(n.vy, 0.0f);
        }
    }
}

TEST_F(WorldTest, InUseRegionFollowsGridSizeAndLookupsOutsideStayInsideTheGrid) {
    gridWidth = 10;
    gridHeight = 5;
    EXPECT_TRUE(IsInUseNode(0, 0));
    EXPECT_TRUE(IsInUseNode(10, 5));  // the last column and row belong to the grid
    EXPECT_FALSE(IsInUseNode(11, 5));
    EXPECT_FALSE(IsInUseNode(10, 6));
    EXPECT_FALSE(IsInUseNode(-1, 0));
    // Far outside: still a node of the grid, never foreign memory.
    const Node* first = &nodeGrid.nodes[0][0];
    const Node* last = &nodeGrid.nodes[GRID_CAPACITY][GRID_CAPACITY];
    for (const auto& [i, j] :
         {std::pair{-2000000000, 7}, {7, 2000000000}, {301, 301}, {INT32_MIN, INT32_MAX}}) {
        const Node* n = &NodeAt(i, j);
        EXPECT_GE(n, first);
        EXPECT_LE(n, last);
    }
}

TEST_F(WorldTest, NewBeamsAreAppendedIntactAndUnloaded) {
    AddBeam(1, 2, 3, 4);
    AddBeam(5, 6, 7, 8);
    ASSERT_EQ(CountBeams(), 2);
    const Beam& newest = beamList.back();
    EXPECT_EQ(newest.ax, 5);
    EXPECT_EQ(newest.ay, 6);
    EXPECT_EQ(newest.bx, 7);
    EXPECT_EQ(newest.by, 8);
    EXPECT_EQ(newest.loadFactor, 1.0f);
    EXPECT_EQ(newest.intact, 1);
}

// Collects the A columns in list order: the beams below are told apart by ax.
std::vector<int32_t> Columns() {
    std::vector<int32_t> columns;
    for (const Beam& beam : beamList) columns.push_back(beam.ax);
    return columns;
}

TEST_F(WorldTest, RemovalVisitsEveryBeamOnceAndKeepsOrder) {
    for (int32_t k = 0; k < 6; ++k) AddBeam(k, 0, k, 2);
    std::vector<int32_t> visited;
    // Remove the first beam and then every other one.
    RemoveBeamsWhere([&](const Beam& beam) {
        visited.push_back(beam.ax);
        return beam.ax % 2 == 0;
    });
    EXPECT_EQ(visited, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Columns(), (std::vector<int32_t>{1, 3, 5}));

    std::vector<int32_t> tested;
    RemoveBeamsWhere([&](const Beam& beam) {
        tested.push_back(beam.ax);
        return beam.ax == 1;
    });
    EXPECT_EQ(tested, (std::vector<int32_t>{1, 3, 5}));
    EXPECT_EQ(Columns(), (std::vector<int32_t>{3, 5}));
}

TEST_F(WorldTest, ResetWorldRestoresPositionsAndBeamsButKeepsKindsAndLoads) {
    gridWidth = 4;
    gridHeight = 3;
    NodeAt(1, 1).kind = NODE_JOINT;
    NodeAt(2, 2).kind = NODE_ANCHOR;
    for (int32_t i = 0; i <= 4; ++i) {
        for (int32_t j = 0; j <= 3; ++j) {
            NodeAt(i, j) = Node{NodeAt(i, j).kind, 1000.5f, -3.25f, 7.0f, -9.0f};
        }
    }
    AddBeam(1, 1, 3, 1);
    beamList[0].intact = 0;
    beamList[0].loadFactor = 6.5f;
    // Outside the in-use region nothing is touched.
    nodeGrid.nodes[5][0].x = 42.0f;

    ResetWorld();

    for (int32_t i = 0; i <= 4; ++i) {
        for (int32_t j = 0; j <= 3; ++j) {
            const Node& n = NodeAt(i, j);
            EXPECT_EQ(n.x, i * 20.0f);
            EXPECT_EQ(n.y, j * 20.0f);
            EXPECT_EQ(n.vx, 0.0f);
            EXPECT_EQ(n.vy, 0.0f);
        }
    }
    EXPECT_EQ(NodeAt(1, 1).kind, NODE_JOINT);
    EXPECT_EQ(NodeAt(2, 2).kind, NODE_ANCHOR);
    EXPECT_EQ(NodeAt(0, 0).kind, NODE_EMPTY);
    EXPECT_EQ(beamList[0].intact, 1);
    EXPECT_EQ(beamList[0].loadFactor, 6.5f);
    EXPECT_EQ(nodeGrid.nodes[5][0].x, 42.0f);
}

}  // namespace
