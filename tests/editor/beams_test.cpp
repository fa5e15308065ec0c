// Placing and removing beams, driven frame by frame with scripted mouse input.
#include "editor/beams.h"

#include <gtest/gtest.h>

#include "model/coordinates.h"
#include "tests/support/game_driver.h"

using namespace driver;

namespace {

using Ends = std::vector<std::vector<int32_t>>;

class BeamEditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartGame(WriteAnchorLevel({{25, 30}, {34, 30}, {30, 26}, {30, 40}, {45, 30}})));
    }
};

TEST_F(BeamEditingTest, ClicksBuildAChainWhoseBeamsStartAtThePreviousClick) {
    ClickNode(1, 25, 30);  // an anchor starts the chain
    EXPECT_EQ(editor.placingBeam, 1);
    EXPECT_EQ(CountBeams(), 0);
    ClickNode(1, 27, 30);
    ClickNode(1, 27, 32);
    ClickNode(1, 30, 33);
    EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}, {27, 30, 27, 32}, {27, 32, 30, 33}}));
    for (const auto& [c, r] : {std::pair{27, 30}, {27, 32}, {30, 33}})
        EXPECT_EQ(NodeAt(c, r).kind, NODE_JOINT);
    EXPECT_EQ(NodeAt(25, 30).kind, NODE_ANCHOR);
    EXPECT_EQ(editor.startColumn, 30);
    EXPECT_EQ(editor.startRow, 33);
}

TEST_F(BeamEditingTest, AClickOnAnEmptyNodeStartsNothing) {
    ClickNode(1, 28, 28);
    EXPECT_EQ(editor.placingBeam, 0);
    EXPECT_EQ(NodeAt(28, 28).kind, NODE_EMPTY);
}

TEST_F(BeamEditingTest, LengthRuleDecidesTheBandColourAndTheClick) {
    struct Case {
        int32_t dx, dy;
        bool accepted;
    };
    const Case cases[] = {{2, 0, true},   {1, 2, true},  {9, 3, true},  {3, 9, true},
                          {6, 7, true},   {1, 1, false}, {9, 4, false}, {7, 7, false},
                          {10, 0, false}, {0, 0, false}, {1, 0, false}};
    for (const Case c : cases) {
        ASSERT_TRUE(StartGame(WriteAnchorLevel({{30, 26}})));
        ClickNode(1, 30, 26);
        PointAtNode(30 + c.dx, 26 + c.dy);
        Frames(1);  // the band's length is measured on the end seen in the frame before
        const Rgb expected = c.accepted ? Rgb{255, 255, 255} : Rgb{255, 85, 170};
        if (c.dx != 0 || c.dy != 0) {
            // A point of the band between its two ends, clear of the nodes' circles.
            const int32_t x = NodeScreenX(30) + c.dx * 20 * 3 / 5;
            const int32_t y = NodeScreenY(26) + c.dy * 20 * 3 / 5;
            EXPECT_EQ(PixelAt(x, y), expected) << c.dx << "," << c.dy;
        }
        Click(1);
        EXPECT_EQ(CountBeams(), c.accepted ? 1 : 0) << c.dx << "," << c.dy;
        EXPECT_EQ(NodeAt(30 + c.dx, 26 + c.dy).kind,
                  c.accepted ? NODE_JOINT : (c.dx || c.dy ? NODE_EMPTY : NODE_ANCHOR));
        EXPECT_EQ(editor.placingBeam, 1);
    }
}

TEST_F(BeamEditingTest, DuplicatesInEitherDirectionAddNothingAndKeepTheStart) {
    ClickNode(1, 25, 30);
    ClickNode(1, 27, 30);  // beam A->B
    ClickNode(1, 25, 30);  // B->A again: the pair is joined already
    EXPECT_EQ(CountBeams(), 1);
    EXPECT_EQ(editor.startColumn, 27);
    ClickNode(2, 27, 30);  // end the chain
    ClickNode(1, 25, 30);
    ClickNode(1, 27, 30);  // A->B again
    EXPECT_EQ(CountBeams(), 1);
    EXPECT_EQ(editor.startColumn, 25);
    ClickNode(1, 27, 32);  // the chain goes on from its unchanged start
    EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}, {25, 30, 27, 32}}));
}

TEST_F(BeamEditingTest, Button2EndsTheChainThenRemovesEveryBeamAtAJoint) {
    // A joint at (30, 30) with four beams, the oldest of the list among them.
    ClickNode(1, 25, 30);
    ClickNode(1, 30, 30);
    ClickNode(1, 34, 30);
    ClickNode(2, 34, 30);
    ClickNode(1, 30, 30);
    ClickNode(1, 30, 26);
    ClickNode(2, 30, 26);
    ClickNode(1, 30, 30);
    ClickNode(1, 32, 33);
    ClickNode(1, 35, 33);  // far from (30, 30): must survive
    ClickNode(2, 35, 33);
    ClickNode(1, 30, 30);
    ClickNode(1, 28, 33);
    ASSERT_EQ(CountBeams(), 6);

    ClickNode(2, 30, 30);  // only ends the chain
    EXPECT_EQ(editor.placingBeam, 0);
    EXPECT_EQ(CountBeams(), 6);
    Click(2);  // now removes
    EXPECT_EQ(BeamEnds(), (Ends{{32, 33, 35, 33}}));
    EXPECT_EQ(NodeAt(30, 30).kind, NODE_EMPTY);
    EXPECT_EQ(NodeAt(32, 33).kind, NODE_JOINT);  // far ends keep their kind
    EXPECT_EQ(NodeAt(28, 33).kind, NODE_JOINT);
    EXPECT_EQ(NodeAt(34, 30).kind, NODE_ANCHOR);
}

TEST_F(BeamEditingTest, RemovalAtAnAnchorKeepsTheAnchor) {
    ClickNode(1, 25, 30);
    ClickNode(1, 27, 30);
    ClickNode(2, 27, 30);
    ClickNode(2, 25, 30);
    EXPECT_EQ(CountBeams(), 0);
    EXPECT_EQ(NodeAt(25, 30).kind, NODE_ANCHOR);
    EXPECT_EQ(NodeAt(27, 30).kind, NODE_JOINT);
}

TEST_F(BeamEditingTest, ADoubleClickReleaseIsIgnored) {
    ClickNode(1, 25, 30);
    PointAtNode(27, 30);
    HeadlessQueueButton(1, true);
    Frames(2);
    HeadlessQueueButton(1, false);
    Frames(1);  // click: beam to (27, 30)
    PointAtNode(29, 30);
    HeadlessQueueButton(1, true);
    Frames(2);
    HeadlessQueueButton(1, false);
    Frames(1);  // four frames after the first release: a double click
    EXPECT_EQ(editor.button1Gesture, GESTURE_DOUBLE_CLICK);
    EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}}));
}

TEST_F(BeamEditingTest, TheClickUsesTheEndNodeOfTheFrameBefore) {
    ClickNode(1, 25, 30);
    PointAtNode(27, 30);
    HeadlessQueueButton(1, true);
    Frames(2);
    // Pointer moves to (29, 30) in the very frame of the release.
    HeadlessQueueMotionX(40);
    HeadlessQueueButton(1, false);
    Frames(1);
    EXPECT_EQ(editor.cursorColumn, 29);
    EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}}));
    EXPECT_EQ(editor.endColumn, 29);
}

TEST_F(BeamEditingTest, ClicksFarOutsideTheLevelChangeNothing) {
    // Scroll the view far to the left of the level: the pointer rests on the left edge.
    MovePointerTo(1, 300);
    HeadlessQueueMotionX(-5);
    Frames(400);
    EXPECT_EQ(editor.viewOffsetX, -400 + 10 * 400);
    MovePointerTo(200, 300);
    ASSERT_LT(editor.cursorColumn, 0);
    Click(1);
    Click(2);
    EXPECT_EQ(editor.placingBeam, 0);
    // A chain started inside cannot end outside.
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{98, 30}})));
    MovePointerTo(1023, 300);  // scroll right until column 98 is on screen
    Frames(150);
    MovePointerTo(NodeScreenX(98), NodeScreenY(30));
    Click(1);
    ASSERT_EQ(editor.placingBeam, 1);
    PointAtNode(101, 30);  // beyond the last column (100)
    Click(1);
    EXPECT_EQ(CountBeams(), 0);
    PointAtNode(100, 30);  // the last column belongs to the grid
    Click(1);
    EXPECT_EQ(CountBeams(), 1);
}

TEST(NearestGridIndexTest, RoundsHalvesToEven) {
    const std::pair<int32_t, int32_t> cases[] = {
        {9, 0},  {10, 0},  {11, 1},   {30, 2},   {50, 2},
        {70, 4}, {-10, 0}, {-11, -1}, {-30, -2}, {INT32_MIN, -107374182}};
    for (const auto& [w, index] : cases) EXPECT_EQ(NearestGridIndex(w), index) << w;
}

}  // namespace
