#include <vector>

#include "platform/input/input_state.h"
#include "tests/platform/input/input_fixture.h"

namespace {

using MouseTest = InputTest;

TEST_F(MouseTest, ReadSumsMotionAndAppliesButtonsInOrder) {
    HeadlessQueueMotionX(5);
    HeadlessQueueMotionY(-3);
    HeadlessQueueButton(1, true);
    HeadlessQueueMotionX(-12);
    HeadlessQueueButton(3, true);
    HeadlessQueueWheel(120);
    HeadlessQueueButton(1, false);
    HeadlessQueueButton(2, true);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), -7);
    EXPECT_EQ(MouseMotionY(), -3);
    EXPECT_EQ(MouseButtonDown(1), 0);
    EXPECT_EQ(MouseButtonDown(2), 1);
    EXPECT_EQ(MouseButtonDown(3), 1);

    // Motion is per read; buttons keep their state until an event changes them.
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), 0);
    EXPECT_EQ(MouseMotionY(), 0);
    EXPECT_EQ(MouseButtonDown(2), 1);
    EXPECT_EQ(MouseButtonDown(3), 1);
}

TEST_F(MouseTest, TwentyFourEventsFitAndOneMoreOverflows) {
    for (int i = 0; i < MOUSE_EVENT_BUFFER; ++i) {
        HeadlessQueueMotionX(1);
    }
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), MOUSE_EVENT_BUFFER);

    HeadlessQueueButton(1, true);
    HeadlessQueueButton(2, true);
    HeadlessQueueButton(3, true);
    ASSERT_EQ(ReadMouse(), 1);

    // 25 events: the whole read is lost, buttons 1 and 2 count as let go.
    for (int i = 0; i < MOUSE_EVENT_BUFFER; ++i) {
        HeadlessQueueMotionY(2);
    }
    HeadlessQueueWheel(-120);  // every event counts, even those the game ignores
    EXPECT_EQ(ReadMouse(), 0);
    EXPECT_EQ(MouseMotionX(), 0);
    EXPECT_EQ(MouseMotionY(), 0);
    EXPECT_EQ(MouseButtonDown(1), 0);
    EXPECT_EQ(MouseButtonDown(2), 0);
    EXPECT_EQ(MouseButtonDown(3), 1);

    // The buffer starts empty again after the overflow.
    HeadlessQueueMotionY(4);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionY(), 4);
}

TEST_F(MouseTest, OverflowEndsAHeldGestureWithAClick) {
    HeadlessQueueButton(1, true);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(ButtonGesture(1), GESTURE_PRESSED);
    PresentFrame();
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(ButtonGesture(1), GESTURE_HELD);
    PresentFrame();
    for (int i = 0; i <= MOUSE_EVENT_BUFFER; ++i) {
        HeadlessQueueMotionX(1);
    }
    EXPECT_EQ(ReadMouse(), 0);
    EXPECT_EQ(ButtonGesture(1), GESTURE_CLICK);
}

TEST_F(MouseTest, InactiveWindowKeepsHeldButtonAndReportsNoMotion) {
    HeadlessQueueButton(1, true);
    ASSERT_EQ(ReadMouse(), 1);
    std::vector<int32_t> codes{ButtonGesture(1)};
    HeadlessSetActive(false);
    EXPECT_EQ(appActive, 1);  // window messages are handled in PresentFrame
    PresentFrame();
    EXPECT_EQ(appActive, 0);
    for (int frame = 0; frame < 12; ++frame) {
        HeadlessQueueMotionX(7);  // moves the player makes elsewhere
        EXPECT_EQ(ReadMouse(), 0);
        EXPECT_EQ(MouseMotionX(), 0);
        EXPECT_EQ(MouseButtonDown(1), 1);
        codes.push_back(ButtonGesture(1));
        PresentFrame();
    }
    HeadlessSetActive(true);
    PresentFrame();
    ASSERT_EQ(appActive, 1);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), 0);  // nothing queued while released arrives late
    codes.push_back(ButtonGesture(1));
    HeadlessQueueButton(1, false);
    HeadlessQueueMotionX(3);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), 3);
    codes.push_back(ButtonGesture(1));
    EXPECT_EQ(codes, (std::vector<int32_t>{1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4}));
}

TEST(MouseDeviceTest, ReadsFailUntilTheMouseIsOpened) {
    ResetPlatform();
    ASSERT_NE(InitSpriteSystem(), 0);
    ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
    HeadlessQueueButton(1, true);
    EXPECT_EQ(ReadMouse(), 0);
    EXPECT_EQ(MouseButtonDown(1), 0);
    ASSERT_EQ(OpenMouse(), 1);
    HeadlessQueueButton(1, true);
    EXPECT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseButtonDown(1), 1);
    ResetPlatform();
    EXPECT_EQ(MouseButtonDown(1), 0);
}

}  // namespace

namespace {

// What the SDL back end does with a fast mouse: motion and wheel between two
// button events share one event per axis, so only a flood of button events overflows.
TEST(MergedMouseEventsTest, MotionAndWheelShareEventsBetweenButtons) {
    MouseEventBuffer buffer;
    for (int i = 0; i < 200; ++i) {
        QueueMergedMotion(buffer, 2, -1);
        QueueMergedWheel(buffer, 1);
    }
    QueueMouseEvent(buffer, {MOUSE_PART_BUTTON1, 0x80});
    for (int i = 0; i < 200; ++i) QueueMergedMotion(buffer, 1, 0);
    EXPECT_EQ(buffer.count, 6);  // X, Y, wheel, button 1, X, Y
    EXPECT_EQ(TakeMouseEvents(buffer), 1);
    EXPECT_EQ(MouseMotionX(), 600);
    EXPECT_EQ(MouseMotionY(), -200);
    EXPECT_EQ(MouseButtonDown(1), 1);
    // Button events are never merged: the 25th event still overflows.
    for (int i = 0; i < MOUSE_EVENT_BUFFER + 1; ++i)
        QueueMouseEvent(buffer, {MOUSE_PART_BUTTON1 + 2, i % 2 ? 0x80 : 0});
    EXPECT_EQ(TakeMouseEvents(buffer), 0);
    EXPECT_EQ(MouseButtonDown(1), 0);
}

}  // namespace
