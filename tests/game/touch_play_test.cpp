// Touch play, reported as a touch screen reports it, turned into mouse input by the
// shared input devices and played by the whole game on the headless back end: the
// game's pointer goes where the finger is, taps become clicks, and the game's own
// rules (double clicks, edges) hold. The controls beside the picture (Delete, Enter,
// scrolling, a button 2 frame) are played by the phone test in the browser, picture
// for picture against the replay of the mouse and key input they become.
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
