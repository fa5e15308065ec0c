// Touch play turned into mouse and key input, fed to the whole game on the headless
// back end frame by frame as the browser's back end does: the game's pointer goes
// where the finger is, taps become clicks, the controls hold keys and push the
// pointer against an edge, and the game's own rules (double clicks, edges) hold.
#include <gtest/gtest.h>

#include "platform/input/touch_play.h"
#include "tests/support/fixture.h"

using namespace fixture;

namespace {

TouchPlay touch;

// Frames as the browser runs them: the touch's keys before the keyboard is read,
// its mouse events before the mouse is read, and the motion the game took after.
void TouchFrames(int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        KeySnapshot keys{};
        ApplyTouchKeys(touch, keys);
        HeadlessSetKey(SCAN_DELETE, keys[SCAN_DELETE] != 0);
        HeadlessSetKey(SCAN_RETURN, keys[SCAN_RETURN] != 0);
        MouseEventBuffer buffer;
        QueueTouchFrame(touch, buffer);
        for (int32_t i = 0; i < buffer.count; ++i) {
            const MouseEvent& event = buffer.events[i];
            if (event.part == MOUSE_PART_X) HeadlessQueueMotionX(event.value);
            if (event.part == MOUSE_PART_Y) HeadlessQueueMotionY(event.value);
            if (event.part >= MOUSE_PART_BUTTON1) {
                HeadlessQueueButton(event.part - MOUSE_PART_BUTTON1 + 1, (event.value & 0x80) != 0);
            }
        }
        ASSERT_TRUE(RunFrame());
        FollowGamePointer(touch, MouseMotionX(), MouseMotionY());
    }
}

// A finger put down and lifted before the next frame, as quick as a tap gets.
void Tap(int32_t button, int32_t x, int32_t y, int32_t framesAfter = 14) {
    TouchPictureDown(touch, button, x, y);
    TouchPictureUp(touch);
    TouchFrames(framesAfter);
}

void TapControl(int32_t control, int32_t framesAfter = 14) {
    TouchControlDown(touch, control);
    TouchControlUp(touch, control);
    TouchFrames(framesAfter);
}

bool StartTouchGame() {
    touch = TouchPlay{};
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
Pointer TrackedPointer() {
    return {touch.pointerX, touch.pointerY};
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
    EXPECT_EQ(TrackedPointer(), GamePointer());
    // A finger that slides before it lifts clicks where it was lifted.
    TouchPictureDown(touch, 1, 300, 300);
    TouchFrames(3);
    TouchPictureMove(touch, 280, 241);
    TouchFrames(3);
    TouchPictureUp(touch);
    TouchFrames(4);
    EXPECT_EQ(BeamEnds(), (Ends{{30, 30, 32, 30}, {32, 30, 34, 32}}));
    Tap(1, 240, 280, 2);  // released within ten frames of the last click: a double click
    TouchFrames(12);
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
    TouchPictureDown(touch, 2, 230, 170);
    TouchFrames(2);
    TouchPictureMove(touch, 250, 230);
    TouchFrames(1);
    TouchPictureMove(touch, 291, 271);
    TouchFrames(2);
    TouchPictureUp(touch);
    TouchFrames(3);
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
        TouchControlDown(touch, c.control);
        TouchFrames(30);
        TouchControlUp(touch, c.control);
        TouchFrames(5);
        EXPECT_EQ(editor.viewOffsetX, -400 + (TOUCH_SCROLL_FRAMES + 30) * c.stepX);
        EXPECT_EQ(editor.viewOffsetY, -400 + (TOUCH_SCROLL_FRAMES + 30) * c.stepY);
        EXPECT_EQ(GamePointer(), (Pointer{300, 250}));
    }
}

// A finger pushed past the picture's edge holds the pointer there, and the view
// scrolls while it stays; once lifted, the pointer steps off the edge and the view
// stops. A frame dragged with one finger grows while another holds a scroll control.
TEST(TouchPlayTest, AFingerPastTheEdgeScrollsUntilItIsLifted) {
    ASSERT_TRUE(StartTouchGame());
    TouchPictureDown(touch, 1, 500, 300);
    TouchFrames(2);
    TouchPictureMove(touch, -40, 900);  // beyond the bottom left corner
    TouchFrames(20);
    EXPECT_EQ(GamePointer(), (Pointer{0, 767}));
    EXPECT_EQ(editor.viewOffsetX, -400 + 200);
    EXPECT_EQ(editor.viewOffsetY, -400 - 200);
    TouchPictureUp(touch);
    TouchFrames(10);
    EXPECT_EQ(GamePointer(), (Pointer{1, 766}));
    EXPECT_EQ(editor.viewOffsetX, -400 + 210);  // the frame of the release still pressed the edge
    EXPECT_EQ(editor.viewOffsetY, -400 - 210);

    TouchPictureDown(touch, 2, 400, 300);
    TouchFrames(2);
    TouchControlDown(touch, TOUCH_SCROLL_RIGHT);
    TouchFrames(5);
    EXPECT_EQ(GamePointer(), (Pointer{1023, 300}));
    TouchControlUp(touch, TOUCH_SCROLL_RIGHT);
    TouchFrames(TOUCH_SCROLL_FRAMES);
    EXPECT_EQ(GamePointer(), (Pointer{400, 300}));
    TouchPictureUp(touch);
    TouchFrames(3);
    // Back at the finger, the second corner lies as far into the world as the view scrolled.
    EXPECT_EQ(editor.frameX2 - editor.frameX1, 10 * TOUCH_SCROLL_FRAMES);
    EXPECT_EQ(editor.frameY2, editor.frameY1);
}

// The pointer is where the motion sent so far left it, clamped as the game clamps,
// whoever sent it: after a mouse pushed it far past an edge, a touch still brings it
// exactly to the finger. A second finger on the picture is ignored.
TEST(TouchPlayTest, ThePointerIsTrackedThroughMouseMotionAndTheGamesClamp) {
    ASSERT_TRUE(StartTouchGame());
    HeadlessQueueMotionX(5000);
    HeadlessQueueMotionY(-5000);
    TouchFrames(1);
    EXPECT_EQ(GamePointer(), (Pointer{1023, 0}));
    EXPECT_EQ(TrackedPointer(), GamePointer());
    HeadlessQueueMotionX(-30);
    TouchFrames(1);
    EXPECT_EQ(TrackedPointer(), (Pointer{993, 0}));
    TouchPictureDown(touch, 1, 100, 100);
    TouchPictureDown(touch, 1, 600, 600);
    TouchFrames(1);
    EXPECT_EQ(GamePointer(), (Pointer{100, 100}));
    EXPECT_EQ(TrackedPointer(), GamePointer());
    TouchPictureUp(touch);
    TouchFrames(4);
    EXPECT_EQ(GamePointer(), (Pointer{100, 100}));
    // Without any touch the mouse keeps the pointer: nothing is sent.
    HeadlessQueueMotionX(7);
    TouchFrames(3);
    EXPECT_EQ(GamePointer(), (Pointer{107, 100}));
}
