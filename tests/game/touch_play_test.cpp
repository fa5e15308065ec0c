// Touch play, reported as a touch screen reports it, turned into mouse and key input
// by the shared input devices and played by the whole game on the headless back end:
// the game's pointer goes where the finger is, taps become clicks, the controls hold
// keys and push the pointer against an edge, and the game's own rules (double
// clicks, edges) hold.
#include <gtest/gtest.h>

#include "platform/input/touch_play.h"
#include "tests/support/fixture.h"

using namespace fixture;

namespace {

// A finger put down and lifted before the next frame, as quick as a tap gets.
void Tap(int32_t button, int32_t x, int32_t y, int32_t framesAfter = 14) {
    HeadlessTouchDown(button, x, y);
    HeadlessTouchUp();
    Frames(framesAfter);
}

void TapControl(int32_t control, int32_t framesAfter = 14) {
    HeadlessTouchControl(control, true);
    HeadlessTouchControl(control, false);
    Frames(framesAfter);
}

bool StartTouchGame() {
    // Anchors at nodes (30, 30) and (30, 36): screen (200, 200) and (200, 320).
    return StartGame(WriteAnchorLevel({{30, 30}, {30, 36}}));
}

struct Pointer {
    int32_t x, y;
    bool operator==(const Pointer&) const = default;
};
Pointer GamePointer() {
    return {editor.pointerX, editor.pointerY};
}

}  // namespace

// Taps on nodes build a chain; a tap too soon after the last is the game's double
// click and places nothing; button 2 ends the chain, and a second button 2 tap
// removes the beams at a node. The pointer stands where the finger was.
TEST(TouchPlayTest, TapsPlaceBeamsAndEndAndRemoveThemAsClicksDo) {
    ASSERT_TRUE(StartTouchGame());
    Tap(1, 200, 200);  // anchor (30, 30): the chain starts
    Tap(1, 240, 200);  // node (32, 30)
    EXPECT_EQ(BeamEnds(), (Ends{{30, 30, 32, 30}}));
    EXPECT_EQ(GamePointer(), (Pointer{240, 200}));
    // A finger that slides before it lifts clicks where it was lifted.
    HeadlessTouchDown(1, 300, 300);
    Frames(3);
    HeadlessTouchMove(280, 241);
    Frames(3);
    HeadlessTouchUp();
    Frames(4);
    EXPECT_EQ(BeamEnds(), (Ends{{30, 30, 32, 30}, {32, 30, 34, 32}}));
    Tap(1, 240, 280, 2);  // released within ten frames of the last click: a double click
    Frames(12);
    EXPECT_EQ(BeamEnds().size(), 2U);
    Tap(1, 240, 280);  // node (32, 34)
    EXPECT_EQ(BeamEnds().size(), 3U);
    Tap(2, 700, 500);  // ends the chain only
    EXPECT_EQ(BeamEnds().size(), 3U);
    Tap(2, 280, 240);  // node (34, 32): its two beams go, and it is empty again
    EXPECT_EQ(BeamEnds(), (Ends{{30, 30, 32, 30}}));
    EXPECT_EQ(NodeAt(34, 32).kind, NODE_EMPTY);
    EXPECT_EQ(GamePointer(), (Pointer{280, 240}));
}

// A finger dragged with button 2 opens a frame; the Delete control, even tapped
// for less than a frame, empties the joints in it; Enter starts and stops.
TEST(TouchPlayTest, AButtonTwoDragFramesJointsAndTheControlsHoldDeleteAndEnter) {
    ASSERT_TRUE(StartTouchGame());
    Tap(1, 200, 200);
    Tap(1, 260, 200);  // joint (33, 30)
    Tap(1, 260, 260);  // joint (33, 33)
    Tap(2, 10, 10);
    ASSERT_EQ(BeamEnds().size(), 2U);
    HeadlessTouchDown(2, 230, 170);
    Frames(2);
    HeadlessTouchMove(250, 230);
    Frames(1);
    HeadlessTouchMove(291, 271);
    Frames(2);
    HeadlessTouchUp();
    Frames(3);
    EXPECT_EQ(editor.frameX1 + editor.viewOffsetX, 230);
    EXPECT_EQ(editor.frameY1 + editor.viewOffsetY, 170);
    EXPECT_EQ(editor.frameX2 + editor.viewOffsetX, 291);
    EXPECT_EQ(editor.frameY2 + editor.viewOffsetY, 271);
    EXPECT_EQ(BeamEnds().size(), 2U);  // the release at an empty node removed nothing
    TapControl(TOUCH_DELETE);
    EXPECT_EQ(BeamEnds().size(), 0U);
    EXPECT_EQ(NodeAt(33, 30).kind, NODE_EMPTY);
    EXPECT_EQ(NodeAt(33, 33).kind, NODE_EMPTY);
    EXPECT_EQ(NodeAt(30, 30).kind, NODE_ANCHOR);
    TapControl(TOUCH_RETURN);
    EXPECT_EQ(game.simulationRunning, 1);
    TapControl(TOUCH_RETURN);
    EXPECT_EQ(game.simulationRunning, 0);
}

// A tap on a scroll control holds the pointer against its edge for ten frames (a
// hundred pixels), a longer touch for as long as it lasts; then the pointer goes
// back to where it was and the view stands still.
TEST(TouchPlayTest, ScrollControlsPushThePointerAgainstAnEdgeAndBringItBack) {
    const struct {
        int32_t control;
        int32_t stepX, stepY;
    } controls[] = {
        {TOUCH_SCROLL_LEFT, 10, 0},
        {TOUCH_SCROLL_RIGHT, -10, 0},
        {TOUCH_SCROLL_UP, 0, 10},
        {TOUCH_SCROLL_DOWN, 0, -10},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control);
        ASSERT_TRUE(StartTouchGame());
        Tap(1, 300, 250);
        TapControl(c.control, 12);
        EXPECT_EQ(editor.viewOffsetX, -400 + TOUCH_SCROLL_FRAMES * c.stepX);
        EXPECT_EQ(editor.viewOffsetY, -400 + TOUCH_SCROLL_FRAMES * c.stepY);
        EXPECT_EQ(GamePointer(), (Pointer{300, 250}));
        HeadlessTouchControl(c.control, true);
        Frames(30);
        HeadlessTouchControl(c.control, false);
        Frames(5);
        EXPECT_EQ(editor.viewOffsetX, -400 + (TOUCH_SCROLL_FRAMES + 30) * c.stepX);
        EXPECT_EQ(editor.viewOffsetY, -400 + (TOUCH_SCROLL_FRAMES + 30) * c.stepY);
        EXPECT_EQ(GamePointer(), (Pointer{300, 250}));
    }
}

// A finger pushed past the picture's edge holds the pointer there, and the view
// scrolls while it stays; once lifted, the pointer steps off the edge and the view
// stops. A frame dragged with one finger grows while another holds a scroll control.
// Touch play follows the pointer whoever moves it, clamped as the game clamps: after
// a mouse pushed it far past an edge, a finger still brings it exactly to its point,
// a second finger is ignored, and without a touch nothing is sent.
TEST(TouchPlayTest, AFingerPastTheEdgeScrollsUntilItIsLifted) {
    ASSERT_TRUE(StartTouchGame());
    HeadlessQueueMotionX(-5000);  // the mouse scrolls one step each way
    HeadlessQueueMotionY(5000);
    Frames(1);
    HeadlessTouchDown(1, 500, 300);
    HeadlessTouchDown(1, 600, 600);
    Frames(2);
    EXPECT_EQ(GamePointer(), (Pointer{500, 300}));
    HeadlessTouchMove(-40, 900);  // beyond the bottom left corner
    Frames(20);
    EXPECT_EQ(GamePointer(), (Pointer{0, 767}));
    EXPECT_EQ(editor.viewOffsetX, -390 + 200);
    EXPECT_EQ(editor.viewOffsetY, -410 - 200);
    HeadlessTouchUp();
    Frames(10);
    EXPECT_EQ(GamePointer(), (Pointer{1, 766}));
    EXPECT_EQ(editor.viewOffsetX, -390 + 210);  // the frame of the release still pressed the edge
    EXPECT_EQ(editor.viewOffsetY, -410 - 210);
    HeadlessQueueMotionX(7);
    Frames(3);
    EXPECT_EQ(GamePointer(), (Pointer{8, 766}));

    HeadlessTouchDown(2, 400, 300);
    Frames(2);
    HeadlessTouchControl(TOUCH_SCROLL_RIGHT, true);
    Frames(5);
    EXPECT_EQ(GamePointer(), (Pointer{1023, 300}));
    HeadlessTouchControl(TOUCH_SCROLL_RIGHT, false);
    Frames(TOUCH_SCROLL_FRAMES);
    EXPECT_EQ(GamePointer(), (Pointer{400, 300}));
    HeadlessTouchUp();
    Frames(3);
    // Back at the finger, the second corner lies as far into the world as the view scrolled.
    EXPECT_EQ(editor.frameX2 - editor.frameX1, 10 * TOUCH_SCROLL_FRAMES);
    EXPECT_EQ(editor.frameY2, editor.frameY1);
}
