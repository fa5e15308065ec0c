#include <string>
#include <vector>

#include "tests/platform/input/input_fixture.h"

namespace {

// One character per frame: 'D' the button is down when the frame reads the
// mouse, '_' it is up. Returns the gesture code of every frame.
std::vector<int32_t> RunFrames(int32_t button, const std::string& frames) {
    std::vector<int32_t> codes;
    bool down = false;
    for (const char frame : frames) {
        const bool wantDown = frame == 'D';
        if (wantDown != down) {
            HeadlessQueueButton(button, wantDown);
            down = wantDown;
        }
        EXPECT_EQ(ReadMouse(), 1);
        codes.push_back(ButtonGesture(button));
        PresentFrame();
    }
    return codes;
}

struct GestureCase {
    const char* name;
    std::string frames;
    std::vector<int32_t> codes;
};

using GestureTest = InputTest;

TEST_F(GestureTest, SequencesGiveTheFrameCountedCodes) {
    const std::vector<GestureCase> cases = {
        {"one-frame press yields no click", "D___", {1, 0, 0, 0}},
        {"two-frame press clicks on release", "DD__", {1, 2, 4, 0}},
        {"twelve-frame hold turns long from frame 11",
         "DDDDDDDDDDDD__",
         {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 0}},
        {"releases 5 frames apart double-click", "DD___DD__", {1, 2, 4, 0, 0, 1, 2, 5, 0}},
        {"releases 9 frames apart still double-click", "DD_______DD_", {1, 2, 4, 0, 0, 0, 0, 0, 0, 1, 2, 5}},
        {"releases 10 frames apart are two clicks", "DD________DD_", {1, 2, 4, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4}},
        {"a press right after a counted release keeps the release code",
         "DD_DDD__",
         {1, 2, 4, 4, 4, 4, 5, 0}},
        {"a one-frame press does not open a repeat window", "D_DD__DD_", {1, 0, 1, 2, 4, 0, 1, 2, 5}},
    };
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetPlatform();
        ASSERT_NE(InitSpriteSystem(), 0);
        ASSERT_NE(OpenMouse(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
        EXPECT_EQ(RunFrames(1, c.frames), c.codes);
    }
}

TEST_F(GestureTest, ButtonsKeepSeparateStates) {
    std::vector<int32_t> codes1;
    std::vector<int32_t> codes2;
    const std::string pattern1 = "DD____";
    const std::string pattern2 = "_DDD__";
    bool down1 = false;
    bool down2 = false;
    for (std::size_t f = 0; f < pattern1.size(); ++f) {
        if ((pattern1[f] == 'D') != down1) {
            down1 = !down1;
            HeadlessQueueButton(1, down1);
        }
        if ((pattern2[f] == 'D') != down2) {
            down2 = !down2;
            HeadlessQueueButton(2, down2);
        }
        ASSERT_EQ(ReadMouse(), 1);
        codes1.push_back(ButtonGesture(1));
        codes2.push_back(ButtonGesture(2));
        PresentFrame();
    }
    EXPECT_EQ(codes1, (std::vector<int32_t>{1, 2, 4, 0, 0, 0}));
    EXPECT_EQ(codes2, (std::vector<int32_t>{0, 1, 2, 2, 4, 0}));
}

TEST_F(GestureTest, APressBetweenTwoReadsIsNeverSeen) {
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(ButtonGesture(1), 0);
    HeadlessQueueButton(1, true);
    HeadlessQueueButton(1, false);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseButtonDown(1), 0);
    EXPECT_EQ(ButtonGesture(1), 0);
}

TEST_F(GestureTest, ButtonsOutsideOneToThreeReportNothing) {
    HeadlessQueueButton(1, true);
    ASSERT_EQ(ReadMouse(), 1);
    for (const int32_t button : {-1, 0, 4, 1000}) {
        EXPECT_EQ(MouseButtonDown(button), 0) << button;
        EXPECT_EQ(ButtonGesture(button), GESTURE_IDLE) << button;
    }
    EXPECT_EQ(ButtonGesture(1), GESTURE_PRESSED);
}

}  // namespace
