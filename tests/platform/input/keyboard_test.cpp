#include "tests/platform/input/input_fixture.h"

namespace {

using KeyboardTest = InputTest;

TEST_F(KeyboardTest, KeyDownReportsBitSevenOfTheSnapshot) {
    HeadlessSetKey(SCAN_DELETE, true);
    EXPECT_EQ(KeyDown(SCAN_DELETE), 0);  // not before the snapshot
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyDown(SCAN_DELETE), 0x80);
    EXPECT_EQ(KeyDown(SCAN_ESCAPE), 0);
    HeadlessSetKey(SCAN_DELETE, false);
    EXPECT_EQ(KeyDown(SCAN_DELETE), 0x80);  // the snapshot stands until the next read
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyDown(SCAN_DELETE), 0);
}

TEST_F(KeyboardTest, LongHoldIsReleasedOnceInTheFirstFrameSeenUp) {
    HeadlessSetKey(SCAN_RETURN, true);
    for (int frame = 0; frame < 40; ++frame) {
        ASSERT_EQ(ReadKeyboard(), 1);
        ASSERT_EQ(KeyReleased(SCAN_RETURN), 0) << frame;
        PresentFrame();
    }
    HeadlessSetKey(SCAN_RETURN, false);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 0);  // once, even within the same frame
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_EQ(ReadKeyboard(), 1);
        EXPECT_EQ(KeyReleased(SCAN_RETURN), 0) << frame;
    }
}

TEST_F(KeyboardTest, PressesThatNoCallSawDownAreNeverReported) {
    // Down and up again between two snapshots.
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 0);
    HeadlessSetKey(SCAN_RETURN, true);
    HeadlessSetKey(SCAN_RETURN, false);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 0);

    // Seen down by a snapshot, but no KeyReleased call ran while it was down:
    // the latch of a key moves only in calls for that key.
    HeadlessSetKey(SCAN_RETURN, true);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyDown(SCAN_RETURN), 0x80);
    HeadlessSetKey(SCAN_RETURN, false);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 0);
}

TEST_F(KeyboardTest, LatchesAreKeptPerKey) {
    HeadlessSetKey(SCAN_RETURN, true);
    HeadlessSetKey(0x39, true);  // space
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 0);
    EXPECT_EQ(KeyReleased(0x39), 0);
    HeadlessSetKey(SCAN_RETURN, false);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(0x39), 0);
    EXPECT_EQ(KeyReleased(SCAN_RETURN), 1);
    HeadlessSetKey(0x39, false);
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyReleased(0x39), 1);
}

TEST_F(KeyboardTest, ScanCodesOutsideTheSnapshotAreNeverDown) {
    for (const int32_t code : {0, 0xFF}) {
        HeadlessSetKey(code, true);
    }
    ASSERT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyDown(0), 0x80);
    EXPECT_EQ(KeyDown(0xFF), 0x80);
    for (const int32_t code : {-1, 256, 0x7FFFFFFF, -0x7FFFFFFF}) {
        HeadlessSetKey(code, true);  // ignored, never written outside the snapshot
        ASSERT_EQ(ReadKeyboard(), 1);
        EXPECT_EQ(KeyDown(code), 0) << code;
        EXPECT_EQ(KeyReleased(code), 0) << code;
    }
}

TEST(KeyboardDeviceTest, ReadsFailUntilTheKeyboardIsOpened) {
    ResetPlatform();
    HeadlessSetKey(SCAN_ESCAPE, true);
    EXPECT_EQ(ReadKeyboard(), 0);
    EXPECT_EQ(KeyDown(SCAN_ESCAPE), 0);
    ASSERT_EQ(OpenKeyboard(), 1);
    EXPECT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyDown(SCAN_ESCAPE), 0x80);
    ResetPlatform();
    EXPECT_EQ(KeyDown(SCAN_ESCAPE), 0);
    EXPECT_EQ(ReadKeyboard(), 0);
}

}  // namespace
