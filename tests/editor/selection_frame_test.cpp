// The selection frame and the bulk deletion of the joints inside it.
#include "editor/selection_frame.h"

#include <gtest/gtest.h>

#include "editor/beams.h"
#include "tests/support/game_driver.h"

using namespace driver;

namespace {

using Ends = std::vector<std::vector<int32_t>>;

// Drags a frame with button 2 between two screen points and releases it.
void DragFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    MovePointerTo(x1, y1);
    HeadlessQueueButton(2, true);
    Frames(1);
    MovePointerTo(x2, y2);
    Frames(2);
    HeadlessQueueButton(2, false);
    Frames(1);
}

void HoldDelete(int32_t frames) {
    HeadlessSetKey(SCAN_DELETE, true);
    Frames(frames);
    HeadlessSetKey(SCAN_DELETE, false);
    Frames(1);
}

class FrameTest : public ::testing::Test {
protected:
    // A chain from the anchor (25, 30) over joints at columns 27 to 33 of row 30 to
    // the anchor (35, 30), and a beam between the anchors (31, 33) and (35, 30).
    void SetUp() override {
        ASSERT_TRUE(StartGame(WriteAnchorLevel({{25, 30}, {35, 30}, {31, 33}})));
        ClickNode(1, 25, 30);
        for (const int32_t c : {27, 29, 31, 33, 35}) ClickNode(1, c, 30);
        ClickNode(2, 35, 30);
        ClickNode(1, 31, 33);
        ClickNode(1, 35, 30);  // anchor to anchor
        ClickNode(2, 35, 30);
        ASSERT_EQ(CountBeams(), 6);
        ASSERT_EQ(editor.placingBeam, 0);
    }
    static std::vector<int32_t> JointColumnsOnRow30() {
        std::vector<int32_t> columns;
        for (int32_t c = 0; c <= gridWidth; ++c) {
            if (NodeAt(c, 30).kind == NODE_JOINT) columns.push_back(c);
        }
        return columns;
    }
};

TEST_F(FrameTest, TenPixelsIsNoFrameElevenIs) {
    // Between grid lines and away from the construction.
    const int32_t x = NodeScreenX(40) + 3;
    const int32_t y = NodeScreenY(40) + 3;
    DragFrame(x, y, x + 10, y + 14);
    EXPECT_FALSE(FrameExists());
    EXPECT_EQ(PixelAt(x, y), BLACK);
    DragFrame(x, y, x + 11, y + 11);
    EXPECT_TRUE(FrameExists());
    Frames(1);
    EXPECT_EQ(PixelAt(x, y), (Rgb{200, 50, 200}));            // outline
    EXPECT_EQ(PixelAt(x + 10, y + 10), (Rgb{200, 50, 200}));  // covers up to one less than the far corner
    EXPECT_EQ(PixelAt(x + 11, y + 5), BLACK);
    EXPECT_EQ(PixelAt(x + 5, y + 5), (Rgb{50, 10, 50}));  // armed: filled behind the scene
}

TEST_F(FrameTest, DeleteEmptiesJointsInsideAndTheirBeamsButLeavesAnchors) {
    // Columns 26..34 and rows 29..31 lie strictly inside the frame's rounded bounds.
    DragFrame(NodeScreenX(25) + 5, NodeScreenY(28) + 5, NodeScreenX(35) - 5, NodeScreenY(32) - 5);
    EXPECT_EQ(CountBeams(), 6);  // the frame alone deletes nothing
    HoldDelete(5);
    EXPECT_EQ(JointColumnsOnRow30(), std::vector<int32_t>{});
    // The beam from the anchor (31, 33), below the frame, to the anchor (35, 30) stays.
    EXPECT_EQ(BeamEnds(), (Ends{{31, 33, 35, 30}}));
    EXPECT_EQ(NodeAt(25, 30).kind, NODE_ANCHOR);
    EXPECT_EQ(NodeAt(35, 30).kind, NODE_ANCHOR);
    EXPECT_TRUE(FrameExists());  // the frame stays armed
}

TEST_F(FrameTest, AllFourDragDirectionsDeleteTheSameJoints) {
    const int32_t left = NodeScreenX(28) - 5, right = NodeScreenX(32) + 5;
    const int32_t top = NodeScreenY(29) - 5, bottom = NodeScreenY(31) + 5;
    const int32_t corners[][4] = {{left, top, right, bottom},
                                  {right, bottom, left, top},
                                  {right, top, left, bottom},
                                  {left, bottom, right, top}};
    for (const auto& c : corners) {
        SetUp();
        DragFrame(c[0], c[1], c[2], c[3]);
        HoldDelete(1);
        EXPECT_EQ(JointColumnsOnRow30(), (std::vector<int32_t>{27, 33}));
        EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}, {33, 30, 35, 30}, {31, 33, 35, 30}}));
    }
}

TEST_F(FrameTest, DeleteDoesNothingWhileButton2IsDown) {
    MovePointerTo(NodeScreenX(26) + 5, NodeScreenY(28) + 5);
    HeadlessSetKey(SCAN_DELETE, true);
    HeadlessQueueButton(2, true);
    Frames(1);
    MovePointerTo(NodeScreenX(34) - 5, NodeScreenY(32) - 5);
    Frames(20);  // held, then long held
    EXPECT_EQ(editor.button2Gesture, GESTURE_LONG_HELD);
    EXPECT_EQ(CountBeams(), 6);
    HeadlessQueueButton(2, false);
    Frames(1);  // the release frame: still not armed
    EXPECT_EQ(CountBeams(), 6);
    Frames(1);  // armed, Delete still held
    EXPECT_EQ(JointColumnsOnRow30(), std::vector<int32_t>{});
}

TEST_F(FrameTest, FramesFarOutsideTheLevelDeleteNothing) {
    MovePointerTo(1, 300);
    HeadlessQueueMotionX(-5);
    Frames(300);
    DragFrame(50, 50, 900, 700);
    HoldDelete(3);
    EXPECT_EQ(CountBeams(), 6);
}

// Frames set directly in world pixels: which columns the rounded bounds examine.
class FrameBoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWorld();
        beamList.clear();
        gridWidth = 20;
        gridHeight = 20;
        for (int32_t c = 0; c <= 20; ++c) NodeAt(c, 5).kind = NODE_JOINT;
    }
    static std::vector<int32_t> Emptied() {
        std::vector<int32_t> columns;
        for (int32_t c = 0; c <= 20; ++c) {
            if (NodeAt(c, 5).kind == NODE_EMPTY) columns.push_back(c);
        }
        return columns;
    }
};

TEST_F(FrameBoundsTest, OnlyNodesStrictlyInsideTheRoundedBoundsAreExamined) {
    struct Case {
        int32_t x1, x2;
        std::vector<int32_t> emptied;
    };
    const Case cases[] = {
        {95, 205, {6, 7, 8, 9}},  // 5 and 10 lie inside the drawn frame but on its bounds
        {205, 95, {6, 7, 8, 9}},
        {90, 110, {5}},  // halves go to the even index: bounds 4 and 6
        {100, 130, {}},  // bounds 5 and 6 (6.5 to even): nothing between them
        {-400, 1000, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        {INT32_MIN, INT32_MAX, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
    };
    for (const Case& c : cases) {
        SetUp();
        editor.frameX1 = c.x1;
        editor.frameX2 = c.x2;
        editor.frameY1 = 85;
        editor.frameY2 = 125;
        DeleteFramedJoints();
        EXPECT_EQ(Emptied(), c.emptied) << c.x1 << ".." << c.x2;
    }
}

TEST_F(FrameBoundsTest, BulkRemovalMatchesRemovingJointByJoint) {
    // Beams among the joints of row 5 and out to row 8, in a mixed order.
    for (int32_t c = 0; c + 2 <= 20; ++c) {
        NodeAt(c, 8).kind = NODE_JOINT;
        AddBeam(c, 5, c + 2, 5);
        AddBeam(c + 2, 8, c, 5);
    }
    const BeamList before = beamList;
    editor.frameX1 = 95;
    editor.frameX2 = 205;
    editor.frameY1 = 85;
    editor.frameY2 = 125;
    DeleteFramedJoints();
    BeamList expected;
    for (const Beam& beam : before) {
        const bool touches =
            (beam.ay == 5 && beam.ax >= 6 && beam.ax <= 9) || (beam.by == 5 && beam.bx >= 6 && beam.bx <= 9);
        if (!touches) expected.push_back(beam);
    }
    ASSERT_EQ(beamList.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(beamList[k].ax, expected[k].ax);
        EXPECT_EQ(beamList[k].ay, expected[k].ay);
        EXPECT_EQ(beamList[k].bx, expected[k].bx);
        EXPECT_EQ(beamList[k].by, expected[k].by);
    }
    // A second run finds nothing more to do.
    DeleteFramedJoints();
    EXPECT_EQ(beamList.size(), expected.size());
}

}  // namespace

namespace {

// The start node of a chain is not tested again: emptied by the bulk deletion,
// it still becomes end A of the next beam, and stays empty.
TEST(ChainStartTest, AChainGoesOnFromAStartNodeTheDeletionEmptied) {
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{25, 30}})));
    ClickNode(1, 25, 30);
    ClickNode(1, 27, 30);
    ClickNode(2, 27, 30);  // ends the chain; (27, 30) is a joint
    // Arm a frame around (27, 30); its release lands on an empty node.
    DragFrame(NodeScreenX(26) + 5, NodeScreenY(29) + 5, NodeScreenX(28) - 5, NodeScreenY(31) - 5);
    ClickNode(1, 27, 30);  // a new chain starts at the joint inside the frame
    ASSERT_EQ(editor.placingBeam, 1);
    HoldDelete(1);
    EXPECT_EQ(NodeAt(27, 30).kind, NODE_EMPTY);
    EXPECT_EQ(CountBeams(), 0);
    EXPECT_EQ(editor.placingBeam, 1);
    ClickNode(1, 29, 30);
    EXPECT_EQ(BeamEnds(), (Ends{{27, 30, 29, 30}}));
    EXPECT_EQ(NodeAt(27, 30).kind, NODE_EMPTY);
    EXPECT_EQ(NodeAt(29, 30).kind, NODE_JOINT);
}

}  // namespace
