// Placing and removing beams and the selection frame, driven by scripted clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "editor/selection_frame.h"
#include "tests/support/fixture.h"

using namespace fixture;

namespace {

// Chains, the length rule, duplicates and removals by clicks are pinned by the
// scripted session tests/reference/editing.replay; beams beyond the level's edge are
// refused as the random play checks.
constexpr int32_t E = NODE_EMPTY, J = NODE_JOINT, A = NODE_ANCHOR;

TEST(EditorTest, AClickActsWhereThePointerWasAndADoubleClickIsIgnored) {
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{25, 30}})));
    ClickNode(1, 25, 30);
    MovePointerTo(ScreenXOfColumn(27), ScreenYOfRow(30));
    HeadlessQueueButton(1, true);
    Frames(2);
    HeadlessQueueMotionX(40);  // to (29, 30) in the very frame of the release
    HeadlessQueueButton(1, false);
    Frames(1);
    EXPECT_EQ(editor.cursorColumn, 29);
    EXPECT_EQ(BeamEnds(), (Ends{{25, 30, 27, 30}}));  // the click used last frame's end
    Frames(1);
    HeadlessQueueButton(1, true);
    Frames(2);
    HeadlessQueueButton(1, false);
    Frames(1);  // four frames after the first release: a double click, ignored
    EXPECT_EQ(editor.button1Gesture, GESTURE_DOUBLE_CLICK);
    EXPECT_EQ(CountBeams(), 1);
}

// A chain over joints at columns 27 to 33 of row 30 between the anchors (25, 30)
// and (35, 30), and a beam from the anchor (31, 33) to (35, 30).
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartGame(WriteAnchorLevel({{25, 30}, {35, 30}, {31, 33}})));
        for (const int32_t c : {25, 27, 29, 31, 33, 35}) ClickNode(1, c, 30);
        ClickNode(2, 35, 30);
        ClickNode(1, 31, 33);
        ClickNode(1, 35, 30);
        ClickNode(2, 35, 30);
        ASSERT_EQ(CountBeams(), 6);
    }
};

TEST_F(FrameTest, TenPixelsIsNoFrameElevenIs) {
    const int32_t x = ScreenXOfColumn(40) + 3, y = ScreenYOfRow(40) + 3;
    DragFrame(x, y, x + 10, y + 14);
    EXPECT_EQ(PixelAt(x, y), BLACK);
    DragFrame(x, y, x + 11, y + 11);
    Frames(1);
    EXPECT_EQ(PixelAt(x, y), (Rgb{200, 50, 200}));  // outline, up to one short of the far corner
    EXPECT_EQ(PixelAt(x + 10, y + 10), (Rgb{200, 50, 200}));
    EXPECT_EQ(PixelAt(x + 11, y + 5), BLACK);
    EXPECT_EQ(PixelAt(x + 5, y + 5), (Rgb{50, 10, 50}));  // armed: filled behind the scene
}

// Dragged from its lower right corner to its upper left one.
TEST_F(FrameTest, DeleteWaitsForTheDragToEndAndSparesAnchors) {
    MovePointerTo(ScreenXOfColumn(36) - 5, ScreenYOfRow(34) - 5);
    HeadlessSetKey(SCAN_DELETE, true);
    HeadlessQueueButton(2, true);
    Frames(1);
    MovePointerTo(ScreenXOfColumn(24) + 5, ScreenYOfRow(28) + 5);
    Frames(20);  // held, then long held
    HeadlessQueueButton(2, false);
    Frames(1);  // the release frame: not armed yet
    EXPECT_EQ(CountBeams(), 6);
    Frames(1);
    EXPECT_EQ(BeamEnds(), (Ends{{31, 33, 35, 30}}));
    EXPECT_EQ(NodeAt(35, 30).kind, A);
}

TEST(FrameBoundsTest, RoundedBoundsInWorldPixels) {
    const std::tuple<int32_t, int32_t, std::vector<int32_t>> cases[] = {
        {95, 205, {6, 7, 8, 9}},                  // 5 and 10 lie inside the drawn frame but on its bounds
        {205, 95, {6, 7, 8, 9}}, {90, 110, {5}},  // halves go to the even index: bounds 4 and 6
        {100, 130, {}},          {INT32_MIN, INT32_MAX, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const auto& [x1, x2, emptied] : cases) {
        CreateWorld();
        gridWidth = gridHeight = 12;
        for (int32_t c = 0; c <= 12; ++c) {
            NodeAt(c, 5).kind = J;
            NodeAt(c, 8).kind = J;
            AddBeam(c, 8, c, 5);
        }
        editor = EditorState{.frameX1 = x1, .frameY1 = 85, .frameX2 = x2, .frameY2 = 125};
        DeleteFramedJoints();
        std::vector<int32_t> columns, beamColumns;
        for (int32_t c = 0; c <= 12; ++c) {
            if (NodeAt(c, 5).kind == E) columns.push_back(c);
        }
        for (const Beam& beam : beamList) beamColumns.push_back(beam.ax);
        EXPECT_EQ(columns, emptied) << x1 << ".." << x2;
        EXPECT_EQ(beamColumns.size() + emptied.size(), 13u);
        EXPECT_TRUE(std::is_sorted(beamColumns.begin(), beamColumns.end()));
    }
}

}  // namespace
