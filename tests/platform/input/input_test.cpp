// Button gestures and the window's activation as input sees it. Keys and mouse
// reads are the back-end contract's and the scripted sessions'.
#include <string>
#include <vector>

#include "platform/input/input_state.h"
#include "tests/platform/platform_test.h"

// Frames as characters: '_' no button down when the frame reads the mouse, '1' or
// '2' that button, 'B' both, 'O' button 1 held through an overflowing read, 'I' a
// frame with the window inactive and the mouse moving elsewhere. The gesture codes
// of buttons 1 and 2, one digit a frame.
TEST_F(PlatformTest, ButtonGesturesCountFrames) {
    const struct {
        const char* name;
        std::string frames, codes1, codes2;
    } cases[] = {
        // clang-format off
        {"one-frame press yields no click", "1___", "1000", "0000"},
        {"two-frame press clicks on release", "11__", "1240", "0000"},
        {"a hold turns long from frame 11", "111111111111__", "12222222223340", "00000000000000"},
        {"releases 5 frames apart double-click", "11___11__", "124001250", "000000000"},
        {"releases 9 frames apart still double-click", "11_______11_", "124000000125", "000000000000"},
        {"releases 10 frames apart are two clicks", "11________11_", "1240000000124", "0000000000000"},
        {"a press right after a counted release keeps its code", "11_111__", "12444450", "00000000"},
        {"a one-frame press opens no repeat window", "1_11__11_", "101240125", "000000000"},
        {"buttons keep separate states", "1B22__", "124000", "012240"},
        {"an overflow ends a hold with a click", "11O_", "1240", "0000"},
        {"an inactive window keeps the button held", "1IIIIIIIIIIII1_", "122222222233334", "000000000000000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        bool down[2] = {false, false};
        std::string codes1, codes2;
        for (std::size_t f = 0; f < c.frames.size(); ++f) {
            const char frame = c.frames[f];
            HeadlessSetActive(f + 1 == c.frames.size() || c.frames[f + 1] != 'I');  // for the next frame
            for (int32_t b = 0; b < 2; ++b) {
                const bool wanted =
                    frame == 'B' || frame == '1' + b || (b == 0 && (frame == 'O' || frame == 'I'));
                if (wanted != down[b]) HeadlessQueueButton(b + 1, wanted);
                down[b] = wanted;
            }
            for (int i = 0; i <= MOUSE_EVENT_BUFFER && (frame == 'O' || frame == 'I'); ++i)
                HeadlessQueueMotionX(7);
            ASSERT_EQ(ReadMouse(), frame == 'O' || frame == 'I' ? 0 : 1);
            EXPECT_EQ(MouseMotionX(), 0);
            codes1 += static_cast<char>('0' + ButtonGesture(1));
            codes2 += static_cast<char>('0' + ButtonGesture(2));
            PresentFrame();
            EXPECT_EQ(appActive, f + 1 < c.frames.size() && c.frames[f + 1] == 'I' ? 0 : 1);
        }
        EXPECT_EQ(codes1, c.codes1);
        EXPECT_EQ(codes2, c.codes2);
    }
}
