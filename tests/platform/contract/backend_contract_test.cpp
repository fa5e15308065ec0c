// The rules every back end keeps, checked through the public operations; built into
// the test program of each back end that runs natively (headless, SDL on its dummy
// driver).
#include <gtest/gtest.h>

#include <string>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/input.h"
#include "tests/platform/contract/backend_contract.h"
#include "tools/bmp_file.h"

namespace {

const ContractBackEnd& backEnd = CONTRACT_BACK_END;

class BackEndContract : public ::testing::Test {
protected:
    void SetUp() override {
        backEnd.reset();
        ASSERT_NE(InitSpriteSystem() * OpenKeyboard() * OpenMouse(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt") * SetFrameCap(60), 0);
    }
    void TearDown() override {
        ReleaseScreen();
        backEnd.reset();
    }

    // A sprite and an open drawing on it: what a release or a failed opening must free.
    static void HoldASprite() {
        const std::string path = std::string(KARNOLT_BINARY_DIR "/tests/contract-") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
        ASSERT_EQ(WriteBinaryFile(path, EncodeBmp(3, 2, 24, [](int32_t, int32_t) { return 0xFFFFFFu; })), "");
        ASSERT_NE(LoadSpriteImage(1, path.c_str(), SPRITE_MODE_PLAIN), 0) << LastSpriteError();
        ASSERT_NE(BeginDraw(SpriteTarget(1)), 0);
    }

    static void ExpectNothingLeft(const std::string& what) {
        EXPECT_EQ(appActive, 0) << what;
        EXPECT_EQ(BackBufferWidth() + BackBufferHeight(), 0) << what;
        EXPECT_FALSE(backEnd.windowOpen()) << what;
        EXPECT_EQ(GetSpriteWidth(1), 0) << what;
        EXPECT_EQ(BeginDraw(BackBufferTarget()), 0) << what;
    }
};

// Width, height and depth are 16-bit values; a refused opening leaves nothing behind.
TEST_F(BackEndContract, OpeningTakesSixteenBitArgumentsAndAFailureLeavesNothing) {
    const struct {
        int32_t width, height, depth;
        bool opens;
    } cases[] = {
        {1024, 768, 32, true},   {1024, 768, 24, true},   {1024, 768, 16, true},
        {1024, 768, 8, false},   {1024, 768, 15, false},  {0, 768, 32, false},
        {1024, -768, 32, false}, {32768, 768, 32, false}, {1024 + 65536, 768 + 65536, 32 + 65536, true},
    };
    for (const auto& c : cases) {
        const std::string what =
            std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.depth);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0);
        HoldASprite();
        EXPECT_EQ(OpenFullScreen(c.width, c.height, c.depth, "Karnolt"), c.opens ? 1 : 0) << what;
        if (c.opens) {
            EXPECT_EQ(appActive, 1) << what;
            EXPECT_EQ(BackBufferWidth() * 10000 + BackBufferHeight(), 1024 * 10000 + 768) << what;
            EXPECT_TRUE(backEnd.windowOpen()) << what;
            EndDraw();
        } else {
            ExpectNothingLeft(what);
        }
    }
}

// Keys held when the window loses activation are let go, an inactive window gets no
// key presses, and mouse reads see nothing while it is inactive.
TEST_F(BackEndContract, LosingActivationLetsGoOfKeysAndTheMouse) {
    const auto deleteAndMotion = [] {
        ReadKeyboard();
        const int32_t read = ReadMouse();
        return std::vector({appActive, KeyDown(SCAN_DELETE), read, MouseMotionX()});
    };
    backEnd.pressDelete(true);
    PresentFrame();
    ReadMouse();  // the mouse taken
    backEnd.moveMouse(5, 0);
    EXPECT_EQ(deleteAndMotion(), std::vector({1, 0x80, 1, 5}));
    backEnd.setActive(false);
    PresentFrame();
    backEnd.moveMouse(7, 0);
    EXPECT_EQ(deleteAndMotion(), std::vector({0, 0, 0, 0}));
    backEnd.pressDelete(true);  // goes to whichever window is active
    backEnd.setActive(true);
    PresentFrame();
    ReadMouse();  // taken again
    backEnd.moveMouse(3, 0);
    EXPECT_EQ(deleteAndMotion(), std::vector({1, 0, 1, 3}));
    backEnd.pressDelete(false);
    backEnd.pressDelete(true);
    EXPECT_EQ(deleteAndMotion(), std::vector({1, 0x80, 1, 0}));
}

}  // namespace
